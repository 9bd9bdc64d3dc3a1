// Autopilot / flight-director mode control panel on the glareshield: CMD 1 and CMD 2 levers, FD 1
// and FD 2, IAS, NAV, LAND, APPR, B/B and TURB buttons with their lamps, and the pitch wheel that
// sets the attitude reference of PITCH. The clicks change the mode bytes; the frame re-validates
// them and flies the host autopilot (engagement, approach and land, basic laws).
// Reads: dc_ess_powered, light_lamp_test, light_zone, annunciator_bright, tok_tick18,
//        fctl_yaw_damper_count, fctl_pitch_trim_count, the side inputs of ap_side_ok,
//        ins1/2_att_mode, ins1/2_status, gps_plan_active, fd_vl_captured, fd_gs_capture_state,
//        inst_radio_alt_ft, tok_nav1_code, tok_nav1_signal, tok_attitude_fail, tok_vacuum_fail,
//        tok_gps_drives_nav1
// Writes: the mode state (ap_fd_engaged, ap_cmd_engaged, the levers, ap_approach_state and the
//         mode bytes), the pitch wheel state, fd_pitch_reference, ap_pitch_ref_deg, gps_drives_sw
#include "autoflight/ap_keys.h"
#include "autoflight/autopilot.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/deadline.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/lighting.h"
#include "module/numeric.h"
#include "navigation/state.h"
#include "instruments/state.h"

GaugeHeader gauge_ap_master;

