// The autopilot mode panel through the headless host: engagement with the host's autopilot flag,
// approach and LAND to roll-out, the pitch, IAS, bank and yaw laws, the pitch wheel, hostile values.
#include <cmath>
#include <string>
#include <tuple>

#include "autoflight/ap_keys.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "fuel/state.h"
#include "host/host_model.h"
#include "hydraulics/state.h"
#include "instruments/state.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

namespace {
const char* kPanel = "ketravin ap_master_kr60";
namespace tk {
constexpr u32 code = 46, signal = 49, ground = 60, ias = 61, vs = 65, slip = 69, altitude_m = 73, pitch = 78,
              bank_b = 79, bank = 80, ap = 103, heading_fail = 282, aileron = 313, rudder = 316, elevator = 317,
              radio_m = 614, apfd_reset = 785;
}
struct Point { i32 x, y; };  // inside the panel's rectangles
constexpr Point kFd1{20, 70}, kCmd1Up{180, 10}, kCmd2Up{250, 10}, kIas{10, 10}, kLand{90, 10}, kAppr{130, 10},
    kWheelDown{140, 120};
constexpr f64 kHostVsPerFpm = 1.30048;
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
enum { BigWheel = 13, WheelCover = 18 };
}  // namespace

class ApMaster : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kPanel);
        dc_ess_powered = dc_normal_powered = elec_ac_bus1_powered = elec_ac_bus2_powered = 1;
        elec_ess_equipment_level = 1;
        hyd_avail[1] = hyd_avail[2] = 1;
        fctl_yaw_damper_count = fctl_pitch_trim_count = 2;
        token(tk::ias, 250.0);
    }
    void press(Point p, u32 flags = MouseLeftSingle) { ASSERT_TRUE(click(kPanel, p.x, p.y, flags)); }
    // FD 1 and CMD 1 up, one frame: the host autopilot is on from then.
    void engage_cmd1() {
        press(kFd1);
        press(kCmd1Up);
        frames(1);
        ASSERT_EQ(ap_cmd_engaged, 1);
        ASSERT_EQ(host().token(tk::ap), 1.0);
    }
    void ils_received() {
        token(tk::code, 0xC0);
        token(tk::signal, 1.0);
    }
    // ILS received, CMD 1 engaged, LAND armed above 700 ft.
    void land_armed() {
        ils_received();
        engage_cmd1();
        radio_ft(1500.0);
        press(kLand);
        frames(1);
        ASSERT_EQ(ap_approach_state, 30);
    }
    void radio_ft(f64 ft) {
        inst_radio_alt_ft = ft;
        token(tk::radio_m, ft / 3.281);
    }
};

TEST_F(ApMaster, EngagementDualCmdOnlyInAnApproachAndTheHostFlagDropsAll) {
    press(kFd1);
    EXPECT_EQ(ap_fd_engaged, 1);
    press(kCmd1Up);
    EXPECT_EQ(ap_cmd_engaged, 0) << "the click only latches the lever";
    new_keys();
    frames(1);
    EXPECT_EQ(ap_cmd_engaged, 1);
    EXPECT_EQ(sent(key_ap_master_on), 1u);
    frames(1);
    EXPECT_EQ(sent(key_ap_master_on), 0u) << "host flag now 1.0";
    press(kCmd2Up);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_cmd2_lever, ap_cmd_engaged), std::make_pair(u8(0), u8(1))) << "no approach";
    ils_received();
    press(kAppr);
    press(kCmd2Up);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_cmd_engaged, ap_fd_engaged), std::make_pair(u8(3), u8(3)));
    hyd_avail[1] = 0;  // side 1 fails: side 2 carries on
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_cmd_engaged, ap_fd_engaged, ap_cmd1_lever), std::make_tuple(u8(2), u8(2), u8(0)));
    token(tk::ap, 0.0);  // the host disconnects
    frames(1);
    EXPECT_EQ(ap_cmd_engaged + ap_cmd1_lever + ap_cmd2_lever + ap_sim_ap_latched, 0);
}

