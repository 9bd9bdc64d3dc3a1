// The audio panels: knob bytes, the host's marker and ident audio kept in step by the first
// panel only, and the master volume on the sound table and the loaded buffers.
#include <strings.h>

#include <vector>

#include "electrical/state.h"
#include "module/keys.h"
#include "radios/audio_panel.h"
#include "radios/radio_keys.h"
#include "radios/state.h"
#include "sound/sound_engine.h"
#include "tests/panel_fixture.h"
#include "warnings/state.h"

namespace {
const char* kSnd = "ketravin radio_snd_kr60";
constexpr u32 kMarker = 881, kVor1 = 877, kVor2 = 878, kAdfIdent = 880;

// A second panel on the same routines that only shows the shared bytes.
NonlinearityPoint second_points[3] = KR_AUDIO_VOLUME_POINTS;
GaugeHeader second_header;
void FSAPI second_update(GaugeHeader*, i32 service, u32);
Gauge<kAudioElements, kAudioRects> second(second_header, "second audio", kAudioWidthMm, second_update,
                                          audio_panel_elements<second_points>, audio_panel_rects);
void FSAPI second_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) audio_panel_frame(second, AudioHostSync::Silent);
}

class Audio : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kSnd);
        host().window_set(panel_win_radios, true);
    }
    // Volume calls since the last call: how many, and the volume set on `name` (0 if none).
    size_t volumes(const char* name = "", i32* value = nullptr) {
        size_t n = 0;
        const u64 end = sound_recording_count();
        for (u64 i = seen_; i < end; ++i) {
            SoundEvent e;
            if (!sound_recording_event(i, &e) || e.call != SoundCall::Volume) continue;
            ++n;
            if (value && strcasecmp(e.name, name) == 0) *value = e.value;
        }
        seen_ = end;
        return n;
    }
    std::vector<std::pair<u32, u32>> sent() {
        std::vector<std::pair<u32, u32>> out;
        for (const KeyLogEntry& k : new_keys())
            if (k.sent) out.emplace_back(k.id, k.value);
        return out;
    }
    u64 seen_ = 0;
};
}  // namespace

TEST_F(Audio, MasterVolumeStepsTwentyFiveSoundsWithinTenSteps) {
    volumes();
    struct Case { i32 x; int clicks; i8 step; i16 click, hi, cricket, galopap; size_t calls_last; } cases[] = {
        {125, 10, 10, -1000, -2100, -1000, -500, 25},
        {125, 1, 10, -1000, -2100, -1000, -500, 0},  // at the top: nothing at all
        {100, 20, -10, -3000, -4100, -1000, -500, 25},
        {100, 1, -10, -3000, -4100, -1000, -500, 0},
    };
    for (const Case& c : cases) {
        size_t calls = 0;
        for (int i = 0; i < c.clicks; ++i) {
            click(kSnd, c.x, 5);
            calls = volumes();
        }
        EXPECT_EQ(master_volume_step, c.step);
        EXPECT_EQ(sound_volume_table[0], c.click);
        EXPECT_EQ(sound_volume_table[1], c.hi);
        EXPECT_EQ(sound_volume_table[2], c.hi);  // LO starts with HI
        EXPECT_EQ(sound_volume_table[16], c.cricket);
        EXPECT_EQ(sound_volume_table[29], c.galopap);
        EXPECT_EQ(calls, c.calls_last) << c.x << " x" << c.clicks;
    }
    // The buffer takes the table's volume; an unloaded buffer is skipped, its entry still moves.
    SoundBuffer* hi = snd_hi;
    snd_hi = nullptr;
    click(kSnd, 125, 5);
    i32 click_volume = 0;
    EXPECT_EQ(volumes("click", &click_volume), 24u);
    EXPECT_EQ(click_volume, -2900);
    EXPECT_EQ(sound_volume_table[1], -4000);
    snd_hi = hi;
    EXPECT_EQ(clicks(), 0u);
}

