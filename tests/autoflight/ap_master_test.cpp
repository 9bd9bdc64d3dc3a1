// The autopilot mode panel through the headless host: FD and CMD engagement with the host's
// autopilot flag, the approach and LAND states down to roll-out, the PITCH, IAS, bank-limit,
// bank-hold and yaw laws with their limits, the pitch wheel, and hostile host values.
#include <cmath>
#include <string>

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
// Click points inside the panel's rectangles.
struct Point {
    i32 x, y;
};
constexpr Point kFd1{20, 70}, kCmd1Up{180, 10}, kCmd1Off{180, 70}, kCmd2Up{250, 10}, kIas{10, 10}, kLand{90, 10},
    kAppr{130, 10}, kWheelDown{140, 120}, kWheelCentre{105, 90};
constexpr f64 kHostVsPerFpm = 1.30048;
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
enum { BigWheel = 13, LabelFd = 15, LabelAp = 16, WheelCover = 18 };
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
    // ILS received, CMD 1 engaged, LAND armed above 700 ft.
    void land_armed() {
        token(tk::code, 0xC0);
        token(tk::signal, 1.0);
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

// ---- Engagement ------------------------------------------------------------------------------

TEST_F(ApMaster, FdThenCmdEngagesTheHostAndTheSecondLeverFallsBackWithoutAnApproach) {
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
    EXPECT_EQ(ap_sim_ap_latched, 1);

    press(kCmd2Up);
    frames(1);
    EXPECT_EQ(ap_cmd2_lever, 0);
    EXPECT_EQ(ap_cmd_engaged, 1);

    token(tk::ap, 0.0);  // the host disconnects
    frames(1);
    EXPECT_EQ(ap_cmd_engaged, 0);
    EXPECT_EQ(ap_cmd1_lever, 0);
    EXPECT_EQ(ap_sim_ap_latched, 0);
}

// Each case in its own process, from the module's start values.
struct Spoil {
    const char* what;
    void (*spoil)(Host&);
    u8 fd, cmd;
};
const Spoil kSpoils[] = {
    {"heading_failure", [](Host& h) { h.set_token(tk::heading_fail, 1.0); }, 0, 0},
    {"bank_55", [](Host& h) { h.set_token(tk::bank, -55.0); }, 0, 0},
    {"no_yaw_damper", [](Host&) { fctl_yaw_damper_count = 0; }, 0, 0},
    {"green_lost", [](Host&) { hyd_avail[1] = 0; }, 1, 0},
    {"host_disconnect", [](Host& h) { h.set_token(tk::ap, 0.0); }, 1, 0},
};
void PrintTo(const Spoil& s, std::ostream* os) { *os << s.what; }
class ApDrop : public ApMaster, public ::testing::WithParamInterface<Spoil> {};

TEST_P(ApDrop, ChannelsDrop) {
    engage_cmd1();
    frames(1);
    GetParam().spoil(host());
    frames(2);  // the bank is read a frame late
    EXPECT_EQ(ap_fd_engaged, GetParam().fd);
    EXPECT_EQ(ap_cmd_engaged, GetParam().cmd);
}
INSTANTIATE_TEST_SUITE_P(Spoils, ApDrop, ::testing::ValuesIn(kSpoils),
                         [](const ::testing::TestParamInfo<Spoil>& i) { return std::string(i.param.what); });

TEST_F(ApMaster, DualCmdOnlyInAnApproachAndAFailedSideDropsToTheOther) {
    token(tk::code, 0xC0);
    token(tk::signal, 1.0);
    engage_cmd1();
    press(kCmd2Up);
    frames(1);
    EXPECT_EQ(ap_cmd2_lever, 0) << "no approach";
    press(kAppr);
    press(kCmd2Up);
    frames(1);
    EXPECT_EQ(ap_cmd_engaged, 3);
    EXPECT_EQ(ap_fd_engaged, 3);
    hyd_avail[1] = 0;
    frames(1);
    EXPECT_EQ(ap_cmd_engaged, 2);
    EXPECT_EQ(ap_fd_engaged, 2);
    EXPECT_EQ(ap_cmd1_lever, 0);
}

// The button takes DC ESS for side 1; the frame wants AC bus 1.
TEST_F(ApMaster, FdOneOnDcEssentialAloneEngagesThenDrops) {
    elec_ac_bus1_powered = 0;
    press(kFd1);
    EXPECT_EQ(ap_fd_engaged, 1);
    frames(1);
    EXPECT_EQ(ap_fd_engaged, 0);
}

TEST_F(ApMaster, AnFdPressWithADirectorOnTurnsBothOff) {
    press(kFd1);
    frames(1);
    press({60, 70});  // FD 2
    EXPECT_EQ(ap_fd_engaged, 0);
}

// ---- Approach, LAND, FLARE, roll-out ---------------------------------------------------------

TEST_F(ApMaster, ApproachStateFollowsTheBeamsAndLandNeedsHeight) {
    token(tk::code, 0xC0);
    token(tk::signal, 1.0);
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
    press(kLand);
    EXPECT_EQ(ap_approach_state, 0) << "a second press leaves LAND";
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
        {1500.0, 140.0, false, 0, 0, 0, 0, -700.0, 0.0},  {600.0, 140.0, false, 1, 0, 0, 0, -700.0, 0.0},
        {59.0, 140.0, false, 1, 1, 0, 0, -50.0, 0.0},     {50.0, 140.0, false, 1, 1, 0, 0, -50.0, 0.0},
        {49.0, 140.0, false, 1, 1, 1, 0, -700.0, 0.0},    {0.0, 120.0, true, 1, 0, 1, 1, -700.0, 7000.0},
        {0.0, 40.0, true, 1, 0, 0, 0, -700.0, 7000.0},
    };
    for (const auto& s : steps) {
        radio_ft(s.ft);
        token(tk::ias, s.ias);
        token(tk::ground, s.ground ? 1.0 : 0.0);
        frames(1);
        EXPECT_EQ(ap_land_engaged, s.land) << s.ft;
        EXPECT_EQ(ap_flare_mode, s.flare) << s.ft;
        EXPECT_EQ(ap_land_low_phase, s.low) << s.ft;
        EXPECT_EQ(ap_rollout_mode, s.rollout) << s.ft;
        EXPECT_EQ(host().token(kHostApVsToken), s.host_vs) << s.ft;
        EXPECT_EQ(host().token(tk::aileron), s.aileron) << s.ft;
    }
}

