// The flight engineer's electrical panels through the host: a click's road through the network,
// flow bars and lamps, silent clicks, ground power, the generator TEST timer and host sync, and the
// meters' per-frame slews.
#include <cmath>
#include <utility>

#include "air/state.h"
#include "electrical/state.h"
#include "module/keys.h"
#include "tests/clock_jump.h"
#include "tests/panel_fixture.h"

namespace {
const char* kSystems = "ketravin flt_deck_lt_kr60";
const char* kBatt = "ketravin elec_batt_kr60";
const char* kDc = "ketravin elec_dc_bus_kr60";
const char* kAc = "ketravin elec_ac_bus_kr60";
const char* kExt = "ketravin elec_ext_pwr_kr60";
const char* kGen = "ketravin elec_gen_kr60";

constexpr u32 kTick = 1, kOnGround = 60, kParkingBrake = 323, kVelX = 551, kVelZ = 552, kEng1N1 = 624,
              kEng1N2 = 625, kEng2N2 = 644, kEng1Gen = 762, kBusVolts = 759;
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);

// Battery i's switch column; its flow bar pair starts at element 1 + 2i.
i32 bat_x(size_t i) { return 25 + 31 * i32(i); }
constexpr i32 kBatOnY = 55, kBatNormY = 80, kBatOffY = 105;
enum { DcTieInLine = 1, DcLampTr1Off = 11, DcLampEssTrOff = 13 };
enum { AcEmergInLine = 1, AcTrans1InLine = 3, AcLampBus1Off = 15, AcLampEssOff = 17, AcKnob = 18 };
enum { ExtLampAvail = 1, ExtLampOn = 2, ExtMsgAvail = 9, ExtMsgOff = 10, ExtMsgNoPwr = 11 };
}  // namespace

// Flow bar pairs read with pair(): S in line, O cross line, - none.
class ElecPanels : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        token(kBusVolts, 24.0);
    }
    std::string bars() { return {pair(kBatt, 1), pair(kBatt, 3), pair(kBatt, 5)}; }
};

// In panel order the network runs before the panels and they answer on the next frame; in reverse
// order the panels see the network's answer one frame later.
class ClickRoad : public ElecPanels, public ::testing::WithParamInterface<bool> {};

TEST_P(ClickRoad, BatteryBarsFollowTheNetworkAndBatteryOnPowersTheEssentialBus) {
    for (const char* g : {kSystems, kBatt, kDc}) place(g);
    host().set_reverse_order(GetParam());
    frames(3);
    EXPECT_LT(battery_current, 0) << "NORM, no source: discharging";
    EXPECT_EQ(bars(), "SSS");
    ext_power_on = 1;  // a source and full batteries: 0 A on charge
    frames(5);
    ASSERT_TRUE(battery_current == 0 && dc_ess_powered == 1);
    EXPECT_EQ(bars(), "OOO");

    ext_power_on = 0;
    for (size_t i = 0; i < 3; ++i) click(kBatt, bat_x(i), kBatOffY);
    frames(3);
    clicks();
    ASSERT_EQ(dc_ess_powered, 0);
    EXPECT_EQ(bars(), "---") << "no flow bar on a dead bus";
    EXPECT_FALSE(shown(kDc, DcLampEssTrOff)) << "OFF lamps need the essential bus";
    ASSERT_TRUE(click(kBatt, bat_x(0), kBatOnY));
    EXPECT_EQ(clicks(), 1u);
    EXPECT_EQ(dc_ess_powered, 0) << "the click only stores the switch";
    frames(GetParam() ? 2 : 1);
    EXPECT_EQ(dc_ess_powered, 1);
    EXPECT_EQ(bars(), "SOO");
    EXPECT_TRUE(shown(kDc, DcLampTr1Off) && shown(kDc, DcLampEssTrOff)) << "TRs without AC, on a live bus";
}
INSTANTIATE_TEST_SUITE_P(BothOrders, ClickRoad, ::testing::Bool());

