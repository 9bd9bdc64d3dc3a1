// Main and standby attitude indicators and the FD bars switch through the host: test walks and
// returns, the test button's counter, the failure flag and autopilot drop, the fast/slow pointer,
// the sphere's limits, the standby knob, rest walk and steep-bank return, and the switch's click.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "navigation/state.h"
#include "tests/panel_fixture.h"

namespace {
const char* kAdi = "ketravin adi_fd_kr60";
const char* kSec = "ketravin adi_sec_kr60";
const char* kBarsSw = "ketravin fd_bars_sw_kr60";
constexpr u32 kIas = 61, kPitch = 78, kBank = 80, kAttFail = 276, kVacFail = 288;
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
enum { AdiSphere = 2, AdiFlag = 5, AdiFlag2 = 10, AdiSpeedPointer = 15 };
enum { SecSymbol = 4, SecFlag = 5, SecKnob = 10 };
}  // namespace

class Attitude : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        dc_ess_powered = 1;
    }
    // Runs frames until the display stops moving 1 degree a frame; returns how many it walked.
    int walk(const f64& display, int limit) {
        int n = 0;
        for (; n < limit; ++n) {
            const f64 before = display;
            frames(1);
            if (std::fabs(display - before) != 1.0) break;
        }
        return n;
    }
};

TEST_F(Attitude, InsTestWalksTo22AndAReturnJumpsOrWalks) {
    place(kAdi);
    const struct { f64 bank; int walked; } cases[] = {{5.0, 0}, {0.0, 21}, {-10.5, 31}};
    for (const auto& c : cases) {
        adi_bank_display_deg = 0.0;
        ins1_apfd_test = 1;
        token(kBank, c.bank);
        EXPECT_EQ(walk(adi_bank_display_deg, 40), 20);
        EXPECT_EQ(adi_bank_display_deg, 22.5);
        // Sphere and bank ring both turn by the shown bank, not the host's.
        EXPECT_EQ(drawn(kAdi, AdiSphere).value, 22.5);
        EXPECT_EQ(drawn(kAdi, AdiSphere + 2).value, 22.5);
        EXPECT_EQ(adi_bank_return_latch, 1);
        ins1_apfd_test = 0;
        EXPECT_EQ(walk(adi_bank_display_deg, 40), c.walked) << c.bank;
        EXPECT_EQ(adi_bank_display_deg, c.bank);
        EXPECT_EQ(adi_bank_return_latch, 0);
    }
}

TEST_F(Attitude, TestButtonArmsOnlyBelowTwentyWithInsOutput) {
    place(kAdi);
    // Action: a push (p) or a frame (f).
    const struct { u8 ins; char action; u8 count; } steps[] = {
        {0, 'p', 0}, {3, 'p', 20}, {3, 'p', 20}, {3, 'f', 19}, {3, 'p', 39}, {3, 'f', 38}};
    for (const auto& s : steps) {
        ins1_status = s.ins;
        if (s.action == 'f')
            frames(1);
        else
            click(kAdi, 260, 300, MouseLeftSingle | MouseRepeat);
        EXPECT_EQ(adi_test_count, s.count) << s.action;
    }
    frames(38);
    EXPECT_EQ(adi_test_count, 0) << "counted down to 0, a frame at a time";
}

