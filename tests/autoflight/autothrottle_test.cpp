// The autothrottle panel through the headless host: knobs and window, arming, modes and trips, both
// thrust tables at their band edges, the paced step, the speed path and the go-around.
#include <cmath>
#include <tuple>
#include <vector>

#include "air/state.h"
#include "autoflight/ap_keys.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "instruments/state.h"
#include "navigation/state.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

namespace {
const char* kPanel = "ketravin ap_ats_kr60";
namespace tk {
constexpr u32 ground = 60, ias = 61, pitch = 78, ap = 103, hold = 115, speed = 116, arm = 123, axis1 = 128,
              axis2 = 163, flaps = 329, gear = 332, radio_m = 614, n1a = 624, n1b = 643;
}
struct Point { i32 x, y; };
constexpr Point kDec1{10, 110}, kInc1{50, 110}, kDec10{10, 150}, kInc10{50, 150}, kSpd{60, 20}, kN1{100, 20},
    kArmOn{100, 70};
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
}  // namespace

class Autothrottle : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kPanel);
        dc_ess_powered = dc_normal_powered = elec_ac_bus1_powered = inst_adc1_ok = inst_adc1_ias_valid = 1;
        inst_radio_alt_ft = 2000.0;
        for (auto [id, v] : {std::pair<u32, f64>{tk::n1a, 80.0}, {tk::n1b, 80.0}, {tk::speed, 250.0}, {tk::ias, 250.0},
                             {tk::axis1, 8000.0}, {tk::axis2, 6000.0}, {558, 0.9}, {568, 0.9}})
            token(id, v);
    }
    void press(Point p) { ASSERT_TRUE(click(kPanel, p.x, p.y)); }
    // A/T armed, N1 (or SPD) on, the N1 computer in `computer`.
    void engage(Point mode, u8 computer) {
        press(kArmOn);
        frames(1);
        ats_n1_mode = ats_spd_mode = ap_go_around_mode = ats_ga_started = 0;
        eng_n1_mode = computer;
        press(mode);
        new_keys();
    }
    // Values of one event sent on the last frame().
    std::vector<i32> sent(u32 key) const {
        std::vector<i32> v;
        for (const KeyLogEntry& k : keys_)
            if (k.id == key) v.push_back(i32(k.value));
        return v;
    }
    void frame() {
        frames(1);
        keys_ = new_keys();
    }
    std::vector<KeyLogEntry> keys_;
};

TEST_F(Autothrottle, KnobsClampAndSendAndTheWindowSeesOnlyWholeKnotsUpTo999) {
    const struct { i32 from; Point knob; i32 to; } knobs[] = {
        {389, kInc10, 399}, {395, kInc10, 400}, {0, kDec1, 0}, {400, kInc1, 400}, {5, kDec10, 0}};
    for (const auto& c : knobs) {
        token(tk::speed, c.from);
        frame();
        press(c.knob);
        frame();
        EXPECT_EQ(sent(key_ap_speed_set), std::vector<i32>{c.to}) << c.from;
        EXPECT_EQ(ats_speed_target, c.to) << "back from the host: " << c.from;
    }
    const struct { f64 host; i32 target, d100, d10; f64 d1; } window[] = {
        {137.9, 137, 9, 7, 3.0}, {kNaN, 137, 9, 7, 3.0}, {-40.0, 0, 0, 0, 0.0}, {1e12, 1000000000, 1, 1, 1.0}};
    for (const auto& c : window) {
        token(tk::speed, c.host);
        frame();
        EXPECT_EQ(ats_speed_target, c.target) << c.host;
        EXPECT_TRUE(ats_drum_100 == c.d100 && ats_drum_10 == c.d10 && ats_drum_1 == c.d1) << c.host;
    }
}

