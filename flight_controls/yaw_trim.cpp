// Keeps the host's fuel levers in step with the HP fuel valves, decides whether the yaw
// damper levers and pitch trim channels may stay engaged, keeps the host's yaw damper in step,
// stops the trim at its travel limits and watches it for runaway movement, once per frame.
// Reads: dc_ess_powered, dc_normal_powered, hyd_avail, fctl_rudder_limiter_active, ins1_status,
//        ins2_status, inst_adc1_powered, inst_adc2_powered
// Writes: eng_hp_valve_open (first frame), eng_hp_valve_init_done, fctl_yaw_damper_sw,
//         fctl_yaw_damper_count, fctl_pitch_trim_sw, fctl_pitch_trim_count, fctl_pitch_trim_deg,
//         fctl_trim_axis_captured, fctl_trim_capture_done, fctl_trim_limit_cmd,
//         fctl_trim_monitor_phase, fctl_trim_monitor_half, fctl_trim_sample_a,
//         fctl_trim_sample_b, fctl_trim_sample_due, warn_yaw_damper, warn_pitch_trim,
//         warn_trim_motion
#include "flight_controls/yaw_trim.h"

#include <cmath>

#include "air/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "navigation/state.h"
#include "systems/systems_keys.h"
#include "module/deadline.h"
#include "module/services.h"
#include "module/tokens.h"

