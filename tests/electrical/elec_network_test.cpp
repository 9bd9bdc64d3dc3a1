// The electrical network through the host: battery timelines (with the mended charge
// bookkeeping), the generator threshold and the contactors.
#include <limits>

#include "tests/systems/systems_fixture.h"
#include "electrical/state.h"
#include "sim_control/state.h"
#include "apu/state.h"

struct Discharge { f64 fps; u8 level; i32 current; u32 empty_after_s; };  // level: elec_ess_equipment_level
void PrintTo(const Discharge& d, std::ostream* os) { *os << d.fps << " fps, level " << int(d.level); }
class BatteryDischarge : public SystemsTest, public ::testing::WithParamInterface<Discharge> {};

TEST_P(BatteryDischarge, EmptiesAtTheRateOfItsCurrentAndStaysEmpty) {
    const Discharge d = GetParam();
    host().set_fps(d.fps);
    elec_ess_equipment_level = d.level;
    start();  // the discharge starts in the first frame, at 0 s
    const auto at = [&](u32 s) { frames(u64(s * d.fps) - host().frame()); };
    at(d.empty_after_s / 2);
    EXPECT_EQ(battery_current, d.current);
    EXPECT_EQ(elec_batt_discharging * 10 + elec_batt_charging, 10);
    EXPECT_EQ(battery_charge, 900u);
    at(d.empty_after_s - 1);
    EXPECT_GE(battery_charge, 1u);
    EXPECT_EQ(dc_ess_powered, 1);
    at(d.empty_after_s);
    EXPECT_EQ(battery_charge, 0u);
    EXPECT_EQ(dc_ess_powered, 0);
    frames(u64(100 * d.fps));
    EXPECT_EQ(battery_charge, 0u);
    EXPECT_EQ(battery_current, d.current);
}
INSTANTIATE_TEST_SUITE_P(Rates, BatteryDischarge,
                         ::testing::Values(Discharge{10, 2, -50, 1800}, Discharge{60, 1, -50, 1800},
                                           Discharge{10, 0, -10, 5400}, Discharge{60, 0, -10, 5400}));

class Battery : public SystemsTest {
protected:
    void SetUp() override {
        SystemsTest::SetUp();
        elec_ess_equipment_level = 2;
        start();
    }
    void until(f64 sim_s) { frames(u64(sim_s * host().fps() + 0.5) - host().frame()); }
};

// One timeline: OFF and on again, 50 A to 10 A and back, a partial charge, then a discharge. A
// change never makes the charge jump; each segment carries on from the charge it found.
TEST_F(Battery, SegmentsCarryOnFromTheChargeTheyFound) {
    const struct {
        f64 at_s;
        u32 charge;  // at at_s, and still one frame after the change
        u8 level, batts, ext;
        i32 current;  // two frames after the change
    } steps[] = {{600, 1200, 2, 0, 0, 0},  {900, 1200, 2, 1, 0, -50}, {910, 1190, 0, 1, 0, -10},
                 {940, 1180, 1, 1, 0, -50}, {950, 1170, 1, 1, 1, 50},   {1250, 1470, 1, 1, 0, -50},
                 {1300, 1420, 1, 1, 0, -50}, {1350, 1370, 1, 1, 1, 50}, {1400, 1420, 1, 1, 1, 50}};
    for (const auto& s : steps) {
        until(s.at_s);
        EXPECT_EQ(battery_charge, s.charge) << s.at_s;
        elec_ess_equipment_level = s.level;
        std::memset(elec_batt_sw, s.batts, sizeof elec_batt_sw);
        ext_power_on = s.ext;
        frames(1);
        EXPECT_EQ(battery_charge, s.charge) << s.at_s;
        frames(1);
        EXPECT_EQ(battery_current, s.current) << s.at_s;
    }
}

// Every battery OFF pauses a 10 A discharge with its odd seconds kept: back on at the same level,
// the next unit goes when three seconds in all have passed, not three from the restart.
TEST_F(Battery, ALowRateDischargePausedByTheSwitchesKeepsItsOddSeconds) {
    elec_ess_equipment_level = 0;
    std::memset(elec_batt_sw, 1, sizeof elec_batt_sw);
    until(600.0);
    ASSERT_EQ(battery_current, -10);
    const u32 c0 = battery_charge;
    until(640.2);  // 40 s: 13 units and 1 s towards the next
    EXPECT_EQ(battery_charge, c0 - 13);
    std::memset(elec_batt_sw, 0, sizeof elec_batt_sw);
    until(650.2);
    EXPECT_EQ(battery_charge, c0 - 13) << "nothing used while OFF";
    std::memset(elec_batt_sw, 1, sizeof elec_batt_sw);
    until(652.6);
    EXPECT_EQ(battery_charge, c0 - 14) << "two seconds after the restart: three in all";
}

