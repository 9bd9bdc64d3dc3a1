// Debug-build check run after every frame of the systems computer: the shared state stays
// finite and in range, and a powered bus always has a live source. A violation stops the run
// with the name of the variable, so that tests (built for debugging) catch it where it happens.
// Reads: every shared variable of the module
// Writes: nothing
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "air/state.h"
#include "apu/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "lighting/state.h"
#include "sim_control/state.h"
#include "systems/state.h"
#include "systems/systems_computer.h"

namespace {
struct ByteRange {
    const char* name;
    const u8* bytes;
    size_t count;
    u8 max;
};
template <size_t N>
constexpr ByteRange range(const char* name, const u8 (&a)[N], u8 max) {
    return {name, a, N, max};
}
constexpr ByteRange range(const char* name, const u8& v, u8 max) { return {name, &v, 1, max}; }
#define KR_RANGE(var, max) range(#var, var, max)

// The switch, state and level bytes the systems computer reads or writes, with their highest value.
const ByteRange kRanges[] = {
    // switches and inputs
    KR_RANGE(elec_batt_sw, 2), KR_RANGE(elec_tr_sw, 1), KR_RANGE(elec_dc_tie_sw, 1), KR_RANGE(elec_line_sw, 1),
    KR_RANGE(elec_trans_sw, 1), KR_RANGE(elec_ess_ac_source_sel, 4), KR_RANGE(elec_gen_sw, 3),
    KR_RANGE(ext_power_on, 1), KR_RANGE(elec_ess_equipment_level, 2), KR_RANGE(apu_running, 1),
    KR_RANGE(fail_active, 1), KR_RANGE(hyd_eng_pump_sw, 200), KR_RANGE(hyd_elec_pump_sw, 1),
    KR_RANGE(hyd_xfer_sw, 1), KR_RANGE(hyd_pump_fire_valve, 1), KR_RANGE(fctl_yaw_damper_sw, 1),
    KR_RANGE(fctl_pitch_trim_sw, 1), KR_RANGE(fctl_rudder_limiter_active, 1), KR_RANGE(aice_probe_heat_sw, 1),
    KR_RANGE(eng_hp_valve_open, 1), KR_RANGE(air_bleed_fault, 1), KR_RANGE(light_flt_deck_sw, 2),
    KR_RANGE(light_refresh, 2),
    // network
    KR_RANGE(elec_host_batt_done, 1), KR_RANGE(elec_tr_output, 1), KR_RANGE(dc_normal_powered, 1),
    KR_RANGE(elec_batt_any_on, 1), KR_RANGE(elec_batt_discharging, 1), KR_RANGE(elec_batt_charging, 1),
    KR_RANGE(elec_batt_lamp, 1), KR_RANGE(dc_ess_powered, 1), KR_RANGE(elec_dc_ess_via_tie, 1),
    KR_RANGE(elec_trans_closed, 1), KR_RANGE(elec_ac_bus1_powered, 1), KR_RANGE(elec_ac_bus2_powered, 1),
    KR_RANGE(elec_ess_ac_powered, 1), KR_RANGE(elec_ess_ac_on_alternate, 1), KR_RANGE(elec_ess_ac_any_powered, 1),
    KR_RANGE(warn_dc_fault, 1), KR_RANGE(warn_ac_fault, 1),
    // hydraulics
    KR_RANGE(hyd_elec_pump_running, 1), KR_RANGE(hyd_avail, 3), KR_RANGE(hyd_all_lost, 1),
    KR_RANGE(hyd_loss_snapshot_taken, 1), KR_RANGE(hyd_loss_brake_sent, 1), KR_RANGE(hyd_loss_event_10305_sent, 1),
    // yaw and trim
    KR_RANGE(eng_hp_valve_init_done, 1), KR_RANGE(fctl_yaw_damper_count, 2), KR_RANGE(fctl_pitch_trim_count, 2),
    KR_RANGE(fctl_trim_capture_done, 1), KR_RANGE(fctl_trim_monitor_phase, 3), KR_RANGE(fctl_trim_monitor_half, 3),
    KR_RANGE(warn_yaw_damper, 1), KR_RANGE(warn_pitch_trim, 1), KR_RANGE(warn_trim_motion, 1),
    // probes and air data
    KR_RANGE(aice_pitot_heat_on, 1), KR_RANGE(aice_probe_lamp, 1), KR_RANGE(aice_pitot_fault, 1),
    KR_RANGE(warn_probes, 1), KR_RANGE(warn_pneu, 1), KR_RANGE(inst_adc1_powered, 1), KR_RANGE(inst_adc2_powered, 1),
    KR_RANGE(inst_adc1_ias_valid, 1), KR_RANGE(inst_adc1_alt_valid, 1), KR_RANGE(inst_adc1_air_valid, 1),
    KR_RANGE(inst_adc1_vs_valid, 1), KR_RANGE(inst_adc1_sat_valid, 1), KR_RANGE(inst_adc1_tas_valid, 1),
    KR_RANGE(inst_adc1_ok, 1), KR_RANGE(inst_adc2_ias_valid, 1), KR_RANGE(inst_adc2_alt_valid, 1),
    KR_RANGE(inst_adc2_air_valid, 1), KR_RANGE(inst_adc2_ok, 1), KR_RANGE(warn_ads, 1),
    // start-up and lighting
    KR_RANGE(panel_init_state, 3), KR_RANGE(light_zone, 1), KR_RANGE(annunciator_bright, 1),
};
#undef KR_RANGE

constexpr u32 kChargeFull = 1800;
constexpr i32 kCurrentLimit = 50;
constexpr u32 kGenFeeds = 50;

[[noreturn]] void violated(const char* what, const char* name, u32 index, f64 value) {
    std::fprintf(stderr, "systems check: %s %s[%u] = %.10g\n", what, name, unsigned(index), value);
    std::fflush(stderr);
    std::abort();
}

void check(bool ok, const char* name, f64 value) {
    if (!ok) violated("powered without a live source:", name, 0, value);
}

bool valid_load(u32 load) { return load == 0 || load == 50 || load == 100; }

void check_power() {
    check(!dc_normal_powered || elec_tr_output[0] == 1 || elec_tr_output[1] == 1, "dc_normal_powered", 1);
    check(!dc_ess_powered || (elec_batt_any_on == 1 && battery_charge > 0) || elec_tr_output[2] == 1 ||
              (elec_dc_tie_sw == 1 && dc_normal_powered == 1),
          "dc_ess_powered", 1);
    const bool ac_source = elec_gen1_load >= kGenFeeds || elec_gen2_load >= kGenFeeds ||
                           elec_apu_gen_load_a >= kGenFeeds || ext_power_on == 1;
    check(!elec_ac_bus1_powered || ac_source, "elec_ac_bus1_powered", 1);
    check(!elec_ac_bus2_powered || ac_source, "elec_ac_bus2_powered", 1);
    check(!elec_ess_ac_powered || ac_source || dc_ess_powered == 1, "elec_ess_ac_powered", 1);
    check(!elec_ess_ac_on_alternate || dc_ess_powered == 1, "elec_ess_ac_on_alternate", 1);
    check(elec_ess_ac_any_powered == (elec_ess_ac_powered | elec_ess_ac_on_alternate), "elec_ess_ac_any_powered",
          elec_ess_ac_any_powered);
    for (u32 i = 0; i < 3; ++i)
        if (elec_tr_output[i] == 1 && elec_tr_sw[i] != 1) violated("output with its switch off:", "elec_tr_output", i, 1);
}
}  // namespace

