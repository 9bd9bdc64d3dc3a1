// The ground proximity warning computer: envelopes, call-out priority and phrases, closure-rate
// sampler and test sequence, driven directly or through the aural warning unit on the host's clock.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "instruments/state.h"
#include "warnings/state.h"
#include "warnings/gpws_modes.h"
#include "module/tokens.h"
#include "sound/recording.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
constexpr f64 kFlapsUp = 0, kFlapsDown = 10485, kGearDown = 16384;
using V = std::vector<std::string>;

class Gpws : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place("ketravin gpws_kr60");  // loads the phrases; its frames run the computer
        inst_flap_detent[1] = 5243, inst_flap_detent[2] = 10485;
        dc_ess_powered = 1;
        for (const TokenVar* t : {&tok_eng1_n1, &tok_eng2_n1}) set(*t, 95);
        set(tok_ias_kt, 250);
        plays();
    }
    void set(const TokenVar& t, f64 v) { token(t.id, v); }
    void altitude_ft(f64 ft) { set(tok_altitude_m, ft / 3.281); }
    // Names of the sounds started since the last call.
    V plays() {
        V out;
        for (SoundEvent e; seen_ < sound_recording_count(); ++seen_)
            if (sound_recording_event(seen_, &e) && e.call == SoundCall::Play) out.push_back(e.name);
        return out;
    }
    u64 seen_ = 0;
};

TEST_F(Gpws, Mode1SinkRateEnvelope) {
    const struct { i32 vs; f64 ra; u8 want; } cases[] = {
        {-3000, 1000, 1}, {-3000, 700, 2}, {-3000, 1300, 0}, {-3000, 10, 0}, {-999, 500, 0}, {-2000, 425, 2},
        {-2000, 426, 1}, {-10000, 2450, 2}, {-10000, 2450.5, 0}, {INT32_MIN, 2000, 2}, {INT32_MAX, 500, 0},
        {-6800, 2235, 2}, {-6800, 2236, 1},  // pull-up from trunc(5000 x 0.377 + 350) = 2235 ft
        {-3000, 1230, 1}, {-3000, 1231, 0}, {-3000, 11, 2},  // sink rate from 2000 x 0.61 + 10 = 1230 ft
    };
    for (const auto& [vs, ra, want] : cases) {
        inst_vs_fpm = vs, inst_radio_alt_ft = ra;
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode1, want) << vs << " fpm at " << ra << " ft";
    }
}

TEST_F(Gpws, Mode2ClosureBoundAndCeiling) {
    struct Case { i32 rate; f64 ias, ra; u32 bound, ceiling; u8 want; f64 flaps = 0, gs = 0; } cases[] = {
        {-1999, 250, 100, 0, 1720, 0},     {-2000, 250, 31, 30, 1720, 0},       {-3000, 250, 840, 840, 1720, 1},
        {-3000, 250, 841, 840, 1720, 0},   {-3000, 250, 420, 840, 1720, 2},     {-8000, 250, 900, 1800, 1720, 2},
        {INT32_MIN, 400, 2000, 2000, 2000, 1}, {-9000, 230, 1650, 2000, 1650, 1}, {-9000, 231, 1653.5, 0, 1653, 0},
        {-9000, 250, 30, 0, 1720, 0},
        {-3000, 250, 500, 840, 1720, 1, 5142}, {-3000, 250, 500, 0, 1720, 0, 5143},
        {-3000, 250, 500, 0, 1720, 0, 5142, 1},  // flaps at detent 1 less 100 (5143) or a glide slope: no mode 2
    };
    gpws_closure_state = 1, gpws_closure_deadline = UINT32_MAX;  // the sampler keeps each rate as set
    for (const Case& c : cases) {
        gpws_closure_rate = c.rate, gpws_mode2 = 0, gpws_mode2_bound = 0, gpws_callout = 0;
        set(tok_ias_kt, c.ias), set(tok_flaps_left_pos, c.flaps), set(tok_nav1_gs_valid, c.gs);
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        EXPECT_TRUE(gpws_mode2_ceiling == c.ceiling && gpws_mode2_bound == c.bound && gpws_mode2 == c.want)
            << c.rate << " fpm, " << c.ias << " kt, " << c.ra << " ft, flaps " << c.flaps;
    }
}

