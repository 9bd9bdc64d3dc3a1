// The systems computer as a whole: the first frame (selectors, the single battery check), the
// per-frame service only, order independence, and hostile host values that must leave every
// shared value finite and in range.
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "autoflight/state.h"
#include "air/state.h"
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "systems/state.h"
#include "systems/systems_computer.h"
#include "module/tokens.h"
#include "tests/systems/systems_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
constexpr f64 kInf = std::numeric_limits<f64>::infinity();
}  // namespace

// Each case is a fresh process: the first frame happens once.
class FirstFrame : public SystemsTest, public ::testing::WithParamInterface<std::pair<f64, size_t>> {};
TEST_P(FirstFrame, CapturesSelectorsAndChecksTheHostBatteryOnce) {
    const auto [volts, events] = GetParam();
    token(tk::bus_volts, volts);
    token(tk::hdg_sel, 359.7);
    token(tk::nav1_obs, 12.9);
    frames(1);
    u32 value = 99;
    EXPECT_EQ(sent_now(key_battery_master_toggle, &value), events);
    EXPECT_EQ(value, events ? 0u : 99u);
    EXPECT_EQ(ap_selected_heading, 359);
    EXPECT_EQ(ap_selected_course, 12);
    token(tk::bus_volts, 0.0);  // never again, whatever the voltage or the selectors do
    token(tk::hdg_sel, 100.0);
    frames(5);
    EXPECT_EQ(sent_now(key_battery_master_toggle), 0u);
    EXPECT_EQ(ap_selected_heading, 359);
}
INSTANTIATE_TEST_SUITE_P(Volts, FirstFrame,
                         ::testing::Values(std::pair{4.9, size_t(1)}, std::pair{5.0, size_t(0)},
                                           std::pair{kNaN, size_t(0)}, std::pair{-kInf, size_t(1)}));

TEST_F(SystemsTest, OnlyThePerFrameServiceActsAndRefreshesTheTick) {
    GaugeHeader* g = gauge(kSystems);
    for (i32 service : {0, 2, 5, 7, 12}) g->callback(g, service, 0);
    EXPECT_EQ(panel_init_state, 0);
    EXPECT_EQ(dc_ess_powered, 0);
    EXPECT_TRUE(new_keys().empty());
    frames(37);
    EXPECT_EQ(token_f64(tok_tick18), host().token(tk::tick));
    EXPECT_EQ(token_f64(tok_tick18), 37.0);
}

// The computer's own gauge shows the annunciator light switch where it stands (3 DIM, 4 BRT,
// 5 TEST), its fixed switch images 1, 2 and 6 always and position 7 never; TEST is lamp test.
TEST_F(SystemsTest, FlightDeckPanelShowsItsSwitchEveryFrame) {
    const struct { i32 x, y; u8 sw; size_t shown; } kClicks[] = {
        {113, 9, 2, 5}, {102, 43, 1, 3}, {107, 26, 0, 4}, {145, 25, 2, 5}};
    for (const auto& c : kClicks) {
        EXPECT_TRUE(click(kSystems, c.x, c.y));
        EXPECT_EQ(light_flt_deck_sw, c.sw);
        frames(1);
        std::string shown;
        for (size_t pos = 1; pos <= 7; ++pos) shown += hidden(element(kSystems, pos)) ? '-' : char('0' + pos);
        EXPECT_EQ(shown, std::string("12") + (c.shown == 3 ? "3--" : c.shown == 4 ? "-4-" : "--5") + "6-");
        EXPECT_EQ(light_lamp_test, c.sw == 2 ? 1 : 0);
    }
}

// Every placed gauge, called in the host's order and in reverse: the numbers do not depend on it.
class GaugeOrder : public SystemsTest, public ::testing::WithParamInterface<bool> {};
TEST_P(GaugeOrder, NumbersHoldInEitherOrder) {
    host().remove(gauge(kSystems));
    host().place_all();
    host().set_reverse_order(GetParam());
    start();
    engines(25.0, 0.0);
    frames(99);
    EXPECT_EQ(hyd_press_blue, 2970u);
    frames(1);
    EXPECT_EQ(hyd_press_blue, 3000u);
    frames(1800 - 101);  // 100 s from the first frame
    ASSERT_TRUE(battery_current == -50 || battery_current == -10) << battery_current;
    EXPECT_EQ(battery_charge, battery_current == -50 ? 1700u : 1800u - 33u);
}
INSTANTIATE_TEST_SUITE_P(Reverse, GaugeOrder, ::testing::Bool());

