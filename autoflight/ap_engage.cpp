// Autopilot engagement and host drive: each frame re-validates the flight-director and CMD
// channels, derives the flight director's mode bytes, keeps the host autopilot's master and hold
// flags in step with the panel's modes, drops everything on an instrument failure, and keeps NAV.
// Reads: fctl_yaw_damper_count, fctl_pitch_trim_count, elec_ac_bus1/2_powered, dc_ess_powered,
//        dc_normal_powered, elec_ess_equipment_level, hyd_avail, ins1/2_status,
//        inst_adc1/2_powered, inst_adc1/2_ok, inst_vs_fpm, gps_plan_active, fd_vl_captured,
//        fd_gs_capture_state, host tokens 103..114, 60, 65, 79, 107, 276, 282, 288, 313, 318, 792, 848
// Writes: ap_fd_engaged, ap_cmd_engaged, the levers, ap_sim_ap_latched, the mode bytes,
//         fd_lateral_mode, fd_vertical_mode, fd_pitch_hold, ap_cmd_active, ap_ias_mode_seen,
//         ap_trim_follow_state, ap_trim_axis_base, ap_rudder_state, ap_heading_target
#include "air/state.h"
#include "autoflight/ap_keys.h"
#include "autoflight/autopilot.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "instruments/state.h"
#include "instruments/vertical_speed.h"
#include "module/keys.h"
#include "module/numeric.h"
#include "module/services.h"
#include "navigation/state.h"
#include "systems/systems_keys.h"

namespace ap {
// A signed value goes out as its two's-complement bits, as the host reads it back.
void send(u32 key, i32 value) { svc::send_key_event(key, u32(value)); }
void trigger(u32 key, i32 value) { svc::trigger_key_event(key, u32(value)); }

constexpr u32 kLocBit = 0x80, kGsBit = 0x40;
bool nav1_glide_slope() {
    tok_refresh(tok_nav1_code);
    return mask_test(tok_nav1_code, kGsBit) != 0;
}
bool nav1_localizer() {
    tok_refresh(tok_nav1_code);
    return mask_test(tok_nav1_code, kLocBit) != 0;
}
bool nav1_signal() { return tok_read(tok_nav1_signal) != 0.0; }
bool failed(TokenVar& t) {
    tok_refresh(t);
    return token_i32(t) == 1;
}
i32 vs_fpm(const TokenWatch& vs) {
    f64 latest = 0.0;
    if (tok_is_finite(tok_vertical_speed) || !vs.latest(latest)) return inst_vs_fpm;
    return vertical_speed_fpm(latest);
}

PanelWatch panel_watch;
void PanelWatch::watch() {
    trim_axis.watch();
    vertical_speed.watch();
    elevator.watch();
    ias.watch();
}
void PanelWatch::forget() {
    trim_axis.forget();
    vertical_speed.forget();
    elevator.forget();
    ias.forget();
}

bool heading_key_value(i64 deg, i32& out) {
    constexpr i64 kFullTurn = 360;
    if (deg < 0 || deg > kFullTurn) return false;
    out = i32(deg % kFullTurn);
    return true;
}
void send_heading(i64 deg) {
    i32 value = 0;
    if (heading_key_value(deg, value)) send(key_ap_heading_set, value);
}
}  // namespace ap

namespace {
constexpr i32 kBankLimit = 55;  // engagement needs -55 < bank < 55
constexpr u8 kInsNavigate = 3;
constexpr size_t kGreen = 1, kYellow = 2;
constexpr u8 kLand = 30, kLandDual = 40;

void rudder_to_centring() {
    if (ap_rudder_state == 1) ap_rudder_state = 2;
}
void release_if_on(TokenVar& flag, u32 key) {
    if (ap::flag_on(flag)) ap::send(key);
}
}  // namespace

bool ap_common_ok() {
    return fctl_yaw_damper_count >= 1 && fctl_pitch_trim_count >= 1 && ap_bank_deg > -kBankLimit &&
           ap_bank_deg < kBankLimit;
}

