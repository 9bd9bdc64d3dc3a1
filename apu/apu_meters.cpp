// The three APU dials of the flight engineer's panel: oil quantity, the split N1/N2 speed dial and
// EGT. Each needle's callback clamps the model's value to the dial's range and shows it.
// Reads: light_zone, annunciator_bright
// Writes: apu_oil_qty, apu_n1_pct, apu_n2_pct, apu_egt_deg (clamped to the dials)
#include "apu/apu_bounds.h"
#include "apu/state.h"
#include "module/gauge.h"
#include "module/lighting.h"

GaugeHeader gauge_apu_ind_oil;
GaugeHeader gauge_apu_ind_n1_n2;
GaugeHeader gauge_apu_ind_egt;

namespace {
constexpr u32 kWidthMm = 91;
constexpr u8 kZone = 4;
constexpr u32 kNeedleFlags = ImageLuminous | ImageOption1 | ImageOption2;
// Every needle's rate word, which follows the table's entry count in the needle record.
constexpr u32 kNeedleRate = 6;

// Dial points and the values the needle shows there; the host fills the angles, so the tables
// are writable.
NonlinearityPoint oil_points[] = {
    {25, 73, 0, 0},   {13, 56, 100, 0}, {12, 34, 200, 0}, {24, 17, 300, 0}, {45, 11, 400, 0},
    {66, 17, 500, 0}, {78, 34, 600, 0}, {78, 57, 700, 0}, {66, 73, 800, 0},
};
NonlinearityPoint n1_points[] = {
    {35, 79, 0, 0}, {20, 72, 20, 0}, {10, 60, 40, 0}, {6, 45, 60, 0},
    {6, 31, 80, 0}, {20, 18, 100, 0}, {35, 10, 120, 0},
};
NonlinearityPoint n2_points[] = {
    {55, 10, 120, 0}, {70, 18, 100, 0}, {80, 31, 80, 0}, {84, 45, 60, 0},
    {80, 60, 40, 0},  {70, 72, 20, 0},  {55, 81, 0, 0},
};
NonlinearityPoint egt_points[] = {
    {23, 72, 0, 0},   {11, 51, 100, 0}, {15, 28, 200, 0}, {33, 12, 300, 0},
    {57, 13, 400, 0}, {75, 28, 500, 0}, {79, 51, 600, 0}, {68, 71, 700, 0},
};

f64 FSAPI oil_needle(ElementHeader*) {
    apu_bound_oil(apu_oil_qty);
    return f64(apu_oil_qty);
}
f64 FSAPI n1_needle(ElementHeader*) {
    apu_bound(apu_n1_pct, kApuSpeedMin, kApuSpeedMax);
    return apu_n1_pct;
}
f64 FSAPI n2_needle(ElementHeader*) {
    apu_bound(apu_n2_pct, kApuSpeedMin, kApuSpeedMax);
    return apu_n2_pct;
}
f64 FSAPI egt_needle(ElementHeader*) {
    apu_bound(apu_egt_deg, kApuEgtMin, kApuEgtMax);
    return apu_egt_deg;
}

// No click areas: the single parent covers the gauge.
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

// ---- oil and EGT: a dial and one needle --------------------------------------------------------
enum SinglePos { Dial, Needle, kSingleElements };
constexpr LightWalk kSingleWalk{kZone, walk_range(Dial, Needle)};

const ElementDef kOilDefs[kSingleElements] = {
    el::Static(419, 0, 0, ImageLuminous),
    el::Needle(425, 45, 45, kNeedleFlags, oil_needle).pivot(9, 5).table(oil_points),
};
const ElementDef kEgtDefs[kSingleElements] = {
    el::Static(422, 0, 0, ImageLuminous),
    el::Needle(425, 45, 45, kNeedleFlags, egt_needle).pivot(9, 5).table(egt_points),
};

// ---- speed: a split dial with a needle on each half ----------------------------------------------
enum SpeedPos { SpeedDial, N1Needle, N2Needle, Divider, kSpeedElements };
constexpr LightWalk kSpeedWalk{kZone, walk_range(SpeedDial, N2Needle)};

const ElementDef kSpeedDefs[kSpeedElements] = {
    el::Static(428, 0, 0, ImageLuminous),
    el::Needle(432, 35, 45, kNeedleFlags, n1_needle).pivot(8, 4).table(n1_points),
    el::Needle(435, 55, 45, kNeedleFlags, n2_needle).pivot(8, 4).table(n2_points),
    el::Icon(438, 37, 0),  // divider with the RPM % 10 legend, never lit
};

void FSAPI oil_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(gauge_apu_ind_oil, kSingleWalk);
}
void FSAPI speed_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(gauge_apu_ind_n1_n2, kSpeedWalk);
}
void FSAPI egt_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(gauge_apu_ind_egt, kSingleWalk);
}

Gauge<kSingleElements, 2> oil_gauge(gauge_apu_ind_oil, "ketravin apu_ind_oil_kr60", kWidthMm, oil_update, kOilDefs,
                                    kNoClicks);
Gauge<kSpeedElements, 2> speed_gauge(gauge_apu_ind_n1_n2, "ketravin apu_ind_n1_n2_kr60", kWidthMm, speed_update,
                                     kSpeedDefs, kNoClicks);
Gauge<kSingleElements, 2> egt_gauge(gauge_apu_ind_egt, "ketravin apu_ind_egt_kr60", kWidthMm, egt_update, kEgtDefs,
                                    kNoClicks);

// The element lines have no field for the rate word; it is stored once the records exist.
struct NeedleRates {
    NeedleRates() {
        for (ElementHeader* e : {oil_gauge.el(Needle), speed_gauge.el(N1Needle), speed_gauge.el(N2Needle),
                                 egt_gauge.el(Needle)})
            reinterpret_cast<NeedleElement*>(e)->reserved2[0] = kNeedleRate;
    }
} needle_rates;
}  // namespace
