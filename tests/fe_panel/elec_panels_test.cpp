// The flight engineer's electrical panels through the host: a click's road through the network,
// flow bars and lamps, silent clicks, ground power availability and messages, the generator
// TEST timer and host sync, and the meters' per-frame slews.
#include <strings.h>

#include <cmath>
#include <limits>

#include "core/state.h"
#include "fe_panel/state.h"
#include "module/keys.h"
#include "sound/recording.h"
#include "tests/host_fixture.h"

namespace {
const char* kSystems = "ketravin flt_deck_lt_kr60";
const char* kSounds = "ketravin gpws_kr60";
const char* kBatt = "ketravin elec_batt_kr60";
const char* kDc = "ketravin elec_dc_bus_kr60";
const char* kAc = "ketravin elec_ac_bus_kr60";
const char* kExt = "ketravin elec_ext_pwr_kr60";
const char* kGen = "ketravin elec_gen_kr60";
const char* kSelDc = "ketravin elec_sel_ind_dc_kr60";
const char* kSelAc = "ketravin elec_sel_ind_ac_kr60";
const char* kDcV = "ketravin elec_ind_dc_v_kr60";
const char* kAcV = "ketravin elec_ind_ac_v_kr60";
const char* kFreq = "ketravin elec_ind_ac_frq_kr60";
const char* kLoad1 = "ketravin elec_ind_ac_load1_kr60";

constexpr u32 kTick = 1, kOnGround = 60, kParkingBrake = 323, kVelX = 551, kVelZ = 552, kEng1N1 = 624,
              kEng1N2 = 625, kEng2N2 = 644, kEng1Gen = 762, kApuRpm = 975, kApuGen = 978, kBusVolts = 759;
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
constexpr f64 kInf = std::numeric_limits<f64>::infinity();

// Battery panel: the flow bar pair of battery i, and click points of its three positions.
size_t bat_in_line(size_t i) { return 1 + 2 * i; }
i32 bat_x(size_t i) { return 25 + 31 * i32(i); }
constexpr i32 kBatOnY = 55, kBatNormY = 80, kBatOffY = 105;
enum { DcTieInLine = 1, DcTieCross = 2, DcLampTr1Off = 11, DcLampTr2Off = 12, DcLampEssTrOff = 13 };
enum { AcEmergInLine = 1, AcEmergCross = 2, AcTrans1InLine = 3, AcLampBus1Off = 15, AcLampBus2Off = 16,
       AcLampEssOff = 17, AcKnob = 18 };
enum { ExtLampAvail = 1, ExtLampOn = 2, ExtMsgAvail = 9, ExtMsgOff = 10, ExtMsgNoPwr = 11 };
enum { GenLampGen1Off = 10 };
constexpr size_t kNeedle = 1;
}  // namespace

class ElecPanels : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        token(kBusVolts, 24.0);
    }
    // CLICK plays since the last call (needs the sound engine's gauge placed).
    size_t clicks() {
        size_t n = 0;
        const u64 end = sound_recording_count();
        for (u64 i = sound_seen_; i < end; ++i) {
            SoundEvent e;
            if (sound_recording_event(i, &e) && e.call == SoundCall::Play && strcasecmp(e.name, "click") == 0) ++n;
        }
        sound_seen_ = end;
        return n;
    }
    bool shown(const char* g, size_t pos) { return !hidden(element(g, pos)); }
    // Battery bars as a string, one letter per battery: I in line, X cross line, - none.
    std::string bars() {
        std::string s;
        for (size_t i = 0; i < 3; ++i) {
            const bool in = shown(kBatt, bat_in_line(i)), cross = shown(kBatt, bat_in_line(i) + 1);
            s += in && cross ? '?' : in ? 'I' : cross ? 'X' : '-';
        }
        return s;
    }
    size_t count(const std::vector<KeyLogEntry>& keys, u32 id) {
        size_t n = 0;
        for (const KeyLogEntry& k : keys) n += k.id == id;
        return n;
    }
    // On the ground, parked, at rest, engines stopped: ground power can be had.
    void parked() {
        token(kOnGround, 1.0);
        token(kParkingBrake, 1.0);
    }

