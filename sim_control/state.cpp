#include "sim_control/state.h"
#define KR_STATE_FILE "sim_control/state.def"
#define KR_STATE_TABLE kSimControlState
#include "module/state_define.inc"
