// Shared fixture of the flight-instrument tests: powered buses and air data, drawn drum
// positions and needle values, shown or hidden elements.
#pragma once
#include <cmath>
#include <limits>

#include "air/state.h"
#include "electrical/state.h"
#include "instruments/state.h"
#include "tests/host_fixture.h"

inline constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
inline constexpr f64 kInf = std::numeric_limits<f64>::infinity();

class Instruments : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        elec_ess_ac_any_powered = dc_ess_powered = elec_ac_bus1_powered = 1;
    }
    f64 y(const char* g, size_t pos) { return drawn(g, pos).y; }
    f64 value(const char* g, size_t pos) { return drawn(g, pos).value; }
    bool shown(const char* g, size_t pos) { return !hidden(element(g, pos)); }
};
