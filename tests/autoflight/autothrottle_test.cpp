// The autothrottle panel through the headless host: speed knobs and window, arming and its
// trips, the SPD and N1 buttons, both thrust tables at their band edges, the paced step, the
// speed path's limit and retard, the go-around, and hostile host values.
#include <cmath>
#include <string>
#include <vector>

#include "air/state.h"
#include "autoflight/ap_keys.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "host/host_model.h"
#include "instruments/state.h"
#include "navigation/state.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

namespace {
const char* kPanel = "ketravin ap_ats_kr60";
namespace tk {
constexpr u32 ground = 60, ias = 61, pitch = 78, ap = 103, hold = 115, speed = 116, arm = 123, axis1 = 128,
              axis2 = 163, flaps = 329, gear = 332, lever1 = 558, lever2 = 568, radio_m = 614, n1a = 624,
              n1b = 643;
}
struct Point {
    i32 x, y;
};
constexpr Point kDec1{10, 110}, kInc1{50, 110}, kDec10{10, 150}, kInc10{50, 150}, kSpd{60, 20}, kN1{100, 20},
    kArmOn{100, 70}, kArmOff{100, 130};
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
}  // namespace

class Autothrottle : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kPanel);
        dc_ess_powered = dc_normal_powered = elec_ac_bus1_powered = 1;
        inst_adc1_ok = inst_adc1_ias_valid = 1;
        inst_radio_alt_ft = 2000.0;
        token(tk::n1a, 80.0);
        token(tk::n1b, 80.0);
        token(tk::lever1, 0.9);
        token(tk::lever2, 0.9);
        token(tk::speed, 250.0);
        token(tk::ias, 250.0);
        token(tk::axis1, 8000.0);
        token(tk::axis2, 6000.0);
    }
    void press(Point p) { ASSERT_TRUE(click(kPanel, p.x, p.y)); }
    void armed() {
        press(kArmOn);
        frames(1);
        ASSERT_EQ(ats_arm_state, 1);
        ASSERT_EQ(host().token(tk::arm), 1.0);
        new_keys();
    }
    // Values of one event sent since the last look.
    std::vector<i32> sent(u32 key) {
        std::vector<i32> v;
        for (const KeyLogEntry& k : keys_)
            if (k.id == key) v.push_back(i32(k.value));
        return v;
    }
    void look() { keys_ = new_keys(); }
    std::vector<KeyLogEntry> keys_;
};

// ---- Knobs and window ------------------------------------------------------------------------

TEST_F(Autothrottle, KnobsClampAtBothEndsAndSendTheNewSpeed) {
    const struct { i32 from; Point knob; i32 to; } cases[] = {
        {389, kInc10, 399}, {395, kInc10, 400}, {390, kInc10, 400}, {0, kDec1, 0}, {1, kDec1, 0},
        {5, kDec10, 0},     {10, kDec10, 0},    {11, kDec10, 1},    {400, kInc1, 400}, {399, kInc1, 400},
    };
    for (const auto& c : cases) {
        token(tk::speed, c.from);
        frames(1);
        new_keys();
        press(c.knob);
        look();
        EXPECT_EQ(ats_speed_target, c.to) << c.from;
        EXPECT_EQ(sent(key_ap_speed_set), std::vector<i32>{c.to}) << c.from;
        EXPECT_EQ(host().token(tk::speed), c.to) << c.from;
    }
}

// Target = 10 - digit on the ten-cell strips, 0 for a 0; the wheels never see beyond 999.
TEST_F(Autothrottle, WindowFollowsTheHostSpeedWhateverItHolds) {
    const struct { f64 host; i32 target, d100, d10; f64 d1; } cases[] = {
        {250.0, 250, 8, 5, 0.0}, {137.9, 137, 9, 7, 3.0}, {kNaN, 0, 0, 0, 0.0},        {-40.0, 0, 0, 0, 0.0},
        {-kInf, 0, 0, 0, 0.0},   {1e12, 2147483647, 1, 1, 1.0}, {1000.0, 1000, 1, 1, 1.0},
    };
    for (const auto& c : cases) {
        token(tk::speed, c.host);
        frames(1);
        EXPECT_EQ(ats_speed_target, c.target) << c.host;
        EXPECT_EQ(ats_drum_100, c.d100) << c.host;
        EXPECT_EQ(ats_drum_10, c.d10) << c.host;
        EXPECT_EQ(ats_drum_1, c.d1) << c.host;
    }
}

