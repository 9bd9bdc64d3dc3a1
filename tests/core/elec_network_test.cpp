// The electrical network through the host: battery timelines at several frame rates (with the
// mended charge bookkeeping), charging, generator thresholds, contactors, AC buses, the AC
// essential bus and the DC and AC faults.
#include <limits>
#include <string>

#include "tests/core/systems_fixture.h"

// ---- battery discharge timelines -------------------------------------------------------------
struct Discharge {
    f64 fps;
    u8 level;           // elec_ess_equipment_level
    i32 current;
    u32 empty_after_s;  // 1800 at 50 A, 5400 at 10 A
};
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
    EXPECT_EQ(battery_charge, 900u);
    at(d.empty_after_s - 1);
    EXPECT_GE(battery_charge, 1u);
    EXPECT_EQ(dc_ess_powered, 1);
    at(d.empty_after_s);
    EXPECT_EQ(battery_charge, 0u);
    EXPECT_EQ(dc_ess_powered, 0) << "an empty battery no longer feeds the essential bus";
    frames(u64(100 * d.fps));
    EXPECT_EQ(battery_charge, 0u);
    EXPECT_EQ(battery_current, d.current) << "still shows a discharge";
}
INSTANTIATE_TEST_SUITE_P(Rates, BatteryDischarge,
                         ::testing::Values(Discharge{18, 2, -50, 1800}, Discharge{18, 1, -50, 1800},
                                           Discharge{10, 2, -50, 1800}, Discharge{60, 2, -50, 1800},
                                           Discharge{18, 0, -10, 5400}, Discharge{30, 0, -10, 5400}),
                         [](const ::testing::TestParamInfo<Discharge>& i) {
                             return "fps" + std::to_string(int(i.param.fps)) + "_level" +
                                    std::to_string(int(i.param.level));
                         });

// ---- segments: pause, level change, charge, clock running backwards --------------------------
class Battery : public SystemsTest {
protected:
    void SetUp() override {
        SystemsTest::SetUp();
        elec_ess_equipment_level = 2;
        start();
    }
    void until(f64 sim_s) { frames(u64(sim_s * host().fps() + 0.5) - host().frame()); }
};

TEST_F(Battery, AllOffKeepsTheSecondsDischargedAndResumesThere) {
    until(600);
    EXPECT_EQ(battery_charge, 1200u);
    std::memset(elec_batt_sw, 0, sizeof elec_batt_sw);
    frames(1);
    EXPECT_EQ(battery_current, 0);
    EXPECT_EQ(elec_batt_discharge_carry_s, 600u);
    until(900);
    EXPECT_EQ(battery_charge, 1200u);
    elec_batt_sw[2] = 1;
    frames(1);
    EXPECT_EQ(battery_charge, 1200u);
    until(910);
    EXPECT_EQ(battery_charge, 1190u);
}

TEST_F(Battery, ChangingTheCurrentLevelNeverMakesTheChargeJump) {
    until(900);
    EXPECT_EQ(battery_charge, 900u);
    elec_ess_equipment_level = 0;  // 50 A to 10 A
    frames(1);
    EXPECT_EQ(battery_current, -10);
    EXPECT_EQ(battery_charge, 900u);
    until(930);
    EXPECT_EQ(battery_charge, 890u);
    elec_ess_equipment_level = 1;  // and back to 50 A
    frames(1);
    EXPECT_EQ(battery_charge, 890u);
    until(940);
    EXPECT_EQ(battery_charge, 880u);
}

TEST_F(Battery, ADischargeAfterAPartialChargeStartsFromTheCharge) {
    until(600);
    ext_power_on = 1;  // AC buses this frame, ESS TR output the next: charging from then on
    frames(2);
    EXPECT_EQ(battery_current, 50);
    until(900);
    const u32 charged = battery_charge;
    EXPECT_NEAR(charged, 1500.0, 1.0);
    ext_power_on = 0;
    frames(1);
    EXPECT_EQ(battery_current, -50);
    EXPECT_EQ(battery_charge, charged);
    until(950);
    EXPECT_EQ(battery_charge, charged - 50);
}

TEST_F(Battery, AClockRunningBackwardsCountsNothing) {
    until(600);
    for (f64 back_to : {300.0, 100.0, -5.0, std::numeric_limits<f64>::quiet_NaN()}) {
        const u32 before = battery_charge;
        token(tk::sim_time, back_to);
        frames(1);
        EXPECT_EQ(battery_charge, before) << back_to;
        frames(18 * 10);
        EXPECT_LE(battery_charge, before) << back_to;
        EXPECT_GE(battery_charge + 10, before) << back_to;
    }
}

TEST_F(Battery, ChargingRisesOneUnitASecondAndTapersAboveThe1750Mark) {
    ext_power_on = 1;
    frames(1);  // AC buses up; the ESS TR gives output from the next frame
    battery_charge = 1700;
    frames(1);
    ASSERT_EQ(elec_batt_charging, 1);
    const f64 t0 = std::floor(host().frame() / host().fps());
    struct Step {
        f64 after_s;
        u32 charge;
        i32 current_next;  // the current the next frame computes from this charge
    } steps[] = {{10, 1710, 50}, {50, 1750, 50}, {51, 1751, 49}, {99, 1799, 1}, {100, 1800, 0}, {200, 1800, 0}};
    for (const Step& s : steps) {
        frames(u64((t0 + s.after_s) * 18) - host().frame());
        EXPECT_EQ(battery_charge, s.charge) << s.after_s;
        frames(1);
        EXPECT_EQ(battery_current, s.current_next) << s.after_s;
    }
    EXPECT_EQ(elec_batt_discharge_carry_s, 0u) << "a full battery on charge clears the carry";
    EXPECT_EQ(elec_batt_charging, 0);
}

