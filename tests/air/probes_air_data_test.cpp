// Probe heat, PROBES, the host's pitot heat, pitot fault and air-data validity through the host.
#include <string>

#include "tests/systems/systems_fixture.h"
#include "air/state.h"
#include "electrical/state.h"

class Probes : public SystemsTest {
protected:
    void SetUp() override {
        SystemsTest::SetUp();
        start();
        all_buses();
        frames(2);
        new_keys();
    }
};

TEST_F(Probes, ProbesWarnsWhenAnyHeaterIsOffWithEssentialDcPower) {
    EXPECT_EQ(warn_probes, 1) << "switches off";
    std::memset(aice_probe_heat_sw, 1, sizeof aice_probe_heat_sw);
    frames(1);
    EXPECT_EQ(warn_probes, 0);
    u32 value = 99;
    EXPECT_EQ(sent_now(key_pitot_heat_on, &value), 1u);
    EXPECT_EQ(value, 0u);
    frames(3);
    EXPECT_EQ(sent_now(key_pitot_heat_on), 0u) << "the host followed";
    token(286, 1.0);  // the pitot heater failed, the thirteen others warm
    frames(1);
    EXPECT_EQ(warn_probes, 1) << "one heater off is enough";
    token(286, 0.0);
    frames(2);
    new_keys();
    elec_trans_sw[1] = 0;  // AC bus 2 lost: heaters 10 and 12 go cold
    frames(1);
    EXPECT_EQ(aice_probe_lamp[10] + aice_probe_lamp[12], 0);
    EXPECT_EQ(warn_probes, 1);
    dead();
    EXPECT_EQ(warn_probes, 0) << "never without DC essential power";
    EXPECT_EQ(sent_now(key_pitot_heat_off, &value), 1u);
    EXPECT_EQ(value, 0u);
}

TEST_F(Probes, PneuFollowsEitherBleedFault) {
    const struct { u8 left, right, pneu; } cases[] = {{1, 0, 1}, {0, 0, 0}, {0, 1, 1}, {1, 1, 1}};
    for (const auto& c : cases) {
        air_bleed_fault[0] = c.left, air_bleed_fault[1] = c.right;
        frames(1);
        EXPECT_EQ(warn_pneu, c.pneu) << int(c.left) << int(c.right);
    }
}

TEST_F(Probes, PitotFaultOnlyAirborneSlowAtHighMachToken) {
    const struct { f64 on_ground, ias, mach; u8 fault; } cases[] = {
        {1.0, 0.0, 9999.0, 0}, {0.0, 9.9, 3000.1, 1}, {0.0, 10.0, 3000.1, 0}, {0.0, 5.0, 3000.0, 0}};
    for (const auto& c : cases) {
        token(tk::on_ground, c.on_ground);
        token(tk::ias, c.ias);
        token(tk::mach, c.mach);
        frames(1);
        EXPECT_EQ(aice_pitot_fault, c.fault) << c.on_ground << " " << c.ias << " " << c.mach;
    }
}

TEST_F(Probes, AComputerIsFullyValidAgainOnItsThirdFrame) {
    elec_trans_sw[1] = 0;  // AC bus 2 feeds ADC 2
    frames(2);
    EXPECT_EQ(warn_ads, 1);
    elec_trans_sw[1] = 1;
    for (u8 want : {0, 0, 1}) {
        frames(1);
        EXPECT_EQ(inst_adc2_ok, want);
    }
    EXPECT_EQ(warn_ads, 0);
}

// ADC 1's flags by host failure: airspeed takes the airspeed-based flags, the altimeter also the
// vertical speed, the VSI only its own; the pitot takes airspeed from both computers. Without
// power every ADC 1 flag is 0.
TEST_F(Probes, AirDataFlagsFollowTheHostFailures) {
    const struct { u32 failed; bool power; const char* adc1; u8 adc2_ias, ads; } cases[] = {
        // ias, alt, air, vs, sat, tas, ok
        {0, true, "1111111", 1, 0},
        {tk::airspeed_fail, true, "0101000", 1, 1},
        {tk::altimeter_fail, true, "1000000", 1, 1},
        {tk::vsi_fail, true, "1110111", 1, 0},
        {tk::pitot_fail, true, "0101000", 0, 1},
        {0, false, "0000000", 0, 1},
    };
    for (const auto& c : cases) {
        for (u32 id : {tk::airspeed_fail, tk::altimeter_fail, tk::vsi_fail, tk::pitot_fail}) token(id, id == c.failed);
        if (c.power)
            all_buses();
        else
            dead();
        frames(3);
        const u8 flags[] = {inst_adc1_ias_valid, inst_adc1_alt_valid, inst_adc1_air_valid, inst_adc1_vs_valid,
                            inst_adc1_sat_valid, inst_adc1_tas_valid, inst_adc1_ok};
        std::string adc1;
        for (u8 f : flags) adc1 += char('0' + f);
        EXPECT_EQ(adc1, c.adc1) << c.failed << " " << c.power;
        EXPECT_EQ(inst_adc1_powered, c.power ? 1 : 0);
        EXPECT_EQ(inst_adc2_ias_valid, c.adc2_ias) << c.failed;
        EXPECT_EQ(warn_ads, c.ads) << c.failed;
    }
}
