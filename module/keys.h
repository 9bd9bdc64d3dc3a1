// Host key events and panel-window idents shared by many gauges.
#pragma once
#include "module/types.h"

constexpr u32 key_panel_id_toggle = 0x103ca;
constexpr u32 key_panel_id_open = 0x103cb;
constexpr u32 key_panel_id_close = 0x103cc;

// APU and engine fuel valves.
constexpr u32 key_apu_starter = 0x10490;
constexpr u32 key_apu_off = 0x10491;
constexpr u32 key_apu_gen_set = 0x10493;
constexpr u32 key_apu_fire_event = 0x1050a;
constexpr u32 key_engfire_discharge = 0x10494;  // one engine fire bottle discharged (value 0)
constexpr u32 key_fuel_valve_eng1_toggle = 0x103be;
constexpr u32 key_fuel_valve_eng2_toggle = 0x103bf;

// Standby compass shown and hidden (the compass gauge and the overview's ATC icon).
constexpr u32 key_compass_event_on = 0x103d1;
constexpr u32 key_compass_event_off = 0x103d2;

// Engine generators.
constexpr u32 key_gen1_toggle = 0x1033b;
constexpr u32 key_gen2_toggle = 0x1033c;

constexpr u32 panel_win_main = 10010;
constexpr u32 panel_win_upper_1 = 10030;
constexpr u32 panel_win_pedestal = 10040;
constexpr u32 panel_win_pedestal_big = 10045;
constexpr u32 panel_win_radios = 10050;
constexpr u32 panel_win_fe_1 = 10060;
constexpr u32 panel_win_fe_2 = 10065;
constexpr u32 panel_win_ins = 10070;
constexpr u32 panel_win_gps = 10080;
constexpr u32 panel_win_mwp_popup = 10090;
constexpr u32 panel_win_failures = 10100;
constexpr u32 panel_win_upper_2 = 10110;
constexpr u32 panel_win_overview = 10510;
constexpr u32 panel_win_panload = 10520;
constexpr u32 panel_win_gps_alt = 10900;

// The host GPS driving NAV 1 (token 848), toggled by the GPS-drives controls and the autopilot.
constexpr u32 key_gps_drives_nav1_toggle = 0x10347;
