// Standby compass: the card read from its own source token (which the host refreshes before the
// card's callbacks), headings off the strip, and the click's two key events in step with the
// overview panel's icon.
#include "module/keys.h"
#include "tests/instruments/instruments_fixture.h"

namespace {
const char* kCompass = "ketravin compass_kr60";
const char* kOverview = "ketravin panel_overview";
}  // namespace

TEST_F(Instruments, CompassCardFromItsSourceToken) {
    place(kCompass);
    EXPECT_EQ(gauge(kCompass)->mouse_rects[0].help_id, 43924u);
    elec_ess_ac_any_powered = dc_ess_powered = 0;  // the card needs no power
    const struct { f64 heading, x; } kCases[] = {
        {90.0, 270.0}, {0.0, 360.0}, {360.0, 0.0}, {359.5, 0.5}, {-10.0, 0.0}, {370.0, 0.0}, {kNaN, 0.0}, {1e300, 0.0},
    };
    for (const auto& c : kCases) {
        token(83, c.heading);
        frames(1);
        EXPECT_EQ(drawn(kCompass, 1).x, c.x) << c.heading;
    }
}

TEST_F(Instruments, CompassClickTogglesWithTheOverviewIcon) {
    place(kCompass);
    place(kOverview);
    const struct { const char* gauge; i32 x, y; u32 key; u8 shown; } kClicks[] = {
        {kCompass, 10, 10, key_compass_event_on, 1}, {kCompass, 74, 74, key_compass_event_off, 0},
        {kOverview, 260, 400, key_compass_event_on, 1}, {kCompass, 0, 0, key_compass_event_off, 0},
    };
    for (const auto& c : kClicks) {
        new_keys();
        click(c.gauge, c.x, c.y);
        const auto keys = new_keys();
        ASSERT_EQ(keys.size(), 1u) << c.gauge;
        EXPECT_EQ(keys[0].id, c.key);
        EXPECT_EQ(keys[0].value, 0u);
        EXPECT_EQ(panel_compass_shown, c.shown);
    }
}