// ---- Arming and the modes --------------------------------------------------------------------

TEST_F(Autothrottle, SwitchedUpOnTheGroundBelowTwentyFivePercentDisconnectsWithThrOff) {
    token(tk::ground, 1.0);
    token(tk::n1a, 20.0);
    token(tk::n1b, 20.0);
    token(tk::axis1, 0.0);
    press(kArmOn);
    EXPECT_EQ(warn_thr_off, 0);
    frames(1);
    EXPECT_EQ(ats_arm_state, 2);
    EXPECT_EQ(warn_thr_off, 1);
    EXPECT_EQ(ats_thr_off_latched, 1);
    EXPECT_EQ(ats_thr_off_ref, 0);
    look();
    EXPECT_TRUE(sent(key_autothrottle_arm_set).empty()) << "the host was never armed";
}

TEST_F(Autothrottle, LostConditionsDisarmTheHostAndDropBothModes) {
    const struct { const char* what; void (*spoil)(); } spoils[] = {
        {"ess ac source", [] { elec_ess_ac_source_sel = 3; }},
        {"ac bus 1", [] { elec_ac_bus1_powered = 0; }},
        {"normal dc", [] { dc_normal_powered = 0; }},
        {"adc 1", [] { inst_adc1_ok = 0; }},
    };
    for (const auto& s : spoils) {
        elec_ess_ac_source_sel = 2;
        dc_normal_powered = elec_ac_bus1_powered = inst_adc1_ok = 1;
        ats_thr_off_latched = 0;
        armed();
        press(kSpd);
        token(tk::hold, 1.0);
        s.spoil();
        frames(1);
        look();
        EXPECT_EQ(ats_arm_state, 2) << s.what;
        EXPECT_EQ(ats_spd_mode, 0) << s.what;
        EXPECT_EQ(warn_thr_off, 1) << s.what;
        EXPECT_EQ(sent(key_autothrottle_arm_set), std::vector<i32>{0}) << s.what;
        EXPECT_EQ(host().token(tk::hold), 0.0) << s.what;
    }
}

TEST_F(Autothrottle, SpdButtonOnlyEngagesFromOffWithTheAtArmed) {
    place("ketravin idpp_kr60");  // clears a tripped SPD
    press(kSpd);
    EXPECT_EQ(ats_spd_mode, 2) << "not armed: a disconnect";
    armed();
    press(kSpd);
    EXPECT_EQ(ats_spd_mode, 1);
    press(kSpd);
    EXPECT_EQ(ats_spd_mode, 2) << "pressed while on";
}

TEST_F(Autothrottle, N1ButtonByComputerModeGearAndGround) {
    const struct { u8 n1_computer; f64 gear, ground, n1b; u8 n1, approach_after; } cases[] = {
        {5, 0.0, 0.0, 80.0, 1, 11},  // climb: on, modes kept
        {5, 0.0, 0.0, 20.0, 0, 11},  // engine 2 not above 20 %
        {3, 1.0, 1.0, 80.0, 0, 11},  // GA on the ground: stays off, nothing cleared
        {3, 0.5, 0.0, 80.0, 0, 11},  // GA with the gear in transit
        {3, 1.0, 0.0, 80.0, 1, 0},   // GA airborne, gear down: on, approach and modes cleared
    };
    for (const auto& c : cases) {
        ats_n1_mode = 0;
        armed();
        eng_n1_mode = c.n1_computer;
        token(tk::gear, c.gear);
        token(tk::ground, c.ground);
        token(tk::n1b, c.n1b);
        ap_approach_state = 11;
        ap_hdg_select_mode = 1;
        press(kN1);
        EXPECT_EQ(ats_n1_mode, c.n1) << int(c.n1_computer) << " gear " << c.gear << " ground " << c.ground;
        EXPECT_EQ(ap_approach_state, c.approach_after);
        EXPECT_EQ(ap_hdg_select_mode, c.approach_after ? 1 : 0);
        token(tk::n1b, 80.0);
        token(tk::ground, 0.0);
    }
    press(kN1);
    EXPECT_EQ(ats_n1_mode, 0) << "a second push switches N1 off";
}

