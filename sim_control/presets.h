// Start-up and easy-start presets, run by the systems computer.
#pragma once
#include "module/types.h"

// Fresh value of panel_easy_start_delay: frames an airborne EASY START runs at least.
constexpr u8 kEasyStartDelayFull = 100;

// The ready-to-fly values and the six window closes; moves panel_init_state from 1 to 2.
void startup_preset_frame();
// EASY START, COLD START and the automatic modes, each gated by its selection byte.
void presets_frame();
// One step of the EASY START frame countdown: counts down only within 1..100, so that it never
// wraps. The start-state chooser's EASY START takes one step too.
void easy_start_delay_step();
