// The NAV, COM 1, ADF 1 and transponder heads through the host and its key-event model, and
// the digit splits every head writes its drums with.
#include <cmath>
#include <limits>
#include <vector>

#include "electrical/state.h"
#include "module/keys.h"
#include "radios/com_head.h"
#include "radios/radio_digits.h"
#include "radios/radio_keys.h"
#include "radios/state.h"
#include "tests/panel_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = HUGE_VAL;
const char* kNav = "ketravin radio_nav_kr60";
const char* kCom = "ketravin radio_com1_kr60";
const char* kAdf = "ketravin radio_adf1_kr60";
const char* kTsp = "ketravin radio_tsp_kr60";
const char* kAdfExpr = "(A:Adf active frequency:1,Kilohertz)";
constexpr u32 kComActive = 23, kComStandby = 617, kNav1 = 24, kNav2 = 27, kXpdr = 38, kTxSecond = 875, kRxBoth = 876;

struct Key {
    u32 id, value;
    bool operator==(const Key& o) const { return id == o.id && value == o.value; }
};
std::ostream& operator<<(std::ostream& os, const Key& k) { return os << std::hex << k.id << "(" << k.value << ")"; }

class Radios : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        for (const char* g : {kNav, kCom, kAdf, kTsp}) place(g);
        host().window_set(panel_win_radios, true);
    }
    std::vector<Key> keys() {
        std::vector<Key> out;
        for (const KeyLogEntry& k : new_keys()) out.push_back({k.id, k.value});
        return out;
    }
    std::vector<f64> ys(const char* g, size_t first, size_t n) {
        std::vector<f64> v;
        for (size_t i = 0; i < n; ++i) v.push_back(drawn(g, first + i).y);
        return v;
    }
};

// Hundreds, tens, units, tenths, hundredths cell of a frequency window.
using Window = std::vector<f64>;
Window nav1() {
    return {f64(nav1_drum_hundreds_target), f64(nav1_drum_tens_target), nav1_drum_units_target,
            f64(nav1_drum_tenths_target), nav1_drum_last_target};
}
Window com_left() {
    return {f64(com1_left_drum_hundreds_target), f64(com1_left_drum_tens_target), com1_left_drum_units_target,
            f64(com1_left_drum_tenths_target), com1_left_drum_last_target};
}
Window com_right() {
    return {f64(com1_right_drum_hundreds_target), f64(com1_right_drum_tens_target), com1_right_drum_units_target,
            f64(com1_right_drum_tenths_target), com1_right_drum_last_target};
}
}  // namespace

TEST(RadioDigits, NoWordOrFrequencyPutsADigitOffItsDrum) {
    u32 hundreds = 0, tens = 0, tenths = 0;
    f64 units = 0, last = 0;
    const FreqWindow w{digit_out(&hundreds), digit_out(&tens), digit_out(&tenths), &units, &last};
    for (u64 word = 0; word <= 0xFFFFFu; word += 7) {  // high bits are ignored
        freq_window_targets(u32(word) | 0xABC00000u, w);
        ASSERT_TRUE(hundreds == 1 && tens <= 9 && units <= 9 && tenths <= 9 && (last == 0 || last == 1 || last == 2 || last == 3)) << word;
        const SquawkDigits s = squawk_split(u32(word) * 0x10001u);
        for (u32 d : s.d) ASSERT_LE(d, 7u) << word;
    }
    i32 th = -1, hu = -1, un = -1;
    f64 te = -1, tt = -1;
    const AdfWindow a{digit_out(&th), digit_out(&hu), digit_out(&un), &te, &tt};
    for (f64 f : {-1e300, -0.04, 0.04, 999.95, 999.96, 1999.94, 1999.96, 2000.0, 65535.9, 1e300, 4.9e-324}) {
        ASSERT_TRUE(adf_window_targets(f, a)) << f;
        EXPECT_TRUE(th >= 0 && th <= 1 && hu >= 0 && hu <= 9 && un >= 0 && un <= 9) << f;
        EXPECT_TRUE(te >= 0 && te <= 9 && tt >= 0 && tt <= 9 && tt == std::trunc(tt)) << f;
    }
    EXPECT_FALSE(adf_window_targets(kNaN, a));
    EXPECT_FALSE(adf_window_targets(-kInf, a));
}

