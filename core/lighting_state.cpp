#include "core/lighting_state.h"
#define KR_STATE_FILE "core/lighting_state.def"
#define KR_STATE_TABLE kCoreLightingState
#include "module/state_define.inc"
