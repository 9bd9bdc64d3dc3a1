// Battery panel of the flight engineer's electrical panel: BAT 1..3 switches (OFF/NORM/ON), a
// flow bar from each battery to the DC essential bus, BAT SMOKE and REFUEL ON BAT lamps. The
// clicks only store the switches; the network turns them into current and bus power.
// Reads: elec_batt_lamp, dc_ess_powered, elec_batt_smoke, light_zone, annunciator_bright
// Writes: elec_batt_sw
#include "electrical/state.h"
#include "electrical/elec_panel.h"
#include "module/lighting.h"
#include "module/switches.h"

GaugeHeader gauge_elec_batt;

namespace {
enum Pos : size_t {
    Background,
    Bat1InLine, Bat1CrossLine,
    Bat2InLine, Bat2CrossLine,
    Bat3InLine, Bat3CrossLine,
    LampRefuelOnBat,
    LampBatSmoke,
    Bat1Off, Bat1Norm, Bat1On,
    Bat2Off, Bat2Norm, Bat2On,
    Bat3Off, Bat3Norm, Bat3On,
    kElements
};
constexpr size_t kBatteries = 3;
constexpr size_t kFlowBarStride = Bat2InLine - Bat1InLine;
constexpr size_t kLeverStride = Bat2Off - Bat1Off;

// Switch positions as stored in elec_batt_sw.
constexpr u8 kOff = 0, kNorm = 1, kOn = 2;

constexpr u32 kBmpBackground = 5304;
constexpr u32 kBmpLampRefuelOnBat = 5305;
constexpr u32 kBmpLampBatSmoke = 5306;

constexpr LightWalk kWalk{4, walk_range(Background, Bat3CrossLine)};

const ElementDef kElementDefs[kElements] = {
    //       bitmap                x    y   start flags
    el::Static(kBmpBackground,      0,   0, kFlagsBackground),
    el::Icon(kBmpFlowBarUpright,   31,  44, kFlagsFlowBarHidden),  // BAT 1 in line
    el::Icon(kBmpFlowBarLevel,     31,  44, kFlagsFlowBarHidden),  // BAT 1 cross line
    el::Icon(kBmpFlowBarUpright,   61,  44, kFlagsFlowBarHidden),
    el::Icon(kBmpFlowBarLevel,     61,  44, kFlagsFlowBarHidden),
    el::Icon(kBmpFlowBarUpright,   91,  44, kFlagsFlowBarHidden),
    el::Icon(kBmpFlowBarLevel,     91,  44, kFlagsFlowBarHidden),
    el::Icon(kBmpLampRefuelOnBat,   4, 110, kFlagsLampHidden),
    el::Icon(kBmpLampBatSmoke,     57, 110, kFlagsLampHidden),
    el::Icon(kBmpLeverDown,        26,  87, kFlagsLeverHidden),    // BAT 1 OFF
    el::Icon(kBmpLeverCentre,      27,  80, kFlagsLever),          // BAT 1 NORM
    el::Icon(kBmpLeverUp,          27,  65, kFlagsLeverHidden),    // BAT 1 ON
    el::Icon(kBmpLeverDown,        56,  87, kFlagsLeverHidden),
    el::Icon(kBmpLeverCentre,      57,  80, kFlagsLever),
    el::Icon(kBmpLeverUp,          57,  65, kFlagsLeverHidden),
    el::Icon(kBmpLeverDown,        87,  87, kFlagsLeverHidden),
    el::Icon(kBmpLeverCentre,      88,  80, kFlagsLever),
    el::Icon(kBmpLeverUp,          88,  65, kFlagsLeverHidden),
};


const RectDef kRects[] = {
    //          x    y   w   h   cursor           events           action
    rect::Click(19,  50, 31, 25, CursorUpArrow,   MouseLeftSingle, click_switch<elec_batt_sw, kOn, 0>),
    rect::Click(19,  75, 31, 25, CursorHand,      MouseLeftSingle, click_switch<elec_batt_sw, kNorm, 0>),
    rect::Click(19, 100, 31, 25, CursorDownArrow, MouseLeftSingle, click_switch<elec_batt_sw, kOff, 0>),
    rect::Click(50,  50, 31, 25, CursorUpArrow,   MouseLeftSingle, click_switch<elec_batt_sw, kOn, 1>),
    rect::Click(50,  75, 31, 25, CursorHand,      MouseLeftSingle, click_switch<elec_batt_sw, kNorm, 1>),
    rect::Click(50, 100, 31, 25, CursorDownArrow, MouseLeftSingle, click_switch<elec_batt_sw, kOff, 1>),
    rect::Click(81,  50, 31, 25, CursorUpArrow,   MouseLeftSingle, click_switch<elec_batt_sw, kOn, 2>),
    rect::Click(81,  75, 31, 25, CursorHand,      MouseLeftSingle, click_switch<elec_batt_sw, kNorm, 2>),
    rect::Click(81, 100, 31, 25, CursorDownArrow, MouseLeftSingle, click_switch<elec_batt_sw, kOff, 2>),
};

void FSAPI elec_batt_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 150;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_elec_batt, "ketravin elec_batt_kr60", kWidthMm,
                                                         elec_batt_update, kElementDefs, kRects);

void FSAPI elec_batt_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);

    const bool dc_ess = dc_ess_powered == 1;
    for (size_t i = 0; i < kBatteries; ++i) {
        const u8 sw = elec_batt_sw[i];
        const size_t image = sw == kOff ? 0 : sw == kOn ? 2 : 1;  // any other value shows NORM
        show_one_of(gauge, Bat1Off + i * kLeverStride, 3, image);
    }
    // In line while the battery carries current (or is switched ON), on a live bus only.
    for (size_t i = 0; i < kBatteries; ++i)
        show_flow_bar(gauge, Bat1InLine + i * kFlowBarStride, dc_ess, elec_batt_lamp[i] == 1);
    show_if(gauge.el(LampBatSmoke), elec_batt_smoke == 1 && dc_ess);
}
}  // namespace
