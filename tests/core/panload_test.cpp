// The start-state chooser, the overview strip and the overview through the host: the COLD START
// height limit with hostile heights, EASY START's countdown step without wrap, VALID lighting
// after a chooser preset in both gauge orders, the overview's automatic open and close states,
// every overview area, and where the four gauges sit in the table and the panel.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "autoflight/state.h"
#include "core/failures_panel_state.h"
#include "core/presets_state.h"
#include "core/state.h"
#include "host/host_model.h"
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
constexpr size_t kColdLit = 1, kEasyLit = 2;
}  // namespace

class Chooser : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kChooser);
        host().window_set(panel_win_panload, true);
    }
};

TEST_F(Chooser, ColdStartOnlyBelowTwoHundredFeetEasyStartAlways) {
    constexpr f64 kInf = std::numeric_limits<f64>::infinity();
    const struct {
        f64 height_m;
        bool cold_offered;
    } kCases[] = {{0.0, true},      {60.95, true},  {-5.0, true}, {-kInf, true},
                  {60.96, false},   {300.0, false}, {kInf, false}, {std::nan(""), false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.height_m);
        panel_preset_select[0] = panel_preset_select[1] = 0;
        panel_chooser_hover = 0;
        light_refresh = 0;
        host().window_set(panel_win_panload, true);
        token(kRadioHeightM, c.height_m);

        click(kChooser, kColdX, kHalfY, MouseMove);
        EXPECT_EQ(panel_chooser_hover, c.cold_offered ? 1 : 0);
        click(kChooser, 0, 45);
        EXPECT_EQ(panel_preset_select[1], c.cold_offered ? 1 : 0);
        EXPECT_EQ(host().window_visible(panel_win_panload), !c.cold_offered);
        EXPECT_EQ(light_refresh, c.cold_offered ? 2 : 0);
        EXPECT_EQ(panel_chooser_hover, 0);

        host().window_set(panel_win_panload, true);
        click(kChooser, 538, 243, MouseMove);
        EXPECT_EQ(panel_chooser_hover, 2);
        click(kChooser, 270, 45);
        EXPECT_EQ(panel_preset_select[0], 1);
        EXPECT_FALSE(host().window_visible(panel_win_panload));
        EXPECT_EQ(light_refresh, 2);
        EXPECT_EQ(panel_chooser_hover, 0);
        for (const KeyLogEntry& k : new_keys()) {
            EXPECT_FALSE(k.sent) << "trigger_key_event";
            EXPECT_EQ(k.id, key_panel_id_close);
            EXPECT_EQ(k.value, panel_win_panload);
        }
    }
}

TEST_F(Chooser, EasyStartTakesOneCountdownStepThatNeverWraps) {
    const struct {
        u8 before, after;
    } kCases[] = {{100, 99}, {1, 0}, {0, 0}, {255, 255}, {101, 101}};
    for (const auto& c : kCases) {
        panel_easy_start_delay = c.before;
        click(kChooser, kEasyX, kHalfY);
        EXPECT_EQ(panel_easy_start_delay, c.after) << int(c.before);
    }
    // COLD START leaves it alone.
    panel_easy_start_delay = 50;
    click(kChooser, kColdX, kHalfY);
    EXPECT_EQ(panel_easy_start_delay, 50);
}

TEST_F(Chooser, HighlightsFollowTheHoverAndBandsClearIt) {
    const struct {
        u8 hover;
        bool cold, easy;
    } kCases[] = {{0, false, false}, {1, true, false}, {2, false, true}, {3, false, false}, {255, false, false}};
    for (const auto& c : kCases) {
        panel_chooser_hover = c.hover;
        frames(1);
        EXPECT_EQ(!hidden(element(kChooser, kColdLit)), c.cold) << int(c.hover);
        EXPECT_EQ(!hidden(element(kChooser, kEasyLit)), c.easy) << int(c.hover);
    }
    for (i32 y : {0, 44, 244, 276}) {
        panel_chooser_hover = 2;
        EXPECT_TRUE(click(kChooser, 300, y, MouseMove));
        EXPECT_EQ(panel_chooser_hover, 0) << y;
        EXPECT_FALSE(click(kChooser, 300, y)) << "the bands take no clicks";
    }
    for (size_t pos = 0; pos < 3; ++pos) EXPECT_TRUE(lit_bright(element(kChooser, pos)));
}