namespace {
enum Pos {
    Face, Cmd1Up, Cmd1Down, Cmd2Up, Cmd2Down, Fd1Lamp, Fd2Lamp, IasLamp, LandLamp, ApprLamp, BbLamp, TurbLamp,
    Wheel, BigWheel, BigWheelFrame, LabelFd, LabelAp, NavLamp, WheelCover, kElements
};

constexpr u32 kBmpFace = 7101, kBmpLeverUp = 7102, kBmpLeverDown = 7103, kBmpLamp = 7104, kBmpWheel = 7105,
              kBmpBigWheel = 7106, kBmpBigWheelFrame = 7107, kBmpLabelFd = 7108, kBmpLabelAp = 7109,
              kBmpWheelCover = 7110;
constexpr u32 H = ImageHidden;

f64 FSAPI wheel_x(ElementHeader*) { return 1.0; }
f64 FSAPI wheel_y(ElementHeader*) { return ap_wheel_position; }

const ElementDef kElementDefs[kElements] = {
    //          bitmap              x    y   flags
    el::Static(kBmpFace,            0,   0),
    el::Icon(kBmpLeverUp,         173,   4, H),   // CMD 1 up
    el::Icon(kBmpLeverDown,       173,  60),      // CMD 1 down
    el::Icon(kBmpLeverUp,         247,   4, H),   // CMD 2 up
    el::Icon(kBmpLeverDown,       247,  60),      // CMD 2 down
    el::Icon(kBmpLamp,             12,  64, H),   // FD 1
    el::Icon(kBmpLamp,             49,  64, H),   // FD 2
    el::Icon(kBmpLamp,              5,   6, H),   // IAS
    el::Icon(kBmpLamp,             83,   6, H),   // LAND
    el::Icon(kBmpLamp,            122,   6, H),   // APPR
    el::Icon(kBmpLamp,              5, 120, H),   // B/B
    el::Icon(kBmpLamp,            195, 120, H),   // TURB
    el::Moving(kBmpWheel,         133,  50, 0, 1.0, wheel_x, wheel_y),
    el::Moving(kBmpBigWheel,      120,  20, H, 1.0, wheel_x, wheel_y),
    el::Icon(kBmpBigWheelFrame,   115,  15, H),
    el::Icon(kBmpLabelFd,          99, 140, H),
    el::Icon(kBmpLabelAp,          99, 140, H),
    el::Icon(kBmpLamp,             45,   6, H),   // NAV
    el::Static(kBmpWheelCover,    133,  50),
};

constexpr LightWalk kWalk{5, walk_positions({Face, Wheel, BigWheel, BigWheelFrame, LabelFd, LabelAp})};

// ---- Pitch wheel
constexpr f64 kRefMin = -10.0, kRefMax = 25.0;
constexpr f64 kApStep = 0.1, kFdStep = 0.5;
constexpr u8 kLabelFrames = 20;

void step_reference(f64& ref, f64 step) {
    if (step < 0.0)
        ref = ref > kRefMin ? ref + step : kRefMin;
    else
        ref = ref < kRefMax ? ref + step : kRefMax;
}

template <int Dir>
i32 FSAPI wheel_arrow(MousePoint*, u32 flags) {
    const bool click = (flags & (MouseLeftSingle | MouseRepeat)) != 0;
    if (!click) {
        if ((flags & MouseMove) && ap_wheel_ap_mode == 1) ap_wheel_touched = 1;
        return 0;
    }
    ap_wheel_touched = 1;
    ap_wheel_zoom_armed = 0;
    if (ap_wheel_ap_mode == 1)
        step_reference(ap_pitch_ref_deg, Dir * kApStep);
    else
        step_reference(fd_pitch_reference, Dir * kFdStep);
    return 0;
}

i32 FSAPI wheel_centre(MousePoint*, u32 flags) {
    if (flags & MouseRightSingle) {
        ap_wheel_label_timer = kLabelFrames;
        ap_wheel_ap_mode = ap_wheel_ap_mode == 1 ? 0 : 1;
    } else {
        ap_wheel_touched = 1;
    }
    return 0;
}

// ---- FD buttons. A press with a director already on turns both off.
template <int Side>
i32 FSAPI fd_button(MousePoint*, u32) {
    if (!ap_common_ok() || ap_fd_engaged != 0) {
        ap_fd_engaged = 0;
        return 0;
    }
    if (!ap_side_ok(Side) || ap_cmd_engaged != 0) return 0;
    if (ap_approach_state == 0) ap_fd_engaged = u8(Side);
    return 0;
}

// ---- CMD levers: the mouse only latches or releases; the next frame engages.
constexpr u8 kLandStates = 30;

template <int Side>
i32 FSAPI cmd_lever_up(MousePoint*, u32) {
    if (ap_land_engaged != 1) (Side == 1 ? ap_cmd1_lever : ap_cmd2_lever) = 1;
    if (ap_ias_mode == 1) {
        ap_ias_mode = 0;
        ap_ias_reference = 0;
        ap_ias_law_reset();
    }
    if (ap_alt_mode == 3 || ap_alt_mode == 4) ap_alt_mode = 0;
    return 0;
}

template <int Side>
i32 FSAPI cmd_lever_off(MousePoint*, u32) {
    ap_cmd_lever_release(Side);
    return 0;
}

// ---- Mode buttons
bool approach_band(u8 lo, u8 hi) { return ap_approach_state >= lo && ap_approach_state <= hi; }

i32 FSAPI ias_button(MousePoint*, u32) {
    if (ap_fd_engaged == 0) return 0;
    if (ap_ias_mode == 1) {
        ap_ias_mode = 0;
        return 0;
    }
    const bool land = ap_approach_state >= kLandStates;
    if (land && fd_vl_captured == 1) return 0;  // LAND on the beam: refused
    ap_ias_mode = 1;
    if (ap_alt_mode != 1) ap_alt_mode = 0;  // armed stays armed
    ap_turb_mode = ap_go_around_mode = ats_spd_mode = 0;
    if (approach_band(10, 29) && fd_gs_capture_state == 1) ap_approach_state = 0;
    return 0;
}

constexpr u8 kInsNavigate = 3;

void nav_engaged(u8 mode) {
    ap_nav_mode = mode;
    if (ap::flag_off(tok_gps_drives_nav1)) ap::trigger(key_gps_drives_nav1_toggle);
    ap_hdg_select_mode = 0;
    ap_vl_mode = 0;
}

i32 FSAPI nav_button(MousePoint*, u32) {
    if (ap_fd_engaged == 0) return 0;
    if (ap_nav_mode >= 1) {
        ap_nav_mode = 0;
        ap::trigger(key_ap_nav_hold_event_b);
        ap::trigger(key_ap_hdg_hold_event_a);
        return 0;
    }
    if (ap_approach_state != 0 || gps_plan_active != 1) return 0;
    if (ap_fd_engaged == 1 && ins1_att_mode == 0 && ins1_status >= kInsNavigate) nav_engaged(1);
    if (ap_fd_engaged == 2 && ins2_att_mode == 0 && ins2_status >= kInsNavigate) nav_engaged(2);
    return 0;
}

constexpr f64 kLandArmAboveFt = 700.0;

i32 FSAPI land_button(MousePoint*, u32) {
    gps_drives_sw = 0;
    if (approach_band(30, 41)) {
        ap_approach_state = 0;
        return 0;
    }
    if (ap_cmd_engaged == 0 || !ap::nav1_glide_slope() || !ap::nav1_signal() || !(inst_radio_alt_ft > kLandArmAboveFt) ||
        ap::failed(tok_attitude_fail) || ap::failed(tok_vacuum_fail))
        return 0;
    if (ap_cmd_engaged == 3 && ats_spd_mode != 1) return 0;
    ap_approach_state = ap_cmd_engaged == 3 ? 40 : 30;
    gps_drives_sw = 0;
    ap_nav_mode = 0;
    return 0;
}

i32 FSAPI appr_button(MousePoint*, u32) {
    if (approach_band(10, 29)) {
        ap_approach_state = 0;
        return 0;
    }
    if (ap_fd_engaged == 0 || !ap::nav1_glide_slope() || !ap::nav1_signal() || ap_land_engaged != 0) return 0;
    ap_approach_state = ap_fd_engaged != 3 && ap_cmd_engaged == 0 ? 10 : 20;
    gps_drives_sw = 0;
    ap_nav_mode = 0;
    return 0;
}

i32 FSAPI bb_button(MousePoint*, u32) {
    if (ap_fd_engaged == 0) return 0;
    if (ap_bb_mode == 1) {
        ap_bb_mode = 0;
    } else if (ap_vl_mode == 0 && ap_nav_mode == 0 && ap_cmd_engaged == 0) {
        ap_bb_mode = 1;
        ap_hdg_select_mode = 0;
    }
    return 0;
}

i32 FSAPI turb_button(MousePoint*, u32) {
    if (ap_cmd_engaged == 0) return 0;
    if (ap_turb_mode == 1) {
        ap_turb_mode = 0;
    } else if (ap_go_around_mode == 0 && !(ap_approach_state >= kLandStates && ap_land_engaged == 1)) {
        ap_turb_mode = 1;
        ap_approach_state = ap_ias_mode = ap_vl_mode = ap_hdg_select_mode = ap_alt_mode = ap_bb_mode = ap_nav_mode = 0;
    }
    return 0;
}

constexpr u32 kWheelEvents = MouseLeftSingle | MouseRepeat | MouseMove;
const RectDef kRects[] = {
    //          x    y    w   h   cursor           events                            action
    rect::Click(133, 106, 32, 56, CursorDownArrow, kWheelEvents,                     wheel_arrow<-1>),
    rect::Click(133, 50,  32, 56, CursorUpArrow,   kWheelEvents,                     wheel_arrow<1>),
    rect::Click(99,  78,  32, 56, CursorHand,      MouseLeftSingle | MouseRightSingle, wheel_centre),
    rect::Click(12,  64,  35, 35, CursorHand,      MouseLeftSingle,                  fd_button<1>),
    rect::Click(49,  64,  35, 35, CursorHand,      MouseLeftSingle,                  fd_button<2>),
    rect::Click(173, 0,   49, 56, CursorHand,      MouseLeftSingle,                  cmd_lever_up<1>),
    rect::Click(173, 56,  49, 56, CursorHand,      MouseLeftSingle,                  cmd_lever_off<1>),
    rect::Click(247, 0,   49, 56, CursorHand,      MouseLeftSingle,                  cmd_lever_up<2>),
    rect::Click(247, 56,  49, 56, CursorHand,      MouseLeftSingle,                  cmd_lever_off<2>),
    rect::Click(5,   6,   35, 35, CursorHand,      MouseLeftSingle,                  ias_button),
    rect::Click(45,  6,   35, 35, CursorHand,      MouseLeftSingle,                  nav_button),
    rect::Click(83,  6,   35, 35, CursorHand,      MouseLeftSingle,                  land_button),
    rect::Click(122, 6,   35, 35, CursorHand,      MouseLeftSingle,                  appr_button),
    rect::Click(5,   120, 35, 35, CursorHand,      MouseLeftSingle,                  bb_button),
    rect::Click(195, 120, 90, 35, CursorHand,      MouseLeftSingle,                  turb_button),
};

void FSAPI ap_master_update(GaugeHeader* g, i32 service, u32);

Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_ap_master, "ketravin ap_master_kr60", 308,
                                                         ap_master_update, kElementDefs, kRects);

