// The start-state chooser (window 10520): COLD START on the left half, EASY START on the right,
// each highlighted under the pointer; a choice starts its preset at once (no VALID) and closes
// the window. COLD START is offered only near the ground.
// Reads: tok_radio_height_m, panel_chooser_hover
// Writes: panel_chooser_hover, panel_preset_select, panel_easy_start_delay, light_refresh
#include "lighting/state.h"
#include "sim_control/state.h"
#include "sim_control/presets.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/services.h"
#include "module/tokens.h"

GaugeHeader gauge_panload;

namespace {
enum Pos : size_t { Background, ColdHighlight, EasyHighlight, kElements };

// Bitmaps (ours).
constexpr u32 kBmpBackground = 5430;
constexpr u32 kBmpHighlight = 5431;

enum Hover : u8 { HoverNone = 0, HoverCold = 1, HoverEasy = 2 };

// The same by day and by night: the records carry the bright bit, no walk.
const ElementDef kElementDefs[kElements] = {
    //         bitmap           x    y   start flags
    el::Static(kBmpBackground,   0,   0, ImageBright),
    el::Icon(kBmpHighlight,     77,  59, ImageHidden | ImageBright),
    el::Icon(kBmpHighlight,    313,  59, ImageHidden | ImageBright),
};

constexpr f64 kFeetPerMetre = 3.281;
constexpr f64 kColdStartMaxHeightFt = 200.0;  // COLD START only below this radio height
constexpr u8 kRedrawAll = 2;                  // light_refresh: redraw the whole panel
constexpr u8 kPresetStart = 1;                // a selection byte that runs at once
constexpr size_t kEasyStart = 0, kColdStart = 1;  // panel_preset_select indices

bool clicked(u32 flags) { return (flags & MouseLeftSingle) != 0; }

// A choice: start the preset, close the chooser, redraw the cockpit.
void choose(size_t preset) {
    panel_preset_select[preset] = kPresetStart;
    svc::trigger_key_event(key_panel_id_close, panel_win_panload);
    light_refresh = kRedrawAll;
    panel_chooser_hover = HoverNone;
}

i32 FSAPI cold_start_half(MousePoint*, u32 flags) {
    // NaN or a missing radio height is not "below": the half stays inert.
    if (!(tok_read(tok_radio_height_m) * kFeetPerMetre < kColdStartMaxHeightFt)) return 0;
    if (clicked(flags))
        choose(kColdStart);
    else
        panel_chooser_hover = HoverCold;
    return 0;
}
i32 FSAPI easy_start_half(MousePoint*, u32 flags) {
    if (clicked(flags)) {
        // One step of the countdown, only within 1..100: a choice taken at 0 does not wrap it
        // to 255, where an airborne EASY START would never end by itself.
        easy_start_delay_step();
        choose(kEasyStart);
    } else {
        panel_chooser_hover = HoverEasy;
    }
    return 0;
}
i32 FSAPI band(MousePoint*, u32) {
    panel_chooser_hover = HoverNone;
    return 0;
}

constexpr u32 kClickOrMove = MouseLeftSingle | MouseMove;
const RectDef kRects[] = {
    //          x    y    w    h   cursor      events        action
    rect::Click(0,   45, 270, 199, CursorHand, kClickOrMove, cold_start_half),
    rect::Click(270, 45, 269, 199, CursorHand, kClickOrMove, easy_start_half),
    rect::Click(0,    0, 539,  45, CursorNone, MouseMove,    band),  // top band
    rect::Click(0,  244, 539,  33, CursorNone, MouseMove,    band),  // bottom band
};

void FSAPI panload_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 539;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_panload, "ketravin panload", kWidthMm, panload_update,
                                                         kElementDefs, kRects);

void FSAPI panload_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    show_if(gauge.el(ColdHighlight), panel_chooser_hover == HoverCold);
    show_if(gauge.el(EasyHighlight), panel_chooser_hover == HoverEasy);
}
}  // namespace
