// Fuel quantity and fuel-used indicators, reserve lamps and the gross weight indicator through the
// host: count-up and self-test frame by frame, the quarter-second fuel additions and their clock,
// the weight drums, and hostile host values.
#include <cmath>
#include <vector>

#include "electrical/state.h"
#include "fuel/fuel_indicators.h"
#include "fuel/state.h"
#include "lighting/state.h"
#include "module/keys.h"
#include "tests/host_fixture.h"

namespace {
const char* kMLeft = "ketravin fuel_ind_qtty_m_left_kr60";
const char* kTest = "ketravin fuel_qtty_test_kr60";
const char* kReserve1 = "ketravin fuel_qtty_reserve_1_kr60";
const char* kReserve2 = "ketravin fuel_qtty_reserve_2_kr60";
const char* kWeight = "ketravin plane_weight_kr60";
const char* kLb = "(A:TOTAL WEIGHT, Pound)";
constexpr u32 kUnits = 335, kLbPerGal = 306, kMLeftLevel = 293, kMLeftCap = 294, kTime = 607, kFlow1 = 638,
              kFuelWeight = 791;
constexpr f64 kFull = 8388608.0, kNaN = f64(NAN), kInf = f64(INFINITY);
enum { WtOffFlag = 2, WtFuel3 = 3, WtFuel2, WtFuel1, WtDrum4, WtDrum3, WtDrum2, WtDrum1 };
}  // namespace

class FuelIndicators : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        dc_normal_powered = 1;
        token(kLbPerGal, 5.0);  // 5 lb a gallon: a full tank of C gallons weighs 5 C pounds
        token(kMLeftLevel, kFull);
    }
};

TEST_F(FuelIndicators, QuantityCountsUpDropsAtOnceAndStopsAtFullScale) {
    place(kMLeft);
    host().window_set(panel_win_fe_2, true);  // drawn
    const FuelQtyIndicator& ind = fuel_qty_ind_m_left;
    const struct { f64 cap, unit; u8 dc; int frames; f64 shown; } steps[] = {
        {2390, 0, 1, 23, 11500}, {2390, 0, 1, 1, 12000}, {2390, 0, 1, 1, 11950},  // 11950 lb from 0
        {1000, 0, 1, 1, 5000},   {1130, 0, 1, 2, 6000},   {1130, 0, 1, 1, 5650},   // 150 short: one more 500
        {1000, 1, 1, 1, 2265},   {1000, 0, 1, 1, 2765},                             // down at once; kg; up by 500
        {1000, 0, 0, 9, 2765},   {1000, 0, 1, 5, 5265},   {1000, 0, 1, 1, 5000},   // no normal DC: stands
        {2020, 0, 1, 10, 10000}, {2020, 0, 1, 1, 10100},                            // exactly 100 short: taken
        {-1e308, 0, 1, 1, 0},                                                       // saturates: below 0, not kept
        {7000, 0, 1, 60, 30000}, {kNaN, 0, 1, 1, 30000}, {kInf, 0, 1, 1, 30000},   // over-full; bad capacity kept
        {7000, 1, 1, 1, 15000},                                                     // kilograms: its own full scale
    };
    // The counter reads the whole digit of each place; the needle and face of the unit show.
    auto reading = [&] {
        return std::trunc(ind.digit5_scaled) * 10000 + std::trunc(ind.digit4_scaled) * 1000 +
               std::trunc(ind.digit3_scaled) * 100 + std::trunc(ind.digit2_scaled) * 10 + ind.digit1_scaled;
    };
    enum { KgFace, LbFace, KgNeedle = 7, LbNeedle };
    for (const auto& s : steps) {
        token(kMLeftCap, s.cap), token(kUnits, s.unit);
        dc_normal_powered = s.dc;
        frames(s.frames);
        SCOPED_TRACE(testing::Message() << s.cap << " after " << s.frames);
        EXPECT_NEAR(ind.shown, s.shown, 1e-6);
        EXPECT_NEAR(reading(), s.shown, 1e-6) << "counters follow the needle";
        const bool pounds = s.unit == 0;
        EXPECT_NEAR(drawn(kMLeft, pounds ? LbNeedle : KgNeedle).value, s.shown, 1e-6);
        EXPECT_EQ(std::vector<bool>({hidden(element(kMLeft, KgFace)), hidden(element(kMLeft, LbFace)),
                                     hidden(element(kMLeft, KgNeedle)), hidden(element(kMLeft, LbNeedle))}),
                  std::vector<bool>({pounds, !pounds, pounds, !pounds}));
    }
    EXPECT_NEAR(fuel_qty_m_left, 7000 * 3.84, 1e-6) << "quantity kept through the bad readings";
    for (f64 unit : {0.0, 1.0}) {  // a weight below 0 rests the needle of the unit at 0
        token(kMLeftCap, -1000), token(kUnits, unit);
        frames(1);
        EXPECT_EQ(drawn(kMLeft, unit == 0.0 ? LbNeedle : KgNeedle).value, 0.0) << unit;
        EXPECT_EQ(ind.shown, 0.0);
    }
}

