// Shared variables: Radios: control heads and audio panels.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "radios/state.def"
#include "module/state_extern.inc"
