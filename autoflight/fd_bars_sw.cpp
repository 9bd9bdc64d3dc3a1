// Flight-director bars switch gauge with the panel's integral light tint controls: the tint
// switch between the tint level's DIM and BRIGHT arrows. The bars switch clicks on a real change;
// the tint controls play no sound and each asks for a lighting refresh.
// Reads: dc_ess_powered, light_time_of_day, light_zone, annunciator_bright, fd_bars_on_flag
// Writes: fd_bars_on_flag, light_tint_sw, light_tint_level, annunciator_bright, light_refresh
#include "autoflight/state.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/switches.h"

GaugeHeader gauge_fd_bars_sw;

namespace {
enum Pos { Plate, BarsDown, BarsUp, kElements };

constexpr u32 kBmpPlate = 2380;
constexpr u32 kBmpSwitchDown = 294;
constexpr u32 kBmpSwitchUp = 297;

const ElementDef kElementDefs[kElements] = {
    //         bitmap           x   y   flags
    el::Static(kBmpPlate,       0,  0),
    el::Icon(kBmpSwitchDown,    11, 37),               // bars OFF
    el::Icon(kBmpSwitchUp,      11, 22, ImageHidden),  // bars ON
};

constexpr LightWalk kWalk{4, walk_positions({Plate})};

constexpr u8 kNight = 3;      // light_time_of_day
constexpr u8 kDusk = 2;
constexpr u8 kLevelBright = 1;  // light_tint_level: forces the bright image
constexpr u8 kLevelMid = 2;
constexpr u8 kLevelDim = 3;     // forbids the bright image

constexpr u8 kBarsOff = 0, kBarsOn = 1;

i32 FSAPI tint_switch(MousePoint*, u32) {
    if (light_tint_sw == 1) {
        light_tint_sw = 0;
    } else if (dc_ess_powered == 1) {
        light_tint_sw = 1;
        if (light_time_of_day == kNight) {
            light_tint_level = kLevelDim;
            annunciator_bright = 0;
        } else if (light_time_of_day == kDusk) {
            light_tint_level = kLevelMid;
        } else {
            light_tint_level = kLevelBright;
            annunciator_bright = 1;
        }
    }
    light_refresh = 1;
    return 0;
}

i32 FSAPI tint_dimmer(MousePoint*, u32) {
    if (light_tint_level >= kLevelMid) {
        light_tint_level = kLevelDim;
        annunciator_bright = 0;
    } else {
        ++light_tint_level;
    }
    light_refresh = 1;
    return 0;
}

i32 FSAPI tint_brighter(MousePoint*, u32) {
    if (light_tint_level < kLevelDim) {
        light_tint_level = kLevelBright;
        annunciator_bright = 1;
    } else {
        light_tint_level = kLevelMid;
    }
    light_refresh = 1;
    return 0;
}

const RectDef kRects[] = {
    //          x   y   w   h   cursor           events           action
    rect::Click(0,  0,  29, 27, CursorHand,      MouseLeftSingle, click_switch<&fd_bars_on_flag, kBarsOn>),
    rect::Click(0,  27, 29, 27, CursorHand,      MouseLeftSingle, click_switch<&fd_bars_on_flag, kBarsOff>),
    rect::Click(48, 0,  27, 53, CursorHand,      MouseLeftSingle, tint_switch),
    rect::Click(31, 0,  17, 53, CursorDownArrow, MouseLeftSingle, tint_dimmer),
    rect::Click(75, 0,  17, 53, CursorUpArrow,   MouseLeftSingle, tint_brighter),
};

void FSAPI fd_bars_sw_update(GaugeHeader* g, i32 service, u32);

Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_fd_bars_sw, "ketravin fd_bars_sw_kr60", 92,
                                                         fd_bars_sw_update, kElementDefs, kRects);

void FSAPI fd_bars_sw_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(*g, kWalk);
    show_one_of(gauge, BarsDown, 2, fd_bars_on_flag == kBarsOn ? 1 : 0);
}
}  // namespace
