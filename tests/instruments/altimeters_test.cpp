// Both barometric altimeters: needle and drums, barometric counters, the captain's knob through the
// host's setting, flags, and the alert flash at any frame rate.
#include <cfloat>
#include <utility>
#include <vector>

#include "autoflight/state.h"
#include "instruments/instruments_keys.h"
#include "lighting/state.h"
#include "tests/instruments/instruments_fixture.h"

namespace {
const char* kMain = "ketravin alti_main_kr60";
const char* kSec = "ketravin alti_sec_kr60";
constexpr u32 kTick = 1, kAlt = 74, kHpa = 75, kInHg = 76, kAltFail = 275;
enum { Alert = 2, Tens, Hundreds, Thousands, TenK, InHgTens = 10, HpaThousands = 14, Hatch, Negative, Off, Ssc, Needle };
enum { SecHundreds = 2, SecThousands, SecTenK, SecBaroFirst, SecBaroLast = 12, SecHatch, SecNegative, Vib };
}  // namespace

TEST_F(Instruments, CaptainNeedleDrumsAndFlagsFollowTheHostAltitude) {
    place(kMain);
    struct Case { f64 alt, needle, drum_alt, ten_k, thousands, hundreds, tens; int negative, hatch; } cases[] = {
        {12345.6, 34.56, 12345.6, 9, 8, 7, 5.44, 0, 0}, {9995, 99.5, 9995, 9.5, 0.5, 0.5, 0.5, 0, 1},
        {-150, -15, 850, 0, 0, 2, 5, 1, -1},           {-1500, -50, 1500, 0, 9, 5, 0, 1, -1},
        {-2500, -50, 0, 0, 0, 0, 0, 1, -1},            {kNaN, -50, 0, 0, 0, 0, 0, 1, -1},
        {DBL_MAX, 36.8, DBL_MAX, 0, 2, 7, 3.2, 0, 0},  // ...79858368 ft: the true last digits, ten thousands held
    };
    for (const Case& c : cases) {
        token(kAlt, c.alt);
        frames(1);
        const f64 got[] = {value(kMain, Needle), inst_alti1_drum_alt_ft, y(kMain, TenK), y(kMain, Thousands),
                           y(kMain, Hundreds), std::fmod(y(kMain, Tens), 10.0)};
        const f64 want[] = {c.needle, c.drum_alt, c.ten_k, c.thousands, c.hundreds, c.tens};
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i], want[i], 1e-6) << c.alt << " item " << i;
        EXPECT_EQ(shown(kMain, Negative), c.negative == 1) << c.alt;
        EXPECT_TRUE(c.hatch < 0 || shown(kMain, Hatch) == (c.hatch == 1)) << c.alt;
    }
    // The flags' edges: negative at -1 and below, the hatch from above -1 to below 9998; a negative
    // altitude leaves the hatch as it was.
    const struct { f64 alt; bool negative, hatch; } kEdges[] = {
        {9998, false, false}, {-1, true, false}, {-0.9, false, true}, {-1.5, true, true}, {9997.9, false, true},
    };
    for (const auto& e : kEdges) {
        token(kAlt, e.alt);
        frames(1);
        EXPECT_EQ(shown(kMain, Negative), e.negative) << e.alt;
        EXPECT_EQ(shown(kMain, Hatch), e.hatch) << e.alt;
    }
}

