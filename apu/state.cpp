#include "apu/state.h"
#define KR_STATE_FILE "apu/state.def"
#define KR_STATE_TABLE kApuState
#include "module/state_define.inc"
