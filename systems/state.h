// Shared variables: the systems computer: start-up sequence and the host battery check.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "systems/state.def"
#include "module/state_extern.inc"
