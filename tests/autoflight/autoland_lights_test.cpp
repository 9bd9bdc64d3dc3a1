// The autoland, go-around, deviation and AP OFF lights: the one-frame mode-change cue, the 54-tick
// LAND flash, the AUTOLAND monitor, the deviation bands, the 80-tick AP OFF run against the clock.
#include <limits>
#include <string>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "sim_control/state.h"
#include "sound/recording.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

namespace {
const char* kLand = "ketravin autoland_light_1_kr60";
const char* kAutoland = "ketravin autoland_light_2_kr60";
const char* kGa = "ketravin ga_light_kr60";
const char* kLoc = "ketravin autoland_ecart_loc_kr60";
const char* kGs = "ketravin autoland_ecart_gs_kr60";
const char* kApOff = "ketravin voy_ap_off_kr60";
namespace tk {
constexpr u32 tick = 1, cdi = 40, gs_needle = 41, signal = 49, ground = 60, ap = 103, time_of_day = 557,
              radio_m = 614;
}
enum { LowerArc = 1, UpperArc = 2 };
bool lit(const ElementHeader* e) { return !hidden(e); }
}  // namespace

class Lights : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        dc_ess_powered = 1;
    }
    i64 tick() { return i64(host().token(tk::tick)); }
    void radio_ft(f64 ft) {
        inst_radio_alt_ft = ft;
        token(tk::radio_m, ft / 3.281);
    }
    // LAND at `ft`, CMD 1 and the host autopilot engaged, localizer received.
    void in_land(f64 ft) {
        ap_approach_state = 30;
        ap_cmd_engaged = 1;
        token(tk::ap, 1.0);
        token(tk::signal, 1.0);
        radio_ft(ft);
    }
    int galopaps(u64 from) {
        int n = 0;
        for (u64 i = from; i < sound_recording_count(); ++i)
            if (SoundEvent e; sound_recording_event(i, &e) && e.call == SoundCall::Play && std::string(e.name) == "GALOPAP")
                ++n;
        return n;
    }
};

// 20 to 30: a cue for one frame and both arcs flashing 4 ticks lit, 4 dark, for 54 ticks from the
// start, then the lower arc; 30 to 40 flashes again, then both.
TEST_F(Lights, LandChangeCuesOnceFlashesThenShowsTheArcs) {
    place(kLand);
    // The cue is a one-frame pulse: an approach state of 0 or a bus lost does not leave it at 1.
    const struct { u8 state, power, cue; } pulse[] = {{20, 1, 1}, {0, 1, 0}, {20, 1, 1}, {20, 0, 0}, {20, 1, 0}};
    for (const auto& f : pulse) {
        ap_approach_state = f.state;
        dc_ess_powered = f.power;
        frames(1);
        EXPECT_EQ(ap_land_mode_changed, f.cue) << int(f.state) << " power " << int(f.power);
    }
    EXPECT_FALSE(lit(element(kLand, LowerArc))) << "10..29: no flash";
    for (const auto& [state, upper] : {std::pair<u8, bool>{30, false}, {40, true}}) {
        ap_approach_state = state;
        frames(1);
        const i64 start = tick();
        EXPECT_EQ(ap_land_mode_changed, 1);
        int cues = 0;
        while (tick() - start < 60) {
            frames(1);
            cues += ap_land_mode_changed;
            const i64 t = tick() - start;
            // The frame that ends the flash is dark; the arcs follow the state from the next.
            const bool on = t < 54 ? t % 8 < 4 : t > 54;
            EXPECT_EQ(lit(element(kLand, LowerArc)), on) << int(state) << " tick " << t;
            EXPECT_EQ(lit(element(kLand, UpperArc)), on && (t < 54 || upper)) << int(state) << " tick " << t;
        }
        EXPECT_EQ(cues, 0);
    }
}

// The frame that ends the LAND flash hides both arcs, also when the clock steps over the end from a
// lit tick; the arcs follow the state from the next frame.
TEST_F(Lights, LandFlashEndsDarkWhenTheClockStepsOverItsEnd) {
    place(kLand);
    ap_approach_state = 40;
    frames(1);
    const f64 start = host().token(tk::tick);
    for (const auto& [t, on] : {std::pair<f64, bool>{49.0, true}, {60.0, false}, {61.0, true}}) {
        token(tk::tick, start + t);
        frames(1);
        EXPECT_EQ(lit(element(kLand, LowerArc)) && lit(element(kLand, UpperArc)), on) << t;
        EXPECT_EQ(lit(element(kLand, LowerArc)) || lit(element(kLand, UpperArc)), on) << t;
    }
}

