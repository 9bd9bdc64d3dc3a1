// Bleed-air section of the flight engineer's panel: the APU bleed switch, both HP valve switches,
// both bleed valve switches with their MANIFOLD FAULT lamps, and the cross-bleed selector. Their
// callbacks are the bleed model: which sources deliver, the valves, each side's bleed pressure and
// temperature, the cross-bleed valve's travel and the air in each duct. Rates count frames.
// Reads: apu_running, air_ext_power_on, eng_hp_valve_open, eng_start_valve, fire_handle,
//        dc_ess_powered, light_zone, annunciator_bright
// Writes: air_apu_bleed_sw, air_apu_bleed, air_hp_source, air_lp_source, air_hp_valve_sw,
//         air_hp_valve, air_bleed_valve_sw, air_bleed_valve, air_bleed_fault, air_bleed_press,
//         air_bleed_temp, air_xbleed_sel, air_xbleed_valve, air_eng_supply, air_duct_supply
#include "air/air_panel.h"
#include "air/state.h"
#include "apu/state.h"
#include "electrical/elec_panel.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "module/lighting.h"
#include "module/switches.h"
#include "module/tokens.h"

GaugeHeader gauge_air_apugndsw;
GaugeHeader gauge_air_engsw_lh;
GaugeHeader gauge_air_engsw_rh;
GaugeHeader gauge_air_bleedvalve_lh;
GaugeHeader gauge_air_bleedvalve_rh;
GaugeHeader gauge_air_xbleed;

