// The ground proximity warning computer: envelopes, call-out priority and phrases, closure-rate
// sampler and test sequence, driven directly or through the aural warning unit on the host's clock.
#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "autoflight/state.h"
#include "core/gpws_modes.h"
#include "core/gpws_state.h"
#include "core/state.h"
#include "instruments/state.h"
#include "module/tokens.h"
#include "sound/recording.h"
#include "tests/host_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
constexpr f64 kInf = std::numeric_limits<f64>::infinity();
constexpr f64 kFlapsUp = 0, kFlapsDown = 10485, kGearDown = 16384;
using V = std::vector<std::string>;
}  // namespace

class Gpws : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place("ketravin gpws_kr60");  // loads the phrases; its frames run the computer
        inst_flap_detent[1] = 5243;
        inst_flap_detent[2] = 10485;
        dc_ess_powered = 1;
        set(tok_ias_kt, 250);
        set(tok_eng1_n1, 95);
        set(tok_eng2_n1, 95);
        plays();
    }
    void set(const TokenVar& t, f64 v) { token(t.id, v); }
    void altitude_ft(f64 ft) { set(tok_altitude_m, ft / 3.281); }
    // Keeps the closure rate as a test sets it.
    void freeze_sampler() {
        gpws_closure_state = 1;
        gpws_closure_deadline = std::numeric_limits<u32>::max();
    }
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
    struct Case { i32 vs; f64 ra; u8 want; } cases[] = {
        {-3000, 1000, 1}, {-3000, 700, 2}, {-3000, 1300, 0}, {-3000, 10, 0}, {-999, 500, 0}, {-2000, 425, 2},
        {-2000, 426, 1}, {-2000, 621, 0}, {-1799, 11, 1}, {-10000, 2450, 2}, {-10000, 2450.5, 0},
        {INT32_MIN, 2000, 2}, {INT32_MAX, 500, 0},
    };
    for (const Case& c : cases) {
        inst_vs_fpm = c.vs;
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode1, c.want) << c.vs << " fpm at " << c.ra << " ft";
        EXPECT_EQ(gpws_callout, c.want == 0 ? 0 : c.want == 1 ? 10 : 12);
    }
}

TEST_F(Gpws, Mode2ClosureBoundAndCeiling) {
    // Flaps at detent 1 less the margin (5143), or a glide slope received: no mode 2.
    struct Case { i32 rate; f64 ias, ra; u32 bound, ceiling; u8 want; f64 flaps = 0, gs = 0; } cases[] = {
        {-1999, 250, 100, 0, 1720, 0},     {-2000, 250, 31, 30, 1720, 0},       {-3000, 250, 840, 840, 1720, 1},
        {-3000, 250, 841, 840, 1720, 0},   {-3000, 250, 420, 840, 1720, 2},     {-3500, 250, 1250, 1250, 1720, 1},
        {-8000, 250, 900, 1800, 1720, 2},  {INT32_MIN, 400, 2000, 2000, 2000, 1}, {-9000, 329, 1997, 0, 1996, 0},
        {-9000, 230, 1650, 2000, 1650, 1}, {-9000, 231, 1653.5, 0, 1653, 0},    {-9000, 250, 30, 0, 1720, 0},
        {-3000, 250, 500, 840, 1720, 1, 5142}, {-3000, 250, 500, 0, 1720, 0, 5143},
        {-3000, 250, 500, 0, 1720, 0, 5142, 1},
    };
    for (const Case& c : cases) {
        freeze_sampler();
        gpws_closure_rate = c.rate;
        gpws_mode2 = 0, gpws_mode2_bound = 0, gpws_callout = 0;
        set(tok_ias_kt, c.ias);
        set(tok_flaps_left_pos, c.flaps);
        set(tok_nav1_gs_valid, c.gs);
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        SCOPED_TRACE(testing::Message() << c.rate << " fpm, " << c.ias << " kt, " << c.ra << " ft, flaps " << c.flaps);
        EXPECT_TRUE(gpws_mode2_ceiling == c.ceiling && gpws_mode2_bound == c.bound && gpws_mode2 == c.want);
    }
}

