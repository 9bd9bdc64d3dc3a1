// Flight-plan tables and rows: distance to go, arrival times, what ground speeds that give no
// time leave alone, the table bounds and the passes over host counts of any size.
#include "tests/navigation/nav_fixture.h"
#include "navigation/state.h"

class PlanTest : public NavTest {
protected:
    void SetUp() override {
        NavTest::SetUp();
        place(kCdu1);
    }
    // Legs 10, 20, 30, 40, 50 (sums 10, 30, 60, 100, 150) as the table of a five-waypoint plan.
    void five_legs(u8 active, f64 to_active_nm, u8 page) {
        const f32 legs[] = {10, 20, 30, 40, 50};
        f32 sum = 0;
        for (int i = 0; i < 5; ++i) {
            ins_leg_nm[i] = legs[i];
            ins_leg_cum_nm[i] = sum += legs[i];
        }
        gps_wpt_count = ins1_plan_count_seen = ins_leg_count_done = ins1_cum_count_done = 5;
        gps_active_wpt = active;
        gps_dist_nm = to_active_nm;
        ins1_departed = 1;
        ins1_cdu_page[kPageFlightPlan] = page;
    }
};

TEST_F(PlanTest, DistanceToGoFromTheActiveWaypoint) {
    five_legs(3, 12, 3);  // rows show waypoints 1, 2, 3, 4
    frames(1);
    EXPECT_EQ(ins1_fpl_rows[1], 2);
    EXPECT_DOUBLE_EQ(ins1_fpl_dtg_nm[1], 0);
    EXPECT_DOUBLE_EQ(ins1_fpl_dtg_nm[2], 12);
    EXPECT_DOUBLE_EQ(ins1_fpl_dtg_nm[3], 62);
    EXPECT_STREQ(ins1_fpl_label[1], "FM");
    EXPECT_STREQ(ins1_fpl_label[2], "TO");
}

// Row k's distance to go and leg by active waypoint A, started flag, DIRECT TO state and page F,
// on legs 10..50. No valid block here, so the distance to waypoint 0 is 0; to waypoint 1 it is
// 7; G is 12. The first leg (A = 1) has its own table.
TEST_F(PlanTest, RowsByActiveWaypointStartedFlagAndDirectToState) {
    const struct { u8 a, dep, s, f; size_t k; f64 dtg, leg; } cases[] = {
        {1, 0, 0, 3, 0, 12, 20}, {1, 0, 0, 2, 1, 12, 20}, {1, 1, 0, 1, 0, 0, 0},  {1, 1, 0, 3, 0, 12, 20},
        {1, 1, 0, 1, 1, 0, 0},   {1, 1, 0, 2, 1, 12, 20}, {1, 1, 0, 4, 1, 82, 40}, {1, 1, 3, 1, 1, 12, 7},
        {1, 1, 3, 4, 1, 82, 40}, {1, 1, 0, 1, 2, 12, 20}, {1, 1, 3, 1, 2, 12, 7},  {1, 1, 0, 2, 0, 0, 0},
        {1, 0, 3, 4, 0, 42, 30}, {1, 1, 0, 4, 0, 42, 30}, {1, 0, 0, 0, 3, 40, 30},
        {3, 1, 0, 4, 0, 0, 30},  {3, 1, 0, 4, 1, 12, 40}, {3, 1, 0, 4, 2, 62, 50}, {3, 1, 0, 2, 3, 12, 40},
        {3, 1, 0, 2, 0, 0, 0},   {3, 1, 0, 2, 1, 0, 20},  {3, 1, 0, 1, 1, 0, 0},   {3, 1, 3, 1, 1, 0, 7},
        {3, 1, 0, 1, 2, 0, 20},  {3, 1, 3, 1, 2, 0, 7},
    };
    for (const auto& c : cases) {
        five_legs(c.a, 12, c.f);
        ins1_departed = c.dep, ins_dto_state = c.s, ins1_dist_wpt1_nm = 7;
        frames(1);
        EXPECT_DOUBLE_EQ(ins1_fpl_dtg_nm[c.k], c.dtg) << &c - cases;
        EXPECT_DOUBLE_EQ(ins1_fpl_leg_nm[c.k], c.leg) << &c - cases;
    }
}

