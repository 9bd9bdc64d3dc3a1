// Reservoir section of the flight engineer's hydraulic panel: a quantity dial and AIR PRES LO,
// TEMP HI and LEVL LO captions for each circuit. Blue and yellow quantities come from the host's
// reservoirs; green follows the right main gear. Raises the level and engine-pump pressure cautions.
// Reads: dc_ess_powered, light_zone, annunciator_bright, warn_hyd_green_lo_press, tok_hyd1_reservoir,
//        tok_hyd2_reservoir, tok_gear_right_pos, tok_hyd1_pressure, tok_hyd2_pressure, tok_eng1_n1,
//        tok_eng2_n1
// Writes: hyd_reservoir_qty, warn_hyd_level_lo, warn_hyd_eng1_press_lo, warn_hyd_eng2_press_lo
#include "electrical/state.h"
#include "hydraulics/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/tokens.h"

GaugeHeader gauge_hydrau_baches;

namespace {
enum Pos : size_t {
    Background,
    BlueAirPresLo, BlueTempHi, BlueLevlLo,
    GreenAirPresLo, GreenTempHi, GreenLevlLo,
    YellowAirPresLo, YellowTempHi, YellowLevlLo,
    BlueNeedle, GreenNeedle, YellowNeedle,
    kElements
};
constexpr size_t kColumn = GreenAirPresLo - BlueAirPresLo;

constexpr u32 kBmpBackground = 1040;
constexpr u32 kBmpNeedle = 1043;
constexpr u32 kBmpAirPresLo = 1046;
constexpr u32 kBmpLevlLo = 1049;
constexpr u32 kBmpTempHi = 1052;
constexpr u32 kNeedleRate = 6;

constexpr LightWalk kWalk{4, walk_positions({Background}) | walk_range(BlueNeedle, YellowNeedle)};

constexpr f64 kBlueFullUnits = 55.0;
constexpr f64 kYellowFullUnits = 70.0;
constexpr u8 kGreenGearDown = 72, kGreenGearUp = 76;
constexpr f64 kGearUpPos = 1.0;      // above it the right main gear is out of its up lock
constexpr u8 kLevelLow = 15;
constexpr u8 kReservoirDialTop = 100;
constexpr f64 kNoPressure = 0.1;     // host pressure below it: none
constexpr f64 kEngineTurningN1 = 15.0;

// Host fraction to dial units, truncated; the product is held to the dial first so that negative
// and huge fractions convert soundly. A fraction that is no number leaves the quantity as it was.
void reservoir_units(u8& qty, TokenVar& reservoir, f64 full_units) {
    f64 fraction = 0.0;
    if (!tok_number(reservoir, fraction)) return;
    const f64 units = fraction * full_units;
    qty = !(units > 0.0) ? 0 : units >= f64(kReservoirDialTop) ? kReservoirDialTop : u8(units);
}

template <size_t Circuit>
f64 FSAPI hyd_reservoir_needle(ElementHeader*) {
    u8& q = hyd_reservoir_qty[Circuit];
    if (q > kReservoirDialTop) q = kReservoirDialTop;
    return f64(q);
}

// Dial points for 0 and 100 units, 16 pixels either side of and 21 below each needle's pivot.
NonlinearityPoint blue_points[] = {{22, 71, 0, 0}, {54, 71, 100, 0}};
NonlinearityPoint green_points[] = {{136, 71, 0, 0}, {168, 71, 100, 0}};
NonlinearityPoint yellow_points[] = {{251, 71, 0, 0}, {283, 71, 100, 0}};

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //       bitmap            x    y   start flags
    el::Static(kBmpBackground,  0,   0, Lum | Opt1),
    el::Icon(kBmpAirPresLo,    74,  15, Hid | Bri | Opt3),
    el::Icon(kBmpTempHi,       74,  38, Hid | Bri | Opt3),
    el::Icon(kBmpLevlLo,       74,  57, Hid | Bri | Opt3),
    el::Icon(kBmpAirPresLo,   188,  15, Hid | Bri | Opt3),
    el::Icon(kBmpTempHi,      188,  38, Hid | Bri | Opt3),
    el::Icon(kBmpLevlLo,      188,  57, Hid | Bri | Opt3),
    el::Icon(kBmpAirPresLo,   302,  15, Hid | Bri | Opt3),
    el::Icon(kBmpTempHi,      302,  38, Hid | Bri | Opt3),
    el::Icon(kBmpLevlLo,      302,  57, Hid | Bri | Opt3),
    el::Needle(kBmpNeedle,     38,  50, Lum | Opt3, hyd_reservoir_needle<0>).pivot(14, 4).table(blue_points),
    el::Needle(kBmpNeedle,    152,  50, Lum | Opt3, hyd_reservoir_needle<1>).pivot(14, 4).table(green_points),
    el::Needle(kBmpNeedle,    267,  50, Lum | Opt3, hyd_reservoir_needle<2>).pivot(14, 4).table(yellow_points),
};

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI hyd_reservoir_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 341;
Gauge<kElements, 2> gauge(gauge_hydrau_baches, "ketravin hydrau_baches_kr60", kWidthMm, hyd_reservoir_update,
                          kElementDefs, kNoClicks);

struct NeedleRates {
    NeedleRates() {
        for (size_t p = BlueNeedle; p <= YellowNeedle; ++p)
            reinterpret_cast<NeedleElement*>(gauge.el(p))->reserved2[0] = kNeedleRate;
    }
} needle_rates;

// The green quantity moves one unit a frame toward its gear-down or gear-up value.
void green_quantity() {
    u8& q = hyd_reservoir_qty[1];
    if (tok_read(tok_gear_right_pos) > kGearUpPos)
        q = q > kGreenGearDown ? u8(q - 1) : kGreenGearDown;
    else
        q = q < kGreenGearUp ? u8(q + 1) : kGreenGearUp;
}

bool no_pressure_turning(TokenVar& pressure, TokenVar& n1) {
    const f64 psi = tok_read(pressure);
    const f64 n1_pct = tok_read(n1);
    return psi < kNoPressure && n1_pct > kEngineTurningN1;
}

void FSAPI hyd_reservoir_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Walk.
    light_walk(gauge.header(), kWalk);
    // 2. Blue and yellow from the host, 3. green from the gear.
    reservoir_units(hyd_reservoir_qty[0], tok_hyd1_reservoir, kBlueFullUnits);
    reservoir_units(hyd_reservoir_qty[2], tok_hyd2_reservoir, kYellowFullUnits);
    green_quantity();
    // 4. Level, 5. engine-pump pressure.
    for (size_t c = 0; c < 3; ++c) warn_hyd_level_lo[c] = hyd_reservoir_qty[c] < kLevelLow ? 1 : 0;
    warn_hyd_eng1_press_lo = no_pressure_turning(tok_hyd1_pressure, tok_eng1_n1) ? 1 : 0;
    warn_hyd_eng2_press_lo = no_pressure_turning(tok_hyd2_pressure, tok_eng2_n1) ? 1 : 0;
    // 6. Captions, with DC essential power; TEMP HI has no condition and stays dark.
    const bool dc_ess = dc_ess_powered == 1;
    const u8 air_pres_lo[3] = {warn_hyd_eng1_press_lo, warn_hyd_green_lo_press, warn_hyd_eng2_press_lo};
    for (size_t c = 0; c < 3; ++c) {
        show_if(gauge.el(BlueAirPresLo + c * kColumn), air_pres_lo[c] == 1 && dc_ess);
        show_if(gauge.el(BlueLevlLo + c * kColumn), warn_hyd_level_lo[c] == 1 && dc_ess);
    }
}
}  // namespace
