// Deadlines on the host's clocks: arming, falling due, re-arming when the clock went back, and
// clocks that are no reading; the tick deadline switches share, through the host.
#include <limits>

#include "module/deadline.h"
#include "module/switches.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
constexpr u32 kFar = std::numeric_limits<u32>::max();
}  // namespace

TEST(Deadline, ArmSaturatesAndCountsANegativeClockAsZero) {
    const struct { f64 now; u32 length, want; } cases[] = {
        {100.9, 27, 127}, {-5, 27, 27}, {4294967290.0, 27, kFar}, {1e300, 1, kFar}, {kNaN, 27, kFar}, {-kInf, 27, kFar},
    };
    for (const auto& [now, length, want] : cases) EXPECT_EQ(deadline_arm(now, length), want) << now;
}

// Armed at 100 for 27: due at 127; a clock found before 100 re-arms with the full length.
TEST(Deadline, ReachedOnlyAtTheDeadlineAndReArmedWhenTheClockWentBack) {
    const struct { f64 now; bool reached; u32 after; } cases[] = {
        {126.9, false, 127}, {127, true, 127},   {1e300, true, 127}, {100, false, 127},
        {99.5, false, 126},  {-3600, false, 27}, {kNaN, false, 127}, {kInf, false, 127},
    };
    for (const auto& [now, reached, after] : cases) {
        u32 deadline = deadline_arm(100, 27);
        EXPECT_EQ(deadline_reached(deadline, now, 27), reached) << now;
        EXPECT_EQ(deadline, after) << now;
    }
    u32 armed_on_no_reading = deadline_arm(kNaN, 27);
    EXPECT_FALSE(deadline_reached(armed_on_no_reading, 500, 27)) << "the first real reading starts the count";
    EXPECT_EQ(armed_on_no_reading, 527u);
}

TEST(Deadline, DoubleDeadlinesAndStartTimesFollowTheSameRule) {
    const struct { f64 now; bool reached; f64 after; u32 start_after; } cases[] = {
        {117.5, false, 118, 100}, {118, true, 118, 100},  {99, false, 117, 99},     {-7, false, 18, 0},
        {kNaN, false, 118, 100},  {kInf, false, 118, 100}, {1e300, true, 118, 100},
    };
    for (const auto& [now, reached, after, start_after] : cases) {
        f64 deadline = 118;
        EXPECT_EQ(deadline_reached(deadline, now, 18.0), reached) << now;
        EXPECT_EQ(deadline, after) << now;
        u32 start = 100;
        start_rebase(start, now);
        EXPECT_EQ(start, start_after) << now;
    }
    f64 poisoned = kNaN;
    EXPECT_FALSE(deadline_reached(poisoned, 40, 18.0));
    EXPECT_EQ(poisoned, 58.0) << "a deadline that is not a number is re-armed";
}

TEST_F(HostTest, TickDeadlineSurvivesEveryClockJump) {
    TickDeadline d;
    bool fired = false;
    expect_timer_survives_clock_jumps(host(), {"tick deadline", 1.5,
                                               [&] {
                                                   fired = false;
                                                   d.arm(27);
                                               },
                                               [&] { return fired = fired || d.expired(); }});
    EXPECT_FALSE(d.expired()) << "once";
}