namespace {
constexpr u8 kOpen = 100;  // every valve byte reads 100 open, 0 shut
constexpr u8 kShut = 0;
// Switch positions as stored: the lower, upper and centre legends.
constexpr u8 kSwDown = 0, kSwUp = 1, kSwCentre = 2;
constexpr f64 kHpSourceN2 = 40.0;
constexpr f64 kLpSourceN2 = 60.0;

constexpr u32 kBmpApuFace = 6010, kBmpEngFace1 = 6011, kBmpEngFace2 = 6012, kBmpBleedFace = 6013,
              kBmpManifoldFault = 6014, kBmpXbleedFace = 6015, kBmpXbleedKnob = 6016, kBmpXbleedFault = 6017;

// ---- APU bleed and HP valve switches: face, a flow bar pair, three lever images -------------
enum SwitchPos : size_t { Face, FlowInLine, FlowCrossLine, LeverDown, LeverCentre, LeverUp, kSwitchElements };
constexpr LightWalk kSwitchWalk{kAirZone, walk_range(Face, FlowCrossLine)};

// Lever image for a three-position switch stored as down 0, up 1, centre 2.
size_t lever_image(u8 sw) { return sw == kSwDown ? 0 : sw == kSwUp ? 2 : 1; }

const ElementDef kApuElements[kSwitchElements] = {
    //       bitmap               x   y   start flags
    el::Static(kBmpApuFace,        0,  0, kAirLit),
    el::Icon(kBmpFlowBarUpright,  68, 20, kAirLitHidden),
    el::Icon(kBmpFlowBarLevel,    68, 20, kAirLitHidden),
    el::Icon(kBmpLeverDown,       30, 58, kAirLever),  // CLOSE RESET at load
    el::Icon(kBmpLeverCentre,     31, 46, kAirLeverHidden),
    el::Icon(kBmpLeverUp,         31, 30, kAirLeverHidden),
};
const ElementDef kEng1Elements[kSwitchElements] = {
    el::Static(kBmpEngFace1,       0,  0, kAirLit),
    el::Icon(kBmpFlowBarUpright,  10, 20, kAirLitHidden),
    el::Icon(kBmpFlowBarLevel,    10, 20, kAirLitHidden),
    el::Icon(kBmpLeverDown,       34, 58, kAirLeverHidden),
    el::Icon(kBmpLeverCentre,     35, 46, kAirLever),  // AUTO at load
    el::Icon(kBmpLeverUp,         35, 30, kAirLeverHidden),
};
const ElementDef kEng2Elements[kSwitchElements] = {
    el::Static(kBmpEngFace2,       0,  0, kAirLit),
    el::Icon(kBmpFlowBarUpright,  10, 20, kAirLitHidden),
    el::Icon(kBmpFlowBarLevel,    10, 20, kAirLitHidden),
    el::Icon(kBmpLeverDown,       34, 58, kAirLeverHidden),
    el::Icon(kBmpLeverCentre,     35, 46, kAirLever),  // AUTO at load
    el::Icon(kBmpLeverUp,         35, 30, kAirLeverHidden),
};

const RectDef kApuRects[] = {
    //          x   y   w   h   cursor           events           action
    rect::Click(17, 25, 48, 19, CursorUpArrow,   MouseLeftSingle, click_switch<&air_apu_bleed_sw, kSwUp>),
    rect::Click(17, 44, 48, 19, CursorHand,      MouseLeftSingle, click_switch<&air_apu_bleed_sw, kSwCentre>),
    rect::Click(17, 63, 48, 19, CursorDownArrow, MouseLeftSingle, click_switch<&air_apu_bleed_sw, kSwDown>),
};
template <size_t E>
constexpr RectDef kHpRects[3] = {
    rect::Click(21, 25, 48, 19, CursorUpArrow,   MouseLeftSingle, click_switch<air_hp_valve_sw, kSwUp, E>),
    rect::Click(21, 44, 48, 19, CursorHand,      MouseLeftSingle, click_switch<air_hp_valve_sw, kSwCentre, E>),
    rect::Click(21, 63, 48, 19, CursorDownArrow, MouseLeftSingle, click_switch<air_hp_valve_sw, kSwDown, E>),
};

void FSAPI bleed_sources_update(GaugeHeader*, i32 service, u32);
template <size_t E>
void FSAPI hp_valve_update(GaugeHeader*, i32 service, u32);

using SwitchGauge = Gauge<kSwitchElements, 3>;
SwitchGauge apu_gauge(gauge_air_apugndsw, "ketravin air_apugndsw_kr60", 89, bleed_sources_update, kApuElements,
                      kApuRects);
SwitchGauge hp_gauges[2] = {
    {gauge_air_engsw_lh, "ketravin air_engsw_lh_kr60", 89, hp_valve_update<0>, kEng1Elements, kHpRects<0>},
    {gauge_air_engsw_rh, "ketravin air_engsw_rh_kr60", 89, hp_valve_update<1>, kEng2Elements, kHpRects<1>},
};

// Flow bar from the valve byte (in line while open, with power), and the lever.
void show_switch(SwitchGauge& g, u8 valve, u8 sw) {
    show_flow_bar(g, FlowInLine, dc_ess_powered == 1, valve == kOpen);
    show_one_of(g, LeverDown, 3, lever_image(sw));
}

// ---- sources ------------------------------------------------------------------------------------
// APU air with the APU on speed and its switch at OPEN or AUTO (they act alike).
u8 apu_bleed() {
    return apu_running == 1 && (air_apu_bleed_sw == kSwUp || air_apu_bleed_sw == kSwCentre) ? kOpen : kShut;
}
// HP port: HP fuel lever open, start valve shut, N2 at 40; LP port: N2 at 60. NaN fails both.
void engine_sources(size_t e, f64 n2) {
    air_hp_source[e] = eng_hp_valve_open[e] == 1 && eng_start_valve[e] == 0 && n2 >= kHpSourceN2 ? 1 : 0;
    air_lp_source[e] = n2 >= kLpSourceN2 ? 1 : 0;
}

// The bar shows the previous frame's APU bleed: it is set before the bleed is recomputed.
void FSAPI bleed_sources_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(apu_gauge.header(), kSwitchWalk);
    show_switch(apu_gauge, air_apu_bleed, air_apu_bleed_sw);
    air_apu_bleed = apu_bleed();
    const f64 n2_1 = tok_read(tok_eng1_n2);
    const f64 n2_2 = tok_read(tok_eng2_n2);
    engine_sources(0, n2_1);
    engine_sources(1, n2_2);
}

// HIGH follows the HP port alone; AUTO shuts the HP valve once the LP port delivers.
u8 hp_valve(size_t e) {
    const bool hp = air_hp_source[e] == 1;
    switch (air_hp_valve_sw[e]) {
        case kSwUp: return hp ? kOpen : kShut;
        case kSwCentre: return hp && air_lp_source[e] == 0 ? kOpen : kShut;
        default: return kShut;
    }
}

template <size_t E>
void FSAPI hp_valve_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    SwitchGauge& g = hp_gauges[E];
    light_walk(g.header(), kSwitchWalk);
    show_switch(g, air_hp_valve[E], air_hp_valve_sw[E]);  // last frame's valve
    air_hp_valve[E] = hp_valve(E);
}

