#include "fuel/state.h"
#define KR_STATE_FILE "fuel/state.def"
#define KR_STATE_TABLE kFuelState
#include "module/state_define.inc"
