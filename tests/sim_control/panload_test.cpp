// The start-state chooser, the overview strip and the overview through the host: the COLD START
// height limit, EASY START's countdown step, VALID after a chooser preset in both gauge orders,
// the overview's automatic open and close states and its areas.
#include <limits>
#include <utility>
#include <vector>

#include "gear/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "sim_control/state.h"
#include "module/keys.h"
#include "module/tokens.h"
#include "tests/systems/systems_fixture.h"

const char* const kChooser = "ketravin panload";
const char* const kStrip = "ketravin panel_display";
const char* const kOverview = "ketravin panel_overview";
const char* const kFailures = "ketravin failures_kr60";
constexpr i32 kColdX = 100, kEasyX = 400, kHalfY = 100;

class Chooser : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kChooser);
        host().window_set(panel_win_panload, true);
    }
    bool lit(size_t pos) { return !hidden(element(kChooser, pos)); }
};

// Radio height in metres: COLD START highlights and acts only below 200 ft.
TEST_F(Chooser, ColdStartOnlyBelowTwoHundredFeet) {
    constexpr f64 kInf = std::numeric_limits<f64>::infinity(), kNaN = std::numeric_limits<f64>::quiet_NaN();
    const struct { f64 height_m; bool cold; } kCases[] = {
        {60.95, true}, {-kInf, true}, {60.96, false}, {kNaN, false}};
    for (const auto& [height_m, cold] : kCases) {
        panel_preset_select[1] = light_refresh = 0;
        host().window_set(panel_win_panload, true);
        token(tok_radio_height_m.id, height_m);
        click(kChooser, kColdX, kHalfY, MouseMove);
        frames(1);
        EXPECT_TRUE(lit(1) == cold && !lit(2)) << height_m;
        click(kChooser, 0, 45);
        EXPECT_TRUE(panel_preset_select[1] == cold && light_refresh == (cold ? 2 : 0)) << height_m;
        EXPECT_EQ(host().window_visible(panel_win_panload), !cold) << height_m;
    }
}

// EASY START at any height: its far corner, a countdown step that never wraps; the bands clear
// the hover and take no clicks.
TEST_F(Chooser, EasyStartAlwaysAndItsCountdownNeverWraps) {
    token(tok_radio_height_m.id, 1e4);
    click(kChooser, 538, 243, MouseMove);
    frames(1);
    EXPECT_TRUE(lit(2) && !lit(1));
    new_keys();
    click(kChooser, 270, 45);
    EXPECT_TRUE(panel_preset_select[0] == 1 && light_refresh == 2 && panel_chooser_hover == 0);
    EXPECT_FALSE(host().window_visible(panel_win_panload));
    const std::vector<KeyLogEntry> keys = new_keys();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_TRUE(!keys[0].sent && keys[0].id == key_panel_id_close && keys[0].value == panel_win_panload);
    for (const auto& [before, after] : {std::pair<u8, u8>{100, 99}, {101, 101}, {1, 0}, {0, 0}}) {
        panel_easy_start_delay = before;
        click(kChooser, kEasyX, kHalfY);
        EXPECT_EQ(panel_easy_start_delay, after) << int(before);
    }
    for (i32 y : {0, 276}) {
        panel_chooser_hover = 2;
        EXPECT_TRUE(click(kChooser, 300, y, MouseMove));
        EXPECT_FALSE(click(kChooser, 300, y)) << "the bands take no clicks";
        EXPECT_EQ(panel_chooser_hover, 0) << y;
    }
    panel_chooser_hover = 255;
    frames(1);
    EXPECT_FALSE(lit(1) || lit(2));
}

