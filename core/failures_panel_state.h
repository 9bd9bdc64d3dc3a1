// Shared variables: failures panel and start-state chooser (declared in failures_panel_state.def).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "core/failures_panel_state.def"
#include "module/state_extern.inc"
