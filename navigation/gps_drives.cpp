// The GPS-drives controls: a lit push-button that toggles the host's GPS-drives-NAV 1 flag, and
// a two-position switch that keeps the flag in line with its own position, re-sending the
// toggle every frame they disagree. Either gauge's first frame with the start-up state at 2
// closes the pop-up windows and ends the start-up sequence.
// Reads: tok_gps_drives_nav1, dc_ess_powered, light_flt_deck_sw, panel_init_state
// Writes: gps_drives_sw, ins_source_sw, panel_init_state
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/services.h"
#include "module/switches.h"
#include "module/tokens.h"
#include "navigation/state.h"
#include "systems/state.h"

GaugeHeader gauge_gps_drives;
GaugeHeader gauge_gps_drives_2;

namespace {
// Start-up: state 2 means the systems computer has applied its preset; 3 ends the sequence.
constexpr u8 kInitPresetDone = 2, kInitDone = 3;
constexpr u32 kBurstWindows[] = {10030, 10040, 10045, 10050, 10060, 10065, 10070, 10080, 10090, 10080};

void startup_burst() {
    if (panel_init_state != kInitPresetDone) return;
    for (u32 ident : kBurstWindows) svc::trigger_key_event(key_panel_id_close, ident);
    panel_init_state = kInitDone;
}

constexpr u32 kRecord = ImageOption1 | ImageOption2;

// ---- push-button -----------------------------------------------------------------------
enum ButtonPos : size_t { LegendBright, LegendDim, kButtonElements };

const ElementDef kButtonElements_[kButtonElements] = {
    //         bitmap  x  y  start flags
    el::Static(4054,   0, 0, kRecord | ImageHidden | ImageBright),
    el::Icon(4172,     0, 0, kRecord | ImageHidden | ImageBright),
};

i32 FSAPI gps_drives_click(MousePoint*, u32) {
    svc::trigger_key_event(key_gps_drives_nav1_toggle, 0);
    return 0;
}

const RectDef kButtonRects[] = {
    //          x  y  w   h   cursor      events           action
    rect::Click(0, 0, 51, 51, CursorHand, MouseLeftSingle, gps_drives_click),
};

void FSAPI gps_drives_update(GaugeHeader*, i32 service, u32);
Gauge<kButtonElements, 1> button(gauge_gps_drives, "ketravin gps_drives_kr60", 51, gps_drives_update,
                                 kButtonElements_, kButtonRects);

constexpr u8 kFltDeckDim = 1;  // light_flt_deck_sw position that takes the dimmer legend

void FSAPI gps_drives_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    startup_burst();
    const bool lit = tok_read(tok_gps_drives_nav1) == 1.0 && dc_ess_powered == 1;
    const bool dim = light_flt_deck_sw == kFltDeckDim;
    show_if(button.el(LegendBright), lit && !dim);
    show_if(button.el(LegendDim), lit && dim);
}

// ---- switch ----------------------------------------------------------------------------
enum SwitchPos : size_t { Background, LeverDown, LeverUp, Knob, kSwitchElements };

const ElementDef kSwitchElements_[kSwitchElements] = {
    //         bitmap  x   y   start flags
    el::Static(4179,   0,  0,  kRecord),
    el::Icon(4182,     21, 36, kRecord),
    el::Icon(4185,     21, 15, kRecord | ImageHidden),
    el::Icon(4188,     21, 32, kRecord | ImageHidden),
};

constexpr u8 kUp = 1, kDown = 0;

i32 FSAPI gps_drives_sw_up_click(MousePoint*, u32) {
    ins_source_sw = 0;
    switch_to(gps_drives_sw, kUp);
    return 0;
}
i32 FSAPI gps_drives_sw_down_click(MousePoint*, u32) {
    switch_to(gps_drives_sw, kDown);
    return 0;
}

const RectDef kSwitchRects[] = {
    //          x  y   w   h   cursor           events           action
    rect::Click(0, 0,  50, 25, CursorUpArrow,   MouseLeftSingle, gps_drives_sw_up_click),
    rect::Click(0, 50, 50, 25, CursorDownArrow, MouseLeftSingle, gps_drives_sw_down_click),
};

void FSAPI gps_drives_2_update(GaugeHeader*, i32 service, u32);
Gauge<kSwitchElements, 2> toggle(gauge_gps_drives_2, "ketravin gps_drives_2_kr60", 50, gps_drives_2_update,
                                 kSwitchElements_, kSwitchRects);

void FSAPI gps_drives_2_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    startup_burst();
    const bool up = gps_drives_sw == kUp;
    show_one_of(toggle, LeverDown, 2, up ? 1 : 0);
    show_if(toggle.el(Knob), false);
    // Only a flag at exactly the other value is brought into line.
    const f64 flag = tok_read(tok_gps_drives_nav1);
    if (up && flag == 0.0) svc::send_key_event(key_gps_drives_nav1_toggle, 1);
    if (!up && flag == 1.0) svc::send_key_event(key_gps_drives_nav1_toggle, 0);
}
}  // namespace
