// HSI, RMI and ADF indicator through the host: published course, pointer angles, the drift
// test, flags and autopilot drop, the odometer windows, bearing needles, the ADF TEST swing at
// several frame rates, equipment levels, and hostile host values.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/state_registry.h"
#include "navigation/state.h"
#include "tests/host_fixture.h"
#include "radios/state.h"

namespace {
const char* kHsi = "ketravin hsi_kr60";
const char* kRmi = "ketravin rmi_kr60";
const char* kAdf = "ketravin adf_kr60";
const char* kRadial = "(A:ADF Radial:2,radians)";
constexpr u32 kTick = 1, kVx = 551, kVz = 552, kObs = 854, kHeading = 84, kHdgFail = 282, kNavFail = 285;
constexpr u32 kGndSpd = 859, kDistM = 835, kSignal1 = 49, kAdfBearing = 39, kVor1 = 550, kVor2 = 59;
constexpr u32 kCode1 = 46, kCode2 = 55, kDme1 = 31, kDme2 = 35;
enum { HdgFlag = 5, CoursePointer = 14, SpdDashes = 20, MilesUnits = 24 };
enum { RmiLitFace = 1, Vor1Flag = 18, Vor2Flag = 19, RmiHdgFlag = 20 };
enum { AdfOffFlag = 5, AdfBlackout = 6 };
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
constexpr f64 kDeg = M_PI / 180.0;
}  // namespace

class NavInstruments : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        elec_ess_ac_any_powered = elec_ess_ac_powered = elec_ac_bus2_powered = 1;
        elec_ess_equipment_level = 2;
        ins1_status = 3;
    }
    bool shown(const char* g, size_t pos) { return !hidden(element(g, pos)); }
    void tokens(std::initializer_list<std::pair<u32, f64>> list) {
        for (const auto& [id, v] : list) token(id, v);
    }
    std::string shown_set(const char* g, std::initializer_list<size_t> positions) {
        std::string s;
        for (size_t p : positions) s += shown(g, p) ? '1' : '0';
        return s;
    }
};

// Drift is the velocity's angle off the x axis; the course moves by it outside the +-1 dead band
// of vz; a zero velocity has no drift, one that is no number leaves the last drift (and a side
// that is no number the pointer). Pointer -1: not checked.
TEST_F(NavInstruments, HsiPublishedCourseAndDriftPointer) {
    place(kHsi);
    const struct { f64 vx, vz, obs, course; i32 pointer; } cases[] = {
        {2.0 / std::tan(15 * kDeg), 2.0, 10.0, 355.0, -1},  {2.0 / std::tan(15 * kDeg), -2.0, 350.0, 5.0, -1},
        {-2.0 / std::tan(15 * kDeg), 2.0, 10.0, 205.0, -1}, {0.8, 0.6, 200.0, 200.0, 36},
        {kNaN, 5.0, 40.0, 40.0 - std::acos(0.8) / kDeg, 36}, {0.8, kNaN, 40.0, 40.0, 36},
        {0.5 / std::tan(3 * kDeg), -0.5, 100.0, 100.0, 357},  // the pointer's side has no dead band
        {0.0, 0.0, 360.0, 360.0, 0},
        {1.0 / std::tan(15 * kDeg), 1.0, 40.0, 25.0, -1}, {1.0 / std::tan(15 * kDeg), -1.0, 40.0, 55.0, -1},
        {1e300, 1e300, 100.0, 55.0, 44},  // squares beyond the range still give 45 degrees
    };
    for (const auto& c : cases) {
        tokens({{kVx, c.vx}, {kVz, c.vz}, {kObs, c.obs}});
        frames(1);
        EXPECT_NEAR(hsi_drift_course_deg, c.course, 1e-5) << c.vx << " " << c.vz;
        EXPECT_TRUE(c.pointer < 0 || hsi_drift_pointer_deg == c.pointer) << hsi_drift_pointer_deg;
    }
}

