// NAV control head of the radio pedestal: one window of five drums showing NAV1 or NAV2, the
// whole-megahertz and fraction knobs, and the set selector. The knobs tune the selected set;
// the window shows the frequencies the host reports, frozen while DC essential power is off.
// Reads: tok_nav1_freq, tok_nav2_freq, dc_ess_powered, light_zone, annunciator_bright
// Writes: nav_set_selector, nav_whole_knob_pos, nav_fract_knob_pos, nav1_freq_bcd, nav2_freq_bcd,
//         nav1_drum_*_target, nav2_drum_*_target
#include "electrical/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"
#include "radios/radio_digits.h"
#include "radios/radio_keys.h"
#include "radios/state.h"

GaugeHeader gauge_radio_nav;

namespace {
enum Pos : size_t {
    Background, LegendNav1, LegendNav2, WholeKnob, FractKnob,
    Nav1Last, Nav1Tenths, Nav1Units, Nav1Tens, Nav1Hundreds,
    Nav2Last, Nav2Tenths, Nav2Units, Nav2Tens, Nav2Hundreds,
    kElements
};
constexpr size_t kSetDrums = Nav2Last - Nav1Last;

constexpr u32 kBmpBackground = 2073, kBmpLegendNav1 = 2086, kBmpLegendNav2 = 2089, kBmpKnobPointer = 2076;
constexpr u32 kBmpDigits = 2080, kBmpLast = 2124;
constexpr f64 kLastRange = 4.0;
constexpr u8 kNav2 = 2;
constexpr u8 kKnobSteps = 16;

// The knob pointers are never lit: they stay outside the walk.
constexpr LightWalk kWalk{3, walk_range(Background, LegendNav2) | walk_range(Nav1Last, Nav2Hundreds)};

// Value 0 points left, 4 up, 8 right, 12 down; the host fills the angles.
NonlinearityPoint whole_points[kKnobSteps] = {
    {16, 86, 0, 0}, {17, 79, 1, 0},  {21, 74, 2, 0},   {26, 70, 3, 0},   {33, 69, 4, 0},   {39, 70, 5, 0},
    {44, 74, 6, 0}, {48, 79, 7, 0},  {49, 86, 8, 0},   {48, 92, 9, 0},   {45, 97, 10, 0},  {41, 101, 11, 0},
    {33, 102, 12, 0}, {25, 101, 13, 0}, {21, 97, 14, 0}, {17, 92, 15, 0},
};
NonlinearityPoint fract_points[kKnobSteps] = {
    {75, 86, 0, 0},  {76, 78, 1, 0},   {80, 74, 2, 0},   {84, 70, 3, 0},   {92, 69, 4, 0},   {98, 70, 5, 0},
    {103, 74, 6, 0}, {107, 78, 7, 0},  {108, 86, 8, 0},  {107, 92, 9, 0},  {104, 97, 10, 0}, {100, 101, 11, 0},
    {92, 102, 12, 0}, {84, 101, 13, 0}, {80, 97, 14, 0}, {76, 92, 15, 0},
};

f64 FSAPI nav_whole_knob_value(ElementHeader*) { return nav_whole_knob_pos; }
f64 FSAPI nav_fract_knob_value(ElementHeader*) { return nav_fract_knob_pos; }

using drum::radio;
using drum::target;
constexpr u32 kDrum = fl::Lum | fl::Opt2, kDrumHidden = fl::Hid | kDrum;

const ElementDef kElementDefs[kElements] = {
    //       bitmap               x    y   start flags
    el::Static(kBmpBackground,     0,   0, fl::Lum | fl::Opt1),
    el::Icon(kBmpLegendNav1,      46,   8, fl::Lum | fl::Opt3),
    el::Icon(kBmpLegendNav2,      41,   8, fl::Hid | fl::Lum | fl::Opt3),
    el::Needle(kBmpKnobPointer,   33,  86, fl::Opt3, nav_whole_knob_value).pivot(17, 17).table(whole_points),
    el::Needle(kBmpKnobPointer,   92,  86, fl::Opt3, nav_fract_knob_value).pivot(17, 17).table(fract_points),
    el::ChasingDrum(kBmpLast,     82,  31, kDrum, radio(4), target(&nav1_drum_last_target), &nav1_drum_last_pos, kLastRange),
    el::ChasingDrum(kBmpDigits,   70,  31, kDrum, radio(10), target(&nav1_drum_tenths_target), &nav1_drum_tenths_pos),
    el::ChasingDrum(kBmpDigits,   53,  31, kDrum, radio(10), target(&nav1_drum_units_target), &nav1_drum_units_pos),
    el::ChasingDrum(kBmpDigits,   41,  31, kDrum, radio(10), target(&nav1_drum_tens_target), &nav1_drum_tens_pos),
    el::ChasingDrum(kBmpDigits,   29,  31, kDrum, radio(4), target(&nav1_drum_hundreds_target), &nav1_drum_hundreds_pos),
    el::ChasingDrum(kBmpLast,     82,  31, kDrumHidden, radio(4), target(&nav2_drum_last_target), &nav2_drum_last_pos, kLastRange),
    el::ChasingDrum(kBmpDigits,   70,  31, kDrumHidden, radio(10), target(&nav2_drum_tenths_target), &nav2_drum_tenths_pos),
    el::ChasingDrum(kBmpDigits,   53,  31, kDrumHidden, radio(10), target(&nav2_drum_units_target), &nav2_drum_units_pos),
    el::ChasingDrum(kBmpDigits,   41,  31, kDrumHidden, radio(10), target(&nav2_drum_tens_target), &nav2_drum_tens_pos),
    el::ChasingDrum(kBmpDigits,   29,  31, kDrumHidden, radio(4), target(&nav2_drum_hundreds_target), &nav2_drum_hundreds_pos),
};

// A knob click sends the selected set's event, then turns the pointer one step with wrap.
template <u32 Nav1Key, u32 Nav2Key, u8* Knob, bool Up>
i32 FSAPI nav_knob(MousePoint*, u32) {
    svc::trigger_key_event(nav_set_selector == kNav2 ? Nav2Key : Nav1Key, 0);
    if (Up)
        *Knob = *Knob < kKnobSteps - 1 ? u8(*Knob + 1) : 0;
    else
        *Knob = *Knob > 0 ? u8(*Knob - 1) : u8(kKnobSteps - 1);
    return 0;
}
constexpr auto nav_head_whole_inc = nav_knob<key_nav1_whole_inc, key_nav2_whole_inc, &nav_whole_knob_pos, true>;
constexpr auto nav_head_whole_dec = nav_knob<key_nav1_whole_dec, key_nav2_whole_dec, &nav_whole_knob_pos, false>;
constexpr auto nav_head_fract_inc = nav_knob<key_nav1_fract_inc, key_nav2_fract_inc, &nav_fract_knob_pos, true>;
constexpr auto nav_head_fract_dec = nav_knob<key_nav1_fract_dec, key_nav2_fract_dec, &nav_fract_knob_pos, false>;

i32 FSAPI nav_head_select_toggle(MousePoint*, u32) {
    nav_set_selector = nav_set_selector == kNav2 ? 1 : kNav2;
    return 0;
}

constexpr u32 kKnobFlags = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x   y   w   h   cursor           events           action
    rect::Click(33, 58, 30, 56, CursorUpArrow,   kKnobFlags,      nav_head_whole_inc),
    rect::Click(3,  58, 30, 56, CursorDownArrow, kKnobFlags,      nav_head_whole_dec),
    rect::Click(93, 58, 30, 56, CursorUpArrow,   kKnobFlags,      nav_head_fract_inc),
    rect::Click(63, 58, 30, 56, CursorDownArrow, kKnobFlags,      nav_head_fract_dec),
    rect::Click(24, 0,  75, 33, CursorHand,      MouseLeftSingle, nav_head_select_toggle),
};

