// The eight panel-window buttons through the host: hidden icons still click, the pedestal choice,
// the flight engineer pair and the GPS swap.
#include <string>

#include "gear/state.h"
#include "sim_control/state.h"
#include "module/keys.h"
#include "tests/host_fixture.h"

namespace {
struct Toggle {
    const char* name;
    i32 width;
    u32 window;  // toggled through the toggle service; 0: by key events
};
// Window idents as a panel file names them.
const Toggle kToggles[] = {{"rad", 132, 10050},  {"ped", 132, 10045}, {"fe", 132, 0},    {"gps", 72, 0},
                           {"fail", 201, 10100}, {"up2", 386, 10030}, {"up3", 106, 10110}, {"ins", 72, 10070}};
std::string gauge_name(const char* what) { return std::string("ketravin toggle_pan_") + what + "_kr60"; }
}  // namespace

class WindowToggles : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        for (const Toggle& t : kToggles) place(gauge_name(t.name));
    }
};

TEST_F(WindowToggles, HiddenIconsStillClickAndShowOnlyWhenChosen) {
    frames(1);
    for (const Toggle& t : kToggles) {
        const std::string g = gauge_name(t.name);
        ASSERT_TRUE(hidden(element(g, 0))) << g;
        if (!t.window) continue;
        EXPECT_TRUE(click(g, t.width - 1, 1)) << g;
        EXPECT_TRUE(host().window_visible(t.window)) << g;
        click(g, 0, 0);
        EXPECT_FALSE(host().window_visible(t.window)) << g;
    }
    for (u8 shown : {1, 2, 0}) {
        panel_toggle_buttons_shown = shown;
        frames(1);
        for (const Toggle& t : kToggles) EXPECT_EQ(hidden(element(gauge_name(t.name), 0)), shown != 1);
    }
}

TEST_F(WindowToggles, PedestalChoiceTwoMeansTheNormalWindow) {
    for (u8 choice : {2, 1, 0, 3, 255}) {
        host().window_set(panel_win_pedestal, false);
        host().window_set(panel_win_pedestal_big, false);
        panel_pedestal_choice = choice;
        click(gauge_name("ped"), 5, 5);
        EXPECT_EQ(host().window_visible(panel_win_pedestal), choice == 2) << int(choice);
        EXPECT_EQ(host().window_visible(panel_win_pedestal_big), choice != 2) << int(choice);
    }
}

TEST_F(WindowToggles, FlightEngineerPairFollowsTheFirstAndGpsSwaps) {
    host().window_set(panel_win_fe_2, true);
    click(gauge_name("fe"), 5, 5);
    EXPECT_TRUE(host().window_visible(panel_win_fe_1) && host().window_visible(panel_win_fe_2));
    click(gauge_name("fe"), 5, 5);
    EXPECT_FALSE(host().window_visible(panel_win_fe_1) || host().window_visible(panel_win_fe_2));
    for (bool gps_was_open : {false, true}) {
        click(gauge_name("gps"), 71, 101);
        EXPECT_NE(host().window_visible(panel_win_gps), gps_was_open);
        EXPECT_EQ(host().window_visible(panel_win_gps_alt), gps_was_open);
    }
    const auto keys = new_keys();
    ASSERT_EQ(keys.size(), 8u) << "two key events a click";
    for (const KeyLogEntry& k : keys) EXPECT_FALSE(k.sent) << "trigger_key_event";
}
