#include "air/state.h"
#define KR_STATE_FILE "air/state.def"
#define KR_STATE_TABLE kAirState
#include "module/state_define.inc"
