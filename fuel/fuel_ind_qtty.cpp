// The five fuel quantity indicators of the flight engineer's fuel panel, one per tank. Each turns
// the host's tank level and capacity into the module's tank quantity on every frame, then shows
// the tank's weight in pounds or kilograms on a needle and a drum counter that count up at a fixed
// rate, drop at once, stand still without normal DC and run the quantity self-test.
// Reads: tok_units_of_measure, tank level and capacity tokens, tok_fuel_lb_per_gal,
//        dc_normal_powered, fuel_qty_test_active, light_zone, annunciator_bright
// Writes: fuel_qty_m_left, fuel_qty_m_right, fuel_qty_a_center, fuel_qty_a_left, fuel_qty_a_right,
//         fuel_qty_test_active (each its own byte, at the end of its test), FuelQtyIndicator records
#include "electrical/state.h"
#include "fuel/fuel_indicators.h"
#include "fuel/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/tokens.h"

FuelQtyIndicator fuel_qty_ind_m_left, fuel_qty_ind_m_right, fuel_qty_ind_a_center, fuel_qty_ind_a_left,
    fuel_qty_ind_a_right;

GaugeHeader gauge_fuel_ind_qtty_m_left;
GaugeHeader gauge_fuel_ind_qtty_m_right;
GaugeHeader gauge_fuel_ind_qtty_a_center;
GaugeHeader gauge_fuel_ind_qtty_a_left;
GaugeHeader gauge_fuel_ind_qtty_a_right;

