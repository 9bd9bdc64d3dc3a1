// Exterior lights through the host: host lights kept in step under their bus terms,
// keys only on a difference, and the landing lights' three positions.
#include <cmath>
#include <string>
#include <vector>

#include "lighting/lighting_keys.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "sound/recording.h"
#include "tests/host_fixture.h"

namespace {
const char* kExtLt = "ketravin ext_lt_kr60";
constexpr u32 kNav = 619, kLogo = 620, kBeacon = 368, kStrobe = 11, kWing = 621, kLanding = 14, kTaxi = 369,
              kExtended = 869;
constexpr u32 kLights[] = {kNav, kLogo, kBeacon, kStrobe, kWing, kLanding, kExtended, kTaxi};
}  // namespace

class ExtLights : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kExtLt);
    }
    void power(u8 dc, u8 ac, u32 gen_load, u8 ext) {
        dc_ess_powered = dc;
        elec_ac_bus2_powered = ac;
        elec_apu_gen_load_a = gen_load;
        ext_power_on = ext;
    }
    void switches(u8 on) {
        light_nav_sw = light_logo_sw = light_beacon_sw = light_strobe_sw = light_wing_sw = light_nose_sw = on;
        light_land_sw = on ? 2 : 0;
    }
};

TEST_F(ExtLights, EachLightFollowsItsSwitchUnderItsBusTermsAndThenGoesQuiet) {
    const struct { const char* what; u8 dc, ac; u32 gen; u8 ext; f64 want[8]; } cases[] = {  // want: kLights
        {"DC only", 1, 0, 0, 0, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"AC on ground power", 1, 1, 0, 1, {1, 1, 0, 0, 0, 0, 0, 0}},
        {"generator without AC", 1, 0, 40, 1, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"AC and a generator", 1, 1, 40, 0, {1, 1, 1, 1, 1, 1, 1, 1}},
        {"AC and a huge load, no DC", 0, 1, 0xFFFFFFFFu, 0, {0, 1, 1, 1, 1, 1, 1, 1}},
        {"dead", 0, 0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    switches(1);
    for (const auto& c : cases) {
        power(c.dc, c.ac, c.gen, c.ext);
        frames(1);
        for (size_t i = 0; i < 8; ++i)
            EXPECT_EQ(host().token(kLights[i]), c.want[i]) << c.what << " token " << kLights[i];
        for (const KeyLogEntry& k : new_keys())  // value 0, but 1 to extend the landing lights
            EXPECT_EQ(k.value, k.id == key_ext_light_d_set ? u32(c.want[6]) : 0u) << c.what << " key " << k.id;
        frames(2);
        EXPECT_TRUE(new_keys().empty()) << c.what << ": a key without a difference";
    }
    power(1, 1, 0, 0);
    elec_gen1_load = elec_gen2_load = 0x80000000u;
    frames(1);
    EXPECT_EQ(host().token(kBeacon), 1.0) << "loads that would wrap to 0 when added still count";
    switches(0);
    frames(1);
    for (u32 t : kLights) EXPECT_EQ(host().token(t), 0.0) << t;
}

TEST_F(ExtLights, NavWithDcOnlySendsItsThreeEventsEachFrameTheHostLightIsOff) {
    power(1, 0, 0, 0);
    light_nav_sw = 1;
    const std::vector<u32> triple = {key_ext_light_a_event_2, key_ext_light_a_event_3, key_ext_light_a_event_1};
    auto ids = [&] {
        std::vector<u32> v;
        for (const KeyLogEntry& k : new_keys()) v.push_back(k.sent ? k.id : 0);
        return v;
    };
    for (int f = 0; f < 3; ++f) {
        token(kNav, 0.0);  // a host that keeps it off
        frames(1);
        EXPECT_EQ(ids(), triple) << "frame " << f;
    }
    frames(1);
    EXPECT_TRUE(ids().empty());
    light_nav_sw = 0;
    frames(1);
    EXPECT_EQ(ids(), triple) << "the same three switch it off";
    power(1, 1, 40, 0);  // readings that are neither 0.0 nor 1.0 are left alone
    for (f64 v : {0.5, f64(NAN)}) {
        for (u32 t : kLights) token(t, v);
        switches(1);
        frames(1);
        switches(0);
        frames(1);
        EXPECT_TRUE(ids().empty()) << v;
    }
}

TEST_F(ExtLights, LandingLightsThreePositionsAndTheSwitchImages) {
    power(1, 1, 40, 0);
    const struct { u8 sw; f64 lit, extended; } positions[] = {{2, 1, 1}, {1, 0, 1}, {2, 1, 1}, {0, 0, 0}};
    for (const auto& p : positions) {  // ON, OFF (extended, dark), RETRACT straight from ON
        light_land_sw = p.sw;
        frames(1);
        EXPECT_EQ(host().token(kLanding), p.lit) << int(p.sw);
        EXPECT_EQ(host().token(kExtended), p.extended) << int(p.sw);
    }
    // The switch images shown, by chain position: each two-position switch down (odd) or up (even);
    // LAND up 12 and 14, middle 11 and 13, retracted 19 and 20; NOSE and RUNWAY 15, 17 or 16, 18.
    const struct { u8 nav, logo, beacon, strobe, wing, land, nose; const char* shown; } images[] = {
        {0, 0, 0, 0, 0, 0, 0, "1 3 5 7 9 15 17 19 20"}, {1, 1, 1, 1, 1, 2, 1, "2 4 6 8 10 12 14 16 18"},
        {1, 0, 1, 0, 1, 1, 0, "2 3 6 7 10 11 13 15 17"}, {0, 1, 0, 1, 0, 2, 1, "1 4 5 8 9 12 14 16 18"},
    };
    for (const auto& i : images) {
        light_nav_sw = i.nav, light_logo_sw = i.logo, light_beacon_sw = i.beacon, light_strobe_sw = i.strobe;
        light_wing_sw = i.wing, light_land_sw = i.land, light_nose_sw = i.nose;
        frames(1);
        std::string shown;
        for (size_t pos = 1; pos <= 20; ++pos)
            if (!hidden(element(kExtLt, pos))) shown += (shown.empty() ? "" : " ") + std::to_string(pos);
        EXPECT_EQ(shown, i.shown);
    }
    const struct { u8 from; f64 host_lit; i32 y; u8 want; } clicks[] = {
        {1, 0, 60, 2}, {0, 0, 60, 0}, {2, 1, 80, 1},  // up from OFF only; middle to OFF
        {1, 0, 100, 0}, {2, 1, 100, 2},               // down refused while lit
    };
    for (const auto& c : clicks) {
        light_land_sw = c.from;
        token(kLanding, c.host_lit);
        EXPECT_TRUE(click(kExtLt, 30, c.y));
        EXPECT_EQ(light_land_sw, c.want) << int(c.from) << " at y " << c.y;
    }
}

// The signs click on a real change and chime (HI on, LO off) only with essential DC power.
TEST_F(ExtLights, SignsClickAndChimeOnlyOnARealChangeWithPower) {
    const char* kSigns = "ketravin signs_kr60";
    place("ketravin gpws_kr60");  // loads the sounds
    place(kSigns);
    frames(1);
    struct At { i32 x, y; };
    const struct { u8* sign; u8 from, dc; At at; u8 want; const char* sounds; } cases[] = {
        {&sign_seat_belts_sw, 0, 1, {30, 10}, 1, "CLICK HI"},  {&sign_seat_belts_sw, 1, 1, {25, 30}, 0, "CLICK LO"},
        {&sign_no_smoking_sw, 0, 0, {15, 50}, 1, "CLICK"},     {&sign_no_smoking_sw, 1, 1, {15, 50}, 1, ""},
        {&sign_no_smoking_sw, 1, 1, {10, 70}, 0, "CLICK LO"},
    };
    for (const auto& c : cases) {
        *c.sign = c.from;
        dc_ess_powered = c.dc;
        const u64 seen = sound_recording_count();
        EXPECT_TRUE(click(kSigns, c.at.x, c.at.y));
        EXPECT_EQ(*c.sign, c.want) << c.at.x << "," << c.at.y;
        std::string played;
        for (u64 i = seen; i < sound_recording_count(); ++i)
            if (SoundEvent e; sound_recording_event(i, &e) && e.call == SoundCall::Play)
                played += (played.empty() ? "" : " ") + std::string(e.name);
        EXPECT_EQ(played, c.sounds) << c.at.x << "," << c.at.y << " dc " << int(c.dc);
        frames(1);
        EXPECT_EQ(hidden(element(kSigns, c.sign == &sign_seat_belts_sw ? 2 : 4)), c.want == 0);
    }
}
