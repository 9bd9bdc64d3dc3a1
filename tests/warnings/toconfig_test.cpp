// The take-off configuration TEST button: how long one push lasts and what holding it does.
#include <algorithm>

#include "tests/host_fixture.h"
#include "warnings/state.h"

class ToConfigTest : public HostTest {};

TEST_F(ToConfigTest, OnePushLastsTwentyFramesHoldingNeverPassesThirtyNine) {
    const char* kPanel = "ketravin toconfig_big_kr60";
    place(kPanel);
    click(kPanel, 20, 40);
    const struct { u64 frames; u8 left; } kSteps[] = {{0, 20}, {1, 19}, {18, 1}, {1, 0}, {5, 0}};
    for (const auto& s : kSteps) {
        frames(s.frames);
        EXPECT_EQ(warn_to_config_test_count, s.left);
    }
    EXPECT_TRUE(click(kPanel, 70, 35)) << "the button beside TEST answers and does nothing";
    u8 highest = 0, lowest = 255;
    for (int f = 0; f < 60; ++f) {
        click(kPanel, 20, 40, MouseLeftSingle | MouseRepeat);
        highest = std::max(highest, warn_to_config_test_count);
        frames(1);
        lowest = std::min(lowest, warn_to_config_test_count);
    }
    EXPECT_EQ(highest, 39);
    EXPECT_GT(lowest, 0) << "the test never lapses while held";
}
