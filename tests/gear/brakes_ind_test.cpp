// The brake pressure indicator: the parking-brake latch and the bleed without hydraulics, the
// needles' clamp, the overheat timer's 240 and 3500 ticks (also with the clock set back), its
// gates, the looped brake sound, and hostile host values.
#include <strings.h>

#include <algorithm>
#include <limits>
#include <string>

#include "electrical/state.h"
#include "gear/state.h"
#include "hydraulics/state.h"
#include "sound/recording.h"
#include "tests/panel_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
const char* kBrakes = "ketravin brakes_ind_kr60";
constexpr u32 kTick = 1, kOnGround = 60, kIas = 61, kBrakeL = 320, kBrakeR = 321, kPark = 323;
enum { LeftNeedle = 2, RightNeedle = 3 };
}  // namespace

class Brakes : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kBrakes);
        elec_ac_bus1_powered = 1;
    }
    void hydraulics(bool on) { hyd_avail[1] = on ? 1 : 0, hyd_avail[2] = 0; }
    void roll(f64 ias, f64 park = 0.0) { token(kOnGround, 1.0), token(kIas, ias), token(kPark, park); }
    void brakes(f64 l, f64 r) { token(kBrakeL, l), token(kBrakeR, r); }
    // The brake sound's loops (L) and stops (S) since the last call.
    std::string brake_sound() {
        std::string s;
        for (const u64 end = sound_recording_count(); heard_ < end; ++heard_) {
            SoundEvent e;
            if (sound_recording_event(heard_, &e) && strcasecmp(e.name, "brakessnd") == 0)
                s += e.call == SoundCall::Loop ? 'L' : e.call == SoundCall::Stop ? 'S' : '?';
        }
        return s;
    }
    u64 heard_ = 0;
};

TEST_F(Brakes, LatchHoldsThenPressuresBleed) {
    token(kPark, 1.0);  // set at load, no green or yellow: the latch holds full pressure
    const struct { f64 park; u8 ac1; bool hyd; f64 l, r; u8 latch; u32 left, right; } kFrames[] = {
        {1, 1, false, 0, 0, 1, 32000, 32000}, {1, 0, false, 0, 0, 1, 32000, 32000},
        {0, 0, false, 0, 0, 0, 32000, 32000},         // released, no AC bus 1: held
        {0, 1, false, 0, 0, 0, 30000, 30000},         // bleeding 2000 a frame
        {0, 1, true, 25000.9, 1500, 0, 25000, 1500},  // hydraulics: the host's brakes, truncated
        {0, 1, false, 0, 0, 0, 23000, 0},             // a pressure below 2000 becomes 0
        {0, 1, true, 1500, 25000, 0, 1500, 25000},    {0, 1, false, 0, 0, 0, 0, 0},  // left at 2000 or less: both 0
        {1, 1, true, 25000, 1500, 1, 25000, 1500},    // the latch arms
        {1, 1, true, kNaN, -kInf, 1, 25000, 0},       // no number keeps its pressure; -inf stands at 0
        {1, 1, false, 0, 0, 1, 32000, 32000}, {kNaN, 1, false, 0, 0, 1, 32000, 32000},  // NaN: neither set nor released
    };
    for (const auto& f : kFrames) {
        token(kPark, f.park), elec_ac_bus1_powered = f.ac1, hydraulics(f.hyd), brakes(f.l, f.r);
        frames(1);
        SCOPED_TRACE(testing::Message() << "frame " << &f - kFrames);
        EXPECT_EQ(inst_brake_park_latch, f.latch);
        EXPECT_EQ(inst_brake_press_left, f.left);
        EXPECT_EQ(inst_brake_press_right, f.right);
    }
}

TEST_F(Brakes, NeedlesClampAndStoreBack) {
    hydraulics(true);
    const struct { f64 l, r; f64 drawn_l, drawn_r; } kCases[] = {
        {32000, 31999, 32000, 31999}, {32001, kInf, 32000, 32000}, {1e12, -1, 32000, 0},
    };
    for (const auto& c : kCases) {
        brakes(c.l, c.r);
        frames(1);
        EXPECT_EQ(drawn(kBrakes, LeftNeedle).value, c.drawn_l);
        EXPECT_EQ(drawn(kBrakes, RightNeedle).value, c.drawn_r);
        EXPECT_LE(std::max(inst_brake_press_left, inst_brake_press_right), 32000u) << "the clamp is stored back";
    }
}

