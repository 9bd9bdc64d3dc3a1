// Failure timers through the host: VALID and the selection sum, the minutes-left countdown
// against the simulation clock at several frame rates, late start times, engine failures that
// wait for their airspeed, failed states, random, typical and cancel-all, and hostile clocks.
#include <cmath>
#include <limits>

#include "core/failure_timers.h"
#include "core/presets_keys.h"
#include "core/presets_state.h"
#include "fe_panel/apu_state.h"
#include "instruments/state.h"
#include "tests/core/systems_fixture.h"

namespace {
constexpr u32 kEng1Failed = 564, kEng2Failed = 574, kGen1Active = 761;
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();

class Failures : public SystemsTest {
protected:
    void SetUp() override {
        SystemsTest::SetUp();
        start();
    }
    // As the failures panel does it: ON arms the byte, the next frame lights VALID, VALID applies
    // at the clock's current time.
    void arm_and_apply(u8& select, f64 at_s) {
        select = 2;
        frames(1);
        ASSERT_EQ(fail_apply_enable, 2);
        token(tk::sim_time, at_s);
        failures_apply();
        ASSERT_EQ(select, 1);
    }
};
}  // namespace

TEST_F(Failures, ValidLightsForArmedItemsAndAtEnableZeroOnlyCopiesTheSum) {
    fail_select[3] = 2;
    frames(1);
    EXPECT_EQ(fail_apply_enable, 2);
    fail_select[3] = 0;  // OFF before VALID
    frames(1);
    EXPECT_EQ(fail_apply_enable, 0);

    fail_select[5] = 2;  // VALID before any frame has lit it
    failures_apply();
    EXPECT_EQ(fail_select[5], 2);
    EXPECT_EQ(fail_select_sum_applied, fail_select_sum);
    frames(1);
    EXPECT_EQ(fail_apply_enable, 2);
    failures_apply();
    EXPECT_EQ(fail_select[5], 1);
    frames(1);
    EXPECT_EQ(fail_apply_enable, 0) << "VALID darkens";
    EXPECT_EQ(fail_select_sum_applied, 1);
}

// A 2-minute delay applied at 90 s shows 2 until 119.4 s, 1 until 179.4 s, 0 until it falls due
// at 210 s, whatever the frame rate.
class Countdown : public Failures, public ::testing::WithParamInterface<f64> {};
TEST_P(Countdown, StepsDownBeforeEachMinuteAndFallsDueOnTime) {
    host().set_fps(GetParam());
    fail_setting[1] = 2;  // green circuit delay
    arm_and_apply(fail_select[4], 90.0);
    EXPECT_EQ(fail_start_time[8], 90u);
    while (host().token(tk::sim_time) < 215.0) {
        frames(1);
        const f64 t = host().token(tk::sim_time);
        if (std::fabs(t - 119.4) < 1e-6 || std::fabs(t - 179.4) < 1e-6) continue;
        const int want = t < 119.4 ? 2 : t < 179.4 ? 1 : 0;
        ASSERT_EQ(fail_countdown[1], want) << t;
        const u8 failed = t >= 210.0 ? 1 : 0;
        ASSERT_EQ(fail_active[4], failed) << t;
        ASSERT_EQ(fail_active[5], failed) << "both green lines " << t;
    }
}
INSTANTIATE_TEST_SUITE_P(Fps, Countdown, ::testing::Values(10.0, 18.0, 30.0, 60.0));

TEST_F(Failures, DelayZeroIsDueNextFrameAndLateStartsKeepTheirDelay) {
    fail_setting[3] = 0;  // gen 1
    arm_and_apply(fail_select[1], 500.0);
    frames(1);
    EXPECT_EQ(fail_active[1], 1);
    // Applied after 18.2 hours: the start time keeps all its bits, so the delay still holds.
    fail_setting[4] = 2;  // gen 2
    arm_and_apply(fail_select[2], 70000.0);
    EXPECT_EQ(fail_start_time[6], 70000u);
    frames(18 * 30);
    EXPECT_EQ(fail_countdown[4], 1);
    frames(18 * 89);
    EXPECT_EQ(fail_active[2], 0);
    EXPECT_EQ(fail_countdown[4], 0);
    frames(18);
    EXPECT_EQ(fail_active[2], 1);
}

TEST_F(Failures, EngineFailureWaitsForItsAirspeedThenRepeats) {
    fail_setting[9] = 0;
    fail_setting[8] = 200;
    arm_and_apply(fail_eng1_select, 100.0);
    token(tk::ias, 199.9);
    frames(3);
    EXPECT_EQ(sent_now(key_eng1_failure_toggle), 0u);
    token(tk::ias, 200.0);
    frames(3);
    u32 value = 0;
    EXPECT_EQ(sent_now(key_eng1_failure_toggle, &value), 3u);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(host().token(kEng1Failed), 1.0);
    EXPECT_EQ(fail_eng1_select, 1);
}

