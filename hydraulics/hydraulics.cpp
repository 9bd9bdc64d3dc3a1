// Hydraulic model: blue, green (two pump lines) and yellow pressures in psi, one availability
// byte per circuit, and the host actions when circuits are lost (autopilot channels off, gear
// frozen, brakes, spoilers, yaw dampers, controls to neutral), once per frame.
// Reads: hyd_eng_pump_sw, hyd_elec_pump_sw, hyd_xfer_sw, hyd_pump_fire_valve, fail_active,
//        elec_ac_bus1_powered, elec_ac_bus2_powered
// Writes: hyd_elec_pump_running, hyd_press_blue, hyd_press_green1, hyd_press_green2,
//         hyd_press_green, hyd_press_yellow, hyd_avail, hyd_all_lost, hyd_loss_snapshot_taken,
//         hyd_loss_gear_left, hyd_loss_gear_right, hyd_loss_brake_sent,
//         hyd_loss_event_10305_sent, hyd_eng_pump_sw (ramps), ap_fd_engaged, ap_cmd_engaged,
//         fctl_yaw_damper_sw
#include "hydraulics/hydraulics.h"

#include "autoflight/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "sim_control/state.h"
#include "systems/systems_keys.h"
#include "module/services.h"
#include "module/tokens.h"