TEST_F(Autothrottle, SpdWinsOverN1OnTheNextFrame) {
    armed();
    press(kN1);
    press(kSpd);
    EXPECT_EQ(ats_n1_mode, 1);
    frames(1);
    EXPECT_EQ(ats_n1_mode, 0);
    EXPECT_EQ(ats_spd_mode, 1);
}

TEST_F(Autothrottle, AnEngineSpoolingDownTripsN1AndThrOffFollowsOnTheNextFrame) {
    armed();
    press(kN1);
    frames(1);
    token(tk::n1b, 27.0);
    frames(1);
    look();
    EXPECT_EQ(sent(key_autothrottle_arm_set), std::vector<i32>{0});
    EXPECT_EQ(ats_n1_mode, 0);
    EXPECT_EQ(ats_arm_state, 2);
    EXPECT_EQ(warn_thr_off, 0);
    frames(1);
    EXPECT_EQ(warn_thr_off, 1);
    EXPECT_EQ(ats_thr_off_ref, 8000);
    // A new disconnect while latched saves no new reference.
    token(tk::axis1, 5000.0);
    press(kArmOn);
    frames(1);
    press(kArmOff);
    frames(1);
    EXPECT_EQ(ats_thr_off_ref, 8000);
}

TEST_F(Autothrottle, SpdTripsWithoutNavigationAirspeedOrWithALeverAtIdleOnTheGround) {
    const struct { const char* what; u8 ins, ias_valid; f64 ground, lever2; u8 spd; } cases[] = {
        {"all good", 3, 1, 0.0, 0.9, 1},           {"ins not navigating", 2, 1, 0.0, 0.9, 2},
        {"ias invalid", 3, 0, 0.0, 0.9, 2},        {"idle lever on the ground", 3, 1, 1.0, 0.04, 2},
        {"idle lever airborne", 3, 1, 0.0, 0.04, 1}, {"lever at 0.05 on the ground", 3, 1, 1.0, 0.05, 1},
    };
    armed();
    for (const auto& c : cases) {
        ats_spd_mode = 1;
        ins1_status = c.ins;
        inst_adc1_ias_valid = c.ias_valid;
        token(tk::ground, c.ground);
        token(tk::lever2, c.lever2);
        frames(1);
        EXPECT_EQ(ats_spd_mode, c.spd) << c.what;
    }
}

// ---- N1 law ----------------------------------------------------------------------------------

class ThrustLaw : public Autothrottle {
protected:
    void n1_mode_on(u8 computer) {
        armed();
        press(kN1);
        eng_n1_mode = computer;
        ASSERT_EQ(ats_n1_mode, 1);
    }
};