// The ADI test walks the bank toward 10 and the pitch toward -10.5 against the real attitude, and
// leaves each alone inside its dead band (bank 8 to 12, pitch -13 to -7) or beyond a half turn.
TEST_F(Attitude, AdiTestWalksTowardItsAttitudeOutsideTheDeadBands) {
    place(kAdi);
    ins1_status = 3;
    const struct { u32 token; f64* display; f64 real, from, to; } kSteps[] = {
        {kBank, &adi_bank_display_deg, 12.5, 20, 19},    {kBank, &adi_bank_display_deg, 12.5, 12, 10},
        {kBank, &adi_bank_display_deg, 179.9, 20, 19},   {kBank, &adi_bank_display_deg, 180, 20, 20},
        {kBank, &adi_bank_display_deg, 12, 20, 20},      {kBank, &adi_bank_display_deg, 8, 3, 3},
        {kBank, &adi_bank_display_deg, 7.9, 3, 4},       {kBank, &adi_bank_display_deg, 7.9, 8, 10},
        {kBank, &adi_bank_display_deg, -180, 3, 4},      {kBank, &adi_bank_display_deg, -180.1, 3, 3},
        {kPitch, &adi_pitch_display_deg, -13.5, -20, -19}, {kPitch, &adi_pitch_display_deg, -13.5, -13, -10.5},
        {kPitch, &adi_pitch_display_deg, -13, 5, 5},     {kPitch, &adi_pitch_display_deg, -7, 5, 5},
        {kPitch, &adi_pitch_display_deg, -6.9, 5, 4},    {kPitch, &adi_pitch_display_deg, -6.9, -7, -10.5},
        {kPitch, &adi_pitch_display_deg, -6.9, -6.5, -7.5},
    };
    for (const auto& s : kSteps) {
        adi_test_count = 30;
        token(kBank, 10), token(kPitch, -10);  // the other axis inside its dead band
        token(s.token, s.real);
        *s.display = s.from;
        frames(1);
        EXPECT_EQ(*s.display, s.to) << (s.token == kBank ? "bank " : "pitch ") << s.real << " from " << s.from;
    }
    // Held at its test bank, the display walks back once the test is over.
    adi_test_count = 30, adi_bank_return_latch = 0;
    token(kBank, 0);
    adi_bank_display_deg = 8;
    frames(1);
    ASSERT_EQ(adi_bank_display_deg, 10.0);
    EXPECT_EQ(adi_bank_return_latch, 1);
    adi_test_count = 0;
    EXPECT_EQ(walk(adi_bank_display_deg, 40), 8);
    EXPECT_EQ(adi_bank_display_deg, 0.0);
}

// DH light: powered, with the DH state 1 or the lamp test; the lamp-test lamp with the test only;
// the channel annunciators by the engaged flight-director channel.
TEST_F(Attitude, LampsAndChannelAnnunciators) {
    place(kAdi);
    enum { ChannelA = 8, ChannelB, DhLight = 17, TestLamp };
    const struct { u8 dc, dh, lamp_test, fd; const char* shown; } kCases[] = {  // shown: DH, test, A, B
        {1, 1, 0, 1, "1010"}, {1, 0, 0, 3, "0010"}, {1, 2, 0, 2, "0001"}, {1, 0, 1, 0, "1100"},
        {0, 1, 1, 4, "0000"}, {0, 0, 0, 1, "0010"},
    };
    for (const auto& c : kCases) {
        dc_ess_powered = c.dc, inst_dh_state = c.dh, light_lamp_test = c.lamp_test, ap_fd_engaged = c.fd;
        frames(1);
        std::string got;
        for (int pos : {DhLight, TestLamp, ChannelA, ChannelB}) got += shown(kAdi, size_t(pos)) ? '1' : '0';
        EXPECT_EQ(got, c.shown) << int(c.dc) << int(c.dh) << int(c.lamp_test) << int(c.fd);
    }
}