// After a pull-up (RA at or below half the bound) the state holds between half and bound while
// its call-out is current, and a climb of more than 300 ft above the saved altitude clears it.
TEST_F(Gpws, Mode2PullUpHoldsThenClearsOnAClimb) {
    gpws_closure_state = 1, gpws_closure_deadline = UINT32_MAX, gpws_closure_rate = -3000;  // bound 840
    const struct { f64 ra, indicated_ft; u8 want; } steps[] = {
        {400, 5000, 2},  // below half (420): pull-up, altitude 5000 saved
        {600, 5200, 2},  // between half and bound with call-out 22: held
        {600, 5300, 2},  // 300 ft above: not yet
        {600, 5301, 0},  // more than 300 ft: cleared although below the bound
    };
    for (const auto& [ra, indicated_ft, want] : steps) {
        inst_radio_alt_ft = ra;
        set(tok_indicated_altitude_ft, indicated_ft);
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode2, want) << ra << " ft RA, " << indicated_ft << " ft";
    }
}

// Take-off thrust on the ground arms modes 3 and 4C; from fields at three elevations (below sea
// level the mode 3 peak starts negative): a climb, a sink, both disarm heights, a go-around.
TEST_F(Gpws, Mode3AndMode4cAfterTakeOffOrGoAround) {
    const struct { f64 ra; u8 go_around, mode3, mode4c, state4c; } steps[] = {
        {560, 0, 0, 0, 1},  {500, 0, 1, 0, 1}, {451, 0, 1, 0, 1}, {450, 0, 1, 1, 1}, {590, 0, 0, 0, 1},
        {1001, 0, 0, 0, 0}, {1334, 0, 0, 0, 0}, {500, 0, 0, 0, 0}, {400, 1, 1, 0, 1}, {300, 0, 1, 1, 1},
    };
    for (f64 field : {-200.0, 0.0, 1500.0}) {
        auto at = [&](f64 ra) {
            inst_radio_alt_ft = ra;
            altitude_ft(field + ra);
            gpws_modes_frame();
            return gpws_mode3 + gpws_mode4c;
        };
        set(tok_on_ground, 1);
        at(0);
        set(tok_on_ground, 0);
        for (f64 ra = 29; ra <= 600; ra += 1)
            EXPECT_TRUE(at(ra) == 0 && gpws_mode4c_state == (ra < 30 ? 2 : 1)) << "climbing at " << ra << " ft";
        for (const auto& [ra, go_around, mode3, mode4c, state4c] : steps) {  // peak 600 ft, 4C floor 450 ft
            ap_go_around_mode = go_around;
            at(ra);
            EXPECT_TRUE(gpws_mode3 == mode3 && gpws_mode4c == mode4c && gpws_mode4c_state == state4c)
                << ra << " ft from a field at " << field;
        }
    }
}

// Mode 3 warns at a height of at most 6.665 ft per whole foot lost below the peak, altitudes in
// metres x 3.281: from a peak of 1000 m (3281 ft), 977.2 m (3206.19 ft) is 74 ft lost, 493 ft;
// 969.5184 m (3180.99 ft) and 969.2228 m (3180.02 ft) are 100 ft lost, 666 ft. Disarmed only
// above 1333 ft.
TEST_F(Gpws, Mode3ThresholdIsInclusive) {
    set(tok_on_ground, 1);
    inst_radio_alt_ft = 0;
    gpws_modes_frame();
    set(tok_on_ground, 0);
    const struct { f64 ra, metres; u8 want; } steps[] = {
        {600, 1000, 0}, {493, 977.2, 1}, {494, 977.2, 0}, {493, 977.2, 1}, {400, 1000, 0},
        {666, 969.5184, 1}, {667, 969.5184, 0}, {667, 969.2228, 0}, {666, 969.2228, 1},
        {993, 954.5, 1},    {994, 954.5, 0},  // 149 ft lost: 993 ft
        {1333, 1000, 0},    {493, 977.2, 1}};  // still armed at 1333 ft
    for (const auto& [ra, metres, want] : steps) {
        inst_radio_alt_ft = ra;
        set(tok_altitude_m, metres);
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode3, want) << ra << " ft RA at " << metres << " m";
    }
    inst_radio_alt_ft = 1334;  // disarmed: the peak is forgotten, the loss counts from 0
    set(tok_altitude_m, 1000);
    gpws_modes_frame();
    EXPECT_TRUE(gpws_mode3_state == 0 && gpws_mode3_peak == 0 && gpws_mode3_loss == -3281) << gpws_mode3_loss;
}

