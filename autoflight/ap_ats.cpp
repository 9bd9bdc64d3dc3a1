// Autothrottle section of the mode control panel: the speed window with its fine and coarse
// knobs, the SPD and N1 buttons with their lamps, and the A/T arm switch. The frame arms and
// disarms the host autothrottle, trips the modes on lost conditions, raises THR OFF on a
// disconnect, then runs the thrust law and the go-around (ats_laws.cpp).
// Reads: tok_ap_speed_sel_kt, tok_ats_arm, tok_ap_speed_hold, tok_eng1_n1, tok_eng2_n1, tok_on_ground,
//        tok_eng1/2_throttle_lever, tok_eng1/2_throttle_axis, tok_gear_nose_pos, tok_ias_kt,
//        tok_ap_engaged, tok_radio_height_m,
//        elec_ess_ac_source_sel, elec_ac_bus1_powered, dc_normal_powered, dc_ess_powered,
//        inst_adc1_ok, inst_adc1_ias_valid, ins1_status, eng_n1_mode, light_zone, annunciator_bright
// Writes: ats_speed_target, ats_arm_state, ats_spd_mode, ats_n1_mode, warn_thr_off,
//         ats_thr_off_latched, ats_thr_off_ref, ats_speed_error_kt, the speed wheels' targets;
//         the N1 button in GA clears ap_approach_state and the lateral and vertical mode bytes
#include "air/state.h"
#include "autoflight/ap_keys.h"
#include "autoflight/autopilot.h"
#include "autoflight/autothrottle.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/numeric.h"
#include "navigation/state.h"

GaugeHeader gauge_ap_ats;