TEST_F(Audio, VolumePointerPullsAHostileStepBack) {
    struct Case { i8 step; f64 shown; } cases[] = {{127, 10}, {-128, -10}, {-3, -3}, {11, 10}};
    for (const Case& c : cases) {
        master_volume_step = c.step;
        frames(1);
        EXPECT_EQ(drawn(kSnd, VolumePointer).value, c.shown);
        EXPECT_EQ(master_volume_step, i8(c.shown));
    }
}

TEST_F(Audio, HostAudioFollowsKnobsAndBusesOnceEach) {
    struct Case {
        u8 marker, vor1, vor2, adf, dc_normal, ess_ac, ess_any, ac2;
        std::vector<std::pair<u32, u32>> sends;
    } cases[] = {
        // Marker on without normal DC while the host's marker is on: switched off once.
        {1, 0, 0, 0, 0, 0, 0, 0, {{key_marker_sound_set, 0}}},
        {1, 0, 0, 0, 0, 0, 0, 0, {}},
        {1, 0, 0, 0, 1, 0, 0, 0, {{key_marker_sound_set, 1}}},  // power back
        {1, 0, 0, 1, 1, 1, 0, 0, {{key_adf_ident_enable, 0}}},
        {1, 0, 0, 1, 0, 1, 0, 0, {{key_marker_sound_set, 0}}},  // ADF on ESS AC alone stays
        {1, 1, 1, 1, 0, 1, 1, 1, {{key_vor1_ident_enable, 0}, {key_vor2_ident_enable, 0}}},
        {0, 1, 1, 0, 0, 1, 0, 1, {{key_vor1_ident_disable, 0}, {key_adf_ident_disable, 0}}},
        {0, 0, 0, 0, 0, 1, 0, 1, {{key_vor2_ident_disable, 0}}},
        {0, 0, 2, 0, 1, 1, 1, 1, {}},  // only a knob byte of 1 is on
    };
    token(kMarker, 1.0);
    for (const Case& c : cases) {
        audio_marker_sw = c.marker, audio_vor1_sw = c.vor1, audio_vor2_sw = c.vor2, audio_adf_sw = c.adf;
        dc_normal_powered = c.dc_normal, elec_ess_ac_powered = c.ess_ac, elec_ess_ac_any_powered = c.ess_any;
        elec_ac_bus2_powered = c.ac2;
        frames(1);
        EXPECT_EQ(sent(), c.sends) << int(c.marker) << int(c.vor1) << int(c.vor2) << int(c.adf);
        frames(1);
        EXPECT_TRUE(sent().empty()) << "the host followed";
    }
    EXPECT_EQ(host().token(kVor1) + host().token(kVor2) + host().token(kAdfIdent), 0.0);
}

TEST_F(Audio, KnobsAreSharedSilentAndOnlyTheFirstPanelSends) {
    host().place(&second_header);
    struct Case { i32 x, y; u8* byte; u8 want; size_t left; } cases[] = {
        {10, 5, &audio_vhf1_sw, 0, Vhf1Left},   {35, 5, &audio_vhf1_sw, 1, Vhf1Left},
        {10, 50, &audio_marker_sw, 0, MarkerLeft}, {80, 50, &audio_vor1_sw, 1, Vor1Left},
        {120, 50, &audio_vor2_sw, 1, Vor2Left},   {55, 85, &audio_adf_sw, 0, AdfLeft},
    };
    for (const Case& c : cases) {
        *c.byte = 5;
        host().click(&second_header, c.x, c.y, MouseLeftSingle);
        EXPECT_EQ(*c.byte, c.want) << c.x << "," << c.y;
        frames(1);
        EXPECT_EQ(lamps(kSnd, c.left, 2), c.want ? "01" : "10");
        EXPECT_EQ(hidden(second.el(c.left + 1)), c.want != 1);
    }
    EXPECT_EQ(clicks(), 0u);
    // With the first panel gone the knobs still turn on the second, but nothing reaches the host.
    new_keys();
    host().remove(gauge(kSnd));
    audio_vor1_sw = 1;
    elec_ess_ac_any_powered = 1;
    frames(2);
    for (const KeyLogEntry& k : new_keys()) EXPECT_NE(k.id, key_vor1_ident_enable);
    EXPECT_EQ(hidden(second.el(Vor1Right)), false);
}