bool ap_side_ok(int side) {
    if (elec_ess_equipment_level < 1) return false;
    if (side == 1)
        return (elec_ac_bus1_powered == 1 || dc_ess_powered == 1) && hyd_avail[kGreen] == 1 &&
               ins1_status >= kInsNavigate && inst_adc1_powered == 1 && inst_adc1_ok == 1;
    return (elec_ac_bus2_powered == 1 || dc_normal_powered == 1) && hyd_avail[kYellow] == 1 &&
           ins2_status >= kInsNavigate && inst_adc2_powered == 1 && inst_adc2_ok == 1;
}

// ---- Step 2: the flight director's lateral and vertical modes, first match wins.
void ap_fd_mode_bytes() {
    if (ap_bb_mode == 1)
        fd_lateral_mode = 1;
    else if (ap_hdg_select_mode == 1 || ap_nav_mode >= 1)
        fd_lateral_mode = 2;
    else if (ap_vl_mode == 1)
        fd_lateral_mode = 3;
    else if (ap_approach_state != 0)
        fd_lateral_mode = 4;
    else
        fd_lateral_mode = 0;

    const u8 alt = ap_alt_mode;
    if (fd_pitch_hold == 1)
        fd_vertical_mode = 1;
    else if (ap_ias_mode == 1)
        fd_vertical_mode = 2;
    else if (alt == 2 || alt == 25 || alt == 26)
        fd_vertical_mode = 3;
    else if (alt == 3 || alt == 4)
        fd_vertical_mode = 4;
    else if (ap_approach_state != 0)
        fd_vertical_mode = 5;
    else
        fd_vertical_mode = 0;
}

// ---- Step 3: flight-director validity. A side engaged on DC alone drops here (AC bus needed).
void ap_fd_validity() {
    if (!ap_common_ok()) ap_fd_engaged = 0;
    if (!ap_side_ok(1) && ap_fd_engaged == 3) ap_fd_engaged = 2;
    if (!ap_side_ok(2) && ap_fd_engaged == 3) ap_fd_engaged = 1;
    if (ap_fd_engaged == 0) {
        ap_cmd_engaged = ap_bb_mode = ap_ias_mode = 0;
        ap_ias_reference = 0;
        ap_ias_law_engaged = 0;
        ap_nav_mode = ap_vl_mode = ap_hdg_select_mode = ap_alt_mode = ap_approach_state = 0;
        fd_vl_captured = 0;
    }
    if (ap_fd_engaged == 1 && (elec_ac_bus1_powered == 0 || inst_adc1_powered == 0 || inst_adc1_ok == 0 ||
                               ins1_status <= 2))
        ap_fd_engaged = 0;
    if (ap_fd_engaged == 2 && (elec_ac_bus2_powered == 0 || inst_adc2_powered == 0 || inst_adc2_ok == 0 ||
                               ins2_status <= 2))
        ap_fd_engaged = 0;
}

// A released lever takes its channel with it: single CMD off (PITCH hold, TURB and LAND too),
// dual down to the other side.
void ap_cmd_lever_release(int side) {
    (side == 1 ? ap_cmd1_lever : ap_cmd2_lever) = 0;
    if (ap_cmd_engaged == side) {
        ap_cmd_engaged = 0;
        ap_pitch_hold_engaged = 0;
        ap_turb_mode = 0;
        if (ap_approach_state >= kLand) ap_approach_state = 0;
    } else if (ap_cmd_engaged == 3) {
        ap_cmd_engaged = u8(3 - side);
    }
}

