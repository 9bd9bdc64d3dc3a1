// The GPS link through the navigation-source switch gauge: block validity, conversions, the
// present-position split, the NAV course word and the switch itself.
#include "autoflight/state.h"
#include "tests/navigation/nav_fixture.h"
#include "navigation/state.h"

TEST_F(NavTest, BlockOf175BytesGivesTheDefaultsAnd176TheConvertedValues) {
    place(kSwitch);
    plan(north_line(3), 2);
    u8* d = data();
    // Drift, ground speed (m/s), true and magnetic track, distance (m), cross track (m), desired
    // track and waypoint course; angles in radians.
    const std::pair<size_t, f64> fields[] = {{0x20, -0.05},   {0x28, 100.0},   {0x30, 1.0},      {0x38, 0.5},
                                             {0x80, 10000.0}, {0x90, -2000.0}, {0x98, M_PI / 2}, {0xa0, 1.0}};
    const f64 defaults[10] = {0.0, 99.0, 99.0, 99.0, 99.0, 99.0, 0.0, 99.0, 0.25, 0.0};
    const f64 converted[10] = {57.29578, 90.0, -1.08, 5.4, 28.64788975654116, 57.29577951308232, 194.4,
                               -2.864788975654116, 45.0 * M_PI / 180, 5.0};
    const f64 defaults_last_lat[10] = {0.0, 99.0, 99.0, 99.0, 99.0, 99.0, 0.0, 99.0, 45.0 * M_PI / 180, 0.0};
    // With `no_number` every field and the host's latitude are NaN: what was last converted stays.
    const struct { u32 size; bool no_number; const f64* want; u32 count, plan; u8 active; } cases[] = {
        {175, false, defaults, 0, 0, 0}, {176, false, converted, 3, 1, 2}, {176, true, converted, 3, 1, 2},
        {175, true, defaults_last_lat, 0, 0, 0},
    };
    for (const auto& c : cases) {
        for (const auto& [off, v] : fields) put<f64>(d, off, c.no_number ? NAN : v);
        token(827, c.no_number ? NAN : 0.25);
        put<u32>(d, 0, c.size);
        frames(1);
        SCOPED_TRACE(testing::Message() << c.size << (c.no_number ? " no number" : ""));
        const f64 got[] = {gps_course_deg,     gps_dtk_deg,         gps_xtk_nm,     gps_dist_nm,
                           gps_mag_track_deg,  gps_true_track_deg,  gps_ground_speed_kt,
                           gps_drift_deg,      gps_lat_rad,         gps_lon_deg};
        for (size_t i = 0; i < 10; ++i) EXPECT_NEAR(got[i], c.want[i], 1e-9) << "value " << i;
        // A quarter turn is 90 degrees to the last bit: whole-degree readouts truncate it.
        if (c.size == 176) {
            EXPECT_EQ(gps_dtk_deg, 90.0);
        }
        EXPECT_EQ(gps_wpt_count, c.count);
        EXPECT_EQ(gps_plan_active, c.plan);
        EXPECT_EQ(gps_active_wpt, c.active);
    }
}

TEST_F(NavTest, PresentPositionSplitTruncatesTowardZero) {
    place(kSwitch);
    const struct { f64 lat, lon; i32 want[7]; } cases[] = {
        {-0.5, 0.0, {0, 0, 30, 0, 0, 0, 0}},  // just south of the equator keeps its minutes
        {-0.5, 45.0, {0, 0, 30, 0, 45, 0, 0}},  // an eighth of a turn is 45 degrees exactly
        {-33.755, -122.31, {-33, 33, 45, 3, 122, 18, 6}},
        {73.999, 179.9925, {73, 73, 59, 9, 179, 59, 5}},
    };
    for (const auto& c : cases) {
        plan({}, 0, c.lat, c.lon);
        frames(1);
        const i32 got[] = {gps_lat_deg_signed, gps_lat_deg_abs, gps_lat_min,   gps_lat_tenths,
                           gps_lon_deg_abs,    gps_lon_min,     gps_lon_tenths};
        for (size_t i = 0; i < 7; ++i) EXPECT_EQ(got[i], c.want[i]) << c.lat << " field " << i;
    }
    // The low 16 bits of a host position carry nothing.
    const f64 before = gps_lat_rad;
    put<i64>(data(), 0x08, get<i64>(data(), 0x08) | 0xFFFF);
    frames(1);
    EXPECT_EQ(gps_lat_rad, before);
    // Without a block the host's own latitude (radians) stands in; one past any whole degree
    // count shows the largest count and no minutes.
    put<u32>(data(), 0, 175);
    token(827, 1e300);
    frames(1);
    EXPECT_EQ(std::make_tuple(gps_lat_deg_abs, gps_lat_min, gps_lat_tenths), std::make_tuple(INT32_MAX, 0, 0));
}