// Charging from 1700: 50 A up to 1750, then 49 falling to 1 A as the battery fills, 0 A when full;
// the charge climbs one unit a second all the way and a full battery on charge clears the carry.
TEST_F(Battery, ChargeTapersAbove1750) {
    until(100);
    ASSERT_EQ(battery_charge, 1700u);
    ext_power_on = 1;
    i32 current_at[1801] = {};
    f64 full_at = 0;
    while (battery_charge < 1800 && host().frame() < u64(300 * host().fps())) {
        const u32 before = battery_charge;
        frames(1);
        ASSERT_EQ(elec_batt_discharging & elec_batt_charging, 0) << "never both phases";
        if (battery_current > 0) current_at[before] = battery_current;
        if (battery_charge == 1800) full_at = host().token(tk::sim_time);
    }
    frames(1);
    for (const auto& [charge, amps] : {std::pair{1700, 50}, {1745, 50}, {1750, 50}, {1751, 49}, {1775, 25}, {1799, 1}})
        EXPECT_EQ(current_at[charge], amps) << charge;
    EXPECT_NEAR(full_at, 200.0, 2.0) << "100 units in 100 s";
    EXPECT_EQ(battery_current, 0);
    EXPECT_EQ(elec_batt_discharge_carry_s, 0u);
}

TEST_F(Battery, AClockRunningBackwardsCountsNothing) {
    until(600);
    for (f64 back_to : {300.0, 100.0, -5.0, std::numeric_limits<f64>::quiet_NaN()}) {
        const u32 before = battery_charge;
        const f64 was = host().token(tk::sim_time);
        token(tk::sim_time, back_to);
        frames(1);
        EXPECT_EQ(battery_charge, before) << back_to;
        if (back_to != back_to) token(tk::sim_time, was);  // no number for a frame counts no time
        frames(18 * 10);
        EXPECT_LE(battery_charge, before) << back_to;
        EXPECT_GE(battery_charge + 10, before) << back_to;
    }
}

TEST_F(SystemsTest, GeneratorLoadNeedsTenPercentN1) {
    start();
    elec_gen_sw[0] = 1;
    const struct { f64 n1; u32 load; } cases[] = {{10.0, 50}, {9.99, 0}, {std::nan(""), 0}};
    for (const auto& c : cases) {
        token(tk::eng1_n1, c.n1);
        frames(1);
        EXPECT_EQ(elec_gen1_load, c.load) << c.n1;
        EXPECT_EQ(elec_ac_bus1_powered, c.load ? 1 : 0) << c.n1;
    }
    elec_gen_sw[0] = 2;  // TEST
    frames(1);
    EXPECT_EQ(elec_gen1_load, 0u);
}

TEST_F(SystemsTest, ContactorsCloseTogetherOnAGeneratorFailure) {
    start();
    engines(90, 90);
    elec_gen_sw[0] = elec_gen_sw[1] = 1;
    frames(3);
    // The host's generator 2 drops off line: the failure timers mark it failed at the end of a
    // frame, the network acts on it in the next.
    token(763, 0.0);
    frames(1);
    ASSERT_EQ(fail_active[2], 1);
    frames(1);
    EXPECT_EQ(elec_trans_closed[0] + elec_trans_closed[1], 2) << "both in the same frame";
    EXPECT_EQ(elec_gen1_load, 50u);
    frames(1);
    EXPECT_EQ(elec_gen1_load, 100u) << "one frame later";
    elec_trans_sw[1] = 0;
    frames(1);
    EXPECT_EQ(elec_trans_closed[1], 0) << "TRANS OFF opens it whatever the sources";
}

// Engine generators only, one of them off: both contactors close and the other feeds both buses
// at 100.
TEST_F(SystemsTest, EitherGeneratorAloneFeedsBothBuses) {
    start();
    engines(90, 90);
    for (size_t on : {0, 1}) {
        elec_gen_sw[0] = on == 0 ? 1 : 0;
        elec_gen_sw[1] = on == 1 ? 1 : 0;
        frames(4);
        EXPECT_EQ(elec_trans_closed[0] + elec_trans_closed[1], 2) << on;
        EXPECT_EQ(elec_ac_bus1_powered + elec_ac_bus2_powered, 2) << on;
        EXPECT_EQ(on == 0 ? elec_gen1_load : elec_gen2_load, 100u) << on;
        elec_trans_sw[on] = 0;  // one contactor open: the other bus is not fed
        frames(4);
        EXPECT_EQ(elec_ac_bus1_powered + elec_ac_bus2_powered, 1) << on;
        EXPECT_EQ(on == 0 ? elec_ac_bus1_powered : elec_ac_bus2_powered, 1) << on;
        EXPECT_EQ(warn_ac_fault, 1) << on << ": the dead bus raises the AC fault";
        elec_trans_sw[on] = 1;
    }
}

