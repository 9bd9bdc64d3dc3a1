// The navigation computer's own numbers: desired track in TRUE, track-angle error, wind
// component, acceleration, great-circle distance, alignment time and the latitude limit.
#include "instruments/state.h"
#include "tests/navigation/nav_fixture.h"
#include "navigation/state.h"

class NavComputerTest : public NavTest {
protected:
    void SetUp() override {
        NavTest::SetUp();
        place(kCdu1);  // without the link gauge the gps_ inputs are the test's
    }
};

TEST_F(NavComputerTest, TrueReferenceAddsVariationAndWraps) {
    const struct { f64 dtk, course, var, want_dtk, want_course; } cases[] = {
        {350, 10, 10, 0, 20}, {355, 355, 10, 5, 5}, {5, 100, -10, 355, 90}, {180, 360, 0, 180, 0},
        {10, 350, -10, 0, 340},
        {350, 10, NAN, 340, 0},  // a variation that is no number: the last one, not 0
    };
    for (const auto& c : cases) {
        ins1_hdg_ref = 1;
        gps_dtk_deg = c.dtk;
        gps_course_deg = c.course;
        token(82, c.var);
        frames(1);
        EXPECT_DOUBLE_EQ(ins1_dtk_deg, c.want_dtk) << c.dtk << " " << c.var;
        EXPECT_DOUBLE_EQ(ins1_wpt_course_deg, c.want_course);
    }
    // The heading and the track follow the reference: true, then magnetic; slow, the track is
    // the heading of that reference.
    ins_hdg_true_deg = 201.5, ins_hdg_mag_deg = 190.25;
    gps_true_track_deg = 77.0, gps_mag_track_deg = 66.0;
    for (f64 gs : {200.0, 5.0})
        for (u8 ref : {1, 2}) {
            gps_ground_speed_kt = gs;
            ins1_hdg_ref = ref;
            frames(1);
            EXPECT_EQ(ins_heading_deg, ref == 1 ? 201.5 : 190.25);
            EXPECT_EQ(ins1_track_deg, gs > 10 ? (ref == 1 ? 77.0 : 66.0) : ins_heading_deg) << gs << " " << int(ref);
        }
}

// At 10 kt or less the track is the heading.
TEST_F(NavComputerTest, TrackAngleErrorAndTrackFromHeadingWhenSlow) {
    const struct { f64 gs, track, dtk, want_track, want_tke; } cases[] = {
        {20, 10, 350, 10, -20}, {20, 0, 180, 0, 180}, {20, 180, 0, 180, -180}, {10.0, 10, 350, 123, -133},
        {10.01, 10, 350, 10, -20}, {20, 10, 195, 10, -175},
    };
    ins_hdg_mag_deg = 123;
    for (const auto& c : cases) {
        gps_ground_speed_kt = c.gs;
        gps_mag_track_deg = c.track;
        gps_dtk_deg = c.dtk;
        frames(1);
        EXPECT_DOUBLE_EQ(ins1_track_deg, c.want_track) << c.gs << " " << c.track;
        EXPECT_DOUBLE_EQ(ins1_tke_deg, c.want_tke) << c.track << " " << c.dtk;
    }
}

TEST_F(NavComputerTest, WindComponentAccelerationAndGroundSpeed) {
    // Readings that are no number keep the last wind and acceleration, never 0.
    const struct { f64 wind_speed, wind_dir, accel; i32 want_wind, want_mg; } cases[] = {
        {20, 90, 40, -20, 999}, {20, 270, -40, 20, -999}, {NAN, NAN, NAN, 20, -999}, {20, 180, 16.087, 0, 500},
        {20, 0, NAN, 0, 500},   {40, 270, INFINITY, 40, 999}, {NAN, 270, 0, 40, 0},
    };
    ins_hdg_mag_deg = 90;
    for (const auto& c : cases) {
        token(343, c.wind_speed);
        token(344, c.wind_dir);
        token(934, c.accel);
        frames(1);
        EXPECT_EQ(ins_wind_component_kt, c.want_wind) << c.wind_speed << " from " << c.wind_dir;
        EXPECT_EQ(ins_accel_mg, c.want_mg) << c.accel;
    }
    // Metres a second to knots rounds after each factor: these speeds land just either side
    // of a whole knot, where the folded constant gives the other integer.
    const struct { f64 ms; i32 kt; } speeds[] = {
        {7.716049382716048, 15}, {8.744855967078188, 17}, {10.288065843621398, 19}, {NAN, 19}, {INFINITY, 19}};
    for (const auto& s : speeds) {
        token(832, s.ms);
        frames(1);
        EXPECT_EQ(ins_ground_speed_kt, s.kt) << s.ms;
    }
}

