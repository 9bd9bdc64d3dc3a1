// Digit drums and counters shared by every instrument: the banded (odometer), continuous and
// chasing drum callbacks, the banded roll step, and the counter splits the gauges run per frame.
#include "module/drums.h"

#include <cmath>

namespace {
constexpr f64 kSnap = 0.2;   // a chasing drum snaps onto a whole target this close
constexpr f64 kStep = 0.25;  // and moves a quarter digit per call otherwise
constexpr f64 kFold = 9.999; // a continuous drum beyond this shows the top cell
constexpr f64 kI32Range = 2147483648.0;

bool in_i32_range(f64 v) { return std::fabs(v) < kI32Range; }

f64* var(const ElementBinding& b, int i) { return static_cast<f64*>(b.var[i]); }

// ---- chasing ----
struct Wrap {
    f64 n;      // positions
    f64 limit;  // n - 1.1: above it a drum bound for 0 rolls on through the bottom cell
    f64 wrap;   // n - 0.1: the cell just short of the bottom 0
};
Wrap wrap_of(u32 n) {
    switch (n) {
        case 2: return {2.0, 0.9, 1.9};
        case 4: return {4.0, 2.9, 3.9};
        case 8: return {8.0, 6.9, 7.9};
        case 10: return {10.0, 8.9, 9.9};
        default: return {f64(n), f64(n) - 1.1, f64(n) - 0.1};
    }
}

f64 read_target(const void* v, drum::TargetType type) {
    switch (type) {
        case drum::TargetType::I32: return *static_cast<const i32*>(v);
        case drum::TargetType::U8: return *static_cast<const u8*>(v);
        case drum::TargetType::U32: return *static_cast<const u32*>(v);
        case drum::TargetType::F64: return *static_cast<const f64*>(v);
    }
    return 0.0;
}

// Exactly one of the whole digits 1 .. n-1 (a double target snaps only on exact equality).
bool snaps_on(f64 t, const Wrap& w) { return t >= 1.0 && t <= w.n - 1.0 && t == std::trunc(t); }
bool near(f64 y, f64 t) { return t - kSnap < y && y < t + kSnap; }

f64 chase_carry(f64 y, f64 t, const Wrap& w, f64 c) {
    const f64 top = w.n - 1.0;
    if (snaps_on(t, w) && near(y, t)) return t;
    if (t == 0.0 && y < kSnap) return 0.0;
    if (y < t - kSnap) {
        if (t <= top - 1.0) return y + kStep;
        if (t >= top) return y >= kSnap ? y + kStep : w.wrap;
        return y;
    }
    if (y > t + kSnap) {
        if (t >= 1.0) return y - kStep;
        if (t <= 0.0) {
            if (y <= w.limit) return y - kStep;
            return y < c ? y + kStep : 0.0;
        }
    }
    return y;
}

// Above the target toward 0 through the bottom cell; shared by both radio rules.
f64 radio_down(f64 p, f64 t, const Wrap& w) {
    if (t >= kSnap) return p - kStep;
    if (t != 0.0) return p;
    if (p <= w.limit) return p - kStep;
    return p < w.wrap ? p + kStep : 0.0;
}

f64 chase_radio(f64 p, f64 t, const Wrap& w) {
    if (t == 0.0 && p < kSnap) return 0.0;
    if (snaps_on(t, w) && near(p, t)) return t;
    if (p < t - kSnap) {
        if (t <= w.limit) return p + kStep;
        return p >= kSnap ? p + kStep : w.wrap;
    }
    if (p > t + kSnap) return radio_down(p, t, w);
    return p;
}

f64 chase_radio_jump(f64 p, f64 t, const Wrap& w) {
    if (snaps_on(t, w) && near(p, t)) return t;
    if (t == 0.0 && p < kSnap) return 0.0;
    if (p < t - kSnap) return t <= w.limit ? p + kStep : w.wrap;
    if (p > t + kSnap) return radio_down(p, t, w);
    return p;
}

f64 chase_selector(f64 s, f64 d, const Wrap& w) {
    if (snaps_on(d, w) && near(s, d)) return d;
    if (d == 0.0 && s < kSnap) return 0.0;
    if (s == d) return s;
    if (d == 0.0 && s > kSnap) {
        if (s > w.limit) return s < w.wrap ? s + kStep : 0.0;
        return s - kStep;
    }
    if (d >= 1.0 && s > d + kSnap) return s - kStep;
    if (d <= w.n - 2.0 && s < d - kSnap) return s + kStep;
    if (d == w.n - 1.0 && s < d - kSnap) return s < kSnap ? w.n : s + kStep;
    return s;
}

// ---- counters ----
// trunc(v / place) as a 32-bit integer, times place as a 32-bit product, taken back unsigned.
// v is a finite number of 0 or more.
f64 place_product(f64 v, u32 place) {
    const u32 whole = u32(sat_i32(v / f64(place), 0));
    return f64(u32(whole * place));
}

}  // namespace

