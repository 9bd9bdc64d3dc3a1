// The failures and easy-start panel through the host: ON and OFF on every row, the settings and
// their bounds, the displays with hostile values, the lamps, VALID with the systems computer in
// both gauge orders, and EXIT.
#include <cstring>
#include <string>
#include <vector>

#include "core/presets_state.h"
#include "core/state.h"
#include "engines/state.h"
#include "module/keys.h"
#include "tests/core/systems_fixture.h"

namespace {
const char* kPanel = "ketravin failures_kr60";
constexpr i32 kButtonW = 67, kButtonH = 28;
constexpr size_t kValidLit = 1;

struct OnOffRow {
    const char* what;
    i32 on_x, on_y, off_x, off_y;
    u8* byte;
    size_t lamp;  // the row's icon
};
const OnOffRow kRows[] = {
    {"EASY START", 923, 93, 990, 93, &panel_preset_select[0], 23},
    {"COLD START", 923, 143, 990, 143, &panel_preset_select[1], 22},
    {"ENGINE 1", 763, 202, 830, 202, &fail_eng1_select, 20},
    {"ENGINE 2", 763, 284, 830, 284, &fail_eng2_select, 18},
    {"engines autostart", 923, 277, 990, 277, &fail_select[10], 5},
    {"APU", 763, 373, 830, 373, &fail_select[0], 17},
    {"apu autostart", 923, 385, 990, 385, &fail_select[11], 4},
    {"gen 1", 763, 458, 830, 458, &fail_select[1], 15},
    {"gen 2", 763, 486, 830, 486, &fail_select[2], 14},
    {"elec auto", 923, 490, 990, 490, &fail_select[12], 3},
    {"blue", 763, 561, 830, 561, &fail_select[3], 12},
    {"green", 763, 589, 830, 589, &fail_select[4], 11},
    {"yellow", 763, 617, 830, 617, &fail_select[5], 10},
    {"hydraulic auto", 923, 605, 990, 605, &fail_select[13], 2},
    {"TYPICAL 1", 610, 678, 677, 678, &fail_select[6], 9},
    {"TYPICAL 2", 610, 706, 677, 706, &fail_select[7], 8},
    {"RANDOM", 610, 734, 677, 734, &fail_select[8], 7},
    {"CANCEL ALL", 610, 783, 677, 783, &fail_select[9], 6},
};

struct SettingRow {
    size_t index;
    i32 minus_x, minus_y, plus_x, plus_y;
    i32 display;  // chain position of the display showing the setting, or -1
};
const SettingRow kSettings[] = {
    {9, 322, 202, 389, 202, -1}, {8, 525, 202, 592, 202, 25}, {7, 322, 284, 389, 284, -1},
    {6, 525, 284, 592, 284, 27}, {5, 321, 373, 388, 373, -1}, {3, 358, 458, 425, 458, -1},
    {4, 358, 486, 425, 486, -1}, {2, 442, 561, 509, 561, -1}, {1, 442, 589, 509, 589, -1},
    {0, 442, 617, 509, 617, -1},
};
// Displays showing fail_countdown[index], by chain position.
const struct {
    size_t pos, index;
} kCountdownDisplays[] = {{24, 7}, {26, 6}, {28, 5}, {29, 3}, {30, 4}, {31, 2}, {32, 1}, {33, 0}};

// The 18 selection bytes, to check that a click touches only its own.
struct Selection {
    u8 bytes[18];
    bool operator==(const Selection& o) const { return std::memcmp(bytes, o.bytes, sizeof bytes) == 0; }
};
Selection selection() {
    Selection s{};
    std::memcpy(s.bytes, panel_preset_select, 2);
    std::memcpy(s.bytes + 2, fail_select, 14);
    s.bytes[16] = fail_eng1_select;
    s.bytes[17] = fail_eng2_select;
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

TEST_F(FailuresPanel, OnArmsOnlyFromOffOffClearsAnyAndTheRowLights) {
    frames(1);
    for (const OnOffRow& r : kRows) {
        SCOPED_TRACE(r.what);
        ASSERT_TRUE(hidden(element(kPanel, r.lamp)));
        // ON at both far corners of its box, OFF likewise; nothing else moves.
        Selection before = selection();
        EXPECT_TRUE(click(kPanel, r.on_x + kButtonW - 1, r.on_y + kButtonH - 1));
        EXPECT_EQ(*r.byte, 2);
        *r.byte = 0;
        EXPECT_TRUE(before == selection());
        click(kPanel, r.on_x, r.on_y);
        frames(1);
        EXPECT_TRUE(lit(r.lamp));
        EXPECT_FALSE(lit(kValidLit)) << "VALID lights from the systems computer's sums only";
        click(kPanel, r.off_x + kButtonW - 1, r.off_y + kButtonH - 1);
        EXPECT_EQ(*r.byte, 0);
        frames(1);
        EXPECT_FALSE(lit(r.lamp));
        // An active item is left alone by ON; OFF clears it.
        *r.byte = 1;
        click(kPanel, r.on_x, r.on_y);
        EXPECT_EQ(*r.byte, 1);
        click(kPanel, r.off_x, r.off_y);
        EXPECT_EQ(*r.byte, 0);
        before = selection();
        click(kPanel, r.off_x, r.off_y);
        EXPECT_TRUE(before == selection());
    }
}

TEST_F(FailuresPanel, SettingsStepWithinZeroAndTheTopOfTheByteAlsoOnRepeat) {
    for (const SettingRow& s : kSettings) {
        SCOPED_TRACE(s.index);
        u8& v = fail_setting[s.index];
        click(kPanel, s.minus_x, s.minus_y);
        EXPECT_EQ(v, 0) << "\"-\" at 0 leaves 0";
        for (int i = 0; i < 3; ++i) click(kPanel, s.plus_x + kButtonW - 1, s.plus_y, MouseLeftSingle);
        click(kPanel, s.plus_x, s.plus_y + kButtonH - 1, MouseRepeat);
        EXPECT_EQ(v, 4);
        click(kPanel, s.minus_x, s.minus_y, MouseRepeat);
        EXPECT_EQ(v, 3);
        v = 254;
        for (int i = 0; i < 3; ++i) click(kPanel, s.plus_x, s.plus_y, MouseRepeat);
        EXPECT_EQ(v, 255) << "no wrap to 0";
        click(kPanel, s.minus_x, s.minus_y);
        EXPECT_EQ(v, 254);
        for (const SettingRow& other : kSettings) {
            if (other.index != s.index) {
                EXPECT_EQ(fail_setting[other.index], 0) << other.index;
            }
        }
        v = 0;
    }
}

TEST_F(FailuresPanel, DisplaysPrintThreeCharactersOfTheirByte) {
    const struct {
        u8 value;
        const char* text;
    } kCases[] = {{0, "  0"}, {7, "  7"}, {42, " 42"}, {255, "255"}};
    for (const auto& c : kCases) {
        for (const auto& d : kCountdownDisplays) fail_countdown[d.index] = c.value;
        for (const SettingRow& s : kSettings) fail_setting[s.index] = c.value;
        frames(1);
        for (size_t pos = 24; pos <= 33; ++pos) {
            EXPECT_EQ(text(kPanel, pos), c.text) << pos;
            EXPECT_EQ(drawn(kPanel, pos).value, c.value) << pos;
        }
    }
    // Each display shows its own byte.
    for (const auto& d : kCountdownDisplays) {
        std::memset(fail_countdown, 0, sizeof fail_countdown);
        fail_countdown[d.index] = 9;
        frames(1);
        for (size_t pos = 24; pos <= 33; ++pos) EXPECT_EQ(text(kPanel, pos) == "  9", pos == d.pos) << pos;
    }
    std::memset(fail_countdown, 0, sizeof fail_countdown);
    for (const SettingRow& s : kSettings) {
        if (s.display < 0) continue;
        std::memset(fail_setting, 0, sizeof fail_setting);
        fail_setting[s.index] = 99;
        frames(1);
        for (size_t pos = 24; pos <= 33; ++pos) EXPECT_EQ(text(kPanel, pos) == " 99", i32(pos) == s.display) << pos;
    }
}

TEST_F(FailuresPanel, LabelsFollowTheirRowsAndEngineFiresValidFollowsTheApplyEnable) {
    const struct {
        const char* what;
        u8* byte;
        u8 value;
        std::vector<size_t> lit;
    } kCases[] = {
        {"engine 1 fire", &fire_eng1_state, 1, {21}},
        {"engine 2 fire", &fire_eng2_state, 3, {19}},
        {"engine 1 armed", &fail_eng1_select, 2, {20, 21}},
        {"engine 2 active", &fail_eng2_select, 1, {18, 19}},
        {"gen 1", &fail_select[1], 1, {15, 16}},
        {"gen 2", &fail_select[2], 2, {14, 16}},
        {"blue", &fail_select[3], 1, {12, 13}},
        {"green", &fail_select[4], 2, {11, 13}},
        {"yellow", &fail_select[5], 1, {10, 13}},
        {"apply enable 2", &fail_apply_enable, 2, {kValidLit}},
        {"apply enable 1", &fail_apply_enable, 1, {}},
        {"any value lights a row", &fail_select[0], 7, {17}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        *c.byte = c.value;
        frames(1);
        for (size_t pos = 1; pos <= 23; ++pos) {
            bool expected = false;
            for (size_t p : c.lit) expected = expected || p == pos;
            EXPECT_EQ(lit(pos), expected) << pos;
        }
        *c.byte = 0;
    }
    for (size_t pos = 0; pos <= 33; ++pos) EXPECT_TRUE(lit_bright(element(kPanel, pos))) << pos;
}

TEST_F(FailuresPanel, ExitHidesTheWindow) {
    EXPECT_TRUE(click(kPanel, 908 + 178, 757 + 44));
    EXPECT_FALSE(host().window_visible(panel_win_failures));
    EXPECT_TRUE(new_keys().empty()) << "through the window service, no key event";
}

// VALID with the systems computer computing the selection sums, in both gauge orders.
class FailuresPanelValid : public SystemsTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        SystemsTest::SetUp();
        place(kPanel);
        host().window_set(panel_win_failures, true);
        host().set_reverse_order(GetParam());
        start();
    }
    bool valid_lit() { return !hidden(element(kPanel, kValidLit)); }
    void valid() { ASSERT_TRUE(click(kPanel, 908, 691)); }
};

TEST_P(FailuresPanelValid, ArmLightsValidWhichAppliesAndNotesTheStartTime) {
    fail_setting[3] = 2;
    seconds(125.5);
    click(kPanel, 763, 458);  // gen 1 ON
    frames(2);
    EXPECT_TRUE(valid_lit());
    click(kPanel, 830, 458);  // OFF before VALID: gone, VALID dark again
    frames(2);
    EXPECT_FALSE(valid_lit());
    click(kPanel, 763, 458);
    frames(2);
    ASSERT_TRUE(valid_lit());
    const u32 now_s = u32(host().token(tk::sim_time));
    valid();
    EXPECT_EQ(fail_select[1], 1);
    EXPECT_EQ(fail_start_time[5], now_s);
    frames(2);
    EXPECT_FALSE(valid_lit());
    EXPECT_EQ(fail_countdown[3], 2);
    EXPECT_EQ(text(kPanel, 29), "  2");
    // ON on the active item changes nothing and does not light VALID.
    click(kPanel, 763, 458);
    frames(2);
    EXPECT_EQ(fail_select[1], 1);
    EXPECT_FALSE(valid_lit());
}

TEST_P(FailuresPanelValid, ValidWithNothingPendingOnlyCopiesTheSum) {
    fail_select[3] = 2;
    fail_apply_enable = 0;
    fail_select_sum = 7;
    valid();
    EXPECT_EQ(fail_select[3], 2);
    EXPECT_EQ(fail_select_sum_applied, 7);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, FailuresPanelValid, ::testing::Bool());
