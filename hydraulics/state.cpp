#include "hydraulics/state.h"
#define KR_STATE_FILE "hydraulics/state.def"
#define KR_STATE_TABLE kHydraulicsState
#include "module/state_define.inc"
