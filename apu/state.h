// Shared variables: aPU: switches, the model and its door, oil and fire state.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "apu/state.def"
#include "module/state_extern.inc"
