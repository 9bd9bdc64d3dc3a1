// The start-state chooser, the overview strip and the overview through the host: the COLD START
// height limit, EASY START's countdown step, VALID after a chooser preset in both gauge orders,
// the overview's automatic open and close states and its areas.
#include <cmath>
#include <limits>

#include "autoflight/state.h"
#include "core/failures_panel_state.h"
#include "core/presets_state.h"
#include "core/state.h"
#include "instruments/state.h"
#include "module/keys.h"
#include "tests/core/systems_fixture.h"

namespace {
const char* kChooser = "ketravin panload";
const char* kStrip = "ketravin panel_display";
const char* kOverview = "ketravin panel_overview";
const char* kFailures = "ketravin failures_kr60";
constexpr u32 kRadioHeightM = 614;
constexpr i32 kColdX = 100, kEasyX = 400, kHalfY = 100;
}  // namespace

class Chooser : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kChooser);
    }
    bool lit(size_t pos) { return !hidden(element(kChooser, pos)); }
};

TEST_F(Chooser, ColdStartOnlyBelowTwoHundredFeetEasyStartAlways) {
    constexpr f64 kInf = std::numeric_limits<f64>::infinity();
    const struct { f64 height_m; bool cold; } kCases[] = {
        {0.0, true}, {60.95, true}, {-kInf, true}, {60.96, false}, {kInf, false}, {std::nan(""), false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.height_m);
        panel_preset_select[0] = panel_preset_select[1] = light_refresh = 0;
        host().window_set(panel_win_panload, true);
        token(kRadioHeightM, c.height_m);
        click(kChooser, kColdX, kHalfY, MouseMove);
        frames(1);
        EXPECT_EQ(lit(1), c.cold);
        EXPECT_FALSE(lit(2));
        click(kChooser, 0, 45);
        EXPECT_EQ(panel_preset_select[1], c.cold ? 1 : 0);
        EXPECT_EQ(host().window_visible(panel_win_panload), !c.cold);
        EXPECT_EQ(light_refresh, c.cold ? 2 : 0);

        host().window_set(panel_win_panload, true);
        click(kChooser, 538, 243, MouseMove);
        frames(1);
        EXPECT_TRUE(lit(2) && !lit(1));
        click(kChooser, 270, 45);
        EXPECT_EQ(panel_preset_select[0], 1);
        EXPECT_FALSE(host().window_visible(panel_win_panload));
        EXPECT_EQ(light_refresh, 2);
        EXPECT_EQ(panel_chooser_hover, 0);
        for (const KeyLogEntry& k : new_keys())
            EXPECT_TRUE(!k.sent && k.id == key_panel_id_close && k.value == panel_win_panload);
    }
}

TEST_F(Chooser, EasyStartStepsTheCountdownWithoutWrapAndBandsClearTheHover) {
    const struct { u8 before, after; } kCases[] = {{100, 99}, {1, 0}, {0, 0}, {255, 255}, {101, 101}};
    for (const auto& c : kCases) {
        panel_easy_start_delay = c.before;
        click(kChooser, kEasyX, kHalfY);
        EXPECT_EQ(panel_easy_start_delay, c.after) << int(c.before);
    }
    for (i32 y : {0, 276}) {
        panel_chooser_hover = 2;
        EXPECT_TRUE(click(kChooser, 300, y, MouseMove));
        EXPECT_EQ(panel_chooser_hover, 0) << y;
        EXPECT_FALSE(click(kChooser, 300, y)) << "the bands take no clicks";
    }
    panel_chooser_hover = 255;
    frames(1);
    EXPECT_FALSE(lit(1) || lit(2));
}

// A chooser preset lights the failures panel's VALID: while EASY START runs, and for one frame
// after COLD START, in either gauge order.
class ChooserWithSystems : public SystemsTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        SystemsTest::SetUp();
        place(kFailures);
        place(kChooser);
        host().window_set(panel_win_failures, true);
        host().set_reverse_order(GetParam());
        start();
    }
    int valid_frames(int n) {
        int lit = 0;
        for (int i = 0; i < n; ++i) {
            frames(1);
            lit += !hidden(element(kFailures, 1));
        }
        return lit;
    }
};

TEST_P(ChooserWithSystems, EasyStartKeepsValidLitColdStartForOneFrame) {
    click(kChooser, kEasyX, kHalfY);
    frames(1);
    EXPECT_EQ(valid_frames(4), 4);
    EXPECT_EQ(panel_preset_select[0], 1) << "with the engines stopped it keeps running";
    EXPECT_EQ(panel_easy_start_delay, 94) << "99 after the choice, one step a frame";
    click(kFailures, 990, 93);  // EASY START OFF
    valid_frames(2);
    click(kChooser, kColdX, kHalfY);
    EXPECT_EQ(valid_frames(4), 1);
    EXPECT_EQ(panel_preset_select[1], 0) << "COLD START completes in one frame";
}
INSTANTIATE_TEST_SUITE_P(BothOrders, ChooserWithSystems, ::testing::Bool());

