// The NAV and transponder heads through the host and its key-event model, and the digit splits
// every head writes its drums with. COM 1 and ADF 1 are tested beside their second heads.
#include <limits>
#include <vector>

#include "electrical/state.h"
#include "radios/radio_digits.h"
#include "radios/radio_keys.h"
#include "radios/state.h"
#include "tests/radios/radio_head_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
const char *kNav = "ketravin radio_nav_kr60", *kTsp = "ketravin radio_tsp_kr60";
constexpr u32 kNav1 = 24, kNav2 = 27, kXpdr = 38;

class Radios : public RadioHeadTest {
protected:
    void SetUp() override {
        RadioHeadTest::SetUp();
        place_heads({kNav, kTsp});
    }
};
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
    struct Case { u8 power; u32 nav1; Digits want; u32 nav2; Digits want2; } cases[] = {
        {0, 0x1795, digits(1, 0, 0, 0, 0), 0x1310, digits(1, 0, 0, 0, 0)},
        {1, 0x1050, digits(1, 1, 0, 5, 0), 0x1310, digits(1, 1, 3, 1, 0)},
        {1, 0x1795, digits(1, 1, 7, 9, 2), 0x0825, digits(1, 0, 8, 2, 2)},
        {2, 0x1050, digits(1, 1, 7, 9, 2), 0x1310, digits(1, 0, 8, 2, 2)},  // only exactly 1 counts: frozen
        {1, 0xFAB7, digits(1, 9, 9, 9, 3), 0x1797, digits(1, 1, 7, 9, 3)},  // nibbles A-F stay on the strip
    };
    for (const Case& c : cases) {
        dc_ess_powered = c.power;
        token(kNav1, c.nav1);
        token(kNav2, c.nav2);
        frames(1);
        EXPECT_EQ(digits(nav1_drum_hundreds_target, nav1_drum_tens_target, nav1_drum_units_target,
                         nav1_drum_tenths_target, nav1_drum_last_target), c.want) << std::hex << c.nav1;
        EXPECT_EQ(digits(nav2_drum_hundreds_target, nav2_drum_tens_target, nav2_drum_units_target,
                         nav2_drum_tenths_target, nav2_drum_last_target), c.want2) << std::hex << c.nav2;
    }
    frames(60);  // the drums settle on the last targets, drawn lowest digit first
    EXPECT_EQ(ys(kNav, 5, 5), digits(3, 9, 9, 9, 1));
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

TEST_F(Radios, TransponderDigitsAndDigitEvents) {
    struct Case { f64 code; Digits want; } cases[] = {
        {0x4000, digits(4, 0, 0, 0)}, {0x89AF, digits(7, 7, 7, 7)}, {-1.0, digits(7, 7, 7, 7)},
        {f64(0x12345), digits(2, 3, 4, 5)}, {kNaN, digits(0, 0, 0, 0)}, {0x7700, digits(7, 7, 0, 0)},
    };
    for (const Case& c : cases) {
        token(kXpdr, c.code);
        frames(1);
        EXPECT_EQ(digits(xpdr_drum_thousands_target, xpdr_drum_hundreds_target, xpdr_drum_tens_target,
                         xpdr_drum_units_target), c.want) << c.code;
    }
    frames(60);
    EXPECT_EQ(ys(kTsp, 1, 4), digits(0, 0, 7, 7));
    const u32 kUp[] = {key_xpdr_1000_inc, key_xpdr_100_inc, key_xpdr_10_inc, key_xpdr_1_inc};
    const u32 kDown[] = {key_xpdr_1000_dec, key_xpdr_100_dec, key_xpdr_10_dec, key_xpdr_1_dec};
    for (int col = 0; col < 4; ++col) {
        click(kTsp, 40 + 28 * col, 50);
        click(kTsp, 40 + 28 * col, 70);
        EXPECT_EQ(keys(), (Keys{{kUp[col], 0}, {kDown[col], 0}})) << col;
    }
}
