// The NAV, COM 1, ADF 1 and transponder heads through the host and its key-event model, the
// digit splits every head writes its drums with, and the transmit state both COM heads share.
#include <limits>
#include <vector>

#include "electrical/state.h"
#include "lighting/state.h"
#include "module/keys.h"
#include "radios/com_head.h"
#include "radios/radio_keys.h"
#include "radios/state.h"
#include "tests/radios/radio_head_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = HUGE_VAL;
const char *kNav = "ketravin radio_nav_kr60", *kCom = "ketravin radio_com1_kr60", *kAdf = "ketravin radio_adf1_kr60",
           *kTsp = "ketravin radio_tsp_kr60", *kAdfExpr = "(A:Adf active frequency:1,Kilohertz)";
constexpr u32 kComActive = 23, kComStandby = 617, kNav1 = 24, kXpdr = 38, kTxSecond = 875, kRxBoth = 876;

class Radios : public RadioHeadTest {
protected:
    void SetUp() override {
        RadioHeadTest::SetUp();
        place_heads({kNav, kCom, kAdf, kTsp});
    }
};
u32 FSAPI unanswered_calc(const char*, f64*, i32*, const char**) { return 0; }  // writes nothing
Digits com_left() {
    return digits(com1_left_drum_hundreds_target, com1_left_drum_tens_target, com1_left_drum_units_target,
                  com1_left_drum_tenths_target, com1_left_drum_last_target);
}
Digits com_right() {
    return digits(com1_right_drum_hundreds_target, com1_right_drum_tens_target, com1_right_drum_units_target,
                  com1_right_drum_tenths_target, com1_right_drum_last_target);
}
}  // namespace

TEST(RadioDigits, NoWordOrFrequencyPutsADigitOffItsDrum) {
    u32 h = 0, t = 0, n = 0;
    f64 u = 0, l = 0;
    for (u64 word = 0; word <= 0xFFFFFu; word += 7) {  // the high bits are ignored
        freq_window_targets(u32(word) | 0xABC00000u, {digit_out(&h), digit_out(&t), digit_out(&n), &u, &l});
        ASSERT_TRUE(h == 1 && t <= 9 && u <= 9 && n <= 9 && (l == 0 || l == 1 || l == 2 || l == 3)) << word;
        for (u32 d : squawk_split(u32(word) * 0x10001u).d) ASSERT_LE(d, 7u) << word;
    }
    i32 th, hu, un;
    f64 te, tt;
    const AdfWindow a{digit_out(&th), digit_out(&hu), digit_out(&un), &te, &tt};
    for (f64 f : {-1e300, -0.04, 999.95, 1999.94, 1999.96, 2000.0, 65535.9, 1e300, 4.9e-324}) {
        ASSERT_TRUE(adf_window_targets(f, a)) << f;
        EXPECT_TRUE(th >= 0 && th <= 1 && hu >= 0 && hu <= 9 && un >= 0 && un <= 9 && te >= 0 && te <= 9) << f;
        EXPECT_TRUE(tt >= 0 && tt <= 9 && tt == std::trunc(tt)) << f;
    }
    EXPECT_FALSE(adf_window_targets(kNaN, a) || adf_window_targets(-kInf, a));
}

TEST_F(Radios, NavTargetsFollowThePoweredHostAndFreezeWithoutPower) {
    struct Case { u8 power; u32 nav1; Digits want; } cases[] = {
        {0, 0x1795, digits(1, 0, 0, 0, 0)},  // never powered yet: 100.00
        {1, 0x1050, digits(1, 1, 0, 5, 0)},  // 110.50
        {1, 0x1795, digits(1, 1, 7, 9, 2)},  // 117.95
        {1, 0x1372, digits(1, 1, 3, 7, 1)},  {1, 0x1387, digits(1, 1, 3, 8, 3)},
        {2, 0x1050, digits(1, 1, 3, 8, 3)},  // only exactly 1 counts: frozen
        {1, 0xFAB7, digits(1, 9, 9, 9, 3)},  // nibbles A-F stay on the strip
    };
    for (const Case& c : cases) {
        dc_ess_powered = c.power;
        token(kNav1, c.nav1);
        frames(1);
        EXPECT_EQ(digits(nav1_drum_hundreds_target, nav1_drum_tens_target, nav1_drum_units_target,
                         nav1_drum_tenths_target, nav1_drum_last_target), c.want) << std::hex << c.nav1;
    }
}

