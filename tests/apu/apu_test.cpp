// The APU gauge and its meters through the host: the start timeline with and without the meters
// drawn, creep and ceilings, failure and hostile host values.
#include <cmath>
#include <functional>
#include <string>
#include <utility>

#include "air/state.h"
#include "apu/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "warnings/state.h"
#include "sim_control/state.h"
#include "module/keys.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

namespace {
const char* kApu = "ketravin apu_kr60";
const char* kMeters[] = {"ketravin apu_ind_oil_kr60", "ketravin apu_ind_n1_n2_kr60", "ketravin apu_ind_egt_kr60"};
enum { HandlePicture = 1, StartLit = 10, HandleLit, LampStbyOn, LampOil = 14, LampFault, AgentArmed = 17, AgentGone };
constexpr f64 kMetresPerFoot = 1.0 / 3.281;
}  // namespace

class Apu : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kApu);
        dc_ess_powered = 1;
    }
    void master(bool on) { click(kApu, 80, on ? 195 : 215); }
    void start() { click(kApu, 30, 150); }
    void run_settled() {  // running on the ground in NOR
        master(true);
        start();
        frames(400);
        ASSERT_EQ(apu_running, 1);
        ASSERT_EQ(apu_n1_pct, 63.0);
    }
};

// Meters: 0 not placed, 1 on a hidden window, 2 drawn, 3 drawn in reverse gauge order.
class ApuStart : public Apu, public ::testing::WithParamInterface<int> {};

TEST_P(ApuStart, TimelineIsTheSameWhetherOrNotTheMetersAreDrawn) {
    for (const char* g : kMeters)
        if (GetParam() != 0) place(g);
    const bool on_screen = GetParam() >= 2;
    host().window_set(panel_win_fe_1, on_screen);
    host().set_reverse_order(GetParam() == 3);
    master(true);
    start();  // the next frame is frame 1
    u64 landed = 0, first_running = 0;
    f64 n1[401] = {}, n2[401] = {}, egt[401] = {};
    std::string lamps(401, ' ');  // START lit and OIL per frame: 'B' both lit, '-' both dark
    for (u64 f = 1; f <= 400; ++f) {
        frames(1);
        n1[f] = apu_n1_pct, n2[f] = apu_n2_pct, egt[f] = apu_egt_deg;
        const bool start_lit = !hidden(element(kApu, StartLit)), oil = !hidden(element(kApu, LampOil));
        lamps[f] = start_lit && oil ? 'B' : !start_lit && !oil ? '-' : '?';
        ASSERT_LE(n1[f], 120.0) << "frame " << f;
        if (!first_running && apu_running == 1) first_running = f;
        if (!landed && f > 257 && n1[f] == 63.0) landed = f;
        ASSERT_TRUE(!landed || n1[f] == 63.0) << "frame " << f << ": stays once landed";
    }
    EXPECT_NEAR(n2[250], 50.0, 1e-9);
    // Both lamps light with the start and go out together once the speed passes 50.
    EXPECT_EQ(lamps.substr(1, 249), std::string(249, 'B'));
    EXPECT_EQ(lamps.substr(251), std::string(150, '-'));
    EXPECT_NEAR(n1[250], 12.5, 1e-9);
    EXPECT_NEAR(n2[256], 88.58, 0.005);
    EXPECT_NEAR(n2[257], 97.44, 0.005);
    EXPECT_TRUE(n1[256] == 120.0 && n1[257] == 120.0) << "142.4 and 213.6 unbounded";
    EXPECT_NEAR(egt[264], 158.4, 1e-9);
    EXPECT_EQ(egt[265], 540.0);
    EXPECT_EQ(first_running, 270u);
    EXPECT_EQ(landed, 334u);
    EXPECT_EQ(drawn(kMeters[1], 1).drawn, on_screen);
    const auto keys = new_keys();
    EXPECT_TRUE(keys.size() == 1 && keys[0].id == key_apu_starter) << keys.size();
}
INSTANTIATE_TEST_SUITE_P(Meters, ApuStart, ::testing::Range(0, 4));

TEST_F(Apu, AboveTheStartCeilingTheStartCreepsTo35ThenGivesUpAndCeilingsStopTheApu) {
    token(73, 26000.0 * kMetresPerFoot);
    master(true);
    start();
    u64 f = 0;
    for (; apu_starting == 1 && f < 1000; ++f) frames(1);
    EXPECT_GE(apu_n2_pct, 35.0);
    EXPECT_NEAR(apu_n2_pct, 0.2 * f64(f - 1), 1e-9);
    EXPECT_NEAR(apu_n1_pct, 0.01 * f64(f - 1), 1e-9) << "the second speed creeps 0.01 a frame";
    frames(2000);
    EXPECT_EQ(apu_n2_pct + apu_n1_pct + apu_egt_deg, 0.0);

    token(73, 0.0);
    master(false);
    run_settled();
    for (const auto& [feet, running] : {std::pair{26000.0, 1}, {31000.0, 0}, {1000.0, 0}}) {  // no restart
        token(73, feet * kMetresPerFoot);
        frames(300);
        EXPECT_TRUE(apu_starting == 0 && apu_running == running) << feet;
    }
}