// Localizer and glide-slope pointers slide in 10 a frame and sit on their targets while in
// service (localizer: powered, its station bit and a signal; glide slope: powered and valid at
// exactly 1), and slide back out 10 a frame otherwise. In service, a deviation that is no number
// gives no target: the pointer stands.
TEST_F(Attitude, DeviationPointersSlideInAndOut) {
    place(kAdi);
    constexpr u32 kCode = 46, kCdi = 40, kGsValid = 44, kGsNeedle = 41, kSignal = 49;
    // flags: LOC shown (powered: with its station bit and no signal), G/S shown (powered: with its
    // bit and a validity of exactly 0); both shown without power.
    const struct { u32 code; f64 signal, gs_valid, cdi, needle; u8 dc; int frames; f64 loc, gs; const char* flags; } kSteps[] = {
        {0xC0, 1, 1.0, kNaN, kNaN, 1, 3, 0, 0, "--"},
        {0xC0, 1, 1.0, 0, 0, 1, 9, 90, 90, "--"},   {0xC0, 1, 1.0, 0, 0, 1, 1, 100, 100, "--"},
        {0xC0, 1, 1.0, 0, 0, 1, 1, 104, 100, "--"}, {0xC0, 1, 0.5, 0, 0, 1, 1, 104, 90, "--"},
        {0x40, 1, 1.0, 0, 0, 1, 1, 94, 100, "--"},  {0xC0, 0, 1.0, 0, 0, 1, 1, 84, 100, "L-"},
        {0xC0, 1, 1.0, 0, 0, 0, 2, 64, 80, "LG"},   {0xC0, 1, 1.0, 0, 0, 1, 1, 74, 90, "--"},
        {0xC0, 1, 1.0, 50, -100, 1, 20, 50 * 1.4173 + 104, -100 * 0.418 + 100, "--"},
        {0x00, 1, 0.0, 50, -100, 1, 20, 0, 0, "--"}, {0x40, 1, 0.0, 0, 0, 1, 1, 0, 0, "-G"},
        {0x80, -1, 0.0, 0, 0, 1, 1, 0, 0, "L-"},
    };
    for (const auto& s : kSteps) {
        token(kCode, s.code), token(kSignal, s.signal), token(kGsValid, s.gs_valid);
        token(kCdi, s.cdi), token(kGsNeedle, s.needle);
        dc_ess_powered = s.dc;
        frames(u64(s.frames));
        EXPECT_NEAR(adi_loc_pointer_pos, s.loc, 1e-9) << &s - kSteps;
        EXPECT_NEAR(adi_gs_pointer_pos, s.gs, 1e-9) << &s - kSteps;
        EXPECT_EQ(std::string({shown(kAdi, 12) ? 'L' : '-', shown(kAdi, 14) ? 'G' : '-'}), s.flags) << &s - kSteps;
    }
    // The inclinometer ball: a third of the slip across, 0.0315 of it down.
    token(69, 100);
    frames(1);
    EXPECT_NEAR(drawn(kAdi, 19).x, 33.0, 1e-9);
    EXPECT_NEAR(drawn(kAdi, 19).y, 3.15, 1e-9);
}

// Failure tokens count only at exactly 1 (failed) or 0 (working).
TEST_F(Attitude, FlagAndAutopilotDropByFailureTokensPowerAndIns) {
    place(kAdi);
    const struct { i32 att, vac; u8 power, ins, apfd, warn_before, warn, shown, dropped; } cases[] = {
        {1, 0, 1, 3, 0, 0, 1, 1, 1}, {0, 1, 0, 3, 0, 0, 1, 1, 1}, {0, 0, 0, 3, 0, 0, 1, 1, 0},
        {0, 0, 1, 0, 0, 0, 1, 1, 1}, {2, 0, 1, 3, 0, 1, 1, 0, 0}, {0, 2, 1, 3, 0, 0, 0, 0, 0},
        {0, 0, 1, 3, 0, 1, 0, 0, 0}, {0, 0, 1, 0, 1, 1, 1, 0, 0},
    };
    for (const auto& c : cases) {
        token(kAttFail, c.att), token(kVacFail, c.vac);
        dc_ess_powered = c.power, ins1_status = c.ins, ins1_apfd_test = c.apfd, warn_flag_adi = c.warn_before;
        ap_cmd_engaged = 3;
        ap_cmd1_lever = ap_cmd2_lever = ap_sim_ap_latched = 1;
        frames(1);
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        EXPECT_EQ(warn_flag_adi, c.warn);
        EXPECT_EQ(shown(kAdi, AdiFlag) + shown(kAdi, AdiFlag2), c.shown * 2);
        EXPECT_EQ(ap_cmd_engaged + ap_cmd1_lever + ap_cmd2_lever + ap_sim_ap_latched, c.dropped ? 0 : 6);
    }
}

