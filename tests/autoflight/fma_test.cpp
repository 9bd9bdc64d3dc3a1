// The flight mode annunciator through the headless host: which legends light for which mode
// bytes, the lamp test and power, the TH.OFF flash against the tick clock, and the THR OFF
// acknowledgement by the engine 1 throttle.
#include <cmath>
#include <set>
#include <string>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

namespace {
const char* kFma = "ketravin idpp_kr60";
constexpr u32 kTick = 1, kApEngaged = 103, kAxis1 = 128;
// Chain positions: the field at 0, then the lamps.
enum Lamp {
    ThOff = 1, Roll, Cmd, Pitch, Turb, SpdS, Bb, HdgS, Alt, AltAGreen, AltAAmber, N1, VlAmber, VlGreen, GsGreen,
    GsAmber, Ias, LandAAmber, LandAGreen, Flare, Rlout, GoA, App1, App2, Lan2, Lan3, Align, NavLeft, NavRight,
    kLast = NavRight
};
}  // namespace

class Fma : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kFma);
        dc_ess_powered = 1;
    }
    std::set<int> lit() {
        std::set<int> s;
        for (int p = ThOff; p <= kLast; ++p)
            if (!hidden(element(kFma, size_t(p)))) s.insert(p);
        return s;
    }
    bool thoff_lit() { return !hidden(element(kFma, ThOff)); }
};

TEST_F(Fma, LampTestLightsAllTwentyNineOnlyWithDcEssential) {
    light_lamp_test = 1;
    frames(1);
    EXPECT_EQ(lit().size(), 29u);
    dc_ess_powered = 0;
    frames(1);
    EXPECT_TRUE(lit().empty());
    light_lamp_test = 0;
    dc_ess_powered = 1;
    frames(1);
    EXPECT_TRUE(lit().empty());
}

// Each case starts from every byte at 0 and sets its own.
struct Modes {
    const char* what;
    void (*set)();
    std::set<int> lit;
};
const Modes kModes[] = {
    {"approach 11", [] { ap_approach_state = 11; }, {App1, VlAmber, GsAmber}},
    {"approach 21 beam captured", [] { ap_approach_state = 21; fd_vl_captured = 1; }, {App2, VlGreen, GsAmber}},
    {"glide slope approaching", [] { ap_approach_state = 20; fd_gs_capture_state = 1; }, {App2, VlAmber, GsGreen}},
    {"LAND armed", [] { ap_approach_state = 30; }, {Lan2, LandAAmber, VlAmber, GsAmber}},
    {"LAND engaged", [] { ap_approach_state = 30; ap_land_engaged = 1; fd_vl_captured = 1; }, {Lan2, LandAGreen}},
    {"dual LAND", [] { ap_approach_state = 40; ap_land_engaged = 1; }, {Lan3, LandAGreen}},
    {"V/L alone captured", [] { ap_vl_mode = 1; fd_vl_captured = 1; }, {VlGreen}},
    {"V/L at 2 is not on", [] { ap_vl_mode = 2; }, {}},
    {"ALT A. 25", [] { ap_alt_mode = 25; }, {AltAGreen}},
    {"ALT A. 1", [] { ap_alt_mode = 1; }, {AltAAmber}},
    {"ALT 4", [] { ap_alt_mode = 4; }, {Alt}},
    {"PITCH under TURB", [] { ap_pitch_mode = 1; ap_turb_mode = 1; }, {Turb}},
    {"PITCH under TURB, FD pitch hold", [] { ap_pitch_mode = ap_turb_mode = fd_pitch_hold = 1; }, {Turb, Pitch}},
    {"NAV 3", [] { ap_nav_mode = 3; }, {NavLeft}},
    {"NAV 2", [] { ap_nav_mode = 2; }, {NavRight}},
    {"CMD follows the host, not the panel", [] { ap_cmd_engaged = 1; }, {}},
    {"modes", [] { ap_roll_mode = ap_bb_mode = ap_hdg_select_mode = ap_ias_mode = ap_flare_mode = 1; },
     {Roll, Bb, HdgS, Ias, Flare}},
    {"autothrottle", [] { ats_spd_mode = ats_n1_mode = ap_rollout_mode = ap_go_around_mode = 1; },
     {SpdS, N1, Rlout, GoA}},
};
void PrintTo(const Modes& m, std::ostream* os) { *os << m.what; }
class FmaModes : public Fma, public ::testing::WithParamInterface<Modes> {};

TEST_P(FmaModes, LightExactlyTheirLegends) {
    GetParam().set();
    frames(1);
    EXPECT_EQ(lit(), GetParam().lit);
}
INSTANTIATE_TEST_SUITE_P(Table, FmaModes, ::testing::ValuesIn(kModes),
                         [](const ::testing::TestParamInfo<Modes>& i) { return std::to_string(i.index); });