namespace {
// ---- HP valves
constexpr f64 kLeverOpenAtLoad = 8000.0;  // host lever at or above it: valve taken as open
constexpr f64 kLeverOpen = 0.5;           // the host's lever reads open from here

struct HpValve {
    TokenVar& axis;
    u32 key_open;
    u32 key_shut;
};

// ---- yaw dampers
constexpr f64 kFlapsUp = 1.0;   // flap handle below it: flaps fully up
constexpr u8 kInsNavigate = 3;  // INS status with navigation

// ---- trim
constexpr f64 kHalfTurnDeg = 180.0;
constexpr f64 kTrimHalfTurnRad = 3.14116;  // the trim's calibration, not pi
constexpr f64 kTrimStopNoseUp = 12.0;
constexpr f64 kTrimStopNoseDown = -3.0;
constexpr f64 kTrimStopStep = 50.0;
constexpr f64 kSampleTicks = 18.0;  // one second of the 18 Hz counter
constexpr f64 kRunawayLimitFlaps = 4.5;
constexpr f64 kRunawayLimitClean = 2.5;
constexpr u8 kMonitorRestart = 3;
// The trim axis as the host last gave it, for the capture at a loss of supply.
TokenWatch trim_axis_watch{tok_trim_axis};
// Whether fctl_trim_axis_captured holds a reading of the axis rather than its start value.
bool axis_captured = false;

void send(u32 key, u32 value = 0) { svc::send_key_event(key, value); }

void hp_valves() {
    HpValve valves[2] = {{tok_eng1_mixture_axis, key_eng1_mixture_event_a, key_eng1_mixture_event_b},
                         {tok_eng2_mixture_axis, key_eng2_mixture_event_a, key_eng2_mixture_event_b}};
    for (int i = 0; i < 2; ++i) {
        if (eng_hp_valve_init_done[i] == 0) {
            eng_hp_valve_open[i] = tok_read(valves[i].axis) >= kLeverOpenAtLoad ? 1 : 0;
            eng_hp_valve_init_done[i] = 1;
        }
        const f64 lever = tok_read(valves[i].axis);
        if (eng_hp_valve_open[i] == 1 && dc_ess_powered == 1) {
            if (lever < kLeverOpen) send(valves[i].key_open);
        } else if (lever >= kLeverOpen) {
            send(valves[i].key_shut);
        }
    }
}

void yaw_dampers() {
    u8* lever = fctl_yaw_damper_sw;
    const bool l1 = lever[0] == 1, l2 = lever[1] == 1;
    fctl_yaw_damper_count = u8(l1) + u8(l2);

    const bool blue_or_yellow = u32(hyd_avail[0]) + hyd_avail[2] != 0;
    // Flaps up without the rudder travel limiter: both drop.
    if (tok_read(tok_flaps_handle) < kFlapsUp && fctl_rudder_limiter_active == 0 && (l1 || l2)) {
        lever[0] = lever[1] = 0;
        warn_yaw_damper = 1;
    }
    const bool ch1_ok = dc_ess_powered == 1 && blue_or_yellow && ins1_status >= kInsNavigate;
    if (!ch1_ok && (lever[0] == 1 || lever[1] == 1)) {
        lever[0] = 0;
        warn_yaw_damper = 1;
    }
    const bool ch2_ok = dc_normal_powered == 1 && blue_or_yellow && ins2_status >= kInsNavigate;
    if (!ch2_ok && (lever[0] == 1 || lever[1] == 1)) {
        lever[1] = 0;
        warn_yaw_damper = 1;
    }
    if (lever[0] != 1 && lever[1] != 1 && dc_ess_powered == 1 && dc_normal_powered == 1 && blue_or_yellow)
        warn_yaw_damper = 1;

    // The host's yaw damper follows the levers.
    if ((lever[0] == 1 && dc_ess_powered == 1) || (lever[1] == 1 && dc_normal_powered == 1 && blue_or_yellow)) {
        if (tok_read(tok_yaw_damper) == 0.0 && tok_read(tok_ap_engaged) == 1.0) send(key_yaw_damper_event_a);
        warn_yaw_damper = 0;
    } else if (tok_read(tok_yaw_damper) == 1.0) {
        send(key_yaw_damper_event_b);
    }
}

void pitch_trim_channels() {
    u8* ch = fctl_pitch_trim_sw;
    if (inst_adc1_powered == 0) ch[0] = 0;
    if (inst_adc2_powered == 0) ch[1] = 0;
    fctl_pitch_trim_count = u8(ch[0] == 1) + u8(ch[1] == 1);

    const bool any_on = ch[0] == 1 || ch[1] == 1;
    const bool some_circuit = u32(hyd_avail[0]) + hyd_avail[1] + hyd_avail[2] != 0;
    if (any_on && (dc_ess_powered == 0 || !some_circuit)) {
        // Loss of supply: hand the autopilot's trim back where it was, then drop both channels.
        // Until some capture has held a reading of the axis there is nowhere to hand it back to.
        if (fctl_trim_capture_done == 0) {
            f64 axis = 0.0;
            if (tok_read(tok_ap_engaged) == 1.0 && trim_axis_watch.latest(axis)) {
                fctl_trim_axis_captured = sat_i32(axis, fctl_trim_axis_captured);
                axis_captured = true;
            }
            fctl_trim_capture_done = 1;
        }
        if (tok_read(tok_ap_engaged) == 1.0 && axis_captured) send(key_trim_axis_set, u32(fctl_trim_axis_captured));
        ch[0] = ch[1] = 0;
        warn_pitch_trim = 1;
    }
    const bool supplied_on = (ch[0] == 1 || ch[1] == 1) && dc_ess_powered == 1 && some_circuit;
    if (supplied_on) fctl_trim_capture_done = 0;
    if (ch[0] != 1 && ch[1] != 1 && dc_ess_powered == 1) warn_pitch_trim = 1;
    if (supplied_on) warn_pitch_trim = 0;
}

// The stops compare the host's angle as it is (one that is no number is at neither stop); the
// shared angle keeps its last value through one, and no command is made from an axis that is none.
void trim_stop() {
    const f64 deg = sat_f64(tok_read(tok_pitch_trim_rad) * kHalfTurnDeg / kTrimHalfTurnRad);
    if (std::isfinite(deg)) fctl_pitch_trim_deg = deg;
    const f64 push = deg >= kTrimStopNoseUp ? -kTrimStopStep : deg <= kTrimStopNoseDown ? kTrimStopStep : 0.0;
    f64 axis = 0.0;
    if (push == 0.0 || !tok_number(tok_trim_axis, axis)) return;
    fctl_trim_limit_cmd = sat_i32(axis + push, fctl_trim_limit_cmd);
    send(key_trim_axis_set, u32(fctl_trim_limit_cmd));
}

void compare_samples() {
    const f64 limit = tok_read(tok_flaps_handle) > 0.0 ? kRunawayLimitFlaps : kRunawayLimitClean;
    warn_trim_motion = std::fabs(fctl_trim_sample_a - fctl_trim_sample_b) > limit ? 1 : 0;
}

// Samples the trim every second and compares each sample with the one before.
void trim_monitor() {
    u8& p = fctl_trim_monitor_phase;
    u8& h = fctl_trim_monitor_half;
    f64& a = fctl_trim_sample_a;
    f64& b = fctl_trim_sample_b;
    f64& due = fctl_trim_sample_due;
    const f64 trim = fctl_pitch_trim_deg;
    const f64 t = tok_read(tok_tick18);
    if (!std::isfinite(t)) return;  // no clock reading: the monitor waits
    if (p == kMonitorRestart && h == kMonitorRestart) {
        a = b = trim;
        p = h = 0;
    }
    if (p == 0 && h == 0) {
        a = trim;
        due = t + kSampleTicks;
        p = 1;
        compare_samples();
    }
    if (p == 1 && h == 0 && deadline_reached(due, t, kSampleTicks)) {
        b = trim;
        h = 1;
        due = t + kSampleTicks;
        compare_samples();
    }
    if (p == 1 && h == 1 && deadline_reached(due, t, kSampleTicks)) {
        p = 2;
        a = trim;
        due = t + kSampleTicks;
        h = 0;
        compare_samples();
    }
    if (p == 2 && h == 0 && deadline_reached(due, t, kSampleTicks)) {
        b = trim;
        due = t + kSampleTicks;
        p = 0;
        compare_samples();
    }
}
}  // namespace

void yaw_trim_forget() { trim_axis_watch.forget(); }

void yaw_trim_frame() {
    trim_axis_watch.watch();
    hp_valves();
    yaw_dampers();
    pitch_trim_channels();
    trim_stop();
    trim_monitor();
}