// One flight of the arm switch and the buttons, with the annunciator acknowledging THR OFF.
TEST_F(Autothrottle, ArmingTripsAndThrOffAcknowledgement) {
    place("ketravin idpp_kr60");
    token(tk::ground, 1.0);
    token(tk::n1a, 20.0);
    token(tk::axis1, 0.0);
    press(kArmOn);
    frame();
    EXPECT_EQ(std::make_tuple(ats_arm_state, warn_thr_off, ats_thr_off_ref), std::make_tuple(u8(2), u8(1), 0))
        << "below 25 % N1: disconnected on the first frame";
    for (const auto& [axis, state] : {std::pair<f64, u8>{0.0, 2}, {2.0, 2}, {3.0, 0}}) {
        token(tk::axis1, axis);
        frame();
        EXPECT_EQ(ats_arm_state, state) << "axis " << axis;
    }
    EXPECT_EQ(std::make_pair(ats_thr_off_ref, warn_thr_off), std::make_pair(65000, u8(0)));

    token(tk::n1a, 80.0);
    for (const auto& [n1, mode] : {std::pair<f64, u8>{20.0, 0}, {20.5, 1}, {kNaN, 0}}) {  // both engines above 20 %
        ats_arm_state = 1;
        ats_n1_mode = 0;
        eng_n1_mode = 5;
        token(tk::n1b, n1);
        press(kN1);
        EXPECT_EQ(ats_n1_mode, mode) << n1;
    }
    token(tk::n1b, 80.0);
    engage(kSpd, 5);
    EXPECT_EQ(ats_spd_mode, 1);
    press(kSpd);
    EXPECT_EQ(ats_spd_mode, 2) << "pressed while on: a disconnect";
    engage(kN1, 3);  // GA on the ground
    EXPECT_EQ(ats_n1_mode, 0);
    token(tk::ground, 0.0);
    token(tk::gear, 1.0);
    ap_approach_state = 20;
    token(tk::gear, 0.0);
    press(kN1);
    EXPECT_EQ(ats_n1_mode, 0) << "GA with the gear up";
    token(tk::gear, 1.0);
    press(kN1);
    EXPECT_EQ(ats_n1_mode, 1) << "GA airborne with the gear down";
    EXPECT_EQ(ap_approach_state, 0);
    eng_n1_mode = 5;
    frame();
    token(tk::n1b, 28.0);
    frame();
    EXPECT_EQ(ats_n1_mode, 1) << "28 % is not below 28";
    token(tk::n1b, 27.0);
    frame();
    EXPECT_EQ(sent(key_autothrottle_arm_set), std::vector<i32>{0}) << "N1 trip disarms the host";
    EXPECT_EQ(std::make_pair(ats_arm_state, warn_thr_off), std::make_pair(u8(2), u8(0)));
    frame();
    EXPECT_EQ(warn_thr_off, 1) << "THR OFF on the next frame";
    EXPECT_EQ(host().token(tk::arm), 0.0);
}

// The SPD and N1 lamps by their modes, dark without DC ESS; the switch images by the arm state.
TEST_F(Autothrottle, LampsAndSwitchFollowTheModes) {
    enum { SpdLamp = 1, N1Lamp, ArmUp, ArmDown };
    const struct { u8 arm, spd, n1, power; bool spd_lit, n1_lit; } cases[] = {
        {1, 1, 0, 1, true, false}, {1, 0, 1, 1, false, true}, {1, 0, 0, 1, false, false}, {1, 1, 0, 0, false, false},
        {0, 0, 0, 1, false, false}};
    for (const auto& c : cases) {
        ats_arm_state = c.arm;
        ats_spd_mode = c.spd;
        ats_n1_mode = c.n1;
        dc_ess_powered = c.power;
        frame();
        SCOPED_TRACE(testing::Message() << int(c.arm) << int(c.spd) << int(c.n1) << int(c.power));
        EXPECT_EQ(!hidden(element(kPanel, SpdLamp)), c.spd_lit);
        EXPECT_EQ(!hidden(element(kPanel, N1Lamp)), c.n1_lit);
        EXPECT_EQ(std::make_pair(hidden(element(kPanel, ArmUp)), hidden(element(kPanel, ArmDown))),
                  std::make_pair(c.arm != 1, c.arm == 1));
    }
}

