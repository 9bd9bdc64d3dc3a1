// Small numeric helpers shared by several gauges, with the single-precision roundings the
// instruments were calibrated with.
#pragma once
#include "module/host_interface.h"

// Straight line through (x1, y1) and (x2, y2) at x; slope and intercept rounded to single
// precision. Equal abscissae give y1 instead of dividing by zero.
f64 lerp2(f64 x, f64 x1, f64 x2, f64 y1, f64 y2);
// Distance between two points, from single-precision differences.
f64 plane_distance(f64 x1, f64 y1, f64 x2, f64 y2);
// Screen bearing (y down) from the first point to the second, in [0, 360).
f32 plane_bearing(f64 x1, f64 y1, f64 x2, f64 y2);
// Whole degrees brought into 0..359 (360 is 0, -5 is 355).
inline i32 fold_degrees(i32 deg) { return (deg % 360 + 360) % 360; }
// 1 when the low word of the record's value shares a bit with the mask.
u32 mask_test(TokenVar record, u32 mask);