// Negative commands within 50 below a hundred go out a hundred lower; positive ones as they are.
TEST_F(ApMaster, GlideSlopeVsRoundsOnlyDescents) {
    land_armed();
    radio_ft(800.0);
    const struct { f64 g, sent; } cases[] = {{-760.0, -800.0}, {-730.0, -730.0}, {-750.0, -800.0}, {760.0, 760.0}};
    for (const auto& c : cases) {
        fd_gs_vs_command = c.g * kHostVsPerFpm;
        token(tk::vs, fd_gs_vs_command);
        frames(1);
        EXPECT_EQ(host().token(kHostApVsToken), c.sent) << c.g;
    }
    // On the ground the aileron follows token 317, at least 3000.
    const struct { f64 elevator, aileron; } ground[] = {{1000.0, 3000.0}, {3001.0, 3101.0}, {kNaN, 3000.0}};
    radio_ft(800.0);
    for (const auto& c : ground) {
        token(tk::ground, 1.0);
        token(tk::ias, 40.0);
        token(tk::elevator, c.elevator);
        frames(1);
        i32 first = 0;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == 0x1009e && k.sent) {
                first = i32(k.value);
                break;
            }
        EXPECT_EQ(first, c.aileron) << c.elevator;
    }
}

// Both writers of the glide-slope flag: the host's order of gauges decides.
TEST_F(ApMaster, GlideSlopeFlagGoesToWhicheverGaugeRunsLast) {
    place("ketravin adi_fd_kr60");  // after the mode panel
    token(tk::code, 0x80);  // localizer only: the flight director writes 0
    token(tk::signal, 1.0);
    press(kFd1);
    ap_approach_state = 11;
    for (bool reverse : {false, true}) {
        host().set_reverse_order(reverse);
        frames(1);
        EXPECT_EQ(ap_approach_state, 11);
        EXPECT_EQ(fd_gs_available, reverse ? 1 : 0) << "reverse " << reverse;
    }
}

