// The surface position and trim indicator: the take-off trim band and its warning, the STAB
// pointer and tape stops, the spoiler scale on the ground and in the air, holding without power
// or hydraulics, the silent view clicks, and hostile host values.
#include <cmath>
#include <limits>

#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "lighting/state.h"
#include "tests/panel_fixture.h"
#include "warnings/state.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
const char* kSurf = "ketravin surf_ind_kr60";
constexpr u32 kAileron = 313, kRudder = 316, kElevator = 317, kSpoilerL = 326, kSpoilerR = 327;
constexpr u32 kOnGround = 60, kN1Eng1 = 624, kN1Eng2 = 643;
enum { BlueLight = 2, RedLight = 3, TrimPointer = 4, TrimTape = 5, TapeMask = 6, TapeIndex = 7 };
enum { Elevator = 8, Rudder = 9, AilLeft = 10, AilRight = 11, SpoilerL = 12, SpoilerR = 13 };
}  // namespace

class SurfInd : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kSurf);
        dc_ess_powered = elec_ac_bus2_powered = 1;
        hyd_all_lost = 0;
    }
};

TEST_F(SurfInd, TakeoffTrimBandLightsAndWarning) {
    // Trim, ground, N1s, test count, DC, hydraulics lost, lamp test; then lamp byte, warning, red, blue.
    const struct { f64 trim, ground, n1_1, n1_2; u8 test, dc, hyd_lost, lamp_test, lamp, warn; bool red, blue; } kCases[] = {
        {3.5, 1, 99, 0, 0, 1, 0, 0, 0, 0, false, false},   {-1.5, 1, 99, 0, 0, 1, 0, 0, 0, 0, false, false},  // inside
        {3.51, 1, 0, 0, 0, 1, 0, 0, 1, 0, true, false},    // red light, no warning yet
        {3.51, 1, 97, 0, 0, 1, 0, 0, 1, 1, true, false},   {3.51, 1, 0, 97, 0, 1, 0, 0, 1, 1, true, false},
        {3.51, 1, 96.99, 96.99, 0, 1, 0, 0, 1, 0, true, false},
        {-1.51, 1, 0, 0, 5, 1, 0, 0, 1, 1, true, false},   // a running test
        {3.51, 0.5, 99, 99, 0, 1, 0, 0, 0, 0, false, false},  // only exactly 1.0 is the ground
        {3.51, kNaN, 99, 99, 0, 1, 0, 0, 0, 0, false, false}, {3.51, 1, kNaN, -kInf, 0, 1, 0, 0, 1, 0, true, false},
        {kNaN, 1, 99, 99, 5, 1, 0, 0, 0, 0, false, false},
        {8, 1, 99, 99, 5, 0, 0, 1, 0, 0, false, false},    // no DC essential: dark, even lamp test
        {8, 1, 99, 99, 5, 1, 1, 1, 0, 0, false, true},     // hydraulics lost: red dark, blue tests
        {0, 1, 0, 0, 0, 1, 0, 1, 0, 0, true, true},        // lamp test
    };
    for (const auto& c : kCases) {
        fctl_pitch_trim_deg = c.trim;
        token(kOnGround, c.ground), token(kN1Eng1, c.n1_1), token(kN1Eng2, c.n1_2);
        warn_to_config_test_count = c.test, dc_ess_powered = c.dc, hyd_all_lost = c.hyd_lost;
        light_lamp_test = c.lamp_test;
        frames(1);
        SCOPED_TRACE(testing::Message() << "case " << &c - kCases);
        EXPECT_EQ(inst_surf_trim_to_lamp, c.lamp);
        EXPECT_EQ(warn_to_config_trim, c.warn);
        EXPECT_EQ(shown(kSurf, RedLight), c.red);
        EXPECT_EQ(shown(kSurf, BlueLight), c.blue);
    }
}

TEST_F(SurfInd, StabPointerAndTapeStops) {
    const struct { f64 trim, pointer, tape; } kCases[] = {
        {0, 0, 15},    {5, -8, 10},    {11.875, -19, 3.125}, {12, -19, 3}, {-2, 3.6, 17},
        {-3, 5.3, 18}, {-10, 5.3, 18}, {kInf, -19, 3},       {kNaN, 5.3, 18},
    };
    for (const auto& c : kCases) {
        fctl_pitch_trim_deg = c.trim;
        frames(1);
        EXPECT_NEAR(drawn(kSurf, TrimPointer).y, c.pointer, 1e-9) << c.trim;
        EXPECT_NEAR(drawn(kSurf, TrimTape).y, c.tape, 1e-9) << c.trim;
    }
}

TEST_F(SurfInd, SurfacePointersAndSpoilerScale) {
    const struct { u32 id; f64 value, ground; size_t pos; bool y; f64 px; } kCases[] = {
        {kSpoilerL, 16383, 0, SpoilerL, true, -25.127295186},  // in the air
        {kSpoilerL, 16383, 1, SpoilerL, true, -36.183313587},  // on the ground
        {kSpoilerR, 16383, 0.5, SpoilerR, true, -36.183313587},  // anything but 0.0 is the ground here
        {kElevator, 10000, 0, Elevator, true, -14.11},  // up 2.3 times as far as down
        {kElevator, -10000, 0, Elevator, true, 6.135},
        {kElevator, 16383, 0, Elevator, true, -23.116413},  // both ends of the scale
        {kElevator, -16383, 0, Elevator, true, 10.0509705},
        {kRudder, 10000, 0, Rudder, false, 13.497},     {kAileron, 10000, 0, AilLeft, true, 11.043},
        // a position that is no number leaves its pointer where it stands, whatever the scale
        {kSpoilerL, -kInf, 1, SpoilerL, true, -25.127295186},
    };
    for (const auto& c : kCases) {
        token(c.id, c.value), token(kOnGround, c.ground);
        frames(1);
        const DrawnValue& d = drawn(kSurf, c.pos);
        EXPECT_NEAR(c.y ? d.y : d.x, c.px, 1e-7) << c.id << " " << c.value << " " << c.ground;
    }
}