TEST_F(ElecPanels, BusPanelsShowTheirConditions) {
    place(kDc);
    place(kAc);
    const struct {
        u8 dc_ess, dc_normal, via_tie, tr_out0, ac12, ess_ac, alternate;
        char tie, emerg;
        const char* lamps;  // TR 1 OFF, AC BUS 1 OFF, ESS AC OFF
    } cases[] = {
        {1, 1, 1, 1, 1, 1, 0, 'S', 'O', "000"},  // fed through the tie
        {0, 0, 0, 0, 0, 0, 1, '-', '-', "000"},  // DC essential dead
        {1, 0, 0, 0, 0, 0, 1, 'O', 'S', "101"},  // AC buses dead, DC normal dead
    };
    for (const auto& c : cases) {
        dc_ess_powered = c.dc_ess;
        dc_normal_powered = c.dc_normal;
        elec_dc_ess_via_tie = c.via_tie;
        elec_tr_output[0] = c.tr_out0;
        elec_ac_bus1_powered = elec_ac_bus2_powered = c.ac12;
        elec_ess_ac_powered = c.ess_ac;
        elec_ess_ac_on_alternate = c.alternate;
        warn_ac_fault = 0;
        frames(1);
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        EXPECT_EQ(pair(kDc, DcTieInLine), c.tie);
        EXPECT_EQ(pair(kAc, AcEmergInLine), c.emerg);
        const std::string lamps{char('0' + shown(kDc, DcLampTr1Off)), char('0' + shown(kAc, AcLampBus1Off)),
                                char('0' + shown(kAc, AcLampEssOff))};
        EXPECT_EQ(lamps, c.lamps);
        EXPECT_EQ(warn_ac_fault, lamps.substr(1) != "00" ? 1 : 0) << "raised only with a lamp lit";
        EXPECT_EQ(pair(kAc, AcTrans1InLine) != '-', c.dc_normal == 1) << "transfer bars only on DC normal";
    }
}