// Armed, any arming condition lost (ESS AC source off NORM, AC bus 1, normal DC, ADC 1) disconnects
// at once: the host autothrottle and airspeed hold off, SPD and N1 off, THR OFF in the same frame.
TEST_F(Autothrottle, LostArmingConditionDisconnects) {
    u8* const inputs[] = {&elec_ess_ac_source_sel, &elec_ac_bus1_powered, &dc_normal_powered, &inst_adc1_ok};
    for (u8* input : inputs) {
        ats_thr_off_latched = 0;
        warn_thr_off = 0;
        engage(kSpd, 5);
        token(tk::hold, 1.0);
        const u8 good = *input;
        *input = good == 2 ? 1 : 0;
        frame();
        EXPECT_EQ(std::make_tuple(ats_arm_state, ats_spd_mode, ats_n1_mode, warn_thr_off),
                  std::make_tuple(u8(2), u8(0), u8(0), u8(1))) << int(good);
        EXPECT_EQ(std::make_pair(host().token(tk::arm), host().token(tk::hold)), std::make_pair(0.0, 0.0));
        *input = good;
    }
    for (f64 n1 : {25.0, kNaN}) {  // an engine at 25 % N1, or one that is no number, disarms the host as well
        ats_thr_off_latched = warn_thr_off = 0;
        token(tk::n1b, 80.0);
        engage(kSpd, 5);
        frame();
        ASSERT_EQ(host().token(tk::arm), 1.0);
        token(tk::n1b, n1);
        frame();
        EXPECT_EQ(std::make_tuple(ats_arm_state, host().token(tk::arm), warn_thr_off), std::make_tuple(u8(2), 0.0, u8(1)))
            << n1;
    }
}

// Not armed (off, or disconnected with THR OFF already raised): SPD and N1 drop, and the host's
// autothrottle and airspeed hold are switched off.
TEST_F(Autothrottle, NotArmedDropsTheModesAndTheHost) {
    for (u8 arm : {0, 2}) {
        ats_arm_state = arm;
        ats_thr_off_latched = 1;
        ats_spd_mode = ats_n1_mode = 1;
        token(tk::arm, 1.0);
        token(tk::hold, 1.0);
        frame();
        EXPECT_EQ(std::make_tuple(ats_spd_mode, ats_n1_mode, host().token(tk::arm), host().token(tk::hold)),
                  std::make_tuple(u8(0), u8(0), 0.0, 0.0)) << int(arm);
    }
}

// SPD trips to 2 (a disconnect, for the annunciator to flash and clear) without INS 1 navigating,
// without ADC 1 airspeed, or on the ground with either lever below 0.05.
TEST_F(Autothrottle, SpdTripsOnLostInsAirspeedOrALeverAtIdleOnTheGround) {
    const struct { u8 ins, ias_valid; f64 ground, lever2; u8 spd; } cases[] = {
        {2, 1, 0.0, 0.9, 2}, {3, 0, 0.0, 0.9, 2}, {3, 1, 1.0, 0.04, 2}, {3, 1, 1.0, 0.05, 1}, {3, 1, 0.0, 0.0, 1}};
    for (const auto& c : cases) {
        engage(kSpd, 5);
        ins1_status = c.ins;
        inst_adc1_ias_valid = c.ias_valid;
        token(tk::ground, c.ground);
        token(568, c.lever2);
        frame();
        EXPECT_EQ(ats_spd_mode, c.spd) << int(c.ins) << int(c.ias_valid) << " " << c.ground << " " << c.lever2;
        ins1_status = 3;
        inst_adc1_ias_valid = 1;
    }
}

