#include "instruments/state.h"
#define KR_STATE_FILE "instruments/state.def"
#define KR_STATE_TABLE kInstrumentsState
#include "module/state_define.inc"