TEST_F(NavInstruments, HsiCourseAndMarkerAnglesAreNotWrapped) {
    place(kHsi);
    ap_selected_heading = 90;
    gps_course_deg = 45.0;
    ins1_status = 0;
    const struct { u8 level, src, nav_mode; u32 plan; f64 heading, obs; i32 course, marker; } cases[] = {
        {2, 0, 0, 0, 350.0, 10.0, 20, 100}, {2, 0, 0, 0, 10.0, 350.0, 700, 440},
        {1, 1, 1, 1, 100.5, 0.0, 259, 304},  // the GPS course, no INS status test
        {1, 1, 2, 1, 100.5, 0.0, 259, 349}, {0, 1, 1, 1, 200.0, 0.0, 259, 349}, {2, 0, 0, 0, kNaN, 0.0, 259, 349},
    };
    for (const auto& c : cases) {
        elec_ess_equipment_level = c.level, ins_source_sw = c.src, ap_nav_mode = c.nav_mode, gps_plan_active = c.plan;
        tokens({{kHeading, c.heading}, {kObs, c.obs}});
        frames(1);
        EXPECT_EQ(hsi_course_angle, c.course) << c.heading;
        EXPECT_EQ(hsi_marker_angle, c.marker) << c.heading;
        EXPECT_EQ(drawn(kHsi, CoursePointer).value, f64(c.course));
    }
}