// Hostile values in every token read, in several aircraft states: the debug check after each
// frame aborts on any non-finite or out-of-range value.
class HostileTokens : public SystemsTest, public ::testing::WithParamInterface<f64> {};
TEST_P(HostileTokens, LeaveEverySharedValueFiniteAndInRange) {
    const u32 read[] = {tk::pitot_heat, tk::on_ground, tk::ias, tk::mach, tk::ap_engaged, tk::hdg_sel,
                        tk::yaw_damper, tk::mixture1, tk::mixture2, tk::airspeed_fail, tk::altimeter_fail,
                        tk::vsi_fail, tk::pitot_fail, tk::aileron, tk::rudder, tk::elevator, tk::trim_axis,
                        tk::parking_brake, tk::spoilers, tk::flaps, tk::gear_left, tk::gear_right,
                        tk::eng1_n1, tk::eng1_n2, tk::eng2_n1, tk::eng2_n2, tk::bus_volts,
                        tk::pitch_trim_rad, tk::sys_fraction, tk::nav1_obs, tk::exit1};
    const f64 v = GetParam();
    for (u32 id : read) token(id, v);
    fctl_pitch_trim_sw[0] = fctl_pitch_trim_sw[1] = 1;
    frames(40);
    token(tk::sim_time, v);  // the clock itself jumps
    frames(40);
    all_buses();
    elec_ess_equipment_level = 2;
    frames(40);
    token(tk::tick, v);
    token(tk::sim_time, -1e6);
    frames(40);
    dead();
    frames(5);
    systems_check_invariants();
    EXPECT_TRUE(std::isfinite(fctl_pitch_trim_deg));
    EXPECT_TRUE(std::isfinite(fctl_trim_sample_due));
    EXPECT_LE(battery_charge, 1800u);
}
INSTANTIATE_TEST_SUITE_P(Values, HostileTokens, ::testing::Values(kNaN, kInf, -kInf, 1e300, -1e300, -1.0));

