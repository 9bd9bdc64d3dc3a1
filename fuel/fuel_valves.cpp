// Fuel panel of the flight engineer: the two tank shut-off valves (two knobs per side), the CROSS
// FEED selector and the crossfeed state, which keep the host's engine fuel valves in step; and the
// heading strip with FUEL USED RESET and the PUMP PRES LO lamp.
// Reads: dc_normal_powered, fuel_pump_pres_lo, light_zone, annunciator_bright
// Writes: fuel_shutoff_valve_sw, xfeed_selector, xfeed_state, fuel_used
#include "electrical/state.h"
#include "fuel/state.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/tokens.h"

GaugeHeader gauge_fuel_valves;
GaugeHeader gauge_fuel_fuelused;

namespace {
constexpr u8 kZone = 4;

// CROSS FEED selector positions and crossfeed states.
constexpr u8 kXfeedCentred = 0;
constexpr u8 kXfeedSide1Feeds = 1;  // selector a quarter clockwise; state: side 1 feeds both
constexpr u8 kXfeedSide2Feeds = 2;  // selector a quarter anticlockwise; state: side 2 feeds both

// ---- valves and crossfeed -------------------------------------------------------------------
enum ValvePos {
    Background,
    // per knob: knob open, flow bar open, knob shut, flow bar broken
    S1LeftOpen, S1LeftBar, S1LeftShut, S1LeftBroken,
    S1RightOpen, S1RightBar, S1RightShut, S1RightBroken,
    S2LeftOpen, S2LeftBar, S2LeftShut, S2LeftBroken,
    S2RightOpen, S2RightBar, S2RightShut, S2RightBroken,
    XfeedKnobUpright, XfeedBarsUpright, XfeedKnobLevel, XfeedBarsSide1, XfeedBarsSide2,
    kValveElements
};

constexpr u32 kOpt = ImageOption1 | ImageOption2;
constexpr u32 kKnob = kOpt;
constexpr u32 kBar = ImageLuminous | kOpt;
constexpr u32 kKnobHidden = ImageHidden | kOpt;
constexpr u32 kBarHidden = ImageHidden | ImageLuminous | kOpt;

constexpr u32 kBmpKnobUpright = 499;
constexpr u32 kBmpBarUpright = 1004;
constexpr u32 kBmpKnobLevel = 1001;
constexpr u32 kBmpBarBroken = 1008;

constexpr i32 kKnobY = 14;
constexpr i32 kS1LeftX = 0, kS1RightX = 65, kS2LeftX = 176, kS2RightX = 242, kXfeedX = 121;

const ElementDef kValveDefs[kValveElements] = {
    el::Static(496, 0, 0, ImageLuminous | ImageOption1),
    el::Icon(kBmpKnobUpright, kS1LeftX, kKnobY, kKnob),
    el::Icon(kBmpBarUpright, kS1LeftX, kKnobY, kBar),
    el::Icon(kBmpKnobLevel, kS1LeftX, kKnobY, kKnobHidden),
    el::Icon(kBmpBarBroken, kS1LeftX, kKnobY, kBarHidden),
    el::Icon(kBmpKnobUpright, kS1RightX, kKnobY, kKnob),
    el::Icon(kBmpBarUpright, kS1RightX, kKnobY, kBar),
    el::Icon(kBmpKnobLevel, kS1RightX, kKnobY, kKnobHidden),
    el::Icon(kBmpBarBroken, kS1RightX, kKnobY, kBarHidden),
    el::Icon(kBmpKnobUpright, kS2LeftX, kKnobY, kKnob),
    el::Icon(kBmpBarUpright, kS2LeftX, kKnobY, kBar),
    el::Icon(kBmpKnobLevel, kS2LeftX, kKnobY, kKnobHidden),
    el::Icon(kBmpBarBroken, kS2LeftX, kKnobY, kBarHidden),
    el::Icon(kBmpKnobUpright, kS2RightX, kKnobY, kKnob),
    el::Icon(kBmpBarUpright, kS2RightX, kKnobY, kBar),
    el::Icon(kBmpKnobLevel, kS2RightX, kKnobY, kKnobHidden),
    el::Icon(kBmpBarBroken, kS2RightX, kKnobY, kBarHidden),
    el::Icon(kBmpKnobUpright, kXfeedX, kKnobY, kKnob),
    el::Icon(1011, kXfeedX, kKnobY, kBar),         // bars upright, 1 left, 2 right
    el::Icon(kBmpKnobLevel, kXfeedX, kKnobY, kKnobHidden),
    el::Icon(1014, kXfeedX, kKnobY, kBarHidden),   // turned clockwise: 1 above, 2 below
    el::Icon(1017, kXfeedX, kKnobY, kBarHidden),   // turned anticlockwise: 2 above, 1 below
};

// The background and every flow bar glow at night; the knobs keep their plain rendering.
constexpr LightWalk kValveWalk{kZone, walk_positions({Background, S1LeftBar, S1LeftBroken, S1RightBar,
                                                      S1RightBroken, S2LeftBar, S2LeftBroken, S2RightBar,
                                                      S2RightBroken, XfeedBarsUpright, XfeedBarsSide1,
                                                      XfeedBarsSide2})};

// Clicks only change the panel state; the next frame acts on it. Silent.
void toggle(u8& sw) { sw = sw == 1 ? 0 : 1; }
i32 FSAPI side1_toggle(MousePoint*, u32) {
    toggle(fuel_shutoff_valve_sw[0]);
    return 0;
}
i32 FSAPI side2_toggle(MousePoint*, u32) {
    toggle(fuel_shutoff_valve_sw[1]);
    return 0;
}
i32 FSAPI xfeed_to_1(MousePoint*, u32) {
    xfeed_selector = kXfeedSide1Feeds;
    return 0;
}
i32 FSAPI xfeed_centre(MousePoint*, u32) {
    xfeed_selector = kXfeedCentred;
    return 0;
}
i32 FSAPI xfeed_to_2(MousePoint*, u32) {
    xfeed_selector = kXfeedSide2Feeds;
    return 0;
}

const RectDef kValveRects[] = {
    //          x    y  w   h   cursor           events           action
    rect::Click(0,   6, 43, 57, CursorHand,      MouseLeftSingle, side1_toggle),
    rect::Click(65,  6, 37, 57, CursorHand,      MouseLeftSingle, side1_toggle),
    rect::Click(183, 6, 37, 57, CursorHand,      MouseLeftSingle, side2_toggle),
    rect::Click(242, 6, 43, 57, CursorHand,      MouseLeftSingle, side2_toggle),
    rect::Click(156, 6, 27, 57, CursorUpArrow,   MouseLeftSingle, xfeed_to_1),
    rect::Click(129, 6, 27, 57, CursorHand,      MouseLeftSingle, xfeed_centre),
    rect::Click(102, 6, 27, 57, CursorDownArrow, MouseLeftSingle, xfeed_to_2),
};

void FSAPI valves_update(GaugeHeader*, i32 service, u32);
Gauge<kValveElements, sizeof kValveRects / sizeof kValveRects[0]> valves(gauge_fuel_valves, "ketravin fuel_valves_kr60",
                                                                         285, valves_update, kValveDefs, kValveRects);

// Both knobs of a side show the side's switch: open images unless it is 0.
void side_knobs(u8 sw, size_t left_open, size_t right_open) {
    const bool open = sw != 0;
    for (size_t first : {left_open, right_open}) {
        show_if(valves.el(first), open);      // knob upright
        show_if(valves.el(first + 1), open);  // flow bar
        show_if(valves.el(first + 2), !open); // knob level
        show_if(valves.el(first + 3), !open); // broken bar
    }
}

void xfeed_knob() {
    const bool turned = xfeed_selector == kXfeedSide1Feeds || xfeed_selector == kXfeedSide2Feeds;
    show_if(valves.el(XfeedKnobUpright), !turned);
    show_if(valves.el(XfeedBarsUpright), !turned);
    show_if(valves.el(XfeedKnobLevel), turned);
    show_if(valves.el(XfeedBarsSide1), xfeed_selector == kXfeedSide1Feeds);
    show_if(valves.el(XfeedBarsSide2), xfeed_selector == kXfeedSide2Feeds);
}

// One engine's host valve follows its own switch unless the crossfeed holds it open.
// Returns the host value read, for the hold-open rule.
f64 follow_switch(TokenVar& host_valve, u8 sw, u8 holding_state, u32 key, bool powered) {
    const f64 host = tok_read(host_valve);
    if (!powered || xfeed_state == holding_state) return host;
    if ((sw == 0 && host == 1.0) || (sw == 1 && host == 0.0)) svc::send_key_event(key, 0);
    return host;
}

void FSAPI valves_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge_fuel_valves, kValveWalk);                 // 1
    side_knobs(fuel_shutoff_valve_sw[0], S1LeftOpen, S1RightOpen);  // 2
    side_knobs(fuel_shutoff_valve_sw[1], S2LeftOpen, S2RightOpen);  // 3
    xfeed_knob();                                              // 4
    // 5: the feeding side's own valve must be open for the crossfeed to take effect
    if (xfeed_selector == kXfeedSide1Feeds && fuel_shutoff_valve_sw[0] == 1)
        xfeed_state = kXfeedSide1Feeds;
    else if (xfeed_selector == kXfeedSide2Feeds && fuel_shutoff_valve_sw[1] == 1)
        xfeed_state = kXfeedSide2Feeds;
    else
        xfeed_state = kXfeedCentred;
    // 6, 7: each engine's host valve follows its switch, except the engine fed by crossfeed
    const bool powered = dc_normal_powered == 1;
    const f64 host1 = follow_switch(tok_eng1_fuel_valve, fuel_shutoff_valve_sw[0], kXfeedSide2Feeds,
                                    key_fuel_valve_eng1_toggle, powered);
    const f64 host2 = follow_switch(tok_eng2_fuel_valve, fuel_shutoff_valve_sw[1], kXfeedSide1Feeds,
                                    key_fuel_valve_eng2_toggle, powered);
    // 8: the fed engine is held open, on the values read above
    if (!powered) return;
    if (xfeed_state == kXfeedSide2Feeds && host1 == 0.0)
        svc::send_key_event(key_fuel_valve_eng1_toggle, 0);
    else if (xfeed_state == kXfeedSide1Feeds && host2 == 0.0)
        svc::send_key_event(key_fuel_valve_eng2_toggle, 0);
}

