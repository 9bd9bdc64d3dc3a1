// Shared variables of this subsystem (declared in state.def with their start values).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "fe_panel/state.def"
#include "module/state_extern.inc"
// The APU, fuel-valve and electrical-panel groups keep their own files; readers of the subsystem
// see them here too.
#include "fe_panel/apu_state.h"
#include "fe_panel/fuel_valves_state.h"
#include "fe_panel/elec_panels_state.h"