// ---- Step 4: CMD levers. A second lever without an approach falls back; dual only in approach;
// the lever of a side that fails drops, as if released.
namespace {
void cmd_lever(int side, u8& lever, u8& other) {
    if (lever != 1) return;
    const u8 own = u8(side), twin = u8(3 - side);
    if (other == 1 && ap_approach_state == 0 && ap_fd_engaged == own) other = 0;
    if (!(ap_common_ok() && ap_side_ok(side))) {
        ap_cmd_lever_release(side);
        return;
    }
    if (ap_cmd_engaged == 0) {
        ap_cmd_engaged = own;
        ap_fd_engaged = own;
        ap_bb_mode = 0;
    } else if (ap_cmd_engaged == twin && ap_approach_state != 0) {
        ap_cmd_engaged = 3;
        ap_fd_engaged = 3;
    }
}
}  // namespace

void ap_cmd_levers() {
    cmd_lever(1, ap_cmd1_lever, ap_cmd2_lever);
    cmd_lever(2, ap_cmd2_lever, ap_cmd1_lever);
}

// ---- Step 5
void ap_cmd_consequences() {
    switch (ap_cmd_engaged) {
        case 1:
        case 2:
            ap_bb_mode = 0;
            if (ap_approach_state >= kLandDual) ap_approach_state = kLand;
            if (ap_approach_state == 0) ap_fd_engaged = ap_cmd_engaged;
            break;
        case 0:
            if (ap_fd_engaged == 3) ap_fd_engaged = 1;
            if (ap_approach_state >= kLand) ap_approach_state = 0;
            ap_turb_mode = 0;
            ap_bank_target_deg = 0;
            ap_pitch_hold_engaged = ap_flare_mode = ap_land_low_phase = ap_land_engaged = 0;
            break;
        case 3: ap_bb_mode = 0; break;
        default: break;
    }
}

// ---- Step 6
void ap_host_fd_flag() {
    const f64 host = tok_read(tok_fd_active);
    if (ap_fd_engaged >= 1 && host == 0.0)
        ap::send(key_fd_active_set, 1);
    else if (ap_fd_engaged == 0 && host > 0.0)
        ap::send(key_fd_active_set, 0);
}

// ---- Step 7
void ap_ias_consequences() {
    const u8 s = ap_approach_state;
    if (ap_ias_mode == 1) {
        ap_ias_mode_seen = 1;
        ats_spd_mode = 0;
        if (s >= kLand && fd_vl_captured != 1) {
            ap_turb_mode = ap_go_around_mode = 0;
        } else if (s >= 10 && s <= 29 && fd_gs_capture_state == 1) {
            ap_approach_state = ap_turb_mode = ap_go_around_mode = 0;
        } else if (s < kLand) {
            ap_turb_mode = ap_go_around_mode = 0;
        }
        return;
    }
    ap_ias_law_engaged = 0;
    if (ap_ias_mode_seen == 1) {
        ap_pitch_hold_engaged = 0;
        ap_ias_mode_seen = 0;
    }
}

// ---- Step 9: on the ground with the host autopilot on, the trim axis walks back to 0.
constexpr u8 kTrimWalking = 11;
constexpr i32 kTrimWalkStep = 5;

void ap_ground_trim_reset() {
    if (!(ap::flag_on(tok_ap_engaged) && ap::flag_on(tok_on_ground))) return;
    if (ap_trim_follow_state != kTrimWalking) {
        // The walk starts from the host's latest axis: until the host has given one, it waits.
        f64 axis = 0.0;
        if (!ap::panel_watch.trim_axis.latest(axis)) return;
        ap_trim_axis_base = sat_i32(axis, ap_trim_axis_base);
        ap_trim_follow_state = kTrimWalking;
    }
    if (ap_trim_axis_base > kTrimWalkStep) {
        ap_trim_axis_base -= kTrimWalkStep;
    } else if (ap_trim_axis_base < -kTrimWalkStep) {
        ap_trim_axis_base += kTrimWalkStep;
    } else {
        ap_trim_axis_base = 0;
        ap_trim_follow_state = 0;
    }
    ap::send(key_trim_axis_set, ap_trim_axis_base);
}

