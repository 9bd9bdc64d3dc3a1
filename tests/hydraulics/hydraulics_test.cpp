// The hydraulic model through the host: pressure timelines in frames, the gate, spool-up,
// availability, and the host actions on loss of circuits.
#include <string>

#include "autoflight/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "tests/systems/systems_fixture.h"

namespace {
void set_pressures(u32 blue, u32 green, u32 yellow) {
    hyd_press_blue = blue;
    hyd_press_green1 = hyd_press_green2 = hyd_press_green = green;
    hyd_press_yellow = yellow;
}
std::string bytes(const u8* b, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += char('0' + b[i]);
    return s;
}
void set_pumps(u8 blue, u8 green1, u8 green2, u8 yellow) {
    const u8 sw[4] = {blue, green1, green2, yellow};
    std::memcpy(hyd_eng_pump_sw, sw, sizeof sw);
}
}  // namespace

// Pressures move per frame, whatever the frame rate.
class PressureTimeline : public SystemsTest, public ::testing::WithParamInterface<f64> {};
TEST_P(PressureTimeline, HundredFramesUpTwoHundredDown) {
    host().set_fps(GetParam());
    start();
    hyd_xfer_sw[0] = hyd_xfer_sw[1] = 0;
    const struct { f64 n2; u32 frames_before, before, after; } legs[] = {{25.0, 99, 2970, 3000}, {0.0, 199, 15, 0}};
    for (const auto& l : legs) {
        engines(l.n2, l.n2);
        frames(l.frames_before);
        EXPECT_EQ(hyd_press_blue, l.before);
        frames(1);
        for (u32 p : {hyd_press_blue, hyd_press_green1, hyd_press_green2, hyd_press_green, hyd_press_yellow})
            EXPECT_EQ(p, l.after);
    }
}
INSTANTIATE_TEST_SUITE_P(Fps, PressureTimeline, ::testing::Values(10.0, 60.0));

TEST_F(SystemsTest, NoPumpOrNoOpenValveDecaysEveryLineNeverBelowZero) {
    start();
    engines(25.0, 25.0);
    token(tk::ias, 300.0);
    const struct { u8 pump, valve; u32 from, to; } cases[] = {{0, 1, 3000, 2985}, {200, 0, 7, 0}};
    for (const auto& c : cases) {
        set_pressures(c.from, c.from, c.from);
        set_pumps(c.pump, c.pump, c.pump, c.pump);
        std::memset(hyd_pump_fire_valve, c.valve, sizeof hyd_pump_fire_valve);
        frames(1);
        for (u32 p : {hyd_press_blue, hyd_press_green1, hyd_press_green2, hyd_press_yellow})
            EXPECT_EQ(p, c.to) << int(c.pump) << int(c.valve) << " " << c.from;
    }
    // Two pumps running are pumps running, whichever two.
    set_pressures(3000, 3000, 3000);
    set_pumps(0, 200, 200, 0);
    std::memset(hyd_pump_fire_valve, 1, sizeof hyd_pump_fire_valve);
    frames(1);
    EXPECT_EQ(std::vector<u32>({hyd_press_blue, hyd_press_green1, hyd_press_green2, hyd_press_yellow}),
              std::vector<u32>({3000, 3000, 3000, 3000}));
    // Any valve open passes the gate: the lines behind the open ones rise, the others decay; a
    // running electric pump adds to the open valves and lifts both green lines.
    token(tk::ias, 0.0);
    hyd_xfer_sw[0] = hyd_xfer_sw[1] = 0;
    set_pumps(200, 200, 200, 200);
    all_buses();
    const struct { u8 valves[4]; u8 elec; std::vector<u32> lines; } open[] = {
        {{1, 1, 0, 0}, 0, {1530, 1530, 1485, 1485}},
        {{0, 1, 1, 0}, 0, {1485, 1530, 1530, 1485}},  // one valve of each engine
        {{0, 0, 0, 1}, 1, {1485, 1530, 1530, 1530}},
    };
    for (const auto& o : open) {
        set_pressures(1500, 1500, 1500);
        std::memcpy(hyd_pump_fire_valve, o.valves, sizeof o.valves);
        hyd_elec_pump_sw[0] = o.elec;
        frames(1);
        EXPECT_EQ((std::vector<u32>{hyd_press_blue, hyd_press_green1, hyd_press_green2, hyd_press_yellow}), o.lines);
    }
}

