#include "core/state.h"
#define KR_STATE_FILE "core/state.def"
#define KR_STATE_TABLE kCoreState
#include "module/state_define.inc"
