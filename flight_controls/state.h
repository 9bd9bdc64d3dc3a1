// Shared variables: flight controls: yaw dampers, pitch trim, rudder limiter, low-speed aileron, servos, flaps and take-off configuration flags.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "flight_controls/state.def"
#include "module/state_extern.inc"
