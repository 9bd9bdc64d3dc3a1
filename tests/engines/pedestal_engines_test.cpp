// The throttle quadrants with their readouts, and the enlarged HP fuel levers with the fire
// lamp, through the host.
#include <limits>

#include "electrical/state.h"
#include "engines/state.h"
#include "engines/throttles.h"
#include "module/keys.h"
#include "tests/host_fixture.h"
#include "warnings/state.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
constexpr u32 kThrottle1 = 558, kThrottle2 = 568;
const char* kSmall = "ketravin throttles_kr60";
const char* kNum = "ketravin throttles_num_kr60";
const char* kBig = "ketravin throttles_big_kr60";
const char* kToConfig = "ketravin toconfig_big_kr60";
// Small: lever 1 top and grip; drums from 5. Big: engine-1 images from 1 (k 109, 180, 126
// lifted in reverse, ...), engine 2 from 8, drums from 15.
constexpr size_t kTop1 = 1, kGrip1 = 3, kSmallDrums = 5;
constexpr size_t kBigK109 = 1, kBigK126 = 3, kBigK119 = 4, kBigEng2K126 = 10, kBigDrums = 15;
}  // namespace

class Throttles : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        for (const char* g : {kSmall, kNum, kBig, kToConfig}) place(g);
        host().window_set(panel_win_pedestal, true);
        host().window_set(panel_win_pedestal_big, true);
    }
    f64 y(const char* g, size_t pos) { return drawn(g, pos).y; }
};

TEST_F(Throttles, ReadoutsTruncateAndLeversMoveByMagnitudeWithTheReverseLift) {
    const struct { f64 lever; u8 tens, units; f64 top, grip, k109, k126, k119; } kCases[] = {
        {0.5, 5, 0, -26, -34, -54, -63, -59},   {0.29, 2, 8, -15, -19, -31, -36, -34},  // 0.29 x 100 is just below 29
        {0.25, 2, 5, -13, -17, -27, -31, -29},  {-0.25, 2, 5, -13, -17, -27, -61, -59},
        {1.0, 0, 0, -53, -68, -109, -126, -119}, {-1.0, 0, 0, -53, -68, -109, -156, -149},
        {0.999, 9, 9, -53, -68, -108, -125, -118}, {kNaN, 0, 0, 0, 0, 0, 0, 0},
        {1e300, 0, 0, -32767, -32767, -32767, -32767, -32767}, {-1e300, 0, 0, -32767, -32767, -32767, -32768, -32768},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.lever);
        token(kThrottle1, c.lever);
        token(kThrottle2, -c.lever);
        frames(2);
        EXPECT_EQ(thr1_pct_tens, c.tens);
        EXPECT_EQ(thr1_pct_units, c.units);
        EXPECT_EQ(thr2_pct_tens, c.tens);
        EXPECT_EQ(thr2_pct_units, c.units);
        EXPECT_EQ(thr1_readout_pct, c.tens * 10 + c.units);
        EXPECT_EQ(y(kSmall, kTop1), c.top);
        EXPECT_EQ(y(kSmall, kGrip1), c.grip);
        EXPECT_EQ(y(kBig, kBigK109), c.k109);
        EXPECT_EQ(y(kBig, kBigK126), c.k126);
        EXPECT_EQ(y(kBig, kBigK119), c.k119);
        EXPECT_EQ(drawn(kBig, kBigDrums + 1).y, f64(c.units)) << "the big drums draw the small one's digits";
    }
    token(kThrottle1, 0.25);
    token(kThrottle2, -0.25);
    frames(1);
    EXPECT_EQ(y(kBig, kBigK126), -31);
    EXPECT_EQ(y(kBig, kBigEng2K126), -61) << "engine 2's reverse image, 30 px higher";
}

