// The surface position and trim indicator: the take-off trim band and its warning, the STAB
// pointer and tape stops, the spoiler scale on the ground and in the air, holding without power
// or hydraulics, the silent view clicks, and hostile host values.
#include <cmath>
#include <limits>

#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "lighting/state.h"
#include "tests/host_fixture.h"
#include "warnings/state.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
const char* kSurf = "ketravin surf_ind_kr60";
constexpr u32 kAileron = 313, kRudder = 316, kElevator = 317, kSpoilerL = 326, kSpoilerR = 327;
constexpr u32 kOnGround = 60, kN1Eng1 = 624, kN1Eng2 = 643;
enum { FaceLit = 1, BlueLight = 2, RedLight = 3, TrimPointer = 4, TrimTape = 5, TapeMask = 6, TapeIndex = 7 };
enum { Elevator = 8, Rudder = 9, AilLeft = 10, AilRight = 11, SpoilerL = 12, SpoilerR = 13 };
}  // namespace

class SurfInd : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kSurf);
        dc_ess_powered = elec_ac_bus2_powered = 1;
        hyd_all_lost = 0;
    }
    bool shown(size_t pos) { return !hidden(element(kSurf, pos)); }
};

TEST_F(SurfInd, TakeoffTrimBandLightsAndWarning) {
    const struct { f64 trim, ground, n1_1, n1_2; u8 test, dc, hyd_lost, lamp_test, lamp, warn; bool red, blue; } kCases[] = {
        {3.5, 1.0, 99.0, 0.0, 0, 1, 0, 0, 0, 0, false, false},   // the band's ends are inside it
        {-1.5, 1.0, 99.0, 0.0, 0, 1, 0, 0, 0, 0, false, false},
        {3.51, 1.0, 0.0, 0.0, 0, 1, 0, 0, 1, 0, true, false},    // red light, no warning yet
        {3.51, 1.0, 97.0, 0.0, 0, 1, 0, 0, 1, 1, true, false},   // 97.0 itself counts
        {3.51, 1.0, 0.0, 97.0, 0, 1, 0, 0, 1, 1, true, false},
        {3.51, 1.0, 96.99, 96.99, 0, 1, 0, 0, 1, 0, true, false},
        {-1.51, 1.0, 0.0, 0.0, 5, 1, 0, 0, 1, 1, true, false},   // a running test
        {3.51, 0.5, 99.0, 99.0, 0, 1, 0, 0, 0, 0, false, false}, // only exactly 1.0 is the ground
        {-5.0, 0.0, 99.0, 99.0, 0, 1, 0, 0, 0, 0, false, false}, // in the air
        {3.51, kNaN, 99.0, 99.0, 0, 1, 0, 0, 0, 0, false, false},
        {3.51, 1.0, kNaN, -kInf, 0, 1, 0, 0, 1, 0, true, false},
        {3.51, 1.0, kInf, 0.0, 0, 1, 0, 0, 1, 1, true, false},
        {kNaN, 1.0, 99.0, 99.0, 5, 1, 0, 0, 0, 0, false, false},
        {8.0, 1.0, 99.0, 99.0, 5, 0, 0, 1, 0, 0, false, false},  // no DC essential: dark, even lamp test
        {8.0, 1.0, 99.0, 99.0, 5, 1, 1, 1, 0, 0, false, true},   // hydraulics lost: red dark, blue tests
        {0.0, 1.0, 0.0, 0.0, 0, 1, 0, 1, 0, 0, true, true},      // lamp test
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
        EXPECT_EQ(shown(RedLight), c.red);
        EXPECT_EQ(shown(BlueLight), c.blue);
    }
}

