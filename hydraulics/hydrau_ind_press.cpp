// The three hydraulic pressure dials (blue, green, yellow) of the flight engineer's station. A
// needle shows its circuit's pressure, with no power test, and holds the shared value at the top
// of the scale.
// Reads: hyd_press_blue, hyd_press_green, hyd_press_yellow, light_zone, annunciator_bright
// Writes: hyd_press_blue, hyd_press_green, hyd_press_yellow (cut to 4000 psi when drawn)
#include "hydraulics/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"

GaugeHeader gauge_hydrau_ind_press_blue;
GaugeHeader gauge_hydrau_ind_press_green;
GaugeHeader gauge_hydrau_ind_press_yellow;

namespace {
enum Pos : size_t { Dial, Needle, kElements };
constexpr LightWalk kWalk{4, walk_range(Dial, Needle)};

constexpr u32 kBmpDial = 1033;
constexpr u32 kBmpNeedle = 1036;
constexpr u32 kScaleTopPsi = 4000;
constexpr u32 kNeedleRate = 6;  // degrees; the needle record's turn-rate word
constexpr u32 kWidthMm = 53;

// The value shown; a pressure above the scale is cut in the shared variable itself.
template <u32* Psi>
f64 FSAPI press_needle(ElementHeader*) {
    if (*Psi > kScaleTopPsi) *Psi = kScaleTopPsi;
    return f64(*Psi);
}

// Dial points (x, y) for 0..4000 psi; the host writes the angles, so each dial has its own table.
#define KR_PRESS_POINTS \
    { {8, 58, 0, 0}, {7, 15, 1000, 0}, {38, 1, 2000, 0}, {69, 17, 3000, 0}, {68, 58, 4000, 0} }
NonlinearityPoint blue_points[] = KR_PRESS_POINTS;
NonlinearityPoint green_points[] = KR_PRESS_POINTS;
NonlinearityPoint yellow_points[] = KR_PRESS_POINTS;
#undef KR_PRESS_POINTS

using namespace fl;
template <u32* Psi, size_t N>
constexpr ElementDef needle(NonlinearityPoint (&points)[N]) {
    return el::Needle(kBmpNeedle, 37, 37, Lum | Opt3, press_needle<Psi>).pivot(12, 5).table(points);
}
const ElementDef kBlueDefs[kElements] = {el::Static(kBmpDial, 0, 0, Lum | Opt1),
                                         needle<&hyd_press_blue>(blue_points)};
const ElementDef kGreenDefs[kElements] = {el::Static(kBmpDial, 0, 0, Lum | Opt1),
                                          needle<&hyd_press_green>(green_points)};
const ElementDef kYellowDefs[kElements] = {el::Static(kBmpDial, 0, 0, Lum | Opt1),
                                           needle<&hyd_press_yellow>(yellow_points)};

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

template <GaugeHeader* G>
void FSAPI hyd_press_ind_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(*G, kWalk);
}

Gauge<kElements, 2> blue(gauge_hydrau_ind_press_blue, "ketravin hydrau_ind_press_blue_kr60", kWidthMm,
                         hyd_press_ind_update<&gauge_hydrau_ind_press_blue>, kBlueDefs, kNoClicks);
Gauge<kElements, 2> green(gauge_hydrau_ind_press_green, "ketravin hydrau_ind_press_green_kr60", kWidthMm,
                          hyd_press_ind_update<&gauge_hydrau_ind_press_green>, kGreenDefs, kNoClicks);
Gauge<kElements, 2> yellow(gauge_hydrau_ind_press_yellow, "ketravin hydrau_ind_press_yellow_kr60", kWidthMm,
                           hyd_press_ind_update<&gauge_hydrau_ind_press_yellow>, kYellowDefs, kNoClicks);

// The element lines have no field for the rate word; it is stored once the records exist.
struct NeedleRates {
    NeedleRates() {
        for (ElementHeader* e : {blue.el(Needle), green.el(Needle), yellow.el(Needle)})
            reinterpret_cast<NeedleElement*>(e)->reserved2[0] = kNeedleRate;
    }
} needle_rates;
}  // namespace
