// DC and AC bus panels of the flight engineer's electrical panel: the TR, DC TIE, LINE and TRANS
// switches, the AC ESS BUS source selector, the bus flow bars and OFF lamps. The network does
// the computing; these gauges set its switches and show its result.
// Reads: dc_ess_powered, dc_normal_powered, elec_tr_output, elec_dc_ess_via_tie,
//        elec_trans_closed, elec_ac_bus1_powered, elec_ac_bus2_powered, elec_ess_ac_powered,
//        elec_ess_ac_on_alternate, light_zone, annunciator_bright
// Writes: elec_tr_sw, elec_dc_tie_sw, elec_line_sw, elec_trans_sw, elec_ess_ac_source_sel,
//         warn_ac_fault
#include "electrical/state.h"
#include "electrical/elec_panel.h"
#include "module/lighting.h"
#include "module/switches.h"

GaugeHeader gauge_elec_dc_bus;
GaugeHeader gauge_elec_ac_bus;

namespace {
// Toggle positions of the bus panel switches: 1 ON / NORM, 0 OFF (RESET) / SPLIT.
constexpr u8 kSwOff = 0, kSwOn = 1;

// ---- DC panel --------------------------------------------------------------------------------
namespace dc {
enum Pos : size_t {
    Background,
    TieInLine, TieCrossLine,
    Tr1Down, Tr1Up,
    Tr2Down, Tr2Up,
    EssTrDown, EssTrUp,
    TieSplit, TieNorm,
    LampTr1Off, LampTr2Off, LampEssTrOff,
    kElements
};
constexpr u32 kBmpBackground = 5307;
constexpr u32 kBmpLampTr1Off = 5308;
constexpr u32 kBmpLampTr2Off = 5309;
constexpr u32 kBmpLampEssTrOff = 5310;
constexpr size_t kTr1 = 0, kTr2 = 1, kEssTr = 2;

constexpr LightWalk kWalk{4, walk_range(Background, TieCrossLine)};

const ElementDef kElementDefs[kElements] = {
    //       bitmap                x    y   start flags
    el::Static(kBmpBackground,      0,   0, kFlagsBackground),
    el::Icon(kBmpFlowBarUpright,   92,  32, kFlagsFlowBarHidden),  // DC normal to DC ess, in line
    el::Icon(kBmpFlowBarLevel,     92,  32, kFlagsFlowBarHidden),  // cross line
    el::Icon(kBmpLeverDown,        27,  87, kFlagsLeverHidden),    // TR 1 OFF RESET
    el::Icon(kBmpLeverUp,          27,  72, kFlagsLeverHidden),    // TR 1 ON
    el::Icon(kBmpLeverDown,       161,  87, kFlagsLeverHidden),    // TR 2
    el::Icon(kBmpLeverUp,         161,  72, kFlagsLeverHidden),
    el::Icon(kBmpLeverDown,        94,  87, kFlagsLeverHidden),    // ESS TR
    el::Icon(kBmpLeverUp,          94,  72, kFlagsLeverHidden),
    el::Icon(kBmpSwitchDown,      134,  40, kFlagsLeverHidden),    // DC TIE SPLIT
    el::Icon(kBmpSwitchUp,        135,  18, kFlagsLeverHidden),    // DC TIE NORM
    el::Icon(kBmpLampTr1Off,       12, 110, kFlagsLampHidden),
    el::Icon(kBmpLampTr2Off,      146, 110, kFlagsLampHidden),
    el::Icon(kBmpLampEssTrOff,     79, 110, kFlagsLampHidden),
};

const RectDef kRects[] = {
    //          x    y   w   h   cursor      events           action
    rect::Click(12,  49, 39, 39, CursorHand, MouseLeftSingle, click_switch<elec_tr_sw, kSwOn, kTr1>),
    rect::Click(12,  88, 39, 39, CursorHand, MouseLeftSingle, click_switch<elec_tr_sw, kSwOff, kTr1>),
    rect::Click(79,  49, 39, 39, CursorHand, MouseLeftSingle, click_switch<elec_tr_sw, kSwOn, kEssTr>),
    rect::Click(79,  88, 39, 39, CursorHand, MouseLeftSingle, click_switch<elec_tr_sw, kSwOff, kEssTr>),
    rect::Click(155, 49, 30, 39, CursorHand, MouseLeftSingle, click_switch<elec_tr_sw, kSwOn, kTr2>),
    rect::Click(155, 88, 30, 39, CursorHand, MouseLeftSingle, click_switch<elec_tr_sw, kSwOff, kTr2>),
    rect::Click(125,  0, 30, 39, CursorHand, MouseLeftSingle, click_switch<&elec_dc_tie_sw, kSwOn, 0>),
    rect::Click(125, 39, 30, 39, CursorHand, MouseLeftSingle, click_switch<&elec_dc_tie_sw, kSwOff, 0>),
};

void FSAPI dc_bus_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 191;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_elec_dc_bus, "ketravin elec_dc_bus_kr60", kWidthMm,
                                                         dc_bus_update, kElementDefs, kRects);

void FSAPI dc_bus_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. lighting
    light_walk(gauge.header(), kWalk);
    // 2. toggles
    show_lever_pair(gauge, Tr1Down, Tr1Up, elec_tr_sw[kTr1] != kSwOff);
    show_lever_pair(gauge, Tr2Down, Tr2Up, elec_tr_sw[kTr2] != kSwOff);
    show_lever_pair(gauge, EssTrDown, EssTrUp, elec_tr_sw[kEssTr] != kSwOff);
    show_lever_pair(gauge, TieSplit, TieNorm, elec_dc_tie_sw != kSwOff);
    // 3. tie flow bar
    const bool dc_ess = dc_ess_powered == 1;
    show_flow_bar(gauge, TieInLine, dc_ess, elec_dc_tie_sw == kSwOn && elec_dc_ess_via_tie == 1);
    // 4. TR OFF lamps, powered by the DC essential bus
    show_if(gauge.el(LampTr1Off), dc_ess && elec_tr_output[kTr1] == 0);
    show_if(gauge.el(LampTr2Off), dc_ess && elec_tr_output[kTr2] == 0);
    show_if(gauge.el(LampEssTrOff), dc_ess && elec_tr_output[kEssTr] == 0);
}
}  // namespace dc

