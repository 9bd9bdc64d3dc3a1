// "ketravin engfire_levers_kr60": the engine fire panel. Per engine a handle under its guard (lift,
// pull, turn to AGENT 1 or AGENT 2), its plate lit by the fire warning, two bottle bars; between
// the bases FIRE BELL CANCEL. Pulling shuts the engine's pump fire valves and tank shut-off switch;
// an agent position discharges its bottle once, with DC essential power.
// Reads: warn_fire, dc_ess_powered, mwp_aural_cancel, light_zone, annunciator_bright
// Writes: fire_handle, fire_eng_agent_full, hyd_pump_fire_valve, fire_bell_cutout,
//         fuel_shutoff_valve_sw, fire_eng1_state, fire_eng2_state
#include <initializer_list>

#include "electrical/state.h"
#include "engines/state.h"
#include "fuel/state.h"
#include "lighting/state.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/services.h"
#include "warnings/state.h"

GaugeHeader gauge_engfire_levers;

namespace {
// Per engine, from its first element: guard open, plate lit at the top, pulled, plate at the base,
// plate lit at the base, plate at AGENT 1, plate at AGENT 2.
enum HandlePos : size_t { GuardOpen, TopPlateLit, Pulled, BasePlate, BasePlateLit, Agent1Plate, Agent2Plate, kHandleImages };
enum Pos : size_t { Background, Overlay, Engine1 = 2, Engine2 = Engine1 + kHandleImages, Bars = Engine2 + kHandleImages,
                    kElements = Bars + 4 };

enum Handle : u8 { HandleStowed, HandleLifted, HandlePulled, HandleAgent1, HandleAgent2 };
constexpr u8 kOpen = 1, kShut = 0;
constexpr u8 kFireDetected = 1, kAgentDischarged = 2;

constexpr u32 kWidthMm = 414;
constexpr u32 kBmpBackground = 5235, kBmpOverlay = 5238, kBmpGuardOpen = 5251, kBmpPlateLit = 5244, kBmpPulled = 5248,
              kBmpPlate = 5241, kBmpBar = 268;
constexpr u32 kHid = ImageHidden, kLit = ImageBright;

const ElementDef kElementDefs[kElements] = {
    //         bitmap            x    y   start flags
    el::Static(kBmpBackground,   0,   0),
    el::Icon(kBmpOverlay,        0,   0),
    // engine 1
    el::Icon(kBmpGuardOpen,     82,  17, kHid),
    el::Icon(kBmpPlateLit,      97, 110, kHid | kLit),
    el::Icon(kBmpPulled,        82,  17, kHid),
    el::Icon(kBmpPlate,         97, 254, kHid),
    el::Icon(kBmpPlateLit,      97, 254, kHid | kLit),
    el::Icon(kBmpPlate,         79, 275, kHid),
    el::Icon(kBmpPlate,        115, 275, kHid),
    // engine 2
    el::Icon(kBmpGuardOpen,    223,  17, kHid),
    el::Icon(kBmpPlateLit,     238, 110, kHid | kLit),
    el::Icon(kBmpPulled,       223,  17, kHid),
    el::Icon(kBmpPlate,        238, 254, kHid),
    el::Icon(kBmpPlateLit,     238, 254, kHid | kLit),
    el::Icon(kBmpPlate,        220, 275, kHid),
    el::Icon(kBmpPlate,        256, 275, kHid),
    // bottle bars: engine 1 AGENT 1, AGENT 2, engine 2 AGENT 1, AGENT 2
    el::Icon(kBmpBar,           82, 284),
    el::Icon(kBmpBar,          176, 284),
    el::Icon(kBmpBar,          223, 284),
    el::Icon(kBmpBar,          317, 284),
};

// ---- Handle moves (silent, no power needed) ------------------------------------------------------
template <size_t E>
i32 FSAPI fire_handle_toggle(MousePoint*, u32) {
    fire_handle[E] = fire_handle[E] == HandleStowed ? HandleLifted : HandleStowed;
    return 0;
}
template <size_t E>
i32 FSAPI fire_handle_pull(MousePoint*, u32) {
    if (fire_handle[E] != HandleStowed) fire_handle[E] = HandlePulled;
    return 0;
}
template <size_t E>
i32 FSAPI fire_handle_turn_agent1(MousePoint*, u32) {
    if (fire_handle[E] == HandlePulled) fire_handle[E] = HandleAgent1;
    return 0;
}
template <size_t E>
i32 FSAPI fire_handle_turn_agent2(MousePoint*, u32) {
    if (fire_handle[E] == HandlePulled) fire_handle[E] = HandleAgent2;
    return 0;
}
// Latches only while an engine fire warning is on and the aural cancel is off; the next click
// releases it.
i32 FSAPI fire_bell_cutout_push(MousePoint*, u32) {
    const bool engine_fire = u32(warn_fire[0]) + warn_fire[1] >= 1;
    fire_bell_cutout = fire_bell_cutout != 0 || mwp_aural_cancel == 1 || !engine_fire ? 0 : 1;
    return 0;
}

const RectDef kRects[] = {
    //          x    y    w    h   cursor         events           action
    rect::Click(72,  55, 129, 138, CursorHand,    MouseLeftSingle, fire_handle_toggle<0>),
    rect::Click(213, 55, 129, 138, CursorHand,    MouseLeftSingle, fire_handle_toggle<1>),
    rect::Click(103, 229, 68, 78, CursorHand,     MouseLeftSingle, fire_handle_pull<0>),
    rect::Click(68,  264, 35, 43, CursorUpArrow,  MouseLeftSingle, fire_handle_turn_agent1<0>),
    rect::Click(171, 264, 35, 43, CursorUpArrow,  MouseLeftSingle, fire_handle_turn_agent2<0>),
    rect::Click(244, 229, 68, 78, CursorHand,     MouseLeftSingle, fire_handle_pull<1>),
    rect::Click(209, 264, 35, 43, CursorUpArrow,  MouseLeftSingle, fire_handle_turn_agent1<1>),
    rect::Click(312, 264, 35, 43, CursorUpArrow,  MouseLeftSingle, fire_handle_turn_agent2<1>),
    rect::Click(188, 214, 38, 38, CursorHand,     MouseLeftSingle, fire_bell_cutout_push),
};

void FSAPI engfire_levers_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_engfire_levers, "ketravin engfire_levers_kr60",
                                                         kWidthMm, engfire_levers_update, kElementDefs, kRects);