TEST_F(Lights, AutolandFaultsAndTheirCancels) {
    place(kAutoland);
    fd_gs_armed = 1;
    const struct { u8 cmd; f64 ft, cdi; i8 warning; } cases[] = {
        {1, 150.0, 13.0, 1},  {1, 150.0, 12.0, 0}, {1, 150.0, -12.5, 1}, {1, 150.0, -12.0, 0},
        {1, 10.0, -13.0, 0}, {0, 150.0, 13.0, 0}};
    for (const auto& c : cases) {
        in_land(c.ft);
        ap_cmd_engaged = c.cmd;
        ap_autoland_warning = 0;
        token(tk::cdi, c.cdi);
        frames(1);
        SCOPED_TRACE(testing::Message() << "CMD " << int(c.cmd) << " cdi " << c.cdi << " at " << c.ft);
        EXPECT_EQ(ap_autoland_warning, c.warning);
        EXPECT_EQ(lit(element(kAutoland, 0)), c.warning != 0);
        ap_autoland_flashing = 0;
    }
}

// A glide-slope needle beyond 90 either way with the beam captured is a fault only while the radio
// height (token 614) is above 100 and at most 250 ft.
TEST_F(Lights, GlideSlopeExcessCountsFrom100To250Ft) {
    place(kAutoland);
    const struct { f64 needle, rh_ft; u8 capture; i8 warning; } cases[] = {
        {95, 249.9, 2, 1}, {95, 255, 2, 0}, {95, 99.9, 2, 0}, {95, 100.1, 2, 1}, {90, 200, 2, 0}, {-95, 200, 2, 1},
        {95, 200, 1, 0}};
    for (const auto& c : cases) {
        in_land(150.0);
        token(tk::radio_m, c.rh_ft / 3.281);
        token(tk::gs_needle, c.needle);
        fd_gs_capture_state = c.capture;
        ap_autoland_warning = 0;
        frames(1);
        EXPECT_EQ(ap_autoland_warning, c.warning) << c.needle << " at " << c.rh_ft << " state " << int(c.capture);
        ap_autoland_flashing = 0;
    }
}

// A fault flashes 4 ticks lit, 4 dark from the tick it came; a click acknowledges it: the next
// frame the light is dark, the flash over and the request gone, also if that frame is touchdown.
TEST_F(Lights, AutolandFaultFlashesFromItsTickAndAClickEndsIt) {
    place(kAutoland);
    fd_gs_armed = 1;
    // After the click: fault gone, touchdown, or the excess still there (the click puts it out all the same).
    for (const auto& [cdi_after, touchdown] : {std::pair<f64, bool>{0.0, false}, {0.0, true}, {13.0, false}}) {
        in_land(150.0);
        token(tk::ground, 0.0);
        ap_autoland_warning = 0;
        frames(13);
        token(tk::cdi, 13.0);
        frames(1);
        ASSERT_EQ(ap_autoland_warning, 1);
        const i64 start = tick();
        for (int f = 0; f < 12; ++f, frames(1))
            EXPECT_EQ(lit(element(kAutoland, 0)), (tick() - start) % 8 < 4) << tick() - start;
        const bool was = lit(element(kAutoland, 0));
        const i64 before = tick();
        token(tk::tick, std::numeric_limits<f64>::quiet_NaN());
        frames(1);
        EXPECT_EQ(lit(element(kAutoland, 0)), was) << "no clock reading: the light stays as it was";
        token(tk::tick, f64(before));
        token(tk::tick, f64(tick() + 21));  // a skipped stretch: the cycle keeps its phase and catches up
        frames(1);
        EXPECT_EQ(lit(element(kAutoland, 0)), (tick() - start) % 8 < 4) << tick() - start;
        EXPECT_LT(tick() - ap_autoland_blink_time, 8) << "the cycle start follows the clock";
        ASSERT_TRUE(click(kAutoland, 10, 10));
        EXPECT_EQ(std::make_tuple(ap_autoland_warning, ap_autoland_cancel, ap_autoland_ap_in_land),
                  std::make_tuple(i8(0), u8(1), u8(0)))
            << "the click itself acknowledges";
        token(tk::cdi, cdi_after);
        token(tk::ground, touchdown ? 1.0 : 0.0);
        frames(1);
        EXPECT_EQ(std::make_tuple(lit(element(kAutoland, 0)), ap_autoland_flashing, ap_autoland_cancel,
                                  ap_autoland_warning),
                  std::make_tuple(false, u8(0), u8(0), i8(0)))
            << touchdown << " cdi " << cdi_after;
    }
}