TEST_F(Brakes, ArmedTimerFollowsGatesAndPressures) {
    hydraulics(true);
    const struct { f64 ias, park, ground, l, r; u8 state; } kFrames[] = {
        {40, 0, 1, 16000, 16000, 0}, {40, 0, 1, 16001, 0, 1},  // one brake above 16000 arms
        {40, 0, 1, 12000, 0, 1},     {39.9, 0, 1, 20000, 0, 0},  // the sum at 10000 or more holds; 40 kt
        {40, 0, 1, 20000, 0, 1},     {40, 0, 1, 9999, 0, 0},     // the sum below 10000
        {40, 0, 1, 20000, 0, 1},     {40, 0, 0.5, 20000, 0, 0},  // not exactly on the ground
        {40, 0, 1, 20000, 0, 1},     {40, 0.1, 1, 20000, 0, 0},  // parking brake set
        {kNaN, 0, 1, 20000, 0, 0},
    };
    for (const auto& f : kFrames) {
        token(kIas, f.ias), token(kPark, f.park), token(kOnGround, f.ground), brakes(f.l, f.r);
        frames(1);
        EXPECT_EQ(inst_brake_hot_state, f.state) << &f - kFrames;
        EXPECT_EQ(warn_brakes_hot, 0);
        if (f.state == 0) {
            EXPECT_EQ(inst_brake_hot_deadline, 0u) << "dropped with its timer";
        }
    }
}

// 240 ticks armed, then 3500 of warning, each restarting when the clock runs back behind it.
TEST_F(Brakes, OverheatAfter240TicksFor3500AndAClockSetBackRestartsEachStep) {
    hydraulics(true), roll(50.0), brakes(20000.0, 20000.0);
    token(kTick, 100000.0);
    frames(100);
    token(kTick, 10.0);  // a new flight: the armed deadline lies far ahead and restarts
    frames(240);
    EXPECT_EQ(warn_brakes_hot, 0);
    frames(1);
    EXPECT_EQ(warn_brakes_hot, 1);
    roll(10.0, 1.0), brakes(0.0, 0.0);  // a raised warning outlasts the gates and the pressures
    frames(3499);
    EXPECT_EQ(warn_brakes_hot, 1);
    frames(1);
    EXPECT_EQ(warn_brakes_hot + inst_brake_hot_state, 0);
    hydraulics(true), roll(50.0), brakes(20000.0, 20000.0);
    frames(241);
    token(kTick, 3.0);
    frames(3500);
    EXPECT_EQ(warn_brakes_hot, 1);
    frames(1);
    EXPECT_EQ(warn_brakes_hot, 0) << "BRAKES HOT does not stick";
    for (f64 bad : {kNaN, kInf, -1e300}) {
        token(kTick, bad);
        frames(3);
        EXPECT_LE(inst_brake_hot_state, 2) << bad;
        EXPECT_LE(warn_brakes_hot, 1) << bad;
    }
}

TEST_F(Brakes, LoopedSoundOnlyWhileBrakingOnTheGround) {
    hydraulics(true);
    const struct { f64 ground, park, ias, l, r; bool loops; } kFrames[] = {
        {1, 0, 15, 1001, 0, true},  {1, 0, 15, 1000, 1000, false}, {1, 0, 14.9, 5000, 0, false},
        {1, 0, 15, 0, 1001, true},  {1, 1, 80, 5000, 0, false},    // stops the frame the parking brake is set
        {0, 0, 80, 5000, 0, false}, {1, 0, kNaN, 5000, 0, false},
    };
    brake_sound();
    for (const auto& f : kFrames) {
        token(kOnGround, f.ground), token(kPark, f.park), token(kIas, f.ias), brakes(f.l, f.r);
        frames(1);
        EXPECT_EQ(brake_sound(), f.loops ? "L" : "S") << &f - kFrames;
    }
}
