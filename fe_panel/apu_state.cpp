#include "fe_panel/apu_state.h"
#define KR_STATE_FILE "fe_panel/apu_state.def"
#define KR_STATE_TABLE kFePanelApuState
#include "module/state_define.inc"
