// The mode selector units: off-delay, alignment timing at several frame rates, status by
// counter, ATT settling, the shared battery, the BATT lamp test and the knob clicks.
#include "electrical/state.h"
#include "tests/navigation/nav_fixture.h"
#include "navigation/state.h"

class MsuTest : public NavTest {
protected:
    void SetUp() override {
        NavTest::SetUp();
        place(kMsu1);
    }
};

TEST_F(MsuTest, KnobOffRunsOutA100FrameOffDelay) {
    ins1_att_mode = 1;
    ins1_msu_knob = 0;
    frames(1);
    EXPECT_EQ(ins1_att_mode, 0) << "OFF ends ATT at once";
    frames(98);
    EXPECT_EQ(ins1_powered, 1);
    EXPECT_EQ(ins1_status, 0) << "status drops at once";
    EXPECT_EQ(ins1_align_count, 100);
    EXPECT_NE(ins1_mode, 0) << "the mode stops with the unit, not a frame before";
    frames(1);
    EXPECT_EQ(ins1_powered, 0);
    EXPECT_EQ(ins1_mode, 0);
    frames(5);
    EXPECT_EQ(ins1_powered, 0) << "off stays off";
    EXPECT_EQ(ins1_off_delay, 0);
}

// A clock thrown to one end of the range and then the other counts nothing; the alignment then
// takes its 264 s from the clock's return.
TEST_F(MsuTest, AlignmentFrom90To2Takes264SecondsAtAnyFrameRate) {
    const struct { f64 fps, thrown_to, then; } cases[] = {
        {10.0, 0, 0}, {18.0, 0, 0}, {30.0, 0, 0}, {60.0, 0, 0}, {18.0, -1e308, 1e308}, {60.0, 1e308, -1e308},
    };
    for (const auto& c : cases) {
        host().set_fps(c.fps);
        ins1_msu_knob = 0;
        frames(100);
        ASSERT_EQ(ins1_powered, 0);
        ins1_msu_knob = 1;  // STBY
        frames(1);
        ASSERT_EQ(ins1_align_count, 90);
        if (c.thrown_to != 0.0) {
            const f64 back = host().token(604);
            for (f64 t : {c.thrown_to, c.then}) {
                token(604, t);
                frames(10);
            }
            EXPECT_EQ(ins1_align_count, 90) << "counted on the clock at " << c.thrown_to << " then " << c.then;
            token(604, back);
        }
        frames(1);  // the first counted frame starts the clock
        const f64 start = host().token(604);
        while (ins1_align_count > 2 && host().token(604) - start < 300) frames(1);
        EXPECT_NEAR(host().token(604) - start, 264.0, 1.0 / c.fps + 1e-9) << c.fps << " " << c.thrown_to;
        EXPECT_EQ(ins1_status, 2);
        ins1_msu_knob = 3;  // NAV
        frames(1);
        EXPECT_EQ(ins1_align_count, 1);
        EXPECT_EQ(ins1_status, 3);
    }
}

TEST_F(MsuTest, StatusFollowsTheCounterAndTheAttFlag) {
    const struct { u8 knob, count, status; } cases[] = {
        {1, 81, 0}, {1, 80, 1}, {1, 51, 1}, {1, 50, 2}, {1, 2, 2}, {4, 8, 0}, {4, 5, 2},
    };
    for (const auto& c : cases) {
        ins1_msu_knob = ins1_mode = c.knob;
        ins1_align_count = c.count;
        ins1_align_timer_set = 0;
        frames(1);
        EXPECT_EQ(ins1_status, c.status) << int(c.knob) << " " << int(c.count);
    }
}

TEST_F(MsuTest, AttFromNavGivesStatus0For33SecondsThen2) {
    ins1_msu_knob = 4;
    frames(1);
    EXPECT_EQ(ins1_align_count, 60);
    EXPECT_EQ(ins1_att_mode, 1);
    int zero_frames = 0;
    while (ins1_status == 0 && zero_frames < 2000) {
        frames(1);
        ++zero_frames;
    }
    EXPECT_NEAR(zero_frames, 33 * 18 + 2, 1);
    EXPECT_EQ(ins1_status, 2);
    EXPECT_EQ(ins1_align_count, 2);
}

TEST_F(MsuTest, SharedBatteryDrainsAndRecharges) {
    const struct { u8 knob1, ac1, knob2, ac2; u32 before, after; i8 src1, src2; } cases[] = {
        {3, 0, 3, 0, 1000, 996, -1, -1},      // both on battery
        {3, 0, 3, 1, 1000, 998, -1, 1},       // one on battery
        {3, 1, 3, 1, 1000, 1001, 1, 1},       // both on their buses
        {3, 1, 0, 0, 70000, 70000, 1, 0},     // full stays full
        {0, 1, 0, 1, 1000, 1000, 0, 0},       // both off
        {3, 0, 3, 0, 3, 0, -1, -1},           // floors at 0
        {3, 0, 3, 0, 5, 1, -1, -1},           // a full step just above the floor
        {3, 0, 3, 1, 2, 0, -1, 1},            // also with one on battery
        {3, 0, 3, 1, 3, 1, -1, 1},
        {3, 0, 3, 1, 1, 0, -1, 1},
        {0, 0, 3, 1, 1000, 1001, 0, 1},       // INS 2 alone on its bus recharges
    };
    for (const auto& c : cases) {
        ins1_msu_knob = c.knob1, ins2_msu_knob = c.knob2, ins_batt_charge = c.before;
        elec_ess_ac_powered = c.ac1, elec_ac_bus2_powered = c.ac2;
        frames(1);
        EXPECT_EQ(ins_batt_charge, c.after) << c.before;
        EXPECT_EQ(ins1_power_src, c.src1);
        EXPECT_EQ(ins2_power_src, c.src2);
    }
}

