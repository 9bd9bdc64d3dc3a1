// The host token records (one per token the module reads) and their refresh.
#pragma once
#include "module/host_interface.h"

#define KR_TOKEN(name, id) extern TokenVar name;
#include "module/tokens.def"
#undef KR_TOKEN

// Refreshes the record through the host's lookup_var, then returns its value.
f64 tok_read(TokenVar& t);
u32 tok_read_u32(TokenVar& t);
i32 tok_read_i32(TokenVar& t);
void tok_refresh(TokenVar& t);
// Refreshes and reads a host value for arithmetic: NaN gives 0 and anything beyond +-1e9 (far
// outside every physical range the host reports) is held there, so sums and products stay finite.
f64 tok_read_finite(TokenVar& t);

struct TokenInfo {
    const char* name;
    u32 id;
};
extern const TokenInfo kTokenNames[];
extern const u32 kTokenNameCount;
