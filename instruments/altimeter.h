// What the two barometric altimeters share: the 100-ft needle, the drum altitude that folds small
// negative altitudes onto the counter, the dial table, and the split of a barometric setting into
// the digits of its four-drum counter.
#pragma once
#include <cmath>

#include "instruments/drum_places.h"
#include "module/host_interface.h"

// Needle value: tens of feet within the current thousand (negative below 0 ft).
inline f64 alti_needle_value(f64 alt) {
    if (std::fabs(alt) >= kWholeDoubles) return place_rest(alt, 1000.0) / 10.0;
    return alt / 10.0 - 100.0 * std::trunc(alt / 1000.0);
}

// The altitude the counter shows: negative altitudes down to -2000 ft read on from 1000 or 3000,
// anything within a foot of 0 (and below -2000) reads 0.
inline f64 alti_drum_altitude(f64 alt) {
    if (alt >= 1.0) return alt;
    if (alt > -1000.0 && alt <= -1.0) return alt + 1000.0;
    if (alt > -2000.0 && alt <= -1000.0) return alt + 3000.0;
    return 0.0;
}

// A setting's four-drum counter: thousands, hundreds and tens as chasing-drum targets, the rest
// as the units drum's position. With `carry`, a target moves on to its next digit (10 for a carry
// in progress) while what is below it approaches 10. A setting that is no number, or one the four
// drums cannot show (below 0, or 10000 and up), leaves the counter as it stands, on its strips.
inline void baro_counter(f64 b, bool carry, i32& d1000, i32& d100, i32& d10, f64& units) {
    constexpr f64 kCounterTop = 10000.0;
    constexpr f64 kCarry1000 = 9.996, kCarry100 = 9.96, kCarry10 = 9.6;
    if (!(b >= 0.0 && b < kCounterTop)) return;
    const i32 d1 = sat_i32(b / 1000.0, d1000);
    const f64 r1 = b - 1000.0 * d1;
    const i32 d2 = sat_i32(r1 / 100.0, d100);
    const f64 r2 = b - (1000.0 * d1 + 100.0 * d2);
    const i32 d3 = sat_i32(r2 / 10.0, d10);
    units = b - (1000.0 * d1 + 100.0 * d2 + 10.0 * d3);
    d1000 = d1, d100 = d2, d10 = d3;
    if (carry) {
        if (r1 / 100.0 > kCarry1000) ++d1000;
        if (r2 / 10.0 > kCarry100) ++d100;
        if (units > kCarry10) ++d10;
    }
}

// The dial: 19 points from -90 to 90; -v stands where 100 - v does. The host writes the angles,
// so each needle keeps its own copy.
struct AltiDial {
    NonlinearityPoint p[19];
};
constexpr AltiDial kAltiDial = {{
    {153, 21, -90, 0}, {183, 62, -80, 0}, {184, 113, -70, 0}, {153, 153, -60, 0}, {105, 170, -50, 0},
    {57, 153, -40, 0}, {27, 112, -30, 0}, {27, 61, -20, 0},   {57, 21, -10, 0},   {105, 5, 0, 0},
    {153, 21, 10, 0},  {183, 62, 20, 0},  {184, 113, 30, 0},  {153, 153, 40, 0},  {105, 170, 50, 0},
    {57, 153, 60, 0},  {27, 112, 70, 0},  {27, 61, 80, 0},    {57, 21, 90, 0},
}};
constexpr i32 kAltiNeedleX = 105, kAltiNeedleY = 87;
constexpr i32 kAltiNeedlePivotX = 52, kAltiNeedlePivotY = 5;
