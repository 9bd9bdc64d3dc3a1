// Course selector window of the autopilot panel: the selected course on three drums (fine and
// coarse knob, wrapping through north), kept in the host's NAV 1 course by key events; while the
// INS is the source, INS 1 navigates and the GPS has a plan, the host follows the GPS course and
// the window goes on showing the selector.
// Reads: ins_source_sw, ins1_status, gps_plan_active, light_zone, annunciator_bright,
//        tok_nav1_obs_deg, tok_gps_course_rad
// Writes: ap_selected_course, ap_crs_wrap10, ap_crs_host_course, the course drums
#include "autoflight/ap_keys.h"
#include "autoflight/autopilot.h"
#include "autoflight/state.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "navigation/state.h"

GaugeHeader gauge_ap_crs;

namespace {
enum Pos { Background, Hundreds, Tens, Units, kElements };

constexpr u32 kBmpBackground = 2422, kBmpHundreds = 3110, kBmpTens = 2438, kBmpUnits = 2444;

const ElementDef kElementDefs[kElements] = {
    //               bitmap           x   y   flags rule               target                   position
    el::Static(kBmpBackground,        0,  0),
    el::ChasingDrum(kBmpHundreds,    15, 77, 0, drum::selector(4),  drum::target(&ap_crs_drum_100), &ap_crs_drum_100_pos, 4.0),
    el::ChasingDrum(kBmpTens,        33, 77, 0, drum::selector(10), drum::target(&ap_crs_drum_10),  &ap_crs_drum_10_pos),
    el::ChasingDrum(kBmpUnits,       51, 77, 0, drum::selector(10), drum::target(&ap_crs_drum_1),   &ap_crs_drum_1_pos),
};

constexpr LightWalk kWalk{5, walk_range(Background, Units)};

// Where a coarse click goes across north: 5 down is 355, 355 up is 5; otherwise it keeps its value.
void refresh_wrap10(i32 course) {
    if (course < 10)
        ap_crs_wrap10 = course + 350;
    else if (course > 350)
        ap_crs_wrap10 = course - 350;
}

// ---- Knobs. A value the host left outside 0..359 is folded first; the coarse wrap is taken
// from the value being stepped, so two clicks in one frame step twice.
i32 FSAPI dec1(MousePoint*, u32) {
    const i32 c = ap::fold_degrees(ap_selected_course);
    ap_selected_course = c == 0 ? 359 : c - 1;
    return 0;
}
i32 FSAPI inc1(MousePoint*, u32) {
    const i32 c = ap::fold_degrees(ap_selected_course);
    ap_selected_course = c == 359 ? 0 : c + 1;
    return 0;
}
i32 FSAPI dec10(MousePoint*, u32) {
    const i32 c = ap::fold_degrees(ap_selected_course);
    refresh_wrap10(c);
    ap_selected_course = c == 10 ? 0 : c < 10 ? ap_crs_wrap10 : c - 10;
    return 0;
}
i32 FSAPI inc10(MousePoint*, u32) {
    const i32 c = ap::fold_degrees(ap_selected_course);
    refresh_wrap10(c);
    ap_selected_course = c == 350 ? 0 : c > 350 ? ap_crs_wrap10 : c + 10;
    return 0;
}

constexpr u32 kKnob = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x   y    w   h   cursor           events action
    rect::Click(0,  104, 43, 35, CursorDownArrow, kKnob, dec1),
    rect::Click(43, 104, 43, 35, CursorUpArrow,   kKnob, inc1),
    rect::Click(0,  139, 43, 35, CursorDownArrow, kKnob, dec10),
    rect::Click(43, 139, 43, 35, CursorUpArrow,   kKnob, inc10),
};

void FSAPI ap_crs_update(GaugeHeader* g, i32 service, u32);

Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_ap_crs, "ketravin ap_crs_kr60", 86, ap_crs_update,
                                                         kElementDefs, kRects);

constexpr u8 kInsNavigate = 3;
constexpr f64 kDegPerRad = 57.29578;

void FSAPI ap_crs_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(*g, kWalk);                                              // 1
    refresh_wrap10(ap_selected_course);                                 // 2
    const f64 host = tok_read(tok_nav1_obs_deg);                        // 3
    const bool ins_coupled = ins_source_sw == 1 && ins1_status >= kInsNavigate && gps_plan_active == 1;
    f64 gps = 0.0;  // 4: a GPS course that is no number leaves the last course sent
    const i32 c = !ins_coupled                             ? ap_selected_course
                  : tok_number(tok_gps_course_rad, gps) ? sat_i32(gps * kDegPerRad, ap_crs_host_course)
                                                          : ap_crs_host_course;
    ap_crs_host_course = c;
    // 5: until it reads within. Also before the systems computer has loaded the selector, which
    // then sends 0: the host applies the key after the frame, so the systems computer still loads
    // the host's course in this one, and the next frame sends it back.
    if (!(f64(c) - 1.0 < host && host < f64(c) + 1.0)) ap::send(key_course_set, c);
    const SelectorTargets t = selector_split(ap_selected_course, 100, 4);  // 6: always the selector
    ap_crs_drum_100 = t.wheel[0];
    ap_crs_drum_10 = t.wheel[1];
    ap_crs_drum_1 = t.units;
}
}  // namespace
