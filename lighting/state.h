// Shared variables: lighting: zones, panel and annunciator lighting, exterior lights and signs.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "lighting/state.def"
#include "module/state_extern.inc"
