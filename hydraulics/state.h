// Shared variables: hydraulic system: pressures, pumps, availability, loss actions and its cautions.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "hydraulics/state.def"
#include "module/state_extern.inc"