namespace {
constexpr u32 kPressMax = 3000;
constexpr u32 kRiseStep = 30;
constexpr u32 kDecayStep = 15;
constexpr u32 kAvailablePsi = 1750;
constexpr f64 kEngineRunningN2 = 20.0;
constexpr f64 kAirDrivenIas = 150.0;

constexpr u8 kPumpRunning = 200;
constexpr u8 kPumpSpoolFrom = 100;  // 100..195 spooling up, 5..95 running down
constexpr u8 kPumpRampStep = 5;

enum Avail : u8 { Unavailable = 0, WithEngine = 1, WithoutEngine = 2, AirDriven = 3 };
enum Circuit { Blue = 0, Green = 1, Yellow = 2 };
enum PumpIndex { PumpBlue = 0, PumpGreen1 = 1, PumpGreen2 = 2, PumpYellow = 3 };
constexpr int kFailBase = 3;  // fail_active[3..6]: blue, green 1, green 2, yellow pumps

// ---- loss actions
constexpr f64 kGearDownPos = 16000.0;  // below it a frozen-down gear is sent down again
constexpr f64 kGearUpPos = 2.0;
constexpr f64 kSysFractionHigh = 0.99;
constexpr f64 kSysFractionLow = 0.01;
constexpr f64 kGroundIasMin = 10.0;
constexpr f64 kGroundIasMax = 60.0;
constexpr f64 kSpoilersDeployed = 3000.0;
constexpr f64 kSpoilersRetractAbove = 4000.0;
constexpr u32 kSpoilersRetractTo = 7000;
constexpr f64 kSpoilersFullBelow = 16382.0;
constexpr f64 kSpoilersPartial = 6000.0;
constexpr f64 kSpoilersStowedBelow = 1.0;
constexpr f64 kSpoilerIasSplit = 60.0;
constexpr f64 kTrimNeutralBand = 1.0;
constexpr f64 kExitMovingMin = 0.001;
constexpr f64 kExitMovingMax = 0.999;

// The gear as the host last gave it, for the snapshot at a loss of green and yellow.
TokenWatch gear_left_watch{tok_gear_left_pos};
TokenWatch gear_right_watch{tok_gear_right_pos};

// Pressures move only by these steps, so they stay multiples of 15 from 0. A decay never
// goes below 0, whatever value the line was given.
void rise(u32& p) { p = p < kPressMax ? p + kRiseStep : kPressMax; }
void decay(u32& p) { p = p >= kDecayStep ? p - kDecayStep : 0; }

enum class Own { Rise, Hold, None };

// The line's own engine-driven pump: running pumps raise it, spooling pumps hold it.
Own own_pump(bool engine_runs, int pump) {
    const u8 sw = hyd_eng_pump_sw[pump];
    const u8 failed = fail_active[kFailBase + pump];
    const u8 valve = hyd_pump_fire_valve[pump];
    if (engine_runs && sw == kPumpRunning && failed == 0 && valve == 1) return Own::Rise;
    if (sw != 0 && engine_runs && failed != 1 && valve != 0) return Own::Hold;
    return Own::None;
}

// Applies the own pump's rule; false when the line must look at its other sources.
bool apply_own(u32& p, bool engine_runs, int pump) {
    switch (own_pump(engine_runs, pump)) {
        case Own::Rise: rise(p); return true;
        case Own::Hold: return true;
        case Own::None: return false;
    }
    return false;
}

void send(u32 key, u32 value = 0) { svc::send_key_event(key, value); }

void spoiler_step() {
    const f64 pos = tok_read(tok_spoilers_left_pos);
    if (pos >= kSpoilersDeployed) {
        const f64 ias = tok_read(tok_ias_kt);
        if (ias > kSpoilerIasSplit && pos > kSpoilersRetractAbove) send(key_spoilers_set, kSpoilersRetractTo);
        if (ias <= kSpoilerIasSplit && pos > kSpoilersPartial && pos < kSpoilersFullBelow)
            send(key_spoilers_event_10210);
    } else if (pos >= kSpoilersStowedBelow) {
        send(key_spoilers_event_10211);
    }
}

void pressures(bool eng1, bool eng2) {
    const u32 pumps = u32(hyd_eng_pump_sw[0]) + hyd_eng_pump_sw[1] + hyd_eng_pump_sw[2] + hyd_eng_pump_sw[3] +
                      hyd_elec_pump_running;
    const u32 valves = u32(hyd_pump_fire_valve[0]) + hyd_pump_fire_valve[1] + hyd_pump_fire_valve[2] +
                       hyd_pump_fire_valve[3] + hyd_elec_pump_running;
    if (pumps == 0 || valves == 0) {
        decay(hyd_press_blue);
        decay(hyd_press_green1);
        decay(hyd_press_green2);
        decay(hyd_press_yellow);
        return;
    }
    // Blue: own pump, else green (last frame) through transfer 0.
    if (!apply_own(hyd_press_blue, eng1, PumpBlue)) {
        if (hyd_press_green >= kAvailablePsi && hyd_xfer_sw[0] == 1)
            rise(hyd_press_blue);
        else
            decay(hyd_press_blue);
    }
    // Green line 1: own pump, else yellow (last frame) through transfer 1, else electric pumps.
    if (!apply_own(hyd_press_green1, eng1, PumpGreen1)) {
        if ((eng2 && hyd_press_yellow >= kAvailablePsi && hyd_xfer_sw[1] == 1) || hyd_elec_pump_running == 1)
            rise(hyd_press_green1);
        else
            decay(hyd_press_green1);
    }
    // Green line 2: own pump, else blue (this frame) through transfer 0, else electric pumps.
    if (!apply_own(hyd_press_green2, eng2, PumpGreen2)) {
        if ((eng1 && hyd_press_blue >= kAvailablePsi && hyd_xfer_sw[0] == 1) || hyd_elec_pump_running == 1)
            rise(hyd_press_green2);
        else
            decay(hyd_press_green2);
    }
    // Yellow: own pump, else green (last frame) through transfer 1, else the air-driven source.
    if (!apply_own(hyd_press_yellow, eng2, PumpYellow)) {
        const f64 ias = tok_read(tok_ias_kt);
        if ((hyd_press_green >= kAvailablePsi && hyd_xfer_sw[1] == 1) || ias >= kAirDrivenIas)
            rise(hyd_press_yellow);
        else
            decay(hyd_press_yellow);
    }
}

void availability(bool eng1, bool eng2) {
    const f64 ias = tok_read(tok_ias_kt);
    hyd_avail[Green] = hyd_press_green < kAvailablePsi ? Unavailable : (eng1 || eng2) ? WithEngine : WithoutEngine;
    hyd_avail[Blue] = hyd_press_blue < kAvailablePsi ? Unavailable : eng1 ? WithEngine : WithoutEngine;
    hyd_avail[Yellow] = hyd_press_yellow < kAvailablePsi ? Unavailable
                        : eng2                           ? WithEngine
                        : ias >= kAirDrivenIas           ? AirDriven
                                                         : WithoutEngine;
}

// Green and yellow both lost: no autopilot, gear frozen where it was, brakes, rudder on the ground.
void green_yellow_loss() {
    if (hyd_avail[Green] != Unavailable || hyd_avail[Yellow] != Unavailable) {
        if (tok_read(tok_sys_fraction) < kSysFractionLow && hyd_loss_event_10305_sent == 1) {
            send(key_systems_event_10305);
            hyd_loss_event_10305_sent = 0;
        }
        if (hyd_loss_brake_sent == 1) {
            send(key_systems_event_10306);
            hyd_loss_brake_sent = 0;
        }
        hyd_loss_snapshot_taken = 0;
        return;
    }
    // A gear the host has given no number for yet keeps its captured position.
    if (!hyd_loss_snapshot_taken) {
        f64 pos = 0.0;
        if (gear_left_watch.latest(pos)) hyd_loss_gear_left = sat_u32(pos, hyd_loss_gear_left);
        if (gear_right_watch.latest(pos)) hyd_loss_gear_right = sat_u32(pos, hyd_loss_gear_right);
        hyd_loss_snapshot_taken = 1;
    }
    ap_fd_engaged = 0;
    ap_cmd_engaged = 0;
    const f64 gear = tok_read(tok_gear_left_pos);
    if (hyd_loss_gear_left > 1 || hyd_loss_gear_right > 1) {
        if (gear < kGearDownPos) send(key_gear_down);
    } else if (gear > kGearUpPos) {
        send(key_gear_up);
    }
    if (tok_read(tok_sys_fraction) > kSysFractionHigh && hyd_loss_event_10305_sent == 0) {
        send(key_systems_event_10305);
        hyd_loss_event_10305_sent = 1;
    }
    if (hyd_loss_brake_sent == 0 && tok_read(tok_parking_brake) == 0.0) {
        send(key_systems_event_10306);
        hyd_loss_brake_sent = 1;
    }
    if (tok_read(tok_on_ground) == 1.0) {
        const f64 ias = tok_read(tok_ias_kt);
        // Host token 316 (the rudder) is the surface this event watches.
        if (ias >= kGroundIasMin && ias <= kGroundIasMax && tok_read(tok_rudder_pos) != 0.0)
            send(key_fctl_event_10099);
    }
}

// Blue and yellow both lost: the yaw dampers have no circuit.
void yaw_circuits_loss() {
    if (hyd_avail[Blue] != Unavailable || hyd_avail[Yellow] != Unavailable) return;
    if (tok_read(tok_yaw_damper) == 1.0) send(key_yaw_damper_event_b);
    fctl_yaw_damper_sw[0] = 0;
    fctl_yaw_damper_sw[1] = 0;
    spoiler_step();
}

// All three lost: spoilers (a second time), controls and trim to neutral.
void all_circuits_loss() {
    if (u32(hyd_avail[0]) + hyd_avail[1] + hyd_avail[2] != 0) {
        hyd_all_lost = 0;
        return;
    }
    spoiler_step();
    hyd_all_lost = 1;
    if (tok_read(tok_on_ground) == 1.0) {
        if (tok_read(tok_aileron_pos) != 0.0) send(key_systems_event_1004c);
        // Host token 317 (the elevator) is the surface this event watches.
        if (tok_read(tok_elevator_pos) != 0.0) send(key_aileron_set);
    } else {
        send(key_systems_event_1004c);
        send(key_rudder_set);
        send(key_aileron_set);
    }
    const f64 trim = tok_read(tok_trim_axis);
    if (trim > kTrimNeutralBand || trim < -kTrimNeutralBand) send(key_trim_axis_set);
}

void pump_ramps() {
    for (u8& sw : hyd_eng_pump_sw) {
        // Each ramp stops on its end value, whatever step the byte was left on.
        if (sw >= kPumpSpoolFrom)
            sw = sw < kPumpRunning - kPumpRampStep ? u8(sw + kPumpRampStep) : kPumpRunning;
        else
            sw = sw >= kPumpRampStep ? u8(sw - kPumpRampStep) : 0;  // never wraps below 0
    }
}
}  // namespace

