// Fixed-width names used throughout the module, and the saturating conversions every
// double-to-integer step goes through (host values can be NaN, infinite or huge).
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

using u8 = uint8_t;
using i8 = int8_t;
using u16 = uint16_t;
using i16 = int16_t;
using u32 = uint32_t;
using i32 = int32_t;
using u64 = uint64_t;
using i64 = int64_t;
using f32 = float;
using f64 = double;

// Truncates toward zero, clamping to the target's range, so an absurd value stands at the end
// of the range. A value that is no number converts to nothing: `keep` (what the caller last
// held) comes back, so a conversion never makes a reading up as 0.
template <typename T>
constexpr T sat_cast(double v, T keep) {
    if (!(v == v)) return keep;
    constexpr double lo = double(std::numeric_limits<T>::lowest());
    constexpr double hi = double(std::numeric_limits<T>::max());
    if (v <= lo) return std::numeric_limits<T>::lowest();
    if (v >= hi) return std::numeric_limits<T>::max();
    return T(v);
}

inline i32 sat_i32(double v, i32 keep) { return sat_cast<i32>(v, keep); }
inline u32 sat_u32(double v, u32 keep) { return sat_cast<u32>(v, keep); }
inline u8 sat_u8(double v, u8 keep) { return sat_cast<u8>(v, keep); }

// The nearest finite double: an overflowed sum or product of readings stands at the end of the
// range instead of becoming infinite. Not a number stays not a number.
inline double sat_f64(double v) {
    constexpr double m = std::numeric_limits<double>::max();
    return v > m ? m : v < -m ? -m : v;
}

// Replaces NaN and infinities so that garbage from the host cannot poison the model.
inline double finite_or(double v, double fallback) { return std::isfinite(v) ? v : fallback; }
