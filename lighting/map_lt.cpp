// Map light panel of the glareshield with the chronometer button, which steps the clock's
// chronometer exactly as the clock's own CHR button does (silently).
// Reads: elec_batt_sw, battery_charge, dc_ess_powered, light_zone, annunciator_bright
// Writes: inst_chrono_state
#include "electrical/state.h"
#include "instruments/state.h"
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

// inst_chrono_state: reset, running, held, reset request.
constexpr u8 kChronoReset = 0;
constexpr u8 kChronoRunning = 1;
constexpr u8 kChronoHeld = 2;
constexpr u8 kChronoResetRequest = 3;
constexpr u8 kBatteryOff = 0;  // elec_batt_sw

// The clock runs on battery 1 while it is switched and charged, or on the essential DC bus.
bool clock_powered() {
    return (elec_batt_sw[0] != kBatteryOff && battery_charge > 0) || dc_ess_powered == 1;
}

i32 FSAPI chrono_button(MousePoint*, u32) {
    switch (inst_chrono_state) {
        case kChronoReset: inst_chrono_state = clock_powered() ? kChronoRunning : kChronoReset; break;
        case kChronoRunning: inst_chrono_state = kChronoHeld; break;
        case kChronoHeld: inst_chrono_state = kChronoResetRequest; break;
        default: inst_chrono_state = kChronoReset; break;
    }
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
