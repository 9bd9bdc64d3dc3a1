// Panel lighting gauges through the host: tint controls, tint overlays and their refresh
// requests.
#include "electrical/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "tests/host_fixture.h"

namespace {
const char* kFdBars = "ketravin fd_bars_sw_kr60";
const char* kOverlays[] = {"ketravin panel_light_kr60", "ketravin panel_light_w_kr60"};
}  // namespace

class PanelLighting : public HostTest {};

TEST_F(PanelLighting, TintSwitchAndLevelArrows) {
    place(kFdBars);
    // Level 9 and brightness 7: left as they were.
    const struct { u8 sw, dc; i32 time_of_day; u8 want_sw, want_level, want_bright; } switches[] = {
        {0, 1, 3, 1, 3, 0}, {0, 1, 2, 1, 2, 7}, {0, 1, -5, 1, 1, 1}, {0, 0, 3, 0, 9, 7}, {1, 1, 2, 0, 9, 7}};
    for (const auto& c : switches) {
        light_tint_sw = c.sw;
        dc_ess_powered = c.dc;
        light_time_of_day = c.time_of_day;
        light_tint_level = 9;
        annunciator_bright = 7;
        light_refresh = 0;
        EXPECT_TRUE(click(kFdBars, 60, 20));
        EXPECT_EQ(light_tint_sw, c.want_sw) << int(c.sw) << " dc " << int(c.dc) << " tod " << c.time_of_day;
        EXPECT_EQ(light_tint_level, c.want_level) << c.time_of_day;
        EXPECT_EQ(annunciator_bright, c.want_bright) << c.time_of_day;
        EXPECT_EQ(light_refresh, 1);
    }
    const struct { i32 x; u8 from, want_level, want_bright; } arrows[] = {
        {35, 1, 2, 7}, {35, 2, 3, 0}, {35, 200, 3, 0},  // toward DIM
        {80, 2, 1, 1}, {80, 3, 2, 7}, {80, 200, 2, 7}};  // toward BRIGHT
    for (const auto& a : arrows) {
        light_tint_level = a.from;
        annunciator_bright = 7;
        light_refresh = 0;
        click(kFdBars, a.x, 20);
        EXPECT_EQ(light_tint_level, a.want_level) << a.x << " from " << int(a.from);
        EXPECT_EQ(annunciator_bright, a.want_bright) << a.x << " from " << int(a.from);
        EXPECT_EQ(light_refresh, 1);
    }
}

TEST_F(PanelLighting, OverlaysShowOneTintAndAskForRefreshes) {
    for (const char* g : kOverlays) place(g);
    // shown: the chain position of the tint shown, -1 none.
    const struct { u8 sw, ac, level; int shown; i32 time_of_day, prev; u8 want_refresh; } cases[] = {
        {1, 1, 3, 0, 0, 0, 0},  {1, 1, 2, 1, 0, 0, 0},  {1, 1, 0, 2, 0, 0, 0},  {1, 1, 250, 2, 3, 3, 0},
        {0, 1, 3, -1, 3, 0, 1}, {2, 1, 3, -1, 0, 3, 1}, {1, 0, 3, -1, 1, 1, 1}, {0, 0, 3, -1, 1, 1, 0}};
    for (const auto& c : cases) {
        light_tint_sw = c.sw;
        elec_ess_ac_any_powered = c.ac;
        light_tint_level = c.level;
        light_time_of_day = c.time_of_day;
        light_time_of_day_prev = c.prev;
        light_refresh = c.want_refresh ? 2 : 0;  // a slow refresh becomes a normal one, never cleared
        frames(1);
        EXPECT_EQ(light_refresh, c.want_refresh ? 1 : 0) << int(c.sw) << " " << int(c.ac) << " " << c.time_of_day;
        for (const char* g : kOverlays)
            for (int pos = 0; pos < 3; ++pos)
                EXPECT_EQ(hidden(element(g, size_t(pos))), pos != c.shown) << g << " level " << int(c.level);
    }
}

TEST_F(PanelLighting, MapLightClockButtonStepsTheChronometer) {
    const char* kMapLt = "ketravin map_lt_kr60";
    place(kMapLt);
    // The clock starts only with power: battery 1 switched and charged, or essential DC.
    const struct { u8 from, batt1; u32 charge; u8 dc, want; } cases[] = {
        {0, 0, 1800, 0, 0}, {0, 1, 0, 0, 0}, {0, 1, 1, 0, 1}, {0, 0, 0, 1, 1}, {2, 0, 0, 0, 3}, {3, 0, 0, 0, 0},
        {200, 1, 1800, 1, 0}};
    for (const auto& c : cases) {
        inst_chrono_state = c.from;
        elec_batt_sw[0] = c.batt1;
        battery_charge = c.charge;
        dc_ess_powered = c.dc;
        EXPECT_TRUE(click(kMapLt, 60, 20));
        EXPECT_EQ(inst_chrono_state, c.want) << int(c.from) << " batt " << int(c.batt1) << " charge " << c.charge
                                             << " dc " << int(c.dc);
    }
}
