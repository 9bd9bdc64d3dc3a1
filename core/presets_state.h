// Shared variables: start-up presets and failure timers (declared in presets_state.def).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "core/presets_state.def"
#include "module/state_extern.inc"