// Engine 1 axis `axis`, engine 2 axis 6000; both engines get one command. cmd -1: the dead band sends nothing.
TEST_F(Autothrottle, BandEdgesOfBothTablesOnTheAxis) {
    const struct { u8 computer; f64 e, axis; i32 cmd; bool every_frame = false; f64 axis2 = 6000.0; } cases[] = {
        {1, -15.0, 8000, 6050, false, kNaN},  // first: engine 2's axis as last reported, never a made-up 0
        {5, -10.01, 8000, 8200}, {5, -10.0, 8000, 8150}, {5, -5.0, 8000, 8050}, {5, -1.0, 8000, 8050},
        {5, -0.5, 8000, 8020},   {5, -0.1, 8000, 8005},  {5, -0.05, 8000, 8001}, {5, -0.049, 8000, -1},
        {5, 0.05, 8000, 7999},   {5, 0.1, 8000, 7995},   {5, 3.0, 8000, 7950},  {5, 10.0, 8000, 7850},
        {5, 10.01, 8000, 7990, true},
        {1, -15.0, 8000, 6050},  {1, -5.0, 8000, 8015},  {1, -2.0, 8000, 8015}, {1, -1.0, 8000, 8003},
        {1, -0.5, 8000, 8002},   {1, -0.15, 8000, 8001}, {1, 0.149, 8000, -1},  {1, 0.15, 8000, 7900},
        {1, 0.5, 8000, 7800},    {1, 2.0, 8000, 7700},   {1, 5.0, 8000, 7600},  {1, 5.01, 8000, 7500, true},
        {5, 3.5, 100, 0},        {5, -11.0, 16300, 16383}, {5, -11.0, kNaN, 16383},  // no reading: the axis last reported
    };
    engage(kN1, 5);
    for (const auto& c : cases) {
        token(tk::axis1, c.axis);
        token(tk::axis2, c.axis2);
        ats_step_latch = 0;
        eng_n1_mode = c.computer;
        eng_n1_target_error = c.e;
        frame();
        SCOPED_TRACE(testing::Message() << int(c.computer) << " e " << c.e);
        EXPECT_EQ(sent(key_throttle1_set), c.cmd < 0 ? std::vector<i32>{} : std::vector<i32>{c.cmd});
        EXPECT_EQ(ats_step_latch, c.cmd >= 0 && !c.every_frame ? 1 : 0);
        EXPECT_TRUE(sent(key_ats_event_1044b).empty());
    }
    eng_n1_mode = 5;
    for (f64 e : {20.0, kInf}) {
        token(tk::axis1, 8000.0);
        eng_n1_target_error = e;
        frame();
        EXPECT_EQ(sent(key_throttle1_set), std::vector<i32>{7990}) << e;
        EXPECT_EQ(sent(key_ats_event_1044b).size() + sent(key_ats_event_1044c).size(), 2u) << e << " % over";
    }
}

// Take-off thrust more than 15 % short: while lever 1 is at or below 0.9 the lever-advance events
// go out every frame and the commands are set to axis + 150 without being sent; above, nothing.
TEST_F(Autothrottle, LeverAdvanceBelowTheTakeoffTable) {
    engage(kN1, 1);
    eng_n1_target_error = -15.5;
    for (const auto& [lever, events, cmd] : {std::tuple<f64, size_t, i32>{0.9, 2, 8150}, {0.91, 0, 8000}}) {
        token(558, lever);
        token(tk::axis1, 8000.0);
        ats_throttle1_cmd = ats_throttle2_cmd = 8000;
        frame();
        EXPECT_EQ(sent(key_throttle1_event_101ad).size() + sent(key_throttle2_event_101b2).size(), events) << lever;
        EXPECT_TRUE(sent(key_throttle1_set).empty()) << lever;
        EXPECT_EQ(std::make_pair(ats_throttle1_cmd, ats_throttle2_cmd), std::make_pair(cmd, cmd)) << lever;
    }
}

