// Probe heat, PROBES, the host's pitot heat, pitot fault and air-data validity through the host.
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
    EXPECT_EQ(sent_now(key_pitot_heat_on), 1u);
    frames(3);
    EXPECT_EQ(sent_now(key_pitot_heat_on), 0u) << "the host followed";
    elec_trans_sw[1] = 0;  // AC bus 2 lost: heaters 10 and 12 go cold
    frames(1);
    EXPECT_EQ(aice_probe_lamp[10] + aice_probe_lamp[12], 0);
    EXPECT_EQ(warn_probes, 1);
    dead();
    EXPECT_EQ(warn_probes, 0) << "never without DC essential power";
    EXPECT_EQ(sent_now(key_pitot_heat_off), 1u);
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
