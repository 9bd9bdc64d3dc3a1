// Flap and slat position indicator of the main panel: flap and slat tapes, flap lever marker,
// KRUG, SPEED BRAKE, CONFIG and ASYM lamps. Its callback also publishes the flap breakpoints,
// the take-off configuration warning for flaps, slats and spoilers, and the overspeed warning.
// Reads: dc_ess_powered, elec_ac_bus2_powered, hyd_avail, light_zone, annunciator_bright,
//        light_lamp_test, warn_to_config_test_count, inst_asi_needle_kt, inst_asi_barber_kt
// Writes: inst_flap_detent, inst_flap_tape_pos, inst_slat_tape_pos, inst_flap_lever_marker_px,
//         warn_to_config_lamp, warn_to_config_flaps, warn_overspeed, inst_slat_transit,
//         inst_krug_steady, inst_krug_blinking, inst_krug_blink_start, inst_krug_blink_phase
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/deadline.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/tokens.h"
#include "warnings/state.h"

GaugeHeader gauge_flaps_ind;

namespace {
enum Pos : size_t { Face, NightFace, Krug, SpeedBrake, Config, Asym, FlapTape, SlatTape, Marker, kElements };
constexpr LightWalk kWalk{1, walk_positions({NightFace, FlapTape, SlatTape, Marker})};
constexpr u32 kWidthMm = 108;
constexpr f64 kFlapRange = 82.0, kSlatRange = 2.0;

f64 FSAPI flaps_flap_tape_value(ElementHeader*) { return inst_flap_tape_pos; }
f64 FSAPI flaps_slat_tape_value(ElementHeader*) { return inst_slat_tape_pos; }
f64 FSAPI flaps_marker_value(ElementHeader*) { return f64(inst_flap_lever_marker_px); }

const ElementDef kElementDefs[kElements] = {
    //          bitmap   x   y   flags
    el::Static( 1469,    0,  0),
    el::Icon(  10057,    0,  0,  ImageHidden),
    el::Icon(   1488,   67, 57,  ImageHidden),  // KRUG
    el::Icon(   1497,   67, 72,  ImageHidden),  // SPEED BRAKE
    el::Icon(   1491,   17, 96,  ImageHidden),  // CONFIG
    el::Icon(   1494,   55, 96,  ImageHidden),  // ASYM
    el::Moving( 1472,   45,  6,  0, kFlapRange, drum_fixed_x, flaps_flap_tape_value),
    el::Moving( 1478,   68,  6,  0, kSlatRange, drum_fixed_x, flaps_slat_tape_value),
    el::Slider( 1484,   41,  3,  0, nullptr, flaps_marker_value),
};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI flaps_ind_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_flaps_ind, "ketravin flaps_ind_kr60", kWidthMm, flaps_ind_update, kElementDefs,
                          kNoClicks);

constexpr u16 kDetents[3] = {0, 5243, 10485};
constexpr f64 kFlapTravelEnd = 16300.0;  // the last segment ends here, short of full travel

bool blue() { return hyd_avail[0] != 0; }
bool green() { return hyd_avail[1] != 0; }
bool yellow() { return hyd_avail[2] != 0; }

// ---- Lever marker ----
void lever_marker(f64 handle) {
    if (elec_ac_bus2_powered != 1 || !(yellow() || green()) || handle != handle) return;
    inst_flap_lever_marker_px = handle < 6000.0 ? 0 : handle < 10000.0 ? 29 : handle < 14000.0 ? 48 : 82;
}

// ---- Tapes ----
// Flap tape across one segment of the flap travel, from its breakpoints and the tape's value at
// the segment's start; the whole part is an integer quotient, as the indicator was calibrated.
f64 segment(f64 l, i32 lo, i32 hi, i32 k, i32 top) {
    const i32 span = hi - lo;
    if (span <= 0) return inst_flap_tape_pos;
    const i32 q = k * hi / span;
    return (f64(hi) + f64(lo) - l) * f64(k) / f64(span) + f64(top - q);
}