// Climb-out from fields at three elevations, then a sink: the same warnings everywhere,
// including below sea level where the peak starts negative.
TEST_F(Gpws, Mode3AltitudeLossFromAnyFieldElevation) {
    for (f64 field : {-200.0, 0.0, 1500.0}) {
        auto at = [&](f64 ra) {
            inst_radio_alt_ft = ra;
            altitude_ft(field + ra);
            gpws_modes_frame();
            return gpws_mode3;
        };
        set(tok_on_ground, 1);
        at(0);
        set(tok_on_ground, 0);
        for (f64 ra = 30; ra <= 600; ra += 10) EXPECT_EQ(at(ra), 0) << "climbing at " << ra << " ft from " << field;
        EXPECT_EQ(gpws_mode3_state, 1);
        // Lost 40, 100, 10 ft; above 1333 ft mode 3 disarms until the ground or a go-around.
        for (const auto& [ra, want] : {std::pair{560.0, 0}, {500.0, 1}, {590.0, 0}, {1334.0, 0}, {500.0, 0}})
            EXPECT_EQ(at(ra), want) << ra << " ft from a field at " << field;
        EXPECT_EQ(gpws_mode3_state, 0);
    }
}

TEST_F(Gpws, Mode4TooLowWithGearOrFlapsUp) {
    struct Case { f64 gear, flaps, ias, ra, n1a, n1b; u8 start, want_a, want_b; } cases[] = {
        {0, kFlapsUp, 200, 500, 89, 95, 0, 1, 0},      {0, kFlapsUp, 200, 501, 89, 95, 1, 0, 0},
        {0, kFlapsUp, 200, 500, 95, 95, 2, 2, 0},      {0, kFlapsUp, 201, 507, 85, 95, 0, 0, 0},
        {0, kFlapsUp, 201, 507, 79, 95, 0, 2, 0},      {0, kFlapsUp, 270, 1000.5, 79, 79, 1, 0, 0},
        {0, kFlapsUp, 200, 30, 10, 10, 1, 0, 0},       {10, kFlapsUp, 200, 300, 10, 10, 1, 0, 0},
        {kGearDown, kFlapsUp, 165, 245, 89, 95, 0, 0, 1}, {kGearDown, kFlapsUp, 165, 246, 89, 95, 1, 0, 0},
        {kGearDown, kFlapsUp, 270, 1000, 89, 89, 0, 0, 2}, {kGearDown, kFlapsUp, 165, 100, 95, 95, 2, 0, 2},
        {15000, kFlapsUp, 165, 100, 50, 50, 1, 0, 0},  {kGearDown, 5143, 165, 100, 50, 50, 1, 0, 0},
        {kGearDown, 5142, 165, 100, 50, 50, 0, 0, 1},
    };
    for (const Case& c : cases) {
        gpws_mode4a = gpws_mode4b = c.start;
        for (const auto& [t, v] : {std::pair{&tok_gear_nose_pos, c.gear}, {&tok_flaps_left_pos, c.flaps},
                                   {&tok_ias_kt, c.ias}, {&tok_eng1_n1, c.n1a}, {&tok_eng2_n1, c.n1b}})
            set(*t, v);
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        EXPECT_TRUE(gpws_mode4a == c.want_a && gpws_mode4b == c.want_b) << "gear " << c.gear << " IAS " << c.ias
                                                                        << " RA " << c.ra << " flaps " << c.flaps;
    }
}

// Armed on the ground with take-off thrust (N1 95) or by a go-around, each with a peak from there.
TEST_F(Gpws, Mode4cFloorIsThreeQuartersOfThePeakAfterTakeOffOrGoAround) {
    set(tok_ias_kt, 200);  // bound 667
    struct Step { f64 ground; u8 go_around; f64 ra; u8 state, want; } steps[] = {
        {1, 0, 0, 2, 0},  {0, 0, 29, 2, 0},  {0, 0, 30, 1, 0},   {0, 0, 600, 1, 0}, {0, 0, 451, 1, 0},
        {0, 0, 450, 1, 1}, {0, 0, 1001, 0, 0}, {0, 0, 100, 0, 0}, {0, 1, 400, 1, 0}, {0, 0, 300, 1, 1},
    };
    for (const Step& s : steps) {
        set(tok_on_ground, s.ground);
        ap_go_around_mode = s.go_around;
        inst_radio_alt_ft = s.ra;
        gpws_modes_frame();
        EXPECT_TRUE(gpws_mode4c_state == s.state && gpws_mode4c == s.want) << s.ra;
    }
}

