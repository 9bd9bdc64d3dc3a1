// Shared variables: flight instruments: air data instruments, radio altimeter, clock and their flags.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "instruments/state.def"
#include "module/state_extern.inc"