TEST_F(FuelIndicators, SelfTestRunsToFullScaleAndBack) {
    place(kMLeft), place(kTest);
    token(kMLeftCap, 2400);  // 12000 lb
    frames(30);
    dc_normal_powered = 0;
    EXPECT_TRUE(click(kTest, 10, 30));
    EXPECT_EQ(fuel_qty_test_active[0], 0) << "no normal DC: nothing";
    dc_normal_powered = 1;
    EXPECT_TRUE(click(kTest, 10, 30));
    const struct { int frames; f64 shown; u8 test, phase; } steps[] = {
        {45, 30000, 1, 0}, {1, 30000, 1, 1}, {45, 12000, 1, 1}, {1, 12000, 0, 0},
    };
    for (const auto& s : steps) {
        frames(s.frames);
        EXPECT_NEAR(fuel_qty_ind_m_left.shown, s.shown, 1e-6);
        EXPECT_EQ(fuel_qty_test_active[0], s.test);
        EXPECT_EQ(fuel_qty_ind_m_left.test_phase, s.phase);
    }
    EXPECT_EQ(fuel_qty_test_active[3], 1) << "indicators not placed keep their request";
}

// The 1A tank's self-test: pounds +200 a frame to 9000, kilograms +100 to 4500; then -250 a frame
// back to the target.
TEST_F(FuelIndicators, AuxiliarySelfTestRisesByUnit) {
    place("ketravin fuel_ind_qtty_a_left_kr60"), place(kTest);
    token(291, kFull), token(292, 1010);  // the 1A tank full, 1010 gallons
    const struct { f64 unit; f64 target, rise; } kRuns[] = {{0, 5050, 200}, {1, 2287.65, 100}};
    for (const auto& u : kRuns) {
        token(kUnits, u.unit);
        frames(30);
        ASSERT_NEAR(fuel_qty_ind_a_left.shown, u.target, 1e-6);
        EXPECT_TRUE(click(kTest, 10, 30));
        frames(1);
        EXPECT_NEAR(fuel_qty_ind_a_left.shown, u.target + u.rise, 1e-6) << u.unit;
        int n = 0;
        for (; n < 100 && fuel_qty_test_active[3] == 1; ++n) frames(1);
        EXPECT_LT(n, 100);
        EXPECT_NEAR(fuel_qty_ind_a_left.shown, u.target, 1e-6) << "the frame that ends the test lands on the target";
    }
}

TEST_F(FuelIndicators, ReserveLampsLatchTheFuelCaution) {
    place(kReserve1), place(kReserve2);
    light_zone[4] = 1;
    const struct { f64 left, right; u8 dc; bool lamp1, lamp2; u8 warn; } cases[] = {
        {1150.0001, 5000, 1, false, false, 0}, {1150, 5000, 1, true, false, 1}, {5000, 1150, 1, false, true, 1},
        {0, 0, 0, false, false, 1},  // latched
    };
    for (const auto& c : cases) {
        fuel_qty_a_left = c.left, fuel_qty_a_right = c.right;
        dc_normal_powered = c.dc;
        frames(1);
        EXPECT_EQ(!hidden(element(kReserve1, 1)), c.lamp1) << c.left;
        EXPECT_EQ(!hidden(element(kReserve2, 1)), c.lamp2) << c.right;
        EXPECT_EQ(warn_fuel_low, c.warn) << c.left << " " << c.right;
    }
    EXPECT_TRUE(lit_luminous(element(kReserve1, 0)));
    EXPECT_TRUE(lit_bright(element(kReserve1, 1)) && !lit_luminous(element(kReserve1, 1))) << "lamp keeps bright";
}