private:
    u64 sound_seen_ = 0;
};

// ---- a click's road ---------------------------------------------------------------------------
class ClickRoad : public ElecPanels, public ::testing::WithParamInterface<bool> {};

TEST_P(ClickRoad, BatteryOnPowersTheEssentialBusAndThePanelsAnswer) {
    const bool reverse = GetParam();
    for (const char* g : {kSounds, kSystems, kBatt, kDc}) place(g);
    host().set_reverse_order(reverse);
    frames(1);
    for (size_t i = 0; i < 3; ++i) click(kBatt, bat_x(i), kBatOffY);
    frames(3);
    clicks();
    ASSERT_EQ(dc_ess_powered, 0) << "no battery, no ground power: dead";
    EXPECT_EQ(bars(), "---");
    EXPECT_FALSE(shown(kDc, DcLampEssTrOff)) << "OFF lamps need the essential bus";

    ASSERT_TRUE(click(kBatt, bat_x(0), kBatOnY));
    EXPECT_EQ(elec_batt_sw[0], 2);
    EXPECT_EQ(clicks(), 1u);
    EXPECT_EQ(dc_ess_powered, 0) << "the click only stores the switch";

    // In panel order the network runs before the panels and they answer on the next frame; in
    // reverse order the panels see the network's answer one frame later.
    frames(reverse ? 2 : 1);
    EXPECT_EQ(dc_ess_powered, 1);
    EXPECT_EQ(elec_batt_lamp[0], 1);
    EXPECT_EQ(bars(), "IXX");
    EXPECT_TRUE(shown(kDc, DcLampTr1Off) && shown(kDc, DcLampEssTrOff)) << "TRs without AC, on a live bus";
}
INSTANTIATE_TEST_SUITE_P(BothOrders, ClickRoad, ::testing::Bool());

// ---- battery flow bars with the network ----------------------------------------------------------
TEST_F(ElecPanels, BatteryBarsFollowTheNetwork) {
    place(kSystems);
    place(kBatt);
    frames(3);
    EXPECT_LT(battery_current, 0) << "NORM, no source: discharging";
    EXPECT_EQ(bars(), "III");

    // A source and a full battery: 0 A on charge, NORM shows cross line, ON in line.
    ext_power_on = 1;
    frames(5);
    ASSERT_EQ(battery_current, 0);
    ASSERT_EQ(dc_ess_powered, 1);
    EXPECT_EQ(bars(), "XXX");
    click(kBatt, bat_x(1), kBatOnY);
    frames(1);
    EXPECT_EQ(bars(), "XIX");

    // Everything off: the DC essential bus dies and no bar is drawn.
    ext_power_on = 0;
    for (size_t i = 0; i < 3; ++i) click(kBatt, bat_x(i), kBatOffY);
    frames(3);
    ASSERT_EQ(dc_ess_powered, 0);
    EXPECT_EQ(bars(), "---");
}

