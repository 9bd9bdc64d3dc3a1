// Fuel valves, crossfeed and FUEL USED RESET through the host: crossfeed state and knob images,
// the host valves converging by toggles, the engine held open by crossfeed, power, hostile values.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "electrical/state.h"
#include "fuel/state.h"
#include "module/keys.h"
#include "tests/host_fixture.h"

namespace {
const char* kValves = "ketravin fuel_valves_kr60";
const char* kUsed = "ketravin fuel_fuelused_kr60";
constexpr u32 kHost1 = 895, kHost2 = 896;
constexpr i32 kS1Left = 10, kS1Right = 80, kS2Right = 260, kXf1 = 165, kXfCentre = 140, kXf2 = 110, kY = 30;
using Toggles = std::pair<size_t, size_t>;
}  // namespace

class FuelValves : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kValves);
        place(kUsed);
        dc_normal_powered = 1;
        token(kHost1, 1.0);
        token(kHost2, 1.0);
    }
    // Toggles sent since the last call, {engine 1, engine 2}, each through send_key_event.
    Toggles toggles() {
        Toggles n{0, 0};
        for (const KeyLogEntry& k : new_keys()) {
            EXPECT_TRUE(k.sent && k.value == 0);
            n.first += k.id == key_fuel_valve_eng1_toggle;
            n.second += k.id == key_fuel_valve_eng2_toggle;
        }
        return n;
    }
};

TEST_F(FuelValves, ClicksSetSwitchesAndSelectorAndTheStateFollows) {
    // images: the knob and bar images shown, positions 1 to 21: each valve upright (knob and bar) or
    // level (knob and broken bar); the crossfeed knob upright with its bars, or level with the bars
    // turned toward the side that feeds.
    const struct { i32 x; u8 side1, side2, selector, state; const char* images; } steps[] = {
        {kXf1, 1, 1, 1, 1, "1 2 5 6 9 10 13 14 19 20"},        {kS1Left, 0, 1, 1, 0, "3 4 7 8 9 10 13 14 19 20"},
        {kXf2, 0, 1, 2, 2, "3 4 7 8 9 10 13 14 19 21"},        {kS2Right, 0, 0, 2, 0, "3 4 7 8 11 12 15 16 19 21"},
        {kS1Right, 1, 0, 2, 0, "1 2 5 6 11 12 15 16 19 21"},   {kXf1, 1, 0, 1, 1, "1 2 5 6 11 12 15 16 19 20"},
        {kXfCentre, 1, 0, 0, 0, "1 2 5 6 11 12 15 16 17 18"},
    };
    for (const auto& s : steps) {
        EXPECT_TRUE(click(kValves, s.x, kY));
        frames(1);
        SCOPED_TRACE(s.x);
        EXPECT_EQ(fuel_shutoff_valve_sw[0], s.side1);
        EXPECT_EQ(fuel_shutoff_valve_sw[1], s.side2);
        EXPECT_EQ(xfeed_selector, s.selector);
        EXPECT_EQ(xfeed_state, s.state);
        std::string images;
        for (size_t pos = 1; pos <= 21; ++pos)
            if (!hidden(element(kValves, pos))) images += (images.empty() ? "" : " ") + std::to_string(pos);
        EXPECT_EQ(images, s.images);
    }
    // Each valve's four images and the crossfeed's five sit over it in the pipe row (y 14).
    const i32 kValveX[] = {0, 65, 176, 242, 121};
    for (size_t pos = 1; pos <= 21; ++pos) {
        EXPECT_EQ(element(kValves, pos)->x, kValveX[std::min<size_t>((pos - 1) / 4, 4)]) << pos;
        EXPECT_EQ(element(kValves, pos)->y, 14) << pos;
    }
}

TEST_F(FuelValves, CrossfeedStateDecidesWhichHostValvesFollowTheirSwitch) {
    const struct { u8 dc, selector, sw1, sw2; f64 host1, host2; u8 state; Toggles first; f64 end1, end2; } cases[] = {
        {0, 1, 0, 1, 1.0, 0.0, 0, {0, 0}, 1.0, 0.0},  // no normal DC: nothing sent
        {1, 1, 0, 1, 1.0, 0.0, 0, {1, 1}, 0.0, 1.0},  // side 1 shut: no crossfeed
        {1, 1, 1, 0, 1.0, 0.0, 1, {0, 1}, 1.0, 1.0},  // engine 2 held open against its switch
        {1, 0, 1, 0, 1.0, 1.0, 0, {0, 1}, 1.0, 0.0},  // centred: released
        {1, 2, 0, 1, 0.0, 1.0, 2, {1, 0}, 1.0, 1.0},  // the mirror
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.dc) << int(c.selector) << int(c.sw1) << int(c.sw2));
        dc_normal_powered = c.dc;
        xfeed_selector = c.selector;
        fuel_shutoff_valve_sw[0] = c.sw1;
        fuel_shutoff_valve_sw[1] = c.sw2;
        token(kHost1, c.host1);
        token(kHost2, c.host2);
        frames(1);
        EXPECT_EQ(xfeed_state, c.state);
        EXPECT_EQ(toggles(), c.first);
        frames(10);
        EXPECT_EQ(toggles(), Toggles(0, 0)) << "converged";
        EXPECT_EQ(host().token(kHost1), c.end1);
        EXPECT_EQ(host().token(kHost2), c.end2);
    }
}

TEST_F(FuelValves, HostValuesOtherThanExactlyOpenOrShutDrawNoEvent) {
    xfeed_selector = 1;  // state 1 would hold engine 2 open on an exact 0.0
    fuel_shutoff_valve_sw[1] = 0;
    for (f64 v : {0.5, f64(NAN), f64(INFINITY), -1.0}) {
        token(kHost1, v);
        token(kHost2, v);
        frames(2);
        EXPECT_EQ(toggles(), Toggles(0, 0)) << v;
    }
}

TEST_F(FuelValves, FuelUsedResetZeroesBothTotalsWithoutPower) {
    dc_normal_powered = dc_ess_powered = 0;
    fuel_used[0] = 1234.5;
    fuel_used[1] = 1e300;
    EXPECT_FALSE(click(kUsed, 241, 40)) << "left of the button";
    EXPECT_TRUE(click(kUsed, 250, 40));
    EXPECT_EQ(fuel_used[0] + fuel_used[1], 0.0);
    EXPECT_TRUE(new_keys().empty());
}