// A chooser preset starts at once and lights the failures panel's VALID: while EASY START runs,
// and for one frame after COLD START, in either gauge order.
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
            if (!hidden(element(kFailures, 1))) ++lit;
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
    enum Act { MoveTop, MoveBelow, RightTop, RightBelow, LeftTop, LeftBelow, CloseWindow, CloseBox };
    const struct {
        Act act;
        u8 state;
        bool open;
    } kSteps[] = {
        {MoveBelow, 2, false}, {MoveTop, 0, true},    {MoveBelow, 0, false},  {MoveTop, 0, true},
        {LeftTop, 0, true},    {RightBelow, 10, true}, {MoveBelow, 10, true}, {CloseWindow, 10, false},
        {MoveTop, 10, false},  {LeftBelow, 0, false},  {MoveTop, 0, true},    {RightTop, 10, true},
        {CloseBox, 10, false}, {LeftTop, 0, false},    {MoveTop, 0, true},    {CloseBox, 0, false},
    };
    EXPECT_EQ(panel_overview_state, 2);
    int step = 0;
    for (const auto& s : kSteps) {
        switch (s.act) {
            case MoveTop: click(kStrip, 1279, 1, MouseMove); break;
            case MoveBelow: click(kStrip, 0, 9, MouseMove); break;
            case RightTop: click(kStrip, 5, 0, MouseRightSingle); break;
            case RightBelow: click(kStrip, 5, 2, MouseRightSingle); break;
            case LeftTop: click(kStrip, 5, 0); break;
            case LeftBelow: click(kStrip, 5, 5); break;
            case CloseWindow: host().window_set(panel_win_overview, false); break;
            case CloseBox: click(kOverview, 51, 52); break;
        }
        EXPECT_EQ(panel_overview_state, s.state) << "step " << step;
        EXPECT_EQ(open(), s.open) << "step " << step;
        ++step;
    }
    // Every move sends its event, not only on a change.
    new_keys();
    click(kStrip, 5, 0, MouseMove);
    click(kStrip, 5, 0, MouseMove);
    const auto keys = new_keys();
    ASSERT_EQ(keys.size(), 2u);
    for (const KeyLogEntry& k : keys) EXPECT_TRUE(!k.sent && k.id == key_panel_id_open && k.value == panel_win_overview);
    EXPECT_FALSE(lit_luminous(element(kStrip, 0)) || lit_bright(element(kStrip, 0)));
}

TEST_F(Overview, AreasHighlightAndToggleTheirWindowsAndCloseTheOverviewOnlyWhenArmed) {
    const struct {
        const char* what;
        i32 x, y;
        u8 hover;  // on a pointer move; 0: the area takes no moves
        u32 window;
    } kAreas[] = {
        {"pedestal", 164, 233, 2, panel_win_pedestal_big}, {"upper 1", 316, 154, 3, panel_win_upper_1},
        {"upper 2", 164, 0, 4, panel_win_upper_2},         {"radios", 316, 325, 5, panel_win_radios},
        {"FAIL", 305, 397, 0, panel_win_failures},         {"GPS", 229, 449, 0, panel_win_gps},
        {"INS", 124, 397, 0, panel_win_ins},
    };
    host().window_set(panel_win_overview, true);
    for (u8 state : {0, 1, 2, 10}) {
        for (const auto& a : kAreas) {
            SCOPED_TRACE(std::string(a.what) + " state " + std::to_string(state));
            panel_overview_state = state;
            host().window_set(panel_win_overview, true);
            panel_overview_hover = 9;
            EXPECT_EQ(click(kOverview, a.x, a.y, MouseMove), a.hover != 0);
            if (a.hover) {
                EXPECT_EQ(panel_overview_hover, a.hover);
                frames(1);
                for (u8 h = 1; h <= 5; ++h) EXPECT_EQ(!hidden(element(kOverview, h)), h == a.hover) << int(h);
            }
            const bool was = host().window_visible(a.window);
            click(kOverview, a.x, a.y);
            EXPECT_NE(host().window_visible(a.window), was);
            EXPECT_EQ(panel_overview_hover, 0);
            EXPECT_EQ(open(), state != 0);
            EXPECT_EQ(panel_overview_state, state);
        }
    }
    panel_pedestal_choice = 2;
    click(kOverview, 316, 291);
    EXPECT_TRUE(host().window_visible(panel_win_pedestal));
    for (size_t pos = 0; pos <= 5; ++pos) EXPECT_TRUE(lit_luminous(element(kOverview, pos)));
}

