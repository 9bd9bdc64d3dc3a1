// CDU lamps, flasher and tests: system test phases, the AP/FLT DIR test of each unit, the WRN
// flashing hold (also across the tick counter's wrap), the waypoint alert window, the screen
// and backlight, the plan change seen by both units in either order, the debug readout.
#include <cmath>

#include "lighting/state.h"
#include "tests/navigation/cdu_fixture.h"
#include "navigation/state.h"

class CduLamps : public CduTest {
protected:
    void SetUp() override {
        CduTest::SetUp();
        place_cdus();
    }
    bool lit(int n, size_t pos) { return !hidden(element(cdu(n), pos)); }
};

TEST_F(CduLamps, SystemTestStepsFivePhasesOf18Ticks) {
    frame_at_tick(499);
    show_page(1, kPageSysSts, 4);
    ins1_cdu_page[kPageSysStsView] = 4;  // as EXP sets it
    const struct { f64 tick; u8 phase, view; } rows[] = {
        {500, 1, 4}, {517, 1, 4}, {518, 2, 4}, {536, 3, 4}, {554, 4, 4}, {572, 5, 4}, {589, 5, 4}, {590, 0, 0}};
    for (const auto& r : rows) {
        frame_at_tick(r.tick);
        EXPECT_EQ(ins1_sys_test_phase, r.phase) << r.tick;
        EXPECT_EQ(ins1_cdu_page[kPageSysStsView], r.view) << r.tick;
        if (r.phase && r.tick > 500) {  // the lamps follow a frame later
            EXPECT_TRUE(lit(1, Wrn) && lit(1, Bat) && lit(1, Alr) && lit(1, Ofs)) << "lamp test";
            EXPECT_EQ(lines(1)[r.phase - 1], "----------------");
        }
    }
    EXPECT_EQ(ins1_test_start, 0.0);
    frame_at_tick(591);
    EXPECT_EQ(ins1_sys_test, 0);
    EXPECT_EQ(lines(1)[0], "  SYSTEM TEST   ") << "back on sub-page 4";
}

// A clock set back by more than the counter's wrap restarts the running test from then on.
TEST_F(CduLamps, SystemTestEndsAfterTheClockIsSetFarBack) {
    frame_at_tick(99999);
    show_page(1, kPageSysSts, 4);
    ins1_cdu_page[kPageSysStsView] = 4;
    frame_at_tick(100000);
    ASSERT_EQ(ins1_sys_test, 1);
    frame_at_tick(1000);
    EXPECT_EQ(ins1_sys_test_phase, 1);
    frame_at_tick(1018);
    EXPECT_EQ(ins1_sys_test_phase, 2);
    frame_at_tick(1090);
    EXPECT_EQ(ins1_cdu_page[kPageSysStsView], 0) << "ended 90 ticks on";
}

// Neither test starts in a frame whose tick count is 0; the next tick starts it.
TEST_F(CduLamps, TestsDoNotStartAtTickZero) {
    for (u8 view : {4, 5}) {
        show_page(1, kPageSysSts, view);
        ins1_cdu_page[kPageSysStsView] = view;
        frame_at_tick(0);
        EXPECT_EQ(ins1_sys_test + ins1_apfd_test, 0) << int(view);
        frame_at_tick(1);
        EXPECT_EQ(view == 4 ? ins1_sys_test : ins1_apfd_test, 1) << int(view);
    }
}

TEST_F(CduLamps, ApFltDirTestEndsAfter72TicksOnIns1Only) {
    frame_at_tick(999);
    for (int n : {1, 2}) {
        show_page(n, kPageSysSts, 5);
        press(n, "EXP");
    }
    for (f64 t : {1000, 1071}) {
        frame_at_tick(t);
        EXPECT_EQ(ins1_apfd_test + ins2_apfd_test, 2) << t;
    }
    frame_at_tick(1072);
    EXPECT_EQ(ins1_apfd_test, 0);
    EXPECT_EQ(ins1_cdu_page[kPageSysStsView], 0);
    EXPECT_EQ(ins1_test_start, 0.0);
    frame_at_tick(5000);
    EXPECT_EQ(ins2_apfd_test, 1) << "INS 2's test has no end";
    EXPECT_EQ(ins2_cdu_page[kPageSysStsView], 5);
    press(2, "EXP");  // leaving the view ends it
    frame_at_tick(5001);
    EXPECT_EQ(ins2_apfd_test, 0);
}

