// The four bleed dials of the flight engineer's panel: each engine's bleed temperature and
// pressure. They only show the bleed valves' models, parked at 0 without DC essential power.
// Reads: air_bleed_temp, air_bleed_press, dc_ess_powered, light_zone, annunciator_bright
// Writes: nothing
#include <algorithm>
#include <iterator>

#include "air/air_panel.h"
#include "air/state.h"
#include "electrical/state.h"
#include "module/lighting.h"

GaugeHeader gauge_air_bleedtemp_lh;
GaugeHeader gauge_air_bleedpress_lh;
GaugeHeader gauge_air_bleedtemp_rh;
GaugeHeader gauge_air_bleedpress_rh;

namespace {
enum Pos : size_t { Face, Pointer, kElements };
constexpr LightWalk kWalk{kAirZone, walk_range(Face, Pointer)};
constexpr u32 kBmpTempFace = 6020, kBmpPressFace = 6021, kBmpPointer = 6022;
constexpr i32 kPivot = 43;  // the pointer turns about the face's centre
constexpr f64 kRadius = 40.0;
constexpr u32 kPointerRate = 6;

// Dial tables: value (tenths) at angle, clockwise from twelve o'clock.
constexpr f64 kTempTop = 3000.0, kPressTop = 900.0;
NonlinearityPoint temp_points[2][7] = {};
NonlinearityPoint press_points[2][5] = {};
constexpr NonlinearityPoint kTempTable[7] = {{0, 0, 0, 136},    {0, 0, 500, 178},  {0, 0, 1000, 219},
                                             {0, 0, 1500, 261}, {0, 0, 2000, 305}, {0, 0, 2500, 348},
                                             {0, 0, 3000, 373}};
constexpr NonlinearityPoint kPressTable[5] = {
    {0, 0, 0, 243}, {0, 0, 200, 295}, {0, 0, 400, 345}, {0, 0, 650, 412}, {0, 0, 900, 477}};

template <size_t E>
f64 FSAPI bleed_temp_needle(ElementHeader*) {
    return dc_ess_powered == 1 ? std::min(f64(air_bleed_temp[E]), kTempTop) : 0.0;
}
template <size_t E>
f64 FSAPI bleed_press_needle(ElementHeader*) {
    return dc_ess_powered == 1 ? std::min(f64(air_bleed_press[E]), kPressTop) : 0.0;
}

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

template <size_t E>
constexpr ElementDef kTempElements[kElements] = {
    el::Static(kBmpTempFace, 0, 0, kAirLit),
    el::Needle(kBmpPointer, kPivot, kPivot, kAirLit, bleed_temp_needle<E>).pivot(4, 4).table(temp_points[E]),
};
template <size_t E>
constexpr ElementDef kPressElements[kElements] = {
    el::Static(kBmpPressFace, 0, 0, kAirLit),
    el::Needle(kBmpPointer, kPivot, kPivot, kAirLit, bleed_press_needle<E>).pivot(4, 4).table(press_points[E]),
};

void FSAPI bleed_indicator_update(GaugeHeader* g, i32 service, u32) {
    if (service == ServicePreUpdate && g) light_walk(*g, kWalk);
}

using Dial = Gauge<kElements, 2>;
Dial dials[4] = {
    {gauge_air_bleedtemp_lh, "ketravin air_bleedtemp_lh_kr60", 86, bleed_indicator_update, kTempElements<0>,
     kNoClicks},
    {gauge_air_bleedpress_lh, "ketravin air_bleedpress_lh_kr60", 86, bleed_indicator_update, kPressElements<0>,
     kNoClicks},
    {gauge_air_bleedtemp_rh, "ketravin air_bleedtemp_rh_kr60", 86, bleed_indicator_update, kTempElements<1>,
     kNoClicks},
    {gauge_air_bleedpress_rh, "ketravin air_bleedpress_rh_kr60", 86, bleed_indicator_update, kPressElements<1>,
     kNoClicks},
};

struct DialSetup {
    DialSetup() {
        for (size_t e = 0; e < 2; ++e) {
            std::copy(std::begin(kTempTable), std::end(kTempTable), temp_points[e]);
            std::copy(std::begin(kPressTable), std::end(kPressTable), press_points[e]);
            air_dial_points(temp_points[e], kPivot, kPivot, kRadius);
            air_dial_points(press_points[e], kPivot, kPivot, kRadius);
        }
        for (Dial& d : dials) air_needle_rate(d.el(Pointer), kPointerRate);
    }
} dial_setup;
}  // namespace