// The sphere shows -30..22.5 while the stored pitch display follows the token freely; the fast/
// slow pointer sits at 103 - deviation within 50 knots of the target (130 at load). A pitch or a
// speed that is no number from the first frame leaves the display and the pointer where they start.
TEST_F(Attitude, SpherePitchLimitsAndSpeedPointer) {
    place(kAdi);
    const struct { f64 pitch, shown; f64 ias, pointer; } cases[] = {
        {kNaN, 0.0, kNaN, 0.0},
        {40.0, 22.5, 180.0, 53.0}, {-50.0, -30.0, 180.5, 53.0}, {-35.0, -30.0, 180.0, 53.0},
        {10.0, 10.0, 70.0, 153.0}, {-30.0, -30.0, 135.0, 98.0},
    };
    for (const auto& c : cases) {
        token(kPitch, c.pitch), token(kIas, c.ias);
        frames(1);
        EXPECT_EQ(adi_pitch_display_deg, std::isnan(c.pitch) ? c.shown : c.pitch);
        EXPECT_EQ(drawn(kAdi, AdiSphere).y, c.shown);
        EXPECT_EQ(adi_speed_pointer_pos, c.pointer) << c.ias;
        EXPECT_EQ(drawn(kAdi, AdiSpeedPointer).y, c.pointer);
    }
}

// The sphere and bank-ring records as the host reads them: sources, scales and texture scales.
TEST_F(Attitude, SphereRecordsCarryTheirScales) {
    place(kAdi), place(kSec);
    const struct { const char* gauge; size_t pos; f64 pitch_scale; f32 texture; } kSpheres[] = {
        {kAdi, AdiSphere, 2.5, 0.6f}, {kSec, 1, 2.0, 0.5f}};
    for (const auto& s : kSpheres) {
        const auto* e = reinterpret_cast<const SpriteElement*>(element(s.gauge, s.pos));
        EXPECT_EQ(e->scale_y, s.pitch_scale) << s.gauge;
        if (s.gauge == kAdi) {
            EXPECT_EQ(e->scale_x, 0.0) << "every field not given stays 0";
        }
        EXPECT_EQ(e->scale_rot, -1.0) << s.gauge;
        EXPECT_EQ(e->texture_scale_x, s.texture) << s.gauge;
        EXPECT_EQ(e->texture_scale_y, s.texture) << s.gauge;
        EXPECT_EQ(e->source_y.id, s.gauge == kAdi ? kPitch : 0u) << s.gauge;
        EXPECT_EQ(e->source_rot.id, s.gauge == kAdi ? kBank : 0u) << s.gauge;
        const auto* ring = reinterpret_cast<const SpriteElement*>(element(s.gauge, s.pos + 2));  // the bank ring
        EXPECT_EQ(ring->source_rot.id, s.gauge == kAdi ? kBank : 0u) << s.gauge;
        EXPECT_EQ(ring->scale_rot, -1.0) << s.gauge;
        EXPECT_EQ(ring->texture_scale_x, 1.0f) << s.gauge;
    }
    EXPECT_EQ(gauge(kAdi)->mouse_rects[0].help_id, 43789u);
    // The standby sphere keeps its stored pitch within 43 either way.
    ins1_status = 3;
    for (f64 pitch : {50.0, -50.0}) {
        token(kPitch, pitch);
        frames(1);
        EXPECT_EQ(drawn(kSec, 1).y, std::copysign(43.0, pitch));
        EXPECT_EQ(adi_sec_pitch_display_deg, std::copysign(43.0, pitch));
    }
}