// A chooser preset lights the failures panel's VALID: while EASY START runs (its countdown from
// 99, a step a frame), and for one frame after COLD START, in either gauge order.
class ChooserWithSystems : public SystemsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ChooserWithSystems, EasyStartKeepsValidLitColdStartForOneFrame) {
    place(kFailures);
    place(kChooser);
    host().window_set(panel_win_failures, true);
    host().set_reverse_order(GetParam());
    start();
    const auto valid_frames = [&](int n) {
        int lit = 0;
        for (int i = 0; i < n; ++i) frames(1), lit += !hidden(element(kFailures, 1));
        return lit;
    };
    click(kChooser, kEasyX, kHalfY);
    frames(1);
    EXPECT_EQ(valid_frames(4), 4);
    EXPECT_TRUE(panel_preset_select[0] == 1 && panel_easy_start_delay == 94) << int(panel_easy_start_delay);
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

// panel_overview_state: 2 at load, 0 armed, 10 disabled. Top strip row y 0-1, the rows below 2-9;
// a null gauge: the overview closed from outside; the overview's close box at 51, 52.
TEST_F(Overview, StripOpensAndClosesUnlessDisabled) {
    const struct { const char* gauge; i32 x, y; u32 flags; u8 state; bool open; } kSteps[] = {
        {kStrip, 0, 9, MouseMove, 2, false},           {kStrip, 1279, 1, MouseMove, 0, true},
        {kStrip, 5, 0, MouseLeftSingle, 0, true},      {kStrip, 5, 2, MouseRightSingle, 10, true},
        {kStrip, 0, 9, MouseMove, 10, true},           {nullptr, 0, 0, 0, 10, false},
        {kStrip, 1279, 1, MouseMove, 10, false},       {kStrip, 5, 5, MouseLeftSingle, 0, false},
        {kStrip, 1279, 1, MouseMove, 0, true},         {kStrip, 5, 0, MouseRightSingle, 10, true},
        {kOverview, 51, 52, MouseLeftSingle, 10, false}, {kStrip, 5, 0, MouseLeftSingle, 0, false},
        {kStrip, 1279, 1, MouseMove, 0, true},         {kOverview, 51, 52, MouseLeftSingle, 0, false},
    };
    for (const auto& s : kSteps) {
        if (s.gauge)
            click(s.gauge, s.x, s.y, s.flags);
        else
            host().window_set(panel_win_overview, false);
        EXPECT_TRUE(panel_overview_state == s.state && open() == s.open) << "step " << &s - kSteps;
    }
    new_keys();
    for (int i = 0; i < 2; ++i) click(kStrip, 5, 0, MouseMove);
    EXPECT_EQ(new_keys().size(), 2u) << "every move sends its event, not only on a change";
}

TEST_F(Overview, AreasHighlightActAndCloseTheOverviewOnlyWhenArmed) {
    // hover: set by a pointer move; 0: the area takes no moves. Windows as a panel file names them.
    const struct { const char* what; i32 x, y; u8 hover; u32 window; u8 state; } kAreas[] = {
        {"engineer", 538, 325, 1, 10060, 2}, {"pedestal", 164, 233, 2, 10045, 0},
        {"upper 1", 316, 154, 3, 10030, 1},  {"radios", 316, 325, 5, 10050, 10},
        {"FAIL", 305, 397, 0, 10100, 0},     {"INS", 124, 397, 0, 10070, 10},
        {"upper 2", 164, 0, 4, 10110, 0},    {"GPS", 229, 449, 0, 10080, 2},
    };
    for (const auto& a : kAreas) {
        SCOPED_TRACE(a.what);
        panel_overview_state = a.state, panel_overview_hover = 9;
        host().window_set(panel_win_overview, true);
        EXPECT_EQ(click(kOverview, a.x, a.y, MouseMove), a.hover != 0);
        frames(1);
        for (u8 h = 1; h <= 5; ++h) EXPECT_EQ(!hidden(element(kOverview, h)), h == a.hover) << int(h);
        const bool was = host().window_visible(a.window);
        click(kOverview, a.x, a.y);
        EXPECT_NE(host().window_visible(a.window), was);
        EXPECT_TRUE(panel_overview_hover == 0 && open() == (a.state != 0) && panel_overview_state == a.state);
    }
}

// The ATC icon flips the compass with its own two events (then closes an armed overview); the
// eight areas between the others take pointer moves only, to clear the highlight.
TEST_F(Overview, AtcIconFlipsTheCompassAndTheGapsClearTheHighlight) {
    for (u8 shown : {1, 0}) {
        panel_overview_state = 0, panel_overview_hover = 3;
        host().window_set(panel_win_overview, true);
        new_keys();
        EXPECT_TRUE(click(kOverview, 252, 397));
        const auto keys = new_keys();
        ASSERT_EQ(keys.size(), 2u);
        EXPECT_TRUE(!keys[0].sent && keys[0].value == 0 &&
                    keys[0].id == (shown ? key_compass_event_on : key_compass_event_off));
        EXPECT_TRUE(keys[1].id == key_panel_id_close && keys[1].value == panel_win_overview);
        EXPECT_TRUE(panel_compass_shown == shown && panel_overview_hover == 0 && !open());
    }
    // (The eighth, 397, 0, 124 x 53, lies wholly under the flight engineer area, which comes first.)
    const struct { i32 x, y; } kGaps[] = {{105, 0}, {162, 396}, {316, 232}, {317, 0},
                                          {357, 396}, {230, 449}, {538, 449}};
    for (const auto& g : kGaps) {
        panel_overview_hover = 5;
        EXPECT_TRUE(click(kOverview, g.x, g.y, MouseMove)) << g.x << "," << g.y;
        EXPECT_FALSE(click(kOverview, g.x, g.y)) << "no click: " << g.x << "," << g.y;
        EXPECT_EQ(panel_overview_hover, 0) << g.x << "," << g.y;
    }
}
