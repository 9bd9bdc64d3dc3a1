// The set panels' turning-image hold, one per pressurisation system.
#pragma once
#include "module/types.h"

struct PressSetPanelState {
    u8 touched;       // an area was clicked since the callback last took a click up
    u8 hold_running;  // the turning image is being held on screen
    f64 touch_tick;   // tok_tick18 when the current hold began
};

extern PressSetPanelState press_set_s1_state;
extern PressSetPanelState press_set_s2_state;
