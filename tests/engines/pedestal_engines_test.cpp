// The throttle quadrants with their readouts, and the enlarged HP fuel levers with the fire
// lamp, through the host.
#include <limits>
#include <vector>

#include "electrical/state.h"
#include "engines/state.h"
#include "module/keys.h"
#include "tests/host_fixture.h"
#include "warnings/state.h"

namespace {
const char* kSmall = "ketravin throttles_kr60";
const char* kBig = "ketravin throttles_big_kr60";
// Small: lever 1 top and grip. Big: engine-1 images k 109 at 1 and 126 (lifted in reverse) at 3,
// engine 2's k 126 at 10, drums from 15.
constexpr size_t kTop1 = 1, kGrip1 = 3, kBig109 = 1, kBig126 = 3, kBig2126 = 10, kBigDrums = 15;
}  // namespace

class Throttles : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        for (const char* g : {kSmall, "ketravin throttles_num_kr60", kBig, "ketravin toconfig_big_kr60"}) place(g);
        host().window_set(panel_win_pedestal, true);
        host().window_set(panel_win_pedestal_big, true);
    }
};

TEST_F(Throttles, ReadoutsTruncateAndLeversMoveByMagnitudeWithTheReverseLift) {
    const struct { f64 lever; u8 tens, units; f64 top, grip, k109, k126, k126_eng2; } kCases[] = {
        {0.29, 2, 8, -15, -19, -31, -36, -66},  // 0.29 x 100 is just below 29
        {std::numeric_limits<f64>::quiet_NaN(), 2, 8, -15, -19, -31, -36, -66},  // no number: all stand
        {-0.25, 2, 5, -13, -17, -27, -61, -31},
        {1.0, 0, 0, -53, -68, -109, -126, -156},
        {0.0, 0, 0, 0, 0, 0, 0, 0},  // not lifted at 0
        {-1e300, 0, 0, -32767, -32767, -32767, -32768, -32767},
    };
    for (const auto& c : kCases) {
        token(558, c.lever);
        token(568, -c.lever);
        frames(2);
        EXPECT_EQ(thr1_pct_tens * 10 + thr1_pct_units, c.tens * 10 + c.units) << c.lever;
        EXPECT_EQ(thr2_pct_tens * 10 + thr2_pct_units, c.tens * 10 + c.units) << c.lever;
        EXPECT_EQ(thr1_readout_pct, c.tens * 10 + c.units) << c.lever;
        const f64 got[] = {drawn(kSmall, kTop1).y, drawn(kSmall, kGrip1).y, drawn(kSmall, kTop1 + 1).y,
                           drawn(kSmall, kGrip1 + 1).y, drawn(kBig, kBig109).y, drawn(kBig, kBig126).y,
                           drawn(kBig, kBig2126).y};
        const f64 want[] = {c.top, c.grip, c.top, c.grip, c.k109, c.k126, c.k126_eng2};  // small: by magnitude
        for (size_t i = 0; i < 7; ++i) EXPECT_EQ(got[i], want[i]) << c.lever << " image " << i;
        EXPECT_EQ(drawn(kBig, kBigDrums + 1).y, f64(c.units)) << "the big drums draw the small one's digits";
    }
}

// Each lever area sends its throttle key, value 0, through the trigger, on both quadrants.
TEST_F(Throttles, LeverAreasTriggerTheirThrottleKeys) {
    const struct { const char* gauge; i32 x, y; u32 key; } kAreas[] = {
        {kSmall, 10, 20, 0x101ac}, {kSmall, 10, 80, 0x101ae}, {kSmall, 40, 20, 0x101b1}, {kSmall, 40, 80, 0x101b3},
        {kBig, 30, 50, 0x101ac},   {kBig, 30, 250, 0x101ae},  {kBig, 110, 50, 0x101b1},  {kBig, 110, 250, 0x101b3},
    };
    for (const auto& a : kAreas) {
        new_keys();
        EXPECT_TRUE(click(a.gauge, a.x, a.y, MouseLeftSingle | MouseRepeat));
        const std::vector<KeyLogEntry> keys = new_keys();
        ASSERT_EQ(keys.size(), 1u) << a.gauge << " " << a.x << "," << a.y;
        EXPECT_TRUE(keys[0].id == a.key && keys[0].value == 0 && !keys[0].sent) << a.gauge << " " << a.x << "," << a.y;
    }
}

// The readouts start hidden; each click on the switch flips all four drums on both quadrants.
TEST_F(Throttles, ReadoutSwitchFlipsTheDrumsOnBothQuadrants) {
    constexpr size_t kSmallDrums = 5;
    for (int n = 0; n < 3; ++n) {  // as loaded, then after each click
        if (n > 0) {
            EXPECT_TRUE(click("ketravin throttles_num_kr60", 20, 12));
        }
        frames(1);
        const u8 want = u8(n % 2);
        EXPECT_EQ(thr_readout_shown, want);
        for (size_t i = 0; i < 4; ++i) {
            for (const auto* e : {element(kSmall, kSmallDrums + i), element(kBig, kBigDrums + i)})
                EXPECT_EQ(reinterpret_cast<const MovingImageElement*>(e)->scale, 9.0) << "drum strip scale";
            EXPECT_EQ(hidden(element(kSmall, kSmallDrums + i)), want == 0) << "small drum " << i;
            EXPECT_EQ(hidden(element(kBig, kBigDrums + i)), want == 0) << "big drum " << i;
        }
    }
}

class HpLeversBig : public HostTest {
protected:
    const char* kLever[2] = {"ketravin hp_lev_1_big_kr60", "ketravin hp_lev_2_big_kr60"};
    void SetUp() override {
        HostTest::SetUp();
        place(kLever[0]);
        place(kLever[1]);
    }
};

TEST_F(HpLeversBig, FireLampNeedsTheLeverOpenAndDcEssentialAndClicksActOnTheirOwnEngine) {
    const struct { u8 open, dc, fire; bool lamp; } kCases[] = {
        {1, 1, 1, true}, {0, 1, 1, false}, {1, 0, 1, false}, {1, 1, 0, false}, {2, 1, 1, false},
    };
    for (const auto& c : kCases) {
        eng_hp_valve_open[1] = c.open, dc_ess_powered = c.dc, warn_fire[1] = c.fire;
        frames(1);
        EXPECT_EQ(!hidden(element(kLever[1], 2)), c.lamp) << int(c.open) << int(c.dc) << int(c.fire);
        EXPECT_EQ(hidden(element(kLever[1], 0)), c.open == 1);
        EXPECT_EQ(hidden(element(kLever[1], 1)), c.open != 1);
    }
    // A fire does not block either way; the wrong button in a half does nothing.
    const struct { size_t lever; i32 y; u32 flags; u8 v1, v2; } kClicks[] = {
        {0, 5, MouseLeftSingle, 1, 0}, {0, 50, MouseLeftSingle, 1, 0}, {1, 41, MouseLeftSingle, 1, 1},
        {1, 5, MouseRightSingle, 1, 1}, {0, 83, MouseRightSingle, 0, 1},
    };
    eng_hp_valve_open[0] = eng_hp_valve_open[1] = 0;
    for (const auto& c : kClicks) {
        click(kLever[c.lever], 25, c.y, c.flags);
        EXPECT_EQ(eng_hp_valve_open[0], c.v1);
        EXPECT_EQ(eng_hp_valve_open[1], c.v2);
    }
    EXPECT_TRUE(new_keys().empty());
}
