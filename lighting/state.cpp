#include "lighting/state.h"
#define KR_STATE_FILE "lighting/state.def"
#define KR_STATE_TABLE kLightingState
#include "module/state_define.inc"