// A heading failure and a bank past 55 degrees (read a frame late) drop every channel.
TEST_F(ApMaster, HeadingFailureAndSteepBankDropEverything) {
    for (const auto& [id, bad] : {std::pair<u32, f64>{tk::heading_fail, 1.0}, {tk::bank, -55.0}}) {
        engage_cmd1();
        frames(1);
        token(id, bad);
        frames(2);
        EXPECT_EQ(ap_fd_engaged + ap_cmd_engaged, 0) << id;
        token(id, 0.0);
        frames(1);
    }
}

// The button takes DC ESS for side 1; the frame wants AC bus 1. An FD press with a director on
// turns both off.
TEST_F(ApMaster, FdOneOnDcEssentialAloneEngagesThenDropsAndASecondPressClears) {
    elec_ac_bus1_powered = 0;
    press(kFd1);
    EXPECT_EQ(ap_fd_engaged, 1);
    frames(1);
    EXPECT_EQ(ap_fd_engaged, 0);
    elec_ac_bus1_powered = 1;
    press(kFd1);
    frames(1);
    press({60, 70});  // FD 2
    EXPECT_EQ(ap_fd_engaged, 0);
}

TEST_F(ApMaster, ApproachStateFollowsTheBeamsAndLandNeedsHeight) {
    ils_received();
    engage_cmd1();
    press(kAppr);
    EXPECT_EQ(ap_approach_state, 20);
    const struct { u32 code; u8 state; } beams[] = {{0xC0, 20}, {0x80, 21}, {0x00, 21}, {0x40, 20}};
    for (const auto& b : beams) {
        token(tk::code, b.code);
        frames(1);
        EXPECT_EQ(ap_approach_state, b.state) << b.code;
    }
    const struct { f64 ft; u8 state; } heights[] = {{kNaN, 20}, {700.0, 20}, {700.5, 30}};
    for (const auto& h : heights) {
        inst_radio_alt_ft = h.ft;
        press(kLand);
        EXPECT_EQ(ap_approach_state, h.state) << h.ft;
    }
}

TEST_F(ApMaster, FlareLowPhaseTouchdownAndRollout) {
    land_armed();
    ap_flare_height_ft = 60.0;
    fd_gs_vs_command = -700.0 * kHostVsPerFpm;
    token(tk::vs, -700.0 * kHostVsPerFpm);
    token(tk::pitch, -3.0);
    weight_gross_hundreds = 1060.0;
    fd_gs_capture_state = 2;
    const struct { f64 ft, ias; bool ground; u8 land, flare, low, rollout; f64 host_vs, aileron; } steps[] = {
        {1500.0, 140.0, false, 0, 0, 0, 0, -700.0, 0.0}, {600.0, 140.0, false, 1, 0, 0, 0, -700.0, 0.0},
        {59.0, 140.0, false, 1, 1, 0, 0, -50.0, 0.0},    {50.0, 140.0, false, 1, 1, 0, 0, -50.0, 0.0},
        {49.0, 140.0, false, 1, 1, 1, 0, -700.0, 0.0},   {0.0, 120.0, true, 1, 0, 1, 1, -700.0, 7000.0},
        {0.0, 40.0, true, 1, 0, 0, 0, -700.0, 7000.0},
    };
    for (const auto& s : steps) {
        radio_ft(s.ft);
        token(tk::ias, s.ias);
        token(tk::ground, s.ground ? 1.0 : 0.0);
        frames(1);
        EXPECT_EQ(std::make_tuple(ap_land_engaged, ap_flare_mode, ap_land_low_phase, ap_rollout_mode,
                                  host().token(kHostApVsToken), host().token(tk::aileron)),
                  std::make_tuple(s.land, s.flare, s.low, s.rollout, s.host_vs, s.aileron))
            << s.ft;
    }
}

// Negative commands within 50 below a hundred go out a hundred lower; positive ones as they are.
// On the ground the aileron follows token 317, at least 3000.
TEST_F(ApMaster, GlideSlopeVsRoundsOnlyDescentsAndTheGroundAileronFollowsTheElevatorToken) {
    land_armed();
    radio_ft(800.0);
    const struct { f64 g, sent; } cases[] = {{-760.0, -800.0}, {-730.0, -730.0}, {-750.0, -800.0}, {760.0, 760.0}};
    for (const auto& c : cases) {
        fd_gs_vs_command = c.g * kHostVsPerFpm;
        token(tk::vs, fd_gs_vs_command);
        frames(1);
        EXPECT_EQ(host().token(kHostApVsToken), c.sent) << c.g;
    }
    token(tk::ground, 1.0);
    token(tk::ias, 40.0);
    for (const auto& [elevator, aileron] : {std::pair<f64, i32>{1000.0, 3000}, {3001.0, 3101}, {kNaN, 3101}}) {
        token(tk::elevator, elevator);
        frames(1);
        i32 first = 0;  // the ground aileron goes out before the roll-out's
        for (const KeyLogEntry& k : new_keys())
            if (k.id == 0x1009e && k.sent) {
                first = i32(k.value);
                break;
            }
        EXPECT_EQ(first, aileron) << elevator;
    }
}

