// Vertical speed, true airspeed and static air temperature indicators.
#include <vector>

#include "tests/instruments/instruments_fixture.h"

namespace {
const char* kVsi = "ketravin vsi_kr60";
const char* kTas = "ketravin tas_kr60";
const char* kSat = "ketravin sat_kr60";
constexpr u32 kVs = 65, kVsiFail = 283, kMach = 64, kTat = 350, kSatToken = 341;
enum { VsiOff = 2, VsiNeedle };
enum { TasUnits = 1, TasTens, TasHundreds, TasOff };
enum { PlusUnits = 1, PlusTens, MinusUnits, MinusTens, MinusLegend, PlusLegend, SatOff };
constexpr f64 kTokenPerFpm = 256.0 / (3.281 * 60.0);
using V = std::vector<f64>;

class Vsi : public Instruments {
protected:
    void SetUp() override {
        Instruments::SetUp();
        place(kVsi);
    }
    // The needle drawn over n frames at a steady vertical speed (just past the whole ft/min).
    V needle(f64 fpm, int n) {
        token(kVs, (fpm + (fpm > 0 ? 0.01 : fpm < 0 ? -0.01 : 0)) * kTokenPerFpm);
        V out;
        for (int i = 0; i < n; ++i) frames(1), out.push_back(value(kVsi, VsiNeedle));
        return out;
    }
};
}  // namespace

TEST_F(Vsi, NeedleClimbsAtMostFiveHundredAFrameAndReturnsWithoutPower) {
    EXPECT_EQ(needle(1968, 4), (V{500, 1000, 1500, 1968}));
    EXPECT_EQ(needle(600, 1), (V{600}));
    EXPECT_EQ(needle(-1968, 1), (V{-1968}));
    EXPECT_EQ(inst_vs_fpm, -1968) << "truncated toward zero";
    inst_vsi_needle_fpm = 0;
    const V climb = needle(8000, 14);
    EXPECT_EQ(climb[10], 5500);
    EXPECT_EQ(V(climb.begin() + 11, climb.end()), (V{6000, 6000, 6000})) << "drawn at the end of the scale";
    struct Case { f64 from; u8 powered; i32 fail; V path; } cases[] = {
        {3000, 0, 0, {2500, 2000, 1500, 1000, 500, 0}}, {3000, 1, 1, {2500, 2000, 1500, 1000, 500, 0}},
        {-3000, 0, 0, {0}},
    };
    for (const Case& c : cases) {
        inst_vsi_needle_fpm = i32(c.from), elec_ess_ac_any_powered = c.powered;
        token(kVsiFail, c.fail);
        EXPECT_EQ(needle(3000, int(c.path.size())), c.path) << c.from;
        EXPECT_EQ(inst_vs_fpm, 3000) << "published whatever the power";
    }
}

TEST_F(Vsi, OffFlagAndExtremeSpeeds) {
    struct Case { u8 powered, valid; f64 fpm; bool off; } cases[] = {
        {1, 1, 6000, false}, {1, 1, 6001, true}, {1, 1, -6000, false}, {1, 1, -6001, true}, {0, 1, 0, true},
        {1, 0, 0, true},     {1, 1, -kInf, true}, {1, 1, kNaN, true},  // no number: the last, beyond the scale
        {1, 1, 100, false},  {1, 1, kNaN, false},
    };
    for (const Case& c : cases) {
        elec_ess_ac_any_powered = c.powered, inst_adc1_vs_valid = c.valid;
        needle(c.fpm, 2);
        EXPECT_EQ(shown(kVsi, VsiOff), c.off) << c.fpm;
        EXPECT_LE(std::abs(inst_vsi_needle_fpm), 6000) << c.fpm;
    }
    inst_vsi_needle_fpm = INT32_MAX;  // a hostile write: the step saturates and the draw clamps
    EXPECT_EQ(needle(1e300, 1), (V{6000}));
}

TEST_F(Instruments, TrueAirspeedFlooredAtOneTwentyAndHeldWhileNotComputed) {
    place(kTas);
    struct Case { f64 mach, tat; u8 powered; f64 kt, units, tens, hundreds; bool off; } cases[] = {
        {16384, -0.078125, 1, 467.40, 2.5997, 4, 6, false}, {10240, 0, 1, 314.51, 5.4856, 9, 7, false},
        {kNaN, 0, 1, 314.51, 5.4856, 9, 7, false},  // no Mach: nothing computed, the last speed held
        {0, 0, 1, 120, 0, 8, 9, false}, {kNaN, 0, 1, 120, 0, 8, 9, false},  // at rest; "above 120, else 120"
        {16384, -2, 1, 120, 0, 8, 9, false},                              // below absolute zero: no root
        {16384, -0.078125, 0, 120, 0, 8, 9, true},                        // unpowered: held under the flag
    };
    for (const Case& c : cases) {
        elec_ess_ac_any_powered = c.powered;
        token(kMach, c.mach), token(kTat, c.tat);
        frames(1);
        EXPECT_NEAR(inst_tas_kt, c.kt, 0.01) << c.mach;
        EXPECT_NEAR(y(kTas, TasUnits), c.units, 1e-4) << c.mach;
        EXPECT_EQ(y(kTas, TasTens), c.tens) << c.mach;
        EXPECT_EQ(y(kTas, TasHundreds), c.hundreds) << c.mach;
        EXPECT_EQ(shown(kTas, TasOff), c.off) << c.mach;
    }
}

TEST_F(Instruments, AirTemperatureLayoutFollowsTheSignOfTheHeldValue) {
    place(kSat);
    struct Case { f64 t; u8 valid; bool minus; f64 tens, units; bool off; } cases[] = {
        {-45.5, 1, true, 6, 4.5, false},  {9.95, 1, false, 9.05, 0.05, false}, {0.0, 1, false, 0, 0, false},
        {-0.4, 1, true, 0, 9.6, false},   {150, 1, false, 0, 0, false},  // 100 or more: tens read 0
        {kNaN, 1, false, 0, 0, false},    {-20, 0, false, 0, 0, true},   // held
    };
    for (const Case& c : cases) {
        inst_adc1_sat_valid = c.valid;
        token(kSatToken, c.t);
        frames(1);
        EXPECT_EQ(shown(kSat, MinusLegend), c.minus) << c.t;
        EXPECT_EQ(shown(kSat, PlusLegend), !c.minus) << c.t;
        EXPECT_EQ(shown(kSat, SatOff), c.off) << c.t;
        for (int pair : {0, 2}) {
            EXPECT_EQ(shown(kSat, PlusUnits + pair), (pair == 2) == c.minus) << c.t;
            EXPECT_NEAR(y(kSat, PlusTens + pair), c.tens, 1e-9) << c.t;
            EXPECT_NEAR(y(kSat, PlusUnits + pair), c.units, 1e-9) << c.t;
        }
    }
}
