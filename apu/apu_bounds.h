// The ranges of the three APU dials. The meters clamp the model's values to them while drawn, and
// the APU step applies the same bounds every frame, so that the model runs the same whether or
// not a meter is on screen.
#pragma once
#include "module/types.h"

constexpr f64 kApuSpeedMin = 0.0;
constexpr f64 kApuSpeedMax = 120.0;
constexpr f64 kApuEgtMin = 0.0;
constexpr f64 kApuEgtMax = 700.0;
constexpr u32 kApuOilMax = 800;

// Above the top: the top; below the bottom: the bottom; anything else unchanged.
inline void apu_bound(f64& v, f64 lo, f64 hi) {
    if (v > hi) v = hi;
    if (v < lo) v = lo;
}
inline void apu_bound_oil(u32& q) {
    if (q > kApuOilMax) q = kApuOilMax;
}