// ---- Step 1: pitch wheel upkeep and lamps.
constexpr f64 kFdRefLowReset = -9.0, kFdRefHighReset = 24.0;
constexpr u32 kZoomTicks = 50;

void pitch_wheel() {
    if (fd_pitch_reference < kRefMin)
        fd_pitch_reference = kFdRefLowReset;
    else if (fd_pitch_reference > kRefMax)
        fd_pitch_reference = kFdRefHighReset;
    ap_wheel_position = kRefMax - (ap_wheel_ap_mode == 1 ? ap_pitch_ref_deg : fd_pitch_reference);

    // The label shows for as many frames as the timer held.
    const bool label = ap_wheel_label_timer > 0;
    show_if(gauge.el(LabelAp), label && ap_wheel_ap_mode == 1);
    show_if(gauge.el(LabelFd), label && ap_wheel_ap_mode != 1);
    if (ap_wheel_label_timer > 0) --ap_wheel_label_timer;

    const f64 tick = tok_read(tok_tick18);
    if (ap_wheel_touched == 1 && ap_wheel_zoom_armed == 0) {
        ap_wheel_zoom_deadline = deadline_arm(tick, kZoomTicks);
        ap_wheel_zoom_armed = 1;
    }
    if (ap_wheel_zoom_armed != 1) return;
    const bool done = deadline_reached(ap_wheel_zoom_deadline, tick, kZoomTicks);
    show_if(gauge.el(BigWheel), !done);
    show_if(gauge.el(BigWheelFrame), !done);
    show_if(gauge.el(WheelCover), done);
    if (done) ap_wheel_touched = ap_wheel_zoom_armed = 0;
}