TEST_F(Attitude, StandbyKnobStopsAtTenEachWay) {
    place(kSec);
    // The knob area's image: tint off (6); with the tint on and AC, level 3 (7), 2 (8), other (9).
    const struct { u8 tint, ac, level; const char* shown; } kImages[] = {
        {0, 1, 3, "1000"}, {1, 1, 3, "0100"}, {1, 1, 2, "0010"}, {1, 1, 1, "0001"}, {1, 0, 2, "1000"},
    };
    for (const auto& i : kImages) {
        light_tint_sw = i.tint, elec_ess_ac_any_powered = i.ac, light_tint_level = i.level;
        frames(1);
        EXPECT_EQ(lamps(kSec, 6, 4), i.shown) << int(i.tint) << int(i.ac) << int(i.level);
    }
    const struct { i32 x; int clicks; f64 symbol; } turns[] = {{270, 12, 28.0}, {310, 25, 8.0}, {270, 3, 11.0}};
    for (const auto& t : turns) {
        for (int i = 0; i < t.clicks; ++i) click(kSec, t.x, 290);
        frames(1);
        EXPECT_EQ(adi_sec_symbol_pos, t.symbol);
        EXPECT_EQ(drawn(kSec, SecSymbol).y, t.symbol);
    }
    for (const auto& s : {std::pair<f64, f64>{35, 30}, {-5, 0}}) {  // a symbol outside 0..30 is first brought back
        adi_sec_symbol_pos = s.first;
        frames(1);
        EXPECT_EQ(adi_sec_symbol_pos, s.second);
    }
    for (const auto& k : {std::pair<i32, f64>{50, 10}, {-50, -10}}) {  // a knob past a stop is drawn at it
        adi_sec_knob = k.first;
        frames(1);
        EXPECT_EQ(drawn(kSec, SecKnob).value, k.second);
        EXPECT_EQ(adi_sec_knob, i32(k.second));
    }
}

// Without a valid source the bank walks to -30 (29 frames from level); valid again, every bank
// settles on the real one, steep ones included.
TEST_F(Attitude, StandbyRestWalkAndReturnSettleAtAnyBank) {
    place(kSec);
    const struct { f64 bank; int walked; } returns[] = {{0.0, 28}, {-90.0, 0}, {170.0, 198}, {-28.0, 0}};
    for (const auto& r : returns) {
        frames(1);
        token(kVacFail, 1);
        frames(29);
        EXPECT_EQ(adi_sec_bank_display_deg, -30.0) << r.bank;
        EXPECT_TRUE(shown(kSec, SecFlag));
        token(kVacFail, 0), token(kBank, r.bank);
        EXPECT_EQ(walk(adi_sec_bank_display_deg, 400), r.walked) << r.bank;
        EXPECT_EQ(adi_sec_bank_display_deg, r.bank);
        EXPECT_EQ(adi_sec_bank_return_latch, 0);
        EXPECT_FALSE(shown(kSec, SecFlag));
        token(kBank, 0.0);
    }
}

