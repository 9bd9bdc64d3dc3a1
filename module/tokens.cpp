#include "module/tokens.h"

#include <cmath>

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

void tok_refresh(TokenVar& t) { svc::lookup_var(t); }

f64 tok_read(TokenVar& t) {
    svc::lookup_var(t);
    return token_f64(t);
}

u32 tok_read_u32(TokenVar& t) {
    svc::lookup_var(t);
    return token_u32(t);
}

i32 tok_read_i32(TokenVar& t) {
    svc::lookup_var(t);
    return token_i32(t);
}

// The last finite reading of every token, by token id. It lives beside the records because the
// host fixes their layout; the two records of token 79 read one host value and share a slot.
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
f64 last_finite[kLastFiniteSlots];

constexpr f64 kLimit = 1e9;
f64 clamp_limit(f64 v) { return v > kLimit ? kLimit : v < -kLimit ? -kLimit : v; }
}  // namespace

f64 tok_read_finite(TokenVar& t) {
    const f64 v = tok_read(t);
    f64* const slot = t.id < kLastFiniteSlots ? &last_finite[t.id] : nullptr;
    if (!std::isfinite(v)) return slot ? *slot : 0.0;
    const f64 held = clamp_limit(v);
    if (slot) *slot = held;
    return held;
}

f64 tok_read_clamped(TokenVar& t) {
    const f64 v = tok_read(t);
    return v == v ? clamp_limit(v) : 0.0;
}
