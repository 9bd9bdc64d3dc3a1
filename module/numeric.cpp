#include "module/numeric.h"

#include <cmath>

namespace {
f32 to_single(f64 v) {
    // Out-of-range values become infinities as on the host's FPU, without undefined behaviour.
    if (!(v == v)) return std::nanf("");
    if (v > 3.4028234663852886e38) return HUGE_VALF;
    if (v < -3.4028234663852886e38) return -HUGE_VALF;
    return static_cast<f32>(v);
}
}  // namespace

f64 lerp2(f64 x, f64 x1, f64 x2, f64 y1, f64 y2) {
    if (x1 == x2) return y1;
    const f64 s = (y2 - y1) / (x2 - x1);
    const f64 b = y2 - s * x2;
    return static_cast<f64>(to_single(s)) * x + static_cast<f64>(to_single(b));
}

f64 plane_distance(f64 x1, f64 y1, f64 x2, f64 y2) {
    const f64 dx = to_single(std::fabs(x2 - x1));
    const f64 dy = to_single(std::fabs(y2 - y1));
    return std::sqrt(dy * dy + dx * dx);
}

f32 plane_bearing(f64 x1, f64 y1, f64 x2, f64 y2) {
    const f32 dx = to_single(x2 - x1);
    const f32 dy = to_single(y2 - y1);
    const f32 a = to_single(std::atan2(static_cast<f64>(dy), static_cast<f64>(dx)) * 180.0 / 3.141592653589793);
    f32 bearing = a >= -90.0f ? a + 90.0f : a + 450.0f;
    // A bearing a hair short of a full turn rounds to 360 in single precision: that is north.
    if (!(bearing < 360.0f)) bearing = 0.0f;
    return bearing;
}

u32 mask_test(TokenVar record, u32 mask) { return (token_u32(record) & mask) != 0 ? 1u : 0u; }
