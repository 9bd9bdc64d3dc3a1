// Host values read for arithmetic: a reading that is no number answers the token's last finite
// one, never 0 or a huge value; a gauge that keeps nothing between frames reads such a value as 0.
#include <cmath>

#include "module/tokens.h"
#include "tests/host_fixture.h"

namespace {
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
}

class TokenReads : public HostTest {};

TEST_F(TokenReads, NoNumberReadsTheLastFiniteValue) {
    const struct { f64 host, finite, clamped; } steps[] = {
        {kNaN, 0.0, 0.0},           // nothing finite read yet
        {250.5, 250.5, 250.5},      {kNaN, 250.5, 0.0},  {kInf, 250.5, 1e9}, {-kInf, 250.5, -1e9},
        {-3e12, -1e9, -1e9},        {kInf, -1e9, 1e9},   // a huge reading is held at the limit
    };
    for (const auto& s : steps) {
        token(61, s.host);
        EXPECT_EQ(tok_read_finite(tok_ias_kt), s.finite) << s.host;
        EXPECT_EQ(tok_read_clamped(tok_ias_kt), s.clamped) << s.host;
        EXPECT_EQ(tok_is_finite(tok_ias_kt), std::isfinite(s.host)) << s.host;
    }
}

// Both records of token 79 read one host value: either one's last finite reading serves the other.
TEST_F(TokenReads, RecordsOfOneTokenShareTheirLastReading) {
    token(79, 12.5);
    EXPECT_EQ(tok_read_finite(tok_bank_deg), 12.5);
    token(79, kNaN);
    EXPECT_EQ(tok_read_finite(tok_bank_deg_b), 12.5);
    TokenVar unlisted{};  // an id no record has: nothing kept, 0
    unlisted.id = 100000;
    token_store_f64(unlisted, kNaN);
    EXPECT_EQ(tok_read_finite(unlisted), 0.0);
}
