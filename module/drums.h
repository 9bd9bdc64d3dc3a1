// Digit drums and counters: the rolling-digit windows of every counter in the cockpit.
//
// A drum is a moving-image element over a vertical strip of digit cells; the host shifts the
// strip by the element's y value (0 shows the top cell, the element's range the bottom cell, which
// repeats the top digit). A gauge declares each drum as one line of its element table: strip,
// place, start flags, the rule with its constants, and the variables it is bound to. The y
// callbacks below serve every member; each finds its member's variables and constants beside its
// element (element_binding), so no two drums share anything through a callback.
//
// Banded drums (el::BandedDrum, callback drum_digit_value): stand on the exact digit of their
//   input X while X lies in a digit's band [k, k + w] (w0 for digit 0), show 0 once X passes the
//   top threshold, and otherwise keep the position P that the gauge rolled this frame. The gauge
//   rolls them in its callback, before the draw, with drum_roll (or counter_split for the fuel
//   counters, engine_drums_step for the engine indicators).
// Continuous drums (el::ContinuousDrum, callback drum_units_value): the lowest drum of a
//   counter; a position above 9.999 folds onto 0 (the bottom cell looks like the top one).
// Edge drums (el::EdgeDrum, callback drum_edge_value): a continuous lowest drum that holds both
//   ends a hair inside the strip (0.002 and 9.998), so the digit 0 never sits on the strip's edge.
// Chasing drums (el::ChasingDrum, callback digit_drum_y): step a quarter digit per call toward a
//   target and snap onto it within 0.2. Four rules differ where the strip wraps between the top
//   digit and 0 (see Chase below); every drum keeps the rule its instrument was built with.
//
// A drum moves only when the host draws it: a gauge on a closed window keeps its drums where they
// stood. Non-finite or huge inputs never reach an integer conversion: a banded drum keeps its
// position, a chasing drum stays where it is, a continuous drum shows 0.
//
// Usage, one line per drum in the element table:
//   el::BandedDrum(1254, 80, 51, 0, drum::band(0.99, 9.9999, 0.99, 100, drum::Reversed), &alt_1k_x, &alt_1k_p),
//   el::BandedDrum(451, 30, 8, 0, drum::counter_place(4), &ind.digit4_scaled, &ind.digit4_roll),
//   el::ContinuousDrum(451, 42, 8, 0, &ind.digit1_scaled, &ind.digit1_drum),
//   el::ChasingDrum(1273, 136, 117, 0, drum::carry(9.6), drum::target(&hpa_d10), &hpa_d10_drum),
//   el::ChasingDrum(2128, 48, 20, 0, drum::radio(4), drum::target(&com_last_target), &com_last_pos, 4.0),
//   el::ChasingDrum(2118, 45, 25, 0, drum::radio_jump(2), drum::target(&adf_k_target), &adf_k_pos),
//   el::ChasingDrum(3110, 15, 77, 0, drum::selector(4), drum::target(&crs_100), &crs_100_pos, 4.0),
//   el::ChasingDrum(2080, 18, 6, 0, drum::carry(9.9), drum::target(&weight_digit2), &weight_drum2),
//   el::BandedDrum(1222, 55, 104, 0, drum::band(0.99, 9.999, 0.99, 100, drum::Reversed), &n1.drum[1].x, &n1.drum[1].p),
//   el::ContinuousDrum(1222, 103, 104, 0, &n1.drum[3].p, &n1.drum[3].p),
//   el::ValueDrum(2166, 45, 4, 0, &miles_units_pos),
// and in the gauge callback, before the draw, the step its counter needs:
//   drum_roll(gauge.el(AltThousands), (a - 10000.0 * std::trunc(a / 10000.0)) / 1000.0);
//   const CounterPlaces c = counter_split(fuel, 5);  ind.digit4_scaled = c.scaled[4]; ...
//   engine_drums_step(n1_digits, 100.0, 4, n1);
//   const SelectorTargets t = selector_split(ap_selected_course, 100, 4);  crs_100 = t.wheel[0]; ...
// Bound variables are module-wide; a chasing drum's position is written by its callback alone.
#pragma once
#include "module/gauge.h"

