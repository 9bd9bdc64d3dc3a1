#include "flight_controls/state.h"
#define KR_STATE_FILE "flight_controls/state.def"
#define KR_STATE_TABLE kFlightControlsState
#include "module/state_define.inc"
