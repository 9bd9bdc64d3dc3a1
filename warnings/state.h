// Shared variables: warnings: master warning panels, aural warning unit, ground proximity modes, sound volumes.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "warnings/state.def"
#include "module/state_extern.inc"
