// The ground proximity warning computer: envelopes, call-out priority, closure-rate sampler and
// test sequence, driven directly or through a test gauge on the host's clock.
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "autoflight/state.h"
#include "core/gpws_modes.h"
#include "core/gpws_state.h"
#include "core/state.h"
#include "instruments/state.h"
#include "module/gauge.h"
#include "module/tokens.h"
#include "sound/recording.h"
#include "sound/sound_engine.h"
#include "tests/host_fixture.h"

namespace {
GaugeHeader gpws_driver_header;
void FSAPI gpws_driver_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) gpws_modes_frame();
}
const ElementDef kDriverDefs[] = {el::Static(1, 0, 0)};
const RectDef kDriverRects[] = {rect::Click(0, 0, 1, 1, CursorHand, MouseLeftSingle, nullptr)};
Gauge<1, 1> gpws_driver(gpws_driver_header, "gpws driver", 10, gpws_driver_update, kDriverDefs, kDriverRects);

constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
constexpr f64 kInf = std::numeric_limits<f64>::infinity();
constexpr f64 kFlapsUp = 0, kFlapsDown = 10485, kGearDown = 16384;
}  // namespace

class Gpws : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        inst_flap_detent[0] = 0;
        inst_flap_detent[1] = 5243;
        inst_flap_detent[2] = 10485;
        dc_ess_powered = 1;
        set(tok_ias_kt, 250);
        set(tok_eng1_n1, 95);
        set(tok_eng2_n1, 95);
    }
    void set(const TokenVar& t, f64 v) { token(t.id, v); }
    void altitude_ft(f64 ft) { set(tok_altitude_m, ft / 3.281); }
    // Keeps the closure rate as a test sets it.
    void freeze_sampler() {
        gpws_closure_state = 1;
        gpws_closure_deadline = std::numeric_limits<u32>::max();
    }
    void run_with_host_clock() { host().place(&gpws_driver_header); }
};

TEST_F(Gpws, Mode1SinkRateEnvelope) {
    struct Case { i32 vs; f64 ra; u8 want; } cases[] = {
        {-3000, 1000, 1}, {-3000, 700, 2}, {-3000, 1300, 0}, {-3000, 10, 0}, {-3000, 0, 0},
        {-999, 500, 0}, {-999, 11, 0}, {-2000, 425, 2}, {-2000, 426, 1}, {-2000, 620, 1}, {-2000, 621, 0},
        {-1799, 11, 1}, {-10000, 2450, 2}, {-10000, 2450.5, 0}, {INT32_MIN, 2000, 2}, {INT32_MAX, 500, 0},
    };
    for (const Case& c : cases) {
        inst_vs_fpm = c.vs;
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode1, c.want) << c.vs << " fpm at " << c.ra << " ft";
        EXPECT_EQ(gpws_callout, c.want == 0 ? 0 : c.want == 1 ? 10 : 12);
    }
    inst_vs_fpm = -3000;
    inst_radio_alt_ft = 1000;
    gpws_modes_frame();
    EXPECT_EQ(gpws_sink_bound, 1230u);
    EXPECT_EQ(gpws_pullup_bound, 802u);
}

