// Throttle quadrant parts shared with other pedestal gauges.
#pragma once
#include "module/host_interface.h"

// Shows the throttle readouts when they are hidden, hides them otherwise (mouse callback).
i32 FSAPI thr_readout_toggle(MousePoint* point, u32 mouse_flags);

// Host key events of the throttle levers (value 0, trigger_key_event).
constexpr u32 key_throttle1_incr = 0x101ac;
constexpr u32 key_throttle1_decr = 0x101ae;
constexpr u32 key_throttle2_incr = 0x101b1;
constexpr u32 key_throttle2_decr = 0x101b3;