// From 4: up a degree a frame to 10, then 11 held while the test runs, then down to 2 and 0.
// Without heading the ramp and the return run in one frame, so the pointer holds 10.
TEST_F(NavInstruments, HsiDriftTestRampAndReturn) {
    place(kHsi);
    tokens({{kVx, 0.8}, {kVz, 0.6}});
    const struct { u8 ins; std::vector<i32> during, after; } cases[] = {
        {3, {5, 6, 7, 8, 9, 10, 11, 11, 11}, {10, 9, 8, 7, 6, 5, 4, 3, 2, 0, 36}},
        {1, {5, 6, 7, 8, 9, 10, 10, 10, 10}, {9, 8, 7, 6, 5, 4, 3, 2, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        ins1_status = c.ins;
        hsi_drift_pointer_deg = 4;
        for (u8 test : {1, 0}) {
            ins1_apfd_test = test;
            for (i32 p : test ? c.during : c.after) {
                frames(1);
                EXPECT_EQ(hsi_drift_pointer_deg, p) << int(c.ins) << int(test);
            }
        }
    }
    hsi_drift_pointer_deg = 355;
    ins1_status = ins1_apfd_test = 1;
    frames(1);
    EXPECT_EQ(hsi_drift_pointer_deg, 10);  // 11 at once, and back to 10 in the same frame
}

// The HDG flag follows heading failure, AC and INS heading, never the level; a heading failure
// drops the autopilot bytes every frame, powered or not.
TEST_F(NavInstruments, HsiFlagAndAutopilotDrop) {
    place(kHsi);
    const struct { u8 ac, level, ins; i32 fail; u8 warn, dropped; } cases[] = {
        {1, 2, 3, 0, 0, 0}, {1, 0, 3, 0, 0, 0}, {0, 2, 3, 0, 1, 0}, {1, 2, 1, 0, 1, 0},
        {1, 2, 3, 1, 1, 1}, {0, 0, 0, 1, 1, 1}, {1, 2, 3, 2, 0, 0},
    };
    for (const auto& c : cases) {
        elec_ess_ac_any_powered = c.ac, elec_ess_equipment_level = c.level, ins1_status = c.ins;
        token(kHdgFail, c.fail);
        ap_cmd_engaged = 3;
        ap_cmd1_lever = ap_cmd2_lever = ap_sim_ap_latched = 1;
        frames(1);
        EXPECT_EQ(warn_flag_hsi, c.warn) << int(c.ac) << int(c.level) << int(c.ins) << c.fail;
        EXPECT_EQ(shown(kHsi, HdgFlag), c.warn == 1);
        EXPECT_EQ(ap_cmd_engaged + ap_cmd1_lever + ap_cmd2_lever + ap_sim_ap_latched, c.dropped ? 0 : 6);
    }
}

// Which images show, by source, power and receiver, over positions: lit face, VOR, ILS, HDG
// flag, GS pointer, GS flag, FROM, TO, striped arrow, GND SPD dashes, GPS, NAV, legend 2 and
// the three MILES drums. Rows run in turn: where a row keeps a legend, the row before set it.
TEST_F(NavInstruments, HsiImagesBySourcePowerAndReceiver) {
    place(kHsi);
    const std::initializer_list<size_t> kImages = {1, 2, 3, 5, 6, 7, 9, 10, 11, 20, 21, 22, 23, 24, 25, 26};
    const struct { const char* what; u8 ac, level, ins, src; f64 to_from, signal, code, gs_valid, gnd_spd;
                   u8 nav_mode, zone; const char* images; } cases[] = {
        {"INS steering", 1, 2, 3, 1, -1, 1, 64, 1, 100, 1, 1, "1000100100010111"},
        {"radio TO on an ILS", 1, 2, 3, 0, 1, 1, 64, 1, 100, 3, 0, "0010100100001000"},
        {"signal lost on the ILS", 1, 2, 3, 0, 1, 0, 64, 1, 100, 0, 1, "1000100110000000"},
        {"level 0 hides TO", 1, 0, 3, 0, 1, 1, 64, 1, 100, 0, 1, "1000010010000000"},
        {"radio FROM on a VOR", 1, 2, 3, 0, -1, 1, 0, 1, 100, 0, 1, "1100101000000000"},
        {"AC off: legends kept", 0, 2, 3, 0, -1, 1, 0, 1, 100, 3, 1, "1101010011000000"},
        {"level 0: no HDG flag", 1, 0, 3, 0, 1, 1, 64, 1, 100, 0, 1, "1100010011000000"},
        {"TO/FROM 0, GS 0.999", 1, 2, 3, 0, 0, 1, 0, 0.999, 100, 0, 1, "1100010011000000"},
        {"no signal: striped over TO", 1, 2, 3, 0, 1, 0, 64, 1, 100, 0, 1, "1000100111000000"},
        {"INS, no ground speed", 1, 2, 3, 1, -1, 1, 64, 1, -1, 1, 1, "1000100101010111"},
        {"INS without heading", 1, 2, 1, 1, 1, 1, 64, 1, 100, 1, 1, "1001010011010000"},
        {"radio FROM, heading back", 1, 2, 3, 0, -1, 1, 0, 1, 100, 0, 1, "1100101001000000"},
        {"INS steering over FROM", 1, 2, 3, 1, -1, 1, 0, 1, 100, 1, 1, "1000100100010111"},
        {"radio FROM again", 1, 2, 3, 0, -1, 1, 0, 1, 100, 0, 1, "1100101000000000"},
        {"level 0 over FROM", 1, 0, 3, 0, -1, 1, 0, 1, 100, 0, 1, "1100010010000000"},
    };
    gps_plan_active = 1;
    element(kHsi, 21)->image_flags &= ~ImageHidden;  // the GPS legend: hidden by every powered frame
    for (const auto& c : cases) {
        elec_ess_ac_any_powered = c.ac, elec_ess_equipment_level = c.level, ins1_status = c.ins;
        ins_source_sw = c.src, ap_nav_mode = c.nav_mode, light_zone[0] = c.zone;
        tokens({{853, c.to_from}, {kSignal1, c.signal}, {kCode1, c.code}, {44, c.gs_valid}, {kGndSpd, c.gnd_spd},
                {kDistM, 5000.0}});
        frames(1);
        EXPECT_EQ(shown_set(kHsi, kImages), c.images) << c.what;
    }
}

// The deviation: under INS steering 25 units a mile of cross-track, held to full scale 127;
// otherwise the receiver's value as it comes. The bar's offset follows it only while powered.
TEST_F(NavInstruments, HsiDeviationFromCrossTrackOrReceiver) {
    place(kHsi);
    gps_plan_active = 1;
    const struct { u8 src, level; f64 xtk, cdi, dev, offset; } cases[] = {
        {1, 2, 6.0, 0, 127, 127},   {1, 2, -6.0, 0, -127, -127}, {1, 2, 1.0, 0, 25, 25}, {1, 2, 5.06, 0, 126.5, 126.5},
        {0, 2, 6.0, 30, 30, 30},   {0, 2, 0, 200, 200, 200},    {0, 0, 0, 50, 200, 0},
    };
    for (const auto& c : cases) {
        ins_source_sw = c.src, elec_ess_equipment_level = c.level, gps_xtk_nm = c.xtk;
        token(40, c.cdi);
        frames(1);
        EXPECT_NEAR(hsi_deviation, c.dev, 1e-9) << int(c.src) << " " << c.xtk << " " << c.cdi;
        EXPECT_NEAR(drawn(kHsi, 15).x, c.offset, 1e-9) << int(c.src) << " " << c.xtk;
    }
}

// The glide-slope pointer: 0.418 pixels a unit of the needle while the glide slope is valid
// (exactly 1.0); otherwise hidden with its last offset kept.
TEST_F(NavInstruments, HsiGlideSlopePointer) {
    place(kHsi);
    const struct { f64 valid, needle, px; bool shown; } cases[] = {
        {1.0, 100, 41.8, true}, {0.999, 50, 41.8, false}, {1.0, -20, -8.36, true},
    };
    for (const auto& c : cases) {
        tokens({{44, c.valid}, {41, c.needle}});
        frames(1);
        EXPECT_NEAR(hsi_gs_pointer_px, c.px, 1e-9) << c.valid << " " << c.needle;
        EXPECT_EQ(shown(kHsi, 6), c.shown);
        if (c.shown) {
            EXPECT_NEAR(drawn(kHsi, 6).y, c.px, 1e-9);
        }
    }
}

// MILES (GPS distance under INS steering) and GND SPD odometers; GND SPD holds its digits longer;
// 1000 or more shows the hundreds drum at 0 (1234 reads 034).
TEST_F(NavInstruments, HsiOdometerWindows) {
    place(kHsi);
    ins_source_sw = 1;
    gps_plan_active = 1;
    const struct { f64 v; f64 miles[3], spd[3]; } cases[] = {
        {0.0, {0, 0, 10}, {0, 0, 10}}, {123.0, {9, 8, 7}, {9, 8, 7}}, {99.5, {9.5, 0.5, 0.5}, {0, 1, 0.5}},
        {99.985, {9.015, 0.015, 0.015}, {9.015, 0.015, 0.015}},  // both higher drums rolling
        {999.985, {0.015, 0.015, 0.015}, {0.015, 0.015, 0.015}},  // all three rolling, just below the top
        {98.5, {0, 1, 1.5}, {0, 1, 1.5}},  // MILES hundreds still held 0.985 along
        {1234.0, {0, 7, 6}, {0, 7, 6}},
    };
    for (const auto& c : cases) {
        tokens({{kDistM, c.v / 0.00054}, {kGndSpd, c.v}});
        frames(1);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(hsi_miles_drum[i], c.miles[i], 1e-6) << c.v << " drum " << i;
            EXPECT_NEAR(hsi_gnd_spd_drum[i], c.spd[i], 1e-6) << c.v << " drum " << i;
        }
        EXPECT_EQ(shown_set(kHsi, {MilesUnits, SpdDashes}), "10");
    }
    tokens({{kDistM, 999.995 / 0.00054}});  // past the hundreds drum's top: it shows 0
    frames(1);
    EXPECT_EQ(hsi_miles_drum[0], 0.0);
    tokens({{kDistM, 1234.0 / 0.00054}});
    frames(1);
    tokens({{kGndSpd, -1.0}, {kDistM, -500.0}});  // dashes over the last value; the last distance stays
    frames(1);
    EXPECT_TRUE(shown(kHsi, SpdDashes));
    EXPECT_EQ(hsi_gnd_spd_value, 1234.0);
    EXPECT_NEAR(hsi_miles_value, 1234.0, 1e-9);
    EXPECT_NEAR(hsi_gnd_spd_drum[1], 7.0, 1e-9);
    gps_plan_active = 0;
    frames(1);
    EXPECT_FALSE(shown(kHsi, MilesUnits));
}

// An odometer whose tenths drum turns with the distance; the store needs INS heading and a
// distance of 0 or more.
TEST_F(NavInstruments, RmiDmeDrums) {
    place(kRmi);
    const struct { f64 nm; u8 ins; f64 drum[4]; } cases[] = {
        {123.45, 3, {9, 8, 7, 5.5}}, {99.95, 3, {9.5, 0.5, 0.5, 0.5}}, {1234.5, 3, {0, 7, 6, 5}},
        {99.85, 3, {0, 1, 1, 1.5}},    // the hundreds drum stands on 0 until 99.9
        {9.9995, 3, {0, 9.005, 0, 0.005}},  // past 9.999 the units drum is back on 0
        {0.05, 3, {0, 0, 0, 9.5}},
        {123.00005, 3, {9, 8, 7, 0}},  // tenths part below 0.001: exactly on 0
        {-1.0, 3, {9, 8, 7, 0}}, {50.0, 1, {9, 8, 7, 0}},
    };
    for (const auto& c : cases) {
        tokens({{kDme1, c.nm}, {kDme2, c.nm}});
        ins1_status = c.ins;
        frames(1);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(rmi_dme1_drum[i], c.drum[i], 1e-6) << c.nm << " drum " << i;
            EXPECT_NEAR(rmi_dme2_drum[i], c.drum[i], 1e-6) << c.nm << " drum " << i;
        }
    }
}