// ---- bleed valves: face, three lever images, the MANIFOLD FAULT lamp ----------------------------
enum BleedPos : size_t { BleedFace, BleedLeverDown, BleedLeverCentre, BleedLeverUp, LampManifoldFault, kBleedCount };
constexpr LightWalk kBleedWalk{kAirZone, walk_positions({BleedFace})};

const ElementDef kBleedElements[kBleedCount] = {
    //       bitmap              x   y   start flags
    el::Static(kBmpBleedFace,     0,  0, kAirLit),
    el::Icon(kBmpLeverDown,      54, 46, kAirLeverHidden),
    el::Icon(kBmpLeverCentre,    55, 34, kAirLever),  // A. at load
    el::Icon(kBmpLeverUp,        55, 18, kAirLeverHidden),
    el::Icon(kBmpManifoldFault,   0, 45, kAirLamp),
};

// CLOSE RESET also clears the fault, even when the switch already stood there.
template <size_t E>
i32 FSAPI bleed_close_reset(MousePoint*, u32) {
    switch_to(air_bleed_valve_sw[E], kSwDown);
    air_bleed_fault[E] = 0;
    return 0;
}
// The lamp itself raises the fault, with power only, silently; nothing but CLOSE RESET clears it.
template <size_t E>
i32 FSAPI manifold_fault_click(MousePoint*, u32) {
    if (dc_ess_powered == 1) air_bleed_fault[E] = 1;
    return 0;
}
template <size_t E>
constexpr RectDef kBleedRects[4] = {
    //          x   y   w   h   cursor           events           action
    rect::Click(41, 13, 48, 19, CursorUpArrow,   MouseLeftSingle, click_switch<air_bleed_valve_sw, kSwUp, E>),
    rect::Click(41, 32, 48, 19, CursorHand,      MouseLeftSingle, click_switch<air_bleed_valve_sw, kSwCentre, E>),
    rect::Click(41, 51, 48, 19, CursorDownArrow, MouseLeftSingle, bleed_close_reset<E>),
    rect::Click(0,  45, 38, 18, CursorHand,      MouseLeftSingle, manifold_fault_click<E>),
};

template <size_t E>
void FSAPI bleed_valve_update(GaugeHeader*, i32 service, u32);
using BleedGauge = Gauge<kBleedCount, 4>;
BleedGauge bleed_gauges[2] = {
    {gauge_air_bleedvalve_lh, "ketravin air_bleedvalve_lh_kr60", 127, bleed_valve_update<0>, kBleedElements,
     kBleedRects<0>},
    {gauge_air_bleedvalve_rh, "ketravin air_bleedvalve_rh_kr60", 127, bleed_valve_update<1>, kBleedElements,
     kBleedRects<1>},
};

// The bleed valve follows the HP port, not the HP valve; a fire handle past its first position
// shuts it, and in A. the APU or ground air shuts it too.
u8 bleed_valve(size_t e) {
    const bool can_open = air_hp_source[e] == 1 && fire_handle[e] <= 1;
    switch (air_bleed_valve_sw[e]) {
        case kSwUp: return can_open ? kOpen : kShut;
        case kSwCentre: return can_open && air_apu_bleed != kOpen && air_ext_power_on != 1 ? kOpen : kShut;
        default: return kShut;
    }
}

// Pressure (tenths of a psi) and temperature (tenths of a degree) per frame: up by 5 and 5 while
// the valve delivers, down by 5 and 1 otherwise.
constexpr u16 kPressFull = 400, kPressStep = 5;
constexpr u16 kTempFull = 1500, kTempRise = 5, kTempFall = 1;
void bleed_models(size_t e) {
    u16& p = air_bleed_press[e];
    u16& t = air_bleed_temp[e];
    if (air_hp_source[e] == 1 && air_bleed_valve[e] == kOpen) {
        p = p >= kPressFull - kPressStep ? kPressFull : u16(p + kPressStep);
        t = t >= kTempFull ? kTempFull : u16(t + kTempRise);
    } else {
        p = p <= kPressStep ? 0 : u16(p - kPressStep);
        t = t <= kTempFall ? 0 : u16(t - kTempFall);
    }
}

template <size_t E>
void FSAPI bleed_valve_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    BleedGauge& g = bleed_gauges[E];
    light_walk(g.header(), kBleedWalk);
    show_one_of(g, BleedLeverDown, 3, lever_image(air_bleed_valve_sw[E]));
    air_bleed_valve[E] = bleed_valve(E);
    bleed_models(E);
    show_if(g.el(LampManifoldFault), dc_ess_powered == 1 && air_bleed_fault[E] == 1);
}

