// The primary engine dials through the host: slew frame by frame, drums at once, tell-tales, the
// N1 bug with the N1 computer's modes, fuel-flow units, EGT conversion, power loss under the flag,
// and hostile host values.
#include <cmath>
#include <initializer_list>
#include <vector>

#include "electrical/state.h"
#include "engines/eng_indicator.h"
#include "engines/state.h"
#include "lighting/state.h"
#include "tests/host_fixture.h"

namespace {
const char* kN1[2] = {"ketravin eng_ind_n1_1_kr60", "ketravin eng_ind_n1_2_kr60"};
const char* kFf[2] = {"ketravin eng_ind_ff_1_kr60", "ketravin eng_ind_ff_2_kr60"};
const char* kEgt[2] = {"ketravin eng_ind_egt_1_kr60", "ketravin eng_ind_egt_2_kr60"};
const char* kN2 = "ketravin eng_ind_n2_1_kr60";
constexpr u32 kTokN1[2] = {624, 643}, kTokN2 = 625, kTokEgt[2] = {631, 650}, kTokFf[2] = {638, 657}, kTokUnits = 335;
const f64 kNaN = NAN, kInf = INFINITY;

// Chain positions: drums leading first, then flag, tell-tale and main needle.
enum { N1Tenths = 2, N1Units, N1Tens, N1Hundreds, N1Flag, N1Telltale, N1Needle, N1Bug };
enum { FfKgFace, FfKgLit, FfLbFace, FfLbLit, FfUnits, FfTens, FfKgHundreds, FfThousands, FfLbHundreds, FfFlag,
       FfKgNeedle, FfLbNeedle };
enum { EgtUnits = 2, EgtTens, EgtHundreds, EgtFlag, EgtTelltale, EgtNeedle };
constexpr std::initializer_list<size_t> kN1Drums = {N1Hundreds, N1Tens, N1Units, N1Tenths};
constexpr std::initializer_list<size_t> kEgtDrums = {EgtHundreds, EgtTens, EgtUnits};
constexpr std::initializer_list<size_t> kFfLbDrums = {FfThousands, FfLbHundreds, FfTens, FfUnits};
constexpr std::initializer_list<size_t> kFfKgDrums = {FfThousands, FfKgHundreds, FfTens, FfUnits};
}  // namespace

class Dials : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        power(true);
    }
    void power(bool on) {
        elec_ess_ac_any_powered = dc_ess_powered = elec_ac_bus1_powered = elec_ac_bus2_powered = on ? 1 : 0;
    }
    f64 needle(const char* g, size_t pos) { return drawn(g, pos).value; }
    // Drum positions on their strips, leading drum first.
    std::vector<f64> drums(const char* g, std::initializer_list<size_t> pos) {
        std::vector<f64> out;
        for (size_t p : pos) out.push_back(drawn(g, p).y);
        return out;
    }
    void expect_drums(const char* g, std::initializer_list<size_t> pos, std::vector<f64> want, const char* what) {
        const std::vector<f64> got = drums(g, pos);
        for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-3) << what << " drum " << i;
    }
    // The needle's value on each of `n` frames.
    std::vector<f64> run(const char* g, size_t pos, int n) {
        std::vector<f64> v;
        for (int f = 0; f < n; ++f) frames(1), v.push_back(needle(g, pos));
        return v;
    }
};

// Every dial's needle: climbing by its step when power returns with the engine already up,
// straight onto a lower value, sinking by its step without power.
TEST_F(Dials, NeedlesSlewByTheirStepAndTheDrumsReadAtOnce) {
    struct Case {
        const char* gauge;
        u32 token;
        f64 value;
        size_t needle;
        int frames_to_reach;  // frame on which the needle first shows the value
        f64 first, last_step;
    } cases[] = {
        {kN1[0], kTokN1[0], 100.0, N1Needle, 20, 5, 95},
        {kN1[1], kTokN1[1], 100.0, N1Needle, 20, 5, 95},
        {kN2, kTokN2, 95.0, N1Needle, 19, 5, 90},
        {kFf[0], kTokFf[0], 4000.0, FfLbNeedle, 8, 500, 3500},
        {kEgt[1], kTokEgt[1], 600.0 / 0.55556 + 491.67, EgtNeedle, 12, 50, 550},
    };
    token(kTokUnits, 0.0);
    for (const Case& c : cases) {
        place(c.gauge);
        token(c.token, c.value);
        const std::vector<f64> v = run(c.gauge, c.needle, c.frames_to_reach);
        EXPECT_DOUBLE_EQ(v.front(), c.first) << c.gauge;
        EXPECT_DOUBLE_EQ(v[v.size() - 2], c.last_step) << c.gauge;
        EXPECT_NEAR(v.back(), c.gauge == kEgt[1] ? 600.0 : c.value, 1e-6) << c.gauge;
    }
    expect_drums(kN1[0], kN1Drums, {9, 0, 0, 0}, "N1 100.0 from the first frame");
    expect_drums(kN2, kN1Drums, {0, 1, 5, 0}, "N2 95.0");
    expect_drums(kFf[0], kFfLbDrums, {0, 6, 0, 0}, "4000 lb/h reads 4.00");
}