TEST_F(SystemsTest, ASpoolingPumpHoldsItsLineFor20FramesAndNeverWrapsBelowZero) {
    start();
    engines(25.0, 0.0);
    set_pumps(100, 0, 0, 0);
    set_pressures(1500, 0, 0);
    hyd_xfer_sw[0] = 0;
    frames(20);
    EXPECT_EQ(hyd_press_blue, 1500u);
    frames(1);
    EXPECT_EQ(hyd_press_blue, 1530u);
    hyd_eng_pump_sw[0] = 95;  // switched off: 19 frames down to 0
    hyd_eng_pump_sw[1] = 3;   // below the step
    frames(18);
    EXPECT_EQ(hyd_eng_pump_sw[0], 5);
    EXPECT_EQ(hyd_eng_pump_sw[1], 0);
    frames(1);
    EXPECT_EQ(hyd_eng_pump_sw[0], 0);
}

// Whatever step a pump byte was left on, the spool-up lands on 200 and the run-down on 0.
TEST_F(SystemsTest, EveryPumpByteLandsOnItsRampEnd) {
    start();
    for (u32 from = 0; from < 200; from += 4) {
        set_pumps(u8(from), u8(from + 1), u8(from + 2), u8(from + 3));
        frames(20);  // the longest ramp: 100 up, or 99 down
        for (u32 i = 0; i < 4; ++i)
            EXPECT_EQ(hyd_eng_pump_sw[i], from + i >= 100 ? 200 : 0) << "from " << from + i;
        frames(1);
        for (u32 i = 0; i < 4; ++i) EXPECT_EQ(hyd_eng_pump_sw[i], from + i >= 100 ? 200 : 0) << "stays";
    }
}

TEST_F(SystemsTest, YellowAirDrivenAbove150KnotsWithEngine2Stopped) {
    start();
    engines(25.0, 0.0);
    hyd_xfer_sw[1] = 0;
    set_pumps(200, 200, 0, 0);
    for (auto [ias, yellow] : {std::pair<f64, u8>{150.0, 3}, {149.9, 2}}) {
        token(tk::ias, ias);
        hyd_press_yellow = 3000;
        frames(1);
        EXPECT_EQ(hyd_avail[2], yellow) << ias;
    }
}

TEST_F(SystemsTest, LossOfGreenAndYellowFreezesGearAndSendsEachEventOnce) {
    start();
    engines(25.0, 25.0);
    frames(100);
    new_keys();
    set_pumps(200, 200, 0, 200);  // green lost with yellow available: no action
    hyd_xfer_sw[1] = 0;
    engines(0.0, 25.0);
    set_pressures(0, 0, 3000);
    token(tk::gear_left, 16383.0);
    token(tk::gear_right, 16383.0);
    token(tk::sys_fraction, 1.0);
    ap_fd_engaged = ap_cmd_engaged = 3;
    frames(3);
    EXPECT_EQ(hyd_avail[1], 0);
    EXPECT_EQ(ap_cmd_engaged, 3);
    EXPECT_TRUE(new_keys().empty());
    engines(0.0, 0.0);
    set_pressures(0, 0, 0);
    frames(1);
    EXPECT_EQ(hyd_loss_gear_left, 16383u);
    EXPECT_EQ(ap_fd_engaged + ap_cmd_engaged, 0);
    auto keys = new_keys();
    EXPECT_EQ(sent(keys, key_systems_event_10305), 1u);
    EXPECT_EQ(sent(keys, key_systems_event_10306), 1u) << "parking brake was off";
    EXPECT_EQ(sent(keys, key_gear_down), 0u) << "already down";
    token(tk::gear_left, 9000.0);  // the gear starts up: sent down once, the host follows
    frames(3);
    keys = new_keys();
    EXPECT_EQ(sent(keys, key_gear_down), 1u);
    token(tk::gear_left, 16000.0);  // down enough: no more
    frames(1);
    EXPECT_EQ(sent_now(key_gear_down), 0u);
    EXPECT_EQ(sent(keys, key_systems_event_10305) + sent(keys, key_systems_event_10306), 0u);
    // Rolling on the ground from 10 to 60 kt, both ends included, the watched surface (token 316)
    // is sent back; the host puts it at 0.
    const struct { f64 ground, ias; size_t sent; } rolling[] = {
        {1.0, 9.99, 0}, {1.0, 10.0, 1}, {1.0, 60.0, 1}, {1.0, 60.01, 0}, {0.99, 30.0, 0}};
    for (const auto& r : rolling) {
        token(tk::on_ground, r.ground);
        token(tk::ias, r.ias);
        token(tk::rudder, 100.0);
        frames(1);
        EXPECT_EQ(sent_now(key_fctl_event_10099), r.sent) << r.ground << " " << r.ias;
    }
    engines(25.0, 25.0);  // recovery: each event once more, the snapshot released
    frames(60);
    keys = new_keys();
    EXPECT_EQ(sent(keys, key_systems_event_10305), 1u);
    EXPECT_EQ(sent(keys, key_systems_event_10306), 1u);
    EXPECT_EQ(hyd_loss_snapshot_taken, 0);
    // A second loss with the gear up freezes it up: the gear the host lowers is sent back up.
    token(tk::gear_left, 0.0);
    token(tk::gear_right, 0.0);
    engines(0.0, 0.0);
    set_pressures(0, 0, 0);
    frames(1);
    keys = new_keys();
    EXPECT_EQ(sent(keys, key_systems_event_10305), 1u) << "re-armed by the recovery";
    EXPECT_EQ(sent(keys, key_systems_event_10306), 1u);
    token(tk::gear_left, 9000.0);
    token(tk::gear_right, 9000.0);
    frames(1);
    EXPECT_EQ(sent_now(key_gear_up), 1u);
    EXPECT_EQ(hyd_loss_gear_left + hyd_loss_gear_right, 0u) << "captured once, at the loss";
    // A third loss with only the right gear still out: not up, so the gear is sent down. The right
    // gear is no number at the loss: captured as the host last gave it, not as the second loss read it.
    engines(25.0, 25.0);
    frames(60);
    token(tk::gear_left, 0.0);
    token(tk::gear_right, 9000.0);
    frames(1);
    token(tk::gear_right, f64(NAN));
    new_keys();
    engines(0.0, 0.0);
    set_pressures(0, 0, 0);
    frames(1);
    EXPECT_EQ(hyd_loss_gear_left, 0u);
    EXPECT_EQ(hyd_loss_gear_right, 9000u);
    EXPECT_EQ(sent_now(key_gear_down), 1u);
    // A fourth loss with the host's fraction at 0.99: not above it, so not sent until it is.
    engines(25.0, 25.0);
    frames(60);
    token(tk::sys_fraction, 0.99);
    new_keys();
    engines(0.0, 0.0);
    set_pressures(0, 0, 0);
    frames(1);
    EXPECT_EQ(sent_now(key_systems_event_10305), 0u);
    token(tk::sys_fraction, 0.991);
    frames(1);
    EXPECT_EQ(sent_now(key_systems_event_10305), 1u);
    // Its recovery at 0.01: not below it, so not sent again until it is.
    token(tk::sys_fraction, 0.01);
    engines(25.0, 25.0);
    frames(60);
    EXPECT_EQ(sent_now(key_systems_event_10305), 0u);
    token(tk::sys_fraction, 0.0099);
    frames(1);
    EXPECT_EQ(sent_now(key_systems_event_10305), 1u);
}

