// Host values read for arithmetic: a reading that is no number is no number to compute with, and a
// last reading is one the host gave, never 0 or a huge value.
#include <cmath>

#include "module/tokens.h"
#include "tests/host_fixture.h"

namespace {
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
}

class TokenReads : public HostTest {};

// A number computed from a value that is no number is not computed (the caller keeps its own);
// the latest reading is the host's own finite value as the watching reader saw it, never 0.
TEST_F(TokenReads, NoNumberReadsTheLastFiniteValue) {
    const f64 kNone = -12345.0;  // what the caller keeps when no number is answered
    const struct { f64 host, number, reading; } steps[] = {
        {kNaN, kNone, kNone},   {kInf, kNone, kNone},  // nothing finite read yet
        {250.5, 250.5, 250.5},  {kNaN, kNone, 250.5},  {kInf, kNone, 250.5},
        {-kInf, kNone, 250.5},  {-3e12, -1e9, -1e9},   // a huge reading is held at the limit
        {kInf, kNone, -1e9},
    };
    TokenWatch watch{tok_ias_kt};
    for (const auto& s : steps) {
        token(61, s.host);
        f64 number = kNone, reading = kNone;
        EXPECT_EQ(tok_number(tok_ias_kt, number), s.number != kNone) << s.host;
        EXPECT_EQ(number, s.number) << s.host;
        watch.watch();
        EXPECT_EQ(watch.latest(reading), s.reading != kNone) << s.host;
        EXPECT_EQ(reading, s.reading) << s.host;
        EXPECT_EQ(tok_is_finite(tok_ias_kt), std::isfinite(s.host)) << s.host;
    }
}