// ---- value callbacks --------------------------------------------------------------------------
f64 FSAPI drum_fixed_x(ElementHeader*) { return 1.0; }

f64 FSAPI drum_digit_value(ElementHeader* e) {
    const ElementBinding& b = element_binding(e);
    if (b.rule != drum::RuleBanded) return 0.0;
    const f64 x = *var(b, 0);
    f64& p = *var(b, 1);
    const bool reversed = b.arg == drum::Reversed;
    for (int k = 0; k <= 9; ++k) {
        const f64 width = k == 0 ? b.k[1] : b.k[0];
        if (k <= x && x <= k + width) p = reversed ? (k == 0 ? 0.0 : 10.0 - k) : f64(k);
    }
    if (x > b.k[2]) p = 0.0;
    if (!std::isfinite(p)) p = 0.0;
    return p;
}

f64 FSAPI drum_units_value(ElementHeader* e) {
    const ElementBinding& b = element_binding(e);
    if (b.rule != drum::RuleContinuous) return 0.0;
    const f64 s = *var(b, 0);
    const f64 q = (std::isfinite(s) && s <= kFold) ? s : 0.0;
    if (f64* out = var(b, 1)) *out = q;
    return q;
}

f64 FSAPI drum_edge_value(ElementHeader* e) {
    constexpr f64 kTop = 9.999, kBottom = 0.001, kShowTop = 0.002, kShowBottom = 9.998;
    const ElementBinding& b = element_binding(e);
    if (b.rule != drum::RuleEdge) return 0.0;
    const f64 p = *var(b, 0);
    const f64 q = !(p <= kTop) ? kShowTop : p <= kBottom ? kShowBottom : p;  // not a number: digit 0
    if (f64* out = var(b, 1)) *out = q;
    return q;
}

f64 FSAPI drum_value(ElementHeader* e) {
    const ElementBinding& b = element_binding(e);
    const f64 v = b.rule == drum::RuleValue ? *var(b, 0) : 0.0;
    return std::isfinite(v) ? v : 0.0;
}

f64 FSAPI digit_drum_y(ElementHeader* e) {
    const ElementBinding& b = element_binding(e);
    if (b.rule != drum::RuleChase) return 0.0;
    f64& y = *var(b, 1);
    if (!std::isfinite(y)) y = 0.0;  // only a hostile write can put it there
    const f64 t = read_target(b.var[0], drum::TargetType((b.arg >> 8) & 0xFF));
    if (!in_i32_range(t)) return y;  // NaN, infinite or huge: stay where it is
    const Wrap w = wrap_of(b.arg & 0xFF);
    switch (drum::ChaseRule(b.arg >> 16)) {
        case drum::ChaseRule::Carry: y = chase_carry(y, t, w, b.k[0]); break;
        case drum::ChaseRule::Radio: y = chase_radio(y, t, w); break;
        case drum::ChaseRule::RadioJump: y = chase_radio_jump(y, t, w); break;
        case drum::ChaseRule::Selector: y = chase_selector(y, t, w); break;
    }
    return y;
}