TEST_F(SystemsTest, LossOfAllCircuitsNeutralisesTheHostControlsAndRunsSpoilersTwice) {
    start();
    token(tk::on_ground, 1.0);
    token(tk::trim_axis, 5000.0);
    token(tk::aileron, 200.0);
    token(tk::yaw_damper, 1.0);
    warn_yaw_damper = 0;
    frames(1);
    EXPECT_EQ(fctl_yaw_damper_sw[0] + fctl_yaw_damper_sw[1], 0);
    EXPECT_EQ(warn_yaw_damper, 0) << "both levers are down before the dampers' own conditions are judged";
    u32 value = 99;
    auto keys = new_keys();
    EXPECT_EQ(sent(keys, key_trim_axis_set, &value), 1u);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(sent(keys, key_systems_event_1004c), 1u);
    EXPECT_EQ(sent(keys, key_yaw_damper_event_b), 1u);
    frames(5);
    EXPECT_TRUE(new_keys().empty()) << "the host followed every event";
    token(tk::on_ground, 0.0);  // in the air the controls go to neutral every frame
    frames(2);
    keys = new_keys();
    EXPECT_EQ(sent(keys, key_rudder_set), 2u);
    EXPECT_EQ(sent(keys, key_systems_event_1004c), 2u);
    for (const auto& [axis, sends] : {std::pair{1.0, 0u}, {-1.0, 0u}, {1.5, 1u}, {-1.5, 1u}}) {
        token(tk::trim_axis, axis);  // the trim is sent to neutral only from beyond 1 either side
        frames(1);
        EXPECT_EQ(sent_now(key_trim_axis_set), sends) << axis;
    }
    EXPECT_EQ(sent(keys, key_aileron_set), 2u);
    // The spoiler step runs twice a frame; the second run sees what the host made of the first.
    const struct { f64 pos, ias; u32 key, per_frame; } cases[] = {
        {8000.0, 100.0, key_spoilers_set, 2}, {8000.0, 40.0, key_spoilers_event_10210, 1},
        {16382.0, 40.0, key_spoilers_event_10210, 0}, {500.0, 40.0, key_spoilers_event_10211, 1},
        {1.0, 40.0, key_spoilers_event_10211, 1},     {0.99, 40.0, key_spoilers_event_10211, 0},
        {4500.0, 100.0, key_spoilers_set, 2},         {4000.0, 100.0, key_spoilers_set, 0},
        {8000.0, 60.0, key_spoilers_event_10210, 1},  {8000.0, 60.01, key_spoilers_set, 2},  // 60 kt is slow
        {6000.0, 40.0, key_spoilers_event_10210, 0},  {6000.01, 40.0, key_spoilers_event_10210, 1},
        {16381.99, 40.0, key_spoilers_event_10210, 1}};
    for (const auto& c : cases) {
        token(tk::spoilers, c.pos);
        token(tk::ias, c.ias);
        new_keys();
        frames(1);
        u32 value = 0;
        EXPECT_EQ(sent_now(c.key, &value), c.per_frame) << c.pos << " " << c.ias;
        EXPECT_EQ(value, c.per_frame && c.key == key_spoilers_set ? 7000u : 0u) << "retracted to 7000";
    }
}

