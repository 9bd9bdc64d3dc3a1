// Flight-deck lighting panel on the overhead: annunciator light switch (TEST, BRT, DIM),
// panel-light knob and lighting refresh button. Its gauge callback is the systems computer.
// Reads: light_flt_deck_sw, light_tint_sw, light_tint_level, light_panel_on, annunciator_bright
// Writes: light_flt_deck_sw, light_refresh, light_panel_on, annunciator_bright
#include "lighting/flt_deck_lt.h"

#include "lighting/state.h"
#include "systems/systems_computer.h"
#include "module/gauge.h"
#include "module/switches.h"

GaugeHeader gauge_flt_deck_lt;

namespace {
enum Pos { Plate, KnobImage, RefreshImage, SwitchDim, SwitchBrt, SwitchTest, Frame, Spare, kElements };

// Our bitmap ids for this panel.
constexpr u32 kBmpPlate = 2900;
constexpr u32 kBmpKnob = 2901;
constexpr u32 kBmpRefresh = 2902;
constexpr u32 kBmpSwitchDim = 2903;
constexpr u32 kBmpSwitchBrt = 2904;
constexpr u32 kBmpSwitchTest = 2905;
constexpr u32 kBmpFrame = 2906;
constexpr u32 kBmpSpare = 2907;

// light_flt_deck_sw positions.
constexpr u8 kBrt = 0;
constexpr u8 kDim = 1;
constexpr u8 kTest = 2;

const ElementDef kElementDefs[kElements] = {
    //       bitmap          x    y   start flags
    el::Static(kBmpPlate,    0,   0),
    el::Icon(kBmpKnob,       90,  64),
    el::Icon(kBmpRefresh,    43,  69),
    el::Icon(kBmpSwitchDim,  102, 43, ImageHidden),
    el::Icon(kBmpSwitchBrt,  107, 26),
    el::Icon(kBmpSwitchTest, 113, 9,  ImageHidden),
    el::Icon(kBmpFrame,      0,   0),
    el::Icon(kBmpSpare,      0,   0,  ImageHidden),
};

// The panel-light knob: off, luminous, bright. With the tint switch on, tint level 3 forbids the
// bright image and level 1 forces it. No sound.
constexpr u8 kTintForbidsBright = 3;
constexpr u8 kTintForcesBright = 1;

i32 FSAPI knob_down(MousePoint*, u32) {
    if (light_tint_sw == 1) {
        if (light_tint_level == kTintForbidsBright) {
            annunciator_bright = 0;
            return 0;
        }
        if (light_tint_level == kTintForcesBright) return 0;
    }
    if (annunciator_bright == 1)
        annunciator_bright = 0;
    else
        light_panel_on = 0;
    light_refresh = 1;
    return 0;
}

i32 FSAPI knob_up(MousePoint*, u32) {
    if (light_tint_sw == 1) {
        if (light_tint_level == kTintForbidsBright) return 0;
        if (light_tint_level == kTintForcesBright) {
            annunciator_bright = 1;
            return 0;
        }
    }
    if (light_panel_on == 0) {
        light_panel_on = 1;
    } else {
        annunciator_bright = 1;
        light_refresh = 1;
    }
    return 0;
}
i32 FSAPI refresh_button(MousePoint*, u32) {
    light_refresh = 1;
    return 0;
}

const RectDef kRects[] = {
    //          x    y   w   h   cursor            events           action
    rect::Click(113, 9,  33, 17, CursorHand,       MouseLeftSingle, click_switch<&light_flt_deck_sw, kTest>),
    rect::Click(107, 26, 33, 17, CursorHand,       MouseLeftSingle, click_switch<&light_flt_deck_sw, kBrt>),
    rect::Click(102, 43, 33, 17, CursorHand,       MouseLeftSingle, click_switch<&light_flt_deck_sw, kDim>),
    rect::Click(90,  64, 29, 34, CursorLeftArrow,  MouseLeftSingle, knob_down),
    rect::Click(119, 64, 29, 34, CursorRightArrow, MouseLeftSingle, knob_up),
    rect::Click(43,  69, 40, 29, CursorHand,       MouseLeftSingle, refresh_button),
};

Gauge<kElements, 6> gauge(gauge_flt_deck_lt, "ketravin flt_deck_lt_kr60", 165, systems_tick, kElementDefs, kRects);
}  // namespace

void flt_deck_lt_images() {
    show_if(gauge.el(KnobImage), true);
    show_if(gauge.el(RefreshImage), true);
    show_if(gauge.el(SwitchDim), light_flt_deck_sw == kDim);
    show_if(gauge.el(SwitchBrt), light_flt_deck_sw == kBrt);
    show_if(gauge.el(SwitchTest), light_flt_deck_sw == kTest);
    show_if(gauge.el(Frame), true);
    show_if(gauge.el(Spare), false);
}
