// The speed-brake lever with its automatic ground spoilers, the flap lever and the pitch trim
// wheels, through the host with its key-event model.
#include <limits>
#include <vector>

#include "electrical/state.h"
#include "flight_controls/fctl_keys.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "module/keys.h"
#include "sim_control/presets_keys.h"
#include "systems/systems_keys.h"
#include "tests/panel_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
constexpr u32 kOnGround = 60, kArmedTok = 324, kHandle = 325, kFlapsHandle = 328, kThrottle1 = 558, kN1 = 624;
const char* kSpd = "ketravin spd_brk_lev_kr60";
const char* kSpdBig = "ketravin spd_brk_lev_big_kr60";
constexpr i32 kExtendY = 70, kRetractY = 40, kArmY = 15, kBigX = 50, kBigExtendY = 250, kBigRetractY = 150;
constexpr size_t kLower = 1, kUpper = 2, kA = 1, kC = 3, kE = 5, kExtendedImage = 6;
}  // namespace

class SpeedBrake : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kSpd);
        host().window_set(panel_win_pedestal, true);
        host().window_set(panel_win_pedestal_big, true);
        hyd_avail[2] = dc_ess_powered = 1;
    }
};

TEST_F(SpeedBrake, ExtendStepsSkipFourAndFiveThousandAndTheHandleShowsDeployed) {
    const std::vector<i64> kSent = {1000,  2000,  3000,  -1,    -1,    6000,  7000,  8000, 9000,
                                    10000, 11000, 12000, 13000, 14000, 15000, 16000, 16000};
    std::vector<i64> got;
    for (size_t i = 0; i < kSent.size(); ++i) {
        click(kSpd, 5, kExtendY);
        const auto keys = new_keys();  // one position set, or nothing (-1)
        got.push_back(keys.size() == 1 && keys[0].id == key_spoilers_set ? i64(keys[0].value) : -1);
    }
    EXPECT_EQ(got, kSent);
    frames(1);  // the host's handle now reads 16000
    EXPECT_EQ(spd_brk_lever_pos, 16001);
    EXPECT_EQ(drawn(kSpd, kUpper).y, 48.0);
    EXPECT_EQ(drawn(kSpd, kLower).y, 43.0);
    token(kHandle, 1.0), spd_brk_arm_state = 2;  // stowed by the host: back to 0 unarmed
    frames(1);
    EXPECT_EQ(spd_brk_lever_pos + spd_brk_arm_state, 0);
    // The upper image's offset is truncated: 50 px at the big lever's full pull, 49 one short.
    for (const auto& [pos, upper] : {std::pair{i16(16380), 50.0}, {i16(16379), 49.0}}) {
        spd_brk_lever_pos = pos;
        frames(1);
        EXPECT_EQ(drawn(kSpd, kUpper).y, upper) << pos;
    }
}

