// Start-up sequence and presets through the host: the first frame, every preset and automatic
// mode from a cold cockpit and from another state, EASY START's countdown and take-off set-up,
// COLD START, the ESS AC source pick, and hostile host values.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sim_control/presets.h"
#include "sim_control/presets_keys.h"
#include "apu/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "lighting/state.h"
#include "sim_control/state.h"
#include "systems/state.h"
#include "module/keys.h"
#include "module/state_registry.h"
#include "tests/systems/systems_fixture.h"

namespace {
constexpr u32 kFlapsLeft = 329, kAltitude = 74, kStarter1 = 563, kStarter2 = 573;

// Every byte a preset or automatic mode may write, with the selection bytes that run them.
const char* const kWritten[] = {
    "panel_preset_select", "fail_select", "fail_eng1_select", "fail_eng2_select", "fire_eng1_state",
    "fire_eng2_state", "fire_apu_latched", "fire_handle", "fire_eng_agent_full", "apu_fire_handle_pulled",
    "elec_batt_sw", "elec_tr_sw", "elec_trans_sw", "elec_line_sw", "elec_ess_ac_source_sel", "elec_gen_sw",
    "elec_smoke_drill_sw", "elec_ess_bus_sw", "hyd_elec_pump_sw", "hyd_eng_pump_sw", "hyd_press_yellow",
    "hyd_press_green1", "hyd_press_green2", "hyd_press_blue", "hyd_xfer_sw", "eng_hp_valve_open", "air_pack_sw",
    "air_pack_valve", "aice_probe_heat_sw", "light_nav_sw", "light_beacon_sw", "light_logo_sw", "light_strobe_sw",
    "ins1_msu_knob", "ins1_mode", "ins1_align_count", "ins1_hdg_ref", "ins1_cdu_page", "ins2_msu_knob",
    "ins2_mode", "ins2_align_count", "ins2_hdg_ref", "ins2_cdu_page", "fctl_yaw_damper_sw", "fctl_pitch_trim_sw",
    "fctl_rudder_limiter_sw", "apu_master_sw", "apu_starting", "eng_start_selector", "eng_start_master",
    "eng_start_valve", "inst_asi_bug_mode", "panel_takeoff_setup_done",
};

void fill_written(f64 v) {
    for (const char* name : kWritten) {
        const VarInfo* info = var_find(name);
        for (u32 i = 0; info && i < info->count; ++i) var_write(*info, i, v);
    }
}
// "name=v" or "name=v0,v1,..." for one shared variable; *changed: some element is not `fill`.
std::string var_text(const char* name, f64 fill = 0.0, bool* changed = nullptr) {
    const VarInfo* info = var_find(name);
    if (!info) return std::string("no variable ") + name;
    std::string out = std::string(name) + "=";
    for (u32 i = 0; i < info->count; ++i) {
        const f64 v = var_read(*info, i);
        if (changed) *changed |= v != fill;
        char buf[24];
        std::snprintf(buf, sizeof buf, "%s%g", i ? "," : "", v);
        out += buf;
    }
    return out;
}
// The written bytes that no longer all read `fill`.
std::string changed_from(f64 fill) {
    std::string out;
    for (const char* name : kWritten) {
        bool changed = false;
        const std::string text = var_text(name, fill, &changed);
        if (changed) out += (out.empty() ? "" : " ") + text;
    }
    return out;
}
// Key events as "id:value" in hexadecimal and decimal, in the order they went out.
std::string key_list(const std::vector<KeyLogEntry>& keys) {
    std::string out;
    for (const KeyLogEntry& k : keys) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s%x:%u", out.empty() ? "" : " ", k.id, k.value);
        out += buf;
    }
    return out;
}
}  // namespace

