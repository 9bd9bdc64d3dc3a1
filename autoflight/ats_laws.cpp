// Autothrottle thrust laws and go-around. The N1 law steps both throttles by bands of the N1
// computer's error (one table for take-off and go-around thrust, one for the rest), a paced step
// held for a second before it is re-based on the host's axis; the speed path leaves speed keeping
// to the host's airspeed hold, pulls back past the N1 target and retards in the LAND flare. The
// go-around climbs the autopilot away while the N1 law runs in GA.
// Reads: eng_n1_target_error, eng_n1_target_selected, eng_n1_mode, inst_radio_alt_ft, inst_vs_fpm,
//        inst_flap_detent, ats_spd_mode, ats_arm_state, ats_speed_error_kt, ap_approach_state,
//        tok_tick18, tok_on_ground, tok_ap_speed_hold, tok_eng1/2_throttle_axis,
//        tok_eng1/2_throttle_lever, tok_eng1_n1, tok_ap_engaged, tok_flaps_left_pos,
//        tok_adi_pitch_deg, tok_radio_height_m
// Writes: ats_throttle1_cmd, ats_throttle2_cmd, ats_step_latch, ats_step_due_tick, ats_ga_started,
//         ats_n1_mode, ap_flare_height_ft, ap_go_around_mode, ap_pitch_hold_engaged, ap_vs_command,
//         ap_approach_state and the mode bytes, ap_cmd_engaged, eng_n1_mode
#include <limits>

#include "autoflight/ap_keys.h"
#include "autoflight/autopilot.h"
#include "autoflight/autothrottle.h"
#include "autoflight/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "instruments/state.h"
#include "module/deadline.h"
#include "module/numeric.h"

i32 ats_throttle_command(f64 axis_plus_step) {
    const i32 v = sat_i32(axis_plus_step, ats_throttle1_cmd);  // a sum of numbers: the keep is never taken
    return v < 0 ? 0 : v > kThrottleAxisMax ? kThrottleAxisMax : v;
}

