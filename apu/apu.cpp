// APU section of the flight engineer's panel: MASTER SWITCH, FUEL PUMP, CONTRL SYS, START, the APU
// FIRE handle with its AGENT PRESS flag and the FLAP, FAULT, FUEL PRES LO, OIL and STBY ON lamps.
// Its callback also runs the APU itself: start, speeds, EGT, oil, intake flap, fire and caution.
// Reads: dc_ess_powered, fail_active, light_zone, annunciator_bright, aice_wing_active,
//        eng_start_master, fire_apu_latched
// Writes: apu_* (apu_state.def), warn_apu_fault, elec_gen_sw[2], air_apu_bleed, fire_apu_latched,
//         warn_fire[2]
#include "air/state.h"
#include "apu/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "sim_control/state.h"
#include "warnings/state.h"
#include "apu/apu_bounds.h"
#include "module/gauge.h"
#include "module/deadline.h"
#include "module/keys.h"
#include "module/lighting.h"
#include "module/switches.h"

GaugeHeader gauge_apu;

namespace {
enum Pos {
    SizeReference,
    HandlePulledPicture,
    Legend,
    MasterDown,
    MasterUp,
    PumpDown,
    PumpUp,
    ControlDown,
    ControlCentre,
    ControlUp,
    StartLit,
    HandleLit,
    LampStbyOn,
    LampFuelPresLo,
    LampOil,
    LampFault,
    LampFlap,
    AgentArmed,
    AgentDischarged,
    kElements
};

// CONTRL SYS positions.
constexpr u8 kControlNor = 0;
constexpr u8 kControlStby = 1;
constexpr u8 kControlOvrd = 2;

constexpr u32 kOpt = ImageOption1 | ImageOption2;
constexpr u32 kLamp = ImageHidden | ImageBright | kOpt;

const ElementDef kElementDefs[kElements] = {
    //       bitmap  x    y    flags
    el::Static(393,  0,   0,   ImageHidden),                   // size reference, never shown
    el::Icon(5292,   0,   0,   ImageHidden | kOpt),            // panel with the fire handle pulled
    el::Icon(393,    0,   0,   ImageLuminous | kOpt),          // legends
    el::Icon(294,    86,  213, kOpt),                          // MASTER down
    el::Icon(297,    86,  197, ImageHidden | kOpt),            // MASTER up
    el::Icon(294,    36,  213, kOpt),                          // FUEL PUMP down (AUTO)
    el::Icon(297,    36,  197, ImageHidden | kOpt),            // FUEL PUMP up (ON)
    el::Icon(284,    82,  158, ImageHidden | kOpt),            // CONTRL SYS down (STBY)
    el::Icon(281,    83,  150, kOpt),                          // CONTRL SYS centred (NOR)
    el::Icon(288,    83,  136, ImageHidden | kOpt),            // CONTRL SYS up (OVRD)
    el::Icon(412,    30,  146, kLamp),                         // START lit
    el::Icon(396,    31,  45,  kLamp),                         // APU FIRE handle lit
    el::Icon(416,    73,  108, kLamp),                         // STBY ON
    el::Icon(406,    73,  87,  kLamp),                         // FUEL PRES LO, never shown
    el::Icon(409,    73,  66,  kLamp),                         // OIL
    el::Icon(400,    73,  45,  kLamp),                         // FAULT
    el::Icon(403,    73,  24,  kLamp),                         // FLAP
    el::Icon(275,    38,  10,  ImageHidden | ImageLuminous | kOpt),  // AGENT PRESS armed
    el::Icon(278,    38,  10,  ImageHidden | ImageLuminous | kOpt),  // AGENT PRESS discharged
};

constexpr LightWalk kWalk{4, walk_positions({Legend, AgentArmed, AgentDischarged})};

// ---- clicks ----------------------------------------------------------------------------------
i32 FSAPI master_down(MousePoint*, u32) {
    if (apu_master_sw != 0) svc::trigger_key_event(key_apu_off, 0);
    switch_to(apu_master_sw, u8(0));
    return 0;
}
// A push-button that latches a request: silent.
i32 FSAPI start_push(MousePoint*, u32) {
    if (apu_master_sw == 1 && dc_ess_powered == 1) {
        apu_starting = 1;
        svc::trigger_key_event(key_apu_starter, 0);
    }
    return 0;
}
i32 FSAPI fire_handle_pull(MousePoint*, u32) {
    apu_fire_handle_pulled = 1;
    return 0;
}

const RectDef kRects[] = {
    //          x   y    w   h   cursor           events            action
    rect::Click(75, 192, 30, 20, CursorHand,      MouseLeftSingle,  click_switch<&apu_master_sw, 1>),
    rect::Click(75, 212, 30, 20, CursorHand,      MouseLeftSingle,  master_down),
    rect::Click(25, 192, 30, 20, CursorHand,      MouseLeftSingle,  click_switch<&apu_fuel_pump_sw, 1>),
    rect::Click(25, 212, 30, 20, CursorHand,      MouseLeftSingle,  click_switch<&apu_fuel_pump_sw, 0>),
    rect::Click(75, 133, 30, 17, CursorUpArrow,   MouseLeftSingle,  click_switch<&apu_control_sys_sw, kControlOvrd>),
    rect::Click(75, 150, 30, 17, CursorHand,      MouseLeftSingle,  click_switch<&apu_control_sys_sw, kControlNor>),
    rect::Click(75, 167, 30, 17, CursorDownArrow, MouseLeftSingle,  click_switch<&apu_control_sys_sw, kControlStby>),
    rect::Click(23, 139, 39, 39, CursorHand,      MouseLeftSingle,  start_push),
    rect::Click(31, 62,  29, 43, CursorHand,      MouseRightSingle, fire_handle_pull),
};

// ---- the model -------------------------------------------------------------------------------
constexpr f64 kFeetPerMetre = 3.281;
constexpr f64 kStartCeilingFt = 25000.0;   // starts and the starting flag end above this
constexpr f64 kRunCeilingFt = 30000.0;     // the APU stops above this
constexpr f64 kLowAltitudeFt = 7000.0;     // light load below this
constexpr u32 kOilStartMin = 600;          // starts are refused below this
constexpr f64 kOnSpeed = 100.0;

// Start sequence: slow light-off, then the fast phase, then the last creep to speed.
constexpr f64 kLightOffEnd = 50.0;
constexpr f64 kFastPhaseEnd = 96.0;
constexpr f64 kLightOffN2Step = 0.2;
constexpr f64 kLightOffN1Step = 0.05;
constexpr f64 kFastN2Divisor = 10.0;
constexpr f64 kFastN1Divisor = 2.0;
constexpr f64 kFinalN2Step = 0.2;
// Above the start ceiling the start only creeps, and gives up at this speed.
constexpr f64 kCreepGiveUp = 35.0;
constexpr f64 kCreepN2Step = 0.2;
constexpr f64 kCreepN1Step = 0.01;

constexpr f64 kSpoolDownSpeedStep = 0.4;
constexpr f64 kSpoolDownEgtStep = 0.1;

// EGT settles here once the speed is past kEgtSettleSpeed.
constexpr f64 kEgtSettled = 540.0;
constexpr f64 kEgtSettleSpeed = 99.0;
constexpr f64 kEgtRiseCold = 0.6;
constexpr f64 kEgtRiseHot = 0.2;
constexpr f64 kEgtFallHot = 0.1;

// Second speed: targets by demand.
constexpr f64 kN1HighDemand = 97.0;
constexpr f64 kN1Standby = 89.0;
constexpr f64 kN1LowAltitude = 63.0;
constexpr f64 kN1Altitude = 89.0;
constexpr f64 kN1HighDemandFall = 0.1;
constexpr f64 kN1Fall = 0.4;
constexpr f64 kN1Rise = 0.2;
constexpr f64 kN1Band = 1.0;              // within target .. target + band: lands on target
constexpr f64 kEnginesStoppedN1 = 10.0;   // wing anti-ice loads the APU while engines are below

constexpr u32 kOilPeriodS = 60;           // one hundredth of a quart per minute of running
constexpr u32 kFlapOpeningTicks = 90;

constexpr u8 kDoorClosed = 0;
constexpr u8 kDoorMoving = 1;
constexpr u8 kDoorOpen = 2;

constexpr size_t kApuFireWarning = 2;  // warn_fire index
constexpr size_t kApuGen = 2;          // elec_gen_sw index

// The second-speed step: one move of apu_n1_pct toward the demand's target.
void second_speed_step(f64 altitude_ft, f64 engines_n1) {
    f64 target = kN1Altitude, fall = kN1Fall;
    if (apu_control_sys_sw == kControlOvrd || eng_start_master != 0 ||
        (aice_wing_active == 1 && engines_n1 < kEnginesStoppedN1)) {
        target = kN1HighDemand;
        fall = kN1HighDemandFall;
    } else if (apu_control_sys_sw == kControlStby) {
        target = kN1Standby;
    } else if (altitude_ft < kLowAltitudeFt) {
        target = kN1LowAltitude;
    }
    if (apu_n1_pct < target)
        apu_n1_pct += kN1Rise;
    else if (apu_n1_pct >= target + kN1Band)
        apu_n1_pct -= fall;
    else
        apu_n1_pct = target;
}

void spool_down(f64& v, f64 step) {
    if (v > 0.0)
        v -= step;
    else
        v = 0.0;
}

void FSAPI apu_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_apu, "ketravin apu_kr60", 119, apu_update,
                                                         kElementDefs, kRects);

