// Horizontal situation indicator through the host: published course and drift pointer, pointer
// angles, the drift test's ramp and return, flags and autopilot drop, both odometer windows,
// and hostile host values.
#include <cmath>
#include <limits>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "navigation/state.h"
#include "tests/host_fixture.h"

namespace {
const char* kHsi = "ketravin hsi_kr60";
constexpr u32 kVx = 551, kVz = 552, kObs = 854, kHeading = 84, kHdgFail = 282, kGndSpd = 859, kDistM = 835;
constexpr u32 kToFrom = 853, kSignal = 49;
enum { HdgFlag = 5, GsFlag = 7, FromArrow = 9, ToArrow = 10, Striped = 11, CoursePointer = 14, SpdDashes = 20,
       NavLegend = 22, MilesUnits = 24 };
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
constexpr f64 kDeg = M_PI / 180.0;
}  // namespace

class Hsi : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        elec_ess_ac_any_powered = 1;
        elec_ess_equipment_level = 2;
        ins1_status = 3;
        place(kHsi);
    }
    void ins_steering() { ins_source_sw = 1, gps_plan_active = 1; }
    bool shown(size_t pos) { return !hidden(element(kHsi, pos)); }
};

// Drift is the angle of the velocity off the x axis; the course moves by it outside the +-1 dead
// band of vz, and a zero or non-number velocity has no drift.
TEST_F(Hsi, PublishedCourseAndDriftPointer) {
    const struct { f64 vx, vz, obs, course; i32 pointer; } cases[] = {
        {2.0 / std::tan(15 * kDeg), 2.0, 10.0, 355.0, -1},
        {2.0 / std::tan(15 * kDeg), -2.0, 350.0, 5.0, -1},
        {-2.0 / std::tan(15 * kDeg), 2.0, 10.0, 205.0, -1},  // drift 165
        {0.8, 0.6, 200.0, 200.0, 36},
        {0.5 / std::tan(3 * kDeg), -0.5, 100.0, 100.0, 357},  // no dead band on the pointer's side
        {0.0, 0.0, 360.0, 360.0, 0},                          // a course of 360 stands
        {kNaN, 5.0, 40.0, 40.0, 0},
        {1.0, kInf, 40.0, 40.0, 0},
        {1e300, 1e300, 100.0, 55.0, 44},  // squares beyond the range still give 45 degrees
    };
    for (const auto& c : cases) {
        token(kVx, c.vx);
        token(kVz, c.vz);
        token(kObs, c.obs);
        frames(1);
        EXPECT_NEAR(hsi_drift_course_deg, c.course, 1e-5) << c.vx << " " << c.vz;
        if (c.pointer >= 0) {
            EXPECT_EQ(hsi_drift_pointer_deg, c.pointer) << c.vx << " " << c.vz;
        }
    }
    // A non-number course leaves the published one; it is published unpowered too.
    elec_ess_ac_any_powered = 0;
    token(kObs, kNaN);
    frames(1);
    EXPECT_NEAR(hsi_drift_course_deg, 55.0, 1e-5);
}

TEST_F(Hsi, CourseAndMarkerAnglesAreNotWrapped) {
    ap_selected_heading = 90;
    gps_course_deg = 45.0;
    const struct { u8 level, src, nav_mode; u32 plan; f64 heading, obs; i32 course, marker; } cases[] = {
        {2, 0, 0, 0, 350.0, 10.0, 20, 100},
        {2, 0, 0, 0, 10.0, 350.0, 700, 440},
        {1, 1, 1, 1, 100.5, 0.0, 259, 304},  // the GPS course, no INS status test
        {1, 1, 2, 1, 100.5, 0.0, 259, 349},
        {0, 1, 1, 1, 200.0, 0.0, 259, 349},  // unpowered: both hold
        {2, 0, 0, 0, kNaN, 0.0, 259, 349},
    };
    ins1_status = 0;
    for (const auto& c : cases) {
        elec_ess_equipment_level = c.level;
        ins_source_sw = c.src;
        ap_nav_mode = c.nav_mode;
        gps_plan_active = c.plan;
        token(kHeading, c.heading);
        token(kObs, c.obs);
        frames(1);
        EXPECT_EQ(hsi_course_angle, c.course) << c.heading;
        EXPECT_EQ(hsi_marker_angle, c.marker) << c.heading;
        EXPECT_EQ(drawn(kHsi, CoursePointer).value, f64(c.course));
    }
}

// From 4: one degree a frame to 10, then 11 held while the test runs, then down to 2 and 0.
// Without heading the ramp and the return run in one frame, so the pointer holds 10.
TEST_F(Hsi, DriftTestRampAndReturn) {
    const struct { u8 ins; int test_frames; std::vector<i32> during, after; } cases[] = {
        {3, 9, {5, 6, 7, 8, 9, 10, 11, 11, 11}, {10, 9, 8, 7, 6, 5, 4, 3, 2, 0, 36}},
        {1, 9, {5, 6, 7, 8, 9, 10, 10, 10, 10}, {9, 8, 7, 6, 5, 4, 3, 2, 0, 0, 0}},
    };
    token(kVx, 0.8);
    token(kVz, 0.6);
    for (const auto& c : cases) {
        ins1_status = c.ins;
        hsi_drift_pointer_deg = 4;
        ins1_apfd_test = 1;
        for (i32 p : c.during) {
            frames(1);
            EXPECT_EQ(hsi_drift_pointer_deg, p) << int(c.ins);
        }
        ins1_apfd_test = 0;
        for (i32 p : c.after) {
            frames(1);
            EXPECT_EQ(hsi_drift_pointer_deg, p) << int(c.ins);
        }
    }
    hsi_drift_pointer_deg = 355;
    ins1_status = 3;
    ins1_apfd_test = 1;
    frames(1);
    EXPECT_EQ(hsi_drift_pointer_deg, 11);
}

