// Start-up sequence and presets of the systems computer: the ready-to-fly values and six window
// closes of the first frame, then EASY START, COLD START and the four automatic modes (engines
// autostart, APU autostart, electrical automatic, hydraulic automatic), each gated by its byte.
// Reads: panel_init_state, panel_preset_select, fail_select, panel_easy_start_delay,
//        panel_takeoff_setup_done, fctl_pitch_trim_deg, fctl_rudder_limiter_sw, apu_n1_pct,
//        inst_flap_detent, light_time_of_day, elec_ess_ac_powered, dc_ess_powered,
//        elec_ac_bus1_powered, elec_gen1_load, elec_gen2_load, elec_apu_gen_load_a, ext_power_on
// Writes: panel_init_state (1 to 2), panel_preset_select, fail_select[0..5, 10..13],
//         fail_eng1_select, fail_eng2_select, panel_easy_start_delay, panel_takeoff_setup_done,
//         the electrical, hydraulic, flight-control, anti-ice, pack, exterior-light, APU,
//         engine-start and INS switch bytes, hyd_press_*, eng_hp_valve_open, eng_start_valve,
//         inst_asi_bug_mode, air_pack_valve, fire states (through clear_failures_and_fires)
#include "sim_control/presets.h"

#include <algorithm>
#include <iterator>

#include "sim_control/failure_timers.h"
#include "air/state.h"
#include "apu/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "navigation/state.h"
#include "sim_control/state.h"
#include "systems/state.h"
#include "sim_control/presets_keys.h"
#include "module/keys.h"
#include "module/services.h"
#include "module/tokens.h"