TEST_F(Lights, AutopilotLostInLandIsClearedOnlyByGoAround) {
    place(kAutoland);
    in_land(120.0);
    ap_approach_state = 20;  // engaged in APP only: its loss is no autoland warning
    frames(1);
    EXPECT_EQ(ap_autoland_ap_in_land, 0);
    token(tk::ap, 0.0);
    frames(1);
    EXPECT_EQ(ap_autoland_warning, 0);
    in_land(120.0);
    frames(1);
    ASSERT_EQ(ap_autoland_ap_in_land, 1);
    token(tk::ap, 0.0);
    ap_approach_state = 0;  // the mode panel drops LAND with the autopilot
    ap_cmd_engaged = 0;
    frames(1);
    EXPECT_EQ(ap_autoland_warning, 2);
    ASSERT_TRUE(click(kAutoland, 10, 10));
    frames(3);
    EXPECT_EQ(ap_autoland_warning, 2);
    ap_go_around_mode = 1;
    frames(1);
    EXPECT_EQ(std::make_pair(ap_autoland_warning, ap_autoland_ap_in_land), std::make_pair(i8(0), u8(0)));
    EXPECT_FALSE(lit(element(kAutoland, 0)));
    ap_go_around_mode = 0;  // the cancel forgot the LAND engagement: the loss is not raised again
    frames(1);
    EXPECT_EQ(ap_autoland_warning, 0);
    // A cancel request still standing (an acknowledgement made without DC essential power) puts
    // out a loss in the frame it comes, before the light shows.
    in_land(120.0);
    frames(1);
    ASSERT_EQ(ap_autoland_ap_in_land, 1);
    ap_autoland_cancel = 1;
    token(tk::ap, 0.0);
    ap_approach_state = 0, ap_cmd_engaged = 0;
    frames(1);
    EXPECT_EQ(ap_autoland_warning, 0);
    EXPECT_FALSE(lit(element(kAutoland, 0)));
    // Acknowledging a fault forgets the LAND engagement: the autopilot dropping out after it is no loss.
    in_land(120.0);
    fd_gs_armed = 1;
    token(tk::cdi, 13.0);
    frames(1);
    ASSERT_EQ(ap_autoland_warning, 1);
    ASSERT_TRUE(click(kAutoland, 10, 10));
    token(tk::cdi, 0.0);
    token(tk::ap, 0.0);
    ap_approach_state = 0, ap_cmd_engaged = 0;
    frames(3);
    EXPECT_EQ(ap_autoland_warning, 0);
    EXPECT_FALSE(lit(element(kAutoland, 0)));
}

// A clock set back in the dark half of the flash starts a new cycle from now, lit. DC ESS lost
// during the flash: the light goes dark at once, the flash and the warning end.
TEST_F(Lights, AutolandFlashRestartsOnAClockSetBackAndEndsWithItsPower) {
    place(kAutoland);
    token(tk::tick, 500.0);
    in_land(120.0);
    frames(1);
    token(tk::ap, 0.0);
    ap_approach_state = 0;
    ap_cmd_engaged = 0;
    frames(1);
    ASSERT_EQ(std::make_tuple(ap_autoland_warning, ap_autoland_flashing, lit(element(kAutoland, 0))),
              std::make_tuple(i8(2), u8(1), true));
    for (int f = 0; f < 20 && lit(element(kAutoland, 0)); ++f) frames(1);
    ASSERT_FALSE(lit(element(kAutoland, 0)));
    token(tk::tick, f64(tick() - 100));
    frames(1);
    EXPECT_EQ(std::make_pair(lit(element(kAutoland, 0)), i64(ap_autoland_blink_time)), std::make_pair(true, tick()));
    dc_ess_powered = 0;
    frames(1);
    EXPECT_EQ(std::make_tuple(lit(element(kAutoland, 0)), ap_autoland_flashing, ap_autoland_blink_phase,
                              ap_autoland_warning),
              std::make_tuple(false, u8(0), u8(0), i8(0)));
}

