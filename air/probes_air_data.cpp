// Turns the three probe and window heat switches and the bus power into the heater bytes the
// probe heat panel shows, keeps the host's pitot heat in step, raises PROBES, decides the pitot
// fault and derives the validity of both air data computers, and forms PNEU, once per frame.
// Reads: aice_probe_heat_sw, dc_ess_powered, dc_normal_powered, elec_ac_bus1_powered,
//        elec_ac_bus2_powered, elec_ess_ac_any_powered, air_bleed_fault
// Writes: aice_pitot_heat_on, aice_probe_lamp, warn_probes, aice_pitot_fault, warn_pneu,
//         inst_adc1_*, inst_adc2_*, warn_ads
#include "air/probes_air_data.h"

#include "air/state.h"
#include "electrical/state.h"
#include "systems/systems_keys.h"
#include "module/services.h"
#include "module/tokens.h"

namespace {
enum Bus : u8 { DcEss, DcNormal, AcBus1, AcBus2 };

struct Heater {
    u8 sw;   // index into aice_probe_heat_sw
    Bus bus;
};

// One entry per aice_probe_lamp byte: the switch that feeds it and the bus it needs.
constexpr Heater kHeaters[13] = {
    {1, DcEss},    {2, DcNormal}, {0, DcNormal}, {1, DcNormal}, {2, DcNormal},
    {0, DcNormal}, {1, DcNormal}, {2, DcNormal}, {0, AcBus1},   {1, AcBus1},
    {2, AcBus2},   {0, AcBus1},   {1, AcBus2},
};
constexpr u32 kAllHeatersWorking = 14;  // the pitot heater and the thirteen heater bytes

constexpr i32 kFailed = 1;  // the failure tokens hold integers; 1 is failed
constexpr f64 kPitotFaultIasBelow = 10.0;
constexpr f64 kPitotFaultMachAbove = 3000.0;

bool bus_powered(Bus b) {
    switch (b) {
        case DcEss: return dc_ess_powered == 1;
        case DcNormal: return dc_normal_powered == 1;
        case AcBus1: return elec_ac_bus1_powered == 1;
        case AcBus2: return elec_ac_bus2_powered == 1;
    }
    return false;
}

u8 flag(bool b) { return b ? 1 : 0; }
}  // namespace

void probes_heat_frame() {
    // 1. Heaters.
    const bool pitot_failed = tok_read_i32(tok_pitot_fail) == kFailed;
    aice_pitot_heat_on = flag(aice_probe_heat_sw[0] == 1 && dc_ess_powered == 1 && !pitot_failed);
    u32 working = aice_pitot_heat_on;
    for (size_t i = 0; i < 13; ++i) {
        aice_probe_lamp[i] = flag(aice_probe_heat_sw[kHeaters[i].sw] == 1 && bus_powered(kHeaters[i].bus));
        working += aice_probe_lamp[i];
    }
    // 2. The host's pitot heat follows the pitot heater.
    const f64 host_heat = tok_read(tok_pitot_heat);
    if (aice_pitot_heat_on == 1 && host_heat == 0.0)
        svc::send_key_event(key_pitot_heat_on, 0);
    else if (aice_pitot_heat_on == 0 && host_heat == 1.0)
        svc::send_key_event(key_pitot_heat_off, 0);
    // 3. PROBES: any heater off, with DC essential power.
    warn_probes = flag(working < kAllHeatersWorking && dc_ess_powered == 1);
}

void air_data_frame() {
    // 4. Pitot fault.
    if (tok_read_i32(tok_pitot_fail) == kFailed)
        aice_pitot_fault = 1;
    else
        aice_pitot_fault = flag(tok_read(tok_on_ground) == 0.0 && tok_read(tok_ias_kt) < kPitotFaultIasBelow &&
                                tok_read(tok_mach) > kPitotFaultMachAbove);
    // 5. PNEU.
    warn_pneu = flag(air_bleed_fault[0] == 1 || air_bleed_fault[1] == 1);

    // 6. ADC 1; the combined flag uses last frame's altitude flag.
    if (inst_adc1_powered == 1) {
        const bool ias_failed = tok_read_i32(tok_airspeed_fail) == kFailed;
        const bool alt_failed = tok_read_i32(tok_altimeter_fail) == kFailed;
        const bool vs_failed = tok_read_i32(tok_vsi_fail) == kFailed;
        inst_adc1_ias_valid = flag(aice_pitot_fault != 1 && !ias_failed);
        inst_adc1_air_valid = flag(inst_adc1_ias_valid == 1 && inst_adc1_alt_valid == 1);
        inst_adc1_sat_valid = inst_adc1_air_valid;
        inst_adc1_tas_valid = inst_adc1_air_valid;
        inst_adc1_alt_valid = flag(!alt_failed);
        inst_adc1_vs_valid = flag(inst_adc1_alt_valid == 1 && !vs_failed);
    } else {
        inst_adc1_ias_valid = inst_adc1_air_valid = inst_adc1_sat_valid = 0;
        inst_adc1_tas_valid = inst_adc1_alt_valid = inst_adc1_vs_valid = 0;
    }
    // 7. ADC 2.
    if (inst_adc2_powered == 1) {
        inst_adc2_ias_valid = flag(aice_pitot_fault != 1);
        inst_adc2_air_valid = flag(inst_adc2_ias_valid == 1 && inst_adc2_alt_valid == 1);
        inst_adc2_alt_valid = 1;
    } else {
        inst_adc2_ias_valid = inst_adc2_air_valid = inst_adc2_alt_valid = 0;
    }
    // 8. Power for the next frame, only now.
    inst_adc1_powered = flag(elec_ess_ac_any_powered != 0);
    inst_adc2_powered = flag(elec_ac_bus2_powered != 0);
    // 9, 10.
    inst_adc1_ok = flag(inst_adc1_air_valid == 1 && inst_adc1_ias_valid == 1 && inst_adc1_alt_valid == 1);
    inst_adc2_ok = flag(inst_adc2_air_valid == 1 && inst_adc2_ias_valid == 1 && inst_adc2_alt_valid == 1);
    warn_ads = flag(!(inst_adc1_powered == 1 && inst_adc2_powered == 1 && inst_adc1_ok == 1 && inst_adc2_ok == 1));
}
