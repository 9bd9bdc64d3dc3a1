// Radio magnetic indicator and ADF bearing indicator through the host: DME odometers, bearing
// needles and their parking, flags and covers, the ADF TEST swing at several frame rates, the
// equipment levels, the ADF 2 radial, and hostile host values.
#include <cmath>
#include <limits>
#include <vector>

#include "electrical/state.h"
#include "lighting/state.h"
#include "navigation/state.h"
#include "tests/host_fixture.h"

namespace {
const char* kRmi = "ketravin rmi_kr60";
const char* kAdf = "ketravin adf_kr60";
const char* kRadial = "(A:ADF Radial:2,radians)";
constexpr u32 kTick = 1, kHeading = 84, kHdgFail = 282, kNavFail = 285, kAdfBearing = 39;
constexpr u32 kVor1 = 550, kVor2 = 59, kCode1 = 46, kCode2 = 55, kSignal1 = 49, kSignal2 = 58, kDme1 = 31,
              kDme2 = 35;
enum { Dme1Dashes = 10, Dme1Bar = 12, Vor1Flag = 18, Vor2Flag = 19, RmiHdgFlag = 20 };
enum { AdfOffFlag = 5, AdfBlackout = 6 };
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
}  // namespace

class NavIndicators : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        elec_ess_ac_any_powered = elec_ess_ac_powered = elec_ac_bus2_powered = 1;
        elec_ess_equipment_level = 2;
        ins1_status = 3;
    }
    bool shown(const char* g, size_t pos) { return !hidden(element(g, pos)); }
};

// An odometer: higher drums stand on their digit and roll only in the last tenth before a carry.
TEST_F(NavIndicators, RmiDmeDrums) {
    place(kRmi);
    const struct { f64 nm; f64 drum[4]; } cases[] = {
        {123.45, {9, 8, 7, 5.5}},       // 123.4, tenths half-way to 5
        {99.95, {9.5, 0.5, 0.5, 0.5}},  // 099.9 rolling to 100.0
        {1234.5, {0, 7, 6, 5}},         // reads 034.5
        {123.00005, {9, 8, 7, 0}},      // tenths part below 0.001: exactly on 0
    };
    for (const auto& c : cases) {
        token(kDme1, c.nm);
        token(kDme2, c.nm);
        frames(1);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(rmi_dme1_drum[i], c.drum[i], 1e-6) << c.nm << " drum " << i;
            EXPECT_NEAR(rmi_dme2_drum[i], c.drum[i], 1e-6) << c.nm << " drum " << i;
        }
    }
    // A negative distance or INS 1 without heading holds the store.
    const f64 held = rmi_dme1_tenths;
    for (const auto& [nm, ins] : {std::pair{-1.0, u8(3)}, std::pair{50.0, u8(1)}}) {
        token(kDme1, nm);
        ins1_status = ins;
        frames(1);
        EXPECT_EQ(rmi_dme1_tenths, held) << nm;
    }
}

// A needle picks b + 270 or b - 90 from where it stood; a localizer or glide-slope station, an
// unpowered side or INS 1 without heading parks it at 0.
TEST_F(NavIndicators, RmiNeedles) {
    place(kRmi);
    const struct { i32 code; u8 ins, bus2; f64 bearing, n1, n2; } frames_[] = {
        {0, 3, 1, 200, 110, 110},   {0, 3, 1, 200, 110, 110}, {0, 3, 1, 45, -45, -45}, {0, 3, 1, 45, 315, 315},
        {0, 3, 1, 45, -45, -45},    {0x80, 3, 0, 45, 0, 0},   {0, 3, 1, 200, 470, 470}, {0x40, 3, 1, 200, 0, 0},
        {0, 1, 1, 200, 0, 0},       {0, 3, 1, kNaN, 0, 0},
    };
    for (const auto& f : frames_) {
        token(kCode1, f.code);
        token(kCode2, f.code);
        token(kVor1, f.bearing);
        token(kVor2, f.bearing);
        ins1_status = f.ins;
        elec_ac_bus2_powered = f.bus2;
        frames(1);
        EXPECT_EQ(rmi_needle1_value, f.n1) << f.code << " " << f.bearing;
        EXPECT_EQ(rmi_needle2_value, f.n2) << f.code << " " << f.bearing;
    }
}

