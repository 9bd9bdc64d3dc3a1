// The GPS link through the navigation-source switch gauge: block validity, conversions, the
// present-position split, the NAV course word and the switch itself.
#include "autoflight/state.h"
#include "tests/navigation/nav_fixture.h"
#include "navigation/state.h"

TEST_F(NavTest, BlockOf175BytesGivesTheDefaultsAnd176TheConvertedValues) {
    place(kSwitch);
    token(827, 0.25);
    plan(north_line(3), 2);
    u8* d = data();
    put<f64>(d, 0x20, -0.05);     // drift
    put<f64>(d, 0x28, 100.0);     // ground speed, m/s
    put<f64>(d, 0x30, 1.0);       // true track
    put<f64>(d, 0x38, 0.5);       // magnetic track
    put<f64>(d, 0x80, 10000.0);   // distance, m
    put<f64>(d, 0x90, -2000.0);   // cross track, m
    put<f64>(d, 0x98, M_PI / 2);  // desired track
    put<f64>(d, 0xa0, 1.0);       // waypoint course
    struct Case {
        u32 size;
        f64 course, dtk, xtk, dist, mag, tru, gs, drift, lat, lon;
        u32 count, plan;
        u8 active;
    } cases[] = {
        {175, 0.0, 99.0, 99.0, 99.0, 99.0, 99.0, 0.0, 99.0, 0.25, 0.0, 0, 0, 0},
        {176, 57.29578, 90.0, -1.08, 5.4, 28.64788975654116, 57.29577951308232, 194.4, -2.864788975654116,
         45.0 * M_PI / 180, 5.0, 3, 1, 2},
    };
    for (const Case& c : cases) {
        put<u32>(d, 0, c.size);
        frames(1);
        SCOPED_TRACE(c.size);
        EXPECT_DOUBLE_EQ(gps_course_deg, c.course);
        EXPECT_DOUBLE_EQ(gps_dtk_deg, c.dtk);
        EXPECT_DOUBLE_EQ(gps_xtk_nm, c.xtk);
        EXPECT_DOUBLE_EQ(gps_dist_nm, c.dist);
        EXPECT_DOUBLE_EQ(gps_mag_track_deg, c.mag);
        EXPECT_DOUBLE_EQ(gps_true_track_deg, c.tru);
        EXPECT_NEAR(gps_ground_speed_kt, c.gs, 1e-9);
        EXPECT_DOUBLE_EQ(gps_drift_deg, c.drift);
        EXPECT_NEAR(gps_lat_rad, c.lat, 1e-12);
        EXPECT_NEAR(gps_lon_deg, c.lon, 1e-9);
        EXPECT_EQ(gps_wpt_count, c.count);
        EXPECT_EQ(gps_plan_active, c.plan);
        EXPECT_EQ(gps_active_wpt, c.active);
    }
}

TEST_F(NavTest, PresentPositionSplitTruncatesTowardZero) {
    place(kSwitch);
    struct Case {
        f64 lat, lon;
        i32 signed_deg, lat_abs, lat_min, lat_tenths, lon_abs, lon_min, lon_tenths;
    } cases[] = {
        {-0.5, 0.0, 0, 0, 30, 0, 0, 0, 0},           // just south of the equator keeps its minutes
        {-33.755, -122.31, -33, 33, 45, 3, 122, 18, 6},
        {73.999, 179.9925, 73, 73, 59, 9, 179, 59, 5},
    };
    for (const Case& c : cases) {
        plan({}, 0, c.lat, c.lon);
        frames(1);
        SCOPED_TRACE(c.lat);
        EXPECT_EQ(gps_lat_deg_signed, c.signed_deg);
        EXPECT_EQ(gps_lat_deg_abs, c.lat_abs);
        EXPECT_EQ(gps_lat_min, c.lat_min);
        EXPECT_EQ(gps_lat_tenths, c.lat_tenths);
        EXPECT_EQ(gps_lon_deg_abs, c.lon_abs);
        EXPECT_EQ(gps_lon_min, c.lon_min);
        EXPECT_EQ(gps_lon_tenths, c.lon_tenths);
    }
    // The low 16 bits of a host position carry nothing.
    const f64 before = gps_lat_rad;
    put<i64>(data(), 0x08, get<i64>(data(), 0x08) | 0xFFFF);
    frames(1);
    EXPECT_EQ(gps_lat_rad, before);
}

