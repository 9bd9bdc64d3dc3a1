// Radio altimeter: ground offset, cap, tapes, DH counter and knob, DH state and the minimums request.
#include "autoflight/state.h"
#include "tests/instruments/instruments_fixture.h"
#include "warnings/state.h"

namespace {
const char* kRalt = "ketravin ralt_kr60";
constexpr u32 kPanelLights = 10, kOnGround = 60, kHeight = 614;
constexpr f64 kFeetPerMetre = 3.281;
enum { Tape = 1, Marker, Off = 4, Overlay, DhUnits, DhTens, DhHundreds };

class RadioAltimeter : public Instruments {
protected:
    void SetUp() override {
        Instruments::SetUp();
        place(kRalt);
    }
    void at(f64 feet, bool ground = false) {
        token(kHeight, feet / kFeetPerMetre);
        token(kOnGround, ground ? 1.0 : 0.0);
        frames(1);
    }
};
}  // namespace

TEST_F(RadioAltimeter, OffsetLatchedOnTheGroundAndTheCapWithoutIt) {
    struct Case { f64 raw; bool ground; f64 ralt; u32 offset; f64 tape; } cases[] = {
        {12.75, true, 0.75, 12, 2609.25},   // on the ground: the fraction
        {-5, true, -5, 0, 2615},            // below 0 latches 0, not a wrapped offset
        {12.75, true, 0.75, 12, 2609.25},
        {kNaN, true, 2610, 0, 0},           // not a number: offset 0, at the cap
        {12.75, true, 0.75, 12, 2609.25},
        {500, false, 488, 12, 2122},        // in flight above the resting height
        {2, false, -10, 12, 2620},          // below it: negative, not clamped
        {2609, false, 2597, 12, 13},
        {2610, false, 2610, 12, 0},         // at the cap the offset is not taken
        {kInf, false, 2610, 12, 0},         // no reading: as it stood
        {-kInf, true, 2610, 12, 0},
    };
    for (const Case& c : cases) {
        at(c.raw, c.ground);
        EXPECT_NEAR(inst_radio_alt_ft, c.ralt, 1e-6) << c.raw;
        EXPECT_EQ(inst_ralt_ground_offset_ft, c.offset) << c.raw;
        EXPECT_NEAR(y(kRalt, Tape), c.tape, 1e-6) << c.raw;
    }
    elec_ac_bus1_powered = 0;
    at(800);
    EXPECT_NEAR(inst_radio_alt_ft, 2610, 1e-6) << "frozen without AC bus 1";
    EXPECT_TRUE(shown(kRalt, Off));
}

TEST_F(RadioAltimeter, DhStateAndMinimumsRequest) {
    inst_dh_setting_ft = 200;
    struct Case { f64 ft; bool ground; u8 dc; u16 callout; u8 state, request; } steps[] = {
        {0, true, 1, 0, 0, 0},
        {150, false, 1, 0, 0, 0},    // after take-off, below DH: stays 0
        {250, false, 1, 0, 2, 0},
        {200, false, 1, 5, 1, 0},    // at DH exactly: 1, but a call-out holds the request back
        {190, false, 1, 0, 1, 1},    // raised in the first frame that meets the conditions
        {300, false, 1, 0, 2, 1},
        {30, false, 1, 0, 1, 1},     // already requested: unchanged
        {0, true, 1, 0, 0, 0},       // cleared on the ground
        {250, false, 1, 0, 2, 0},
        {30, false, 1, 0, 1, 0},     // exactly 30 ft: no request
        {250, false, 1, 0, 2, 0},
        {100, false, 0, 0, 1, 0},    // no DC essential power: no request
    };
    for (const Case& s : steps) {
        dc_ess_powered = s.dc, gpws_callout = s.callout;
        at(s.ft, s.ground);
        EXPECT_EQ(inst_dh_state, s.state) << s.ft << (s.ground ? " on the ground" : "") << " step " << &s - steps;
        EXPECT_EQ(ap_alt_alert_request, s.request) << s.ft << " step " << &s - steps;
    }
}

TEST_F(RadioAltimeter, DhKnobCounterAndMarker) {
    // Knob areas: minus 1, plus 1, minus 10, plus 10, with the limits 10..499.
    struct Knob { u16 from; i32 x, y; u16 to; } knobs[] = {
        {10, 20, 125, 10},  {11, 20, 125, 10},  {499, 40, 125, 499}, {498, 40, 125, 499},
        {19, 20, 145, 19},  {20, 20, 145, 10},  {490, 40, 145, 490}, {489, 40, 145, 499},
    };
    for (const Knob& k : knobs) {
        inst_dh_setting_ft = k.from;
        click(kRalt, k.x, k.y);
        EXPECT_EQ(inst_dh_setting_ft, k.to) << k.from << " at " << k.x << "," << k.y;
    }
    struct Case { u16 dh; f64 ralt; f64 marker, hundreds, tens, units; } cases[] = {
        {250, 300, 450, 2, 5, 0}, {250, 250, 500, 2, 5, 0}, {50, 250, 300, 0, 5, 0}, {123, 0, 623, 1, 2, 3},
    };
    for (const Case& c : cases) {
        inst_dh_setting_ft = c.dh;
        at(c.ralt);
        frames(40);  // the chasing drums settle
        EXPECT_NEAR(y(kRalt, Marker), c.marker, 1e-9) << c.dh;
        EXPECT_NEAR(y(kRalt, DhHundreds), c.hundreds, 1e-9) << c.dh;
        EXPECT_NEAR(y(kRalt, DhTens), c.tens, 1e-9) << c.dh;
        EXPECT_NEAR(y(kRalt, DhUnits), c.units, 1e-9) << c.dh;
    }
    for (f64 lights : {1.0, 0.0, kNaN}) {
        token(kPanelLights, lights);
        frames(1);
        EXPECT_EQ(shown(kRalt, Overlay), lights != 1.0) << lights;
    }
}
