// Enlarged copies of the two HP fuel valve levers, with the engine's fire lamp in the lever.
// They move the same valve bytes as the engine panel's levers (the systems computer keeps the
// host's fuel supply in step); silent and unlit.
// Reads: dc_ess_powered, warn_fire
// Writes: eng_hp_valve_open
#include "electrical/state.h"
#include "engines/state.h"
#include "module/gauge.h"
#include "warnings/state.h"

GaugeHeader gauge_hp_lev_1_big;
GaugeHeader gauge_hp_lev_2_big;

namespace {
enum Pos : size_t { LeverShut, LeverOpen, FireLamp, kElements };
constexpr u8 kShut = 0, kOpen = 1;

template <size_t Engine, u8 Value>
i32 FSAPI set_valve(MousePoint*, u32) {
    eng_hp_valve_open[Engine] = Value;
    return 0;
}

template <size_t Engine>
constexpr RectDef kRects[2] = {
    //          x   y   w   h   cursor           events            action
    rect::Click(0,  0, 51, 42, CursorUpArrow,   MouseLeftSingle,  set_valve<Engine, kOpen>),
    rect::Click(0, 42, 51, 42, CursorDownArrow, MouseRightSingle, set_valve<Engine, kShut>),
};

const ElementDef kLever1Defs[kElements] = {
    //          bitmap  x  y  flags
    el::Static(4256,    0, 0),
    el::Icon(4259,      0, 0, ImageHidden),
    el::Icon(5225,      0, 0, ImageHidden),
};
const ElementDef kLever2Defs[kElements] = {
    el::Static(4262,    0, 0),
    el::Icon(4265,      0, 0, ImageHidden),
    el::Icon(5232,      0, 0, ImageHidden),
};

template <size_t Engine>
void FSAPI hp_lever_big_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 51;
Gauge<kElements, 2> lever1(gauge_hp_lev_1_big, "ketravin hp_lev_1_big_kr60", kWidthMm, hp_lever_big_update<0>,
                           kLever1Defs, kRects<0>);
Gauge<kElements, 2> lever2(gauge_hp_lev_2_big, "ketravin hp_lev_2_big_kr60", kWidthMm, hp_lever_big_update<1>,
                           kLever2Defs, kRects<1>);

template <size_t Engine>
void FSAPI hp_lever_big_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    auto& g = Engine == 0 ? lever1 : lever2;
    const bool open = eng_hp_valve_open[Engine] == kOpen;
    show_if(g.el(LeverShut), !open);
    show_if(g.el(LeverOpen), open);
    // The lamp is in the lever: it shows only while the lever stands open.
    show_if(g.el(FireLamp), open && dc_ess_powered == 1 && warn_fire[Engine] == 1);
}
}  // namespace
