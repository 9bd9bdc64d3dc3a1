// The flap and slat indicator: tapes and their gaps, lever marker, take-off configuration and
// overspeed warnings, and the KRUG lamp's blink at any frame rate.
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "tests/panel_fixture.h"
#include "warnings/state.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
constexpr u32 kTick = 1, kOnGround = 60, kIas = 61, kSpoilerL = 326, kHandle = 328, kLeft = 329, kRight = 330,
              kN1Eng1 = 624;
const char* kFlaps = "ketravin flaps_ind_kr60";
constexpr size_t kKrug = 2, kSpeedBrake = 3, kConfig = 4, kAsym = 5;
}  // namespace

class FlapsInd : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kFlaps);
        dc_ess_powered = elec_ac_bus2_powered = 1;
        hyd_avail[0] = hyd_avail[1] = hyd_avail[2] = 1;
        token(kOnGround, 1);
    }
    void flaps(f64 handle, f64 left) { token(kHandle, handle), token(kLeft, left), token(kRight, left); }
    // The KRUG lamp over n frames: '1' shown, '0' dark.
    std::string krug(size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) {
            frames(1);
            s += shown(kFlaps, kKrug) ? '1' : '0';
        }
        return s;
    }
};

TEST_F(FlapsInd, SlatTapeRunsInAndOutTheGapsFreezeBothTapesAndTheMarkerBands) {
    // Lever, left flap, tapes before; slat tape after each frame, flap tape at the end.
    const struct { f64 handle, left, slat_from; std::vector<f64> slats; f64 flap; } kCases[] = {
        {0, 0, 1.985, {1.995, 2.0}, 82}, {1, 0, 2.0, {1.99, 1.98}, 82}, {1, 0, 0.5, {1.0}, 82},
        {1, 0.05, 1.5, {1.5}, 60},      {0, 0.5, 1.5, {1.5}, 60},        // gaps: a hair out, lever out; 0.1..1, in
        {1, 2621.5, 1.5, {1.49}, 67.5}, {1, 7864, 1.5, {1.0}, 43.5036},  // first and second segments
        {1, 10485, 1.5, {1.5}, 60},     {1, 16300, 1.5, {0.0}, 0.305},   // second breakpoint; last segment's end
        {kNaN, kNaN, 1.5, {1.5}, 60},
    };
    for (const auto& c : kCases) {
        flaps(c.handle, c.left);
        inst_flap_tape_pos = 60;
        inst_slat_tape_pos = c.slat_from;
        for (f64 s : c.slats) {
            frames(1);
            EXPECT_NEAR(inst_slat_tape_pos, s, 1e-9) << c.handle << " " << c.left;
        }
        EXPECT_NEAR(inst_flap_tape_pos, c.flap, 0.001) << c.handle << " " << c.left;
    }
    EXPECT_EQ((std::vector<u16>{inst_flap_detent[0], inst_flap_detent[1], inst_flap_detent[2]}),
              (std::vector<u16>{0, 5243, 10485}));
    const struct { f64 handle; u8 px; } kMarks[] = {{5999, 0}, {6000, 29}, {10000, 48}, {14000, 82}, {kNaN, 82}};
    for (const auto& m : kMarks) {
        token(kHandle, m.handle);
        frames(1);
        EXPECT_EQ(inst_flap_lever_marker_px, m.px) << m.handle;
    }
}