TEST_F(Gpws, Mode2ClosureBoundAndCeiling) {
    struct Case { i32 rate; f64 ias, ra; u32 bound, ceiling; u8 want; } cases[] = {
        {-1999, 250, 100, 0, 1720, 0},     {-2000, 250, 31, 30, 1720, 0},     {-3000, 250, 840, 840, 1720, 1},
        {-3000, 250, 841, 840, 1720, 0},   {-3000, 250, 420, 840, 1720, 2},   {-3499, 250, 900, 1244, 1720, 1},
        {-3500, 250, 1250, 1250, 1720, 1}, {-7999, 250, 900, 1798, 1720, 1},  {-8000, 250, 900, 1800, 1720, 2},
        {-9000, 330, 1990, 2000, 2000, 1}, {INT32_MIN, 400, 2000, 2000, 2000, 1}, {-9000, 329, 1997, 0, 1996, 0},
        {-9000, 230, 1650, 2000, 1650, 1}, {-9000, 231, 1653.5, 0, 1653, 0},  {-9000, 250, 30, 0, 1720, 0},
    };
    for (const Case& c : cases) {
        freeze_sampler();
        gpws_closure_rate = c.rate;
        gpws_mode2 = 0;
        gpws_mode2_bound = 0;
        gpws_callout = 0;
        set(tok_ias_kt, c.ias);
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode2_ceiling, c.ceiling) << c.ias;
        EXPECT_EQ(gpws_mode2_bound, c.bound) << c.rate;
        EXPECT_EQ(gpws_mode2, c.want) << c.rate << " fpm at " << c.ra;
    }
    // Flaps out or a glide slope received: no mode 2.
    inst_radio_alt_ft = 500;
    set(tok_flaps_left_pos, 5143);
    gpws_modes_frame();
    EXPECT_EQ(gpws_mode2, 0);
    set(tok_flaps_left_pos, 5142);
    set(tok_nav1_gs_valid, 1);
    gpws_modes_frame();
    EXPECT_EQ(gpws_mode2, 0);
}

TEST_F(Gpws, Mode2PullUpHoldsBetweenHalfAndBoundUntilAClimbOf300Feet) {
    freeze_sampler();
    gpws_closure_rate = -3000;  // bound 840, half 420
    set(tok_indicated_altitude_ft, 1000);
    struct Step { f64 ra, alt; u8 want; u16 callout; } steps[] = {
        {400, 1000, 2, 22}, {600, 1100, 2, 22}, {800, 1300, 2, 22}, {800, 1301, 0, 0}, {800, 1301, 1, 20},
    };
    for (const Step& s : steps) {
        inst_radio_alt_ft = s.ra;
        set(tok_indicated_altitude_ft, s.alt);
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode2, s.want) << s.ra << " ft, altitude " << s.alt;
        EXPECT_EQ(gpws_callout, s.callout);
    }
}

// Climb-out from fields at three elevations, then a sink: the same warnings everywhere,
// including below sea level where an unsigned peak would never have moved.
TEST_F(Gpws, Mode3AltitudeLossFromAnyFieldElevation) {
    for (f64 field : {-200.0, 0.0, 1500.0}) {
        set(tok_on_ground, 1);
        inst_radio_alt_ft = 0;
        altitude_ft(field);
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode3_state, 2);
        set(tok_on_ground, 0);
        for (f64 ra = 30; ra <= 600; ra += 10) {
            inst_radio_alt_ft = ra;
            altitude_ft(field + ra);
            gpws_modes_frame();
            EXPECT_EQ(gpws_mode3, 0) << "climbing at " << ra << " ft from a field at " << field;
            if (ra > 30) {
                EXPECT_EQ(gpws_mode3_threshold, 0u) << "at or above the peak";
            }
        }
        EXPECT_EQ(gpws_mode3_state, 1);
        struct Sink { f64 ra; u8 want; } sinks[] = {{560, 0}, {500, 1}, {590, 0}};  // lost 40, 100, 10 ft
        for (const Sink& s : sinks) {
            inst_radio_alt_ft = s.ra;
            altitude_ft(field + s.ra);
            gpws_modes_frame();
            EXPECT_EQ(gpws_mode3, s.want) << s.ra << " ft from a field at " << field;
        }
    }
    // Above 1333 ft mode 3 disarms for good; only the ground or a go-around arms it again.
    inst_radio_alt_ft = 1334;
    gpws_modes_frame();
    inst_radio_alt_ft = 500;
    altitude_ft(0);
    gpws_modes_frame();
    EXPECT_EQ(gpws_mode3_state, 0);
    EXPECT_EQ(gpws_mode3, 0);
}

