// Shared variables of the ground proximity warning computer (declared in gpws_state.def).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "core/gpws_state.def"
#include "module/state_extern.inc"
