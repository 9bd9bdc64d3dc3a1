// Cabin temperature section of the flight engineer's panel: four zone selectors standing at AUTO,
// four TEMP CONT valve indicators at fixed positions, the trim-air switch and a separator strip.
// Fixed pictures: no clicks, no model; only the lighting changes.
// Reads: light_zone, annunciator_bright
// Writes: air_temp_cont_pos (brought within the dial's stops)
#include <algorithm>
#include <iterator>

#include "air/air_panel.h"
#include "air/state.h"
#include "module/lighting.h"

GaugeHeader gauge_air_ctempctrl;
GaugeHeader gauge_air_ctempvalve_1;
GaugeHeader gauge_air_ctempvalve_2;
GaugeHeader gauge_air_ctempvalve_3;
GaugeHeader gauge_air_ctempvalve_4;
GaugeHeader gauge_air_ctrimairsw;
GaugeHeader gauge_air_lum2;

namespace {
constexpr u32 kBmpCtrlFace = 6040, kBmpZoneKnob = 6041, kBmpValveFace = 6042, kBmpValvePointer = 6043,
              kBmpTrimFace = 6044, kBmpTrimLeverUp = 6045, kBmpLum2 = 6046;
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI light_face(GaugeHeader* g, i32 service, u32) {
    constexpr LightWalk kFaceWalk{kAirZone, walk_positions({0})};
    if (service == ServicePreUpdate && g) light_walk(*g, kFaceWalk);
}

// ---- zone selectors: the knob image points at three o'clock; a quarter turn back shows AUTO -------
constexpr f64 kKnobAtAuto = -90.0;
f64 FSAPI cabin_zone_knob_value(ElementHeader*) { return kKnobAtAuto; }
const ElementDef kCtrlElements[] = {
    //       bitmap           x    y   start flags
    el::Static(kBmpCtrlFace,   0,   0, kAirLit),
    el::Needle(kBmpZoneKnob,  41,  41, kAirLever, cabin_zone_knob_value).pivot(20, 20),
    el::Needle(kBmpZoneKnob, 123,  41, kAirLever, cabin_zone_knob_value).pivot(20, 20),
    el::Needle(kBmpZoneKnob, 205,  41, kAirLever, cabin_zone_knob_value).pivot(20, 20),
    el::Needle(kBmpZoneKnob, 287,  41, kAirLever, cabin_zone_knob_value).pivot(20, 20),
};
[[maybe_unused]] Gauge<5, 2> ctrl_gauge(gauge_air_ctempctrl, "ketravin air_ctempctrl_kr60", 327, light_face,
                                        kCtrlElements, kNoClicks);

// ---- TEMP CONT indicators -------------------------------------------------------------------------
enum ValvePos : size_t { ValveFace, ValvePointer, kValveCount };
constexpr LightWalk kValveWalk{kAirZone, walk_range(ValveFace, ValvePointer)};
constexpr i8 kContLimit = 20;
constexpr i32 kValvePivot = 28;
constexpr u32 kValveRate = 6;
NonlinearityPoint valve_points[4][3] = {};
constexpr NonlinearityPoint kValveTable[3] = {{0, 0, -20, 280}, {0, 0, 0, 360}, {0, 0, 20, 450}};

template <size_t I>
f64 FSAPI temp_cont_value(ElementHeader*) {
    i8& v = air_temp_cont_pos[I];
    v = std::clamp<i8>(v, -kContLimit, kContLimit);
    return f64(v);
}
template <size_t I>
constexpr ElementDef kValveElements[kValveCount] = {
    el::Static(kBmpValveFace, 0, 0, kAirLit),
    el::Needle(kBmpValvePointer, kValvePivot, kValvePivot, kAirLit, temp_cont_value<I>)
        .pivot(3, 3)
        .table(valve_points[I]),
};
void FSAPI temp_cont_update(GaugeHeader* g, i32 service, u32) {
    if (service == ServicePreUpdate && g) light_walk(*g, kValveWalk);
}
using ValveGauge = Gauge<kValveCount, 2>;
ValveGauge valve_gauges[4] = {
    {gauge_air_ctempvalve_1, "ketravin air_ctempvalve_1_kr60", 57, temp_cont_update, kValveElements<0>, kNoClicks},
    {gauge_air_ctempvalve_2, "ketravin air_ctempvalve_2_kr60", 57, temp_cont_update, kValveElements<1>, kNoClicks},
    {gauge_air_ctempvalve_3, "ketravin air_ctempvalve_3_kr60", 57, temp_cont_update, kValveElements<2>, kNoClicks},
    {gauge_air_ctempvalve_4, "ketravin air_ctempvalve_4_kr60", 57, temp_cont_update, kValveElements<3>, kNoClicks},
};
struct ValveDials {
    ValveDials() {
        for (size_t i = 0; i < 4; ++i) {
            std::copy(std::begin(kValveTable), std::end(kValveTable), valve_points[i]);
            air_dial_points(valve_points[i], kValvePivot, kValvePivot, 22.0);
            air_needle_rate(valve_gauges[i].el(ValvePointer), kValveRate);
        }
    }
} valve_dials;

// ---- trim-air switch (lever up for good) and the separator strip -----------------------------------
const ElementDef kTrimElements[] = {
    el::Static(kBmpTrimFace, 0, 0, kAirLit),
    el::Icon(kBmpTrimLeverUp, 10, 8, kAirLever),
};
[[maybe_unused]] Gauge<2, 2> trim_gauge(gauge_air_ctrimairsw, "ketravin air_ctrimairsw_kr60", 38, light_face,
                                        kTrimElements, kNoClicks);
const ElementDef kLum2Elements[] = {el::Static(kBmpLum2, 0, 0, kAirLit)};
[[maybe_unused]] Gauge<1, 2> lum2_gauge(gauge_air_lum2, "ketravin air_lum2_kr60", 2, light_face, kLum2Elements,
                                        kNoClicks);
}  // namespace