TEST_F(Dials, PowerLossSinksTheNeedleUnderTheFlagAndHoldsTheDrums) {
    place(kN2);
    token(kTokN2, 97.0);
    frames(25);
    ASSERT_EQ(needle(kN2, N1Needle), 97.0);
    EXPECT_TRUE(hidden(element(kN2, N1Flag)));
    elec_ac_bus1_powered = 0;
    token(kTokN2, 50.0);
    std::vector<f64> v = run(kN2, N1Needle, 21);
    EXPECT_EQ(v[0], 92.0);
    EXPECT_EQ(v[18], 2.0);
    EXPECT_EQ(v[19], 0.0);
    EXPECT_EQ(v[20], 0.0);
    EXPECT_EQ(eng_n2_digits_1, 97.0) << "the counter keeps the last powered reading";
    expect_drums(kN2, kN1Drums, {0, 1, 3, 0}, "97.0 under the flag");
    EXPECT_FALSE(hidden(element(kN2, N1Flag)));
    EXPECT_EQ(needle(kN2, N1Telltale), 112.0) << "the tell-tale stays";
}

TEST_F(Dials, TellTalesRiseToTheWholePartAndAreCutAtTheScale) {
    struct Case {
        const char* gauge;
        u32 token;
        size_t telltale;
        std::vector<f64> values, want;
    } cases[] = {
        {kN1[0], kTokN1[0], N1Telltale, {118.7, 119.0, 60.0, 500.0}, {118, 119, 119, 120}},
        {kN2, kTokN2, N1Telltale, {113.7, 80.0, 121.5}, {113, 113, 120}},
        {kEgt[0], kTokEgt[0], EgtTelltale, {975.6 / 0.55556 + 491.67, 491.67, 1200 / 0.55556 + 491.67},
         {975, 975, 1000}},
    };
    for (const Case& c : cases) {
        place(c.gauge);
        for (size_t i = 0; i < c.values.size(); ++i) {
            token(c.token, c.values[i]);
            frames(40);
            EXPECT_EQ(needle(c.gauge, c.telltale), c.want[i]) << c.gauge << " " << c.values[i];
        }
    }
    expect_drums(kN2, kN1Drums, {9, 8, 9, 5}, "121.5 reads 1, 2, 1, 5 past the scale");
    EXPECT_EQ(needle(kN2, N1Needle), 120.0);
    expect_drums(kEgt[0], kEgtDrums, {1, 1, 1}, "1200 degrees reads 999");
    EXPECT_EQ(needle(kEgt[0], EgtNeedle), 1000.0);
}

