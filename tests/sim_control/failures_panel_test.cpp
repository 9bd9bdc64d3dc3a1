// The failures and easy-start panel through the host: ON and OFF, the settings' bounds, the
// displays, VALID with the systems computer, and EXIT.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engines/state.h"
#include "sim_control/state.h"
#include "module/keys.h"
#include "tests/systems/systems_fixture.h"

namespace {
const char* kPanel = "ketravin failures_kr60";
constexpr i32 kButtonW = 67, kButtonH = 28;
constexpr size_t kValidLit = 1;

// The 18 selection bytes, to check that a click touches only its own.
std::vector<u8> selection() {
    std::vector<u8> s;
    for (u8 b : panel_preset_select) s.push_back(b);
    for (u8 b : fail_select) s.push_back(b);
    s.push_back(fail_eng1_select);
    s.push_back(fail_eng2_select);
    return s;
}
}  // namespace

class FailuresPanel : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kPanel);
        host().window_set(panel_win_failures, true);
    }
    bool lit(size_t pos) { return !hidden(element(kPanel, pos)); }
};

TEST_F(FailuresPanel, OnArmsOnlyFromOffOffClearsAnyRowsLightExitHides) {
    // lamp: the row's highlight; label: the group label lit with it (0: none).
    const struct { const char* what; i32 on_x, off_x, y; u8* byte; size_t lamp, label; } kRows[] = {
        {"EASY START", 923, 990, 93, &panel_preset_select[0], 23, 0},
        {"COLD START", 923, 990, 143, &panel_preset_select[1], 22, 0},
        {"ENGINE 1", 763, 830, 202, &fail_eng1_select, 20, 21},
        {"ENGINE 2", 763, 830, 284, &fail_eng2_select, 18, 19},
        {"engines autostart", 923, 990, 277, &fail_select[10], 5, 0},
        {"APU", 763, 830, 373, &fail_select[0], 17, 0},
        {"apu autostart", 923, 990, 385, &fail_select[11], 4, 0},
        {"gen 1", 763, 830, 458, &fail_select[1], 15, 16},
        {"gen 2", 763, 830, 486, &fail_select[2], 14, 16},
        {"elec auto.", 923, 990, 490, &fail_select[12], 3, 0},
        {"blue circuit", 763, 830, 561, &fail_select[3], 12, 13},
        {"green circuit", 763, 830, 589, &fail_select[4], 11, 13},
        {"yellow circuit", 763, 830, 617, &fail_select[5], 10, 13},
        {"hydraulic auto.", 923, 990, 605, &fail_select[13], 2, 0},
        {"TYPICAL FAILURES EVENTS 1", 610, 677, 678, &fail_select[6], 9, 0},
        {"TYPICAL FAILURES EVENTS 2", 610, 677, 706, &fail_select[7], 8, 0},
        {"RANDOM FAILURES", 610, 677, 734, &fail_select[8], 7, 0},
        {"CANCEL ALL", 610, 677, 783, &fail_select[9], 6, 0},
    };
    for (const auto& r : kRows) {
        SCOPED_TRACE(r.what);
        const std::vector<u8> before = selection();
        EXPECT_TRUE(click(kPanel, r.on_x + kButtonW - 1, r.y + kButtonH - 1));
        EXPECT_EQ(*r.byte, 2);
        frames(1);
        for (size_t pos = 2; pos <= 23; ++pos) EXPECT_EQ(lit(pos), pos == r.lamp || pos == r.label) << pos;
        EXPECT_FALSE(lit(kValidLit)) << "VALID lights from the systems computer's sums only";
        click(kPanel, r.off_x, r.y);
        EXPECT_EQ(selection(), before);
        frames(1);
        EXPECT_FALSE(lit(r.lamp) || (r.label && lit(r.label)));
        *r.byte = 1;  // active: ON leaves it alone, OFF clears it
        click(kPanel, r.on_x, r.y);
        EXPECT_EQ(*r.byte, 1);
        click(kPanel, r.off_x + kButtonW - 1, r.y + kButtonH - 1);
        EXPECT_EQ(*r.byte, 0);
    }
    // A latched engine fire lights its ENGINE label alone.
    for (u8* fire : {&fire_eng1_state, &fire_eng2_state}) {
        *fire = 2;
        frames(1);
        EXPECT_TRUE(lit(fire == &fire_eng1_state ? 21 : 19) && !lit(20) && !lit(18));
        EXPECT_FALSE(lit(fire == &fire_eng1_state ? 19 : 21));
        *fire = 0;
    }
    EXPECT_TRUE(click(kPanel, 908 + 178, 757 + 44));  // EXIT, through the window service
    EXPECT_FALSE(host().window_visible(panel_win_failures));
    EXPECT_TRUE(new_keys().empty());
}