TEST_F(Radios, NavKnobsWrapSendTheSelectedSetAndShowIt) {
    struct Case { u8 selector; i32 x; u8 from, to; u32 key; } cases[] = {
        {1, 40, 15, 0, key_nav1_whole_inc},  {1, 10, 0, 15, key_nav1_whole_dec}, {2, 100, 15, 0, key_nav2_fract_inc},
        {2, 70, 0, 15, key_nav2_fract_dec},  {7, 40, 4, 5, key_nav1_whole_inc},  {2, 10, 9, 8, key_nav2_whole_dec},
    };
    for (const Case& c : cases) {
        nav_set_selector = c.selector;
        u8& knob = c.x < 63 ? nav_whole_knob_pos : nav_fract_knob_pos;
        knob = c.from;
        click(kNav, c.x, 80, MouseLeftSingle | MouseRepeat);
        EXPECT_EQ(knob, c.to) << c.x;
        EXPECT_EQ(keys(), (Keys{{c.key, 0}})) << c.x;
    }
    for (u8 want : {1, 2}) {  // the selector toggles silently; the window shows that set only
        click(kNav, 50, 10);
        frames(1);
        EXPECT_EQ(nav_set_selector, want);
        EXPECT_EQ(lamps(kNav, 1, 2) + lamps(kNav, 5, 10), want == 2 ? "01" "0000011111" : "10" "1111100000");
    }
    EXPECT_TRUE(keys().empty());
}

TEST_F(Radios, DrumsSettleOnTheirTargets) {
    dc_ess_powered = 1;
    token(kNav1, 0x1795);
    token(kComActive, 0x1825);
    token(kComStandby, 0x3697);
    token(kXpdr, 0x7700);
    host().set_calc(kAdfExpr, 1750.5);
    frames(60);  // drawn in chain order: lowest digit first
    EXPECT_EQ(ys(kNav, 5, 5), digits(2, 9, 7, 1, 1));
    EXPECT_EQ(ys(kCom, 5, 10), digits(2, 2, 8, 1, 1, 3, 9, 6, 3, 1));
    EXPECT_EQ(ys(kAdf, 1, 5), digits(5, 0, 5, 7, 1));
    EXPECT_EQ(ys(kTsp, 1, 4), digits(0, 0, 7, 7));
}

TEST_F(Radios, ComWindowsTransferAndStandbyTuning) {
    token(kComActive, 0x1825);
    token(kComStandby, 0x2150);
    for (int pass = 0; pass < 2; ++pass) {  // the transfer leaves both windows as they were
        frames(1);
        EXPECT_EQ(com_left(), digits(1, 1, 8, 2, 2));
        EXPECT_EQ(com_right(), digits(1, 2, 1, 5, 0));
        click(kCom, pass ? 90 : 60, 20);  // toward the active side: nothing
        click(kCom, 90, 20);
        EXPECT_EQ(keys(), (pass ? Keys{} : Keys{{key_com1_swap, 0}}));
        EXPECT_EQ(clicks(), pass ? 0u : 1u);
        EXPECT_EQ(com1_window_select, 2);
    }
    EXPECT_EQ(lamps(kCom, ComLeftActive, 2), "01");
    struct Case { i32 x, y; u32 key; } cases[] = {  // only the standby (left) side tunes now
        {10, 50, key_com1_whole_inc}, {10, 70, key_com1_whole_dec}, {40, 50, key_com1_fract_inc},
        {40, 70, key_com1_fract_dec}, {110, 50, 0}, {140, 70, 0},
    };
    for (const Case& c : cases) {
        click(kCom, c.x, c.y, MouseLeftSingle | MouseRepeat);
        EXPECT_EQ(keys(), (c.key ? Keys{{c.key, 0}} : Keys{})) << c.x << "," << c.y;
    }
}

TEST_F(Radios, ComTransmitButtonsAndLamps) {
    // Host state and button; what it sends; the faces drawn (the glows too, with AC bus 2 only).
    struct Case { f64 both, second; int button; Keys sends; const char* faces; } cases[] = {
        {1.0, 0.0, 1, {{key_com_rx_both_set, 0}, {key_com_tx_select_1, 0}}, "11"},
        {1.0, 1.0, 2, {{key_com_rx_both_set, 0}, {key_com_tx_select_2, 0}}, "11"},
        {0.0, 1.0, 1, {{key_com_rx_both_set, 1}}, "01"}, {0.0, 1.0, 2, {}, "01"},
        {0.0, 0.0, 2, {{key_com_rx_both_set, 1}}, "10"}, {0.0, 0.0, 1, {}, "10"},
        {0.0, 0.5, 2, {}, "10"},                         {0.0, 0.5, 1, {}, "10"},
        {0.9999999999999999, 1.0, 1, {{key_com_rx_both_set, 1}}, "01"},  // not bit for bit 1.0
        {kNaN, kNaN, 2, {}, "10"},
    };
    for (const Case& c : cases) {
        for (u8 ac : {0, 1}) {
            token(kRxBoth, c.both);
            token(kTxSecond, c.second);
            elec_ac_bus2_powered = ac;
            frames(1);
            EXPECT_EQ(lamps(kCom, ComTx1Face, 2) + lamps(kCom, ComTx1Lit, 2), c.faces + std::string(ac ? c.faces : "00"));
        }
        keys();
        click(kCom, c.button == 1 ? 10 : 30, 100);
        EXPECT_EQ(keys(), c.sends) << c.both << " " << c.second << " button " << c.button;
    }
}

