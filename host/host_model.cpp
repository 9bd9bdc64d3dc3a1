#include "host/host_model.h"

#include <algorithm>
#include <cmath>

#include "air/anti_ice_keys.h"
#include "autoflight/ap_keys.h"
#include "flight_controls/fctl_keys.h"
#include "instruments/instruments_keys.h"
#include "lighting/lighting_keys.h"
#include "sim_control/presets_keys.h"
#include "systems/systems_keys.h"
#include "module/keys.h"
#include "air/air_keys.h"
#include "fuel/fuel_keys.h"
#include "radios/radio_keys.h"

namespace {
constexpr f64 kInHgPerHpa = 0.0295299830714;
}  // namespace

const KeyRule kKeyRules[] = {
    //  event               action                  token arg latency
    {key_panel_id_toggle, KeyAction::WindowToggle, 0, 0.0, 0},
    {key_panel_id_open, KeyAction::WindowOpen, 0, 0.0, 0},
    {key_panel_id_close, KeyAction::WindowClose, 0, 0.0, 0},
    // APU: starter and off move the host APU's speed; the fire event puts its fire out.
    {key_apu_starter, KeyAction::SetToken, 975, 1.0, 0},
    {key_apu_off, KeyAction::SetToken, 975, 0.0, 0},
    {key_apu_fire_event, KeyAction::SetToken, 980, 0.0, 0},
    // Generators: the engine generator switches toggle, the APU generator takes the value.
    {key_gen1_toggle, KeyAction::ToggleToken, 762, 0.0, 0},
    {key_gen2_toggle, KeyAction::ToggleToken, 764, 0.0, 0},
    {key_apu_gen_set, KeyAction::SetFromValue, 978, 0.0, 0},
    // Engine fuel valves (1.0 open, 0.0 shut).
    {key_fuel_valve_eng1_toggle, KeyAction::ToggleToken, 895, 0.0, 0},
    {key_fuel_valve_eng2_toggle, KeyAction::ToggleToken, 896, 0.0, 0},
    // Engine tank selectors: each event sets its engine's selector to its tank's value.
    {key_fuel_sel_eng1_off, KeyAction::SetToken, 307, kTankOff, 0},
    {key_fuel_sel_eng1_left, KeyAction::SetToken, 307, kTankLeft, 0},
    {key_fuel_sel_eng1_right, KeyAction::SetToken, 307, kTankRight, 0},
    {key_fuel_sel_eng1_left_aux, KeyAction::SetToken, 307, kTankLeftAux, 0},
    {key_fuel_sel_eng1_right_aux, KeyAction::SetToken, 307, kTankRightAux, 0},
    {key_fuel_sel_eng1_center, KeyAction::SetToken, 307, kTankCenter, 0},
    {key_fuel_sel_eng2_off, KeyAction::SetToken, 906, kTankOff, 0},
    {key_fuel_sel_eng2_left, KeyAction::SetToken, 906, kTankLeft, 0},
    {key_fuel_sel_eng2_right, KeyAction::SetToken, 906, kTankRight, 0},
    {key_fuel_sel_eng2_left_aux, KeyAction::SetToken, 906, kTankLeftAux, 0},
    {key_fuel_sel_eng2_right_aux, KeyAction::SetToken, 906, kTankRightAux, 0},
    {key_fuel_sel_eng2_center, KeyAction::SetToken, 906, kTankCenter, 0},
    // Systems computer. The battery master is only ever sent to switch a dead host on.
    {key_battery_master_toggle, KeyAction::SetToken, 759, 24.0, 0},
    {key_eng1_mixture_event_a, KeyAction::SetToken, 130, 16383.0, 0},
    {key_eng1_mixture_event_b, KeyAction::SetToken, 130, 0.0, 0},
    {key_eng2_mixture_event_a, KeyAction::SetToken, 165, 16383.0, 0},
    {key_eng2_mixture_event_b, KeyAction::SetToken, 165, 0.0, 0},
    {key_yaw_damper_event_a, KeyAction::SetToken, 114, 1.0, 0},
    {key_yaw_damper_event_b, KeyAction::SetToken, 114, 0.0, 0},
    {key_trim_axis_set, KeyAction::SetFromSignedValue, 318, 0.0, 0},
    {key_gear_up, KeyAction::SetToken, 333, 0.0, 0},
    {key_gear_up, KeyAction::SetToken, 334, 0.0, 0},
    {key_gear_down, KeyAction::SetToken, 333, 16383.0, 0},
    {key_gear_down, KeyAction::SetToken, 334, 16383.0, 0},
    // Gear lever: the host's handle follows the gear events (any down value above 1.0).
    {key_gear_up, KeyAction::SetToken, 331, 0.0, 0},
    {key_gear_down, KeyAction::SetToken, 331, 16383.0, 0},
    {key_systems_event_10305, KeyAction::ToggleToken, 824, 0.0, 0},
    {key_systems_event_10306, KeyAction::ToggleToken, 323, 0.0, 0},  // parking brake
    {key_fctl_event_10099, KeyAction::SetToken, 316, 0.0, 0},
    {key_spoilers_set, KeyAction::SetFromValue, 326, 0.0, 0},
    {key_spoilers_set, KeyAction::SetFromValue, 327, 0.0, 0},
    {key_spoilers_event_10210, KeyAction::SetToken, 326, 16383.0, 0},
    {key_spoilers_event_10210, KeyAction::SetToken, 327, 16383.0, 0},
    {key_spoilers_event_10211, KeyAction::SetToken, 326, 0.0, 0},
    {key_spoilers_event_10211, KeyAction::SetToken, 327, 0.0, 0},
    // Speed-brake lever: the handle follows the set position and the automatic deployment; the
    // arming event flips the host's armed flag.
    {key_spoilers_set, KeyAction::SetFromValue, 325, 0.0, 0},
    {key_spoilers_event_10210, KeyAction::SetToken, 325, 16383.0, 0},
    {key_spoilers_arm_toggle, KeyAction::ToggleToken, 324, 0.0, 0},
    // Flap lever: one notch of four handle positions each way (the host model does not clamp).
    {key_flaps_incr, KeyAction::StepToken, 328, 5461.0, 0},
    {key_flaps_decr, KeyAction::StepToken, 328, -5461.0, 0},
    {key_systems_event_1004c, KeyAction::SetToken, 313, 0.0, 0},  // centres aileron and rudder
    {key_systems_event_1004c, KeyAction::SetToken, 316, 0.0, 0},
    {key_aileron_set, KeyAction::SetFromSignedValue, 313, 0.0, 0},
    {key_rudder_set, KeyAction::SetFromSignedValue, 316, 0.0, 0},
    {key_pitot_heat_on, KeyAction::SetToken, 13, 1.0, 0},
    {key_pitot_heat_off, KeyAction::SetToken, 13, 0.0, 0},
    // Anti-ice: the structural de-ice and the two engines' anti-ice flags (1.0 on) flip.
    {key_structural_deice_toggle, KeyAction::ToggleToken, 905, 0.0, 0},
    {key_eng1_antiice_toggle, KeyAction::ToggleToken, 883, 0.0, 0},
    {key_eng2_antiice_toggle, KeyAction::ToggleToken, 884, 0.0, 0},
    // Aural warning unit: switches the host's own ground proximity warning (token 991) off.
    {0x104a1, KeyAction::SetToken, 991, 0.0, 0},
    // Panel lighting: the knob's lights on and off; a redraw request counts in a host-side token.
    {key_panel_lights_on, KeyAction::SetToken, 10, 1.0, 0},
    {key_panel_lights_off, KeyAction::SetToken, 10, 0.0, 0},
    {key_panel_light_event, KeyAction::StepToken, kHostPanelLightRedrawsToken, 1.0, 0},
    // Exterior lights (1.0 on). Each NAV event flips the light; the panel sends the three
    // together, so the light ends flipped once.
    {key_ext_light_a_event_1, KeyAction::ToggleToken, 619, 0.0, 0},
    {key_ext_light_a_event_2, KeyAction::ToggleToken, 619, 0.0, 0},
    {key_ext_light_a_event_3, KeyAction::ToggleToken, 619, 0.0, 0},
    {key_ext_light_b_toggle, KeyAction::ToggleToken, 620, 0.0, 0},
    {key_beacon_lights_toggle, KeyAction::ToggleToken, 368, 0.0, 0},
    {key_strobes_on, KeyAction::SetToken, 11, 1.0, 0},
    {key_strobes_off, KeyAction::SetToken, 11, 0.0, 0},
    {key_ext_light_c_toggle, KeyAction::ToggleToken, 621, 0.0, 0},
    {key_landing_lights_on, KeyAction::SetToken, 14, 1.0, 0},
    {key_landing_lights_off, KeyAction::SetToken, 14, 0.0, 0},
    {key_ext_light_d_set, KeyAction::SetFromValue, 869, 0.0, 0},  // 1 extended, 0 retracted
    {key_taxi_lights_toggle, KeyAction::ToggleToken, 369, 0.0, 0},
    // Standby compass window, shown and hidden.
    {key_compass_event_on, KeyAction::SetToken, kHostCompassShownToken, 1.0, 0},
    {key_compass_event_off, KeyAction::SetToken, kHostCompassShownToken, 0.0, 0},
    // Presets: starters toggle; the take-off set-up is counted; each trim nudge moves the host's
    // trim by 0.001 rad (about 0.06 degree, less than the take-off band); the parking brake
    // toggles (the cold preset sends it only while the brake is off).
    {key_eng1_starter_toggle, KeyAction::ToggleToken, 563, 0.0, 0},
    {key_eng2_starter_toggle, KeyAction::ToggleToken, 573, 0.0, 0},
    {key_systems_event_1003f, KeyAction::StepToken, kHostTakeoffSetupsToken, 1.0, 0},
    {key_elev_trim_up, KeyAction::StepToken, 783, 0.001, 0},
    {key_elev_trim_dn, KeyAction::StepToken, 783, -0.001, 0},
    {key_parking_brakes, KeyAction::ToggleToken, 323, 0.0, 0},
    {key_apu_event_102b0, KeyAction::SetFromValue, kHostApuEvent102b0Token, 0.0, 0},
    // Engine failures: value 1 fails the host's engine, 0 repairs it.
    {key_eng1_failure_toggle, KeyAction::SetFromValue, 564, 0.0, 0},
    {key_eng2_failure_toggle, KeyAction::SetFromValue, 574, 0.0, 0},
    // Doors: the toggle alone flips the exit of token 868; followed at once by the select it flips
    // the exit reported as a percentage instead (the select undoes the toggle's flip of 868). The
    // hydraulic door group's event flips token 866.
    {key_exit_toggle, KeyAction::ToggleToken, 868, 0.0, 0},
    {key_exit_select, KeyAction::ToggleToken, 868, 0.0, 0},
    {key_exit_select, KeyAction::ToggleTokenTo, kHostExitPercentToken, 100.0, 0},
    {key_exit_event_10356, KeyAction::ToggleToken, 866, 0.0, 0},
    // Pressurisation: the ALT knob moves the target cabin altitude by 100 ft; the dump toggles.
    {key_press_target_inc, KeyAction::StepToken, 982, 100.0, 0},
    {key_press_target_dec, KeyAction::StepToken, 982, -100.0, 0},
    {key_press_dump_toggle, KeyAction::ToggleToken, 985, 0.0, 0},
    // GPS drives NAV 1 (1.0 on): whatever the value, the event flips the flag.
    {key_gps_drives_nav1_toggle, KeyAction::ToggleToken, 848, 0.0, 0},
    // Captain's altimeter knob: the setting in sixteenths of a hectopascal, shown by the host in
    // hectopascals (75) and inches of mercury (76).
    {key_baro_set, KeyAction::SetFromScaledValue, 75, 1.0 / 16.0, 0},
    {key_baro_set, KeyAction::SetFromScaledValue, 76, kInHgPerHpa / 16.0, 0},
    // Radios: tuning steps one BCD digit of the frequency or code (whole MHz the units, fraction
    // the tenths); the COM swaps exchange active and standby. The ADF frequency is set by calc.
    {key_nav1_whole_inc, KeyAction::BcdStep, 24, 0x100, 0},
    {key_nav1_whole_dec, KeyAction::BcdStep, 24, -0x100, 0},
    {key_nav1_fract_inc, KeyAction::BcdStep, 24, 0x10, 0},
    {key_nav1_fract_dec, KeyAction::BcdStep, 24, -0x10, 0},
    {key_nav2_whole_inc, KeyAction::BcdStep, 27, 0x100, 0},
    {key_nav2_whole_dec, KeyAction::BcdStep, 27, -0x100, 0},
    {key_nav2_fract_inc, KeyAction::BcdStep, 27, 0x10, 0},
    {key_nav2_fract_dec, KeyAction::BcdStep, 27, -0x10, 0},
    {key_com1_whole_inc, KeyAction::BcdStep, 617, 0x100, 0},
    {key_com1_whole_dec, KeyAction::BcdStep, 617, -0x100, 0},
    {key_com1_fract_inc, KeyAction::BcdStep, 617, 0x10, 0},
    {key_com1_fract_dec, KeyAction::BcdStep, 617, -0x10, 0},
    {key_com1_swap, KeyAction::SwapTokens, 23, 617, 0},
    {key_com2_whole_inc, KeyAction::BcdStep, 871, 0x100, 0},
    {key_com2_whole_dec, KeyAction::BcdStep, 871, -0x100, 0},
    {key_com2_fract_inc, KeyAction::BcdStep, 871, 0x10, 0},
    {key_com2_fract_dec, KeyAction::BcdStep, 871, -0x10, 0},
    {key_com2_swap, KeyAction::SwapTokens, 870, 871, 0},
    {key_xpdr_1000_inc, KeyAction::BcdStep, 38, 0x1000, 0},
    {key_xpdr_1000_dec, KeyAction::BcdStep, 38, -0x1000, 0},
    {key_xpdr_100_inc, KeyAction::BcdStep, 38, 0x100, 0},
    {key_xpdr_100_dec, KeyAction::BcdStep, 38, -0x100, 0},
    {key_xpdr_10_inc, KeyAction::BcdStep, 38, 0x10, 0},
    {key_xpdr_10_dec, KeyAction::BcdStep, 38, -0x10, 0},
    {key_xpdr_1_inc, KeyAction::BcdStep, 38, 1, 0},
    {key_xpdr_1_dec, KeyAction::BcdStep, 38, -1, 0},
    // Transmit selection: both sets from the value; set 1 or set 2 alone.
    {key_com_rx_both_set, KeyAction::SetFromValue, 876, 0.0, 0},
    {key_com_tx_select_1, KeyAction::SetToken, 875, 0.0, 0},
    {key_com_tx_select_2, KeyAction::SetToken, 875, 1.0, 0},
    // Audio: marker from the value, the idents on and off.
    {key_marker_sound_set, KeyAction::SetFromValue, 881, 0.0, 0},
    {key_vor1_ident_enable, KeyAction::SetToken, 877, 1.0, 0},
    {key_vor1_ident_disable, KeyAction::SetToken, 877, 0.0, 0},
    {key_vor2_ident_enable, KeyAction::SetToken, 878, 1.0, 0},
    {key_vor2_ident_disable, KeyAction::SetToken, 878, 0.0, 0},
    {key_adf_ident_enable, KeyAction::SetToken, 880, 1.0, 0},
    {key_adf_ident_disable, KeyAction::SetToken, 880, 0.0, 0},
    // Autopilot selected speed (knots) from the speed bugs and the autothrottle panel.
    {key_ap_speed_set, KeyAction::SetFromValue, 116, 0.0, 0},
    // Autopilot: master, altitude hold, wing leveler, heading hold and NAV hold on and off (1.0
    // on); the approach event clears the approach and glide-slope holds; the FD flag and the
    // bank-hold control take the value; V/S and altitude target land in host-side tokens.
    {key_ap_master_on, KeyAction::SetToken, 103, 1.0, 0},
    {key_ap_master_off, KeyAction::SetToken, 103, 0.0, 0},
    {key_ap_alt_hold_on, KeyAction::SetToken, 108, 1.0, 0},
    {key_ap_alt_hold_off, KeyAction::SetToken, 108, 0.0, 0},
    {key_ap_wing_leveler_on, KeyAction::SetToken, 104, 1.0, 0},
    {key_ap_wing_leveler_off, KeyAction::SetToken, 104, 0.0, 0},
    {key_ap_hdg_hold_event_b, KeyAction::SetToken, 106, 1.0, 0},
    {key_ap_hdg_hold_event_a, KeyAction::SetToken, 106, 0.0, 0},
    {key_ap_event_10113, KeyAction::SetToken, 105, 1.0, 0},
    {key_ap_nav_hold_event_b, KeyAction::SetToken, 105, 0.0, 0},
    {key_ap_nav_hold_event_a, KeyAction::SetToken, 105, 0.0, 0},
    {key_ap_approach_event, KeyAction::SetToken, 111, 0.0, 0},
    {key_ap_approach_event, KeyAction::SetToken, 112, 0.0, 0},
    {key_fd_active_set, KeyAction::SetFromValue, 792, 0.0, 0},
    {key_ap_reset_event, KeyAction::SetFromSignedValue, 785, 0.0, 0},
    {key_ap_vs_set, KeyAction::SetFromSignedValue, kHostApVsToken, 0.0, 0},
    {key_ap_event_101f3, KeyAction::SetFromSignedValue, kHostApAltTargetToken, 0.0, 0},
    // The heading bug and the NAV 1 course take the value; the altitude command lands in a
    // host-side token. The localizer coupling event (0x1010d) is only logged. The course lands
    // after the frame it was sent in, as in the simulator: every gauge of that frame (the systems
    // computer loading the selector from it) reads the course as it was.
    {key_ap_heading_set, KeyAction::SetFromSignedValue, 107, 0.0, 0},
    {key_course_set, KeyAction::SetFromSignedValue, 854, 0.0, 1},
    {key_ap_alt_set, KeyAction::SetFromSignedValue, kHostApAltCommandToken, 0.0, 0},
    // Autothrottle: arming from the value, airspeed hold on and off, the absolute throttle axes
    // (signed values). The lever-advance and climb-thrust events are only logged.
    {key_autothrottle_arm_set, KeyAction::SetFromValue, 123, 0.0, 0},
    {key_ap_speed_hold_on, KeyAction::SetToken, 115, 1.0, 0},
    {key_ap_speed_hold_off, KeyAction::SetToken, 115, 0.0, 0},
    {key_throttle1_set, KeyAction::SetFromSignedValue, 128, 0.0, 0},
    {key_throttle2_set, KeyAction::SetFromSignedValue, 163, 0.0, 0},
};
const size_t kKeyRuleCount = sizeof kKeyRules / sizeof kKeyRules[0];