void fire_handle_step() {
    show_if(gauge.el(HandlePulledPicture), apu_fire_handle_pulled == 1);
    if (apu_fire_handle_pulled != 1) return;
    apu_master_sw = 0;
    elec_gen_sw[kApuGen] = 0;
    air_apu_bleed = 0;
    if (dc_ess_powered != 1) return;
    apu_fire_agent_armed = 0;
    if (tok_read(tok_apu_fire) == 1.0) {
        svc::send_key_event(key_apu_fire_event, 1);
    } else {
        fire_apu_latched = 0;
        warn_fire[kApuFireWarning] = 0;
    }
}

void lever_images() {
    show_if(gauge.el(MasterDown), apu_master_sw != 1);
    show_if(gauge.el(MasterUp), apu_master_sw == 1);
    show_if(gauge.el(PumpDown), apu_fuel_pump_sw != 1);
    show_if(gauge.el(PumpUp), apu_fuel_pump_sw == 1);
    show_if(gauge.el(ControlDown), apu_control_sys_sw == kControlStby);
    show_if(gauge.el(ControlCentre), apu_control_sys_sw == kControlNor);
    show_if(gauge.el(ControlUp), apu_control_sys_sw == kControlOvrd);
}

void start_sequence(f64 altitude_ft, f64 engines_n1) {
    const bool can_start = apu_fire_agent_armed == 1 && apu_oil_qty >= kOilStartMin;
    if (apu_starting == 1 && can_start && altitude_ft <= kStartCeilingFt && fail_active[0] == 0) {
        if (apu_n2_pct < kLightOffEnd) {
            apu_n2_pct += kLightOffN2Step;
            apu_n1_pct += kLightOffN1Step;
        } else if (apu_n2_pct <= kFastPhaseEnd) {
            apu_n2_pct += apu_n2_pct / kFastN2Divisor;
            apu_n1_pct += apu_n1_pct / kFastN1Divisor;
        } else {
            if (apu_n2_pct < kOnSpeed)
                apu_n2_pct += kFinalN2Step;
            else
                apu_n2_pct = kOnSpeed;
            second_speed_step(altitude_ft, engines_n1);
        }
    } else if (apu_starting == 1 && can_start && altitude_ft > kStartCeilingFt) {
        if (apu_n2_pct < kCreepGiveUp) {
            apu_n2_pct += kCreepN2Step;
            apu_n1_pct += kCreepN1Step;
        } else {
            apu_starting = 0;
        }
    } else if (apu_oil_qty < kOilStartMin) {
        apu_starting = 0;
    }
}

