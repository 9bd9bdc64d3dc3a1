// The primary engine dials through the host: slew frame by frame, drums at once, tell-tales, the
// N1 bug under the N1 computer's modes, fuel-flow units, power loss under the flag, hostile values.
#include <cmath>
#include <vector>

#include "electrical/state.h"
#include "engines/state.h"
#include "tests/host_fixture.h"

namespace {
const char* kN1[2] = {"ketravin eng_ind_n1_1_kr60", "ketravin eng_ind_n1_2_kr60"};
const char* kFf = "ketravin eng_ind_ff_1_kr60";
const char* kEgt = "ketravin eng_ind_egt_1_kr60";
const char* kN2 = "ketravin eng_ind_n2_1_kr60";
constexpr u32 kTokN1[2] = {624, 643}, kTokN2 = 625, kTokEgt = 631, kTokFf = 638, kTokUnits = 335;
const f64 kNaN = NAN, kInf = INFINITY;
f64 rankine(f64 celsius) { return celsius / 0.55556 + 491.67; }

// Chain positions: drums, leading drum first; flag; tell-tale; main needle.
enum { N1Flag = 6, N1Telltale, N1Needle, N1Bug, EgtTelltale = 6, EgtNeedle };
enum { FfKgFace, FfLbFace = 2, FfKgHundreds = 6, FfLbHundreds = 8, FfFlag, FfKgNeedle, FfLbNeedle };
const std::vector<size_t> kN1Drums = {5, 4, 3, 2}, kEgtDrums = {4, 3, 2}, kFfLb = {7, 8, 5, 4}, kFfKg = {7, 6, 5, 4};
}  // namespace

class Dials : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        power(true);
        token(kTokUnits, 0.0);
    }
    void power(bool on) {
        elec_ess_ac_any_powered = dc_ess_powered = elec_ac_bus1_powered = elec_ac_bus2_powered = on;
    }
    f64 needle(const char* g, size_t pos) { return drawn(g, pos).value; }
    void expect_drums(const char* g, const std::vector<size_t>& pos, const std::vector<f64>& want, f64 what) {
        for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(drawn(g, pos[i]).y, want[i], 1e-3) << g << " " << what << " drum " << i;
    }
};

TEST_F(Dials, NeedlesClimbByTheirStepWhileTheDrumsReadAtOnce) {
    struct Case { const char* gauge; u32 token; f64 value; size_t needle; int frames; f64 first, before, last; } cases[] = {
        {kN1[0], kTokN1[0], 100.0, N1Needle, 20, 5, 95, 100},  {kN1[1], kTokN1[1], 100.0, N1Needle, 20, 5, 95, 100},
        {kN2, kTokN2, 95.0, N1Needle, 19, 5, 90, 95},          {kFf, kTokFf, 4000, FfLbNeedle, 8, 500, 3500, 4000},
        {kEgt, kTokEgt, rankine(600), EgtNeedle, 12, 50, 550, 600},
    };
    for (const Case& c : cases) {
        place(c.gauge);
        token(c.token, c.value);
        std::vector<f64> v;
        for (int f = 0; f < c.frames; ++f) frames(1), v.push_back(needle(c.gauge, c.needle));
        EXPECT_EQ(v[0], c.first) << c.gauge;
        EXPECT_EQ(v[v.size() - 2], c.before) << c.gauge;
        EXPECT_NEAR(v.back(), c.last, 1e-3) << c.gauge;
    }
    expect_drums(kN1[0], kN1Drums, {9, 0, 0, 0}, 100);
    expect_drums(kN2, kN1Drums, {0, 1, 5, 0}, 95);
    expect_drums(kFf, kFfLb, {0, 6, 0, 0}, 4000);  // blank, 4, 0, 0
}

