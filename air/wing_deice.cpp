// Wing anti-ice panel of the overhead: ON / OFF RESET / GRND CHECK switch and valve indicator for
// each wing. ON acts in the air, GRND CHECK on the ground. The host's single structural de-ice flag
// follows the left side; either side with duct air raises the wing bleed demand in flight.
// Reads: dc_normal_powered, air_duct_supply, light_zone, annunciator_bright, snd_click,
//        tok_on_ground, tok_structural_deice
// Writes: aice_wing_sw, aice_wing_active
#include "air/anti_ice_keys.h"
#include "air/state.h"
#include "electrical/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"

GaugeHeader gauge_wing_deice;

namespace {
enum Pos : size_t {
    Background,
    LeftDown, LeftMiddle, LeftUp,
    RightDown, RightMiddle, RightUp,
    LeftShut, LeftOpen,
    RightShut, RightOpen,
    LeftFault, RightFault,
    LeftSupplyLo, RightSupplyLo,
    kElements
};

constexpr u8 kOffReset = 0, kOn = 1, kGrndCheck = 2;

constexpr u32 kBmpBackground = 1126;
constexpr u32 kBmpSwitchDown = 1129, kBmpSwitchMiddle = 1132, kBmpSwitchUp = 1136;
constexpr u32 kBmpFault = 1139, kBmpSupplyLo = 1142;
constexpr LightWalk kWalk{2, walk_positions({Background}) | walk_range(LeftShut, RightOpen)};

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //       bitmap              x    y   start flags
    el::Static(kBmpBackground,    0,   0, Lum | Opt1),
    el::Icon(kBmpSwitchDown,     33, 108, Hid | Opt3),  // left GRND CHECK
    el::Icon(kBmpSwitchMiddle,   34,  99, Opt3),        // left OFF RESET
    el::Icon(kBmpSwitchUp,       34,  85, Hid | Opt3),  // left ON
    el::Icon(kBmpSwitchDown,    137, 108, Hid | Opt3),
    el::Icon(kBmpSwitchMiddle,  138,  99, Opt3),
    el::Icon(kBmpSwitchUp,      138,  85, Hid | Opt3),
    el::Icon(kBmpBarCrossLine,   37,  56, Hid | Lum | Opt2),
    el::Icon(kBmpBarInLine,      37,  56, Hid | Lum | Opt2),
    el::Icon(kBmpBarCrossLine,  140,  56, Hid | Lum | Opt2),
    el::Icon(kBmpBarInLine,     140,  56, Hid | Lum | Opt2),
    el::Icon(kBmpFault,          22,  26, Hid | Bri | Opt2),  // never shown
    el::Icon(kBmpFault,         126,  26, Hid | Bri | Opt2),
    el::Icon(kBmpSupplyLo,       22, 142, Hid | Bri | Opt2),  // never shown
    el::Icon(kBmpSupplyLo,      126, 142, Hid | Bri | Opt2),
};

const RectDef kRects[] = {
    //          x    y    w   h   cursor           events           action
    rect::Click( 17,  74, 49, 23, CursorUpArrow,   MouseLeftSingle, click_switch<aice_wing_sw, kOn, 0>),
    rect::Click( 17,  97, 49, 23, CursorDownArrow, MouseLeftSingle, click_switch<aice_wing_sw, kOffReset, 0>),
    rect::Click( 17, 120, 49, 23, CursorHand,      MouseLeftSingle, click_switch<aice_wing_sw, kGrndCheck, 0>),
    rect::Click(121,  74, 49, 23, CursorUpArrow,   MouseLeftSingle, click_switch<aice_wing_sw, kOn, 1>),
    rect::Click(121,  97, 49, 23, CursorDownArrow, MouseLeftSingle, click_switch<aice_wing_sw, kOffReset, 1>),
    rect::Click(121, 120, 49, 23, CursorHand,      MouseLeftSingle, click_switch<aice_wing_sw, kGrndCheck, 1>),
};

void FSAPI wing_aice_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 188;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_wing_deice, "ketravin wing_deice_kr60", kWidthMm,
                                                         wing_aice_update, kElementDefs, kRects);

size_t switch_image(u8 sw) { return sw == kGrndCheck ? 0 : sw == kOn ? 2 : 1; }

void FSAPI wing_aice_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Walk, 2. switches.
    light_walk(gauge.header(), kWalk);
    show_one_of(gauge, LeftDown, 3, switch_image(aice_wing_sw[0]));
    show_one_of(gauge, RightDown, 3, switch_image(aice_wing_sw[1]));
    // 3. Host flags, tested for exact values only.
    const f64 ground = tok_read(tok_on_ground);
    const f64 host_deice = tok_read(tok_structural_deice);
    auto selected = [ground](u8 sw) { return (sw == kOn && ground == 0.0) || (sw == kGrndCheck && ground == 1.0); };
    const bool dc_normal = dc_normal_powered == 1;
    const bool left = selected(aice_wing_sw[0]);
    const bool right = selected(aice_wing_sw[1]);

    // 4. Left side: keeps the host's de-ice in step. Turned on only with left duct air; losing
    // the air later does not turn it off.
    if (dc_normal && left) {
        if (host_deice == 0.0 && air_duct_supply[0] == 1) {
            svc::send_key_event(key_structural_deice_toggle, 0);
            aice_wing_active = 1;
        }
    } else if (host_deice == 1.0) {
        svc::send_key_event(key_structural_deice_toggle, 0);
    }
    show_shut_open(gauge, LeftShut, dc_normal, left);
    // 5. Right side: no host flag of its own.
    if (dc_normal && right && air_duct_supply[1] == 1) aice_wing_active = 1;
    show_shut_open(gauge, RightShut, dc_normal, right);
    // 6. Never active with both at OFF RESET, without normal DC, or on the ground.
    if ((aice_wing_sw[0] == kOffReset && aice_wing_sw[1] == kOffReset) || !dc_normal || ground == 1.0)
        aice_wing_active = 0;
}
}  // namespace