class FuelUsed : public FuelIndicators {
protected:
    void SetUp() override {
        FuelIndicators::SetUp();
        place("ketravin fuel_ind_fu_1_kr60");
        token(kFlow1, 3600);
    }
};

TEST_F(FuelUsed, AQuarterSecondOfFlowEverySixFramesAtEighteen) {
    for (const auto& c : {std::pair<f64, f64>{0, 0.335175925}, {1, 0.151834694025}}) {
        token(kUnits, c.first);
        fuel_used[0] = 0;
        fuel_used_ind_1.timer_armed = 0;
        for (int n = 1; n <= 3; ++n) {
            frames(5);
            EXPECT_NEAR(fuel_used[0], (n - 1) * c.second, 1e-12) << "unit " << c.first;
            frames(1);
            EXPECT_NEAR(fuel_used[0], n * c.second, 1e-12) << "unit " << c.first;
        }
        const bool pounds = c.first == 0;  // the face of the unit: kilograms 0, pounds 1
        EXPECT_EQ(hidden(element("ketravin fuel_ind_fu_1_kr60", 0)), pounds) << "unit " << c.first;
        EXPECT_EQ(hidden(element("ketravin fuel_ind_fu_1_kr60", 1)), !pounds) << "unit " << c.first;
    }
}

// At 70 fps a quarter second is 17.5 frames: each addition comes on the 18th frame after its arming
// frame, so one every 19 frames.
TEST_F(FuelUsed, AQuarterSecondAtSeventyFrames) {
    host().set_fps(70);
    token(kTime, 100);
    frames(1);  // armed
    for (int n = 1; n <= 3; ++n) {
        frames(17);
        EXPECT_NEAR(fuel_used[0], (n - 1) * 0.335175925, 1e-12) << n;
        frames(1);
        EXPECT_NEAR(fuel_used[0], n * 0.335175925, 1e-12) << n;
        frames(1);  // armed again
    }
}

TEST_F(FuelUsed, PowerTimeAndFlowEdges) {
    const f64 a = 0.335175925;
    const struct { const char* what; f64 time, flow; u8 dc; int frames; f64 total; } steps[] = {
        {"arm", 100, 3600, 1, 1, 0},           {"power lost while armed", -1, 3600, 0, 20, 0},
        {"restored after due", -1, 3600, 1, 1, a}, {"re-arms", -1, 3600, 1, 5, a},
        {"next", -1, 3600, 1, 1, 2 * a},       {"arm again", -1, 3600, 1, 1, 2 * a},
        {"time back stalls", 50, 3600, 1, 60, 2 * a}, {"negative flow adds 0", 101.8, -500, 1, 6, 2 * a},
        {"flow not a number", -1, kNaN, 1, 6, 2 * a}, {"clock not a number", kNaN, 3600, 1, 30, 2 * a},
        {"clock back", 200, 3600, 1, 6, 3 * a},
    };
    for (const auto& s : steps) {
        if (s.time >= 0 || std::isnan(s.time)) token(kTime, s.time);
        token(kFlow1, s.flow);
        dc_normal_powered = s.dc;
        frames(s.frames);
        EXPECT_NEAR(fuel_used[0], s.total, 1e-12) << s.what;
        EXPECT_TRUE(std::isfinite(fuel_used_ind_1.due_s)) << s.what;
    }
    fuel_used[0] = 5000;
    token(kFlow1, 0);
    token(kUnits, 1);
    frames(1);
    EXPECT_EQ(fuel_used_ind_1.digit4_scaled, 5.0) << "a unit change converts nothing";
    fuel_used[0] = 12345;
    frames(1);
    const FuelUsedIndicator& d = fuel_used_ind_1;
    EXPECT_NEAR(d.digit5_scaled, 1.2345, 1e-12) << "ten-thousands on the top drum";
    EXPECT_NEAR(d.digit4_scaled, 2.345, 1e-12);
    EXPECT_NEAR(std::trunc(d.digit3_scaled) * 100 + std::trunc(d.digit2_scaled) * 10 + d.digit1_scaled, 345, 1e-9);
}

class GrossWeight : public FuelIndicators {
protected:
    void SetUp() override {
        FuelIndicators::SetUp();
        place(kWeight);
        host().window_set(panel_win_fe_2, true);
    }
    f64 y(size_t pos) { return drawn(kWeight, pos).y; }
};