TEST_F(SystemsTest, FirstFrameSetsReadyValuesAndClosesSixWindowsOnce) {
    // The switches as the panel was left: the first frame sets every one of them ready to fly.
    const char* const kReady[] = {"elec_batt_sw", "elec_tr_sw", "elec_trans_sw", "elec_line_sw",
                                  "elec_ess_ac_source_sel", "elec_gen_sw", "elec_smoke_drill_sw", "elec_ess_bus_sw",
                                  "hyd_elec_pump_sw", "hyd_eng_pump_sw", "hyd_xfer_sw", "fctl_yaw_damper_sw",
                                  "fctl_pitch_trim_sw", "eng_hp_valve_open"};
    std::memset(elec_batt_sw, 0, sizeof elec_batt_sw);
    std::memset(elec_tr_sw, 0, sizeof elec_tr_sw);
    elec_trans_sw[1] = elec_line_sw[0] = 0, elec_ess_ac_source_sel = 4, elec_gen_sw[2] = 1;
    elec_smoke_drill_sw = 1, elec_ess_bus_sw = 0, hyd_elec_pump_sw[1] = 1, hyd_eng_pump_sw[2] = 0;
    hyd_xfer_sw[0] = fctl_yaw_damper_sw[1] = 0;
    frames(1);
    std::string ready;
    for (const char* name : kReady) ready += (ready.empty() ? "" : " ") + var_text(name);
    EXPECT_EQ(ready,
              "elec_batt_sw=1,1,1 elec_tr_sw=1,1,1 elec_trans_sw=1,1 elec_line_sw=1,1 elec_ess_ac_source_sel=2 "
              "elec_gen_sw=1,1,1 elec_smoke_drill_sw=0 elec_ess_bus_sw=1 hyd_elec_pump_sw=0,0 "
              "hyd_eng_pump_sw=100,100,100,100 hyd_xfer_sw=1,1 fctl_yaw_damper_sw=1,1 fctl_pitch_trim_sw=1,1 "
              "eng_hp_valve_open=1,1");
    EXPECT_EQ(panel_init_state, 2);
    std::vector<u32> closed;
    for (const KeyLogEntry& k : new_keys())
        if (k.id == key_panel_id_close) {
            EXPECT_FALSE(k.sent) << "window closes are triggered";
            closed.push_back(k.value);
        }
    EXPECT_EQ(closed, (std::vector<u32>{10030, 10040, 10045, 10050, 10090, 10080}));
    elec_gen_sw[0] = 0;
    frames(5);
    EXPECT_EQ(sent(new_keys(), key_panel_id_close), 0u);
    EXPECT_EQ(elec_gen_sw[0], 0) << "the ready values come once";
}

// Airborne with both engines running, EASY START ends when its frame countdown reads 0.
TEST_F(SystemsTest, EasyStartInTheAirEndsWhenTheCountdownRunsOut) {
    start();
    engines(25.0, 25.0);
    token(kAltitude, 3000.0);
    // From the failures panel, from the chooser, run out on the ground, a wrapped byte.
    const struct { u8 delay; u64 frames; } kCases[] = {{100, 100}, {99, 99}, {0, 1}, {255, 100}};
    for (const auto& c : kCases) {
        panel_easy_start_delay = c.delay;
        panel_preset_select[0] = 1;
        u64 n = 0;
        for (; panel_preset_select[0] == 1 && n < 400; ++n) frames(1);
        EXPECT_EQ(n, c.frames) << int(c.delay);
        EXPECT_EQ(panel_easy_start_delay, kEasyStartDelayFull);
    }
    EXPECT_EQ(sent_now(key_systems_event_1003f), 0u) << "no take-off set-up in the air";
}

TEST_F(SystemsTest, EasyStartOnTheGroundTrimsAndEndsWithTakeoffFlapsOnce) {
    start();
    engines(25.0, 25.0);
    token(tk::on_ground, 1.0);
    inst_flap_detent[1] = 15;
    panel_preset_select[0] = 1;
    frames(40);
    EXPECT_EQ(panel_preset_select[0], 1) << "waits for take-off flaps";
    EXPECT_NEAR(fctl_pitch_trim_deg, 1.0, 0.05);
    token(kFlapsLeft, 5.0);
    frames(1);
    EXPECT_EQ(panel_preset_select[0], 0);
    EXPECT_EQ(panel_takeoff_setup_done, 1);
    new_keys();
    panel_preset_select[0] = 1;  // a second EASY START skips the set-up
    frames(1);
    EXPECT_EQ(sent_now(key_systems_event_1003f), 0u);
}

