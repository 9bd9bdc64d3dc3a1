// The N1 target laws: per thrust mode a reference temperature, a limit and a law in the altitude
// and the temperature deviation, less a bleed correction for the anti-ice loads; the target is the
// law held under the limit. The error against the selected target is what the autothrottle flies.
// Reads: eng_n1_mode, eng_n1_flex_temp, eng_n1_tat_c, aice_wing_active, eng_n1_target_selected,
//        tok_altitude_m, tok_sat_c, tok_ref_temp_c, tok_eng1/2_anti_ice, tok_eng1/2_n2, tok_eng1/2_n1
// Writes: eng_n1_target_computed, eng_n1_target_selected, eng_n1_limit, eng_n1_max_pct,
//         eng_n1_target_error, eng_n1_calc_alt_ft, eng_n1_sat_k, eng_n1_tat_k, eng_n1_ref_sat_k,
//         eng_n1_ref_tat_k, eng_n1_sat_dev, eng_n1_tat_dev
#include "engines/n1_laws.h"

#include <initializer_list>

#include "air/state.h"
#include "engines/state.h"
#include "module/tokens.h"

namespace {
enum Mode : u8 { TakeOff = 1, FlexTakeOff, GoAround, MaxContinuous, Climb, Cruise };

constexpr f64 kMetresToFeet = 3.281;
constexpr f64 kKelvin = 273.0;
constexpr u16 kIsaSeaLevelK = 288;

// The latest reading of each token a law computes from, watched every frame, powered or not, so
// that none is from long ago; the laws wait until the host has given each a number (a reading
// that is none is never taken as 0). The bleed tests compare the loads and N2s as the host gives
// them, so those are read, not watched.
struct Readings {
    f64 sat, alt_m, ref, n1[2];
};
Readings last{};
TokenWatch n1_watch[2] = {TokenWatch{tok_eng1_n1}, TokenWatch{tok_eng2_n1}};
TokenWatch sat_watch{tok_sat_c}, alt_watch{tok_altitude_m}, ref_watch{tok_ref_temp_c};

// The loads and N2s of this frame, refreshed in the order the laws take them.
struct Bleed {
    f64 e, n2[2];
};
Bleed read_bleed() {
    const f64 e1 = tok_read(tok_eng1_anti_ice), e2 = tok_read(tok_eng2_anti_ice);
    const f64 n2a = tok_read(tok_eng1_n2), n2b = tok_read(tok_eng2_n2);
    return {e1 + e2, {n2a, n2b}};
}

f64 cap(f64 v, f64 top) { return v < top ? v : top; }

// A deviation is the difference of two whole temperatures in a signed byte, held at its ends.
void deviation(i8& dev, i32 temp_k, i32 ref_k) { dev = sat_cast<i8>(f64(temp_k) - f64(ref_k), dev); }

i8 static_deviation(u16 ref_k) {
    eng_n1_ref_sat_k = ref_k;
    deviation(eng_n1_sat_dev, eng_n1_sat_k, eng_n1_ref_sat_k);
    return eng_n1_sat_dev;
}
i8 total_deviation(u16 ref_k) {
    eng_n1_ref_tat_k = ref_k;
    deviation(eng_n1_tat_dev, eng_n1_tat_k, eng_n1_ref_tat_k);
    return eng_n1_tat_dev;
}

// Go-around, MCT and climb: engine anti-ice alone, or with wing anti-ice (more when an engine's
// N2 is low); wing anti-ice alone takes nothing.
f64 engine_bleed(const Bleed& b, u8 w, f64 engine_only, f64 both_low_n2, f64 both) {
    if (!(b.e > 0.0)) return 0.0;
    if (w == 0) return engine_only;
    constexpr f64 kLowN2 = 15.0;
    return b.n2[0] < kLowN2 || b.n2[1] < kLowN2 ? both_low_n2 : both;
}

struct Law {
    f64 limit, n;
};

Law law(u8 mode, f64 a, const Bleed& b, u8 w) {
    const f64 e = b.e;
    const f64 t = eng_n1_flex_temp;
    switch (mode) {
        case TakeOff: {
            const f64 ds = static_deviation(kIsaSeaLevelK);
            const f64 alt = a < 5000.0 ? 0.8 * a / 1000.0 : 4.0;
            const f64 bleed = e + w > 0.0 ? 0.7 : 0.0;
            return {cap(113.3 + 0.42 * a / 1000.0, 114.6), 110.4 + 0.187 * ds + alt - 0.6 - bleed};
        }
        case FlexTakeOff: {
            const f64 ds = static_deviation(u16(kKelvin));
            const f64 limit = t < 20.0 ? 114.6 : cap(115.4 - 0.206 * (t - 20.0), 114.6);
            const f64 f = t < 20.0 ? 0.0 : t <= 55.0 ? 0.3875 * (t - 20.0) : 13.5625;
            const f64 bleed = e > 0.0 ? 0.7 : 0.0;
            return {limit, 111.4 + 0.21 * ds - f - 0.6 - bleed};
        }
        case GoAround: {
            const f64 ds = static_deviation(u16(kKelvin));
            return {110.9, 105.0 + 0.194 * ds - engine_bleed(b, w, 0.7, 1.7, 1.3)};
        }
        case MaxContinuous: {
            const f64 dt = total_deviation(u16(kKelvin));
            // The altitude term changes slope at 18000 ft, so the law drops there.
            const f64 alt = a / 2000.0 * (a < 18000.0 ? 1.2 : 0.8);
            return {cap(105.8 + 0.188 * a / 1000.0, 115.5), 99.2 + 0.175 * dt + alt - engine_bleed(b, w, 0.9, 2.0, 1.6)};
        }
        case Climb: {
            const f64 dt = total_deviation(u16(kKelvin));
            const f64 alt = a < 32800.0 ? 0.9 * a / 2000.0 : 14.76;
            return {cap(101.4 + 0.25 * a / 1000.0, 115.5), 96.5 + 0.184 * dt + alt - engine_bleed(b, w, 0.9, 2.0, 1.6)};
        }
        default: {  // Cruise: the reference is the host's (the caller has made sure of a reading)
            const u16 ref = sat_cast<u16>(last.ref + kKelvin, eng_n1_ref_sat_k);
            const f64 ds = static_deviation(ref);
            const f64 alt = a < 35000.0 ? 0.84 * a / 1000.0 : 29.4;
            return {113.0, 72.1 + 0.2 * ds + alt};
        }
    }
}
}  // namespace