TEST_F(Apu, FailureSpoolsDownWhileEgtStopsAtTheDialTopWithNoMeter) {
    run_settled();
    fail_active[0] = 1;
    frames(10);
    EXPECT_EQ(warn_apu_fault, 1) << "failed with the master on";
    const f64 egt = apu_egt_deg;
    ASSERT_GT(egt, 540.0);
    frames(10);
    EXPECT_NEAR(apu_egt_deg - egt, 1.0, 1e-9) << "0.2 up a frame against the spool-down's 0.1";
    frames(5000);
    EXPECT_TRUE(apu_egt_deg == 700.0 && apu_n2_pct == 0.0) << apu_egt_deg << " " << apu_n2_pct;
    for (size_t pos : {StartLit, LampOil, LampFault}) EXPECT_FALSE(hidden(element(kApu, pos))) << pos;
    fail_active[0] = 0;  // still starting: it runs up again, and on speed the hot EGT falls 0.1 a frame
    frames(300);
    EXPECT_EQ(warn_apu_fault, 0);
    ASSERT_EQ(apu_running, 1);
    const f64 hot = apu_egt_deg;
    frames(10);
    EXPECT_NEAR(hot - apu_egt_deg, 1.0, 1e-9);
}

TEST_F(Apu, HostileHostValuesKeepTheModelBounded) {
    run_settled();
    for (f64 v : {f64(NAN), f64(INFINITY), f64(-INFINITY), 1e300, -1e300, -5.0}) {
        for (u32 id : {73u, 331u, 332u, 624u, 643u, 604u}) token(id, v);
        frames(20);
        for (f64 x : {apu_n1_pct, apu_n2_pct, apu_egt_deg}) EXPECT_TRUE(x >= 0.0 && x <= 700.0) << v;
        EXPECT_LE(apu_oil_qty, 800u) << v;
        token(604, 100.0);
    }
}

TEST_F(Apu, FlapAndOilTimersSurviveTheClockJumpingBack) {
    run_settled();
    u32 oil = 0;
    const JumpTimer timers[] = {
        {"intake flap opening", 5.0, [] { apu_door_state = apu_door_timer_armed = 0; },
         [] { return apu_door_state == 2; }},
        {"oil use", 60.0, [&] { apu_oil_timer_armed = 0, oil = apu_oil_qty; }, [&] { return apu_oil_qty < oil; }},
    };
    for (const JumpTimer& t : timers) expect_timer_survives_clock_jumps(host(), t);
    EXPECT_EQ(apu_running, 1);
}

// The second speed's target by demand, with the running rates: the step runs twice a frame while
// the APU is starting and running, so it climbs 0.4 a frame and falls 0.2 (high demand) or 0.8.
TEST_F(Apu, SecondSpeedTargetsAndRatesByDemand) {
    run_settled();
    const auto control = [&](i32 y) { click(kApu, 80, y); };
    const auto alt_ft = [this](f64 ft) { token(73, ft * kMetresPerFoot); };
    const struct { const char* demand; std::function<void()> set; f64 target, fall; bool stby_on; } cases[] = {
        {"NOR on the ground", [] {}, 63.0, 0.8, false},
        {"OVRD", [&] { control(140); }, 97.0, 0.2, false},
        {"start master", [] { eng_start_master = 1; }, 97.0, 0.2, false},
        {"wing anti-ice, engines stopped", [this] { aice_wing_active = 1, token(624, 4.0), token(643, 5.99); }, 97.0,
         0.2, false},
        {"wing anti-ice, engines at 10", [this] { aice_wing_active = 1, token(624, 4.0), token(643, 6.0); }, 63.0, 0.8,
         false},
        {"STBY", [&] { control(175); }, 89.0, 0.8, true},
        {"NOR at 7000 ft", [this] { token(73, 7000.0 / 3.281); }, 89.0, 0.8, false},
        {"NOR below 7000 ft", [&] { alt_ft(6999.5); }, 63.0, 0.8, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.demand);
        control(160);  // NOR
        eng_start_master = aice_wing_active = 0;
        token(624, 0.0), token(643, 0.0), token(73, 0.0);
        c.set();
        frames(2);
        apu_n1_pct = c.target + 5.05;
        frames(1);
        EXPECT_NEAR(apu_n1_pct, c.target + 5.05 - c.fall, 1e-9);
        frames(u64(5.0 / c.fall) + 1);
        EXPECT_EQ(apu_n1_pct, c.target) << "lands on the target within 1 above it";
        apu_n1_pct = c.target - 4.0;
        frames(1);
        EXPECT_NEAR(apu_n1_pct, c.target - 3.6, 1e-9);
        frames(10);
        EXPECT_EQ(apu_n1_pct, c.target);
        EXPECT_EQ(!hidden(element(kApu, LampStbyOn)), c.stby_on);
    }
}

