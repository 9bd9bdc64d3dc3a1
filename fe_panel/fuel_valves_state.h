// Shared variables of the fuel valves, crossfeed and fuel-used totals (declared in fuel_valves_state.def).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "fe_panel/fuel_valves_state.def"
#include "module/state_extern.inc"
