#include "engines/state.h"
#define KR_STATE_FILE "engines/state.def"
#define KR_STATE_TABLE kEnginesState
#include "module/state_define.inc"
