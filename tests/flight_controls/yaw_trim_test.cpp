// HP valves, trim stop and runaway monitor through the host:
// the host follows every key event, so each goes out once per difference.
#include <cmath>
#include <cstring>
#include <tuple>

#include "tests/clock_jump.h"
#include "tests/systems/systems_fixture.h"
#include "air/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "navigation/state.h"

namespace {
// The host's trim in radians for an angle in the instrument's degrees, nudged until the systems
// computer's own conversion reaches the angle.
f64 trim_rad(f64 deg) {
    const auto to_deg = [](f64 rad) { return rad * 180.0 / 3.14116; };
    f64 rad = deg * 3.14116 / 180.0;
    while (deg >= 0 ? to_deg(rad) < deg : to_deg(rad) > deg) rad = std::nextafter(rad, deg >= 0 ? 1e9 : -1e9);
    return rad;
}
}  // namespace

class YawTrim : public SystemsTest {
protected:
    // Every bus powered, both engines running with all circuits up, flaps out.
    void SetUp() override {
        SystemsTest::SetUp();
        start();
        engines(60.0, 60.0);
        token(tk::flaps, 5000.0);
        all_buses();
        frames(100);
        new_keys();
    }
};

TEST_F(SystemsTest, HpValvesTakeTheHostLeversOnceThenLead) {
    token(tk::on_ground, 1.0);
    token(tk::parking_brake, 1.0);
    token(tk::mixture1, 9000.0);
    token(tk::mixture2, 0.2);
    frames(1);
    EXPECT_EQ(eng_hp_valve_open[0], 1);
    EXPECT_EQ(eng_hp_valve_open[1], 1) << "taken shut from its lever, then opened by the ready values";
    const auto first = new_keys();
    EXPECT_EQ(sent(first, key_eng1_mixture_event_b) + sent(first, key_eng2_mixture_event_a), 0u)
        << "both host levers agreed with their valves when taken";
    token(tk::mixture1, 0.0);  // the host closes lever 1: the open valve sends it back, once
    token(tk::mixture2, 0.0);  // and lever 2 likewise
    frames(3);
    const auto back = new_keys();
    EXPECT_EQ(sent(back, key_eng1_mixture_event_a), 1u);
    EXPECT_EQ(sent(back, key_eng2_mixture_event_a), 1u);
    dead();  // no DC essential power: the host's lever is closed, once; the valve stays
    auto keys = new_keys();
    EXPECT_EQ(sent(keys, key_eng1_mixture_event_b), 1u);
    EXPECT_EQ(sent(keys, key_eng1_mixture_event_a), 0u);
    EXPECT_EQ(eng_hp_valve_open[0], 1);
}

// A valve is taken open from a host lever at 8000 or more: one just below is taken shut, so the
// first frame closes that lever.
TEST_F(SystemsTest, HpValvesTakenOpenFromEightThousand) {
    token(tk::on_ground, 1.0);
    token(tk::mixture1, 8000.0);
    token(tk::mixture2, 7999.9);
    frames(1);
    const auto keys = new_keys();
    u32 value = 99;
    EXPECT_EQ(sent(keys, key_eng1_mixture_event_b), 0u);
    EXPECT_EQ(sent(keys, key_eng2_mixture_event_b, &value), 1u);
    EXPECT_EQ(value, 0u);
}

TEST_F(YawTrim, TrimStopPushesBackFromTwelveAndMinusThree) {
    const struct { f64 deg, axis; size_t sent; i32 value; } cases[] = {
        {12.0, 1000.0, 1, 950}, {11.99, 1000.0, 0, 0}, {-3.0, -2000.0, 1, -1950}, {-2.99, 0.0, 0, 0}, {30.0, -20.0, 1, -70},
        {12.0, f64(NAN), 0, 0}};  // an axis that is no number makes no command
    for (const auto& c : cases) {
        token(tk::pitch_trim_rad, trim_rad(c.deg));
        token(tk::trim_axis, c.axis);
        new_keys();
        frames(1);
        u32 value = 0;
        EXPECT_EQ(sent_now(key_trim_axis_set, &value), c.sent) << c.deg;
        if (c.sent) {
            EXPECT_EQ(i32(value), c.value) << c.deg;
            EXPECT_EQ(host().token(tk::trim_axis), f64(c.value)) << "the host reads it signed";
        }
    }
    // The trim's own calibration: a half turn is 3.14116 radians, not pi; no number keeps the last.
    for (const auto& [rad, deg] : {std::pair{1.0, 180.0 / 3.14116}, {f64(NAN), 180.0 / 3.14116}}) {
        token(tk::pitch_trim_rad, rad);
        frames(1);
        EXPECT_NEAR(fctl_pitch_trim_deg, deg, 1e-12) << rad;
    }
}

