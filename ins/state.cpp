#include "ins/state.h"
#define KR_STATE_FILE "ins/state.def"
#define KR_STATE_TABLE kInsState
#include "module/state_define.inc"
