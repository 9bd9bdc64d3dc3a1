// The hydraulic model through the host: pressure timelines in frames at several frame rates,
// the gate, spool-up, transfers, availability, and the host actions on loss of circuits.
#include "autoflight/state.h"
#include "tests/core/systems_fixture.h"

namespace {
void set_pressures(u32 blue, u32 green, u32 yellow) {
    hyd_press_blue = blue;
    hyd_press_green1 = hyd_press_green2 = hyd_press_green = green;
    hyd_press_yellow = yellow;
}
void set_pumps(u8 blue, u8 green1, u8 green2, u8 yellow) {
    hyd_eng_pump_sw[0] = blue;
    hyd_eng_pump_sw[1] = green1;
    hyd_eng_pump_sw[2] = green2;
    hyd_eng_pump_sw[3] = yellow;
}
}  // namespace

// Pressures move per frame, whatever the frame rate.
class PressureTimeline : public SystemsTest, public ::testing::WithParamInterface<f64> {};
TEST_P(PressureTimeline, HundredFramesUpTwoHundredDown) {
    host().set_fps(GetParam());
    start();
    hyd_xfer_sw[0] = hyd_xfer_sw[1] = 0;
    engines(25.0, 25.0);
    frames(99);
    EXPECT_EQ(hyd_press_blue, 2970u);
    EXPECT_EQ(hyd_avail[0], 1);
    frames(1);
    for (u32 p : {hyd_press_blue, hyd_press_green1, hyd_press_green2, hyd_press_green, hyd_press_yellow})
        EXPECT_EQ(p, 3000u);
    engines(0.0, 0.0);
    frames(199);
    EXPECT_EQ(hyd_press_blue, 15u);
    EXPECT_EQ(hyd_avail[0], 0);
    frames(1);
    for (u32 p : {hyd_press_blue, hyd_press_green1, hyd_press_green2, hyd_press_green, hyd_press_yellow})
        EXPECT_EQ(p, 0u);
}
INSTANTIATE_TEST_SUITE_P(Fps, PressureTimeline, ::testing::Values(10.0, 18.0, 30.0, 60.0));

TEST_F(SystemsTest, NoPumpOrNoOpenValveDecaysEveryLine) {
    start();
    engines(25.0, 25.0);
    token(tk::ias, 300.0);
    struct {
        u8 pump, valve;
    } cases[] = {{0, 1}, {200, 0}};
    for (const auto& c : cases) {
        set_pressures(3000, 3000, 3000);
        set_pumps(c.pump, c.pump, c.pump, c.pump);
        std::memset(hyd_pump_fire_valve, c.valve, sizeof hyd_pump_fire_valve);
        frames(1);
        for (u32 p : {hyd_press_blue, hyd_press_green1, hyd_press_green2, hyd_press_yellow})
            EXPECT_EQ(p, 2985u) << int(c.pump) << int(c.valve);
    }
    // A line given a value that is not a multiple of 15 still decays to 0, never below.
    set_pressures(7, 7, 7);
    frames(1);
    EXPECT_EQ(hyd_press_blue, 0u);
}

TEST_F(SystemsTest, ASpoolingPumpHoldsItsLineFor20Frames) {
    start();
    engines(25.0, 0.0);
    set_pumps(100, 0, 0, 0);
    set_pressures(1500, 0, 0);
    hyd_xfer_sw[0] = 0;
    frames(20);
    EXPECT_EQ(hyd_press_blue, 1500u);
    EXPECT_EQ(hyd_eng_pump_sw[0], 200);
    frames(1);
    EXPECT_EQ(hyd_press_blue, 1530u);
    // Switched off: 19 frames down to 0, and a byte below the step never wraps.
    hyd_eng_pump_sw[0] = 95;
    hyd_eng_pump_sw[1] = 3;
    frames(18);
    EXPECT_EQ(hyd_eng_pump_sw[0], 5);
    EXPECT_EQ(hyd_eng_pump_sw[1], 0);
    frames(1);
    EXPECT_EQ(hyd_eng_pump_sw[0], 0);
}

TEST_F(SystemsTest, TransfersBlueLiftsGreenAtOnceYellowANextFrame) {
    start();
    engines(25.0, 0.0);
    set_pumps(200, 0, 0, 0);
    set_pressures(1720, 0, 0);
    frames(1);
    EXPECT_EQ(hyd_press_blue, 1750u);
    EXPECT_EQ(hyd_press_green2, 30u) << "blue of this frame";

    set_pumps(0, 0, 0, 200);
    set_pressures(0, 0, 1720);
    engines(0.0, 25.0);
    frames(1);
    EXPECT_EQ(hyd_press_yellow, 1750u);
    EXPECT_EQ(hyd_press_green1, 0u) << "yellow of the last frame";
    frames(1);
    EXPECT_EQ(hyd_press_green1, 30u);
    engines(0.0, 0.0);
    set_pressures(0, 0, 3000);
    hyd_press_green1 = 0;
    frames(1);
    EXPECT_EQ(hyd_press_green1, 0u) << "only with engine 2 running";
}