// ---- AC panel --------------------------------------------------------------------------------
namespace ac {
enum Pos : size_t {
    Background,
    EmergInLine, EmergCrossLine,
    Trans1InLine, Trans1CrossLine,
    Trans2InLine, Trans2CrossLine,
    Line1Down, Line1Up,
    Line2Down, Line2Up,
    Trans1Down, Trans1Up,
    Trans2Down, Trans2Up,
    LampAcBus1Off, LampAcBus2Off, LampAcEssBusOff,
    SelectorKnob,
    kElements
};
constexpr u32 kBmpBackground = 5311;
constexpr u32 kBmpLampAcBus1Off = 5312;
constexpr u32 kBmpLampAcBus2Off = 5313;
constexpr u32 kBmpLampAcEssBusOff = 5314;

// AC ESS BUS source selector: 0 GEN 2, 1 GEN 1, 2 NORM, 3 APU GEN, 4 EMERG INV.
constexpr u8 kSelectorLast = 4;

constexpr LightWalk kWalk{4, walk_range(Background, Trans2CrossLine)};

f64 FSAPI ess_ac_selector_value(ElementHeader*) { return selector_bounded(elec_ess_ac_source_sel, kSelectorLast); }

// Where the knob points for each source (the host fills the angles, so the table is writable).
NonlinearityPoint selector_points[] = {
    {125, 110, 0.0, 0.0},  // GEN 2
    {115, 121, 1.0, 0.0},  // GEN 1
    {98, 126, 2.0, 0.0},   // NORM
    {82, 121, 3.0, 0.0},   // APU GEN
    {72, 110, 4.0, 0.0},   // EMERG INV
};

const ElementDef kElementDefs[kElements] = {
    //       bitmap                x    y   start flags
    el::Static(kBmpBackground,      0,   0, kFlagsBackground),
    el::Icon(kBmpFlowBarUpright,  139,  41, kFlagsFlowBarHidden),  // AC ESS BUS to EMERG, in line
    el::Icon(kBmpFlowBarLevel,    139,  41, kFlagsFlowBarHidden),
    el::Icon(kBmpFlowBarLevel,     66, 178, kFlagsFlowBarHidden),  // transfer contactor 1, in line
    el::Icon(kBmpFlowBarUpright,   66, 178, kFlagsFlowBarHidden),
    el::Icon(kBmpFlowBarLevel,    116, 178, kFlagsFlowBarHidden),  // transfer contactor 2
    el::Icon(kBmpFlowBarUpright,  116, 178, kFlagsFlowBarHidden),
    el::Icon(kBmpLeverDown,        27, 221, kFlagsLeverHidden),    // LINE 1 OFF
    el::Icon(kBmpLeverUp,          27, 207, kFlagsLever),          // LINE 1 NORM
    el::Icon(kBmpLeverDown,       161, 221, kFlagsLeverHidden),    // LINE 2
    el::Icon(kBmpLeverUp,         161, 207, kFlagsLever),
    el::Icon(kBmpLeverDown,        66, 221, kFlagsLeverHidden),    // TRANS 1
    el::Icon(kBmpLeverUp,          66, 207, kFlagsLever),
    el::Icon(kBmpLeverDown,       123, 221, kFlagsLeverHidden),    // TRANS 2
    el::Icon(kBmpLeverUp,         123, 207, kFlagsLever),
    el::Icon(kBmpLampAcBus1Off,    12, 134, kFlagsLampHidden),
    el::Icon(kBmpLampAcBus2Off,   146, 134, kFlagsLampHidden),
    el::Icon(kBmpLampAcEssBusOff,  79,   0, kFlagsLampHidden),
    el::Needle(kBmpSelectorPointer, 98, 96, kFlagsLever, ess_ac_selector_value)
        .pivot(kSelectorPivot, kSelectorPivot)
        .table(selector_points),
};

i32 FSAPI ess_ac_selector_down(MousePoint*, u32) {
    selector_down(elec_ess_ac_source_sel);
    return 0;
}
i32 FSAPI ess_ac_selector_up(MousePoint*, u32) {
    selector_up(elec_ess_ac_source_sel, kSelectorLast);
    return 0;
}

const RectDef kRects[] = {
    //          x    y    w   h   cursor           events           action
    rect::Click(16,  192, 31, 28, CursorHand,      MouseLeftSingle, click_switch<elec_line_sw, kSwOn, 0>),
    rect::Click(16,  220, 31, 28, CursorHand,      MouseLeftSingle, click_switch<elec_line_sw, kSwOff, 0>),
    rect::Click(150, 192, 31, 28, CursorHand,      MouseLeftSingle, click_switch<elec_line_sw, kSwOn, 1>),
    rect::Click(150, 220, 31, 28, CursorHand,      MouseLeftSingle, click_switch<elec_line_sw, kSwOff, 1>),
    rect::Click(55,  192, 31, 28, CursorHand,      MouseLeftSingle, click_switch<elec_trans_sw, kSwOn, 0>),
    rect::Click(55,  220, 31, 28, CursorHand,      MouseLeftSingle, click_switch<elec_trans_sw, kSwOff, 0>),
    rect::Click(111, 192, 31, 28, CursorHand,      MouseLeftSingle, click_switch<elec_trans_sw, kSwOn, 1>),
    rect::Click(111, 220, 31, 28, CursorHand,      MouseLeftSingle, click_switch<elec_trans_sw, kSwOff, 1>),
    rect::Click(29,   48, 70, 95, CursorDownArrow, MouseLeftSingle, ess_ac_selector_down),
    rect::Click(99,   48, 70, 95, CursorUpArrow,   MouseLeftSingle, ess_ac_selector_up),
};

void FSAPI ac_bus_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 195;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_elec_ac_bus, "ketravin elec_ac_bus_kr60", kWidthMm,
                                                         ac_bus_update, kElementDefs, kRects);

