// Host autopilot and autothrottle key events, sent by the autoflight panels and by gauges of other
// systems (the airspeed bugs set the selected speed).
#pragma once
#include "module/types.h"

constexpr u32 key_ap_master_off = 0x100ff;
constexpr u32 key_ap_master_on = 0x10100;
constexpr u32 key_ap_hdg_hold_event_b = 0x1010f;
constexpr u32 key_ap_alt_hold_on = 0x10110;
constexpr u32 key_ap_wing_leveler_on = 0x10111;
constexpr u32 key_ap_event_10113 = 0x10113;
constexpr u32 key_ap_nav_hold_event_a = 0x10115;
constexpr u32 key_ap_approach_event = 0x10116;
constexpr u32 key_ap_hdg_hold_event_a = 0x10117;
constexpr u32 key_ap_alt_hold_off = 0x10118;
constexpr u32 key_ap_wing_leveler_off = 0x10119;
constexpr u32 key_ap_nav_hold_event_b = 0x1011b;
constexpr u32 key_ap_event_101f3 = 0x101f3;  // altitude target: 60000 climb, 0 descent, else present
constexpr u32 key_ap_vs_set = 0x101f4;       // ft/min, signed
constexpr u32 key_ap_heading_set = 0x101fa;  // heading bug, whole degrees
constexpr u32 key_ap_alt_set = 0x1024c;      // altitude command, ft
constexpr u32 key_ap_event_1010d = 0x1010d;  // localizer coupling while V/L is armed on an ILS
constexpr u32 key_course_set = 0x100b4;      // NAV 1 course, whole degrees
constexpr u32 key_fd_active_set = 0x102f0;   // value 1 on, 0 off
constexpr u32 key_ap_reset_event = 0x104ab;  // bank-hold control, signed; token 785 reads it back
constexpr u32 key_ap_event_10094 = 0x10094;  // raises the nose in the flare
constexpr u32 key_ap_event_10096 = 0x10096;
constexpr u32 key_ap_event_100e3 = 0x100e3;

// Sets the host's selected autopilot speed (value: knots).
constexpr u32 key_ap_speed_set = 0x101f5;

// ---- Autothrottle: host arming, airspeed hold and the absolute throttle axes (0..16383).
constexpr u32 key_autothrottle_arm_set = 0x10144;  // value 1 arms, 0 disarms
constexpr u32 key_ap_speed_hold_on = 0x1022d;
constexpr u32 key_ap_speed_hold_off = 0x1022e;
constexpr u32 key_throttle1_set = 0x1011c;
constexpr u32 key_throttle2_set = 0x1011d;
constexpr u32 key_throttle1_event_101ad = 0x101ad;  // the lever advance of take-off thrust
constexpr u32 key_throttle2_event_101b2 = 0x101b2;
constexpr u32 key_ats_event_1044b = 0x1044b;  // a climb thrust far above its target
constexpr u32 key_ats_event_1044c = 0x1044c;
