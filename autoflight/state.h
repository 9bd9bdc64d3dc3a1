// Shared variables: autoflight: autopilot, flight director and autothrottle.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "autoflight/state.def"
#include "module/state_extern.inc"