// DC fault: raised by a TR switched ON without its AC bus, never by one switched OFF, and cleared
// only once all three TRs give output. DC essential: batteries first, then the ESS TR on AC bus 1,
// then the DC TIE from the DC normal bus, which alone counts as fed through the tie.
TEST_F(SystemsTest, DcFaultAndTheEssentialBusSources) {
    start();
    all_buses();
    frames(2);
    ASSERT_EQ(warn_dc_fault, 0);
    const struct { u8 ext, tr1, batts, ess_tr, tie, fault, dc_ess, via_tie; } steps[] = {
        {1, 0, 1, 1, 1, 0, 1, 0},  // TR 1 OFF: no fault
        {0, 0, 1, 1, 1, 1, 1, 0},  // AC lost: the TRs left ON raise it
        {1, 0, 1, 1, 1, 1, 1, 0},  // AC back, TR 1 still OFF: not cleared
        {1, 1, 1, 1, 1, 0, 1, 0},
        {1, 1, 0, 1, 1, 0, 1, 0},  // batteries OFF: the ESS TR
        {1, 1, 0, 0, 1, 0, 1, 1},  // ESS TR OFF: through the tie
        {1, 1, 0, 0, 0, 0, 0, 1},  // tie SPLIT: dead, the tie flag as it was
        {1, 1, 0, 1, 0, 0, 1, 0},  // from dead, the ESS TR alone
        {1, 1, 0, 0, 0, 0, 0, 0},
        {1, 1, 1, 0, 0, 0, 1, 0},  // the batteries again
        {1, 1, 0, 0, 1, 0, 1, 1},
        {1, 1, 0, 1, 0, 0, 1, 0},
    };
    for (const auto& s : steps) {
        ext_power_on = s.ext;
        elec_tr_sw[0] = s.tr1, elec_tr_sw[2] = s.ess_tr;
        std::memset(elec_batt_sw, s.batts, sizeof elec_batt_sw);
        elec_dc_tie_sw = s.tie;
        frames(3);
        SCOPED_TRACE(testing::Message() << "step " << &s - steps);
        EXPECT_EQ(warn_dc_fault, s.fault);
        EXPECT_EQ(dc_ess_powered, s.dc_ess);
        EXPECT_EQ(elec_dc_ess_via_tie, s.via_tie);
    }
}

// The AC essential bus by its selector, with generator 1 alone running: a live source powers it;
// a dead one hands it to the emergency inverter while the DC essential bus is powered, and leaves
// it dead otherwise.
TEST_F(SystemsTest, EssentialAcBusBySelector) {
    start();
    engines(90, 0);
    elec_gen_sw[0] = 1;
    std::memset(elec_batt_sw, 0, sizeof elec_batt_sw);
    elec_tr_sw[2] = 0;  // no ESS TR: DC essential only through the tie
    const struct { u8 tie, sel, dc_ess, powered, alternate; } cases[] = {
        {0, 1, 0, 1, 0}, {0, 0, 0, 0, 0}, {0, 2, 0, 1, 0}, {0, 3, 0, 0, 0}, {0, 4, 0, 0, 0},
        {1, 0, 1, 0, 1}, {1, 3, 1, 0, 1}, {1, 4, 1, 1, 1}, {1, 1, 1, 1, 0},
    };
    for (const auto& c : cases) {
        elec_dc_tie_sw = c.tie;
        elec_ess_ac_source_sel = c.sel;
        frames(3);
        SCOPED_TRACE(testing::Message() << "selector " << int(c.sel) << " tie " << int(c.tie));
        EXPECT_EQ(dc_ess_powered, c.dc_ess);
        EXPECT_EQ(elec_ess_ac_powered, c.powered);
        EXPECT_EQ(elec_ess_ac_on_alternate, c.alternate);
        EXPECT_EQ(elec_ess_ac_any_powered, c.powered | c.alternate);
    }
}

// The APU generator's two load halves by the contactors: both closed 100 and 100, one 50 and 50,
// none 100 and 0.
TEST_F(SystemsTest, ApuGeneratorLoadsByTheContactors) {
    start();
    apu_running = 1;
    elec_gen_sw[2] = 1;
    engines(90, 90);
    const struct { u8 gen1, gen2, apu_gen; u32 a, b; } cases[] = {
        {0, 0, 1, 100, 100}, {1, 0, 1, 50, 50}, {1, 1, 1, 100, 0}, {0, 0, 1, 100, 100}, {0, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        elec_gen_sw[0] = c.gen1, elec_gen_sw[1] = c.gen2, elec_gen_sw[2] = c.apu_gen;
        frames(4);
        EXPECT_EQ(elec_apu_gen_load_a, c.a) << int(c.gen1) << int(c.gen2);
        EXPECT_EQ(elec_apu_gen_load_b, c.b) << int(c.gen1) << int(c.gen2);
    }
}

// The frame the last source goes the batteries discharge, though the ESS TR still gave output on
// the frame before.
TEST_F(SystemsTest, BatteriesDischargeTheFrameTheLastSourceGoes) {
    start();
    all_buses();
    frames(5);
    ASSERT_EQ(battery_current, 0) << "full, on charge";
    ext_power_on = 0;
    frames(1);
    EXPECT_LT(battery_current, 0);
}