// Controls go to neutral only with all three circuits lost: any one left keeps them.
TEST_F(SystemsTest, OneCircuitLeftKeepsTheControls) {
    start();
    token(tk::on_ground, 0.0);
    hyd_xfer_sw[0] = hyd_xfer_sw[1] = 0;
    const struct { f64 n2_1, n2_2; u32 blue, green, yellow; u8 all_lost; } cases[] = {
        {25.0, 0.0, 3000, 3000, 0, 0},  // blue and green with engine 1, yellow lost
        {0.0, 25.0, 0, 3000, 3000, 0},  // green and yellow with engine 2, blue lost
        {25.0, 0.0, 3000, 0, 0, 0},
        {0.0, 0.0, 0, 0, 0, 1},
    };
    for (const auto& c : cases) {
        engines(c.n2_1, c.n2_2);
        set_pressures(c.blue, c.green, c.yellow);
        new_keys();
        frames(1);
        EXPECT_EQ(hyd_all_lost, c.all_lost) << c.blue << " " << c.green << " " << c.yellow;
        EXPECT_EQ(sent_now(key_rudder_set), c.all_lost) << "controls to neutral in the air";
    }
}

// Without their own pumps the green lines live on the electric pumps (each on its AC bus) and on
// the transfers: line 1 from yellow with engine 2 running, line 2 from blue with engine 1.
TEST_F(SystemsTest, GreenLinesFromTheElectricPumpsAndTheTransfers) {
    start();
    all_buses();
    const struct { u8 elec1, elec2; f64 n2_1, n2_2; u32 blue, yellow, green1, green2; } cases[] = {
        {1, 0, 0.0, 0.0, 0, 0, 30, 30},
        {0, 1, 0.0, 0.0, 0, 0, 30, 30},
        {0, 0, 0.0, 25.0, 0, 3000, 30, 0},   // yellow through transfer 1, engine 2 running
        {0, 0, 0.0, 0.0, 0, 3000, 0, 0},     // not with engine 2 stopped
        {0, 0, 25.0, 0.0, 3000, 0, 0, 30},   // blue through transfer 0, engine 1 running
    };
    for (const auto& c : cases) {
        hyd_elec_pump_sw[0] = c.elec1, hyd_elec_pump_sw[1] = c.elec2;
        engines(c.n2_1, c.n2_2);
        set_pumps(200, 0, 0, 200);
        set_pressures(c.blue, 0, c.yellow);
        frames(1);
        EXPECT_EQ(hyd_press_green1, c.green1) << &c - cases;
        EXPECT_EQ(hyd_press_green2, c.green2) << &c - cases;
    }
}

// Yellow lost while exit 1 is moving (strictly between 0.001 and 0.999): its event every frame.
TEST_F(SystemsTest, YellowLostWithExit1MovingSendsItsEventEveryFrame) {
    start();
    const struct { u32 yellow; f64 exit1; size_t sent; } cases[] = {
        {0, 0.5, 2}, {0, 0.0011, 2}, {0, 0.001, 0}, {0, 0.999, 0}, {3000, 0.5, 0}};
    for (const auto& c : cases) {
        size_t sent = 0;
        for (int f = 0; f < 2; ++f) {
            hyd_press_yellow = c.yellow;
            token(tk::exit1, c.exit1);  // the host toggles it on each event
            frames(1);
            sent += sent_now(key_exit_event_10356);
        }
        EXPECT_EQ(sent, c.sent) << c.yellow << " " << c.exit1;
    }
}

// An engine runs from N2 20: a circuit with its engine running is available as 1, without as 2.
TEST_F(SystemsTest, EnginesRunFromTwentyPercentN2) {
    start();
    for (const auto& [n2, avail] : {std::pair{20.0, 1}, {19.99, 2}}) {
        engines(n2, n2);
        set_pressures(3000, 3000, 3000);
        frames(1);
        EXPECT_EQ(bytes(hyd_avail, 3), std::string(3, char('0' + avail))) << n2;
    }
}