constexpr f64 kSlatStep = 0.01, kSlatIn = 2.0, kSlatFirstStep = 1.0;
void slats_run_in(f64& s) { s = s < 1.99 ? s + kSlatStep : kSlatIn; }
void slats_run_out(f64& s) { s = s >= 1.01 ? s - kSlatStep : kSlatFirstStep; }

void tapes(f64 l, f64 handle) {
    if (elec_ac_bus2_powered != 1 || dc_ess_powered != 1 || !(yellow() || green())) return;
    const f64 d0 = kDetents[0], d1 = kDetents[1], d2 = kDetents[2];
    const bool slats = green();
    f64& f = inst_flap_tape_pos;
    f64& s = inst_slat_tape_pos;
    if (handle < 1.0 && l <= d0 + 0.1) {
        f = kFlapRange;
        if (slats) slats_run_in(s);
    } else if (handle >= 1.0 && l <= d0) {
        f = kFlapRange;
        if (slats) slats_run_out(s);
    } else if (d0 + 1.0 < l && l <= d1) {
        f = segment(l, kDetents[0], kDetents[1], 29, 82);
        if (slats) slats_run_out(s);
    } else if (d1 + 1.0 < l && l <= d2 - 1.0) {
        f = segment(l, kDetents[1], kDetents[2], 19, 53);
        if (slats) s = kSlatFirstStep;
    } else if (d2 + 1.0 < l && l <= kFlapTravelEnd) {
        f = segment(l, kDetents[2], i32(kFlapTravelEnd), 34, 34);
        if (slats) s = 1.0 - (l - d2) / (kFlapTravelEnd - d2);
    }
}

// ---- Slat transit ----
void slat_transit() {
    if (elec_ac_bus2_powered != 1 || dc_ess_powered != 1 || !green()) return;
    const f64 s = inst_slat_tape_pos;
    if (1.01 < s && s < 1.99) {
        inst_slat_transit = 1;
    } else {
        inst_slat_transit = 0;
        inst_krug_blinking = 0;
        inst_krug_blink_start = inst_krug_blink_phase = 0;
    }
    inst_krug_steady = s <= 1.1 && inst_slat_transit == 0 ? 1 : 0;
}

// ---- Take-off configuration ----
constexpr f64 kTakeoffN1 = 97.0;
constexpr f64 kSlatsNotOut = 1.9;
constexpr f64 kSpoilerOut = 500.0, kSpoilerCheckBelowKt = 100.0;

void takeoff_config(f64 l, bool on_ground, f64 ias) {
    if (dc_ess_powered != 1) {
        warn_to_config_lamp = warn_to_config_flaps = 0;
        return;
    }
    const bool wrong = l > f64(kDetents[2]) + 1.0 || inst_slat_tape_pos > kSlatsNotOut;
    const bool thrust = tok_read(tok_eng1_n1) >= kTakeoffN1 || tok_read(tok_eng2_n1) >= kTakeoffN1 ||
                        warn_to_config_test_count != 0;
    const bool spoilers = tok_read(tok_spoilers_left_pos) > kSpoilerOut || tok_read(tok_spoilers_right_pos) > kSpoilerOut;
    const bool lamp = on_ground && (wrong || (spoilers && ias < kSpoilerCheckBelowKt));
    warn_to_config_lamp = lamp ? 1 : 0;
    warn_to_config_flaps = lamp && thrust ? 1 : 0;
}

// ---- Lamps ----
constexpr u32 kBlinkPeriodTicks = 80, kBlinkOnTicks = 4, kBlinkCycleTicks = 8;
constexpr f64 kAsymUnits = 3200.0;

