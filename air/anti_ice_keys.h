// Host key events of the anti-ice panels: each toggles a host flag (value 0).
#pragma once
#include "module/types.h"

constexpr u32 key_structural_deice_toggle = 0x10321;  // host token 905
constexpr u32 key_eng1_antiice_toggle = 0x103b4;      // host token 883
constexpr u32 key_eng2_antiice_toggle = 0x103b5;      // host token 884