// Both writers of the glide-slope flag: the host's order of gauges decides.
TEST_F(ApMaster, GlideSlopeFlagGoesToWhicheverGaugeRunsLast) {
    place("ketravin adi_fd_kr60");  // after the mode panel
    token(tk::code, 0x80);           // localizer only: the flight director writes 0
    token(tk::signal, 1.0);
    press(kFd1);
    ap_approach_state = 11;
    for (bool reverse : {false, true}) {
        host().set_reverse_order(reverse);
        frames(1);
        EXPECT_EQ(fd_gs_available, reverse ? 1 : 0) << "reverse " << reverse;
    }
}

// The pitch law sends its own metric altitude target; the altitude selector's command is untouched.
TEST_F(ApMaster, PitchHoldsTheAttitudeThroughVsAndKeepsItsOwnAltitudeTarget) {
    ap_alt_command = 12345;
    token(tk::vs, 1500.0 * kHostVsPerFpm);
    token(tk::pitch, -3.0);
    token(tk::altitude_m, 3048.7);
    engage_cmd1();
    EXPECT_EQ(ap_pitch_mode, 1);
    EXPECT_EQ(ap_vs_command, 1500);
    const struct { f64 pitch, vs_fpm; i32 command; f64 target; } cases[] = {
        {-4.2, 1500.0, -2100, 60000.0}, {-3.05, 1500.0, 1495, 60000.0}, {-1.0, -500.0, 9500, 0.0}, {-3, 0, 0, 3048}};
    for (const auto& c : cases) {
        token(tk::pitch, c.pitch);
        token(tk::vs, c.vs_fpm * kHostVsPerFpm);
        frames(1);
        EXPECT_EQ(std::make_tuple(ap_vs_command, host().token(kHostApVsToken), host().token(kHostApAltTargetToken)),
                  std::make_tuple(c.command, f64(c.command), c.target)) << c.pitch;
    }
    EXPECT_EQ(ap_alt_command, 12345);
    EXPECT_EQ(ap_pitch_alt_target_m, 3048);
}

TEST_F(ApMaster, IasLimitsFollowThrustLeverOne) {
    engage_cmd1();
    press(kIas);
    const struct { u8 lever; u16 upper; i16 lower; } cases[] = {
        {10, 0, -3750}, {30, 1250, -2812}, {50, 2500, -1875}, {90, 5000, 0}};
    for (const auto& c : cases) {
        thr1_readout_pct = c.lever;
        frames(1);
        EXPECT_EQ(std::make_tuple(ap_ias_law_engaged, ap_ias_vs_upper, ap_ias_vs_lower),
                  std::make_tuple(u8(1), c.upper, c.lower)) << int(c.lever);
    }
    ap_vs_command = 6000;  // outside the limits: put 10 inside them
    frames(1);
    EXPECT_EQ(ap_vs_command, 4990);
}

// 140 x bank x (1 + 0.022 x (300 - IAS)): the factor stops at 0, the command at -16383.
TEST_F(ApMaster, BankLimitAileronStaysOnOneSideAndWithinTravel) {
    engage_cmd1();
    ap_alt_mode = 2;  // PITCH off
    const struct { f64 bank, ias, aileron; } cases[] = {
        {30.0, 300.0, -4200.0}, {330.0, 300.0, -4200.0}, {30.0, 150.0, -16383.0}, {30.0, 400.0, 0.0},
        {20.0, 345.0, -28.0},   {15.0, 300.0, 0.0},      {30.0, kNaN, -4200.0},   {kInf, 300.0, -4200.0},
    };
    for (const auto& c : cases) {
        token(tk::bank_b, c.bank);
        token(tk::ias, c.ias);
        frames(1);
        EXPECT_EQ(host().token(tk::aileron), c.aileron) << c.bank << " at " << c.ias;
    }
}