// One loss of trim supply captures the autopilot's trim once: a channel switched on again while
// DC essential is still off (the air data computers on AC) hands back the same value; a supplied
// channel frees the next capture. An axis that is no number at the loss is captured as the host
// last gave it, though nothing else read it since: not the 0 the cold start read.
TEST_F(YawTrim, TrimSupplyLossCapturesOncePerLoss) {
    std::memset(elec_batt_sw, 0, sizeof elec_batt_sw);
    elec_dc_tie_sw = 0;
    const struct { f64 axis; bool supplied; i32 handed_back; } kSteps[] = {
        {1200.0, true, 0},       {f64(NAN), false, 1200},  {500.0, true, 0},
        {-1234.8, false, -1234}, {500.0, false, -1234}, {500.0, true, 0}, {777.0, false, 777},
        {500.0, true, 0},        {f64(NAN), false, 500},  // no number: the axis as the host last gave it
    };
    for (const auto& c : kSteps) {
        SCOPED_TRACE(testing::Message() << "step " << &c - kSteps);
        token(tk::trim_axis, c.axis), token(tk::ap_engaged, 1.0);
        new_keys();
        elec_tr_sw[2] = c.supplied ? 1 : 0;  // the essential TR alone feeds DC essential here
        frames(3);
        ASSERT_EQ(dc_ess_powered, c.supplied ? 1 : 0);
        ASSERT_EQ(inst_adc1_powered, 1);
        fctl_pitch_trim_sw[0] = 1;
        frames(1);
        u32 value = 0;
        const size_t sends = sent(new_keys(), key_trim_axis_set, &value);
        EXPECT_EQ(fctl_pitch_trim_sw[0], c.supplied ? 1 : 0);
        EXPECT_EQ(sends == 0, c.supplied) << "handed back each frame a channel is found on without supply";
        EXPECT_EQ(i32(value), c.handed_back);
    }
}

TEST_F(YawTrim, RunawayNeedsMoreThanTheFlapLimitWithinOneSecond) {
    const struct { f64 flaps, change; u8 warn; } cases[] = {
        {0.0, 3.0, 1}, {5000.0, 3.0, 0}, {5000.0, 5.0, 1}, {0.0, -2.0, 0}, {0.0, -2.6, 1},
        {5000.0, 4.49, 0}, {5000.0, -4.51, 1}, {0.0, 2.49, 0}, {0.5, 3.0, 0}};
    f64 deg = 0.0;
    for (const auto& c : cases) {
        token(tk::flaps, c.flaps);
        frames(u64(18 * (3 + (&c - cases) % 4)));  // settle, each change at another point of the cycle
        ASSERT_EQ(warn_trim_motion, 0);
        deg += c.change;
        token(tk::pitch_trim_rad, trim_rad(deg));
        u8 seen = 0;
        for (int f = 0; f < 19; ++f) {  // the next sample falls within a second
            frames(1);
            seen |= warn_trim_motion;
        }
        EXPECT_EQ(seen, c.warn) << c.flaps << " " << c.change;
    }
}

// Each sample is compared with the one a second before it, never across two seconds: a steady
// 2 degrees a second, clean, is no runaway.
TEST_F(YawTrim, SteadyTrimMotionWithinTheLimitNeverWarns) {
    token(tk::flaps, 0.0);
    for (int f = 0; f <= 18 * 6; ++f) {
        token(tk::pitch_trim_rad, trim_rad(-2.5 + 2.0 * f / 18.0));
        frames(1);
        ASSERT_EQ(warn_trim_motion, 0) << "frame " << f;
    }
}

// Every second is compared with the one before it: a 3-degree step, clean, is caught within a
// second wherever it falls in the sampling cycle.
TEST_F(YawTrim, EveryStepBeyondTheLimitIsCaughtWhereverItFalls) {
    token(tk::flaps, 0.0);
    frames(18 * 5);
    for (int k = 1; k <= 40; ++k) {  // a step every 20 frames walks through every phase
        token(tk::pitch_trim_rad, trim_rad(k % 2 ? 3.0 : 0.0));
        u8 seen = 0;
        for (int f = 0; f < 20; ++f) {
            frames(1);
            seen |= warn_trim_motion;
        }
        EXPECT_EQ(seen, 1) << "step " << k;
    }
}

TEST_F(YawTrim, RunawayMonitorSurvivesTheClockJumpingBack) {
    const auto restart = [] { fctl_trim_monitor_phase = fctl_trim_monitor_half = 3; };
    const auto sampled = [] { return fctl_trim_monitor_half == 1; };
    expect_timer_survives_clock_jumps(host(), {"trim sample", 1.0, restart, sampled});
}

