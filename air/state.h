// Shared variables: air: probes and air data, probe heat and anti-ice, bleed air, packs, doors and pressurisation.
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "air/state.def"
#include "module/state_extern.inc"