TEST_F(Fma, CmdLampReadsTheHostFlagExactly) {
    for (const auto& c : {std::pair<f64, bool>{1.0, true}, {0.0, false}, {0.999, false}, {f64(NAN), false}}) {
        token(kApEngaged, c.first);
        frames(1);
        EXPECT_EQ(!hidden(element(kFma, Cmd)), c.second) << c.first;
    }
}

// A tripped SPD: cleared in the first frame, one flash of 80 ticks, lit 4 and dark 4.
TEST_F(Fma, SpdTripGivesOneEightyTickFlash) {
    for (f64 fps : {18.0, 10.0, 60.0}) {
        SCOPED_TRACE(fps);
        host().set_fps(fps);
        ats_spd_mode = 2;
        frames(1);
        EXPECT_EQ(ats_spd_mode, 0);
        ASSERT_EQ(fma_thoff_flashing, 1);
        const f64 start = fma_thoff_start_tick;
        while (fma_thoff_flashing == 1 && host().token(kTick) < start + 200) {
            const f64 elapsed = host().token(kTick) - start;
            const bool lit_phase = std::fmod(elapsed, 8.0) < 4.0;
            // Below 18 fps ticks are skipped and each cycle starts on the tick a frame saw.
            if (fps >= 18.0) {
                EXPECT_EQ(thoff_lit(), lit_phase) << elapsed;
            }
            frames(1);
        }
        const f64 ended = host().token(kTick) - start;
        EXPECT_GE(ended, 80.0);
        EXPECT_LT(ended, 82.0);
        EXPECT_FALSE(thoff_lit());
        frames(20);
        EXPECT_EQ(fma_thoff_flashing, 0) << "no second run";
    }
}

TEST_F(Fma, FlashEndsWhenTheClockJumpsPastItsEndOrBack) {
    for (f64 jump : {200.0, 81.0}) {
        ats_spd_mode = 2;
        frames(1);
        token(kTick, host().token(kTick) + jump);
        frames(1);
        EXPECT_EQ(fma_thoff_flashing, 0) << jump;
        EXPECT_FALSE(thoff_lit()) << jump;
    }
    expect_timer_survives_clock_jumps(host(), JumpTimer{"TH.OFF flash", 80.0 / 18.0, [&] {
                                                            ats_spd_mode = 2;
                                                            frames(1);
                                                        },
                                                        [] { return fma_thoff_flashing == 0; }});
}

// Axis movements against the saved reference: beyond 2 units either way acknowledges.
TEST_F(Fma, ThrOffAcknowledgedOnlyPastTwoAxisUnits) {
    const struct { i32 ref; f64 axis; bool ack; } cases[] = {
        {0, 0.0, false},      {0, 2.0, false},     {0, 3.0, true},       {1, -1.0, false},
        {1, -1.5, true},      {1000, 998.0, false}, {1000, 997.9, true}, {1000, 1002.0, false},
        {1000, 1002.1, true}, {-200, -203.0, true}, {0, f64(NAN), false}, {16383, 1e300, true},
    };
    for (const auto& c : cases) {
        ats_arm_state = 2;
        ats_thr_off_latched = 1;
        ats_thr_off_ref = c.ref;
        warn_thr_off = 1;
        token(kAxis1, c.axis);
        frames(1);
        EXPECT_EQ(warn_thr_off, c.ack ? 0 : 1) << c.ref << " axis " << c.axis;
        EXPECT_EQ(ats_arm_state, c.ack ? 0 : 2) << c.ref << " axis " << c.axis;
        EXPECT_EQ(ats_thr_off_ref, c.ack ? 65000 : c.ref);
        EXPECT_EQ(ats_thr_off_latched, c.ack ? 0 : 1);
    }
}

TEST_F(Fma, DisconnectFlashesRunAfterRunAndAcknowledgementWorksWithoutPower) {
    ats_arm_state = 2;
    ats_thr_off_latched = 1;
    ats_thr_off_ref = 500;
    token(kAxis1, 500.0);
    frames(100);
    EXPECT_EQ(fma_thoff_flashing, 1) << "a second run follows the first";
    dc_ess_powered = 0;
    frames(1);
    EXPECT_EQ(fma_thoff_flashing, 0);
    EXPECT_FALSE(thoff_lit());
    token(kAxis1, 600.0);
    frames(1);
    EXPECT_EQ(ats_arm_state, 0);
    EXPECT_EQ(warn_thr_off, 0);
    dc_ess_powered = 1;
    frames(1);
    EXPECT_EQ(fma_thoff_flashing, 0) << "nothing left to flash for";
}
