// The aural warning unit ("ketravin gpws_kr60") through the host: loading and releasing the
// sounds, the alert latches with their classes and pop-up order, the request bytes, the gear
// klaxon, the lamp and test button, and silence when no sound could be loaded.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "autoflight/state.h"
#include "core/gpws_state.h"
#include "core/state.h"
#include "engines/state.h"
#include "fe_panel/state.h"
#include "instruments/state.h"
#include "module/switches.h"
#include "module/tokens.h"
#include "sound/recording.h"
#include "sound/sound_engine.h"
#include "tests/host_fixture.h"

namespace {
const char* const kGpws = "ketravin gpws_kr60";
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN();
}  // namespace

class AuralWarning : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        inst_flap_detent[0] = 0;
        inst_flap_detent[1] = 5243;
        inst_flap_detent[2] = 10485;
        token(tok_gear_nose_pos.id, 16384);  // gear down: no klaxon unless a test asks
    }
    void install() {
        place(kGpws);
        seen_ = sound_recording_count();
    }
    // Calls on one sound since the previous look (all calls, also those that changed nothing).
    int calls(const char* name, SoundCall call) {
        int n = 0;
        for (u64 i = seen_; i < sound_recording_count(); ++i) {
            SoundEvent e;
            if (sound_recording_event(i, &e) && e.call == call && std::strcmp(e.name, name) == 0) ++n;
        }
        return n;
    }
    void look() { seen_ = sound_recording_count(); }
    static bool looping(SoundBuffer* b) {
        SoundBufferState s{};
        return sound_recording_buffer_state(b, &s) && s.playing && s.looping;
    }
    u64 seen_ = 0;
};

TEST_F(AuralWarning, InstallLoadsEverySoundAtItsVolumeAndKillReleasesInReverse) {
    const u64 start = sound_recording_count();
    install();
    EXPECT_TRUE(sound_recording_device_open());
    EXPECT_EQ(sound_recording_live_buffers(), kSoundCount);
    std::vector<std::string> created, volumes;
    for (u64 i = start; i < sound_recording_count(); ++i) {
        SoundEvent e;
        ASSERT_TRUE(sound_recording_event(i, &e));
        EXPECT_EQ(e.frame, 0u);
        if (e.call == SoundCall::Create) created.push_back(e.name);
        if (e.call == SoundCall::Volume) volumes.push_back(std::string(e.name) + " " + std::to_string(e.value));
    }
    ASSERT_EQ(created.size(), kSoundCount);
    ASSERT_EQ(volumes.size(), kSoundCount);
    for (size_t i = 0; i < kSoundCount; ++i) {
        EXPECT_EQ(created[i], kSoundSlots[i].name);
        EXPECT_EQ(volumes[i], std::string(kSoundSlots[i].name) + " " + std::to_string(sound_volume_table[i]));
        EXPECT_NE(*kSoundSlots[i].buffer, nullptr);
    }

    look();
    host().remove(gauge(kGpws));
    std::vector<std::string> released;
    for (u64 i = seen_; i < sound_recording_count(); ++i) {
        SoundEvent e;
        if (sound_recording_event(i, &e) && e.call == SoundCall::Release) released.push_back(e.name);
    }
    ASSERT_EQ(released.size(), kSoundCount);
    EXPECT_EQ(released.front(), "VRKTS");
    EXPECT_EQ(released.back(), "CLICK");
    for (const SoundSlot& s : kSoundSlots) EXPECT_EQ(*s.buffer, nullptr) << s.name;
    EXPECT_FALSE(sound_recording_device_open());
}

TEST_F(AuralWarning, PlacedTwiceLoadsOnceAndReleasesOnTheLastKill) {
    install();
    place(kGpws);
    EXPECT_EQ(calls("CLICK", SoundCall::Create), 0) << "the second install loads nothing";
    EXPECT_EQ(sound_recording_live_buffers(), kSoundCount);
    host().remove(gauge(kGpws));
    EXPECT_EQ(sound_recording_live_buffers(), kSoundCount) << "one instance still placed";
    EXPECT_NE(snd_click, nullptr);
    host().remove(gauge(kGpws));
    EXPECT_EQ(sound_recording_live_buffers(), 0u);
    EXPECT_FALSE(sound_recording_device_open());
    // A kill without an install does nothing.
    look();
    gauge(kGpws)->callback(gauge(kGpws), ServicePreKill, 0);
    EXPECT_EQ(sound_recording_count(), seen_);
}