TEST_F(Throttles, ReadoutsHiddenUntilEitherSwitchToggles) {
    const struct { const char* gauge; i32 x, y; bool shown; } kClicks[] = {
        {nullptr, 0, 0, false}, {kNum, 41, 23, true}, {kToConfig, 20, 70, false}, {kToConfig, 95, 84, true},
        {kNum, 0, 0, false},
    };
    for (const auto& c : kClicks) {
        if (c.gauge) click(c.gauge, c.x, c.y);
        frames(1);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(hidden(element(kSmall, kSmallDrums + i)), !c.shown) << i;
            EXPECT_EQ(hidden(element(kBig, kBigDrums + i)), !c.shown) << i;
        }
    }
}

TEST_F(Throttles, ClicksStepTheHostThrottlesWithoutConditions) {
    const struct { const char* gauge; i32 x, y; u32 key; } kClicks[] = {
        {kSmall, 5, 5, key_throttle1_incr}, {kSmall, 5, 60, key_throttle1_decr}, {kSmall, 30, 5, key_throttle2_incr},
        {kSmall, 57, 107, key_throttle2_decr}, {kBig, 5, 5, key_throttle1_incr}, {kBig, 68, 200, key_throttle1_decr},
        {kBig, 80, 0, key_throttle2_incr}, {kBig, 148, 317, key_throttle2_decr},
    };
    for (const auto& c : kClicks) {
        EXPECT_TRUE(click(c.gauge, c.x, c.y, MouseLeftSingle | MouseRepeat));
        const auto keys = new_keys();
        ASSERT_EQ(keys.size(), 1u);
        EXPECT_EQ(keys[0].id, c.key);
        EXPECT_FALSE(keys[0].sent);
    }
    EXPECT_FALSE(click(kBig, 75, 5)) << "the gap between the big levers";
}

class HpLeversBig : public HostTest {
protected:
    const char* kLever[2] = {"ketravin hp_lev_1_big_kr60", "ketravin hp_lev_2_big_kr60"};
    static constexpr size_t kShut = 0, kOpen = 1, kLamp = 2;
    void SetUp() override {
        HostTest::SetUp();
        place(kLever[0]);
        place(kLever[1]);
    }
};

TEST_F(HpLeversBig, FireLampNeedsTheLeverOpenAndDcEssential) {
    const struct { u8 open, dc, fire; bool lamp; } kCases[] = {
        {1, 1, 1, true}, {0, 1, 1, false}, {1, 0, 1, false}, {1, 1, 0, false}, {2, 1, 1, false}, {1, 1, 2, false},
    };
    for (size_t e = 0; e < 2; ++e)
        for (const auto& c : kCases) {
            SCOPED_TRACE(::testing::Message() << "engine " << e + 1 << " open " << int(c.open) << " fire " << int(c.fire));
            eng_hp_valve_open[e] = c.open;
            eng_hp_valve_open[1 - e] = 1;
            warn_fire[1 - e] = 1;
            dc_ess_powered = c.dc;
            warn_fire[e] = c.fire;
            frames(1);
            EXPECT_EQ(!hidden(element(kLever[e], kLamp)), c.lamp);
            EXPECT_EQ(hidden(element(kLever[e], kShut)), c.open == 1);
            EXPECT_EQ(hidden(element(kLever[e], kOpen)), c.open != 1);
        }
}

TEST_F(HpLeversBig, UpperLeftOpensLowerRightShutsEachItsOwnEngine) {
    warn_fire[0] = warn_fire[1] = 1;  // a fire does not block either way
    const struct { size_t lever; i32 y; u32 flags; u8 v1, v2; } kClicks[] = {
        {0, 5, MouseLeftSingle, 1, 0},  {0, 50, MouseLeftSingle, 1, 0}, {1, 41, MouseLeftSingle, 1, 1},
        {1, 5, MouseRightSingle, 1, 1}, {0, 83, MouseRightSingle, 0, 1}, {1, 42, MouseRightSingle, 0, 0},
    };
    for (const auto& c : kClicks) {
        click(kLever[c.lever], 25, c.y, c.flags);
        EXPECT_EQ(eng_hp_valve_open[0], c.v1);
        EXPECT_EQ(eng_hp_valve_open[1], c.v2);
    }
    EXPECT_TRUE(new_keys().empty());
}