TEST_F(Dials, PowerLossSinksTheNeedleUnderTheFlagAndHoldsTheDrums) {
    place(kN2);
    token(kTokN2, 97.0);
    frames(25);
    EXPECT_TRUE(hidden(element(kN2, N1Flag)));
    elec_ac_bus1_powered = 0;
    token(kTokN2, 50.0);
    std::vector<f64> v;
    for (int f = 0; f < 21; ++f) frames(1), v.push_back(needle(kN2, N1Needle));
    EXPECT_TRUE(v[0] == 92 && v[18] == 2 && v[19] == 0 && v[20] == 0);
    expect_drums(kN2, kN1Drums, {0, 1, 3, 0}, 97.0);
    EXPECT_FALSE(hidden(element(kN2, N1Flag)));
    EXPECT_EQ(needle(kN2, N1Telltale), 112.0);
}

TEST_F(Dials, TellTalesAndCountersAtTheirEdges) {
    struct Case { const char* gauge; u32 token; f64 value; f64 telltale, needle; std::vector<f64> drums; } cases[] = {
        {kN1[1], kTokN1[1], 118.7, 118, 118.7, {9, 9, 2, 3}}, {kN1[1], kTokN1[1], 5.3, 118, 5.3, {0, 0, 5, 7}},
        {kN1[1], kTokN1[1], 0.5, 118, 0.5, {0, 0, 0, 5}},
        {kN1[1], kTokN1[1], 99.95, 118, 99.95, {9.5, .5, .5, .5}}, {kN1[1], kTokN1[1], -20, 118, 0, {0, 0, 0, 0}},
        {kN1[1], kTokN1[1], 1e12, 120, 120, {1, 1, 1, 1}},   {kN2, kTokN2, 121.5, 120, 120, {9, 8, 9, 5}},
        {kEgt, kTokEgt, 518.67, 950, 15.00012, {0, 9, 5}},    {kEgt, kTokEgt, rankine(99.5), 950, 99.5, {9.5, .5, .5}},
        {kEgt, kTokEgt, rankine(1200), 1000, 1000, {1, 1, 1}}, {kEgt, kTokEgt, 400.0, 1000, 0, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        place(c.gauge);
        token(c.token, c.value);
        frames(60);
        const bool egt = c.gauge == kEgt;
        EXPECT_EQ(needle(c.gauge, egt ? EgtTelltale : N1Telltale), c.telltale) << c.gauge << " " << c.value;
        EXPECT_NEAR(needle(c.gauge, egt ? EgtNeedle : N1Needle), c.needle, 1e-4) << c.gauge << " " << c.value;
        expect_drums(c.gauge, egt ? kEgtDrums : kN1Drums, c.drums, c.value);
    }
}

TEST_F(Dials, N1BugFollowsTheComputerInAModeAndIsTheSelectedTargetWithout) {
    for (const char* g : kN1) place(g);
    const i32 kDecX = 110, kIncX = 150, kY = 130;
    frames(1);
    EXPECT_EQ(eng_n1_target_selected, 105.0);
    eng_n1_mode = 3, eng_n1_target_computed = 107.9;
    frames(1);
    EXPECT_TRUE(needle(kN1[0], N1Bug) == 107 && needle(kN1[1], N1Bug) == 107);
    click(kN1[0], kIncX, kY);
    click(kN1[0], kDecX, kY, MouseLeftSingle | MouseRepeat);
    EXPECT_EQ(eng_n1_bug, 107u) << "engine 1's arrows rest in a mode";
    click(kN1[1], kIncX, kY);
    EXPECT_EQ(eng_n1_bug, 108u) << "engine 2's move it in every mode";
    frames(1);
    EXPECT_EQ(eng_n1_bug, 107u) << "until engine 1's next frame";
    eng_n1_mode = 0;
    frames(1);
    EXPECT_EQ(eng_n1_target_selected, 107.0);

    struct Case { f64 target; u32 bug; } cases[] = {{500, 120}, {-3, 0}, {64.99, 64}, {kNaN, 64}, {-kInf, 64}};
    eng_n1_mode = 5;
    for (const Case& c : cases) {
        eng_n1_target_computed = c.target;
        frames(1);
        EXPECT_EQ(eng_n1_bug, c.bug) << c.target;
    }
    power(false);  // unpowered: the bug stops following, the arrows still work within 0..120
    eng_n1_mode = 0;
    for (int i = 0; i < 70; ++i) click(kN1[0], kDecX, kY, MouseLeftSingle | MouseRepeat);
    EXPECT_EQ(eng_n1_bug, 0u);
    for (int i = 0; i < 130; ++i) click(kN1[1], kIncX, kY);
    EXPECT_EQ(eng_n1_bug, 120u);
}

TEST_F(Dials, FuelFlowUnitsChooseFaceNeedleAndCounter) {
    place(kFf);
    place("ketravin eng_ind_ff_2_kr60");
    struct Case { f64 units, flow; std::vector<f64> drums; f64 needle; } cases[] = {
        {0.0, 30000, {7, 0, 0, 0}, 25000}, {1.0, 10000, {6, 5, 7, 0}, 4530},  // 0.453 kg a pound: 4,5,3,0
        {0.0, 9995, {9.5, .5, .5, .5}, 9995},                              // 999.5: every drum half way
        {1.0, 1e6, {1, 1, 1, 1}, 9999},    {-1.0, 1e6, {1, 1, 1, 1}, 9999},
        {0.0, -500, {0, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        token(kTokUnits, c.units);
        token(kTokFf, c.flow);
        frames(60);
        const bool kg = c.units != 0.0;
        expect_drums(kFf, kg ? kFfKg : kFfLb, c.drums, c.flow);
        EXPECT_NEAR(needle(kFf, kg ? FfKgNeedle : FfLbNeedle), c.needle, 1e-6) << c.units;
        for (size_t e : {FfKgNeedle, FfKgHundreds, FfKgFace}) EXPECT_EQ(hidden(element(kFf, e)), !kg) << c.units << " " << e;
        for (size_t e : {FfLbNeedle, FfLbHundreds, FfLbFace}) EXPECT_EQ(hidden(element(kFf, e)), kg) << c.units << " " << e;
    }
    token(kTokFf, 4000);
    frames(60);
    elec_ac_bus1_powered = 0;  // each dial answers to its own bus
    token(kTokFf, 2000);       // unpowered, a new flow is not taken: the needle sinks, the counter holds
    frames(1);
    EXPECT_TRUE(!hidden(element(kFf, FfFlag)) && hidden(element("ketravin eng_ind_ff_2_kr60", FfFlag)));
    EXPECT_EQ(needle(kFf, FfLbNeedle), 3500.0);
    expect_drums(kFf, kFfLb, {0, 6, 0, 0}, 4000);
}

// Not a number is no reading: needle and counter hold. Nothing drawn is ever off the strip or not
// a number, powered or not.
TEST_F(Dials, HostileHostValuesLeaveEveryDialFinite) {
    const char* all[] = {kN1[0], kN1[1], kFf, kEgt, kN2};
    for (const char* g : all) place(g);
    token(kTokN2, 50.0);
    frames(30);
    token(kTokN2, kNaN);
    frames(3);
    EXPECT_TRUE(eng_n2_shown_1 == 50 && eng_n2_digits_1 == 50);
    for (f64 bad : {kNaN, kInf, -kInf, 1e300, -1e300}) {
        for (u32 t : {kTokN1[0], kTokN1[1], kTokN2, kTokFf, kTokEgt, kTokUnits}) token(t, bad);
        for (bool on : {true, false}) {
            power(on);
            frames(25);
            for (const char* g : all) {
                const PlacedGauge* p = host().placed_instance(gauge(g));
                for (size_t i = 0; i < p->elements.size(); ++i) {
                    const DrawnValue& d = p->drawn[i];
                    const bool drum = p->elements[i]->type == ElementMovingImage;
                    EXPECT_TRUE(std::isfinite(d.value) && (!drum || (d.y >= 0 && d.y <= 10))) << g << " " << i << " " << bad;
                }
            }
        }
    }
}