TEST_F(Overview, FlightEngineerPairAtcCompassCloseBoxAndEmptyAreas) {
    panel_overview_state = 1;
    host().window_set(panel_win_fe_2, true);
    click(kOverview, 538, 325, MouseMove);
    EXPECT_EQ(panel_overview_hover, 1);
    click(kOverview, 362, 0);
    EXPECT_TRUE(host().window_visible(panel_win_fe_1) && host().window_visible(panel_win_fe_2));
    click(kOverview, 362, 0);
    EXPECT_FALSE(host().window_visible(panel_win_fe_1) || host().window_visible(panel_win_fe_2));

    for (u8 shown : {1, 0, 1}) {
        click(kOverview, 252, 397);
        EXPECT_EQ(panel_compass_shown, shown);
        EXPECT_EQ(host().token(kHostCompassShownToken), f64(shown));
    }
    panel_compass_shown = 7;  // any value but 1 counts as hidden
    click(kOverview, 304, 449);
    EXPECT_EQ(panel_compass_shown, 1);

    const struct {
        i32 x, y;
    } kEmpty[] = {{105, 0}, {0, 60}, {164, 155}, {317, 0}, {164, 326}, {230, 397}, {358, 326}, {538, 449}};
    for (const auto& e : kEmpty) {
        panel_overview_hover = 3;
        EXPECT_TRUE(click(kOverview, e.x, e.y, MouseMove));
        EXPECT_EQ(panel_overview_hover, 0) << e.x << "," << e.y;
        EXPECT_FALSE(click(kOverview, e.x, e.y)) << "no click there";
    }

    host().window_set(panel_win_overview, true);
    panel_overview_hover = 4;
    click(kOverview, 0, 0);
    EXPECT_FALSE(open());
    EXPECT_EQ(panel_overview_state, 0);
    EXPECT_EQ(panel_overview_hover, 0);
    EXPECT_FALSE(click(kOverview, 0, 0, MouseMove)) << "the close box takes clicks only";
}

using StartStatePanels = HostTest;

TEST_F(StartStatePanels, InTheTableInOrderAndOnTheirWindows) {
    const struct {
        const char* name;
        u32 window, width;
        bool follows;  // right after the gauge above it in the table
    } kGauges[] = {
        {"ketravin mwp_2_big_kr60", panel_win_mwp_popup, 149, false},
        {kFailures, panel_win_failures, 1179, true},
        {"ketravin toggle_pan_rad_kr60", panel_win_main, 132, true},
        {"ketravin toggle_pan_ins_kr60", panel_win_main, 72, false},
        {kChooser, panel_win_panload, 539, true},
        {kStrip, panel_win_main, 1280, true},
        {kOverview, panel_win_overview, 539, true},
        {"ketravin elec_batt_kr60", panel_win_fe_1, 150, false},
    };
    size_t previous = 0;
    for (const auto& g : kGauges) {
        size_t i = 0;
        while (Linkage.gauges[i] && std::string(Linkage.gauges[i]->name) != g.name) ++i;
        ASSERT_NE(Linkage.gauges[i], nullptr) << g.name;
        EXPECT_GT(i, previous) << g.name;
        if (g.follows) {
            EXPECT_EQ(i, previous + 1) << g.name;
        }
        previous = i;
        EXPECT_EQ(Linkage.gauges[i]->width_mm, g.width) << g.name;
        size_t on_window = 0;
        for (const PanelGauge& p : host().panel().gauges)
            if (p.name == g.name && p.window == g.window && u32(p.w) == g.width) ++on_window;
        EXPECT_EQ(on_window, 1u) << g.name;
    }
    // The panel shows the chooser at load; the overview and the failures panel wait for a click.
    EXPECT_TRUE(host().window_visible(panel_win_panload));
    EXPECT_FALSE(host().window_visible(panel_win_overview) || host().window_visible(panel_win_failures));
}
