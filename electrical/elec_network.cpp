// Electrical network: turns the electrical panel's switches, the engines, the APU and ground
// power into generator loads, transformer-rectifier outputs, battery current and charge, the DC
// and AC bus flags and the DC and AC fault conditions, once per frame.
// Reads: elec_gen_sw, elec_line_sw, elec_trans_sw, elec_tr_sw, elec_batt_sw, elec_dc_tie_sw,
//        elec_ess_ac_source_sel, ext_power_on, elec_ess_equipment_level, apu_running, fail_active
// Writes: elec_gen1_load, elec_gen2_load, elec_apu_gen_load_a, elec_apu_gen_load_b,
//         elec_tr_output, dc_normal_powered, elec_batt_any_on, battery_current, battery_charge,
//         elec_batt_discharging, elec_batt_charging, elec_batt_phase_start_s,
//         elec_batt_elapsed_s, elec_batt_discharge_carry_s, elec_batt_charge_base,
//         elec_batt_segment_level, elec_host_batt_done, elec_batt_lamp, dc_ess_powered,
//         elec_dc_ess_via_tie, elec_trans_closed, elec_ac_bus1_powered, elec_ac_bus2_powered,
//         elec_ess_ac_powered, elec_ess_ac_on_alternate, elec_ess_ac_any_powered,
//         warn_dc_fault, warn_ac_fault
#include "electrical/elec_network.h"

#include "apu/state.h"
#include "electrical/state.h"
#include "sim_control/state.h"
#include "systems/state.h"
#include "systems/systems_keys.h"
#include "module/services.h"
#include "module/tokens.h"