// The monitor starts from the trim it finds: a trim already set at load is no movement.
TEST_F(SystemsTest, TrimMonitorStartsFromTheTrimItFinds) {
    token(tk::pitch_trim_rad, trim_rad(6.0));
    for (int f = 0; f < 18 * 3; ++f) {
        frames(1);
        ASSERT_EQ(warn_trim_motion, 0) << "frame " << f;
    }
}

// With the flaps fully up the dampers need the rudder travel limiter: without it both drop at
// once and YAW DAMPER is set.
TEST_F(YawTrim, FlapsUpDropsTheDampersWithoutTheRudderLimiter) {
    ins1_status = ins2_status = 3;  // both INS navigating
    const struct { f64 flaps; u8 limiter, levers, warn; bool dc_normal; } cases[] = {
        {0.0, 1, 2, 0, true}, {0.99, 0, 0, 1, true}, {1.0, 0, 2, 0, true}, {5000.0, 0, 2, 0, true},
        {0.0, 0, 0, 1, false}};  // without normal DC only the drop itself sets YAW DAMPER
    for (const auto& c : cases) {
        elec_tr_sw[0] = elec_tr_sw[1] = c.dc_normal;
        frames(3);
        ASSERT_EQ(dc_normal_powered, c.dc_normal);
        fctl_yaw_damper_sw[0] = fctl_yaw_damper_sw[1] = 1;
        warn_yaw_damper = 0;
        token(tk::flaps, c.flaps);
        fctl_rudder_limiter_active = c.limiter;
        frames(1);
        EXPECT_EQ(fctl_yaw_damper_sw[0] + fctl_yaw_damper_sw[1], c.levers) << c.flaps << " " << int(c.limiter);
        EXPECT_EQ(warn_yaw_damper, c.warn) << c.flaps << " " << int(c.limiter);
    }
}

// Channel counts for the autopilot, and a damper dropped by its own channel: with normal DC lost
// as well, only that drop raises YAW DAMPER.
TEST_F(YawTrim, ChannelCountsAndAChannelDrop) {
    for (const auto& [trim1, trim2, count] : {std::tuple{1, 0, 1}, {0, 1, 1}, {1, 1, 2}, {0, 0, 0}}) {
        fctl_pitch_trim_sw[0] = u8(trim1), fctl_pitch_trim_sw[1] = u8(trim2);
        frames(1);
        EXPECT_EQ(fctl_pitch_trim_count, count) << trim1 << trim2;
    }
    fctl_yaw_damper_sw[0] = fctl_yaw_damper_sw[1] = 0;  // both dampers off with every supply up
    warn_yaw_damper = 0;
    frames(1);
    EXPECT_EQ(warn_yaw_damper, 1);
    elec_tr_sw[0] = elec_tr_sw[1] = 0;  // normal DC lost
    frames(3);
    ins1_status = 2;  // INS 1 not navigating: channel 1 fails
    fctl_yaw_damper_sw[0] = 1, fctl_yaw_damper_sw[1] = 0;
    warn_yaw_damper = 0;
    frames(1);
    EXPECT_EQ(fctl_yaw_damper_sw[0], 0);
    EXPECT_EQ(warn_yaw_damper, 1);
    ins1_status = 3;  // channel 1 good again; channel 2 still without normal DC drops lever 2
    fctl_yaw_damper_sw[0] = 1, fctl_yaw_damper_sw[1] = 1;
    frames(1);
    EXPECT_EQ(fctl_yaw_damper_sw[0] * 10 + fctl_yaw_damper_sw[1], 10);
}

// The host's yaw damper follows the levers: switched on only while the autopilot is engaged,
// switched off once no lever is engaged.
TEST_F(YawTrim, HostYawDamperFollowsTheLevers) {
    const struct { u8 levers; f64 host, ap; u32 key; } cases[] = {
        {1, 0.0, 1.0, key_yaw_damper_event_a}, {1, 0.0, 0.0, 0}, {1, 1.0, 1.0, 0},
        {0, 1.0, 1.0, key_yaw_damper_event_b}, {0, 0.0, 1.0, 0},
    };
    for (const auto& c : cases) {
        fctl_yaw_damper_sw[0] = fctl_yaw_damper_sw[1] = c.levers;
        token(tk::yaw_damper, c.host);
        token(tk::ap_engaged, c.ap);
        new_keys();
        frames(1);
        const auto keys = new_keys();
        EXPECT_EQ(sent(keys, key_yaw_damper_event_a) + sent(keys, key_yaw_damper_event_b), c.key ? 1u : 0u)
            << int(c.levers) << " " << c.host << " " << c.ap;
        u32 value = 99;
        EXPECT_EQ(sent(keys, c.key ? c.key : key_yaw_damper_event_a, &value), c.key ? 1u : 0u);
        EXPECT_EQ(value, c.key ? 0u : 99u);
    }
}