TEST_F(PlanTest, ArrivalTimeWrapsAtMidnight) {
    const struct { f64 hour, minute, to_go_nm; u32 eta_hour, eta_min; i32 dtg_shown; } cases[] = {
        {23, 50, 900, 0, 5, 900},            // 15 minutes
        {12, 40, 900, 12, 55, 900},          // within the hour
        {12, 0, 3540, 12, 59, 3540},         // 59 minutes
        {12, 1, 3540, 13, 0, 3540},          // the minutes reach 60
        {22, 10, 7500, 0, 15, 7500},         // 125 minutes
        {23, 0, 60.0 * 1800, 5, 0, 7500},    // 30 hours: still a time of day
        {23, 0, 60.0 * 1440005, 23, 5, 7500}, // 1000 days and 5 minutes; beyond 9999 NM the shown value stays
        {NAN, NAN, 7500, 1, 5, 7500},        // a time of day that is no number: the last one, 23:00
        {INFINITY, INFINITY, 7500, 1, 5, 7500},  // nor is an infinite one a time of day
    };
    five_legs(3, 0, 4);  // row 1 is the active waypoint: distance to go = G
    token(832, 1852);    // one NM a second: a minute per 60 NM
    for (const auto& c : cases) {
        token(6, c.hour);
        token(7, c.minute);
        gps_dist_nm = c.to_go_nm;
        frames(1);
        EXPECT_EQ(ins1_fpl_eta_hour[1], c.eta_hour) << c.to_go_nm;
        EXPECT_EQ(ins1_fpl_eta_min[1], c.eta_min);
        EXPECT_EQ(ins1_fpl_dtg_int[1], c.dtg_shown);
    }
}

// Any ground speed above 0 gives a time: 0.01 NM at 0.5 m/s is 0.617 minutes.
TEST_F(PlanTest, SlowGroundSpeedStillGivesATime) {
    five_legs(3, 0.01, 4);
    token(832, 0.5);
    frames(1);
    EXPECT_NEAR(ins1_fpl_ete_min[1], 0.01 * 1852.0 / 0.5 / 60.0, 1e-9);
}

TEST_F(PlanTest, NoUsableGroundSpeedKeepsTimes) {
    five_legs(3, 900, 4);
    token(6, 12);
    token(7, 0);
    token(832, 1852);
    frames(1);
    ASSERT_DOUBLE_EQ(ins1_fpl_ete_min[1], 15);
    for (f64 gs : {0.0, -5.0, f64(NAN), f64(INFINITY)}) {
        token(832, gs);
        gps_dist_nm = 1800;
        frames(1);
        EXPECT_DOUBLE_EQ(ins1_fpl_ete_min[1], 15) << gs;
        EXPECT_DOUBLE_EQ(ins1_fpl_ete_shown[1], 15);
        EXPECT_EQ(ins1_fpl_eta_hour[1], 12u);
        EXPECT_EQ(ins1_fpl_eta_min[1], 15u);
    }
}

TEST(PlanTables, LegAndSumOutsideTheTableReadZero) {
    ins_leg_nm[0] = 1;
    ins_leg_nm[98] = 2;
    ins_leg_cum_nm[98] = 3;
    const struct { i64 i; f64 leg, cum; } cases[] = {{-1, 0, 0}, {0, 1, 0}, {98, 2, 3}, {99, 0, 0}, {INT64_MIN, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ins_leg(c.i), c.leg) << c.i;
        EXPECT_EQ(ins_cum(c.i), c.cum) << c.i;
    }
}

TEST_F(PlanTest, PassesEndAtOnceWhateverTheCountAndStopAfterRecord98) {
    place(kSwitch);
    plan(north_line(120, 0.01), 1);
    for (u32 n : {120u, 255u, 4000000000u}) {
        put<u32>(data(), 0xa8, n);
        frames(3);  // the computer runs before the link here: one frame late, and sums one more
        EXPECT_EQ(ins_leg_count_done, n);
        EXPECT_EQ(ins_ident_count_done, n);
        EXPECT_EQ(ins1_cum_count_done, n);
        EXPECT_NEAR(ins_leg_nm[98], 0.6, 0.01);
        EXPECT_NEAR(ins_leg_cum_nm[98], 0.6 * 99, 0.1);
        EXPECT_STREQ(ins_wpt_ident[98], "A2");  // record 98 of the repeating idents
    }
}