TEST_F(ApMaster, BankHoldOutputStepsToTheTargetAndStopsAt127) {
    engage_cmd1();
    const struct { f64 adi_bank; i32 target; i8 start, after1, after2; } cases[] = {
        {-20.0, 25, 126, 127, 127}, {20.0, -25, -126, -127, -127}, {-20.0, 20, 50, 3, 3}};
    for (const auto& c : cases) {
        token(tk::bank, c.adi_bank);
        frames(1);
        ap_roll_hold_engaged = 1;
        ap_bank_target_deg = c.target;
        ap_bank_hold_output = c.start;
        frames(1);
        EXPECT_EQ(ap_bank_hold_output, c.after1) << c.target;
        frames(1);
        EXPECT_EQ(ap_bank_hold_output, c.after2) << c.target;
        EXPECT_EQ(host().token(tk::apfd_reset), c.after1);
    }
}

// Ball bands [-10, -3) and (3, 10] step to 5000, beyond to 16000; inside, the command centres.
TEST_F(ApMaster, RudderFollowsTheBallWithinItsLimitsAndIsStillSent) {
    engage_cmd1();
    token(tk::bank, 10.0);
    const struct { f64 ball; i32 start, after; } cases[] = {
        {-12.0, 16100, 16100}, {-12.0, 16000, 16200}, {-10.0, 5000, 5200}, {-5.0, 5100, 5100}, {12.0, -16100, -16100},
        {10.0, -5000, -5200},  {0.0, 600, 500},       {0.0, 400, 0},       {kNaN, -600, -600}, {3.0, 600, 500},
        {-3.0, -600, -500},
    };
    for (const auto& c : cases) {
        token(tk::slip, c.ball);
        ap_rudder_cmd = c.start;
        frames(1);
        EXPECT_EQ(std::make_pair(ap_rudder_cmd, host().token(tk::rudder)), std::make_pair(c.after, f64(c.after)))
            << c.ball << " from " << c.start;
    }
    host().set_token(kHostAutoCoordinationToken, 1.0);  // the host coordinates: the law rests
    ap_rudder_cmd = 700;
    frames(1);
    EXPECT_EQ(ap_rudder_cmd, 700);
}

// The wheel stops at -10; the frame resets a reference past -10 to -9 and past 24 to 24.
TEST_F(ApMaster, PitchWheelLimitsAndResets) {
    fd_pitch_reference = -9.8;
    for (f64 e : {-10.3, -10.0, -10.0}) {
        press(kWheelDown);
        EXPECT_NEAR(fd_pitch_reference, e, 1e-9);
    }
    for (const auto& [from, to] : {std::pair<f64, f64>{-10.3, -9.0}, {25.2, 24.0}}) {
        fd_pitch_reference = from;
        frames(1);
        EXPECT_EQ(fd_pitch_reference, to);
    }
}

TEST_F(ApMaster, EnlargedWheelSurvivesTheClockJumping) {
    const auto enlarge = [this] {
        press(kWheelDown);
        frames(1);
        ASSERT_FALSE(hidden(element(kPanel, BigWheel)));
        ASSERT_TRUE(hidden(element(kPanel, WheelCover)));
    };
    expect_timer_survives_clock_jumps(host(), {"enlarged wheel", 50.0 / 18.0, enlarge,
                                               [this] { return hidden(element(kPanel, BigWheel)); }});
}

TEST_F(ApMaster, HostileHostValuesKeepTheStateFinite) {
    land_armed();
    press(kIas);
    const u32 ids[] = {1, tk::ias, tk::vs, tk::slip, tk::altitude_m, tk::pitch, tk::bank_b, tk::bank, 309, 311, 318,
                       tk::elevator, tk::radio_m, tk::apfd_reset};
    for (f64 v : {kNaN, kInf, -kInf, 1e300, -1e300}) {
        for (u32 id : ids) token(id, v);
        frames(3);
        for (f64 x : {ap_pitch_ref_deg, ap_pitch_error_deg, ap_ias_error, ap_ias_trend, ap_ias_gain, ap_wheel_position})
            EXPECT_TRUE(std::isfinite(x)) << v;
    }
}