TEST(GreatCircle, EqualPointsGiveZeroAndDistancesStayFinite) {
    const struct { f64 lat1, lon1, lat2, lon2, want, tol; } cases[] = {
        {0.123456789, -2.5, 0.123456789, -2.5, 0.0, 0.0},
        {-1.5707963267948966, 0, -1.5707963267948966, 3, 0.0, 1e-6},
        {0, 0, 0, M_PI, M_PI * 3440.34, 1e-6},  // antipodes: the cosine may fall below -1
        {0.7853981633974483, 0.0872664625997165, 0.7941248096574199, 0.0872664625997165, 30.02263, 1e-4},
    };
    for (const auto& c : cases) EXPECT_NEAR(gc_distance_nm(c.lat1, c.lon1, c.lat2, c.lon2), c.want, c.tol) << c.lat1;
}

TEST_F(NavComputerTest, AlignmentTimeCountsDownAndNeverGoesNegative) {
    const struct { u8 count; f64 advance_s; f32 want; u8 min, tenth; } steps[] = {
        {95, 1, 10.0f, 0, 1},             // off or held
        {90, 1.0 / 18, 269.944f, 4, 4},   // 270 s from the last held frame, from the first frame
        {90, 1, 268.944f, 4, 4},
        {90, 30, 238.944f, 3, 9},
        {90, 1000, 0.0f, 0, 0},  // a jump far past the end: clamped, not wrapped
        {90, 1, 0.0f, 0, 0},     // latched at 0
    };
    for (const auto& s : steps) {
        ins1_align_count = s.count;
        seconds(s.advance_s);
        EXPECT_NEAR(ins1_align_time_s, s.want, 0.01) << int(s.count) << " " << s.advance_s;
        EXPECT_EQ(ins1_align_time_min, s.min);
        EXPECT_EQ(ins1_align_time_tenth, s.tenth);
    }
    token(604, host().token(604) - 600.0);  // the clock set back does not undo the latch
    frames(1);
    EXPECT_EQ(ins1_align_time_s, 0.0f);
}

// TRUE while the count is above 50; MAGNETIC at 50 inside the latitude band; otherwise kept.
TEST_F(NavComputerTest, HeadingReferenceByAlignmentCount) {
    const struct { u8 count; i32 lat; u8 before, after; } cases[] = {
        {60, 45, 2, 1}, {51, 45, 2, 1}, {50, 45, 1, 2}, {50, 74, 1, 1}, {50, 74, 2, 2}, {49, 45, 1, 1}, {1, 45, 1, 1}, {1, 45, 2, 2},
    };
    for (const auto& c : cases) {
        ins1_align_count = c.count, gps_lat_deg_signed = c.lat, ins1_hdg_ref = c.before;
        frames(1);
        EXPECT_EQ(ins1_hdg_ref, c.after) << int(c.count) << " " << c.lat;
        EXPECT_STREQ(ins1_ref_letter, c.after == 2 ? "M" : "T");
    }
}