TEST_F(SpeedBrake, RetractAndArmPushFollowTheExactFlags) {
    place(kSpdBig);
    // Retract clicks: with the host armed (any value above 0) only the arming is cleared, on the
    // big lever only on the ground.
    const struct { const char* g; i32 x, y; f64 ground, armed; i16 from, pos; u32 key; } kRetracts[] = {
        {kSpd, 5, kRetractY, 0.0, 0.5, 5000, 0, key_spoilers_arm_toggle},
        {kSpd, 5, kRetractY, 1.0, kNaN, 5000, 4000, 0},  // 4000 sends nothing
        {kSpd, 5, kRetractY, 1.0, 0.0, 500, 0, key_spoilers_set},
        {kSpdBig, kBigX, kBigRetractY, 1.0, 1.0, 5000, 0, key_spoilers_arm_toggle},
        {kSpdBig, kBigX, kBigRetractY, 0.5, 1.0, 7000, 6000, key_spoilers_set},
    };
    for (const auto& c : kRetracts) {
        token(kOnGround, c.ground), token(kArmedTok, c.armed);
        spd_brk_lever_pos = c.from, spd_brk_arm_state = 1;
        click(c.g, c.x, c.y);
        EXPECT_EQ(spd_brk_lever_pos, c.pos) << c.g << " " << c.ground;
        EXPECT_EQ(spd_brk_arm_state, 0);
        const auto keys = new_keys();
        ASSERT_EQ(keys.size(), c.key ? 1u : 0u);
        if (c.key) {
            EXPECT_EQ(keys[0].id, c.key);
            EXPECT_EQ(keys[0].value, c.key == key_spoilers_set ? u32(c.pos) : 0u) << "the arming toggle carries 0";
        }
    }
    const struct { i16 pos; u8 state, power; f64 ground; i16 pos_after; u8 state_after, phase; } kPushes[] = {
        {2000, 0, 1, 1.0, 2000, 0, 0}, {1500, 0, 1, 1.0, 0, 1, 1}, {999, 0, 1, 0.0, 0, 1, 2},
        {0, 0, 1, 0.5, 0, 1, 0},       {1000, 0, 0, 1.0, 0, 0, 0}, {1000, 2, 1, 0.0, 0, 0, 0},
    };
    for (const auto& c : kPushes) {
        spd_brk_lever_pos = c.pos, spd_brk_arm_state = c.state, spd_brk_arm_phase = c.state ? 2 : 0;
        dc_ess_powered = c.power, token(kOnGround, c.ground);
        click(kSpd, 5, kArmY);
        EXPECT_EQ(spd_brk_lever_pos, c.pos_after) << c.pos << " " << c.ground;
        EXPECT_EQ(spd_brk_arm_state, c.state_after) << c.pos << " " << c.ground;
        EXPECT_EQ(spd_brk_arm_phase, c.phase) << c.pos << " " << c.ground;
        frames(1);  // armed: the armed image instead of both lever images
        EXPECT_EQ(lamps(kSpd, kLower, 3), c.state_after == 1 ? "001" : "110") << c.pos << " " << c.ground;
    }
    EXPECT_TRUE(new_keys().empty()) << "the push sends nothing";
}

TEST_F(SpeedBrake, RejectedTakeOffDeploysOnceAfterTakeOffThrust) {
    const struct { f64 n1, throttle; bool deploys; } kCases[] = {
        {86, 0.5, true}, {90, 0.59, true}, {85, 0.5, true}, {85, 0.6, false}, {84.9, 0.5, false}, {kNaN, 0, false},
        {86, kNaN, false}, {kInf, 0.5, false}};  // an infinite N1 is no peak
    token(kOnGround, 1.0);
    for (const auto& c : kCases) {
        token(kHandle, 0.0), spd_brk_lever_pos = spd_brk_arm_state = 0, spd_brk_peak_n1 = 0;
        click(kSpd, 5, kArmY);
        token(kThrottle1, 0.95), token(kN1, c.n1);
        frames(2);
        token(kThrottle1, c.throttle);
        new_keys();
        frames(5);
        i32 value = -1;
        EXPECT_EQ(sent(key_spoilers_event_10210, &value), c.deploys ? 1u : 0u) << c.n1 << " " << c.throttle;
        EXPECT_EQ(value, c.deploys ? 0 : -1);
        EXPECT_EQ(spd_brk_arm_state, c.deploys ? 2 : 1);
        EXPECT_TRUE(!c.deploys || spd_brk_lever_pos == 16001) << spd_brk_lever_pos;
    }
}

TEST_F(SpeedBrake, ArmedInFlightDeploysOnEveryGroundFrameUntilDisarmed) {
    const struct { f64 ground; int click; size_t events; } kSteps[] = {
        {0, kArmY, 0}, {0.5, 0, 0}, {1, 0, 4}, {1, kExtendY, 0}};
    for (const auto& s : kSteps) {
        token(kOnGround, s.ground);
        if (s.click) click(kSpd, 5, s.click);
        frames(4);
        EXPECT_EQ(sent(key_spoilers_event_10210), s.events) << s.ground;
    }
}