void systems_check_invariants() {
    for (const VarTable* t = kStateTables; t->vars; ++t)
        for (u32 v = 0; v < t->count; ++v) {
            const VarInfo& info = t->vars[v];
            if (info.type != VarType::F64 && info.type != VarType::F32) continue;
            for (u32 i = 0; i < info.count; ++i)
                if (!std::isfinite(var_read(info, i))) violated("not finite:", info.name, i, var_read(info, i));
        }
    for (const ByteRange& r : kRanges)
        for (size_t i = 0; i < r.count; ++i)
            if (r.bytes[i] > r.max) violated("out of range:", r.name, u32(i), r.bytes[i]);
    if (hyd_avail[0] > 2) violated("out of range:", "hyd_avail", 0, hyd_avail[0]);
    if (hyd_avail[1] > 2) violated("out of range:", "hyd_avail", 1, hyd_avail[1]);
    if (battery_charge > kChargeFull) violated("out of range:", "battery_charge", 0, battery_charge);
    if (battery_current < -kCurrentLimit || battery_current > kCurrentLimit)
        violated("out of range:", "battery_current", 0, battery_current);
    if (elec_batt_discharging && elec_batt_charging) violated("both phases running:", "elec_batt_charging", 0, 1);
    const struct {
        const char* name;
        u32 load;
    } loads[] = {{"elec_gen1_load", elec_gen1_load},
                 {"elec_gen2_load", elec_gen2_load},
                 {"elec_apu_gen_load_a", elec_apu_gen_load_a},
                 {"elec_apu_gen_load_b", elec_apu_gen_load_b}};
    for (const auto& l : loads)
        if (!valid_load(l.load)) violated("not 0, 50 or 100:", l.name, 0, l.load);
    check_power();
}