// The airspeed-scheduled bounds: flat below and above their ramps, truncated along them.
TEST_F(Gpws, BoundsFollowTheirAirspeedRamps) {
    const struct { f64 ias; u32 ceiling2, limit3, bound4a, bound4b, bound4c; } kCases[] = {
        {165, 1650, 667, 500, 245, 667},     {190.5, 1650, 672, 500, 428, 667},   {200.5, 1650, 783, 503, 500, 671},
        {231, 1653, 1122, 721, 719, 961},    {249.5, 1718, 1327, 853, 852, 1137}, {269.5, 1788, 1333, 996, 996, 1327},
        {329, 1996, 1333, 1000, 1000, 1000}, {335, 2000, 1333, 1000, 1000, 1000},
    };
    inst_radio_alt_ft = 500;
    for (const auto& c : kCases) {
        set(tok_ias_kt, c.ias);
        set(tok_gear_nose_pos, 0);  // gear up: mode 4A
        gpws_modes_frame();
        EXPECT_TRUE(gpws_mode2_ceiling == c.ceiling2 && gpws_mode3_limit == c.limit3 && gpws_mode4a_bound == c.bound4a &&
                    gpws_mode4c_bound == c.bound4c)
            << c.ias << " kt: " << gpws_mode2_ceiling << " " << gpws_mode3_limit << " " << gpws_mode4a_bound << " "
            << gpws_mode4c_bound;
        set(tok_gear_nose_pos, kGearDown);  // gear down, flaps up: mode 4B
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode4b_bound, c.bound4b) << c.ias << " kt";
    }
}

// Mode 4C arms on the ground above 90 % N1 on either engine, or in go-around, whatever the height.
TEST_F(Gpws, Mode4cArmsAtTakeOffThrustOrInGoAround) {
    const struct { f64 ground, n1a, n1b; u8 go_around, state; } kCases[] = {
        {1, 90, 90, 0, 0}, {1, 90.1, 0, 0, 2}, {1, 0, 90.1, 0, 2}, {0, 95, 95, 0, 0}, {0, 0, 0, 1, 2}};
    for (const auto& c : kCases) {
        inst_radio_alt_ft = 1500;  // disarms
        set(tok_on_ground, 0), ap_go_around_mode = 0;
        gpws_modes_frame();
        inst_radio_alt_ft = 0;
        set(tok_on_ground, c.ground), set(tok_eng1_n1, c.n1a), set(tok_eng2_n1, c.n1b), ap_go_around_mode = c.go_around;
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode4c_state, c.state) << "row " << &c - kCases;
    }
}