// An AC bus OFF lamp lights on a dead bus while its lamp supply is live, and raises the AC
// fault; only the network clears the fault.
void bus_off_lamp(size_t lamp, bool bus_dead, bool lamp_supply) {
    const bool lit = bus_dead && lamp_supply;
    if (lit) warn_ac_fault = 1;
    show_if(gauge.el(lamp), lit);
}

void FSAPI ac_bus_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    const bool dc_normal = dc_normal_powered == 1, dc_ess = dc_ess_powered == 1;
    // 1. lighting
    light_walk(gauge.header(), kWalk);
    // 2. toggles
    show_lever_pair(gauge, Line1Down, Line1Up, elec_line_sw[0] != kSwOff);
    show_lever_pair(gauge, Line2Down, Line2Up, elec_line_sw[1] != kSwOff);
    show_lever_pair(gauge, Trans1Down, Trans1Up, elec_trans_sw[0] != kSwOff);
    show_lever_pair(gauge, Trans2Down, Trans2Up, elec_trans_sw[1] != kSwOff);
    // 3..5. OFF lamps: buses 1 and 2 lit from the DC normal bus, the essential bus from DC ess
    bus_off_lamp(LampAcBus1Off, elec_ac_bus1_powered == 0, dc_normal);
    bus_off_lamp(LampAcBus2Off, elec_ac_bus2_powered == 0, dc_normal);
    bus_off_lamp(LampAcEssBusOff, elec_ess_ac_powered == 0, dc_ess);
    // 6. transfer contactors
    show_flow_bar(gauge, Trans1InLine, dc_normal, elec_trans_closed[0] == 1);
    show_flow_bar(gauge, Trans2InLine, dc_normal, elec_trans_closed[1] == 1);
    // 7. essential bus on its emergency inverter
    show_flow_bar(gauge, EmergInLine, dc_ess, elec_ess_ac_on_alternate == 1);
}
}  // namespace ac
}  // namespace
