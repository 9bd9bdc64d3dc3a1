#include "gear/state.h"
#define KR_STATE_FILE "gear/state.def"
#define KR_STATE_TABLE kGearState
#include "module/state_define.inc"