// The handle stops the APU with or without power; the agent goes, the host's fire event is sent
// and the APU FIRE latch drops only with DC essential power.
TEST_F(Apu, FireHandleAgentAndAgentPressFlag) {
    run_settled();
    fire_apu_latched = 1, warn_fire[2] = 1;
    token(980, 1.0);
    frames(1);
    const auto flag = [&] { return std::pair{!hidden(element(kApu, AgentArmed)), !hidden(element(kApu, AgentGone))}; };
    EXPECT_EQ(flag(), std::pair(true, false));
    EXPECT_FALSE(hidden(element(kApu, HandleLit)));
    new_keys();
    dc_ess_powered = 0;
    elec_gen_sw[2] = 1;
    click(kApu, 40, 80, MouseRightSingle);
    frames(1);
    EXPECT_TRUE(apu_master_sw == 0 && elec_gen_sw[2] == 0 && apu_running == 0);
    EXPECT_EQ(apu_fire_agent_armed + fire_apu_latched + warn_fire[2], 3) << "nothing discharged or cleared";
    EXPECT_EQ(flag(), std::pair(false, false));
    EXPECT_FALSE(hidden(element(kApu, HandlePicture)));
    EXPECT_TRUE(new_keys().empty());
    dc_ess_powered = 1;
    frames(1);
    EXPECT_EQ(apu_fire_agent_armed, 0);
    EXPECT_EQ(flag(), std::pair(false, true));
    EXPECT_TRUE(hidden(element(kApu, HandleLit))) << "the pulled handle is not lit";
    i32 value = 0;
    EXPECT_EQ(sent(key_apu_fire_event, &value), 1u) << "while the host's fire reads 1";
    EXPECT_EQ(value, 1);
    EXPECT_EQ(fire_apu_latched, 1);
    frames(1);  // the host put its fire out
    EXPECT_EQ(fire_apu_latched + warn_fire[2], 0);
    EXPECT_EQ(sent(key_apu_fire_event), 0u);
}

// The meters' needles turn at most 6 degrees a step.
TEST_F(Apu, MeterNeedleSpeedLimits) {
    for (const char* g : kMeters) place(g);
    for (const auto& [g, n] : {std::pair{kMeters[0], 1}, {kMeters[1], 1}, {kMeters[1], 2}, {kMeters[2], 1}}) {
        const auto* e = reinterpret_cast<const NeedleElement*>(element(g, size_t(n)));
        EXPECT_TRUE(e->head.type == u32(ElementNeedle) && e->reserved2[0] == 6u) << g << " " << n;
    }
}

// The three switches each show the one lever image of their position.
TEST_F(Apu, LeverImagesFollowTheSwitches) {
    // MASTER (down, up), FUEL PUMP (down, up), CONTRL SYS (down STBY, centre NOR, up OVRD). The
    // master going down tells the host to stop its APU, only when it was on.
    const struct { i32 x, y; const char* images; size_t apu_off; } clicks[] = {
        {80, 195, "0110010", 0}, {30, 195, "0101010", 0}, {80, 175, "0101100", 0}, {80, 140, "0101001", 0},
        {30, 215, "0110001", 0}, {80, 160, "0110010", 0}, {80, 215, "1010010", 1}, {80, 215, "1010010", 0},
    };
    new_keys();
    for (const auto& c : clicks) {
        click(kApu, c.x, c.y);
        frames(1);
        std::string images;
        for (size_t pos = 3; pos <= 9; ++pos) images += hidden(element(kApu, pos)) ? '0' : '1';
        EXPECT_EQ(images, c.images) << c.x << "," << c.y;
        size_t off = 0;
        for (const KeyLogEntry& k : new_keys()) off += k.id == key_apu_off;
        EXPECT_EQ(off, c.apu_off) << c.x << "," << c.y;
    }
}

// Oil goes one unit a minute of running down to 0, and the APU stops when it is gone; below 600 a
// new start is refused on the next frame.
TEST_F(Apu, OilRunsOutAndStopsTheApu) {
    run_settled();
    seconds(121);
    EXPECT_EQ(apu_oil_qty, 798u) << "one unit a minute";
    apu_oil_qty = 1;
    seconds(62);
    EXPECT_EQ(apu_oil_qty, 0u);
    EXPECT_EQ(apu_running, 0);
    apu_oil_qty = 599;
    start();
    EXPECT_EQ(apu_starting, 1);
    frames(1);
    EXPECT_EQ(apu_starting, 0);
    apu_oil_qty = 900;  // the model bounds the oil itself, with no meter drawn
    frames(1);
    EXPECT_EQ(apu_oil_qty, 800u);
    apu_oil_qty = 600;  // not below the minimum: a start held back by a failure is not dropped
    fail_active[0] = 1;
    start();
    frames(1);
    EXPECT_EQ(apu_starting, 1);
}

