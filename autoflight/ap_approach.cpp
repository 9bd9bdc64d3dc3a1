// Approach and land: keeps the approach state in step with the engaged channels and the ILS
// received, couples the host's V/S to the flight director's glide-slope command, and runs the
// LAND phase below 700 ft (LAND engaged, FLARE, the low phase, the ground actions) and the RLOUT
// indication, also shown on a take-off roll.
// Reads: tok_nav1_code, tok_nav1_signal, tok_attitude_fail, tok_vacuum_fail, tok_on_ground,
//        tok_ias_kt, tok_adi_pitch_deg, tok_vertical_speed, tok_radio_height_m, tok_elevator_pos,
//        tok_gps_drives_nav1, tok_ap_nav_hold, tok_ap_wing_leveler, tok_ap_engaged,
//        inst_radio_alt_ft, fd_gs_vs_command, fd_gs_capture_state, fd_vl_captured,
//        fctl_yaw_damper_count, fctl_pitch_trim_count, fctl_pitch_trim_deg, weight_gross_hundreds,
//        ap_flare_height_ft, dc_ess_powered, elec_ac_bus1_powered, elec_ess_equipment_level
// Writes: ap_approach_state, ap_land_engaged, ap_flare_mode, ap_land_low_phase, ap_rollout_mode,
//         ap_rollout_takeoff_state, ap_alt_mode, ats_spd_mode, ap_vs_command, fd_gs_available
#include <cmath>
#include <initializer_list>

#include "autoflight/ap_keys.h"
#include "autoflight/autopilot.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "fuel/state.h"
#include "instruments/state.h"
#include "module/keys.h"
#include "sim_control/presets_keys.h"
#include "systems/systems_keys.h"

namespace {
constexpr u8 kLand = 30, kLandDual = 40;
constexpr f64 kHostVsPerFpm = 1.30048;
constexpr f64 kFeetPerMetre = 3.281;

bool one_fd_no_cmd() { return (ap_fd_engaged == 1 || ap_fd_engaged == 2) && ap_cmd_engaged == 0; }
bool on_ground() { return ap::flag_on(tok_on_ground); }
f64 ias() { return tok_read(tok_ias_kt); }  // only ever compared
}  // namespace

// ---- Step 8: approach-state upkeep and the approach host keys.
void ap_approach_upkeep() {
    u8& s = ap_approach_state;
    if (s >= kLand) {
        const bool held = ap_cmd_engaged != 0 && ap::nav1_glide_slope() && ap::nav1_signal() &&
                          !ap::failed(tok_attitude_fail) && !ap::failed(tok_vacuum_fail);
        if (held) {
            const bool counts_two = fctl_yaw_damper_count == 2 && fctl_pitch_trim_count == 2;
            const bool dual = ap_cmd_engaged == 3;
            if (dual && ats_spd_mode == 1 && counts_two)
                s = kLandDual;
            else if (dual && inst_radio_alt_ft <= 100.0 && counts_two)
                s = kLandDual;
            else if (fctl_yaw_damper_count != 0 && fctl_pitch_trim_count != 0)
                s = kLand;
        }
    } else if (s >= 1) {
        if (ap_fd_engaged != 0 && ap::nav1_signal()) {
            if (ap::nav1_glide_slope())
                s = one_fd_no_cmd() ? 10 : 20;
            else if (ap::nav1_localizer())
                s = one_fd_no_cmd() ? 11 : 21;
        }
    }

    if (s >= 10 && ap::flag_off(tok_on_ground)) {
        if (ap::flag_on(tok_gps_drives_nav1)) ap::send(key_gps_drives_nav1_toggle);
        if (fd_vl_captured == 1 && ap::flag_on(tok_ap_wing_leveler)) ap::send(key_ap_wing_leveler_off);
        if (ap::flag_on(tok_ap_nav_hold)) {
            ap::send(key_ap_nav_hold_event_b);
            if (ap_nav_mode == 0) ap::send(key_ap_nav_hold_event_a);
        }
        fd_gs_available = 1;
    } else {
        if (ap::flag_on(tok_ap_nav_hold) && ap_nav_mode == 0) ap::send(key_ap_nav_hold_event_a);
        fd_gs_available = 0;
    }
}

// ---- Within step 14: the host's V/S flies the glide-slope command.
constexpr f64 kGsBandFpm = 20.0, kGsCorrectionFpm = 100.0;
constexpr f64 kVsSentAboveFt = 10.0;
constexpr i32 kGroundAileronFloor = 3000, kGroundAileronStep = 100;

// Negative commands within 50 below a whole hundred go out as the next hundred down.
i32 rounded_descent(i32 vs) {
    const i64 hundreds = i64(vs) / 100 * 100;
    return i64(vs) <= hundreds - 50 ? sat_i32(f64(hundreds - 100), vs) : vs;  // a number: stops at the i32 end
}

