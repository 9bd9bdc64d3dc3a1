#include "radios/state.h"
#define KR_STATE_FILE "radios/state.def"
#define KR_STATE_TABLE kRadiosState
#include "module/state_define.inc"
