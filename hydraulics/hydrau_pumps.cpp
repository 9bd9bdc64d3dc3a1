// Pump section of the flight engineer's hydraulic panel: four engine-driven pump switches (ON and
// DUMP), two electric pump switches and the shut-off valve indicators of the engine-driven pumps.
// The clicks only store the bytes; the hydraulic model runs the pumps up and down from them.
// Reads: hyd_pump_fire_valve, elec_ess_ac_powered, light_zone, annunciator_bright, snd_click
// Writes: hyd_eng_pump_sw, hyd_elec_pump_sw
#include "electrical/state.h"
#include "engines/state.h"
#include "hydraulics/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"

GaugeHeader gauge_hydrau_pumps;

namespace {
enum Pos : size_t {
    Background,
    Elec1Down, Elec1Up,
    Elec2Down, Elec2Up,
    Valve0Cross, Valve0InLine,
    Valve1Cross, Valve1InLine,
    Valve2Cross, Valve2InLine,
    Valve3Cross, Valve3InLine,
    Pump0Down, Pump0Up,
    Pump1Down, Pump1Up,
    Pump2Down, Pump2Up,
    Pump3Down, Pump3Up,
    kElements
};
constexpr size_t kPumps = 4;
constexpr size_t kStride = 2;

constexpr u32 kBmpBackground = 1020;
constexpr u32 kBmpPumpLeverDown = 281;
constexpr u32 kBmpPumpLeverUp = 288;

constexpr LightWalk kWalk{4, walk_positions({Background}) | walk_range(Valve0Cross, Valve3InLine)};

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //       bitmap               x   y   start flags
    el::Static(kBmpBackground,     0,  0, Lum | Opt1),
    el::Icon(kBmpToggleDown,     101, 39, Opt3),               // electric pump 1 OFF
    el::Icon(kBmpToggleUp,       101, 23, Hid | Opt3),         // electric pump 1 ON
    el::Icon(kBmpToggleDown,     142, 39, Opt3),
    el::Icon(kBmpToggleUp,       142, 23, Hid | Opt3),
    el::Icon(kBmpBarCrossLine,    15, 63, Hid | Lum | Opt3),   // valve 0 (blue, engine 1)
    el::Icon(kBmpBarInLine,       15, 63, Hid | Lum | Opt3),
    el::Icon(kBmpBarCrossLine,    67, 63, Hid | Lum | Opt3),   // valve 1 (green, engine 1)
    el::Icon(kBmpBarInLine,       67, 63, Hid | Lum | Opt3),
    el::Icon(kBmpBarCrossLine,   178, 63, Hid | Lum | Opt3),   // valve 2 (green, engine 2)
    el::Icon(kBmpBarInLine,      178, 63, Hid | Lum | Opt3),
    el::Icon(kBmpBarCrossLine,   230, 63, Hid | Lum | Opt3),   // valve 3 (yellow, engine 2)
    el::Icon(kBmpBarInLine,      230, 63, Hid | Lum | Opt3),
    el::Icon(kBmpPumpLeverDown,   11, 21, Hid | Opt3),         // pump 0 DUMP
    el::Icon(kBmpPumpLeverUp,     11,  7, Opt3),               // pump 0 ON
    el::Icon(kBmpPumpLeverDown,   64, 21, Hid | Opt3),
    el::Icon(kBmpPumpLeverUp,     64,  7, Opt3),
    el::Icon(kBmpPumpLeverDown,  174, 21, Hid | Opt3),
    el::Icon(kBmpPumpLeverUp,    174,  7, Opt3),
    el::Icon(kBmpPumpLeverDown,  226, 21, Hid | Opt3),
    el::Icon(kBmpPumpLeverUp,    226,  7, Opt3),
};

// Engine-driven pump bytes: ON stores 100 (runs up to 200), DUMP 95 (runs down to 0). A click
// sounds only when it changes side; the byte is stored either way, restarting the ramp.
constexpr u8 kOn = 100, kDump = 95;
template <size_t Pump>
i32 FSAPI pump_on(MousePoint*, u32) {
    if (hyd_eng_pump_sw[Pump] < kOn) sound_play(snd_click, 0);
    hyd_eng_pump_sw[Pump] = kOn;
    return 0;
}
template <size_t Pump>
i32 FSAPI pump_dump(MousePoint*, u32) {
    if (hyd_eng_pump_sw[Pump] > kDump) sound_play(snd_click, 0);
    hyd_eng_pump_sw[Pump] = kDump;
    return 0;
}

const RectDef kRects[] = {
    //          x    y   w   h   cursor      events           action
    rect::Click( 88,  7, 35, 31, CursorHand, MouseLeftSingle, click_switch<hyd_elec_pump_sw, 1, 0>),
    rect::Click( 88, 38, 35, 31, CursorHand, MouseLeftSingle, click_switch<hyd_elec_pump_sw, 0, 0>),
    rect::Click(129,  7, 35, 31, CursorHand, MouseLeftSingle, click_switch<hyd_elec_pump_sw, 1, 1>),
    rect::Click(129, 38, 35, 31, CursorHand, MouseLeftSingle, click_switch<hyd_elec_pump_sw, 0, 1>),
    rect::Click(  4,  0, 35, 31, CursorHand, MouseLeftSingle, pump_on<0>),
    rect::Click(  4, 31, 35, 31, CursorHand, MouseLeftSingle, pump_dump<0>),
    rect::Click( 54,  0, 35, 31, CursorHand, MouseLeftSingle, pump_on<1>),
    rect::Click( 54, 31, 35, 31, CursorHand, MouseLeftSingle, pump_dump<1>),
    rect::Click(164,  0, 35, 31, CursorHand, MouseLeftSingle, pump_on<2>),
    rect::Click(164, 31, 35, 31, CursorHand, MouseLeftSingle, pump_dump<2>),
    rect::Click(217,  0, 35, 31, CursorHand, MouseLeftSingle, pump_on<3>),
    rect::Click(217, 31, 35, 31, CursorHand, MouseLeftSingle, pump_dump<3>),
};

void FSAPI hydrau_pumps_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 287;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_hydrau_pumps, "ketravin hydrau_pumps_kr60", kWidthMm,
                                                         hydrau_pumps_update, kElementDefs, kRects);

void FSAPI hydrau_pumps_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    // Levers follow the selected side at once; the pumps take their time.
    show_up_down(gauge, Elec1Down, hyd_elec_pump_sw[0] == 1);
    show_up_down(gauge, Elec2Down, hyd_elec_pump_sw[1] == 1);
    for (size_t i = 0; i < kPumps; ++i) show_up_down(gauge, Pump0Down + i * kStride, hyd_eng_pump_sw[i] > kDump);
    // Valve indicators need AC essential power; blank (striped face) without it.
    const bool ac_ess = elec_ess_ac_powered == 1;
    for (size_t i = 0; i < kPumps; ++i) show_shut_open(gauge, Valve0Cross + i * kStride, ac_ess, hyd_pump_fire_valve[i] == 1);
}
}  // namespace