void FSAPI nav_head_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 127;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_radio_nav, "ketravin radio_nav_kr60", kWidthMm,
                                                         nav_head_update, kElementDefs, kRects);

const FreqWindow kNav1{digit_out(&nav1_drum_hundreds_target), digit_out(&nav1_drum_tens_target),
                       digit_out(&nav1_drum_tenths_target), &nav1_drum_units_target, &nav1_drum_last_target};
const FreqWindow kNav2Window{digit_out(&nav2_drum_hundreds_target), digit_out(&nav2_drum_tens_target),
                             digit_out(&nav2_drum_tenths_target), &nav2_drum_units_target, &nav2_drum_last_target};

void FSAPI nav_head_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    // Sources: the host's frequencies are taken only with DC essential power; otherwise the
    // window keeps the last ones. Both sets every frame, so the selector shows either at once.
    if (dc_ess_powered == 1) {
        nav1_freq_bcd = tok_read_u32(tok_nav1_freq);
        nav2_freq_bcd = tok_read_u32(tok_nav2_freq);
    }
    freq_window_targets(nav1_freq_bcd, kNav1);
    freq_window_targets(nav2_freq_bcd, kNav2Window);
    // Visibility: only the hidden flag; the walk's lighting stays.
    const bool nav2 = nav_set_selector == kNav2;
    show_if(gauge.el(LegendNav1), !nav2);
    show_if(gauge.el(LegendNav2), nav2);
    for (size_t i = 0; i < kSetDrums; ++i) {
        show_if(gauge.el(Nav1Last + i), !nav2);
        show_if(gauge.el(Nav2Last + i), nav2);
    }
}
}  // namespace
