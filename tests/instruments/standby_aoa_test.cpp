// The standby airspeed indicator and the angle-of-attack indicator with its stall warning.
#include <limits>
#include <vector>

#include "electrical/state.h"
#include "instruments/state.h"
#include "tests/host_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
constexpr u32 kOnGround = 60, kIas = 61, kAsiFail = 274, kFlapsLeft = 329, kAoa = 789;
const char* kSec = "ketravin asi_sec_kr60";
const char* kAoaGauge = "ketravin aoa_kr60";
constexpr i32 kKnobY = 90, kDownX = 75, kUpX = 95;
constexpr size_t kTape = 2, kFlag = 3;
}  // namespace

class Standby : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kSec);
        dc_ess_powered = 1;
    }
    std::vector<u32> run(size_t n) {
        std::vector<u32> seen;
        for (size_t i = 0; i < n; ++i) {
            frames(1);
            seen.push_back(inst_asi_sec_needle_kt);
        }
        return seen;
    }
};

TEST_F(Standby, NeedleRisesTenAFrameAndSinksBelowSixtyUnpoweredOrFailed) {
    const struct { u32 from; f64 ias; u8 power; f64 fail; std::vector<u32> frames; } kCases[] = {
        {0, 60, 1, 0, {10, 20, 30, 40, 50, 60}},
        {120, 59.9, 1, 0, {110, 100, 90}},
        {65, 65.7, 1, 0, {65}},
        {200, 100, 1, 0, {100}},
        {7, 100, 0, 0, {0}},
        {30, 100, 1, 1, {20, 10, 0}},
        {30, kNaN, 1, 0, {20}},
        {30, kInf, 1, 0, {20}},
    };
    for (const auto& c : kCases) {
        inst_asi_sec_needle_kt = c.from;
        token(kIas, c.ias);
        token(kAsiFail, c.fail);
        dc_ess_powered = c.power;
        EXPECT_EQ(run(c.frames.size()), c.frames) << c.from << " " << c.ias;
    }
}

TEST_F(Standby, KnobStepsTheBugBetweenSixtyAndFourFiftyWithoutPower) {
    dc_ess_powered = 0;
    const struct { u32 from; i32 x; u32 once, twice; } kCases[] = {
        {61, kDownX, 60, 60}, {449, kUpX, 450, 450}, {140, kDownX, 139, 138}, {9000, kUpX, 450, 450}, {3, kDownX, 60, 60},
    };
    for (const auto& c : kCases) {
        inst_asi_sec_bug_kt = c.from;
        click(kSec, c.x, kKnobY, MouseRepeat);
        EXPECT_EQ(inst_asi_sec_bug_kt, c.once) << c.from;
        click(kSec, c.x, kKnobY);
        EXPECT_EQ(inst_asi_sec_bug_kt, c.twice) << c.from;
    }
}

class Aoa : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kAoaGauge);
    }
    std::vector<f64> tape(size_t n) {
        std::vector<f64> seen;
        for (size_t i = 0; i < n; ++i) {
            frames(1);
            seen.push_back(inst_aoa_needle);
        }
        return seen;
    }
};

TEST_F(Aoa, TapeParksOnTheGroundFollowsInTheAirAndFreezesBeyondTheScale) {
    elec_ac_bus1_powered = 1;
    const f64 kFour = 4 * 3.14116 / 180;  // exactly 4 degrees, clean
    const struct { f64 ground, rad, from; std::vector<f64> steps; } kCases[] = {
        {1, 0, 12, {11, 10, 9, 8, 7}},
        {1, 0, 0, {1, 2, 3, 4, 5, 6, 7}},
        {0, kFour, 0, {2, 4, 6, 9}},
        {0, kFour, 20, {18, 16, 9}},
        {0, 22 * 3.14116 / 180, 3, {3, 3}},
    };
    for (const auto& c : kCases) {
        token(kOnGround, c.ground);
        token(kAoa, c.rad);
        elec_ac_bus1_powered = 0;
        frames(1);  // the angle first; the tape follows from the next frame
        elec_ac_bus1_powered = 1;
        inst_aoa_needle = c.from;
        EXPECT_EQ(tape(c.steps.size()), c.steps) << c.ground << " " << c.from;
    }
    elec_ac_bus1_powered = 0;
    inst_aoa_needle = 5;
    frames(1);
    EXPECT_EQ(inst_aoa_needle, 5);
    EXPECT_FALSE(hidden(element(kAoaGauge, kFlag)));
    EXPECT_EQ(drawn(kAoaGauge, kTape).y, 5);
}

TEST_F(Aoa, StallWarningLatchesOnAcPowerAndHoldsOnTheGround) {
    const struct { u8 ac; f64 ground, rad, flaps; u8 warn; } kCases[] = {
        {0, 0, 0.3, 0, 0},         // never powered: not armed
        {1, 0, 0.15, 0, 0},        // 8.5956 clean
        {1, 0, 0.151, 0, 1},       // 8.6529 clean
        {1, 1, 0.0, 0, 1},         // held on the ground
        {0, 0, 0.1, 16383, 0},     // armed for good; 11.466 with flaps
        {0, 0, 0.29, 1, 1},        // 16.6 with a touch of flap
        {0, 0, kNaN, 0, 1},        // no reading: the angle and the warning stand
        {0, 0, kInf, 0, 1},
        {0, 0, 0.1, 0, 0},
    };
    for (const auto& c : kCases) {
        elec_ess_ac_powered = c.ac;
        token(kOnGround, c.ground);
        token(kAoa, c.rad);
        token(kFlapsLeft, c.flaps);
        frames(1);
        EXPECT_EQ(warn_stall, c.warn) << c.rad << " " << c.flaps;
        EXPECT_TRUE(std::isfinite(inst_aoa_deg));
    }
}
