// Failure timers through the host (VALID: failures_panel_test): the minutes-left countdown at
// several frame rates, late start times, engine failures waiting for their airspeed, typical
// and cancel-all, and hostile clocks.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "apu/state.h"
#include "sim_control/failure_timers.h"
#include "sim_control/presets_keys.h"
#include "instruments/state.h"
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
    apu_fire_agent_armed = 0;  // the APU bottle is armed again
    token(kEng2Failed, 1.0);
    token(tk::ias, 100.0);
    fail_select[6] = fail_select[3] = fail_select[9] = 1;  // CANCEL ALL with TYPICAL 1
    frames(1);
    u32 value = 9;
    EXPECT_EQ(sent_now(key_eng2_failure_toggle, &value), 1u);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(fail_select[9] + fail_select[3], 0);
    EXPECT_EQ(apu_fire_agent_armed, 1);
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

// TYPICAL FAILURES EVENTS 1 fails engine 1 above 150 kt; EVENTS 2 fails GEN 1 from Mach 0.600
// and engine 2 from Mach 0.750; each acts every frame and switches off the electrical and
// hydraulic automatic modes and RANDOM FAILURES.
TEST_F(Failures, TypicalFailuresActFromTheirSpeeds) {
    const struct { size_t item; f64 ias, mach; size_t eng1, eng2; u8 gen1; } kCases[] = {
        {6, 150.0, 900.0, 0, 0, 0}, {6, 150.1, 0.0, 1, 0, 0},   {7, 300.0, 599.9, 0, 0, 0},
        {7, 0.0, 600.0, 0, 0, 1},   {7, 0.0, 749.9, 0, 0, 1},   {7, 0.0, 750.0, 0, 1, 1},
    };
    for (const auto& c : kCases) {
        fail_select[c.item] = 1;
        fail_select[8] = fail_select[12] = fail_select[13] = 2;
        token(tk::ias, c.ias);
        inst_mach_display = c.mach;
        frames(2);
        const auto keys = new_keys();
        u32 value = 9;
        EXPECT_EQ(sent(keys, key_eng1_failure_toggle, &value), 2 * c.eng1) << c.item << " at " << c.ias;
        EXPECT_EQ(sent(keys, key_eng2_failure_toggle, &value), 2 * c.eng2) << c.item << " at " << c.mach;
        EXPECT_EQ(value, c.eng1 + c.eng2 ? 1u : 9u);
        EXPECT_EQ(fail_active[1], c.gen1) << "GEN 1 failed although its generator is on";
        EXPECT_EQ(fail_select[8] + fail_select[12] + fail_select[13], 0);
        fail_select[c.item] = 0;
    }
}

// RANDOM FAILURES switched on long after 56 s: the first frame picks 1 (twice, two steps of
// 1080 s), each following frame the next cycle value while the due time is behind, then the pick
// holds. Every pick acts each frame; switched off, the failed states follow the host again.
TEST_F(Failures, RandomFailuresCatchUpThenHoldAndEachPickActs) {
    token(tk::sim_time, 5000.0);
    fail_select[12] = fail_select[13] = 1;
    fail_select[8] = 1;
    const struct { u8 pick; u32 due; } kCatchUp[] = {{1, 56 + 2 * 1080}, {2, 56 + 4 * 1080}, {3, 56 + 5 * 1080}};
    for (const auto& c : kCatchUp) {
        frames(1);
        EXPECT_TRUE(fail_random_pick == c.pick && fail_random_due == c.due) << int(fail_random_pick);
    }
    EXPECT_EQ(fail_select[12] + fail_select[13], 0);
    frames(20);
    EXPECT_TRUE(fail_random_pick == 3 && fail_random_cycle == 5) << int(fail_random_cycle);
    // Each pick, the due time ahead: the key event it sends and the failed states it holds.
    const struct { u8 pick; const char* active; size_t eng1, eng2; } kPicks[] = {
        {0, "0000000", 0, 0}, {1, "0000000", 1, 0}, {2, "0000000", 1, 0}, {3, "0000000", 0, 1},
        {4, "0000110", 0, 0}, {5, "0100000", 0, 0}, {6, "0010000", 0, 0}, {7, "0001000", 0, 0},
        {8, "0000110", 0, 0}, {9, "0000001", 0, 0},
    };
    for (const auto& p : kPicks) {
        fail_random_pick = p.pick;
        new_keys();
        frames(1);
        const auto keys = new_keys();
        std::string active;
        for (u8 a : fail_active) active += char('0' + a);
        EXPECT_EQ(active, p.active) << int(p.pick);
        EXPECT_EQ(sent(keys, key_eng1_failure_toggle), p.eng1) << int(p.pick);
        EXPECT_EQ(sent(keys, key_eng2_failure_toggle), p.eng2) << int(p.pick);
    }
    fail_select[8] = 0;
    frames(1);
    EXPECT_TRUE(fail_random_cycle == 0 && fail_random_due == 56 && fail_random_pick == 9);
    EXPECT_EQ(fail_active[6], 0) << "back to the host's own state";
    // Late in a very long simulation the due time stops at the top of its range: the pick then
    // holds instead of coming round again every frame.
    token(tk::sim_time, 4294967100.0);
    fail_select[8] = 1;
    frames(1);
    fail_random_due = 4294967000u, fail_random_phase = 0;
    frames(1);
    const u8 pick = fail_random_pick;
    frames(3);
    EXPECT_TRUE(fail_random_pick == pick && fail_random_due == 4294967295u) << fail_random_due;
}

