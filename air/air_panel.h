// What the air-conditioning and pressurisation gauges of the flight engineer's panel share: their
// start image flags, dial tables given as angles, the needle rate word, and the conversion that
// keeps a host value inside single precision.
#pragma once
#include <cfloat>
#include <cmath>

#include "module/gauge.h"

// Start image flags: lit faces and pointers start luminous; lamps carry the bright image from the
// start and stay out of the lighting walk; levers are never lit.
constexpr u32 kAirLit = ImageLuminous;
constexpr u32 kAirLitHidden = ImageHidden | ImageLuminous;
constexpr u32 kAirLamp = ImageHidden | ImageBright;
constexpr u32 kAirLever = 0;
constexpr u32 kAirLeverHidden = ImageHidden;
constexpr u8 kAirZone = 4;

// Fills each point's x, y from its angle (degrees clockwise from twelve o'clock, seen from the
// pivot at cx, cy) on a circle of radius r; the host then measures the angles back.
template <size_t N>
void air_dial_points(NonlinearityPoint (&points)[N], i32 cx, i32 cy, f64 r) {
    constexpr f64 kRadPerDeg = 3.14159265358979323846 / 180.0;
    for (NonlinearityPoint& p : points) {
        p.x = cx + i32(std::lround(r * std::sin(p.angle * kRadPerDeg)));
        p.y = cy - i32(std::lround(r * std::cos(p.angle * kRadPerDeg)));
    }
}

// The needle record's speed limit word, which the element lines have no field for.
inline void air_needle_rate(ElementHeader* e, u32 rate) { reinterpret_cast<NeedleElement*>(e)->reserved2[0] = rate; }

// A double stored in single precision without overflowing to an infinity; one that is no number
// gives back `keep` (what the caller last held).
inline f32 air_f32(f64 v, f32 keep) {
    if (!(v == v)) return keep;
    if (v >= f64(FLT_MAX)) return FLT_MAX;
    if (v <= -f64(FLT_MAX)) return -FLT_MAX;
    return f32(v);
}