TEST_F(CduLamps, WrnFlashesThroughTheThirtySecondHold) {
    // Tick of the first flashing frame; the counter's modulus as the host delivers it (0: no wrap).
    const struct { f64 start, wrap; } cases[] = {{1000, 0}, {65300, 65536}};
    for (const auto& c : cases) {
        ins1_align_count = 91;
        frame_at_tick(c.start - 1);  // the hold starts; the flasher from the next frame
        EXPECT_EQ(ins1_wrn_lamp, 2);
        for (f64 k = 0; k < 560; ++k) {
            const f64 t = c.start + k;
            frame_at_tick(c.wrap ? std::fmod(t, c.wrap) : t);
            const bool expect_lit = k < 540 && std::fmod(k, 8.0) < 4.0;
            ASSERT_EQ(lit(1, Wrn), expect_lit) << "tick " << t;
            ASSERT_EQ(ins1_flash_second_half, k < 540 ? u8(std::fmod(std::floor(k / 8.0), 2.0)) : 0) << "tick " << t;
            ASSERT_EQ(ins1_flash_state, k < 540 ? 1 : k == 540 ? 2 : 0) << "running, ended, idle; tick " << t;
            ASSERT_EQ(ins1_align_count, k < 540 ? 91 : 90) << "tick " << t;
        }
        EXPECT_EQ(ins1_wrn_lamp, 0);
        EXPECT_EQ(ins1_flash_time_s, 30u);
    }
    // Below 18 frames a second several ticks pass a frame: each frame shows the lamp as the
    // cadence counted from the period's start has it at that tick, and the hold ends in the
    // first frame at or after 540 ticks.
    for (f64 fps : {6.0, 10.0}) {
        host().set_fps(fps);
        ins1_align_count = 91;
        frames(1);
        ASSERT_EQ(ins1_wrn_lamp, 2);
        frames(1);
        const f64 start = host().token(1);
        for (f64 k = 0; k < 560; k = host().token(1) - start) {
            const bool expect_lit = k < 540 && std::fmod(k, 8.0) < 4.0;
            ASSERT_EQ(lit(1, Wrn), expect_lit) << fps << " fps, tick " << k;
            ASSERT_EQ(ins1_flash_second_half, k < 540 ? u8(std::fmod(std::floor(k / 8.0), 2.0)) : 0) << k;
            ASSERT_EQ(ins1_align_count, k < 540 ? 91 : 90) << fps << " fps, tick " << k;
            frames(1);
        }
        EXPECT_EQ(ins1_wrn_lamp, 0);
    }
}