TEST_F(ElecPanels, BusPanelsShowTheirConditions) {
    place(kDc);
    place(kAc);
    struct Case {
        const char* what;
        u8 dc_ess, dc_normal, via_tie, tie_sw, tr_out0, ac12, ess_ac, alternate;
        bool tie_in, tie_cross, tr1_lamp, ac1_lamp, ess_lamp, emerg_in;
    } cases[] = {
        {"batteries feed, tie NORM", 1, 1, 0, 1, 1, 1, 1, 0, false, true, false, false, false, false},
        {"fed through the tie", 1, 1, 1, 1, 1, 1, 1, 0, true, false, false, false, false, false},
        {"tie SPLIT hides the path", 1, 1, 1, 0, 1, 1, 1, 0, false, true, false, false, false, false},
        {"TR 1 without output", 1, 1, 0, 1, 0, 1, 1, 0, false, true, true, false, false, false},
        {"DC essential dead", 0, 0, 0, 1, 0, 0, 0, 1, false, false, false, false, false, false},
        {"AC bus 1 dead, DC normal live", 1, 1, 0, 1, 1, 0, 1, 0, false, true, false, true, false, false},
        {"AC buses dead, DC normal dead", 1, 0, 0, 1, 0, 0, 0, 1, false, true, true, false, true, true},
        {"emergency inverter selected", 1, 0, 0, 1, 0, 0, 1, 1, false, true, true, false, false, true},
    };
    for (const Case& c : cases) {
        dc_ess_powered = c.dc_ess;
        dc_normal_powered = c.dc_normal;
        elec_dc_ess_via_tie = c.via_tie;
        elec_dc_tie_sw = c.tie_sw;
        elec_tr_output[0] = c.tr_out0;
        elec_ac_bus1_powered = elec_ac_bus2_powered = c.ac12;
        elec_ess_ac_powered = c.ess_ac;
        elec_ess_ac_on_alternate = c.alternate;
        warn_ac_fault = 0;
        frames(1);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(shown(kDc, DcTieInLine), c.tie_in);
        EXPECT_EQ(shown(kDc, DcTieCross), c.tie_cross);
        EXPECT_EQ(shown(kDc, DcLampTr1Off), c.tr1_lamp);
        EXPECT_EQ(shown(kAc, AcLampBus1Off), c.ac1_lamp);
        EXPECT_EQ(shown(kAc, AcLampEssOff), c.ess_lamp);
        EXPECT_EQ(shown(kAc, AcEmergInLine), c.emerg_in);
        EXPECT_EQ(warn_ac_fault, c.ac1_lamp || c.ess_lamp ? 1 : 0) << "raised only with a lamp lit";
        EXPECT_EQ(shown(kAc, AcTrans1InLine) || shown(kAc, AcTrans1InLine + 1), c.dc_normal == 1)
            << "transfer bars only on the DC normal bus";
    }
}

// ---- clicks: sound only on a real change ---------------------------------------------------------
TEST_F(ElecPanels, ClickOnTheHeldPositionIsSilentAndChangesNothing) {
    place(kSounds);
    frames(1);
    struct Case {
        const char* gauge;
        i32 held_x, held_y, other_x, other_y;
        u8* byte;
        u8 held, other;
    } cases[] = {
        {kBatt, bat_x(0), kBatNormY, bat_x(0), kBatOffY, &elec_batt_sw[0], 1, 0},
        {kDc, 20, 60, 20, 100, &elec_tr_sw[0], 1, 0},
        {kDc, 130, 10, 130, 50, &elec_dc_tie_sw, 1, 0},
        {kAc, 160, 200, 160, 230, &elec_line_sw[1], 1, 0},
        {kAc, 115, 200, 115, 230, &elec_trans_sw[1], 1, 0},
        {kExt, 60, 40, 60, 10, &elec_ext_pwr_sw, 0, 1},
        {kExt, 20, 60, 20, 100, &elec_smoke_drill_sw, 0, 1},
        {kExt, 95, 60, 95, 100, &elec_ess_bus_sw, 1, 0},
        {kGen, 20, 85, 20, 60, &elec_gen_sw[0], 0, 1},
        {kGen, 150, 85, 150, 60, &elec_gen_sw[1], 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.gauge) + " " + std::to_string(c.held_x) + "," + std::to_string(c.held_y));
        ASSERT_EQ(*c.byte, c.held);
        clicks();
        EXPECT_TRUE(click(c.gauge, c.held_x, c.held_y));
        EXPECT_EQ(*c.byte, c.held);
        EXPECT_EQ(clicks(), 0u);
        click(c.gauge, c.other_x, c.other_y);
        EXPECT_EQ(*c.byte, c.other);
        EXPECT_EQ(clicks(), 1u);
        click(c.gauge, c.held_x, c.held_y);
        EXPECT_EQ(*c.byte, c.held);
        EXPECT_EQ(clicks(), 1u);
    }
    EXPECT_TRUE(new_keys().empty()) << "none of these clicks talks to the host";

    // TEST clicks every time, even when already held in TEST.
    click(kGen, 20, 110);
    click(kGen, 20, 110);
    EXPECT_EQ(clicks(), 2u);
    EXPECT_EQ(elec_gen_sw[0], 3) << "a second TEST turns TEST from OFF into TEST from ON";
}

