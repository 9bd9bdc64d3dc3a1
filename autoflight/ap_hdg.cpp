// Heading section of the autopilot panel: the selected heading on three drums (fine and coarse
// knob, wrapping through north), the V/L and HDG buttons and lamps, and the lateral steering: the
// heading target sent as the host's heading bug every frame, HDG S. and V/L through the host
// autopilot's hold events.
// Reads: ap_fd_engaged, ap_nav_mode, ap_bb_mode, ap_approach_state, ap_nav_course_deg,
//        fd_vl_captured, fd_vl_heading_target, dc_ess_powered, light_zone, annunciator_bright,
//        tok_ap_engaged, tok_ap_wing_leveler, tok_ap_nav_hold, tok_ap_hdg_hold, tok_nav1_code,
//        tok_gps_drives_nav1
// Writes: ap_selected_heading, ap_heading_target, the heading drums, ap_vl_mode,
//         ap_hdg_select_mode, ap_nav_mode, ap_bb_mode, ap_turb_mode, ap_go_around_mode,
//         ap_approach_state, ap_roll_hold_engaged, ap_roll_takeover_pending, fd_vl_captured,
//         fd_loc_available
#include "autoflight/ap_keys.h"
#include "autoflight/autopilot.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/lighting.h"
#include "module/numeric.h"
#include "navigation/state.h"

GaugeHeader gauge_ap_hdg;

namespace {
enum Pos { Background, VlLamp, HdgLamp, Units, Tens, Hundreds, kElements };

constexpr u32 kBmpBackground = 2432, kBmpLamp = 2489, kBmpUnits = 2470, kBmpTens = 2464, kBmpHundreds = 3116;
constexpr u32 kLampFlags = ImageHidden | ImageBright;

const ElementDef kElementDefs[kElements] = {
    //               bitmap           x   y   flags       rule               target                   position
    el::Static(kBmpBackground,        0,  0),
    el::Icon(kBmpLamp,               10, 19, kLampFlags),
    el::Icon(kBmpLamp,               68, 19, kLampFlags),
    el::ChasingDrum(kBmpUnits,       59, 77, 0, drum::selector(10), drum::target(&ap_hdg_drum_1),   &ap_hdg_drum_1_pos),
    el::ChasingDrum(kBmpTens,        41, 77, 0, drum::selector(10), drum::target(&ap_hdg_drum_10),  &ap_hdg_drum_10_pos),
    el::ChasingDrum(kBmpHundreds,    23, 77, 0, drum::selector(4),  drum::target(&ap_hdg_drum_100), &ap_hdg_drum_100_pos, 4.0),
};

// The lamps keep their own bright image.
constexpr LightWalk kWalk{5, walk_positions({Background, Units, Tens, Hundreds})};

// ---- Knobs: wrap through north; a value the host left outside 0..359 is folded first.
i32 FSAPI dec1(MousePoint*, u32) {
    const i32 h = ap::fold_degrees(ap_selected_heading);
    ap_selected_heading = h == 0 ? 359 : h - 1;
    return 0;
}
i32 FSAPI inc1(MousePoint*, u32) {
    const i32 h = ap::fold_degrees(ap_selected_heading);
    ap_selected_heading = h == 359 ? 0 : h + 1;
    return 0;
}
i32 FSAPI dec10(MousePoint*, u32) {
    const i32 h = ap::fold_degrees(ap_selected_heading);
    ap_selected_heading = h < 10 ? h + 350 : h - 10;
    return 0;
}
i32 FSAPI inc10(MousePoint*, u32) {
    const i32 h = ap::fold_degrees(ap_selected_heading);
    ap_selected_heading = h >= 350 ? h - 350 : h + 10;
    return 0;
}

// ---- Buttons
constexpr u8 kLandStates = 30;

void gps_back_to_radio() {
    // As last refreshed by the gauges that keep it.
    if (token_f64(tok_gps_drives_nav1) == 1.0) ap::send(key_gps_drives_nav1_toggle);
}

i32 FSAPI vl_button(MousePoint*, u32) {
    if (ap_fd_engaged == 0) return 0;
    if (ap_vl_mode != 0) {
        ap_vl_mode = 0;
        return 0;
    }
    ap_nav_mode = 0;
    if (ap_bb_mode == 0 && ap_approach_state < kLandStates) {
        ap_turb_mode = ap_go_around_mode = 0;
        ap_vl_mode = 1;  // armed; HDG S. steers until the beam is captured
    }
    gps_back_to_radio();
    return 0;
}

i32 FSAPI hdg_button(MousePoint*, u32) {
    if (ap_fd_engaged == 0) return 0;
    if (ap_hdg_select_mode == 1) {
        ap_hdg_select_mode = 0;
        return 0;
    }
    gps_back_to_radio();
    if (ap_approach_state >= kLandStates) {
        if (fd_vl_captured == 1) return 0;  // refused on the beam in LAND
        ap_hdg_select_mode = 1;
        ap_approach_state = ap_turb_mode = ap_go_around_mode = ap_nav_mode = 0;
        return 0;
    }
    if (fd_vl_captured == 1) ap_vl_mode = fd_vl_captured = 0;
    ap_hdg_select_mode = 1;
    ap_approach_state = ap_nav_mode = ap_bb_mode = ap_turb_mode = ap_go_around_mode = 0;
    return 0;
}

constexpr u32 kKnob = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x   y    w   h   cursor           events           action
    rect::Click(22, 104, 43, 35, CursorDownArrow, kKnob,           dec1),
    rect::Click(65, 104, 43, 35, CursorUpArrow,   kKnob,           inc1),
    rect::Click(22, 139, 43, 35, CursorDownArrow, kKnob,           dec10),
    rect::Click(65, 139, 43, 35, CursorUpArrow,   kKnob,           inc10),
    rect::Click(3,  6,   35, 35, CursorHand,      MouseLeftSingle, vl_button),
    rect::Click(61, 6,   35, 35, CursorHand,      MouseLeftSingle, hdg_button),
};