// ---- Laws ------------------------------------------------------------------------------------

TEST_F(ApMaster, PitchHoldsTheAttitudeThroughVsAndKeepsItsOwnAltitudeTarget) {
    ap_alt_command = 12345;  // the altitude selector's
    token(tk::vs, 1500.0 * kHostVsPerFpm);
    token(tk::pitch, -3.0);
    token(tk::altitude_m, 3048.7);
    engage_cmd1();
    EXPECT_EQ(ap_pitch_mode, 1);
    EXPECT_EQ(ap_vs_command, 1500);
    EXPECT_DOUBLE_EQ(ap_pitch_ref_deg, 3.0);
    const struct { f64 pitch, vs_fpm; i32 command; f64 target; } cases[] = {
        {-4.2, 1500.0, -2100, 60000.0}, {-3.05, 1500.0, 1495, 60000.0}, {-1.0, -500.0, 9500, 0.0},
        {-3.0, 0.0, 0, 3048.0},
    };
    for (const auto& c : cases) {
        token(tk::pitch, c.pitch);
        token(tk::vs, c.vs_fpm * kHostVsPerFpm);
        frames(1);
        EXPECT_EQ(ap_vs_command, c.command) << c.pitch;
        EXPECT_EQ(host().token(kHostApVsToken), c.command) << c.pitch;
        EXPECT_EQ(host().token(kHostApAltTargetToken), c.target) << c.pitch;
    }
    EXPECT_EQ(ap_alt_command, 12345);
    EXPECT_EQ(ap_pitch_alt_target_m, 3048);
}

TEST_F(ApMaster, IasLimitsFollowThrustLeverOne) {
    engage_cmd1();
    press(kIas);
    const struct { u8 lever; u16 upper; i16 lower; } cases[] = {
        {5, 0, -3750}, {10, 0, -3750}, {30, 1250, -2812}, {50, 2500, -1875}, {90, 5000, 0}, {99, 5000, 0},
    };
    for (const auto& c : cases) {
        thr1_readout_pct = c.lever;
        frames(1);
        EXPECT_EQ(ap_ias_law_engaged, 1);
        EXPECT_EQ(ap_ias_vs_upper, c.upper) << int(c.lever);
        EXPECT_EQ(ap_ias_vs_lower, c.lower) << int(c.lever);
    }
    // Outside the limits the command is put 10 inside them.
    thr1_readout_pct = 50;
    ap_vs_command = 4000;
    frames(1);
    EXPECT_EQ(ap_vs_command, 2490);
}

// 140 x bank x (1 + 0.022 x (300 - IAS)): the factor stops at 0, the command at -16383.
TEST_F(ApMaster, BankLimitAileronStaysOnOneSideAndWithinTravel) {
    engage_cmd1();
    ap_alt_mode = 2;  // PITCH off
    const struct { f64 bank, ias, aileron; } cases[] = {
        {30.0, 300.0, -4200.0}, {330.0, 300.0, -4200.0}, {30.0, 150.0, -16383.0}, {30.0, 400.0, 0.0},
        {20.0, 345.0, -28.0},   {15.0, 300.0, 0.0},      {30.0, kNaN, -16383.0},  {kInf, 300.0, 0.0},
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
        {-20.0, 25, 126, 127, 127}, {20.0, -25, -126, -127, -127}, {-20.0, 20, 50, 3, 3},
    };
    for (const auto& c : cases) {
        token(tk::bank, c.adi_bank);
        frames(1);
        ap_roll_hold_engaged = 1;
        ap_bank_target_deg = c.target;
        ap_bank_hold_output = c.start;
        frames(1);
        EXPECT_EQ(ap_bank_hold_state, 1);
        EXPECT_EQ(ap_bank_hold_output, c.after1) << c.target;
        frames(1);
        EXPECT_EQ(ap_bank_hold_output, c.after2) << c.target;
        EXPECT_EQ(host().token(tk::apfd_reset), c.after1);
    }
}