// This panel's lighting runs the bright step the other way round (1 luminous, 0 bright) and
// touches only the overlay and the bars.
void light_overlay_and_bars() {
    u32 set = 0;
    if (light_zone[2] == 1) set = annunciator_bright == 1 ? ImageLuminous : ImageBright;
    for (size_t pos : {size_t(Overlay), size_t(Bars), size_t(Bars + 1), size_t(Bars + 2), size_t(Bars + 3)}) {
        ElementHeader* e = gauge.el(pos);
        e->image_flags = (e->image_flags & ~(ImageLuminous | ImageBright)) | set;
    }
}

struct Engine {
    size_t first;         // first handle image
    u8& state;            // fire state, shared with the master warning panel
    size_t valves;        // first of the engine's two pump fire valves
    size_t bottles;       // first of the engine's two bottles
};
const Engine kEngines[2] = {{Engine1, fire_eng1_state, 0, 0}, {Engine2, fire_eng2_state, 2, 2}};

// A bottle goes once, with DC essential power, whether or not there is a fire.
void discharge(const Engine& e, size_t bottle) {
    if (dc_ess_powered != 1 || fire_eng_agent_full[bottle] != 1) return;
    svc::send_key_event(key_engfire_discharge, 0);
    e.state = kAgentDischarged;
    fire_eng_agent_full[bottle] = 0;
}

void handle_frame(size_t i) {
    const Engine& e = kEngines[i];
    auto show = [&](size_t image, bool shown) { show_if(gauge.el(e.first + image), shown); };
    const bool plate_lit = dc_ess_powered == 1 && warn_fire[i] == kFireDetected;
    const u8 h = fire_handle[i];
    show(GuardOpen, h == HandleLifted);
    show(TopPlateLit, h != HandlePulled && h != HandleAgent1 && h != HandleAgent2 && plate_lit);
    show(Pulled, h == HandlePulled || h == HandleAgent1 || h == HandleAgent2);
    show(BasePlate, h == HandlePulled);
    show(BasePlateLit, h == HandlePulled && plate_lit);
    show(Agent1Plate, h == HandleAgent1);
    show(Agent2Plate, h == HandleAgent2);
    if (h == HandlePulled) {
        hyd_pump_fire_valve[e.valves] = hyd_pump_fire_valve[e.valves + 1] = kShut;
        fuel_shutoff_valve_sw[i] = kShut;
    } else if (h == HandleAgent1 || h == HandleAgent2) {
        discharge(e, e.bottles + (h == HandleAgent1 ? 0 : 1));  // valves and tank switch as the pull left them
    } else {
        hyd_pump_fire_valve[e.valves] = hyd_pump_fire_valve[e.valves + 1] = kOpen;
    }
}

void FSAPI engfire_levers_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_overlay_and_bars();  // 2
    handle_frame(0);           // 3
    handle_frame(1);           // 4-5
    for (size_t b = 0; b < 4; ++b) show_if(gauge.el(Bars + b), fire_eng_agent_full[b] != 0);  // 6
}
}  // namespace
