// The host token records (one per token the module reads) and their refresh.
#pragma once
#include <cmath>

#include "module/host_interface.h"

#define KR_TOKEN(name, id) extern TokenVar name;
#include "module/tokens.def"
#undef KR_TOKEN

// Refreshes the record through the host's lookup_var, then returns its value.
f64 tok_read(TokenVar& t);
u32 tok_read_u32(TokenVar& t);
i32 tok_read_i32(TokenVar& t);
void tok_refresh(TokenVar& t);
// Refreshes and reads a host value for arithmetic. A reading that is no number or infinite
// answers the token's last finite reading (0 before the host ever gave one), so that a law fed
// garbage computes what it last computed instead of acting on a value the host never reported;
// anything beyond +-1e9 (far outside every physical range the host reports) is held there.
// The raw value stays in the record (token_f64) for the rules that decide on it themselves.
f64 tok_read_finite(TokenVar& t);
// The same for a gauge that keeps nothing between frames and shows a value that is no number as
// 0: infinities and anything beyond +-1e9 are held at +-1e9.
f64 tok_read_clamped(TokenVar& t);
// Whether the record's value, as last refreshed, is a finite number.
inline bool tok_is_finite(const TokenVar& t) { return std::isfinite(token_f64(t)); }

struct TokenInfo {
    const char* name;
    u32 id;
};
extern const TokenInfo kTokenNames[];
extern const u32 kTokenNameCount;
