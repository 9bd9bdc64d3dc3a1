// Shared variables of the APU panel and simulation (declared in apu_state.def).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "fe_panel/apu_state.def"
#include "module/state_extern.inc"