TEST_F(AuralWarning, TwoNewCautionsInOneFrameChimeOnceEach) {
    install();
    dc_ess_powered = 1;
    warn_doors = 1;     // latch 28
    warn_flag_asi = 1;  // latch 3, earlier in the chime order
    look();
    frames(1);
    EXPECT_EQ(calls("GONGMONO", SoundCall::Play), 1);
    EXPECT_EQ(warn_alert_latch[3], 2);
    EXPECT_EQ(warn_alert_latch[28], 1);
    look();
    frames(1);
    EXPECT_EQ(calls("GONGMONO", SoundCall::Play), 1);
    EXPECT_EQ(warn_alert_latch[28], 2);
    look();
    frames(3);
    EXPECT_EQ(calls("GONGMONO", SoundCall::Play), 0) << "one chime per rise";
    // A source that drops and rises again sounds again; a byte other than 0 or 1 does neither.
    warn_doors = 0;
    frames(1);
    EXPECT_EQ(warn_alert_latch[28], 0);
    warn_doors = 2;
    frames(1);
    EXPECT_EQ(warn_alert_latch[28], 0);
    warn_doors = 1;
    frames(1);
    EXPECT_EQ(calls("GONGMONO", SoundCall::Play), 1);
    EXPECT_EQ(warn_alert_latch[28], 2);
}

TEST_F(AuralWarning, FireWithAuralCancelIsSilentAndHoldsLowerClasses) {
    install();
    dc_ess_powered = 1;
    mwp_aural_cancel = 1;
    mwp1_cancel[0] = 1;
    warn_fire[0] = 1;
    warn_flag_asi = 1;
    look();
    frames(3);
    EXPECT_EQ(calls("SONNERIE", SoundCall::Loop), 0);
    EXPECT_FALSE(looping(snd_sonnerie));
    EXPECT_EQ(warn_alert_latch[14], 2);
    EXPECT_EQ(warn_alert_latch[3], 1) << "no lower-class sound while the fire lasts";
    EXPECT_EQ(calls("GONGMONO", SoundCall::Play), 0);
    EXPECT_EQ(mwp_popup_state, 1);
    EXPECT_EQ(mwp1_cancel[0], 0) << "the new fire released its lamp's cancel";
    // The fire ends: the waiting caution chimes.
    warn_fire[0] = 0;
    frames(1);
    EXPECT_EQ(calls("GONGMONO", SoundCall::Play), 1);
    EXPECT_EQ(warn_alert_latch[3], 2);
}

TEST_F(AuralWarning, FireBellFollowsHandlesCutoutAndCancel) {
    install();
    dc_ess_powered = 1;
    struct Case {
        const char* what;
        u8 fire[3];
        u8 handle[2];
        u8 apu_pulled, cutout, cancel;
        bool bell;
    } cases[] = {
        {"engine 1 fire", {1, 0, 0}, {0, 0}, 0, 0, 0, true},
        {"engine 1 fire, handle 1 at 1", {1, 0, 0}, {1, 0}, 0, 0, 0, true},
        {"engine 1 fire, handle 1 at 2", {1, 0, 0}, {2, 0}, 0, 0, 0, false},
        {"engine 2 fire, handle 1 at 2", {0, 1, 0}, {2, 0}, 0, 0, 0, true},
        {"engine 2 fire, handle 2 at 4", {0, 1, 0}, {0, 4}, 0, 0, 0, false},
        {"engine 1 fire, bell cut out", {1, 0, 0}, {0, 0}, 0, 1, 0, false},
        {"APU fire", {0, 0, 1}, {0, 0}, 0, 0, 0, true},
        {"APU fire, bell cut-out does not stop it", {0, 0, 1}, {0, 0}, 0, 1, 0, true},
        {"APU fire, handle pulled", {0, 0, 1}, {0, 0}, 1, 0, 0, false},
        {"APU fire, aural cancel", {0, 0, 1}, {0, 0}, 0, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int i = 0; i < 3; ++i) warn_fire[i] = c.fire[i];
        fire_handle[0] = c.handle[0];
        fire_handle[1] = c.handle[1];
        apu_fire_handle_pulled = c.apu_pulled;
        fire_bell_cutout = c.cutout;
        mwp_aural_cancel = c.cancel;
        frames(2);
        EXPECT_EQ(looping(snd_sonnerie), c.bell);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(warn_alert_latch[14 + i], c.fire[i] ? 2 : 0);
        for (u8& f : warn_fire) f = 0;
        frames(1);
        EXPECT_FALSE(looping(snd_sonnerie)) << "the bell stops with the fire";
    }
}

