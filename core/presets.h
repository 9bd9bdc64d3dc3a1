// Start-up and easy-start presets, run by the systems computer.
#pragma once

// The ready-to-fly values and the six window closes; moves panel_init_state from 1 to 2.
void startup_preset_frame();
// EASY START, COLD START and the automatic modes, each gated by its selection byte.
void presets_frame();
