// Shared variables: simulation control: presets, failures and their timers, start-state and overview panels.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "sim_control/state.def"
#include "module/state_extern.inc"