TEST_F(ElecPanels, SelectorsStepSilentlyAndSaturate) {
    place(kSounds);
    frames(1);
    clicks();
    struct Case {
        const char* gauge;
        i32 down_x, up_x;
        u8* sel;
        u8 last;
    } cases[] = {
        {kAc, 40, 120, &elec_ess_ac_source_sel, 4},
        {kSelDc, 10, 70, &elec_dc_meter_sel, 7},
        {kSelAc, 10, 40, &elec_ac_phase_sel, 2},
        {kSelAc, 70, 110, &elec_ac_meter_sel, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gauge);
        const i32 y = c.gauge == kAc ? 100 : 30;
        for (int n = 0; n < 12; ++n) click(c.gauge, c.down_x, y);
        EXPECT_EQ(*c.sel, 0);
        for (int n = 0; n < 12; ++n) click(c.gauge, c.up_x, y);
        EXPECT_EQ(*c.sel, c.last);
        click(c.gauge, c.down_x, y);
        EXPECT_EQ(*c.sel, c.last - 1);
    }
    EXPECT_EQ(clicks(), 0u);

    // A stray value is brought back to the last legend when the pointer is drawn.
    place(kAc);
    host().window_set(panel_win_fe_1, true);
    elec_ess_ac_source_sel = 200;
    frames(1);
    EXPECT_EQ(elec_ess_ac_source_sel, 4);
    EXPECT_EQ(drawn(kAc, AcKnob).value, 4.0);
}

// ---- ground power ------------------------------------------------------------------------------
TEST_F(ElecPanels, GroundPowerAvailability) {
    place(kExt);
    struct Case {
        f64 on_ground, n2_1, n2_2, brake, vx, vz;
        bool available;
    } cases[] = {
        {1.0, 0.0, 0.0, 1.0, 0.0, 0.0, true},
        {0.99, 0.0, 0.0, 1.0, 0.0, 0.0, false},  // on ground must be exactly 1.0
        {1.0, 25.0, 19.99, 1.0, 0.0, 0.0, true},  // one engine running still allows it
        {1.0, 20.0, 20.0, 1.0, 0.0, 0.0, false},
        {1.0, 0.0, 0.0, 0.0, 0.0, 0.0, false},   // parking brake released
        {1.0, 0.0, 0.0, 1.0, 5.0, -5.0, true},   // the sum counts, not each component
        {1.0, 0.0, 0.0, 1.0, 1.0, 0.0, true},
        {1.0, 0.0, 0.0, 1.0, 0.0, -1.0, true},
        {1.0, 0.0, 0.0, 1.0, 1.0, 0.01, false},
        {kNaN, 0.0, 0.0, 1.0, 0.0, 0.0, false},
        {1.0, kNaN, kNaN, 1.0, 0.0, 0.0, false},
        {1.0, 0.0, 0.0, kNaN, 0.0, 0.0, false},
        {1.0, 0.0, 0.0, 1.0, kInf, -kInf, false},
        {1.0, -kInf, kInf, kInf, 0.0, 0.0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.on_ground << " " << c.n2_1 << "/" << c.n2_2 << " brake " << c.brake
                                        << " v " << c.vx << "+" << c.vz);
        elec_ext_pwr_connected = 0;
        elec_ext_pwr_msg = 0;
        elec_ext_pwr_msg_running[0] = elec_ext_pwr_msg_running[2] = 0;
        token(kOnGround, c.on_ground);
        token(kEng1N2, c.n2_1);
        token(kEng2N2, c.n2_2);
        token(kParkingBrake, c.brake);
        token(kVelX, c.vx);
        token(kVelZ, c.vz);
        click(kExt, 100, 30);
        frames(1);
        EXPECT_EQ(elec_ext_pwr_avail, c.available ? 1 : 0);
        EXPECT_EQ(elec_ext_pwr_connected, c.available ? 1 : 0);
        EXPECT_EQ(shown(kExt, ExtLampAvail), c.available);
        EXPECT_EQ(shown(kExt, c.available ? ExtMsgAvail : ExtMsgNoPwr), true);
        EXPECT_EQ(elec_ext_pwr_request, 0);
    }
}

