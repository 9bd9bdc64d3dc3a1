// The flight-director computer and its command bars, run by the main attitude indicator's frame:
// capture window, heading targets, glide-slope states and V/S law, roll sources, bars.
#include <cmath>
#include <tuple>
#include <vector>

#include "autoflight/flight_director.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "navigation/state.h"
#include "tests/host_fixture.h"

namespace {
const char* kAdi = "ketravin adi_fd_kr60";
namespace tk {
constexpr u32 cdi = 40, gs_needle = 41, gs_valid = 44, code = 46, signal = 49, ias = 61, vs = 65, pitch = 78, bank = 80,
              altitude = 74, heading = 84, ap = 103, hdg_hold = 106, att_fail = 276, radio = 614, bank_cmd = 794,
              obs = 854;
}
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
constexpr f64 kEntry = -(140.0 / 2.0 * 10.0) * 1.30048;  // -(5 x IAS) ft/min in host units at 140 kt
}  // namespace

class FlightDirector : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kAdi);
        dc_ess_powered = 1;
        elec_ess_equipment_level = 1;
        fd_bars_on_flag = 1;
        for (auto [id, v] : {std::pair<u32, f64>{tk::heading, 100}, {tk::obs, 100}, {tk::radio, 500}, {tk::ias, 140},
                             {tk::vs, -850}, {tk::signal, 1}})
            token(id, v);
    }
    void ils(f64 cdi) {
        token(tk::code, 0xC0);
        token(tk::cdi, cdi);
    }
    // Glide slope received on a heading inside the arming sector.
    void glide_slope(f64 g) {
        token(tk::gs_valid, 1.0);
        token(tk::gs_needle, g);
    }
};

TEST_F(FlightDirector, CaptureWindowIsFixedForAnIlsAndFollowsTheSignalForAVor) {
    const struct { u32 code; f64 signal, window; } cases[] = {
        {0x80, 0.0, 117.0}, {0x40, 5000.0, 117.0}, {0x00, 300.0, 20.0}, {0x00, 301.0, 40.0333}, {0x00, -30.0, -2.0}};
    for (const auto& c : cases) {
        token(tk::code, c.code);
        token(tk::signal, c.signal);
        frames(1);
        EXPECT_NEAR(fd_capture_window, c.window, 1e-4) << c.code << " " << c.signal;
    }
}

// ILS window 117: |D| in (26, 39] is the 15-degree band, (39, 117] the 20-degree band. A deviation
// that is no number is on neither side: the present heading.
TEST_F(FlightDirector, HeadingTargetWrapsAndBackBeamSwapsTheSides) {
    const struct { u8 lateral; f64 course, cdi, heading; u32 target; } cases[] = {
        {3, 10.0, -30.0, 100.0, 355},  {3, 350.0, 50.0, 100.0, 10},  {1, 10.0, 30.0, 100.0, 355},
        {1, 350.0, -50.0, 100.0, 10},  {3, 340.0, 50.0, 100.0, 360}, {3, 200.0, 0.0, 123.7, 123},
        {3, 200.0, 118.0, 45.9, 45},   {3, 200.0, 0.0, -5.0, 0},     {3, 350.0, kNaN, 123.7, 123},
        {3, kNaN, -50.0, 100.0, 123},  {3, kInf, 50.0, 100.0, 123},  // no course: the target stands
    };
    for (const auto& c : cases) {
        fd_lateral_mode = c.lateral;
        hsi_drift_course_deg = c.course;
        ils(c.cdi);
        token(tk::heading, c.heading);
        frames(1);
        EXPECT_EQ(fd_vl_heading_target, c.target) << int(c.lateral) << " " << c.course << " " << c.cdi;
    }
}

// On the beam (D = 0) the V/L target is the heading truncated; its error has a dead band of 0.2.
TEST_F(FlightDirector, VlHeadingErrorDeadBand) {
    ils(0.0);
    for (const auto& [heading, error] : {std::pair<f64, f64>{100.2, 0.0}, {100.25, -0.25}, {100.9, -0.9}}) {
        token(tk::heading, heading);
        frames(1);
        EXPECT_NEAR(fd_vl_heading_error, error, 1e-9) << heading;
    }
}