// A needle picks b + 270 or b - 90 from where it stood; a LOC or G/S station, an unpowered side
// or INS 1 without heading parks it at 0.
TEST_F(NavInstruments, RmiNeedles) {
    place(kRmi);
    const struct { i32 code; u8 ins, bus2; f64 bearing, n1, n2; } steps[] = {
        {0, 3, 1, 200, 110, 110},  {0, 3, 1, 200, 110, 110}, {0, 3, 1, 45, -45, -45}, {0, 3, 1, 45, 315, 315},
        {0, 3, 1, 45, -45, -45},   {0x80, 3, 0, 45, 0, 0},   {0, 3, 1, 200, 470, 470}, {0x40, 3, 1, 200, 0, 0},
        {0, 1, 1, 200, 0, 0},      {0, 3, 1, kNaN, 0, 0},
    };
    for (const auto& s : steps) {
        tokens({{kCode1, s.code}, {kCode2, s.code}, {kVor1, s.bearing}, {kVor2, s.bearing}});
        ins1_status = s.ins, elec_ac_bus2_powered = s.bus2;
        frames(1);
        EXPECT_EQ(rmi_needle1_value, s.n1) << s.code << " " << s.bearing;
        EXPECT_EQ(rmi_needle2_value, s.n2) << s.code << " " << s.bearing;
    }
}

