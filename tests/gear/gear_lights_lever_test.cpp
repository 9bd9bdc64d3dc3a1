// Gear position lights at the band thresholds of both handle positions, with the lamp test and
// without power; the gear lever's clicks, its following of the host's handle and its tint images.
#include <limits>
#include <string>

#include "electrical/state.h"
#include "gear/state.h"
#include "lighting/state.h"
#include "systems/systems_keys.h"
#include "tests/panel_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
const char* kLights = "ketravin gear_ind_kr60";
const char* kLever = "ketravin gear_h_kr60";
constexpr u32 kHandle = 331, kNose = 332, kLeft = 333, kRight = 334;
}  // namespace

class GearTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kLights);
        place(kLever);
        dc_ess_powered = 1;
    }
    // The three columns (left, nose, right gear) of arrow, red, DOOR lamps.
    std::string columns() { return lamps(kLights, 1, 3, 3) + lamps(kLights, 2, 3, 3) + lamps(kLights, 3, 3, 3); }
    void gears(f64 left, f64 nose, f64 right) { token(kLeft, left), token(kNose, nose), token(kRight, right); }
};

TEST_F(GearTest, LightsAtEachBandThreshold) {
    const struct { f64 handle, pos; u8 test; const char* lamps; } kCases[] = {
        // handle up: each band holds its lower threshold
        {0, 16000, 0, "110"}, {0, 15999, 0, "111"}, {0, 9000, 0, "111"}, {0, 8999, 0, "011"}, {0, 3000, 0, "011"},
        {0, 2999, 0, "001"},  {0, 10, 0, "001"},    {0, 9.9, 0, "000"},  {0, 9.9, 1, "111"},  {0, 16000, 1, "110"},
        {0, kNaN, 0, "110"},  // a position that is no number is in no band: the lamps keep theirs
        // handle down (anything but exactly 0.0): each band holds its upper threshold
        {16383, 300, 0, "010"},     {16383, 300.1, 0, "011"},   {16383, 13000, 0, "011"}, {16383, 13000.1, 0, "101"},
        {16383, 16000, 0, "101"},   {16383, 16000.1, 0, "100"}, {16383, 16000.1, 1, "111"},
        {16383, 14000, 1, "101"},   {0.5, 0, 0, "010"},         {kNaN, kInf, 0, "100"},
        {16383, 8000, 0, "011"},    {16383, kNaN, 0, "011"},    {16383, kNaN, 1, "011"},  // no band: kept
    };
    for (const auto& c : kCases) {
        token(kHandle, c.handle);
        gears(c.pos, c.pos, c.pos);
        light_lamp_test = c.test;
        frames(1);
        EXPECT_EQ(columns(), std::string(c.lamps) + c.lamps + c.lamps) << c.handle << " " << c.pos;
    }
    // Each column follows its own gear; no DC essential power darkens all, lamp test or not.
    token(kHandle, 16383.0), gears(20000.0, 14000.0, 200.0), light_lamp_test = 1;
    frames(1);
    EXPECT_EQ(columns(), "111101010");
    dc_ess_powered = 0;
    frames(1);
    EXPECT_EQ(columns(), "000000000");
}

TEST_F(GearTest, LeverClicksAndHandleFollowing) {
    // Every click sends, unpowered or already there; the middle box sends nothing.
    const struct { i32 y; u32 key; i8 offset; u8 latch; } kClicks[] = {
        {110, 0, 0, 0}, {111, key_gear_down, 58, 1}, {163, key_gear_down, 58, 1},
        {60, 0, 0, 1},  {0, key_gear_up, -58, 0},    {52, key_gear_up, -58, 0},
    };
    dc_ess_powered = 0;
    for (const auto& c : kClicks) {
        click(kLever, 25, c.y);
        const auto keys = new_keys();
        ASSERT_EQ(keys.size(), c.key ? 1u : 0u) << c.y;
        EXPECT_TRUE(!c.key || (keys[0].id == c.key && keys[0].value == 0 && !keys[0].sent)) << c.y;
        EXPECT_EQ(inst_gear_lever_offset, c.offset);
        EXPECT_EQ(inst_gear_lever_down, c.latch);
    }
    EXPECT_EQ(host().token(kHandle), 0.0) << "the host's handle follows the gear events";
    // Powered frames follow a handle moved by anything else.
    inst_gear_lever_offset = 0, inst_gear_lever_down = 0;
    const struct { f64 handle, left, nose, right; u8 dc; i8 offset; u8 latch; } kFrames[] = {
        {1, 0, 0, 0, 1, 0, 0},                      // exactly 1.0 never moves the lever
        {kNaN, 0, 0, 0, 1, 0, 0},       {16383, 16383, 16383, 16383, 0, 0, 0},  // unpowered: no following
        {16383, 16383, 16383, 16383, 1, 58, 1},     // host handle down
        {0, 8000, 0, 0, 1, -58, 1},                 // up with gear moving
        {0, kNaN, 8000, 0, 1, -58, 1},              // a sum that is no number is in neither case: held
        {0, 0, 0, 0, 1, 0, 0},
        {16383, 16383, 16383, 16383, 1, 58, 1},
        {0, 0, -kInf, 0, 1, 0, 0},                  // positions summing to 0 or less: neutral
        {1.5, 0, 0, 0, 1, 58, 1},       {0.5, 0, 0, 0, 1, 0, 0},  // either side of 1.0
    };
    for (const auto& f : kFrames) {
        token(kHandle, f.handle), gears(f.left, f.nose, f.right), dc_ess_powered = f.dc;
        frames(1);
        EXPECT_EQ(inst_gear_lever_offset, f.offset) << &f - kFrames;
        EXPECT_EQ(inst_gear_lever_down, f.latch) << &f - kFrames;
        EXPECT_EQ(drawn(kLever, 1).y, f64(f.offset));
    }
    // After a click up the lever stays up once the gear has retracted.
    click(kLever, 25, 10);
    token(kHandle, 0.0), gears(0.0, 0.0, 0.0);
    frames(2);
    EXPECT_EQ(inst_gear_lever_offset, -58);
}

TEST_F(GearTest, LeverImageFollowsTheTint) {
    const struct { u8 tint, ac, level; size_t image; } kCases[] = {
        {0, 1, 3, 1}, {1, 0, 3, 1}, {1, 1, 1, 4}, {1, 1, 2, 3}, {1, 1, 3, 2}, {1, 1, 200, 4},
    };
    for (const auto& c : kCases) {
        light_tint_sw = c.tint, elec_ess_ac_any_powered = c.ac, light_tint_level = c.level;
        frames(1);
        EXPECT_EQ(lamps(kLever, 1, 4), std::string("0000").replace(c.image - 1, 1, "1")) << &c - kCases;
    }
}