// Host variables that start at something other than 0 (a script's own setting replaces them):
// the altimeter setting of the standard day, which the first officer's altimeter copies on its
// first frame.
const TokenStart kTokenStarts[] = {
    {75, 1013.25},  // hPa
    {76, 29.92},    // inHg
};
const size_t kTokenStartCount = sizeof kTokenStarts / sizeof kTokenStarts[0];

f64 bcd_step(f64 word, f64 step) {
    const u32 w = sat_u32(word, 0);  // a word that is no number steps from 0000
    const u32 place = sat_u32(std::fabs(step), 0);  // a constant of the key rules
    u32 shift = 0;
    while (shift < 32 && (u32(1) << shift) != place) shift += 4;
    if (shift >= 32) return word;
    const u32 digit = std::min<u32>((w >> shift) & 0xF, 9);
    const u32 next = step > 0 ? (digit + 1) % 10 : (digit + 9) % 10;
    return f64((w & ~(u32(0xF) << shift)) | next << shift);
}

// Tokens whose value the host hands over as an integer in the low word.
const u32 kIntegerTokens[] = {
    23,   // COM 1 active frequency, BCD
    24,   // NAV 1 frequency, BCD
    27,   // NAV 2 frequency, BCD
    38,   // transponder code, BCD
    46,   // NAV 1 station code
    55,   // NAV 2 station code
    274,  // airspeed indicator failure
    275,  // altimeter failure
    276,  // attitude indicator failure
    282,  // heading indicator failure
    283,  // vertical speed indicator failure
    285,  // navigation receivers failure
    286,  // pitot failure
    288,  // vacuum failure
    307,  // engine 1 tank selector
    906,  // engine 2 tank selector
    617,  // COM 1 standby frequency, BCD
    870,  // COM 2 active frequency, BCD
    871,  // COM 2 standby frequency, BCD
};
const size_t kIntegerTokenCount = sizeof kIntegerTokens / sizeof kIntegerTokens[0];

// Expressions answered from host variables ("set token" moves them); any other expression
// answers what "set calc" gave it, else 0.
const CalcRule kCalcRules[] = {
    {"(E:TIME OF DAY,Enum)", kHostTimeOfDayToken},
    {"(A:Exit open:1,percent)", kHostExitPercentToken},
    {"(A:TOTAL WEIGHT, Pound)", kHostTotalWeightLbToken},
    {"(A:TOTAL WEIGHT, kilogram)", kHostTotalWeightKgToken},
    {"(A:Adf active frequency:1,Kilohertz)", kHostAdf1FrequencyToken},
    {"(A:Adf active frequency:2,Kilohertz)", kHostAdf2FrequencyToken},
    {"(A:AUTO COORDINATION,bool)", kHostAutoCoordinationToken},
    {"(A:ADF Radial:2,radians)", kHostAdf2RadialToken},
};
const size_t kCalcRuleCount = sizeof kCalcRules / sizeof kCalcRules[0];