TEST_F(Dials, CountersReadTheirDigitsAndStayOnTheStripBelowZero) {
    struct Case {
        const char* gauge;
        u32 token;
        f64 value;
        std::initializer_list<size_t> drums;
        std::vector<f64> want;
    } cases[] = {
        {kN1[1], kTokN1[1], 5.3, kN1Drums, {0, 0, 5, 7}},           // blank, 0, 5, 3
        {kN1[1], kTokN1[1], 99.95, kN1Drums, {9.5, 0.5, 0.5, 0.5}}, // every drum half way through its carry
        {kN1[1], kTokN1[1], 105.0, kN1Drums, {9, 0, 5, 0}},
        {kN1[1], kTokN1[1], -20.0, kN1Drums, {0, 0, 0, 0}},
        {kN1[1], kTokN1[1], 1e12, kN1Drums, {1, 1, 1, 1}},          // held at 999.9
        {kEgt[0], kTokEgt[0], 518.67, kEgtDrums, {0, 9, 5}},        // 15.00012: blank, 1, 5
        {kEgt[0], kTokEgt[0], 99.5 / 0.55556 + 491.67, kEgtDrums, {9.5, 0.5, 0.5}},
        {kEgt[0], kTokEgt[0], 400.0, kEgtDrums, {0, 0, 0}},         // below 0 degrees: blank, 0, 0
        {kEgt[0], kTokEgt[0], -1e300, kEgtDrums, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        place(c.gauge);
        token(c.token, c.value);
        frames(1);
        expect_drums(c.gauge, c.drums, c.want, c.gauge);
        for (f64 p : drums(c.gauge, c.drums)) EXPECT_TRUE(p >= 0.0 && p <= 10.0) << c.gauge << " " << c.value;
    }
    EXPECT_NEAR(eng_egt_shown_1, 0.0, 1e-9) << "held at 0 by its needle";
}

TEST_F(Dials, N1BugFollowsTheComputerInAModeAndIsTheSelectedTargetWithout) {
    for (const char* g : kN1) place(g);
    const i32 kDecX = 110, kIncX = 150, kArrowY = 130;
    frames(1);
    EXPECT_EQ(eng_n1_target_selected, 105.0) << "the first powered frame in mode 0";

    eng_n1_mode = 3;
    eng_n1_target_computed = 107.9;
    frames(1);
    EXPECT_EQ(needle(kN1[0], N1Bug), 107.0);
    EXPECT_EQ(needle(kN1[1], N1Bug), 107.0);
    click(kN1[0], kIncX, kArrowY);
    click(kN1[0], kDecX, kArrowY, MouseLeftSingle | MouseRepeat);
    EXPECT_EQ(eng_n1_bug, 107u) << "engine 1's arrows rest in a mode";
    click(kN1[1], kIncX, kArrowY);
    EXPECT_EQ(eng_n1_bug, 108u) << "engine 2's arrows move it in every mode";
    frames(1);
    EXPECT_EQ(eng_n1_bug, 107u) << "engine 1's next frame puts it back";
    EXPECT_EQ(eng_n1_target_selected, 105.0) << "in a mode the computer owns the selected target";

    eng_n1_mode = 0;
    frames(1);
    EXPECT_EQ(eng_n1_target_selected, 107.0);

    // Computed targets off the scale or not a number.
    struct Case { f64 target; u32 bug; } cases[] = {{500, 120}, {-3, 0}, {kNaN, 0}, {kInf, 0}, {64.99, 64}, {-kInf, 64}};
    eng_n1_mode = 5;
    for (const Case& c : cases) {
        eng_n1_target_computed = c.target;
        frames(1);
        EXPECT_EQ(eng_n1_bug, c.bug) << c.target;
    }
    // Without power the bug stops following and the arrows still work.
    power(false);
    eng_n1_mode = 0;
    eng_n1_target_computed = 90;
    for (int i = 0; i < 70; ++i) click(kN1[0], kDecX, kArrowY, MouseLeftSingle | MouseRepeat);
    frames(1);
    EXPECT_EQ(eng_n1_bug, 0u);
    EXPECT_EQ(eng_n1_target_selected, 107.0) << "held while unpowered";
    for (int i = 0; i < 130; ++i) click(kN1[1], kIncX, kArrowY);
    EXPECT_EQ(eng_n1_bug, 120u);
}

TEST_F(Dials, FuelFlowUnitsChooseFaceNeedleAndCounter) {
    place(kFf[0]);
    place(kFf[1]);
    struct Case {
        f64 units, flow;
        const char* what;
        std::vector<f64> kg_drums, lb_drums;
        f64 needle;
        size_t shown_needle, face;
    } cases[] = {
        {0.0, 30000, "pounds: 30.00 on a needle held at 25000", {}, {7, 0, 0, 0}, 25000, FfLbNeedle, FfLbFace},
        {1.0, 1e6, "kilograms: 9.999 at 9999", {1, 1, 1, 1}, {}, 9999, FfKgNeedle, FfKgFace},
        {-1.0, 1e6, "a negative units value is kilograms", {1, 1, 1, 1}, {}, 9999, FfKgNeedle, FfKgFace},
        {kNaN, 2000, "not a number is kilograms too: 906", {0, 1, 0, 4}, {}, 906, FfKgNeedle, FfKgFace},
        {0.0, -500, "a negative flow reads 0", {}, {0, 0, 0, 0}, 0, FfLbNeedle, FfLbFace},
    };
    for (const Case& c : cases) {
        token(kTokUnits, c.units);
        token(kTokFf[0], c.flow);
        frames(60);
        const bool kg = c.shown_needle == FfKgNeedle;
        if (kg)
            expect_drums(kFf[0], kFfKgDrums, c.kg_drums, c.what);
        else
            expect_drums(kFf[0], kFfLbDrums, c.lb_drums, c.what);
        EXPECT_NEAR(needle(kFf[0], c.shown_needle), c.needle, 1e-6) << c.what;
        for (size_t e : {FfKgNeedle, FfLbNeedle, FfKgHundreds, FfLbHundreds})
            EXPECT_EQ(hidden(element(kFf[0], e)), e != c.shown_needle && e != (kg ? FfKgHundreds : FfLbHundreds))
                << c.what << " element " << e;
        for (size_t f : {FfKgFace, FfKgLit, FfLbFace, FfLbLit})
            EXPECT_EQ(hidden(element(kFf[0], f)), f != c.face) << c.what << " face " << f;
    }
    // Lighting picks the lit face of the units; bright lights every element.
    token(kTokUnits, 0.0);
    light_zone[1] = 1;
    annunciator_bright = 1;
    frames(1);
    EXPECT_FALSE(hidden(element(kFf[0], FfLbLit)));
    EXPECT_TRUE(hidden(element(kFf[0], FfLbFace)));
    for (size_t e = 0; e < 12; ++e) EXPECT_TRUE(lit_bright(element(kFf[0], e)) && !lit_luminous(element(kFf[0], e)));
    annunciator_bright = 0;
    frames(1);
    for (size_t e = 0; e < 12; ++e) EXPECT_EQ(lit_luminous(element(kFf[0], e)), e != FfKgFace) << e;
    // Each dial answers to its own bus.
    elec_ac_bus1_powered = 0;
    frames(1);
    EXPECT_FALSE(hidden(element(kFf[0], FfFlag)));
    EXPECT_TRUE(hidden(element(kFf[1], FfFlag)));
}

TEST_F(Dials, LitFaceFollowsTheZoneAndTheFaceNeverGlows) {
    struct Case { u8 zone, bright; bool lit_face_shown, needle_lum, needle_bright; } cases[] = {
        {1, 0, true, true, false}, {1, 1, true, false, true}, {0, 1, false, false, false}, {2, 0, false, false, false},
    };
    for (const char* g : {kN1[0], kN2, kEgt[1]}) place(g);
    for (const Case& c : cases) {
        light_zone[1] = c.zone;
        annunciator_bright = c.bright;
        frames(1);
        for (const char* g : {kN1[0], kN2, kEgt[1]}) {
            EXPECT_EQ(!hidden(element(g, 1)), c.lit_face_shown) << g << " zone " << int(c.zone);
            EXPECT_FALSE(lit_luminous(element(g, 0)) || lit_bright(element(g, 0))) << g;
            const ElementHeader* n = element(g, g == kEgt[1] ? size_t(EgtNeedle) : size_t(N1Needle));
            EXPECT_EQ(lit_luminous(n), c.needle_lum) << g;
            EXPECT_EQ(lit_bright(n), c.needle_bright) << g;
        }
    }
}

// A value that is not a number is no reading: needle and counter hold. Nothing drawn is ever
// off the strip or not a number, powered or not.
TEST_F(Dials, HostileHostValuesLeaveEveryDialFinite) {
    const char* all[] = {kN1[0], kN1[1], kFf[0], kFf[1], kEgt[0], kEgt[1], kN2};
    for (const char* g : all) place(g);
    for (u32 t : {kTokN1[0], kTokN1[1], kTokN2, kTokFf[0], kTokFf[1]}) token(t, 50.0);
    for (u32 t : kTokEgt) token(t, 900.0);
    frames(30);
    const f64 n2_before = eng_n2_shown_1, egt_before = eng_egt_digits_1;
    token(kTokN2, kNaN);
    token(kTokEgt[0], kNaN);
    frames(3);
    EXPECT_EQ(eng_n2_shown_1, n2_before);
    EXPECT_EQ(eng_n2_digits_1, 50.0);
    EXPECT_EQ(eng_egt_digits_1, egt_before);

    for (f64 bad : {kNaN, kInf, -kInf, 1e300, -1e300, 4294967296.0}) {
        for (u32 t : {kTokN1[0], kTokN1[1], kTokN2, kTokFf[0], kTokFf[1], kTokEgt[0], kTokEgt[1], kTokUnits})
            token(t, bad);
        for (int pass = 0; pass < 2; ++pass) {
            power(pass == 0);
            frames(25);
            for (const char* g : all) {
                const PlacedGauge* p = host().placed_instance(gauge(g));
                for (size_t i = 0; i < p->elements.size(); ++i) {
                    const DrawnValue& d = p->drawn[i];
                    EXPECT_TRUE(std::isfinite(d.value)) << g << " " << i << " " << bad;
                    if (p->elements[i]->type == ElementMovingImage) {
                        EXPECT_TRUE(d.y >= 0.0 && d.y <= 10.0) << g << " " << i << " " << bad;
                    }
                }
            }
        }
    }
    for (f64 v : {eng_n1_shown_1, eng_n1_digits_2, eng_n1_raw_1, eng_ff_shown_1, eng_ff_digits_2, eng_egt_raw_1,
                  eng_egt_shown_2, eng_n2_shown_1, eng_n2_digits_1})
        EXPECT_TRUE(std::isfinite(v));
}
