// Cabin pressure controller of the flight engineer's panel: the two set panels (ALT knob moving the
// host's target cabin altitude, dials showing it, a turning image held after a touch), the SYS
// SELECT lever, both discharge-valve switches with their outflow valve pointers, and the cabin
// altimeter, whose callback samples the cabin altitude and keeps the host's dump switch in step.
// Reads: dc_ess_powered, doors_exit_open_pct, light_zone, annunciator_bright, tok_tick18,
//        tok_on_ground, tok_exit1_open..tok_exit3_open, tok_cabin_altitude, tok_cabin_target_alt,
//        tok_press_dump
// Writes: air_press_ctl_active, air_outflow_pos_s1, air_outflow_pos_s2, air_disch_valve_sw_s1,
//         air_disch_valve_sw_s2, air_press_sys_select, air_cabin_alt_ft, air_press_dump,
//         press_alt_dial_deg, press_baro_dial_deg, press_set_s1_state, press_set_s2_state
#include "air/air_pressu.h"

#include "air/air_keys.h"
#include "air/air_panel.h"
#include "air/state.h"
#include "electrical/elec_panel.h"
#include "electrical/state.h"
#include "module/deadline.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/switches.h"
#include "module/tokens.h"

GaugeHeader gauge_air_pressu_set_s1;
GaugeHeader gauge_air_pressu_set_s2;
GaugeHeader gauge_air_pressu_syselect;
GaugeHeader gauge_air_pvalvepos_s1;
GaugeHeader gauge_air_pvalvepos_s2;
GaugeHeader gauge_air_pressu_cabalt;

PressSetPanelState press_set_s1_state;
PressSetPanelState press_set_s2_state;

namespace {
constexpr u32 kBmpSetFace = 6050, kBmpBaroDial = 6051, kBmpAltDial = 6052, kBmpAltDialTurning = 6053,
              kBmpRatePointer = 6054, kBmpSelFace = 6055, kBmpSelLeft = 6056, kBmpSelRight = 6057,
              kBmpValveBezel = 6058, kBmpValveOverlay1 = 6059, kBmpValveOverlay2 = 6060, kBmpValvePointer = 6061,
              kBmpCabAltFace = 6062, kBmpCabAltNeedle = 6063;
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};
PressSetPanelState* const kSetStates[2] = {&press_set_s1_state, &press_set_s2_state};

// ---- set panels -------------------------------------------------------------------------------------
enum SetPos : size_t { SetFace, BaroDial, AltDial, AltDialTurning, RatePointer, kSetCount };
constexpr LightWalk kSetWalk{kAirZone, walk_range(SetFace, RatePointer)};
constexpr f64 kTargetCeilingFt = 12000.0;
constexpr u32 kHoldTicks = 50;
constexpr f64 kAltDialDegPerFt = 0.0225;    // 22.5 degrees per 1000 ft
constexpr f64 kBaroDialDegPerInHg = 22.5;
constexpr f64 kBaroDialZeroInHg = 29.9;

f64 FSAPI press_baro_dial_angle(ElementHeader*) { return f64(press_baro_dial_deg); }
f64 FSAPI press_alt_dial_angle(ElementHeader*) { return f64(press_alt_dial_deg); }
f64 FSAPI press_rate_value(ElementHeader*) { return f64(press_rate_setting); }

NonlinearityPoint rate_points[2][3] = {{{180, 20, 50, 0}, {197, 10, 500, 0}, {214, 20, 2000, 0}},
                                       {{180, 20, 50, 0}, {197, 10, 500, 0}, {214, 20, 2000, 0}}};

template <size_t S>
constexpr ElementDef kSetElements[kSetCount] = {
    //       bitmap                x    y    start flags
    el::Static(kBmpSetFace,         0,   0,  kAirLit),
    el::Sprite(kBmpBaroDial,       128, 128, kAirLit, nullptr, nullptr, press_baro_dial_angle).pivot(70, 70),
    el::Sprite(kBmpAltDial,        128, 128, kAirLit, nullptr, nullptr, press_alt_dial_angle).pivot(100, 100),
    el::Sprite(kBmpAltDialTurning, 128, 128, kAirLitHidden, nullptr, nullptr, press_alt_dial_angle).pivot(100, 100),
    el::Needle(kBmpRatePointer,    197, 30,  kAirLit, press_rate_value).pivot(7, 5).table(rate_points[S]),
};

