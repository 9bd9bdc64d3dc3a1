// The aural warning unit ("ketravin gpws_kr60") through the host: loading and releasing the sounds,
// the alert latches and their classes, the request bytes, the gear klaxon, and silence without sound.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "air/state.h"
#include "apu/state.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "fuel/state.h"
#include "gear/state.h"
#include "instruments/state.h"
#include "navigation/state.h"
#include "warnings/state.h"
#include "module/tokens.h"
#include "sound/recording.h"
#include "sound/sound_engine.h"
#include "tests/host_fixture.h"

const char* const kGpws = "ketravin gpws_kr60";

class AuralWarning : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        inst_flap_detent[1] = 5243, inst_flap_detent[2] = 10485;
        token(tok_gear_nose_pos.id, 16384);  // gear down: no klaxon unless a test asks
    }
    void install() {
        place(kGpws);
        look();
    }
    void look() { seen_ = sound_recording_count(); }
    // Sound calls since the last look.
    std::vector<SoundEvent> events() {
        std::vector<SoundEvent> out;
        for (u64 i = seen_; i < sound_recording_count(); ++i)
            if (SoundEvent e; sound_recording_event(i, &e)) out.push_back(e);
        return out;
    }
    // Calls on one sound since the last look (also those that changed nothing).
    int calls(const char* name, SoundCall call) {
        int n = 0;
        for (const SoundEvent& e : events()) n += e.call == call && std::strcmp(e.name, name) == 0;
        return n;
    }
    static bool looping(SoundBuffer* b) {
        SoundBufferState s{};
        return sound_recording_buffer_state(b, &s) && s.playing && s.looping;
    }
    u64 seen_ = 0;
};

// Placed twice: the first install loads every sound, then sets the volumes from the volume table,
// both in load order; the last kill releases them. A kill without an install does nothing.
TEST_F(AuralWarning, LoadsOnceAndReleasesOnTheLastKill) {
    look();
    place(kGpws);
    place(kGpws);
    size_t created = 0, volumes = 0;
    for (const SoundEvent& e : events()) {
        if (e.call == SoundCall::Create) {
            EXPECT_STREQ(e.name, kSoundSlots[created++ % kSoundCount].name);
        } else if (e.call == SoundCall::Volume) {
            EXPECT_TRUE(created == kSoundCount && std::strcmp(e.name, kSoundSlots[volumes].name) == 0) << e.name;
            EXPECT_EQ(e.value, sound_volume_table[volumes++]) << e.name;
        }
    }
    EXPECT_TRUE(created == kSoundCount && volumes == kSoundCount);
    host().remove(gauge(kGpws));
    EXPECT_EQ(sound_recording_live_buffers(), kSoundCount) << "one instance still placed";
    look();
    host().remove(gauge(kGpws));
    EXPECT_TRUE(sound_recording_live_buffers() == 0 && !sound_recording_device_open());
    size_t released = 0;  // each one, in reverse load order: VRKTS first, CLICK last
    for (const SoundEvent& e : events())
        if (e.call == SoundCall::Release) {
            EXPECT_STREQ(e.name, kSoundSlots[kSoundCount - 1 - released++].name);
        }
    EXPECT_EQ(released, kSoundCount);
    for (const SoundSlot& s : kSoundSlots) EXPECT_EQ(*s.buffer, nullptr) << s.name;
    look();
    gauge(kGpws)->callback(gauge(kGpws), ServicePreKill, 0);
    EXPECT_EQ(sound_recording_count(), seen_);
}

// Two new cautions in one frame: one chime a frame, in chime order.
TEST_F(AuralWarning, NewCautionsChimeOnceEach) {
    install();
    dc_ess_powered = 1;
    warn_flag_asi = 1;  // latch 3, early in the chime order
    struct Step { u8 doors; u64 frames; int chimes; u8 latch3, latch28; } steps[] = {
        {1, 1, 1, 2, 1}, {1, 1, 1, 2, 2}, {1, 3, 0, 2, 2},  // one chime per rise
        {0, 1, 0, 2, 0}, {2, 1, 0, 2, 0},                   // a byte other than 0 or 1 raises nothing
        {1, 1, 1, 2, 2},                                    // risen again: chimes again
    };
    for (const Step& s : steps) {
        warn_doors = s.doors;  // latch 28
        look();
        frames(s.frames);
        EXPECT_EQ(calls("GONGMONO", SoundCall::Play), s.chimes) << int(s.doors);
        EXPECT_TRUE(warn_alert_latch[3] == s.latch3 && warn_alert_latch[28] == s.latch28) << int(s.doors);
    }
}

