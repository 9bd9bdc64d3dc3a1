// "ketravin engomn_..._kr60": the ten secondary engine dials of the flight engineer's panel, per
// engine nacelle temperature, oil pressure, oil temperature, oil quantity (with the crew's index)
// and fuel pressure. A needle moves toward its host reading by 2 a frame and settles within 4 of
// it; the nacelle follows a heating and cooling law. The oil pressure dials also raise OIL PRESS LO.
// Reads: tok_sat_c, tok_eng1/2_n2, tok_eng1/2_oil_press, tok_eng1/2_oil_temp, tok_oil_quantity,
//        tok_eng1/2_fuel_press_src, dc_normal_powered, elec_ac_bus1/2_powered, warn_fire,
//        eng_hp_valve_open, light_zone, annunciator_bright
// Writes: eng_nac_temp_N, eng_oil_press_N, eng_oil_temp_N, eng_oil_qty_N, eng_oil_qty_index_N,
//         eng_fuel_press_N (N = 1, 2), warn_eng_oil_press_lo
#include "electrical/state.h"
#include "engines/eng_indicator.h"
#include "engines/state.h"
#include "module/tokens.h"
#include "warnings/state.h"

GaugeHeader gauge_engomn_nac_temp_1, gauge_engomn_nac_temp_2;
GaugeHeader gauge_engomn_oil_press_1, gauge_engomn_oil_press_2;
GaugeHeader gauge_engomn_oil_temp_1, gauge_engomn_oil_temp_2;
GaugeHeader gauge_engomn_oil_qtty_1, gauge_engomn_oil_qtty_2;
GaugeHeader gauge_engomn_fuel_press_1, gauge_engomn_fuel_press_2;