// Every area of the panel marks it touched; the callback starts the turning image from that.
template <size_t S>
i32 FSAPI press_alt_dec_click(MousePoint*, u32) {
    kSetStates[S]->touched = 1;
    svc::trigger_key_event(key_press_target_dec, 0);  // no lower limit on this side
    return 0;
}
template <size_t S>
i32 FSAPI press_alt_inc_click(MousePoint*, u32) {
    kSetStates[S]->touched = 1;
    if (tok_read(tok_cabin_target_alt) < kTargetCeilingFt) svc::trigger_key_event(key_press_target_inc, 0);
    return 0;
}
template <size_t S>
i32 FSAPI press_dial_touch_click(MousePoint*, u32) {
    kSetStates[S]->touched = 1;
    return 0;
}
constexpr u32 kLeftHeld = MouseLeftSingle | MouseRepeat;
template <size_t S>
constexpr RectDef kSetRects[3] = {
    //          x   y    w   h   cursor           events           action
    rect::Click(0,  165, 49, 91, CursorDownArrow, kLeftHeld,       press_alt_dec_click<S>),
    rect::Click(49, 165, 49, 91, CursorUpArrow,   kLeftHeld,       press_alt_inc_click<S>),
    rect::Click(96, 26,  70, 70, CursorHand,      MouseLeftSingle, press_dial_touch_click<S>),
};

template <size_t S>
void FSAPI pressu_set_update(GaugeHeader*, i32 service, u32);
using SetGauge = Gauge<kSetCount, 3>;
SetGauge set_gauges[2] = {
    {gauge_air_pressu_set_s1, "ketravin air_pressu_set_s1_kr60", 256, pressu_set_update<0>, kSetElements<0>,
     kSetRects<0>},
    {gauge_air_pressu_set_s2, "ketravin air_pressu_set_s2_kr60", 256, pressu_set_update<1>, kSetElements<1>,
     kSetRects<1>},
};

// The turning image: a touch starts a hold of 50 ticks; a touch during a hold ends it, and the
// next frame starts a new one, the image staying up throughout.
void turning_hold(PressSetPanelState& s, ElementHeader* image, f64 tick) {
    if (s.touched == 1 && s.hold_running == 0) {
        show_if(image, true);
        s.touch_tick = f64(deadline_arm(tick, 0));  // a clock that is no number: re-armed by the next real tick
        s.hold_running = 1;
        s.touched = 0;
    }
    if (s.touched == 1 && s.hold_running == 1) s.hold_running = 0;
    if (s.touched == 0 && s.hold_running == 1) {
        u32 due = deadline_arm(s.touch_tick, kHoldTicks);
        if (deadline_reached(due, tick, kHoldTicks)) {
            show_if(image, false);
            s.touched = s.hold_running = 0;
        } else {
            s.touch_tick = f64(due) - f64(kHoldTicks);  // re-armed from now when the clock ran back
        }
    }
}

// Only system 1's panel turns the dials. A target that is no finite number leaves its dial where
// it stands; a setting that is no number (only a script can write one) leaves its dial unrotated.
void set_dial_angles() {
    press_baro_dial_deg = air_f32((f64(press_baro_setting_inhg) - kBaroDialZeroInHg) * kBaroDialDegPerInHg, 0.0f);
    const f64 target = tok_read(tok_cabin_target_alt);
    if (std::isfinite(target)) press_alt_dial_deg = air_f32(target * kAltDialDegPerFt, press_alt_dial_deg);
}

template <size_t S>
void FSAPI pressu_set_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    SetGauge& g = set_gauges[S];
    light_walk(g.header(), kSetWalk);
    turning_hold(*kSetStates[S], g.el(AltDialTurning), tok_read(tok_tick18));
    if (S == 0) set_dial_angles();
}

// ---- SYS SELECT ---------------------------------------------------------------------------------------
enum SelPos : size_t { SelFace, SelLeverLeft, SelLeverRight, kSelCount };
constexpr LightWalk kSelWalk{kAirZone, walk_range(SelFace, SelLeverRight)};
constexpr u8 kSys1 = 1, kSys2 = 2;
const ElementDef kSelElements[kSelCount] = {
    el::Static(kBmpSelFace, 0, 0, kAirLit),
    el::Icon(kBmpSelLeft, 34, 77, kAirLit),
    el::Icon(kBmpSelRight, 58, 76, kAirLitHidden),
};
const RectDef kSelRects[] = {
    rect::Click(25, 60, 32, 48, CursorHand, MouseLeftSingle, click_switch<&air_press_sys_select, kSys1>),
    rect::Click(57, 60, 32, 48, CursorHand, MouseLeftSingle, click_switch<&air_press_sys_select, kSys2>),
};
void FSAPI press_sys_select_update(GaugeHeader*, i32 service, u32);
Gauge<kSelCount, 2> sel_gauge(gauge_air_pressu_syselect, "ketravin air_pressu_syselect_kr60", 114,
                              press_sys_select_update, kSelElements, kSelRects);