// On the ground the warning reads -1 while the autopilot is engaged and 0 once it is off, so that
// the next approach is monitored again; the touchdown also ends the LAND engagement, so lifting off
// again with the autopilot off is no autopilot lost.
TEST_F(Lights, AutolandWarningOnTheGroundFollowsTheAutopilot) {
    place(kAutoland);
    in_land(120.0);
    token(tk::ground, 1.0);
    for (const auto& [ap, warning] : {std::pair<f64, i8>{1.0, -1}, {0.0, 0}}) {
        token(tk::ap, ap);
        frames(1);
        EXPECT_EQ(std::make_pair(ap_autoland_warning, ap_autoland_ap_in_land), std::make_pair(warning, u8(0))) << ap;
    }
    ap_approach_state = ap_cmd_engaged = 0;
    token(tk::ground, 0.0);
    frames(1);
    EXPECT_EQ(ap_autoland_warning, 0);
}

// The flare may last 17 s; begun within 20 s of midnight it runs to 20 s and counts after it.
TEST_F(Lights, FlareTimerAcrossMidnight) {
    constexpr f64 kInf = std::numeric_limits<f64>::infinity();
    place(kAutoland);
    in_land(30.0);
    ap_flare_mode = 1;
    const struct { f64 begun; f64 t; i8 warning; } cases[] = {
        {1000.0, 1016.0, 0},  {1000.0, 1017.0, 1},  {86390.0, 86399.0, 0}, {86390.0, 5.0, 0}, {86390.0, 10.0, 1},
        {86379.5, 86396.0, 1}, {86380.0, 86399.5, 0}, {86380.0, 0.0, 1},  // deadline 0: due only after midnight
        {kInf, 1000.0, 0}, {-kInf, 1000.0, 0}};  // an infinite time starts no timing: it starts at 1000 s
    for (const auto& c : cases) {
        ap_autoland_warning = 0;
        ap_autoland_flare_timing = 0;
        token(tk::time_of_day, c.begun);
        frames(1);
        token(tk::time_of_day, c.t);
        frames(1);
        EXPECT_EQ(ap_autoland_warning, c.warning) << c.begun << " -> " << c.t;
    }
    ap_autoland_warning = 0;  // the autopilot off in the flare: the timer starts again
    ap_autoland_flare_timing = 0;
    for (const auto& [ap, t] : {std::pair<f64, f64>{1.0, 1000.0}, {0.0, 1010.0}, {1.0, 1020.0}}) {
        token(tk::ap, ap);
        token(tk::time_of_day, t);
        frames(1);
    }
    EXPECT_EQ(ap_autoland_warning, 0);
}

TEST_F(Lights, DeviationBandsAndTheLampTest) {
    for (const char* g : {kLand, kGa, kLoc, kGs}) place(g);
    ap_approach_state = 20;
    fd_gs_available = 1;
    fd_gs_capture_state = 2;
    const struct { f64 needle, ft; bool gs; } cases[] = {
        {50.0, 300.0, true}, {50.0, 200.0, false}, {95.0, 200.0, true}, {-95.0, 90.0, false}, {22.0, 300.0, false}};
    for (const auto& c : cases) {
        token(tk::gs_needle, c.needle);
        radio_ft(c.ft);
        frames(1);
        EXPECT_EQ(lit(element(kGs, 0)), c.gs) << c.needle << " at " << c.ft;
    }
    // The lamp test reaches only the deviation lights, only outside an approach and only powered.
    token(tk::gs_needle, 0.0);
    const struct { u8 test, state, dc; bool lit; } tests[] = {
        {1, 20, 1, false}, {1, 10, 1, true}, {0, 10, 1, false}, {1, 10, 0, false}};
    for (const auto& t : tests) {
        light_lamp_test = t.test;
        ap_approach_state = t.state;
        dc_ess_powered = t.dc;
        frames(1);
        SCOPED_TRACE(testing::Message() << "test " << int(t.test) << " state " << int(t.state) << " DC " << int(t.dc));
        EXPECT_EQ(lit(element(kGs, 0)), t.lit);
        EXPECT_EQ(lit(element(kLoc, 0)), t.lit);
        EXPECT_FALSE(lit(element(kGa, 0)) || lit(element(kLand, LowerArc)));
    }
}