TEST_F(SurfInd, HoldsWithoutPowerOrHydraulicsViewsSwapAnyway) {
    token(kAileron, 10000.0), token(kElevator, 10000.0), fctl_pitch_trim_deg = 5.0;
    frames(1);
    const struct { u8 ac2, hyd_lost; f64 left, elevator, tape; } kCases[] = {
        {0, 0, 11.043, -14.11, 10.0},  // AC bus 2 off: everything holds
        {1, 1, 11.043, -14.11, 10.0},  // hydraulics lost: holds
        {1, 0, -5.52, 0.0, 15.0},      // back: the current inputs at once
    };
    for (const auto& c : kCases) {
        elec_ac_bus2_powered = c.ac2, hyd_all_lost = c.hyd_lost, fctl_lo_spd_ail_active = 0;
        token(kAileron, -5000.0), token(kElevator, 0.0), fctl_pitch_trim_deg = 0.0;
        frames(1);
        EXPECT_NEAR(inst_surf_aileron_left_px, c.left, 0.01);
        EXPECT_NEAR(inst_surf_elevator_px, c.elevator, 0.01);
        EXPECT_NEAR(inst_surf_trim_tape_pos, c.tape, 1e-9);
    }
    // Clicks swap the views with no power at all; the low-speed view centres inactive ailerons.
    dc_ess_powered = elec_ac_bus2_powered = 0;
    const struct { i32 x, y; u8 ail_view, tape_view; } kClicks[] = {
        {60, 10, 0, 1}, {90, 90, 1, 1}, {60, 10, 1, 0}, {107, 107, 0, 0},
    };
    for (const auto& k : kClicks) {
        click(kSurf, k.x, k.y);
        frames(1);
        EXPECT_EQ(inst_surf_lo_spd_ail_view, k.ail_view);
        EXPECT_EQ(inst_surf_trim_tape_view, k.tape_view);
        EXPECT_EQ(lamps(kSurf, TrimPointer, 4), k.tape_view ? "0111" : "1000");
    }
    EXPECT_EQ(clicks(), 0u) << "the view clicks are silent";
    click(kSurf, 90, 90);
    elec_ac_bus2_powered = dc_ess_powered = 1;
    for (u8 active : {0, 1}) {
        fctl_lo_spd_ail_active = active;
        frames(1);
        EXPECT_TRUE(shown(kSurf, BlueLight)) << "the low-speed view, active or not";
        EXPECT_NEAR(inst_surf_aileron_left_px, active ? -5.52 : 0.0, 0.01);
        EXPECT_NEAR(inst_surf_aileron_right_px, active ? 5.52 : 0.0, 0.01);
    }
}

TEST_F(SurfInd, HostileTokensLeaveEveryValueFinite) {
    for (f64 v : {kNaN, kInf, -kInf, 1e300, -1e300}) {
        for (u32 id : {kAileron, kRudder, kElevator, kSpoilerL, kSpoilerR, kOnGround, kN1Eng1, kN1Eng2}) token(id, v);
        fctl_pitch_trim_deg = v;
        frames(1);
        for (f64 x : {inst_surf_elevator_px, inst_surf_rudder_px, inst_surf_aileron_left_px, inst_surf_aileron_right_px,
                      inst_surf_spoiler_left_px, inst_surf_spoiler_right_px, inst_surf_trim_px, inst_surf_trim_tape_pos})
            EXPECT_TRUE(std::isfinite(x)) << v;
        EXPECT_LE(warn_to_config_trim, 1);
    }
}

// Lighting from the engine-instrument zone: the lit face copy shows only with the zone lit; the
// face itself is never lit; the lights and the tape mask keep their own bits.
TEST_F(SurfInd, LightingFromTheEngineZone) {
    const struct { u8 zone, bright; bool lit_face; const char* walked; } cases[] = {
        {1, 0, true, "lum"}, {1, 1, true, "bright"}, {0, 0, false, "dark"}};
    for (const auto& c : cases) {
        light_zone[1] = c.zone, annunciator_bright = c.bright;
        frames(1);
        EXPECT_EQ(!hidden(element(kSurf, 1)), c.lit_face) << int(c.zone);
        for (size_t pos : {1, 4, 5, 7, 13}) {
            const ElementHeader* e = element(kSurf, pos);
            EXPECT_STREQ(lit_bright(e) ? "bright" : lit_luminous(e) ? "lum" : "dark", c.walked) << pos;
        }
        EXPECT_FALSE(lit_luminous(element(kSurf, 0)) || lit_bright(element(kSurf, 0)));
        EXPECT_TRUE(lit_bright(element(kSurf, BlueLight)) && lit_bright(element(kSurf, RedLight)));
    }
}