TEST_F(Gpws, Mode4TooLowWithGearOrFlapsUp) {
    // Gear 16384 is down; flaps 5143 count as out.
    struct Case { f64 gear, flaps, ias, ra, n1a, n1b; u8 start, want_a, want_b; } cases[] = {
        {0, 0, 200, 500, 89, 95, 0, 1, 0},     {0, 0, 200, 501, 89, 95, 1, 0, 0},  {0, 0, 200, 500, 95, 95, 2, 2, 0},
        {0, 0, 201, 507, 85, 95, 0, 0, 0},     {0, 0, 201, 507, 79, 95, 0, 2, 0},  {0, 0, 200, 30, 10, 10, 1, 0, 0},
        {15000, 0, 165, 100, 50, 50, 1, 0, 0}, {16384, 0, 165, 245, 89, 95, 0, 0, 1}, {16384, 0, 165, 246, 89, 95, 1, 0, 0},
        {16384, 0, 270, 1000, 89, 89, 0, 0, 2}, {16384, 5143, 165, 100, 50, 50, 1, 0, 0}, {16384, 5142, 165, 100, 50, 50, 0, 0, 1},
        {0, 0, 269.99, 1000, 79, 95, 1, 0, 0},  // 4A bound just below 270 kt: trunc(999.93) = 999 ft
        {15, 0, 200, 500, 89, 95, 1, 0, 0},     {0, 0, 200, 31, 89, 95, 0, 1, 0},  // gear from 10 is down; above 30 ft
        {15500, 0, 165, 100, 50, 50, 0, 0, 1},  // for 4B the gear is down above 15000
        {16384, 0, 165, 200, 90, 95, 0, 0, 0},  // 4B with both engines at 90 % N1 or more: left as it was
        {16384, 0, 166, 252, 89, 95, 0, 0, 2},  // 4B from 1 kt above 165: trunc(252.19) = 252 ft
        // An airspeed that is no number is in neither band; the bounds stand as last computed.
        {0, 0, kNaN, 400, 79, 95, 0, 0, 0},     {16384, 0, kNaN, 200, 89, 95, 1, 0, 1},
    };
    for (const Case& c : cases) {
        gpws_mode4a = gpws_mode4b = c.start;
        set(tok_gear_nose_pos, c.gear), set(tok_flaps_left_pos, c.flaps), set(tok_ias_kt, c.ias);
        set(tok_eng1_n1, c.n1a), set(tok_eng2_n1, c.n1b);
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        EXPECT_TRUE(gpws_mode4a == c.want_a && gpws_mode4b == c.want_b) << "row " << &c - cases;
    }
}

TEST_F(Gpws, Mode5BelowTheGlideSlope) {
    const struct { f64 ra, valid, dev, n1a; u8 start, want; } cases[] = {
        {500, 1, -101, 80, 0, 1}, {500, 1, -100, 80, 1, 0}, {150, 1, -200, 80, 1, 0}, {1000.5, 1, -200, 80, 1, 0},
        {500, 0, -200, 80, 1, 0}, {500, 1, -200, 90, 0, 0}, {500, 1, -200, 90, 1, 1},  // N1 counts only on entry
        {155, 1, -101, 80, 0, 1}, {500, 1, kNaN, 80, 1, 0},  // a deviation that is no number: not below
    };
    set(tok_flaps_left_pos, kFlapsDown), set(tok_gear_nose_pos, kGearDown), set(tok_eng2_n1, 80);
    for (const auto& [ra, valid, dev, n1a, start, want] : cases) {
        gpws_mode5 = start, inst_radio_alt_ft = ra;
        set(tok_eng1_n1, n1a), set(tok_nav1_gs_valid, valid), set(tok_nav1_gs_needle, dev);
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode5, want) << ra << " ft, deviation " << dev << ", N1 " << n1a;
    }
}

// Unpowered, the states freeze and the call-out and its phrase are still chosen from them.
TEST_F(Gpws, CalloutPriorityAndPhraseFromFrozenStates) {
    dc_ess_powered = 0;
    const struct { const char* states; u16 want; const char* phrase; } cases[] = {  // modes 1, 2, 3, 4A, 4B, 4C, 5
        {"1111111", 10, "SNKRATE"},        {"2111111", 12, "WPULLUP"},    {"0111111", 20, "TERRAIN"},
        {"0011111", 30, "DONTSNK"},        {"0001111", 410, "TOOLOWGEAR"}, {"0002111", 412, "TOOLOWTERRAIN"},
        {"0000111", 420, "TOOLOWFLAPS"},   {"0000011", 43, "TOOLOWTERRAIN"}, {"0000001", 50, "GLIDESLOPE"},
        {"3323322", 0, nullptr},
    };
    u8* modes[] = {&gpws_mode1, &gpws_mode2, &gpws_mode3, &gpws_mode4a, &gpws_mode4b, &gpws_mode4c, &gpws_mode5};
    for (const auto& [states, want, phrase] : cases) {
        for (int i = 0; i < 7; ++i) *modes[i] = u8(states[i] - '0');
        inst_radio_alt_ft = 5;  // would clear every mode if they ran: the call-outs show they froze
        gpws_modes_frame();
        EXPECT_EQ(gpws_callout, want) << states;
        EXPECT_EQ(plays(), phrase ? V{phrase} : V{}) << states;
    }
}

