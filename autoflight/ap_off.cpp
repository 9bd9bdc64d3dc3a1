// The red AP OFF light: once the host autopilot has been seen engaged, its disconnection lights
// the tag, sounds GALOPAP once and flashes it (4 ticks lit, 4 dark) for 80 ticks. A left click
// shows or hides the panel-window buttons; a right click keeps the overview open after an action.
// Reads: tok_ap_engaged, tok_tick18, dc_ess_powered, snd_galopap
// Writes: ap_off_state, ap_off_flashing, ap_off_start_tick, ap_off_flash_tick,
//         panel_toggle_buttons_shown, panel_overview_state
#include "autoflight/autopilot.h"
#include "autoflight/lamp_timing.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "module/gauge.h"
#include "sim_control/state.h"
#include "sound/sound.h"

GaugeHeader gauge_voy_ap_off;

namespace {
constexpr u32 kBmpApOff = 3107;
const ElementDef kElementDefs[] = {el::Static(kBmpApOff, 0, 0, ImageHidden | ImageBright)};

// Overview: 0 closes after an action, 1 keeps it open; other states are not ours to change.
constexpr u8 kOverviewCloses = 0, kOverviewStays = 1;

i32 FSAPI ap_off_light_click(MousePoint*, u32 flags) {
    if (flags & MouseLeftSingle) panel_toggle_buttons_shown = panel_toggle_buttons_shown == 0 ? 1 : 0;
    if ((flags & MouseRightSingle) && panel_overview_state == kOverviewCloses) panel_overview_state = kOverviewStays;
    return 0;
}

const RectDef kRects[] = {
    rect::Click(0, 0, 32, 32, CursorHand, MouseLeftSingle | MouseRightSingle, ap_off_light_click),
};

void FSAPI ap_off_light_update(GaugeHeader* g, i32 service, u32);

Gauge<1, 1> gauge(gauge_voy_ap_off, "ketravin voy_ap_off_kr60", 32, ap_off_light_update, kElementDefs, kRects);

enum Watch : u8 { Idle = 0, Due = 1, SeenEngaged = 2 };
constexpr i64 kRunTicks = 80;

void FSAPI ap_off_light_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    ElementHeader* light = gauge.el(0);
    const f64 ap = tok_read(tok_ap_engaged);                            // 1
    if (ap == 1.0) ap_off_state = SeenEngaged;
    if (ap == 0.0 && ap_off_state == SeenEngaged) ap_off_state = Due;
    const f64 now = tok_read(tok_tick18);                               // 2
    if (dc_ess_powered != 1) {                                          // 3
        show_if(light, false);
        ap_off_state = ap_off_flashing = 0;
        return;
    }
    if (ap_off_state == Due && ap_off_flashing == 0) {                  // 4
        show_if(light, true);
        sound_play(snd_galopap, 0);
        ap_off_start_tick = ap_off_flash_tick = lamp::stamp(now);
        ap_off_flashing = 1;
    }
    if (ap_off_flashing != 1) {                                         // 6
        show_if(light, false);
        return;
    }
    // 5: by elapsed ticks, so that a tick a slow panel steps over cannot leave the run going.
    if (lamp::since(ap_off_start_tick, now) >= kRunTicks) {
        show_if(light, false);
        ap_off_flashing = 0;
        ap_off_state = Idle;
        return;
    }
    u8 phase = 0;  // the light keeps no phase of its own
    show_if(light, lamp::blink(ap_off_flash_tick, phase, now, !is_hidden(light)));
}
}  // namespace
