// The two fuel-used indicators of the flight engineer's fuel panel: each integrates its engine's
// fuel flow a quarter second at a time while normal DC is powered and shows the total on a
// five-drum counter, in pounds or kilograms as the host's unit setting stands at each addition.
// Reads: tok_elapsed_time_s, tok_eng1_fuel_flow_pph, tok_eng2_fuel_flow_pph, tok_units_of_measure,
//        dc_normal_powered, light_zone, annunciator_bright
// Writes: fuel_used, fuel_used_ind_1, fuel_used_ind_2
#include "electrical/state.h"
#include "fuel/fuel_indicators.h"
#include "fuel/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/tokens.h"

FuelUsedIndicator fuel_used_ind_1, fuel_used_ind_2;

GaugeHeader gauge_fuel_ind_fu_1;
GaugeHeader gauge_fuel_ind_fu_2;

namespace {
constexpr u8 kZone = 4;
constexpr f64 kInterval = 0.25;          // seconds between additions
constexpr f64 kQuarterHours = 14400.0;   // quarter seconds in an hour
constexpr f64 kFlowFactor = 1.3407037;   // per addition, whatever the real interval
constexpr f64 kKgPerLb = 0.453;

enum Pos : size_t { KgFace, LbFace, Units, Tens, Hundreds, Thousands, TenThousands, kElements };
constexpr LightWalk kWalk{kZone, walk_range(KgFace, TenThousands)};

constexpr u32 kStrip = 451;
constexpr i32 kDrumY = 36;
constexpr ElementDef drum_at(i32 x, u32 place, f64* scaled, f64* roll) {
    return el::BandedDrum(kStrip, x, kDrumY, 0, drum::counter_place(place), scaled, roll);
}
constexpr ElementDef line(size_t pos, FuelUsedIndicator* r) {
    switch (pos) {
        case KgFace: return el::Static(448, 0, 0, ImageOption1);
        case LbFace: return el::Icon(4208, 0, 0, ImageHidden | ImageOption1);
        case Units: return el::ContinuousDrum(kStrip, 65, kDrumY, 0, &r->digit1_scaled, &r->digit1_drum);
        case Tens: return drum_at(52, 2, &r->digit2_scaled, &r->digit2_roll);
        case Hundreds: return drum_at(39, 3, &r->digit3_scaled, &r->digit3_roll);
        case Thousands: return drum_at(26, 4, &r->digit4_scaled, &r->digit4_roll);
        default: return drum_at(13, 5, &r->digit5_scaled, &r->digit5_roll);
    }
}
struct Defs {
    ElementDef d[kElements];
};
constexpr Defs defs(FuelUsedIndicator* r) {
    Defs out{};
    for (size_t i = 0; i < kElements; ++i) out.d[i] = line(i, r);
    return out;
}
constexpr Defs kDefs1 = defs(&fuel_used_ind_1);
constexpr Defs kDefs2 = defs(&fuel_used_ind_2);
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

// Step 4: arm a quarter second ahead, then add one quarter second's flow once the time is there.
// A time that is not a number neither arms nor adds; a flow that is not a number adds nothing and
// a negative flow adds 0.
void add_fuel(FuelUsedIndicator& ind, f64& total, f64 time, f64 flow, bool pounds) {
    if (!std::isfinite(time)) return;
    if (ind.timer_armed == 0) {
        ind.due_s = time + kInterval;
        ind.timer_armed = 1;
    }
    if (ind.timer_armed != 1 || !(time >= ind.due_s)) return;
    ind.timer_armed = 0;
    if (!std::isfinite(flow)) return;
    const f64 amount = (flow > 0.0 ? flow : 0.0) / kQuarterHours * kFlowFactor;
    const f64 sum = total + (pounds ? amount : amount * kKgPerLb);
    if (std::isfinite(sum)) total = sum;
}

template <size_t NE>
void fuel_used_counter_update(Gauge<NE, 2>& g, TokenVar& flow_token, f64& total, FuelUsedIndicator& ind) {
    light_walk(g.header(), kWalk);  // 1
    const f64 time = tok_read(tok_elapsed_time_s);  // 2
    const f64 flow = tok_read(flow_token);
    const bool pounds = tok_read(tok_units_of_measure) == 0.0;
    show_if(g.el(LbFace), pounds);  // 3
    show_if(g.el(KgFace), !pounds);
    if (dc_normal_powered == 1) add_fuel(ind, total, time, flow, pounds);  // 4
    const CounterPlaces c = counter_split(total, 5);  // 5
    ind.digit5_scaled = c.scaled[5], ind.digit5_roll = c.roll[5];
    ind.digit4_scaled = c.scaled[4], ind.digit4_roll = c.roll[4];
    ind.digit3_scaled = c.scaled[3], ind.digit3_roll = c.roll[3];
    ind.digit2_scaled = c.scaled[2], ind.digit2_roll = c.roll[2];
    ind.digit1_scaled = c.scaled[1];
}

void FSAPI fu_1_update(GaugeHeader*, i32 service, u32);
void FSAPI fu_2_update(GaugeHeader*, i32 service, u32);
constexpr u32 kWidthMm = 61;
Gauge<kElements, 2> fu_1(gauge_fuel_ind_fu_1, "ketravin fuel_ind_fu_1_kr60", kWidthMm, fu_1_update, kDefs1.d,
                         kNoClicks);
Gauge<kElements, 2> fu_2(gauge_fuel_ind_fu_2, "ketravin fuel_ind_fu_2_kr60", kWidthMm, fu_2_update, kDefs2.d,
                         kNoClicks);

void FSAPI fu_1_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    fuel_used_counter_update(fu_1, tok_eng1_fuel_flow_pph, fuel_used[0], fuel_used_ind_1);
}
void FSAPI fu_2_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    fuel_used_counter_update(fu_2, tok_eng2_fuel_flow_pph, fuel_used[1], fuel_used_ind_2);
}
}  // namespace
