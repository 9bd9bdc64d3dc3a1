#include "core/presets_state.h"
#define KR_STATE_FILE "core/presets_state.def"
#define KR_STATE_TABLE kCorePresetsState
#include "module/state_define.inc"