// Without a valid source each display walks a degree a frame to its rest: the main bank to level,
// on round from below -180 through 179.9; the standby bank to -30, on through 180 onto -180 from
// beyond 150; both pitches to level. Valid again, a bank below -180 is walked to or taken at once;
// an attitude that is no number, or infinite where the display would take it, leaves it standing.
TEST_F(Attitude, BankDisplaysWalkToRestAndBackFromBeyondAHalfTurn) {
    place(kAdi), place(kSec);
    const struct { f64* display; f64 from; std::vector<f64> steps; } kRest[] = {
        {&adi_bank_display_deg, -185, {179.9, 178.9}}, {&adi_bank_display_deg, -180, {-179}},
        {&adi_bank_display_deg, -2.5, {-1.5, 0}},      {&adi_bank_display_deg, 2.5, {1.5, 0}},
        {&adi_bank_display_deg, 180, {0}},             {&adi_bank_display_deg, 179.9, {178.9}},
        {&adi_sec_bank_display_deg, 150, {149}},       {&adi_sec_bank_display_deg, 150.5, {151.5}},
        {&adi_sec_bank_display_deg, 179.5, {180.5, -180, -179}},
        {&adi_sec_bank_display_deg, -33, {-32, -30}},  {&adi_sec_bank_display_deg, -185, {-30}},
        {&adi_sec_bank_display_deg, -27, {-28, -30}},
        {&adi_pitch_display_deg, 10, {9, 8}},          {&adi_pitch_display_deg, -5, {-4, -3}},
        {&adi_pitch_display_deg, 2.5, {1.5, 0}},       {&adi_sec_pitch_display_deg, -2.5, {-1.5, 0}},
    };
    ins1_status = 0;
    for (const auto& r : kRest) {
        *r.display = r.from;
        std::vector<f64> seen;
        for (size_t i = 0; i < r.steps.size(); ++i) seen.push_back((frames(1), std::round(*r.display * 10) / 10));
        EXPECT_EQ(seen, r.steps) << r.from;
    }
    EXPECT_EQ(adi_bank_return_latch + adi_sec_bank_return_latch, 2);
    ins1_status = 3;
    // Also the main pitch: to a steep pitch from the level side, a degree a frame until within 2.
    const struct { f64* display; u32 token; f64 from, real; int walked; } kBack[] = {
        {&adi_bank_display_deg, kBank, -185, -180, 0}, {&adi_bank_display_deg, kBank, 0, -190, 188},
        {&adi_bank_display_deg, kBank, 179, 175, 0},   {&adi_bank_display_deg, kBank, -175, -170, 0},
        {&adi_sec_bank_display_deg, kBank, -30, -190, 0},
        {&adi_pitch_display_deg, kPitch, 0, 10, 8},   {&adi_pitch_display_deg, kPitch, 0, -10, 8},
        {&adi_pitch_display_deg, kPitch, 12, 10, 0},  {&adi_pitch_display_deg, kPitch, 10, 2.5, 6},  // 2.5: both ways
        {&adi_bank_display_deg, kBank, 5, 1.5, 2},    {&adi_bank_display_deg, kBank, -1, 1.5, 1},  // near level: both ways
        {&adi_bank_display_deg, kBank, 5, kNaN, 0},   {&adi_sec_bank_display_deg, kBank, -30, -kInf, 0},
        {&adi_sec_pitch_display_deg, kPitch, 10, kNaN, 0},
    };
    for (const auto& b : kBack) {
        adi_bank_return_latch = adi_sec_bank_return_latch = adi_pitch_return_latch = 1;
        *b.display = b.from;
        token(b.token, b.real);
        EXPECT_EQ(walk(*b.display, 400), b.walked) << b.from << " to " << b.real;
        EXPECT_EQ(*b.display, std::isfinite(b.real) ? b.real : b.from) << b.from << " to " << b.real;
        token(kPitch, 0);
    }
}

// The end of the INS test on the standby indicator, real attitude level: the bank jumps back at
// once, the pitch walks down to 2.5 and then jumps.
TEST_F(Attitude, StandbyInsTestEndsWithTheBankJumpingAndThePitchWalking) {
    place(kSec);
    ins1_status = 3, ins1_apfd_test = 1;
    frames(30);
    ASSERT_EQ(adi_sec_pitch_display_deg, 22.5);
    ins1_apfd_test = 0;
    token(kBank, 0), token(kPitch, 0);
    EXPECT_EQ(walk(adi_sec_pitch_display_deg, 40), 20);
    EXPECT_EQ(adi_sec_pitch_display_deg, 0.0);
    EXPECT_EQ(adi_sec_bank_display_deg, 0.0);
    EXPECT_EQ(adi_sec_pitch_return_latch + adi_sec_bank_return_latch, 0);
}

TEST_F(Attitude, BarsSwitchClicksOnlyOnARealChangeAndShowsItsPosition) {
    place(kBarsSw);
    const struct { i32 y; u8 flag; size_t clicks; } steps[] = {{10, 1, 1}, {10, 1, 0}, {40, 0, 1}, {40, 0, 0}};
    clicks();
    for (const auto& s : steps) {
        click(kBarsSw, 10, s.y);
        frames(1);
        EXPECT_EQ(fd_bars_on_flag, s.flag);
        EXPECT_EQ(clicks(), s.clicks) << s.y;
        EXPECT_EQ(pair(kBarsSw, 1), s.flag ? 'O' : 'S');
    }
}