TEST_F(AuralWarning, ClassesInOrderAndLowerLoopsGoOnUnderAHigherOne) {
    install();
    dc_ess_powered = 1;
    warn_to_config_flaps = 1;
    frames(1);
    EXPECT_TRUE(looping(snd_klaxonint));
    warn_cab_press = 1;
    frames(1);
    EXPECT_TRUE(looping(snd_gongcont));
    EXPECT_TRUE(looping(snd_klaxonint)) << "not stopped while a higher class holds";
    warn_fire[1] = 1;
    frames(1);
    EXPECT_TRUE(looping(snd_sonnerie));
    EXPECT_TRUE(looping(snd_gongcont));
    EXPECT_TRUE(looping(snd_klaxonint));
    warn_fire[1] = 0;
    frames(1);
    EXPECT_FALSE(looping(snd_sonnerie));
    EXPECT_TRUE(looping(snd_gongcont));
    warn_cab_press = 0;
    frames(1);
    EXPECT_FALSE(looping(snd_gongcont));
    EXPECT_TRUE(looping(snd_klaxonint));
    warn_to_config_flaps = 0;
    frames(1);
    EXPECT_FALSE(looping(snd_klaxonint));
}

TEST_F(AuralWarning, PopUpTakesOneNewRedAlertPerFrameInOrder) {
    install();
    dc_ess_powered = 0;  // the class step is skipped: latches stay 1 and keep asking
    for (u8& c : mwp1_cancel) c = 1;
    for (u8& c : mwp2_cancel) c = 1;
    warn_lo_spd_ail = 1;
    warn_cab_press = 1;
    warn_fire[2] = 1;
    frames(1);
    EXPECT_EQ(mwp_popup_state, 1);
    EXPECT_EQ(mwp1_cancel[2], 0) << "APU fire first";
    EXPECT_EQ(mwp2_cancel[11], 1);
    EXPECT_EQ(mwp1_cancel[3], 1);
    dc_ess_powered = 1;  // the bell gives the APU fire latch 2
    mwp_popup_state = 0;
    frames(1);
    EXPECT_EQ(mwp_popup_state, 1) << "the fire latch was still 1 at the pop-up step";
    mwp_popup_state = 0;
    frames(1);
    EXPECT_EQ(mwp2_cancel[11], 0) << "then CAB PRESS";
    EXPECT_EQ(mwp1_cancel[3], 1);
    mwp_popup_state = 0;
    warn_fire[2] = 0;
    warn_cab_press = 0;
    frames(1);
    EXPECT_EQ(mwp1_cancel[3], 0) << "then CONFIG";
    EXPECT_EQ(mwp_popup_state, 1);
    for (int i : {4, 5, 6}) EXPECT_EQ(mwp1_cancel[i], 1) << "cautions open no pop-up";
}

TEST_F(AuralWarning, RequestBytesAreServedInTurn) {
    install();
    dc_ess_powered = 1;
    struct Case {
        const char* what;
        u8* byte;
        u8 value;
        bool callout;  // a ground proximity call-out is current (sink rate)
        SoundBuffer** sound;
        bool loops, plays;
        u8 byte_after;
    } cases[] = {
        {"trim motion", &warn_trim_motion, 1, false, &snd_wroof, false, true, 1},
        {"trim motion 2", &warn_trim_motion, 2, false, &snd_wroof, false, false, 2},
        {"overspeed", &warn_overspeed, 1, false, &snd_clacker, true, false, 1},
        {"stall", &warn_stall, 1, false, &snd_cricket, true, false, 1},
        {"land mode change", &ap_land_mode_changed, 1, false, &snd_clicliclic, false, true, 1},
        {"altitude alert", &ap_alt_alert_request, 1, false, &snd_re, false, true, 2},
        {"altitude alert during a call-out", &ap_alt_alert_request, 1, true, &snd_re, false, false, 1},
        {"altitude alert already given", &ap_alt_alert_request, 2, false, &snd_re, false, false, 2},
        {"altitude deviation", &ap_alt_deviation_alert, 1, false, &snd_rerep, true, false, 1},
        {"altitude deviation during a call-out", &ap_alt_deviation_alert, 1, true, &snd_rerep, false, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        inst_vs_fpm = c.callout ? -3000 : 0;
        inst_radio_alt_ft = 1000;
        *c.byte = c.value;
        look();
        frames(1);
        EXPECT_EQ(gpws_callout != 0, c.callout);
        const char* name = nullptr;
        for (const SoundSlot& s : kSoundSlots)
            if (s.buffer == c.sound) name = s.name;
        EXPECT_EQ(looping(*c.sound), c.loops);
        EXPECT_EQ(calls(name, SoundCall::Play) > 0, c.plays);
        EXPECT_EQ(*c.byte, c.byte_after);
        *c.byte = 0;
        frames(1);
        EXPECT_FALSE(looping(*c.sound));
    }
    // Started again every frame while the byte holds.
    inst_vs_fpm = 0;
    warn_trim_motion = 1;
    look();
    frames(5);
    EXPECT_EQ(calls("WROOF", SoundCall::Play), 5);
}

TEST_F(AuralWarning, GearKlaxonWithGearUpAndFlapsPastTheLastDetent) {
    install();
    struct Case {
        f64 gear, flaps;
        u8 cancel;
        bool klaxon;
    } cases[] = {
        {0, 10487, 0, true},      {15999, 16383, 0, true}, {16000, 16383, 0, false},
        {16384, 16383, 0, false}, {0, 10486, 0, false},    {0, 10487, 1, false},
        {kNaN, 16383, 0, false},  {0, kNaN, 0, false},     {-1e300, 1e300, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.gear) + " " + std::to_string(c.flaps));
        token(tok_gear_nose_pos.id, c.gear);
        token(tok_flaps_left_pos.id, c.flaps);
        mwp_aural_cancel = c.cancel;
        frames(1);
        EXPECT_EQ(looping(snd_klaxoncont), c.klaxon);
    }
}