TEST_F(Gpws, Mode5BelowTheGlideSlope) {
    struct Case { f64 ra, valid, dev, n1a; u8 start, want; } cases[] = {
        {500, 1, -101, 80, 0, 1}, {500, 1, -100, 80, 1, 0}, {150, 1, -200, 80, 1, 0},  {151, 1, -200, 80, 0, 1},
        {1000, 1, -200, 80, 0, 1}, {1000.5, 1, -200, 80, 1, 0}, {500, 0, -200, 80, 1, 0}, {500, 1, -200, 90, 0, 0},
        {500, 1, -200, 90, 1, 1},  // N1 counts only on entry
    };
    set(tok_flaps_left_pos, kFlapsDown);
    set(tok_gear_nose_pos, kGearDown);
    set(tok_eng2_n1, 80);
    for (const Case& c : cases) {
        gpws_mode5 = c.start;
        set(tok_eng1_n1, c.n1a);
        set(tok_nav1_gs_valid, c.valid);
        set(tok_nav1_gs_needle, c.dev);
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode5, c.want) << c.ra << " ft, deviation " << c.dev << ", N1 " << c.n1a;
    }
}

// Unpowered, the states freeze and the call-out and its phrase are still chosen from them.
TEST_F(Gpws, CalloutPriorityAndPhraseFromFrozenStates) {
    dc_ess_powered = 0;
    struct Case { u8 m1, m2, m3, m4a, m4b, m4c, m5; u16 want; const char* phrase; } cases[] = {
        {1, 1, 1, 1, 1, 1, 1, 10, "SNKRATE"},        {2, 1, 1, 1, 1, 1, 1, 12, "WPULLUP"},
        {0, 1, 1, 1, 1, 1, 1, 20, "TERRAIN"},        {0, 2, 1, 1, 1, 1, 1, 22, "WPULLUP"},
        {0, 0, 1, 1, 1, 1, 1, 30, "DONTSNK"},        {0, 0, 0, 1, 1, 1, 1, 410, "TOOLOWGEAR"},
        {0, 0, 0, 2, 1, 1, 1, 412, "TOOLOWTERRAIN"}, {0, 0, 0, 0, 1, 1, 1, 420, "TOOLOWFLAPS"},
        {0, 0, 0, 0, 2, 1, 1, 422, "TOOLOWTERRAIN"}, {0, 0, 0, 0, 0, 1, 1, 43, "TOOLOWTERRAIN"},
        {0, 0, 0, 0, 0, 0, 1, 50, "GLIDESLOPE"},     {3, 3, 2, 3, 3, 2, 2, 0, nullptr},
    };
    for (const Case& c : cases) {
        gpws_mode1 = c.m1, gpws_mode2 = c.m2, gpws_mode3 = c.m3, gpws_mode4a = c.m4a, gpws_mode4b = c.m4b;
        gpws_mode4c = c.m4c, gpws_mode5 = c.m5;
        inst_radio_alt_ft = 5;  // would clear every mode if they ran
        gpws_modes_frame();
        EXPECT_EQ(gpws_callout, c.want);
        EXPECT_EQ(plays(), c.phrase ? V{c.phrase} : V{}) << c.want;
        EXPECT_EQ(gpws_mode1, c.m1) << "frozen";
    }
}