// Each of the 34 sources on its own: its latch rises, is sounded by its class (bell, continuous
// chime and intermittent klaxon looped, single chime once) and falls with the source; the fires,
// CAB PRESS, SMOKE and the three CONFIG sources open the pop-up and give their lamp's cancel back.
TEST_F(AuralWarning, EverySourceLatchesAndSoundsByItsClass) {
    install();
    dc_ess_powered = 1;
    enum Class { Bell, Continuous, Klaxon, Chime };
    const struct { u8* source; Class cls; u8* cancel; } kSources[34] = {
        {&warn_lo_spd_ail, Klaxon, &mwp1_cancel[3]}, {&warn_to_config_flaps, Klaxon, &mwp1_cancel[3]},
        {&warn_to_config_trim, Klaxon, &mwp1_cancel[3]}, {&warn_flag_asi, Chime, nullptr},
        {&warn_flag_alti, Chime, nullptr}, {&warn_flag_adi, Chime, nullptr}, {&warn_flag_hsi, Chime, nullptr},
        {&warn_flag_rmi, Chime, nullptr}, {&warn_flag_adf, Chime, nullptr}, {&warn_ac_fault, Chime, nullptr},
        {&warn_dc_fault, Chime, nullptr}, {&warn_gen_fault[0], Chime, nullptr}, {&warn_gen_fault[1], Chime, nullptr},
        {&warn_gen_fault[2], Chime, nullptr}, {&warn_fire[0], Bell, &mwp1_cancel[0]},
        {&warn_fire[1], Bell, &mwp1_cancel[1]}, {&warn_fire[2], Bell, &mwp1_cancel[2]},
        {&warn_eng_oil_press_lo[0], Chime, nullptr}, {&warn_eng_oil_press_lo[1], Chime, nullptr},
        {&warn_servos, Chime, nullptr}, {&warn_thr_off, Chime, nullptr}, {&warn_rudd_travel, Chime, nullptr},
        {&warn_yaw_damper, Chime, nullptr}, {&warn_pitch_trim, Chime, nullptr},
        {&warn_ess_eqpt_ac2_off, Chime, nullptr}, {&warn_probes, Chime, nullptr}, {&warn_apu_fault, Chime, nullptr},
        {&warn_brakes_hot, Chime, nullptr}, {&warn_doors, Chime, nullptr}, {&warn_pneu, Chime, nullptr},
        {&warn_hydrau, Chime, nullptr}, {&warn_fuel_low, Chime, nullptr}, {&warn_cab_press, Continuous, &mwp2_cancel[11]},
        {&warn_smoke, Continuous, &mwp2_cancel[12]},
    };
    SoundBuffer* const* loops[] = {&snd_sonnerie, &snd_gongcont, &snd_klaxonint};
    for (size_t i = 0; i < 34; ++i) {
        const auto& src = kSources[i];
        SCOPED_TRACE("latch " + std::to_string(i));
        mwp_popup_state = 0;
        if (src.cancel) *src.cancel = 1;
        *src.source = 1;
        look();
        frames(2);
        EXPECT_EQ(warn_alert_latch[i], 2);
        for (int c = Bell; c <= Klaxon; ++c) EXPECT_EQ(looping(*loops[c]), c == src.cls) << c;
        EXPECT_EQ(calls("GONGMONO", SoundCall::Play), src.cls == Chime ? 1 : 0);
        EXPECT_EQ(mwp_popup_state, src.cancel ? 1 : 0);
        EXPECT_TRUE(!src.cancel || *src.cancel == 0) << "cancel given back";
        *src.source = 0;
        frames(1);
        EXPECT_EQ(warn_alert_latch[i], 0);
    }
}

