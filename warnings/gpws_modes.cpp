// Ground proximity warning computer, run once per frame inside the aural warning unit's callback:
// seven envelopes, each into a state byte, a once-a-second radio-altitude closure rate, one
// call-out code with its phrase, and the GPWS test sequence.
// Reads: inst_radio_alt_ft, inst_vs_fpm, inst_flap_detent, ap_go_around_mode, dc_ess_powered,
//        tokens 1, 41, 44, 60, 61, 65, 73, 74, 329, 332, 624, 643
// Writes: gpws_callout, gpws_mode1..gpws_mode5, gpws_closure_*, the gpws_*_bound/_ceiling/_half/
//         _limit/_threshold/_floor bounds, gpws_mode2_alt, gpws_mode3_*, gpws_mode4c_*, gpws_test_*
#include "warnings/gpws_modes.h"

#include <cmath>
#include <initializer_list>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "instruments/state.h"
#include "warnings/state.h"
#include "module/deadline.h"
#include "module/tokens.h"
#include "sound/sound.h"

namespace {

// ---- Inputs --------------------------------------------------------------------------------

// The envelopes compare the host's values as they are: one that is no number matches no band,
// so the rule's "otherwise" applies; an infinity lies beyond every bound. Bounds, samples and the
// saved altitudes are computed only from numbers and otherwise keep what was last computed. The
// clock goes only through the deadline helpers, for which a clock that is no number changes nothing.
struct HostInput {
    TokenVar& token;
    f64 now = 0.0;  // this frame's value, for the test sequence after the envelopes
    f64 refresh() { return now = tok_read(token); }
    f64 value() const { return now; }
};

// The radio altitude is the radio altimeter's shared value, not a host reading; should it ever be
// no number, the computer stays on the last that was.
struct Held {
    f64 last = 0.0;
    f64 keep(f64 v) {
        if (std::isfinite(v)) last = v;
        return last;
    }
};

HostInput g_tick{tok_tick18, {}};
HostInput g_ias{tok_ias_kt, {}};
HostInput g_flaps{tok_flaps_left_pos, {}};
HostInput g_gs_valid{tok_nav1_gs_valid, {}};
HostInput g_gs_needle{tok_nav1_gs_needle, {}};
HostInput g_on_ground{tok_on_ground, {}};
HostInput g_gear{tok_gear_nose_pos, {}};
HostInput g_indicated_alt{tok_indicated_altitude_ft, {}};
HostInput g_n1_1{tok_eng1_n1, {}};
HostInput g_n1_2{tok_eng2_n1, {}};
Held g_radio_alt;

constexpr f64 kHostTrue = 1.0;
constexpr f64 kDetentMargin = 100;  // flaps count as out this far before detent 1
constexpr f64 kGearRetracted = 10;  // nose gear position below which the gear is up
constexpr f64 kLowestHeight = 30;   // modes 2, 3, 4 and the arming of 3 and 4C start above this

// This frame's readings that several modes share.
struct Frame {
    f64 ra;
    f64 ias;
    f64 flaps;
    f64 d1;  // flap position that counts as extended
    f64 gear;
    bool on_ground;
    bool gs_valid;
    f64 n1[2];
};

bool either_n1_below(const Frame& f, f64 limit) { return f.n1[0] < limit || f.n1[1] < limit; }

// A bound that is `at_lo` up to airspeed `lo`, `at_hi` from `hi`, and a truncated straight line
// from `at_lo` in between.
struct AirspeedRamp {
    f64 lo, hi;
    u32 at_lo;
    f64 slope;
    u32 at_hi;
    // The bound at `ias`; an airspeed that is no number is in no band and leaves `bound` as last
    // computed.
    void update(u32& bound, f64 ias) const {
        if (ias <= lo)
            bound = at_lo;
        else if (ias >= hi)
            bound = at_hi;
        else
            bound = sat_u32((ias - lo) * slope + at_lo, bound);
    }
};

// ---- Call-out codes ------------------------------------------------------------------------
enum Callout : u16 {
    kNoCallout = 0,
    kSinkRate = 10,
    kSinkPullUp = 12,
    kTerrain = 20,
    kTerrainPullUp = 22,
    kDontSink = 30,
    kTooLowGear = 410,
    kTooLowGearTerrain = 412,
    kTooLowFlaps = 420,
    kTooLowFlapsTerrain = 422,
    kTooLowTerrain = 43,
    kGlideSlope = 50,
};

struct CalloutRow {
    const u8* mode;
    u8 state;
    SoundBuffer* const* phrase;
    Callout code;
};

// Priority order: the first row whose mode holds its state wins.
const CalloutRow kCallouts[] = {
    {&gpws_mode1, 1, &snd_snkrate, kSinkRate},
    {&gpws_mode1, 2, &snd_wpullup, kSinkPullUp},
    {&gpws_mode2, 1, &snd_terrain, kTerrain},
    {&gpws_mode2, 2, &snd_wpullup, kTerrainPullUp},
    {&gpws_mode3, 1, &snd_dontsnk, kDontSink},
    {&gpws_mode4a, 1, &snd_toolowgear, kTooLowGear},
    {&gpws_mode4a, 2, &snd_toolowterrain, kTooLowGearTerrain},
    {&gpws_mode4b, 1, &snd_toolowflaps, kTooLowFlaps},
    {&gpws_mode4b, 2, &snd_toolowterrain, kTooLowFlapsTerrain},
    {&gpws_mode4c, 1, &snd_toolowterrain, kTooLowTerrain},
    {&gpws_mode5, 1, &snd_glideslope, kGlideSlope},
};

// ---- Mode 1: excessive sink rate -----------------------------------------------------------
void mode1(f64 ra) {
    constexpr f64 kCeiling = 2450, kFloor = 10;
    constexpr f64 kSinkFrom = 1000, kSinkSlope = 0.61, kSinkBase = 10;
    constexpr f64 kPullUpFrom = 1800, kPullUpSlope = 0.377, kPullUpBase = 350;
    const f64 sink = -f64(inst_vs_fpm);  // exact for every i32, so -INT32_MIN cannot overflow
    if (ra > kCeiling || ra <= kFloor || sink < kSinkFrom) {
        gpws_mode1 = 0;
        return;
    }
    gpws_sink_bound = sat_u32((sink - kSinkFrom) * kSinkSlope + kSinkBase, gpws_sink_bound);
    gpws_pullup_bound =
        sink >= kPullUpFrom ? sat_u32((sink - kPullUpFrom) * kPullUpSlope + kPullUpBase, gpws_pullup_bound) : 0;
    gpws_mode1 = ra <= gpws_pullup_bound ? 2 : ra <= gpws_sink_bound ? 1 : 0;
}

// ---- Closure rate: radio-altitude rate in ft/min from samples 18 ticks apart ------------------
// The four steps alternate the two samples; step 0 does not wait, so it runs on the frame after
// step 3 and shares a frame with step 1's test.
void closure_sampler(f64 ra, f64 tick) {
    constexpr f64 kPerMinute = 60;
    constexpr u32 kInterval = 18;
    const auto sample = [&](u32 previous, u32& store, u8 next) {
        gpws_closure_rate = sat_i32((ra - previous) * kPerMinute, gpws_closure_rate);
        gpws_closure_deadline = deadline_arm(tick, kInterval);
        store = sat_u32(ra, store);
        gpws_closure_state = next;
    };
    const auto due = [&] { return deadline_reached(gpws_closure_deadline, tick, kInterval); };
    if (gpws_closure_state == 0) sample(gpws_closure_sample_b, gpws_closure_sample_a, 1);
    if (gpws_closure_state == 1 && due()) sample(gpws_closure_sample_a, gpws_closure_sample_b, 2);
    if (gpws_closure_state == 2 && due()) sample(gpws_closure_sample_b, gpws_closure_sample_a, 3);
    if (gpws_closure_state == 3 && due()) sample(gpws_closure_sample_a, gpws_closure_sample_b, 0);
}

// ---- Mode 2: excessive closure rate --------------------------------------------------------
// Height below which the closure rate warns, from the closing speed (ft/min, positive closing).
u32 closure_bound(i32 rate, u32 keep) {
    struct Segment {
        f64 from, slope;
        u32 base;
    };
    static constexpr Segment kSegments[] = {
        {9000, 0.0, 2000},
        {8000, 0.2, 1800},
        {3500, 0.122, 1250},
        {2000, 0.81, 30},
    };
    const f64 closing = -f64(rate);
    for (const Segment& s : kSegments)
        if (closing >= s.from) return sat_u32((closing - s.from) * s.slope + s.base, keep);
    return 0;
}

void mode2(const Frame& f) {
    static constexpr AirspeedRamp kCeiling{230, 330, 1650, 3.5, 2000};
    constexpr f64 kClimbClears = 300;  // feet above the pull-up altitude that end the pull-up
    kCeiling.update(gpws_mode2_ceiling, f.ias);
    if (f.ra > gpws_mode2_ceiling || f.ra <= kLowestHeight || f.flaps >= f.d1 || f.gs_valid) {
        gpws_mode2 = 0;
    } else {
        gpws_mode2_bound = closure_bound(gpws_closure_rate, gpws_mode2_bound);
        gpws_mode2_half = gpws_mode2_bound / 2;
        if (f.ra <= gpws_mode2_half) {
            gpws_mode2 = 2;
            const f64 indicated = g_indicated_alt.refresh();
            if (std::isfinite(indicated)) gpws_mode2_alt = sat_i32(indicated, gpws_mode2_alt);
        } else if (f.ra <= gpws_mode2_bound && gpws_callout != kTerrainPullUp) {
            gpws_mode2 = 1;
        } else if (f.ra > gpws_mode2_bound) {
            gpws_mode2 = 0;
        }
    }
    if (gpws_mode2 == 2 && g_indicated_alt.refresh() > f64(gpws_mode2_alt) + kClimbClears) gpws_mode2 = 0;
}

// ---- Mode 3: altitude loss after take-off --------------------------------------------------
void forget_mode3_peak() {
    gpws_mode3_peak = 0;
    gpws_mode3_peak_set = 0;
    gpws_mode3_loss = 0;
}

// A call-out of another mode that keeps mode 3's byte as it was while the envelope is left.
bool keeps_mode3(u16 callout) {
    for (Callout c : {kSinkRate, kTerrainPullUp, kTooLowGear, kTooLowFlaps, kTooLowTerrain, kGlideSlope})
        if (callout == c) return true;
    return false;
}

void mode3(const Frame& f) {
    static constexpr AirspeedRamp kLimit{190, 250, 667, 11.1, 1333};
    constexpr f64 kDisarmAbove = 1333;
    constexpr f64 kFeetPerMetre = 3.281;
    constexpr f64 kThresholdPerFootLost = 6.665;
    if (f.on_ground) {
        gpws_mode3_state = 2;
        forget_mode3_peak();
    }
    const bool clean = f.flaps < f.d1 || f.gear < kGearRetracted;
    if ((gpws_mode3_state == 2 || ap_go_around_mode == 1) && f.ra >= kLowestHeight && clean) gpws_mode3_state = 1;
    if (f.ra > kDisarmAbove) {
        gpws_mode3_state = 0;
        forget_mode3_peak();
    }
    kLimit.update(gpws_mode3_limit, f.ias);

    // Peak and loss are computed from an altitude that is a number; otherwise both keep theirs.
    f64 metres = 0.0;
    const bool have_altitude = tok_number(tok_altitude_m, metres);
    const f64 altitude = metres * kFeetPerMetre;
    tok_refresh(tok_vertical_speed);  // the mode's refresh of the air data, though it uses no vertical speed
    const bool in_envelope = f.ra <= gpws_mode3_limit && f.ra > kLowestHeight;
    if (have_altitude) {
        // The peak starts unset: a take-off below sea level has negative altitudes to climb from.
        if (in_envelope && (!gpws_mode3_peak_set || f64(gpws_mode3_peak) <= altitude)) {
            gpws_mode3_peak = sat_i32(altitude, gpws_mode3_peak);
            gpws_mode3_peak_set = 1;
        }
        gpws_mode3_loss = sat_i32(f64(gpws_mode3_peak) - altitude, gpws_mode3_loss);  // an unset peak counts as 0
    }

    bool sinking = false;
    if (in_envelope && clean && gpws_mode3_state == 1) {
        gpws_mode3_threshold = sat_u32(f64(gpws_mode3_loss) * kThresholdPerFootLost, gpws_mode3_threshold);
        sinking = f.ra <= gpws_mode3_threshold;
    }
    if (sinking)
        gpws_mode3 = 1;
    else if (!keeps_mode3(gpws_callout))
        gpws_mode3 = 0;
}

// ---- Mode 4: too low with gear or flaps up, terrain-clearance floor --------------------------
constexpr f64 kMode4Ceiling = 1000;

void mode4a(const Frame& f) {
    static constexpr AirspeedRamp kBound{200, 270, 500, 7.143, 1000};
    constexpr f64 kSlowN1 = 90, kFastN1 = 80;
    if (f.ra > kMode4Ceiling || f.ra <= kLowestHeight || f.gear >= kGearRetracted) {
        gpws_mode4a = 0;
        return;
    }
    kBound.update(gpws_mode4a_bound, f.ias);
    if (f.ra > gpws_mode4a_bound)
        gpws_mode4a = 0;
    else if (f.ias <= kBound.lo) {
        if (either_n1_below(f, kSlowN1)) gpws_mode4a = 1;
    } else if (f.ias > kBound.lo && either_n1_below(f, kFastN1)) {  // no number: neither band
        gpws_mode4a = 2;
    }
}

void mode4b(const Frame& f) {
    static constexpr AirspeedRamp kBound{165, 270, 245, 7.19, 1000};
    constexpr f64 kGearDown = 15000;  // nose gear position above which the gear counts as down
    constexpr f64 kN1 = 90;
    if (f.ra > kMode4Ceiling || f.ra <= kLowestHeight || f.gear <= kGearDown || f.flaps >= f.d1) {
        gpws_mode4b = 0;
        return;
    }
    kBound.update(gpws_mode4b_bound, f.ias);
    if (f.ra > gpws_mode4b_bound)
        gpws_mode4b = 0;
    else if (either_n1_below(f, kN1) && f.ias <= kBound.lo)
        gpws_mode4b = 1;
    else if (either_n1_below(f, kN1) && f.ias > kBound.lo)  // no number: neither band
        gpws_mode4b = 2;
}

void mode4c(const Frame& f) {
    static constexpr AirspeedRamp kBound{200, 270, 667, 9.51, 1000};
    constexpr f64 kTakeOffN1 = 90;
    constexpr u64 kFloorPercent = 75;
    if ((f.on_ground && (f.n1[0] > kTakeOffN1 || f.n1[1] > kTakeOffN1)) || ap_go_around_mode == 1) {
        gpws_mode4c_state = 2;
        gpws_mode4c_peak = 0;
    }
    if (gpws_mode4c_state == 2 && f.ra >= kLowestHeight) gpws_mode4c_state = 1;
    if (f.ra > kMode4Ceiling) {
        gpws_mode4c_state = 0;
        gpws_mode4c_peak = 0;
    }
    kBound.update(gpws_mode4c_bound, f.ias);
    if (f64(gpws_mode4c_peak) <= f.ra) gpws_mode4c_peak = sat_u32(f.ra, gpws_mode4c_peak);
    if (f.ra <= gpws_mode4c_bound && f.ra > kLowestHeight && gpws_mode4c_state == 1) {
        // 64-bit product: a saturated peak must not wrap the floor around to a small number.
        gpws_mode4c_floor = u32(u64(gpws_mode4c_peak) * kFloorPercent / 100);
        gpws_mode4c = f.ra <= gpws_mode4c_floor ? 1 : 0;
    } else {
        gpws_mode4c = 0;
    }
}

// ---- Mode 5: below the glide slope ---------------------------------------------------------
void mode5(const Frame& f) {
    constexpr f64 kCeiling = 1000, kFloor = 150;
    constexpr f64 kDeviation = -100;  // needle units below the beam
    constexpr f64 kN1 = 90;
    const f64 deviation = g_gs_needle.refresh();
    if (f.ra <= kCeiling && f.ra > kFloor && f.gs_valid && deviation < kDeviation) {
        if (f.n1[0] < kN1 && f.n1[1] < kN1) gpws_mode5 = 1;
    } else {
        gpws_mode5 = 0;
    }
}

// ---- Envelopes, call-out, test ---------------------------------------------------------------
f64 flap_d1() { return f64(inst_flap_detent[1]) - kDetentMargin; }

void run_envelopes(f64 ra) {
    mode1(ra);
    Frame f{};
    f.ra = ra;
    f.flaps = g_flaps.refresh();
    f.ias = g_ias.refresh();
    f.gs_valid = g_gs_valid.refresh() == kHostTrue;
    const f64 tick = g_tick.refresh();
    f.d1 = flap_d1();
    closure_sampler(ra, tick);
    mode2(f);
    f.on_ground = g_on_ground.refresh() == kHostTrue;
    f.gear = g_gear.refresh();
    mode3(f);
    f.n1[0] = g_n1_1.refresh();
    f.n1[1] = g_n1_2.refresh();
    mode4a(f);
    mode4b(f);
    mode4c(f);
    mode5(f);
}

void select_callout() {
    gpws_callout = kNoCallout;
    for (const CalloutRow& row : kCallouts)
        if (*row.mode == row.state) {
            gpws_callout = row.code;
            sound_play(*row.phrase, 0);  // once; started again each frame it still holds
            return;
        }
}

void end_test() {
    gpws_test_step = 0;
    gpws_test_deadline = 0;
    gpws_test_active = 0;
}

// Uses the readings of this frame's envelopes (the test only runs while powered, when they ran).
void test_sequence(f64 ra) {
    constexpr f64 kAirborneTestAbove = 1500;
    constexpr u32 kPhraseTicks = 36;
    const bool on_ground = g_on_ground.value() == kHostTrue;
    if (gpws_test_active != 1 || !(on_ground || ra > kAirborneTestAbove) || gpws_callout != kNoCallout ||
        dc_ess_powered != 1) {
        end_test();
        return;
    }
    const f64 tick = g_tick.value();
    const auto next_phrase = [&](SoundBuffer* phrase, u8 step) {
        sound_play(phrase, 0);
        gpws_test_deadline = deadline_arm(tick, kPhraseTicks);
        gpws_test_step = step;
    };
    const bool due = deadline_reached(gpws_test_deadline, tick, kPhraseTicks);
    switch (gpws_test_step) {
        case 0:
            next_phrase(snd_glideslope, 1);
            break;
        case 1:
            // Flaps extended: the glide-slope phrase alone.
            if (!due) break;
            if (g_flaps.value() > flap_d1())
                end_test();
            else
                next_phrase(snd_wpullup, 2);
            break;
        default:
            // The last step ends the test whatever the flaps did meanwhile; so does a step byte
            // set from outside to a step the sequence does not have.
            if (due || gpws_test_step > 2) end_test();
            break;
    }
}

}  // namespace

void gpws_modes_frame() {
    const f64 ra = g_radio_alt.keep(inst_radio_alt_ft);
    // Unpowered, the state bytes keep their last values and the call-out is chosen from them.
    if (dc_ess_powered == 1) run_envelopes(ra);
    select_callout();
    test_sequence(ra);
}