// Flags HDG, VOR 1, VOR 2 and warn_flag_rmi; the card follows the heading or stops.
TEST_F(NavInstruments, RmiFlagsAndCard) {
    place(kRmi);
    // The lit face shows exactly while zone 0 is on.
    const struct { u8 ac, bus2, ins; i32 hdg_fail, nav_fail; const char* flags; bool card; u8 zone; } cases[] = {
        {1, 1, 3, 0, 0, "0000", true, 1},  {1, 1, 1, 0, 0, "1001", false, 0}, {1, 1, 3, 1, 0, "1001", false, 2},
        {1, 1, 3, 0, 1, "0111", true, 1},  {1, 0, 3, 0, 0, "0011", true, 0},  {0, 1, 3, 0, 0, "1101", false, 1},
    };
    f64 heading = 10.0;
    for (const auto& c : cases) {
        elec_ess_ac_any_powered = c.ac, elec_ac_bus2_powered = c.bus2, ins1_status = c.ins, light_zone[0] = c.zone;
        tokens({{kHdgFail, c.hdg_fail}, {kNavFail, c.nav_fail}});
        const f64 before = rmi_card_heading;
        token(kHeading, heading += 10.0);
        frames(1);
        EXPECT_EQ(shown_set(kRmi, {RmiHdgFlag, Vor1Flag, Vor2Flag}) + char('0' + warn_flag_rmi), c.flags);
        EXPECT_EQ(rmi_card_heading, c.card ? heading : before) << c.flags;
        EXPECT_EQ(shown(kRmi, RmiLitFace), c.zone == 1) << int(c.zone);
    }
}

