#include "fe_panel/elec_panels_state.h"
#define KR_STATE_FILE "fe_panel/elec_panels_state.def"
#define KR_STATE_TABLE kFePanelElecState
#include "module/state_define.inc"