TEST_F(Instruments, CaptainKnobSendsSixteenthsWithTheLimitTestedFirst) {
    place(kMain);
    struct Case { f64 setting; u8 powered; i32 x, y; std::vector<u32> sent; } cases[] = {
        {1013, 1, 0, 160, {16198}}, {1013, 1, 0, 130, {16207}}, {1013, 1, 40, 130, {16209}}, {1013, 1, 40, 160, {16218}},
        {750, 1, 0, 160, {}},       {750, 1, 0, 130, {11999}},  {750.5, 1, 0, 160, {11998}}, {739, 1, 0, 130, {}},
        {1040, 1, 40, 160, {}},     {1053, 1, 40, 130, {}},     {1013, 0, 40, 130, {}},      {kNaN, 1, 40, 130, {}},
    };
    for (const Case& c : cases) {
        token(kHpa, c.setting);
        elec_ess_ac_any_powered = c.powered;
        new_keys();
        click(kMain, c.x, c.y);
        std::vector<u32> sent;
        for (const KeyLogEntry& k : new_keys()) sent.push_back(k.id == key_baro_set && !k.sent ? k.value : 0);
        EXPECT_EQ(sent, c.sent) << c.setting << " at " << c.x << "," << c.y;
    }
    token(kHpa, 1013.0);
    click(kMain, 40, 130);
    EXPECT_DOUBLE_EQ(host().token(kHpa), 1013.0625) << "the host takes sixteenths of a hectopascal";
    EXPECT_NEAR(host().token(kInHg), 29.9157, 1e-4);
}

TEST_F(Instruments, CaptainCountersAnnounceTheCarryAhead) {
    place(kMain);
    // start: the host's setting left as it starts, which is the standard day's.
    struct Case { f64 hpa, inhg, hpa_drums[4], inhg_drums[4]; bool start = false; } cases[] = {
        {1013.25, 29.92, {1, 0, 1, 3.25}, {2, 9, 9, 2}, true},
        {1013.25, 29.92, {1, 0, 1, 3.25}, {2, 9, 9, 2}},
        {1009.7, 29.997, {1, 0, 1, 9.7}, {3, 9.8, 9.8, 9.7}},  // a carry target of 10 rests at 9.8 or more
        {kNaN, kInf, {1, 0, 1, 9.7}, {3, 9.8, 9.8, 9.7}},     // no reading: the counters stand
        {1e300, -1e300, {1, 0, 1, 9.7}, {3, 9.8, 9.8, 9.7}},  // nor does one beyond the four drums move them
    };
    for (const Case& c : cases) {
        if (!c.start) token(kHpa, c.hpa), token(kInHg, c.inhg);
        frames(40);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(y(kMain, HpaThousands - i), c.hpa_drums[i], i == 3 ? 1e-9 : 0.2) << c.hpa << " drum " << i;
            EXPECT_NEAR(y(kMain, InHgTens - i), c.inhg_drums[i], i == 3 ? 1e-9 : 0.2) << c.inhg << " drum " << i;
        }
    }
}

TEST_F(Instruments, CaptainFlagsAndWarningByte) {
    place(kMain);
    struct Case { u8 ac; i32 fail; u8 adc, alt_valid, air_valid; int warn, off, ssc; } cases[] = {
        {1, 0, 1, 1, 1, 0, 0, 0}, {0, 0, 1, 1, 1, 1, 1, 1}, {1, 0, 1, 0, 1, 1, 1, 0}, {1, 0, 1, 1, 0, 0, 0, 1},
        {1, 0, 1, 1, 1, 0, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 1}, {1, 0, 0, 1, 1, 1, 1, 1},
    };
    for (const Case& c : cases) {
        elec_ess_ac_any_powered = c.ac, inst_adc1_powered = c.adc, inst_adc1_alt_valid = c.alt_valid;
        inst_adc1_air_valid = c.air_valid;
        token(kAltFail, c.fail);
        frames(1);
        EXPECT_EQ(warn_flag_alti * 100 + shown(kMain, Off) * 10 + shown(kMain, Ssc), c.warn * 100 + c.off * 10 + c.ssc)
            << &c - cases;
    }
}