void egt_step() {
    if (apu_starting != 1 && apu_running != 1) return;
    const bool hot = apu_egt_deg > kEgtSettled;
    const bool slow = apu_n2_pct < kEgtSettleSpeed;
    if (!hot && slow)
        apu_egt_deg += kEgtRiseCold;
    else if (hot && slow)
        apu_egt_deg += kEgtRiseHot;
    else if (hot)
        apu_egt_deg -= kEgtFallHot;
    else
        apu_egt_deg = kEgtSettled;
}

void oil_step() {
    const f64 now = tok_read(tok_sim_time_s);
    if (apu_running == 1) {
        if (apu_oil_timer_armed == 0) {
            apu_oil_deadline = deadline_arm(now, kOilPeriodS);
            apu_oil_timer_armed = 1;
        }
        if (apu_oil_timer_armed == 1 && deadline_reached(apu_oil_deadline, now, kOilPeriodS)) {
            if (apu_oil_qty > 0) --apu_oil_qty;
            apu_oil_timer_armed = 0;
        }
    }
    apu_bound_oil(apu_oil_qty);
}

void intake_flap_step() {
    const f64 nose = tok_read(tok_gear_nose_pos);
    const f64 handle = tok_read(tok_gear_handle);
    const f64 tick = tok_read(tok_tick18);
    if (nose != handle && (apu_running == 1 || apu_starting == 1)) {
        apu_door_state = kDoorMoving;
    } else if (apu_master_sw == 1) {
        if (apu_door_timer_armed == 0 && apu_door_state == kDoorClosed) {
            apu_door_deadline = deadline_arm(tick, kFlapOpeningTicks);
            apu_door_timer_armed = 1;
        }
        if (apu_door_timer_armed == 1) {
            if (!deadline_reached(apu_door_deadline, tick, kFlapOpeningTicks)) {
                apu_door_state = kDoorMoving;
            } else {
                apu_door_state = kDoorOpen;
                apu_door_deadline = 0;
                apu_door_timer_armed = 0;
            }
        }
    } else {
        apu_door_state = kDoorClosed;  // the opening timer runs on
    }
}