// Samples 18 ticks apart, except that step 0 follows step 3 on the next frame.
TEST_F(Gpws, ClosureSamplerKeepsTicksAtEveryFrameRate) {
    for (f64 fps : {10.0, 18.0, 60.0}) {
        host().set_fps(fps);
        f64 t = 0, last_change = 0;
        u8 state = gpws_closure_state;
        int samples = 0;
        for (u64 n = 0; n < u64(12 * fps); ++n) {
            t += 1 / fps;
            inst_radio_alt_ft = 2400 - 50 * t;  // 3000 ft/min down
            frames(1);
            if (gpws_closure_state == state) continue;
            const f64 gap = t - last_change;
            if (samples++ > 0) {
                const f64 want_gap = gpws_closure_state == 1 ? 1 / fps : 1.0;  // step 0 does not wait
                EXPECT_NEAR(gap, want_gap, gpws_closure_state == 1 ? 1e-9 : 1 / fps + 1.0 / 18)
                    << fps << " fps, step " << int(state);
                // Samples are whole feet: up to 60 ft/min toward zero.
                EXPECT_NEAR(gpws_closure_rate, -3000 * gap, 61) << fps << " fps, step " << int(state);
            }
            state = gpws_closure_state, last_change = t;
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
            f64 t = -1 / fps;  // from the first frame of the test
            std::vector<f64> glide_slope, pull_up;
            while (gpws_test_active == 1 && t < 10) {
                frames(1);
                t += 1 / fps;
                for (const std::string& p : plays()) (p == "GLIDESLOPE" ? glide_slope : pull_up).push_back(t);
            }
            const f64 tolerance = 2 / fps + 2.0 / 18;  // where the first frame falls within its tick
            EXPECT_NEAR(t, flaps == kFlapsUp ? 4.0 : 2.0, tolerance);
            EXPECT_EQ(glide_slope, std::vector<f64>{0.0});
            ASSERT_EQ(pull_up.size(), flaps == kFlapsUp ? 1u : 0u) << "flaps out: the glide-slope phrase alone";
            for (f64 at : pull_up) EXPECT_NEAR(at, 2.0, tolerance);
            EXPECT_EQ(gpws_test_deadline, 0u);
        }
}

// Airborne at or below 1500 ft, unpowered or during a call-out, the test ends before its first phrase.
TEST_F(Gpws, TestEndsSilentlyOutsideItsConditions) {
    struct Case { f64 ground, ra; u8 power, sinking; bool runs; } cases[] = {
        {0, 1000, 1, 0, false}, {0, 1500, 1, 0, false}, {0, 1501, 1, 0, true},
        {1, 0, 0, 0, false},    {0, 1600, 1, 1, false}, {1, 0, 1, 0, true},
    };
    for (const Case& c : cases) {
        set(tok_on_ground, c.ground);
        inst_radio_alt_ft = c.ra;
        dc_ess_powered = c.power;
        inst_vs_fpm = c.sinking ? -10000 : 0;
        gpws_modes_frame();  // call-out of the previous frame is what the test sees
        gpws_test_active = 1;
        gpws_test_step = 0;
        gpws_modes_frame();
        EXPECT_TRUE(gpws_test_active == c.runs && gpws_test_step == c.runs) << "row " << &c - cases;
        const V heard = plays();
        EXPECT_EQ(std::count(heard.begin(), heard.end(), "GLIDESLOPE"), c.runs ? 1 : 0);
    }
}

// From quiet flight states, garbage in any one input for two seconds raises no call-out and
// leaves the armed modes armed.
TEST_F(Gpws, HostGarbageRaisesNothing) {
    const TokenVar* inputs[] = {&tok_tick18, &tok_nav1_gs_needle, &tok_nav1_gs_valid, &tok_on_ground, &tok_ias_kt,
                                &tok_altitude_m, &tok_indicated_altitude_ft, &tok_flaps_left_pos, &tok_gear_nose_pos,
                                &tok_eng1_n1, &tok_eng2_n1, nullptr};  // null: the radio altitude
    struct State { f64 ra, gear, flaps, gs_valid; } states[] = {{500, 0, kFlapsUp, 0}, {800, kGearDown, kFlapsDown, 1}};
    set(tok_on_ground, 1);
    frames(2);  // arms modes 3 and 4C
    set(tok_on_ground, 0);
    for (const State& s : states) {
        set(tok_gear_nose_pos, s.gear);
        set(tok_flaps_left_pos, s.flaps);
        set(tok_nav1_gs_valid, s.gs_valid);
        altitude_ft(s.ra);
        inst_radio_alt_ft = s.ra;
        inst_vs_fpm = -700;
        frames(36);
        ASSERT_EQ(gpws_callout, 0) << s.ra;
        for (const TokenVar* in : inputs)
            for (f64 garbage : {kNaN, kInf, -kInf}) {
                const f64 good = in ? host().token(in->id) : inst_radio_alt_ft;
                for (int n = 0; n < 36; ++n) {
                    if (in) token(in->id, garbage); else inst_radio_alt_ft = garbage;
                    frames(1);
                    ASSERT_EQ(gpws_callout, 0) << (in ? in->id : 0) << " = " << garbage << " at " << s.ra;
                }
                if (in) token(in->id, good); else inst_radio_alt_ft = good;
                frames(18);
                EXPECT_EQ(gpws_callout, 0);
            }
        EXPECT_TRUE(gpws_mode3_state == 1 && gpws_mode4c_state == 1) << "still armed after the garbage";
    }
}

// Huge finite values are taken at their word (bounds and samples saturate): no fault.
TEST_F(Gpws, HugeFiniteValuesSaturate) {
    for (f64 v : {1e300, -1e300, 4294967296.0, -2147483649.0})
        for (i32 vs : {INT32_MIN, INT32_MAX}) {
            for (const TokenVar* t : {&tok_ias_kt, &tok_altitude_m, &tok_indicated_altitude_ft, &tok_tick18,
                                      &tok_gear_nose_pos, &tok_flaps_left_pos, &tok_nav1_gs_needle, &tok_on_ground})
                set(*t, v);
            inst_vs_fpm = vs;
            for (f64 ra : {v, 500.0}) {
                inst_radio_alt_ft = ra;
                gpws_modes_frame();
            }
        }
}