TEST_F(SystemsTest, YellowAirDrivenAbove150Knots) {
    start();
    engines(25.0, 0.0);
    hyd_xfer_sw[1] = 0;
    set_pumps(200, 200, 0, 0);
    const struct {
        f64 ias;
        u8 yellow;
    } cases[] = {{150.0, 3}, {149.9, 2}, {400.0, 3}};
    for (const auto& c : cases) {
        token(tk::ias, c.ias);
        hyd_press_yellow = 3000;
        frames(1);
        EXPECT_EQ(hyd_avail[2], c.yellow) << c.ias;
    }
    token(tk::ias, 0.0);
    frames(200);
    EXPECT_EQ(hyd_avail[2], 0) << "no air-driven source below 150 kt";
    EXPECT_EQ(hyd_avail[0], 1);
    EXPECT_EQ(hyd_avail[1], 1);
}

TEST_F(SystemsTest, GreenLostWithYellowAvailableTakesNoAction) {
    start();
    engines(0.0, 25.0);
    set_pumps(0, 0, 0, 200);
    set_pressures(0, 0, 3000);
    hyd_xfer_sw[1] = 0;
    frames(2);  // the cold start's loss of every circuit ends: its events go out again
    new_keys();
    ap_cmd_engaged = 1;
    frames(3);
    EXPECT_EQ(hyd_avail[1], 0);
    EXPECT_EQ(hyd_loss_snapshot_taken, 0);
    EXPECT_EQ(ap_cmd_engaged, 1);
    EXPECT_TRUE(new_keys().empty());
}

TEST_F(SystemsTest, LossOfGreenAndYellowFreezesGearAndSendsEachEventOnce) {
    start();
    engines(25.0, 25.0);
    frames(100);
    new_keys();
    engines(0.0, 0.0);
    set_pressures(0, 0, 0);
    token(tk::gear_left, 16383.0);
    token(tk::gear_right, 16383.0);
    token(tk::sys_fraction, 1.0);
    ap_fd_engaged = ap_cmd_engaged = 3;
    frames(1);
    EXPECT_EQ(hyd_loss_snapshot_taken, 1);
    EXPECT_EQ(hyd_loss_gear_left, 16383u);
    EXPECT_EQ(ap_fd_engaged + ap_cmd_engaged, 0);
    auto keys = new_keys();
    EXPECT_EQ(sent(keys, key_systems_event_10305), 1u);
    EXPECT_EQ(sent(keys, key_systems_event_10306), 1u) << "parking brake was off";
    EXPECT_EQ(sent(keys, key_gear_down), 0u) << "already down";
    token(tk::gear_left, 9000.0);  // the gear starts to move up: sent down, once, the host follows
    frames(3);
    keys = new_keys();
    EXPECT_EQ(sent(keys, key_gear_down), 1u);
    EXPECT_EQ(sent(keys, key_systems_event_10305) + sent(keys, key_systems_event_10306), 0u);
    EXPECT_EQ(host().token(tk::parking_brake), 1.0);

    // Recovery: each event once more, and the snapshot is released.
    engines(25.0, 25.0);
    frames(60);
    keys = new_keys();
    EXPECT_EQ(sent(keys, key_systems_event_10305), 1u);
    EXPECT_EQ(sent(keys, key_systems_event_10306), 1u);
    EXPECT_EQ(hyd_loss_snapshot_taken, 0);
    EXPECT_EQ(hyd_loss_brake_sent + hyd_loss_event_10305_sent, 0);
}

TEST_F(SystemsTest, LossOfAllCircuitsNeutralisesTheHostControls) {
    start();
    token(tk::on_ground, 1.0);
    token(tk::trim_axis, 5000.0);
    token(tk::aileron, 200.0);
    token(tk::yaw_damper, 1.0);
    fctl_yaw_damper_sw[0] = 1;
    frames(1);
    EXPECT_EQ(hyd_all_lost, 1);
    EXPECT_EQ(fctl_yaw_damper_sw[0], 0);
    u32 value = 99;
    auto keys = new_keys();
    EXPECT_EQ(sent(keys, key_trim_axis_set, &value), 1u);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(sent(keys, key_systems_event_1004c), 1u);
    EXPECT_EQ(sent(keys, key_yaw_damper_event_b), 1u);
    frames(5);
    EXPECT_TRUE(new_keys().empty()) << "the host followed every event";

    // In the air the controls go to neutral every frame.
    token(tk::on_ground, 0.0);
    frames(2);
    keys = new_keys();
    EXPECT_EQ(sent(keys, key_rudder_set), 2u);
    EXPECT_EQ(sent(keys, key_aileron_set), 2u);
}

// With every circuit lost the spoiler step runs twice a frame; the second run sees what the
// host made of the first.
TEST_F(SystemsTest, SpoilerStepRunsTwiceWithEveryCircuitLost) {
    start();
    const struct {
        f64 pos, ias;
        u32 key, per_frame;
    } cases[] = {{8000.0, 100.0, key_spoilers_set, 2}, {8000.0, 40.0, key_spoilers_event_10210, 1},
                 {16382.0, 40.0, key_spoilers_event_10210, 0}, {500.0, 40.0, key_spoilers_event_10211, 1},
                 {0.5, 40.0, key_spoilers_event_10211, 0}};
    for (const auto& c : cases) {
        token(tk::spoilers, c.pos);
        token(tk::ias, c.ias);
        new_keys();
        frames(1);
        EXPECT_EQ(sent_now(c.key), c.per_frame) << c.pos << " " << c.ias;
    }
}