TEST_F(ElecPanels, GroundPowerFeedsOnlyWithTheSwitchUpAndDropsWhenBothEnginesRun) {
    place(kExt);
    parked();
    click(kExt, 60, 10);  // EXT PWR up before connecting: holds one frame only
    frames(1);
    EXPECT_TRUE(shown(kExt, 4)) << "lever up for the frame of the click";
    EXPECT_EQ(elec_ext_pwr_sw, 0);
    frames(1);
    EXPECT_FALSE(shown(kExt, 4));

    click(kExt, 100, 30);
    frames(1);
    EXPECT_EQ(ext_power_on, 0);
    EXPECT_FALSE(shown(kExt, ExtLampOn));
    click(kExt, 60, 10);
    frames(1);
    EXPECT_EQ(ext_power_on, 1);
    EXPECT_EQ(air_ext_power_on, 1);
    EXPECT_TRUE(shown(kExt, ExtLampOn));

    token(kEng1N2, 20.0);
    token(kEng2N2, 20.0);
    frames(1);
    EXPECT_EQ(elec_ext_pwr_connected, 0);
    EXPECT_EQ(ext_power_on | air_ext_power_on | elec_ext_pwr_sw, 0);
    EXPECT_FALSE(shown(kExt, ExtMsgOff) || shown(kExt, ExtMsgNoPwr)) << "a silent disconnection";
    token(kEng2N2, 0.0);
    frames(2);
    EXPECT_EQ(elec_ext_pwr_connected, 0) << "no reconnection without a new request";
}

class GroundPowerMessages : public ElecPanels, public ::testing::WithParamInterface<f64> {};

TEST_P(GroundPowerMessages, ConnectThenDisconnectWithinTwoSecondsHidesBothAtTheFirstExpiry) {
    host().set_fps(GetParam());
    place(kExt);
    parked();
    frames(3);
    click(kExt, 100, 30);
    frames(1);
    const f64 connected_at = host().token(kTick);
    ASSERT_TRUE(shown(kExt, ExtMsgAvail));
    seconds(1.0);
    click(kExt, 100, 30);
    frames(1);
    const f64 disconnected_at = host().token(kTick);
    EXPECT_EQ(elec_ext_pwr_connected, 0);
    EXPECT_TRUE(shown(kExt, ExtMsgOff)) << "drawn over the first, still timing";
    EXPECT_TRUE(shown(kExt, ExtMsgAvail));

    bool off_again = false;
    while (host().token(kTick) < disconnected_at + 40.0) {
        frames(1);
        const f64 t = host().token(kTick);
        const bool any = shown(kExt, ExtMsgAvail) || shown(kExt, ExtMsgOff);
        if (t < connected_at + 36.0) {
            ASSERT_TRUE(any) << "tick " << t;
        } else {
            ASSERT_FALSE(any) << "tick " << t << ": the first expiry hides both";
            ASSERT_EQ(elec_ext_pwr_msg, 0);
            off_again |= shown(kExt, ExtMsgOff);
        }
        ASSERT_EQ(elec_ext_pwr_msg_running[1], t < disconnected_at + 36.0 ? 1 : 0) << "tick " << t;
    }
    EXPECT_FALSE(off_again);
}
INSTANTIATE_TEST_SUITE_P(FrameRates, GroundPowerMessages, ::testing::Values(10.0, 18.0, 30.0, 60.0));

// ---- generators --------------------------------------------------------------------------------
class GenTest : public ElecPanels, public ::testing::WithParamInterface<f64> {};

