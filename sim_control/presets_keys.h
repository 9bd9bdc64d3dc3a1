// Host key events of the start-up presets and the failure timers (window closes go through
// trigger_key_event with key_panel_id_close; everything here through send_key_event).
#pragma once
#include "module/types.h"

// EASY START: engage the host's starters (value 0), take-off set-up and the trim nudges.
constexpr u32 key_eng1_starter_toggle = 0x102fc;
constexpr u32 key_eng2_starter_toggle = 0x102fd;
constexpr u32 key_systems_event_1003f = 0x1003f;
constexpr u32 key_elev_trim_up = 0x1004f;
constexpr u32 key_elev_trim_dn = 0x10047;
// COLD START: sets the host's parking brake.
constexpr u32 key_parking_brakes = 0x100d8;
// Engines autostart, with value 1, while the APU is up to speed.
constexpr u32 key_apu_event_102b0 = 0x102b0;
// Engine failures: value 1 fails the host's engine, 0 repairs it.
constexpr u32 key_eng1_failure_toggle = 0x10309;
constexpr u32 key_eng2_failure_toggle = 0x1030a;
