#include "fe_panel/fuel_valves_state.h"
#define KR_STATE_FILE "fe_panel/fuel_valves_state.def"
#define KR_STATE_TABLE kFePanelFuelValvesState
#include "module/state_define.inc"
