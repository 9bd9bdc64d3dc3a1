// The eight panel-window buttons through the host: hidden icons still click, the pedestal choice,
// the flight engineer pair and the GPS swap; and where these and the APU and fuel gauges sit in the
// gauge table and the default panel.
#include <string>

#include "autoflight/state.h"
#include "module/keys.h"
#include "tests/host_fixture.h"

namespace {
struct Entry {
    const char* name;
    u32 window, width;
    u32 toggles;  // the window a click toggles through the toggle service; 0: by key events
};
// In gauge-table order.
const Entry kEntries[] = {
    {"ketravin toggle_pan_rad_kr60", panel_win_main, 132, panel_win_radios},
    {"ketravin toggle_pan_ped_kr60", panel_win_main, 132, panel_win_pedestal_big},
    {"ketravin toggle_pan_fe_kr60", panel_win_main, 132, 0},
    {"ketravin toggle_pan_gps_kr60", panel_win_main, 72, 0},
    {"ketravin toggle_pan_fail_kr60", panel_win_main, 201, panel_win_failures},
    {"ketravin toggle_pan_up2_kr60", panel_win_main, 386, panel_win_upper_1},
    {"ketravin toggle_pan_up3_kr60", panel_win_main, 106, panel_win_upper_2},
    {"ketravin toggle_pan_ins_kr60", panel_win_main, 72, panel_win_ins},
    {"ketravin apu_kr60", panel_win_fe_1, 119, 0},
    {"ketravin apu_ind_oil_kr60", panel_win_fe_1, 91, 0},
    {"ketravin apu_ind_n1_n2_kr60", panel_win_fe_1, 91, 0},
    {"ketravin apu_ind_egt_kr60", panel_win_fe_1, 91, 0},
    {"ketravin fuel_valves_kr60", panel_win_fe_2, 285, 0},
    {"ketravin fuel_fuelused_kr60", panel_win_fe_2, 287, 0},
};
constexpr size_t kToggleCount = 8;
const char* kPed = "ketravin toggle_pan_ped_kr60";
const char* kFe = "ketravin toggle_pan_fe_kr60";
const char* kGps = "ketravin toggle_pan_gps_kr60";
}  // namespace

class WindowToggles : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        for (size_t i = 0; i < kToggleCount; ++i) place(kEntries[i].name);
    }
};

TEST_F(WindowToggles, HiddenIconsStillClickAndShowOnlyWhenChosen) {
    frames(1);
    for (size_t i = 0; i < kToggleCount; ++i) {
        const Entry& t = kEntries[i];
        EXPECT_TRUE(hidden(element(t.name, 0))) << t.name;
        if (!t.toggles) continue;
        EXPECT_TRUE(click(t.name, i32(t.width) - 1, 1)) << t.name;
        EXPECT_TRUE(host().window_visible(t.toggles)) << t.name;
        click(t.name, 0, 0);
        EXPECT_FALSE(host().window_visible(t.toggles)) << t.name;
    }
    for (u8 shown : {1, 2, 0}) {
        panel_toggle_buttons_shown = shown;
        frames(1);
        for (size_t i = 0; i < kToggleCount; ++i) EXPECT_EQ(hidden(element(kEntries[i].name, 0)), shown != 1);
    }
}

TEST_F(WindowToggles, PedestalChoiceTwoMeansTheNormalWindow) {
    for (u8 choice : {2, 1, 0, 3, 255}) {
        panel_pedestal_choice = choice;
        host().window_set(panel_win_pedestal, false);
        host().window_set(panel_win_pedestal_big, false);
        click(kPed, 5, 5);
        EXPECT_EQ(host().window_visible(panel_win_pedestal), choice == 2) << int(choice);
        EXPECT_EQ(host().window_visible(panel_win_pedestal_big), choice != 2) << int(choice);
    }
}

TEST_F(WindowToggles, FlightEngineerPairFollowsTheFirstAndGpsSwaps) {
    host().window_set(panel_win_fe_2, true);
    click(kFe, 5, 5);
    EXPECT_TRUE(host().window_visible(panel_win_fe_1) && host().window_visible(panel_win_fe_2));
    click(kFe, 5, 5);
    EXPECT_FALSE(host().window_visible(panel_win_fe_1) || host().window_visible(panel_win_fe_2));
    for (int i = 0; i < 2; ++i) {
        const bool gps_was_open = host().window_visible(panel_win_gps);
        click(kGps, 71, 101);
        EXPECT_NE(host().window_visible(panel_win_gps), gps_was_open);
        EXPECT_EQ(host().window_visible(panel_win_gps_alt), gps_was_open);
    }
    const auto keys = new_keys();
    ASSERT_EQ(keys.size(), 8u) << "two key events a click";
    for (const KeyLogEntry& k : keys) EXPECT_FALSE(k.sent) << "trigger_key_event";
    EXPECT_EQ(keys[5].id, key_panel_id_close);
    EXPECT_EQ(keys[5].value, panel_win_gps_alt);
}

TEST_F(WindowToggles, TheseGaugesAreInTheTableInOrderAndOnTheirWindows) {
    size_t previous = 0;
    for (const Entry& e : kEntries) {
        size_t i = 0;
        while (Linkage.gauges[i] && std::string(Linkage.gauges[i]->name) != e.name) ++i;
        ASSERT_NE(Linkage.gauges[i], nullptr) << e.name;
        EXPECT_GT(i, previous) << e.name;
        previous = i;
        EXPECT_EQ(Linkage.gauges[i]->width_mm, e.width) << e.name;
        size_t on_window = 0;
        for (const PanelGauge& g : host().panel().gauges)
            if (g.name == e.name && g.window == e.window && u32(g.w) == e.width) ++on_window;
        EXPECT_EQ(on_window, 1u) << e.name;
    }
}
