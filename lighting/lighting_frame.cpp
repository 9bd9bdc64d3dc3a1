// Panel lighting steps of the systems computer: the night rule that keeps the host's panel
// lights on, the refresh sequence of host lighting events, the lamp test flag, the time of day
// and the six lighting zones.
// Reads: light_time_of_day, light_refresh, light_flt_deck_sw, light_panel_on, dc_ess_powered,
//        elec_ac_bus1_powered, elec_ac_bus2_powered, tok_panel_lights, tok_tick18
// Writes: light_panel_on, light_refresh, light_refresh_step, light_refresh_due,
//         light_first_refresh_done, light_time_of_day, light_time_of_day_prev, light_lamp_test,
//         light_zone
#include "lighting/lighting_frame.h"

#include "lighting/lighting_keys.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/deadline.h"
#include "module/services.h"
#include "module/tokens.h"

namespace {
constexpr i32 kNight = 3;
constexpr u8 kLampTestPosition = 2;
// Spacing of the four refresh events, in ticks: normal and slow requests.
constexpr u32 kRefreshSpacingNormal = 5;
constexpr u32 kRefreshSpacingSlow = 9;
constexpr u8 kRefreshSlow = 2;
constexpr char kTimeOfDay[] = "(E:TIME OF DAY,Enum)";

// Zones lit with only the DC essential bus: main instruments, engine instruments, glareshield.
constexpr bool kLitOnDcEssential[6] = {true, true, false, false, false, true};

void refresh_sequence() {
    if (light_refresh == 0) return;
    const u32 spacing = light_refresh == kRefreshSlow ? kRefreshSpacingSlow : kRefreshSpacingNormal;
    const f64 now = tok_read(tok_tick18);
    const u32 next_due = deadline_arm(now, spacing);
    if (light_refresh_step == 0) {
        svc::send_key_event(key_panel_light_event, 0);
        light_refresh_due = next_due;
        light_refresh_step = 1;
        return;
    }
    // Either spacing may be in force for the deadline set at the previous event.
    if (!deadline_reached(light_refresh_due, now, kRefreshSpacingSlow)) return;
    svc::send_key_event(key_panel_light_event, 0);
    if (light_refresh_step < 3) {
        light_refresh_due = next_due;
        ++light_refresh_step;
    } else {
        light_refresh_due = 0;
        light_refresh_step = 0;
        light_time_of_day_prev = light_time_of_day;
        light_refresh = 0;
    }
}
}  // namespace

void lighting_host_frame() {
    // 1. Night rule, on the time of day read last frame.
    if (light_time_of_day == kNight) {
        light_panel_on = 1;
        const f64 host_lights = tok_read(tok_panel_lights);
        if (light_refresh == 0) {
            if (dc_ess_powered == 1 && host_lights == 0.0)
                svc::send_key_event(key_panel_lights_on, 0);
            else if (dc_ess_powered != 1 && host_lights == 1.0)
                svc::send_key_event(key_panel_lights_off, 0);
        }
    }
    // 3. The first frame asks for one refresh.
    if (light_first_refresh_done == 0) {
        light_refresh = 1;
        light_first_refresh_done = 1;
    }
    // 4. Refresh sequence: four events, S ticks apart.
    refresh_sequence();
}

void lighting_zones_frame() {
    // 5. Lamp test.
    light_lamp_test = light_flt_deck_sw == kLampTestPosition ? 1 : 0;
    // 6. Time of day from the host, as an integer.
    svc::execute_calculator_code(kTimeOfDay, nullptr, &light_time_of_day, nullptr);
    // 7. Zones.
    const bool lights_wanted = light_time_of_day == kNight || light_panel_on == 1;
    const bool ac = elec_ac_bus1_powered == 1 || elec_ac_bus2_powered == 1;
    for (int z = 0; z < 6; ++z)
        light_zone[z] = lights_wanted && (ac || (dc_ess_powered == 1 && kLitOnDcEssential[z])) ? 1 : 0;
}