// ---- per-frame steps --------------------------------------------------------------------------

void drum_roll(ElementHeader* e, f64 x) {
    const ElementBinding& b = element_binding(e);
    if (b.rule != drum::RuleBanded || !in_i32_range(x)) return;
    const f64 n = sat_i32(x, 0);  // x is a number within range here
    const f64 along = (x - b.k[3] - n) * b.k[4];
    *var(b, 0) = x;
    *var(b, 1) = b.arg == drum::Reversed ? 10.0 - n - along : n + along;
}

CounterPlaces counter_split(f64 value, u32 top_place) {
    CounterPlaces c{};
    const f64 v = std::isfinite(value) && value > 0.0 ? value : 0.0;
    if (top_place > 5) top_place = 5;
    u32 place_value = 1;
    for (u32 place = 1; place <= top_place; ++place, place_value *= 10) {
        const f64 above = place == top_place ? 0.0 : place_product(v, place_value * 10);
        const f64 s = (v - above) / f64(place_value);
        c.scaled[place] = s;
        if (place >= 2) {
            const f64 n = sat_i32(s, 0);  // v is finite, so s is a number
            const drum::Band b = drum::counter_place(place);
            c.roll[place] = n + ((s - b.s) - n) * b.gain;
        }
    }
    return c;
}

void engine_drums_step(f64 digit_value, f64 leading_weight, u32 count, EngineDrums& row) {
    constexpr f64 kMax = 1e9;  // far beyond every counter; keeps whole parts within 32 bits
    constexpr f64 kThreshold[4] = {0, 0.9, 0.99, 0.999};
    constexpr f64 kGain[4] = {0, 10, 100, 1000};
    if (!(digit_value < kMax) || count < 2 || count > 4 || !(leading_weight > 0.0)) return;
    const f64 d_value = digit_value > 0.0 ? digit_value : 0.0;
    f64 weight = leading_weight, above = 0.0;
    for (u32 i = 0; i < count; ++i, above = weight, weight /= 10.0) {
        DrumState& s = row.drum[i];
        const bool last = i + 1 == count;
        if (i == 0) {
            s.x = d_value / weight;
        } else {
            row.whole[i - 1] = sat_u32(d_value / above, row.whole[i - 1]);
            const f64 whole = row.whole[i - 1];
            // A tenths drum turns with ten times the fraction of D, as the counters compute it.
            s.x = last && weight < 1.0 ? 10.0 * d_value - 10.0 * whole : (d_value - above * whole) / weight;
        }
        s.d = sat_u32(s.x, s.d);
        if (last) {
            s.p = 10.0 - s.x;
        } else {
            const u32 k = count - 1 - i;
            s.p = 10.0 - s.d - (s.x - s.d - kThreshold[k]) * kGain[k];
        }
    }
}

SelectorTargets selector_split(i32 value, u32 leading_place, u32 leading_n) {
    SelectorTargets t{};
    u32 rest = value > 0 ? u32(value) : 0u;
    u32 place = leading_place;
    const u32 lead = rest / place;
    rest -= lead * place;
    // Whole numbers throughout: no conversion below meets a value that is no number.
    t.wheel[t.count++] = lead == 0 ? 0 : i32(leading_n) - sat_i32(f64(lead), 0);
    for (place /= 10; place >= 10 && t.count < 4; place /= 10) {
        const i32 digit = sat_i32(f64(rest) / f64(place), 0);
        rest -= u32(digit) * place;
        t.wheel[t.count++] = digit == 0 ? 0 : 10 - digit;
    }
    const f64 u = f64(rest);
    t.units = u == 0.0 ? 0.0 : -(u - 10.0);
    return t;
}