TEST_F(NavIndicators, RmiFlagsCardAndCovers) {
    place(kRmi);
    // HDG, VOR 1, VOR 2 flags and warn as "HVW" digits; card follows the heading or stops.
    const struct { u8 ac, bus2, ins; i32 hdg_fail, nav_fail; const char* flags; bool card; } cases[] = {
        {1, 1, 3, 0, 0, "0000", true}, {1, 1, 1, 0, 0, "1001", false}, {1, 1, 3, 1, 0, "1001", false},
        {1, 1, 3, 0, 1, "0111", true}, {1, 0, 3, 0, 0, "0011", true},  {0, 1, 3, 0, 0, "1101", false},
    };
    f64 heading = 10.0;
    for (const auto& c : cases) {
        elec_ess_ac_any_powered = c.ac;
        elec_ac_bus2_powered = c.bus2;
        ins1_status = c.ins;
        token(kHdgFail, c.hdg_fail);
        token(kNavFail, c.nav_fail);
        const f64 before = rmi_card_heading;
        token(kHeading, heading += 10.0);
        frames(1);
        std::string seen;
        for (size_t p : {RmiHdgFlag, Vor1Flag, Vor2Flag}) seen += shown(kRmi, p) ? '1' : '0';
        seen += char('0' + warn_flag_rmi);
        EXPECT_EQ(seen, c.flags) << int(c.ac) << int(c.bus2) << int(c.ins) << c.hdg_fail << c.nav_fail;
        EXPECT_EQ(rmi_card_heading, c.card ? heading : before);
    }
    // DME 1 covers: dashes and bar without signal or power, dashes alone on a negative distance.
    const struct { u8 ac; f64 signal, nm; bool dashes, bar; } covers[] = {
        {1, 1.0, 5.0, false, false}, {1, 1.0, -1.0, true, false}, {1, 0.0, 5.0, true, true}, {0, 1.0, 5.0, true, true},
    };
    for (const auto& c : covers) {
        elec_ess_ac_any_powered = c.ac;
        token(kSignal1, c.signal);
        token(kDme1, c.nm);
        frames(1);
        EXPECT_EQ(shown(kRmi, Dme1Dashes), c.dashes) << int(c.ac) << c.signal << c.nm;
        EXPECT_EQ(shown(kRmi, Dme1Bar), c.bar) << int(c.ac) << c.signal << c.nm;
    }
}

// The swing holds 315 for 35 ticks from the first frame that sees the request, whatever the frame
// rate; the deadline frame clears the request with the needle still at 315.
TEST_F(NavIndicators, AdfTestSwingLasts35Ticks) {
    place(kAdf);
    token(kAdfBearing, 200.0);
    host().set_calc(kRadial, M_PI);
    for (f64 fps : {18.0, 60.0, 10.0}) {
        for (int which = 0; which < 2; ++which) {
            host().set_fps(fps);
            u8& request = which == 0 ? adf1_test_latch : adf2_test_request;
            const f64& needle = which == 0 ? adf_needle1_value : adf_needle2_value;
            frames(2);
            EXPECT_EQ(needle, 110.0 - 20.0 * which);
            // Needles unpowered: the request waits.
            request = 1;
            elec_ess_equipment_level = 1;
            frames(3);
            EXPECT_EQ(request, 1);
            EXPECT_EQ(needle, 0.0);
            elec_ess_equipment_level = 2;
            frames(1);
            const f64 start = host().token(kTick);
            int n = 0;
            for (; request == 1 && n < 400; ++n) {
                EXPECT_EQ(needle, 315.0) << fps;
                frames(1);
            }
            EXPECT_EQ(needle, 315.0) << fps;
            const f64 ticks = host().token(kTick) - start;
            EXPECT_GE(ticks, 35.0) << fps;
            EXPECT_LT(ticks, 35.0 + 18.0 / fps) << fps;
            frames(1);
            EXPECT_EQ(needle, 110.0 - 20.0 * which) << fps;  // from 315: b - 90
        }
    }
}