TEST_F(SurfInd, StabPointerAndTapeStops) {
    const struct { f64 trim, pointer, tape; } kCases[] = {
        {0.0, 0.0, 15.0},     {5.0, -8.0, 10.0},   {11.875, -19.0, 3.125}, {20.0, -19.0, 3.0},
        {12.0, -19.0, 3.0},   {13.0, -19.0, 3.0},  {-2.0, 3.6, 17.0},      {-3.0, 5.3, 18.0},
        {-10.0, 5.3, 18.0},   {-4.0, 5.3, 18.0},   {kInf, -19.0, 3.0},     {-kInf, 5.3, 18.0},
        {kNaN, 5.3, 18.0},
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
        {kSpoilerL, 16383.0, 0.0, SpoilerL, true, -25.13},  // in the air
        {kSpoilerR, 16383.0, 0.0, SpoilerR, true, -25.13},
        {kSpoilerL, 16383.0, 1.0, SpoilerL, true, -36.18},  // on the ground
        {kSpoilerR, 16383.0, 0.5, SpoilerR, true, -36.18},  // anything but 0.0 is the ground here
        {kElevator, 10000.0, 0.0, Elevator, true, -14.11},  // up 2.3 times as far as down
        {kElevator, -10000.0, 0.0, Elevator, true, 6.135},
        {kRudder, 10000.0, 0.0, Rudder, false, 13.497},
        {kRudder, -10000.0, 0.0, Rudder, false, -13.497},
        {kAileron, 10000.0, 0.0, AilLeft, true, 11.043},
        {kAileron, 10000.0, 0.0, AilRight, true, -11.043},
    };
    for (const auto& c : kCases) {
        token(c.id, c.value), token(kOnGround, c.ground);
        frames(1);
        const DrawnValue& d = drawn(kSurf, c.pos);
        EXPECT_NEAR(c.y ? d.y : d.x, c.px, 0.01) << c.id << " " << c.value << " " << c.ground;
    }
}

TEST_F(SurfInd, HoldsWithoutPowerOrHydraulicsViewsSwapAnyway) {
    token(kAileron, 10000.0), token(kElevator, 10000.0), fctl_pitch_trim_deg = 5.0;
    frames(1);
    const struct { u8 ac2, hyd_lost, ail_active; f64 aileron, trim, left, elevator, tape; } kCases[] = {
        {0, 0, 0, -5000.0, 0.0, 11.043, -14.11, 10.0},  // AC bus 2 off: everything holds
        {1, 1, 0, -5000.0, 0.0, 11.043, -14.11, 10.0},  // hydraulics lost: holds
        {1, 0, 0, -5000.0, 0.0, -5.52, 0.0, 15.0},      // back: the current inputs at once
    };
    for (const auto& c : kCases) {
        elec_ac_bus2_powered = c.ac2, hyd_all_lost = c.hyd_lost, fctl_lo_spd_ail_active = c.ail_active;
        token(kAileron, c.aileron), token(kElevator, 0.0), fctl_pitch_trim_deg = c.trim;
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
        EXPECT_EQ(shown(TrimPointer), k.tape_view == 0);
        for (size_t pos : {TrimTape, TapeMask, TapeIndex}) EXPECT_EQ(shown(pos), k.tape_view == 1);
    }
    click(kSurf, 90, 90);
    elec_ac_bus2_powered = 1;
    for (u8 active : {0, 1}) {
        fctl_lo_spd_ail_active = active;
        frames(1);
        EXPECT_NEAR(inst_surf_aileron_left_px, active ? -5.52 : 0.0, 0.01);
        EXPECT_NEAR(inst_surf_aileron_right_px, active ? 5.52 : 0.0, 0.01);
    }
}

TEST_F(SurfInd, LightingTakesTheEngineZone) {
    const struct { u8 zone, bright; bool face_lit; u32 pointer_bits; } kCases[] = {
        {1, 0, true, ImageLuminous}, {1, 1, true, ImageBright}, {0, 1, false, 0},
    };
    for (const auto& c : kCases) {
        light_zone[1] = c.zone, annunciator_bright = c.bright;
        frames(1);
        EXPECT_EQ(shown(FaceLit), c.face_lit);
        for (size_t pos : {size_t(FaceLit), size_t(TrimPointer), size_t(TrimTape), size_t(Elevator), size_t(SpoilerR)})
            EXPECT_EQ(element(kSurf, pos)->image_flags & (ImageLuminous | ImageBright), c.pointer_bits) << pos;
        EXPECT_EQ(element(kSurf, 0)->image_flags & (ImageLuminous | ImageBright), 0u);
        EXPECT_EQ(element(kSurf, TapeMask)->image_flags & (ImageLuminous | ImageBright), 0u);
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