// The HDG flag and warn_flag_hsi follow heading failure, AC and INS heading, never the level;
// a heading failure drops the autopilot bytes every frame, powered or not.
TEST_F(Hsi, HeadingFlagAndAutopilotDrop) {
    const struct { u8 ac, level, ins; i32 fail; u8 warn, dropped; } cases[] = {
        {1, 2, 3, 0, 0, 0}, {1, 0, 3, 0, 0, 0}, {0, 2, 3, 0, 1, 0}, {1, 2, 1, 0, 1, 0},
        {1, 2, 3, 1, 1, 1}, {0, 0, 0, 1, 1, 1}, {1, 2, 3, 2, 0, 0},
    };
    for (const auto& c : cases) {
        elec_ess_ac_any_powered = c.ac;
        elec_ess_equipment_level = c.level;
        ins1_status = c.ins;
        token(kHdgFail, c.fail);
        ap_cmd_engaged = 3;
        ap_cmd1_lever = ap_cmd2_lever = ap_sim_ap_latched = 1;
        frames(1);
        EXPECT_EQ(warn_flag_hsi, c.warn) << int(c.ac) << int(c.level) << int(c.ins) << c.fail;
        EXPECT_EQ(shown(HdgFlag), c.warn == 1);
        EXPECT_EQ(ap_cmd_engaged + ap_cmd1_lever + ap_cmd2_lever + ap_sim_ap_latched, c.dropped ? 0 : 6);
    }
}

TEST_F(Hsi, ArrowsAndNavLegendFollowSource) {
    // to/from, signal, steering -> TO FROM striped NAV
    const struct { f64 to_from, signal; bool steering; const char* seen; } cases[] = {
        {1.0, 1.0, false, "1000"}, {-1.0, 1.0, false, "0100"}, {0.0, 1.0, false, "0010"},
        {1.0, 0.0, false, "1010"}, {-1.0, 0.0, true, "1001"},
    };
    for (const auto& c : cases) {
        ins_source_sw = 0, gps_plan_active = 0;
        if (c.steering) ins_steering();
        token(kToFrom, c.to_from);
        token(kSignal, c.signal);
        frames(1);
        std::string seen;
        for (size_t p : {ToArrow, FromArrow, Striped, NavLegend}) seen += shown(p) ? '1' : '0';
        EXPECT_EQ(seen, c.seen) << c.to_from << " " << c.signal;
    }
}

// MILES rolls an odometer from the GPS distance under INS steering; GND SPD holds its digits
// longer; 1000 or more shows the hundreds drum at 0 (1234 reads 034).
TEST_F(Hsi, OdometerWindows) {
    ins_steering();
    const struct { f64 miles, spd; f64 m[3], s[3]; } cases[] = {
        {0.0, 0.0, {0, 0, 10}, {0, 0, 10}},
        {123.0, 123.0, {9, 8, 7}, {9, 8, 7}},
        {99.5, 99.5, {9.5, 0.5, 0.5}, {0, 1, 0.5}},
        {1234.0, 1234.0, {0, 7, 6}, {0, 7, 6}},
    };
    for (const auto& c : cases) {
        token(kDistM, c.miles / 0.00054);
        token(kGndSpd, c.spd);
        frames(1);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(hsi_miles_drum[i], c.m[i], 1e-6) << c.miles << " drum " << i;
            EXPECT_NEAR(hsi_gnd_spd_drum[i], c.s[i], 1e-6) << c.spd << " drum " << i;
        }
        EXPECT_TRUE(shown(MilesUnits));
        EXPECT_FALSE(shown(SpdDashes));
    }
    // No ground speed: dashes over the last value; a negative distance keeps the last one.
    token(kGndSpd, -1.0);
    token(kDistM, -500.0);
    frames(1);
    EXPECT_TRUE(shown(SpdDashes));
    EXPECT_EQ(hsi_gnd_spd_value, 1234.0);
    EXPECT_NEAR(hsi_miles_value, 1234.0, 1e-9);
    const f64 held[3] = {0, 7, 6};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(hsi_gnd_spd_drum[i], held[i], 1e-9);
    // Without INS steering the MILES drums hide.
    gps_plan_active = 0;
    frames(1);
    EXPECT_FALSE(shown(MilesUnits));
}

// Every host value the HSI reads, NaN, infinite or huge, leaves every shared value finite.
TEST_F(Hsi, HostileValuesLeaveStateFinite) {
    ins_steering();
    ap_nav_mode = 1;
    const u32 tokens[] = {kVx, kVz, kObs, kHeading, kGndSpd, kDistM, kToFrom, kSignal, 40, 41, 44};
    for (f64 v : {kNaN, kInf, -kInf, 1e308, -1e308}) {
        for (u32 t : tokens) token(t, v);
        ins1_apfd_test = ins1_apfd_test ? 0 : 1;
        frames(2);
        for (const f64* x : {&hsi_drift_course_deg, &hsi_drift_deg, &hsi_deviation, &hsi_gs_pointer_px,
                             &hsi_card_heading_deg, &hsi_gnd_spd_value, &hsi_miles_value})
            EXPECT_TRUE(std::isfinite(*x)) << v;
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(hsi_miles_drum[i]) && std::isfinite(hsi_gnd_spd_drum[i]));
        EXPECT_TRUE(std::isfinite(drawn(kHsi, CoursePointer).value));
    }
}
