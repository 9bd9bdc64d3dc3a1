// The autothrottle's frame after its mode logic: one of the two thrust laws, then the go-around.
// Both run from the autothrottle panel's gauge callback (ap_ats.cpp), in that order.
#pragma once
#include "module/tokens.h"
#include "module/types.h"

// The N1 law (N1 mode, or SPD far below its speed) or the speed path (ats_laws.cpp). The panel
// watches both engines' throttle axes every frame; a law steps from their latest readings.
void ats_thrust_law(const TokenWatch& axis1, const TokenWatch& axis2);
// The go-around's first frame, running frames, exits and the dual-to-single CMD rule; the panel
// also watches the host's vertical speed every frame for it.
void ats_go_around(const TokenWatch& vertical_speed);

// The host's throttle axes run 0..16383; every command is clamped into them.
constexpr i32 kThrottleAxisMax = 16383;
i32 ats_throttle_command(f64 axis_plus_step);
