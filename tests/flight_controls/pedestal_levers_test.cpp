// The speed-brake lever with its automatic ground spoilers, the flap lever and the pitch trim
// wheels, through the host with its key-event model.
#include <cmath>
#include <limits>
#include <vector>

#include "electrical/state.h"
#include "flight_controls/fctl_keys.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "module/keys.h"
#include "sim_control/presets_keys.h"
#include "systems/systems_keys.h"
#include "tests/host_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
constexpr f64 kInf = std::numeric_limits<f64>::infinity();
constexpr u32 kOnGround = 60, kArmedTok = 324, kHandle = 325, kFlapsHandle = 328, kThrottle1 = 558, kN1 = 624;

const char* kSpd = "ketravin spd_brk_lev_kr60";
const char* kSpdBig = "ketravin spd_brk_lev_big_kr60";
// Small lever boxes: extend, retract, arm. Big lever: the same three.
constexpr i32 kExtendY = 70, kRetractY = 40, kArmY = 15;
constexpr i32 kBigX = 50, kBigExtendY = 250, kBigRetractY = 150, kBigArmY = 20;
// Chain positions: small lower, upper, armed image; big A, B, C, D, E, extended.
constexpr size_t kLower = 1, kUpper = 2, kArmedImage = 3;
constexpr size_t kA = 1, kB = 2, kC = 3, kD = 4, kE = 5, kExtendedImage = 6;

size_t count(const std::vector<KeyLogEntry>& keys, u32 id) {
    size_t n = 0;
    for (const KeyLogEntry& k : keys) n += k.id == id;
    return n;
}
}  // namespace

class SpeedBrake : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kSpd);
        host().window_set(panel_win_pedestal, true);
        host().window_set(panel_win_pedestal_big, true);
        power(true);
    }
    void power(bool on) {
        hyd_avail[2] = on ? 1 : 0;
        dc_ess_powered = on ? 1 : 0;
    }
    // Position keys sent since the last call; -1 where a click sent none.
    i64 last_set() {
        i64 v = -1;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == key_spoilers_set) v = k.value;
        return v;
    }
};

TEST_F(SpeedBrake, ExtendStepsSkipFourAndFiveThousandAndTheHandleShowsDeployed) {
    const i64 kSent[] = {1000, 2000, 3000, -1, -1, 6000, 7000, 8000, 9000, 10000,
                         11000, 12000, 13000, 14000, 15000, 16000, 16000};
    for (i64 want : kSent) {
        click(kSpd, 5, kExtendY);
        EXPECT_EQ(last_set(), want);
    }
    frames(1);  // the host's handle now reads 16000
    EXPECT_EQ(spd_brk_lever_pos, 16001);
    EXPECT_EQ(drawn(kSpd, kUpper).y, 48.0);
    EXPECT_EQ(drawn(kSpd, kLower).y, 43.0);
    click(kSpd, 5, kExtendY);
    EXPECT_EQ(last_set(), 16000);
    token(kHandle, 1.0);  // stowed by the host: back to 0 unarmed
    spd_brk_lever_pos = 16001;
    spd_brk_arm_state = 2;
    frames(1);
    EXPECT_EQ(spd_brk_lever_pos, 0);
    EXPECT_EQ(spd_brk_arm_state, 0);
}

TEST_F(SpeedBrake, WithoutSpoilerPowerClicksMoveTheLeverOnly) {
    for (int pass = 0; pass < 2; ++pass) {
        power(pass == 0 ? false : true);
        if (pass == 1) dc_ess_powered = 0;  // hydraulics alone is not power
        spd_brk_lever_pos = 0;
        click(kSpd, 5, kExtendY);
        click(kSpd, 5, kRetractY);
        click(kSpd, 5, kExtendY);
        EXPECT_EQ(spd_brk_lever_pos, 1000);
        click(kSpd, 5, kArmY);
        EXPECT_EQ(spd_brk_lever_pos, 0);
        EXPECT_EQ(spd_brk_arm_state, 0);
        EXPECT_TRUE(new_keys().empty());
    }
}