namespace {
// ---- generators
constexpr f64 kGenMinN1 = 10.0;
constexpr u32 kLoadOwnBus = 50;      // feeds its own AC bus
constexpr u32 kLoadBothBuses = 100;  // also feeds the other bus through a closed contactor

// ---- battery
constexpr i32 kDischargeHighA = -50;  // essential equipment level 1 or 2
constexpr i32 kDischargeLowA = -10;   // minimum equipment
constexpr i32 kChargeMaxA = 50;
constexpr u32 kChargeFull = 1800;
constexpr u32 kChargeTaperFrom = 1750;   // above it the charging current is 1800 - charge
constexpr u32 kLowRateSecondsPerUnit = 3;  // 10 A uses one unit every three seconds
constexpr i32 kSegmentCharge = 1;          // elec_batt_segment_level of a charge segment

// ---- host battery check
constexpr f64 kHostBusDeadVolts = 5.0;

// ---- AC essential bus selector
enum EssSource : u8 { EssGen2 = 0, EssGen1 = 1, EssNorm = 2, EssApu = 3, EssEmergInv = 4 };

u8 flag(bool b) { return b ? 1 : 0; }

u32 gen_load(u8 sw, f64 n1, u8 failed, u8 line, u8 trans_closed_last) {
    if (sw != 1 || !(n1 >= kGenMinN1) || failed != 0) return 0;
    return (line == 1 && trans_closed_last == 1) ? kLoadBothBuses : kLoadOwnBus;
}

// ---- battery charge segments ------------------------------------------------------------------
// The charge moves in segments of one current level (50 A or 10 A discharge, or charging). Each
// segment counts from the charge it started with, so a change of level or a discharge after a
// partial charge never makes the charge jump. A segment paused by switching every battery OFF
// keeps its seconds in the carry and goes on from there when the same level resumes.

void begin_segment(i32 level, u32 now_s) {
    elec_batt_segment_level = level;
    elec_batt_charge_base = battery_charge;
    elec_batt_discharge_carry_s = 0;
    elec_batt_elapsed_s = 0;
    elec_batt_phase_start_s = now_s;
}

void begin_or_resume(i32 level, u32 now_s) {
    if (elec_batt_segment_level == level) {
        elec_batt_phase_start_s = now_s;  // the carry holds the seconds counted before the pause
        elec_batt_elapsed_s = elec_batt_discharge_carry_s;
    } else {
        begin_segment(level, now_s);
    }
}

// Seconds of the running segment, carry included. A clock that runs backwards adds nothing: the
// seconds so far move into the carry and the count starts again from the new time.
u32 segment_seconds(u32 now_s) {
    const i64 run_before = i64(elec_batt_elapsed_s) - i64(elec_batt_discharge_carry_s);
    const i64 run = i64(now_s) - i64(elec_batt_phase_start_s);
    if (run < run_before || run < 0) {
        elec_batt_discharge_carry_s = elec_batt_elapsed_s;
        elec_batt_phase_start_s = now_s;
    }
    const u64 total = u64(elec_batt_discharge_carry_s) + (u64(now_s) - u64(elec_batt_phase_start_s));
    return total > u64(UINT32_MAX) ? UINT32_MAX : u32(total);
}

void update_charge() {
    // Whole seconds; a negative clock counts as 0. A clock that is no number (or infinite) is no
    // reading: the battery waits for the next one rather than count from a made-up time.
    const f64 now = tok_read(tok_sim_time_s);
    if (!std::isfinite(now)) return;
    const u32 now_s = sat_u32(now, 0);  // a number here
    const i32 current = battery_current;
    if (current < -1) {
        if (!elec_batt_discharging || elec_batt_segment_level != current) {
            if (elec_batt_discharging)
                begin_segment(current, now_s);  // the level changed mid-discharge
            else
                begin_or_resume(current, now_s);
            elec_batt_discharging = 1;
        }
        elec_batt_elapsed_s = segment_seconds(now_s);
        const u32 per_unit = current == kDischargeLowA ? kLowRateSecondsPerUnit : 1;
        const u32 used = elec_batt_elapsed_s / per_unit;
        battery_charge = elec_batt_charge_base > used ? elec_batt_charge_base - used : 0;
    } else if (current > 0) {
        if (!elec_batt_charging && battery_charge < kChargeFull) {
            begin_or_resume(kSegmentCharge, now_s);
            elec_batt_charging = 1;
        }
        if (elec_batt_charging) {
            elec_batt_elapsed_s = segment_seconds(now_s);
            const u64 charge = u64(elec_batt_charge_base) + elec_batt_elapsed_s;
            battery_charge = charge > kChargeFull ? kChargeFull : u32(charge);
        }
    } else {
        // Every battery OFF keeps the seconds so far; a full battery on charge ends the segment.
        if (u32(elec_batt_sw[0]) + elec_batt_sw[1] + elec_batt_sw[2] >= 1) {
            elec_batt_elapsed_s = 0;
            elec_batt_segment_level = 0;
        }
        elec_batt_discharge_carry_s = elec_batt_elapsed_s;
        elec_batt_discharging = 0;
        elec_batt_charging = 0;
    }
    if (battery_charge > kChargeFull) battery_charge = kChargeFull;
}

// Once per load: switch the host's battery master on when the host starts electrically dead.
void host_battery_check() {
    if (elec_host_batt_done) return;
    if (tok_read(tok_main_bus_voltage) < kHostBusDeadVolts) svc::send_key_event(key_battery_master_toggle, 0);
    elec_host_batt_done = 1;
}

void ess_ac_bus() {
    bool live = false;
    switch (elec_ess_ac_source_sel) {
        case EssGen2: live = elec_gen2_load >= kLoadOwnBus; break;
        case EssGen1: live = elec_gen1_load >= kLoadOwnBus; break;
        case EssNorm: live = elec_ac_bus1_powered == 1; break;
        case EssApu: live = elec_apu_gen_load_a >= kLoadOwnBus || ext_power_on == 1; break;
        case EssEmergInv:
            elec_ess_ac_powered = flag(dc_ess_powered == 1);
            elec_ess_ac_on_alternate = elec_ess_ac_powered;
            return;
        default:
            return;  // out of range: both flags stay as they were
    }
    if (live) {
        elec_ess_ac_powered = 1;
        elec_ess_ac_on_alternate = 0;
    } else if (dc_ess_powered == 1) {
        elec_ess_ac_powered = 0;
        elec_ess_ac_on_alternate = 1;
        warn_ac_fault = 1;
    } else {
        elec_ess_ac_powered = 0;
        elec_ess_ac_on_alternate = 0;
    }
}
}  // namespace

