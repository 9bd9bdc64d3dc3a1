// Shared variables: fuel system: valves, crossfeed, pumps, quantities and fuel used.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "fuel/state.def"
#include "module/state_extern.inc"