TEST_F(SpeedBrake, RetractWithTheHostArmedClearsOnlyTheHostArming) {
    place(kSpdBig);
    const struct { const char* gauge; i32 x, y; f64 ground, armed; i16 from, pos; u32 key; i64 value; } kCases[] = {
        {kSpd, 5, kRetractY, 1.0, 1.0, 5000, 0, key_spoilers_arm_toggle, 0},
        {kSpd, 5, kRetractY, 0.0, 1.0, 5000, 0, key_spoilers_arm_toggle, 0},
        {kSpd, 5, kRetractY, 0.0, 0.5, 5000, 0, key_spoilers_arm_toggle, 0},  // armed is any value above 0
        {kSpd, 5, kRetractY, 1.0, kNaN, 5000, 4000, 0, -1},                   // 4000 sends nothing
        {kSpd, 5, kRetractY, 1.0, 0.0, 500, 0, key_spoilers_set, 0},
        {kSpdBig, kBigX, kBigRetractY, 1.0, 1.0, 5000, 0, key_spoilers_arm_toggle, 0},
        {kSpdBig, kBigX, kBigRetractY, 0.0, 1.0, 7000, 6000, key_spoilers_set, 6000},  // in flight: steps
        {kSpdBig, kBigX, kBigRetractY, 0.5, 1.0, 7000, 6000, key_spoilers_set, 6000},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.gauge << " ground " << c.ground << " armed " << c.armed);
        token(kOnGround, c.ground);
        token(kArmedTok, c.armed);
        spd_brk_lever_pos = c.from;
        spd_brk_arm_state = 1;
        new_keys();
        click(c.gauge, c.x, c.y);
        EXPECT_EQ(spd_brk_lever_pos, c.pos);
        EXPECT_EQ(spd_brk_arm_state, 0);
        const auto keys = new_keys();
        ASSERT_EQ(keys.size(), c.key ? 1u : 0u);
        if (c.key) {
            EXPECT_EQ(keys[0].id, c.key);
            EXPECT_EQ(i64(keys[0].value), c.value);
            EXPECT_FALSE(keys[0].sent);
        }
    }
}

TEST_F(SpeedBrake, ArmPushArmsBelowTwoThousandAndFixesThePhaseFromExactFlags) {
    const struct { i16 pos; u8 state; f64 ground; i16 pos_after; u8 state_after, phase_after; } kCases[] = {
        {2000, 0, 1.0, 2000, 0, 0}, {1500, 0, 1.0, 0, 1, 1}, {999, 0, 0.0, 0, 1, 2},
        {0, 0, 0.5, 0, 1, 0},       {0, 0, kNaN, 0, 1, 0},   {0, 1, 1.0, 0, 0, 0}, {1000, 2, 0.0, 0, 0, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.pos << " state " << int(c.state) << " ground " << c.ground);
        spd_brk_lever_pos = c.pos;
        spd_brk_arm_state = c.state;
        spd_brk_arm_phase = c.state == 0 ? 0 : 1;  // unarmed bytes always come with no phase
        token(kOnGround, c.ground);
        click(kSpd, 5, kArmY);
        EXPECT_EQ(spd_brk_lever_pos, c.pos_after);
        EXPECT_EQ(spd_brk_arm_state, c.state_after);
        if (c.pos < 2000) {
            EXPECT_EQ(spd_brk_arm_phase, c.phase_after);
        }
    }
    EXPECT_TRUE(new_keys().empty()) << "the push sends nothing";
    click(kSpd, 5, kArmY);
    frames(1);
    EXPECT_FALSE(hidden(element(kSpd, kArmedImage))) << "armed lever image";
    EXPECT_TRUE(hidden(element(kSpd, kUpper)));
}