TEST_F(Failures, UnselectedStatesFollowTheHost) {
    const struct {
        f64 gen_active, n2;
        u8 failed;
    } cases[] = {{0.0, 30.0, 1}, {0.0, 29.9, 0}, {1.0, 90.0, 0}, {kNaN, 90.0, 0}, {0.0, kNaN, 0}};
    for (const auto& c : cases) {
        token(kGen1Active, c.gen_active);
        token(tk::eng1_n2, c.n2);
        frames(1);
        EXPECT_EQ(fail_active[1], c.failed) << c.gen_active << " " << c.n2;
    }
    // An active item not yet due keeps the byte as it was when applied.
    token(kGen1Active, 0.0);
    token(tk::eng1_n2, 50.0);
    frames(1);
    fail_setting[3] = 5;
    arm_and_apply(fail_select[1], 100.0);
    token(kGen1Active, 1.0);
    frames(2);
    EXPECT_EQ(fail_active[1], 1);
}

TEST_F(Failures, HostileClocksKeepCountdownsWithinTheDelay) {
    fail_setting[5] = 5;  // APU
    arm_and_apply(fail_select[0], 600.0);
    frames(1);
    EXPECT_EQ(fail_countdown[5], 5);
    token(tk::sim_time, 800.0);
    frames(1);
    const u8 shown = fail_countdown[5];
    EXPECT_EQ(shown, 2);
    for (f64 t : {kNaN, 300.0, -1e9, -std::numeric_limits<f64>::infinity()}) {
        token(tk::sim_time, t);
        frames(1);
        EXPECT_LE(fail_countdown[5], 5) << t;
        EXPECT_EQ(fail_active[0], 0) << t;
        if (std::isnan(t)) {
            EXPECT_EQ(fail_countdown[5], shown) << "an unknown time keeps the display";
        }
    }
    fail_select[8] = 1;  // random failures on a hostile clock
    for (f64 t : {kNaN, 1e300, -5.0, 10.0}) {
        token(tk::sim_time, t);
        frames(2);
    }
    token(tk::sim_time, 900.0);
    frames(1);
    EXPECT_EQ(fail_active[0], 1) << "due again on a sane clock";
}

TEST_F(Failures, RandomCatchesUpOneCycleAFrameThenHolds) {
    token(tk::sim_time, 5000.0);
    fail_select[12] = 1;
    fail_select[8] = 1;
    const u8 picks[] = {1, 2, 3, 3, 3};
    for (u8 p : picks) {
        frames(1);
        EXPECT_EQ(fail_random_pick, p);
    }
    EXPECT_EQ(fail_random_due, 5456u);
    EXPECT_EQ(fail_select[12], 0);
    // A pick of 4 holds both green lines while selected, and lets go when switched off.
    fail_random_pick = 4;
    frames(1);
    EXPECT_EQ(fail_active[4] + fail_active[5], 2);
    fail_select[8] = 0;
    frames(1);
    EXPECT_EQ(fail_active[4] + fail_active[5], 0);
    EXPECT_EQ(fail_random_due, 56u);
    EXPECT_EQ(fail_random_cycle, 0);
}

TEST_F(Failures, CancelAllRepairsTheHostOnceAndTypicalFailuresCarryOn) {
    token(kEng2Failed, 1.0);
    token(tk::ias, 100.0);
    fail_select[6] = 1;  // TYPICAL FAILURES EVENTS 1
    fail_select[3] = 1;
    fire_handle[1] = 1;
    apu_fire_agent_armed = 0;
    fail_select[9] = 1;
    frames(1);
    u32 value = 9;
    auto keys = new_keys();
    EXPECT_EQ(sent(keys, key_eng2_failure_toggle, &value), 1u);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(fail_select[9] + fail_select[3] + fire_handle[1], 0);
    EXPECT_EQ(apu_fire_agent_armed, 1);
    EXPECT_EQ(fail_select[6], 1);
    token(tk::ias, 160.0);
    frames(1);
    keys = new_keys();
    EXPECT_EQ(sent(keys, key_eng1_failure_toggle, &value), 1u);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(sent(keys, key_eng2_failure_toggle), 0u);

    // TYPICAL FAILURES EVENTS 2 holds GEN 1 failed above Mach 0.600 with gen 1 fail off.
    fail_select[7] = 1;
    inst_mach_display = 600.0;
    frames(2);
    EXPECT_EQ(fail_active[1], 1);
    EXPECT_EQ(sent_now(key_eng2_failure_toggle), 0u);
}
