#include "core/gpws_state.h"
#define KR_STATE_FILE "core/gpws_state.def"
#define KR_STATE_TABLE kCoreGpwsState
#include "module/state_define.inc"