class ColdStart : public SystemsTest, public ::testing::WithParamInterface<f64> {};
TEST_P(ColdStart, AppliesInOneFrameAndParksOnlyAReleasedBrake) {
    start();
    token(tk::parking_brake, GetParam());
    fail_select[10] = fail_select[12] = fail_select[13] = light_strobe_sw = 1;
    panel_preset_select[1] = 1;
    frames(1);
    EXPECT_EQ(sent_now(key_parking_brakes), GetParam() == 0.0 ? 1u : 0u);
    EXPECT_EQ(host().token(tk::parking_brake), 1.0);
    EXPECT_EQ(panel_preset_select[1] + fail_select[10] + fail_select[12] + fail_select[13], 0);
    EXPECT_EQ(elec_batt_sw[0] + elec_gen_sw[0] + hyd_xfer_sw[0] + light_strobe_sw + fctl_rudder_limiter_sw[1], 0);
}
INSTANTIATE_TEST_SUITE_P(Brake, ColdStart, ::testing::Values(0.0, 1.0));

// Hydraulic automatic: the electric pumps run on the ground while either engine is below 20 %
// N1, in the air only while both are.
TEST_F(SystemsTest, HydAutoRunsTheElectricPumpsWhileTheEnginesAreSlow) {
    start();
    const struct { f64 ground, n1_1, n1_2; u8 pumps; } kCases[] = {
        {1, 25, 25, 0}, {1, 25, 19.9, 1}, {0, 25, 19.9, 0}, {0, 19.9, 10, 1},
        {1, 20, 20, 0}, {0, 20, 19.9, 0}};  // exactly 20 % counts as running
    for (const auto& c : kCases) {
        token(tk::on_ground, c.ground);
        token(tk::eng1_n1, c.n1_1);
        token(tk::eng2_n1, c.n1_2);
        fail_select[3] = fail_select[13] = 1;
        frames(1);
        EXPECT_EQ(hyd_elec_pump_sw[0] + hyd_elec_pump_sw[1], 2 * c.pumps) << c.ground << " " << c.n1_2;
        EXPECT_EQ(fail_select[3], 0);
        EXPECT_EQ(fail_select[13], 1) << "stays on until cleared";
    }
}

// Every preset, mode and failure item at once on garbage host values: the debug check after each
// frame catches any byte out of range or shared double gone non-finite.
class HostilePresets : public SystemsTest, public ::testing::WithParamInterface<f64> {};
TEST_P(HostilePresets, BreakNothing) {
    start();
    const u32 ids[] = {tk::on_ground, tk::ias, tk::eng1_n1, tk::eng1_n2, tk::eng2_n1, tk::eng2_n2, tk::sim_time,
                       tk::parking_brake, kFlapsLeft, kAltitude, kStarter1, kStarter2, 761, 763, 732, 733, 781};
    for (u32 id : ids) token(id, GetParam());
    for (int round = 0; round < 2; ++round) {
        panel_preset_select[round] = 1;
        for (u8& s : fail_select) s = 1;
        fail_eng1_select = fail_eng2_select = 1;
        for (u8& s : fail_setting) s = 255;
        frames(5);
        EXPECT_LE(panel_easy_start_delay, kEasyStartDelayFull);
    }
}
INSTANTIATE_TEST_SUITE_P(Values, HostilePresets, ::testing::Values(NAN, INFINITY, -INFINITY, 1e300, -1e300));

// Each preset and automatic mode run straight from a cold cockpit (every byte it may write at 0)
// or from another state (every such byte at 9, so that a write of 0 shows), with the engines,
// the APU and the host as the row says: the bytes it changed and the key events it sent.
class PresetSteps : public HostTest {};

