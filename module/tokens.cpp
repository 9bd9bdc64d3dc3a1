#include "module/tokens.h"

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

f64 tok_read_finite(TokenVar& t) {
    constexpr f64 kLimit = 1e9;
    const f64 v = tok_read(t);
    if (!(v == v)) return 0.0;
    return v > kLimit ? kLimit : v < -kLimit ? -kLimit : v;
}