void FSAPI ap_hdg_update(GaugeHeader* g, i32 service, u32);

Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_ap_hdg, "ketravin ap_hdg_kr60", 102, ap_hdg_update,
                                                         kElementDefs, kRects);

// ---- Steps of the frame
// A NAV course word outside 0..360 holds the low bits of a value that was no heading (an
// infinite or negative host heading): the target keeps its value. The selector is folded as the
// knobs fold it.
void heading_target() {
    if (ap_nav_mode >= 1)
        ap::heading_key_value(ap_nav_course_deg, ap_heading_target);
    else if (fd_vl_captured != 1)
        ap_heading_target = ap::fold_degrees(ap_selected_heading);
    // V/L captured with NAV off: the target keeps its value.
}

void drums_and_lamps() {
    const SelectorTargets t = selector_split(ap_selected_heading, 100, 4);
    ap_hdg_drum_100 = t.wheel[0];
    ap_hdg_drum_10 = t.wheel[1];
    ap_hdg_drum_1 = t.units;
    const bool power = dc_ess_powered == 1;
    show_if(gauge.el(VlLamp), power && ap_vl_mode == 1);
    show_if(gauge.el(HdgLamp), power && ap_hdg_select_mode == 1);
}

void release_hdg_hold() {
    if (ap::flag_on(tok_ap_hdg_hold)) ap::send(key_ap_hdg_hold_event_a);
}

// Step 4. Sent every frame while HDG S. flies, whatever the host's hold flags say.
void heading_select(bool host_ap) {
    if (ap_hdg_select_mode == 1) {
        ap_roll_takeover_pending = 1;
        ap_nav_mode = ap_bb_mode = ap_turb_mode = ap_go_around_mode = 0;
        if (fd_vl_captured == 1 && ap_vl_mode == 1) ap_hdg_select_mode = 0;  // the captured beam takes over
        if (host_ap) {
            ap::send(key_ap_hdg_hold_event_b);
            ap::send(key_ap_wing_leveler_off);
            ap_roll_hold_engaged = 0;
        }
    } else if (fd_vl_captured != 1 && ap_nav_mode == 0) {
        release_hdg_hold();
    }
}

// Step 6.
constexpr u32 kGsBit = 0x40, kLocBit = 0x80;
constexpr u8 kApproachStates = 10;

void vor_loc(bool host_ap) {
    tok_refresh(tok_nav1_code);
    if (ap_vl_mode != 1) {
        if (ap_approach_state < kApproachStates && ap::flag_on(tok_ap_nav_hold) && ap_nav_mode == 0) {
            ap::send(key_ap_nav_hold_event_b);
            ap::send(key_ap_nav_hold_event_a);
        }
        fd_loc_available = 0;
        if (ap_hdg_select_mode == 0 && ap_nav_mode == 0) release_hdg_hold();
        return;
    }
    ap_roll_takeover_pending = 1;
    if (ap_bb_mode == 1 || ap_nav_mode >= 1) ap_vl_mode = 0;  // the rest still runs this frame
    if (mask_test(tok_nav1_code, kGsBit | kLocBit) != 0) {
        if (ap::flag_on(tok_ap_nav_hold)) ap::send(key_ap_nav_hold_event_b);
        if (ap::flag_on(tok_ap_wing_leveler)) ap::send(key_ap_wing_leveler_off);
        if (host_ap) {
            ap::send(key_ap_event_1010d);
            fd_loc_available = 1;
        }
    } else if (host_ap && fd_vl_captured == 1) {
        ap::send(key_ap_wing_leveler_off);
        ap_hdg_select_mode = 0;
        ap::send_heading(fd_vl_heading_target);
        ap::send(key_ap_hdg_hold_event_b);
    }
}

void FSAPI ap_hdg_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(*g, kWalk);
    heading_target();                                                     // 1
    drums_and_lamps();                                                    // 2, 3
    const bool host_ap = ap::flag_on(tok_ap_engaged);
    heading_select(host_ap);                                              // 4
    if (host_ap && fd_vl_captured != 1) ap::send_heading(ap_heading_target);  // 5: every frame
    vor_loc(host_ap);                                                     // 6
    if (ap_vl_mode == 0 && ap_approach_state == 0) fd_vl_captured = 0;    // 7
}
}  // namespace
