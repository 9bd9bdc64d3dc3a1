// The flight engineer's electrical panels through the host: a click's road through the network,
// flow bars and lamps, silent clicks, ground power, the generator TEST timer and host sync, and the
// meters' per-frame slews.
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "air/state.h"
#include "apu/state.h"
#include "electrical/state.h"
#include "sim_control/state.h"
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
              kEng1N2 = 625, kEng2N1 = 643, kEng2N2 = 644, kEng1Gen = 762, kEng2Gen = 764, kBusVolts = 759;
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
using V3 = std::array<f64, 3>;

// Battery i's switch column; its flow bar pair starts at element 1 + 2i.
i32 bat_x(size_t i) { return 25 + 31 * i32(i); }
constexpr i32 kBatOnY = 55, kBatNormY = 80, kBatOffY = 105;
enum { DcTieInLine = 1, DcLampTr1Off = 11, DcLampEssTrOff = 13 };
enum { AcEmergInLine = 1, AcTrans1InLine = 3, AcLampBus1Off = 15, AcLampEssOff = 17, AcKnob = 18 };
enum { ExtLampAvail = 1, ExtLampOn = 2, ExtLeverDown = 3, ExtMsgAvail = 9, ExtMsgOff = 10, ExtMsgNoPwr = 11 };
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

TEST_F(ElecPanels, BatSmokeLampOnlyWithSmokeOnALiveBus) {
    place(kBatt);
    constexpr size_t kLampBatSmoke = 8;
    const struct { u8 smoke, dc_ess; bool shown; } rows[] = {{1, 1, true}, {0, 1, false}, {1, 0, false}, {0, 0, false}};
    for (const auto& r : rows) {
        elec_batt_smoke = r.smoke, dc_ess_powered = r.dc_ess;
        frames(1);
        EXPECT_EQ(shown(kBatt, kLampBatSmoke), r.shown) << int(r.smoke) << " " << int(r.dc_ess);
    }
}

