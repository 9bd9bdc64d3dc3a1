// The overview window (10510) and the hover strip along the top of the main panel that opens
// it. The overview is a drawing of the flight deck whose areas open and close the panel windows,
// with INS, GPS, ATC and FAIL icons; it closes itself after an action while its automatic
// behaviour is armed (state 0). Neither gauge is lit by a walk; neither plays a sound.
// Reads: panel_overview_state, panel_overview_hover, panel_pedestal_choice, panel_compass_shown
// Writes: panel_overview_state, panel_overview_hover, panel_compass_shown
#include "gear/state.h"
#include "instruments/state.h"
#include "sim_control/state.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/services.h"

GaugeHeader gauge_panel_display;
GaugeHeader gauge_panel_overview;

namespace {
// panel_overview_state: 2 initial, 0 armed (actions close the overview), 1 actions leave it
// open, 10 automatic opening and closing disabled.
constexpr u8 kArmed = 0;
constexpr u8 kInitial = 2;
constexpr u8 kDisabled = 10;

bool right_click(u32 flags) { return (flags & MouseRightSingle) != 0; }
bool left_click(u32 flags) { return (flags & MouseLeftSingle) != 0; }

// ---- The strip: the top two rows open the overview, the eight rows below close it.

// Bitmap (ours): 1280 x 10, entirely black; neither luminous nor bright.
constexpr u32 kBmpStrip = 5440;

const ElementDef kStripDefs[] = {el::Static(kBmpStrip, 0, 0)};

// Right click disables the automatic behaviour; left click re-arms it.
void strip_click(u32 flags) {
    if (right_click(flags))
        panel_overview_state = kDisabled;
    else if (left_click(flags) && panel_overview_state == kDisabled)
        panel_overview_state = kArmed;
}
i32 FSAPI strip_top(MousePoint*, u32 flags) {
    if (flags & MouseMove) {
        if (panel_overview_state != kDisabled) {
            svc::trigger_key_event(key_panel_id_open, panel_win_overview);
            if (panel_overview_state == kInitial) panel_overview_state = kArmed;
        }
    } else {
        strip_click(flags);
    }
    return 0;
}
i32 FSAPI strip_below(MousePoint*, u32 flags) {
    if (flags & MouseMove) {
        if (panel_overview_state != kDisabled) svc::trigger_key_event(key_panel_id_close, panel_win_overview);
    } else {
        strip_click(flags);
    }
    return 0;
}

constexpr u32 kStripEvents = MouseMove | MouseLeftSingle | MouseRightSingle;
const RectDef kStripRects[] = {
    //          x  y  w     h  cursor      events        action
    rect::Click(0, 0, 1280, 2, CursorHand, kStripEvents, strip_top),
    rect::Click(0, 2, 1280, 8, CursorHand, kStripEvents, strip_below),
    rect::Tooltip("display overview panel"),
};

void FSAPI panel_display_update(GaugeHeader*, i32, u32) {}

Gauge<1, sizeof kStripRects / sizeof kStripRects[0]> strip(gauge_panel_display, "ketravin panel_display", 1280,
                                                           panel_display_update, kStripDefs, kStripRects);

// ---- The overview.
enum Pos : size_t {
    Background,
    FlightEngineerLit, PedestalLit, Upper1Lit, Upper2Lit, RadiosLit,
    kElements
};
// panel_overview_hover: 0 none, else the drawing area under the pointer (1 to 5, as the
// highlights are chained).
constexpr u8 kHoverNone = 0;
constexpr u8 kHoverFlightEngineer = 1, kHoverPedestal = 2, kHoverUpper1 = 3, kHoverUpper2 = 4, kHoverRadios = 5;

// Bitmaps (ours).
constexpr u32 kBmpOverview = 5450;
constexpr u32 kBmpFlightEngineerLit = 5451;
constexpr u32 kBmpPedestalLit = 5452;
constexpr u32 kBmpUpper1Lit = 5453;
constexpr u32 kBmpUpper2Lit = 5454;
constexpr u32 kBmpRadiosLit = 5455;

// The same by day and by night: the records carry the luminous bit, no walk.
const ElementDef kOverviewDefs[kElements] = {
    //         bitmap                  x    y   start flags
    el::Static(kBmpOverview,           0,   0, ImageLuminous),
    el::Icon(kBmpFlightEngineerLit,  361,   0, ImageHidden | ImageLuminous),
    el::Icon(kBmpPedestalLit,        196, 256, ImageHidden | ImageLuminous),
    el::Icon(kBmpUpper1Lit,          201, 103, ImageHidden | ImageLuminous),
    el::Icon(kBmpUpper2Lit,          204,  45, ImageHidden | ImageLuminous),
    el::Icon(kBmpRadiosLit,          196, 292, ImageHidden | ImageLuminous),
};

constexpr u8 kPedestalNormal = 2;  // panel_pedestal_choice naming 10040; any other names 10045

// How every action ends: armed, the overview closes itself.
void action_done() {
    if (panel_overview_state == kArmed) svc::trigger_key_event(key_panel_id_close, panel_win_overview);
    panel_overview_hover = kHoverNone;
}
void toggle_window(u32 ident) {
    svc::trigger_key_event(key_panel_id_toggle, ident);
    action_done();
}

// A drawing area: a pointer move highlights it, a click acts.
template <u8 Hover>
bool hovered(u32 flags) {
    if (!(flags & MouseMove)) return false;
    panel_overview_hover = Hover;
    return true;
}

// The two flight engineer windows open and close together, decided by the first alone.
i32 FSAPI flight_engineer_area(MousePoint*, u32 flags) {
    if (hovered<kHoverFlightEngineer>(flags)) return 0;
    const u32 key = svc::is_panel_window_visible_ident(panel_win_fe_1) == 0 ? key_panel_id_open : key_panel_id_close;
    svc::trigger_key_event(key, panel_win_fe_1);
    svc::trigger_key_event(key, panel_win_fe_2);
    action_done();
    return 0;
}
i32 FSAPI pedestal_area(MousePoint*, u32 flags) {
    if (hovered<kHoverPedestal>(flags)) return 0;
    toggle_window(panel_pedestal_choice == kPedestalNormal ? panel_win_pedestal : panel_win_pedestal_big);
    return 0;
}
template <u8 Hover, u32 Window>
i32 FSAPI window_area(MousePoint*, u32 flags) {
    if (hovered<Hover>(flags)) return 0;
    toggle_window(Window);
    return 0;
}
template <u32 Window>
i32 FSAPI window_icon(MousePoint*, u32) {
    toggle_window(Window);
    return 0;
}

// The ATC icon flips the compass, in step with the compass gauge.
i32 FSAPI atc_icon(MousePoint*, u32) {
    if (panel_compass_shown == 1) {
        svc::trigger_key_event(key_compass_event_off, 0);
        panel_compass_shown = 0;
    } else {
        svc::trigger_key_event(key_compass_event_on, 0);
        panel_compass_shown = 1;
    }
    action_done();
    return 0;
}
i32 FSAPI close_box(MousePoint*, u32) {
    svc::trigger_key_event(key_panel_id_close, panel_win_overview);
    if (panel_overview_state != kDisabled) panel_overview_state = kArmed;
    panel_overview_hover = kHoverNone;
    return 0;
}
i32 FSAPI no_area(MousePoint*, u32) {
    panel_overview_hover = kHoverNone;
    return 0;
}

constexpr u32 kClickOrMove = MouseLeftSingle | MouseMove;
const RectDef kOverviewRects[] = {
    //          x    y    w    h   cursor      events           action
    rect::Click(362,   0, 177, 326, CursorHand, kClickOrMove,    flight_engineer_area),
    rect::Click(164, 233, 153,  59, CursorHand, kClickOrMove,    pedestal_area),
    rect::Click(164,  93, 153,  62, CursorHand, kClickOrMove,    window_area<kHoverUpper1, panel_win_upper_1>),
    rect::Click(164,   0, 153,  93, CursorHand, kClickOrMove,    window_area<kHoverUpper2, panel_win_upper_2>),
    rect::Click(164, 292, 153,  34, CursorHand, kClickOrMove,    window_area<kHoverRadios, panel_win_radios>),
    rect::Click(252, 397,  53,  53, CursorHand, MouseLeftSingle, atc_icon),
    rect::Click(305, 397,  53,  53, CursorHand, MouseLeftSingle, window_icon<panel_win_failures>),
    rect::Click(177, 397,  53,  53, CursorHand, MouseLeftSingle, window_icon<panel_win_gps>),
    rect::Click(124, 397,  53,  53, CursorHand, MouseLeftSingle, window_icon<panel_win_ins>),
    rect::Click(  0,   0,  52,  53, CursorHand, MouseLeftSingle, close_box),
    // Between the areas, a pointer move clears the highlight.
    rect::Click(105,   0,  59,  52, CursorNone, MouseMove,       no_area),
    rect::Click(  0,  52, 163, 345, CursorNone, MouseMove,       no_area),
    rect::Click(397,   0, 124,  53, CursorNone, MouseMove,       no_area),
    rect::Click(164, 155, 153,  78, CursorNone, MouseMove,       no_area),
    rect::Click(317,   0,  45, 326, CursorNone, MouseMove,       no_area),
    rect::Click(164, 326, 194,  71, CursorNone, MouseMove,       no_area),
    rect::Click(230, 397,  22,  53, CursorNone, MouseMove,       no_area),
    rect::Click(358, 326, 181, 124, CursorNone, MouseMove,       no_area),
};

void FSAPI panel_overview_update(GaugeHeader*, i32 service, u32);

Gauge<kElements, sizeof kOverviewRects / sizeof kOverviewRects[0]> overview(
    gauge_panel_overview, "ketravin panel_overview", 539, panel_overview_update, kOverviewDefs, kOverviewRects);

void FSAPI panel_overview_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // Highlight n is element n, for hover areas 1 to 5.
    for (size_t i = FlightEngineerLit; i <= RadiosLit; ++i) show_if(overview.el(i), panel_overview_hover == i);
}
}  // namespace
