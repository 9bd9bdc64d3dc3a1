// The vertical speed every reader of inst_vs_fpm sees: the host's vertical speed token (metres
// per second times 256) in whole feet per minute, truncated toward zero. Every writer of
// inst_vs_fpm uses this, so the value does not depend on which of them ran last.
#pragma once
#include "instruments/state.h"
#include "module/types.h"

// Each caller passes a number; one that is not gives back the published vertical speed, which is
// what every caller keeps in that case.
inline i32 vertical_speed_fpm(f64 token_value) {
    constexpr f64 kTokenScale = 256.0, kFeetPerMetre = 3.281, kSecondsPerMinute = 60.0;
    return sat_i32(token_value / kTokenScale * kFeetPerMetre * kSecondsPerMinute, inst_vs_fpm);
}
