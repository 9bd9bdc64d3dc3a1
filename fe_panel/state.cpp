#include "fe_panel/state.h"
#define KR_STATE_FILE "fe_panel/state.def"
#define KR_STATE_TABLE kFePanelState
#include "module/state_define.inc"
