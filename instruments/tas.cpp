// True airspeed counter: computes the true airspeed from the host's Mach number and total air
// temperature while air data computer 1 delivers them, never below 120 kt, held otherwise; shows
// it on three drums with an OFF flag. The INS reads inst_tas_kt.
// Reads: elec_ess_ac_any_powered, inst_adc1_tas_valid, light_zone, annunciator_bright
// Writes: inst_tas_kt
#include "air/state.h"
#include "electrical/state.h"
#include "instruments/drum_places.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/tokens.h"

GaugeHeader gauge_tas;

namespace {
enum Pos { Face, Units, Tens, Hundreds, OffFlag, kElements };

constexpr u8 kZone = 1;
constexpr u32 kBmpDrum = 1324;

// The last computation's inputs and unfloored result, and the drums' inputs and positions.
f64 tas_mach, tas_tat_c, tas_raw_kt;
f64 units_p, tens_x, tens_p, hundreds_x, hundreds_p;

using drum::Reversed;
const ElementDef kElementDefs[kElements] = {
    el::Static(1382, 0, 0),
    el::ContinuousDrum(1385, 41, 2, 0, &units_p),
    el::BandedDrum(kBmpDrum, 26, 7, 0, drum::band(0.9, 9.999, 0.9, 10, Reversed), &tens_x, &tens_p),
    el::BandedDrum(kBmpDrum, 11, 7, 0, drum::band(0.99, 9.9999, 0.99, 100, Reversed), &hundreds_x, &hundreds_p),
    el::Icon(1404, 9, 9, ImageHidden),
};
constexpr LightWalk kWalk{kZone, walk_range(Face, OffFlag)};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI tas_update(GaugeHeader* g, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_tas, "ketravin tas_kr60", 53, tas_update, kElementDefs, kNoClicks);

// 39 kt times the Mach number times the root of the static temperature in kelvin.
f64 true_airspeed(f64 mach, f64 tat_c) {
    constexpr f64 kKnotsPerRootKelvin = 39.0, kZeroCelsius = 273.15, kRecovery = 0.2;
    return kKnotsPerRootKelvin * mach * std::sqrt((tat_c + kZeroCelsius) / (kRecovery * mach * mach + 1.0));
}

void FSAPI tas_update(GaugeHeader* g, i32 service, u32) {
    constexpr f64 kFloorKt = 120.0, kTatScale = 256.0, kMachScale = 3.2 / 65536.0;
    if (service != ServicePreUpdate || !g) return;
    // 1. Lighting.
    light_walk(*g, kWalk);
    // 2. Compute while powered and valid, from two numbers: a temperature or Mach that is no number
    // computes nothing and everything keeps its last value. A speed not above the floor (also one
    // with no root, below absolute zero) reads the floor.
    const bool computed = elec_ess_ac_any_powered == 1 && inst_adc1_tas_valid == 1;
    if (computed) {
        f64 tat = 0.0, mach = 0.0;
        const bool have_tat = tok_number(tok_tat, tat);
        const bool have_mach = tok_number(tok_mach, mach);
        if (have_tat && have_mach) {
            tas_tat_c = tat * kTatScale;
            tas_mach = mach * kMachScale;
            const f64 tas = true_airspeed(tas_mach, tas_tat_c);
            if (!std::isnan(tas)) tas_raw_kt = tas;
            inst_tas_kt = tas > kFloorKt ? tas : kFloorKt;
        }
    }
    // 3. Drums, every frame.
    const f64 v = inst_tas_kt;
    drum_roll(gauge.el(Hundreds), v / 100.0);
    drum_roll(gauge.el(Tens), place_rest(v, 100.0) / 10.0);
    units_p = 10.0 - place_rest(v, 10.0);
    // 4. OFF flag.
    show_if(gauge.el(OffFlag), !computed);
}
}  // namespace