// Engine 1 axis 8000, engine 2 axis 6000. Kinds: paced and every-frame bands send the pair; the
// dead band sends nothing.
TEST_F(ThrustLaw, BandEdgesOfBothTables) {
    enum Kind { Paced, EveryFrame, Dead };
    const struct { u8 computer; f64 e; i32 cmd; Kind kind; } cases[] = {
        // climb and cruise
        {5, -10.01, 8200, Paced}, {5, -10.0, 8150, Paced}, {5, -5.0, 8050, Paced}, {5, -1.0, 8050, Paced},
        {5, -0.5, 8020, Paced}, {5, -0.1, 8005, Paced}, {5, -0.05, 8001, Paced}, {5, -0.049, 0, Dead},
        {0, 0.049, 0, Dead}, {4, 0.05, 7999, Paced}, {6, 0.1, 7995, Paced}, {5, 0.5, 7950, Paced},
        {5, 3.0, 7950, Paced}, {5, 10.0, 7850, Paced}, {5, 10.01, 7990, EveryFrame},
        // take-off
        {1, -15.0, 6050, Paced}, {1, -5.01, 6050, Paced}, {1, -5.0, 8015, Paced}, {2, -2.0, 8015, Paced},
        {1, -1.0, 8003, Paced}, {1, -0.5, 8002, Paced}, {1, -0.15, 8001, Paced}, {1, -0.149, 0, Dead},
        {1, 0.15, 7900, Paced}, {1, 0.5, 7800, Paced}, {1, 1.0, 7700, Paced}, {1, 2.0, 7700, Paced},
        {1, 5.0, 7600, Paced}, {1, 5.01, 7500, EveryFrame},
    };
    n1_mode_on(5);
    for (const auto& c : cases) {
        token(tk::axis1, 8000.0);
        token(tk::axis2, 6000.0);
        ats_step_latch = 0;
        eng_n1_mode = c.computer;
        eng_n1_target_error = c.e;
        frames(1);
        look();
        const std::vector<i32> one = sent(key_throttle1_set), two = sent(key_throttle2_set);
        if (c.kind == Dead) {
            EXPECT_TRUE(one.empty() && two.empty()) << c.e;
            EXPECT_EQ(ats_step_latch, 0) << c.e;
            continue;
        }
        EXPECT_EQ(one, std::vector<i32>{c.cmd}) << int(c.computer) << " e " << c.e;
        EXPECT_EQ(two, std::vector<i32>{c.cmd}) << int(c.computer) << " e " << c.e;
        EXPECT_EQ(ats_step_latch, c.kind == Paced ? 1 : 0) << c.e;
        // The next frame: a paced command is re-sent as it was; an every-frame one steps again
        // from the axis the host now reports.
        frames(1);
        look();
        EXPECT_EQ(sent(key_throttle1_set), std::vector<i32>{c.kind == Paced ? c.cmd : c.cmd + (c.cmd - 8000)})
            << c.e;
    }
}

TEST_F(ThrustLaw, ClimbThrustFarAboveItsTargetAddsTheTwoEventsAfterThePair) {
    n1_mode_on(5);
    for (f64 e : {19.99, 20.0}) {
        eng_n1_target_error = e;
        frames(1);
        look();
        std::vector<u32> order;
        for (const KeyLogEntry& k : keys_) order.push_back(k.id);
        const std::vector<u32> pair{key_throttle1_set, key_throttle2_set};
        const std::vector<u32> all{key_throttle1_set, key_throttle2_set, key_ats_event_1044b, key_ats_event_1044c};
        EXPECT_EQ(order, e >= 20.0 ? all : pair) << e;
    }
}

TEST_F(ThrustLaw, CommandsStayOnTheAxisAtBothEnds) {
    const struct { u8 computer; f64 e, axis; i32 cmd; } cases[] = {
        {5, 3.5, 100.0, 0},        {5, -11.0, 16300.0, 16383}, {1, 5.5, 499.0, 0},   {5, 10.5, 5.0, 0},
        {5, -11.0, kNaN, 200},     {5, -11.0, kInf, 16383},    {5, 3.5, -kInf, 0},   {5, 3.5, -300.0, 0},
        {5, -11.0, 1e300, 16383},  {5, -11.0, 16383.0, 16383},
    };
    n1_mode_on(5);
    for (const auto& c : cases) {
        ats_step_latch = 0;
        eng_n1_mode = c.computer;
        eng_n1_target_error = c.e;
        token(tk::axis1, c.axis);
        frames(1);
        look();
        EXPECT_EQ(sent(key_throttle1_set), std::vector<i32>{c.cmd}) << c.axis << " e " << c.e;
        EXPECT_EQ(ats_throttle2_cmd, c.cmd);
    }
}