// ---- Step 10
void ap_bb_turb_upkeep() {
    if (ap_bb_mode == 1) {
        if (ap_vl_mode == 1 || ap_cmd_engaged > 0 || ap_fd_engaged == 0)
            ap_bb_mode = 0;
        else
            ap_hdg_select_mode = 0;
    }
    if (ap_turb_mode == 1) {
        if (ap_cmd_engaged == 0) {
            ap_turb_mode = 0;
        } else {
            ap_approach_state = ap_ias_mode = ap_nav_mode = ap_vl_mode = ap_hdg_select_mode = 0;
            ap_alt_mode = ap_bb_mode = 0;
            fd_vl_captured = 0;
        }
    }
}

// ---- Step 11: the host's flags are read once, so a key can go out twice from two blocks.
namespace {
struct HostFlags {
    f64 engaged, alt_hold, hdg_hold, nav_hold, approach_hold, gs_hold, wing_leveler, yaw_damper;
};

HostFlags read_host_flags() {
    HostFlags h;
    h.engaged = tok_read(tok_ap_engaged);
    h.alt_hold = tok_read(tok_ap_alt_hold);
    h.hdg_hold = tok_read(tok_ap_hdg_hold);
    h.nav_hold = tok_read(tok_ap_nav_hold);
    h.approach_hold = tok_read(tok_ap_approach_hold);
    h.gs_hold = tok_read(tok_ap_gs_hold);
    // Read with them, used by the laws later in the frame.
    tok_refresh(tok_bank_deg_b);
    tok_refresh(tok_aileron_pos);
    tok_refresh(tok_ap_hdg_sel_deg);
    tok_refresh(tok_on_ground);
    tok_refresh(tok_vertical_speed);
    h.wing_leveler = tok_read(tok_ap_wing_leveler);
    h.yaw_damper = tok_read(tok_yaw_damper);
    return h;
}

void release(f64 flag, u32 key) {
    if (flag == 1.0) ap::send(key);
}
}  // namespace

void ap_host_master_and_holds() {
    const HostFlags h = read_host_flags();
    if (ap_cmd_engaged > 0) {
        if (h.engaged == 0.0) ap::send(key_ap_master_on);
        ap_cmd_active = 1;
    } else {
        rudder_to_centring();
        release(h.engaged, key_ap_master_off);
        release(h.alt_hold, key_ap_alt_hold_off);
        release(h.wing_leveler, key_ap_wing_leveler_off);
        release(h.yaw_damper, key_yaw_damper_event_b);
        release(h.hdg_hold, key_ap_hdg_hold_event_a);
        ap_cmd_active = 0;
    }
    if (h.engaged == 1.0) ap_sim_ap_latched = 1;
    if (ap_fd_engaged == 0) {
        rudder_to_centring();
        release(h.engaged, key_ap_master_off);
        release(h.wing_leveler, key_ap_wing_leveler_off);
        release(h.yaw_damper, key_yaw_damper_event_b);
        release(h.hdg_hold, key_ap_hdg_hold_event_a);
        if (h.nav_hold == 1.0) {
            ap::send(key_ap_nav_hold_event_b);
            ap::send(key_ap_nav_hold_event_a);
        }
        if (h.approach_hold == 1.0 || h.gs_hold == 1.0) ap::send(key_ap_approach_event);
        release(h.alt_hold, key_ap_alt_hold_off);
        ap_cmd_active = 0;
    }
    if (h.engaged == 0.0 || ap_cmd_engaged == 0) {
        ap_pitch_hold_engaged = 0;
        ap_bank_target_deg = 0;
        ap_roll_hold_engaged = ap_flare_mode = ap_land_low_phase = ap_land_engaged = 0;
        release(h.wing_leveler, key_ap_wing_leveler_off);
        release(h.yaw_damper, key_yaw_damper_event_b);
        release(h.hdg_hold, key_ap_hdg_hold_event_a);
        release(h.alt_hold, key_ap_alt_hold_off);
        // Engaged once and now off: the host disconnected it.
        if (h.engaged == 0.0 && ap_sim_ap_latched == 1) ap_cmd_engaged = ap_cmd1_lever = ap_cmd2_lever = ap_sim_ap_latched = 0;
    }
}