TEST(FlightDirectorHeading, ShortestDifferenceWithDeadBandAndFrozenOutsideTheCircle) {
    const struct { f64 target, heading, band, error; } cases[] = {
        {190.0, 10.0, 0.5, -180.0}, {10.0, 190.0, 0.5, 180.0}, {350.0, 10.0, 0.5, -20.0}, {10.0, 350.0, 0.5, 20.0},
        {10.5, 10.0, 0.5, 0.0},     {10.3, 10.0, 0.2, 0.3},    {0.0, 360.0, 0.5, 77.0},   {kNaN, 10.0, 0.5, 0.0},
        {190.5, 190.0, 0.5, 0.0},   {189.6, 190.0, 0.5, 0.0},  {150.0, 200.0, 0.5, -50.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(fd_heading_error(c.target, c.heading, c.band, 77.0), c.error, 1e-9)
            << c.target << " from " << c.heading;
}

// The inner latch reads 1, 2, 3 through the 0-, 1- and 0-degree bands; while it reads 2 the
// 0-degree band narrows from edge_1 / 1.5 to edge_1 / 2.
TEST_F(FlightDirector, InterceptBandsAndLatchesFollowTheNeedle) {
    const struct { f64 cdi; i32 angle; u8 inner, outer; f64 edge0; } steps[] = {
        {20.0, 10, 0, 0, 5.777778}, {3.0, 0, 1, 0, 5.777778}, {7.0, 1, 2, 1, 5.777778}, {3.0, 0, 3, 1, 4.333333},
        {12.0, 5, 3, 2, 5.777778},  {6.0, 1, 0, 3, 4.622222}, {0.0, 0, 0, 3, 5.777778}, {-150.0, 0, 0, 3, 5.777778},
        {0.5, 0, 1, 3, 5.777778},
    };
    for (const auto& s : steps) {
        ils(s.cdi);
        frames(1);
        EXPECT_EQ(std::make_tuple(fd_vl_intercept_angle, fd_vl_inner_latch, fd_vl_outer_latch),
                  std::make_tuple(s.angle, s.inner, s.outer)) << s.cdi;
        EXPECT_NEAR(fd_vl_band_edge_0, s.edge0, 1e-5) << s.cdi;
    }
}

// V/L capture with no approach: on an ILS with the host autopilot engaged and its heading hold off,
// HDG S. or an active bank command captures at once, else inside the window; with the heading hold
// on nothing changes. On a VOR engaged: captured inside, unchanged outside. In an approach
// engaged: an active bank command without heading hold captures. Not engaged: inside. No signal: 0.
// A deviation that is no number is not inside, a bank command that is none not active, and a
// signal that is none not "no signal".
TEST_F(FlightDirector, VlCaptureByModeAutopilotAndBeam) {
    ap_vl_mode = 1;
    const struct { u8 approach; u32 code; f64 engaged, hdg_hold, bank_cmd; u8 hdg_select; f64 cdi, signal;
                   u8 before, after; } cases[] = {
        {0, 0xC0, 0, 0, 0, 0, kNaN, 1, 0, 0},  // no deviation from the first frame: nothing captured
        {0, 0xC0, 1, 0, 0, 0, 200, 1, 0, 0}, {0, 0xC0, 1, 0, 0, 1, 200, 1, 0, 1}, {0, 0xC0, 1, 0, 6, 0, 200, 1, 0, 1},
        {0, 0xC0, 1, 0, -5, 0, 100, 1, 0, 1}, {0, 0xC0, 1, 1, 6, 1, 100, 1, 0, 0}, {0, 0xC0, 0, 1, 0, 0, 117, 1, 0, 1},
        {0, 0xC0, 0, 0, 6, 1, 118, 1, 1, 0}, {0, 0x00, 1, 1, 0, 0, 0.05, 1, 0, 1}, {0, 0x00, 1, 0, 6, 1, 5, 1, 0, 0},
        {0, 0x00, 1, 0, 0, 0, 5, 1, 1, 1},   {20, 0xC0, 1, 0, 6, 0, 200, 1, 0, 1}, {20, 0xC0, 1, 1, 6, 0, 0, 1, 0, 0},
        {20, 0xC0, 1, 0, 5, 0, 0, 1, 0, 0},  {20, 0xC0, 0, 0, 0, 0, 50, 1, 0, 1}, {0, 0xC0, 0, 0, 0, 0, 50, 0, 1, 0},
        {20, 0xC0, 1, 0, 6, 0, 50, kNaN, 0, 1},  // the signal turns no number as the approach starts
        {20, 0xC0, 1, 0, kNaN, 0, 50, 1, 0, 0}};
    for (const auto& c : cases) {
        ap_approach_state = c.approach;
        ap_hdg_select_mode = c.hdg_select;
        fd_vl_captured = c.before;
        for (auto [id, v] : {std::pair<u32, f64>{tk::code, f64(c.code)}, {tk::ap, c.engaged},
                             {tk::hdg_hold, c.hdg_hold}, {tk::bank_cmd, c.bank_cmd}, {tk::cdi, c.cdi},
                             {tk::signal, c.signal}})
            token(id, v);
        frames(1);
        EXPECT_EQ(fd_vl_captured, c.after) << int(c.approach) << " code " << c.code << " engaged " << c.engaged
                                           << " hold " << c.hdg_hold << " bank " << c.bank_cmd << " cdi " << c.cdi;
    }
}

// The glide slope arms only on a heading within 90 degrees either side of the course (bounds
// excluded), the sector wrapping through north for a course below 90 or from 270.
TEST_F(FlightDirector, GlideSlopeArmsWithinTheCourseSector) {
    token(tk::gs_valid, 1.0);
    token(tk::gs_needle, -60.0);
    const struct { f64 obs, heading; u8 armed; } cases[] = {
        {100, 10, 0},  {100, 11, 1},  {100, 189, 1}, {100, 190, 0}, {30, 301, 1},  {30, 300, 0},
        {30, 119, 1},  {30, 120, 0},  {30, 200, 0},  {300, 29, 1},  {300, 30, 0},  {300, 211, 1},
        {300, 210, 0}, {300, 100, 0}};
    for (const auto& c : cases) {
        token(tk::obs, c.obs);
        token(tk::heading, c.heading);
        fd_app_pitch_error = 99.0;
        frames(1);
        EXPECT_EQ(std::make_pair(fd_gs_heading_ok, fd_gs_armed), std::make_pair(c.armed, c.armed))
            << c.obs << " heading " << c.heading;
        EXPECT_EQ(fd_app_pitch_error, fd_level_error) << "level flight until the beam approaches";
    }
}

// ALT hold (4) of the command A: over 300 ft off it, 500 ft/min back toward it; inside, 3.5 x the
// distance. Capture and hold of the selection S (2, 3, 25, 26): outside 300 ft the V/S command,
// inside as in hold. Each as (V/S - target) / 100; other modes leave the value as it was.
TEST_F(FlightDirector, AltitudePitchSourceByModeAndDistance) {
    ap_alt_command = 5000;
    ap_selected_altitude = 8000;
    ap_vs_command = -1000;
    const struct { u8 mode; f64 altitude, vs_fpm, error; } cases[] = {
        {4, 5400.0, -500.0, 0.0}, {4, 4600.0, 400.0, -1.0}, {4, 5400.0, -400.0, 1.0}, {4, 5100.0, 0.0, 3.5},
        {4, 4900.0, 100.0, -2.5}, {4, 5250.0, 0.0, 8.75},   {2, 7750.0, 0.0, -8.75},
        {2, 8400.0, -500.0, 5.0}, {25, 7600.0, 0.0, 10.0},  {3, 7900.0, 100.0, -2.5}, {26, 8100.0, 0.0, 3.5},
        {1, 0.0, 0.0, 3.5},
        // exactly 300 ft off is still inside
        {4, 4700.0, 0.0, -10.5},  {4, 5300.0, 0.0, 10.5},  {2, 7700.0, 0.0, -10.5}, {2, 8300.0, 0.0, 10.5},
        // an altitude that is no number is in no band, and the law inside the band has no number
        // from it; neither has any law a V/S that is none: the source stands
        {4, kNaN, 0.0, 10.5},     {4, 5100.0, kNaN, 10.5}};
    for (const auto& c : cases) {
        ap_alt_mode = c.mode;
        token(tk::altitude, c.altitude);
        token(tk::vs, c.vs_fpm * 256.0 / (3.281 * 60.0));
        frames(1);
        EXPECT_NEAR(fd_alt_error, c.error, 1e-9) << int(c.mode) << " at " << c.altitude;
    }
}

// The command follows the state a frame later: 0, then the entry V/S, then the band law. The
// approach pitch source is level flight until the beam approaches, keeps its value on that frame,
// then follows the glide slope. A needle that is no number moves no state: from the first frame
// nothing is captured; just after the beam approaches, the state waits and the source is level.
TEST_F(FlightDirector, GlideSlopeStatesFromBelowAndTheCommandAFrameLater) {
    enum Source { Level, Kept, GlideSlope };
    const struct { f64 g; u8 state; f64 command; Source source; } frames_[] = {
        {kNaN, 0, 0.0, Level},
        {-30.0, 0, 0.0, Level},         {-14.0, 1, 0.0, Kept},     {-10.0, 1, kEntry, GlideSlope},
        {0.0, 2, kEntry, GlideSlope},   {-119.0, 0, kEntry, GlideSlope}, {-14.0, 1, 0.0, Kept},
        {-119.0, 0, kEntry, GlideSlope}, {5.0, 1, 0.0, Kept},      {kNaN, 1, kEntry, Level},
        {0.0, 2, kEntry, GlideSlope}};
    for (const auto& f : frames_) {
        glide_slope(f.g);
        fd_app_pitch_error = 99.0;
        frames(1);
        EXPECT_EQ(std::make_pair(fd_gs_armed, fd_gs_capture_state), std::make_pair(u8(1), f.state)) << f.g;
        EXPECT_NEAR(fd_gs_vs_command, f.command, 1e-9) << f.g;
        const f64 source = f.source == Level ? fd_level_error : f.source == Kept ? 99.0 : fd_gs_error;
        EXPECT_EQ(fd_app_pitch_error, source) << f.g;
    }
    token(tk::gs_valid, 0.999);  // valid only at exactly 1.0: disarmed, deadlines cleared
    fd_gs_deadline_a = fd_gs_deadline_b = 50.0;
    frames(1);
    EXPECT_EQ(fd_gs_armed, 0);
    EXPECT_EQ(fd_gs_deadline_a + fd_gs_deadline_b, 0.0);
}

// Samples and average all -850; entry -910.336 with IAS 140: base -880.168. A needle or a height
// that is no number is in no band: the command stays.
TEST_F(FlightDirector, BandLawByNeedleAndHeight) {
    const f64 base = (kEntry - 850.0) / 2.0;
    const struct { f64 g, radio, command; } cases[] = {{-20.0, 500.0, 0.0}, {-10.0, 500.0, base + 450.0},
        {10.0, 500.0, base - 75.0}, {14.5, 500.0, base - 108.75}, {15.0, 500.0, -1125.0}, {24.5, 500.0, -1125.0},
        {30.0, 101.0, -1500.0},     {30.0, 100.0, -777.0},          {25.0, 50.0, -850.0},
        {kNaN, 500.0, -777.0},      {30.0, kNaN, -777.0}};
    for (const auto& c : cases) {
        fd_gs_capture_state = 2;
        fd_gs_deadline_a = 1.0;  // phase A due now
        fd_gs_phase_a_done = 0;
        fd_gs_vs_command = -777.0;
        glide_slope(c.g);
        token(tk::radio, c.radio);
        frames(1);
        EXPECT_NEAR(fd_gs_vs_command, c.command, 1e-9) << c.g << " at " << c.radio;
    }
}

// The samples of the averaged V/S: the third every frame above 130 m, the first with phase A above
// 120 m, the second with phase B above 110 m. A height that is no number is above none of them.
TEST_F(FlightDirector, VsSamplesOnlyHighEnough) {
    token(tk::vs, -1000.0);
    const struct { f64 radio; bool phase_b; f64 s1, s2, s3; } cases[] = {
        {131.0, false, -1000, -850, -1000}, {kNaN, false, -850, -850, -850},  {130.0, false, -1000, -850, -850},
        {120.0, false, -850, -850, -850},   {111.0, true, -850, -1000, -850}, {110.0, true, -850, -850, -850}};
    for (const auto& c : cases) {
        fd_vs_sample_1 = fd_vs_sample_2 = fd_vs_sample_3 = -850.0;
        fd_gs_capture_state = 2;
        fd_gs_deadline_a = c.phase_b ? 1e5 : 1.0;  // the phase due now
        fd_gs_deadline_b = 1.0;
        fd_gs_phase_a_done = c.phase_b ? 1 : 0;
        fd_gs_phase_b_done = 0;
        token(tk::radio, c.radio);
        frames(1);
        EXPECT_EQ(std::make_tuple(fd_vs_sample_1, fd_vs_sample_2, fd_vs_sample_3), std::make_tuple(c.s1, c.s2, c.s3))
            << c.radio;
    }
}

// From deadlines of 0 the phases alternate frame by frame until caught up with the counter, then run
// every 10 ticks. A deadline left far ahead by a clock set back restarts from now.
TEST_F(FlightDirector, GlideSlopePhasesCatchUpThenKeepTenTicks) {
    glide_slope(5.0);
    frames(35);  // tick counter about 35, capture state 2 from the second frame
    ASSERT_EQ(fd_gs_capture_state, 2);
    fd_gs_deadline_a = fd_gs_deadline_b = 0.0;
    fd_gs_phase_a_done = fd_gs_phase_b_done = 0;
    std::vector<int> runs;  // frames on which a phase ran
    for (int f = 0, last = 0; f < 60; ++f) {
        frames(1);
        const int now = fd_gs_phase_a_done * 2 + fd_gs_phase_b_done;
        if (now != last) runs.push_back(f);
        last = now;
    }
    ASSERT_GE(runs.size(), 8u);
    size_t k = 1;
    while (k < runs.size() && runs[k] == runs[k - 1] + 1) ++k;
    EXPECT_GE(k, 4u) << "catch-up runs";
    EXPECT_GE(runs.size() - k, 3u) << "then phases 10 ticks apart";
    for (++k; k < runs.size(); ++k) EXPECT_EQ(runs[k] - runs[k - 1], 10) << k;

    fd_gs_deadline_a = 1e6;
    fd_gs_phase_a_done = 0;
    fd_gs_phase_b_done = 1;
    frames(11);
    EXPECT_EQ(fd_gs_phase_a_done, 1) << "a deadline from before the clock ran back";
}

// PITCH: -4 x (reference + pitch token), the token negative nose-up. Otherwise (V/S - command) /
// 100: positive when climbing faster than the command, so the IAS pitch bar stands above the centre.
TEST_F(FlightDirector, PitchSourceByAttitudeInPitchAndByVsOtherwise) {
    fd_vertical_mode = 2;
    const struct { u8 hold; f64 reference, pitch, vs_fpm; i32 command; f64 error; } cases[] = {
        {1, 5.0, -3.0, 0.0, 0, -8.0},          {1, 2.0, -3.0, 1500.0, 1000, 4.0},   {0, 5.0, -3.0, 1500.0, 1000, 5.0},
        {0, 0.0, 0.0, 500.0, 1000, -5.0},       {0, 0.0, 0.0, -1200.0, -700, -5.0}, {0, 0.0, 0.0, 300.0, -700, 10.0},
        {1, 5.0, kNaN, 0.0, 0, 10.0},           {0, 0.0, 0.0, kNaN, 1000, 10.0}};  // no number: the source stands
    for (const auto& c : cases) {
        fd_pitch_hold = c.hold;
        fd_pitch_reference = c.reference;
        ap_vs_command = c.command;
        token(tk::pitch, c.pitch);
        token(tk::vs, c.vs_fpm * 256.0 / (3.281 * 60.0));
        fd_pitch_bar = 6.0;
        frames(1);
        EXPECT_NEAR(fd_pitch_error, c.error, 1e-9) << int(c.hold) << " " << c.vs_fpm;
        EXPECT_EQ(fd_pitch_bar > 6.0, c.error > 0.0) << int(c.hold) << " " << c.vs_fpm;
    }
}

// HDG error beyond 3 degrees steps the bank by 5.
// Within 0.5 degrees (bound included) the heading error is 0.
TEST_F(FlightDirector, HeadingRollCommandStepsTheBankOutsideItsBand) {
    token(tk::bank, 2.0);
    const struct { i32 target; f64 heading, roll; } cases[] = {
        {104, 100.0, 7.0}, {103, 100.0, 3.0}, {95, 100.0, -3.0}, {80, 100.0, -23.0}, {100, 99.5, 0.0},
        {100, 99.4, 0.6}};
    for (const auto& c : cases) {
        ap_heading_target = c.target;
        token(tk::heading, c.heading);
        frames(1);
        EXPECT_NEAR(fd_hdg_roll_command, c.roll, 1e-9) << c.target << " from " << c.heading;
    }
}

// ---- Command bars ------------------------------------------------------------------------------

TEST_F(FlightDirector, SwitchedOffBarsLeaveTheCentreTwoUnitsAFrame) {
    fd_bars_on_flag = 0;
    for (const auto& [roll, pitch] : {std::pair<f64, f64>{8, 4}, {10, 2}, {12, 0}, {14, -2}, {14, -4}, {14, -4}}) {
        frames(1);
        EXPECT_EQ(std::make_pair(fd_roll_bar, fd_pitch_bar), std::make_pair(roll, pitch));
    }
}

// An attitude failure parks the bars one unit a frame; no equipment level parks them two; the
// roll-out bar ignores the switch and the failure. V/L and PITCH stay selected throughout.
TEST_F(FlightDirector, ParkingRatesByCause) {
    ap_rollout_mode = 1;
    fd_lateral_mode = 3;
    fd_vertical_mode = 1;
    const struct { u8 on; i32 fail; u8 level; f64 roll, pitch, rollout; } cases[] = {
        {1, 1, 1, 7.0, 5.0, 6.1}, {0, 0, 1, 8.0, 4.0, 6.1}, {1, 0, 0, 8.0, 4.0, 7.0}};
    for (const auto& c : cases) {
        fd_roll_bar = fd_pitch_bar = fd_rollout_bar = 6.0;
        fd_rollout_bar_phase = 0;
        fd_bars_on_flag = c.on;
        token(tk::att_fail, c.fail);
        elec_ess_equipment_level = c.level;
        frames(1);
        EXPECT_EQ(std::make_pair(fd_roll_bar, fd_pitch_bar), std::make_pair(c.roll, c.pitch)) << int(c.on) << c.fail;
        EXPECT_NEAR(fd_rollout_bar, c.rollout, 1e-12) << int(c.on) << c.fail << int(c.level);
    }
}

// Target 6.0 (D = 0 steers the present heading: no V/L error).
TEST_F(FlightDirector, VlRollBarRunsInFromParkAndLandsSettled) {
    fd_roll_bar = 14.0;
    fd_lateral_mode = 3;
    ils(0.0);
    for (f64 expected : {11.0, 10.0, 9.0, 8.0, 7.0}) {
        frames(1);
        EXPECT_EQ(fd_roll_bar, expected);
    }
    int fine = 0;
    for (f64 before = fd_roll_bar; fd_roll_bar != 6.0 && fine < 40; before = fd_roll_bar, ++fine) {
        frames(1);
        EXPECT_TRUE(fd_roll_bar == 6.0 || std::fabs(before - fd_roll_bar - 0.05) < 1e-9) << before;
    }
    EXPECT_EQ(fd_roll_bar, 6.0);
    EXPECT_GE(fine, 18);
    EXPECT_EQ(fd_roll_bar_phase[2], 1);
    EXPECT_EQ(fd_roll_bar_phase[0] + fd_roll_bar_phase[1] + fd_roll_bar_phase[3], 6) << "the others handed over";
}

// A command beyond the active range leaves each bar at its limit: roll-out at 11 (course steering
// 0.75 x 150), pitch at 11 (V/S 12000 ft/min against a command of 0), roll at 1 (HDG error beyond
// 15 degrees: bank step -25 and a bank of -100).
TEST_F(FlightDirector, BarsStopAtTheirLimits) {
    ap_rollout_mode = 1;
    fd_vertical_mode = 2;
    fd_lateral_mode = 2;
    ap_heading_target = 60;
    token(tk::cdi, 150.0);
    token(tk::vs, 12000.0 * 256.0 / (3.281 * 60.0));
    token(tk::bank, -100.0);
    frames(20);
    EXPECT_EQ(std::make_tuple(fd_rollout_bar, fd_pitch_bar, fd_roll_bar), std::make_tuple(11.0, 11.0, 1.0));
}

// In approach with LAND engaged the roll and pitch bars come to the centre and stay there whatever
// the commands.
TEST_F(FlightDirector, LandEngagedHoldsTheBarsAtTheCentre) {
    fd_lateral_mode = 4;
    fd_vertical_mode = 5;
    ap_land_engaged = 1;
    fd_roll_bar = 9.0;
    fd_pitch_bar = 2.0;
    token(tk::bank, 40.0);
    token(tk::bank_cmd, -20.0);
    token(tk::vs, 3000.0);
    frames(30);
    EXPECT_EQ(std::make_pair(fd_roll_bar, fd_pitch_bar), std::make_pair(6.0, 6.0));
}

TEST_F(FlightDirector, PitchBarFromParkTakesTheFloorThenFineSteps) {
    fd_pitch_bar = -4.0;
    fd_vertical_mode = 1;
    fd_pitch_hold = 1;
    for (f64 expected : {0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 5.1}) {
        frames(1);
        EXPECT_NEAR(fd_pitch_bar, expected, 1e-12);
    }
    frames(10);
    EXPECT_EQ(fd_pitch_bar, 6.0);
    EXPECT_EQ(fd_pitch_bar_phase, 1);
}

// A non-finite target holds the bar; a bar that is no number is parked by its limit step.
TEST_F(FlightDirector, HostileCommandsAndBarsStayFinite) {
    fd_vertical_mode = 1;
    fd_pitch_hold = 1;
    fd_lateral_mode = 3;
    const struct { f64 reference, pitch_before, pitch_after, roll_before, roll_after; } cases[] = {
        {kNaN, 3.0, 3.0, kInf, 14.0}, {kInf, 7.5, 7.5, -kInf, 14.0}, {kNaN, kNaN, -4.0, 6.0, 6.0}};
    for (const auto& c : cases) {
        fd_pitch_reference = c.reference;
        fd_pitch_bar = c.pitch_before;
        fd_roll_bar = c.roll_before;
        frames(1);
        EXPECT_EQ(std::make_pair(fd_pitch_bar, fd_roll_bar), std::make_pair(c.pitch_after, c.roll_after))
            << c.reference << " " << c.pitch_before;
    }
}

// ---- A heading that is no number --------------------------------------------------------------

// Target 90 and course 88 flown on heading 88 (errors 2 and 0, roll source 2): a heading the host
// does not report keeps every heading error, as a heading of 360 does, and the arming sector's last
// answer: it never arms the glide slope, even with a course near north, where a heading read as 0
// would lie inside the sector, nor disarms it.
TEST_F(FlightDirector, HeadingThatIsNoNumberKeepsTheErrorsAndArmsNothing) {
    ap_heading_target = 90;
    token(tk::obs, 88.0);
    token(tk::bank, 4.0);
    frames(1);
    ASSERT_EQ(std::make_tuple(fd_hdg_heading_error, fd_hdg_roll_command, fd_course_error),
              std::make_tuple(-10.0, -6.0, -12.0)) << "heading 100";
    token(tk::heading, 88.0);
    frames(1);
    for (f64 h : {kNaN, kInf, -kInf, 360.0}) {
        token(tk::heading, h);
        frames(2);
        EXPECT_EQ(std::make_tuple(fd_hdg_heading_error, fd_hdg_roll_command, fd_course_error),
                  std::make_tuple(2.0, 2.0, 0.0)) << h;
        // Off the beam the V/L target is the present heading: it stands as last taken.
        if (!std::isfinite(h)) {
            EXPECT_EQ(fd_vl_heading_target, 88u) << h;
        }
    }
    token(tk::heading, 88.0);
    frames(1);
    token(tk::heading, kNaN);  // a new target and course while there is no heading: the errors stand
    ap_heading_target = 120;
    token(tk::obs, 100.0);
    frames(1);
    EXPECT_EQ(std::make_tuple(fd_hdg_heading_error, fd_hdg_roll_command, fd_course_error),
              std::make_tuple(2.0, 2.0, 0.0));
    token(tk::obs, 5.0);  // sector 275..95 through north
    glide_slope(-10.0);
    token(tk::heading, 180.0);
    frames(1);
    ASSERT_EQ(fd_gs_armed, 0);
    for (f64 h : {kNaN, kInf, -kInf}) {
        token(tk::heading, h);
        frames(2);
        EXPECT_EQ(std::make_pair(fd_gs_armed, fd_gs_capture_state), std::make_pair(u8(0), u8(0))) << h;
    }
    token(tk::heading, 10.0);  // inside the sector: armed, and kept so while there is no heading
    frames(1);
    token(tk::heading, kNaN);
    frames(2);
    EXPECT_EQ(fd_gs_armed, 1);
}
