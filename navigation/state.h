// Shared variables: navigation: inertial navigation units, flight-plan tables and navigation instrument flags.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "navigation/state.def"
#include "module/state_extern.inc"