TEST_F(CduLamps, WaypointAlertWindowByTurnAndTimeToGo) {
    // Active waypoint 2 of four (departed), its leg north, the next leg east: a 90 deg turn,
    // window 76.29 .. 166.29 s. The host's distance is 10000 m (5.4 NM).
    plan(north_line(4), 2);
    u8* d = data();
    put<f64>(d, 0x80, 10000.0);
    put<f64>(d + kDataArray + 3 * 64, 0x20, M_PI / 2);
    frames(2);  // departed from the second frame on
    // The seconds to go set the ground speed; none (0, below, NaN, infinite) gives no time.
    const struct { f64 seconds_to_go; u8 lamp; u32 minutes; } cases[] = {
        {120, 1, 2}, {170, 0, 2}, {76, 0, 1}, {166, 1, 2}, {0, 0, 2}, {-1, 0, 2}, {NAN, 0, 2}, {INFINITY, 0, 2}};
    for (const auto& c : cases) {
        const f64 gs = c.seconds_to_go > 0 && c.seconds_to_go < INFINITY ? 5.4 * 1852.0 / (c.seconds_to_go + 0.5)
                                                                          : c.seconds_to_go;
        token(832, gs);
        frames(2);
        EXPECT_EQ(ins1_alr_lamp, c.lamp) << c.seconds_to_go;
        EXPECT_EQ(ins1_turn_angle_deg, 90u);
        EXPECT_EQ(ins1_time_to_wpt_min, c.minutes) << "no speed, no time: the minutes stay";
        EXPECT_EQ(lit(1, Alr), c.lamp == 1);
    }
    // Turn angle from the next leg's course (the active leg's is 0), and its window.
    token(832, 5.4 * 1852.0 / 120.5);
    const struct { f64 next_deg; u32 turn; f64 upper, lower; } turns[] = {
        {20.5, 20, 112, 22},   {25.5, 25, 112, 22},   {26.5, 26, 112.8354, 22.8354}, {110.5, 110, 183.0006, 93.0006},
        {111.5, 111, 90, 0},   {200.5, 159, 90, 0},   {-175.5, 175, 90, 0},         {-190.5, 169, 90, 0},
        {-20.5, 20, 112, 22},  {175.5, 175, 90, 0},   {185.5, 174, 90, 0},  {-185.5, 174, 90, 0},
        {NAN, 174, 90, 0},  // a leg course that is no number: the last turn
    };
    for (const auto& t : turns) {
        put<f64>(d + kDataArray + 3 * 64, 0x20, t.next_deg * M_PI / 180.0);
        frames(1);
        EXPECT_EQ(ins1_turn_angle_deg, t.turn) << t.next_deg;
        EXPECT_NEAR(ins1_alert_upper_s, t.upper, 1e-9) << t.next_deg;
        EXPECT_NEAR(ins1_alert_lower_s, t.lower, 1e-9) << t.next_deg;
    }
    put<f64>(d + kDataArray + 3 * 64, 0x20, M_PI / 2);
    frames(2);
    ASSERT_EQ(ins1_alr_lamp, 1);
    ins1_status = 2;  // aligned but not navigating: no alert
    frames(2);
    EXPECT_EQ(ins1_alr_lamp, 0);
    ins1_status = 3;
    put<u32>(d, 0x4c, 3);  // the last waypoint: no next leg, no turn to alert for
    frames(2);
    EXPECT_EQ(ins1_alr_lamp, 0);
    // The time to go still counts there: 30 NM at 100 m/s is 555 s, "T    9" on CRS DATA-AUTO 2;
    // 600.1 NM at a mile a second is 600 s; any speed above 0 counts, 1 NM at 0.5 m/s is 3704 s.
    put<f64>(d, 0x28, 100.0);
    for (int n : {1, 2}) show_page(n, kPageCrsDataAuto, 2);
    const struct { f64 metres, speed; u32 seconds; const char* line; } last_leg[] = {
        {55580.0, 100.0, 555, " D 30 T    9"}, {600.1 * 1852.0, 1852.0, 600, " D600 T   10"},
        {1852.0, 0.5, 3704, " D  1 T   61"},
    };
    for (const auto& c : last_leg) {
        put<f64>(d, 0x80, c.metres);
        token(832, c.speed);
        frames(2);
        for (int n : {1, 2}) {
            EXPECT_EQ(unit(n).time_to_wpt_s, c.seconds) << "INS " << n;
            EXPECT_EQ(unit(n).time_to_wpt_min, c.seconds / 60) << "INS " << n;
            EXPECT_EQ(lines(n)[4], c.line) << "INS " << n;
            EXPECT_EQ(unit(n).alr_lamp, 0);
        }
    }
    put<u32>(d, 0x4c, 1);  // not departed: dark whatever the time
    ins1_departed = 0;
    frames(2);
    EXPECT_EQ(ins1_departed, 0);
    EXPECT_EQ(ins1_alr_lamp, 0);
}