// The swing waits for needle power, then holds 315 for 35 ticks from its first frame whatever
// the frame rate; the deadline frame clears the request with the needle still at 315.
TEST_F(NavInstruments, AdfTestSwingLasts35Ticks) {
    place(kAdf);
    token(kAdfBearing, 200.0);
    host().set_calc(kRadial, M_PI);
    for (f64 fps : {18.0, 60.0, 10.0}) {
        for (int which = 0; which < 2; ++which) {
            host().set_fps(fps);
            u8& request = which == 0 ? adf1_test_latch : adf2_test_request;
            const f64& needle = which == 0 ? adf_needle1_value : adf_needle2_value;
            const f64 resting = which == 0 ? 110.0 : 90.0;
            frames(2);
            EXPECT_EQ(needle, resting);
            request = 1;
            elec_ess_equipment_level = 1;
            frames(3);
            EXPECT_EQ(request, 1);
            EXPECT_EQ(needle, 0.0);
            elec_ess_equipment_level = 2;
            frames(1);
            const f64 start = host().token(kTick);
            for (int n = 0; request == 1 && n < 400; ++n) {
                EXPECT_EQ(needle, 315.0) << fps;
                frames(1);
            }
            EXPECT_EQ(needle, 315.0) << fps;
            const f64 ticks = host().token(kTick) - start;
            EXPECT_GE(ticks, 35.0) << fps;
            EXPECT_LT(ticks, 35.0 + 18.0 / fps) << fps;
            frames(1);
            EXPECT_EQ(needle, resting) << fps;
        }
    }
}

// Card, needles, OFF flag and warn_flag_adf (raised only at equipment level 2); then pi radians
// on ADF 2 after a park: 450, then 90.
TEST_F(NavInstruments, AdfEquipmentLevelsAndRadial) {
    place(kAdf);
    token(kAdfBearing, 200.0);
    // Zone 0 off covers the face with the black image and darkens the rest.
    const struct { u8 level, ess_ac, dc_norm, ins; i32 fail; bool card, needles, off; u8 warn, zone; } cases[] = {
        {2, 1, 0, 3, 0, true, true, false, 0, 1}, {2, 0, 1, 3, 0, true, true, false, 0, 0},
        {1, 1, 1, 3, 0, true, false, true, 0, 1}, {0, 1, 1, 3, 0, false, false, true, 0, 0},
        {2, 0, 0, 3, 0, true, false, true, 1, 2}, {2, 1, 1, 3, 1, false, true, true, 1, 1},
        {2, 1, 1, 2, 0, true, true, false, 0, 1}, {2, 1, 1, 1, 0, false, false, true, 1, 1},
    };
    f64 heading = 0.0;
    for (const auto& c : cases) {
        elec_ess_equipment_level = c.level, elec_ess_ac_powered = c.ess_ac, dc_normal_powered = c.dc_norm;
        ins1_status = c.ins, light_zone[0] = c.zone;
        token(kHdgFail, c.fail);
        const f64 before = adf_card_heading;
        token(kHeading, heading += 10.0);
        frames(1);
        EXPECT_EQ(adf_card_heading, c.card ? heading : before) << int(c.level);
        EXPECT_EQ(adf_needle1_value != 0.0, c.needles) << int(c.level);
        EXPECT_EQ(shown(kAdf, AdfOffFlag), c.off) << int(c.level);
        EXPECT_EQ(warn_flag_adf, c.warn) << int(c.level);
        EXPECT_EQ(shown(kAdf, AdfBlackout), c.zone != 1) << int(c.zone);
        EXPECT_EQ(lit_luminous(element(kAdf, AdfOffFlag)), c.zone == 1) << int(c.zone);
    }
    host().set_calc(kRadial, M_PI);
    ins1_status = 3;  // the last case parked both needles
    for (f64 expected : {450.0, 90.0, 90.0}) {
        frames(1);
        EXPECT_EQ(adf_needle2_value, expected);
    }
    EXPECT_EQ(adf2_radial_rad, M_PI);
    EXPECT_EQ(adf2_radial_deg, 180.0);
}