TEST_F(Gpws, Mode4TooLowWithGearOrFlapsUp) {
    struct Case { f64 gear, flaps, ias, ra, n1a, n1b; u8 start, want_a, want_b; } cases[] = {
        {0, kFlapsUp, 200, 500, 89, 95, 0, 1, 0},      {0, kFlapsUp, 200, 501, 89, 95, 1, 0, 0},
        {0, kFlapsUp, 200, 500, 95, 95, 2, 2, 0},      {0, kFlapsUp, 201, 507, 85, 95, 0, 0, 0},
        {0, kFlapsUp, 201, 507, 79, 95, 0, 2, 0},      {0, kFlapsUp, 235, 751, 79, 95, 1, 0, 0},
        {0, kFlapsUp, 270, 1000, 95, 79, 0, 2, 0},     {0, kFlapsUp, 270, 1000.5, 79, 79, 1, 0, 0},
        {0, kFlapsUp, 200, 30, 10, 10, 1, 0, 0},       {10, kFlapsUp, 200, 300, 10, 10, 1, 0, 0},
        {kGearDown, kFlapsUp, 165, 245, 89, 95, 0, 0, 1}, {kGearDown, kFlapsUp, 165, 246, 89, 95, 1, 0, 0},
        {kGearDown, kFlapsUp, 166, 252, 95, 89, 0, 0, 2}, {kGearDown, kFlapsUp, 270, 1000, 89, 89, 0, 0, 2},
        {kGearDown, kFlapsUp, 165, 100, 95, 95, 2, 0, 2}, {15000, kFlapsUp, 165, 100, 50, 50, 1, 0, 0},
        {kGearDown, 5143, 165, 100, 50, 50, 1, 0, 0},  {kGearDown, 5142, 165, 100, 50, 50, 0, 0, 1},
    };
    for (const Case& c : cases) {
        gpws_mode4a = gpws_mode4b = c.start;
        set(tok_gear_nose_pos, c.gear);
        set(tok_flaps_left_pos, c.flaps);
        set(tok_ias_kt, c.ias);
        set(tok_eng1_n1, c.n1a);
        set(tok_eng2_n1, c.n1b);
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode4a, c.want_a) << "gear " << c.gear << " IAS " << c.ias << " RA " << c.ra;
        EXPECT_EQ(gpws_mode4b, c.want_b) << "gear " << c.gear << " IAS " << c.ias << " RA " << c.ra;
    }
}

TEST_F(Gpws, Mode4cFloorIsThreeQuartersOfThePeakAfterTakeOffOrGoAround) {
    set(tok_ias_kt, 200);  // bound 667
    set(tok_on_ground, 1);
    gpws_modes_frame();
    EXPECT_EQ(gpws_mode4c_state, 2);
    set(tok_on_ground, 0);
    struct Step { f64 ra; u8 state, want; } steps[] = {
        {29, 2, 0}, {30, 1, 0}, {600, 1, 0}, {451, 1, 0}, {450, 1, 1}, {700, 1, 0}, {525, 1, 1}, {1001, 0, 0}, {100, 0, 0},
    };
    for (const Step& s : steps) {
        inst_radio_alt_ft = s.ra;
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode4c_state, s.state) << s.ra;
        EXPECT_EQ(gpws_mode4c, s.want) << s.ra;
    }
    ap_go_around_mode = 1;
    inst_radio_alt_ft = 400;
    gpws_modes_frame();
    ap_go_around_mode = 0;
    inst_radio_alt_ft = 300;
    gpws_modes_frame();
    EXPECT_EQ(gpws_mode4c, 1) << "go-around arms with the peak from its own height";
}