void lamps() {
    const bool lit = dc_ess_powered == 1 && apu_fire_handle_pulled == 0;
    const bool light_off = apu_starting == 1 && apu_n2_pct < kLightOffEnd;
    show_if(gauge.el(StartLit), lit && light_off);
    show_if(gauge.el(LampOil), lit && light_off);
    show_if(gauge.el(LampStbyOn), lit && apu_control_sys_sw == kControlStby && apu_running == 1);
    show_if(gauge.el(LampFlap), lit && apu_door_state == kDoorMoving);
    const bool fault = lit && fail_active[0] != 0;
    show_if(gauge.el(LampFault), fault);
    if (!fault)
        warn_apu_fault = 0;
    else if (fail_active[0] == 1 && apu_master_sw == 1)
        warn_apu_fault = 1;
    show_if(gauge.el(HandleLit), lit && fire_apu_latched == 1);
    set_hidden(gauge.el(LampFuelPresLo), true);
}

void agent_flag() {
    const bool powered = dc_ess_powered == 1;
    show_if(gauge.el(AgentArmed), powered && apu_fire_agent_armed == 1);
    show_if(gauge.el(AgentDischarged), powered && apu_fire_agent_armed != 1);
}

void FSAPI apu_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge_apu, kWalk);   // 1
    fire_handle_step();             // 2
    lever_images();                 // 3
    if (apu_master_sw == 0) {       // 4
        apu_starting = 0;
        apu_running = 0;
    }
    // 5: spool-down
    if ((apu_running == 0 && apu_starting == 0) || fail_active[0] != 0) {
        spool_down(apu_n2_pct, kSpoolDownSpeedStep);
        spool_down(apu_n1_pct, kSpoolDownSpeedStep);
        spool_down(apu_egt_deg, kSpoolDownEgtStep);
    }
    // 6: the start uses the engines' N1 as last refreshed (step 9 of the previous frame)
    const f64 altitude_ft = tok_read(tok_altitude_m) * kFeetPerMetre;
    start_sequence(altitude_ft, token_f64(tok_eng1_n1) + token_f64(tok_eng2_n1));
    // 7
    apu_running = apu_n2_pct >= kOnSpeed && altitude_ft <= kRunCeilingFt && apu_oil_qty > 0 &&
                          fail_active[0] == 0
                      ? 1
                      : 0;
    egt_step();  // 8
    // 9: running speed
    const f64 engines_n1 = tok_read(tok_eng1_n1) + tok_read(tok_eng2_n1);
    if (apu_running == 1 && fail_active[0] == 0) second_speed_step(altitude_ft, engines_n1);
    oil_step();          // 10
    intake_flap_step();  // 11
    lamps();             // 12
    agent_flag();        // 13
    // The dials' ranges bound the model here too, not only while a meter happens to be drawn:
    // otherwise a hidden meter lets the second speed overshoot to 213 % during a start and a
    // failed APU's EGT climb for ever.
    apu_bound(apu_n2_pct, kApuSpeedMin, kApuSpeedMax);
    apu_bound(apu_n1_pct, kApuSpeedMin, kApuSpeedMax);
    apu_bound(apu_egt_deg, kApuEgtMin, kApuEgtMax);
}
}  // namespace
