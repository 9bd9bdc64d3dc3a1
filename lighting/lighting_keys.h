// Host key events that keep the host's panel lighting and its exterior lights in step with the
// cockpit's own switches (all sent through send_key_event).
#pragma once
#include "module/types.h"

// Panel lighting (value 0).
constexpr u32 key_panel_lights_on = 0x10208;
constexpr u32 key_panel_lights_off = 0x10209;
constexpr u32 key_panel_light_event = 0x100d6;  // asks the host to redraw its panel lighting

// Exterior lights (value 0 unless stated). NAV sends its three events together, the same three
// both ways; LOGO, BEACON, WING and NOSE each have one toggle.
constexpr u32 key_ext_light_a_event_1 = 0x10349;
constexpr u32 key_ext_light_a_event_2 = 0x1034b;
constexpr u32 key_ext_light_a_event_3 = 0x10413;
constexpr u32 key_ext_light_b_toggle = 0x10348;
constexpr u32 key_beacon_lights_toggle = 0x102bf;
constexpr u32 key_strobes_on = 0x10204;
constexpr u32 key_strobes_off = 0x10205;
constexpr u32 key_ext_light_c_toggle = 0x1034a;
constexpr u32 key_landing_lights_on = 0x1020b;
constexpr u32 key_landing_lights_off = 0x1020c;
constexpr u32 key_ext_light_d_set = 0x10357;  // value 1 extends the landing lights, 0 retracts them
constexpr u32 key_taxi_lights_toggle = 0x102c0;