// At 18 fps a paced command goes out on 19 frames, then one step on from the host's axis.
TEST_F(Autothrottle, PacedStepHeldEighteenTicksAndAFrameAlsoAcrossClockJumps) {
    engage(kN1, 5);
    eng_n1_target_error = -3.0;  // +50
    std::vector<i32> cmds;
    for (int i = 0; i < 20; ++i) {
        frame();
        cmds.push_back(sent(key_throttle1_set).at(0));
    }
    EXPECT_EQ(std::vector<i32>(cmds.begin(), cmds.begin() + 19), std::vector<i32>(19, 8050));
    EXPECT_EQ(cmds[19], 8100);
    const auto step = [this] {
        ats_step_latch = 0;
        frames(1);
    };
    expect_timer_survives_clock_jumps(host(), {"paced step", 1.0, step, [] { return ats_step_latch == 0; }});
}

// SPD: 14 kt slow keeps the host's airspeed hold; 15 kt slow hands over to the N1 law. The
// flare height is set only by the N1-within-limit branch; the LAND retard floors at 0.
TEST_F(Autothrottle, SpeedPathHoldLimitAndRetard) {
    engage(kSpd, 5);
    eng_n1_target_error = -3.0;
    const struct { f64 ias, radio_ft, axis; i32 cmd; f64 hold; } cases[] = {
        {236.0, 2000.0, 8000.0, -1, 1.0}, {235.0, 2000.0, 8000.0, 8050, 0.0}, {250.0, 50.0, 30.0, 0, 0.0}};
    eng_n1_target_selected = 80.0;
    token(tk::n1a, 80.6);
    frame();
    EXPECT_EQ(sent(key_throttle1_set), std::vector<i32>{7990}) << "N1 limit pulls back 10";
    EXPECT_EQ(ap_flare_height_ft, 0.0);
    for (const auto& c : cases) {
        ats_step_latch = 0;
        ap_approach_state = c.radio_ft < 60.0 ? 30 : 0;
        inst_radio_alt_ft = c.radio_ft;
        token(tk::ias, c.ias);
        token(tk::n1a, 80.0);
        token(tk::axis1, c.axis);
        frame();
        EXPECT_EQ(sent(key_throttle1_set), c.cmd < 0 ? std::vector<i32>{} : std::vector<i32>{c.cmd}) << c.ias;
        EXPECT_EQ(host().token(tk::hold), c.hold) << c.ias;
        EXPECT_EQ(ap_flare_height_ft, 60.0);
    }
    // At or below 60 ft outside LAND the host holds the speed only with both levers from 0.8.
    ap_approach_state = 0;
    inst_radio_alt_ft = 60.0;
    token(tk::ias, 250.0);
    for (const auto& [lever1, lever2, hold] :
         {std::tuple<f64, f64, f64>{0.8, 0.8, 1.0}, {0.85, 0.79, 0.0}, {kNaN, 0.85, 0.0},  // neither: nothing sent
          {0.85, 0.85, 1.0}, {0.79, 0.9, 0.0}}) {
        token(558, lever1);
        token(568, lever2);
        frame();
        EXPECT_EQ(host().token(tk::hold), hold) << lever1 << " " << lever2;
    }
}