namespace {
constexpr u8 kZone = 4;
constexpr f64 kLevelScale = 83886.08;  // level / this is percent of the tank
constexpr f64 kQtyPerGallon = 3.84;
constexpr f64 kKgPerLb = 0.453;
constexpr f64 kCountUp = 500.0;  // per frame toward a higher target
constexpr f64 kSnapBand = 100.0;
constexpr u32 kRuleQtyNeedle = 0x5151;  // needle binding: var[0] the record, k[0] the full scale

struct Scale {
    f64 full_lb, full_kg, rise_lb, rise_kg, fall;
};
constexpr Scale kMainScale{30000, 15000, 400, 200, 400};  // m_left, m_right, a_center
constexpr Scale kAuxScale{9000, 4500, 200, 100, 250};     // a_left, a_right

struct Tank {
    FuelQtyIndicator& ind;
    f64& qty;
    u8& test;
    TokenVar& level;
    TokenVar& capacity;
    const Scale& scale;
};
Tank tanks[5] = {
    {fuel_qty_ind_m_left, fuel_qty_m_left, fuel_qty_test_active[0], tok_fuel_m_left_level, tok_fuel_m_left_cap,
     kMainScale},
    {fuel_qty_ind_m_right, fuel_qty_m_right, fuel_qty_test_active[1], tok_fuel_m_right_level, tok_fuel_m_right_cap,
     kMainScale},
    {fuel_qty_ind_a_center, fuel_qty_a_center, fuel_qty_test_active[2], tok_fuel_a_center_level,
     tok_fuel_a_center_cap, kMainScale},
    {fuel_qty_ind_a_left, fuel_qty_a_left, fuel_qty_test_active[3], tok_fuel_a_left_level, tok_fuel_a_left_cap,
     kAuxScale},
    {fuel_qty_ind_a_right, fuel_qty_a_right, fuel_qty_test_active[4], tok_fuel_a_right_level, tok_fuel_a_right_cap,
     kAuxScale},
};

// ---- needles ----------------------------------------------------------------------------------
void clamp_to_dial(f64& shown, f64 full) { shown = shown > full ? full : shown < 0.0 ? 0.0 : shown; }
// Each clamps its indicator's weight into its dial while its unit is selected, then shows it.
f64 FSAPI fuel_qty_needle_lb(ElementHeader* e) {
    const ElementBinding& b = element_binding(e);
    if (b.rule != kRuleQtyNeedle) return 0.0;
    FuelQtyIndicator& ind = *static_cast<FuelQtyIndicator*>(b.var[0]);
    if (tok_read(tok_units_of_measure) == 0.0) clamp_to_dial(ind.shown, b.k[0]);
    return ind.shown;
}
f64 FSAPI fuel_qty_needle_kg(ElementHeader* e) {
    const ElementBinding& b = element_binding(e);
    if (b.rule != kRuleQtyNeedle) return 0.0;
    FuelQtyIndicator& ind = *static_cast<FuelQtyIndicator*>(b.var[0]);
    if (tok_read(tok_units_of_measure) > 0.0) clamp_to_dial(ind.shown, b.k[0]);
    return ind.shown;
}

// Dial points of the calibration tables; the host fills the angles.
NonlinearityPoint main_lb_points[] = {
    {20, 70, 0, 0},      {10, 45, 5000, 0},   {20, 20, 10000, 0}, {45, 10, 15000, 0},
    {70, 20, 20000, 0},  {80, 45, 25000, 0},  {70, 70, 30000, 0},
};
NonlinearityPoint main_kg_points[] = {
    {20, 70, 0, 0},      {10, 50, 2000, 0},   {14, 29, 4000, 0},  {29, 14, 6000, 0}, {50, 10, 8000, 0},
    {70, 20, 10000, 0},  {80, 40, 12000, 0},  {76, 61, 14000, 0}, {70, 70, 15000, 0},
};
NonlinearityPoint aux_lb_points[] = {
    {20, 70, 0, 0}, {11, 36, 2000, 0}, {36, 11, 4000, 0}, {70, 20, 6000, 0}, {79, 54, 8000, 0}, {70, 70, 9000, 0},
};
NonlinearityPoint aux_kg_points[] = {
    {20, 70, 0, 0}, {11, 36, 1000, 0}, {36, 11, 2000, 0}, {70, 20, 3000, 0}, {79, 54, 4000, 0}, {70, 70, 4500, 0},
};

constexpr u32 kBmpNeedle = 470;
template <size_t N>
constexpr ElementDef needle(ElementValueFn fn, u32 flags, FuelQtyIndicator* ind, f64 full,
                            NonlinearityPoint (&points)[N]) {
    ElementDef d = el::Needle(kBmpNeedle, 45, 45, flags, fn).pivot(4, 4).table(points);
    d.binding.var[0] = ind;
    d.binding.k[0] = full;
    d.binding.rule = kRuleQtyNeedle;
    return d;
}

// ---- element lines ----------------------------------------------------------------------------
constexpr u32 kShown = ImageOption1;
constexpr u32 kHidden = ImageHidden | ImageOption1;
constexpr u32 kStripHigh = 464, kStripLow = 468;
constexpr i32 kDrumY = 60;

// One drum of the counter row: the place's band and roll-over bound, bound to the record's fields.
constexpr ElementDef drum_at(u32 strip, i32 x, u32 place, f64* scaled, f64* roll) {
    return el::BandedDrum(strip, x, kDrumY, 0, drum::counter_place(place), scaled, roll);
}

enum MainPos : size_t { KgFace, LbFace, Units, Tens, Hundreds, Thousands, TenThousands, MainKgNeedle, MainLbNeedle,
                        kMainElements };
enum AuxPos : size_t { AuxKgNeedle = TenThousands, AuxLbNeedle, kAuxElements };

constexpr ElementDef main_line(size_t pos, FuelQtyIndicator* r) {
    switch (pos) {
        case KgFace: return el::Static(460, 0, 0, kShown);
        case LbFace: return el::Icon(461, 0, 0, kHidden);
        case Units: return el::ContinuousDrum(kStripLow, 68, kDrumY, 0, &r->digit1_scaled, &r->digit1_drum);
        case Tens: return drum_at(kStripLow, 56, 2, &r->digit2_scaled, &r->digit2_roll);
        case Hundreds: return drum_at(kStripLow, 44, 3, &r->digit3_scaled, &r->digit3_roll);
        case Thousands: return drum_at(kStripHigh, 32, 4, &r->digit4_scaled, &r->digit4_roll);
        case TenThousands: return drum_at(kStripHigh, 20, 5, &r->digit5_scaled, &r->digit5_roll);
        case MainKgNeedle: return needle(fuel_qty_needle_kg, kShown, r, kMainScale.full_kg, main_kg_points);
        default: return needle(fuel_qty_needle_lb, kHidden, r, kMainScale.full_lb, main_lb_points);
    }
}
constexpr ElementDef aux_line(size_t pos, FuelQtyIndicator* r) {
    switch (pos) {
        case KgFace: return el::Static(462, 0, 0, kShown);
        case LbFace: return el::Icon(463, 0, 0, kHidden);
        case Units: return el::ContinuousDrum(kStripLow, 62, kDrumY, 0, &r->digit1_scaled, &r->digit1_drum);
        case Tens: return drum_at(kStripLow, 50, 2, &r->digit2_scaled, &r->digit2_roll);
        case Hundreds: return drum_at(kStripHigh, 38, 3, &r->digit3_scaled, &r->digit3_roll);
        case Thousands: return drum_at(kStripHigh, 26, 4, &r->digit4_scaled, &r->digit4_roll);
        case AuxKgNeedle: return needle(fuel_qty_needle_kg, kShown, r, kAuxScale.full_kg, aux_kg_points);
        default: return needle(fuel_qty_needle_lb, kHidden, r, kAuxScale.full_lb, aux_lb_points);
    }
}
template <size_t N>
struct Defs {
    ElementDef d[N];
};
constexpr Defs<kMainElements> main_defs(FuelQtyIndicator* r) {
    Defs<kMainElements> out{};
    for (size_t i = 0; i < kMainElements; ++i) out.d[i] = main_line(i, r);
    return out;
}
constexpr Defs<kAuxElements> aux_defs(FuelQtyIndicator* r) {
    Defs<kAuxElements> out{};
    for (size_t i = 0; i < kAuxElements; ++i) out.d[i] = aux_line(i, r);
    return out;
}
constexpr Defs<kMainElements> kMLeftDefs = main_defs(&fuel_qty_ind_m_left);
constexpr Defs<kMainElements> kMRightDefs = main_defs(&fuel_qty_ind_m_right);
constexpr Defs<kMainElements> kACenterDefs = main_defs(&fuel_qty_ind_a_center);
constexpr Defs<kAuxElements> kALeftDefs = aux_defs(&fuel_qty_ind_a_left);
constexpr Defs<kAuxElements> kARightDefs = aux_defs(&fuel_qty_ind_a_right);

constexpr LightWalk kMainWalk{kZone, walk_range(0, kMainElements - 1)};
constexpr LightWalk kAuxWalk{kZone, walk_range(0, kAuxElements - 1)};

// ---- frame ------------------------------------------------------------------------------------
// Steps 3 and 4: the tank's quantity and its weight in the selected unit. A reading that is not
// a number keeps the last quantity and target; absurd readings are held so that the products
// saturate instead of overflowing into a kept value.
void quantity_and_target(Tank& t, bool pounds) {
    f64 capacity = 0.0, level = 0.0, lb_per_gal = 0.0;
    const bool c = tok_number(t.capacity, capacity), l = tok_number(t.level, level),
               w = tok_number(tok_fuel_lb_per_gal, lb_per_gal);  // all three refreshed, in this order
    if (!c || !l || !w) return;
    const f64 qty = (level / kLevelScale) * (capacity * kQtyPerGallon) / 100.0;
    const f64 per_unit = lb_per_gal / kQtyPerGallon;
    const f64 target = pounds ? per_unit * qty : per_unit * kKgPerLb * qty;
    if (!std::isfinite(qty) || !std::isfinite(target)) return;
    t.qty = qty;
    t.ind.target = target;
}

// Step 5: the count-up toward the target, or the self-test to full scale and back.
void move(Tank& t, bool pounds) {
    FuelQtyIndicator& ind = t.ind;
    const f64 full = pounds ? t.scale.full_lb : t.scale.full_kg;
    if (t.test == 1 && ind.test_phase == 0) {
        if (ind.shown < full)
            ind.shown += pounds ? t.scale.rise_lb : t.scale.rise_kg;
        else
            ind.test_phase = 1;
    } else if (t.test == 1) {
        if (ind.shown <= ind.target + kSnapBand) {
            ind.shown = ind.target;
            t.test = 0;
            ind.test_phase = 0;
        } else {
            ind.shown -= t.scale.fall;
        }
    } else if (ind.shown >= ind.target - kSnapBand) {
        ind.shown = ind.target;
    } else {
        ind.shown += kCountUp;
    }
}

template <size_t NE>
void fuel_qty_counter_update(Gauge<NE, 2>& g, const LightWalk& walk, size_t kg_needle, Tank& t) {
    light_walk(g.header(), walk);  // 1
    const bool pounds = tok_read(tok_units_of_measure) == 0.0;  // 2
    show_if(g.el(KgFace), !pounds);
    show_if(g.el(kg_needle), !pounds);
    show_if(g.el(LbFace), pounds);
    show_if(g.el(kg_needle + 1), pounds);
    quantity_and_target(t, pounds);  // 3, 4
    if (dc_normal_powered == 1) move(t, pounds);  // 5
    // A tank fuller than the dial: the counters stop at full scale with the needle.
    const f64 full = pounds ? t.scale.full_lb : t.scale.full_kg;
    if (t.ind.shown > full) t.ind.shown = full;
    const CounterPlaces c = counter_split(t.ind.shown, 5);  // 6
    FuelQtyIndicator& r = t.ind;
    r.digit5_scaled = c.scaled[5], r.digit5_roll = c.roll[5];
    r.digit4_scaled = c.scaled[4], r.digit4_roll = c.roll[4];
    r.digit3_scaled = c.scaled[3], r.digit3_roll = c.roll[3];
    r.digit2_scaled = c.scaled[2], r.digit2_roll = c.roll[2];
    r.digit1_scaled = c.scaled[1];
}

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};
constexpr u32 kWidthMm = 61;

