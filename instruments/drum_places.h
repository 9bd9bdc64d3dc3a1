// The remainder below a counter's place, as every counter of the flight instruments forms it.
#pragma once
#include <cmath>

#include "module/types.h"

// v less its whole multiples of `place` (toward zero): what the drums below `place` show.
inline f64 place_rest(f64 v, f64 place) { return v - place * std::trunc(v / place); }
