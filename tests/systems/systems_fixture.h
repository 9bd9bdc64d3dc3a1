// Drives the systems computer through the host: only the flight-deck lighting gauge is placed,
// the host starts with a live bus (no battery key), and helpers bring up power and engines.
#pragma once
#include <cmath>
#include <cstring>

#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "lighting/state.h"
#include "systems/systems_keys.h"
#include "tests/host_fixture.h"

constexpr const char* kSystems = "ketravin flt_deck_lt_kr60";

// Host tokens the systems computer reads.
namespace tk {
constexpr u32 tick = 1, pitot_heat = 13, on_ground = 60, ias = 61, mach = 64, ap_engaged = 103,
              hdg_sel = 107, yaw_damper = 114, mixture1 = 130, mixture2 = 165, airspeed_fail = 274,
              altimeter_fail = 275, vsi_fail = 283, pitot_fail = 286, aileron = 313, rudder = 316,
              elevator = 317, trim_axis = 318, parking_brake = 323, spoilers = 326, flaps = 328,
              gear_left = 333, gear_right = 334, sim_time = 604, eng1_n1 = 624, eng1_n2 = 625,
              eng2_n1 = 643, eng2_n2 = 644, bus_volts = 759, pitch_trim_rad = 783, sys_fraction = 824,
              nav1_obs = 854, exit1 = 866;
}

class SystemsTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        token(tk::bus_volts, 24.0);
        // The host's own generators, pumps and reservoirs are healthy, so that failed states
        // derived from the host stay clear.
        for (u32 id : {761u, 763u, 781u}) token(id, 1.0);
        for (u32 id : {732u, 734u}) token(id, 3000.0);
        for (u32 id : {733u, 735u}) token(id, 1.0);
        // No first-frame lighting refresh: its host events would mix with the ones under test
        // (the lighting tests request their own refreshes).
        light_first_refresh_done = 1;
        place(kSystems);
    }
    // Key events with this id since the last call of new_keys(), all checked to be sends.
    size_t sent(const std::vector<KeyLogEntry>& keys, u32 id, u32* value = nullptr) {
        size_t n = 0;
        for (const KeyLogEntry& k : keys)
            if (k.id == id) {
                EXPECT_TRUE(k.sent) << std::hex << id;
                if (value) *value = k.value;
                ++n;
            }
        return n;
    }
    size_t sent_now(u32 id, u32* value = nullptr) { return sent(new_keys(), id, value); }
    // Runs the first frame, then puts back the switch start values the start-up preset changes,
    // so that a test starts from the aircraft as loaded, with the start-up behind it.
    void start() {
        frames(1);
        const u8 pumps[4] = {200, 200, 200, 200};
        std::memcpy(hyd_eng_pump_sw, pumps, sizeof pumps);
        std::memset(elec_gen_sw, 0, sizeof elec_gen_sw);
        std::memset(hyd_elec_pump_sw, 0, sizeof hyd_elec_pump_sw);
        std::memset(hyd_xfer_sw, 1, sizeof hyd_xfer_sw);
        std::memset(elec_batt_sw, 1, sizeof elec_batt_sw);
        std::memset(fctl_yaw_damper_sw, 1, sizeof fctl_yaw_damper_sw);
        std::memset(fctl_pitch_trim_sw, 0, sizeof fctl_pitch_trim_sw);
        hyd_press_blue = hyd_press_green1 = hyd_press_green2 = hyd_press_yellow = hyd_press_green = 0;
        new_keys();
    }
    // Ground power on both AC buses, the TRs and the batteries: every bus powered.
    void all_buses() {
        ext_power_on = 1;
        frames(2);
    }
    // Nothing connected, batteries OFF: every bus dead.
    void dead() {
        ext_power_on = 0;
        std::memset(elec_batt_sw, 0, sizeof elec_batt_sw);
        frames(2);
    }
    void engines(f64 n2_1, f64 n2_2) {
        token(tk::eng1_n2, n2_1);
        token(tk::eng2_n2, n2_2);
        token(tk::eng1_n1, n2_1);
        token(tk::eng2_n1, n2_2);
    }
};