TEST_F(ApMaster, RudderFollowsTheBallWithinItsLimitsAndIsStillSent) {
    engage_cmd1();
    token(tk::bank, 10.0);
    const struct { f64 ball; i32 start, after; } cases[] = {
        {-12.0, 16100, 16100}, {-12.0, 16000, 16200}, {-5.0, 5000, 5200},  {-5.0, 5100, 5100},
        {5.0, -5000, -5200},   {12.0, -16100, -16100}, {0.0, 600, 500},    {0.0, 400, 0},
        {kNaN, -600, -500},    {3.0, 600, 500},       {-3.0, -600, -500}, {-10.0, 5000, 5200},
        {10.0, -5000, -5200},  {-kInf, 16000, 16200},
    };
    for (const auto& c : cases) {
        token(tk::slip, c.ball);
        ap_rudder_cmd = c.start;
        new_keys();
        frames(1);
        EXPECT_EQ(ap_rudder_cmd, c.after) << c.ball << " from " << c.start;
        EXPECT_EQ(host().token(tk::rudder), c.after);
    }
    host().set_token(kHostAutoCoordinationToken, 1.0);  // the host coordinates: the law rests
    ap_rudder_cmd = 700;
    frames(1);
    EXPECT_EQ(ap_rudder_cmd, 700);
}

// ---- Pitch wheel -----------------------------------------------------------------------------

TEST_F(ApMaster, PitchWheelLimitsResetsAndLabel) {
    fd_pitch_reference = -9.8;
    const f64 expected[] = {-10.3, -10.0, -10.0};
    for (f64 e : expected) {
        press(kWheelDown);
        EXPECT_NEAR(fd_pitch_reference, e, 1e-9);
    }
    fd_pitch_reference = -10.3;
    frames(1);
    EXPECT_EQ(fd_pitch_reference, -9.0);
    fd_pitch_reference = 25.2;
    frames(1);
    EXPECT_EQ(fd_pitch_reference, 24.0);
    EXPECT_EQ(ap_wheel_position, 1.0);

    press(kWheelCentre, MouseRightSingle);
    int shown = 0;
    for (int f = 0; f < 25; ++f) {
        frames(1);
        shown += !hidden(element(kPanel, LabelAp));
        EXPECT_TRUE(hidden(element(kPanel, LabelFd)));
    }
    EXPECT_EQ(shown, 20);
}

TEST_F(ApMaster, EnlargedWheelSurvivesTheClockJumping) {
    expect_timer_survives_clock_jumps(host(), {"enlarged wheel", 50.0 / 18.0,
                                               [this] {
                                                   press(kWheelDown);
                                                   frames(1);
                                                   ASSERT_FALSE(hidden(element(kPanel, BigWheel)));
                                                   ASSERT_TRUE(hidden(element(kPanel, WheelCover)));
                                               },
                                               [this] { return hidden(element(kPanel, BigWheel)); }});
}

// ---- Hostile host ----------------------------------------------------------------------------

TEST_F(ApMaster, HostileHostValuesKeepTheStateFinite) {
    land_armed();
    press(kIas);
    const f64 hostile[] = {kNaN, kInf, -kInf, 1e300, -1e300};
    const u32 ids[] = {1, tk::ias, tk::vs, tk::slip, tk::altitude_m, tk::pitch, tk::bank_b, tk::bank, 309, 311, 318,
                       tk::elevator, tk::radio_m, tk::apfd_reset};
    for (f64 v : hostile) {
        for (u32 id : ids) token(id, v);
        frames(3);
        for (f64 x : {ap_pitch_ref_deg, ap_pitch_error_deg, ap_ias_error, ap_ias_trend, ap_ias_gain, ap_wheel_position})
            EXPECT_TRUE(std::isfinite(x)) << v;
    }
}