// At 18 fps the held command goes out on 19 frames (18 ticks and one frame), then one step on
// from the axis the host reports.
TEST_F(ThrustLaw, PacedCommandIsHeldEighteenTicksAndAFrame) {
    n1_mode_on(5);
    eng_n1_target_error = -3.0;  // +50
    std::vector<i32> cmds;
    for (int i = 0; i < 21; ++i) {
        frames(1);
        look();
        const std::vector<i32> one = sent(key_throttle1_set);
        ASSERT_EQ(one.size(), 1u);
        cmds.push_back(one[0]);
    }
    EXPECT_EQ(std::vector<i32>(cmds.begin(), cmds.begin() + 19), std::vector<i32>(19, 8050));
    EXPECT_EQ(cmds[19], 8100);
    EXPECT_EQ(cmds[20], 8100);
    // Leaving the dead band steps in the same frame.
    eng_n1_target_error = 0.0;
    frames(1);
    eng_n1_target_error = -3.0;
    frames(1);
    look();
    EXPECT_EQ(sent(key_throttle1_set), std::vector<i32>{8150});
}

TEST_F(ThrustLaw, HeldStepSurvivesTheClockJumping) {
    n1_mode_on(5);
    eng_n1_target_error = 0.2;
    expect_timer_survives_clock_jumps(host(), JumpTimer{"paced step", 1.0, [&] {
                                                            ats_step_latch = 0;
                                                            frames(1);
                                                        },
                                                        [] { return ats_step_latch == 0; }});
}

TEST_F(ThrustLaw, TakeoffLeverAdvanceBelowMinusFifteen) {
    n1_mode_on(1);
    eng_n1_target_error = -15.01;
    for (f64 lever : {0.9, 0.91}) {
        ats_throttle1_cmd = ats_throttle2_cmd = 0;
        token(tk::lever1, lever);
        frames(1);
        look();
        const bool advance = lever <= 0.9;
        std::vector<u32> order;
        for (const KeyLogEntry& k : keys_) order.push_back(k.id);
        const std::vector<u32> lever_events{key_throttle1_event_101ad, key_throttle2_event_101b2};
        EXPECT_EQ(order, advance ? lever_events : std::vector<u32>()) << lever;
        EXPECT_EQ(ats_throttle1_cmd, advance ? 8150 : 0) << lever;
    }
}

// ---- Speed path ------------------------------------------------------------------------------

TEST_F(ThrustLaw, FifteenKnotsSlowHandsSpeedToTheN1Law) {
    armed();
    press(kSpd);
    eng_n1_mode = 5;
    eng_n1_target_error = -3.0;
    const struct { f64 ias; bool n1_law; } cases[] = {{236.0, false}, {235.0, true}, {236.0, false}};
    for (const auto& c : cases) {
        token(tk::ias, c.ias);
        frames(1);
        look();
        EXPECT_EQ(sent(key_throttle1_set).size(), c.n1_law ? 1u : 0u) << c.ias;
        EXPECT_EQ(host().token(tk::hold), c.n1_law ? 0.0 : 1.0) << c.ias;
    }
}

TEST_F(ThrustLaw, N1LimitPullsBackAndTheFlareHeightWaitsForTheWithinLimitBranch) {
    armed();
    press(kSpd);
    eng_n1_target_selected = 90.0;
    token(tk::n1a, 90.6);
    token(tk::hold, 1.0);
    frames(1);
    look();
    EXPECT_EQ(sent(key_throttle1_set), std::vector<i32>{7990});
    EXPECT_EQ(host().token(tk::hold), 0.0);
    EXPECT_EQ(ap_flare_height_ft, 0.0);
    token(tk::n1a, 90.5);
    frames(1);
    EXPECT_EQ(ap_flare_height_ft, 60.0);
    EXPECT_EQ(host().token(tk::hold), 1.0);
}

