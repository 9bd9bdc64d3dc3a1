// Vertical speed, true airspeed and static air temperature indicators.
#include "instruments/vertical_speed.h"
#include "tests/instruments/instruments_fixture.h"

namespace {
const char* kVsi = "ketravin vsi_kr60";
const char* kTas = "ketravin tas_kr60";
const char* kSat = "ketravin sat_kr60";
constexpr u32 kVs = 65, kVsiFail = 283, kMach = 64, kTat = 350, kSatToken = 341;
enum { VsiOff = 2, VsiNeedle };
enum { TasUnits = 1, TasTens, TasHundreds, TasOff };
enum { PlusUnits = 1, PlusTens, MinusUnits, MinusTens, MinusLegend, PlusLegend, SatOff };
constexpr f64 kTokenPerFpm = 256.0 / (3.281 * 60.0);  // token 65 for 1 ft/min
}  // namespace

TEST(VerticalSpeed, WholeFeetPerMinuteTruncatedAndSaturated) {
    struct Case { f64 token; i32 fpm; } cases[] = {
        {2560, 1968}, {-2560, -1968}, {0, 0}, {kNaN, 0}, {1e300, INT32_MAX}, {-kInf, INT32_MIN}, {kInf, INT32_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(vertical_speed_fpm(c.token), c.fpm) << c.token;
}

class Vsi : public Instruments {
protected:
    void SetUp() override {
        Instruments::SetUp();
        place(kVsi);
    }
    // Needle drawn over successive frames at a steady vertical speed.
    std::vector<f64> needle(f64 fpm, int n) {
        token(kVs, fpm * kTokenPerFpm + (fpm > 0 ? 0.01 : fpm < 0 ? -0.01 : 0));
        std::vector<f64> out;
        for (int i = 0; i < n; ++i) frames(1), out.push_back(value(kVsi, VsiNeedle));
        return out;
    }
};

TEST_F(Vsi, NeedleClimbsAtMostFiveHundredAFrameAndDropsAtOnce) {
    using V = std::vector<f64>;
    EXPECT_EQ(needle(1968, 4), (V{500, 1000, 1500, 1968}));
    EXPECT_EQ(needle(600, 1), (V{600}));
    EXPECT_EQ(needle(-1968, 1), (V{-1968}));
    EXPECT_EQ(needle(0, 1), (V{-1468})) << "back up at the climb's pace";
    inst_vsi_needle_fpm = 0;
    const V climb = needle(8000, 14);
    EXPECT_EQ(climb[10], 5500);
    for (int i = 11; i < 14; ++i) EXPECT_EQ(climb[i], 6000) << "drawn at the end of the scale, frame " << i + 1;
}

TEST_F(Vsi, UnpoweredOrFailedTheNeedleReturnsToZero) {
    using V = std::vector<f64>;
    struct Case { f64 from; u8 powered; i32 fail; V path; } cases[] = {
        {3000, 0, 0, {2500, 2000, 1500, 1000, 500, 0}},
        {3000, 1, 1, {2500, 2000, 1500, 1000, 500, 0}},
        {-3000, 0, 0, {0, 0}},
    };
    for (const Case& c : cases) {
        elec_ess_ac_any_powered = 1;
        token(kVsiFail, 0);
        inst_vsi_needle_fpm = i32(c.from);
        elec_ess_ac_any_powered = c.powered;
        token(kVsiFail, c.fail);
        EXPECT_EQ(needle(3000, int(c.path.size())), c.path) << c.from;
        EXPECT_EQ(inst_vs_fpm, 3000) << "published whatever the power";
    }
    elec_ess_ac_any_powered = 1, token(kVsiFail, 0);
    EXPECT_EQ(needle(2000, 4), (V{500, 1000, 1500, 2000})) << "power back in a steady climb";
}

TEST_F(Vsi, OffFlagForPowerAirDataAndRange) {
    struct Case { u8 powered, valid; f64 fpm; bool off; } cases[] = {
        {1, 1, 6000, false}, {1, 1, -6000, false}, {1, 1, 6001, true}, {1, 1, -6001, true},
        {0, 1, 0, true},     {1, 0, 0, true},      {1, 1, 1e12, true},
    };
    for (const Case& c : cases) {
        elec_ess_ac_any_powered = c.powered, inst_adc1_vs_valid = c.valid;
        needle(c.fpm, 1);
        EXPECT_EQ(shown(kVsi, VsiOff), c.off) << c.fpm;
    }
}

TEST_F(Vsi, ExtremeSpeedsStepWithoutOverflow) {
    for (f64 t : {1e300, -1e300, kInf, -kInf, kNaN}) {
        token(kVs, t);
        frames(3);
        EXPECT_GE(inst_vsi_needle_fpm, -6000) << t;
        EXPECT_LE(inst_vsi_needle_fpm, 6000) << t;
    }
    inst_vsi_needle_fpm = INT32_MAX;  // a hostile write: the step saturates, the draw clamps
    token(kVs, 1e300);
    frames(1);
    EXPECT_EQ(value(kVsi, VsiNeedle), 6000);
}

TEST_F(Instruments, TrueAirspeedFlooredAtOneTwentyAndHeldWhileNotComputed) {
    place(kTas);
    struct Case { f64 mach, tat; u8 powered; f64 kt, units, tens, hundreds; bool off; } cases[] = {
        {16384, -0.078125, 1, 467.40, 2.5997, 4, 6, false},  // Mach 0.8 at -20 C: 4, 6, 7.4
        {10240, 0, 1, 314.51, 5.49, 9, 7, false},
        {0, 0, 1, 120, 10, 8, 9, false},                     // at rest (units 0 folds to 0 when drawn)
        {kNaN, 0, 1, 120, 10, 8, 9, false},
        {16384, -2, 1, 120, 10, 8, 9, false},                // below absolute zero: no root
        {1e300, 0, 1, 120, 10, 8, 9, false},                 // no finite speed
        {16384, -0.078125, 0, 120, 10, 8, 9, true},          // unpowered: held under the flag
    };
    for (const Case& c : cases) {
        elec_ess_ac_any_powered = c.powered;
        token(kMach, c.mach), token(kTat, c.tat);
        frames(1);
        SCOPED_TRACE(c.mach);
        EXPECT_NEAR(inst_tas_kt, c.kt, 0.01);
        EXPECT_NEAR(std::fmod(y(kTas, TasUnits), 10.0), std::fmod(c.units, 10.0), 0.01);
        EXPECT_NEAR(y(kTas, TasTens), c.tens, 1e-9);
        EXPECT_NEAR(y(kTas, TasHundreds), c.hundreds, 1e-9);
        EXPECT_EQ(shown(kTas, TasOff), c.off);
    }
}

TEST_F(Instruments, TrueAirspeedDrumsRollTogether) {
    place(kTas);
    struct Case { f64 kt, units, tens, hundreds; } cases[] = {
        {199.5, 0.5, 0.5, 8.5}, {199.0, 1, 1, 9}, {464.5, 5.5, 4, 6}, {469.5, 0.5, 3.5, 6},
    };
    elec_ess_ac_any_powered = 0;  // the drums follow the held value
    for (const Case& c : cases) {
        inst_tas_kt = c.kt;
        frames(1);
        EXPECT_NEAR(y(kTas, TasUnits), c.units, 1e-9) << c.kt;
        EXPECT_NEAR(y(kTas, TasTens), c.tens, 1e-9) << c.kt;
        EXPECT_NEAR(y(kTas, TasHundreds), c.hundreds, 1e-9) << c.kt;
    }
}

TEST_F(Instruments, AirTemperatureLayoutFollowsTheSignOfTheHeldValue) {
    place(kSat);
    frames(1);
    EXPECT_TRUE(shown(kSat, PlusLegend)) << "at load: 00 PLUS";
    struct Case { f64 t; u8 valid; bool minus; f64 tens, units; bool off; } cases[] = {
        {-45.5, 1, true, 6, 4.5, false},   // MINUS 4 5.5
        {9.95, 1, false, 9.05, 0.05, false},
        {0.0, 1, false, 0, 0, false},
        {-0.4, 1, true, 0, 9.6, false},
        {150, 1, false, 0, 10, false},     // a magnitude of 100 or more: tens read 0
        {kNaN, 1, false, 0, 10, false},    // no number: held
        {-20, 0, false, 0, 10, true},      // not valid: held under the flag
    };
    for (const Case& c : cases) {
        inst_adc1_sat_valid = c.valid;
        token(kSatToken, c.t);
        frames(1);
        SCOPED_TRACE(c.t);
        EXPECT_EQ(shown(kSat, MinusLegend), c.minus);
        EXPECT_EQ(shown(kSat, PlusLegend), !c.minus);
        for (int pair : {0, 2}) {
            EXPECT_EQ(shown(kSat, PlusUnits + pair), (pair == 2) == c.minus);
            EXPECT_NEAR(y(kSat, PlusTens + pair), c.tens, 1e-9);
            EXPECT_NEAR(std::fmod(y(kSat, PlusUnits + pair), 10.0), std::fmod(c.units, 10.0), 1e-9);
        }
        EXPECT_EQ(shown(kSat, SatOff), c.off);
    }
}