TEST_F(Radios, NavTargetsFollowThePoweredHostAndFreezeWithoutPower) {
    struct Case { u8 power; u32 nav1; Window want; } cases[] = {
        {0, 0x1795, {1, 0, 0, 0, 0}},  // never powered yet: 100.00
        {1, 0x1050, {1, 1, 0, 5, 0}},  // 110.50
        {1, 0x1795, {1, 1, 7, 9, 2}},  // 117.95
        {1, 0x1372, {1, 1, 3, 7, 1}},  {1, 0x1387, {1, 1, 3, 8, 3}}, {1, 0x1338, {1, 1, 3, 3, 0}},
        {2, 0x1050, {1, 1, 3, 3, 0}},  // only exactly 1 counts: frozen
        {1, 0xFAB7, {1, 9, 9, 9, 3}},  // nibbles A-F stay on the strip
    };
    for (const Case& c : cases) {
        dc_ess_powered = c.power;
        token(kNav1, c.nav1);
        frames(1);
        EXPECT_EQ(nav1(), c.want) << std::hex << c.nav1;
    }
}

TEST_F(Radios, NavKnobsWrapSendTheSelectedSetAndShowIt) {
    struct Case { u8 selector; i32 x; u8 from, to; u32 key; } cases[] = {
        {1, 40, 15, 0, key_nav1_whole_inc},  {1, 10, 0, 15, key_nav1_whole_dec},
        {2, 100, 15, 0, key_nav2_fract_inc}, {2, 70, 0, 15, key_nav2_fract_dec},
        {7, 40, 4, 5, key_nav1_whole_inc},   {2, 10, 9, 8, key_nav2_whole_dec},
    };
    for (const Case& c : cases) {
        nav_set_selector = c.selector;
        u8& knob = c.x < 63 ? nav_whole_knob_pos : nav_fract_knob_pos;
        knob = c.from;
        click(kNav, c.x, 80, MouseLeftSingle | MouseRepeat);
        EXPECT_EQ(knob, c.to) << c.x;
        EXPECT_EQ(keys(), (std::vector<Key>{{c.key, 0}})) << c.x;
    }
    // The selector toggles 2 -> 1 -> 2 silently; the window shows the selected set only.
    for (u8 want : {1, 2}) {
        click(kNav, 50, 10);
        EXPECT_EQ(nav_set_selector, want);
        frames(1);
        const bool nav2 = want == 2;
        EXPECT_EQ(lamps(kNav, 1, 2), nav2 ? "01" : "10");
        EXPECT_EQ(lamps(kNav, 5, 10), nav2 ? "0000011111" : "1111100000");
    }
    EXPECT_TRUE(keys().empty());
    EXPECT_EQ(clicks(), 0u);
}

TEST_F(Radios, DrumsSettleOnTheirTargets) {
    dc_ess_powered = 1;
    token(kNav1, 0x1795);
    token(kComActive, 0x1825);
    token(kComStandby, 0x3697);
    token(kXpdr, 0x7700);
    host().set_calc(kAdfExpr, 1750.5);
    frames(60);
    // Drawn in chain order: lowest digit first.
    EXPECT_EQ(ys(kNav, 5, 5), (std::vector<f64>{2, 9, 7, 1, 1}));
    EXPECT_EQ(ys(kCom, 5, 10), (std::vector<f64>{2, 2, 8, 1, 1, 3, 9, 6, 3, 1}));
    EXPECT_EQ(ys(kAdf, 1, 5), (std::vector<f64>{5, 0, 5, 7, 1}));
    EXPECT_EQ(ys(kTsp, 1, 4), (std::vector<f64>{0, 0, 7, 7}));
}

TEST_F(Radios, ComWindowsTransferAndStandbyTuning) {
    token(kComActive, 0x1825);
    token(kComStandby, 0x2150);
    frames(1);
    EXPECT_EQ(com_left(), (Window{1, 1, 8, 2, 2}));
    EXPECT_EQ(com_right(), (Window{1, 2, 1, 5, 0}));
    // Transfer toward the active side: nothing; toward the other: CLICK, one swap, and the
    // windows keep their numbers.
    click(kCom, 60, 20);
    EXPECT_EQ(clicks(), 0u);
    EXPECT_TRUE(keys().empty());
    click(kCom, 90, 20);
    EXPECT_EQ(clicks(), 1u);
    EXPECT_EQ(keys(), (std::vector<Key>{{key_com1_swap, 0}}));
    EXPECT_EQ(com1_window_select, 2);
    frames(1);
    EXPECT_EQ(com_left(), (Window{1, 1, 8, 2, 2}));
    EXPECT_EQ(com_right(), (Window{1, 2, 1, 5, 0}));
    EXPECT_EQ(lamps(kCom, 1, 2), "01");
    click(kCom, 90, 20);
    EXPECT_EQ(clicks(), 0u);
    // Only the standby side's areas tune: now the left one.
    struct Case { i32 x, y; u32 key; } cases[] = {
        {10, 50, key_com1_whole_inc}, {10, 70, key_com1_whole_dec}, {40, 50, key_com1_fract_inc},
        {40, 70, key_com1_fract_dec}, {110, 50, 0}, {140, 70, 0},
    };
    for (const Case& c : cases) {
        click(kCom, c.x, c.y, MouseLeftSingle | MouseRepeat);
        const std::vector<Key> want = c.key ? std::vector<Key>{{c.key, 0}} : std::vector<Key>{};
        EXPECT_EQ(keys(), want) << c.x << "," << c.y;
    }
    click(kCom, 60, 20);
    click(kCom, 140, 70);
    EXPECT_EQ(keys(), (std::vector<Key>{{key_com1_swap, 0}, {key_com1_fract_dec, 0}}));
}