TEST_F(SpeedBrake, RejectedTakeOffDeploysOnceAfterTakeOffThrust) {
    const struct { f64 n1, throttle, ground; bool deploys; } kCases[] = {
        {86.0, 0.5, 1.0, true}, {90.0, 0.59, 1.0, true}, {85.0, 0.6, 1.0, false},
        {84.9, 0.5, 1.0, false}, {kNaN, 0.0, 1.0, false}, {86.0, kNaN, 1.0, false}, {kInf, 0.0, 1.0, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::Message() << "N1 " << c.n1 << " throttle " << c.throttle);
        token(kOnGround, c.ground);
        token(kHandle, 0.0);
        spd_brk_lever_pos = 0;
        spd_brk_arm_state = 0;
        spd_brk_peak_n1 = 0;
        click(kSpd, 5, kArmY);
        ASSERT_EQ(spd_brk_arm_phase, 1);
        token(kThrottle1, 0.95);
        token(kN1, c.n1);
        frames(2);
        token(kThrottle1, c.throttle);
        new_keys();
        frames(5);
        const auto keys = new_keys();
        EXPECT_EQ(count(keys, key_spoilers_event_10210), c.deploys ? 1u : 0u);
        EXPECT_EQ(spd_brk_arm_state, c.deploys ? 2 : 1);
        if (c.deploys) {
            EXPECT_TRUE(keys[0].sent);
            EXPECT_EQ(spd_brk_lever_pos, 16001);
            EXPECT_EQ(spd_brk_peak_n1, 0u);
        }
    }
}

TEST_F(SpeedBrake, ArmedInFlightDeploysOnEveryGroundFrameUntilDisarmed) {
    token(kOnGround, 0.0);
    click(kSpd, 5, kArmY);
    frames(3);
    EXPECT_EQ(count(new_keys(), key_spoilers_event_10210), 0u);
    token(kOnGround, 0.5);  // neither on the ground nor in flight
    frames(3);
    EXPECT_EQ(count(new_keys(), key_spoilers_event_10210), 0u);
    token(kOnGround, 1.0);
    frames(4);
    EXPECT_EQ(count(new_keys(), key_spoilers_event_10210), 4u);
    EXPECT_EQ(spd_brk_lever_pos, 16001);
    click(kSpd, 5, kExtendY);  // any step disarms
    frames(4);
    EXPECT_EQ(count(new_keys(), key_spoilers_event_10210), 0u);
}

TEST_F(SpeedBrake, BigFullPullOnTheGroundArmsAndDeploysAtOnceWithTheThrottleBack) {
    place(kSpdBig);
    token(kOnGround, 1.0);
    token(kThrottle1, 0.3);
    spd_brk_lever_pos = 16000;
    click(kSpdBig, kBigX, kBigExtendY);
    EXPECT_EQ(spd_brk_lever_pos, 16380);
    EXPECT_EQ(spd_brk_arm_state, 1);
    EXPECT_EQ(spd_brk_peak_n1, 86u);
    EXPECT_EQ(last_set(), 16380);
    frames(1);
    EXPECT_EQ(count(new_keys(), key_spoilers_event_10210), 1u);
    EXPECT_EQ(spd_brk_arm_state, 2);
    token(kOnGround, 0.0);  // in flight the pull past the last step gives the stop
    click(kSpdBig, kBigX, kBigExtendY);
    EXPECT_EQ(spd_brk_lever_pos, 16000);
    EXPECT_EQ(spd_brk_arm_state, 0);
}

