// Shared variables: gear, brakes and parking brake.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "gear/state.def"
#include "module/state_extern.inc"
