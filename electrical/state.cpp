#include "electrical/state.h"
#define KR_STATE_FILE "electrical/state.def"
#define KR_STATE_TABLE kElectricalState
#include "module/state_define.inc"
