// Host key events of the autopilot and autothrottle that gauges of other systems send too.
#pragma once
#include "module/types.h"

// Sets the host's selected autopilot speed (value: knots).
constexpr u32 key_ap_speed_set = 0x101f5;
