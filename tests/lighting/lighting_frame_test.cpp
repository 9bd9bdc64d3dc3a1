// Panel lighting run by the systems computer: zones and the night rule, the refresh sequence
// of host lighting events, the lamp test and the panel-light knob.
#include "lighting/lighting_keys.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "host/host_model.h"
#include "tests/clock_jump.h"
#include "tests/systems/systems_fixture.h"

namespace {
constexpr u32 kNight = 3, kDay = 1;
std::vector<int> zones() { return std::vector<int>(light_zone, light_zone + 6); }
}  // namespace

class Lighting : public SystemsTest {
protected:
    // Runs frames one at a time and returns the host tick of every refresh event sent (value 0).
    std::vector<f64> refresh_ticks(u64 count) {
        std::vector<f64> ticks;
        for (u64 i = 0; i < count; ++i) {
            frames(1);
            for (const KeyLogEntry& k : new_keys())
                if (k.id == key_panel_light_event && k.value == 0) ticks.push_back(host().token(1));
        }
        return ticks;
    }
};

TEST_F(Lighting, ZonesFollowNightKnobAndBuses) {
    start();
    // Ground power feeds AC; batteries alone feed DC essential.
    struct Case { u32 time_of_day; u8 panel_on, ext_power, batteries; std::vector<int> want; } cases[] = {
        {kNight, 0, 1, 1, {1, 1, 1, 1, 1, 1}},
        {kNight, 0, 0, 1, {1, 1, 0, 0, 0, 1}},  // DC essential only: 0, 1 and 5
        {kNight, 0, 0, 0, {0, 0, 0, 0, 0, 0}},
        {kDay, 0, 1, 1, {0, 0, 0, 0, 0, 0}},  // day, knob off: dark
        {kDay, 1, 0, 1, {1, 1, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        token(kHostTimeOfDayToken, c.time_of_day);
        ext_power_on = c.ext_power;
        std::memset(elec_batt_sw, c.batteries, sizeof elec_batt_sw);
        frames(1);  // the night rule acts on the time of day read a frame earlier
        light_panel_on = c.panel_on;
        frames(2);
        EXPECT_EQ(zones(), c.want) << "time " << c.time_of_day << " knob " << int(c.panel_on) << " ext "
                                   << int(c.ext_power) << " batt " << int(c.batteries);
    }
}

TEST_F(Lighting, NightTurnsTheHostPanelLightsOnOnlyWhileNoRefreshRuns) {
    start();
    all_buses();
    frames(20);  // the first-frame refresh is over
    new_keys();
    token(kHostTimeOfDayToken, kNight);
    frames(1);  // time of day read this frame, acted on next frame
    EXPECT_EQ(sent_now(key_panel_lights_on), 0u);
    frames(1);
    EXPECT_EQ(light_panel_on, 1);
    u32 value = 99;
    EXPECT_EQ(sent_now(key_panel_lights_on, &value), 1u);
    EXPECT_EQ(value, 0u);
    token(10, 1.0);  // host lights now on
    frames(3);
    EXPECT_EQ(sent_now(key_panel_lights_on), 0u);
    // Without DC essential power the host's lights go off.
    dead();
    value = 99;
    EXPECT_GE(sent_now(key_panel_lights_off, &value), 1u);
    EXPECT_EQ(value, 0u);
}

TEST_F(Lighting, RefreshSendsFourEventsAtTheStatedSpacingAtAnyRate) {
    for (f64 fps : {10.0, 18.0, 30.0, 60.0}) {
        SCOPED_TRACE(fps);
        host().set_fps(fps);
        token(1, 1000.0);  // clock at tick 1000
        frames(1);
        light_refresh = 0;  // drop the first-frame refresh
        light_refresh_step = 0;
        frames(1);
        new_keys();
        light_refresh = 1;
        const std::vector<f64> t = refresh_ticks(u64(3 * fps));
        ASSERT_EQ(t.size(), 4u);
        // Each event goes out on the first frame at or past its deadline, 5 ticks on.
        const f64 frame_ticks = 18.0 / fps;
        for (size_t i = 1; i < 4; ++i) {
            EXPECT_GE(t[i], t[i - 1] + 5) << i;
            EXPECT_LE(t[i], t[i - 1] + 5 + std::ceil(frame_ticks)) << i;
        }
        EXPECT_EQ(light_refresh, 0);
    }
}

TEST_F(Lighting, ANewRequestMidSequenceOnlyChangesTheSpacing) {
    start();
    frames(40);  // the first-frame refresh is over
    new_keys();
    light_refresh = 1;
    light_time_of_day_prev = 7;
    std::vector<f64> t = refresh_ticks(6);  // at 18 fps one tick a frame: events at t0, t0 + 5
    ASSERT_EQ(t.size(), 2u);
    const f64 t0 = t[0];
    light_refresh = 2;  // slow request mid-sequence
    for (f64 tick : refresh_ticks(2)) t.push_back(tick);
    light_refresh = 2;  // and another
    for (f64 tick : refresh_ticks(40)) t.push_back(tick);
    ASSERT_EQ(t.size(), 4u) << "still four events";
    EXPECT_EQ(t[1], t0 + 5);
    // The third deadline was set at the second event with the normal spacing; the slow
    // spacing applies from then on.
    EXPECT_EQ(t[2], t0 + 5 + 5);
    EXPECT_EQ(t[3], t0 + 5 + 5 + 9);
    // The last event ends the sequence and notes the time of day it was made for.
    EXPECT_EQ(std::vector<f64>({f64(light_refresh), f64(light_refresh_step), f64(light_refresh_due),
                                f64(light_time_of_day_prev)}),
              std::vector<f64>({0, 0, 0, f64(light_time_of_day)}));
}

// A clock set back re-arms the next event within the longer (slow) spacing, whichever is in force.
TEST_F(Lighting, RefreshSurvivesTheClockJumpingBack) {
    start();
    frames(40);
    for (u8 request : {u8(1), u8(2)}) {
        const auto arm = [&, request] {
            light_refresh = request, light_refresh_step = 0;
            frames(1);  // the first event goes out at once
        };
        expect_timer_survives_clock_jumps(host(), {request == 1 ? "refresh, normal" : "refresh, slow", 0.5, arm,
                                                   [] { return light_refresh_step != 1; }});
    }
}

TEST_F(Lighting, LampTestFollowsTheSwitchAndTheKnobStepsThreeWays) {
    start();
    all_buses();
    click(kSystems, 120, 15);  // TEST
    frames(1);
    EXPECT_EQ(light_lamp_test, 1);
    click(kSystems, 110, 50);  // DIM
    frames(1);
    EXPECT_EQ(light_lamp_test, 0);
    EXPECT_EQ(light_flt_deck_sw, 1);
    click(kSystems, 115, 30);  // BRT
    frames(1);
    EXPECT_EQ(light_flt_deck_sw, 0);
    EXPECT_EQ(std::vector<bool>({hidden(element(kSystems, 3)), hidden(element(kSystems, 4)), hidden(element(kSystems, 5))}),
              std::vector<bool>({true, false, true})) << "DIM, BRT, TEST images";
    for (size_t e : {1, 2}) element(kSystems, e)->image_flags |= ImageHidden;
    frames(1);
    EXPECT_FALSE(hidden(element(kSystems, 1)) || hidden(element(kSystems, 2))) << "knob and refresh button always shown";

    struct Step { const char* dir; u8 tint_sw, tint_level, panel_on, bright, want_on, want_bright, want_refresh; } steps[] = {
        {"up", 0, 0, 0, 0, 1, 0, 0},    // off -> luminous, no refresh
        {"up", 0, 0, 1, 0, 1, 1, 1},    // luminous -> bright
        {"down", 0, 0, 1, 0, 0, 0, 1},
        {"up", 1, 3, 1, 0, 1, 0, 0},    // tint 3 forbids bright
        {"down", 1, 3, 1, 1, 1, 0, 0},  // ... and takes it away without a refresh
        {"up", 1, 1, 0, 0, 0, 1, 0},    // tint 1 forces bright
        {"down", 1, 1, 1, 1, 1, 1, 0},
        {"up", 1, 2, 1, 0, 1, 1, 1},    // tint 2: as without the tint
        {"down", 1, 2, 1, 1, 1, 0, 1},
    };
    for (const Step& s : steps) {
        light_tint_sw = s.tint_sw;
        light_tint_level = s.tint_level;
        light_panel_on = s.panel_on;
        annunciator_bright = s.bright;
        light_refresh = 0;
        click(kSystems, s.dir[0] == 'u' ? 130 : 100, 80);
        EXPECT_EQ(light_panel_on, s.want_on) << s.dir << " tint " << int(s.tint_level);
        EXPECT_EQ(annunciator_bright, s.want_bright) << s.dir << " tint " << int(s.tint_level);
        EXPECT_EQ(light_refresh, s.want_refresh) << s.dir << " tint " << int(s.tint_level);
    }
}
