// Shared variables: engines: start, HP valves, indications, fire handles and extinguishers.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "engines/state.def"
#include "module/state_extern.inc"
