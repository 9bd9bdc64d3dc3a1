// Flashing lamps of the autoflight panels, timed on the host's 18 Hz tick counter. A run is kept
// as the tick it started on; it is over once that many ticks have gone by, whatever ticks a slow
// panel stepped over, and a start the clock has gone back past counts again from now.
#pragma once
#include <algorithm>
#include <cmath>
#include <limits>

#include "module/deadline.h"
#include "module/types.h"

namespace lamp {
constexpr i64 kNoReading = -1;
constexpr i32 kLitTicks = 4, kPeriodTicks = 8;

// The tick count to store as a start: truncated, negative as 0. A clock that is no number or
// infinite gives a start ahead of every clock, which since() moves to the first real reading.
inline i32 stamp(f64 now) {
    constexpr i32 kAhead = std::numeric_limits<i32>::max();
    return i32(std::min<u32>(start_at(now), u32(kAhead)));
}

// Ticks since `start`; a start ahead of the clock moves to now. kNoReading for a clock that is
// not a number or infinite (nothing moves that frame).
inline i64 since(i32& start, f64 now) {
    if (!std::isfinite(now)) return kNoReading;
    u32 s = start > 0 ? u32(start) : 0u;
    start_rebase(s, now);
    start = stamp(f64(s));
    return i64(sat_u32(now, u32(start))) - i64(start);
}

// One frame of the 4 lit / 4 dark cycle begun at `cycle`: the cycle moves on by whole periods
// (toggling `phase` once per period), so the rhythm holds at any frame rate. Returns whether the
// lamp is lit, or `lit` unchanged without a clock reading.
inline bool blink(i32& cycle, u8& phase, f64 now, bool lit) {
    i64 e = since(cycle, now);
    if (e == kNoReading) return lit;
    if (e >= kPeriodTicks) {
        const i64 periods = e / kPeriodTicks;
        cycle = stamp(f64(cycle) + f64(periods * kPeriodTicks));
        if (periods % 2 == 1) phase = phase ? 0 : 1;
        e -= periods * kPeriodTicks;
    }
    return e < kLitTicks;
}
}  // namespace lamp