namespace {
constexpr u8 kInitReady = 2;  // ready values set, six pop-ups closed
enum PresetIndex { EasyStart = 0, ColdStart = 1 };
enum ModeIndex { EnginesAutostart = 10, ApuAutostart = 11, ElecAuto = 12, HydAuto = 13 };
constexpr u8 kSelectActive = 1;

// Pop-ups the first frame closes, in this order.
constexpr u32 kStartupCloses[] = {panel_win_upper_1, panel_win_pedestal, panel_win_pedestal_big,
                                  panel_win_radios,  panel_win_mwp_popup, panel_win_gps};

// Switch positions.
constexpr u8 kOn = 1;
constexpr u8 kOff = 0;
constexpr u8 kEngPumpOn = 100;
constexpr u8 kEssSourceGen2 = 0, kEssSourceGen1 = 1, kEssSourceNorm = 2, kEssSourceApu = 3,
             kEssSourceEmergInv = 4;
constexpr u8 kStartSelectorStart = 1, kStartSelectorRun = 2;
constexpr u8 kStartMasterArmed = 2;
constexpr u8 kInsNav = 3, kInsModeNav = 3, kInsAligned = 1, kInsHdgMagnetic = 2;
constexpr size_t kInsCduPages = 14;
constexpr size_t kIns1CrsDataAuto = 9, kIns2InstruData = 4;
constexpr u32 kHydPressFull = 3000;
constexpr u16 kPackValveOpen = 400;
constexpr i32 kNight = 3;

// Engine and APU thresholds.
constexpr f64 kN1NeedsStartPct = 15.0;  // at or below: the engine needs starting
constexpr f64 kN1RunningPct = 20.0;
constexpr f64 kN2OpenHpValvePct = 20.0;
constexpr f64 kApuN1GenPct = 50.0;
constexpr u32 kGenLoadLive = 50;
// EASY START's take-off set-up.
constexpr f64 kTrimBandLowDeg = 0.95, kTrimBandHighDeg = 1.05;
constexpr f64 kFlapDetentMargin = 10.0;
constexpr f64 kPackOpenAltitudeFt = 5000.0;

template <typename T, size_t N>
void set_all(T (&a)[N], T v) {
    std::fill(std::begin(a), std::end(a), v);
}

bool on_ground() { return tok_read(tok_on_ground) == 1.0; }

struct Engines {
    f64 n1_1, n1_2, n2_1, n2_2;
    bool either_needs_start() const { return n1_1 <= kN1NeedsStartPct || n1_2 <= kN1NeedsStartPct; }
    bool both_running() const { return n1_1 >= kN1RunningPct && n1_2 >= kN1RunningPct; }
    bool either_below_running() const { return n1_1 < kN1RunningPct || n1_2 < kN1RunningPct; }
    bool both_below_running() const { return n1_1 < kN1RunningPct && n1_2 < kN1RunningPct; }
};
Engines read_engines() {
    return {tok_read(tok_eng1_n1), tok_read(tok_eng2_n1), tok_read(tok_eng1_n2), tok_read(tok_eng2_n2)};
}

// Each HP valve opens once its own engine turns fast enough to light.
void open_hp_valves_by_n2(const Engines& e) {
    if (e.n2_1 >= kN2OpenHpValvePct) eng_hp_valve_open[0] = kOn;
    if (e.n2_2 >= kN2OpenHpValvePct) eng_hp_valve_open[1] = kOn;
}

void yaw_dampers_and_trim(u8 v) {
    set_all(fctl_yaw_damper_sw, v);
    set_all(fctl_pitch_trim_sw, v);
}

void apu_on(bool on) {
    apu_master_sw = on ? kOn : kOff;
    apu_starting = on ? kOn : kOff;
}

// The electrical switches every preset and mode sets to their normal positions.
void elec_normal_switches() {
    set_all(elec_batt_sw, kOn);
    set_all(elec_tr_sw, kOn);
    set_all(elec_trans_sw, kOn);
    set_all(elec_line_sw, kOn);
}

// Electrical and hydraulic switches with both engines running: normal sources, both engine
// generators on, engine-driven pumps on and the electric ones off.
void running_elec_hyd_switches() {
    elec_normal_switches();
    elec_ess_ac_source_sel = kEssSourceNorm;
    elec_gen_sw[0] = elec_gen_sw[1] = kOn;
    elec_smoke_drill_sw = kOff;
    elec_ess_bus_sw = kOn;
    set_all(hyd_elec_pump_sw, kOff);
    set_all(hyd_eng_pump_sw, kEngPumpOn);
    set_all(hyd_xfer_sw, kOn);
}

// ---- EASY START -------------------------------------------------------------------------------

void easy_start_switches() {
    running_elec_hyd_switches();
    hyd_press_yellow = hyd_press_green1 = hyd_press_green2 = hyd_press_blue = kHydPressFull;
    set_all(air_pack_sw, kOn);
    set_all(aice_probe_heat_sw, kOn);
    light_nav_sw = kOn;
    light_beacon_sw = kOn;
    if (light_time_of_day == kNight) light_logo_sw = kOn;
}

// Both INS in navigate mode, aligned, magnetic heading reference.
void easy_start_ins() {
    ins1_msu_knob = ins2_msu_knob = kInsNav;
    ins1_mode = ins2_mode = kInsModeNav;
    ins1_align_count = ins2_align_count = kInsAligned;
    ins1_hdg_ref = ins2_hdg_ref = kInsHdgMagnetic;
    std::fill(ins1_cdu_page, ins1_cdu_page + kInsCduPages, u8(0));
    std::fill(ins2_cdu_page, ins2_cdu_page + kInsCduPages, u8(0));
    ins1_cdu_page[kIns1CrsDataAuto] = 1;
    ins2_cdu_page[kIns2InstruData] = 1;
}

void easy_start_engines(const Engines& e) {
    if (!e.either_needs_start()) return;
    apu_on(true);
    elec_gen_sw[2] = kOn;
    eng_start_selector = kStartSelectorStart;
    eng_start_master = kStartMasterArmed;
    if (tok_read(tok_eng2_starter) == 0.0) svc::send_key_event(key_eng2_starter_toggle, 0);
    eng_start_valve[1] = kOn;
    if (tok_read(tok_eng1_starter) == 0.0) svc::send_key_event(key_eng1_starter_toggle, 0);
    eng_start_valve[0] = kOn;
    open_hp_valves_by_n2(e);
}

// On the ground, once per EASY START cycle: take-off set-up and one trim nudge per frame into
// the take-off band.
void easy_start_takeoff_setup() {
    if (panel_takeoff_setup_done != 0 || !on_ground()) return;
    svc::send_key_event(key_systems_event_1003f, 0);
    if (fctl_pitch_trim_deg <= kTrimBandLowDeg)
        svc::send_key_event(key_elev_trim_up, 0);
    else if (fctl_pitch_trim_deg >= kTrimBandHighDeg)
        svc::send_key_event(key_elev_trim_dn, 0);
}

void easy_start_end(const Engines& e) {
    if (!e.both_running()) return;
    yaw_dampers_and_trim(kOn);
    elec_gen_sw[2] = kOff;
    apu_on(false);
    eng_start_selector = kStartSelectorRun;
    eng_start_master = kOff;
    if (fctl_rudder_limiter_sw[0] == 0 || fctl_rudder_limiter_sw[1] == 0) {
        set_all(fctl_rudder_limiter_sw, kOn);
        yaw_dampers_and_trim(kOn);
        return;
    }
    if (on_ground()) {
        if (tok_read(tok_flaps_left_pos) >= f64(inst_flap_detent[1]) - kFlapDetentMargin) {
            inst_asi_bug_mode = 1;
            panel_takeoff_setup_done = 1;
            panel_preset_select[EasyStart] = 0;
        }
        return;
    }
    if (tok_read(tok_indicated_altitude_ft) >= kPackOpenAltitudeFt) {
        set_all(air_pack_valve, kPackValveOpen);
        panel_takeoff_setup_done = 0;
    }
    if (panel_easy_start_delay == 0) {
        panel_preset_select[EasyStart] = 0;
        panel_easy_start_delay = kEasyStartDelayFull;
    }
}

void easy_start() {
    clear_failures_and_fires();
    panel_preset_select[ColdStart] = 0;
    fail_select[EnginesAutostart] = 0;
    fail_select[ApuAutostart] = 0;
    easy_start_switches();
    easy_start_ins();
    const Engines e = read_engines();
    easy_start_engines(e);
    easy_start_takeoff_setup();
    // A countdown found outside its range (a byte that wrapped) starts over instead of keeping
    // an airborne EASY START running for good.
    if (panel_easy_start_delay > kEasyStartDelayFull) panel_easy_start_delay = kEasyStartDelayFull;
    easy_start_delay_step();
    easy_start_end(e);
}

// ---- COLD START -------------------------------------------------------------------------------

void cold_start_switches() {
    set_all(elec_batt_sw, kOff);
    set_all(elec_tr_sw, kOn);
    set_all(elec_trans_sw, kOn);
    set_all(elec_line_sw, kOn);
    elec_ess_ac_source_sel = kEssSourceNorm;
    set_all(elec_gen_sw, kOff);
    elec_smoke_drill_sw = kOff;
    elec_ess_bus_sw = kOn;
    set_all(hyd_elec_pump_sw, kOff);
    set_all(hyd_eng_pump_sw, kEngPumpOn);
    hyd_press_yellow = hyd_press_green1 = hyd_press_green2 = hyd_press_blue = 0;
    set_all(hyd_xfer_sw, kOff);
    set_all(eng_hp_valve_open, kOff);
    set_all(air_pack_sw, kOff);
    set_all(aice_probe_heat_sw, kOff);
    light_nav_sw = light_beacon_sw = light_logo_sw = light_strobe_sw = kOff;
    ins1_msu_knob = ins2_msu_knob = kOff;
    yaw_dampers_and_trim(kOff);
    set_all(fctl_rudder_limiter_sw, kOff);
}

void cold_start() {
    if (tok_read(tok_parking_brake) == 0.0) svc::send_key_event(key_parking_brakes, 0);
    panel_preset_select[EasyStart] = 0;
    for (int m : {EnginesAutostart, ApuAutostart, ElecAuto, HydAuto}) fail_select[m] = 0;
    panel_takeoff_setup_done = 0;
    clear_failures_and_fires();
    cold_start_switches();
    panel_preset_select[ColdStart] = 0;
}

// ---- automatic modes --------------------------------------------------------------------------

enum FailIndex { FailApu = 0, FailGen1 = 1, FailGen2 = 2, FailBlue = 3, FailGreen = 4, FailYellow = 5 };

void engines_autostart() {
    fail_eng1_select = fail_eng2_select = 0;
    for (int f : {FailApu, FailGen1, FailGen2}) fail_select[f] = 0;
    panel_preset_select[EasyStart] = 0;
    elec_normal_switches();
    elec_ess_ac_source_sel = kEssSourceNorm;
    const Engines e = read_engines();
    if (e.either_needs_start()) {
        apu_on(true);
        if (apu_n1_pct >= kApuN1GenPct) {
            elec_gen_sw[2] = kOn;
            svc::send_key_event(key_apu_event_102b0, 1);
        }
        open_hp_valves_by_n2(e);
    }
    if (e.both_running()) {
        yaw_dampers_and_trim(kOn);
        elec_gen_sw[0] = elec_gen_sw[1] = kOn;
        elec_gen_sw[2] = kOff;
        apu_on(false);
        fail_select[EnginesAutostart] = 0;
    }
}

void apu_autostart() {
    panel_preset_select[EasyStart] = 0;
    apu_on(true);
    fail_select[ApuAutostart] = 0;
}

// First live source for the AC essential bus when it has lost its normal supply.
u8 ess_ac_source_pick() {
    if (elec_ac_bus1_powered == 1) return kEssSourceNorm;
    if (elec_gen1_load >= kGenLoadLive) return kEssSourceGen1;
    if (elec_gen2_load >= kGenLoadLive) return kEssSourceGen2;
    if (elec_apu_gen_load_a >= kGenLoadLive || ext_power_on == 1) return kEssSourceApu;
    return kEssSourceEmergInv;
}

void elec_auto() {
    fail_select[FailGen1] = fail_select[FailGen2] = 0;
    panel_preset_select[ColdStart] = 0;
    elec_normal_switches();
    elec_smoke_drill_sw = kOff;
    elec_ess_bus_sw = kOn;
    if (elec_ess_ac_powered == 0 && dc_ess_powered == 1) elec_ess_ac_source_sel = ess_ac_source_pick();
    const f64 n1_1 = tok_read(tok_eng1_n1), n1_2 = tok_read(tok_eng2_n1);
    elec_gen_sw[0] = n1_1 >= kN1RunningPct ? kOn : kOff;
    elec_gen_sw[1] = n1_2 >= kN1RunningPct ? kOn : kOff;
    const Engines e{n1_1, n1_2, 0.0, 0.0};
    if (e.either_below_running()) {
        apu_on(true);
        elec_gen_sw[2] = apu_n1_pct >= kApuN1GenPct ? kOn : kOff;
    }
    if (e.both_running()) apu_on(false);
}

void hyd_auto() {
    for (int f : {FailBlue, FailGreen, FailYellow}) fail_select[f] = 0;
    const bool ground = on_ground();
    const Engines e{tok_read(tok_eng1_n1), tok_read(tok_eng2_n1), 0.0, 0.0};
    set_all(hyd_eng_pump_sw, kEngPumpOn);
    set_all(hyd_xfer_sw, kOn);
    const bool elec_pumps = ground ? e.either_below_running() : e.both_below_running();
    set_all(hyd_elec_pump_sw, elec_pumps ? kOn : kOff);
}
}  // namespace

void easy_start_delay_step() {
    if (panel_easy_start_delay >= 1 && panel_easy_start_delay <= kEasyStartDelayFull) --panel_easy_start_delay;
}

void startup_preset_frame() {
    set_all(eng_hp_valve_open, kOn);
    running_elec_hyd_switches();
    yaw_dampers_and_trim(kOn);
    for (u32 ident : kStartupCloses) svc::trigger_key_event(key_panel_id_close, ident);
    panel_init_state = kInitReady;
}

void presets_frame() {
    if (panel_preset_select[EasyStart] == kSelectActive) easy_start();
    if (panel_preset_select[ColdStart] == kSelectActive) cold_start();
    if (fail_select[EnginesAutostart] == kSelectActive) engines_autostart();
    if (fail_select[ApuAutostart] == kSelectActive) apu_autostart();
    if (fail_select[ElecAuto] == kSelectActive) elec_auto();
    if (fail_select[HydAuto] == kSelectActive) hyd_auto();
}