TEST_P(GenTest, TestPositionsSpringBackOneAfterTheOther) {
    host().set_fps(GetParam());
    place(kGen);
    frames(2);
    click(kGen, 20, 110);   // GEN 1 TEST from OFF RESET
    click(kGen, 150, 60);   // GEN 2 ON, then TEST
    click(kGen, 150, 110);
    ASSERT_EQ(elec_gen_sw[0], 2);
    ASSERT_EQ(elec_gen_sw[1], 3);
    frames(1);
    const f64 armed = host().token(kTick);
    f64 gen1_back = -1, gen2_back = -1;
    for (int n = 0; n < 20 * int(GetParam()) && gen2_back < 0; ++n) {
        frames(1);
        const f64 t = host().token(kTick);
        if (gen1_back < 0 && elec_gen_sw[0] == 0) gen1_back = t;
        if (gen2_back < 0 && elec_gen_sw[1] == 1) gen2_back = t;
        if (gen1_back < 0) {
            ASSERT_EQ(elec_gen_sw[0], 2);
        }
    }
    // Each returns on the first frame at or past its deadline.
    const f64 frame_ticks = 18.0 / GetParam();
    EXPECT_GE(gen1_back, armed + 27.0);
    EXPECT_LT(gen1_back, armed + 27.0 + frame_ticks + 1.0);
    EXPECT_GE(gen2_back, gen1_back + 27.0);
    EXPECT_LT(gen2_back, gen1_back + 27.0 + frame_ticks + 1.0);
    EXPECT_EQ(elec_gen_test_running, 0);
}
INSTANTIATE_TEST_SUITE_P(FrameRates, GenTest, ::testing::Values(10.0, 18.0, 30.0, 60.0));

TEST_F(ElecPanels, GeneratorOnWaitsForTheEngineAndTheHostConverges) {
    place(kGen);
    click(kGen, 20, 60);  // GEN 1 ON
    click(kGen, 150, 85);  // GEN 2 stays OFF RESET
    for (f64 n1 : {0.0, 5.0, kNaN, -kInf}) {
        token(kEng1N1, n1);
        frames(3);
        EXPECT_EQ(count(new_keys(), key_gen1_toggle), 0u) << "N1 " << n1;
    }
    token(kEng1N1, 5.01);
    frames(3);
    auto keys = new_keys();
    EXPECT_EQ(count(keys, key_gen1_toggle), 1u) << "sent once, then the host is in step";
    EXPECT_EQ(host().token(kEng1Gen), 1.0);

    token(kEng1N1, 0.0);
    click(kGen, 20, 85);  // OFF RESET: no N1 condition
    frames(3);
    keys = new_keys();
    EXPECT_EQ(count(keys, key_gen1_toggle), 1u);
    EXPECT_EQ(host().token(kEng1Gen), 0.0);
    EXPECT_EQ(count(keys, key_gen2_toggle), 0u);

    click(kGen, 20, 110);  // TEST leaves the host alone
    token(kEng1Gen, 1.0);
    frames(3);
    EXPECT_EQ(count(new_keys(), key_gen1_toggle), 0u);
}

TEST_F(ElecPanels, GroundPowerHoldsTheHostApuAndItsGeneratorOn) {
    place(kGen);
    ext_power_on = 1;
    frames(2);
    auto keys = new_keys();
    EXPECT_EQ(count(keys, key_apu_starter), 1u);
    EXPECT_EQ(count(keys, key_apu_gen_set), 1u);
    EXPECT_EQ(host().token(kApuRpm), 1.0);
    EXPECT_EQ(host().token(kApuGen), 1.0);

    click(kGen, 85, 60);   // APU GEN ON: tells the host at once
    click(kGen, 85, 85);   // OFF RESET under ground power: tells it nothing
    keys = new_keys();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_FALSE(keys[0].sent);
    EXPECT_EQ(keys[0].value, 1u);

    ext_power_on = 0;
    frames(1);
    keys = new_keys();
    EXPECT_EQ(count(keys, key_apu_off), 1u);
    EXPECT_EQ(count(keys, key_apu_gen_set), 1u);
    EXPECT_EQ(host().token(kApuGen), 0.0);
    frames(2);
    EXPECT_TRUE(new_keys().empty());
}