TEST_F(PresetSteps, FromAColdCockpitAndFromAnotherState) {
    const std::string elec = "elec_batt_sw=1,1,1 elec_tr_sw=1,1,1 elec_trans_sw=1,1 elec_line_sw=1,1 ";
    const std::string elec_norm = elec + "elec_ess_ac_source_sel=2 ";
    const std::string easy_hyd =
        "hyd_eng_pump_sw=100,100,100,100 hyd_press_yellow=3000 hyd_press_green1=3000 hyd_press_green2=3000 "
        "hyd_press_blue=3000 hyd_xfer_sw=1,1 ";
    const std::string easy_air = "air_pack_sw=1,1 aice_probe_heat_sw=1,1,1 light_nav_sw=1 light_beacon_sw=1";
    // Both INS to navigate, aligned, magnetic; the first 14 pages of each CDU written.
    const auto ins_nav = [](char rest) {
        const std::string tail = std::string(",") + rest + "," + rest + "," + rest + "," + rest + "," + rest;
        return " ins1_msu_knob=3 ins1_mode=3 ins1_align_count=1 ins1_hdg_ref=2"
               " ins1_cdu_page=0,0,0,0,0,0,0,0,0,1,0,0,0,0" + tail +
               " ins2_msu_knob=3 ins2_mode=3 ins2_align_count=1 ins2_hdg_ref=2"
               " ins2_cdu_page=0,0,0,0,1,0,0,0,0,0,0,0,0,0" + tail;
    };
    const std::string cleared =  // failures and fires, from another state
        "fail_eng1_select=0 fail_eng2_select=0 fire_eng1_state=0 fire_eng2_state=0 fire_apu_latched=0 "
        "fire_handle=0,0 fire_eng_agent_full=1,1,1,1 apu_fire_handle_pulled=0 ";
    const std::string starting =
        " apu_master_sw=1 apu_starting=1 eng_start_selector=1 eng_start_master=2 eng_start_valve=1,1";
    const std::string running = " fctl_yaw_damper_sw=1,1 fctl_pitch_trim_sw=1,1";
    struct Row {
        const char* what;
        u8 fill;
        u8* select;  // set to 1
        f64 n1_1, n1_2, n2_1, n2_2, apu_n1, ground, starters, altitude;
        i32 time_of_day;
        u8 delay;
        int frames;
        std::string want;
        const char* keys;
    };
    const Row rows[] = {
        {"EASY START, cold, engines stopped, by night", 0, &panel_preset_select[0], 0, 0, 0, 0, 0, 1, 0, 0, 3, 100, 1,
         "panel_preset_select=1,0 fire_eng_agent_full=1,1,1,1 " + elec_norm + "elec_gen_sw=1,1,1 elec_ess_bus_sw=1 " +
             easy_hyd + easy_air + " light_logo_sw=1" + ins_nav('0') + starting,
         "102fd:0 102fc:0 1003f:0 1004f:0"},
        {"EASY START, another state, starters in, engines turning, by day", 9, &panel_preset_select[0], 15, 10, 20,
         19.9, 0, 1, 1, 0, 0, 100, 1,
         "panel_preset_select=1,0 fail_select=0,0,0,0,0,0,9,9,9,9,0,0,9,9 " + cleared + elec_norm +
             "elec_gen_sw=1,1,1 elec_smoke_drill_sw=0 elec_ess_bus_sw=1 hyd_elec_pump_sw=0,0 " + easy_hyd +
             "eng_hp_valve_open=1,9 " + easy_air + ins_nav('9') + starting,
         ""},
        {"EASY START, cold, engines running on the ground at take-off flaps", 0, &panel_preset_select[0], 20, 20, 60,
         60, 0, 1, 0, 0, 0, 100, 2,
         "fire_eng_agent_full=1,1,1,1 " + elec_norm + "elec_gen_sw=1,1,0 elec_ess_bus_sw=1 " + easy_hyd + easy_air +
             ins_nav('0') + running + " fctl_rudder_limiter_sw=1,1 eng_start_selector=2 inst_asi_bug_mode=1"
             " panel_takeoff_setup_done=1",
         "1003f:0 1004f:0 1003f:0 1004f:0"},
        {"EASY START, another state, airborne at 5000 ft, countdown run out", 9, &panel_preset_select[0], 25, 25, 60,
         60, 0, 0, 1, 5000, 0, 1, 1,
         "panel_preset_select=0,0 fail_select=0,0,0,0,0,0,9,9,9,9,0,0,9,9 " + cleared + elec_norm +
             "elec_gen_sw=1,1,0 elec_smoke_drill_sw=0 elec_ess_bus_sw=1 hyd_elec_pump_sw=0,0 " + easy_hyd +
             "air_pack_sw=1,1 air_pack_valve=400,400 aice_probe_heat_sw=1,1,1 light_nav_sw=1 light_beacon_sw=1" +
             ins_nav('9') + running + " apu_master_sw=0 apu_starting=0 eng_start_selector=2 eng_start_master=0"
             " panel_takeoff_setup_done=0",
         ""},
        {"EASY START, another state, airborne below 5000 ft, counting down", 9, &panel_preset_select[0], 25, 25, 60,
         60, 0, 0, 1, 4999.9, 0, 50, 1,
         "panel_preset_select=1,0 fail_select=0,0,0,0,0,0,9,9,9,9,0,0,9,9 " + cleared + elec_norm +
             "elec_gen_sw=1,1,0 elec_smoke_drill_sw=0 elec_ess_bus_sw=1 hyd_elec_pump_sw=0,0 " + easy_hyd + easy_air +
             ins_nav('9') + running + " apu_master_sw=0 apu_starting=0 eng_start_selector=2 eng_start_master=0",
         ""},
        {"COLD START, another state", 9, &panel_preset_select[1], 25, 25, 60, 60, 50, 0, 1, 0, 0, 100, 1,
         "panel_preset_select=0,0 fail_select=0,0,0,0,0,0,9,9,9,9,0,0,0,0 " + cleared +
             "elec_batt_sw=0,0,0 elec_tr_sw=1,1,1 elec_trans_sw=1,1 elec_line_sw=1,1 elec_ess_ac_source_sel=2 "
             "elec_gen_sw=0,0,0 elec_smoke_drill_sw=0 elec_ess_bus_sw=1 hyd_elec_pump_sw=0,0 "
             "hyd_eng_pump_sw=100,100,100,100 hyd_press_yellow=0 hyd_press_green1=0 hyd_press_green2=0 "
             "hyd_press_blue=0 hyd_xfer_sw=0,0 eng_hp_valve_open=0,0 air_pack_sw=0,0 aice_probe_heat_sw=0,0,0 "
             "light_nav_sw=0 light_beacon_sw=0 light_logo_sw=0 light_strobe_sw=0 ins1_msu_knob=0 ins2_msu_knob=0 "
             "fctl_yaw_damper_sw=0,0 fctl_pitch_trim_sw=0,0 fctl_rudder_limiter_sw=0,0 panel_takeoff_setup_done=0",
         "100d8:0"},
        {"engines autostart, cold, APU below 50 %", 0, &fail_select[10], 10, 10, 20, 0, 49.9, 1, 0, 0, 0, 100, 1,
         "fail_select=0,0,0,0,0,0,0,0,0,0,1,0,0,0 " + elec_norm + "eng_hp_valve_open=1,0 apu_master_sw=1 apu_starting=1",
         ""},
        {"engines autostart, another state, APU at 50 %", 9, &fail_select[10], 30, 15, 19.9, 25, 50, 1, 0, 0, 0, 100,
         1,
         "panel_preset_select=0,9 fail_select=0,0,0,9,9,9,9,9,9,9,1,9,9,9 fail_eng1_select=0 fail_eng2_select=0 " +
             elec_norm + "elec_gen_sw=9,9,1 eng_hp_valve_open=9,1 apu_master_sw=1 apu_starting=1",
         "102b0:1"},
        {"engines autostart, another state, both engines at 20 %", 9, &fail_select[10], 20, 20, 60, 60, 100, 1, 0, 0,
         0, 100, 1,
         "panel_preset_select=0,9 fail_select=0,0,0,9,9,9,9,9,9,9,0,9,9,9 fail_eng1_select=0 fail_eng2_select=0 " +
             elec_norm + "elec_gen_sw=1,1,0" + running + " apu_master_sw=0 apu_starting=0",
         ""},
        {"APU autostart, another state", 9, &fail_select[11], 0, 0, 0, 0, 0, 1, 0, 0, 0, 100, 1,
         "panel_preset_select=0,9 fail_select=9,9,9,9,9,9,9,9,9,9,9,0,9,9 apu_master_sw=1 apu_starting=1", ""},
        {"electrical automatic, another state, engine 1 running", 9, &fail_select[12], 20, 19.9, 60, 19, 50, 1, 0, 0,
         0, 100, 1,
         "panel_preset_select=9,0 fail_select=9,0,0,9,9,9,9,9,9,9,9,9,1,9 " + elec +
             "elec_gen_sw=1,0,1 elec_smoke_drill_sw=0 elec_ess_bus_sw=1 apu_master_sw=1 apu_starting=1",
         ""},
        {"electrical automatic, another state, both engines running", 9, &fail_select[12], 20, 20, 60, 60, 0, 1, 0, 0,
         0, 100, 1,
         "panel_preset_select=9,0 fail_select=9,0,0,9,9,9,9,9,9,9,9,9,1,9 " + elec +
             "elec_gen_sw=1,1,9 elec_smoke_drill_sw=0 elec_ess_bus_sw=1 apu_master_sw=0 apu_starting=0",
         ""},
        {"electrical automatic, cold, engines stopped, APU below 50 %", 0, &fail_select[12], 0, 0, 0, 0, 49.9, 1, 0,
         0, 0, 100, 1,
         "fail_select=0,0,0,0,0,0,0,0,0,0,0,0,1,0 " + elec + "elec_ess_bus_sw=1 apu_master_sw=1 apu_starting=1", ""},
        {"hydraulic automatic, another state", 9, &fail_select[13], 19.9, 25, 60, 60, 0, 1, 0, 0, 0, 100, 1,
         "fail_select=9,9,9,0,0,0,9,9,9,9,9,9,9,1 hyd_elec_pump_sw=1,1 hyd_eng_pump_sw=100,100,100,100 hyd_xfer_sw=1,1",
         ""},
    };
    new_keys();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        fill_written(r.fill);
        *r.select = 1;
        elec_ess_ac_powered = 1;  // no ESS AC source pick (its own test below)
        light_time_of_day = r.time_of_day;
        panel_easy_start_delay = r.delay;
        inst_flap_detent[1] = 5243;
        apu_n1_pct = r.apu_n1;
        fctl_pitch_trim_deg = 0.0;
        token(tk::eng1_n1, r.n1_1), token(tk::eng2_n1, r.n1_2);
        token(tk::eng1_n2, r.n2_1), token(tk::eng2_n2, r.n2_2);
        token(tk::on_ground, r.ground), token(kStarter1, r.starters), token(kStarter2, r.starters);
        token(kAltitude, r.altitude), token(kFlapsLeft, 5233.0), token(tk::parking_brake, 0.0);
        for (int f = 0; f < r.frames; ++f) presets_frame();
        EXPECT_EQ(changed_from(r.fill), r.want);
        EXPECT_EQ(key_list(new_keys()), r.keys);
    }
}

