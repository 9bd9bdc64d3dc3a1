#include "navigation/state.h"
#define KR_STATE_FILE "navigation/state.def"
#define KR_STATE_TABLE kNavigationState
#include "module/state_define.inc"
