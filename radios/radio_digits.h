// Frequencies and codes from the host turned into digit-drum targets. Every head writes its
// targets through these, so that no word the host hands over can put a drum off its strip.
#pragma once
#include "module/drums.h"

// An integer drum target of the width its head keeps.
struct DigitOut {
    void* var;
    drum::TargetType type;
    void store(u32 digit) const;
    constexpr drum::Target target() const { return drum::Target{var, type}; }
};
constexpr DigitOut digit_out(u32* v) { return DigitOut{v, drum::TargetType::U32}; }
constexpr DigitOut digit_out(i32* v) { return DigitOut{v, drum::TargetType::I32}; }

// Digit k (0 the lowest) of a BCD16 word; only the low 16 bits count. A nibble above `top`
// (A to F, or 8 and 9 on an eight-position drum) reads `top`.
constexpr u32 bcd_digit(u32 word, u32 k, u32 top) {
    const u32 d = (word & 0xFFFFu) >> (4 * k) & 0xFu;
    return d > top ? top : d;
}

// Cell of a 25 kHz hundredths wheel (cells 0 2 5 7): 2 -> 1, 5 -> 2, 7 -> 3, anything else 0.
constexpr f64 last_wheel_cell(u32 nibble) {
    return nibble == 2 ? 1.0 : nibble == 5 ? 2.0 : nibble == 7 ? 3.0 : 0.0;
}

// The five drums of a NAV or COM frequency window: the hundreds always show 1, the word holds
// tens, units, tenths and hundredths from the top nibble down.
struct FreqWindow {
    DigitOut hundreds, tens, tenths;
    f64* units;
    f64* last;
};
// A nibble above `top` reaches its drum as `top` (15 passes every nibble raw).
void freq_window_targets(u32 word, const FreqWindow& w, u32 top = 9);

// The five drums of an ADF window, thousands to tenths, and the highest frequency it reads.
// Above 1999.9 kHz the hundreds target passes 9 and parks its drum.
constexpr f64 kAdfTopKhz = 1999.9;
struct AdfWindow {
    DigitOut thousands, hundreds, units;
    f64* tens;
    f64* tenths;
    f64 top_khz = kAdfTopKhz;
};
constexpr f64 adf_clamp_khz(f64 khz, f64 top) { return khz < 0.0 ? 0.0 : khz > top ? top : khz; }
// Writes the targets of a frequency in kHz and returns true; a non-finite frequency writes
// nothing and returns false. The frequency reads 0 .. top and is rounded to the tenth once, so
// every digit (the tenths too) is a whole number on its drum.
bool adf_window_targets(f64 khz, const AdfWindow& w);

// The four digits of a transponder code, thousands first, each 0 .. 7.
struct SquawkDigits {
    u32 d[4];
};
SquawkDigits squawk_split(u32 code);