TEST_F(SpeedBrake, BigLeverDrawsFrontRearOrExtended) {
    host().remove(gauge(kSpd));  // draw the shared bytes as set, with no small lever moving them
    place(kSpdBig);
    const struct { u8 state; f64 armed, handle; i16 pos; bool front, rear, extended; f64 a, b, c, d, e; } kCases[] = {
        {0, 0.0, 1.0, 5000, true, false, false, 0, 0, 0, 0, 0},       // handle stowed: at rest
        {0, 0.0, 5000, 5000, true, false, false, 18.75, 18.75, 0, 0, 0},
        {0, 0.0, 12000, 12000, false, true, false, 18.75, 18.75, 15, 22.5, 30},
        {1, 0.0, 0.0, 0, false, true, false, 0, -11, 15, 22.5, 30},    // armed: images as left
        {0, 1.0, 16383, 16001, false, false, true, 0, -11, 15, 22.5, 30},
        {2, 0.0, kNaN, 3000, false, false, true, 0, -11, 15, 22.5, 30},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::Message() << "pos " << c.pos << " handle " << c.handle);
        spd_brk_arm_state = c.state;
        spd_brk_lever_pos = c.pos;
        token(kArmedTok, c.armed);
        token(kHandle, c.handle);
        frames(1);
        EXPECT_EQ(!hidden(element(kSpdBig, kA)), c.front);
        EXPECT_EQ(!hidden(element(kSpdBig, kC)), c.rear);
        EXPECT_EQ(!hidden(element(kSpdBig, kExtendedImage)), c.extended);
        const f64 want[] = {c.a, c.b, c.c, c.d, c.e};
        for (size_t p = kA; p <= kE; ++p) EXPECT_DOUBLE_EQ(drawn(kSpdBig, p).y, want[p - kA]) << p;
    }
}

class FlapLever : public HostTest {
protected:
    const char* kSmall = "ketravin flaps_lev_kr60";
    const char* kBig = "ketravin flaps_lev_big_kr60";
    void SetUp() override {
        HostTest::SetUp();
        place(kSmall);
        place(kBig);
        host().window_set(panel_win_pedestal_big, true);
    }
    // The one lever image the big copy shows: 0 last, 1 third, 2 second, 3 sliding.
    int big_image() {
        int shown = -1;
        for (int i = 0; i < 4; ++i)
            if (!hidden(element(kBig, size_t(1 + i)))) shown = shown == -1 ? i : 9;
        return shown;
    }
};

TEST_F(FlapLever, UnpoweredStepsNineteenAndTheHostStaysPut) {
    const struct { bool up; u8 frame; } kClicks[] = {{true, 19},  {true, 38},  {true, 57},  {true, 77}, {true, 77},
                                                     {false, 58}, {false, 39}, {false, 20}, {false, 1}, {false, 0},
                                                     {false, 0}};
    hyd_avail[1] = 1;  // hydraulics without DC essential is no power
    for (const auto& c : kClicks) {
        c.up ? click(kSmall, 5, 60) : click(kBig, 5, 5);
        frames(1);
        EXPECT_EQ(flap_lever_frame, c.frame);
    }
    EXPECT_TRUE(new_keys().empty());
    flap_lever_frame = 200;
    frames(1);
    EXPECT_EQ(flap_lever_frame, 77);
}

TEST_F(FlapLever, PoweredFollowsTheHandleWithinItsTravel) {
    hyd_avail[2] = 1;
    dc_ess_powered = 1;
    click(kSmall, 5, 60);
    const auto keys = new_keys();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].id, key_flaps_incr);
    EXPECT_EQ(flap_lever_frame, 0) << "the image waits for the host's handle";
    const struct { f64 handle; u8 frame; int image; } kCases[] = {
        {0.0, 0, 3},     {7880.0, 36, 3},  {7881.0, 37, 2}, {11928.0, 56, 1}, {16188.0, 76, 0},
        {16383.0, 76, 0}, {-5461.0, 0, 3}, {kNaN, 0, 3},    {1e300, 77, 0},   {kInf, 77, 0}, {-kInf, 0, 3},
    };
    for (const auto& c : kCases) {
        token(kFlapsHandle, c.handle);
        frames(2);
        EXPECT_EQ(flap_lever_frame, c.frame) << c.handle;
        EXPECT_EQ(big_image(), c.image) << c.handle;
    }
    click(kBig, 5, 5);
    EXPECT_EQ(new_keys().at(0).id, key_flaps_decr);
}