void lamps() {
    // The levers follow their bytes without power.
    show_if(gauge.el(Cmd1Up), ap_cmd1_lever == 1);
    show_if(gauge.el(Cmd1Down), ap_cmd1_lever != 1);
    show_if(gauge.el(Cmd2Up), ap_cmd2_lever == 1);
    show_if(gauge.el(Cmd2Down), ap_cmd2_lever != 1);
    const bool power = dc_ess_powered == 1, test = light_lamp_test == 1;
    auto lamp = [&](Pos p, bool on) { show_if(gauge.el(p), power && (on || test)); };
    lamp(Fd1Lamp, ap_fd_engaged == 1 || ap_fd_engaged == 3);
    lamp(Fd2Lamp, ap_fd_engaged == 2 || ap_fd_engaged == 3);
    lamp(IasLamp, ap_ias_mode == 1);
    lamp(LandLamp, ap_approach_state >= kLandStates);
    lamp(ApprLamp, approach_band(1, 29));
    lamp(BbLamp, ap_bb_mode == 1);
    lamp(TurbLamp, ap_turb_mode == 1);
    lamp(NavLamp, ap_nav_mode >= 1);
}

// Each step sees what the steps before it wrote in this frame.
void FSAPI ap_master_update(GaugeHeader* g, i32 service, u32) {
    if (service == ServicePreInstall) ap::panel_watch.forget();  // placed again: no reading from before
    if (service != ServicePreUpdate) return;
    ap::panel_watch.watch();  // before any step can return early: the latest readings are this frame's
    light_walk(*g, kWalk);                      // 1
    pitch_wheel();
    lamps();
    ap_fd_mode_bytes();                         // 2
    ap_fd_validity();                           // 3
    ap_cmd_levers();                            // 4
    ap_cmd_consequences();                      // 5
    ap_host_fd_flag();                          // 6
    ap_ias_consequences();                      // 7
    ap_approach_upkeep();                       // 8
    ap_ground_trim_reset();                     // 9
    ap_bb_turb_upkeep();                        // 10
    ap_host_master_and_holds();                 // 11
    ap_failure_disengage();                     // 12
    ap_basic_mode_flags();                      // 13
    ap_pitch_law();                             // 14
    ap_bank_limit_aileron();
    ap_glide_slope_hold();
    ap_roll_input();
    ap_roll_law();
    ap_bank_hold_drive();
    ap_ias_law();
    ap_rollout();                               // 15
    ap_land();
    ap_yaw_law();                               // 16
    ap_nav_upkeep();                            // 17
}
}  // namespace
