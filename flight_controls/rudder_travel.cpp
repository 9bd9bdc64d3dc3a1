// Rudder travel limiter panel of the overhead: ON / OFF RESET switch and RUDDER TRAVEL lamp for
// each of the two systems. A click on a lamp latches that system's fault; OFF RESET then ON clears
// it. Tells the systems computer whether the limiter works and raises the RUDD TRAVEL caution,
// which stays until both systems are ON with no fault.
// Reads: inst_adc1_powered, inst_adc2_powered, dc_normal_powered, dc_ess_powered, hyd_avail,
//        light_zone, annunciator_bright, snd_click
// Writes: fctl_rudder_limiter_sw, fctl_rudder_limiter_fault, warn_rudd_travel,
//         fctl_rudder_limiter_active
#include "air/state.h"
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"
#include "systems/systems_keys.h"

GaugeHeader gauge_rudder_travel;

namespace {
enum Pos : size_t { Background, Sys1Down, Sys1Up, Sys2Down, Sys2Up, Lamp1, Lamp2, kElements };

constexpr u32 kBmpBackground = 1094;
constexpr u32 kBmpLamp1 = 1097;
constexpr u32 kBmpLamp2 = 1100;
constexpr LightWalk kWalk{2, walk_positions({Background})};

// Fault states: none, latched by a lamp click, latched with OFF RESET selected since.
constexpr u8 kNoFault = 0, kLatched = 1, kResetArmed = 2;

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //       bitmap             x   y   start flags
    el::Static(kBmpBackground,   0,  0, Lum | Opt1),
    el::Icon(kBmpOverheadDown,  67, 39, Hid | Opt3),  // system 1 OFF RESET
    el::Icon(kBmpOverheadUp,    67, 25, Opt3),        // system 1 ON
    el::Icon(kBmpOverheadDown, 111, 39, Hid | Opt3),
    el::Icon(kBmpOverheadUp,   111, 25, Opt3),
    el::Icon(kBmpLamp1,         12, 30, Hid | Bri | Opt3),
    el::Icon(kBmpLamp2,        136, 30, Hid | Bri | Opt3),
};

template <size_t Sys>
i32 FSAPI rudder_limiter_on(MousePoint*, u32) {
    switch_to(fctl_rudder_limiter_sw[Sys], u8(1));
    if (fctl_rudder_limiter_fault[Sys] == kResetArmed) fctl_rudder_limiter_fault[Sys] = kNoFault;
    return 0;
}
template <size_t Sys>
i32 FSAPI rudder_limiter_off_reset(MousePoint*, u32) {
    switch_to(fctl_rudder_limiter_sw[Sys], u8(0));
    if (fctl_rudder_limiter_fault[Sys] == kLatched) fctl_rudder_limiter_fault[Sys] = kResetArmed;
    return 0;
}

const RectDef kRects[] = {
    //          x    y   w   h   cursor      events           action
    rect::Click( 56, 14, 31, 25, CursorHand, MouseLeftSingle, rudder_limiter_on<0>),
    rect::Click( 56, 39, 31, 25, CursorHand, MouseLeftSingle, rudder_limiter_off_reset<0>),
    rect::Click(100, 14, 31, 25, CursorHand, MouseLeftSingle, rudder_limiter_on<1>),
    rect::Click(100, 39, 31, 25, CursorHand, MouseLeftSingle, rudder_limiter_off_reset<1>),
    rect::Click( 10, 28, 42, 22, CursorHand, MouseLeftSingle, click_switch<fctl_rudder_limiter_fault, kLatched, 0>),
    rect::Click(134, 28, 42, 22, CursorHand, MouseLeftSingle, click_switch<fctl_rudder_limiter_fault, kLatched, 1>),
};

void FSAPI rudder_travel_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 189;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_rudder_travel, "ketravin rudder_travel_kr60", kWidthMm,
                                                         rudder_travel_update, kElementDefs, kRects);

void FSAPI rudder_travel_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    u8* sw = fctl_rudder_limiter_sw;
    const u8* fault = fctl_rudder_limiter_fault;
    // 1. Walk, 2. levers: drawn before 3. so that a forced switch goes down one frame later.
    light_walk(gauge.header(), kWalk);
    show_up_down(gauge, Sys1Down, sw[0] != 0);
    show_up_down(gauge, Sys2Down, sw[1] != 0);
    // 3. An unpowered air data computer turns its system off, silently.
    if (inst_adc1_powered == 0) sw[0] = 0;
    if (inst_adc2_powered == 0) sw[1] = 0;
    // 4, 5. Lamps; the caution is raised here and never dropped by a loss of power.
    for (size_t i = 0; i < 2; ++i) {
        const bool lit = (sw[i] == 0 || fault[i] != kNoFault) && dc_normal_powered == 1;
        show_if(gauge.el(Lamp1 + i), lit);
        if (lit) warn_rudd_travel = 1;
    }
    // 6. Cleared only with both systems ON and nothing latched.
    if (sw[0] == 1 && sw[1] == 1 && fault[0] == kNoFault && fault[1] == kNoFault) warn_rudd_travel = 0;
    // 7. Both off: the host hears about it every frame, whatever the power.
    if (sw[0] == 0 && sw[1] == 0) svc::send_key_event(key_fctl_event_10099, 0);
    // 8. Working with a system on, DC essential and any hydraulic circuit.
    const u32 circuits = u32(hyd_avail[0]) + hyd_avail[1] + hyd_avail[2];
    fctl_rudder_limiter_active = (sw[0] == 1 || sw[1] == 1) && dc_ess_powered == 1 && circuits > 0 ? 1 : 0;
}
}  // namespace
