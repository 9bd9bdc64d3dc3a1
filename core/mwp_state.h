// Shared variables of the master warning panels (declared in mwp_state.def).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "core/mwp_state.def"
#include "module/state_extern.inc"