namespace {
enum Pos { Background, SpdLamp, N1Lamp, ArmUp, ArmDown, Units, Tens, Hundreds, kElements };

constexpr u32 kBmpBackground = 2425, kBmpLamp = 2489, kBmpArmUp = 3004, kBmpArmDown = 3001, kBmpUnits = 2457,
              kBmpTensHundreds = 2451;
constexpr u32 H = ImageHidden;
constexpr u32 kWheels = 10;

const ElementDef kElementDefs[kElements] = {
    //              bitmap             x    y   flags
    el::Static(kBmpBackground,         0,   0),
    el::Icon(kBmpLamp,                57,  19, H | ImageBright),   // SPD
    el::Icon(kBmpLamp,                98,  19, H | ImageBright),   // N1
    el::Icon(kBmpArmUp,               98,  82, H),
    el::Icon(kBmpArmDown,             98,  96),
    el::ChasingDrum(kBmpUnits,        52,  77, 0, drum::selector(kWheels), drum::target(&ats_drum_1), &ats_drum_1_pos),
    el::ChasingDrum(kBmpTensHundreds, 36,  77, 0, drum::selector(kWheels), drum::target(&ats_drum_10), &ats_drum_10_pos),
    el::ChasingDrum(kBmpTensHundreds, 20,  77, 0, drum::selector(kWheels), drum::target(&ats_drum_100), &ats_drum_100_pos),
};

constexpr LightWalk kWalk{5, walk_positions({Background, Units, Tens, Hundreds})};

// The engine throttle axes, watched at the top of every frame: THR OFF's reference and the
// thrust laws take the host's latest number for an axis that is no number this frame.
TokenWatch axis1_watch{tok_eng1_throttle_axis}, axis2_watch{tok_eng2_throttle_axis};
// The host's vertical speed, for the go-around's climb when token 65 reads no number.
TokenWatch vs_watch{tok_vertical_speed};

// ---- Speed knobs: the host's selected speed is the master copy; each step is sent at once.
constexpr i32 kSpeedMax = 400;

template <i32 Step>
i32 FSAPI speed_knob(MousePoint*, u32) {
    i32& v = ats_speed_target;
    if (Step < 0)
        v = v > -Step ? v + Step : 0;
    else
        v = v < kSpeedMax - Step ? v + Step : kSpeedMax;
    ap::trigger(key_ap_speed_set, v);
    return 0;
}

// ---- SPD: on only from off with the A/T armed; any other press is a disconnect.
i32 FSAPI spd_button(MousePoint*, u32) {
    ats_spd_mode = ats_arm_state == 1 && ats_spd_mode == 0 ? 1 : 2;
    return 0;
}

// ---- N1: on with both engines turning; in GA only airborne with the gear not fully up.
constexpr f64 kN1ButtonMinPct = 20.0;
constexpr u8 kN1ComputerGa = 3;

i32 FSAPI n1_button(MousePoint*, u32) {
    const f64 n1a = tok_read(tok_eng1_n1), n1b = tok_read(tok_eng2_n1);  // no number: N1 stays off
    const bool on_ground = ap::flag_on(tok_on_ground);
    if (!(ats_arm_state == 1 && ats_n1_mode == 0 && n1a > kN1ButtonMinPct && n1b > kN1ButtonMinPct)) {
        ats_n1_mode = 0;
        return 0;
    }
    if (eng_n1_mode != kN1ComputerGa) {
        ats_n1_mode = 1;
        return 0;
    }
    if (tok_read(tok_gear_nose_pos) >= 1.0 && !on_ground) {
        ats_n1_mode = 1;
        ap_approach_state = ap_hdg_select_mode = ap_alt_mode = ap_ias_mode = ap_vl_mode = ap_turb_mode = 0;
    } else {
        ats_n1_mode = 0;
    }
    return 0;
}

i32 FSAPI arm_switch_on(MousePoint*, u32) {
    ats_arm_state = 1;
    warn_thr_off = 0;
    return 0;
}
i32 FSAPI arm_switch_off(MousePoint*, u32) {
    ats_arm_state = 2;
    return 0;
}

constexpr u32 kKnob = MouseLeftSingle | MouseRepeat;
constexpr RectDef kRects[8] = {
    //          x    y    w   h   cursor           events           action
    rect::Click(2,   104, 43, 35, CursorDownArrow, kKnob,           speed_knob<-1>),
    rect::Click(45,  104, 43, 35, CursorUpArrow,   kKnob,           speed_knob<1>),
    rect::Click(2,   139, 43, 35, CursorDownArrow, kKnob,           speed_knob<-10>),
    rect::Click(45,  139, 43, 35, CursorUpArrow,   kKnob,           speed_knob<10>),
    rect::Click(50,  6,   35, 35, CursorHand,      MouseLeftSingle, spd_button),
    rect::Click(91,  6,   35, 35, CursorHand,      MouseLeftSingle, n1_button),
    rect::Click(89,  56,  43, 55, CursorHand,      MouseLeftSingle, arm_switch_on),
    rect::Click(89,  111, 43, 55, CursorHand,      MouseLeftSingle, arm_switch_off),
};

void FSAPI ap_ats_update(GaugeHeader* g, i32 service, u32);

Gauge<kElements, 8> gauge(gauge_ap_ats, "ketravin ap_ats_kr60", 143, ap_ats_update, kElementDefs, kRects);

// ---- Step 1: the window follows the host's selected speed, in whole knots (a speed below 0
// reads 0, one that is no number keeps the last); the wheels see 0..999 only.
constexpr i32 kWindowMax = 999;

void speed_window() {
    f64 sel = 0.0;
    if (tok_number(tok_ap_speed_sel_kt, sel)) {
        const i32 kt = sat_i32(sel, ats_speed_target);
        ats_speed_target = kt > 0 ? kt : 0;
    }
    const i32 shown = ats_speed_target > kWindowMax ? kWindowMax : ats_speed_target;
    const SelectorTargets t = selector_split(shown, 100, kWheels);
    ats_drum_100 = t.wheel[0];
    ats_drum_10 = t.wheel[1];
    ats_drum_1 = t.units;
}

// ---- Step 2
void lamps() {
    const bool power = dc_ess_powered == 1;
    show_if(gauge.el(SpdLamp), power && ats_spd_mode == 1);
    show_if(gauge.el(N1Lamp), power && ats_n1_mode == 1);
    show_if(gauge.el(ArmUp), ats_arm_state == 1);
    show_if(gauge.el(ArmDown), ats_arm_state != 1);
}

void disarm_host() {
    if (ap::flag_on(tok_ats_arm)) ap::send(key_autothrottle_arm_set, 0);
}
void speed_hold_off() {
    if (ap::flag_on(tok_ap_speed_hold)) ap::send(key_ap_speed_hold_off);
}

// ---- Step 4: keep the host armed while the conditions hold; anything lost disconnects.
constexpr f64 kArmMinN1Pct = 25.0;
constexpr u8 kEssAcNorm = 2;

void arming(f64 n1a, f64 n1b) {
    if (ats_arm_state != 1) {
        disarm_host();
        speed_hold_off();
        ats_spd_mode = ats_n1_mode = 0;
        return;
    }
    const bool conditions = elec_ess_ac_source_sel == kEssAcNorm && elec_ac_bus1_powered == 1 &&
                            dc_normal_powered == 1 && inst_adc1_ok == 1;
    if (!conditions) {
        disarm_host();
        speed_hold_off();
        ats_arm_state = 2;
        ats_spd_mode = ats_n1_mode = 0;
        return;
    }
    if (n1a > kArmMinN1Pct && n1b > kArmMinN1Pct) {
        if (ap::flag_off(tok_ats_arm)) ap::send(key_autothrottle_arm_set, 1);
    } else {
        disarm_host();
        ats_arm_state = 2;
    }
}

// ---- Step 5: THR OFF once per disconnect, with the engine 1 axis it must move away from.
void thr_off() {
    if (ats_arm_state != 2 || ats_thr_off_latched != 0) return;
    warn_thr_off = 1;
    ats_spd_mode = ats_n1_mode = 0;
    f64 axis = 0.0;  // the host's latest number for the axis; before any, the reference stands
    if (axis1_watch.latest(axis)) ats_thr_off_ref = sat_i32(axis, ats_thr_off_ref);
    ats_thr_off_latched = 1;
}

// ---- Step 6: SPD trips without INS 1 navigating, ADC 1 airspeed, or with a lever at idle on
// the ground.
constexpr u8 kInsNavigate = 3;
constexpr f64 kIdleLever = 0.05;

void spd_trip() {
    const bool ground = ap::flag_on(tok_on_ground);
    const f64 lever1 = tok_read(tok_eng1_throttle_lever), lever2 = tok_read(tok_eng2_throttle_lever);
    tok_refresh(tok_radio_height_m);
    if (ats_spd_mode != 1) return;
    if (ins1_status < kInsNavigate || inst_adc1_ias_valid == 0 || (ground && (lever1 < kIdleLever || lever2 < kIdleLever)))
        ats_spd_mode = 2;
}

// ---- Step 9: N1 trips below 28 % on either engine and takes the arming with it.
constexpr f64 kN1TripPct = 28.0;

void n1_trip(f64 n1a, f64 n1b) {
    if ((n1a < kN1TripPct || n1b < kN1TripPct) && ats_n1_mode == 1) ats_n1_mode = 2;
    if (ats_n1_mode != 2) return;
    disarm_host();
    ats_arm_state = 2;  // THR OFF next frame
    ats_n1_mode = 0;
}

void FSAPI ap_ats_update(GaugeHeader* g, i32 service, u32) {
    if (service == ServicePreInstall) {  // placed again: no reading from before
        axis1_watch.forget();
        axis2_watch.forget();
        vs_watch.forget();
    }
    if (service != ServicePreUpdate) return;
    axis1_watch.watch();  // also step 3's refresh of both axes
    axis2_watch.watch();
    vs_watch.watch();
    light_walk(*g, kWalk);
    speed_window();                                                     // 1
    lamps();                                                            // 2
    const f64 n1a = tok_read(tok_eng1_n1), n1b = tok_read(tok_eng2_n1);  // 3: as the host gives them
    arming(n1a, n1b);                                                   // 4
    thr_off();                                                          // 5
    spd_trip();                                                         // 6
    if (ats_spd_mode == 1)                                              // 7: SPD wins over N1
        ats_n1_mode = 0;
    else
        speed_hold_off();
    if (ats_arm_state != 1) ats_n1_mode = 0;                            // 8
    n1_trip(n1a, n1b);                                                  // 9
    tok_refresh(tok_ap_engaged);                                        // 10
    tok_refresh(tok_eng1_throttle_axis);
    f64 ias = 0.0;
    if (tok_number(tok_ias_kt, ias)) ats_speed_error_kt = ias - f64(ats_speed_target);
    tok_refresh(tok_eng1_n1);
    ats_thrust_law(axis1_watch, axis2_watch);                           // 11
    ats_go_around(vs_watch);
}
}  // namespace
