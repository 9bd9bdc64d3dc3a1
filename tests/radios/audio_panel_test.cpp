// The audio panels: knob bytes, the host's marker and ident audio kept in step by the first
// panel only, and the master volume on the sound table and the loaded buffers.
#include <strings.h>

#include <vector>

#include "electrical/state.h"
#include "radios/audio_panel.h"
#include "radios/radio_keys.h"
#include "radios/state.h"
#include "sound/sound_engine.h"
#include "tests/radios/radio_head_fixture.h"
#include "warnings/state.h"

namespace {
const char *kSnd = "ketravin radio_snd_kr60", *kSnd2 = "ketravin radio_snd2_kr60";

class Audio : public RadioHeadTest {
protected:
    void SetUp() override {
        RadioHeadTest::SetUp();
        place_heads({kSnd, kSnd2});
    }
    // Volume calls since the last call, and the volume set on CLICK among them.
    size_t volumes(i32* click_volume = nullptr) {
        size_t n = 0;
        for (const u64 end = sound_recording_count(); seen_ < end; ++seen_) {
            SoundEvent e;
            if (!sound_recording_event(seen_, &e) || e.call != SoundCall::Volume) continue;
            ++n;
            if (click_volume && strcasecmp(e.name, "click") == 0) *click_volume = e.value;
        }
        return n;
    }
    u64 seen_ = 0;
};
}  // namespace

TEST_F(Audio, MasterVolumeStepsTwentyFiveSoundsWithinTenSteps) {
    volumes();
    // Panel, volume area, clicks; then step, CLICK, HI, LO, CRICKET, GALOPAP and the last click's
    // calls. Both panels step the one shared volume, and neither sends a key for it.
    struct Case { const char* panel; i32 x; int clicks; std::vector<i32> want; } cases[] = {
        {kSnd2, 125, 10, {10, -1000, -2100, -2100, -1000, -500, 25}},
        {kSnd, 125, 1, {10, -1000, -2100, -2100, -1000, -500, 0}},  // at the top: nothing at all
        {kSnd, 100, 20, {-10, -3000, -4100, -4100, -1000, -500, 25}},
        {kSnd2, 100, 1, {-10, -3000, -4100, -4100, -1000, -500, 0}},
    };
    for (const Case& c : cases) {
        size_t calls = 0;
        for (int i = 0; i < c.clicks; ++i) click(c.panel, c.x, 5), calls = volumes();
        const std::vector<i32> got = {master_volume_step, sound_volume_table[0], sound_volume_table[1],
                                      sound_volume_table[2], sound_volume_table[16], sound_volume_table[29], i32(calls)};
        EXPECT_EQ(got, c.want) << c.panel << " " << c.x << " x" << c.clicks;
        EXPECT_TRUE(keys().empty());
    }
    // The buffers take the table's volume; an unloaded one is skipped, its entry still moves.
    SoundBuffer* hi = snd_hi;
    snd_hi = nullptr;
    click(kSnd, 125, 5);
    i32 click_volume = 0;
    EXPECT_EQ(volumes(&click_volume), 24u);
    EXPECT_EQ(click_volume, -2900);
    EXPECT_EQ(sound_volume_table[1], -4000);
    snd_hi = hi;
    EXPECT_EQ(clicks(), 0u);
}

TEST_F(Audio, VolumePointerPullsAHostileStepBack) {
    for (i8 step : {127, -128, -3}) {
        master_volume_step = step;
        frames(1);
        const f64 shown = step > 10 ? 10 : step < -10 ? -10 : step;
        EXPECT_EQ(drawn(kSnd, VolumePointer).value, shown);
        EXPECT_EQ(drawn(kSnd2, VolumePointer).value, shown);
        EXPECT_EQ(master_volume_step, i8(shown));
    }
}

TEST_F(Audio, HostAudioFollowsKnobsAndBusesOnceEach) {
    // Knobs marker, VOR 1, VOR 2, ADF; buses normal DC, ESS AC, ESS AC any, AC 2; the sends.
    struct Case { std::vector<u8> knobs, buses; Keys sends; } cases[] = {
        {{1, 0, 0, 0}, {0, 0, 0, 0}, {{key_marker_sound_set, 0}}},  // host marker on, no normal DC
        {{1, 0, 0, 0}, {1, 0, 0, 0}, {{key_marker_sound_set, 1}}},  // power back
        {{1, 0, 0, 1}, {1, 1, 0, 0}, {{key_adf_ident_enable, 0}}},
        {{1, 0, 0, 1}, {0, 1, 0, 0}, {{key_marker_sound_set, 0}}},  // the ADF keeps ESS AC alone
        {{1, 1, 1, 1}, {0, 1, 1, 1}, {{key_vor1_ident_enable, 0}, {key_vor2_ident_enable, 0}}},
        {{0, 0, 0, 0}, {0, 1, 0, 1},
         {{key_vor1_ident_disable, 0}, {key_vor2_ident_disable, 0}, {key_adf_ident_disable, 0}}},
        {{0, 0, 2, 0}, {1, 1, 1, 1}, {}},  // only a knob byte of 1 is on
    };
    host().set_token(881, 1.0);
    for (const Case& c : cases) {
        audio_marker_sw = c.knobs[0], audio_vor1_sw = c.knobs[1], audio_vor2_sw = c.knobs[2], audio_adf_sw = c.knobs[3];
        dc_normal_powered = c.buses[0], elec_ess_ac_powered = c.buses[1], elec_ess_ac_any_powered = c.buses[2];
        elec_ac_bus2_powered = c.buses[3];
        frames(1);
        EXPECT_EQ(keys(), c.sends) << &c - cases;
        frames(1);
        EXPECT_TRUE(keys().empty()) << "the host followed";
    }
}

TEST_F(Audio, KnobsAreSharedSilentAndOnlyTheFirstPanelSends) {
    struct Case { i32 x, y; u8* byte; u8 want; size_t left; } cases[] = {
        {35, 5, &audio_vhf1_sw, 1, Vhf1Left}, {10, 50, &audio_marker_sw, 0, MarkerLeft},
        {120, 50, &audio_vor2_sw, 1, Vor2Left}, {55, 85, &audio_adf_sw, 0, AdfLeft},
        {10, 5, &audio_vhf1_sw, 0, Vhf1Left},
    };
    for (const Case& c : cases) {
        *c.byte = 5;
        click(kSnd2, c.x, c.y);
        frames(1);
        EXPECT_EQ(*c.byte, c.want) << c.x << "," << c.y;
        EXPECT_EQ(lamps(kSnd, c.left, 2) + lamps(kSnd2, c.left, 2), c.want ? "0101" : "1010");
    }
    EXPECT_EQ(clicks(), 0u);
    host().remove(gauge(kSnd));  // the second panel alone never reaches the host
    keys();
    audio_vor1_sw = elec_ess_ac_any_powered = 1;
    frames(2);
    EXPECT_TRUE(keys().empty());
    EXPECT_EQ(lamps(kSnd2, Vor1Left, 2), "01");
}