TEST_F(MsuTest, BattLampLightsNineFramesAfterAPressOnlyWithDcEssential) {
    elec_ess_ac_powered = 1;
    for (u8 dc : {1, 0}) {
        dc_ess_powered = dc;
        EXPECT_TRUE(click(kMsu1, 170, 35));
        int lit = 0;
        for (int f = 0; f < 12; ++f) {
            frames(1);
            lit += !hidden(element(kMsu1, 3));
        }
        EXPECT_EQ(lit, dc ? 9 : 0);
    }
}

TEST_F(MsuTest, KnobClicks) {
    const struct { u8 from; i32 x; u32 event; u8 to; } cases[] = {
        {3, 20, MouseRightSingle, 2}, {3, 60, MouseRightSingle, 4}, {2, 20, MouseRightSingle, 2},
        {4, 60, MouseLeftSingle, 4},  {0, 20, MouseLeftSingle, 0},  {4, 20, MouseLeftSingle, 3},
        {0, 60, MouseLeftSingle, 1},  {1, 20, MouseLeftSingle, 0},
    };
    for (const auto& c : cases) {
        ins1_msu_knob = c.from;
        click(kMsu1, c.x, 20, c.event);
        EXPECT_EQ(ins1_msu_knob, c.to) << int(c.from) << " " << c.x;
    }
}

// OFF, then the knob one position a frame up to NAV, to ATT and back, then down to STBY: the
// mode follows it, the power-up counter starts at 50 (49 on the first frame) and runs down to 2,
// and the count goes on stepping.
TEST_F(MsuTest, KnobFromOffToNavAndAttModeCountersAndPowerUp) {
    for (int pass = 0; pass < 2; ++pass) {  // the second pass starts from a counter run down
        ins1_msu_knob = 0;
        frames(100);
        ASSERT_EQ(ins1_powered, 0);
        EXPECT_EQ(ins1_powerup_count, 0);
        // Knob; then the mode, ATT flag, counter and step timer flag after one frame, and the
        // counter 3.5 s on. NAV to ALIGN or ATT restarts the step timer.
        const struct { u8 knob, mode, att, count, timer, later; } steps[] = {
            {1, 1, 0, 90, 0, 90}, {2, 2, 0, 90, 0, 90}, {3, 3, 0, 90, 0, 89}, {4, 4, 1, 60, 0, 55},
            {3, 3, 0, 89, 1, 88}, {2, 2, 0, 88, 0, 87}, {1, 1, 0, 87, 1, 86},
        };
        u8 powerup = 49;
        for (const auto& s : steps) {
            ins1_msu_knob = s.knob;
            frames(1);
            EXPECT_EQ(ins1_mode, s.mode) << int(s.knob);
            EXPECT_EQ(ins1_att_mode, s.att) << int(s.knob);
            EXPECT_EQ(ins1_align_count, s.count) << int(s.knob);
            EXPECT_EQ(ins1_powerup_count, powerup) << int(s.knob);
            EXPECT_EQ(ins1_align_timer_set, s.timer) << int(s.knob);
            if (s.later != s.count) seconds(3.5);
            EXPECT_EQ(ins1_align_count, s.later) << int(s.knob);
            powerup = s.later != s.count ? 2 : u8(powerup - 1);
        }
    }
}

// Motion is the sum of the two velocity components beyond 1 either way; it puts an aligning
// unit's count at 91.
TEST_F(MsuTest, MotionBeyondOneHoldsTheCountAt91) {
    const struct { f64 vx, vz; bool motion; } cases[] = {
        {0.4, 0.4, false}, {0.6, 0.6, true}, {-0.6, -0.6, true}, {2.0, -1.5, false}, {1.0, 0.0, false},
    };
    for (const auto& c : cases) {
        ins1_msu_knob = ins1_mode = 1;
        ins1_align_count = 80;
        token(551, c.vx);
        token(552, c.vz);
        frames(1);
        EXPECT_EQ(ins1_align_count == 91, c.motion) << c.vx << " + " << c.vz;
    }
}

// While the CDU's WRN hold runs (lamp state 2) ALIGN and NAV renew the step timer, so the count
// stays at 91; STBY does not, and steps on.
TEST_F(MsuTest, ExcessMotionHoldKeepsTheCountInAlignAndNav) {
    const struct { u8 knob; u8 wrn; u8 after; } cases[] = {{2, 2, 91}, {3, 2, 91}, {1, 2, 90}, {2, 0, 90}};
    for (const auto& c : cases) {
        ins1_msu_knob = ins1_mode = c.knob;
        ins1_align_count = 91;
        ins1_align_timer_set = 0;
        ins1_wrn_lamp = c.wrn;
        seconds(4.0);
        EXPECT_EQ(ins1_align_count, c.after) << "knob " << int(c.knob) << " WRN " << int(c.wrn);
    }
}