namespace {
enum class Band : u8 { Paced, Dead, EveryFrame, LeverAdvance };
enum class Edge : u8 { Below, AtOrBelow };  // e < upper, or e <= upper

// One row: e belongs to the first row whose upper bound it does not pass.
struct BandRow {
    f64 upper;
    Edge edge;
    Band kind;
    i32 step;
    bool from_eng2 = false;  // the paced step is based on engine 2's axis
};
constexpr f64 kTop = std::numeric_limits<f64>::infinity();  // the last row takes everything above

// N1 computer modes 0, 4, 5, 6.
constexpr BandRow kClimbTable[12] = {
    {-10.0, Edge::Below, Band::Paced, 200},
    {-5.0, Edge::Below, Band::Paced, 150},
    {-1.0, Edge::AtOrBelow, Band::Paced, 50},
    {-0.5, Edge::AtOrBelow, Band::Paced, 20},
    {-0.1, Edge::AtOrBelow, Band::Paced, 5},
    {-0.05, Edge::AtOrBelow, Band::Paced, 1},
    {0.05, Edge::Below, Band::Dead, 0},
    {0.1, Edge::Below, Band::Paced, -1},
    {0.5, Edge::Below, Band::Paced, -5},
    {3.0, Edge::AtOrBelow, Band::Paced, -50},
    {10.0, Edge::AtOrBelow, Band::Paced, -150},
    {kTop, Edge::AtOrBelow, Band::EveryFrame, -10},
};
// N1 computer modes 1, 2, 3 (take-off, flexible take-off, go-around).
constexpr BandRow kTakeoffTable[12] = {
    {-15.0, Edge::Below, Band::LeverAdvance, 150},
    {-5.0, Edge::Below, Band::Paced, 50, true},
    {-2.0, Edge::AtOrBelow, Band::Paced, 15},
    {-1.0, Edge::AtOrBelow, Band::Paced, 3},
    {-0.5, Edge::AtOrBelow, Band::Paced, 2},
    {-0.15, Edge::AtOrBelow, Band::Paced, 1},
    {0.15, Edge::Below, Band::Dead, 0},
    {0.5, Edge::Below, Band::Paced, -100},
    {1.0, Edge::Below, Band::Paced, -200},
    {2.0, Edge::AtOrBelow, Band::Paced, -300},
    {5.0, Edge::AtOrBelow, Band::Paced, -400},
    {kTop, Edge::AtOrBelow, Band::EveryFrame, -500},
};

// A NaN error matches no bound: it falls to the dead band, which sends nothing.
const BandRow* find_band(const BandRow (&table)[12], f64 e) {
    for (const BandRow& r : table)
        if (r.edge == Edge::Below ? e < r.upper : e <= r.upper) return &r;
    return nullptr;
}

void set_commands(i32 v) { ats_throttle1_cmd = ats_throttle2_cmd = v; }
void send_commands() {
    ap::send(key_throttle1_set, ats_throttle1_cmd);
    ap::send(key_throttle2_set, ats_throttle2_cmd);
}
void speed_hold_off_if_on() {
    if (ap::flag_on(tok_ap_speed_hold)) ap::send(key_ap_speed_hold_off);
}

// ---- Paced step: a command from the present axis, re-sent until a second has passed.
constexpr u32 kStepTicks = 18;

// Without any reading of the base axis there is nothing to step from: nothing is sent.
void paced(bool have_base, f64 base, i32 step, f64 tick) {
    if (!have_base) return;
    if (ats_step_latch == 0) {
        set_commands(ats_throttle_command(base + step));
        ats_step_due_tick = deadline_arm(tick, kStepTicks);
        ats_step_latch = 1;
    }
    if (ats_step_latch == 1 && deadline_reached(ats_step_due_tick, tick, kStepTicks)) ats_step_latch = 0;
    send_commands();
}

constexpr f64 kLeverAdvanceBelow = 0.9;
constexpr f64 kExtraEventsFromPct = 20.0;
constexpr u8 kN1ComputerGa = 3;

void n1_law(const TokenWatch& watch1, const TokenWatch& watch2) {
    speed_hold_off_if_on();
    const bool takeoff = eng_n1_mode >= 1 && eng_n1_mode <= 3;
    if (eng_n1_mode == kN1ComputerGa) {
        ap_go_around_mode = 1;
        ap_pitch_hold_engaged = 0;
    }
    const f64 tick = tok_read(tok_tick18);
    // An axis that is no number this frame steps from the host's latest number for it.
    f64 axis1 = 0.0, axis2 = 0.0;
    const bool have_axis1 = watch1.latest(axis1);
    const bool have_axis2 = watch2.latest(axis2);
    const f64 lever1 = tok_read(tok_eng1_throttle_lever);
    tok_refresh(tok_eng2_throttle_lever);
    const f64 e = eng_n1_target_error;
    const BandRow* row = find_band(takeoff ? kTakeoffTable : kClimbTable, e);
    switch (row ? row->kind : Band::Dead) {
        case Band::Paced:
            if (row->from_eng2)
                paced(have_axis2, axis2, row->step, tick);
            else
                paced(have_axis1, axis1, row->step, tick);
            break;
        case Band::Dead:
            ats_step_latch = 0;
            break;
        case Band::EveryFrame:
            if (!have_axis1) break;
            set_commands(ats_throttle_command(axis1 + row->step));
            send_commands();
            if (!takeoff && e >= kExtraEventsFromPct) {
                ap::send(key_ats_event_1044b);
                ap::send(key_ats_event_1044c);
            }
            break;
        case Band::LeverAdvance:
            if (lever1 <= kLeverAdvanceBelow) {
                ap::send(key_throttle1_event_101ad);
                ap::send(key_throttle2_event_101b2);
                if (have_axis1) set_commands(ats_throttle_command(axis1 + row->step));
            }
            break;
    }
}

// ---- Speed path
constexpr f64 kN1LimitMarginPct = 0.5;
constexpr i32 kN1LimitPull = 10, kRetardPull = 50;
constexpr f64 kFlareHeightFt = 60.0;
constexpr u8 kLand = 30;
constexpr f64 kLeverHoldFrom = 0.8;
constexpr f64 kSlowForN1LawKt = -15.0;

void speed_path(const TokenWatch& watch1) {
    if (ats_spd_mode == 1) {
        if (tok_read(tok_eng1_n1) > eng_n1_target_selected + kN1LimitMarginPct) {
            speed_hold_off_if_on();
            f64 axis1 = 0.0;
            if (watch1.latest(axis1)) {
                set_commands(ats_throttle_command(axis1 - kN1LimitPull));
                send_commands();
            }
        } else {
            tok_refresh(tok_ap_speed_hold);
            ap_flare_height_ft = kFlareHeightFt;
            const bool hold_off = token_f64(tok_ap_speed_hold) == 0.0;
            if (inst_radio_alt_ft > kFlareHeightFt) {
                if (hold_off) ap::send(key_ap_speed_hold_on);
            } else if (ap_approach_state >= kLand) {
                if (ap::flag_off(tok_on_ground) && ap_go_around_mode != 1) {  // retard
                    f64 axis1 = 0.0;
                    const bool have_axis1 = watch1.latest(axis1);
                    ap::send(key_ap_speed_hold_off);
                    if (have_axis1) {
                        set_commands(ats_throttle_command(std::trunc(axis1) - kRetardPull));
                        send_commands();
                    }
                }
            } else {
                // A lever that is no number is neither below nor at 0.8: nothing is sent.
                const f64 l1 = tok_read(tok_eng1_throttle_lever), l2 = tok_read(tok_eng2_throttle_lever);
                if (l1 < kLeverHoldFrom || l2 < kLeverHoldFrom)
                    speed_hold_off_if_on();
                else if (l1 >= kLeverHoldFrom && l2 >= kLeverHoldFrom && hold_off)
                    ap::send(key_ap_speed_hold_on);
            }
        }
    } else {
        speed_hold_off_if_on();
    }
    // A later N1 law starts from where the throttle stands.
    f64 axis1 = 0.0;
    if (tok_number(tok_eng1_throttle_axis, axis1) && ats_arm_state == 1) set_commands(ats_throttle_command(axis1));
    ap_go_around_mode = 0;
    ats_ga_started = 0;
}
}  // namespace