// On 4 ticks and off 4 for a period of 80; judged by elapsed ticks so that a frame slower than
// a tick cannot skip a phase change, and re-based when the tick counter runs back.
void krug_blink() {
    const f64 t = tok_read(tok_tick18);
    ElementHeader* lamp = gauge.el(Krug);
    if (inst_krug_blinking == 0) {
        show_if(lamp, true);
        inst_krug_blink_start = inst_krug_blink_phase = start_at(t);
        inst_krug_blinking = 1;
    }
    start_rebase(inst_krug_blink_start, t);
    start_rebase(inst_krug_blink_phase, t);
    if (t >= f64(inst_krug_blink_start) + kBlinkPeriodTicks) {
        show_if(lamp, false);
        inst_krug_blinking = 0;
        inst_slat_transit = 0;
    } else if (t >= f64(inst_krug_blink_phase) + kBlinkCycleTicks) {
        show_if(lamp, true);
        inst_krug_blink_phase = start_at(t);
    } else if (t >= f64(inst_krug_blink_phase) + kBlinkOnTicks) {
        show_if(lamp, false);
    }
}

void lamps(f64 l, f64 r) {
    if (dc_ess_powered != 1) {
        for (size_t p : {Krug, SpeedBrake, Config, Asym}) show_if(gauge.el(p), false);
        inst_slat_transit = inst_krug_blinking = 0;
        return;
    }
    const bool test = light_lamp_test == 1;
    if (yellow() || blue()) {
        const bool out = tok_read(tok_spoilers_left_pos) > 0.0 || tok_read(tok_spoilers_right_pos) > 0.0;
        show_if(gauge.el(SpeedBrake), (out && tok_read(tok_spoilers_handle) >= 1.0) || test);
    }
    show_if(gauge.el(Config), warn_to_config_lamp == 1 || test);
    if (inst_slat_transit == 1)
        krug_blink();
    else
        show_if(gauge.el(Krug), inst_krug_steady == 1 || test);
    show_if(gauge.el(Asym), l - r >= kAsymUnits || l - r <= -kAsymUnits || test);
}

// ---- Overspeed ----
constexpr f64 kBarberMarginKt = 2.0;
constexpr f64 kSlatsPlacardKt = 250.0, kFlaps1PlacardKt = 215.0, kFlaps2PlacardKt = 205.0, kFlaps3PlacardKt = 180.0;

bool overspeed(f64 l, f64 ias) {
    const f64 d0 = kDetents[0], d1 = kDetents[1], d2 = kDetents[2];
    return inst_asi_needle_kt > f64(inst_asi_barber_kt) + kBarberMarginKt ||
           (inst_slat_tape_pos <= kSlatsNotOut && l <= d0 && ias > kSlatsPlacardKt) ||
           (d0 + 1.0 < l && l <= d1 && ias > kFlaps1PlacardKt) ||
           (d1 + 1.0 < l && l <= d2 && ias > kFlaps2PlacardKt) ||
           (d2 + 1.0 < l && l <= kFlapTravelEnd && ias > kFlaps3PlacardKt);
}

void FSAPI flaps_ind_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Lighting walk; the night face follows the zone. The lamps are not walked.
    light_walk(gauge.header(), kWalk);
    show_if(gauge.el(NightFace), light_zone[kWalk.zone] == 1);
    // 2. Breakpoints, published every frame.
    for (size_t i = 0; i < 3; ++i) inst_flap_detent[i] = kDetents[i];
    // 3-5. Lever marker, tapes, slat transit.
    lever_marker(tok_read(tok_flaps_handle));
    const f64 l = tok_read(tok_flaps_left_pos);
    tapes(l, tok_read(tok_flaps_handle));
    slat_transit();
    // 6. Take-off configuration; 7. lamps; 8. overspeed.
    const bool on_ground = tok_read(tok_on_ground) == 1.0;
    const f64 ias = tok_read(tok_ias_kt);
    takeoff_config(l, on_ground, ias);
    lamps(l, tok_read(tok_flaps_right_pos));
    warn_overspeed = dc_ess_powered == 1 && overspeed(l, ias) ? 1 : 0;
}
}  // namespace
