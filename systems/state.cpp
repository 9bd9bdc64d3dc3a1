#include "systems/state.h"
#define KR_STATE_FILE "systems/state.def"
#define KR_STATE_TABLE kSystemsState
#include "module/state_define.inc"
