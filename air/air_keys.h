// Host key events of the doors and pressurisation panels.
#pragma once
#include "module/types.h"

constexpr u32 key_exit_toggle = 0x10355;  // toggles the exit of token 868, or with select the next
constexpr u32 key_exit_select = 0x10003;  // right after the toggle: the exit of the percent value
constexpr u32 key_press_target_inc = 0x10514;
constexpr u32 key_press_target_dec = 0x10515;
constexpr u32 key_press_dump_toggle = 0x10519;
