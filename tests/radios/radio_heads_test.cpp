// The NAV, COM 1, ADF 1 and transponder heads through the host and its key-event model, the
// digit splits every head writes its drums with, and the transmit state both COM heads share.
#include <limits>
#include <utility>
#include <vector>

#include "electrical/state.h"
#include "lighting/state.h"
#include "module/keys.h"
#include "radios/com_head.h"
#include "radios/radio_keys.h"
#include "radios/state.h"
#include "tests/radios/radio_head_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
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
Digits adf_targets() {
    return digits(adf1_drum_thousands_target, adf1_drum_hundreds_target, adf1_drum_tens_target,
                  adf1_drum_units_target, adf1_drum_tenths_target);
}
}  // namespace

TEST(RadioDigits, NoWordPutsADigitOffItsDrum) {
    u32 h = 0, t = 0, n = 0;
    f64 u = 0, l = 0;
    for (u64 word = 0; word <= 0xFFFFFu; word += 7) {  // the high bits are ignored
        freq_window_targets(u32(word) | 0xABC00000u, {digit_out(&h), digit_out(&t), digit_out(&n), &u, &l});
        ASSERT_TRUE(h == 1 && t <= 9 && u <= 9 && n <= 9 && (l == 0 || l == 1 || l == 2 || l == 3)) << word;
        for (u32 d : squawk_split(u32(word) * 0x10001u).d) ASSERT_LE(d, 7u) << word;
    }
}

TEST_F(Radios, NavTargetsFollowThePoweredHostAndFreezeWithoutPower) {
    struct Case { u8 power; u32 nav1; Digits want; } cases[] = {
        {0, 0x1795, digits(1, 0, 0, 0, 0)}, {1, 0x1050, digits(1, 1, 0, 5, 0)}, {1, 0x1795, digits(1, 1, 7, 9, 2)},
        {2, 0x1050, digits(1, 1, 7, 9, 2)},  // only exactly 1 counts: frozen
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
        {1, 40, 15, 0, key_nav1_whole_inc}, {1, 10, 0, 15, key_nav1_whole_dec}, {7, 40, 4, 5, key_nav1_whole_inc},
        {2, 100, 15, 0, key_nav2_fract_inc}, {2, 70, 0, 15, key_nav2_fract_dec},
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

TEST_F(Radios, ComWindowsKeepTheirNumbersAcrossATransfer) {
    token(kComActive, 0x1825);
    token(kComStandby, 0x2150);
    for (int pass = 0; pass < 2; ++pass) {  // the transfer leaves both windows as they were
        frames(1);
        EXPECT_EQ(digits(com1_left_drum_hundreds_target, com1_left_drum_tens_target, com1_left_drum_units_target,
                         com1_left_drum_tenths_target, com1_left_drum_last_target), digits(1, 1, 8, 2, 2));
        EXPECT_EQ(digits(com1_right_drum_hundreds_target, com1_right_drum_tens_target, com1_right_drum_units_target,
                         com1_right_drum_tenths_target, com1_right_drum_last_target), digits(1, 2, 1, 5, 0));
        click(kCom, pass ? 90 : 60, 20);  // toward the active side: nothing
        click(kCom, 90, 20);
        EXPECT_EQ(keys(), (pass ? Keys{} : Keys{{key_com1_swap, 0}}));
        EXPECT_EQ(clicks(), pass ? 0u : 1u);
        EXPECT_EQ(com1_window_select, 2);
    }
    EXPECT_EQ(lamps(kCom, ComLeftActive, 2), "01");
}

// Both COM heads read and send the one transmit state; each keeps its own transfer lever.
TEST_F(Radios, ComTransmitButtonsShareOneStateAcrossBothHeads) {
    const char* com2 = "ketravin radio_com2_kr60";
    place(com2);
    elec_ac_bus2_powered = 1;
    struct Case { f64 both, second; const char* head; int button; Keys sends; const char* faces; } cases[] = {
        {1.0, 0.0, kCom, 1, {{key_com_rx_both_set, 0}, {key_com_tx_select_1, 0}}, "11"},
        {0.0, 1.0, kCom, 1, {{key_com_rx_both_set, 1}}, "01"},
        {0.9999999999999999, 1.0, kCom, 1, {{key_com_rx_both_set, 1}}, "01"},  // not bit for bit 1.0
        {1.0, 1.0, com2, 2, {{key_com_rx_both_set, 0}, {key_com_tx_select_2, 0}}, "11"},
    };
    for (const Case& c : cases) {
        token(kRxBoth, c.both);
        token(kTxSecond, c.second);
        frames(1);
        EXPECT_EQ(lamps(kCom, ComTx1Face, 2) + lamps(com2, ComTx1Face, 2), c.faces + std::string(c.faces));
        keys();
        click(c.head, c.button == 1 ? 10 : 30, 100);
        EXPECT_EQ(keys(), c.sends) << c.both << " " << c.second << " " << c.head;
    }
    click(com2, 90, 20);
    EXPECT_EQ(keys(), (Keys{{key_com2_swap, 0}}));
    EXPECT_EQ(com2_window_select * 10 + com1_window_select, 21);
}

TEST_F(Radios, AdfTargetsFromTheRoundedFrequency) {
    struct Case { f64 khz; Digits want; f64 stored; } cases[] = {
        {1750.5, digits(1, 7, 5, 0, 5), 1750.5}, {999.9, digits(0, 9, 9, 9, 9), 999.9},
        {1000.0, digits(1, 0, 0, 0, 0), 1000},   {kNaN, digits(1, 0, 0, 0, 0), 1000},  // keeps the last
        {-20.0, digits(0, 0, 0, 0, 0), 0},       {1e300, digits(1, 9, 9, 9, 9), 1999.9},
        {1999.96, digits(1, 9, 9, 9, 9), 1999.9}, {999.97, digits(1, 0, 0, 0, 0), 999.97},
    };
    for (const Case& c : cases) {
        host().set_calc(kAdfExpr, c.khz);
        frames(1);
        EXPECT_EQ(adf_targets(), c.want) << c.khz;
        EXPECT_EQ(adf1_freq_khz, c.stored) << c.khz;
        EXPECT_EQ(adf1_freq_khz_int, sat_u32(c.stored)) << c.khz;
    }
    // A host that answers nothing leaves the stored frequency and the window as they stood.
    ServiceFn& calc = ImportTable.services->slot[SlotExecuteCalculatorCode / 4];
    const ServiceFn answering = std::exchange(calc, reinterpret_cast<ServiceFn>(unanswered_calc));
    frames(1);
    calc = answering;
    EXPECT_EQ(adf_targets(), digits(1, 0, 0, 0, 0));
    EXPECT_EQ(adf1_freq_khz, 999.97);
}

TEST_F(Radios, TransponderDigitsAndDigitEvents) {
    struct Case { f64 code; Digits want; } cases[] = {
        {0x7700, digits(7, 7, 0, 0)},  {0x4000, digits(4, 0, 0, 0)},       {0x89AF, digits(7, 7, 7, 7)},
        {-1.0, digits(7, 7, 7, 7)},    {f64(0x12345), digits(2, 3, 4, 5)}, {kNaN, digits(0, 0, 0, 0)},
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
