// The "GPWS" warning lamp and GPWS test push-button, whose callback is the cockpit's aural
// warning unit: it starts the sound engine and loads the 33 sounds at install and releases them
// at kill; every frame it runs the ground proximity modes, serves the sound requests of other
// gauges, sounds the gear klaxon and latches each warning condition into a bell, a chime or a
// klaxon, opening the warning pop-up for the most serious ones.
// Reads: dc_ess_powered, gpws_callout, mwp_aural_cancel, fire_bell_cutout, fire_handle,
//        apu_fire_handle_pulled, inst_flap_detent, sound_volume_table, warn_trim_motion,
//        warn_overspeed, warn_stall, ap_land_mode_changed, ap_alt_deviation_alert and the 34
//        warning condition bytes of the latch table below
// Writes: gpws_callout, gpws_test_active, warn_alert_latch, mwp_popup_state, mwp1_cancel,
//         mwp2_cancel, ap_alt_alert_request, every snd_ buffer
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
#include "warnings/gpws_modes.h"
#include "module/gauge.h"
#include "module/services.h"
#include "module/tokens.h"
#include "sound/sound_engine.h"

GaugeHeader gauge_gpws;

namespace {
enum Pos { Background, Lamp, kElements };

constexpr u32 kBmpGpwsBackground = 5100;
constexpr u32 kBmpGpwsLamp = 5101;
constexpr u32 kWidthMm = 47;
constexpr u32 kHelpId = 43852;
constexpr u32 key_gpws_event_104a1 = 0x104a1;

constexpr u32 kPlayOnce = 0;
constexpr u32 kPlayLooped = 1;
constexpr f64 kGearDownPos = 16000.0;  // nose gear position from which the gear counts as down

void FSAPI aural_warning_update(GaugeHeader* gauge, i32 service_id, u32 extra);
i32 FSAPI gpws_test_press(MousePoint* point, u32 mouse_flags);

const ElementDef kElementDefs[kElements] = {
    //         bitmap               x  y  flags
    el::Static(kBmpGpwsBackground,  0, 0),
    el::Icon(kBmpGpwsLamp,          0, 0, ImageHidden | ImageBright),  // "GPWS"
};

const RectDef kRects[] = {
    rect::Parent(kHelpId),
    //          x  y  w   h   cursor      events           action
    rect::Click(0, 0, 47, 28, CursorHand, MouseLeftSingle, gpws_test_press),
    rect::EndParent(),
};
Gauge<kElements, 3> gauge(gauge_gpws, "ketravin gpws_kr60", kWidthMm, aural_warning_update, kElementDefs, kRects);

// ---- the alert latches ------------------------------------------------------------------------
constexpr size_t kLatches = 34;
enum Latch : size_t {
    LatchLoSpdAil = 0,
    LatchConfigFlaps = 1,
    LatchConfigTrim = 2,
    LatchEng1Fire = 14,
    LatchEng2Fire = 15,
    LatchApuFire = 16,
    LatchCabPress = 32,
    LatchSmoke = 33,
};

// The condition byte behind each latch, in latch order.
u8* const kLatchSource[kLatches] = {
    &warn_lo_spd_ail, &warn_to_config_flaps, &warn_to_config_trim,                          // 0-2
    &warn_flag_asi, &warn_flag_alti,                                                        // 3, 4
    &warn_flag_adi, &warn_flag_hsi, &warn_flag_rmi, &warn_flag_adf,                         // 5-8
    &warn_ac_fault, &warn_dc_fault,                                                         // 9, 10
    &warn_gen_fault[0], &warn_gen_fault[1], &warn_gen_fault[2],                             // 11-13
    &warn_fire[0], &warn_fire[1], &warn_fire[2],                                            // 14-16
    &warn_eng_oil_press_lo[0], &warn_eng_oil_press_lo[1],                                   // 17, 18
    &warn_servos, &warn_thr_off, &warn_rudd_travel, &warn_yaw_damper, &warn_pitch_trim,    // 19-23
    &warn_ess_eqpt_ac2_off, &warn_probes, &warn_apu_fault, &warn_brakes_hot, &warn_doors,  // 24-28
    &warn_pneu, &warn_hydrau, &warn_fuel_low,                                               // 29-31
    &warn_cab_press, &warn_smoke,                                                           // 32, 33
};

// New red alerts open the warning pop-up, one per frame in this order, releasing the cancel
// of the lamp they belong to.
struct PopUp {
    size_t latch;
    u8* cancel;
};
const PopUp kPopUpOrder[] = {
    {LatchEng1Fire, &mwp1_cancel[0]}, {LatchEng2Fire, &mwp1_cancel[1]}, {LatchApuFire, &mwp1_cancel[2]},
    {LatchCabPress, &mwp2_cancel[11]}, {LatchSmoke, &mwp2_cancel[12]},   {LatchConfigFlaps, &mwp1_cancel[3]},
    {LatchConfigTrim, &mwp1_cancel[3]}, {LatchLoSpdAil, &mwp1_cancel[3]},
};

constexpr size_t kContinuousChimeOrder[] = {LatchCabPress, LatchSmoke};
constexpr size_t kKlaxonOrder[] = {LatchConfigTrim, LatchLoSpdAil, LatchConfigFlaps};
constexpr size_t kChimeOrder[] = {17, 18, 30, 11, 12, 13, 9, 10, 19, 31, 21, 22, 23,
                                  24, 3,  4,  5,  6,  7,  8, 20, 25, 26, 27, 28, 29};

// ---- install and kill -------------------------------------------------------------------------
// The gauge may be placed more than once: only the first install loads the sounds and only the
// last kill releases them.
u32 g_installed = 0;

void install(u32 module_handle) {
    if (g_installed++ > 0) return;
    sound_init(module_handle);
    for (const SoundSlot& s : kSoundSlots) *s.buffer = sound_create(s.name);
    for (size_t i = 0; i < kSoundCount; ++i)
        if (SoundBuffer* b = *kSoundSlots[i].buffer) sound_set_volume(b, sound_volume_table[i]);
}

void kill() {
    if (g_installed == 0 || --g_installed > 0) return;
    for (size_t i = kSoundCount; i-- > 0;) {
        SoundBuffer*& b = *kSoundSlots[i].buffer;
        if (!b) continue;
        sound_release(b);
        b = nullptr;
    }
    sound_shutdown();
}

// ---- one frame --------------------------------------------------------------------------------
void loop_or_stop(SoundBuffer* b, bool loop) {
    if (loop)
        sound_play(b, kPlayLooped);
    else
        sound_stop(b);
}

// Step 5: sounds other gauges ask for through their request bytes.
void serve_requests() {
    if (warn_trim_motion == 1) sound_play(snd_wroof, kPlayOnce);
    loop_or_stop(snd_clacker, warn_overspeed == 1);
    loop_or_stop(snd_cricket, warn_stall == 1);
    if (ap_land_mode_changed == 1) sound_play(snd_clicliclic, kPlayOnce);
    if (ap_alt_alert_request == 1 && gpws_callout == 0) {
        sound_play(snd_re, kPlayOnce);
        ap_alt_alert_request = 2;
    }
    loop_or_stop(snd_rerep, ap_alt_deviation_alert == 1 && gpws_callout == 0);
}

// Step 6: gear not down with the flaps past the last detent.
void gear_klaxon() {
    const f64 gear = tok_read(tok_gear_nose_pos);
    const f64 flaps = tok_read(tok_flaps_left_pos);
    const bool warn = gear < kGearDownPos && flaps > f64(inst_flap_detent[2]) + 1.0;
    loop_or_stop(snd_klaxoncont, warn && mwp_aural_cancel != 1);
}

// Steps 7 to 9: latch rises and falls, then at most one pop-up.
void latch_and_pop_up() {
    for (size_t i = 0; i < kLatches; ++i) {
        const u8 source = *kLatchSource[i];
        if (source == 1 && warn_alert_latch[i] == 0) warn_alert_latch[i] = 1;
        if (source == 0) warn_alert_latch[i] = 0;
    }
    for (const PopUp& p : kPopUpOrder)
        if (warn_alert_latch[p.latch] == 1) {
            *p.cancel = 0;
            mwp_popup_state = 1;
            break;
        }
}

// Step 10: the highest class with a latch set sounds; lower loops go on under it.
void sound_by_class() {
    const bool cancelled = mwp_aural_cancel == 1;
    // Fire bell: engine 1, engine 2, then APU.
    const bool eng_fire[2] = {warn_alert_latch[LatchEng1Fire] != 0, warn_alert_latch[LatchEng2Fire] != 0};
    for (size_t eng = 0; eng < 2; ++eng) {
        if (!eng_fire[eng]) continue;
        loop_or_stop(snd_sonnerie, !(cancelled || fire_bell_cutout == 1 || fire_handle[eng] > 1));
        warn_alert_latch[LatchEng1Fire + eng] = 2;
        return;
    }
    if (warn_alert_latch[LatchApuFire] != 0) {
        loop_or_stop(snd_sonnerie, !(cancelled || apu_fire_handle_pulled != 0));
        warn_alert_latch[LatchApuFire] = 2;
        return;
    }
    sound_stop(snd_sonnerie);
    // Continuous chime: cabin pressure, then smoke.
    for (size_t latch : kContinuousChimeOrder)
        if (warn_alert_latch[latch] != 0) {
            sound_play(snd_gongcont, kPlayLooped);
            warn_alert_latch[latch] = 2;
            return;
        }
    sound_stop(snd_gongcont);
    // Intermittent klaxon: take-off configuration.
    for (size_t latch : kKlaxonOrder)
        if (warn_alert_latch[latch] != 0) {
            sound_play(snd_klaxonint, kPlayLooped);
            warn_alert_latch[latch] = 2;
            return;
        }
    sound_stop(snd_klaxonint);
    // Single chime: one new caution per frame.
    for (size_t latch : kChimeOrder)
        if (warn_alert_latch[latch] == 1) {
            sound_play(snd_gongmono, kPlayOnce);
            warn_alert_latch[latch] = 2;
            return;
        }
}

void frame() {
    // 1. Keep the host's own warning event in step.
    if (tok_read(tok_gpws_host_flag) == 1.0) svc::send_key_event(key_gpws_event_104a1, 0);
    // 2. Lamp and 3. power.
    show_if(gauge.el(Lamp), dc_ess_powered == 1 && (gpws_callout != 0 || gpws_test_active == 1));
    if (dc_ess_powered == 0) {
        gpws_callout = 0;
        gpws_test_active = 0;
    }
    // 4. Ground proximity modes, call-out and test sequence.
    gpws_modes_frame();
    serve_requests();
    gear_klaxon();
    latch_and_pop_up();
    if (dc_ess_powered == 1) sound_by_class();
}

void FSAPI aural_warning_update(GaugeHeader*, i32 service_id, u32 extra) {
    switch (service_id) {
        case ServicePreInstall: install(extra); break;
        case ServicePreUpdate: frame(); break;
        case ServicePreKill: kill(); break;
        default: break;
    }
}

// The test push-button: starts the ground proximity test when nothing is being called out.
i32 FSAPI gpws_test_press(MousePoint*, u32) {
    if (gpws_callout != 0 || gpws_test_active == 1) return 0;
    if (dc_ess_powered == 1) gpws_test_active = 1;
    return 0;
}

}  // namespace