// ---- Step 12
void ap_failure_disengage() {
    const bool attitude = ap::failed(tok_attitude_fail), vacuum = ap::failed(tok_vacuum_fail),
               heading = ap::failed(tok_heading_fail);
    if (attitude || vacuum || heading)
        ap_fd_engaged = ap_cmd_engaged = ap_cmd1_lever = ap_cmd2_lever = ap_sim_ap_latched = 0;
}

// ---- Step 13: ROLL, PITCH and the flight director's own PITCH.
constexpr i32 kClimbForPitchFpm = 800;

void ap_basic_mode_flags() {
    const u8 s = ap_approach_state;
    const bool vertical_mode = ap_ias_mode == 1 || ap_alt_mode >= 2 || ap_go_around_mode == 1;
    if (ap::flag_on(tok_ap_engaged)) {
        if (ap_hdg_select_mode == 0 && ap_vl_mode == 0 && ap_nav_mode == 0 && s == 0)
            ap_roll_mode = 1;
        else if (ap_vl_mode == 1 || s >= 20)
            ap_roll_mode = fd_vl_captured != 1 && ap_hdg_select_mode == 0 ? 1 : 0;
        else
            ap_roll_mode = 0;

        if (vertical_mode)
            ap_pitch_mode = 0;
        else if (ap::vs_fpm(ap::panel_watch.vertical_speed) > kClimbForPitchFpm)
            ap_pitch_mode = 1;
        else if (s >= 20)
            ap_pitch_mode = fd_gs_capture_state == 0 ? 1 : 0;
        else
            ap_pitch_mode = 1;
        return;
    }
    if (!ap::flag_off(tok_ap_engaged)) return;  // neither on nor off: the flags stand
    ap_roll_mode = ap_pitch_mode = 0;
    if (ap_fd_engaged > 0 && ap_cmd_engaged == 0) {
        if (vertical_mode)
            fd_pitch_hold = 0;
        else if (s > 0)
            fd_pitch_hold = fd_gs_capture_state == 0 ? 1 : 0;
        else
            fd_pitch_hold = 1;
    } else {
        fd_pitch_hold = 0;
    }
}

// ---- Step 17: NAV upkeep.
void ap_nav_upkeep() {
    if (ap_nav_mode < 1) return;
    if (ap::flag_on(tok_gps_drives_nav1)) {
        release_if_on(tok_ap_wing_leveler, key_ap_wing_leveler_off);
        if (ap::flag_on(tok_ap_engaged)) {
            tok_refresh(tok_ap_nav_hold);
            ap::send(key_ap_event_10113);
            if (gps_plan_active == 0) ap_nav_mode = 0;
            ap_roll_hold_engaged = 0;
        }
        const bool plan = gps_plan_active != 0;
        const bool keep1 = ap_nav_mode == 1 && ap_fd_engaged == 1 && plan && ins1_status >= kInsNavigate;
        const bool keep2 = ap_nav_mode == 2 && ap_fd_engaged == 2 && plan && ins2_status >= kInsNavigate;
        if (!keep1 && !keep2) ap_nav_mode = 0;
        return;
    }
    ap_nav_mode = 3;
    release_if_on(tok_ap_wing_leveler, key_ap_wing_leveler_off);
    ap_hdg_select_mode = 0;
    // The host's selected heading, whole degrees, folded into 0..359 as the knobs fold the selector.
    f64 bug = 0.0;
    if (tok_number(tok_ap_hdg_sel_deg, bug)) ap_heading_target = ap::fold_degrees(sat_i32(bug, ap_heading_target));
    if (ap::flag_on(tok_ap_engaged)) {
        tok_refresh(tok_ap_hdg_hold);
        ap::send(key_ap_hdg_hold_event_b);
        ap_roll_hold_engaged = 0;
    }
    if (ap_fd_engaged != 1) ap_nav_mode = 0;
}
