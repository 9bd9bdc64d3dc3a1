#include "radio_nav/state.h"
#define KR_STATE_FILE "radio_nav/state.def"
#define KR_STATE_TABLE kRadioNavState
#include "module/state_define.inc"
