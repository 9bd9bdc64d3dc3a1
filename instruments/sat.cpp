// Static air temperature indicator: tens and units drums with a PLUS or MINUS legend. The sign
// changes the layout, so the gauge carries a drum pair for each and shows the one the sign of
// the held temperature calls for. OFF flag while air data computer 1 does not deliver.
// Reads: elec_ess_ac_any_powered, inst_adc1_sat_valid, light_zone, annunciator_bright
// Writes: inst_sat_c, inst_sat_abs_c
#include "air/state.h"
#include "electrical/state.h"
#include "instruments/drum_places.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/tokens.h"

GaugeHeader gauge_sat;

namespace {
enum Pos { Face, PlusUnits, PlusTens, MinusUnits, MinusTens, MinusLegend, PlusLegend, OffFlag, kElements };

constexpr u8 kZone = 1;
constexpr u32 kBmpDrum = 1324;

// One set of drum variables per pair: both hold the same positions.
struct Pair {
    f64 units_p, tens_x, tens_p;
};
Pair plus_pair, minus_pair;

using drum::Reversed;
constexpr drum::Band kTens = drum::band(0.9, 9.99, 0.9, 10, Reversed);
const ElementDef kElementDefs[kElements] = {
    el::Static(1389, 0, 0),
    el::ContinuousDrum(kBmpDrum, 16, 5, 0, &plus_pair.units_p),
    el::BandedDrum(kBmpDrum, 3, 5, 0, kTens, &plus_pair.tens_x, &plus_pair.tens_p),
    el::ContinuousDrum(kBmpDrum, 42, 5, 0, &minus_pair.units_p),
    el::BandedDrum(kBmpDrum, 29, 5, 0, kTens, &minus_pair.tens_x, &minus_pair.tens_p),
    el::Icon(1392, 3, 5, ImageHidden),
    el::Icon(1395, 29, 5, ImageHidden),
    el::Icon(1408, 3, 4, ImageHidden),
};
constexpr LightWalk kWalk{kZone, walk_range(Face, OffFlag)};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI sat_update(GaugeHeader* g, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_sat, "ketravin sat_kr60", 59, sat_update, kElementDefs, kNoClicks);

void drums(Pair& pair, Pos tens, f64 a) {
    drum_roll(gauge.el(tens), a / 10.0);
    pair.units_p = 10.0 - place_rest(a, 10.0);
}

void FSAPI sat_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    // 1. Lighting.
    light_walk(*g, kWalk);
    // 2. A new reading while powered and valid; a frame without a number keeps the last one.
    const bool computed = elec_ess_ac_any_powered == 1 && inst_adc1_sat_valid == 1;
    if (computed) {
        const f64 t = tok_read(tok_sat_c);
        if (std::isfinite(t)) {
            inst_sat_c = t;
            inst_sat_abs_c = t < 0.0 ? -t : t;
        }
    }
    // 3. Both pairs, every frame.
    drums(plus_pair, PlusTens, inst_sat_abs_c);
    drums(minus_pair, MinusTens, inst_sat_abs_c);
    // 4. Layout by the sign of the held value.
    const bool negative = inst_sat_c < 0.0;
    for (Pos p : {MinusUnits, MinusTens, MinusLegend}) show_if(gauge.el(p), negative);
    for (Pos p : {PlusUnits, PlusTens, PlusLegend}) show_if(gauge.el(p), !negative);
    // 5. OFF flag.
    show_if(gauge.el(OffFlag), !computed);
}
}  // namespace