TEST_F(NavTest, CourseWordFollowsGpsOrSelectedHeadingTruncated) {
    place(kSwitch);
    struct Case {
        bool block;
        f64 tok848, tok107;
        u16 want;
    } cases[] = {
        {false, 0.0, 123.9, 123},  // not driven by GPS: the selected heading, truncated
        {false, 1.0, 123.9, 0},    // GPS drives, no block: course 0
        {true, 1.0, 123.9, 57},    // GPS drives: the waypoint course (1 rad)
        {true, 0.5, 200.2, 200},   // anything but exactly 1.0 is not driving
        {true, 0.0, -1.0, 0xFFFF}, // low 16 bits of a negative heading
        {true, 0.0, NAN, 0},
    };
    for (const Case& c : cases) {
        put<u32>(data(), 0, c.block ? 176 : 0);
        put<f64>(data(), 0xa0, 1.0);
        token(848, c.tok848);
        token(107, c.tok107);
        frames(1);
        EXPECT_EQ(ap_nav_course_deg, c.want) << c.tok848 << " " << c.tok107;
    }
}

TEST_F(NavTest, SourceSwitchClicksAndVlModeClear) {
    place(kSwitch);
    struct Step {
        i32 y;
        u8 vl_before, want_sw, want_vl;
    } steps[] = {
        {40, 1, 0, 1},  // V/L at V/L: nothing, V/L mode left alone
        {10, 1, 1, 1},  // to INS
        {10, 1, 1, 1},  // INS again: nothing
        {40, 1, 0, 0},  // INS to V/L clears V/L mode
    };
    for (const Step& s : steps) {
        ap_vl_mode = s.vl_before;
        EXPECT_TRUE(click(kSwitch, 20, s.y));
        EXPECT_EQ(ins_source_sw, s.want_sw);
        EXPECT_EQ(ap_vl_mode, s.want_vl);
        frames(1);
        EXPECT_EQ(hidden(element(kSwitch, 1)), s.want_sw == 1) << "lever down";
        EXPECT_EQ(hidden(element(kSwitch, 2)), s.want_sw != 1) << "lever up";
    }
}

TEST_F(NavTest, HostileBlocksNeitherCrashNorLeakNonFiniteValues) {
    place_ins();
    ins1_cdu_page[kPageFlightPlan] = 2;
    ins1_cdu_page[kPageWptSelect] = 3;
    const f64 bad[] = {NAN, INFINITY, -INFINITY, 1e300};
    const u32 counts[] = {0, 1, 99, 255, 4000000000u};
    for (f64 v : bad)
        for (u32 n : counts)
            for (u32 active : {0u, n, n + 1, 0xFFFFFFFFu}) {
                plan(north_line(8), 1);
                u8* d = data();
                for (size_t off : {0x20, 0x28, 0x30, 0x38, 0x80, 0x90, 0x98, 0xa0}) put<f64>(d, off, v);
                put<u32>(d, 0x4c, active);
                put<u32>(d, 0xa8, n);
                put<u32>(d + kDataArray, 0, 63);                    // first record of the wrong size
                std::memset(d + kDataArray + 64 + 0x38, 'X', 8);    // ident without NUL
                for (int step = 0; step < 2; ++step) {
                    if (step == 1) put<u32>(d, 0xac, 0);  // then no array at all
                    token(832, v);
                    token(934, v);
                    token(827, v);
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
