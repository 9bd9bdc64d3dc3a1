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

namespace {
constexpr f64 kLimit = 1e9;
// A host value as a number: false when it is none or infinite, else held within the limit.
bool held_number(f64 v, f64& out) {
    if (!std::isfinite(v)) return false;
    out = v > kLimit ? kLimit : v < -kLimit ? -kLimit : v;
    return true;
}
}  // namespace

void tok_refresh(TokenVar& t) { svc::lookup_var(t); }

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

bool tok_number(TokenVar& t, f64& out) { return held_number(tok_read(t), out); }

void TokenWatch::watch() { tok_number(*tok_, last_); }

void TokenWatch::peek() {
    own_.id = tok_->id;
    svc::lookup_var(own_);
    held_number(token_f64(own_), last_);
}

bool TokenWatch::latest(f64& out) const {
    if (std::isnan(last_)) return false;
    out = last_;
    return true;
}
