// The parking brake levers through the host: the module's copy of the brake, PARK BRK ON only
// on the ground, the hydraulics a left click needs, and the pedestal window swap.
#include <limits>
#include <vector>

#include "gear/state.h"
#include "hydraulics/state.h"
#include "module/keys.h"
#include "sim_control/presets_keys.h"
#include "tests/host_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
constexpr u32 kOnGround = 60, kParkingBrake = 323;
const char* kSmall = "ketravin park_brk_lev_kr60";
const char* kBig = "ketravin park_brk_lev_big_kr60";
constexpr size_t kSmallOn = 1, kSmallOff = 2, kBigOff = 1, kBigOn = 2;
}  // namespace

class ParkBrake : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kSmall);
        place(kBig);
    }
};

TEST_F(ParkBrake, WarningOnlyOnTheGroundInEitherGaugeOrder) {
    const struct { f64 brake, ground; u8 set_before, set_after; bool warn; } kCases[] = {
        {1.0, 0.0, 0, 1, false}, {1.0, 1.0, 1, 1, true},  {1.0, 0.5, 1, 1, false}, {0.5, 1.0, 0, 1, true},
        {0.0, 1.0, 1, 0, false}, {kNaN, 1.0, 1, 1, true}, {kNaN, 1.0, 0, 0, false},
    };
    for (bool reverse : {false, true})
        for (const auto& c : kCases) {
            park_brake_set = c.set_before;
            token(kParkingBrake, c.brake), token(kOnGround, c.ground);
            host().set_reverse_order(reverse);
            frames(1);
            EXPECT_EQ(park_brake_set, c.set_after) << c.brake << " " << c.ground;
            EXPECT_EQ(warn_park_brake_on, c.warn ? 1 : 0) << c.brake << " " << c.ground;
            frames(1);  // the copy draws the small lever's byte, a frame late when called first
            EXPECT_EQ(hidden(element(kSmall, kSmallOn)), !c.warn);
            EXPECT_EQ(hidden(element(kSmall, kSmallOff)), c.warn);
            EXPECT_EQ(hidden(element(kBig, kBigOn)), !c.warn);
            EXPECT_EQ(hidden(element(kBig, kBigOff)), c.warn);
        }
}

TEST_F(ParkBrake, LeftClickNeedsGreenOrYellowRightClicksSwapTheWindows) {
    const struct { u8 blue, green, yellow; bool sends; } kCases[] = {
        {1, 0, 0, false}, {0, 1, 0, true}, {0, 0, 3, true}, {0, 0, 0, false}};
    for (const auto& c : kCases) {
        hyd_avail[0] = c.blue, hyd_avail[1] = c.green, hyd_avail[2] = c.yellow;
        const f64 before = host().token(kParkingBrake);
        click(kBig, 3, 3);
        const std::vector<KeyLogEntry> keys = new_keys();
        EXPECT_EQ(keys.size(), c.sends ? 1u : 0u);
        for (const KeyLogEntry& k : keys) EXPECT_TRUE(k.id == key_parking_brakes && k.value == 0);
        EXPECT_EQ(host().token(kParkingBrake), c.sends ? 1.0 - before : before) << "the host toggles it";
    }
    place("ketravin toggle_pan_ped_kr60");
    const struct { const char* gauge; u8 choice; u32 open, closed; } kClicks[] = {
        {kSmall, 1, panel_win_pedestal_big, panel_win_pedestal},
        {kBig, 2, panel_win_pedestal, panel_win_pedestal_big},
        {kSmall, 1, panel_win_pedestal_big, panel_win_pedestal},
    };
    for (const auto& c : kClicks) {
        click(c.gauge, 40, 30, MouseRightSingle);
        EXPECT_EQ(panel_pedestal_choice, c.choice);
        EXPECT_TRUE(host().window_visible(c.open) && !host().window_visible(c.closed));
        click("ketravin toggle_pan_ped_kr60", 5, 5);  // the toggle acts on the window last chosen
        EXPECT_FALSE(host().window_visible(c.open) || host().window_visible(c.closed));
    }
    for (const KeyLogEntry& k : new_keys()) EXPECT_NE(k.id, key_parking_brakes) << "no hydraulics, no brake";
}