// The start's phases at their bounds: below 50 the light-off steps, from 50 to 96 inclusive the
// fast phase (a tenth of the speed and half the second speed), above 96 the last 0.2 a frame.
TEST_F(Apu, StartPhasesAtTheirBounds) {
    master(true);
    start();
    const struct { f64 n2, n1, n2_after, n1_after; } cases[] = {
        {49.9, 10.0, 50.1, 10.05}, {50.0, 10.0, 55.0, 15.0},
        {96.0, 40.0, 105.6, 60.2},  // on speed at once: the running step adds its 0.2
        {96.1, 40.0, 96.3, 40.2},
    };
    for (const auto& c : cases) {
        apu_n2_pct = c.n2, apu_n1_pct = c.n1;
        frames(1);
        EXPECT_NEAR(apu_n2_pct, c.n2_after, 1e-9) << c.n2;
        EXPECT_NEAR(apu_n1_pct, c.n1_after, 1e-9) << c.n2;
    }
    // EGT with the speed held (a discharged agent stops the start): settled at 540 from 99 up.
    apu_fire_agent_armed = 0;
    for (const auto& [n2, egt_after] : {std::pair{98.9, 300.6}, {99.0, 540.0}}) {
        apu_n2_pct = n2, apu_egt_deg = 300.0;
        frames(1);
        EXPECT_EQ(apu_n2_pct, n2);
        EXPECT_NEAR(apu_egt_deg, egt_after, 1e-9) << n2;
    }
}

// With no meter anywhere the model keeps its own speeds and EGT inside the dials.
TEST_F(Apu, TheModelBoundsItsSpeedsWithoutAnyMeter) {
    for (bool running : {false, true}) {
        if (running) run_settled();
        apu_n1_pct = apu_n2_pct = 130.0, apu_egt_deg = 800.0;
        frames(1);
        EXPECT_TRUE(apu_n1_pct <= 120.0 && apu_n2_pct <= 120.0 && apu_egt_deg <= 700.0)
            << apu_n1_pct << " " << apu_n2_pct << " " << apu_egt_deg;
    }
}

// Each meter bounds the value it shows, in place, whenever it is drawn.
TEST_F(HostTest, ApuMetersBoundTheirValuesInPlace) {
    for (const char* g : kMeters) place(g);
    host().window_set(panel_win_fe_1, true);
    apu_oil_qty = 900, apu_n1_pct = 130.0, apu_n2_pct = -0.3, apu_egt_deg = 800.0;
    frames(1);
    EXPECT_EQ(drawn(kMeters[0], 1).value, 800.0);
    EXPECT_EQ(drawn(kMeters[1], 1).value, 120.0);
    EXPECT_EQ(drawn(kMeters[1], 2).value, 0.0);
    EXPECT_EQ(drawn(kMeters[2], 1).value, 700.0);
    EXPECT_TRUE(apu_oil_qty == 800 && apu_n1_pct == 120.0 && apu_n2_pct == 0.0 && apu_egt_deg == 700.0);
    apu_n2_pct = 130.0, apu_egt_deg = -1.0;
    frames(1);
    EXPECT_TRUE(apu_n2_pct == 120.0 && apu_egt_deg == 0.0);
}

// FLAP lights from the master going on until the intake flap is open, 90 ticks later, and again
// while the nose gear and its handle disagree with the APU running.
TEST_F(Apu, FlapLampWhileTheIntakeFlapMoves) {
    enum { LampFlap = 16 };
    master(true);
    frames(1);
    EXPECT_EQ(apu_door_state, 1);
    EXPECT_FALSE(hidden(element(kApu, LampFlap)));
    const f64 armed_at = host().token(1);  // tok_tick18
    for (int f = 0; f < 200 && apu_door_state == 1; ++f) frames(1);
    EXPECT_EQ(host().token(1) - armed_at, 90.0) << "open 90 ticks after the master went on";
    EXPECT_EQ(apu_door_state, 2);
    EXPECT_TRUE(hidden(element(kApu, LampFlap)));
    start();
    frames(400);
    token(332, 0.0), token(331, 1.0);  // the gear handle down, the nose gear still up
    frames(1);
    EXPECT_EQ(apu_door_state, 1);
    EXPECT_FALSE(hidden(element(kApu, LampFlap)));
}