TEST_F(Gpws, Mode5BelowTheGlideSlope) {
    struct Case { f64 ra, valid, dev, n1a; u8 start, want; } cases[] = {
        {500, 1, -101, 80, 0, 1}, {500, 1, -100, 80, 1, 0}, {150, 1, -200, 80, 1, 0}, {151, 1, -200, 80, 0, 1},
        {1000, 1, -200, 80, 0, 1}, {1000.5, 1, -200, 80, 1, 0}, {500, 0, -200, 80, 1, 0}, {500, 1, -200, 90, 0, 0},
        {500, 1, -200, 90, 1, 1},
    };
    set(tok_flaps_left_pos, kFlapsDown);
    set(tok_gear_nose_pos, kGearDown);
    for (const Case& c : cases) {
        gpws_mode5 = c.start;
        set(tok_eng1_n1, c.n1a);
        set(tok_eng2_n1, 80);
        set(tok_nav1_gs_valid, c.valid);
        set(tok_nav1_gs_needle, c.dev);
        inst_radio_alt_ft = c.ra;
        gpws_modes_frame();
        EXPECT_EQ(gpws_mode5, c.want) << c.ra << " ft, deviation " << c.dev << ", N1 " << c.n1a;
    }
}

// Unpowered, the states freeze and the call-out is still chosen from them by priority.
TEST_F(Gpws, CalloutPriorityFromFrozenStates) {
    dc_ess_powered = 0;
    struct Case { u8 m1, m2, m3, m4a, m4b, m4c, m5; u16 want; } cases[] = {
        {1, 1, 1, 1, 1, 1, 1, 10}, {2, 1, 1, 1, 1, 1, 1, 12}, {0, 1, 1, 1, 1, 1, 1, 20}, {0, 2, 1, 1, 1, 1, 1, 22},
        {0, 0, 1, 1, 1, 1, 1, 30}, {0, 0, 0, 1, 1, 1, 1, 410}, {0, 0, 0, 2, 1, 1, 1, 412}, {0, 0, 0, 0, 1, 1, 1, 420},
        {0, 0, 0, 0, 2, 1, 1, 422}, {0, 0, 0, 0, 0, 1, 1, 43}, {0, 0, 0, 0, 0, 0, 1, 50}, {0, 0, 0, 0, 0, 0, 0, 0},
        {3, 3, 2, 3, 3, 2, 2, 0},
    };
    for (const Case& c : cases) {
        gpws_mode1 = c.m1, gpws_mode2 = c.m2, gpws_mode3 = c.m3, gpws_mode4a = c.m4a;
        gpws_mode4b = c.m4b, gpws_mode4c = c.m4c, gpws_mode5 = c.m5;
        inst_radio_alt_ft = 5;  // would clear every mode if they ran
        gpws_modes_frame();
        EXPECT_EQ(gpws_callout, c.want);
        EXPECT_EQ(gpws_mode1, c.m1) << "frozen";
    }
}

// Samples 18 ticks apart, except that step 0 follows step 3 on the next frame.
TEST_F(Gpws, ClosureSamplerKeepsTicksAtEveryFrameRate) {
    run_with_host_clock();
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

TEST_F(Gpws, TestSequenceTimesItsPhrasesInTicks) {
    run_with_host_clock();
    set(tok_on_ground, 1);
    for (f64 fps : {18.0, 60.0})
        for (f64 flaps : {kFlapsUp, kFlapsDown}) {
            host().set_fps(fps);
            set(tok_flaps_left_pos, flaps);
            frames(2);
            gpws_test_active = 1;
            f64 t = -1 / fps, second_phrase = -1;  // from the first frame of the test
            while (gpws_test_active == 1 && t < 10) {
                frames(1);
                t += 1 / fps;
                if (gpws_test_step == 2 && second_phrase < 0) second_phrase = t;
            }
            const f64 tolerance = 2 / fps + 2.0 / 18;  // where the first frame falls within its tick
            EXPECT_NEAR(t, flaps == kFlapsUp ? 4.0 : 2.0, tolerance) << fps << " fps, flaps " << flaps;
            if (flaps == kFlapsUp) {
                EXPECT_NEAR(second_phrase, 2.0, tolerance) << fps;
            } else {
                EXPECT_LT(second_phrase, 0) << "flaps out: the glide-slope phrase alone";
            }
            EXPECT_EQ(gpws_test_deadline, 0u);
        }
}

TEST_F(Gpws, TestEndsAtOnceOutsideItsConditions) {
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
        EXPECT_EQ(gpws_test_active, c.runs ? 1 : 0) << c.ground << " " << c.ra << " " << int(c.power);
        EXPECT_EQ(gpws_test_step, c.runs ? 1 : 0) << "ended before its first phrase";
    }
}