TEST_F(GrossWeight, TotalWeightDigitsAndRollingDrums) {
    host().set_calc(kLb, 900000);
    for (f64 want : {9.9, 9.65, 9.4, 9.15, 9.0, 9.0}) EXPECT_NEAR((frames(1), y(WtDrum1)), want, 1e-9);
    host().set_calc(kLb, 352480);
    token(kFuelWeight, 49995);
    frames(1);
    EXPECT_NEAR(weight_gross_hundreds, 3524.8, 1e-9);
    EXPECT_TRUE(hidden(element(kWeight, 0)) && !hidden(element(kWeight, 1))) << "the pound face";
    EXPECT_EQ(weight_digit1 * 100 + weight_digit2 * 10 + weight_digit3, 352u);
    EXPECT_NEAR(weight_drum4, 4.8, 1e-9);
    const f64 rolls[] = {4.5, 9.5, 9.5};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(y(WtFuel1 - i), rolls[i], 1e-6) << "TOTAL FUEL drum " << i + 1;
    // Unpowered: OFF flag, TOTAL FUEL held across a unit change; TOTAL WT follows the host.
    dc_normal_powered = 0;
    token(kUnits, 1);
    host().set_calc("(A:TOTAL WEIGHT, kilogram)", 100000);
    frames(1);
    EXPECT_FALSE(hidden(element(kWeight, WtOffFlag)));
    EXPECT_TRUE(!hidden(element(kWeight, 0)) && hidden(element(kWeight, 1))) << "the kilogram face";
    EXPECT_NEAR(weight_fuel_tens, 4999.5, 1e-9);
    EXPECT_EQ(weight_total, 100000);
    // Powered again in kilograms: the pound token converted at 0.453 kg a pound.
    dc_normal_powered = 1;
    frames(1);
    EXPECT_TRUE(hidden(element(kWeight, WtOffFlag)));
    EXPECT_NEAR(weight_fuel_tens, 2264.7735, 1e-9);
}

TEST_F(GrossWeight, HostileWeightsKeepTheDrumsFinite) {
    // fuel1: the top TOTAL FUEL drum's input, the fuel weight in ten-thousands, not wrapped.
    const struct { f64 total, fuel; f64 want_total; u32 d1; f64 fuel1; } cases[] = {
        {352480, 45300, 352480, 3, 4.53}, {352480, 123450, 352480, 3, 12.345}, {kNaN, kNaN, 352480, 3, 12.345},
        {kInf, -kInf, 352480, 3, 12.345}, {1e300, 1e300, 1e300, 4294967295u, 1e296},
        {1e15, 49995, 1e15, 4294967295u, 4.9995},  // past the digits: the tenths drum stays on its strip
        {-5000, -100, -5000, 0, 0},  // saturates; negative splits as 0
    };
    for (const auto& c : cases) {
        host().set_calc(kLb, c.total);
        token(kFuelWeight, c.fuel);
        frames(3);
        EXPECT_EQ(weight_total, c.want_total);
        EXPECT_EQ(weight_digit1, c.d1);
        EXPECT_NEAR(weight_fuel_digit1, c.fuel1, c.fuel1 * 1e-12) << c.fuel;
        EXPECT_TRUE(weight_drum4 >= 0.0 && weight_drum4 < 10.0) << c.total << ": " << weight_drum4;
        for (f64 v : {weight_drum1, weight_drum4, weight_fuel_tens, weight_fuel_roll1, weight_fuel_digit3,
                      weight_gross_hundreds, y(WtDrum1), y(WtFuel1), y(WtFuel3)})
            EXPECT_TRUE(std::isfinite(v)) << c.total;
    }
    EXPECT_EQ(weight_drum4, 0.0) << "a negative weight splits as 0";
}

TEST_F(GrossWeight, KnobStopsAtBothEnds) {
    const struct { i32 x; int clicks; u16 want; } steps[] = {
        {50, 1, 1010}, {50, 5, 1000}, {80, 221, 3210}, {80, 9, 3220}};
    for (const auto& s : steps) {
        for (int i = 0; i < s.clicks; ++i) click(kWeight, s.x, 30);
        EXPECT_EQ(weight_knob_value, s.want);
    }
}