TEST_F(Battery, ASourceWithoutTheEssTrStillDischarges) {
    ext_power_on = 1;
    elec_tr_sw[2] = 0;
    frames(3);
    EXPECT_EQ(elec_ac_bus1_powered, 1);
    EXPECT_EQ(dc_ess_powered, 1);
    EXPECT_EQ(elec_dc_ess_via_tie, 0) << "the batteries feed it";
    EXPECT_EQ(battery_current, -50);
}

// ---- generators, contactors, buses -----------------------------------------------------------
TEST_F(SystemsTest, GeneratorLoadNeedsTenPercentN1) {
    start();
    elec_gen_sw[0] = 1;
    const struct {
        f64 n1;
        u32 load;
    } cases[] = {{10.0, 50}, {9.99, 0}, {std::nan(""), 0}, {95.0, 50}, {-1.0, 0}};
    for (const auto& c : cases) {
        token(tk::eng1_n1, c.n1);
        frames(1);
        EXPECT_EQ(elec_gen1_load, c.load) << c.n1;
        EXPECT_EQ(elec_ac_bus1_powered, c.load ? 1 : 0) << c.n1;
    }
    elec_gen_sw[0] = 2;  // TEST position
    frames(1);
    EXPECT_EQ(elec_gen1_load, 0u);
}

TEST_F(SystemsTest, GeneratorFailureClosesBothContactorsInTheSameFrame) {
    start();
    engines(90, 90);
    elec_gen_sw[0] = elec_gen_sw[1] = 1;
    frames(3);
    EXPECT_EQ(elec_trans_closed[0] + elec_trans_closed[1], 0);
    EXPECT_EQ(elec_gen1_load, 50u);
    EXPECT_EQ(elec_gen2_load, 50u);
    fail_active[2] = 1;
    frames(1);
    EXPECT_EQ(elec_trans_closed[0] + elec_trans_closed[1], 2);
    EXPECT_EQ(elec_ac_bus2_powered, 1) << "fed from generator 1";
    EXPECT_EQ(elec_gen1_load, 50u);
    frames(1);
    EXPECT_EQ(elec_gen1_load, 100u) << "one frame later";
}

TEST_F(SystemsTest, GroundPowerFeedsTheBusWhoseGeneratorIsOffLine) {
    start();
    engines(90, 0);
    elec_gen_sw[0] = 1;
    ext_power_on = 1;
    frames(2);
    EXPECT_EQ(elec_trans_closed[0], 0);
    EXPECT_EQ(elec_trans_closed[1], 1);
    EXPECT_EQ(elec_ac_bus2_powered, 1);
    elec_trans_sw[1] = 0;
    frames(1);
    EXPECT_EQ(elec_trans_closed[1], 0) << "TRANS OFF opens it whatever the sources";
    EXPECT_EQ(elec_ac_bus2_powered, 0);
    EXPECT_EQ(warn_ac_fault, 1);
}

TEST_F(SystemsTest, EssentialAcSourcesAndAlternate) {
    start();
    struct {
        u8 selector;
        u8 powered, alternate, fault;
    } cases[] = {{1, 0, 1, 1}, {4, 1, 1, 1}, {2, 0, 1, 1}};
    for (const auto& c : cases) {
        elec_ess_ac_source_sel = c.selector;
        frames(1);
        EXPECT_EQ(elec_ess_ac_powered, c.powered) << int(c.selector);
        EXPECT_EQ(elec_ess_ac_on_alternate, c.alternate) << int(c.selector);
        EXPECT_EQ(elec_ess_ac_any_powered, 1);
        EXPECT_EQ(warn_ac_fault, c.fault) << int(c.selector);
    }
    dead();
    EXPECT_EQ(elec_ess_ac_any_powered, 0);
    EXPECT_EQ(warn_ac_fault, 0) << "cleared without DC essential power";
}

TEST_F(SystemsTest, DcFaultOnlyFromATrThatIsOnWithItsBusDead) {
    start();
    EXPECT_EQ(warn_dc_fault, 1);
    all_buses();
    frames(1);
    EXPECT_EQ(warn_dc_fault, 0) << "all three TRs give output";
    elec_tr_sw[1] = 0;
    frames(2);
    EXPECT_EQ(warn_dc_fault, 0) << "a TR switched off raises nothing";
    EXPECT_EQ(dc_normal_powered, 1);
    elec_tr_sw[1] = 1;
    elec_trans_sw[1] = 0;  // AC bus 2 dead
    frames(2);
    EXPECT_EQ(warn_dc_fault, 1);
    elec_trans_sw[1] = 1;
    frames(3);
    EXPECT_EQ(warn_dc_fault, 0);
}
