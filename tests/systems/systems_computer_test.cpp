// The systems computer as a whole: the first frame (selectors, the single battery check), the
// per-frame service only, order independence, and hostile host values that must leave every
// shared value finite and in range.
#include <limits>

#include "autoflight/state.h"
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

// The check the hostile test relies on names what left its range.
TEST(SystemsCheck, NamesTheVariableThatLeftItsRange) {
    EXPECT_DEATH((elec_batt_sw[1] = 7, systems_check_invariants()), "out of range: elec_batt_sw\\[1\\] = 7");
    EXPECT_DEATH((fctl_trim_sample_a = kNaN, systems_check_invariants()), "not finite: fctl_trim_sample_a");
    EXPECT_DEATH((elec_ac_bus2_powered = 1, systems_check_invariants()), "live source: elec_ac_bus2_powered");
}