// Every fire takes latch 2 and holds a new caution until it ends, bell or not.
TEST_F(AuralWarning, FireBellFollowsHandlesCutoutAndCancel) {
    install();
    dc_ess_powered = 1;
    struct Case { const char* what; u8 fire[3], handle[2], apu_pulled, cutout, cancel; bool bell; } cases[] = {
        {"engine 1 fire, handle 1 at 1", {1, 0, 0}, {1, 0}, 0, 0, 0, true},
        {"engine 2 fire, handle 2 at 4", {0, 1, 0}, {0, 4}, 0, 0, 0, false},
        {"engine 1 fire, bell cut out", {1, 0, 0}, {0, 0}, 0, 1, 0, false},
        {"APU fire, bell cut-out does not stop it", {0, 0, 1}, {0, 0}, 0, 1, 0, true},
        {"APU fire, handle pulled", {0, 0, 1}, {0, 0}, 1, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::copy(c.fire, c.fire + 3, warn_fire);
        std::copy(c.handle, c.handle + 2, fire_handle);
        apu_fire_handle_pulled = c.apu_pulled, fire_bell_cutout = c.cutout, mwp_aural_cancel = c.cancel;
        warn_flag_asi = 1;
        frames(2);
        EXPECT_EQ(looping(snd_sonnerie), c.bell);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(warn_alert_latch[14 + i], c.fire[i] ? 2 : 0);
        EXPECT_EQ(warn_alert_latch[3], 1) << "the caution waits";
        std::fill(warn_fire, warn_fire + 3, 0);
        look();
        frames(1);
        EXPECT_TRUE(!looping(snd_sonnerie) && calls("GONGMONO", SoundCall::Play) == 1) << "bell off, caution chimes";
        warn_flag_asi = 0;
        frames(1);
    }
}

// The highest class sounds; the loops of lower classes go on under it. Unpowered, the class
// step waits (loops going on keep going) while latches and requests still run.
TEST_F(AuralWarning, ClassesInOrderAndLowerLoopsGoOnUnderAHigherOne) {
    install();
    struct Step { u8 power, config, cab, fire, fire_latch; bool klaxon, chime, bell; } steps[] = {
        {1, 1, 0, 0, 0, true, false, false},  {1, 1, 1, 0, 0, true, true, false}, {1, 1, 1, 1, 2, true, true, true},
        {1, 1, 1, 0, 0, true, true, false},   {1, 1, 0, 0, 0, true, false, false}, {1, 0, 0, 0, 0, false, false, false},
        {1, 1, 0, 0, 0, true, false, false},  {0, 0, 0, 1, 1, true, false, false}, {1, 0, 0, 1, 2, true, false, true},
    };
    warn_overspeed = 1;
    for (const Step& s : steps) {
        dc_ess_powered = s.power, warn_to_config_flaps = s.config, warn_cab_press = s.cab, warn_fire[1] = s.fire;
        frames(1);
        EXPECT_TRUE(looping(snd_klaxonint) == s.klaxon && looping(snd_gongcont) == s.chime &&
                    looping(snd_sonnerie) == s.bell && warn_alert_latch[15] == s.fire_latch)
            << "step " << &s - steps;
        EXPECT_TRUE(warn_alert_latch[1] == (s.config ? 2 : 0) && warn_alert_latch[32] == (s.cab ? 2 : 0))
            << "sounded once, held while the source holds: step " << &s - steps;
        EXPECT_TRUE(looping(snd_clacker)) << "requests are served";
    }
}

// Three frames of each request: played every frame, looped, or played once and marked served.
TEST_F(AuralWarning, RequestBytesAreServedInTurn) {
    install();
    dc_ess_powered = 1;
    // `callout`: a ground proximity call-out (sink rate) is current.
    struct Case { u8* byte; bool callout; SoundBuffer* const* buf; const char* name; bool loops; int plays; u8 after; };
    const Case cases[] = {
        {&warn_trim_motion, false, &snd_wroof, "WROOF", false, 3, 1},
        {&warn_overspeed, false, &snd_clacker, "CLACKER", true, 0, 1},
        {&warn_stall, false, &snd_cricket, "CRICKET", true, 0, 1},
        {&ap_land_mode_changed, false, &snd_clicliclic, "CLICLICLIC", false, 3, 1},
        {&ap_alt_alert_request, false, &snd_re, "RE", false, 1, 2},
        {&ap_alt_alert_request, true, &snd_re, "RE", false, 0, 1},
        {&ap_alt_deviation_alert, false, &snd_rerep, "REREP", true, 0, 1},
        {&ap_alt_deviation_alert, true, &snd_rerep, "REREP", false, 0, 1},  // a call-out holds the tone off
    };
    for (const auto& [byte, callout, buf, name, loops, plays, after] : cases) {
        inst_vs_fpm = callout ? -3000 : 0, inst_radio_alt_ft = 1000;
        *byte = 1;
        look();
        frames(3);
        EXPECT_EQ(gpws_callout != 0, callout);
        EXPECT_TRUE(looping(*buf) == loops && calls(name, SoundCall::Play) == plays && *byte == after)
            << name << (callout ? " during a call-out" : "");
        *byte = 0;
        frames(1);
        EXPECT_FALSE(looping(*buf)) << name;
    }
}

TEST_F(AuralWarning, GearKlaxonWithGearUpAndFlapsPastTheLastDetent) {
    install();
    constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
    const struct { f64 gear, flaps; u8 cancel; bool klaxon; } cases[] = {
        {0, 10487, 0, true},     {15999, 16383, 0, true}, {16000, 16383, 0, false}, {0, 10486, 0, false},
        {0, 10487, 1, false},    {kNaN, 16383, 0, false}, {-1e300, 1e300, 0, true},
    };
    for (const auto& [gear, flaps, cancel, klaxon] : cases) {
        token(tok_gear_nose_pos.id, gear), token(tok_flaps_left_pos.id, flaps);
        mwp_aural_cancel = cancel;
        frames(1);
        EXPECT_EQ(looping(snd_klaxoncont), klaxon) << gear << " " << flaps << " " << int(cancel);
    }
}

// No sound loaded: latches, requests and clicks all work, silently.
TEST_F(AuralWarning, NoDeviceMeansSilenceWhileEverythingElseRuns) {
    sound_recording_fail_device(true);
    const u64 start = sound_recording_count();
    install();
    for (const SoundSlot& s : kSoundSlots) EXPECT_EQ(*s.buffer, nullptr) << s.name;
    dc_ess_powered = 1;
    warn_fire[0] = warn_flag_asi = warn_overspeed = warn_trim_motion = ap_alt_alert_request = 1;
    token(tok_gear_nose_pos.id, 0), token(tok_flaps_left_pos.id, 16383);
    frames(2);
    warn_fire[0] = 0;
    frames(1);
    EXPECT_TRUE(warn_alert_latch[14] == 0 && warn_alert_latch[3] == 2 && ap_alt_alert_request == 2);
    EXPECT_TRUE(click(kGpws, 5, 5));
    EXPECT_EQ(gpws_test_active, 1);
    host().remove(gauge(kGpws));
    EXPECT_EQ(sound_recording_count(), start) << "nothing reached a device";
}

// The lamp shows a current call-out or a running test, with DC essential power only; the button
// starts the test only when powered, quiet and not already testing. Token 991 at 1.0 sends the
// host's own GPWS event every frame.
TEST_F(AuralWarning, LampButtonAndHostEvent) {
    install();
    token(tok_on_ground.id, 1.0);
    const struct { u8 power; i32 vs; f64 ra; bool press; u8 active; bool lamp; } steps[] = {
        {1, 0, 0, false, 0, false},    {0, 0, 0, true, 0, false},       {1, 0, 0, true, 1, true},
        {1, 0, 0, true, 1, true},      {0, 0, 0, false, 0, false},      {1, -3000, 1000, true, 0, true},
    };
    for (const auto& s : steps) {
        dc_ess_powered = s.power, inst_vs_fpm = s.vs, inst_radio_alt_ft = s.ra;
        token(tok_on_ground.id, s.ra > 0 ? 0.0 : 1.0);
        frames(2);
        if (s.press) {
            EXPECT_TRUE(click(kGpws, 46, 27));
        }
        EXPECT_EQ(gpws_test_active, s.active) << "step " << &s - steps;
        frames(1);
        EXPECT_EQ(!hidden(element(kGpws, 1)), s.lamp) << "step " << &s - steps;
    }
    const MouseRect& parent = gauge(kGpws)->mouse_rects[0];
    EXPECT_TRUE(parent.kind == MouseRectParent && parent.help_id == 43852) << "the button's help";
    for (f64 flag : {1.0, 0.999}) {
        new_keys();
        for (int f = 0; f < 3; ++f) token(991, flag), frames(1);  // the host clears it on the event
        size_t n = 0;
        for (const KeyLogEntry& k : new_keys()) n += k.sent && k.id == 0x104a1 && k.value == 0;
        EXPECT_EQ(n, flag == 1.0 ? 3u : 0u) << flag;
    }
}
