// Host key events of the pedestal's speed-brake and flap levers (value 0, trigger_key_event).
// The spoiler position and the automatic deployment share the systems computer's ids.
#pragma once
#include "module/types.h"

constexpr u32 key_spoilers_arm_toggle = 0x10035;
constexpr u32 key_flaps_incr = 0x100de;  // one notch toward full flap
constexpr u32 key_flaps_decr = 0x100df;  // one notch toward flaps up
