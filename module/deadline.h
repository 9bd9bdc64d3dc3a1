// Deadlines on the host's clocks (tok_tick18 ticks or whole simulation seconds), kept as the
// absolute moment they fall due. The host's clock can jump back (a new flight, a loaded
// situation): a deadline found further ahead than its full length was armed in a future that no
// longer exists, so it is re-armed from now with its full length. A non-finite clock is no
// reading: nothing changes that frame. A negative clock counts as 0.
#pragma once
#include "module/types.h"

// The deadline `length` units after `now` (saturating; a negative now counts as 0). A non-finite
// now gives the far end of the range, which the first real reading re-arms with the full length.
inline u32 deadline_arm(f64 now, u32 length) {
    if (!std::isfinite(now)) return std::numeric_limits<u32>::max();
    const f64 t = now > 0.0 ? now : 0.0;
    return sat_u32(t + f64(length), std::numeric_limits<u32>::max());  // t is a number here
}

// True when `now` has reached `deadline`. First re-arms a deadline that lies more than `length`
// ahead of the clock. A non-finite clock leaves the deadline and answers false.
inline bool deadline_reached(u32& deadline, f64 now, u32 length) {
    if (!std::isfinite(now)) return false;
    const f64 t = now > 0.0 ? now : 0.0;
    if (f64(deadline) - t > f64(length)) deadline = deadline_arm(t, length);
    return t >= f64(deadline);
}

// The same rule for a deadline kept as a double (fractions of a unit count).
inline bool deadline_reached(f64& deadline, f64 now, f64 length) {
    if (!std::isfinite(now)) return false;
    const f64 t = now > 0.0 ? now : 0.0;
    if (!(deadline - t <= length)) deadline = t + length;  // also mends a deadline that is not a number
    return t >= deadline;
}

// A timer kept as the moment it started (it falls due a length after it): a start the clock
// has gone back past restarts the count from now. A non-finite clock changes nothing.
inline void start_rebase(u32& start, f64 now) {
    if (!std::isfinite(now)) return;
    const u32 t = sat_u32(now, start);  // negative counts as 0
    if (start > t) start = t;
}

// The start of such a timer started at `now`: a deadline of no length. A clock that is no finite
// number gives the far end of the range, which start_rebase brings back to the first real
// reading: the count begins there, never at a moment the host did not give.
inline u32 start_at(f64 now) { return deadline_arm(now, 0); }
