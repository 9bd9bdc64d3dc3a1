// The host token records (one per token the module reads) and their refresh.
#pragma once
#include <cmath>
#include <limits>

#include "module/host_interface.h"

#define KR_TOKEN(name, id) extern TokenVar name;
#include "module/tokens.def"
#undef KR_TOKEN

// Which read to use:
// - tok_read (and the _u32/_i32 forms): the host's value as it is. The rules' own comparisons
//   use it, so a value that is no number matches no band and the rule's "otherwise" applies.
// - tok_number: for a number computed from the value (a command, a reference, a key's value, a
//   shared reading). False when the host's value is no number or infinite: the caller keeps what
//   it last computed. A finite value beyond +-1e9 (far outside every physical range the host
//   reports) is held there, so that sums and products of readings stay finite.
// - TokenWatch: the token's latest finite value, for a law that needs some reading of a token
//   that is no number this frame. Only a reader that watches the token every frame has one.
//   A value the rules only compare (a bleed test, a band) is read as it is, not watched.
f64 tok_read(TokenVar& t);
u32 tok_read_u32(TokenVar& t);
i32 tok_read_i32(TokenVar& t);
void tok_refresh(TokenVar& t);
bool tok_number(TokenVar& t, f64& out);

// The latest finite value of a token, kept by the reader that needs it. The reader calls
// watch() (or peek()) once every frame, before any rule of its frame can return early, so
// latest() is the host's last number (held within +-1e9 as tok_number holds it), never a reading
// from long ago that the module stopped looking at. False until the host has given a number.
class TokenWatch {
public:
    explicit constexpr TokenWatch(TokenVar& t) : tok_(&t) {}
    // The reader's own refresh of the token's record.
    void watch();
    // The host's value without refreshing the token's record, for a frame whose rules do not read
    // the token: other gauges may read the record as it was last refreshed.
    void peek();
    // A gauge placed again starts with no reading, as on a fresh load.
    void forget() { last_ = std::numeric_limits<f64>::quiet_NaN(); }
    bool latest(f64& out) const;

private:
    TokenVar* tok_;
    TokenVar own_{};
    f64 last_ = std::numeric_limits<f64>::quiet_NaN();
};
// Whether the record's value, as last refreshed, is a finite number.
inline bool tok_is_finite(const TokenVar& t) { return std::isfinite(token_f64(t)); }

struct TokenInfo {
    const char* name;
    u32 id;
};
extern const TokenInfo kTokenNames[];
extern const u32 kTokenNameCount;
