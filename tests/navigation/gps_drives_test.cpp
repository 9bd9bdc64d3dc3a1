// The GPS-drives controls: the start-up window burst, keeping the host's flag in line with the
// switch, and the push-button's legend.
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/keys.h"
#include "systems/state.h"
#include "tests/navigation/nav_fixture.h"
#include "navigation/state.h"

namespace {
const char* kButton = "ketravin gps_drives_kr60";
const char* kToggle = "ketravin gps_drives_2_kr60";
}  // namespace

// Either gauge alone does it; with both, whichever runs first.
TEST_F(NavTest, StartupBurstClosesTenWindowsOnce) {
    const struct { bool button, toggle, reverse; } cases[] = {
        {true, true, false}, {true, true, true}, {true, false, false}, {false, true, false}};
    for (const auto& c : cases) {
        if (c.button) place(kButton);
        if (c.toggle) place(kToggle);
        host().set_reverse_order(c.reverse);
        gps_drives_sw = 0;
        token(848, 0);
        new_keys();
        panel_init_state = 2;
        frames(2);
        std::vector<u32> closed;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == key_panel_id_close && !k.sent) closed.push_back(k.value);
        EXPECT_EQ(closed, (std::vector<u32>{10030, 10040, 10045, 10050, 10060, 10065, 10070, 10080, 10090, 10080}))
            << c.button << c.toggle << c.reverse;
        EXPECT_EQ(panel_init_state, 3);
        host().remove_all();
    }
}

TEST_F(NavTest, SwitchResendsOnlyWhileTheFlagIsExactlyTheOtherValue) {
    place(kToggle);
    element(kToggle, 3)->image_flags &= ~ImageHidden;  // the knob image: hidden every frame
    const struct { u8 sw; f64 flag; int sends; f64 flag_after; } cases[] = {
        {1, 0.0, 1, 1.0}, {1, 1.0, 0, 1.0}, {0, 1.0, 1, 0.0}, {0, 0.0, 0, 0.0}, {1, 0.5, 0, 0.5}, {0, NAN, 0, NAN},
    };
    for (const auto& c : cases) {
        gps_drives_sw = c.sw;
        token(848, c.flag);
        new_keys();
        frames(3);
        int sends = 0;
        for (const KeyLogEntry& k : new_keys()) {
            EXPECT_EQ(k.id, key_gps_drives_nav1_toggle);
            EXPECT_EQ(k.value, c.sw);
            sends += k.sent;
        }
        EXPECT_EQ(sends, c.sends) << int(c.sw) << " " << c.flag;
        EXPECT_TRUE(std::isnan(c.flag_after) || host().token(848) == c.flag_after) << host().token(848);
        EXPECT_EQ(hidden(element(kToggle, 2)), c.sw != 1);
        EXPECT_TRUE(hidden(element(kToggle, 3)));
    }
}

TEST_F(NavTest, UpClickClearsTheSourceSwitchEvenWhenAlreadyUp) {
    place(kToggle);
    for (int i = 0; i < 2; ++i) {
        ins_source_sw = 1;
        EXPECT_TRUE(click(kToggle, 10, 10));
        EXPECT_EQ(ins_source_sw, 0);
        EXPECT_EQ(gps_drives_sw, 1);
    }
    EXPECT_FALSE(click(kToggle, 10, 30)) << "no rectangle between the two";
    EXPECT_TRUE(click(kToggle, 10, 60));
    EXPECT_EQ(gps_drives_sw, 0);
}

TEST_F(NavTest, ButtonLegendAndToggle) {
    place(kButton);
    const struct { f64 flag; u8 dc, flt_deck; bool bright, dim; } cases[] = {
        {1.0, 1, 0, true, false}, {1.0, 1, 1, false, true}, {1.0, 1, 2, true, false},
        {1.0, 0, 0, false, false}, {0.999, 1, 0, false, false},
    };
    for (const auto& c : cases) {
        token(848, c.flag);
        dc_ess_powered = c.dc, light_flt_deck_sw = c.flt_deck;
        frames(1);
        EXPECT_EQ(!hidden(element(kButton, 0)), c.bright) << c.flag << " " << int(c.dc) << " " << int(c.flt_deck);
        EXPECT_EQ(!hidden(element(kButton, 1)), c.dim);
    }
    token(848, 0);
    new_keys();
    EXPECT_TRUE(click(kButton, 25, 25));
    EXPECT_EQ(host().token(848), 1.0) << "the host toggles its flag";
    const std::vector<KeyLogEntry> keys = new_keys();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(std::make_tuple(keys[0].id, keys[0].value, keys[0].sent),
              std::make_tuple(key_gps_drives_nav1_toggle, 0u, false));
}
