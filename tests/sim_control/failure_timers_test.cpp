// Failure timers through the host (VALID: failures_panel_test): the minutes-left countdown at
// several frame rates, late start times, engine failures waiting for their airspeed, typical
// and cancel-all, and hostile clocks.
#include <cmath>
#include <limits>

#include "sim_control/failure_timers.h"
#include "sim_control/presets_keys.h"
#include "sim_control/state.h"
#include "tests/clock_jump.h"
#include "tests/systems/systems_fixture.h"

namespace {
constexpr u32 kEng1Failed = 564, kEng2Failed = 574;
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();

class Failures : public SystemsTest {
protected:
    void SetUp() override {
        SystemsTest::SetUp();
        start();
    }
    // As the failures panel does it: ON arms, the next frame lights VALID, VALID applies at `at_s`.
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

// A 2-minute delay applied at 90 s shows 2 until 119.4 s, 1 until 179.4 s, 0 until it falls due
// at 210 s, whatever the frame rate; the green failure sets both its lines.
class Countdown : public Failures, public ::testing::WithParamInterface<f64> {};
TEST_P(Countdown, StepsDownBeforeEachMinuteAndFallsDueOnTime) {
    host().set_fps(GetParam());
    fail_setting[1] = 2;
    arm_and_apply(fail_select[4], 90.0);
    EXPECT_EQ(fail_start_time[8], 90u);
    while (host().token(tk::sim_time) < 215.0) {
        frames(1);
        const f64 t = host().token(tk::sim_time);
        if (std::fabs(t - 119.4) < 1e-6 || std::fabs(t - 179.4) < 1e-6) continue;
        ASSERT_EQ(fail_countdown[1], t < 119.4 ? 2 : t < 179.4 ? 1 : 0) << t;
        ASSERT_EQ(fail_active[4] + fail_active[5], t >= 210.0 ? 2 : 0) << t;
    }
}
INSTANTIATE_TEST_SUITE_P(Fps, Countdown, ::testing::Values(10.0, 18.0, 30.0, 60.0));

TEST_F(Failures, DelayZeroIsDueNextFrameEngineFailuresWaitForTheirAirspeed) {
    fail_setting[3] = 0;  // gen 1
    arm_and_apply(fail_select[1], 500.0);
    frames(1);
    EXPECT_EQ(fail_active[1], 1);
    fail_setting[8] = 200;  // engine 1 knots, no delay
    arm_and_apply(fail_eng1_select, 500.0);
    token(tk::ias, 199.9);
    frames(3);
    EXPECT_EQ(sent_now(key_eng1_failure_toggle), 0u);
    token(tk::ias, 200.0);
    frames(3);
    u32 value = 0;
    EXPECT_EQ(sent_now(key_eng1_failure_toggle, &value), 3u) << "re-sent every frame";
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(host().token(kEng1Failed), 1.0);
}

TEST_F(Failures, LateStartsKeepTheirDelayHostileClocksStayWithinIt) {
    // Applied past 65,536 s: the start time keeps all its bits, so the delay still holds.
    fail_setting[4] = 2;  // gen 2
    arm_and_apply(fail_select[2], 70000.0);
    EXPECT_EQ(fail_start_time[6], 70000u);
    frames(18 * 30);
    EXPECT_EQ(fail_countdown[4], 1);
    frames(18 * 89);
    EXPECT_EQ(fail_active[2] + fail_countdown[4], 0);
    frames(18);
    EXPECT_EQ(fail_active[2], 1);

    fail_setting[5] = 5;  // APU
    arm_and_apply(fail_select[0], 600.0);
    token(tk::sim_time, 800.0);
    frames(1);
    EXPECT_EQ(fail_countdown[5], 2);
    for (f64 t : {kNaN, 300.0, -1e9, -std::numeric_limits<f64>::infinity()}) {
        token(tk::sim_time, t);
        frames(1);
        EXPECT_EQ(fail_countdown[5], std::isnan(t) ? 2 : 5) << t << ": unknown time keeps, backwards clamps";
        EXPECT_EQ(fail_active[0], 0) << t;
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

TEST_F(Failures, CancelAllRepairsTheHostOnceAndTypicalFailuresCarryOn) {
    token(kEng2Failed, 1.0);
    token(tk::ias, 100.0);
    fail_select[6] = fail_select[3] = fail_select[9] = 1;  // CANCEL ALL with TYPICAL 1
    frames(1);
    u32 value = 9;
    EXPECT_EQ(sent_now(key_eng2_failure_toggle, &value), 1u);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(fail_select[9] + fail_select[3], 0);
    token(tk::ias, 160.0);
    frames(1);
    const auto keys = new_keys();
    EXPECT_EQ(sent(keys, key_eng1_failure_toggle, &value), 1u);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(sent(keys, key_eng2_failure_toggle), 0u);
}

TEST_F(Failures, DelaysAndRandomPicksSurviveTheClockJumpingBack) {
    host().set_fps(2.0);  // the random step is 18 minutes
    fail_setting[1] = 1;  // green: one minute
    const auto apply_green = [&] {
        fail_select[4] = 0;
        frames(1);
        fail_select[4] = 2, fail_apply_enable = 2;
        failures_apply();
    };
    u8 phase = 0;
    const JumpTimer timers[] = {
        {"green failure delay", 60.0, apply_green, [] { return fail_active[4] == 1; }},
        {"random failure pick", 1080.0,
         [&] {
             fail_select[8] = 0;
             frames(1);
             fail_select[8] = 1;
             frames(3);  // the picks left behind by a late clock are caught up
             phase = fail_random_phase;
         },
         [&] { return fail_random_phase != phase; }},
    };
    for (const JumpTimer& t : timers) expect_timer_survives_clock_jumps(host(), t);

    // Applied with no reading of the clock, the minute counts from the first real one.
    fail_select[8] = 0;
    token(tk::sim_time, kNaN);
    apply_green();
    frames(3);
    token(tk::sim_time, 100.0);
    seconds(59.0);
    EXPECT_EQ(fail_active[4], 0);
    seconds(1.5);
    EXPECT_EQ(fail_active[4], 1);
}
