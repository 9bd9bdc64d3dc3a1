// The overhead flight-control panels: the rudder limiter's fault latch, sticky caution, power
// forcing and per-frame host event; the low-speed ailerons; the servo levers' pressure flags, JAM
// memory and OFF refusal.
#include <cmath>
#include <string>
#include <tuple>

#include "air/state.h"  // air data computer power
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "lighting/state.h"
#include "systems/systems_keys.h"
#include "tests/panel_fixture.h"

namespace {
const char* kRudder = "ketravin rudder_travel_kr60";
const char* kLoSpd = "ketravin lo_spd_ail_kr60";
const char* kServo = "ketravin servo_controls_kr60";
constexpr u32 kOverheadWindow = 10110;
constexpr u32 kOnGround = 60, kFlaps = 328;
constexpr f64 kNaN = f64(NAN);
enum { RudderSys1Down = 1, RudderLamp1 = 5 };
enum { LoSpdLh = 1, LoSpdRh = 3, LoSpdLamp = 8 };
enum { ServoBlueFlag = 10, ServoBlueJam = 13, ServoBlueKnob = 19 };
// Click points
constexpr i32 kRudderOnX = 60, kRudderOnY = 20, kRudderOffY = 45, kLamp1X = 20, kLamp1Y = 35;
constexpr i32 kServoBlueX = 20, kServoTestY = 40, kServoOnY = 70, kServoOffY = 110;
}  // namespace

class FctlPanels : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        dc_ess_powered = dc_normal_powered = elec_ess_ac_powered = elec_ac_bus2_powered = 1;
        hyd_avail[0] = 1;
    }
};

TEST_F(FctlPanels, RudderFaultLatchAndStickyCaution) {
    place(kRudder);
    frames(1);
    ASSERT_EQ(warn_rudd_travel, 0);
    ASSERT_EQ(fctl_rudder_limiter_active, 1);
    const struct { i32 x, y; u8 dc_normal, fault, warn; bool lamp; size_t clicks; } steps[] = {
        {kLamp1X, kLamp1Y, 1, 1, 1, true, 1},
        {kRudderOnX, kRudderOnY, 1, 1, 1, true, 0},   // ON does not clear a latched fault
        {kRudderOnX, kRudderOffY, 1, 2, 1, true, 1},  // lamp stays lit at OFF RESET
        {kLamp1X, kLamp1Y, 1, 1, 1, true, 1},         // back to latched: start again
        {kRudderOnX, kRudderOffY, 1, 2, 1, true, 0},  // still at OFF RESET: silent, armed
        {kRudderOnX, kRudderOffY, 0, 2, 1, false, 0}, // no normal DC: dark, caution kept
        {kRudderOnX, kRudderOnY, 1, 0, 0, false, 1},  // ON clears
    };
    for (const auto& s : steps) {
        clicks();
        click(kRudder, s.x, s.y);
        dc_normal_powered = s.dc_normal;
        frames(1);
        SCOPED_TRACE(testing::Message() << "step " << &s - steps);
        EXPECT_EQ(fctl_rudder_limiter_fault[0], s.fault);
        EXPECT_EQ(warn_rudd_travel, s.warn);
        EXPECT_EQ(shown(kRudder, RudderLamp1), s.lamp);
        EXPECT_EQ(clicks(), s.clicks);
    }
}

TEST_F(FctlPanels, RudderSwitchForcedOffAfterItsImageAndHostEventEveryFrameWhileBothOff) {
    place(kRudder);
    inst_adc1_powered = 0;
    frames(1);
    EXPECT_EQ(fctl_rudder_limiter_sw[0], 0);
    EXPECT_FALSE(shown(kRudder, RudderSys1Down)) << "drawn up on the frame it is forced";
    frames(1);
    EXPECT_TRUE(shown(kRudder, RudderSys1Down));
    new_keys();
    EXPECT_EQ(sends(key_fctl_event_10099), 0u);
    fctl_rudder_limiter_sw[1] = 0;
    dc_ess_powered = dc_normal_powered = 0;
    frames(3);
    EXPECT_EQ(sends(key_fctl_event_10099), 3u) << "one a frame, whatever the power";
    EXPECT_EQ(fctl_rudder_limiter_active, 0);
    fctl_rudder_limiter_sw[1] = 1;
    dc_ess_powered = 1;
    frames(1);
    EXPECT_EQ(fctl_rudder_limiter_active, 1) << "one system on is enough";
}