// ---- Value callbacks (one for every member of a family) -------------------------------------
f64 FSAPI drum_fixed_x(ElementHeader* e);      // horizontal callback of every drum: 1.0
f64 FSAPI drum_digit_value(ElementHeader* e);  // banded snap
f64 FSAPI drum_units_value(ElementHeader* e);  // continuous fold above 9.999
f64 FSAPI drum_value(ElementHeader* e);        // plain getter: the bound variable unchanged
f64 FSAPI digit_drum_y(ElementHeader* e);      // one chasing step by the member's rule
f64 FSAPI drum_edge_value(ElementHeader* e);   // continuous, both ends held just inside the strip

namespace drum {
enum Orientation : u32 { Forward = 0, Reversed = 1 };  // cells 0 1 .. 9 0, or 0 9 .. 1 0

// Banded member: band width w (w0 for digit 0), top threshold, roll start s and gain F.
struct Band {
    f64 w, top, s, gain;
    Orientation orientation;
    f64 w0;
};
constexpr Band band(f64 w, f64 top, f64 s, f64 gain, Orientation o = Forward) {
    return Band{w, top, s, gain, o, w};
}
constexpr Band band_w0(Band b, f64 w0) {
    b.w0 = w0;
    return b;
}
// A place of the fuel counters, 2 (tens) to 5 (ten-thousands): band and roll-over bound of the
// place, the band also being the roll start, and the place's multiplier as gain.
constexpr Band counter_place(u32 place) {
    return place == 5   ? band(0.9999, 9.9999, 0.9999, 10000)
           : place == 4 ? band(0.999, 9.9999, 0.999, 1000)
           : place == 3 ? band(0.99, 9.999, 0.99, 100)
                        : band(0.9, 9.999, 0.9, 10);
}

// Chasing rules.
enum class ChaseRule : u32 {
    Carry = 1,  // counters with a carry target (altimeter settings, weights, N1 limit wheels)
    Radio,      // radio heads whose drums run up to the top digit
    RadioJump,  // radio heads whose drums jump to the top digit from any digit below
    Selector,   // selector windows on reversed strips, target = N - digit
};
struct Chase {
    ChaseRule rule;
    u32 n;  // positions: digits 0 .. n-1
    f64 c;  // wrap threshold (Carry only)
};
// Carry: ten digits, wrap threshold c (9.6 or 9.9); a target of 10 rests at 9.8 or more.
constexpr Chase carry(f64 c) { return Chase{ChaseRule::Carry, 10, c}; }
// Carry over a strip of four digits (0 to 3), wrap threshold 3.9.
constexpr Chase carry_four() { return Chase{ChaseRule::Carry, 4, 3.9}; }
constexpr Chase radio(u32 n) { return Chase{ChaseRule::Radio, n, 0.0}; }
constexpr Chase radio_jump(u32 n) { return Chase{ChaseRule::RadioJump, n, 0.0}; }
constexpr Chase selector(u32 n) { return Chase{ChaseRule::Selector, n, 0.0}; }

// The target variable of a chasing drum, of the width its instrument keeps.
enum class TargetType : u32 { I32, U8, U32, F64 };
struct Target {
    const void* var;
    TargetType type;
};
constexpr Target target(const i32* v) { return Target{v, TargetType::I32}; }
constexpr Target target(const u8* v) { return Target{v, TargetType::U8}; }
constexpr Target target(const u32* v) { return Target{v, TargetType::U32}; }
constexpr Target target(const f64* v) { return Target{v, TargetType::F64}; }

enum : u32 { RuleBanded = 1, RuleContinuous, RuleValue, RuleChase, RuleEdge };
}  // namespace drum