void FSAPI press_sys_select_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(sel_gauge.header(), kSelWalk);
    const bool sys1 = air_press_sys_select == kSys1;
    show_if(sel_gauge.el(SelLeverLeft), sys1);
    show_if(sel_gauge.el(SelLeverRight), !sys1);
}

// ---- discharge-valve switches and outflow valves -------------------------------------------------------
enum ValvePos : size_t { Bezel, Overlay, LeverDown, LeverCentre, LeverUp, FwdPointer, AftPointer, kValveCount };
constexpr LightWalk kValveWalk{kAirZone, walk_positions({Overlay, FwdPointer, AftPointer})};
constexpr u8 kSwDown = 0, kSwUp = 1, kSwCentre = 2;  // FWD CLOSED, AFT CLOSED, both open
constexpr u8 kValveOpen = 45;
constexpr i32 kPointerRestY = 65;
enum Valve : size_t { Aft = 0, Fwd = 1 };

u8* const kValves[2] = {air_outflow_pos_s1, air_outflow_pos_s2};
u8* const kDischSwitches[2] = {&air_disch_valve_sw_s1, &air_disch_valve_sw_s2};

// Sliders move up one pixel per step of travel (scale -1).
template <size_t S>
f64 FSAPI outflow_fwd_value(ElementHeader*) {
    return f64(kValves[S][Fwd]);
}
template <size_t S>
f64 FSAPI outflow_aft_value(ElementHeader*) {
    return f64(kValves[S][Aft]);
}

struct ValveLayout {
    i32 switch_x, fwd_x, aft_x, rows_x;
    u32 overlay;
};
constexpr ValveLayout kLayouts[2] = {{18, 64, 82, 0, kBmpValveOverlay1}, {72, 17, 35, 55, kBmpValveOverlay2}};

template <size_t S>
constexpr ElementDef kValveElements[kValveCount] = {
    //       bitmap                x                     y               start flags
    el::Static(kBmpValveBezel,      0,                    0,              kAirLever),
    el::Static(kLayouts[S].overlay, 0,                    0,              kAirLit),
    el::Icon(kBmpLeverDown,         kLayouts[S].switch_x, 48,             kAirLeverHidden),
    el::Icon(kBmpLeverCentre,       kLayouts[S].switch_x, 30,             kAirLever),  // centred at load
    el::Icon(kBmpLeverUp,           kLayouts[S].switch_x, 14,             kAirLeverHidden),
    el::Slider(kBmpValvePointer,    kLayouts[S].fwd_x,    kPointerRestY,  kAirLit, nullptr, outflow_fwd_value<S>)
        .scales(0.0, -1.0),
    el::Slider(kBmpValvePointer,    kLayouts[S].aft_x,    kPointerRestY,  kAirLit, nullptr, outflow_aft_value<S>)
        .scales(0.0, -1.0),
};

template <size_t S, u8 Position>
i32 FSAPI disch_valve_switch_click(MousePoint*, u32) {
    switch_to(*kDischSwitches[S], Position);
    return 0;
}
template <size_t S>
constexpr RectDef kValveRects[3] = {
    //          x                    y   w   h   cursor      events           action
    rect::Click(kLayouts[S].rows_x, 14, 51, 20, CursorHand, MouseLeftSingle, disch_valve_switch_click<S, kSwUp>),
    rect::Click(kLayouts[S].rows_x, 34, 51, 20, CursorHand, MouseLeftSingle, disch_valve_switch_click<S, kSwCentre>),
    rect::Click(kLayouts[S].rows_x, 54, 51, 20, CursorHand, MouseLeftSingle, disch_valve_switch_click<S, kSwDown>),
};

template <size_t S>
void FSAPI outflow_valves_update(GaugeHeader*, i32 service, u32);
using ValveGauge = Gauge<kValveCount, 3>;
ValveGauge valve_gauges[2] = {
    {gauge_air_pvalvepos_s1, "ketravin air_pvalvepos_s1_kr60", 107, outflow_valves_update<0>, kValveElements<0>,
     kValveRects<0>},
    {gauge_air_pvalvepos_s2, "ketravin air_pvalvepos_s2_kr60", 107, outflow_valves_update<1>, kValveElements<1>,
     kValveRects<1>},
};