// The bearing needles turn at most 6 degrees a step; the HSI's needles have no limit. The
// RMI and ADF cards are drawn 1.3 times their bitmap, the HSI's card and bar at 1.0.
TEST_F(NavInstruments, NeedleSpeedLimitsAndSpriteScales) {
    // Sprites: position and rotation scale (the deviation bar turns against the card).
    using Sprites = std::vector<std::pair<size_t, f64>>;
    const struct { const char* gauge; std::vector<size_t> needles; u32 rate; Sprites sprites; f32 scale; } cases[] = {
        {kRmi, {15, 16}, 6, {{14, 1.0}}, 1.3f},
        {kAdf, {2, 3}, 6, {{1, 1.0}}, 1.3f},
        {kHsi, {8, 9, 10, 11, 12, 13, 14}, 0, {{4, 1.0}, {15, -1.0}}, 1.0f},
    };
    for (const auto& c : cases) {
        place(c.gauge);
        for (size_t n : c.needles) {
            const auto* e = reinterpret_cast<const NeedleElement*>(element(c.gauge, n));
            EXPECT_TRUE(e->head.type == u32(ElementNeedle) && e->reserved2[0] == c.rate) << c.gauge << " " << n;
        }
        for (const auto& [n, rot] : c.sprites) {
            const auto* e = reinterpret_cast<const SpriteElement*>(element(c.gauge, n));
            EXPECT_EQ(e->scale_rot, rot) << c.gauge << " " << n;
            EXPECT_EQ(e->head.type, u32(ElementSprite)) << c.gauge << " " << n;
            EXPECT_EQ(e->texture_scale_x, c.scale) << c.gauge << " " << n;
            EXPECT_EQ(e->texture_scale_y, c.scale) << c.gauge << " " << n;
        }
    }
}

// DME covers: with signal and power the bar hides and the dashes show only for a negative
// distance; otherwise both show. Positions: DME 1 and 2 dashes, DME 1 and 2 bars.
TEST_F(NavInstruments, RmiDmeCovers) {
    place(kRmi);
    const struct { u8 ac, bus2; f64 signal1, signal2, dme1, dme2; const char* covers; } cases[] = {
        {1, 1, 0, 0, 5, 5, "1111"}, {1, 1, 1, 1, 5, 5, "0000"}, {1, 1, 1, 1, -1, 5, "1000"},
        {1, 0, 1, 1, 5, 5, "0101"}, {0, 1, 1, 1, 5, -1, "1110"}, {1, 1, 1, 0, 0, 5, "0101"},
    };
    for (const auto& c : cases) {
        elec_ess_ac_any_powered = c.ac, elec_ac_bus2_powered = c.bus2;
        tokens({{kSignal1, c.signal1}, {58, c.signal2}, {kDme1, c.dme1}, {kDme2, c.dme2}});
        frames(1);
        EXPECT_EQ(shown_set(kRmi, {10, 11, 12, 13}), c.covers) << &c - cases;
    }
}

// A TO/FROM, signal or distance that is no number leaves the arrows, legends and covers as they
// stood.
TEST_F(NavInstruments, NonNumberReceiverValuesLeaveArrowsAndCovers) {
    place(kHsi);
    place(kRmi);
    enum { VorLegend = 2, ToArrow = 10, Striped = 11, Dashes1 = 10, Bar1 = 12 };
    tokens({{853, 1.0}, {kSignal1, 1.0}, {kDme1, 5.0}});
    frames(1);
    for (f64 v : {1.0, kNaN}) {
        tokens({{853, v}, {kSignal1, v}, {kDme1, v}});
        frames(1);
        EXPECT_EQ(shown_set(kHsi, {ToArrow, Striped, VorLegend}), "101") << v;
        EXPECT_EQ(shown_set(kRmi, {Dashes1, Bar1}), "00") << v;
    }
}

// Every host value the three read, NaN, infinite or huge, leaves every shared value finite.
TEST_F(NavInstruments, HostileValuesLeaveStateFinite) {
    for (const char* g : {kHsi, kRmi, kAdf}) place(g);
    ins_source_sw = gps_plan_active = ap_nav_mode = 1;
    adf1_test_latch = 1;
    const u32 tokens[] = {kVx, kVz, kObs, kHeading, kGndSpd, kDistM, 853, kSignal1, 40, 41, 44,
                          kAdfBearing, kVor1, kVor2, kDme1, kDme2, kTick};
    for (f64 v : {kNaN, kInf, -kInf, 1e308, -1e308}) {
        for (u32 t : tokens) token(t, v);
        host().set_calc(kRadial, v);
        ins1_apfd_test = ins1_apfd_test ? 0 : 1;
        frames(2);
        EXPECT_TRUE(std::isfinite(drawn(kHsi, CoursePointer).value));
        for (const VarTable* t = kStateTables; t->vars; ++t)
            for (const VarInfo* x = t->vars; x < t->vars + t->count; ++x)
                for (u32 k = 0; x->type == VarType::F64 && k < x->count; ++k)
                    EXPECT_TRUE(std::isfinite(var_read(*x, k))) << x->name << "[" << k << "] after " << v;
    }
}