// The tables hold the plan's own legs only: the slot after its last waypoint stays empty, and a
// leg left from a longer plan does not count when a shorter one takes its place.
TEST_F(PlanTest, TablesStopAtThePlansLastLeg) {
    place(kSwitch);
    plan(north_line(5), 1);
    for (u32 n : {5u, 3u}) {  // 30 NM legs: five of them, then the first three
        put<u32>(data(), 0xa8, n);
        frames(3);
        f64 sum = 0;
        for (u32 i = 0; i < n; ++i) sum += f64(ins_leg_nm[i]);
        EXPECT_NEAR(sum, 30.0 * n, 0.2) << n;
        EXPECT_DOUBLE_EQ(ins1_plan_total_nm, sum) << n;
        EXPECT_FLOAT_EQ(ins_leg_cum_nm[n - 1], f32(sum)) << n;
        if (n == 5) {
            EXPECT_EQ(std::make_pair(ins_leg_nm[5], ins_leg_cum_nm[5]), std::make_pair(0.0f, 0.0f));
        }
    }
}

// The legs of the shown waypoint s (WPT SELECT, else FLIGHT PLAN), 24.6 NM between waypoints
// 0.41 degrees apart: the leg from s - 2 to s - 1, and the next one, into s (none for the plan's
// last waypoint); both 0 without a valid block.
TEST_F(PlanTest, LegsOfTheShownWaypoint) {
    place(kSwitch);
    plan(north_line(5, 0.41), 1);
    const struct { u8 wpt, fpl; u32 leg_valid; i32 whole; u8 tenth; } cases[] = {
        {2, 0, 1, 24, 6}, {5, 0, 1, 0, 0}, {0, 3, 1, 24, 6}, {3, 0, 0, 0, 0},
    };
    const i32 leg_whole[] = {24, 24, 24, 0};
    const u8 leg_tenth[] = {6, 6, 6, 0};
    for (const auto& c : cases) {
        put<u32>(data(), 0x44, c.leg_valid);
        ins1_cdu_page[kPageWptSelect] = c.wpt;
        ins1_cdu_page[kPageFlightPlan] = c.fpl;
        frames(3);
        EXPECT_EQ(ins_sel_next_leg_int, c.whole) << int(c.wpt) << " " << int(c.fpl);
        EXPECT_EQ(ins_sel_next_leg_tenth, c.tenth) << int(c.wpt) << " " << int(c.fpl);
        EXPECT_EQ(ins_sel_leg_int, leg_whole[&c - cases]) << int(c.wpt) << " " << int(c.fpl);
        EXPECT_EQ(ins_sel_leg_tenth, leg_tenth[&c - cases]) << int(c.wpt) << " " << int(c.fpl);
    }
}

// Over waypoint 0 the distance is 0 NM (within the rounding of the cosine of a zero angle); at
// its antipode half the earth's circumference. Also where that cosine rounds past 1 or -1.
TEST_F(PlanTest, DistanceOverAndOppositeWaypointZero) {
    place(kSwitch);
    const f64 half_way = M_PI * 3440.34;
    const struct { f64 lat, wpt_lat, wpt_lon, nm; } cases[] = {
        {10.0104, 10.0104, 5, 0},  {10.0286, 10.0286, 5, 0},   {10.039, 10.039, 5, 0},         {45, 45, 5, 0},
        {1.5553, -1.5553, -175, half_way}, {1.7283, -1.7283, -175, half_way}, {30, -30, -175, half_way},
    };
    for (const auto& c : cases) {
        plan({{c.wpt_lat, c.wpt_lon, "W0"}, {c.lat + 1.0, 5.0, "W1"}}, 1, c.lat, 5.0);
        frames(3);
        EXPECT_NEAR(ins1_dist_wpt0_nm, c.nm, 1e-3) << c.lat;
        EXPECT_EQ(ins_dist_wpt0_int, i32(c.nm)) << c.lat;
    }
}