TEST_F(ThrustLaw, RetardInLandBelowSixtyFeetAndHoldByLeversBelowLand) {
    armed();
    press(kSpd);
    inst_radio_alt_ft = 50.0;
    // hold: the host's airspeed hold before and after the frame; cmd -1: no throttle command.
    const struct { u8 approach; f64 axis, lever2, ground; u8 ga; f64 hold_before; i32 cmd; f64 hold; } cases[] = {
        {30, 30.0, 0.9, 0.0, 0, 1.0, 0, 0.0},       // retard: floor 0
        {30, 2000.0, 0.9, 0.0, 0, 0.0, 1950, 0.0},  // retard
        {40, 2000.0, 0.9, 1.0, 0, 1.0, -1, 1.0},    // on the ground: nothing
        {30, 2000.0, 0.9, 0.0, 1, 1.0, -1, 1.0},    // go-around: nothing
        {20, 2000.0, 0.79, 0.0, 0, 1.0, -1, 0.0},   // below LAND, a lever back: hold off
        {20, 2000.0, 0.8, 0.0, 0, 0.0, -1, 1.0},    // below LAND, both levers up: hold on
    };
    for (const auto& c : cases) {
        ap_approach_state = c.approach;
        ap_go_around_mode = c.ga;
        token(tk::axis1, c.axis);
        token(tk::lever2, c.lever2);
        token(tk::ground, c.ground);
        token(tk::hold, c.hold_before);
        frames(1);
        look();
        EXPECT_EQ(sent(key_throttle1_set), c.cmd < 0 ? std::vector<i32>{} : std::vector<i32>{c.cmd}) << c.axis;
        EXPECT_EQ(host().token(tk::hold), c.hold) << int(c.approach) << " lever " << c.lever2;
        EXPECT_EQ(ap_go_around_mode, 0) << "the speed path ends a go-around";
    }
}

// ---- Go-around -------------------------------------------------------------------------------

class GoAround : public ThrustLaw {
protected:
    void SetUp() override {
        ThrustLaw::SetUp();
        token(tk::ap, 1.0);
        inst_flap_detent[1] = 5243;
        token(tk::flaps, 0.0);
        token(tk::radio_m, 300.0 / 3.281);
        eng_n1_target_error = 0.0;
    }
    void enter() {
        ats_n1_mode = ap_go_around_mode = ats_ga_started = 0;
        eng_n1_mode = 5;
        n1_mode_on(5);
        eng_n1_mode = 3;
        ap_approach_state = 20;
        ap_vl_mode = ap_alt_mode = 1;
        frames(1);
        look();
    }
};

TEST_F(GoAround, FirstFrameClimbRateByVerticalSpeedAndFlaps) {
    const struct { i32 vs; f64 flaps; i32 cmd; } cases[] = {
        {-600, 0.0, 10},      {-500, 0.0, 500},     {-1, 0.0, 500},       {0, 0.0, 1500},
        {1199, 0.0, 1500},    {1200, 0.0, 2800},    {2499, 0.0, 2800},    {2500, 0.0, 3500},
        {3000, 5244.0, 1500}, {-600, 5244.0, 10},   {-500, 5244.0, 500},  {3000, 5243.0, 3500},
    };
    for (const auto& c : cases) {
        ats_ga_started = 0;
        inst_vs_fpm = c.vs;
        token(tk::flaps, c.flaps);
        enter();
        EXPECT_EQ(ap_go_around_mode, 1) << c.vs;
        EXPECT_EQ(ats_ga_started, 1) << c.vs;
        EXPECT_EQ(ap_vs_command, c.cmd) << c.vs << " flaps " << c.flaps;
        EXPECT_EQ(sent(key_ap_event_101f3), std::vector<i32>{60000}) << c.vs;
        EXPECT_EQ(sent(key_ap_vs_set), std::vector<i32>{c.cmd}) << c.vs;
        EXPECT_EQ(ap_approach_state + ap_vl_mode + ap_alt_mode, 0) << c.vs;
    }
}