TEST_F(ElecPanels, ClickOnTheHeldPositionIsSilentAndSelectorsSaturateSilently) {
    frames(1);
    const struct { const char* gauge; i32 held_x, held_y, other_x, other_y; u8* byte; u8 held, other; } cases[] = {
        {kBatt, bat_x(0), kBatNormY, bat_x(0), kBatOffY, &elec_batt_sw[0], 1, 0},
        {kExt, 60, 40, 60, 10, &elec_ext_pwr_sw, 0, 1},
        {kGen, 20, 85, 20, 60, &elec_gen_sw[0], 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        clicks();
        EXPECT_TRUE(click(c.gauge, c.held_x, c.held_y));
        EXPECT_EQ(*c.byte, c.held);
        EXPECT_EQ(clicks(), 0u);
        click(c.gauge, c.other_x, c.other_y);
        EXPECT_EQ(*c.byte, c.other);
        click(c.gauge, c.held_x, c.held_y);
        EXPECT_EQ(*c.byte, c.held);
        EXPECT_EQ(clicks(), 2u);
    }
    EXPECT_TRUE(new_keys().empty()) << "none of these clicks talks to the host";

    for (int n = 0; n < 12; ++n) click(kAc, 40, 100);  // ESS AC selector, counter-clockwise
    EXPECT_EQ(elec_ess_ac_source_sel, 0);
    for (int n = 0; n < 12; ++n) click(kAc, 120, 100);
    EXPECT_EQ(elec_ess_ac_source_sel, 4);
    EXPECT_EQ(clicks(), 0u);
    // A stray value is brought back to the last legend when the pointer is drawn.
    place(kAc);
    host().window_set(panel_win_fe_1, true);
    elec_ess_ac_source_sel = 200;
    frames(1);
    EXPECT_EQ(elec_ess_ac_source_sel, 4);
    EXPECT_EQ(drawn(kAc, AcKnob).value, 4.0);
}

TEST_F(ElecPanels, GroundPowerAvailabilityAndFeed) {
    place(kExt);
    const struct { f64 on_ground, n2_1, n2_2, brake, vx, vz; bool available; } cases[] = {
        {1.0, 0.0, 0.0, 1.0, 0.0, 0.0, true},    {0.99, 0.0, 0.0, 1.0, 0.0, 0.0, false},  // exactly 1.0
        {1.0, 25.0, 19.99, 1.0, 0.0, 0.0, true}, {1.0, 20.0, 20.0, 1.0, 0.0, 0.0, false},  // one engine may run
        {1.0, 0.0, 0.0, 0.0, 0.0, 0.0, false},   {1.0, 0.0, 0.0, 1.0, 5.0, -5.0, true},   // brake; the sum counts
        {1.0, 0.0, 0.0, 1.0, 1.0, 0.0, true},    {1.0, 0.0, 0.0, 1.0, 1.0, 0.01, false},
        {kNaN, 0.0, 0.0, 1.0, 0.0, 0.0, false},  {1.0, kNaN, kNaN, 1.0, 0.0, 0.0, false},
        {1.0, 0.0, 0.0, 1.0, kInf, -kInf, false},
        {1.0, -kInf, kInf, kInf, 0.0, 0.0, true}, {1.0, 0.0, 0.0, 1.0, 0.0, 0.0, true},  // parked for the feed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        elec_ext_pwr_connected = elec_ext_pwr_msg = 0;
        elec_ext_pwr_msg_running[0] = elec_ext_pwr_msg_running[2] = 0;
        const std::pair<u32, f64> tokens[] = {{kOnGround, c.on_ground}, {kEng1N2, c.n2_1}, {kEng2N2, c.n2_2},
                                              {kParkingBrake, c.brake}, {kVelX, c.vx},     {kVelZ, c.vz}};
        for (const auto& [id, v] : tokens) token(id, v);
        click(kExt, 100, 30);  // connect
        frames(1);
        EXPECT_EQ(elec_ext_pwr_avail + elec_ext_pwr_connected, c.available ? 2 : 0);
        EXPECT_EQ(shown(kExt, ExtLampAvail), c.available);
        EXPECT_TRUE(shown(kExt, c.available ? ExtMsgAvail : ExtMsgNoPwr));
        EXPECT_EQ(elec_ext_pwr_request + ext_power_on, 0) << "connected, EXT PWR down";
    }
    seconds(3.0);  // the messages expire
    click(kExt, 60, 10);
    frames(1);
    EXPECT_TRUE(ext_power_on && air_ext_power_on && shown(kExt, ExtLampOn));
    token(kEng2N2, 20.0);
    token(kEng1N2, 20.0);  // both engines running: a silent disconnection
    frames(1);
    EXPECT_EQ(elec_ext_pwr_connected | ext_power_on | air_ext_power_on, 0);
    EXPECT_FALSE(shown(kExt, ExtMsgOff) || shown(kExt, ExtMsgNoPwr));
}

// Timers counted in ticks, at 10, 18, 30 and 60 frames a second.
class ElecAtFps : public ElecPanels, public ::testing::WithParamInterface<f64> {};

TEST_P(ElecAtFps, GroundPowerConnectThenDisconnectWithinTwoSecondsHidesBothAtTheFirstExpiry) {
    host().set_fps(GetParam());
    place(kExt);
    token(kOnGround, 1.0);
    token(kParkingBrake, 1.0);
    frames(3);
    click(kExt, 100, 30);
    frames(1);
    const f64 connected_at = host().token(kTick);
    seconds(1.0);
    click(kExt, 100, 30);
    frames(1);
    const f64 disconnected_at = host().token(kTick);
    EXPECT_EQ(elec_ext_pwr_connected, 0);
    EXPECT_TRUE(shown(kExt, ExtMsgOff) && shown(kExt, ExtMsgAvail)) << "drawn over the first, still timing";
    while (host().token(kTick) < disconnected_at + 40.0) {
        frames(1);
        const f64 t = host().token(kTick);
        SCOPED_TRACE(testing::Message() << "tick " << t);
        ASSERT_EQ(shown(kExt, ExtMsgAvail) || shown(kExt, ExtMsgOff), t < connected_at + 36.0)
            << "the first expiry hides both";
        ASSERT_EQ(elec_ext_pwr_msg_running[1], t < disconnected_at + 36.0 ? 1 : 0);
    }
    EXPECT_EQ(elec_ext_pwr_msg, 0);
}

TEST_P(ElecAtFps, GeneratorTestPositionsSpringBackOneAfterTheOther) {
    host().set_fps(GetParam());
    place(kGen);
    frames(2);
    click(kGen, 20, 110);  // GEN 1 TEST from OFF RESET
    click(kGen, 150, 60);  // GEN 2 ON, then TEST
    click(kGen, 150, 110);
    ASSERT_TRUE(elec_gen_sw[0] == 2 && elec_gen_sw[1] == 3);
    frames(1);
    const f64 armed = host().token(kTick);
    f64 back[2] = {-1, -1};  // GEN 1 returns 27 ticks after arming, GEN 2 27 after that
    for (int n = 0; n < 20 * int(GetParam()) && back[1] < 0; ++n) {
        frames(1);
        if (back[0] < 0 && elec_gen_sw[0] == 0) back[0] = host().token(kTick);
        if (back[1] < 0 && elec_gen_sw[1] == 1) back[1] = host().token(kTick);
        ASSERT_TRUE(back[0] >= 0 || elec_gen_sw[0] == 2);
    }
    // Each returns on the first frame at or past its deadline.
    const f64 late = 18.0 / GetParam() + 1.0;
    EXPECT_GE(back[0], armed + 27.0);
    EXPECT_LT(back[0], armed + 27.0 + late);
    EXPECT_GE(back[1], back[0] + 27.0);
    EXPECT_LT(back[1], back[0] + 27.0 + late);
    EXPECT_EQ(elec_gen_test_running, 0);
}
INSTANTIATE_TEST_SUITE_P(FrameRates, ElecAtFps, ::testing::Values(10.0, 18.0, 30.0, 60.0));

TEST_F(ElecPanels, TickTimersSurviveTheClockJumpingBack) {
    place(kGen);
    place(kExt);
    const JumpTimer timers[] = {
        {"generator TEST spring-back", 1.5, [&] { click(kGen, 20, 110); }, [] { return elec_gen_sw[0] == 0; }},
        {"ground power message", 2.0, [] { elec_ext_pwr_msg = 1; }, [] { return elec_ext_pwr_msg == 0; }},
    };
    for (const JumpTimer& t : timers) expect_timer_survives_clock_jumps(host(), t);
}

TEST_F(ElecPanels, GeneratorsAndTheHostConverge) {
    place(kGen);
    click(kGen, 20, 60);  // GEN 1 ON; GEN 2 stays OFF RESET
    for (f64 n1 : {5.0, kNaN}) {
        token(kEng1N1, n1);
        frames(3);
        EXPECT_EQ(sends(key_gen1_toggle), 0u) << "N1 " << n1;
    }
    token(kEng1N1, 5.01);
    frames(3);
    EXPECT_EQ(sends(key_gen1_toggle), 1u) << "sent once, then the host is in step";
    EXPECT_EQ(host().token(kEng1Gen), 1.0);
    token(kEng1N1, 0.0);
    click(kGen, 20, 85);  // OFF RESET: no N1 condition
    frames(3);
    EXPECT_EQ(sends(key_gen1_toggle), 1u);
    EXPECT_EQ(host().token(kEng1Gen), 0.0);
}

TEST_F(ElecPanels, MeterSlewSequences) {
    for (const char* g : {"ketravin elec_ind_dc_v_kr60", "ketravin elec_ind_ac_frq_kr60"}) place(g);
    host().set_reverse_order(true);
    using V = std::vector<i64>;
    auto run = [&](auto& reading, size_t n) {
        V seen;
        for (size_t i = 0; i < n; ++i) {
            frames(1);
            seen.push_back(i64(reading));
        }
        return seen;
    };
    // Frequency from 400 Hz with nothing selected: down to 370 Hz in 15 frames.
    EXPECT_EQ(run(elec_ac_freq_dev, 16),
              (V{-20, -40, -60, -80, -100, -120, -140, -160, -180, -200, -220, -240, -260, -280, -300, -300}));
    elec_dc_meter_sel = 2;  // TR 1
    elec_tr_output[0] = 1;
    EXPECT_EQ(run(elec_dc_volts, 11), (V{4, 8, 12, 16, 18, 20, 22, 24, 26, 28, 28}));
}