void hydraulics_forget() {
    gear_left_watch.forget();
    gear_right_watch.forget();
}

void hydraulics_frame() {
    gear_left_watch.watch();
    gear_right_watch.watch();
    // 1. Electric pumps.
    hyd_elec_pump_running = (hyd_elec_pump_sw[0] == 1 && elec_ac_bus1_powered == 1) ||
                                    (hyd_elec_pump_sw[1] == 1 && elec_ac_bus2_powered == 1)
                                ? 1
                                : 0;
    // 2. Engines.
    const bool eng1 = tok_read(tok_eng1_n2) >= kEngineRunningN2;
    const bool eng2 = tok_read(tok_eng2_n2) >= kEngineRunningN2;
    // 3 to 7. Line pressures; 8. green is the larger line.
    pressures(eng1, eng2);
    hyd_press_green = hyd_press_green2 >= hyd_press_green1 ? hyd_press_green2 : hyd_press_green1;
    // 9. Availability.
    availability(eng1, eng2);
    // 10 to 13. Loss actions.
    green_yellow_loss();
    yaw_circuits_loss();
    all_circuits_loss();
    if (hyd_avail[Yellow] == Unavailable) {
        const f64 exit1 = tok_read(tok_exit1_open);
        if (exit1 > kExitMovingMin && exit1 < kExitMovingMax) send(key_exit_event_10356);
    }
    // 14. Engine pump ramps.
    pump_ramps();
}
