// Five self-lit lamps beside the mode panel: the LAND light (LAND 2 and LAND 3 arcs, flare letter,
// a flash and a chime cue on each approach-state change), the AUTOLAND warning (a monitor of the
// automatic landing below 200 ft), the GO A. light and the localizer and glide-slope excess
// deviation lights. Lamps change only their hidden bit; only the deviation lights answer the
// lamp test.
// Reads: ap_approach_state, ap_flare_mode, ap_cmd_engaged, ap_go_around_mode, fd_gs_armed,
//        fd_gs_capture_state, fd_gs_available, inst_radio_alt_ft, dc_ess_powered, light_lamp_test,
//        tok_tick18, tok_on_ground, tok_nav1_signal, tok_ap_engaged, tok_time_of_day_s,
//        tok_nav1_cdi, tok_nav1_gs_needle, tok_radio_height_m
// Writes: ap_land_mode_changed, the ap_land_ flash state, the ap_autoland_ warning state
#include <cmath>

#include "autoflight/autopilot.h"
#include "autoflight/lamp_timing.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/gauge.h"

GaugeHeader gauge_autoland_light_1;
GaugeHeader gauge_autoland_light_2;
GaugeHeader gauge_ga_light;
GaugeHeader gauge_autoland_ecart_loc;
GaugeHeader gauge_autoland_ecart_gs;

namespace {
constexpr u32 kLamp = ImageHidden | ImageBright;
constexpr u8 kLand = 30, kLandDual = 40, kApproachArmed = 20;
constexpr f64 kFeetPerMetre = 3.281;

bool powered() { return dc_ess_powered == 1; }
f64 radio_height_ft() { return tok_read(tok_radio_height_m) * kFeetPerMetre; }  // only compared

// Localizer beyond 12 needle units with the glide slope armed, above 15 ft.
bool loc_excess() {
    const f64 cdi = tok_read(tok_nav1_cdi);
    return (cdi < -12.0 || cdi > 12.0) && fd_gs_armed == 1 && inst_radio_alt_ft > 15.0;
}

// ---- LAND light
enum LandPos { LandBackground, LowerArc, UpperArc, FlareLetter, kLandElements };
const ElementDef kLandDefs[kLandElements] = {
    //        bitmap  x   y   flags
    el::Static(3168,  0,  0),
    el::Icon(3171,    3, 29, kLamp),
    el::Icon(3177,    3,  3, kLamp),
    el::Icon(3174,   17, 17, kLamp),
};

i32 FSAPI land_light_click(MousePoint*, u32) {
    ap_land_flash_request = 1;
    return 0;
}
const RectDef kLandRects[] = {rect::Click(0, 0, 56, 56, CursorHand, MouseLeftSingle, land_light_click)};

void FSAPI land_mode_light_update(GaugeHeader*, i32 service, u32);
Gauge<kLandElements, 1> land(gauge_autoland_light_1, "ketravin autoland_light_1_kr60", 56, land_mode_light_update,
                             kLandDefs, kLandRects);

// The cue is a one-frame pulse: the aural unit chimes on every frame that finds it at 1.
void mode_change_cue() {
    ap_land_mode_changed = 0;
    if (!powered()) return;
    const u8 s = ap_approach_state;
    if (s != 0 && s != ap_land_last_state) {
        ap_land_mode_changed = 1;
        if (s >= kLand) ap_land_flash_request = 1;
    }
    ap_land_last_state = s;
}

constexpr i64 kLandFlashTicks = 54;

void land_arcs() {
    ElementHeader* lower = land.el(LowerArc);
    ElementHeader* upper = land.el(UpperArc);
    auto arcs = [&](bool lo, bool up) {
        show_if(lower, lo);
        show_if(upper, up);
    };
    const f64 now = tok_read(tok_tick18);
    if (!powered()) {
        arcs(false, false);
        ap_land_flash_request = ap_land_flashing = ap_land_blink_phase = 0;
        return;
    }
    if (ap_land_flash_request == 1 && ap_land_flashing == 0) {
        arcs(true, true);
        ap_land_flash_start = ap_land_blink_time = lamp::stamp(now);
        ap_land_flashing = 1;
    } else if (ap_land_flashing == 1 && lamp::since(ap_land_flash_start, now) >= kLandFlashTicks) {
        arcs(false, false);
        ap_land_flashing = ap_land_flash_request = 0;
    } else if (ap_land_flashing == 1) {
        const bool lit = lamp::blink(ap_land_blink_time, ap_land_blink_phase, now, !is_hidden(lower));
        arcs(lit, lit);
    } else {
        const u8 s = ap_approach_state;
        arcs(s >= kLand, s >= kLandDual);
    }
}

void FSAPI land_mode_light_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    mode_change_cue();                                                  // 1
    show_if(land.el(FlareLetter), ap_flare_mode == 1 && powered());     // 2
    land_arcs();                                                        // 3
}