// EASY START on the ground before its take-off set-up is done: one trim event a frame toward the
// band from 0.95 to 1.05 degrees, none inside it; nothing once the set-up is done or airborne.
TEST_F(PresetSteps, EasyStartNudgesTheTrimIntoTheTakeoffBand) {
    const struct { f64 trim_deg, ground; u8 done; const char* keys; } kCases[] = {
        {0.95, 1, 0, "1003f:0 1004f:0"}, {0.951, 1, 0, "1003f:0"}, {1.049, 1, 0, "1003f:0"},
        {1.05, 1, 0, "1003f:0 10047:0"}, {-5.0, 1, 1, ""},          {3.0, 0, 0, ""},
    };
    token(tk::eng1_n1, 25.0), token(tk::eng2_n1, 25.0);
    fctl_rudder_limiter_sw[0] = fctl_rudder_limiter_sw[1] = 1;
    inst_flap_detent[1] = 16000;  // flaps short of take-off: EASY START goes on
    for (const auto& c : kCases) {
        panel_preset_select[0] = 1, fctl_pitch_trim_deg = c.trim_deg, panel_takeoff_setup_done = c.done;
        token(tk::on_ground, c.ground);
        new_keys();
        presets_frame();
        EXPECT_EQ(key_list(new_keys()), c.keys) << c.trim_deg;
        EXPECT_EQ(panel_preset_select[0], 1);
    }
}

