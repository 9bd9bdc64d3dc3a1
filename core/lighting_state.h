// Shared variables: Panel lighting, exterior lights and signs (declared in lighting_state.def).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "core/lighting_state.def"
#include "module/state_extern.inc"