TEST_F(Radios, ComTransmitButtonsAndLamps) {
    // Host state, button pressed, what it sends; then the faces and glows drawn (with AC / without).
    struct Case { f64 both, second; int button; std::vector<Key> sends; const char* faces; } cases[] = {
        {1.0, 0.0, 1, {{key_com_rx_both_set, 0}, {key_com_tx_select_1, 0}}, "11"},
        {1.0, 1.0, 2, {{key_com_rx_both_set, 0}, {key_com_tx_select_2, 0}}, "11"},
        {0.0, 1.0, 1, {{key_com_rx_both_set, 1}}, "01"},
        {0.0, 1.0, 2, {}, "01"},
        {0.0, 0.0, 2, {{key_com_rx_both_set, 1}}, "10"},
        {0.0, 0.0, 1, {}, "10"},
        {0.0, 0.5, 2, {}, "10"},                     // neither 1.0 nor 0.0
        {0.0, 0.5, 1, {}, "10"},
        {0.9999999999999999, 1.0, 1, {{key_com_rx_both_set, 1}}, "01"},  // not bit for bit 1.0
        {kNaN, kNaN, 2, {}, "10"},
    };
    for (const Case& c : cases) {
        for (u8 ac : {0, 1}) {
            token(kRxBoth, c.both);
            token(kTxSecond, c.second);
            elec_ac_bus2_powered = ac;
            frames(1);
            EXPECT_EQ(lamps(kCom, ComTx1Face, 2), c.faces) << c.both << " " << c.second;
            EXPECT_EQ(lamps(kCom, ComTx1Lit, 2), ac ? c.faces : "00") << c.both << " " << c.second;
        }
        keys();
        click(kCom, c.button == 1 ? 10 : 30, 100);
        EXPECT_EQ(keys(), c.sends) << c.both << " " << c.second << " button " << c.button;
    }
}

TEST_F(Radios, AdfTargetsFromTheRoundedFrequency) {
    struct Case { f64 khz; Window want; f64 stored; } cases[] = {
        {1750.5, {1, 7, 5, 0, 5}, 1750.5},   {999.9, {0, 9, 9, 9, 9}, 999.9},
        {1000.0, {1, 0, 0, 0, 0}, 1000.0},   {kNaN, {1, 0, 0, 0, 0}, 1000.0},  // keeps the last
        {kInf, {1, 0, 0, 0, 0}, 1000.0},     {415.3, {0, 4, 1, 5, 3}, 415.3},
        {-20.0, {0, 0, 0, 0, 0}, 0.0},       {1e12, {1, 9, 9, 9, 9}, 1999.9},
        {999.97, {1, 0, 0, 0, 0}, 999.97},
    };
    for (const Case& c : cases) {
        host().set_calc(kAdfExpr, c.khz);
        frames(1);
        EXPECT_EQ((Window{f64(adf1_drum_thousands_target), f64(adf1_drum_hundreds_target), adf1_drum_tens_target,
                          f64(adf1_drum_units_target), adf1_drum_tenths_target}),
                  c.want)
            << c.khz;
        EXPECT_EQ(adf1_freq_khz, c.stored) << c.khz;
        EXPECT_EQ(adf1_freq_khz_int, sat_u32(c.stored)) << c.khz;
    }
}

TEST_F(Radios, AdfTuningModeAndTest) {
    struct Case { u8 mode; i32 x, y; u32 key; } cases[] = {
        {0, 30, 55, key_adf1_100_inc}, {1, 30, 75, key_adf1_100_dec}, {1, 60, 55, key_adf1_10_inc},
        {0, 60, 75, key_adf1_10_dec},  {0, 90, 55, key_adf1_1_inc},   {0, 90, 75, key_adf1_1_dec},
        {1, 90, 55, key_adf1_tenths_inc}, {1, 90, 75, key_adf1_tenths_dec}, {3, 90, 55, key_adf1_1_inc},
    };
    for (const Case& c : cases) {
        adf1_tenths_mode = c.mode;
        click(kAdf, c.x, c.y, MouseLeftSingle | MouseRepeat);
        EXPECT_EQ(keys(), (std::vector<Key>{{c.key, 0}})) << int(c.mode) << " " << c.x << "," << c.y;
    }
    for (u8 from : {0, 1, 5}) {
        adf1_tenths_mode = from;
        click(kAdf, 75, 25);
        EXPECT_EQ(adf1_tenths_mode, from == 0 ? 1 : 0);
    }
    // TEST: only with ESS AC or normal DC, never over a raised latch.
    struct Test { u8 ess_ac, dc_normal, latch, want; } tests[] = {
        {0, 0, 0, 0}, {1, 0, 0, 1}, {0, 1, 0, 1}, {2, 0, 0, 0}, {1, 1, 1, 1}, {0, 0, 7, 7},
    };
    for (const Test& t : tests) {
        elec_ess_ac_powered = t.ess_ac, dc_normal_powered = t.dc_normal, adf1_test_latch = t.latch;
        click(kAdf, 120, 10);
        EXPECT_EQ(adf1_test_latch, t.want) << int(t.ess_ac) << int(t.dc_normal) << int(t.latch);
    }
    EXPECT_TRUE(keys().empty());
    EXPECT_EQ(clicks(), 0u);
}