// ---- cross-bleed selector: face, knob, FAULT lamp ------------------------------------------------
enum XbleedPos : size_t { XbleedFace, XbleedKnob, LampXbleedFault, kXbleedCount };
constexpr LightWalk kXbleedWalk{kAirZone, walk_positions({XbleedFace})};
constexpr u8 kSelClose = 0, kSelOpen = 3;

f64 FSAPI xbleed_selector_needle(ElementHeader*) { return selector_bounded(air_xbleed_sel, kSelOpen); }

// Knob points at CLOSE, AUTO NORM, AUTO ALT and O; it jumps, with no speed limit.
NonlinearityPoint xbleed_points[] = {{0, 0, 0, 327}, {0, 0, 1, 0}, {0, 0, 2, 36}, {0, 0, 3, 56}};
constexpr i32 kKnobCx = 31, kKnobCy = 90;

const ElementDef kXbleedElements[kXbleedCount] = {
    //       bitmap              x   y   start flags
    el::Static(kBmpXbleedFace,    0,  0, kAirLit),
    el::Needle(kBmpXbleedKnob, kKnobCx, kKnobCy, kAirLever, xbleed_selector_needle).pivot(12, 12).table(xbleed_points),
    el::Icon(kBmpXbleedFault,    19, 20, kAirLamp),
};

i32 FSAPI xbleed_down(MousePoint*, u32) {
    selector_down(air_xbleed_sel);
    return 0;
}
i32 FSAPI xbleed_up(MousePoint*, u32) {
    selector_up(air_xbleed_sel, kSelOpen);
    return 0;
}
const RectDef kXbleedRects[] = {
    rect::Click(1,  43, 31, 97, CursorDownArrow, MouseLeftSingle, xbleed_down),
    rect::Click(32, 43, 31, 97, CursorUpArrow,   MouseLeftSingle, xbleed_up),
};

void FSAPI crossbleed_update(GaugeHeader*, i32 service, u32);
Gauge<kXbleedCount, 2> xbleed_gauge(gauge_air_xbleed, "ketravin air_xbleed_kr60", 63, crossbleed_update,
                                       kXbleedElements, kXbleedRects);
struct XbleedDial {
    XbleedDial() { air_dial_points(xbleed_points, kKnobCx, kKnobCy, 20.0); }
} xbleed_dial;

// In the automatic positions the valve opens for one engine side alone or for outside air.
bool xbleed_wants_open(bool l, bool r, bool external) {
    switch (air_xbleed_sel) {
        case kSelClose: return false;
        case kSelOpen: return true;
        default: return (l != r) || external;
    }
}
// One frame of travel: 96 frames end to end, the last step jumping from 95 (or 5) to the stop.
constexpr u8 kTravelStep = 1, kTravelSnap = 5;
u8 xbleed_step(u8 v, bool open) {
    if (open) return v >= kOpen - kTravelSnap ? kOpen : u8(v + kTravelStep);
    return v <= kTravelSnap ? kShut : u8(v - kTravelStep);
}

void FSAPI crossbleed_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(xbleed_gauge.header(), kXbleedWalk);
    // 1. what each engine delivers to its bleed valve
    for (size_t e = 0; e < 2; ++e)
        air_eng_supply[e] = (air_hp_source[e] == 1 && air_hp_valve[e] == kOpen) || air_lp_source[e] == 1 ? 1 : 0;
    // 2. each side through its bleed valve, and outside air (APU or ground) on the left
    const bool l = air_eng_supply[0] == 1 && air_bleed_valve[0] == kOpen;
    const bool r = air_eng_supply[1] == 1 && air_bleed_valve[1] == kOpen;
    const bool external = air_apu_bleed == kOpen || air_ext_power_on == 1;
    // 3. the valve moves only with power
    const bool powered = dc_ess_powered == 1;
    if (powered) air_xbleed_valve = xbleed_step(air_xbleed_valve, xbleed_wants_open(l, r, external));
    // 4. FAULT while travelling, after this frame's step
    show_if(xbleed_gauge.el(LampXbleedFault), powered && air_xbleed_valve > kShut && air_xbleed_valve < kOpen);
    // 5. air crosses only a fully open valve
    const bool crossing = air_xbleed_valve == kOpen;
    air_duct_supply[0] = l || external || (r && crossing) ? 1 : 0;
    air_duct_supply[1] = r || ((l || external) && crossing) ? 1 : 0;
}
}  // namespace
