// Shared variables: Electrical panels: ground power request and messages, generator TEST timer, meters and selectors. (declared in elec_panels_state.def).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "fe_panel/elec_panels_state.def"
#include "module/state_extern.inc"