TEST_F(Radios, TransponderDigitsAndDigitEvents) {
    struct Case { f64 code; Window want; } cases[] = {
        {0x7700, {7, 7, 0, 0}}, {0x1200, {1, 2, 0, 0}}, {0x4000, {4, 0, 0, 0}}, {0x0000, {0, 0, 0, 0}},
        {0x1000, {1, 0, 0, 0}}, {0x89AF, {7, 7, 7, 7}}, {-1.0, {7, 7, 7, 7}},  {f64(0x12345), {2, 3, 4, 5}},
        {kNaN, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        token(kXpdr, c.code);
        frames(1);
        EXPECT_EQ((Window{f64(xpdr_drum_thousands_target), xpdr_drum_hundreds_target, f64(xpdr_drum_tens_target),
                          xpdr_drum_units_target}),
                  c.want)
            << c.code;
    }
    const u32 kUp[] = {key_xpdr_1000_inc, key_xpdr_100_inc, key_xpdr_10_inc, key_xpdr_1_inc};
    const u32 kDown[] = {key_xpdr_1000_dec, key_xpdr_100_dec, key_xpdr_10_dec, key_xpdr_1_dec};
    for (int col = 0; col < 4; ++col) {
        click(kTsp, 40 + 28 * col, 50);
        click(kTsp, 40 + 28 * col, 70);
        EXPECT_EQ(keys(), (std::vector<Key>{{kUp[col], 0}, {kDown[col], 0}})) << col;
    }
}

// A second COM head built from the same routines, on the second set's tokens and events: only
// its parameters differ.
namespace {
u8 sel2 = 1;
u32 bcd_l, bcd_r;
i32 hl, tl, nl, hr, tr, nr;
f64 ul, ll, ur, lr, pos2[10];
constexpr ComHead kSecond{
    &tok_com2_freq, &tok_com2_stby_freq, &sel2, 0x1038C, {0x10385, 0x10384, 0x10388, 0x10386}, &bcd_l, &bcd_r,
    {{digit_out(&hl), digit_out(&tl), digit_out(&nl), &ul, &ll}, {&pos2[0], &pos2[1], &pos2[2], &pos2[3], &pos2[4]}},
    {{digit_out(&hr), digit_out(&tr), digit_out(&nr), &ur, &lr}, {&pos2[5], &pos2[6], &pos2[7], &pos2[8], &pos2[9]}},
    drum::radio_jump, fl::Lum | fl::Opt3,
};
GaugeHeader second_header;
void FSAPI second_update(GaugeHeader*, i32 service, u32);
Gauge<kComElements, kComRects> second(second_header, "second com", kComWidthMm, second_update,
                                      com_head_elements<kSecond>, com_head_rects<kSecond>);
void FSAPI second_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) com_head_frame(kSecond, second);
}
}  // namespace

TEST_F(Radios, ASecondComHeadSharesTheRoutinesAndTheTransmitState) {
    host().place(&second_header);
    token(870, 0x1802);
    token(871, 0x2297);
    token(kRxBoth, 1.0);
    frames(1);
    EXPECT_EQ((Window{f64(hl), f64(tl), ul, f64(nl), ll}), (Window{1, 1, 8, 0, 1}));
    EXPECT_EQ((Window{f64(hr), f64(tr), ur, f64(nr), lr}), (Window{1, 2, 2, 9, 3}));
    EXPECT_EQ(lamps(kCom, ComTx1Face, 2), "11");  // one transmit state on both heads
    keys();
    host().click(&second_header, 90, 20, MouseLeftSingle);
    host().click(&second_header, 10, 50, MouseLeftSingle);
    host().click(&second_header, 30, 100, MouseLeftSingle);
    EXPECT_EQ(keys(), (std::vector<Key>{{0x1038C, 0}, {0x10385, 0}, {key_com_rx_both_set, 0}, {key_com_tx_select_2, 0}}));
    EXPECT_EQ(sel2, 2);
    EXPECT_EQ(com1_window_select, 1);
}