template <size_t T> void FSAPI qty_update(GaugeHeader*, i32 service, u32);
Gauge<kMainElements, 2> m_left(gauge_fuel_ind_qtty_m_left, "ketravin fuel_ind_qtty_m_left_kr60", kWidthMm,
                               qty_update<0>, kMLeftDefs.d, kNoClicks);
Gauge<kMainElements, 2> m_right(gauge_fuel_ind_qtty_m_right, "ketravin fuel_ind_qtty_m_right_kr60", kWidthMm,
                                qty_update<1>, kMRightDefs.d, kNoClicks);
Gauge<kMainElements, 2> a_center(gauge_fuel_ind_qtty_a_center, "ketravin fuel_ind_qtty_a_center_kr60", kWidthMm,
                                 qty_update<2>, kACenterDefs.d, kNoClicks);
Gauge<kAuxElements, 2> a_left(gauge_fuel_ind_qtty_a_left, "ketravin fuel_ind_qtty_a_left_kr60", kWidthMm,
                              qty_update<3>, kALeftDefs.d, kNoClicks);
Gauge<kAuxElements, 2> a_right(gauge_fuel_ind_qtty_a_right, "ketravin fuel_ind_qtty_a_right_kr60", kWidthMm,
                               qty_update<4>, kARightDefs.d, kNoClicks);

template <size_t T>
void FSAPI qty_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    if constexpr (T == 0) fuel_qty_counter_update(m_left, kMainWalk, MainKgNeedle, tanks[T]);
    if constexpr (T == 1) fuel_qty_counter_update(m_right, kMainWalk, MainKgNeedle, tanks[T]);
    if constexpr (T == 2) fuel_qty_counter_update(a_center, kMainWalk, MainKgNeedle, tanks[T]);
    if constexpr (T == 3) fuel_qty_counter_update(a_left, kAuxWalk, AuxKgNeedle, tanks[T]);
    if constexpr (T == 4) fuel_qty_counter_update(a_right, kAuxWalk, AuxKgNeedle, tanks[T]);
}
}  // namespace
