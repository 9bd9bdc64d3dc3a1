// The remainder below a counter's place, as every counter of the flight instruments forms it.
#pragma once
#include <cmath>

#include "module/types.h"

// From 2^53 up every double is a whole number and v / place rounds away the very rest sought, so
// there the exact remainder is taken; below, the counters' own arithmetic.
inline constexpr f64 kWholeDoubles = 9007199254740992.0;

// v less its whole multiples of `place` (toward zero): what the drums below `place` show.
inline f64 place_rest(f64 v, f64 place) {
    if (std::fabs(v) >= kWholeDoubles) return std::fmod(v, place);
    return v - place * std::trunc(v / place);
}
