// Start-up sequence and presets through the host: the first frame, EASY START's countdown and
// take-off set-up, COLD START, the automatic modes, and hostile host values.
#include <vector>

#include "sim_control/presets.h"
#include "sim_control/presets_keys.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "lighting/state.h"
#include "sim_control/state.h"
#include "systems/state.h"
#include "module/keys.h"
#include "tests/systems/systems_fixture.h"

namespace {
constexpr u32 kFlapsLeft = 329, kAltitude = 74, kStarter1 = 563, kStarter2 = 573;
}  // namespace

TEST_F(SystemsTest, FirstFrameSetsReadyValuesAndClosesSixWindowsOnce) {
    frames(1);
    EXPECT_EQ(panel_init_state, 2);
    std::vector<u32> closed;
    for (const KeyLogEntry& k : new_keys())
        if (k.id == key_panel_id_close) {
            EXPECT_FALSE(k.sent) << "window closes are triggered";
            closed.push_back(k.value);
        }
    EXPECT_EQ(closed, (std::vector<u32>{10030, 10040, 10045, 10050, 10090, 10080}));
    const std::vector<u8> ready{eng_hp_valve_open[1], elec_gen_sw[0], elec_gen_sw[2], fctl_pitch_trim_sw[1],
                               hyd_eng_pump_sw[3]};
    EXPECT_EQ(ready, (std::vector<u8>{1, 1, 0, 1, 100}));
    elec_gen_sw[0] = 0;
    frames(5);
    EXPECT_EQ(sent(new_keys(), key_panel_id_close), 0u);
    EXPECT_EQ(elec_gen_sw[0], 0) << "the ready values come once";
}

// Airborne with both engines running, EASY START ends when its frame countdown reads 0.
TEST_F(SystemsTest, EasyStartInTheAirEndsWhenTheCountdownRunsOut) {
    start();
    engines(25.0, 25.0);
    token(kAltitude, 3000.0);
    // From the failures panel, from the chooser, run out on the ground, a wrapped byte.
    const struct { u8 delay; u64 frames; } kCases[] = {{100, 100}, {99, 99}, {0, 1}, {255, 100}};
    for (const auto& c : kCases) {
        panel_easy_start_delay = c.delay;
        panel_preset_select[0] = 1;
        u64 n = 0;
        for (; panel_preset_select[0] == 1 && n < 400; ++n) frames(1);
        EXPECT_EQ(n, c.frames) << int(c.delay);
        EXPECT_EQ(panel_easy_start_delay, kEasyStartDelayFull);
    }
    EXPECT_EQ(sent_now(key_systems_event_1003f), 0u) << "no take-off set-up in the air";
}

TEST_F(SystemsTest, EasyStartOnTheGroundTrimsAndEndsWithTakeoffFlapsOnce) {
    start();
    engines(25.0, 25.0);
    token(tk::on_ground, 1.0);
    inst_flap_detent[1] = 15;
    panel_preset_select[0] = 1;
    frames(40);
    EXPECT_EQ(panel_preset_select[0], 1) << "waits for take-off flaps";
    EXPECT_NEAR(fctl_pitch_trim_deg, 1.0, 0.05);
    token(kFlapsLeft, 5.0);
    frames(1);
    EXPECT_EQ(panel_preset_select[0], 0);
    EXPECT_EQ(panel_takeoff_setup_done, 1);
    new_keys();
    panel_preset_select[0] = 1;  // a second EASY START skips the set-up
    frames(1);
    EXPECT_EQ(sent_now(key_systems_event_1003f), 0u);
}

class ColdStart : public SystemsTest, public ::testing::WithParamInterface<f64> {};
TEST_P(ColdStart, AppliesInOneFrameAndParksOnlyAReleasedBrake) {
    start();
    token(tk::parking_brake, GetParam());
    fail_select[10] = fail_select[12] = fail_select[13] = light_strobe_sw = 1;
    panel_preset_select[1] = 1;
    frames(1);
    EXPECT_EQ(sent_now(key_parking_brakes), GetParam() == 0.0 ? 1u : 0u);
    EXPECT_EQ(host().token(tk::parking_brake), 1.0);
    EXPECT_EQ(panel_preset_select[1] + fail_select[10] + fail_select[12] + fail_select[13], 0);
    EXPECT_EQ(elec_batt_sw[0] + elec_gen_sw[0] + hyd_xfer_sw[0] + light_strobe_sw + fctl_rudder_limiter_sw[1], 0);
}
INSTANTIATE_TEST_SUITE_P(Brake, ColdStart, ::testing::Values(0.0, 1.0));

// Hydraulic automatic: the electric pumps run on the ground while either engine is below 20 %
// N1, in the air only while both are.
TEST_F(SystemsTest, HydAutoRunsTheElectricPumpsWhileTheEnginesAreSlow) {
    start();
    const struct { f64 ground, n1_1, n1_2; u8 pumps; } kCases[] = {
        {1, 25, 25, 0}, {1, 25, 19.9, 1}, {0, 25, 19.9, 0}, {0, 19.9, 10, 1}};
    for (const auto& c : kCases) {
        token(tk::on_ground, c.ground);
        token(tk::eng1_n1, c.n1_1);
        token(tk::eng2_n1, c.n1_2);
        fail_select[3] = fail_select[13] = 1;
        frames(1);
        EXPECT_EQ(hyd_elec_pump_sw[0] + hyd_elec_pump_sw[1], 2 * c.pumps) << c.ground << " " << c.n1_2;
        EXPECT_EQ(fail_select[3], 0);
        EXPECT_EQ(fail_select[13], 1) << "stays on until cleared";
    }
}

// Every preset, mode and failure item at once on garbage host values: the debug check after each
// frame catches any byte out of range or shared double gone non-finite.
class HostilePresets : public SystemsTest, public ::testing::WithParamInterface<f64> {};
TEST_P(HostilePresets, BreakNothing) {
    start();
    const u32 ids[] = {tk::on_ground, tk::ias, tk::eng1_n1, tk::eng1_n2, tk::eng2_n1, tk::eng2_n2, tk::sim_time,
                       tk::parking_brake, kFlapsLeft, kAltitude, kStarter1, kStarter2, 761, 763, 732, 733, 781};
    for (u32 id : ids) token(id, GetParam());
    for (int round = 0; round < 2; ++round) {
        panel_preset_select[round] = 1;
        for (u8& s : fail_select) s = 1;
        fail_eng1_select = fail_eng2_select = 1;
        for (u8& s : fail_setting) s = 255;
        frames(5);
        EXPECT_LE(panel_easy_start_delay, kEasyStartDelayFull);
    }
}
INSTANTIATE_TEST_SUITE_P(Values, HostilePresets, ::testing::Values(NAN, INFINITY, -INFINITY, 1e300, -1e300));