class Overview : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kStrip);
        place(kOverview);
    }
    bool open() { return host().window_visible(panel_win_overview); }
};

TEST_F(Overview, StripOpensAndClosesUnlessDisabled) {
    // gauge null: the overview closed from outside.
    const struct { const char* gauge; i32 x, y; u32 flags; u8 state; bool open; } kSteps[] = {
        {kStrip, 0, 9, MouseMove, 2, false},           {kStrip, 1279, 1, MouseMove, 0, true},
        {kStrip, 0, 9, MouseMove, 0, false},           {kStrip, 1279, 1, MouseMove, 0, true},
        {kStrip, 5, 0, MouseLeftSingle, 0, true},      {kStrip, 5, 2, MouseRightSingle, 10, true},
        {kStrip, 0, 9, MouseMove, 10, true},           {nullptr, 0, 0, 0, 10, false},
        {kStrip, 1279, 1, MouseMove, 10, false},       {kStrip, 5, 5, MouseLeftSingle, 0, false},
        {kStrip, 1279, 1, MouseMove, 0, true},         {kStrip, 5, 0, MouseRightSingle, 10, true},
        {kOverview, 51, 52, MouseLeftSingle, 10, false}, {kStrip, 5, 0, MouseLeftSingle, 0, false},
        {kStrip, 1279, 1, MouseMove, 0, true},         {kOverview, 51, 52, MouseLeftSingle, 0, false},
    };
    int step = 0;
    for (const auto& s : kSteps) {
        if (s.gauge)
            click(s.gauge, s.x, s.y, s.flags);
        else
            host().window_set(panel_win_overview, false);
        EXPECT_EQ(panel_overview_state, s.state) << "step " << step;
        EXPECT_EQ(open(), s.open) << "step " << step++;
    }
    new_keys();
    for (int i = 0; i < 2; ++i) click(kStrip, 5, 0, MouseMove);
    EXPECT_EQ(new_keys().size(), 2u) << "every move sends its event, not only on a change";
}

TEST_F(Overview, AreasHighlightActAndCloseTheOverviewOnlyWhenArmed) {
    // hover: set by a pointer move; 0: the area takes no moves.
    const struct { const char* what; i32 x, y; u8 hover; u32 window; u8 state; } kAreas[] = {
        {"engineer", 538, 325, 1, panel_win_fe_1, 2}, {"pedestal", 164, 233, 2, panel_win_pedestal_big, 0},
        {"upper 1", 316, 154, 3, panel_win_upper_1, 1}, {"upper 2", 164, 0, 4, panel_win_upper_2, 2},
        {"radios", 316, 325, 5, panel_win_radios, 10},  {"FAIL", 305, 397, 0, panel_win_failures, 0},
        {"GPS", 229, 449, 0, panel_win_gps, 1},         {"INS", 124, 397, 0, panel_win_ins, 10},
    };
    for (const auto& a : kAreas) {
        SCOPED_TRACE(a.what);
        panel_overview_state = a.state;
        host().window_set(panel_win_overview, true);
        panel_overview_hover = 9;
        EXPECT_EQ(click(kOverview, a.x, a.y, MouseMove), a.hover != 0);
        frames(1);
        for (u8 h = 1; h <= 5; ++h) EXPECT_EQ(!hidden(element(kOverview, h)), h == a.hover) << int(h);
        const bool was = host().window_visible(a.window);
        click(kOverview, a.x, a.y);
        EXPECT_NE(host().window_visible(a.window), was);
        EXPECT_EQ(panel_overview_hover, 0);
        EXPECT_EQ(open(), a.state != 0);
        EXPECT_EQ(panel_overview_state, a.state);
    }
    // Both engineer windows follow the first.
    host().window_set(panel_win_fe_1, false);
    click(kOverview, 362, 0);
    EXPECT_TRUE(host().window_visible(panel_win_fe_1) && host().window_visible(panel_win_fe_2));
    click(kOverview, 362, 0);
    EXPECT_FALSE(host().window_visible(panel_win_fe_1) || host().window_visible(panel_win_fe_2));
    panel_pedestal_choice = 2;
    click(kOverview, 316, 291);
    EXPECT_TRUE(host().window_visible(panel_win_pedestal));
}

TEST_F(Overview, CloseBoxClosesAndRearms) {
    panel_overview_state = 1;
    host().window_set(panel_win_overview, true);
    EXPECT_FALSE(click(kOverview, 0, 0, MouseMove));
    click(kOverview, 0, 0);
    EXPECT_FALSE(open());
    EXPECT_EQ(panel_overview_state, 0);
}