TEST_F(ElecPanels, GeneratorLampsAndCautions) {
    place(kGen);
    struct Case {
        u8 dc_ess, sw, line, load;
        bool lamp;
        u8 caution;
    } cases[] = {
        {1, 1, 1, 0, true, 1},   {1, 1, 0, 0, true, 0},  // LINE OFF: lamp, no caution
        {1, 0, 1, 0, true, 0},   {1, 1, 1, 50, false, 0}, {0, 1, 1, 0, false, 0},
        {1, 2, 1, 0, false, 0},  // TEST
    };
    for (const Case& c : cases) {
        dc_ess_powered = c.dc_ess;
        elec_gen_sw[0] = c.sw;
        elec_gen_test_running = 1;  // keep the TEST case from springing back
        elec_gen_test_deadline = 0xFFFFFFFFu;
        elec_line_sw[0] = c.line;
        elec_gen1_load = c.load;
        frames(1);
        EXPECT_EQ(shown(kGen, GenLampGen1Off), c.lamp) << int(c.sw) << " " << int(c.line);
        EXPECT_EQ(warn_gen_fault[0], c.caution) << int(c.sw) << " " << int(c.line);
    }
    apu_running = 0;
    dc_ess_powered = 1;
    elec_gen_sw[2] = 1;
    frames(1);
    EXPECT_FALSE(shown(kGen, GenLampGen1Off + 2)) << "APU GEN OFF dark while the APU is not turning";
    EXPECT_EQ(warn_gen_fault[2], 0);
}

// ---- meters ------------------------------------------------------------------------------------
TEST_F(ElecPanels, MeterSlewSequences) {
    for (const char* g : {kDcV, kAcV, kFreq}) place(g);
    host().set_reverse_order(true);
    auto run = [&](auto& reading, size_t n) {
        std::vector<i64> seen;
        for (size_t i = 0; i < n; ++i) {
            frames(1);
            seen.push_back(i64(reading));
        }
        return seen;
    };
    using V = std::vector<i64>;
    // Frequency from 400 Hz with nothing selected: down to 370 Hz in 15 frames.
    EXPECT_EQ(run(elec_ac_freq_dev, 16),
              (V{-20, -40, -60, -80, -100, -120, -140, -160, -180, -200, -220, -240, -260, -280, -300, -300}));

    elec_dc_meter_sel = 2;  // TR 1
    elec_tr_output[0] = 1;
    EXPECT_EQ(run(elec_dc_volts, 11), (V{4, 8, 12, 16, 18, 20, 22, 24, 26, 28, 28}));
    elec_dc_meter_sel = 6;  // a battery, discharging
    elec_batt_any_on = 1;
    battery_current = -50;
    EXPECT_EQ(run(elec_dc_volts, 3), (V{26, 24, 24}));
    elec_batt_any_on = 0;
    EXPECT_EQ(run(elec_dc_volts, 1), (V{22}));

    elec_ac_meter_sel = 4;  // BUS 1
    elec_ac_bus1_powered = 1;
    EXPECT_EQ(run(elec_ac_volts, 19),
              (V{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 102, 104, 106, 108, 110, 112, 114, 115, 115}));
}

TEST_F(ElecPanels, GeneratorInTestShowsOnTheAcMetersAndItsLoadMeter) {
    for (const char* g : {kGen, kAcV, kFreq, kLoad1}) place(g);
    host().window_set(panel_win_fe_1, true);
    elec_ac_meter_sel = 6;  // GEN 1, engine stopped
    elec_ac_phase_sel = 2;
    elec_gen_test_running = 1;
    elec_gen_test_deadline = 0xFFFFFFFFu;  // hold TEST
    frames(20);
    EXPECT_EQ(elec_ac_volts, 0u);
    EXPECT_EQ(elec_ac_freq_dev, -300);
    EXPECT_EQ(drawn(kLoad1, kNeedle).value, 0.0);
    click(kGen, 20, 110);
    frames(20);
    EXPECT_EQ(elec_ac_volts, 115u);
    EXPECT_EQ(elec_ac_freq_dev, 0);
    EXPECT_EQ(drawn(kLoad1, kNeedle).value, 50.0);
}
