// Timers against a host clock that jumps in mid-count: each timer is armed an hour into the flight,
// a third of its length passes, the clock goes somewhere hostile for a few frames and then reads 2 s
// (a new flight). The timer must then finish within its own length, as if armed at the jump.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "host/host.h"

struct ClockJump {
    const char* name;
    f64 to;
};
inline constexpr f64 kJumpNaN = std::numeric_limits<f64>::quiet_NaN();
inline constexpr f64 kJumpInf = std::numeric_limits<f64>::infinity();
inline const ClockJump kClockJumps[] = {
    {"an hour back", 2.0},  {"no reading", kJumpNaN},    {"negative", -3600.0},
    {"far negative", -1e300}, {"minus infinity", -kJumpInf}, {"infinity", kJumpInf},
};

struct JumpTimer {
    const char* name;
    f64 length_s;
    std::function<void()> arm;  // starts the timer on the current clock (may run frames)
    std::function<bool()> done;
};

// Runs the timer through every jump; reports how long it took after the clock came back.
inline void expect_timer_survives_clock_jumps(Host& host, const JumpTimer& timer) {
    constexpr u32 kSimTime = 604;
    constexpr f64 kArmedAt = 3600.0, kBackTo = 2.0;
    for (const ClockJump& jump : kClockJumps) {
        SCOPED_TRACE(testing::Message() << timer.name << ", clock " << jump.name);
        host.set_token(kSimTime, kArmedAt);
        timer.arm();
        host.run_seconds(timer.length_s / 3);
        ASSERT_FALSE(timer.done()) << "finished early";
        host.set_token(kSimTime, jump.to);
        host.run_frames(3);
        ASSERT_FALSE(jump.to != kBackTo && timer.done()) << "finished on a clock with no sane reading";
        host.set_token(kSimTime, kBackTo);
        const f64 slack = 1.0 / host.fps() + 1.0 / 18;  // the frame after the tick it fell due on
        f64 took = -1;
        for (u64 n = 0; n < u64((timer.length_s + 2 * slack) * host.fps()) + 2 && took < 0; ++n) {
            host.run_frames(1);
            if (timer.done()) took = host.token(kSimTime) - kBackTo;
        }
        ASSERT_GE(took, 0.0) << "still counting " << timer.length_s << " s after the clock came back";
        EXPECT_LE(took, timer.length_s + slack);
    }
}
