// QTY TEST push-button and the two RESERVE lamps beside the fuel quantity indicators. The button
// starts the self-test of all five indicators; each lamp watches its auxiliary tank and raises
// the FUEL caution, which stays raised for the rest of the flight.
// Reads: fuel_qty_a_left, fuel_qty_a_right, dc_normal_powered, light_zone, annunciator_bright
// Writes: fuel_qty_test_active, warn_fuel_low
#include "electrical/state.h"
#include "fuel/state.h"
#include "module/gauge.h"
#include "module/lighting.h"

GaugeHeader gauge_fuel_qtty_test;
GaugeHeader gauge_fuel_qtty_reserve_1;
GaugeHeader gauge_fuel_qtty_reserve_2;

namespace {
constexpr u8 kZone = 4;
constexpr f64 kReserveQty = 1150.0;  // quantity units, inclusive; the same in either unit

// ---- QTY TEST --------------------------------------------------------------------------------
const ElementDef kTestDefs[] = {el::Static(480, 0, 0, ImageLuminous | ImageOption1)};
constexpr LightWalk kTestWalk{kZone, walk_range(0, 0)};

// Silent; with normal DC every indicator starts (or carries on with) its test.
i32 FSAPI fuel_qty_test(MousePoint*, u32) {
    if (dc_normal_powered != 1) return 0;
    for (u8& b : fuel_qty_test_active) b = 1;
    return 0;
}
const RectDef kTestRects[] = {rect::Click(0, 19, 25, 25, CursorHand, MouseLeftSingle, fuel_qty_test)};

void FSAPI fuel_qty_test_update(GaugeHeader*, i32 service, u32);
Gauge<1, 1> test_button(gauge_fuel_qtty_test, "ketravin fuel_qtty_test_kr60", 25, fuel_qty_test_update, kTestDefs,
                        kTestRects);
void FSAPI fuel_qty_test_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(test_button.header(), kTestWalk);
}

// ---- RESERVE lamps ---------------------------------------------------------------------------
enum LampPos : size_t { Background, Lamp, kLampElements };
// The lamp carries its bright image in its record and is never walked.
constexpr LightWalk kLampWalk{kZone, walk_range(Background, Background)};
constexpr u32 kLampFlags = ImageHidden | ImageBright | ImageOption1 | ImageOption2;
const ElementDef kReserve1Defs[kLampElements] = {
    el::Static(482, 0, 0, ImageLuminous | ImageOption1),  // legend 1A at the left
    el::Icon(484, 22, 4, kLampFlags),
};
const ElementDef kReserve2Defs[kLampElements] = {
    el::Static(483, 0, 0, ImageLuminous | ImageOption1),  // legend 2A at the right
    el::Icon(484, 2, 4, kLampFlags),
};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI reserve_1_update(GaugeHeader*, i32 service, u32);
void FSAPI reserve_2_update(GaugeHeader*, i32 service, u32);
constexpr u32 kLampWidthMm = 56;
Gauge<kLampElements, 2> reserve_1(gauge_fuel_qtty_reserve_1, "ketravin fuel_qtty_reserve_1_kr60", kLampWidthMm,
                                  reserve_1_update, kReserve1Defs, kNoClicks);
Gauge<kLampElements, 2> reserve_2(gauge_fuel_qtty_reserve_2, "ketravin fuel_qtty_reserve_2_kr60", kLampWidthMm,
                                  reserve_2_update, kReserve2Defs, kNoClicks);

void fuel_reserve_update(Gauge<kLampElements, 2>& g, f64 qty) {
    light_walk(g.header(), kLampWalk);
    const bool low = qty <= kReserveQty && dc_normal_powered == 1;
    if (low) warn_fuel_low = 1;
    show_if(g.el(Lamp), low);
}
void FSAPI reserve_1_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) fuel_reserve_update(reserve_1, fuel_qty_a_left);
}
void FSAPI reserve_2_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) fuel_reserve_update(reserve_2, fuel_qty_a_right);
}
}  // namespace