// enter(): N1 on with the N1 computer in GA, airborne with the gear down, on an approach.
TEST_F(Autothrottle, GoAroundClimbRatePitchFloorDualCommandAndExits) {
    auto enter = [&](f64 pitch) {
        for (auto [id, v] : {std::pair<u32, f64>{tk::ap, 1.0}, {tk::pitch, pitch}, {tk::gear, 1.0}}) token(id, v);
        inst_flap_detent[1] = 5243;
        engage(kN1, 3);
        ap_approach_state = 20;
        frame();
    };
    const struct { i32 vs; f64 flaps, pitch, radio_ft; u8 cmd; std::vector<i32> vs_sent; } cases[] = {
        {-600, 0, 0, 300, 3, {10}},   {-500, 0, 0, 300, 3, {500}},  {1199, 0, 0, 300, 3, {1500}},
        {1200, 0, 0, 300, 3, {2800}}, {2500, 0, 0, 300, 3, {3500}}, {3000, 5244, 0, 300, 3, {1500}},
        {0, 0, -12.0, 300, 3, {}},    {0, 0, -11.9, 300, 3, {1500}}, {0, 0, 0, 650, 3, {1500}},
        {0, 0, 0, 701, 1, {1500}}};
    for (const auto& c : cases) {
        inst_vs_fpm = c.vs;
        token(tk::flaps, c.flaps);
        token(tk::radio_m, c.radio_ft / 3.281);
        ap_cmd_engaged = 3;
        ap_pitch_hold_engaged = 1;
        enter(c.pitch);
        EXPECT_EQ(ap_pitch_hold_engaged, 0) << "PITCH lets go in the go-around";
        SCOPED_TRACE(testing::Message() << c.vs << " flaps " << c.flaps << " pitch " << c.pitch << " " << c.radio_ft);
        EXPECT_EQ(std::make_pair(ap_go_around_mode, ap_approach_state), std::make_pair(u8(1), u8(0)));
        EXPECT_EQ(sent(key_ap_event_101f3), std::vector<i32>{60000});
        EXPECT_EQ(sent(key_ap_vs_set), c.vs_sent);
        EXPECT_EQ(ap_cmd_engaged, c.cmd);
    }
    for (const auto& [vs, command] : {std::pair<i32, i32>{1300, 2800}, {-100, 500}}) {  // re-picked every frame
        inst_vs_fpm = vs;
        frame();
        EXPECT_EQ(std::make_pair(ap_go_around_mode, ap_vs_command), std::make_pair(u8(1), command)) << vs;
        EXPECT_EQ(sent(key_ap_vs_set), std::vector<i32>{command}) << vs;
    }
    ap_hdg_select_mode = 1;
    frame();
    EXPECT_EQ(ap_go_around_mode + ats_n1_mode + eng_n1_mode, 0) << "HDG S. ends it the next frame";
    // From SPD (N1 off, 15 kt slow) it lasts one frame and turns the N1 computer off.
    engage(kSpd, 3);
    token(tk::ias, 235.0);
    frame();
    EXPECT_EQ(ap_go_around_mode, 1);
    frame();
    EXPECT_EQ(ap_go_around_mode + eng_n1_mode, 0);
}

// THR OFF saves the engine 1 axis the host last reported; an axis that is no number is no movement
// of the throttle, an infinite one lies beyond both bounds; an N1 push in GA with a gear that is
// no number finds it not down.
TEST_F(Autothrottle, ThrottleOffAndGoAroundReadTheLastReportedValues) {
    place("ketravin idpp_kr60");
    press(kArmOn);
    frame();
    token(tk::axis1, kNaN);
    press({100, 130});  // A/T off: THR OFF on the next frame
    frame();
    frame();
    ASSERT_EQ(warn_thr_off, 1);
    EXPECT_EQ(ats_thr_off_ref, 8000);
    for (const auto& [axis, warn] : {std::pair<f64, u8>{kNaN, 1}, {8002.0, 1}, {kNaN, 1}, {8002.5, 0}, {kInf, 0},
                                     {-kInf, 0}}) {
        if (warn_thr_off == 0) {  // acknowledged: the next disconnect saves 8000
            token(tk::axis1, 8000.0);
            press({100, 130});
            frame();
            ASSERT_EQ(std::make_pair(warn_thr_off, ats_thr_off_ref), std::make_pair(u8(1), 8000));
        }
        token(tk::axis1, axis);
        frame();
        EXPECT_EQ(std::make_tuple(warn_thr_off, ats_arm_state), std::make_tuple(warn, u8(warn == 1 ? 2 : 0))) << axis;
    }

    token(tk::ground, 0.0);
    token(tk::gear, 1.0);
    engage(kN1, 3);  // GA airborne, gear down
    ASSERT_EQ(ats_n1_mode, 1);
    press(kN1);  // off
    token(tk::gear, kNaN);
    press(kN1);
    EXPECT_EQ(ats_n1_mode, 0) << "a gear that is no number is not down";
}