void ap_glide_slope_hold() {
    if (!ap::flag_on(tok_ap_engaged) || ap_approach_state == 0) return;
    if (fd_gs_capture_state > 0) ap_alt_mode = 0;
    // The director's command is a number (its writer keeps it finite); were it none, the command
    // would keep what it held.
    const f64 g = fd_gs_vs_command / kHostVsPerFpm;
    if (std::isfinite(g)) {
        const f64 vs = tok_read(tok_vertical_speed) / kHostVsPerFpm;  // no number: within the band
        const f64 c = vs > g + kGsBandFpm ? g - kGsCorrectionFpm : vs < g - kGsBandFpm ? g + kGsCorrectionFpm : g;
        ap_vs_command = sat_i32(c, ap_vs_command);
    }
    ap::send(key_ap_event_101f3, 0);
    if (inst_radio_alt_ft > kVsSentAboveFt) ap::send(key_ap_vs_set, rounded_descent(ap_vs_command));
    if (on_ground()) {
        // Token 317 (our elevator record) is what the ground aileron follows, as the host last gave
        // it; until it has, nothing is sent.
        f64 elevator = 0.0;
        if (ap::panel_watch.elevator.latest(elevator)) {
            const i32 a = sat_i32(elevator, kGroundAileronFloor);  // a number held within +-1e9
            ap::send(key_aileron_set, a > kGroundAileronFloor ? sat_i32(f64(a) + kGroundAileronStep, a) : kGroundAileronFloor);
        }
    }
}

// ---- Step 15, first: RLOUT.
constexpr f64 kRolloutAboveKt = 50.0, kTakeoffArmBelowKt = 45.0, kTakeoffBelowFt = 30.0;

void ap_rollout() {
    const bool supplied = (dc_ess_powered == 1 || elec_ac_bus1_powered == 1) && elec_ess_equipment_level >= 1 &&
                          ap_fd_engaged > 0 && ap::nav1_glide_slope();
    if (!supplied) {
        ap_rollout_mode = ap_rollout_takeoff_state = 0;
        return;
    }
    const f64 speed = ias();
    const bool ground = on_ground();
    if (ap_approach_state >= kLand) {
        ap_rollout_mode = ground && speed > kRolloutAboveKt ? 1 : 0;
        return;
    }
    u8& t = ap_rollout_takeoff_state;
    if (ground && speed < kTakeoffArmBelowKt && t == 0) t = 1;
    if (t >= 1 && ap_fd_engaged > 0 && inst_radio_alt_ft < kTakeoffBelowFt && speed > kRolloutAboveKt) {
        t = 2;
        ap_rollout_mode = 1;
    } else if (t == 2) {
        t = 0;
        ap_rollout_mode = 0;
    }
}

// ---- Step 15, then: LAND, FLARE, the low phase and the ground actions.
constexpr f64 kLandEngageBelowFt = 700.0;
constexpr f64 kLowPhaseFt = 50.0, kNoseKeysFromFt = 10.0, kLastNoseAboveFt = 5.0, kLastNoseBelowFt = 15.0;
constexpr i32 kFlareVs = -50;
constexpr f64 kFlareNoseBelowDeg = -2.0, kLowNoseFromDeg = -1.5, kLastNoseDeg = -1.0;
constexpr f64 kTrimUpBelowDeg = 2.5, kTrimDownAboveDeg = 1.0;
// Roll-out aileron by gross weight (hundreds).
constexpr f64 kHeavy = 1070.0, kMedium = 1050.0;
constexpr i32 kAileronHeavy = 8000, kAileronMedium = 7000, kAileronLight = 6000;

void nose_up_keys() {
    ap::trigger(key_ap_event_10094);
    if (fctl_pitch_trim_deg < kTrimUpBelowDeg) ap::trigger(key_elev_trim_up);
}

void ap_land() {
    if (ap_approach_state >= kLand) {
        if (tok_read(tok_radio_height_m) * kFeetPerMetre < kLandEngageBelowFt) ap_land_engaged = 1;
        const f64 ra = inst_radio_alt_ft;
        const f64 pitch = tok_read(tok_adi_pitch_deg);
        if (ra >= kLowPhaseFt && ra < ap_flare_height_ft) {
            ap_flare_mode = 1;
            ap::send(key_ap_vs_set, kFlareVs);
            if (pitch > kFlareNoseBelowDeg) ap::send(key_ap_event_10094);
        }
        if (ra >= kNoseKeysFromFt && ra < kLowPhaseFt) {
            ap_land_low_phase = 1;
            if (pitch >= kLowNoseFromDeg) nose_up_keys();
        }
        if (ra > kLastNoseAboveFt && ra < kLastNoseBelowFt && pitch > kLastNoseDeg) nose_up_keys();
        if (on_ground()) {
            ats_spd_mode = 0;
            ap_flare_mode = 0;
            for (u32 key : {key_ap_nav_hold_event_a, key_ap_nav_hold_event_b, key_ap_approach_event, key_ap_alt_hold_off,
                            key_ap_event_10096, key_ap_event_100e3})
                ap::send(key);
            const f64 w = weight_gross_hundreds;
            ap::send(key_aileron_set, w >= kHeavy ? kAileronHeavy : w >= kMedium ? kAileronMedium : kAileronLight);
            if (fctl_pitch_trim_deg > kTrimDownAboveDeg) ap::send(key_elev_trim_dn);
            if (ias() > kRolloutAboveKt) ap_rollout_mode = 1;
        }
    }
    if (ias() < kRolloutAboveKt) ap_land_low_phase = ap_rollout_mode = 0;
}