// Lit 4 ticks and dark 4 at every frame rate, also at 6 fps where frames skip ticks, and on through a
// tick count set back.
TEST_F(Instruments, AltitudeAlertFlashesAtAnyFrameRate) {
    place(kMain);
    for (f64 fps : {6.0, 18.0, 60.0}) {
        host().set_fps(fps);
        ap_alt_alert_state = 0, frames(1), ap_alt_alert_state = 3;
        int lit = 0, starts = 0;
        for (int n = 0, was = 0; n < int(4 * fps); ++n) {
            if (n == int(2 * fps)) token(kTick, 5.0);
            frames(1);
            const int on = shown(kMain, Alert);
            lit += on, starts += on && !was, was = on;
        }
        EXPECT_GE(starts, 7) << fps << " fps: about nine flashes in 4 s";
        EXPECT_GT(lit, int(fps)) << fps;
        EXPECT_LT(lit, int(3 * fps)) << fps;
    }
    host().set_fps(18);  // a tick a frame: lit 4, dark 4, lit again on the eighth tick
    token(604, 1.0 / 36);  // the clock half a tick past a tick, so that every frame lands on the next
    ap_alt_alert_state = 0, frames(1), ap_alt_alert_state = 3;
    std::string pattern;
    for (int n = 0; n < 16; ++n) pattern += (frames(1), shown(kMain, Alert)) ? '1' : '0';
    EXPECT_EQ(pattern, "1111000011110000");
    EXPECT_EQ(inst_alti1_alert_flashing, 1);
    frames(4);  // dark phase; a frame without DC ends the flash, which then restarts lit
    dc_ess_powered = 0, frames(1);
    EXPECT_TRUE(inst_alti1_alert_flashing == 0 && !shown(kMain, Alert));
    dc_ess_powered = 1, frames(1);
    EXPECT_TRUE(shown(kMain, Alert));
    struct Case { u8 state, dc, lamp_test; bool lit; } steady[] = {
        {2, 1, 0, true}, {2, 0, 1, false}, {0, 1, 1, true}, {0, 1, 0, false},
        {1, 1, 0, true},  // steady from dark
    };
    for (const Case& c : steady) {
        ap_alt_alert_state = c.state, dc_ess_powered = c.dc, light_lamp_test = c.lamp_test;
        frames(2);
        EXPECT_EQ(shown(kMain, Alert), c.lit) << &c - steady;
        EXPECT_EQ(inst_alti1_alert_flashing, 0) << &c - steady;
    }
}

TEST_F(Instruments, FirstOfficerShowsTheAltitudeForItsOwnSetting) {
    place(kSec);
    dc_ess_powered = 0;  // the first frame copies the host's setting whatever the power
    token(kAlt, 5000.0);
    // Each row from load: the host's settings frame by frame. The first that is a number is copied
    // whatever its value (1060 on a high-pressure day, beyond the knob's stops), and never a later
    // one; a setting that is no number gives no altitude either. The counters keep to their strips.
    // None given (first, while the host has not been set): one frame on the host's standard day.
    const struct { std::vector<f64> given; u8 synced; f64 own, alt; } kFirst[] = {
        {{}, 1, 1013.25, 5000},             {{1020}, 1, 1020, 5000},
        {{kNaN, kInf, -kInf}, 0, 1013, 0},  {{kNaN, 1060, 1040}, 1, 1060, 5590.4}, {{2000, 1013}, 1, 2000, 34136.24},
        {{1e308, 1013}, 1, 1e308, DBL_MAX}, {{-1e308, 1013}, 1, -1e308, -DBL_MAX}, {{1013}, 1, 1013, 5000},
    };
    for (const auto& r : kFirst) {
        inst_alti2_baro_synced = 0, inst_alti2_baro_hpa = 1013.0, inst_alti2_alt_ft = 0.0;
        if (r.given.empty()) frames(1);
        for (f64 hpa : r.given) {
            token(kHpa, hpa), frames(1);
            EXPECT_TRUE(std::isfinite(inst_alti2_inhg100)) << hpa;
            for (size_t i = SecBaroFirst; i <= SecBaroLast; ++i)
                EXPECT_TRUE(y(kSec, i) >= 0.0 && y(kSec, i) <= 10.0) << hpa << " drum " << i << " at " << y(kSec, i);
        }
        EXPECT_EQ(inst_alti2_baro_synced, r.synced) << &r - kFirst;
        EXPECT_EQ(inst_alti2_baro_hpa, r.own) << &r - kFirst;
        EXPECT_NEAR(inst_alti2_alt_ft, r.alt, 1e-9) << &r - kFirst;
    }
    EXPECT_TRUE(shown(kSec, Vib));
    EXPECT_EQ(inst_alti2_baro_synced, 1);
    EXPECT_EQ(inst_alti2_needle, 0.0) << "the needle stands without power";
    EXPECT_NEAR(inst_alti2_inhg100, 2991.4903, 1e-9);
    EXPECT_EQ(inst_alti2_inhg_d1000 * 100 + inst_alti2_inhg_d100 * 10 + inst_alti2_inhg_d10, 299);
    EXPECT_NEAR(inst_alti2_inhg_units, 1.4903, 1e-9);
    EXPECT_EQ(inst_alti2_hpa_d1000 * 100 + inst_alti2_hpa_d100 * 10 + inst_alti2_hpa_d10, 101) << "hPa, unpowered too";
    EXPECT_NEAR(inst_alti2_hpa_units, 3.0, 1e-9);
    dc_ess_powered = 1, inst_alti2_baro_hpa = 1023.0;
    for (f64 alt : {1000.0, kNaN}) {
        token(kAlt, alt);
        frames(1);
        EXPECT_NEAR(inst_alti2_alt_ft, 1295.2, 1e-9) << alt << " (no reading holds the last)";
        EXPECT_NEAR(inst_alti2_needle, 29.52, 1e-9) << alt;
    }
}