// Not selected, each failed state follows the host: a generator inactive with its engine at 30 %
// N2 or more; blue and green line 1 on engine 1's hydraulic pressure, yellow and green line 2 on
// engine 2's; blue and yellow on their reservoirs; both green lines on the hydraulic flag. The
// APU never. A selected item not yet due keeps the byte it had.
TEST_F(Failures, UnselectedFailedStatesFollowTheHost) {
    const struct { f64 gen1, gen2, n2_1, n2_2, press1, press2, res1, res2, flag; const char* want; } kCases[] = {
        {1, 1, 60, 60, 3000, 3000, 1, 1, 1, "0000000"},       {0, 1, 30, 60, 3000, 3000, 1, 1, 1, "0100000"},
        {0, 0, 29.9, 29.9, 3000, 3000, 1, 1, 1, "0000000"},   {1, 0, 60, 30, 3000, 3000, 1, 1, 1, "0010000"},
        {1, 1, 30, 60, 0.09, 3000, 1, 1, 1, "0001100"},       {1, 1, 60, 60, 0.1, 0.1, 1, 1, 1, "0000000"},
        {1, 1, 29.9, 29.9, 0, 0, 1, 1, 1, "0000000"},         {1, 1, 60, 30, 3000, 0.09, 1, 1, 1, "0000011"},
        {1, 1, 60, 60, 3000, 3000, 0.49, 0.5, 1, "0001000"},  {1, 1, 60, 60, 3000, 3000, 0.5, 0.49, 1, "0000001"},
        {1, 1, 60, 60, 3000, 3000, 1, 1, 0, "0000110"},
    };
    const auto states = [] {
        std::string out;
        for (u8 a : fail_active) out += char('0' + a);
        return out;
    };
    for (const auto& c : kCases) {
        token(761, c.gen1), token(763, c.gen2), token(tk::eng1_n2, c.n2_1), token(tk::eng2_n2, c.n2_2);
        token(732, c.press1), token(734, c.press2), token(733, c.res1), token(735, c.res2), token(781, c.flag);
        frames(1);
        EXPECT_EQ(states(), c.want) << "row " << &c - kCases;
    }
    fail_setting[3] = 10;  // GEN 1 selected, ten minutes to go: the host's word no longer counts
    arm_and_apply(fail_select[1], host().token(tk::sim_time));
    token(761, 0.0), token(tk::eng1_n2, 60.0);
    frames(3);
    EXPECT_EQ(states(), "0000110");
}

// An active generator failure switches the electrical automatic mode off, an active circuit
// failure the hydraulic one, every frame, due or not; the APU failure neither.
TEST_F(Failures, ActiveFailuresSwitchTheirAutomaticModeOff) {
    const struct { size_t item; u8 elec_auto, hyd_auto; } kCases[] = {
        {0, 2, 2}, {1, 0, 2}, {2, 0, 2}, {3, 2, 0}, {4, 2, 0}, {5, 2, 0}};
    std::fill(fail_setting, fail_setting + 6, u8(30));
    for (const auto& c : kCases) {
        fail_select[c.item] = 1;
        fail_select[12] = fail_select[13] = 2;  // armed: the modes themselves do not run
        frames(1);
        EXPECT_TRUE(fail_select[12] == c.elec_auto && fail_select[13] == c.hyd_auto) << c.item;
        fail_select[c.item] = 0;
    }
}
