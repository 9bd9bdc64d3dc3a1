// Servo control panel of the overhead: a TEST / ON / OFF lever for the flight-control servos of
// each hydraulic circuit, with a pressure flag above and a JAM lamp below. The levers are silent
// panel state. A JAM lamp remembers itself in its own hidden bit: lit on the ground at TEST, it
// stays lit until its lever goes to OFF or DC essential power is lost.
// Reads: hyd_press_blue, hyd_press_green, hyd_press_yellow, dc_ess_powered, light_zone,
//        annunciator_bright, tok_on_ground
// Writes: fctl_servo_sw, warn_servos
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"

GaugeHeader gauge_servo_controls;

namespace {
enum Pos : size_t {
    Background,
    BlueOff, BlueOn, BlueTest,
    GreenOff, GreenOn, GreenTest,
    YellowOff, YellowOn, YellowTest,
    BlueFlag, GreenFlag, YellowFlag,
    BlueJam, GreenJam, YellowJam,
    BlueScale, GreenScale, YellowScale,
    BlueKnob, GreenKnob, YellowKnob,
    kElements
};
constexpr size_t kLevers = 3;
constexpr size_t kSlotStride = GreenOff - BlueOff;

// Lever values are also the knob's downward offset in pixels.
constexpr u8 kTest = 0, kOn = 27, kOff = 57;
constexpr u32 kOffRefusedFrom = 114;  // the other two levers' sum: both at OFF
constexpr u32 kPressureNormalAbove = 1800;

constexpr u32 kBmpBackground = 1062;
constexpr u32 kBmpSlotOff = 1072, kBmpSlotOn = 1075, kBmpSlotTest = 1078;
constexpr u32 kBmpJam = 1091;
constexpr u32 kBmpScaleBlue = 1068, kBmpScaleGreen = 5200, kBmpScaleYellow = 5203;
constexpr u32 kBmpKnobBlue = 1081, kBmpKnobGreen = 1084, kBmpKnobYellow = 1088;

constexpr LightWalk kWalk{2, walk_positions({Background}) | walk_range(BlueFlag, YellowFlag) |
                                 walk_range(BlueScale, YellowScale)};

template <size_t Lever>
f64 FSAPI servo_lever_y(ElementHeader*) {
    return f64(fctl_servo_sw[Lever]);
}
template <size_t Lever>
constexpr ElementDef knob(u32 bitmap, i32 x) {
    return el::Slider(bitmap, x, 39, fl::Opt3, nullptr, servo_lever_y<Lever>).scales(0.0, 1.0);
}

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //       bitmap             x    y   start flags
    el::Static(kBmpBackground,   0,   0, Lum | Opt1),
    el::Icon(kBmpSlotOff,       13,  79, Hid | Opt2),
    el::Icon(kBmpSlotOn,        13,  49, Opt2),
    el::Icon(kBmpSlotTest,      13,  22, Hid | Opt3),
    el::Icon(kBmpSlotOff,       74,  79, Hid | Opt2),
    el::Icon(kBmpSlotOn,        74,  49, Opt2),
    el::Icon(kBmpSlotTest,      74,  22, Hid | Opt3),
    el::Icon(kBmpSlotOff,      136,  79, Hid | Opt2),
    el::Icon(kBmpSlotOn,       136,  49, Opt2),
    el::Icon(kBmpSlotTest,     136,  22, Hid | Opt3),
    el::Icon(kBmpBarInLine,     30,  19, Hid | Lum | Opt2),  // pressure-normal flags
    el::Icon(kBmpBarInLine,     91,  19, Hid | Lum | Opt2),
    el::Icon(kBmpBarInLine,    153,  19, Hid | Lum | Opt2),
    el::Icon(kBmpJam,           15, 123, Hid | Bri | Opt3),
    el::Icon(kBmpJam,           77, 123, Hid | Bri | Opt3),
    el::Icon(kBmpJam,          139, 123, Hid | Bri | Opt3),
    el::Icon(kBmpScaleBlue,      0,  47, Lum | Opt3),
    el::Icon(kBmpScaleGreen,    60,  47, Lum | Opt3),
    el::Icon(kBmpScaleYellow,  122,  47, Lum | Opt3),
    knob<0>(kBmpKnobBlue,       21),
    knob<1>(kBmpKnobGreen,      82),
    knob<2>(kBmpKnobYellow,    144),
};