void ats_thrust_law(const TokenWatch& axis1, const TokenWatch& axis2) {
    if (ats_n1_mode == 1 || (ats_spd_mode == 1 && ats_speed_error_kt <= kSlowForN1LawKt))
        n1_law(axis1, axis2);
    else
        speed_path(axis1);
}

// ---- Go-around
namespace {
constexpr i32 kVsSinking = 10, kVsLevelOff = 500, kVsClimb = 1500, kVsSteep = 2800, kVsSteepest = 3500;
constexpr i32 kSinkBelowFpm = -500, kClimb2800From = 1200, kClimb3500From = 2500;
constexpr i32 kAltTargetClimb = 60000;
constexpr f64 kPitchFloorDeg = -12.0;
constexpr f64 kFeetPerMetre = 3.281, kSingleCmdAboveFt = 700.0;

void climb_vertical_speed(const TokenWatch& vertical_speed) {
    const bool flaps_out = tok_read(tok_flaps_left_pos) > f64(inst_flap_detent[1]);
    const i32 v = ap::vs_fpm(vertical_speed);
    i32 vs;
    if (v < kSinkBelowFpm)
        vs = kVsSinking;
    else if (v < 0)
        vs = kVsLevelOff;
    else if (flaps_out || v < kClimb2800From)
        vs = kVsClimb;
    else if (v < kClimb3500From)
        vs = kVsSteep;
    else
        vs = kVsSteepest;
    ap_vs_command = vs;
}

void host_climb() {
    if (!ap::flag_on(tok_ap_engaged)) return;
    ap::send(key_ap_event_101f3, kAltTargetClimb);
    if (tok_read(tok_adi_pitch_deg) > kPitchFloorDeg) ap::send(key_ap_vs_set, ap_vs_command);
}
}  // namespace

void ats_go_around(const TokenWatch& vertical_speed) {
    if (ats_ga_started == 1 && ap_go_around_mode == 1) {  // 1: running
        const int modes = ap_hdg_select_mode + ap_alt_mode + ap_ias_mode + ap_vl_mode;
        if (modes >= 1 || ats_n1_mode == 0 || eng_n1_mode == 0) {
            ap_go_around_mode = ats_n1_mode = eng_n1_mode = 0;
            if (ap_cmd_engaged > 1) ap_cmd_engaged = 1;
        } else {
            climb_vertical_speed(vertical_speed);
            host_climb();
        }
    }
    if (ap_go_around_mode == 1 && ats_ga_started == 0) {  // 2: first frame
        climb_vertical_speed(vertical_speed);
        host_climb();
        ap_approach_state = ap_hdg_select_mode = ap_alt_mode = ap_ias_mode = ap_vl_mode = ap_turb_mode = 0;
        ats_ga_started = 1;
    }
    // 3: a dual autopilot flies the climb-out on one side.
    if (ap_go_around_mode == 1 && ap_cmd_engaged > 1 &&
        tok_read(tok_radio_height_m) * kFeetPerMetre > kSingleCmdAboveFt)
        ap_cmd_engaged = 1;
}
