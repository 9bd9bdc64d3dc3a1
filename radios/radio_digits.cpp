// Digit targets of the radio heads' drums.
#include "radios/radio_digits.h"

#include <cmath>

void DigitOut::store(u32 digit) const {
    if (type == drum::TargetType::I32)
        *static_cast<i32*>(var) = i32(digit);
    else
        *static_cast<u32*>(var) = digit;
}

void freq_window_targets(u32 word, const FreqWindow& w, u32 top) {
    w.hundreds.store(1);
    w.tens.store(bcd_digit(word, 3, top));
    *w.units = f64(bcd_digit(word, 2, top));
    w.tenths.store(bcd_digit(word, 1, top));
    *w.last = last_wheel_cell((word & 0xFFFFu) & 0xFu);
}

bool adf_window_targets(f64 khz, const AdfWindow& w) {
    if (!std::isfinite(khz)) return false;
    const f64 f = adf_clamp_khz(khz, w.top_khz);
    const u32 tenths = sat_u32(std::round(f * 10.0), 0u);  // finite and within the window: a number
    const u32 thousands = tenths >= 10000 ? 1 : 0;
    w.thousands.store(thousands);
    w.hundreds.store(tenths / 1000 - 10 * thousands);
    *w.tens = f64(tenths / 100 % 10);
    w.units.store(tenths / 10 % 10);
    *w.tenths = f64(tenths % 10);
    return true;
}

SquawkDigits squawk_split(u32 code) {
    constexpr u32 kTop = 7;  // the code's digits run 0 .. 7
    SquawkDigits s{};
    for (u32 k = 0; k < 4; ++k) s.d[3 - k] = bcd_digit(code, k, kTop);
    return s;
}
