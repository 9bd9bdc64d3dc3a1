// The eight panel-window buttons of the main panel: each one click area with one icon, opening and
// closing a pop-up window. The icons are drawn only while the crew has chosen to see them; the
// areas act whether or not their icon is drawn. Silent, unlit.
// Reads: panel_toggle_buttons_shown, panel_pedestal_choice
// Writes: nothing (host windows only)
#include "gear/state.h"
#include "sim_control/state.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/services.h"

GaugeHeader gauge_toggle_pan_rad;
GaugeHeader gauge_toggle_pan_ped;
GaugeHeader gauge_toggle_pan_fe;
GaugeHeader gauge_toggle_pan_gps;
GaugeHeader gauge_toggle_pan_fail;
GaugeHeader gauge_toggle_pan_up2;
GaugeHeader gauge_toggle_pan_up3;
GaugeHeader gauge_toggle_pan_ins;

namespace {
// Icon bitmaps (ours).
constexpr u32 kBmpRadios = 5330;
constexpr u32 kBmpPedestal = 5331;
constexpr u32 kBmpFlightEngineer = 5332;
constexpr u32 kBmpGps = 5333;
constexpr u32 kBmpFailures = 5334;
constexpr u32 kBmpUpper1 = 5335;
constexpr u32 kBmpUpper2 = 5336;
constexpr u32 kBmpIns = 5337;

// The pedestal choice that names the normal throttles window; any other names the enlarged one.
constexpr u8 kPedestalNormal = 2;

constexpr u32 kIconFlags = ImageHidden | ImageBright;

// The same for all eight: the icon (the gauge's only element) follows the crew's choice.
void FSAPI toggle_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g || !g->elements || !g->elements[0]) return;
    show_if(g->elements[0], panel_toggle_buttons_shown == 1);
}

i32 FSAPI radios_click(MousePoint*, u32) {
    svc::panel_window_toggle(panel_win_radios);
    return 0;
}
i32 FSAPI pedestal_click(MousePoint*, u32) {
    svc::panel_window_toggle(panel_pedestal_choice == kPedestalNormal ? panel_win_pedestal : panel_win_pedestal_big);
    return 0;
}
// The two flight engineer windows open and close together, decided by the first alone.
i32 FSAPI flight_engineer_click(MousePoint*, u32) {
    const u32 key = svc::is_panel_window_visible_ident(panel_win_fe_1) == 0 ? key_panel_id_open : key_panel_id_close;
    svc::trigger_key_event(key, panel_win_fe_1);
    svc::trigger_key_event(key, panel_win_fe_2);
    return 0;
}
// Swaps the GPS window with its alternate, so that exactly one of them is asked to be open.
i32 FSAPI gps_click(MousePoint*, u32) {
    if (svc::is_panel_window_visible_ident(panel_win_gps) == 0) {
        svc::trigger_key_event(key_panel_id_open, panel_win_gps);
        svc::trigger_key_event(key_panel_id_close, panel_win_gps_alt);
    } else {
        svc::trigger_key_event(key_panel_id_close, panel_win_gps);
        svc::trigger_key_event(key_panel_id_open, panel_win_gps_alt);
    }
    return 0;
}
i32 FSAPI failures_click(MousePoint*, u32) {
    svc::panel_window_toggle(panel_win_failures);
    return 0;
}
i32 FSAPI upper1_click(MousePoint*, u32) {
    svc::panel_window_toggle(panel_win_upper_1);
    return 0;
}
i32 FSAPI upper2_click(MousePoint*, u32) {
    svc::panel_window_toggle(panel_win_upper_2);
    return 0;
}
i32 FSAPI ins_click(MousePoint*, u32) {
    svc::panel_window_toggle(panel_win_ins);
    return 0;
}