TEST_F(AuralWarning, LampAndTestButton) {
    install();
    ElementHeader* lamp = element(kGpws, 1);
    EXPECT_TRUE(hidden(lamp));
    EXPECT_TRUE(lit_bright(lamp));
    // Without power the button does nothing.
    EXPECT_TRUE(click(kGpws, 10, 10));
    EXPECT_EQ(gpws_test_active, 0);
    dc_ess_powered = 1;
    gpws_callout = 30;
    EXPECT_TRUE(click(kGpws, 46, 27));
    EXPECT_EQ(gpws_test_active, 0) << "a call-out is current";
    gpws_callout = 0;
    EXPECT_TRUE(click(kGpws, 0, 0));
    EXPECT_EQ(gpws_test_active, 1);
    EXPECT_FALSE(click(kGpws, 47, 10)) << "outside the button";
    look();
    frames(1);
    EXPECT_FALSE(hidden(lamp)) << "lit while the test runs";
    EXPECT_EQ(calls("CLICK", SoundCall::Play), 0) << "the button plays no click";
    // Power lost: the lamp goes dark and the test ends.
    gpws_test_active = 1;
    dc_ess_powered = 0;
    frames(1);
    EXPECT_TRUE(hidden(lamp));
    EXPECT_EQ(gpws_test_active, 0);
    EXPECT_EQ(gpws_callout, 0);
}

TEST_F(AuralWarning, WithoutPowerTheClassStepWaitsButRequestsAndLatchesRun) {
    install();
    dc_ess_powered = 1;
    warn_to_config_trim = 1;
    frames(1);
    EXPECT_TRUE(looping(snd_klaxonint));
    dc_ess_powered = 0;
    warn_to_config_trim = 0;
    warn_fire[0] = 1;
    warn_overspeed = 1;
    frames(2);
    EXPECT_TRUE(looping(snd_klaxonint)) << "loops already going keep going";
    EXPECT_FALSE(looping(snd_sonnerie));
    EXPECT_EQ(warn_alert_latch[14], 1);
    EXPECT_EQ(warn_alert_latch[2], 0);
    EXPECT_TRUE(looping(snd_clacker));
    dc_ess_powered = 1;
    frames(1);
    EXPECT_TRUE(looping(snd_sonnerie));
    EXPECT_EQ(warn_alert_latch[14], 2);
}

TEST_F(AuralWarning, HostWarningEventSentWhileTheHostFlagIsOn) {
    install();
    token(tok_gpws_host_flag.id, 1.0);
    new_keys();
    frames(3);
    const auto keys = new_keys();
    ASSERT_EQ(keys.size(), 1u) << "the host model switches it off";
    EXPECT_TRUE(keys[0].sent);
    EXPECT_EQ(keys[0].id, 0x104a1u);
    EXPECT_EQ(keys[0].value, 0u);
    EXPECT_EQ(host().token(tok_gpws_host_flag.id), 0.0);
}

TEST_F(AuralWarning, NoDeviceMeansSilenceWhileEverythingElseRuns) {
    sound_recording_fail_device(true);
    const u64 start = sound_recording_count();
    install();
    for (const SoundSlot& s : kSoundSlots) EXPECT_EQ(*s.buffer, nullptr) << s.name;
    dc_ess_powered = 1;
    warn_fire[0] = 1;
    warn_flag_asi = 1;
    warn_overspeed = 1;
    warn_trim_motion = 1;
    ap_alt_alert_request = 1;
    token(tok_gear_nose_pos.id, 0);
    token(tok_flaps_left_pos.id, 16383);
    frames(2);
    warn_fire[0] = 0;
    frames(1);
    EXPECT_EQ(warn_alert_latch[14], 0);
    EXPECT_EQ(warn_alert_latch[3], 2);
    EXPECT_EQ(ap_alt_alert_request, 2);
    // Switches still move, silently.
    u8 sw = 0;
    EXPECT_TRUE(switch_to(sw, u8(1)));
    EXPECT_EQ(sw, 1);
    EXPECT_TRUE(click(kGpws, 5, 5));
    EXPECT_EQ(gpws_test_active, 1);
    host().remove(gauge(kGpws));
    EXPECT_EQ(sound_recording_count(), start) << "nothing reached a device";
}