// ---- AUTOLAND warning
enum Warning : i8 { OnGround = -1, None = 0, Fault = 1, ApLost = 2 };
const ElementDef kAutolandDefs[] = {el::Static(3180, 0, 0, kLamp)};

i32 FSAPI autoland_light_click(MousePoint*, u32) {
    if (ap_autoland_warning == Fault) {  // an autopilot lost is not acknowledged here
        ap_autoland_cancel = 1;
        ap_autoland_warning = None;
        ap_autoland_ap_in_land = 0;
    }
    return 0;
}
const RectDef kAutolandRects[] = {rect::Click(0, 0, 43, 40, CursorHand, MouseLeftSingle, autoland_light_click)};

void FSAPI autoland_warning_update(GaugeHeader*, i32 service, u32);
Gauge<1, 1> autoland(gauge_autoland_light_2, "ketravin autoland_light_2_kr60", 43, autoland_warning_update,
                     kAutolandDefs, kAutolandRects);

void stop_flash() {
    ap_autoland_flashing = ap_autoland_blink_phase = 0;
    show_if(autoland.el(0), false);
}

// Flare still airborne 17 s after it began (20 s when begun within 20 s of midnight, the deadline
// then falling just after midnight and counting only once the time of day has wrapped).
constexpr f64 kDaySeconds = 86400.0, kLateInDay = 86380.0, kFlareSeconds = 17.0, kFlareSecondsLate = 20.0;

bool flare_too_long(bool airborne_flag) {
    // A time that is no number reaches no deadline; the deadline is computed from a number only,
    // so a time that is none or infinite starts no timing.
    const f64 t = tok_read(tok_time_of_day_s);
    if (ap_autoland_flare_timing == 0) {
        if (!std::isfinite(t)) return false;
        ap_autoland_flare_deadline = sat_i32(t < kLateInDay ? t + kFlareSeconds : t + kFlareSecondsLate - kDaySeconds,
                                             ap_autoland_flare_deadline);
        ap_autoland_flare_timing = 1;
    }
    const f64 d = ap_autoland_flare_deadline;
    const bool after_midnight = d < kFlareSecondsLate;
    const bool reached = t >= d && !(after_midnight && t >= kLateInDay);
    return reached && airborne_flag;
}

constexpr f64 kMonitorBelowFt = 200.0, kGsLowerFt = 100.0, kGsUpperFt = 250.0, kGsLimit = 90.0;

// Step 4: true when it runs (the monitoring conditions hold).
bool monitor(bool ground) {
    if (!(ap_approach_state >= kLand && inst_radio_alt_ft < kMonitorBelowFt && !ground && ap_autoland_warning == None))
        return false;
    const f64 needle = tok_read(tok_nav1_gs_needle), rh = radio_height_ft();
    if (loc_excess() ||
        ((needle < -kGsLimit || needle > kGsLimit) && rh > kGsLowerFt && rh <= kGsUpperFt &&
         fd_gs_capture_state == 2) ||
        tok_read(tok_nav1_signal) <= 0.0 ||
        (ap_flare_mode == 1 && flare_too_long(tok_read(tok_on_ground) == 0.0)))
        ap_autoland_warning = Fault;
    return true;
}

void cancel_warning() {
    ap_autoland_cancel = 1;
    ap_autoland_ap_in_land = 0;
    ap_autoland_warning = None;
    stop_flash();
}

