#include "core/mwp_state.h"
#define KR_STATE_FILE "core/mwp_state.def"
#define KR_STATE_TABLE kCoreMwpState
#include "module/state_define.inc"
