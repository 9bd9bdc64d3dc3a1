// Bearing needles of the RMI and the ADF indicator: the bitmaps point to 3 o'clock, so a bearing
// b is shown as b - 90 or b + 270. Which of the two follows the needle's previous value, so a
// needle that stood below 90 takes b + 270 (a bearing of 45 alternates 315 and -45, the same
// direction). The host turns them at most 6 degrees a step toward a new value.
#pragma once
#include <cmath>

#include "module/host_interface.h"
#include "module/types.h"

// The needle record's speed-limit word, which the element lines have no field for.
constexpr u32 kBearingNeedleRate = 6;
inline void bearing_needle_rate(ElementHeader* e) {
    reinterpret_cast<NeedleElement*>(e)->reserved2[0] = kBearingNeedleRate;
}

// A bearing that is not a number leaves the needle where it stands.
inline void bearing_needle_step(f64& value, f64 bearing) {
    if (!std::isfinite(bearing)) return;
    value = value < 90.0 ? 360.0 + bearing - 90.0 : bearing - 90.0;
}
