// Shared variables: electrical system: network model (bus power, loads, battery), switches, panels and meters.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "electrical/state.def"
#include "module/state_extern.inc"
