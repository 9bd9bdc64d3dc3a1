// Host key events the systems computer sends (all through send_key_event) to keep the host's
// battery master, fuel levers, yaw damper, trim, gear, brakes, spoilers, controls and pitot heat
// in step with the aircraft's own systems.
#pragma once
#include "module/types.h"

constexpr u32 key_battery_master_toggle = 0x102c1;

constexpr u32 key_eng1_mixture_event_a = 0x101bf;  // valve open, host lever closed
constexpr u32 key_eng1_mixture_event_b = 0x101c3;  // valve shut, host lever open
constexpr u32 key_eng2_mixture_event_a = 0x101c4;
constexpr u32 key_eng2_mixture_event_b = 0x101c8;

constexpr u32 key_yaw_damper_event_a = 0x10215;  // engage the host's yaw damper
constexpr u32 key_yaw_damper_event_b = 0x10216;  // disengage it
constexpr u32 key_trim_axis_set = 0x100aa;       // value: the trim axis, a signed 32-bit number

constexpr u32 key_gear_up = 0x1021f;
constexpr u32 key_gear_down = 0x10220;
constexpr u32 key_systems_event_10305 = 0x10305;
constexpr u32 key_systems_event_10306 = 0x10306;
constexpr u32 key_fctl_event_10099 = 0x10099;
constexpr u32 key_spoilers_set = 0x100fa;
constexpr u32 key_spoilers_event_10210 = 0x10210;
constexpr u32 key_spoilers_event_10211 = 0x10211;
constexpr u32 key_systems_event_1004c = 0x1004c;
constexpr u32 key_aileron_set = 0x1009e;
constexpr u32 key_rudder_set = 0x100a0;
constexpr u32 key_exit_event_10356 = 0x10356;

constexpr u32 key_pitot_heat_on = 0x10218;
constexpr u32 key_pitot_heat_off = 0x10219;