namespace {
enum Kind : size_t { NacTemp, OilPress, OilTemp, OilQty, FuelPress, kKinds };
enum Pos : size_t { Face, Needle, IndexNeedle };

constexpr u32 kWidthMm = 91;
constexpr u32 kBmpFace[kKinds] = {3196, 3200, 3203, 3206, 3212};
constexpr u32 kBmpNeedle = 3193, kBmpIndexNeedle = 3209;
constexpr f64 kDialMax[kKinds] = {300.0, 160.0, 250.0, 20.0, 160.0};
constexpr u32 kIndexMax = 20;
constexpr LightWalk kWalk{4, walk_range(Face, IndexNeedle)};  // systems panels

// The needles point through these face pixels; the host writes the angles.
NonlinearityPoint nac_points[] = {{5, 70, 0, 0}, {14, 9, 100, 0}, {75, 10, 200, 0}, {84, 69, 300, 0}};
NonlinearityPoint press_points[] = {{45, 90, 0, 0},  {20, 85, 20, 0}, {4, 65, 40, 0},   {0, 45, 60, 0},
                                    {5, 22, 80, 0}, {21, 6, 100, 0}, {85, 22, 160, 0}};
NonlinearityPoint temp_points[] = {{45, 90, 0, 0},  {9, 72, 50, 0}, {1, 37, 100, 0},
                                   {20, 6, 150, 0}, {54, 0, 200, 0}, {85, 19, 250, 0}};
NonlinearityPoint qty_points[] = {{20, 83, 0, 0}, {6, 66, 4, 0}, {0, 45, 8, 0},
                                  {5, 25, 12, 0}, {20, 6, 16, 0}, {45, 0, 20, 0}};

// One dial: its kind, its engine, its input, its bus and its needle value.
struct Dial {
    Kind kind;
    size_t engine;
    TokenVar& token;
    const u8& powered;
    f64& value;
};
const Dial kDials[] = {
    {NacTemp, 0, tok_eng1_n2, dc_normal_powered, eng_nac_temp_1},
    {NacTemp, 1, tok_eng2_n2, dc_normal_powered, eng_nac_temp_2},
    {OilPress, 0, tok_eng1_oil_press, elec_ac_bus1_powered, eng_oil_press_1},
    {OilPress, 1, tok_eng2_oil_press, elec_ac_bus2_powered, eng_oil_press_2},
    {OilTemp, 0, tok_eng1_oil_temp, dc_normal_powered, eng_oil_temp_1},
    {OilTemp, 1, tok_eng2_oil_temp, dc_normal_powered, eng_oil_temp_2},
    {OilQty, 0, tok_oil_quantity, elec_ac_bus1_powered, eng_oil_qty_1},
    {OilQty, 1, tok_oil_quantity, elec_ac_bus2_powered, eng_oil_qty_2},
    {FuelPress, 0, tok_eng1_fuel_press_src, elec_ac_bus1_powered, eng_fuel_press_1},
    {FuelPress, 1, tok_eng2_fuel_press_src, elec_ac_bus2_powered, eng_fuel_press_2},
};
u32* const kIndex[2] = {&eng_oil_qty_index_1, &eng_oil_qty_index_2};

// ---- The rules ---------------------------------------------------------------------------------
constexpr f64 kStep = 2.0, kBand = 4.0;
constexpr f64 kOilPressScale = 130.0, kOilTempScale = 7.0, kOilTempOffset = 50.0, kOilQtyScale = 1250.0,
              kFuelPressScale = 0.85;
constexpr f64 kOilPressLow = 10.0;  // PSI, at or below with the HP valve open

f64 target(Kind k, f64 raw) {
    switch (k) {
        case OilPress: return raw / kOilPressScale;
        case OilTemp: return raw / kOilTempScale + kOilTempOffset;
        case OilQty: return raw / kOilQtyScale;
        default: return raw * kFuelPressScale;
    }
}

// Unpowered: down by a step a frame, to 0 from below a step.
void run_down(f64& v) { v = v >= kStep ? v - kStep : 0.0; }

// Powered: a step toward the target until within the band, then onto it. No reading holds.
void step_and_band(f64& v, f64 t) {
    if (!std::isfinite(t)) return;
    if (t - kBand > v)
        v += kStep;
    else if (t + kBand < v)
        v -= kStep;
    else
        v = t;
}

// Nacelle: climbs fast below `warm`, slowly up to `settle`, falls slowly above it.
void heat_toward(f64& v, f64 warm, f64 settle) {
    if (v < warm)
        v += 0.8;
    else if (v < settle)
        v += 0.3;
    else if (v > settle)
        v -= 0.1;
}

void nacelle(const Dial& d) {
    f64& v = d.value;
    if (d.powered != 1) return run_down(v);
    const f64 ambient = tok_read(tok_sat_c);
    const f64 n2 = tok_read(d.token);
    constexpr f64 kRunningN2 = 10.0;
    if (warn_fire[d.engine] == 1) return heat_toward(v, 270.0, 280.0);
    if (!std::isfinite(n2)) return;
    if (n2 >= kRunningN2) return heat_toward(v, 70.0, 80.0);
    if (!std::isfinite(ambient)) return;
    // Stopped: cools slowly toward the ambient temperature, warms quickly up to it, never below 0.
    if (v > ambient + 0.5 && v > 0.0)
        v -= 0.01;
    else if (v < ambient - 0.5)
        v += kStep;
    else
        v = ambient >= 0.0 ? ambient : 0.0;
}

void dial_update(const Dial& d) {
    if (d.kind == NacTemp) return nacelle(d);
    // Oil pressure is read powered or not: OIL PRESS LO needs it.
    const f64 raw = d.kind == OilPress ? tok_read(d.token) : 0.0;
    if (d.powered == 1)
        step_and_band(d.value, target(d.kind, d.kind == OilPress ? raw : tok_read(d.token)));
    else
        run_down(d.value);
    if (d.kind == OilPress && std::isfinite(raw))
        warn_eng_oil_press_lo[d.engine] = raw / kOilPressScale <= kOilPressLow && eng_hp_valve_open[d.engine] == 1;
}

// ---- Gauges ------------------------------------------------------------------------------------
template <size_t D>
f64 FSAPI dial_needle_value(ElementHeader*) {
    return dial_needle(kDials[D].value, kDialMax[kDials[D].kind]);
}
template <size_t E>
f64 FSAPI oil_qty_index_needle(ElementHeader*) {
    return dial_telltale_needle(*kIndex[E], kIndexMax);
}
// The index is the crew's and needs no power; held down, the halves repeat.
template <size_t E>
i32 FSAPI oil_qty_index_down(MousePoint*, u32) {
    if (*kIndex[E] >= 1) --*kIndex[E];
    return 0;
}
template <size_t E>
i32 FSAPI oil_qty_index_up(MousePoint*, u32) {
    if (*kIndex[E] < kIndexMax) ++*kIndex[E];
    return 0;
}

constexpr NonlinearityPoint* points(Kind k) {
    return k == NacTemp ? nac_points : k == OilTemp ? temp_points : k == OilQty ? qty_points : press_points;
}
constexpr u32 point_count(Kind k) {
    return k == NacTemp ? 4 : k == OilTemp ? 6 : k == OilQty ? 6 : 7;
}
ElementDef needle_line(Kind k, ElementValueFn fn) {
    ElementDef d = el::Needle(kBmpNeedle, 45, 45, 0, fn).pivot(13, 5);
    d.nonlinearity = points(k);
    d.nonlinearity_count = point_count(k);
    return d;
}

GaugeHeader* const kHeaders[] = {
    &gauge_engomn_nac_temp_1, &gauge_engomn_nac_temp_2, &gauge_engomn_oil_press_1, &gauge_engomn_oil_press_2,
    &gauge_engomn_oil_temp_1, &gauge_engomn_oil_temp_2, &gauge_engomn_oil_qtty_1,  &gauge_engomn_oil_qtty_2,
    &gauge_engomn_fuel_press_1, &gauge_engomn_fuel_press_2,
};

template <size_t D>
void FSAPI dial_frame(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(*kHeaders[D], kWalk);
    dial_update(kDials[D]);
}

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

// A plain dial: face and needle.
template <size_t D>
struct PlainDial {
    const ElementDef elements[2] = {
        el::Static(kBmpFace[kDials[D].kind], 0, 0),
        needle_line(kDials[D].kind, dial_needle_value<D>),
    };
    Gauge<2, 2> gauge;
    PlainDial(GaugeHeader& h, const char* name) : gauge(h, name, kWidthMm, dial_frame<D>, elements, kNoClicks) {}
};

// An oil quantity dial: face, needle and the index mark on the rim, with the index's two halves.
template <size_t D, size_t E>
struct QuantityDial {
    const ElementDef elements[3] = {
        el::Static(kBmpFace[OilQty], 0, 0),
        needle_line(OilQty, dial_needle_value<D>),
        [] {
            ElementDef d = el::Needle(kBmpIndexNeedle, 45, 45, 0, oil_qty_index_needle<E>).pivot(-33, 5);
            d.nonlinearity = qty_points;
            d.nonlinearity_count = point_count(OilQty);
            return d;
        }(),
    };
    const RectDef rects[2] = {
        //          x   y   w   h   cursor           events                        action
        rect::Click(0,  0, 45, 91, CursorDownArrow, MouseLeftSingle | MouseRepeat, oil_qty_index_down<E>),
        rect::Click(46, 0, 45, 91, CursorUpArrow,   MouseLeftSingle | MouseRepeat, oil_qty_index_up<E>),
    };
    Gauge<3, 2> gauge;
    QuantityDial(GaugeHeader& h, const char* name) : gauge(h, name, kWidthMm, dial_frame<D>, elements, rects) {}
};

PlainDial<0> nac_temp_1(gauge_engomn_nac_temp_1, "ketravin engomn_nac_temp_1_kr60");
PlainDial<1> nac_temp_2(gauge_engomn_nac_temp_2, "ketravin engomn_nac_temp_2_kr60");
PlainDial<2> oil_press_1(gauge_engomn_oil_press_1, "ketravin engomn_oil_press_1_kr60");
PlainDial<3> oil_press_2(gauge_engomn_oil_press_2, "ketravin engomn_oil_press_2_kr60");
PlainDial<4> oil_temp_1(gauge_engomn_oil_temp_1, "ketravin engomn_oil_temp_1_kr60");
PlainDial<5> oil_temp_2(gauge_engomn_oil_temp_2, "ketravin engomn_oil_temp_2_kr60");
QuantityDial<6, 0> oil_qtty_1(gauge_engomn_oil_qtty_1, "ketravin engomn_oil_qtty_1_kr60");
QuantityDial<7, 1> oil_qtty_2(gauge_engomn_oil_qtty_2, "ketravin engomn_oil_qtty_2_kr60");
PlainDial<8> fuel_press_1(gauge_engomn_fuel_press_1, "ketravin engomn_fuel_press_1_kr60");
PlainDial<9> fuel_press_2(gauge_engomn_fuel_press_2, "ketravin engomn_fuel_press_2_kr60");
}  // namespace