TEST_F(FctlPanels, LowSpeedAileronsConnectAndTheLampFollowsTheSelector) {
    place(kLoSpd);
    const struct { u8 sel; f64 flaps, ground; u8 avail, ess_ac, ac2, dc_ess; u8 active; const char* lh_rh_lamp; } cases[] = {
        {0, 0.0, 1.0, 1, 1, 1, 1, 1, "OO0"},
        {0, 0.0, 0.0, 1, 1, 1, 1, 0, "SS0"},
        {0, 1.0, 0.0, 1, 1, 1, 1, 1, "OO0"},
        {0, 0.999, 0.9999, 1, 1, 1, 1, 0, "SS0"},  // on the ground only at exactly 1.0
        {0, 5000.0, 1.0, 0, 1, 1, 1, 0, "SS0"},    // no hydraulics: locked out
        {2, 0.0, 1.0, 1, 1, 1, 1, 1, "SS1"},       // SPD LO: shown disconnected, still active
        {1, 0.0, 1.0, 1, 1, 1, 0, 1, "OO0"},       // SPD HI without DC essential: no lamp
        {0, 0.0, 1.0, 1, 0, 1, 1, 1, "-O0"},
        {1, kNaN, kNaN, 1, 1, 1, 1, 0, "SS1"},
        // Any circuit, or any two, is enough (bit n: circuit n available).
        {0, 0.0, 1.0, 2, 1, 1, 1, 1, "OO0"},  {0, 0.0, 1.0, 4, 1, 1, 1, 1, "OO0"},
        {0, 0.0, 1.0, 3, 1, 1, 1, 1, "OO0"},  {0, 0.0, 1.0, 6, 1, 1, 1, 1, "OO0"},
        {0, 0.0, 1.0, 5, 1, 1, 1, 1, "OO0"},  {0, 0.0, 1.0, 7, 1, 1, 1, 1, "OO0"},
    };
    for (const auto& c : cases) {
        fctl_lo_spd_ail_sel = c.sel;
        token(kFlaps, c.flaps);
        token(kOnGround, c.ground);
        for (size_t i = 0; i < 3; ++i) hyd_avail[i] = (c.avail >> i) & 1;
        elec_ess_ac_powered = c.ess_ac, elec_ac_bus2_powered = c.ac2, dc_ess_powered = c.dc_ess;
        frames(1);
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        EXPECT_EQ(fctl_lo_spd_ail_active, c.active);
        const std::string got{pair(kLoSpd, LoSpdLh), pair(kLoSpd, LoSpdRh), char('0' + shown(kLoSpd, LoSpdLamp))};
        EXPECT_EQ(got, c.lh_rh_lamp);
        EXPECT_EQ(warn_lo_spd_ail, c.lh_rh_lamp[2] - '0');
    }
    // The selector's three zones and its lever images (down, centred, up); a click on the
    // position standing is silent.
    const struct { i32 y; u8 sel; const char* levers; size_t clicks; } kSelector[] = {
        {25, 1, "001", 1}, {25, 1, "001", 0}, {50, 0, "010", 1}, {75, 2, "100", 1}, {25, 1, "001", 1},
    };
    fctl_lo_spd_ail_sel = 0, clicks();
    for (const auto& k : kSelector) {
        click(kLoSpd, 20, k.y);
        frames(1);
        EXPECT_EQ(fctl_lo_spd_ail_sel, k.sel) << k.y;
        EXPECT_EQ(lamps(kLoSpd, LoSpdLamp - 3, 3), k.levers) << k.y;
        EXPECT_EQ(clicks(), k.clicks) << k.y;
    }
}

TEST_F(FctlPanels, ServoPressureFlagAbove1800WithPowerAndNotAtOff) {
    place(kServo);
    const struct { u32 psi; u8 lever, dc_ess; bool normal; } cases[] = {
        {1800, 27, 1, false}, {1801, 27, 1, true}, {1801, 30, 1, true}, {3000, 57, 1, false},
        {3000, 0, 1, true}, {3000, 27, 0, false},
    };
    for (const auto& c : cases) {
        hyd_press_blue = c.psi;
        fctl_servo_sw[0] = c.lever;
        dc_ess_powered = c.dc_ess;
        frames(1);
        EXPECT_EQ(shown(kServo, ServoBlueFlag), c.normal) << c.psi << " psi, lever " << int(c.lever);
    }
}