TEST_F(GoAround, HostCommandsNeedTheHostAutopilotAndAPitchAboveMinusTwelve) {
    const struct { f64 ap, pitch; size_t alt_events, vs_events; } cases[] = {
        {1.0, -12.0, 1, 0}, {1.0, -11.99, 1, 1}, {0.0, 0.0, 0, 0}, {0.5, 0.0, 0, 0},
    };
    for (const auto& c : cases) {
        ats_ga_started = 0;
        token(tk::ap, c.ap);
        token(tk::pitch, c.pitch);
        enter();
        EXPECT_EQ(sent(key_ap_event_101f3).size(), c.alt_events) << c.ap << " pitch " << c.pitch;
        EXPECT_EQ(sent(key_ap_vs_set).size(), c.vs_events) << c.ap << " pitch " << c.pitch;
        EXPECT_EQ(ap_approach_state, 0);
    }
}

TEST_F(GoAround, DualCommandBecomesSingleAboveSevenHundredFeet) {
    for (const auto& c : {std::pair<f64, u8>{650.0, 3}, {700.0, 3}, {701.0, 1}}) {
        ap_cmd_engaged = 3;
        token(tk::radio_m, c.first / 3.281);
        ats_ga_started = 0;
        enter();
        EXPECT_EQ(ap_cmd_engaged, c.second) << c.first;
    }
}

TEST_F(GoAround, EndsOnAnotherModeTheN1ModeOrTheComputerGoingOff) {
    const struct { const char* what; void (*exit)(); } exits[] = {
        {"HDG S.", [] { ap_hdg_select_mode = 1; }},
        {"ALT", [] { ap_alt_mode = 3; }},
        {"N1 computer off", [] { eng_n1_mode = 0; }},
    };
    for (const auto& x : exits) {
        ats_ga_started = 0;
        ap_cmd_engaged = 2;
        enter();
        frames(1);
        ASSERT_EQ(ap_go_around_mode, 1) << x.what << ": still running";
        x.exit();
        frames(1);
        EXPECT_EQ(ap_go_around_mode, 0) << x.what;
        EXPECT_EQ(ats_n1_mode, 0) << x.what;
        EXPECT_EQ(eng_n1_mode, 0) << x.what;
        EXPECT_EQ(ap_cmd_engaged, 1) << x.what;
        ap_hdg_select_mode = ap_alt_mode = 0;
    }
}

// From SPD mode (N1 off) a go-around lasts one frame, and it turns the N1 computer off.
TEST_F(GoAround, EnteredFromSpeedModeLastsOneFrame) {
    armed();
    press(kSpd);
    eng_n1_mode = 3;
    ap_approach_state = 20;
    token(tk::ias, 235.0);
    frames(1);
    EXPECT_EQ(ap_go_around_mode, 1);
    EXPECT_EQ(ap_approach_state, 0);
    frames(1);
    EXPECT_EQ(ap_go_around_mode, 0);
    EXPECT_EQ(eng_n1_mode, 0);
}

TEST_F(Autothrottle, HostileTokensLeaveEveryCommandOnTheAxisAndTheStateFinite) {
    armed();
    press(kN1);
    eng_n1_mode = 3;
    for (f64 v : {kNaN, kInf, -kInf, 1e300, -1e300}) {
        for (u32 id : {tk::axis1, tk::axis2, tk::n1a, tk::ias, tk::speed, tk::lever1, tk::pitch, tk::flaps, tk::radio_m})
            token(id, v);
        eng_n1_target_error = v;
        ats_step_latch = 0;
        frames(2);
        look();
        for (const KeyLogEntry& k : keys_)
            if (k.id == key_throttle1_set || k.id == key_throttle2_set) {
                EXPECT_GE(i32(k.value), 0) << v;
                EXPECT_LE(i32(k.value), 16383) << v;
            }
        EXPECT_TRUE(std::isfinite(ats_speed_error_kt)) << v;
        EXPECT_GE(ats_speed_target, 0) << v;
    }
}