TEST_F(FailuresPanel, SettingsStopAtZeroAndAtTheTopOfTheByteAlsoOnRepeat) {
    const struct { size_t index; i32 minus_x, plus_x, y; } kSettings[] = {
        {8, 525, 592, 202}, {0, 442, 509, 617}};
    for (const auto& s : kSettings) {
        SCOPED_TRACE(s.index);
        u8& v = fail_setting[s.index];
        click(kPanel, s.minus_x, s.y);
        EXPECT_EQ(v, 0) << "\"-\" at 0 leaves 0";
        for (int i = 0; i < 3; ++i) click(kPanel, s.plus_x + kButtonW - 1, s.y);
        click(kPanel, s.plus_x, s.y + kButtonH - 1, MouseRepeat);
        EXPECT_EQ(v, 4);
        click(kPanel, s.minus_x, s.y, MouseRepeat);
        EXPECT_EQ(v, 3);
        v = 254;
        for (int i = 0; i < 3; ++i) click(kPanel, s.plus_x, s.y, MouseRepeat);
        EXPECT_EQ(v, 255) << "no wrap to 0";
        v = 1;
        click(kPanel, s.minus_x, s.y);
        EXPECT_EQ(v, 0) << "\"-\" from 1 reaches 0";
        EXPECT_EQ(std::count(fail_setting, fail_setting + 10, 0), 10) << "only its own setting moves";
    }
}

TEST_F(FailuresPanel, DisplaysShowTheirByteInThreeCharacters) {
    const struct { u8 value; const char* text; } kCases[] = {{0, "  0"}, {7, "  7"}, {255, "255"}};
    for (const auto& c : kCases) {
        std::memset(fail_countdown, c.value, sizeof fail_countdown);
        std::memset(fail_setting, c.value, sizeof fail_setting);
        frames(1);
        for (size_t pos = 24; pos <= 33; ++pos) {
            EXPECT_EQ(text(kPanel, pos), c.text) << pos;
            EXPECT_EQ(drawn(kPanel, pos).value, c.value) << pos;
        }
    }
}

// VALID with the systems computer computing the selection sums (both gauge orders: panload_test).
TEST_F(SystemsTest, FailuresPanelValidAppliesNotesTheStartTimeAndWhenDarkOnlyCopiesTheSum) {
    place(kPanel);
    host().window_set(panel_win_failures, true);
    start();
    const auto valid_lit = [&] { return !hidden(element(kPanel, kValidLit)); };
    fail_setting[3] = 2;
    seconds(125.5);
    click(kPanel, 763, 458);  // gen 1 ON
    frames(2);
    EXPECT_TRUE(valid_lit());
    click(kPanel, 830, 458);  // OFF before VALID: VALID dark again
    frames(2);
    EXPECT_FALSE(valid_lit());
    click(kPanel, 763, 458);
    frames(2);
    ASSERT_TRUE(valid_lit());
    const u32 now_s = u32(host().token(tk::sim_time));
    EXPECT_TRUE(click(kPanel, 908, 691));
    EXPECT_EQ(fail_select[1], 1);
    EXPECT_EQ(fail_start_time[5], now_s);
    frames(2);
    EXPECT_FALSE(valid_lit());
    EXPECT_EQ(text(kPanel, 29), "  2");
    // The dark VALID still clicks: with nothing lit it only copies the sum.
    fail_select[3] = 2;
    fail_select_sum = 7;
    EXPECT_TRUE(click(kPanel, 1086, 735));
    EXPECT_EQ(fail_select[3], 2);
    EXPECT_EQ(fail_select_sum_applied, 7);
}
