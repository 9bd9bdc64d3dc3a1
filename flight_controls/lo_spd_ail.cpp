// Low-speed aileron panel of the overhead: SPD HI / NORM / SPD LO selector, LH and RH CONNECT
// indicators and the LO SPD AIL lamp. The outboard ailerons work with flaps out or on the ground
// while any hydraulic circuit is available; SPD LO shows them disconnected.
// Reads: hyd_avail, elec_ess_ac_powered, elec_ac_bus2_powered, dc_ess_powered, light_zone,
//        annunciator_bright, snd_click, tok_flaps_handle, tok_on_ground
// Writes: fctl_lo_spd_ail_sel, fctl_lo_spd_ail_active, warn_lo_spd_ail
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"

GaugeHeader gauge_lo_spd_ail;

namespace {
enum Pos : size_t {
    Background,
    LhCross, LhInLine,
    RhCross, RhInLine,
    SelDown, SelCentre, SelUp,
    Lamp,
    kElements
};

constexpr u32 kBmpBackground = 1104;
constexpr u32 kBmpLamp = 707;
constexpr LightWalk kWalk{2, walk_range(Background, RhInLine)};

constexpr u8 kNorm = 0, kSpdHi = 1, kSpdLo = 2;
constexpr f64 kFlapsOut = 1.0;  // flap handle at or beyond it

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //       bitmap              x   y   start flags
    el::Static(kBmpBackground,    0,  0, Lum | Opt1),
    el::Icon(kBmpBarCrossLine,   70, 60, Hid | Lum | Opt2),  // LH disconnected
    el::Icon(kBmpBarInLine,      70, 60, Hid | Lum | Opt2),  // LH connected
    el::Icon(kBmpBarCrossLine,  118, 60, Hid | Lum | Opt2),
    el::Icon(kBmpBarInLine,     118, 60, Hid | Lum | Opt2),
    el::Icon(kBmpOverheadDown,   27, 51, Hid | Opt3),        // SPD LO
    el::Icon(kBmpOverheadCentre, 27, 47, Opt3),              // NORM
    el::Icon(kBmpOverheadUp,     27, 37, Hid | Opt3),        // SPD HI
    el::Icon(kBmpLamp,           79, 16, Hid | Bri | Opt3),
};

const RectDef kRects[] = {
    //          x   y   w   h   cursor           events           action
    rect::Click(16, 18, 31, 20, CursorUpArrow,   MouseLeftSingle, click_switch<&fctl_lo_spd_ail_sel, kSpdHi>),
    rect::Click(16, 38, 31, 28, CursorHand,      MouseLeftSingle, click_switch<&fctl_lo_spd_ail_sel, kNorm>),
    rect::Click(16, 66, 31, 20, CursorDownArrow, MouseLeftSingle, click_switch<&fctl_lo_spd_ail_sel, kSpdLo>),
};

void FSAPI lo_spd_ail_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 172;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_lo_spd_ail, "ketravin lo_spd_ail_kr60", kWidthMm,
                                                         lo_spd_ail_update, kElementDefs, kRects);

void FSAPI lo_spd_ail_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    const u8 sel = fctl_lo_spd_ail_sel;
    // 1. Walk. 2. Active: flaps out or on the ground, with a hydraulic circuit.
    light_walk(gauge.header(), kWalk);
    const bool flaps_out = tok_read(tok_flaps_handle) >= kFlapsOut;
    const bool on_ground = tok_read(tok_on_ground) == 1.0;
    const u32 circuits = u32(hyd_avail[0]) + hyd_avail[1] + hyd_avail[2];
    fctl_lo_spd_ail_active = (flaps_out || on_ground) && circuits != 0 ? 1 : 0;
    // 3, 4. Indicators, each on its own bus; SPD LO always shows them disconnected.
    const bool connected = fctl_lo_spd_ail_active == 1 && sel != kSpdLo;
    show_shut_open(gauge, LhCross, elec_ess_ac_powered == 1, connected);
    show_shut_open(gauge, RhCross, elec_ac_bus2_powered == 1, connected);
    // 5. Selector image; any other value shows NORM.
    show_one_of(gauge, SelDown, 3, sel == kSpdLo ? 0 : sel == kSpdHi ? 2 : 1);
    // 6. Lamp and condition: out of NORM, with DC essential power.
    warn_lo_spd_ail = sel > kNorm && dc_ess_powered == 1 ? 1 : 0;
    show_if(gauge.el(Lamp), warn_lo_spd_ail == 1);
}
}  // namespace