// Samples 18 ticks apart (on the first frame at or past the deadline), except that step 0
// follows step 3 on the next frame.
TEST_F(Gpws, ClosureSamplerKeepsTicksAtEveryFrameRate) {
    for (f64 fps : {10.0, 18.0, 60.0}) {
        host().set_fps(fps);
        f64 t = 0, last = 0, last_tick = 0;
        u8 state = gpws_closure_state;
        int samples = 0;
        for (u64 n = 0; n < u64(12 * fps); ++n) {
            t += 1 / fps;
            inst_radio_alt_ft = 2400 - 50 * t;  // 3000 ft/min down
            frames(1);
            if (gpws_closure_state == state) continue;
            const bool step0 = gpws_closure_state == 1;  // step 0 does not wait
            const f64 tick = host().token(tok_tick18.id);
            if (samples++ > 0) {
                if (step0) {
                    EXPECT_NEAR(t - last, 1 / fps, 1e-9) << "step 0 at " << fps << " fps";
                } else {
                    EXPECT_GE(tick - last_tick, 18.0) << fps << " fps";
                    EXPECT_LT(tick - last_tick, 18.0 + 18.0 / fps) << fps << " fps";
                }
                EXPECT_NEAR(gpws_closure_rate, -3000 * (t - last), 61) << fps;  // whole feet: 60 ft/min off at most
            }
            state = gpws_closure_state, last = t, last_tick = tick;
        }
        EXPECT_GE(samples, 15) << fps;
    }
}

// The glide-slope phrase, then (flaps up) the pull-up phrase 36 ticks later, then the end.
TEST_F(Gpws, TestSequenceTimesItsPhrasesInTicks) {
    set(tok_on_ground, 1);
    for (f64 fps : {18.0, 60.0})
        for (f64 flaps : {kFlapsUp, kFlapsDown}) {
            SCOPED_TRACE(std::to_string(fps) + " fps, flaps " + std::to_string(flaps));
            host().set_fps(fps);
            set(tok_flaps_left_pos, flaps);
            frames(2);
            plays();
            gpws_test_active = 1;
            f64 first = -1, t = 0;  // ticks from the first frame of the test
            std::vector<f64> glide_slope, pull_up;
            while (gpws_test_active == 1 && t < 180) {
                frames(1);
                if (first < 0) first = host().token(1);
                t = host().token(1) - first;
                for (const std::string& p : plays()) (p == "GLIDESLOPE" ? glide_slope : pull_up).push_back(t);
            }
            EXPECT_EQ(t, flaps == kFlapsUp ? 72.0 : 36.0);
            EXPECT_EQ(glide_slope, std::vector<f64>{0.0});
            ASSERT_EQ(pull_up.size(), flaps == kFlapsUp ? 1u : 0u) << "flaps out: the glide-slope phrase alone";
            for (f64 at : pull_up) EXPECT_EQ(at, 36.0);
        }
}

TEST_F(Gpws, SamplerAndTestSequenceSurviveTheClockJumpingBack) {
    set(tok_on_ground, 1);
    const JumpTimer timers[] = {
        {"closure sample", 1.0, [] { gpws_closure_state = 0; }, [] { return gpws_closure_state == 2; }},
        {"test phrase", 2.0, [] { gpws_test_active = 1, gpws_test_step = 0; }, [] { return gpws_test_step == 2; }},
    };
    for (const JumpTimer& t : timers) expect_timer_survives_clock_jumps(host(), t);
}