void FSAPI autoland_warning_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    ElementHeader* light = autoland.el(0);
    const bool ground = ap::flag_on(tok_on_ground);                     // 1
    tok_refresh(tok_nav1_signal);
    const f64 ap = tok_read(tok_ap_engaged);
    const bool engaged = ap == 1.0, off = ap == 0.0;
    if (engaged) ap_autoland_ap_in_land = ap_approach_state >= kLand ? 1 : 0;  // 2
    if (off) ap_autoland_flare_timing = 0;
    if (ground) {                                                       // 3
        ap_autoland_warning = None;
        stop_flash();
    }
    if (!monitor(ground) && ap_autoland_ap_in_land == 1 && inst_radio_alt_ft < kMonitorBelowFt && !ground &&
        ap_autoland_warning == None && off)                             // 4, 5
        ap_autoland_warning = ApLost;
    if (ground) {                                                       // 6
        ap_autoland_warning = OnGround;
        ap_autoland_ap_in_land = 0;
    }
    if (ap_autoland_warning == OnGround && off) {
        ap_autoland_warning = None;
        ap_autoland_flashing = ap_autoland_blink_phase = 0;
    }
    const i8 w = ap_autoland_warning;                                   // 7
    if ((w == Fault && (ap_cmd_engaged == 0 || ap_go_around_mode == 1)) || (w == ApLost && ap_go_around_mode == 1))
        cancel_warning();
    if ((w == Fault || w == ApLost) && ap_autoland_cancel == 1) {
        ap_autoland_warning = None;
        stop_flash();
    }
    const f64 now = tok_read(tok_tick18);                               // 8
    if (!powered()) {
        ap_autoland_warning = None;
        stop_flash();
        return;
    }
    const bool warning = ap_autoland_warning == Fault || ap_autoland_warning == ApLost;
    if (warning && ap_autoland_flashing == 0) {
        show_if(light, true);
        ap_autoland_blink_time = lamp::stamp(now);
        ap_autoland_flashing = 1;
    } else if (ap_autoland_flashing == 1 && ap_autoland_cancel == 1) {
        stop_flash();
        ap_autoland_warning = None;
        ap_autoland_cancel = 0;
    } else if (ap_autoland_flashing == 1) {
        show_if(light, lamp::blink(ap_autoland_blink_time, ap_autoland_blink_phase, now, !is_hidden(light)));
    } else if (ap_autoland_warning == None || ap_autoland_cancel == 1) {
        show_if(light, false);
        ap_autoland_warning = None;
        ap_autoland_cancel = 0;
    }
}

// ---- GO A. and the deviation lights
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};
const ElementDef kGaDefs[] = {el::Static(3184, 0, 0, kLamp)};
const ElementDef kLocDefs[] = {el::Static(3187, 0, 0, kLamp)};
const ElementDef kGsDefs[] = {el::Static(3190, 0, 0, kLamp)};

void FSAPI ga_light_update(GaugeHeader*, i32 service, u32);
void FSAPI loc_deviation_light_update(GaugeHeader*, i32 service, u32);
void FSAPI gs_deviation_light_update(GaugeHeader*, i32 service, u32);
Gauge<1, 2> ga(gauge_ga_light, "ketravin ga_light_kr60", 35, ga_light_update, kGaDefs, kNoClicks);
Gauge<1, 2> loc(gauge_autoland_ecart_loc, "ketravin autoland_ecart_loc_kr60", 62, loc_deviation_light_update, kLocDefs,
                kNoClicks);
Gauge<1, 2> gs(gauge_autoland_ecart_gs, "ketravin autoland_ecart_gs_kr60", 32, gs_deviation_light_update, kGsDefs,
               kNoClicks);

void FSAPI ga_light_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    show_if(ga.el(0), ap_go_around_mode == 1 && powered());
}

bool lamp_test() { return light_lamp_test == 1 && powered(); }

void FSAPI loc_deviation_light_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    tok_refresh(tok_radio_height_m);
    const bool approach = powered() && ap_approach_state >= kApproachArmed;
    show_if(loc.el(0), approach ? loc_excess() : lamp_test());
}

constexpr f64 kGsHighLimit = 22.0;

void FSAPI gs_deviation_light_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    const f64 needle = tok_read(tok_nav1_gs_needle), rh = radio_height_ft();
    const bool approach = powered() && ap_approach_state >= kApproachArmed && fd_gs_available == 1;
    auto beyond = [&](f64 limit) { return needle < -limit || needle > limit; };
    const bool excess = fd_gs_capture_state == 2 && ((beyond(kGsHighLimit) && rh > kGsUpperFt) ||
                                                     (beyond(kGsLimit) && rh > kGsLowerFt && rh <= kGsUpperFt));
    show_if(gs.el(0), approach ? excess : lamp_test());
}
}  // namespace