// Lit S..S+3, dark S+4..S+7, lit again from S+8, over at S+80 with one GALOPAP, at any frame rate.
TEST_F(Lights, ApOffRunOfEightyTicksAtEveryFrameRate) {
    place("ketravin gpws_kr60");  // loads the sounds
    place(kApOff);
    for (f64 fps : {10.0, 18.0, 30.0}) {
        SCOPED_TRACE(fps);
        host().set_fps(fps);
        token(tk::ap, 0.0);
        frames(3);
        EXPECT_FALSE(lit(element(kApOff, 0))) << "no engagement seen yet";
        token(tk::ap, 1.0);
        frames(2);
        const u64 sounds = sound_recording_count();
        token(tk::ap, 0.0);
        frames(1);
        const i64 start = tick();
        EXPECT_TRUE(lit(element(kApOff, 0)));
        while (tick() - start < 90) {
            frames(1);
            const i64 t = tick() - start;
            EXPECT_EQ(lit(element(kApOff, 0)), t < 80 && t % 8 < 4) << "tick " << t;
        }
        EXPECT_EQ(ap_off_flashing, 0);
        EXPECT_EQ(galopaps(sounds), 1);
    }
    token(tk::ap, 1.0);  // a run cut by the loss of DC ESS: dark at once, and over
    frames(1);
    token(tk::ap, 0.0);
    frames(1);
    ASSERT_TRUE(lit(element(kApOff, 0)));
    dc_ess_powered = 0;
    frames(1);
    EXPECT_EQ(std::make_pair(lit(element(kApOff, 0)), ap_off_flashing), std::make_pair(false, u8(0)));
}

TEST_F(Lights, ApOffRunEndsWhenTheClockJumpsPastItOrBackAndClicksSetThePanelBytes) {
    place(kApOff);
    const auto disengage = [this] {
        token(tk::ap, 1.0);
        frames(1);
        token(tk::ap, 0.0);
        frames(1);
        ASSERT_EQ(ap_off_flashing, 1);
    };
    disengage();
    token(tk::tick, host().token(tk::tick) + 500.0);
    frames(1);
    EXPECT_EQ(ap_off_flashing + ap_off_state, 0);
    EXPECT_FALSE(lit(element(kApOff, 0)));
    expect_timer_survives_clock_jumps(host(),
                                      {"AP OFF run", 80.0 / 18.0, disengage, [] { return ap_off_flashing == 0; }});
    // The start shows the light whatever the clock reads.
    ASSERT_TRUE(ap_off_flashing == 0 && !lit(element(kApOff, 0)));
    token(tk::ap, 1.0);
    frames(1);
    const f64 before = host().token(tk::tick);
    token(tk::ap, 0.0);
    token(tk::tick, std::numeric_limits<f64>::quiet_NaN());
    frames(1);
    EXPECT_EQ(std::make_pair(lit(element(kApOff, 0)), ap_off_flashing), std::make_pair(true, u8(1)));
    token(tk::tick, before);
    // Left click toggles the panel buttons; right click opens the overview only from 0.
    const struct { u32 flags; u8 overview_before, buttons, overview; } clicks[] = {
        {MouseLeftSingle, 2, 1, 2}, {MouseLeftSingle, 2, 0, 2}, {MouseRightSingle, 0, 0, 1},
        {MouseRightSingle, 10, 0, 10}};
    for (const auto& c : clicks) {
        panel_overview_state = c.overview_before;
        ASSERT_TRUE(click(kApOff, 5, 5, c.flags));
        EXPECT_TRUE(panel_toggle_buttons_shown == c.buttons && panel_overview_state == c.overview) << c.flags;
    }
}