TEST_F(FlapsInd, TakeoffConfigurationOverspeedAndPowerLoss) {
    // CONFIG: wrong flaps or slats, or spoilers out below 100 kt, on the ground; the warning at
    // take-off thrust or during the test.
    const struct { f64 ground, left, slats, n1, spoiler, ias; u8 test, lamp, warn; } kConfigCases[] = {
        {1, 10487, 1.0, 96.9, 0, 0, 0, 1, 0},       {1, 10487, 1.0, 97.0, 0, 0, 0, 1, 1},
        {1, 10487, 1.0, 50.0, 0, 0, 20, 1, 1},      {1, 10486, 1.0, 97.0, 0, 0, 0, 0, 0},
        {1, 5000, 2.0, 97.0, 0, 0, 0, 1, 1},        {0, 5000, 2.0, 97.0, 0, 0, 0, 0, 0},
        {1, 5000, 1.0, 97.0, 500, 50, 0, 0, 0},     {1, 5000, 1.0, 97.0, 500.1, 50, 0, 1, 1},
    };
    elec_ac_bus2_powered = 0;  // tapes stand where they are set
    for (const auto& c : kConfigCases) {
        token(kOnGround, c.ground), token(kN1Eng1, c.n1), token(kSpoilerL, c.spoiler), token(kIas, c.ias);
        flaps(1, c.left);
        inst_slat_tape_pos = c.slats, warn_to_config_test_count = c.test;
        frames(1);
        EXPECT_EQ(warn_to_config_lamp * 10 + warn_to_config_flaps, c.lamp * 10 + c.warn) << c.left << " " << c.n1;
        EXPECT_EQ(shown(kFlaps, kConfig), c.lamp == 1);
    }
    // Overspeed: the barber pole margin and the placards, with the gap between segments.
    token(kSpoilerL, 0);
    inst_asi_barber_kt = 350;
    const struct { f64 needle, left, slats, ias; u8 warn; } kSpeeds[] = {
        {352.0, 5243.5, 2.0, 0, 0}, {352.1, 5243.5, 2.0, 0, 1}, {0, 5243, 2.0, 216, 1}, {0, 5243.5, 2.0, 300, 0},
        {0, 5243, 2.0, 215, 0},     {0, 10485, 2.0, 205.1, 1},  {0, 10485, 2.0, 205, 0},
        {0, 16300, 0, 180.1, 1},    {0, 16300, 0, 180, 0},      {0, 0, 1.9, 250, 0},
        {0, 0, 1.9, 251, 1},        {0, 0, 1.91, 251, 0},       {0, 16301, 0, 400, 0},  {kNaN, kNaN, 2.0, kNaN, 0},
    };
    for (const auto& c : kSpeeds) {
        inst_asi_needle_kt = c.needle, inst_slat_tape_pos = c.slats;
        flaps(1, c.left), token(kIas, c.ias);
        frames(1);
        EXPECT_EQ(warn_overspeed, c.warn) << c.needle << " " << c.left << " " << c.ias;
    }
    // SPEED BRAKE: a spoiler surface out with the handle at 1 or more; held as it was without blue
    // and yellow.
    const struct { f64 left, right, handle; u8 blue_yellow; bool lamp; } kBrakes[] = {
        {0, 0.5, 1.0, 1, true}, {0, 0, 1.0, 1, false}, {0.5, 0, 0.99, 1, false}, {0.5, 0, 1.0, 1, true},
        {0, 0, 0, 0, true},     {0, 0, 0, 1, false},
    };
    for (const auto& b : kBrakes) {
        token(kSpoilerL, b.left), token(kSpoilerL + 1, b.right), token(kSpoilerL - 1, b.handle);
        hyd_avail[0] = hyd_avail[2] = b.blue_yellow;
        frames(1);
        EXPECT_EQ(shown(kFlaps, kSpeedBrake), b.lamp) << b.left << " " << b.right << " " << b.handle;
    }
    hyd_avail[0] = hyd_avail[2] = 1;
    token(kSpoilerL, 0), token(kSpoilerL + 1, 0);
    // Without DC essential power: no warnings and every lamp dark, even with a split in the flaps.
    inst_asi_needle_kt = 400, dc_ess_powered = 0, token(kRight, 0);
    frames(1);
    EXPECT_EQ(warn_overspeed + warn_to_config_flaps + warn_to_config_lamp, 0);
    EXPECT_EQ(lamps(kFlaps, kKrug, kAsym - kKrug + 1), "0000");
}

TEST_F(FlapsInd, KrugBlinksAtAnyFrameRateAndAfterTheClockRunsBack) {
    flaps(0, 0.5);  // in a gap: the slat tape stays in transit
    inst_slat_tape_pos = 1.5;
    // 18 fps: 4 ticks on, 4 off; 6 fps (3 ticks a frame) never skips a change; the period ends at
    // tick 81 (80 after it began) and starts again on the next frame. A blink that starts with no
    // clock reading counts from the first one (`clock_back`, after `from` frames without).
    const struct { f64 fps; size_t from; const char* pattern; f64 clock_back = -1; } kCases[] = {
        {18, 0, "1111000011110000"}, {6, 0, "110110110110"}, {18, 76, "00000111"},
        {18, 3, "1111000011110000", 500},
    };
    for (const auto& c : kCases) {
        host().set_fps(c.fps);
        token(kTick, c.clock_back < 0 ? 0 : kNaN);
        inst_krug_blinking = 0;
        std::string lamp = krug(c.from);
        if (c.clock_back >= 0) token(kTick, c.clock_back);
        lamp += krug(strlen(c.pattern));
        EXPECT_EQ(lamp.substr(c.from), c.pattern) << c.fps << " " << c.clock_back;
    }
    // A counter set back far below the blink's start: the lamp goes on blinking, and the period
    // ends 80 ticks after the clock came back.
    token(kTick, 2000);
    krug(5);
    token(kTick, 3);
    const std::string after = krug(16);
    EXPECT_TRUE(after.find('0') != std::string::npos && after.find('1') != std::string::npos) << after;
    size_t ended = 0;
    for (size_t f = 17; f <= 90 && !ended; ++f) {
        frames(1);
        if (inst_krug_blinking == 0) ended = f;
    }
    EXPECT_TRUE(ended >= 78 && ended <= 82) << ended;
}

// Out of transit the KRUG lamp is steady: lit with the slats at the first step or beyond, dark
// retracted, lit by the lamp test. A new transit starts a new blink at once.
TEST_F(FlapsInd, KrugSteadyOutOfTransitAndANewTransitBlinksAfresh) {
    flaps(1, 0.05);  // a gap: the slat tape stays where it is put
    const struct { f64 slats; u8 lamp_test; char lamp; } kCases[] = {
        {2.0, 0, '0'}, {1.01, 0, '1'}, {1.995, 1, '1'}, {0.0, 0, '1'}, {1.99, 0, '0'},
    };
    for (const auto& c : kCases) {
        inst_slat_tape_pos = c.slats, light_lamp_test = c.lamp_test;
        EXPECT_EQ(krug(3), std::string(3, c.lamp)) << c.slats << " " << int(c.lamp_test);
        EXPECT_EQ(inst_slat_transit, 0);
    }
    light_lamp_test = 0;
    inst_slat_tape_pos = 1.015;  // just inside the transit band
    EXPECT_EQ(krug(6), "111100");
    EXPECT_EQ(inst_krug_blinking, 1);
    inst_slat_tape_pos = 1.0;  // the slats reach the first step
    EXPECT_EQ(krug(2), "11");
    EXPECT_EQ(inst_krug_blinking, 0);
    token(kTick, 200);
    inst_slat_tape_pos = 1.5;
    EXPECT_EQ(krug(10), "1111000011");
}
