// The first officer's airspeed dial: its own Mach drums from the captain's value, its flags, and
// the two dial halves driving the captain's mouse routine (centre radius 50 exactly, requests by
// half, unusable rectangles).
#include <algorithm>

#include "instruments/asi_dial.h"
#include "tests/instruments/instruments_fixture.h"

namespace {
constexpr u32 kAirspeedFail = 274;
const char* kAsi2 = "ketravin asi_main2_kr60";
enum : size_t { MachUnits = 2, MachTens = 3, MachHundreds = 4, FlagMach = 5 };
}  // namespace

class AsiFirstOfficer : public Instruments {
protected:
    void SetUp() override {
        Instruments::SetUp();
        place(kAsi2);
        inst_adc1_ias_valid = inst_adc1_air_valid = inst_adc1_alt_valid = 1;
    }
};

TEST_F(AsiFirstOfficer, MachDrumsReadTheCaptainsValue) {
    elec_ess_ac_any_powered = 0;  // the counter turns whatever the power
    const struct { f64 mach, hundreds, tens, units; } kCases[] = {
        {785.0, 3, 2, 5}, {150.0, 9, 5, 0.002}, {0.0, 0, 0, 0.002}, {1000.0, 0, 0, 0.002}, {999.5, 0.5, 0.5, 0.5},
    };
    for (const auto& c : kCases) {
        inst_mach_display = c.mach;
        frames(1);
        EXPECT_NEAR(y(kAsi2, MachHundreds), c.hundreds, 1e-9) << c.mach;
        EXPECT_NEAR(y(kAsi2, MachTens), c.tens, 1e-9) << c.mach;
        EXPECT_NEAR(y(kAsi2, MachUnits), c.units, 1e-9) << c.mach;
    }
    for (f64 bad : {kNaN, kInf, -1e300}) {
        inst_mach_display = bad;
        frames(1);
        for (size_t pos : {MachUnits, MachTens, MachHundreds}) EXPECT_TRUE(std::isfinite(y(kAsi2, pos))) << bad;
    }
}

TEST_F(AsiFirstOfficer, FlagsOnThisDialOnly) {
    const struct { u8 ac; f64 fail; u8 pitot, air, alt, ias; const char* shown; } kCases[] = {
        {0, 0, 0, 1, 1, 1, "1111"}, {1, 1, 0, 1, 1, 1, "1111"}, {1, 0, 1, 1, 1, 1, "1110"},
        {1, 0, 0, 1, 1, 1, "0000"}, {1, 0, 0, 0, 1, 1, "1000"}, {1, 0, 0, 1, 0, 1, "0100"},
        {1, 0, 0, 1, 1, 0, "0010"}, {1, kNaN, 0, 1, 1, 1, "0000"},
    };
    for (const auto& c : kCases) {
        elec_ess_ac_any_powered = c.ac, aice_pitot_fault = c.pitot;
        inst_adc1_air_valid = c.air, inst_adc1_alt_valid = c.alt, inst_adc1_ias_valid = c.ias;
        token(kAirspeedFail, c.fail);
        frames(1);
        std::string flags;
        for (size_t pos = FlagMach; pos < FlagMach + 4; ++pos) flags += shown(kAsi2, pos) ? '1' : '0';
        EXPECT_EQ(flags, c.shown) << &c - kCases;
        EXPECT_EQ(warn_flag_asi, 0) << "the captain's indicator alone raises the warning";
    }
}

TEST_F(AsiFirstOfficer, DialHalvesAskForTheirSetsInsideRadius50) {
    const f64 start[4] = {85.0, 114.0, 135.0, 183.0};
    const struct { i32 x; f64 dist, bearing; u8 mode, picked; f64 pointer_x; bool placed; } kCases[] = {
        {10, 50.0, 0.0, 0, 0, 10.0, false},       // exactly 50: nothing
        {10, 49.9, 0.0, 1, 0, 10.0, true},        // left half: take-off bugs
        {100, 49.9, 0.0, 2, 0, 100.0, true},      // right half: approach bugs, x offset 92
        {100, 50.1, 116.0, 0, 2, 100.0, false},   // picks the bug within 5 degrees
    };
    for (const auto& c : kCases) {
        std::copy(start, start + 4, inst_asi_bug_deg);
        inst_asi_bug_mode = 0;
        inst_asi_pointer_dist = c.dist, inst_asi_pointer_bearing = c.bearing;
        click(kAsi2, c.x, 91);
        SCOPED_TRACE(testing::Message() << "case " << &c - kCases);
        EXPECT_EQ(inst_asi_bug_mode, c.mode);
        EXPECT_EQ(inst_asi_drag_bug, c.picked);
        EXPECT_NEAR(inst_asi_pointer_x, c.pointer_x, 1e-9);
        EXPECT_EQ(inst_asi_bug_deg[0], c.placed ? f64(asi_speed_to_dial(inst_asi_bug_kt[0])) : start[0]);
        EXPECT_EQ(inst_asi_bug_deg[3], c.placed ? f64(asi_speed_to_dial(inst_asi_bug_kt[3])) : start[3]);
    }
    // A drag on this dial moves the shared bug; an unusable rectangle is ignored.
    inst_asi_pointer_dist = 80.0, inst_asi_pointer_bearing = 138.0;
    click(kAsi2, 100, 91, MouseMove);
    click(kAsi2, 100, 91, MouseDrag);
    EXPECT_EQ(inst_asi_bug_deg[2], 138.0);
    MouseRect* right = gauge(kAsi2)->mouse_rects + 2;
    MousePoint no_rect{5, 5, 0, nullptr}, p{5, 5, 0, right};
    inst_asi_pointer_x = 0.0, inst_asi_pointer_dist = 10.0;
    right->callback(&no_rect, MouseLeftSingle);
    for (i32 bad : {0, -184}) right->h = bad, right->callback(&p, MouseLeftSingle);
    right->h = kAsiHeight;
    EXPECT_EQ(inst_asi_pointer_x, 0.0);
    EXPECT_EQ(inst_asi_bug_mode, 0);
}
