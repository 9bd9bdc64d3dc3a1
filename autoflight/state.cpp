#include "autoflight/state.h"
#define KR_STATE_FILE "autoflight/state.def"
#define KR_STATE_TABLE kAutoflightState
#include "module/state_define.inc"
