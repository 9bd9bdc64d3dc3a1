// Shared variables of this subsystem (declared in state.def with their start values).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "autoflight/state.def"
#include "module/state_extern.inc"