TEST_F(FctlPanels, ServoJamLatchedOnTheGroundUntilOff) {
    place(kServo);
    host().window_set(kOverheadWindow, true);
    token(kOnGround, 1.0);
    frames(1);
    EXPECT_EQ(drawn(kServo, ServoBlueKnob).y, 30.0) << "the knob starts 3 pixels below ON";
    const struct { i32 y; f64 ground; u8 dc_ess; bool jam; u8 warn; } steps[] = {
        {kServoTestY, 1.0, 1, true, 1}, {kServoOnY, 1.0, 1, true, 1}, {kServoOnY, 0.0, 1, true, 1},
        {kServoTestY, 0.0, 1, true, 1},  // in flight TEST changes nothing
        {kServoOffY, 0.0, 1, false, 0},
        {kServoTestY, 1.0, 1, true, 1}, {kServoOnY, 1.0, 0, false, 0}, {kServoOnY, 1.0, 1, false, 0},
    };
    for (size_t lever = 0; lever < 3; ++lever)  // blue, green, yellow, each with its own JAM lamp
        for (const auto& s : steps) {
            click(kServo, kServoBlueX + 61 * i32(lever), s.y);
            token(kOnGround, s.ground);
            dc_ess_powered = s.dc_ess;
            frames(1);
            SCOPED_TRACE(testing::Message() << "lever " << lever << " step " << &s - steps);
            EXPECT_EQ(lamps(kServo, ServoBlueJam, 3), std::string(lever, '0') + char('0' + s.jam) +
                                                           std::string(2 - lever, '0'));
            EXPECT_EQ(warn_servos, s.warn);
        }
    fctl_servo_sw[1] = 0;  // green at TEST on the ground holds SERVOS with blue at OFF
    click(kServo, kServoBlueX, kServoOffY);
    frames(1);
    EXPECT_EQ(warn_servos, 1);
    for (size_t off = 0; off < 3; ++off)  // and so for every pair: one at TEST, another to OFF
        for (size_t test = 0; test < 3; ++test) {
            if (test == off) continue;
            fctl_servo_sw[0] = fctl_servo_sw[1] = fctl_servo_sw[2] = 27;
            fctl_servo_sw[test] = 0;
            frames(1);
            click(kServo, kServoBlueX + 61 * i32(off), kServoOffY);
            frames(1);
            EXPECT_EQ(warn_servos, 1) << "lever " << off << " to OFF, " << test << " at TEST";
        }
    EXPECT_EQ(clicks(), 0u) << "the servo levers are silent";
}

TEST_F(FctlPanels, ServoOffRefusedWhileBothOthersAreOff) {
    place(kServo);
    const struct { u8 green, yellow; u8 blue_after; } cases[] = {{57, 57, 27}, {57, 30, 57}, {57, 0, 57}, {27, 57, 57}};
    for (const auto& c : cases) {
        fctl_servo_sw[0] = 27, fctl_servo_sw[1] = c.green, fctl_servo_sw[2] = c.yellow;
        click(kServo, kServoBlueX, kServoOffY);
        EXPECT_EQ(fctl_servo_sw[0], c.blue_after) << int(c.green) << "+" << int(c.yellow);
    }
}

// Yaw damper and pitch trim levers: the upper box engages, the lower one sets OFF; CLICK only on a
// change; the image follows the byte on the next frame, whoever wrote it. Only the face is lit,
// from the lower overhead zone.
TEST_F(FctlPanels, YawDamperAndPitchTrimLevers) {
    const char* yaw = "ketravin yaw_kr60";
    place(yaw);
    frames(1);
    EXPECT_EQ(lamps(yaw, 1, 4, 2), "0011") << "both dampers engaged at load, both trim channels off";
    const auto flip = [](std::string images) {
        for (char& ch : images) ch = ch == '1' ? '0' : '1';
        return images;
    };
    const struct { i32 x, y; u8* byte; u8 value; size_t clicks; const char* down_images; } steps[] = {
        {20, 10, &fctl_yaw_damper_sw[0], 1, 0, "0011"},  // already engaged: silent
        {20, 40, &fctl_yaw_damper_sw[0], 0, 1, "1011"},
        {60, 40, &fctl_yaw_damper_sw[1], 0, 1, "1111"},
        {20, 90, &fctl_pitch_trim_sw[0], 1, 1, "1101"},
        {60, 90, &fctl_pitch_trim_sw[1], 1, 1, "1100"},
        {60, 90, &fctl_pitch_trim_sw[1], 1, 0, "1100"},
        {60, 120, &fctl_pitch_trim_sw[1], 0, 1, "1101"},
        {60, 10, &fctl_yaw_damper_sw[1], 1, 1, "1001"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "step " << &s - steps);
        clicks();
        ASSERT_TRUE(click(yaw, s.x, s.y));
        EXPECT_EQ(*s.byte, s.value);
        EXPECT_EQ(clicks(), s.clicks);
        frames(1);
        EXPECT_EQ(lamps(yaw, 1, 4, 2), s.down_images);
        EXPECT_EQ(lamps(yaw, 2, 4, 2), flip(s.down_images)) << "up images";
    }
    fctl_pitch_trim_sw[0] = 0;  // dropped by the systems computer: down on the next frame, silently
    frames(1);
    EXPECT_EQ(lamps(yaw, 1, 4, 2), "1011");
    EXPECT_EQ(clicks(), 0u);

    for (const auto& [zone2, zone4, bright, face] : {std::tuple{1, 0, 0, "lum"}, {1, 0, 1, "bright"}, {0, 1, 0, "dark"}}) {
        light_zone[2] = u8(zone2), light_zone[4] = u8(zone4), annunciator_bright = u8(bright);
        frames(1);
        const ElementHeader* f = element(yaw, 0);
        EXPECT_EQ(std::string(lit_bright(f) ? "bright" : lit_luminous(f) ? "lum" : "dark"), face) << zone2 << zone4;
        for (size_t pos = 1; pos <= 8; ++pos)
            EXPECT_FALSE(lit_luminous(element(yaw, pos)) || lit_bright(element(yaw, pos))) << "levers never lit";
    }
}