// EASY START with both engines running: a rudder limiter still off, either one, is switched on
// and the take-off set-up waits for the next frame.
TEST_F(PresetSteps, EasyStartSetsEitherRudderLimiterBeforeTheTakeoffSetUp) {
    for (const int off : {0, 1}) {
        panel_preset_select[0] = 1, panel_takeoff_setup_done = 0, inst_flap_detent[1] = 5243;
        fctl_rudder_limiter_sw[off] = 0, fctl_rudder_limiter_sw[1 - off] = 1;
        token(tk::eng1_n1, 20.0), token(tk::eng2_n1, 20.0), token(tk::eng1_n2, 60.0), token(tk::eng2_n2, 60.0);
        token(tk::on_ground, 1.0), token(kFlapsLeft, 5233.0);
        presets_frame();
        EXPECT_EQ(fctl_rudder_limiter_sw[off], 1) << off;
        EXPECT_EQ(panel_takeoff_setup_done, 0) << off;
        presets_frame();
        EXPECT_EQ(panel_takeoff_setup_done, 1) << off;
    }
}

// Electrical automatic with the AC essential bus unpowered and DC essential power: the first
// live source in the order AC bus 1, GEN 1, GEN 2, APU generator or ground power, else the
// emergency inverter; with the bus powered, or without DC essential power, the selector stays.
TEST_F(PresetSteps, ElecAutoPicksTheFirstLiveEssAcSource) {
    const struct { u8 ess_ac, dc_ess, ac_bus1; u32 gen1, gen2, apu_gen; u8 ext, want; } kCases[] = {
        {0, 1, 1, 100, 100, 100, 1, 2}, {0, 1, 0, 50, 100, 100, 1, 1}, {0, 1, 0, 0, 50, 100, 1, 0},
        {0, 1, 0, 0, 0, 50, 0, 3},      {0, 1, 0, 0, 0, 0, 1, 3},      {0, 1, 0, 0, 0, 0, 0, 4},
        {1, 1, 0, 0, 0, 0, 0, 9},       {0, 0, 0, 0, 0, 0, 0, 9},
    };
    panel_preset_select[0] = 0;
    for (const auto& c : kCases) {
        fail_select[12] = 1, elec_ess_ac_source_sel = 9;
        elec_ess_ac_powered = c.ess_ac, dc_ess_powered = c.dc_ess, elec_ac_bus1_powered = c.ac_bus1;
        elec_gen1_load = c.gen1, elec_gen2_load = c.gen2, elec_apu_gen_load_a = c.apu_gen, ext_power_on = c.ext;
        presets_frame();
        EXPECT_EQ(elec_ess_ac_source_sel, c.want) << "row " << &c - kCases;
    }
}
