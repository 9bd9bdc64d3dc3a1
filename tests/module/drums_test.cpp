// Digit drums through the host's draw pass, on a gauge built here from one element line per drum.
#include "module/drums.h"

#include <cmath>
#include <limits>
#include <vector>

#include "tests/host_fixture.h"

namespace {
enum Pos {
    Fuel5, Fuel4, Fuel3, Fuel2, Fuel1, AltRev, AltFwd, N1Hundreds, N1Tens, N1Units, N1Tenths,
    Carry96, Weight, CarryFour, Radio10, Radio8, Radio4, Radio2, Radio10F, Jump10, Jump4, Jump10F,
    Sel10F, Sel4, CarryF, Plain, Units, kN
};
const f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = HUGE_VAL;

f64 plain_in, units_in, units_shown, fuel_value, fuel_scaled[6], fuel_roll[6], fuel_units, alt_x, alt_p, fwd_in, fwd_x, fwd_p, n1_value;
EngineDrums n1;
i32 ti[kN];
u32 tu[kN];
f64 tf[kN], pos[kN];

using drum::target;
const ElementDef kDefs[kN] = {
    el::BandedDrum(451, 0, 0, 0, drum::counter_place(5), &fuel_scaled[5], &fuel_roll[5]),
    el::BandedDrum(451, 0, 0, 0, drum::counter_place(4), &fuel_scaled[4], &fuel_roll[4]),
    el::BandedDrum(451, 0, 0, 0, drum::counter_place(3), &fuel_scaled[3], &fuel_roll[3]),
    el::BandedDrum(451, 0, 0, 0, drum::counter_place(2), &fuel_scaled[2], &fuel_roll[2]),
    el::ContinuousDrum(451, 0, 0, 0, &fuel_scaled[1], &fuel_units),
    el::BandedDrum(1254, 0, 0, 0, drum::band(0.99, 9.9999, 0.99, 100, drum::Reversed), &alt_x, &alt_p),
    el::BandedDrum(1273, 0, 0, 0, drum::band(0.999, 9.9999, 0.999, 1000), &fwd_x, &fwd_p),
    el::BandedDrum(1244, 0, 0, 0, drum::band(0.999, 9.999, 0.999, 1000, drum::Reversed), &n1.drum[0].x, &n1.drum[0].p),
    el::BandedDrum(1222, 0, 0, 0, drum::band(0.99, 9.999, 0.99, 100, drum::Reversed), &n1.drum[1].x, &n1.drum[1].p),
    el::BandedDrum(1222, 0, 0, 0, drum::band(0.9, 9.99, 0.9, 10, drum::Reversed), &n1.drum[2].x, &n1.drum[2].p),
    el::ContinuousDrum(1222, 0, 0, 0, &n1.drum[3].p, &n1.drum[3].p),
    el::ChasingDrum(1273, 0, 0, 0, drum::carry(9.6), target(&ti[Carry96]), &pos[Carry96]),
    el::ChasingDrum(2080, 0, 0, 0, drum::carry(9.9), target(&tu[Weight]), &pos[Weight]),
    el::ChasingDrum(1273, 0, 0, 0, drum::carry_four(), target(&ti[CarryFour]), &pos[CarryFour], 4.0),
    el::ChasingDrum(2080, 0, 0, 0, drum::radio(10), target(&tu[Radio10]), &pos[Radio10]),
    el::ChasingDrum(2118, 0, 0, 0, drum::radio(8), target(&tu[Radio8]), &pos[Radio8]),
    el::ChasingDrum(2124, 0, 0, 0, drum::radio(4), target(&tf[Radio4]), &pos[Radio4], 4.0),
    el::ChasingDrum(2118, 0, 0, 0, drum::radio(2), target(&tu[Radio2]), &pos[Radio2]),
    el::ChasingDrum(2118, 0, 0, 0, drum::radio(10), target(&tf[Radio10F]), &pos[Radio10F]),
    el::ChasingDrum(2118, 0, 0, 0, drum::radio_jump(10), target(&ti[Jump10]), &pos[Jump10]),
    el::ChasingDrum(2128, 0, 0, 0, drum::radio_jump(4), target(&tf[Jump4]), &pos[Jump4], 4.0),
    el::ChasingDrum(2118, 0, 0, 0, drum::radio_jump(10), target(&tf[Jump10F]), &pos[Jump10F]),
    el::ChasingDrum(2444, 0, 0, 0, drum::selector(10), target(&tf[Sel10F]), &pos[Sel10F]),
    el::ChasingDrum(3110, 0, 0, 0, drum::selector(4), target(&ti[Sel4]), &pos[Sel4], 4.0),
    el::ChasingDrum(1273, 0, 0, 0, drum::carry(9.9), target(&tf[CarryF]), &pos[CarryF]),
    el::ValueDrum(2166, 0, 0, 0, &plain_in),
    el::ContinuousDrum(1222, 0, 0, 0, &units_in, &units_shown),
};

void FSAPI drums_update(GaugeHeader*, i32 service, u32);
GaugeHeader drums_header;
const RectDef kRects[] = {rect::Click(0, 0, 1, 1, CursorNone, MouseLeftSingle, nullptr)};
Gauge<kN, 1> drums_gauge(drums_header, "drums test", 40, drums_update, kDefs, kRects);

// The counters' steps, as their gauges run them before the draw.
void FSAPI drums_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    const CounterPlaces c = counter_split(fuel_value, 5);
    for (int p = 1; p <= 5; ++p) fuel_scaled[p] = c.scaled[p], fuel_roll[p] = c.roll[p];
    engine_drums_step(n1_value, 100.0, 4, n1);
    drum_roll(drums_gauge.el(AltFwd), fwd_in);
}