TEST_F(NavIndicators, AdfEquipmentLevelsFlagAndCard) {
    place(kAdf);
    token(kAdfBearing, 200.0);
    const struct { u8 level, ess_ac, dc_norm, ins; i32 fail; bool card, needles, off; u8 warn; } cases[] = {
        {2, 1, 0, 3, 0, true, true, false, 0},  {2, 0, 1, 3, 0, true, true, false, 0},
        {1, 1, 1, 3, 0, true, false, true, 0},  {0, 1, 1, 3, 0, false, false, true, 0},
        {2, 0, 0, 3, 0, true, false, true, 1},  {2, 1, 1, 3, 1, false, true, true, 1},
        {2, 1, 1, 1, 0, false, false, true, 1},
    };
    f64 heading = 0.0;
    for (const auto& c : cases) {
        elec_ess_equipment_level = c.level;
        elec_ess_ac_powered = c.ess_ac;
        dc_normal_powered = c.dc_norm;
        ins1_status = c.ins;
        token(kHdgFail, c.fail);
        const f64 before = adf_card_heading;
        token(kHeading, heading += 10.0);
        frames(1);
        EXPECT_EQ(adf_card_heading, c.card ? heading : before) << int(c.level);
        EXPECT_EQ(adf_needle1_value != 0.0, c.needles) << int(c.level);
        EXPECT_EQ(shown(kAdf, AdfOffFlag), c.off) << int(c.level);
        EXPECT_EQ(warn_flag_adf, c.warn) << int(c.level);
    }
    light_zone[0] = 0;
    frames(1);
    EXPECT_TRUE(shown(kAdf, AdfBlackout));
}

// pi radians is 180 degrees: 450 on the first frame after a park, then 90.
TEST_F(NavIndicators, AdfRadialAfterPark) {
    place(kAdf);
    host().set_calc(kRadial, M_PI);
    ins1_status = 1;
    frames(1);
    EXPECT_EQ(adf_needle2_value, 0.0);
    ins1_status = 3;
    for (f64 expected : {450.0, 90.0, 90.0}) {
        frames(1);
        EXPECT_EQ(adf_needle2_value, expected);
    }
    EXPECT_EQ(adf2_radial_deg, 180.0);
}

// Every host value these two read, NaN, infinite or huge, leaves their shared values finite.
TEST_F(NavIndicators, HostileValuesLeaveStateFinite) {
    place(kRmi);
    place(kAdf);
    token(kSignal1, 1.0);
    adf1_test_latch = 1;
    const u32 tokens[] = {kHeading, kAdfBearing, kVor1, kVor2, kDme1, kDme2, kTick};
    for (f64 v : {kNaN, kInf, -kInf, 1e308, -1e308}) {
        for (u32 t : tokens) token(t, v);
        host().set_calc(kRadial, v);
        frames(2);
        std::vector<f64> values = {rmi_card_heading, rmi_needle1_value, rmi_needle2_value, rmi_dme1_tenths,
                                   rmi_dme2_tenths, adf_card_heading, adf_needle1_value, adf_needle2_value,
                                   adf2_radial_rad, adf2_radial_deg};
        for (int i = 0; i < 4; ++i) values.insert(values.end(), {rmi_dme1_drum[i], rmi_dme2_drum[i], rmi_dme1_digit[i]});
        for (f64 x : values) EXPECT_TRUE(std::isfinite(x)) << v;
    }
}