TEST_F(ElecPanels, BusPanelsShowTheirConditions) {
    place(kDc);
    place(kAc);
    const struct {
        u8 dc_ess, dc_normal, via_tie, tr_out0, ac12, ess_ac, alternate;  // TR 2 gives output with TR 1
        char tie, emerg;
        const char* lamps;  // TR 1 OFF, AC BUS 1 OFF, AC BUS 2 OFF, ESS AC OFF
    } cases[] = {
        {1, 1, 1, 1, 1, 1, 0, 'S', 'O', "0000"},  // fed through the tie
        {0, 0, 0, 0, 0, 0, 1, '-', '-', "0000"},  // DC essential dead
        {1, 0, 0, 0, 0, 0, 1, 'O', 'S', "1001"},  // AC buses dead, DC normal dead
        {1, 1, 0, 1, 0, 1, 0, 'O', 'O', "0110"},  // AC buses dead, their lamps on DC normal
    };
    for (const auto& c : cases) {
        dc_ess_powered = c.dc_ess;
        dc_normal_powered = c.dc_normal;
        elec_dc_ess_via_tie = c.via_tie;
        elec_tr_output[0] = elec_tr_output[1] = c.tr_out0;
        elec_ac_bus1_powered = elec_ac_bus2_powered = c.ac12;
        elec_ess_ac_powered = c.ess_ac;
        elec_ess_ac_on_alternate = c.alternate;
        warn_ac_fault = 0;
        frames(1);
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        EXPECT_EQ(pair(kDc, DcTieInLine), c.tie);
        EXPECT_EQ(pair(kAc, AcEmergInLine), c.emerg);
        const std::string lamps{char('0' + shown(kDc, DcLampTr1Off)), char('0' + shown(kAc, AcLampBus1Off)),
                                char('0' + shown(kAc, AcLampBus1Off + 1)), char('0' + shown(kAc, AcLampEssOff))};
        EXPECT_EQ(lamps, c.lamps);
        EXPECT_EQ(shown(kDc, DcLampTr1Off + 1), lamps[0] == '1') << "TR 2 OFF as TR 1 OFF";
        EXPECT_EQ(warn_ac_fault, lamps.substr(1) != "000" ? 1 : 0) << "raised only with a lamp lit";
        EXPECT_EQ(pair(kAc, AcTrans1InLine) != '-', c.dc_normal == 1) << "transfer bars only on DC normal";
        EXPECT_EQ(pair(kAc, AcTrans1InLine + 2) != '-', c.dc_normal == 1);
    }
    dc_normal_powered = 1;  // each transfer bar in line while its contactor is closed
    for (const auto& [closed1, closed2, bars] : {std::tuple{1, 0, "SO"}, {0, 1, "OS"}}) {
        elec_trans_closed[0] = u8(closed1), elec_trans_closed[1] = u8(closed2);
        frames(1);
        EXPECT_EQ((std::string{pair(kAc, AcTrans1InLine), pair(kAc, AcTrans1InLine + 2)}), bars);
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
    for (size_t n = 1; n <= 2; ++n) {  // TEST plays on every click, also from TEST
        click(kGen, 20, 110);
        EXPECT_EQ(clicks(), 1u) << n;
    }
    click(kGen, 49, 79);  // the last pixel of GEN 1's ON box, 32 x 23 from 18, 57
    EXPECT_EQ(elec_gen_sw[0], 1);
    clicks();
    new_keys();
    // APU GEN ON and OFF RESET: the host's APU generator is set on a change, but with ground
    // power on it is left on.
    const u8 ext_before = ext_power_on;
    for (const auto& [y, ext, sw, sounds, keys] : {std::tuple{60, 0, 1, 1u, "1"}, {60, 0, 1, 0u, ""}, {85, 0, 0, 1u, "0"},
                                                    {85, 0, 0, 0u, ""}, {60, 1, 1, 1u, "1"}, {85, 1, 0, 1u, ""}}) {
        ext_power_on = u8(ext);
        click(kGen, 85, y);
        EXPECT_EQ(elec_gen_sw[2], sw);
        EXPECT_EQ(clicks(), sounds) << y;
        std::string sent;
        for (const KeyLogEntry& k : new_keys()) sent += k.id == key_apu_gen_set ? std::to_string(k.value) : "?";
        EXPECT_EQ(sent, keys) << y << " ground power " << ext;
    }
    ext_power_on = ext_before;

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

// Each two-position lever: its click stores its own byte (up 1 except SMOKE DRILL's NORM, 0), the
// down image shows for one byte value, the up image for the other, on the next frame.
TEST_F(ElecPanels, TwoPositionLeversShowTheirByte) {
    for (const char* g : {kDc, kAc, kExt}) place(g);
    const struct { const char* gauge; i32 x, up_y, down_y; size_t down_image; u8* byte; u8 up; } levers[] = {
        {kDc, 20, 60, 100, 3, &elec_tr_sw[0], 1},     {kDc, 160, 60, 100, 5, &elec_tr_sw[1], 1},  // TR 1, TR 2
        {kDc, 90, 60, 100, 7, &elec_tr_sw[2], 1},                                                // ESS TR
        {kDc, 130, 10, 50, 9, &elec_dc_tie_sw, 1},                                               // DC TIE
        {kAc, 20, 200, 230, 7, &elec_line_sw[0], 1},  {kAc, 160, 200, 230, 9, &elec_line_sw[1], 1},
        {kAc, 60, 200, 230, 11, &elec_trans_sw[0], 1}, {kAc, 120, 200, 230, 13, &elec_trans_sw[1], 1},
        {kExt, 20, 60, 100, 5, &elec_smoke_drill_sw, 0}, {kExt, 100, 60, 100, 7, &elec_ess_bus_sw, 1},
    };
    for (const auto& l : levers) {
        SCOPED_TRACE(testing::Message() << l.gauge << " " << l.x << "," << l.up_y);
        for (const auto& [y, image] : {std::pair{l.down_y, 'S'}, {l.up_y, 'O'}, {l.down_y, 'S'}}) {
            click(l.gauge, l.x, y);
            EXPECT_EQ(*l.byte, image == 'O' ? l.up : 1 - l.up);
            frames(1);
            EXPECT_EQ(pair(l.gauge, l.down_image), image);
        }
    }
}

// ESS BUS at NORM EQPT gives level 2 whatever SMOKE DRILL says; below it SMOKE DRILL at LAND gives
// 1, at NORM 0. The AC bus 2 caution is judged only at level 2 and kept below it.
TEST_F(ElecPanels, EssentialEquipmentLevelAndTheBus2Caution) {
    place(kExt);
    const struct { bool norm_eqpt, land; u8 ac2, level, caution; } cases[] = {
        {true, false, 1, 2, 0},  {true, true, 1, 2, 0},  {true, true, 0, 2, 1},
        {false, true, 1, 1, 1},  // below NORM EQPT the caution keeps its value
        {false, false, 1, 0, 1}, {true, false, 1, 2, 0}, {false, false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        click(kExt, 100, c.norm_eqpt ? 60 : 100);
        click(kExt, 20, c.land ? 100 : 60);
        elec_ac_bus2_powered = c.ac2;
        frames(1);
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        EXPECT_EQ(elec_ess_equipment_level, c.level);
        EXPECT_EQ(warn_ess_eqpt_ac2_off, c.caution);
    }
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
    EXPECT_EQ(pair(kExt, ExtLeverDown), 'O') << "EXT PWR lever up";
    token(kEng2N2, 20.0);
    token(kEng1N2, 20.0);  // both engines running: a silent disconnection
    frames(1);
    EXPECT_EQ(elec_ext_pwr_connected | ext_power_on | air_ext_power_on, 0);
    EXPECT_FALSE(shown(kExt, ExtMsgOff) || shown(kExt, ExtMsgNoPwr));
    EXPECT_EQ(pair(kExt, ExtLeverDown), 'O') << "drawn as it stood before the frame forced it off";
    frames(1);
    EXPECT_EQ(pair(kExt, ExtLeverDown), 'S');
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

// Three-position switches, each the one image of its byte: the generators (TEST down, OFF RESET
// centred, ON up) and the batteries (OFF down, NORM centred, ON up).
TEST_F(ElecPanels, ThreePositionLeversShowTheirPosition) {
    place(kGen);
    place(kBatt);
    const struct { const char* g; i32 x, y; size_t first; const char* images; } clicks[] = {
        {kGen, 20, 60, 1, "001010010"},  {kGen, 150, 110, 1, "001100010"}, {kGen, 85, 60, 1, "001100001"},
        {kGen, 85, 110, 1, "001100100"},
        {kGen, 18, 80, 1, "010100100"},  // OFF RESET's first pixel row, just below ON's box
        {kGen, 150, 85, 1, "010010100"},
        {kBatt, bat_x(0), kBatOnY, 9, "001010010"}, {kBatt, bat_x(2), kBatOffY, 9, "001010100"},
        {kBatt, bat_x(1), kBatOnY, 9, "001001100"}, {kBatt, bat_x(0), kBatNormY, 9, "010001100"},
    };
    for (const auto& c : clicks) {
        click(c.g, c.x, c.y);
        frames(1);
        EXPECT_EQ(lamps(c.g, c.first, 9), c.images) << c.g << " " << c.x << "," << c.y;
    }
}

// OFF lamps light for a generator off line with DC essential power (the APU's only while it runs
// or is failed, none in TEST); the caution besides needs the switch ON (and the LINE at NORM).
TEST_F(ElecPanels, GeneratorOffLampsAndCautions) {
    place(kGen);
    const struct { u32 l1, l2, lb; u8 sw1, sw2, sw3, line1, running, failed, dc_ess; const char* lamps; const char* faults; }
        cases[] = {
            {0, 0, 0, 1, 1, 1, 1, 1, 0, 1, "111", "111"},
            {50, 100, 50, 1, 1, 1, 1, 1, 0, 1, "000", "000"},
            {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, "111", "000"},  // LINE 1 OFF, GEN 2 and APU GEN OFF RESET
            {0, 0, 0, 2, 3, 2, 1, 1, 0, 1, "000", "000"},  // TEST
            {0, 0, 0, 1, 1, 1, 1, 0, 0, 1, "110", "110"},  // the APU neither running nor failed
            {0, 0, 0, 1, 1, 1, 1, 0, 1, 1, "111", "111"},
            {0, 0, 0, 1, 1, 1, 1, 1, 0, 0, "000", "000"},
        };
    for (const auto& c : cases) {
        elec_gen1_load = c.l1, elec_gen2_load = c.l2, elec_apu_gen_load_b = c.lb;
        elec_gen_sw[0] = c.sw1, elec_gen_sw[1] = c.sw2, elec_gen_sw[2] = c.sw3;
        elec_line_sw[0] = c.line1, apu_running = c.running, fail_active[0] = c.failed, dc_ess_powered = c.dc_ess;
        frames(1);
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        EXPECT_EQ(lamps(kGen, 10, 3), c.lamps);
        EXPECT_EQ(bytes(warn_gen_fault, 3), c.faults);
    }
}

TEST_P(ElecAtFps, GeneratorTestPositionsSpringBackOneAfterTheOther) {
    host().set_fps(GetParam());
    place(kGen);
    frames(2);
    click(kGen, 20, 110);  // GEN 1 TEST from OFF RESET
    click(kGen, 150, 60);  // GEN 2 ON, then TEST
    click(kGen, 150, 110);
    click(kGen, 85, 110);  // APU GEN TEST from OFF RESET, clicked again: now as from ON
    click(kGen, 85, 110);
    ASSERT_TRUE(elec_gen_sw[0] == 2 && elec_gen_sw[1] == 3 && elec_gen_sw[2] == 3);
    frames(1);
    const f64 armed = host().token(kTick);
    // GEN 1 returns 27 ticks after arming, GEN 2 27 after that, APU GEN 27 after GEN 2.
    const u8 rest[3] = {0, 1, 1};
    f64 back[3] = {-1, -1, -1};
    for (int n = 0; n < 20 * int(GetParam()) && back[2] < 0; ++n) {
        frames(1);
        for (size_t i = 0; i < 3; ++i)
            if (back[i] < 0 && elec_gen_sw[i] == rest[i]) back[i] = host().token(kTick);
        ASSERT_TRUE(back[0] >= 0 || elec_gen_sw[0] == 2);
    }
    // Each returns on the first frame at or past its deadline.
    const f64 late = 18.0 / GetParam() + 1.0;
    EXPECT_GE(back[0], armed + 27.0);
    EXPECT_LT(back[0], armed + 27.0 + late);
    if (GetParam() >= 18.0) {
        EXPECT_EQ(back[0], armed + 27.0) << "every tick seen: exactly 27";
    }
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_GE(back[i], back[i - 1] + 27.0) << "switch " << i;
        EXPECT_LT(back[i], back[i - 1] + 27.0 + late) << "switch " << i;
    }
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
    const struct { const char* name; i32 x; u32 n1_tok, gen_tok, key; } gens[] = {
        {"GEN 1", 20, kEng1N1, kEng1Gen, key_gen1_toggle},
        {"GEN 2", 150, kEng2N1, kEng2Gen, key_gen2_toggle},
    };
    for (const auto& g : gens) {
        SCOPED_TRACE(g.name);
        click(kGen, g.x, 60);  // ON; the other generator stays OFF RESET
        for (f64 n1 : {5.0, kNaN}) {
            token(g.n1_tok, n1);
            frames(3);
            EXPECT_EQ(sends(g.key), 0u) << "N1 " << n1;
        }
        token(g.n1_tok, 5.01);
        frames(3);
        i32 value = -1;
        EXPECT_EQ(sent(g.key, &value), 1u) << "sent once, then the host is in step";
        EXPECT_EQ(value, 0);
        EXPECT_EQ(host().token(g.gen_tok), 1.0);
        token(g.n1_tok, 0.0);
        click(kGen, g.x, 85);  // OFF RESET: no N1 condition
        frames(3);
        EXPECT_EQ(sends(g.key), 1u);
        EXPECT_EQ(host().token(g.gen_tok), 0.0);
    }
}

// The host's APU follows the module's; with ground power on it is held running with its generator
// on. The host's APU counts as running from 0.9.
TEST_F(ElecPanels, HostApuFollowsTheModuleOrGroundPower) {
    place(kGen);
    const struct { u8 ext, running, starting, apu_gen; f64 rpm, gen_tok; size_t starter, off; i32 gen_set; } cases[] = {
        {1, 0, 0, 0, 0.89, 0.0, 1, 0, 1},  {1, 0, 0, 0, 0.9, 1.0, 0, 0, -1},
        {0, 1, 0, 1, 0.89, 1.0, 1, 0, -1}, {0, 0, 1, 1, 0.9, 0.0, 0, 0, 1},
        {0, 0, 0, 0, 0.9, 1.0, 0, 1, 0},   {0, 0, 0, 0, 0.89, 0.5, 0, 0, -1},
    };
    for (const auto& c : cases) {
        ext_power_on = c.ext, apu_running = c.running, apu_starting = c.starting, elec_gen_sw[2] = c.apu_gen;
        token(975, c.rpm);
        token(978, c.gen_tok);
        new_keys();
        frames(1);
        size_t starter = 0, off = 0;
        i32 gen_set = -1;
        for (const KeyLogEntry& k : new_keys()) {
            starter += k.id == key_apu_starter;
            off += k.id == key_apu_off;
            if (k.id == key_apu_gen_set) gen_set = i32(k.value);
        }
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        EXPECT_EQ(starter, c.starter);
        EXPECT_EQ(off, c.off);
        EXPECT_EQ(gen_set, c.gen_set);
    }
}

TEST_F(ElecPanels, MeterSlewSequences) {
    for (const char* g : {"ketravin elec_ind_dc_v_kr60", "ketravin elec_ind_ac_frq_kr60", "ketravin elec_ind_ac_v_kr60"})
        place(g);
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
    elec_dc_meter_sel = 6;  // BAT 2: the batteries discharging settle at 24, charging back at 28
    elec_batt_any_on = 1;
    battery_current = -50;
    EXPECT_EQ(run(elec_dc_volts, 3), (V{26, 24, 24}));
    battery_current = 10;
    EXPECT_EQ(run(elec_dc_volts, 3), (V{26, 28, 28}));
    EXPECT_EQ(elec_dc_volts_step, 2) << "from 15 V up";
    elec_batt_any_on = 0;  // every battery OFF: down to 0 whatever the current
    EXPECT_EQ(run(elec_dc_volts, 10), (V{26, 24, 22, 20, 18, 16, 14, 10, 6, 2}));
    EXPECT_EQ(elec_dc_volts_step, 4) << "the step the last frame took, from 6 V";
    elec_dc_volts = 17;  // an odd reading lands on 15 V itself, where the small step still holds
    EXPECT_EQ(run(elec_dc_volts, 3), (V{15, 13, 9}));

    elec_ac_meter_sel = 4;  // BUS 1, powered: back to 400 Hz in 15 frames
    elec_ac_bus1_powered = 1;
    EXPECT_EQ(run(elec_ac_freq_dev, 16),
              (V{-280, -260, -240, -220, -200, -180, -160, -140, -120, -100, -80, -60, -40, -20, 0, 0}));
    elec_ac_volts = 0;  // 10 V steps to 100, then 2 V steps, landing on 115
    EXPECT_EQ(run(elec_ac_volts, 20),
              (V{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 102, 104, 106, 108, 110, 112, 114, 115, 115, 115}));
    EXPECT_EQ(elec_ac_volts_step, 2);
    elec_ac_bus1_powered = 0;
    EXPECT_EQ(run(elec_ac_volts, 8), (V{113, 111, 109, 107, 105, 103, 101, 99}));
    EXPECT_EQ(run(elec_ac_volts, 11), (V{89, 79, 69, 59, 49, 39, 29, 19, 9, 0, 0}));
    EXPECT_EQ(elec_ac_volts_step, 10);

    // The DC voltmeter's sources: ESS BUS, TR 1, ESS TR, TR 2, each alone powered.
    for (u8 sel = 1; sel <= 4; ++sel) {
        elec_dc_meter_sel = sel;
        dc_ess_powered = sel == 1;
        elec_tr_output[0] = sel == 2, elec_tr_output[2] = sel == 3, elec_tr_output[1] = sel == 4;
        elec_dc_volts = 20;
        frames(1);
        EXPECT_EQ(elec_dc_volts, 22u) << int(sel);
        dc_ess_powered = sel != 1;
        elec_tr_output[0] = sel != 2, elec_tr_output[2] = sel != 3, elec_tr_output[1] = sel != 4;
        frames(1);
        EXPECT_EQ(elec_dc_volts, 20u) << int(sel) << ": the others powered, its own not";
    }
}

// Which network value powers each AC meter source; a generator also shows while held in TEST.
// The source knob is turned by clicks on its right half.
TEST_F(ElecPanels, AcMetersFollowTheSelectedSource) {
    for (const char* g : {"ketravin elec_sel_ind_ac_kr60", "ketravin elec_ind_ac_v_kr60", "ketravin elec_ind_ac_frq_kr60",
                          "ketravin elec_ind_ac_load1_kr60", "ketravin elec_ind_ac_load2_kr60",
                          "ketravin elec_ind_ac_loadapu_kr60"})
        place(g);
    host().window_set(panel_win_fe_1, true);
    const auto none = [] {
        ext_power_on = elec_ess_ac_powered = elec_ess_ac_any_powered = 0;
        elec_ac_bus1_powered = elec_ac_bus2_powered = 0;
        elec_gen1_load = elec_gen2_load = elec_apu_gen_load_a = elec_apu_gen_load_b = 0;
        std::memset(elec_gen_sw, 0, sizeof elec_gen_sw);
    };
    const struct { u8 sel; void (*feed)(); } cases[] = {
        {1, [] { ext_power_on = 1; }},
        {2, [] { elec_ess_ac_powered = 1; }},
        {3, [] { elec_ess_ac_any_powered = 1; }},
        {4, [] { elec_ac_bus1_powered = 1; }},
        {5, [] { elec_ac_bus2_powered = 1; }},
        {6, [] { elec_gen1_load = 50; }},
        {6, [] { elec_gen_sw[0] = 2; }},
        {7, [] { elec_gen2_load = 100; }},
        {7, [] { elec_gen_sw[1] = 3; }},
        {8, [] { elec_apu_gen_load_a = 50; }},
        {8, [] { elec_gen_sw[2] = 2; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        none();
        for (int n = 0; n < 9 && elec_ac_meter_sel < c.sel; ++n) click("ketravin elec_sel_ind_ac_kr60", 110, 30);
        ASSERT_EQ(elec_ac_meter_sel, c.sel);
        elec_ac_volts = 110;
        elec_ac_freq_dev = -100;
        frames(1);
        EXPECT_TRUE(elec_ac_volts == 108 && elec_ac_freq_dev == -120) << "unpowered: falls";
        // Every other source live leaves it falling.
        for (const auto& other : cases)
            if (other.sel != c.sel) other.feed();
        frames(1);
        EXPECT_TRUE(elec_ac_volts == 106 && elec_ac_freq_dev == -140);
        none();
        c.feed();
        frames(1);
        EXPECT_TRUE(elec_ac_volts == 108 && elec_ac_freq_dev == -120) << "powered: rises";
    }
    for (int n = 0; n < 3; ++n) click("ketravin elec_sel_ind_ac_kr60", 110, 30);
    EXPECT_EQ(elec_ac_meter_sel, 8) << "stops at APU GEN";
    for (u8 sel = 8; sel-- > 0;) {  // the left half turns it back, stopping at OFF
        click("ketravin elec_sel_ind_ac_kr60", 80, 30);
        EXPECT_EQ(elec_ac_meter_sel, sel);
    }
    click("ketravin elec_sel_ind_ac_kr60", 80, 30);
    EXPECT_EQ(elec_ac_meter_sel, 0);
    for (const auto& [x, phase] : {std::pair{40, 1}, {40, 2}, {40, 2}, {10, 1}, {10, 0}, {10, 0}}) {
        click("ketravin elec_sel_ind_ac_kr60", x, 30);  // phase A, B, C: up on the right half
        EXPECT_EQ(elec_ac_phase_sel, phase) << x;
    }
    elec_gen1_load = 49;  // below half load a generator is off line
    elec_ac_meter_sel = 6;
    frames(1);
    EXPECT_EQ(elec_ac_volts, 106u);

    // The ammeter stops at either end of its scale, and so does the value it shows.
    place("ketravin elec_ind_dc_amps_kr60");
    for (const auto& [amps, shown] : {std::pair{-450, -300}, {450, 300}, {-120, -120}}) {
        battery_current = amps;
        frames(1);
        EXPECT_EQ(drawn("ketravin elec_ind_dc_amps_kr60", 1).value, f64(shown));
        EXPECT_EQ(battery_current, shown);
    }
    // The AC voltmeter stops at 130 and the load meters at 200, in the values too.
    elec_ac_meter_sel = 0;
    elec_ac_volts = 150;
    elec_gen1_load = 250;
    elec_gen_sw[0] = 0;
    frames(1);
    EXPECT_EQ(drawn("ketravin elec_ind_ac_v_kr60", 1).value, 130.0);  // fell 2 from 150, then held at the top
    EXPECT_EQ(elec_ac_volts, 130u);
    EXPECT_EQ(drawn("ketravin elec_ind_ac_load1_kr60", 1).value, 200.0);
    EXPECT_EQ(elec_gen1_load, 200u);
    // The load meters show the generator loads, or the test load while their switch is in TEST.
    none();
    elec_gen1_load = 100, elec_gen2_load = 100, elec_apu_gen_load_a = 100;
    const auto loads = [&] {
        frames(1);
        return V3{drawn("ketravin elec_ind_ac_load1_kr60", 1).value, drawn("ketravin elec_ind_ac_load2_kr60", 1).value,
                  drawn("ketravin elec_ind_ac_loadapu_kr60", 1).value};
    };
    EXPECT_EQ(loads(), (V3{100, 100, 0})) << "the APU meter shows load b";
    elec_gen_sw[1] = 2;
    elec_gen_sw[2] = 3;
    EXPECT_EQ(loads(), (V3{100, 50, 50}));
    elec_gen_sw[0] = 3;
    elec_gen_sw[1] = 1;
    EXPECT_EQ(loads(), (V3{50, 100, 50}));
}
