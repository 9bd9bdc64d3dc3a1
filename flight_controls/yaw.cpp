// Yaw damper and pitch trim panel: two yaw damper engage levers and two pitch trim channel
// switches. It only stores and shows the four bytes; the systems computer decides whether they
// may stay engaged and drops them, so a lever drawn up may come down a frame later.
// Reads: light_zone, annunciator_bright, snd_click
// Writes: fctl_yaw_damper_sw, fctl_pitch_trim_sw
#include "flight_controls/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"

GaugeHeader gauge_yaw;

namespace {
enum Pos : size_t {
    Background,
    Yaw1Down, Yaw1Up,
    Yaw2Down, Yaw2Up,
    Trim1Down, Trim1Up,
    Trim2Down, Trim2Up,
    kElements
};

constexpr u32 kBmpBackground = 1110;
constexpr u32 kBmpDown = 1113;
constexpr u32 kBmpUp = 1116;
constexpr LightWalk kWalk{2, walk_positions({Background})};

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //       bitmap            x    y   start flags
    el::Static(kBmpBackground,  0,   0, Lum | Opt1),
    el::Icon(kBmpDown,         18,  34, Opt3),        // yaw damper 1
    el::Icon(kBmpUp,           18,  17, Hid | Opt3),
    el::Icon(kBmpDown,         59,  34, Opt3),        // yaw damper 2
    el::Icon(kBmpUp,           59,  17, Hid | Opt3),
    el::Icon(kBmpDown,         18, 116, Opt3),        // pitch trim 1
    el::Icon(kBmpUp,           18,  99, Hid | Opt3),
    el::Icon(kBmpDown,         59, 116, Opt3),        // pitch trim 2
    el::Icon(kBmpUp,           59,  99, Hid | Opt3),
};

const RectDef kRects[] = {
    //          x    y   w   h   cursor      events           action
    rect::Click( 8,   2, 37, 31, CursorHand, MouseLeftSingle, click_switch<fctl_yaw_damper_sw, 1, 0>),
    rect::Click( 8,  33, 37, 31, CursorHand, MouseLeftSingle, click_switch<fctl_yaw_damper_sw, 0, 0>),
    rect::Click(49,   2, 37, 31, CursorHand, MouseLeftSingle, click_switch<fctl_yaw_damper_sw, 1, 1>),
    rect::Click(49,  33, 37, 31, CursorHand, MouseLeftSingle, click_switch<fctl_yaw_damper_sw, 0, 1>),
    rect::Click( 8,  84, 37, 31, CursorHand, MouseLeftSingle, click_switch<fctl_pitch_trim_sw, 1, 0>),
    rect::Click( 8, 115, 37, 31, CursorHand, MouseLeftSingle, click_switch<fctl_pitch_trim_sw, 0, 0>),
    rect::Click(49,  84, 37, 31, CursorHand, MouseLeftSingle, click_switch<fctl_pitch_trim_sw, 1, 1>),
    rect::Click(49, 115, 37, 31, CursorHand, MouseLeftSingle, click_switch<fctl_pitch_trim_sw, 0, 1>),
};

void FSAPI yaw_panel_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 90;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_yaw, "ketravin yaw_kr60", kWidthMm, yaw_panel_update,
                                                         kElementDefs, kRects);

void FSAPI yaw_panel_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    show_up_down(gauge, Yaw1Down, fctl_yaw_damper_sw[0] == 1);
    show_up_down(gauge, Yaw2Down, fctl_yaw_damper_sw[1] == 1);
    show_up_down(gauge, Trim1Down, fctl_pitch_trim_sw[0] == 1);
    show_up_down(gauge, Trim2Down, fctl_pitch_trim_sw[1] == 1);
}
}  // namespace