// A unit on MAGNETIC past 73 N / 60 S is held on the latitude-limit prompt; in ATT the CDU shows
// its ATT status page instead.
TEST_F(NavComputerTest, LatitudeLimitHoldsAMagneticUnitOnItsPage) {
    const struct { i32 lat; u8 ref, att; bool forced; } cases[] = {
        {74, 2, 0, true}, {-61, 2, 0, true}, {74, 2, 1, false}, {74, 1, 0, false}, {73, 2, 0, false},
        {-60, 2, 0, false},
    };
    for (const auto& c : cases) {
        std::fill(ins1_cdu_page, ins1_cdu_page + kCduPages, u8(0));
        ins1_cdu_page[kPageCrsDataAuto] = 1;
        gps_lat_deg_signed = c.lat;
        ins1_hdg_ref = c.ref;
        ins1_att_mode = c.att;
        frames(1);
        EXPECT_EQ(ins1_cdu_page[kPageInstruData], c.forced ? 253 : 0) << c.lat;
        EXPECT_EQ(ins1_cdu_page[kPageCrsDataAuto], c.forced || c.att ? 0 : 1);
    }
}

// Navigation time since alignment: whole hours and the tenth, both truncated. Between clock
// readings at either end of the range the time saturates instead of overflowing.
TEST_F(NavComputerTest, NavigationTimeDigits) {
    const struct { f64 aligned_at, now; u8 whole, tenth; } cases[] = {
        {1000, 1000 + 2.35 * 3600, 2, 3}, {1000, 1000 + 255.55 * 3600, 255, 5}, {1000, 1000 + 0.05 * 3600, 0, 0},
        {1000, 1000 + 300.0 * 3600, 255, 0}, {-1e308, 1e308, 255, 0},
    };
    for (const auto& c : cases) {
        ins1_align_count = 5;  // not aligned: the stamp follows the clock, both digits 0
        token(604, c.aligned_at);
        frames(1);
        EXPECT_EQ(ins1_nav_time_int + ins1_nav_time_tenth, 0);
        ins1_align_count = 1;
        token(604, c.now);
        frames(1);
        EXPECT_TRUE(std::isfinite(ins1_nav_time_h)) << c.aligned_at << " to " << c.now;
        EXPECT_EQ(ins1_nav_time_int, c.whole) << c.aligned_at << " to " << c.now;
        EXPECT_EQ(ins1_nav_time_tenth, c.tenth);
    }
}

// On the first leg the plan counts as started within 4 NM of waypoint 0 at 10 m/s or more; from
// the second leg on, or once a DIRECT TO has gone to the host, wherever the aircraft is.
TEST_F(NavTest, PlanStartedNearWaypointZeroAtSpeed) {
    place(kSwitch);
    place(kCdu1);
    const f64 nm = 1.0 / 3440.34 * 180.0 / M_PI;  // degrees of latitude
    const struct { f64 to_wpt0_nm, vx; u8 departed; u32 active = 1; u8 dto = 0; } cases[] = {
        {3.9, 10.0, 1}, {3.9, 9.9, 0}, {4.1, 30.0, 0}, {3.9, NAN, 0},
        {4.1, 0.0, 1, 2}, {4.1, 0.0, 1, 1, 3}, {4.1, 0.0, 0, 1, 2},
    };
    for (const auto& c : cases) {
        plan({{45.0 + c.to_wpt0_nm * nm, 5.0, "W0"}, {46.0, 5.0, "W1"}, {47.0, 5.0, "W2"}}, c.active);
        token(551, c.vx);
        frames(2);
        ins1_departed = 0;
        ins_dto_state = c.dto;
        frames(1);
        EXPECT_NEAR(ins1_dist_wpt0_nm, c.to_wpt0_nm, 1e-6);
        EXPECT_EQ(ins1_departed, c.departed) << c.to_wpt0_nm << " NM at " << c.vx << ", leg " << c.active
                                             << ", DIRECT TO " << int(c.dto);
    }
}

// A track beyond the whole-degree range shows the largest whole value and a tenth of 0.
TEST_F(NavComputerTest, TrackBeyondTheWholeRangeHasNoTenth) {
    gps_ground_speed_kt = 200;
    for (f64 track : {1e300, 3e9}) {
        gps_mag_track_deg = track;
        frames(1);
        EXPECT_EQ(ins1_track_int, INT32_MAX) << track;
        EXPECT_EQ(ins1_track_tenth, 0) << track;
    }
}
