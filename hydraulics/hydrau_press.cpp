// Hydraulic panel of the flight engineer's station: the two power-transfer switches, the five
// pump flow indicators, PRES LO for each circuit and PUMP PRESS LO. It shows what the hydraulic
// model computed and raises the cautions the HYDRAU lamp collects.
// Reads: hyd_eng_pump_sw, hyd_elec_pump_running, hyd_press_blue, hyd_press_green1,
//        hyd_press_green2, hyd_press_yellow, dc_normal_powered, dc_ess_powered, light_zone,
//        annunciator_bright, snd_click, tok_hyd_flag
// Writes: hyd_xfer_sw, warn_hyd_press_lo, warn_hyd_pump_fault
#include "electrical/state.h"
#include "hydraulics/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"

GaugeHeader gauge_hydrau_press;

namespace {
enum Pos : size_t {
    Background,
    LeftDown, LeftUp,
    RightDown, RightUp,
    Pump0Cross, Pump0InLine,
    Pump1Cross, Pump1InLine,
    Pump2Cross, Pump2InLine,
    Pump3Cross, Pump3InLine,
    ElecCross, ElecInLine,
    LampPumpPressLo,
    LampBluePresLo, LampGreenPresLo, LampYellowPresLo,
    kElements
};
constexpr size_t kEnginePumps = 4;
constexpr size_t kPumpStride = Pump1Cross - Pump0Cross;

constexpr u32 kBmpBackground = 1024;
constexpr u32 kBmpPresLo = 1027;
constexpr u32 kBmpPumpPressLo = 1030;

// The lamps and levers stay out of the walk: levers keep their day image, lamps their bright one.
constexpr LightWalk kWalk{4, walk_positions({Background}) | walk_range(Pump0Cross, ElecInLine)};

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //       bitmap              x    y   start flags
    el::Static(kBmpBackground,    0,   0, Lum | Opt1),
    el::Icon(kBmpToggleDown,     85,  90, Opt3),                // left PWR TRF OFF
    el::Icon(kBmpToggleUp,       85,  74, Hid | Opt3),          // left PWR TRF ON
    el::Icon(kBmpToggleDown,    243,  90, Opt3),
    el::Icon(kBmpToggleUp,      243,  74, Hid | Opt3),
    el::Icon(kBmpBarCrossLine,   58, 102, Hid | Lum | Opt3),    // blue engine-1 pump
    el::Icon(kBmpBarInLine,      58, 102, Hid | Lum | Opt3),
    el::Icon(kBmpBarCrossLine,  110, 102, Hid | Lum | Opt3),    // green engine-1 pump
    el::Icon(kBmpBarInLine,     110, 102, Hid | Lum | Opt3),
    el::Icon(kBmpBarCrossLine,  221, 102, Hid | Lum | Opt3),    // green engine-2 pump
    el::Icon(kBmpBarInLine,     221, 102, Hid | Lum | Opt3),
    el::Icon(kBmpBarCrossLine,  273, 102, Hid | Lum | Opt3),    // yellow engine-2 pump
    el::Icon(kBmpBarInLine,     273, 102, Hid | Lum | Opt3),
    el::Icon(kBmpBarCrossLine,  167, 102, Hid | Lum | Opt3),    // green electric pumps
    el::Icon(kBmpBarInLine,     167, 102, Hid | Lum | Opt3),
    el::Icon(kBmpPumpPressLo,     0, 101, Hid | Bri | Opt3),
    el::Icon(kBmpPresLo,         65,  31, Hid | Bri | Opt3),    // blue
    el::Icon(kBmpPresLo,        179,  31, Hid | Bri | Opt3),    // green
    el::Icon(kBmpPresLo,        293,  31, Hid | Bri | Opt3),    // yellow
};

const RectDef kRects[] = {
    //          x    y   w   h   cursor      events           action
    rect::Click( 72, 58, 35, 31, CursorHand, MouseLeftSingle, click_switch<hyd_xfer_sw, 1, 0>),
    rect::Click( 72, 89, 35, 31, CursorHand, MouseLeftSingle, click_switch<hyd_xfer_sw, 0, 0>),
    rect::Click(229, 58, 35, 31, CursorHand, MouseLeftSingle, click_switch<hyd_xfer_sw, 1, 1>),
    rect::Click(229, 89, 35, 31, CursorHand, MouseLeftSingle, click_switch<hyd_xfer_sw, 0, 1>),
};

// Pump byte ramp: 200 running, 100..195 spooling up after ON, 1..95 running down after DUMP.
constexpr u8 kSpoolFirst = 100, kSpoolLast = 195, kRunDownLast = 95;
constexpr u32 kLowPsi = 1750;  // the model's availability threshold; 1750 itself is not low

bool spooling(u8 s) { return s >= kSpoolFirst && s <= kSpoolLast; }
bool delivering_flow(u8 s) { return (s >= 1 && s <= kRunDownLast) || s > kSpoolLast; }

void FSAPI hydrau_press_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 332;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_hydrau_press, "ketravin hydrau_press_kr60", kWidthMm,
                                                         hydrau_press_update, kElementDefs, kRects);

void FSAPI hydrau_press_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Walk, then 2. levers.
    light_walk(gauge.header(), kWalk);
    show_up_down(gauge, LeftDown, hyd_xfer_sw[0] == 1);
    show_up_down(gauge, RightDown, hyd_xfer_sw[1] == 1);

    // 3. Engine-pump bars: in line while running or running down; the cross line never shows.
    const bool dc_normal = dc_normal_powered == 1;
    for (size_t i = 0; i < kEnginePumps; ++i) {
        show_if(gauge.el(Pump0Cross + i * kPumpStride), false);
        show_if(gauge.el(Pump0InLine + i * kPumpStride), dc_normal && delivering_flow(hyd_eng_pump_sw[i]));
    }
    // 4. Electric pumps.
    show_shut_open(gauge, ElecCross, dc_normal, hyd_elec_pump_running == 1);

    // 5. PRES LO; green is low only with both engine lines low.
    const bool dc_ess = dc_ess_powered == 1;
    const bool low[3] = {hyd_press_blue < kLowPsi, hyd_press_green1 < kLowPsi && hyd_press_green2 < kLowPsi,
                         hyd_press_yellow < kLowPsi};
    for (size_t c = 0; c < 3; ++c) {
        warn_hyd_press_lo[c] = low[c] && dc_ess ? 1 : 0;
        show_if(gauge.el(LampBluePresLo + c), warn_hyd_press_lo[c] == 1);
    }

    // 6. PUMP PRESS LO: a pump spooling up, or the host's hydraulic value exactly 0.0.
    const f64 host_flag = tok_read(tok_hyd_flag);
    bool fault = false;
    for (size_t i = 0; i < kEnginePumps; ++i) fault = fault || spooling(hyd_eng_pump_sw[i]);
    fault = fault || host_flag == 0.0;
    warn_hyd_pump_fault = fault && dc_ess ? 1 : 0;
    show_if(gauge.el(LampPumpPressLo), warn_hyd_pump_fault == 1);
}
}  // namespace