class TrimWheels : public HostTest {
protected:
    const char* kWheel1 = "ketravin trim_1_big_kr60";
    const char* kWheel2 = "ketravin trim_2_big_kr60";
    static constexpr size_t kSecondImage = 2, kPointer = 3;
    void SetUp() override {
        HostTest::SetUp();
        place(kWheel1);
        place(kWheel2);
        host().window_set(panel_win_pedestal_big, true);
    }
    void trim(f64 deg) {
        fctl_pitch_trim_deg = deg;
        frames(1);
    }
};

TEST_F(TrimWheels, PointerPiecesAndTheOffScaleHide) {
    const struct { f64 deg; f32 px; } kCases[] = {
        {1.0, 24.0f},     {2.0, 45.0f},      {3.0, 63.99f}, {0.5, 12.0f},  {-1.0, -27.0f},
        {-1.001, -26.5f}, {-2.0, -54.06f},   {-2.001, -50.0f}, {-3.0, -79.275f}, {-3.5, -76.0f}, {3.9, 75.85f},
    };
    for (const auto& c : kCases) {
        trim(c.deg);
        EXPECT_NEAR(trim_wheel_needle, c.px, 0.06f) << c.deg;
        EXPECT_FALSE(hidden(element(kWheel1, kPointer)));
        EXPECT_FALSE(hidden(element(kWheel2, kPointer)));
        EXPECT_EQ(drawn(kWheel2, kPointer).y, f64(trim_wheel_needle));
    }
    trim(-3.0);
    EXPECT_EQ(trim_wheel_needle, f32(-79.275));
    for (f64 off : {3.91, 1e300, kInf}) {
        trim(off);
        EXPECT_TRUE(hidden(element(kWheel1, kPointer)) && hidden(element(kWheel2, kPointer))) << off;
        EXPECT_EQ(trim_wheel_needle, f32(-79.275)) << "kept while off scale";
    }
}

TEST_F(TrimWheels, WheelsTurnOnceForEachWholeDegreeAndIgnoreNonNumbers) {
    const struct { f64 deg; u8 phase; f32 needle; } kSteps[] = {
        {0.2, 0, 4.8f},  {0.9, 0, 21.6f},  {1.1, 1, 26.235f}, {1.9, 1, 43.035f}, {0.5, 0, 12.0f},
        {-0.5, 0, -13.5f}, {-1.2, 1, -31.927f}, {kNaN, 1, -31.927f}, {-kInf, 1, -31.927f}, {-1.5, 1, -40.1475f},
        {-1e300, 0, -76.0f},
    };
    for (const auto& s : kSteps) {
        trim(s.deg);
        EXPECT_EQ(trim_wheel_phase, s.phase) << s.deg;
        EXPECT_NEAR(trim_wheel_needle, s.needle, 0.01f) << s.deg;
        EXPECT_EQ(hidden(element(kWheel1, kSecondImage)), s.phase == 0);
        EXPECT_EQ(hidden(element(kWheel2, kSecondImage)), s.phase == 0);
    }
}

TEST_F(TrimWheels, ClicksTrimOnlyWithSomeHydraulics) {
    for (u8 lost : {0, 1}) {
        hyd_all_lost = lost;
        click(kWheel1, 5, 130);
        click(kWheel2, 5, 5);
        const auto keys = new_keys();
        if (lost) {
            EXPECT_TRUE(keys.empty());
            continue;
        }
        ASSERT_EQ(keys.size(), 2u);
        EXPECT_EQ(keys[0].id, key_elev_trim_up);
        EXPECT_EQ(keys[1].id, key_elev_trim_dn);
    }
}
