// Map light panel of the glareshield with the chronometer button, which steps the clock's
// chronometer exactly as the clock's own CHR button does (silently).
// Reads: elec_batt_sw, battery_charge, dc_ess_powered, light_zone, annunciator_bright
// Writes: inst_chrono_state
#include "instruments/chrono.h"
#include "module/gauge.h"
#include "module/lighting.h"

GaugeHeader gauge_map_lt;

namespace {
enum Pos { Plate, kElements };

constexpr u32 kBmpPlate = 7131;

const ElementDef kElementDefs[kElements] = {
    //         bitmap     x  y
    el::Static(kBmpPlate, 0, 0),
};

constexpr LightWalk kWalk{5, walk_positions({Plate})};

i32 FSAPI chrono_button(MousePoint*, u32) {
    chrono_chr_press();
    return 0;
}

const RectDef kRects[] = {
    //          x   y  w   h   cursor      events           action
    rect::Click(46, 6, 40, 40, CursorHand, MouseLeftSingle, chrono_button),
};

void FSAPI map_lt_update(GaugeHeader* g, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(*g, kWalk);
}

Gauge<kElements, 1> gauge(gauge_map_lt, "ketravin map_lt_kr60", 120, map_lt_update, kElementDefs, kRects);
}  // namespace
