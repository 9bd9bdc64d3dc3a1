// Cabin pressure indicators of the flight engineer's panel: differential pressure from the
// aircraft's and the cabin's altitude, the cabin vertical speed, the EXCESS ALT lamp that also
// raises CAB PRESS, and the PRESS HI lamp, which never lights.
// Reads: air_cabin_alt_ft, air_press_dump, dc_ess_powered, light_zone, annunciator_bright,
//        tok_indicated_altitude_ft, tok_cabin_vs
// Writes: air_cabin_diff_psi, air_cabin_diff_needle, air_cabin_vs_fpm, air_cabin_alt_excess,
//         warn_cab_press
#include "air/air_panel.h"
#include "air/state.h"
#include "electrical/state.h"
#include "module/lighting.h"
#include "module/tokens.h"

GaugeHeader gauge_air_pressu_diffpress;
GaugeHeader gauge_air_pressu_vsi;
GaugeHeader gauge_air_pressu_warn_xsalt;
GaugeHeader gauge_air_pressu_warn_press;

namespace {
constexpr u32 kBmpDiffFace = 6070, kBmpVsiFace = 6071, kBmpDialNeedle = 6072, kBmpExcessAlt = 6073,
              kBmpPressHi = 6074;
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};
enum DialPos : size_t { Face, Needle, kDialCount };
constexpr LightWalk kDialWalk{kAirZone, walk_range(Face, Needle)};
constexpr i32 kPivot = 46;

// ---- differential pressure ------------------------------------------------------------------------
// psi per foot of altitude above the cabin, reduced above 21000 ft for each foot higher.
constexpr f64 kPsiPerFt = 0.000381;
constexpr f64 kReducedFromFt = 21000.0;
constexpr f64 kReductionPerFt = 6.95e-9;
constexpr f64 kNeedlePerPsi = 1000.0;

f64 FSAPI cabin_diff_needle(ElementHeader*) { return f64(air_cabin_diff_needle); }
NonlinearityPoint diff_points[] = {
    {15, 9, -2000, 0}, {46, 0, 0, 0},     {76, 10, 2000, 0},  {91, 37, 4000, 0}, {87, 69, 6000, 0},
    {62, 90, 8000, 0}, {29, 90, 10000, 0}, {4, 69, 12000, 0}, {0, 54, 13000, 0},
};
const ElementDef kDiffElements[kDialCount] = {
    el::Static(kBmpDiffFace, 0, 0, kAirLit),
    el::Needle(kBmpDialNeedle, kPivot, kPivot, kAirLit, cabin_diff_needle).pivot(4, 4).table(diff_points),
};
void FSAPI cabin_diff_pressure_update(GaugeHeader*, i32 service, u32);
Gauge<kDialCount, 2> diff_gauge(gauge_air_pressu_diffpress, "ketravin air_pressu_diffpress_kr60", 92,
                                cabin_diff_pressure_update, kDiffElements, kNoClicks);

// The result is kept within single precision by the caller.
f64 diff_psi(f64 aircraft_ft, f64 cabin_ft) {
    const f64 factor =
        aircraft_ft <= kReducedFromFt ? kPsiPerFt : kPsiPerFt - (aircraft_ft - kReducedFromFt) * kReductionPerFt;
    return (aircraft_ft - cabin_ft) * factor;
}

void FSAPI cabin_diff_pressure_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(diff_gauge.header(), kDialWalk);
    const f64 aircraft = tok_read(tok_indicated_altitude_ft);
    // An altitude that is no finite number keeps the last difference (0 without power all the same).
    if (dc_ess_powered != 1)
        air_cabin_diff_psi = 0.0f;
    else if (std::isfinite(aircraft))
        air_cabin_diff_psi = air_f32(diff_psi(aircraft, f64(air_cabin_alt_ft)), air_cabin_diff_psi);
    // A cabin above the aircraft shows 0, not the negative part of the scale.
    air_cabin_diff_needle =
        air_cabin_diff_psi < 0.0f ? 0.0f : air_f32(f64(air_cabin_diff_psi) * kNeedlePerPsi, air_cabin_diff_needle);
}

// ---- cabin vertical speed -----------------------------------------------------------------------------
constexpr f64 kVsLimit = 20.0;  // host units; the dial ends at 2000 ft/min
constexpr i16 kVsFullScale = 2000;
constexpr f64 kFpmPerUnit = 100.0;

f64 FSAPI cabin_vs_needle(ElementHeader*) { return f64(air_cabin_vs_fpm); }
NonlinearityPoint vs_points[] = {
    {91, 59, -2000, 0}, {76, 83, -1500, 0}, {49, 91, -1000, 0}, {16, 83, -500, 0}, {0, 46, 0, 0},
    {15, 9, 500, 0},    {49, 0, 1000, 0},   {78, 9, 1500, 0},   {91, 34, 2000, 0},
};
const ElementDef kVsiElements[kDialCount] = {
    el::Static(kBmpVsiFace, 0, 0, kAirLit),
    el::Needle(kBmpDialNeedle, kPivot, kPivot, kAirLit, cabin_vs_needle).pivot(4, 4).table(vs_points),
};
void FSAPI cabin_vsi_update(GaugeHeader*, i32 service, u32);
Gauge<kDialCount, 2> vsi_gauge(gauge_air_pressu_vsi, "ketravin air_pressu_vsi_kr60", 92, cabin_vsi_update,
                               kVsiElements, kNoClicks);
struct VsiRate {
    VsiRate() { air_needle_rate(vsi_gauge.el(Needle), 6); }
} vsi_rate;

// Beyond 20 either way the dial's end; within, V x 100 truncated toward zero. A value that is no
// number falls in neither end and gives no figure: the last one stands.
i16 cabin_vs(f64 v, i16 last) {
    if (v > kVsLimit) return kVsFullScale;
    if (v < -kVsLimit) return -kVsFullScale;
    return sat_cast<i16>(v * kFpmPerUnit, last);
}

void FSAPI cabin_vsi_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(vsi_gauge.header(), kDialWalk);
    const f64 v = tok_read(tok_cabin_vs);  // read while dumping all the same
    air_cabin_vs_fpm = air_press_dump == 0 ? cabin_vs(v, air_cabin_vs_fpm) : 0;
}

// ---- EXCESS ALT and PRESS HI lamps: bright whenever shown, outside the lighting walk -------------------
constexpr f32 kExcessAltFt = 9300.0f;
const ElementDef kExcessElements[] = {el::Static(kBmpExcessAlt, 0, 0, kAirLamp)};
void FSAPI cabin_altitude_warning_update(GaugeHeader*, i32 service, u32);
Gauge<1, 2> excess_gauge(gauge_air_pressu_warn_xsalt, "ketravin air_pressu_warn_xsalt_kr60", 38,
                         cabin_altitude_warning_update, kExcessElements, kNoClicks);
void FSAPI cabin_altitude_warning_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    const bool powered = dc_ess_powered == 1;
    air_cabin_alt_excess = powered && air_cabin_alt_ft > kExcessAltFt ? 1 : 0;
    show_if(excess_gauge.el(0), powered && air_cabin_alt_excess == 1);
    warn_cab_press = air_cabin_alt_excess;
}

const ElementDef kPressHiElements[] = {el::Static(kBmpPressHi, 0, 0, kAirLamp)};
void FSAPI press_hi_update(GaugeHeader*, i32, u32) {}
[[maybe_unused]] Gauge<1, 2> press_hi_gauge(gauge_air_pressu_warn_press, "ketravin air_pressu_warn_press_kr60", 38,
                                            press_hi_update, kPressHiElements, kNoClicks);
}  // namespace
