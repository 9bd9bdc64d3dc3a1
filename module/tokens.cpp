#include "module/tokens.h"

#include <cmath>
#include <limits>

#include "module/services.h"

#define KR_TOKEN(name, id) TokenVar name = {id, nullptr, 0, {0, 0}, {0, 0}};
#include "module/tokens.def"
#undef KR_TOKEN

const TokenInfo kTokenNames[] = {
#define KR_TOKEN(name, id) {#name, id},
#include "module/tokens.def"
#undef KR_TOKEN
};
const u32 kTokenNameCount = sizeof kTokenNames / sizeof kTokenNames[0];

// The latest finite reading of every token, by token id. It lives beside the records because
// the host fixes their layout; the two records of token 79 read one host value and share a slot.
// NaN marks a token the host has never given a number for.
namespace {
constexpr u32 kTokenIds[] = {
#define KR_TOKEN(name, id) id,
#include "module/tokens.def"
#undef KR_TOKEN
};
constexpr u32 highest_token_id() {
    u32 m = 0;
    for (u32 id : kTokenIds) m = id > m ? id : m;
    return m;
}
constexpr u32 kLastFiniteSlots = highest_token_id() + 1;

struct LastFinite {
    f64 v[kLastFiniteSlots];
    LastFinite() {
        for (f64& x : v) x = std::numeric_limits<f64>::quiet_NaN();
    }
};
LastFinite last_finite;

constexpr f64 kLimit = 1e9;
f64 clamp_limit(f64 v) { return v > kLimit ? kLimit : v < -kLimit ? -kLimit : v; }
}  // namespace

void tok_refresh(TokenVar& t) {
    svc::lookup_var(t);
    const f64 v = token_f64(t);
    if (std::isfinite(v) && t.id < kLastFiniteSlots) last_finite.v[t.id] = v;
}

f64 tok_read(TokenVar& t) {
    tok_refresh(t);
    return token_f64(t);
}

u32 tok_read_u32(TokenVar& t) {
    tok_refresh(t);
    return token_u32(t);
}

i32 tok_read_i32(TokenVar& t) {
    tok_refresh(t);
    return token_i32(t);
}

bool tok_number(TokenVar& t, f64& out) {
    const f64 v = tok_read(t);
    if (!std::isfinite(v)) return false;
    out = clamp_limit(v);
    return true;
}

bool tok_reading(TokenVar& t, f64& out) {
    if (tok_number(t, out)) return true;
    if (t.id >= kLastFiniteSlots || !std::isfinite(last_finite.v[t.id])) return false;
    out = clamp_limit(last_finite.v[t.id]);
    return true;
}

void TokenWatch::watch() {
    f64 v;
    if (tok_number(*tok_, v)) last_ = v;
}

bool TokenWatch::latest(f64& out) const {
    if (std::isnan(last_)) return false;
    out = last_;
    return true;
}
