#include "warnings/state.h"
#define KR_STATE_FILE "warnings/state.def"
#define KR_STATE_TABLE kWarningsState
#include "module/state_define.inc"