// The check the hostile test relies on: every range and power rule it guards, with the value at
// its limit passing and the first value past it stopping the run with the variable's name.
TEST(SystemsCheck, PassesEachLimitAndNamesWhatLeftIt) {
    using Setup = void (*)();
    const struct { const char* what; Setup setup; const char* death; } kCases[] = {
        {"start values", [] {}, nullptr},
        {"switches at their top positions",
         [] { elec_batt_sw[2] = 2, elec_ess_ac_source_sel = 4, elec_gen_sw[0] = 3, hyd_eng_pump_sw[3] = 200; },
         nullptr},
        {"a battery switch past ON", [] { elec_batt_sw[1] = 3; }, "out of range: elec_batt_sw\\[1\\] = 3"},
        {"the ESS AC selector past EMERG INV", [] { elec_ess_ac_source_sel = 5; },
         "out of range: elec_ess_ac_source_sel\\[0\\] = 5"},
        {"hydraulics available, yellow air-driven", [] { hyd_avail[0] = hyd_avail[1] = 2, hyd_avail[2] = 3; },
         nullptr},
        {"blue air-driven", [] { hyd_avail[0] = 3; }, "out of range: hyd_avail\\[0\\] = 3"},
        {"green air-driven", [] { hyd_avail[1] = 3; }, "out of range: hyd_avail\\[1\\] = 3"},
        {"yellow past air-driven", [] { hyd_avail[2] = 4; }, "out of range: hyd_avail\\[2\\] = 4"},
        {"battery full, discharging at the limit", [] { battery_charge = 1800, battery_current = -50; }, nullptr},
        {"charging at the limit", [] { battery_current = 50; }, nullptr},
        {"battery over full", [] { battery_charge = 1801; }, "out of range: battery_charge\\[0\\] = 1801"},
        {"discharging past the limit", [] { battery_current = -51; }, "out of range: battery_current\\[0\\] = -51"},
        {"charging past the limit", [] { battery_current = 51; }, "out of range: battery_current\\[0\\] = 51"},
        {"charging and discharging", [] { elec_batt_charging = elec_batt_discharging = 1; },
         "both phases running: elec_batt_charging"},
        {"loads of 0, 50 and 100",
         [] { elec_gen1_load = 100, elec_gen2_load = 50, elec_apu_gen_load_a = 0, elec_apu_gen_load_b = 100; },
         nullptr},
        {"gen 1 load between steps", [] { elec_gen1_load = 49; }, "not 0, 50 or 100: elec_gen1_load\\[0\\] = 49"},
        {"gen 2 load past full", [] { elec_gen2_load = 101; }, "not 0, 50 or 100: elec_gen2_load"},
        {"APU generator load", [] { elec_apu_gen_load_a = 1; }, "not 0, 50 or 100: elec_apu_gen_load_a"},
        {"APU generator second load", [] { elec_apu_gen_load_b = 99; }, "not 0, 50 or 100: elec_apu_gen_load_b"},
        {"a float gone infinite", [] { air_pack_valve_temp[1] = INFINITY; }, "not finite: air_pack_valve_temp\\[1\\]"},
        {"a double gone NaN", [] { fctl_trim_sample_a = kNaN; }, "not finite: fctl_trim_sample_a"},
        {"DC buses on their TRs, AC buses on half-loaded generators",
         [] {
             elec_tr_output[0] = 0, elec_dc_tie_sw = 0;
             dc_normal_powered = dc_ess_powered = 1;
             elec_gen2_load = 50, elec_ac_bus1_powered = elec_ac_bus2_powered = 1;
         },
         nullptr},
        {"normal DC without a TR",
         [] { elec_tr_output[0] = elec_tr_output[1] = 0, dc_normal_powered = 1; },
         "live source: dc_normal_powered"},
        {"essential DC on a charged battery", [] {
             elec_tr_output[2] = 0, elec_dc_tie_sw = 0, elec_batt_any_on = 1, battery_charge = 1, dc_ess_powered = 1;
         }, nullptr},
        {"essential DC on an empty battery", [] {
             elec_tr_output[2] = 0, elec_dc_tie_sw = 0, elec_batt_any_on = 1, battery_charge = 0, dc_ess_powered = 1;
         }, "live source: dc_ess_powered"},
        {"essential DC through the tie from normal DC", [] {
             elec_tr_output[2] = 0, elec_dc_tie_sw = 1, dc_normal_powered = dc_ess_powered = 1;
         }, nullptr},
        {"essential DC through the tie, normal DC dead", [] {
             elec_tr_output[2] = 0, elec_dc_tie_sw = 1, dc_normal_powered = 0, dc_ess_powered = 1;
         }, "live source: dc_ess_powered"},
        {"AC buses on the APU generator and ground power", [] {
             elec_apu_gen_load_a = 50, elec_ac_bus1_powered = 1;
         }, nullptr},
        {"AC bus 2 on ground power", [] { ext_power_on = 1, elec_ac_bus2_powered = 1; }, nullptr},
        {"AC bus 1 and ESS AC on GEN 1 at half load", [] {
             elec_gen1_load = 50, elec_ac_bus1_powered = elec_ess_ac_powered = elec_ess_ac_any_powered = 1;
         }, nullptr},
        {"AC bus 1 without a source", [] { elec_ac_bus1_powered = 1; }, "live source: elec_ac_bus1_powered"},
        {"AC bus 2 without a source", [] { elec_ac_bus2_powered = 1; }, "live source: elec_ac_bus2_powered"},
        {"ESS AC on essential DC alone", [] {
             dc_ess_powered = 1, elec_ess_ac_powered = elec_ess_ac_on_alternate = elec_ess_ac_any_powered = 1;
         }, nullptr},
        {"ESS AC without any source", [] { elec_ess_ac_powered = elec_ess_ac_any_powered = 1; },
         "live source: elec_ess_ac_powered"},
        {"ESS AC on its alternate without essential DC", [] {
             elec_gen1_load = 50, elec_ess_ac_on_alternate = elec_ess_ac_any_powered = 1;
         }, "live source: elec_ess_ac_on_alternate"},
        {"ESS AC shown powered with neither feed", [] { elec_ess_ac_any_powered = 1; },
         "live source: elec_ess_ac_any_powered"},
        {"TR 1 feeding with its switch off", [] { elec_tr_sw[0] = 0; },
         "output with its switch off: elec_tr_output\\[0\\]"},
        {"TR 3 feeding with its switch off", [] { elec_tr_sw[2] = 0; },
         "output with its switch off: elec_tr_output\\[2\\]"},
    };
    for (const auto& c : kCases) {
        if (c.death)
            EXPECT_DEATH((c.setup(), systems_check_invariants()), c.death) << c.what;
        else
            EXPECT_EXIT((c.setup(), systems_check_invariants(), std::exit(0)), ::testing::ExitedWithCode(0), "")
                << c.what;
    }
}