// The status page follows the knob, the alignment and ATT; knob OFF shows the PGM page alone.
TEST_F(CduLamps, PagesForcedByKnobAlignmentAndAtt) {
    const struct { u8 sts, knob, count, att; size_t page; u8 value; } cases[] = {
        {1, 3, 1, 0, kPageSysSts, 2}, {1, 3, 2, 0, kPageSysSts, 1}, {2, 2, 1, 0, kPageSysSts, 1},
        {2, 3, 1, 0, kPageSysSts, 2}, {3, 3, 1, 0, kPageSysSts, 1}, {2, 3, 1, 1, kPageSysSts, 3},
        {2, 0, 1, 0, kPagePgm, 1},
    };
    for (const auto& c : cases) {
        show_page(1, kPageSysSts, c.sts);
        ins1_cdu_page[kPagePosition] = 1;
        ins1_msu_knob = c.knob, ins1_align_count = c.count, ins1_att_mode = c.att;
        frames(1);
        for (size_t i = 0; i < kCduPages; ++i) {
            const u8 want = i == c.page ? c.value : i == kPagePosition && c.att == 0 && c.knob != 0 ? 1 : 0;
            EXPECT_EQ(ins1_cdu_page[i], want) << "status " << int(c.sts) << " knob " << int(c.knob) << " byte " << i;
        }
    }
}

// A steady lamp state shows its lamp; OFS, never set by the unit itself, follows the same rule.
TEST_F(CduLamps, SteadyLampStates) {
    const struct { u8 wrn, ofs; const char* lit; } cases[] = {{1, 0, "10"}, {0, 1, "01"}, {0, 0, "00"}};
    for (const auto& c : cases) {
        ins1_wrn_lamp = c.wrn, ins1_ofs_lamp = c.ofs;
        frames(1);
        EXPECT_EQ(std::string(lit(1, Wrn) ? "1" : "0") + (lit(1, Ofs) ? "1" : "0"), c.lit);
    }
}

TEST_F(CduLamps, ScreenBacklightAndBatteryLamp) {
    const struct { u8 powered, zone, bright, dim; i8 source; bool cover, first, second, bat; u32 lit; } cases[] = {
        {1, 1, 0, 0, 1, false, true, false, false, ImageLuminous},
        {1, 1, 1, 1, 1, false, false, true, false, ImageBright},
        {1, 0, 1, 0, -1, false, false, false, true, ImageBright},
        {0, 1, 0, 0, -1, true, false, false, false, 0},
    };
    for (const auto& c : cases) {
        ins2_powered = c.powered, light_zone[3] = c.zone, annunciator_bright = c.bright;
        ins2_cdu_backlight_dim = c.dim, ins2_power_src = c.source;
        frames(1);
        EXPECT_EQ(lit(2, Cover), c.cover);
        EXPECT_EQ(lit(2, MarkLeft), !c.cover);
        EXPECT_EQ(lit(2, MarkRight), !c.cover);
        EXPECT_EQ(lit(2, BlLeft1), c.first);
        EXPECT_EQ(lit(2, BlRight1), c.first);
        EXPECT_EQ(lit(2, BlLeft2), c.second);
        EXPECT_EQ(lit(2, BlRight2), c.second);
        EXPECT_EQ(lit(2, Bat), c.bat);
        EXPECT_EQ(element(kCdu2, BlLeft2)->image_flags & (ImageBright | ImageLuminous), c.lit);
    }
}

TEST_F(CduLamps, AWaypointCountChangeClearsBothUnitsInEitherOrder) {
    for (bool reverse : {false, true}) {
        host().set_reverse_order(reverse);
        plan(north_line(5), 2);
        frames(3);
        ASSERT_EQ(ins1_departed, 1);
        ASSERT_EQ(ins2_departed, 1);
        plan(north_line(4), 1);
        for (int f = 0; f < 3; ++f) {  // run last, the link hands the new count on a frame later
            frames(1);
            EXPECT_EQ(ins1_departed, ins2_departed) << "frame " << f << (reverse ? " reverse" : "");
        }
        EXPECT_EQ(ins1_departed, 0);
    }
}

TEST_F(CduLamps, DebugReadoutShowsTheComputedDistance) {
    place("testgauge2k");
    // Waypoint 0 12.5 NM due north of the present position.
    const f64 north = 12.5 / 3440.34 * 180.0 / M_PI;
    plan({{45.0 + north, 5.0, "W0"}, {46.0, 5.0, "W1"}}, 1);
    frames(2);
    EXPECT_EQ(text("testgauge2k", 5), "12.500000");
}