void n1_laws_watch(bool running) {
    // The cruise reference is the law's reading only in cruise; otherwise its record is left as
    // other readers last refreshed it, as are all of them while the laws do not run.
    const bool cruise = running && eng_n1_mode == Cruise;
    for (TokenWatch* w : {&sat_watch, &alt_watch, &n1_watch[0], &n1_watch[1]}) {
        if (running)
            w->watch();
        else
            w->peek();
    }
    if (cruise)
        ref_watch.watch();
    else
        ref_watch.peek();
}

void n1_laws_forget() {
    for (TokenWatch* w : {&sat_watch, &alt_watch, &ref_watch, &n1_watch[0], &n1_watch[1]}) w->forget();
}

void n1_laws_step() {
    // 1. Loads and air data; a law waits for a reading of each value it is computed from, and
    //    until then keeps what it computed.
    const Bleed bleed = read_bleed();
    const bool alt = alt_watch.latest(last.alt_m);
    const bool sat = sat_watch.latest(last.sat), ref = ref_watch.latest(last.ref);
    // 2-3. Altitude in feet, whole kelvin (the total temperature is the computer's own).
    if (sat) eng_n1_sat_k = sat_cast<i16>(last.sat + kKelvin, eng_n1_sat_k);
    eng_n1_tat_k = i16(eng_n1_tat_c + i16(kKelvin));
    // 4. The selected mode's law, held under its limit; no mode keeps the last target. MCT and
    //    climb work from the total temperature, the others from the static one.
    const u8 m = eng_n1_mode;
    const bool static_law = m != MaxContinuous && m != Climb;
    if (alt) eng_n1_calc_alt_ft = last.alt_m * kMetresToFeet;
    if (alt && m >= TakeOff && m <= Cruise && (sat || !static_law) && (ref || m != Cruise)) {
        const Law l = law(m, eng_n1_calc_alt_ft, bleed, aice_wing_active);
        eng_n1_limit = l.limit;
        eng_n1_target_computed = l.n < l.limit ? l.n : l.limit;
        eng_n1_target_selected = eng_n1_target_computed;
    }
    // 5-6. The higher engine and its error, in every mode, once both engines have a reading.
    if (!n1_watch[0].latest(last.n1[0]) || !n1_watch[1].latest(last.n1[1])) return;
    eng_n1_max_pct = last.n1[1] > last.n1[0] ? last.n1[1] : last.n1[0];
    eng_n1_target_error = eng_n1_max_pct - eng_n1_target_selected;
}