//                                    bitmap              x  y  flags
const ElementDef kRadiosIcon[] = {el::Static(kBmpRadios, 0, 0, kIconFlags)};
const ElementDef kPedestalIcon[] = {el::Static(kBmpPedestal, 0, 0, kIconFlags)};
const ElementDef kFlightEngineerIcon[] = {el::Static(kBmpFlightEngineer, 0, 0, kIconFlags)};
const ElementDef kGpsIcon[] = {el::Static(kBmpGps, 0, 0, kIconFlags)};
const ElementDef kFailuresIcon[] = {el::Static(kBmpFailures, 0, 0, kIconFlags)};
const ElementDef kUpper1Icon[] = {el::Static(kBmpUpper1, 0, 0, kIconFlags)};
const ElementDef kUpper2Icon[] = {el::Static(kBmpUpper2, 0, 0, kIconFlags)};
const ElementDef kInsIcon[] = {el::Static(kBmpIns, 0, 0, kIconFlags)};

// Each click box covers the whole gauge.
const RectDef kRadiosRects[] = {
    rect::Click(0, 0, 132, 60, CursorHand, MouseLeftSingle, radios_click),
    rect::Tooltip("display/hide pedestal radios panel"),
};
const RectDef kPedestalRects[] = {
    rect::Click(0, 0, 132, 60, CursorHand, MouseLeftSingle, pedestal_click),
    rect::Tooltip("display/hide pedestal throttles panel"),
};
const RectDef kFlightEngineerRects[] = {
    rect::Click(0, 0, 132, 60, CursorHand, MouseLeftSingle, flight_engineer_click),
    rect::Tooltip("display/hide flight engineer panel"),
};
const RectDef kGpsRects[] = {
    rect::Click(0, 0, 72, 102, CursorHand, MouseLeftSingle, gps_click),
};
const RectDef kFailuresRects[] = {
    rect::Click(0, 0, 201, 74, CursorHand, MouseLeftSingle, failures_click),
    rect::Tooltip("display/hide failures & easy start panel"),
};
const RectDef kUpper1Rects[] = {
    rect::Click(0, 0, 386, 84, CursorHand, MouseLeftSingle, upper1_click),
    rect::Tooltip("display/hide upper panel 1"),
};
const RectDef kUpper2Rects[] = {
    rect::Click(0, 0, 106, 84, CursorHand, MouseLeftSingle, upper2_click),
    rect::Tooltip("display/hide upper panel 2 (eng.fire)"),
};
const RectDef kInsRects[] = {
    rect::Click(0, 0, 72, 102, CursorHand, MouseLeftSingle, ins_click),
    rect::Tooltip("display/hide INS panel"),
};

//                 header                 name                            width  callback
Gauge<1, 2> radios(gauge_toggle_pan_rad,  "ketravin toggle_pan_rad_kr60",  132, toggle_update, kRadiosIcon, kRadiosRects);
Gauge<1, 2> pedestal(gauge_toggle_pan_ped, "ketravin toggle_pan_ped_kr60", 132, toggle_update, kPedestalIcon,
                     kPedestalRects);
Gauge<1, 2> flight_engineer(gauge_toggle_pan_fe, "ketravin toggle_pan_fe_kr60", 132, toggle_update,
                            kFlightEngineerIcon, kFlightEngineerRects);
Gauge<1, 1> gps(gauge_toggle_pan_gps, "ketravin toggle_pan_gps_kr60", 72, toggle_update, kGpsIcon, kGpsRects);
Gauge<1, 2> failures(gauge_toggle_pan_fail, "ketravin toggle_pan_fail_kr60", 201, toggle_update, kFailuresIcon,
                     kFailuresRects);
Gauge<1, 2> upper1(gauge_toggle_pan_up2, "ketravin toggle_pan_up2_kr60", 386, toggle_update, kUpper1Icon,
                   kUpper1Rects);
Gauge<1, 2> upper2(gauge_toggle_pan_up3, "ketravin toggle_pan_up3_kr60", 106, toggle_update, kUpper2Icon,
                   kUpper2Rects);
Gauge<1, 2> ins(gauge_toggle_pan_ins, "ketravin toggle_pan_ins_kr60", 72, toggle_update, kInsIcon, kInsRects);
}  // namespace
