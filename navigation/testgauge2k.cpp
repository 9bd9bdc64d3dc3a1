// Debug readout: four values of the first INS's navigation computer as decimal numbers, for
// checking the flight-plan distance tables; two arrows step the table index (1..98).
// Reads: ins1_dist_wpt0_nm, ins_leg_nm, ins_leg_cum_nm, ins1_fpl_rows, debug_readout_index
// Writes: debug_readout_index
#include "navigation/state.h"
#include "module/gauge.h"

GaugeHeader gauge_testgauge2k;

namespace {
enum Pos { Frame, LitLamp, Line4, Line3, Line2, Line1, kElements };

constexpr u8 kIndexMin = 1;
constexpr u8 kIndexMax = 98;

f64 FSAPI show_value(ElementHeader* e, f64 v) {
    set_text(reinterpret_cast<StringElement*>(e), "%1.6f", v);
    return v;
}
f64 FSAPI debug_readout_1(ElementHeader* e) { return show_value(e, ins1_dist_wpt0_nm); }
f64 FSAPI debug_readout_2(ElementHeader* e) { return show_value(e, ins_leg_nm[debug_readout_index % 99]); }
f64 FSAPI debug_readout_3(ElementHeader* e) { return show_value(e, ins1_fpl_rows[1]); }
f64 FSAPI debug_readout_4(ElementHeader* e) { return show_value(e, ins_leg_cum_nm[debug_readout_index % 99]); }

i32 FSAPI debug_index_down(MousePoint*, u32) {
    if (debug_readout_index > kIndexMin) --debug_readout_index;
    return 0;
}
i32 FSAPI debug_index_up(MousePoint*, u32) {
    if (debug_readout_index < kIndexMax) ++debug_readout_index;
    return 0;
}

void FSAPI testgauge2k_update(GaugeHeader*, i32, u32) {}

constexpr TextStyle kLine = {80, 30, 0x0080FF, 0x000000, 0x5C5C5C, "Quartz", 400, 24, 0, 0};
constexpr u32 kLineFlags = ImageBright | ImageOption2;

const ElementDef kElementDefs[kElements] = {
    //         bitmap  x    y   flags
    el::Static(256,    0,   0,  ImageOption1),                              // unlit lamp frame
    el::Icon(259,      0,   0,  ImageHidden | ImageBright | ImageOption2),  // lit lamp, never shown
    el::String(        0, 144,  kLineFlags, kLine, debug_readout_4),
    el::String(        0, 108,  kLineFlags, kLine, debug_readout_3),
    el::String(        0,  72,  kLineFlags, kLine, debug_readout_2),
    el::String(        0,  36,  kLineFlags, kLine, debug_readout_1),
};

const RectDef kRects[] = {
    //          x   y   w   h   cursor           events           action
    rect::Click(0,  0,  19, 17, CursorDownArrow, MouseLeftSingle, debug_index_down),
    rect::Click(19, 0,  19, 17, CursorUpArrow,   MouseLeftSingle, debug_index_up),
};

Gauge<kElements, 2> gauge(gauge_testgauge2k, "testgauge2k", 36, testgauge2k_update, kElementDefs, kRects,
                          ChainShape::Fan);
}  // namespace