TEST_F(Radios, AdfTargetsFromTheRoundedFrequency) {
    struct Case { f64 khz; Digits want; f64 stored; } cases[] = {
        {1750.5, digits(1, 7, 5, 0, 5), 1750.5}, {999.9, digits(0, 9, 9, 9, 9), 999.9},
        {1000.0, digits(1, 0, 0, 0, 0), 1000},   {kNaN, digits(1, 0, 0, 0, 0), 1000},  // keeps the last
        {kInf, digits(1, 0, 0, 0, 0), 1000},     {415.3, digits(0, 4, 1, 5, 3), 415.3},
        {-20.0, digits(0, 0, 0, 0, 0), 0},       {1e12, digits(1, 9, 9, 9, 9), 1999.9},
        {999.97, digits(1, 0, 0, 0, 0), 999.97},
    };
    for (const Case& c : cases) {
        host().set_calc(kAdfExpr, c.khz);
        frames(1);
        EXPECT_EQ(digits(adf1_drum_thousands_target, adf1_drum_hundreds_target, adf1_drum_tens_target,
                         adf1_drum_units_target, adf1_drum_tenths_target), c.want) << c.khz;
        EXPECT_EQ(adf1_freq_khz, c.stored) << c.khz;
        EXPECT_EQ(adf1_freq_khz_int, sat_u32(c.stored)) << c.khz;
    }
    // A host that answers nothing leaves the stored frequency and the window as they stood.
    ServiceFn& calc = ImportTable.services->slot[SlotExecuteCalculatorCode / 4];
    const ServiceFn answering = calc;
    calc = reinterpret_cast<ServiceFn>(unanswered_calc);
    frames(1);
    calc = answering;
    EXPECT_EQ(digits(adf1_drum_thousands_target, adf1_drum_hundreds_target, adf1_drum_tens_target,
                     adf1_drum_units_target, adf1_drum_tenths_target), digits(1, 0, 0, 0, 0));
    EXPECT_EQ(adf1_freq_khz, 999.97);
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
        EXPECT_EQ(keys(), (Keys{{c.key, 0}})) << int(c.mode) << " " << c.x << "," << c.y;
    }
    for (u8 from : {0, 1, 5}) {
        adf1_tenths_mode = from;
        click(kAdf, 75, 25);
        EXPECT_EQ(adf1_tenths_mode, from == 0 ? 1 : 0);
    }
    // TEST: only with ESS AC or normal DC exactly 1, never over a raised latch.
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
    struct Case { f64 code; Digits want; } cases[] = {
        {0x7700, digits(7, 7, 0, 0)}, {0x1200, digits(1, 2, 0, 0)}, {0x4000, digits(4, 0, 0, 0)},
        {0x1000, digits(1, 0, 0, 0)}, {0x89AF, digits(7, 7, 7, 7)}, {-1.0, digits(7, 7, 7, 7)},
        {f64(0x12345), digits(2, 3, 4, 5)}, {kNaN, digits(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        token(kXpdr, c.code);
        frames(1);
        EXPECT_EQ(digits(xpdr_drum_thousands_target, xpdr_drum_hundreds_target, xpdr_drum_tens_target,
                         xpdr_drum_units_target), c.want) << c.code;
    }
    const u32 kUp[] = {key_xpdr_1000_inc, key_xpdr_100_inc, key_xpdr_10_inc, key_xpdr_1_inc};
    const u32 kDown[] = {key_xpdr_1000_dec, key_xpdr_100_dec, key_xpdr_10_dec, key_xpdr_1_dec};
    for (int col = 0; col < 4; ++col) {
        click(kTsp, 40 + 28 * col, 50);
        click(kTsp, 40 + 28 * col, 70);
        EXPECT_EQ(keys(), (Keys{{kUp[col], 0}, {kDown[col], 0}})) << col;
    }
}

TEST_F(Radios, BothComHeadsShareOneTransmitStateAndKeepTheirOwnLevers) {
    const char* com2 = "ketravin radio_com2_kr60";
    place(com2);
    token(kRxBoth, 1.0);
    frames(1);
    EXPECT_EQ(lamps(kCom, ComTx1Face, 2) + lamps(com2, ComTx1Face, 2), "1111");
    keys();
    click(com2, 90, 20);
    click(com2, 30, 100);
    EXPECT_EQ(keys(), (Keys{{key_com2_swap, 0}, {key_com_rx_both_set, 0}, {key_com_tx_select_2, 0}}));
    frames(1);
    EXPECT_EQ(lamps(kCom, ComTx1Face, 2) + lamps(com2, ComTx1Face, 2), "0101");
    EXPECT_EQ(com2_window_select * 10 + com1_window_select, 21);
}

TEST_F(Radios, PedestalHeadsLightWithZoneThreeTheTransponderWithZoneZero) {
    for (u8 zone : {0, 3}) {
        light_zone[0] = zone == 0, light_zone[3] = zone == 3;
        frames(1);
        for (const char* g : {kNav, kCom, kAdf})
            EXPECT_EQ(lit_luminous(element(g, 0)) && lit_luminous(element(g, 5)), zone == 3) << g;
        EXPECT_EQ(lit_luminous(element(kTsp, 0)) && lit_luminous(element(kTsp, 4)), zone == 0);
        EXPECT_FALSE(lit_luminous(element(kNav, 3)));  // the knob pointers are never lit
    }
}
