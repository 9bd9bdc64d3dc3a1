// "ketravin hp_lev_1_kr60", "ketravin hp_lev_2_kr60": the HP fuel levers on the pedestal, each with
// a red fire lamp in its knob. A left click opens the lever, a right click shuts it; the systems
// computer keeps the host's mixture in step. Never lit by the panel lighting.
// Reads: dc_ess_powered, warn_fire
// Writes: eng_hp_valve_open
#include "electrical/state.h"
#include "engines/state.h"
#include "module/gauge.h"
#include "warnings/state.h"

GaugeHeader gauge_hp_lev_1;
GaugeHeader gauge_hp_lev_2;

namespace {
enum Pos : size_t { LeverShut, LeverOpen, KnobLamp, kElements };
constexpr u8 kOpen = 1, kShut = 0;
constexpr u32 kWidthMm = 35;

// Bitmaps per engine: lever down, lever up, knob lamp.
constexpr u32 kBmp[2][3] = {{1193, 1196, 5222}, {1200, 1203, 5228}};

template <size_t I>
constexpr ElementDef kElementDefs[kElements] = {
    //         bitmap        x  y  start flags
    el::Static(kBmp[I][0],   0, 0, ImageOption2),
    el::Icon(kBmp[I][1],     0, 0, ImageHidden | ImageOption2),
    el::Icon(kBmp[I][2],     0, 0, ImageHidden | ImageBright | ImageOption1 | ImageOption2),
};

// Left opens, then right shuts; silent, no key event, no power needed.
template <size_t I>
i32 FSAPI hp_lever_click(MousePoint*, u32 flags) {
    if (flags & MouseLeftSingle) eng_hp_valve_open[I] = kOpen;
    if (flags & MouseRightSingle) eng_hp_valve_open[I] = kShut;
    return 0;
}
constexpr auto hp_lever_mouse = hp_lever_click<0>;
constexpr auto hp_lever2_mouse = hp_lever_click<1>;

template <MouseCallback Click>
constexpr RectDef kRects[1] = {
    //          x  y  w   h   cursor      events                              action
    rect::Click(0, 0, 35, 63, CursorHand, MouseLeftSingle | MouseRightSingle, Click),
};

template <size_t I>
void FSAPI hp_lever_frame(GaugeHeader*, i32 service, u32);
constexpr auto hp_lever_update = hp_lever_frame<0>;
constexpr auto hp_lever2_update = hp_lever_frame<1>;

Gauge<kElements, 1> gauge1(gauge_hp_lev_1, "ketravin hp_lev_1_kr60", kWidthMm, hp_lever_update, kElementDefs<0>,
                           kRects<hp_lever_mouse>);
Gauge<kElements, 1> gauge2(gauge_hp_lev_2, "ketravin hp_lev_2_kr60", kWidthMm, hp_lever2_update, kElementDefs<1>,
                           kRects<hp_lever2_mouse>);

template <size_t I>
void FSAPI hp_lever_frame(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    auto& g = I == 0 ? gauge1 : gauge2;
    const bool open = eng_hp_valve_open[I] == kOpen;
    show_if(g.el(LeverShut), !open);
    show_if(g.el(LeverOpen), open);
    show_if(g.el(KnobLamp), open && dc_ess_powered == 1 && warn_fire[I] == 1);
}
}  // namespace