TEST_F(SpeedBrake, BigLeverFullPullArmsOnTheGroundAndDrawsFrontRearOrExtended) {
    place(kSpdBig);
    token(kOnGround, 1.0), token(kThrottle1, 0.3);
    spd_brk_lever_pos = 0, spd_brk_arm_state = 1, spd_brk_arm_phase = 1;  // a step on the ground disarms
    spd_brk_peak_n1 = 50;
    click(kSpdBig, kBigX, kBigExtendY);
    EXPECT_EQ(spd_brk_lever_pos * 10 + spd_brk_arm_state + spd_brk_arm_phase + spd_brk_peak_n1, 10000u);
    spd_brk_lever_pos = 15000;  // 15000 is still a step, to the stop and unarmed
    click(kSpdBig, kBigX, kBigExtendY);
    EXPECT_EQ(spd_brk_lever_pos, 16000);
    EXPECT_EQ(spd_brk_arm_state, 0);
    click(kSpdBig, kBigX, kBigExtendY);
    EXPECT_EQ(spd_brk_lever_pos, 16380);
    EXPECT_EQ(spd_brk_peak_n1, 86u);
    frames(1);  // the small lever deploys at once with the throttle back
    EXPECT_EQ(sent(key_spoilers_event_10210), 1u);
    host().remove(gauge(kSpd));  // from here the shared bytes as set, with no small lever moving them
    const struct { u8 state; f64 armed, handle; i16 pos; bool front, rear, ext; f64 a, b, c, d, e; } kCases[] = {
        {0, 0.0, 1.0, 5000, true, false, false, 0, 0, 0, 0, 0},  // handle stowed: at rest
        {0, 0.0, 5000, 5000, true, false, false, 18.75, 18.75, 0, 0, 0},
        {0, 0.0, 12000, 8000, false, true, false, 18.75, 18.75, 0, 0, 0},  // 8000 is the rear's
        {0, 0.0, 12000, 12000, false, true, false, 18.75, 18.75, 15, 22.5, 30},
        {1, 0.0, 0.0, 0, false, true, false, 0, -11, 15, 22.5, 30},  // armed: images as left
        {1, 0.0, 15999, 0, false, true, false, 0, -11, 15, 22.5, 30},
        {1, 0.0, 16000, 0, false, false, true, 0, -11, 15, 22.5, 30},  // the handle out: extended
        {0, 1.0, 16383, 16001, false, false, true, 0, -11, 15, 22.5, 30},
        {0, 0.0, 12000, 12000, false, true, false, 0, -11, 15, 22.5, 30},  // unarmed: extended goes
        {1, 0.0, 16000, 0, false, false, true, 0, -11, 15, 22.5, 30},
        {0, 0.0, 5000, 5000, true, false, false, 18.75, 18.75, 15, 22.5, 30},
    };
    for (const auto& c : kCases) {
        spd_brk_arm_state = c.state, spd_brk_lever_pos = c.pos;
        token(kArmedTok, c.armed), token(kHandle, c.handle);
        frames(1);
        EXPECT_EQ(shown(kSpdBig, kA), c.front) << c.pos;
        EXPECT_EQ(shown(kSpdBig, kC), c.rear) << c.pos;
        EXPECT_EQ(shown(kSpdBig, kExtendedImage), c.ext) << c.pos;
        const f64 want[] = {c.a, c.b, c.c, c.d, c.e};
        for (size_t p = kA; p <= kE; ++p) EXPECT_DOUBLE_EQ(drawn(kSpdBig, p).y, want[p - kA]) << c.pos << " " << p;
    }
}

class PedestalControls : public PanelTest {
protected:
    const char* kFlaps = "ketravin flaps_lev_kr60";
    const char* kFlapsBig = "ketravin flaps_lev_big_kr60";
    const char* kWheel[2] = {"ketravin trim_1_big_kr60", "ketravin trim_2_big_kr60"};
    void SetUp() override {
        PanelTest::SetUp();
        for (const char* g : {kFlaps, kFlapsBig, kWheel[0], kWheel[1]}) place(g);
        host().window_set(panel_win_pedestal_big, true);
    }
    // Where a slider is drawn: its place plus its scale times the value it was last drawn with.
    f64 slider_top(const char* g, size_t pos) {
        const auto* s = reinterpret_cast<const SliderElement*>(element(g, pos));
        return s->head.y + s->scale_y * drawn(g, pos).y;
    }
    // The one lever image the big flap lever shows: 0 last, 1 third, 2 second, 3 sliding.
    int flaps_image() {
        int image = -1;
        for (int i = 0; i < 4; ++i)
            if (shown(kFlapsBig, size_t(1 + i))) image = image == -1 ? i : 9;
        return image;
    }
};

