// Radio altimeter: ground offset and cap, DH state and the minimums request, DH knob and counter.
#include <cfloat>

#include "autoflight/state.h"
#include "tests/instruments/instruments_fixture.h"
#include "warnings/state.h"

namespace {
const char* kRalt = "ketravin ralt_kr60";
enum { Tape = 1, Marker, Off = 4, DhUnits = 6, DhTens, DhHundreds };

class RadioAltimeter : public Instruments {
protected:
    void SetUp() override {
        Instruments::SetUp();
        place(kRalt);
    }
    void at(f64 feet, bool ground = false) {
        token(614, feet / 3.281), token(60, ground ? 1.0 : 0.0);
        frames(1);
    }
};
}  // namespace

TEST_F(RadioAltimeter, OffsetLatchedOnTheGroundAndTheCapWithoutIt) {
    // A raw height that is no number is no reading: everything holds, also the start values and
    // the offset on the ground. Infinities saturate: +inf is above the cap, -inf the lowest altitude.
    struct Case { f64 raw; bool ground; f64 ralt; u32 offset; } cases[] = {
        {kNaN, false, 0, 0},      {12.75, true, 0.75, 12}, {-5, true, -5, 0},  // below 0 latches 0, not wrapped
        {kNaN, true, -5, 0},      {12.75, true, 0.75, 12}, {500, false, 488, 12},
        {2, false, -10, 12},      {2609, false, 2597, 12}, {2610, false, 2610, 12},  // no offset at the cap
        {71, false, 59, 12},      {kNaN, false, 59, 12},                             // in the flare
        {-kInf, false, -DBL_MAX, 12}, {kInf, false, 2610, 12},
    };
    for (const Case& c : cases) {
        at(c.raw, c.ground);
        EXPECT_NEAR(inst_radio_alt_ft, c.ralt, 1e-6) << c.raw;
        EXPECT_EQ(inst_ralt_ground_offset_ft, c.offset) << c.raw;
        EXPECT_NEAR(y(kRalt, Tape), 2610 - c.ralt, 1e-6) << c.raw;
        EXPECT_TRUE(std::isfinite(inst_ralt_dh_marker_pos)) << c.raw;
    }
    elec_ac_bus1_powered = 0;
    at(800);
    EXPECT_NEAR(inst_radio_alt_ft, 2610, 1e-6) << "frozen without AC bus 1";
    EXPECT_TRUE(shown(kRalt, Off));
    for (f64 lights : {1.0, 0.0, 0.5}) {  // the overlay lies over the face unless the panel lights are on
        token(10, lights);
        frames(1);
        EXPECT_EQ(shown(kRalt, 5), lights != 1.0) << lights;
    }
}

TEST_F(RadioAltimeter, DhStateAndMinimumsRequest) {
    inst_dh_setting_ft = 200;
    struct Case { f64 ft; bool ground; u8 dc; u16 callout; u8 state, request; } steps[] = {
        {0, true, 1, 0, 0, 0},    {150, false, 1, 0, 0, 0},  // below DH after take-off: stays 0
        {250, false, 1, 0, 2, 0}, {200, false, 1, 5, 1, 0},  // at DH: 1, a call-out holds the request
        {190, false, 1, 0, 1, 1}, {300, false, 1, 0, 2, 1},  {30, false, 1, 0, 1, 1},
        {0, true, 1, 0, 0, 0},    {250, false, 1, 0, 2, 0},  {30, false, 1, 0, 1, 0},  // exactly 30 ft
        {250, false, 1, 0, 2, 0}, {100, false, 0, 0, 1, 0},  // no DC essential power
    };
    for (const Case& s : steps) {
        dc_ess_powered = s.dc, gpws_callout = s.callout;
        at(s.ft, s.ground);
        EXPECT_EQ(inst_dh_state, s.state) << "step " << &s - steps;
        EXPECT_EQ(ap_alt_alert_request, s.request) << "step " << &s - steps;
    }
}

TEST_F(RadioAltimeter, DhKnobCounterAndMarker) {
    struct Knob { u16 from; i32 x, y; u16 to; } knobs[] = {
        {10, 20, 125, 10}, {11, 20, 125, 10}, {499, 40, 125, 499}, {19, 20, 145, 19}, {20, 20, 145, 10},
        {490, 40, 145, 490}, {489, 40, 145, 499},
    };
    for (const Knob& k : knobs) {
        inst_dh_setting_ft = k.from;
        click(kRalt, k.x, k.y);
        EXPECT_EQ(inst_dh_setting_ft, k.to) << k.from << " at " << k.x << "," << k.y;
    }
    struct Case { u16 dh; f64 ralt, marker, digits[3]; } cases[] = {
        {250, 300, 450, {2, 5, 0}}, {250, 250, 500, {2, 5, 0}}, {50, 250, 300, {0, 5, 0}}, {123, 0, 623, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        inst_dh_setting_ft = c.dh;
        at(c.ralt);
        frames(40);  // the chasing drums settle
        EXPECT_NEAR(y(kRalt, Marker), c.marker, 1e-9) << c.dh;
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(y(kRalt, DhHundreds - i), c.digits[i], 1e-9) << c.dh << " drum " << i;
    }
}