// ---- heading strip: FUEL USED RESET and PUMP PRES LO -------------------------------------------
enum UsedPos { UsedBackground, PumpPresLo, kUsedElements };

const ElementDef kUsedDefs[kUsedElements] = {
    el::Static(441, 0, 0, ImageLuminous | ImageOption1),
    el::Icon(444, 0, 42, ImageHidden | ImageBright | kOpt),
};
constexpr LightWalk kUsedWalk{kZone, walk_positions({UsedBackground})};

// Zeroes both totals whatever the power state; silent.
i32 FSAPI fuel_used_reset(MousePoint*, u32) {
    fuel_used[0] = 0.0;
    fuel_used[1] = 0.0;
    return 0;
}
const RectDef kUsedRects[] = {
    rect::Click(242, 32, 37, 37, CursorHand, MouseLeftSingle, fuel_used_reset),
};

void FSAPI fuelused_update(GaugeHeader*, i32 service, u32);
Gauge<kUsedElements, 1> fuelused(gauge_fuel_fuelused, "ketravin fuel_fuelused_kr60", 287, fuelused_update, kUsedDefs,
                                 kUsedRects);

void FSAPI fuelused_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge_fuel_fuelused, kUsedWalk);
    // Nothing sets the condition byte yet; the lamp keeps its rule for when something does.
    show_if(fuelused.el(PumpPresLo), fuel_pump_pres_lo == 1 && dc_normal_powered == 1);
}
}  // namespace
