// What the electrical panel gauges share: the lever, flow-bar and selector images, and the two
// drawing habits they all repeat (a lever pair, a flow bar) plus the saturating selector step.
#pragma once
#include "module/gauge.h"

// Lever images common to the panel's switches.
constexpr u32 kBmpLeverDown = 294;    // toggle or three-position lever, down
constexpr u32 kBmpLeverCentre = 291;  // three-position lever, centred
constexpr u32 kBmpLeverUp = 297;      // toggle or three-position lever, up
constexpr u32 kBmpSwitchDown = 284;   // two-position switch lever, down
constexpr u32 kBmpSwitchUp = 288;     // two-position switch lever, up
// Flow bars: one picture upright, one level; a panel uses either as in-line or cross-line.
constexpr u32 kBmpFlowBarUpright = 5301;
constexpr u32 kBmpFlowBarLevel = 5302;
// Rotary selector pointer, 43 x 43 pixels turning about its centre.
constexpr u32 kBmpSelectorPointer = 5164;
constexpr i32 kSelectorPivot = 21;

// Start image flags of the panel's elements.
constexpr u32 kFlagsBackground = ImageLuminous | ImageOption1;
constexpr u32 kFlagsLever = ImageOption1 | ImageOption2;
constexpr u32 kFlagsLeverHidden = ImageHidden | kFlagsLever;
constexpr u32 kFlagsFlowBarHidden = ImageHidden | ImageLuminous | ImageOption1 | ImageOption2;
constexpr u32 kFlagsLampHidden = ImageHidden | ImageBright | ImageOption1 | ImageOption2;

// A two-position lever: the down image at `down`, the up image at `up`.
template <typename G>
void show_lever_pair(G& gauge, size_t down, size_t up, bool is_up) {
    show_if(gauge.el(down), !is_up);
    show_if(gauge.el(up), is_up);
}

// A flow bar: in-line image at `in_line`, cross-line image right after it. In line when the path
// is closed and the bus powered, cross line with the bus alone, neither with the bus dead.
template <typename G>
void show_flow_bar(G& gauge, size_t in_line, bool bus_powered, bool path_closed) {
    show_if(gauge.el(in_line), bus_powered && path_closed);
    show_if(gauge.el(in_line + 1), bus_powered && !path_closed);
}

// Rotary selectors stepped by clicking a half of the knob: silent, saturating at both ends.
inline void selector_down(u8& sel) {
    if (sel > 0) --sel;
}
inline void selector_up(u8& sel, u8 last) {
    if (sel < last) ++sel;
}
// A selector's pointer callback bounds the stored value before showing it.
inline f64 selector_bounded(u8& sel, u8 last) {
    if (sel > last) sel = last;
    return f64(sel);
}