// Airborne at or below 1500 ft, unpowered or during a call-out, the test ends before its first phrase.
TEST_F(Gpws, TestEndsSilentlyOutsideItsConditions) {
    const struct { f64 ground, ra; u8 power, sinking; bool runs; } cases[] = {
        {0, 1500, 1, 0, false}, {0, 1501, 1, 0, true}, {1, 0, 0, 0, false}, {0, 1600, 1, 1, false},
    };
    for (const auto& [ground, ra, power, sinking, runs] : cases) {
        set(tok_on_ground, ground);
        inst_radio_alt_ft = ra, dc_ess_powered = power, inst_vs_fpm = sinking ? -10000 : 0;
        gpws_modes_frame();  // call-out of the previous frame is what the test sees
        gpws_test_active = 1, gpws_test_step = 0;
        gpws_modes_frame();
        EXPECT_TRUE(gpws_test_active == runs && gpws_test_step == runs && (gpws_test_deadline != 0) == runs)
            << ra << " ft, power " << int(power);
        const V heard = plays();
        EXPECT_EQ(std::count(heard.begin(), heard.end(), "GLIDESLOPE"), runs ? 1 : 0);
    }
}

// From quiet armed flight, a value that is no number in any one input for two seconds raises no
// call-out (nor once it is good again) and leaves modes 3 and 4C armed; so does an infinity in the
// clock, the altitudes and the radio altitude (the others are compared as they are). A gear or flap
// position that is no number meets none of mode 4B's clearing tests, so 4B alone may sound meanwhile.
TEST_F(Gpws, HostGarbageRaisesNothing) {
    const TokenVar* inputs[] = {&tok_tick18, &tok_nav1_gs_needle, &tok_nav1_gs_valid, &tok_on_ground, &tok_ias_kt,
                                &tok_altitude_m, &tok_indicated_altitude_ft, &tok_flaps_left_pos, &tok_gear_nose_pos,
                                &tok_eng1_n1, &tok_eng2_n1, nullptr};  // null: the radio altitude
    const f64 states[][4] = {{500, 0, kFlapsUp, 0}, {800, kGearDown, kFlapsDown, 1}};  // RA, gear, flaps, GS valid
    set(tok_on_ground, 1);
    frames(2);  // arms modes 3 and 4C; then with N1 85 the glide-slope warning only waits for a deviation
    set(tok_on_ground, 0), set(tok_eng1_n1, 85), set(tok_eng2_n1, 85);
    inst_vs_fpm = -700;
    for (const auto& [ra, gear, flaps, gs_valid] : states) {
        set(tok_gear_nose_pos, gear), set(tok_flaps_left_pos, flaps), set(tok_nav1_gs_valid, gs_valid);
        altitude_ft(ra);
        inst_radio_alt_ft = ra;
        frames(36);
        for (const TokenVar* in : inputs)
            for (f64 garbage : {kNaN, kInf, -kInf}) {
                const bool infinity_is_garbage = !in || in == &tok_tick18 || in == &tok_altitude_m ||
                                                 in == &tok_indicated_altitude_ft;
                if (!std::isnan(garbage) && !infinity_is_garbage) continue;
                const f64 good = in ? host().token(in->id) : ra;
                const auto put = [&](f64 v) { in ? token(in->id, v) : void(inst_radio_alt_ft = v); };
                for (int n = 0; n < 54; ++n) {  // two seconds of garbage, one after
                    if (n <= 36) put(n < 36 ? garbage : good);
                    frames(1);
                    const bool mode4b_may_sound = n < 36 && std::isnan(garbage) &&
                                                  (in == &tok_gear_nose_pos || in == &tok_flaps_left_pos);
                    ASSERT_TRUE(gpws_callout == 0 || (mode4b_may_sound && gpws_callout == 422))
                        << (in ? in->id : 0) << " = " << garbage << " at " << ra << ", " << n << ": " << gpws_callout;
                }
            }
        EXPECT_TRUE(gpws_mode3_state == 1 && gpws_mode4c_state == 1) << "still armed after the garbage";
    }
}
