// Gross weight indicator of the flight engineer's panel: TOTAL WT (the host's total weight, three
// drums rolling a quarter figure per draw and a continuous tenths drum) over TOTAL FUEL (the
// host's fuel weight on three odometer drums, held with an OFF flag without normal DC); also the
// total weight in hundreds for the airspeed indicator and the autopilot, and a knob the crew sets.
// Reads: tok_units_of_measure, tok_weight_lb, the host's total weight, dc_normal_powered,
//        light_zone, annunciator_bright
// Writes: weight_total, weight_gross_hundreds, weight_digit1..3, weight_drum4, weight_fuel_tens,
//         weight_fuel_digit1..3, weight_fuel_roll1..3, weight_knob_value
#include <cmath>

#include "electrical/state.h"
#include "fuel/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/tokens.h"

GaugeHeader gauge_plane_weight;

namespace {
constexpr u8 kZone = 1;  // engine instruments
constexpr f64 kKgPerLb = 0.453;
const char* const kTotalWeightLb = "(A:TOTAL WEIGHT, Pound)";
const char* const kTotalWeightKg = "(A:TOTAL WEIGHT, kilogram)";

enum Pos : size_t {
    KgFace, LbFace, OffFlag,
    Fuel3, Fuel2, Fuel1,
    Wt4, Wt3, Wt2, Wt1,
    kElements
};
constexpr LightWalk kWalk{kZone, walk_range(KgFace, Wt1)};

constexpr u32 kStripFuel = 2080, kStripWt = 2082;
using drum::target;
const ElementDef kDefs[kElements] = {
    //                  bitmap      x   y  flags  rule / bound variables
    el::Static(2070,                0,  0, ImageOption1),
    el::Icon(2071,                  0,  0, ImageHidden | ImageOption1),
    el::Icon(2072,                  0, 26, ImageHidden | ImageOption1),
    el::BandedDrum(kStripFuel,     36, 49, 0, drum::counter_place(2), &weight_fuel_digit3, &weight_fuel_roll3),
    el::BandedDrum(kStripFuel,     24, 49, 0, drum::counter_place(3), &weight_fuel_digit2, &weight_fuel_roll2),
    el::BandedDrum(kStripFuel,     12, 49, 0, drum::counter_place(4), &weight_fuel_digit1, &weight_fuel_roll1),
    el::ValueDrum(kStripWt,        40,  6, 0, &weight_drum4),
    el::ChasingDrum(kStripWt,      28,  6, 0, drum::carry(9.9), target(&weight_digit3), &weight_drum3),
    el::ChasingDrum(kStripWt,      18,  6, 0, drum::carry(9.9), target(&weight_digit2), &weight_drum2),
    el::ChasingDrum(kStripWt,       8,  6, 0, drum::carry(9.9), target(&weight_digit1), &weight_drum1),
};

// The knob: silent steps of 10 between its stops.
constexpr u16 kKnobMin = 1000, kKnobMax = 3220, kKnobStep = 10;
i32 FSAPI weight_knob_down(MousePoint*, u32) {
    weight_knob_value = weight_knob_value < kKnobMin + kKnobStep ? kKnobMin : u16(weight_knob_value - kKnobStep);
    return 0;
}
i32 FSAPI weight_knob_up(MousePoint*, u32) {
    weight_knob_value = weight_knob_value > kKnobMax - kKnobStep ? kKnobMax : u16(weight_knob_value + kKnobStep);
    return 0;
}
const RectDef kRects[] = {
    //          x  y   w   h   cursor           events           action
    rect::Click(45, 8, 26, 60, CursorDownArrow, MouseLeftSingle, weight_knob_down),
    rect::Click(71, 8, 26, 60, CursorUpArrow,   MouseLeftSingle, weight_knob_up),
};

void FSAPI plane_weight_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_plane_weight, "ketravin plane_weight_kr60", 97, plane_weight_update, kDefs, kRects);

// Step 5: the weight in hundreds and its TOTAL WT digits. Whole parts saturate; a negative weight
// splits as 0.
void total_weight_digits() {
    const f64 h = weight_total / 100.0;
    weight_gross_hundreds = h;
    const f64 v = h > 0.0 ? h : 0.0;
    weight_digit1 = sat_u32(v / 1000.0, weight_digit1);
    const f64 above1 = 1000.0 * weight_digit1;
    weight_digit2 = sat_u32((v - above1) / 100.0, weight_digit2);
    const f64 above2 = above1 + 100.0 * weight_digit2;
    weight_digit3 = sat_u32((v - above2) / 10.0, weight_digit3);
    // Past what the whole digits can hold (an absurd weight) the rest is no longer a tenth: the
    // drum stands at the top of its strip.
    const f64 rest = v - (above2 + 10.0 * weight_digit3);
    weight_drum4 = rest < 10.0 ? rest : std::nextafter(10.0, 0.0);
}

void FSAPI plane_weight_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);  // 1
    // 2: the host's total weight in the selected unit; a reading that is not a number is kept out.
    const bool pounds = tok_read(tok_units_of_measure) == 0.0;
    f64 total = weight_total;
    svc::execute_calculator_code(pounds ? kTotalWeightLb : kTotalWeightKg, &total, nullptr, nullptr);
    if (std::isfinite(total)) weight_total = total;
    show_if(gauge.el(LbFace), pounds);
    show_if(gauge.el(KgFace), !pounds);
    // 3: TOTAL FUEL follows the host only with normal DC.
    const bool powered = dc_normal_powered == 1;
    if (powered) {
        const f64 fuel = tok_read(tok_weight_lb);
        const f64 tens = pounds ? fuel / 10.0 : fuel * kKgPerLb / 10.0;
        if (std::isfinite(tens)) weight_fuel_tens = tens;
    }
    // 4: TOTAL FUEL drums, the thousands place of the tens being the top one.
    const CounterPlaces c = counter_split(weight_fuel_tens, 4);
    weight_fuel_digit1 = c.scaled[4], weight_fuel_roll1 = c.roll[4];
    weight_fuel_digit2 = c.scaled[3], weight_fuel_roll2 = c.roll[3];
    weight_fuel_digit3 = c.scaled[2], weight_fuel_roll3 = c.roll[2];
    total_weight_digits();  // 5
    show_if(gauge.el(OffFlag), !powered);  // 6
}
}  // namespace
