// The take-off configuration TEST button: how long one push lasts and what holding it does.
#include <algorithm>

#include "tests/host_fixture.h"
#include "warnings/state.h"

namespace {
const char* kPanel = "ketravin toconfig_big_kr60";
constexpr i32 kTestX = 20, kTestY = 40;
}  // namespace

class ToConfigTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kPanel);
    }
};

TEST_F(ToConfigTest, OnePushLastsTwentyFrames) {
    click(kPanel, kTestX, kTestY);
    EXPECT_EQ(warn_to_config_test_count, 20);
    const struct { u64 frames; u8 left; } kSteps[] = {{1, 19}, {18, 1}, {1, 0}, {5, 0}};
    for (const auto& s : kSteps) {
        frames(s.frames);
        EXPECT_EQ(warn_to_config_test_count, s.left);
    }
    EXPECT_FALSE(click(kPanel, kTestX, kTestY, MouseRightSingle));
    EXPECT_TRUE(click(kPanel, 70, 35)) << "the button beside TEST answers and does nothing";
    EXPECT_EQ(warn_to_config_test_count, 0);
}

TEST_F(ToConfigTest, HoldingRenewsButNeverPassesThirtyNine) {
    u8 highest = 0, lowest = 255;
    for (int f = 0; f < 60; ++f) {
        click(kPanel, kTestX, kTestY, MouseLeftSingle | MouseRepeat);
        highest = std::max(highest, warn_to_config_test_count);
        frames(1);
        lowest = std::min(lowest, warn_to_config_test_count);
    }
    EXPECT_EQ(highest, 39);
    EXPECT_GT(lowest, 0) << "the test never lapses while held";
    warn_to_config_test_count = 255;  // a hostile start value only counts down
    click(kPanel, kTestX, kTestY);
    frames(1);
    EXPECT_EQ(warn_to_config_test_count, 254);
}
