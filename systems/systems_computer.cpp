// The systems computer: the callback of the flight-deck lighting gauge. Once per frame it runs
// the electrical network, the hydraulic model, yaw dampers and trim, probe heat, the start-up
// preset, panel lighting, air data, the lighting zones and the presets and failure timers, in
// that order. Values a later section computes reach earlier sections in the next frame.
// Reads: tok_ap_hdg_sel_deg, tok_nav1_obs_deg (first frame), light_zone
// Writes: ap_selected_heading, ap_selected_course, panel_init_state (0 to 1)
#include "systems/systems_computer.h"

#include "autoflight/state.h"
#include "systems/state.h"
#include "electrical/elec_network.h"
#include "sim_control/failure_timers.h"
#include "lighting/flt_deck_lt.h"
#include "hydraulics/hydraulics.h"
#include "lighting/lighting_frame.h"
#include "sim_control/presets.h"
#include "air/probes_air_data.h"
#include "flight_controls/yaw_trim.h"
#include "module/lighting.h"
#include "module/tokens.h"

namespace {
// The plate (chain position 0) is lit with the overhead panel.
constexpr LightWalk kPlateWalk = {2, walk_range(0, 0)};

enum InitState : u8 { InitLoaded = 0, InitTokensCaptured = 1 };

// First frame: the autopilot's selectors start where the host's are (truncated toward zero); one
// the host gives no number for keeps its start value.
void capture_start_tokens() {
    f64 v = 0.0;
    if (tok_number(tok_ap_hdg_sel_deg, v)) ap_selected_heading = sat_i32(v, ap_selected_heading);
    if (tok_number(tok_nav1_obs_deg, v)) ap_selected_course = sat_i32(v, ap_selected_course);
    panel_init_state = InitTokensCaptured;
}
}  // namespace

void FSAPI systems_tick(GaugeHeader* gauge, i32 service_id, u32) {
    if (service_id == ServicePreInstall) {  // placed again: no reading from before
        hydraulics_forget();
        yaw_trim_forget();
    }
    if (service_id != ServicePreUpdate || !gauge) return;
    // Other gauges read the tick counter as this refresh left it.
    tok_refresh(tok_tick18);

    light_walk(*gauge, kPlateWalk);                                   // 1 (zones of last frame)
    if (panel_init_state == InitLoaded) capture_start_tokens();       // 2
    elec_network_frame();                                             // 3 (with the host battery check)
    hydraulics_frame();                                               // 4
    yaw_trim_frame();                                                 // 5 (last frame's ADC power)
    probes_heat_frame();                                              // 6
    if (panel_init_state == InitTokensCaptured) startup_preset_frame();  // 7
    flt_deck_lt_images();                                             // 8
    lighting_host_frame();
    air_data_frame();                                                 // 9
    lighting_zones_frame();                                           // 10
    failure_apply_enable_frame();                                     // 11
    presets_frame();
    failure_timers_frame();
    failure_apply_enable_end_frame();                                 // 12

#ifndef NDEBUG
    systems_check_invariants();
#endif
}