void elec_network_frame() {
    // 1. Generator loads (last frame's contactors).
    const f64 n1_1 = tok_read(tok_eng1_n1);
    const f64 n1_2 = tok_read(tok_eng2_n1);
    elec_gen1_load = gen_load(elec_gen_sw[0], n1_1, fail_active[1], elec_line_sw[0], elec_trans_closed[0]);
    elec_gen2_load = gen_load(elec_gen_sw[1], n1_2, fail_active[2], elec_line_sw[1], elec_trans_closed[1]);

    // 2. APU generator loads.
    if (elec_gen_sw[2] == 1 && apu_running == 1) {
        const int closed = (elec_trans_closed[0] == 1) + (elec_trans_closed[1] == 1);
        elec_apu_gen_load_a = closed == 1 ? kLoadOwnBus : kLoadBothBuses;
        elec_apu_gen_load_b = closed == 2 ? kLoadBothBuses : closed == 1 ? kLoadOwnBus : 0;
    } else {
        elec_apu_gen_load_a = 0;
        elec_apu_gen_load_b = 0;
    }

    // 3. Transformer-rectifiers, each from its AC bus as last frame left it.
    const u8 tr_supply[3] = {elec_ac_bus1_powered, elec_ac_bus2_powered, elec_ess_ac_powered};
    for (int i = 0; i < 3; ++i) {
        if (elec_tr_sw[i] == 1) {
            elec_tr_output[i] = flag(tr_supply[i] == 1);
            if (!elec_tr_output[i]) warn_dc_fault = 1;
        } else {
            elec_tr_output[i] = 0;
        }
    }

    // 4, 5.
    dc_normal_powered = flag(elec_tr_output[0] == 1 || elec_tr_output[1] == 1);
    elec_batt_any_on = flag(elec_batt_sw[0] != 0 || elec_batt_sw[1] != 0 || elec_batt_sw[2] != 0);

    // 6. Battery current.
    if (!elec_batt_any_on) {
        battery_current = 0;
    } else {
        const bool source =
            elec_apu_gen_load_a != 0 || elec_gen1_load != 0 || elec_gen2_load != 0 || ext_power_on != 0;
        if (!source || (elec_dc_ess_via_tie == 0 && elec_tr_output[2] == 0)) {
            battery_current = elec_ess_equipment_level >= 1 ? kDischargeHighA : kDischargeLowA;
            elec_batt_charging = 0;
        } else {
            if (battery_charge <= kChargeTaperFrom)
                battery_current = kChargeMaxA;
            else if (battery_charge < kChargeFull)
                battery_current = i32(kChargeFull - battery_charge);
            else
                battery_current = 0;
            elec_batt_discharging = 0;
        }
    }

    // 7. Charge bookkeeping.
    update_charge();

    // 8. The first-frame host battery check.
    host_battery_check();

    // 9. Battery lamps: ON always lit, NORM while current flows.
    for (int i = 0; i < 3; ++i)
        elec_batt_lamp[i] = elec_batt_sw[i] == 2 ? 1 : elec_batt_sw[i] == 1 ? flag(battery_current != 0) : 0;

    // 10. DC essential bus, first match (ESS TR with last frame's AC bus 1).
    if (elec_batt_any_on == 1 && battery_charge > 0) {
        dc_ess_powered = 1;
        elec_dc_ess_via_tie = 0;
    } else if (elec_tr_output[2] == 1 && elec_ac_bus1_powered == 1) {
        dc_ess_powered = 1;
        elec_dc_ess_via_tie = 0;
    } else if (elec_dc_tie_sw == 1 && dc_normal_powered == 1) {
        dc_ess_powered = 1;
        elec_dc_ess_via_tie = 1;
    } else {
        dc_ess_powered = 0;
    }

    // 11. Transfer contactors (last frame's AC buses).
    const bool gen1_off_line = elec_gen1_load == 0 || elec_line_sw[0] == 0;
    const bool gen2_off_line = elec_gen2_load == 0 || elec_line_sw[1] == 0;
    const bool engines_only = ext_power_on == 0 && elec_apu_gen_load_a == 0;
    const bool own_off_line[2] = {gen1_off_line, gen2_off_line};
    for (int i = 0; i < 2; ++i) {
        if (elec_trans_sw[i] != 1)
            elec_trans_closed[i] = 0;
        else if (engines_only)
            elec_trans_closed[i] = flag((gen1_off_line && elec_ac_bus2_powered == 1) ||
                                        (gen2_off_line && elec_ac_bus1_powered == 1));
        else
            elec_trans_closed[i] = flag(own_off_line[i]);
    }

    // 12.
    if (elec_tr_output[0] == 1 && elec_tr_output[1] == 1 && elec_tr_output[2] == 1) warn_dc_fault = 0;

    // 13, 14. AC buses.
    const bool ground_or_apu = ext_power_on == 1 || elec_apu_gen_load_a >= kLoadOwnBus;
    const bool both_closed = elec_trans_closed[0] == 1 && elec_trans_closed[1] == 1;
    const bool gen1_feeds = elec_gen1_load >= kLoadOwnBus && elec_line_sw[0] == 1;
    const bool gen2_feeds = elec_gen2_load >= kLoadOwnBus && elec_line_sw[1] == 1;
    elec_ac_bus1_powered = flag(gen1_feeds || (ground_or_apu && elec_trans_closed[0] == 1) ||
                                (gen2_feeds && both_closed));
    if (!elec_ac_bus1_powered) warn_ac_fault = 1;
    elec_ac_bus2_powered = flag(gen2_feeds || (ground_or_apu && elec_trans_closed[1] == 1) ||
                                (gen1_feeds && both_closed));
    if (!elec_ac_bus2_powered) warn_ac_fault = 1;

    // 15, 16. AC essential bus and its alternate.
    ess_ac_bus();
    elec_ess_ac_any_powered = flag(elec_ess_ac_powered == 1 || elec_ess_ac_on_alternate == 1);

    // 17.
    if ((elec_ac_bus1_powered == 1 && elec_ac_bus2_powered == 1 && elec_ess_ac_powered == 1) ||
        dc_ess_powered == 0)
        warn_ac_fault = 0;
}