TEST_F(Instruments, FirstOfficerKnobStopsOneStepPastItsLimits) {
    place(kSec);
    token(kHpa, 1013.0);
    frames(1);
    struct Case { i32 x; int steps; f64 end; } cases[] = {{10, 822, 738.99452}, {50, 942, 1053.0008}};
    for (const Case& c : cases) {
        int steps = -1;
        for (f64 before = -1; before != inst_alti2_baro_hpa && steps < 2000; ++steps) {
            before = inst_alti2_baro_hpa;
            click(kSec, c.x, 150, MouseLeftSingle | MouseRepeat);
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_NEAR(inst_alti2_baro_hpa, c.end, 1e-6);
    }
    for (const auto& l : {std::pair<i32, f64>{10, 739.0}, {50, 1053.0}}) {  // at a limit itself: no step
        inst_alti2_baro_hpa = l.second;
        click(kSec, l.first, 150);
        EXPECT_EQ(inst_alti2_baro_hpa, l.second);
    }
}

TEST_F(Instruments, FirstOfficerDrumsRollOverTheLastFoot) {
    place(kSec);
    token(kHpa, 1013.0);
    struct Case { f64 alt, ten_k, thousands, hundreds; int hatch, negative; } cases[] = {
        {9990, 0, 1, 0.1, 1, 0}, {9999.5, 9.5, 0.5, 0.005, 1, 0}, {10000, 9, 0, 0, 0, 0}, {-500, 0, 0, 5, 0, 1},
        {10000, 9, 0, 0, 0, 0},  // straight from negative to 10000: the negative flag goes too
        {0.5, 0, 0, 0, 1, 0},    // just above 0 is not negative
        {DBL_MAX, 0, 2, 6.32, 0, 0},  // ...79858368 ft: the true last digits, ten thousands held
    };
    for (const Case& c : cases) {
        token(kAlt, c.alt);
        frames(1);
        const f64 got[] = {y(kSec, SecTenK), y(kSec, SecThousands), y(kSec, SecHundreds)};
        const f64 want[] = {c.ten_k, c.thousands, c.hundreds};
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], 1e-6) << c.alt << " drum " << i;
        EXPECT_EQ(shown(kSec, SecHatch), c.hatch == 1) << c.alt;
        EXPECT_EQ(shown(kSec, SecNegative), c.negative == 1) << c.alt;
    }
}