TEST_F(NavTest, CourseWordFollowsGpsOrSelectedHeadingTruncated) {
    place(kSwitch);
    const struct { bool block; f64 tok848, tok107; u16 want; f64 course_rad = 1.0; } cases[] = {
        {false, 0.0, 123.9, 123},   // not driven by GPS: the selected heading, truncated
        {false, 1.0, 123.9, 0},     // GPS drives, no block: course 0
        {true, 1.0, 123.9, 57},     // GPS drives: the waypoint course (1 rad)
        {true, 0.5, 200.2, 200},    // anything but exactly 1.0 is not driving
        {true, 0.0, INFINITY, 200}, // an infinite heading has no whole degrees: the word as it was
        {true, 0.0, -1.0, 0xFFFF},  // low 16 bits of a negative heading
        {true, 0.0, NAN, 0xFFFF},   // a selected heading that is no number: the word as it was
        {true, 1.0, 0.0, 50, 13.44},  // a waypoint course past a turn (770.06): its heading
        {true, 1.0, 0.0, 332, -0.5},  // below 0 (-28.65): -28 from north
        {true, 1.0, 0.0, 85, 1.5},
    };
    for (const auto& c : cases) {
        put<u32>(data(), 0, c.block ? 176 : 0);
        put<f64>(data(), 0xa0, c.course_rad);
        token(848, c.tok848);
        token(107, c.tok107);
        frames(1);
        EXPECT_EQ(ap_nav_course_deg, c.want) << c.tok848 << " " << c.tok107;
    }
}

// The units' headings are the host's; a heading that is no number keeps the last one, never 0.
TEST_F(NavTest, HeadingsForTheUnitsKeepTheLastThroughNoNumber) {
    place(kSwitch);
    const struct { f64 mag, tru, want_mag, want_true; } cases[] = {
        {12.5, 15.25, 12.5, 15.25}, {NAN, NAN, 12.5, 15.25}, {359.0, INFINITY, 359.0, 15.25}};
    for (const auto& c : cases) {
        token(81, c.mag);
        token(86, c.tru);
        frames(1);
        EXPECT_EQ(std::make_pair(ins_hdg_mag_deg, ins_hdg_true_deg), std::make_pair(c.want_mag, c.want_true)) << c.mag;
    }
}

// V/L at V/L and INS at INS change nothing; INS to V/L clears the V/L mode.
TEST_F(NavTest, SourceSwitchClicksAndVlModeClear) {
    place(kSwitch);
    const struct { i32 y; u8 want_sw, want_vl; } steps[] = {{40, 0, 1}, {10, 1, 1}, {10, 1, 1}, {40, 0, 0}};
    for (const auto& s : steps) {
        ap_vl_mode = 1;
        EXPECT_TRUE(click(kSwitch, 20, s.y));
        EXPECT_EQ(ins_source_sw, s.want_sw);
        EXPECT_EQ(ap_vl_mode, s.want_vl);
        frames(1);
        EXPECT_EQ(hidden(element(kSwitch, 1)), s.want_sw == 1) << "lever down";
        EXPECT_EQ(hidden(element(kSwitch, 2)), s.want_sw != 1) << "lever up";
    }
}

TEST_F(NavTest, HostileBlocksNeitherCrashNorLeakNonFiniteValues) {
    for (const char* g : {kSwitch, kMsu1, kCdu1}) place(g);
    ins1_cdu_page[kPageFlightPlan] = 2;
    ins1_cdu_page[kPageWptSelect] = 3;
    for (f64 v : {f64(NAN), f64(INFINITY), -f64(INFINITY), 1e300})
        for (u32 n : {0u, 1u, 99u, 255u, 4000000000u})
            for (u32 active : {0u, n, n + 1, 0xFFFFFFFFu}) {
                plan(north_line(8), 1);
                u8* d = data();
                for (size_t off : {0x20, 0x28, 0x30, 0x38, 0x80, 0x90, 0x98, 0xa0}) put<f64>(d, off, v);
                put<u32>(d, 0x4c, active);
                put<u32>(d, 0xa8, n);
                put<u32>(d + kDataArray, 0, 63);                  // first record of the wrong size
                std::memset(d + kDataArray + 64 + 0x38, 'X', 8);  // ident without NUL
                for (int step = 0; step < 2; ++step) {
                    if (step == 1) put<u32>(d, 0xac, 0);  // then no array at all
                    for (u32 t : {832u, 934u, 827u}) token(t, v);
                    frames(2);
                    for (f64 x : {gps_course_deg, gps_dtk_deg, gps_xtk_nm, gps_dist_nm, gps_ground_speed_kt,
                                  gps_lat_rad, gps_lon_deg, ins1_dist_wpt0_nm, ins1_sel_leg_nm, ins_accel_g})
                        ASSERT_TRUE(std::isfinite(x)) << v << " " << n << " " << active;
                    for (int k = 0; k < 4; ++k) ASSERT_TRUE(std::isfinite(ins1_fpl_dtg_nm[k]));
                    ASSERT_LE(std::strlen(ins_wpt_ident[1]), 8u);
                    ASSERT_LE(ins1_align_time_min, 4);
                }
            }
}