class Drums : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        host().place(&drums_header);
    }
    f64 y(int e) { return host().placed_instance(&drums_header)->drawn[e].y; }
    f64 frame_y(int e) { return frames(1), y(e); }
};
}  // namespace

TEST_F(Drums, FuelCounterReadsLikeAnOdometer) {
    struct Case { f64 value, want[5]; } cases[] = {
        {1234.5, {0, 1, 2, 3, 4.5}},         {1299.5, {0, 1, 2.5, 9.5, 9.5}},     {9999.5, {0.5, 9.5, 9.5, 9.5, 9.5}},
        {9999.95, {0.95, 0, 0, 9.95, 9.95}}, {99999.5, {0, 9.5, 9.5, 9.5, 9.5}},  {123456, {0, 3, 4, 5, 6}},
        {9.9995, {0, 0, 0, 0.9995, 0}},      {10, {0, 0, 0, 1, 0}},               {kNaN, {0, 0, 0, 0, 0}},
        {-5, {0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        fuel_value = c.value;
        frames(1);
        for (int i = 0; i < 5; ++i) EXPECT_NEAR(y(Fuel5 + i), c.want[i], 1e-6) << c.value << " drum " << i;
    }
}

TEST(DrumSplit, TopPlaceFourAndThirtyTwoBitProducts) {
    const CounterPlaces c = counter_split(4999.5, 4);  // TOTAL FUEL of 49,995 lb
    const f64 scaled[] = {4.9995, 9.995, 9.95}, roll[] = {4.5, 9.5, 9.5};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(c.scaled[4 - i], scaled[i], 1e-9);
        EXPECT_NEAR(c.roll[4 - i], roll[i], 1e-6);
    }
    EXPECT_EQ(c.scaled[5], 0.0);
}

TEST_F(Drums, BandedSnapKeepsTheRolledValueOutsideItsBands) {
    struct Case { f64 x, preset, want; } cases[] = {
        {3.99, 42, 7}, {3.995, 6.5, 6.5}, {0.0, 42, 0},  {9.99, 42, 1},
        {9.99995, 42, 0}, {9.9995, 42, 42}, {-0.5, 42, 42}, {kNaN, 42, 42}, {kInf, 42, 0},
    };
    for (const Case& c : cases) {
        alt_x = c.x, alt_p = c.preset;
        EXPECT_DOUBLE_EQ(frame_y(AltRev), c.want) << c.x;
        EXPECT_DOUBLE_EQ(frame_y(AltRev), c.want) << "a second draw returns the same " << c.x;
    }
    fwd_in = 2.9995;
    EXPECT_NEAR(frame_y(AltFwd), 2.5, 1e-9);
    for (f64 bad : {kNaN, 1e300, -3e9}) {
        fwd_in = bad;
        EXPECT_NEAR(frame_y(AltFwd), 2.5, 1e-9) << bad << " keeps the drum where it stood";
    }
}

TEST_F(Drums, EngineCountersRollTogether) {
    struct Case { f64 d, want[4]; } cases[] = {
        {99.95, {9.5, 0.5, 0.5, 0.5}}, {105.0, {9, 0, 5, 0}}, {121.5, {9, 8, 9, 5}},
        {-20, {0, 0, 0, 0}},           {kNaN, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        n1_value = c.d;
        frames(1);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(y(N1Hundreds + i), c.want[i], 1e-6) << c.d << " drum " << i;
    }
}

TEST_F(Drums, PlainAndContinuousDrumsShowNoNumberAsZero) {
    for (f64 v : {7.25, 0.5, kNaN, kInf, -kInf}) {
        plain_in = v;
        EXPECT_DOUBLE_EQ(frame_y(Plain), std::isfinite(v) ? v : 0.0) << v;
    }
    // A continuous drum folds past 9.999 to the top cell, drawn as 0.
    const struct { f64 in, want; } rows[] = {{9.999, 9.999}, {9.9991, 0}, {4.5, 4.5}, {kNaN, 0}, {kInf, 0}};
    for (const auto& r : rows) {
        units_in = r.in, units_shown = -1;
        EXPECT_DOUBLE_EQ(frame_y(Units), r.want) << r.in;
        EXPECT_DOUBLE_EQ(units_shown, r.want) << r.in;
    }
}

TEST_F(Drums, CallbacksOnAnElementWithoutADrumGiveZero) {
    const char* other = "ketravin adf_kr60";
    place(other);
    ElementHeader* e = element(other, 0);  // the card's plate: no drum behind it
    for (auto fn : {drum_value, drum_units_value, drum_digit_value, digit_drum_y, drum_edge_value})
        EXPECT_EQ(fn(e), 0.0);
}

// Each row: drum, start, target, the values of successive draws; then, when `calls` is set,
// the draw on which the drum first stands on `settle` and stays.
struct ChaseCase { int e; f64 start, target; std::vector<f64> seq; int calls = 0; f64 settle = 0; };
class DrumChase : public Drums {
public:
    void run(const std::vector<ChaseCase>& rows) {
        for (const ChaseCase& r : rows) {
            pos[r.e] = r.start, tf[r.e] = r.target, ti[r.e] = sat_i32(r.target, 0), tu[r.e] = sat_u32(r.target, 0u);
            const auto what = ::testing::Message() << r.e << ": " << r.start << " -> " << r.target;
            for (f64 v : r.seq) EXPECT_DOUBLE_EQ(frame_y(r.e), v) << what;
            if (!r.calls) continue;
            int n = int(r.seq.size()) + 1;  // the next draw
            while (n <= r.calls && std::fabs(frame_y(r.e) - r.settle) > 1e-9) ++n;
            EXPECT_EQ(n, r.calls) << what;
            EXPECT_DOUBLE_EQ(frame_y(r.e), r.settle) << what << " stays";
        }
    }
};

TEST_F(DrumChase, CarryCountersAndWeights) {
    run({{Carry96, 0, 9, {9.9, 9.65, 9.4, 9.15, 9}},    {Carry96, 9, 0, {9.25, 9.5, 9.75, 0}},
         {Weight, 9, 0, {9.25, 9.5, 9.75, 10, 0}},      {Carry96, 5, 0, {4.75, 4.5}, 20, 0},
         {Carry96, 9, 1, {8.75}, 32, 1},                {Carry96, 9, 10, {9.25, 9.5, 9.75, 10, 10}},
         {CarryFour, 0, 3, {3.9, 3.65, 3.4, 3.15, 3}},  {CarryFour, 3, 0, {3.25, 3.5, 3.75, 4, 0}},
         {Weight, 0, 8, {}, 32, 8},                     {Weight, 5, 4e9, {5, 5}},
         // A double target between 0 and 1 is neither a digit above 0 nor 0: the drum holds.
         {CarryF, 5, 0.5, {5, 5}},                      {CarryF, 0, 0.5, {0.25, 0.5, 0.5}},
         {Carry96, 9.6, 0, {0}}});  // at the wrap threshold: straight to 0
}

TEST_F(DrumChase, RadioHeads) {
    run({{Radio10, 9, 0, {9.25, 9.5, 9.75, 10, 0}},    {Radio10, 0, 9, {9.9, 9.65, 9.4, 9.15, 9}},
         {Radio10, 9.4, 0, {9.65, 9.9, 0}},            {Radio10, 9.9, 3, {9.65, 9.4}, 28, 3},
         {Radio8, 7, 0, {7.25, 7.5, 7.75, 8, 0}},      {Radio8, 0, 7, {7.9, 7.65, 7.4, 7.15, 7}},
         {Radio2, 0, 1, {1.9, 1.65, 1.4, 1.15, 1}},    {Radio10, 8.85, 0, {8.6}},  // just below the roll-on limit
         {Radio4, 3, 0, {3.25, 3.5, 3.75, 4, 0}},      {Radio4, 0, 1, {0.25, 0.5, 0.75, 1, 1}},
         {Radio10F, 0, 8.9999999, {9.9, 9.65, 9.4, 9.15, 9.15}},
         {Radio10F, 9.15, 2.9999999, {8.9}, 24, 3.15}, {Radio10F, 3.15, 5.0, {3.4}, 8, 5},
         {Radio10F, 4, kNaN, {4, 4}}});
}

TEST_F(DrumChase, RadioHeadsThatJumpToTheTopDigit) {
    run({{Jump10, 3, 7, {3.25, 3.5}, 16, 7},           {Jump10, 9, 0, {9.25, 9.5, 9.75, 10, 0}},
         {Jump10, 5, 9, {9.9, 9.65, 9.4, 9.15, 9}},    {Jump10, 5, 0, {4.75}, 20, 0},
         {Jump10, 9.9, 0, {0}},                        {Jump10, 9.15, 0, {9.4, 9.65, 9.9, 0}},
         {Jump10, 8.9, 0, {8.65, 8.4}},                {Jump4, 0, 3, {3.9, 3.65, 3.4, 3.15, 3}},
         {Jump4, 3, 0, {3.25, 3.5, 3.75, 4, 0}},       {Jump10F, 3, 4.9999999, {3.25}, 8, 5},
         {Jump10, 3, 12, {9.9, 9.9}},                  {Jump10F, 2, -kInf, {2, 2}},
         {Jump10F, 2, 2147483648.0, {2, 2}},  // just past what an int holds
         {Jump10F, 2, 2147483647.5, {9.9}}});
}

TEST_F(DrumChase, SelectorWheels) {
    run({{Sel10F, 5, 4, {4.75, 4.5, 4.25, 4, 4}},      {Sel10F, 9, 0, {9.25, 9.5, 9.75, 10, 0}},
         {Sel10F, 0, 9, {10, 9.75, 9.5, 9.25, 9}},     {Sel10F, 0, 8, {0.25}, 32, 8},
         {Sel4, 0, 1, {0.25, 0.5, 0.75, 1}},           {Sel4, 1, 0, {0.75, 0.5, 0.25, 0}},
         {Sel4, 3, 0, {3.25, 3.5, 3.75, 4, 0}},        {Sel10F, 10, 5, {9.75}, 20, 5},
         {Sel10F, 6, kNaN, {6}},                       {Sel10F, kNaN, 0, {0, 0}},
         {Sel10F, 9.9, 0, {0}}});  // at the wrap point: straight to 0
}

TEST(DrumSplit, SelectorTargetsAreReversedDigits) {
    struct Case { i32 v; u32 place, n; std::vector<i32> wheels; f64 units; } cases[] = {
        {0, 100, 4, {0, 0}, 0},          {359, 100, 4, {1, 5}, 1}, {250, 100, 10, {8, 5}, 0},
        {40000, 10000, 10, {6, 0, 0, 0}, 0}, {12345, 10000, 10, {9, 8, 7, 6}, 5}, {-30, 100, 4, {0, 0}, 0},
    };
    for (const Case& c : cases) {
        const SelectorTargets t = selector_split(c.v, c.place, c.n);
        EXPECT_EQ(std::vector<i32>(t.wheel, t.wheel + t.count), c.wheels) << c.v;
        EXPECT_EQ(t.units, c.units) << c.v;
    }
}

TEST_F(Drums, AClosedWindowKeepsItsDrumsWhereTheyStood) {
    PanelConfig panel;
    panel.windows.push_back(PanelWindow{77, false});
    panel.gauges.push_back(PanelGauge{"drums test", 0, 0, 40, 0, 77});
    host().remove(&drums_header);
    host().use_panel(panel);
    host().place(&drums_header);
    pos[Jump10] = 3, ti[Jump10] = 7;
    frames(10);
    EXPECT_EQ(pos[Jump10], 3.0);
    host().window_set(77, true);
    frames(2);
    EXPECT_EQ(pos[Jump10], 3.5) << "one step per draw, from where it stood";
}
