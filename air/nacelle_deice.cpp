// Nacelle anti-ice panel of the overhead: VALVE OPEN / CLOSE switch and VALVE DISAGR. caption for
// each engine. A valve takes 27 ticks to open, caption lit meanwhile, and shuts at once; the
// host's engine anti-ice flag is kept on only while the valve is open and the engine's duct has air.
// Reads: dc_normal_powered, air_duct_supply, light_zone, annunciator_bright, snd_click, tok_tick18,
//        tok_eng1_anti_ice, tok_eng2_anti_ice
// Writes: aice_nacelle_sw, aice_nacelle_valve, aice_nacelle_valve_deadline
#include "air/anti_ice_keys.h"
#include "air/state.h"
#include "electrical/state.h"
#include "module/deadline.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"

GaugeHeader gauge_nacelle_deice;

namespace {
enum Pos : size_t { Background, Eng1Down, Eng1Up, Eng2Down, Eng2Up, Eng1Disagree, Eng2Disagree, kElements };

constexpr u8 kClose = 0, kValveOpen = 1;
// Valve states.
constexpr u8 kShut = 0, kOpen = 1, kInTransit = 2;
constexpr u32 kTransitTicks = 27;  // 1.5 s of the 18 Hz counter

constexpr u32 kBmpBackground = 1120;
constexpr u32 kBmpDisagree = 1123;
constexpr LightWalk kWalk{2, walk_positions({Background})};

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //       bitmap             x   y   start flags
    el::Static(kBmpBackground,   0,  0, Lum | Opt1),
    el::Icon(kBmpOverheadDown,  37, 78, Opt3),        // engine 1 CLOSE
    el::Icon(kBmpOverheadUp,    37, 63, Hid | Opt3),  // engine 1 VALVE OPEN
    el::Icon(kBmpOverheadDown, 142, 78, Opt3),
    el::Icon(kBmpOverheadUp,   142, 63, Hid | Opt3),
    el::Icon(kBmpDisagree,      22, 29, Hid | Bri | Opt3),
    el::Icon(kBmpDisagree,     126, 29, Hid | Bri | Opt3),
};

const RectDef kRects[] = {
    //          x    y   w   h   cursor      events           action
    rect::Click( 17, 57, 49, 21, CursorHand, MouseLeftSingle, click_switch<aice_nacelle_sw, kValveOpen, 0>),
    rect::Click( 17, 78, 49, 21, CursorHand, MouseLeftSingle, click_switch<aice_nacelle_sw, kClose, 0>),
    rect::Click(121, 57, 49, 21, CursorHand, MouseLeftSingle, click_switch<aice_nacelle_sw, kValveOpen, 1>),
    rect::Click(121, 78, 49, 21, CursorHand, MouseLeftSingle, click_switch<aice_nacelle_sw, kClose, 1>),
};

constexpr u32 kToggle[2] = {key_eng1_antiice_toggle, key_eng2_antiice_toggle};

// One engine's valve and host flag, in the order the steps must run.
void valve_and_host(size_t i, f64 host, f64 tick, bool dc_normal) {
    u8& valve = aice_nacelle_valve[i];
    u32& deadline = aice_nacelle_valve_deadline[i];
    const bool wants_open = aice_nacelle_sw[i] == kValveOpen;
    // a. Start of opening; an unreadable clock starts nothing.
    if (wants_open && valve == kShut && dc_normal && std::isfinite(tick)) {
        deadline = deadline_arm(tick, kTransitTicks);
        valve = kInTransit;
    }
    // b. End of opening. A deadline left ahead by a clock set back re-arms from now.
    if (wants_open && valve == kInTransit && dc_normal && deadline_reached(deadline, tick, kTransitTicks))
        valve = kOpen;
    // c. Shutting is immediate.
    if (!wants_open || !dc_normal) valve = kShut;
    // d. The host's flag: on only with the valve open and duct air; exact values only.
    const bool want_host_on = valve == kOpen && air_duct_supply[i] == 1;
    if (want_host_on ? host == 0.0 : host == 1.0) svc::send_key_event(kToggle[i], 0);
}

void FSAPI nacelle_aice_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 184;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_nacelle_deice, "ketravin nacelle_deice_kr60", kWidthMm,
                                                         nacelle_aice_update, kElementDefs, kRects);

void FSAPI nacelle_aice_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Walk, 2. switches.
    light_walk(gauge.header(), kWalk);
    show_up_down(gauge, Eng1Down, aice_nacelle_sw[0] == kValveOpen);
    show_up_down(gauge, Eng2Down, aice_nacelle_sw[1] == kValveOpen);
    // 3, 4. Valves and host flags, engine 1 first.
    const f64 tick = tok_read(tok_tick18);
    const bool dc_normal = dc_normal_powered == 1;
    const f64 host[2] = {tok_read(tok_eng1_anti_ice), tok_read(tok_eng2_anti_ice)};
    for (size_t i = 0; i < 2; ++i) valve_and_host(i, host[i], tick, dc_normal);
    // 5. VALVE DISAGR. while in transit.
    for (size_t i = 0; i < 2; ++i) show_if(gauge.el(Eng1Disagree + i), aice_nacelle_valve[i] == kInTransit && dc_normal);
}
}  // namespace