// Silent. OFF is refused while both other levers are at OFF, so at most two are ever off.
template <size_t Lever, u8 Value>
i32 FSAPI servo_switch_set(MousePoint*, u32) {
    if (Value == kOff) {
        const u32 others = u32(fctl_servo_sw[(Lever + 1) % kLevers]) + fctl_servo_sw[(Lever + 2) % kLevers];
        if (others >= kOffRefusedFrom) return 0;
    }
    fctl_servo_sw[Lever] = Value;
    return 0;
}

const RectDef kRects[] = {
    //          x    y   w   h   cursor      events           action
    rect::Click( 10, 31, 49, 33, CursorHand, MouseLeftSingle, servo_switch_set<0, kTest>),
    rect::Click( 10, 63, 49, 33, CursorHand, MouseLeftSingle, servo_switch_set<0, kOn>),
    rect::Click( 10, 95, 49, 33, CursorHand, MouseLeftSingle, servo_switch_set<0, kOff>),
    rect::Click( 71, 31, 49, 33, CursorHand, MouseLeftSingle, servo_switch_set<1, kTest>),
    rect::Click( 71, 63, 49, 33, CursorHand, MouseLeftSingle, servo_switch_set<1, kOn>),
    rect::Click( 71, 95, 49, 33, CursorHand, MouseLeftSingle, servo_switch_set<1, kOff>),
    rect::Click(128, 31, 49, 33, CursorHand, MouseLeftSingle, servo_switch_set<2, kTest>),
    rect::Click(128, 63, 49, 33, CursorHand, MouseLeftSingle, servo_switch_set<2, kOn>),
    rect::Click(128, 95, 49, 33, CursorHand, MouseLeftSingle, servo_switch_set<2, kOff>),
};

void FSAPI servo_panel_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 177;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_servo_controls, "ketravin servo_controls_kr60", kWidthMm,
                                                         servo_panel_update, kElementDefs, kRects);

void FSAPI servo_panel_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    const u8* lever = fctl_servo_sw;
    const bool dc_ess = dc_ess_powered == 1;
    // 1. Walk. 2. Slots: any value but TEST and OFF shows ON.
    light_walk(gauge.header(), kWalk);
    for (size_t i = 0; i < kLevers; ++i)
        show_one_of(gauge, BlueOff + i * kSlotStride, 3, lever[i] == kOff ? 0 : lever[i] == kTest ? 2 : 1);
    // 3. Pressure flags; 1800 psi itself is low, and a lever at OFF always shows low.
    const u32 psi[kLevers] = {hyd_press_blue, hyd_press_green, hyd_press_yellow};
    for (size_t i = 0; i < kLevers; ++i)
        show_if(gauge.el(BlueFlag + i), lever[i] != kOff && psi[i] > kPressureNormalAbove && dc_ess);
    // 4. JAM lamps and SERVOS, in this order; a lamp not touched keeps last frame's state.
    const bool on_ground = tok_read(tok_on_ground) == 1.0;
    for (size_t i = 0; i < kLevers; ++i) {
        if (on_ground && lever[i] == kTest && dc_ess) {
            show_if(gauge.el(BlueJam + i), true);
            warn_servos = 1;
        }
        if (lever[i] == kOff) show_if(gauge.el(BlueJam + i), false);
    }
    if (!dc_ess) {
        for (size_t i = 0; i < kLevers; ++i) show_if(gauge.el(BlueJam + i), false);
        warn_servos = 0;
    }
    for (size_t i = 0; i < kLevers; ++i)
        if (lever[i] == kOff && lever[(i + 1) % kLevers] != kTest && lever[(i + 2) % kLevers] != kTest) warn_servos = 0;
}
}  // namespace