TEST_F(PedestalControls, UnpoweredFlapsStepNineteenPoweredFollowTheHandle) {
    const struct { bool up; u8 frame; } kClicks[] = {{true, 19}, {true, 38}, {true, 57}, {true, 77}, {true, 77},
                                                     {false, 58}, {false, 39}, {false, 20}, {false, 1}, {false, 0}};
    hyd_avail[1] = 1;  // without DC essential: no flap power
    for (const auto& c : kClicks) {
        c.up ? click(kFlaps, 5, 60) : click(kFlapsBig, 5, 5);
        frames(1);
        EXPECT_EQ(flap_lever_frame, c.frame);
    }
    EXPECT_TRUE(new_keys().empty());
    flap_lever_frame = 200;  // a frame past the last, written from outside: back on the last
    frames(1);
    EXPECT_EQ(flap_lever_frame, 77);
    dc_ess_powered = 1;
    click(kFlaps, 5, 60);
    click(kFlapsBig, 5, 5);
    const auto keys = new_keys();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_TRUE(keys[0].id == key_flaps_incr && keys[0].value == 0 && !keys[0].sent);
    EXPECT_TRUE(keys[1].id == key_flaps_decr && keys[1].value == 0 && !keys[1].sent);
    const struct { f64 handle; u8 frame; int image; } kCases[] = {
        {7880, 36, 3}, {7881, 37, 2}, {11928, 56, 1}, {16187, 75, 1}, {16383, 76, 0}, {kNaN, 76, 0},  // stands
        {-5461, 0, 3}, {kNaN, 0, 3},
        {1e300, 77, 0},
    };
    for (const auto& c : kCases) {
        token(kFlapsHandle, c.handle);
        frames(2);
        EXPECT_EQ(flap_lever_frame, c.frame) << c.handle;
        EXPECT_EQ(flaps_image(), c.image) << c.handle;
    }
    token(kFlapsHandle, 8400);  // left at 39 when the power goes: past 38 an up click ends the slot
    frames(2);
    EXPECT_EQ(flap_lever_frame, 39);
    dc_ess_powered = 0;
    click(kFlaps, 5, 60);
    EXPECT_EQ(flap_lever_frame, 77);
}

TEST_F(PedestalControls, TrimPointerSegmentsWheelTurnsAndNonNumbers) {
    const struct { f64 deg; f32 px; u8 phase; bool off_scale; } kSteps[] = {
        {1, 24, 1, false},         {2, 45, 0, false},          {3, 63.99f, 1, false},         {0.5, 12, 0, false},
        {-0.5, -13.5f, 0, false},  {-1, -27, 1, false},        {-1.001, -26.527f, 1, false},  {-2, -54.06f, 0, false},
        {-2.001, -50.028f, 0, false}, {-3, -79.275f, 1, false}, {kNaN, -79.275f, 1, false},   {3.91, -79.275f, 0, true},
        {3.85, 75.2799f, 0, false},  {-3.5, -76, 1, false},     {-1e300, -76, 0, false},
    };
    for (const auto& s : kSteps) {
        fctl_pitch_trim_deg = s.deg;
        frames(1);
        EXPECT_NEAR(trim_wheel_needle, s.px, 0.001f) << s.deg;
        EXPECT_EQ(trim_wheel_phase, s.phase) << s.deg;
        for (const char* w : kWheel) {
            EXPECT_EQ(hidden(element(w, 2)), s.phase == 0) << w << " " << s.deg;
            EXPECT_EQ(hidden(element(w, 3)), s.off_scale) << w << " " << s.deg;
        }
        EXPECT_EQ(drawn(kWheel[1], 3).y, f64(trim_wheel_needle));
        for (const char* w : kWheel) EXPECT_EQ(slider_top(w, 3), 99.0 - f64(trim_wheel_needle)) << "up for nose up";
    }
    for (u8 lost : {1, 0}) {
        hyd_all_lost = lost;
        click(kWheel[0], 5, 130);
        click(kWheel[1], 5, 5);
    }
    const auto keys = new_keys();
    ASSERT_EQ(keys.size(), 2u) << "nothing with all hydraulics lost";
    EXPECT_EQ(keys[0].id, key_elev_trim_up);
    EXPECT_EQ(keys[1].id, key_elev_trim_dn);
    EXPECT_EQ(keys[0].value + keys[1].value, 0u);
}