// From quiet flight states, garbage in any one input for two seconds raises no call-out and
// leaves the armed modes armed.
TEST_F(Gpws, HostGarbageRaisesNothing) {
    run_with_host_clock();
    const TokenVar* inputs[] = {&tok_tick18, &tok_nav1_gs_needle, &tok_nav1_gs_valid, &tok_on_ground, &tok_ias_kt,
                                &tok_altitude_m, &tok_indicated_altitude_ft, &tok_flaps_left_pos, &tok_gear_nose_pos,
                                &tok_eng1_n1, &tok_eng2_n1, nullptr};
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
        EXPECT_EQ(gpws_mode3_state, 1) << "still armed after the garbage";
        EXPECT_EQ(gpws_mode4c_state, 1) << "still armed after the garbage";
    }
}

// Huge finite values are taken at their word (bounds and samples saturate); no fault.
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
                EXPECT_LE(gpws_mode1 | gpws_mode2 | gpws_mode4a | gpws_mode4b, 3);
            }
        }
}

// What is heard: each frame replays the current phrase (the device carries on a phrase that is
// still playing); the test plays its two phrases 36 ticks apart, and nothing in flight below 1500 ft.
class GpwsSounds : public Gpws {
protected:
    void SetUp() override {
        Gpws::SetUp();
        sound_init(0);
        for (auto& [buffer, name] : kPhrases) *buffer = sound_create(name);
        run_with_host_clock();
        frames(1);
        plays();
    }
    void TearDown() override {
        for (auto& [buffer, name] : kPhrases) sound_release(std::exchange(*buffer, nullptr));
        sound_shutdown();
        Gpws::TearDown();
    }
    // "FRAME NAME" for each phrase started since the last call, frames counted from `first_frame_`.
    std::vector<std::string> plays() {
        std::vector<std::string> out;
        for (SoundEvent e; seen_ < sound_recording_count(); ++seen_)
            if (sound_recording_event(seen_, &e) && e.call == SoundCall::Play)
                out.push_back(std::to_string(e.frame - first_frame_) + " " + e.name);
        return out;
    }
    static constexpr std::pair<SoundBuffer**, const char*> kPhrases[] = {
        {&snd_snkrate, "SNKRATE"}, {&snd_wpullup, "WPULLUP"}, {&snd_glideslope, "GLIDESLOPE"}};
    u64 seen_ = 0, first_frame_ = 0;
};

TEST_F(GpwsSounds, PhrasesOfTheCodeAndOfTheTest) {
    using V = std::vector<std::string>;
    inst_vs_fpm = -3000;
    inst_radio_alt_ft = 1000;
    first_frame_ = host().frame();
    frames(2);
    inst_radio_alt_ft = 700;
    frames(1);
    EXPECT_EQ(plays(), (V{"1 SNKRATE", "2 SNKRATE", "3 WPULLUP"}));

    inst_vs_fpm = 0;
    set(tok_on_ground, 1);
    frames(1);
    plays();
    gpws_test_active = 1;
    first_frame_ = host().frame();
    frames(80);
    EXPECT_EQ(plays(), (V{"1 GLIDESLOPE", "37 WPULLUP"}));

    set(tok_on_ground, 0);
    inst_radio_alt_ft = 1000;
    frames(1);
    gpws_test_active = 1;
    frames(40);
    EXPECT_EQ(plays(), V{});
    EXPECT_EQ(gpws_test_active, 0);
}