// ---- Element lines ---------------------------------------------------------------------------
namespace el {
constexpr ElementDef BandedDrum(u32 bitmap, i32 x, i32 y, u32 flags, const drum::Band& b, f64* input,
                                f64* position, f64 range = 10.0) {
    ElementDef d = Moving(bitmap, x, y, flags, range, drum_fixed_x, drum_digit_value);
    d.binding.var[0] = input;
    d.binding.var[1] = position;
    d.binding.k[0] = b.w;
    d.binding.k[1] = b.w0;
    d.binding.k[2] = b.top;
    d.binding.k[3] = b.s;
    d.binding.k[4] = b.gain;
    d.binding.rule = drum::RuleBanded;
    d.binding.arg = b.orientation;
    return d;
}
// `position` may be null (nothing kept) or the input itself (folded in place).
constexpr ElementDef ContinuousDrum(u32 bitmap, i32 x, i32 y, u32 flags, const f64* input,
                                    f64* position = nullptr, f64 range = 10.0) {
    ElementDef d = Moving(bitmap, x, y, flags, range, drum_fixed_x, drum_units_value);
    d.binding.var[0] = const_cast<f64*>(input);
    d.binding.var[1] = position;
    d.binding.rule = drum::RuleContinuous;
    return d;
}
constexpr ElementDef ValueDrum(u32 bitmap, i32 x, i32 y, u32 flags, const f64* input, f64 range = 10.0) {
    ElementDef d = Moving(bitmap, x, y, flags, range, drum_fixed_x, drum_value);
    d.binding.var[0] = const_cast<f64*>(input);
    d.binding.rule = drum::RuleValue;
    return d;
}
constexpr ElementDef ChasingDrum(u32 bitmap, i32 x, i32 y, u32 flags, const drum::Chase& c, drum::Target t,
                                 f64* position, f64 range = 10.0) {
    ElementDef d = Moving(bitmap, x, y, flags, range, drum_fixed_x, digit_drum_y);
    d.binding.var[0] = const_cast<void*>(t.var);
    d.binding.var[1] = position;
    d.binding.k[0] = c.c;
    d.binding.rule = drum::RuleChase;
    d.binding.arg = u32(c.rule) << 16 | u32(t.type) << 8 | c.n;
    return d;
}
// A continuous lowest drum whose two ends show the digit 0 slightly inside the strip: a position
// above 9.999 draws at 0.002, one at or below 0.001 at 9.998. The value drawn is kept in `shown`.
constexpr ElementDef EdgeDrum(u32 bitmap, i32 x, i32 y, u32 flags, const f64* input, f64* shown,
                              f64 range = 10.0) {
    ElementDef d = Moving(bitmap, x, y, flags, range, drum_fixed_x, drum_edge_value);
    d.binding.var[0] = const_cast<f64*>(input);
    d.binding.var[1] = shown;
    d.binding.rule = drum::RuleEdge;
    return d;
}
}  // namespace el

// ---- Per-frame steps the owning gauge runs in its callback -----------------------------------
// Stores the banded drum's input x and its rolled position: n + (x - s - n) * F on a forward
// strip, 10 - n - (x - s - n) * F on a reversed one, n = trunc(x). A non-finite x, or one out of
// the 32-bit range, leaves input and position as they are.
void drum_roll(ElementHeader* e, f64 x);

// Fuel counter split of a value V: per place (1 units .. 5 ten-thousands) the scaled value and,
// for places 2 and up, the carry-roll preset. Places above `top_place` are left at 0. Whole parts
// truncate to 32 bits and the place products are 32-bit, taken back as unsigned. A negative or
// non-finite V counts as 0.
struct CounterPlaces {
    f64 scaled[6];  // [place]
    f64 roll[6];    // [place], places 2 .. top
};
CounterPlaces counter_split(f64 value, u32 top_place);

// Engine indicator counters: per drum its input x, whole digit d and position p; leading drum
// first. The last drum turns continuously, the others roll through their last unit.
struct DrumState {
    f64 x;
    u32 d;
    f64 p;
};
struct EngineDrums {
    DrumState drum[4];
    u32 whole[3];  // trunc(D / 10w) of every drum below the leading one
};
// Inputs and roll positions from the digit value D, for `count` (2 to 4) drums whose leading
// weight is `leading_weight` (each next drum a tenth of the one before). The drums' y callbacks
// are banded members (reversed, band = roll threshold, top = snap limit) and a continuous member
// bound to the last drum's p. A negative D reads 0 (whole parts stay unsigned and every position
// stays on the strip); a non-finite or huge D leaves the counter as it stood.
void engine_drums_step(f64 digit_value, f64 leading_weight, u32 count, EngineDrums& row);

// Selector windows: the wheels' targets from a selector value, leading wheel first down to the
// tens, the units apart as a double. Target = N - digit (0 for the digit 0), N = `leading_n` for the
// leading wheel and 10 for the others. `leading_place` is 100 or 10000. A negative value reads 0.
struct SelectorTargets {
    i32 wheel[4];
    u32 count;
    f64 units;
};
SelectorTargets selector_split(i32 value, u32 leading_place, u32 leading_n);
