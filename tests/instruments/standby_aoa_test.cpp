// The standby airspeed indicator and the angle-of-attack indicator with its stall warning.
#include <vector>

#include "tests/instruments/instruments_fixture.h"

namespace {
constexpr u32 kOnGround = 60, kIas = 61, kAsiFail = 274, kFlapsLeft = 329, kAoa = 789;
const char* kSec = "ketravin asi_sec_kr60";
const char* kAoaGauge = "ketravin aoa_kr60";
}  // namespace

// Both gauges placed; `watch` runs n frames and collects a variable after each.
class Standby : public Instruments {
protected:
    void SetUp() override {
        Instruments::SetUp();
        place(kSec);
        place(kAoaGauge);
    }
    template <typename T>
    std::vector<T> watch(const T& v, size_t n) {
        std::vector<T> seen;
        for (size_t i = 0; i < n; ++i, seen.push_back(v)) frames(1);
        return seen;
    }
};

TEST_F(Standby, NeedleRisesTenAFrameSinksWithoutSpeedPowerOrDataAndTheBugStopsAtSixty) {
    const struct { u32 from; f64 ias; u8 power; f64 fail; std::vector<u32> frames; } kCases[] = {
        {0, 60, 1, 0, {10, 20, 30, 40, 50, 60}}, {120, 59.9, 1, 0, {110, 100}}, {65, 65.7, 1, 0, {65}},
        {7, 100, 0, 0, {0}}, {30, 100, 1, 1, {20, 10, 0}}, {30, kInf, 1, 0, {40}},  // infinite: above every mark
    };
    for (const auto& c : kCases) {
        inst_asi_sec_needle_kt = c.from, dc_ess_powered = c.power;
        token(kIas, c.ias), token(kAsiFail, c.fail);
        EXPECT_EQ(watch(inst_asi_sec_needle_kt, c.frames.size()), c.frames) << c.from << " " << c.ias;
    }
    // The knob works unpowered and stops at 60 and 450 (x 75 down, 95 up).
    const struct { u32 from; i32 x; u32 want; } kKnob[] = {{61, 75, 60}, {60, 75, 60}, {449, 95, 450}, {450, 95, 450}};
    for (const auto& k : kKnob) {
        inst_asi_sec_bug_kt = k.from;
        click(kSec, k.x, 90, MouseRepeat);
        EXPECT_EQ(inst_asi_sec_bug_kt, k.want) << k.from;
    }
}

TEST_F(Standby, AoaTapeParksDampsAndFreezesAndTheStallWarningLatches) {
    const f64 kFour = 4 * 3.14116 / 180;  // exactly 4 degrees, clean
    const struct { f64 ground, rad, from; std::vector<f64> steps; } kTape[] = {
        {1, 0, 12, {11, 10, 9, 8, 7}}, {0, kFour, 0, {2, 4, 6, 9}}, {0, kFour, 20, {18, 16, 9}},
        // Parked from below and at the edges of the 6..8 band.
        {1, 0, 0, {1, 2, 3, 4, 5, 6, 7}}, {1, 0, 5.9375, {6.9375, 7}}, {1, 0, 6.0625, {7}},
        {1, 0, 8.0625, {7.0625, 7}},
        {0, 22 * 3.14116 / 180, 3, {3, 3}},  // last: the unpowered tape below stands at 3
    };
    for (const auto& c : kTape) {
        token(kOnGround, c.ground), token(kAoa, c.rad);
        elec_ac_bus1_powered = 0;
        frames(1);  // the angle first; the tape follows from the next frame
        elec_ac_bus1_powered = 1;
        inst_aoa_needle = c.from;
        EXPECT_EQ(watch(inst_aoa_needle, c.steps.size()), c.steps) << c.ground << " " << c.from;
    }
    elec_ac_bus1_powered = 0;  // unpowered: the flag shows and the tape stands
    frames(1);
    EXPECT_EQ(y(kAoaGauge, 2), 3);
    EXPECT_TRUE(shown(kAoaGauge, 3));
    EXPECT_EQ(reinterpret_cast<MovingImageElement*>(element(kAoaGauge, 2))->scale, 27.0) << "tape range 0..27";

    const struct { u8 ac; f64 ground, rad, flaps; u8 warn; } kStall[] = {
        {0, 0, 0.3, 0, 0},  {1, 0, 0.15, 0, 0}, {1, 0, 0.151, 0, 1},  // not armed; 8.5956; 8.6529
        {1, 1, 0.0, 0, 1},  {0, 0, 0.1, 16383, 0},                  // held on the ground; 11.466 flaps
        {0, 0, 16.45 * 3.14116 / 180 / (1 + 6.11e-05), 1, 0},       // 16.45 with flaps: not above 16.5
        {0, 0, 1e308, 1, 1},                                        // absurd: saturates, not thrown away
        {0, 0, 0.29, 1, 1}, {0, 0, kNaN, 0, 1},                     // 16.6 with flaps; no reading
    };
    inst_aoa_armed = warn_stall = 0;  // as at load: no AC power seen yet
    for (const auto& c : kStall) {
        elec_ess_ac_powered = c.ac;
        token(kOnGround, c.ground), token(kAoa, c.rad), token(kFlapsLeft, c.flaps);
        frames(1);
        EXPECT_EQ(warn_stall, c.warn) << c.rad << " " << c.flaps;
        EXPECT_TRUE(std::isfinite(inst_aoa_deg));
    }
}
