#include "core/failures_panel_state.h"
#define KR_STATE_FILE "core/failures_panel_state.def"
#define KR_STATE_TABLE kCoreFailuresPanelState
#include "module/state_define.inc"