// Controllers active airborne (exactly 0.0 on the ground token) with power; frozen without it.
void controller_activity() {
    const f64 ground = tok_read(tok_on_ground);
    if (dc_ess_powered != 1) return;
    const u8 active = ground == 0.0 ? 1 : 0;
    air_press_ctl_active[0] = air_press_ctl_active[1] = active;
}
void open_one(u8& v) { v = v < kValveOpen ? u8(v + 1) : kValveOpen; }
void close_one(u8& v) { v = v > 0 ? u8(v - 1) : 0; }

template <size_t S>
void FSAPI outflow_valves_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    ValveGauge& g = valve_gauges[S];
    light_walk(g.header(), kValveWalk);
    const u8 sw = *kDischSwitches[S];
    show_one_of(g, LeverDown, 3, sw == kSwDown ? 0 : sw == kSwUp ? 2 : 1);
    if (S == 0) controller_activity();
    // One step each, the forward valve first. The switch closes the valve its legend names.
    u8* v = kValves[S];
    if (air_press_ctl_active[S] != 1) {
        close_one(v[Fwd]);
        close_one(v[Aft]);
        return;
    }
    if (sw == kSwDown)
        close_one(v[Fwd]);
    else
        open_one(v[Fwd]);
    if (sw == kSwUp)
        close_one(v[Aft]);
    else
        open_one(v[Aft]);
}

// ---- cabin altimeter: the sample and the dump decision -----------------------------------------------
enum CabAltPos : size_t { CabAltFace, CabAltNeedle, kCabAltCount };
constexpr LightWalk kCabAltWalk{kAirZone, walk_range(CabAltFace, CabAltNeedle)};
f64 FSAPI cabin_alt_needle(ElementHeader*) { return f64(air_cabin_alt_ft); }

// One revolution per 16000 ft, a point every quarter turn, three revolutions.
NonlinearityPoint cabalt_points[13] = {
    {46, 0, 0, 0},      {92, 46, 4000, 0},  {46, 92, 8000, 0},  {0, 46, 12000, 0}, {46, 0, 16000, 0},
    {92, 46, 20000, 0}, {46, 92, 24000, 0}, {0, 46, 28000, 0},  {46, 0, 32000, 0}, {92, 46, 36000, 0},
    {46, 92, 40000, 0}, {0, 46, 44000, 0},  {46, 0, 48000, 0},
};
const ElementDef kCabAltElements[kCabAltCount] = {
    el::Static(kBmpCabAltFace, 0, 0, kAirLit),
    el::Needle(kBmpCabAltNeedle, 46, 46, kAirLit, cabin_alt_needle).pivot(4, 4).table(cabalt_points),
};
void FSAPI cabin_altitude_update(GaugeHeader*, i32 service, u32);
Gauge<kCabAltCount, 2> cabalt_gauge(gauge_air_pressu_cabalt, "ketravin air_pressu_cabalt_kr60", 92,
                                    cabin_altitude_update, kCabAltElements, kNoClicks);

void FSAPI cabin_altitude_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(cabalt_gauge.header(), kCabAltWalk);
    const f64 exit3 = tok_read(tok_exit3_open);
    const f64 exit1 = tok_read(tok_exit1_open);
    const f64 exit2 = tok_read(tok_exit2_open);
    const f64 host_dump = tok_read(tok_press_dump);
    // The sample: with power only; a reading that is no finite number keeps the last one.
    if (dc_ess_powered == 1) {
        const f64 cabin = tok_read(tok_cabin_altitude);
        if (std::isfinite(cabin)) air_cabin_alt_ft = air_f32(cabin, air_cabin_alt_ft);
    }
    // Dump with no controller active or any door value off 0, however small; the toggle goes out
    // on every frame the host's switch disagrees, and never for a switch that is neither 0 nor 1.
    const bool dump = air_press_ctl_active[0] + air_press_ctl_active[1] == 0 ||
                      exit3 + exit1 + exit2 + doors_exit_open_pct != 0.0;
    air_press_dump = dump ? 1 : 0;
    if (host_dump == (dump ? 0.0 : 1.0)) svc::send_key_event(key_press_dump_toggle, 0);
}
}  // namespace
