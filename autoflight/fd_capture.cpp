// Flight-director computer: turns the NAV 1 receiver, the air data and the autopilot's mode bytes
// into the beam (V/L) and glide-slope captures, the V/S command that flies the glide slope, and
// the roll and pitch sources of the command bars. Runs every frame whatever the power and the
// bars switch; it draws nothing and sends nothing.
// Reads: tok_nav1_code, tok_nav1_cdi, tok_nav1_signal, tok_nav1_obs_deg, tok_nav1_gs_needle,
//        tok_nav1_gs_valid, tok_radio_height_m, tok_ias_kt, tok_vertical_speed, tok_tick18,
//        tok_heading_deg, tok_adi_bank_deg, tok_adi_pitch_deg, tok_indicated_altitude_ft,
//        tok_ap_engaged, tok_ap_hdg_hold, tok_fd_bank_cmd_deg, fd_lateral_mode, ap_vl_mode,
//        ap_approach_state, ap_nav_mode, ap_hdg_select_mode, ap_alt_mode, ap_alt_command,
//        ap_selected_altitude, ap_vs_command, ap_heading_target, fd_pitch_hold,
//        fd_pitch_reference, ins1_status, gps_plan_active, ap_nav_course_deg, hsi_drift_course_deg
// Writes: fd_loc_available, fd_gs_available, fd_vl_captured, fd_vl_heading_target, fd_gs_armed,
//         fd_gs_capture_state, fd_gs_vs_command, the capture geometry and glide-slope law state,
//         and the bar sources (fd_*_error, fd_*_roll_command, fd_*_bank_step, fd_course_steering)
#include <cmath>

#include "autoflight/flight_director.h"
#include "autoflight/state.h"
#include "module/deadline.h"
#include "module/numeric.h"
#include "module/tokens.h"
#include "navigation/state.h"

namespace {
constexpr u32 kLocBit = 0x80, kGsBit = 0x40;
constexpr f64 kHostVsPerFpm = 1.30048;  // host V/S units per ft/min

// A frame's view of the receiver and air data, as the host gives it: the rules compare these
// values themselves, so one that is no number falls in none of their bands. Where a step takes a
// number from H or D, it has one only while the host gives one; without it, that step's result
// stands as last computed.
struct Inputs {
    f64 heading;        // H; the heading rules hold their results outside 0..360
    f64 heading_whole;  // H as a number, for the one step that truncates it
    bool heading_known;
    f64 cdi;            // D
    f64 cdi_number;     // D as a number, for the copy the roll-out bar steers by
    bool cdi_known;
    f64 radio;          // R, in metres
    f64 tick;
};

f64 fpm(f64 host_vs) { return host_vs * 3.281 * 60.0 / 256.0; }

// A V/S sample is the host's value in its own units; without a number the sample stands.
void take_vs_sample(f64& sample) {
    f64 v = 0.0;
    if (tok_number(tok_vertical_speed, v)) sample = v;
}

// ---- Step 1: navaid flags.
void navaid_flags() {
    tok_refresh(tok_nav1_code);
    fd_loc_available = u8(mask_test(tok_nav1_code, kLocBit));
    fd_gs_available = u8(mask_test(tok_nav1_code, kGsBit));
}

// ---- Step 2: vertical-speed samples.
constexpr f64 kSample3Above = 130.0, kSample1Above = 120.0, kSample2Above = 110.0;

void vs_samples(const Inputs& in) {
    f64 ias = 0.0;
    if (tok_number(tok_ias_kt, ias)) fd_gs_entry_vs = -(ias / 2.0 * 10.0) * kHostVsPerFpm;
    if (in.radio > kSample3Above) take_vs_sample(fd_vs_sample_3);
    fd_vs_average = (fd_vs_sample_1 + fd_vs_sample_2 + fd_vs_sample_3) / 3.0;
}

// ---- Step 3: glide-slope V/S command, from last frame's capture state.
constexpr f64 kLowHeight = 50.0;
constexpr f64 kPhaseTicks = 10.0;
constexpr f64 kSteepBandR = 100.0;

// A needle that is no number is in no band, and a height that is none is not above the steep
// band's: the command stays as it was.
void band_law(f64 g, f64 r) {
    fd_gs_vs_base = (fd_gs_entry_vs + fd_vs_average) / 2.0;
    if (g <= -20.0)
        fd_gs_vs_command = 0.0;
    else if (g <= 0.0)
        fd_gs_vs_command = fd_gs_vs_base - 45.0 * g;
    else if (g < 15.0)
        fd_gs_vs_command = fd_gs_vs_base - 7.5 * g;
    else if (g < 25.0)
        fd_gs_vs_command = -1125.0;
    else if (g >= 25.0 && r > kSteepBandR)
        fd_gs_vs_command = -1500.0;
}

// A phase deadline has come. One found more than a phase ahead of the counter was set before
// the clock ran back and restarts from now; behind the counter it stays, so that the phases
// catch up on successive frames.
bool phase_due(f64& deadline, f64 tick) { return deadline_reached(deadline, tick, kPhaseTicks); }

void vs_command(const Inputs& in) {
    if (in.radio <= kLowHeight) {
        fd_gs_vs_command = fd_vs_average;
        return;
    }
    switch (fd_gs_capture_state) {
        case 0: fd_gs_vs_command = 0.0; return;
        case 1: fd_gs_vs_command = fd_gs_entry_vs; return;
        case 2: break;
        default: return;
    }
    if (!std::isfinite(in.tick)) return;  // no clock reading: the law waits
    if (fd_gs_deadline_a == 0.0) {
        fd_gs_deadline_a = in.tick + kPhaseTicks;
        return;
    }
    const f64 g = tok_read(tok_nav1_gs_needle);
    if (fd_gs_phase_a_done == 0 && phase_due(fd_gs_deadline_a, in.tick)) {
        if (in.radio > kSample1Above) take_vs_sample(fd_vs_sample_1);
        band_law(g, in.radio);
        fd_gs_deadline_b = fd_gs_deadline_a + kPhaseTicks;
        fd_gs_phase_a_done = 1;
        fd_gs_phase_b_done = 0;
    } else if (fd_gs_phase_b_done == 0 && phase_due(fd_gs_deadline_b, in.tick)) {
        if (in.radio > kSample2Above) take_vs_sample(fd_vs_sample_2);
        band_law(g, in.radio);
        fd_gs_deadline_a = fd_gs_deadline_b + kPhaseTicks;
        fd_gs_phase_b_done = 1;
        fd_gs_phase_a_done = 0;
    }
}

// ---- Step 4: pitch sources; each is (V/S minus a target V/S) / 100 or / 200, in ft/min.
constexpr f64 kAltBand = 300.0;
constexpr f64 kAltGain = 3.5;

// A source whose readings are no number this frame stands as last computed.
void pitch_sources() {
    f64 host_vs = 0.0;
    const bool have_v = tok_number(tok_vertical_speed, host_vs);
    const f64 v = fpm(host_vs);
    if (fd_pitch_hold == 1) {
        f64 pitch = 0.0;
        if (tok_number(tok_adi_pitch_deg, pitch)) fd_pitch_error = -4.0 * (fd_pitch_reference + pitch);
    } else if (have_v) {
        fd_pitch_error = (v - ap_vs_command) / 100.0;
    }

    // The band is chosen on the altitude as the host gives it; only the law inside the band
    // takes a number from it.
    f64 h_number = 0.0;
    const bool have_h = tok_number(tok_indicated_altitude_ft, h_number);
    const f64 h = have_h ? h_number : token_f64(tok_indicated_altitude_ft);
    bool known = have_v;
    f64 e = 0.0;
    if (ap_alt_mode == 4) {
        const f64 a = ap_alt_command;
        if (h > a + kAltBand) {
            e = (v + 500.0) / 100.0;
        } else if (h < a - kAltBand) {
            e = (v - 500.0) / 100.0;
        } else {
            e = (v - kAltGain * (a - h)) / 100.0;
            known = known && have_h;
        }
    } else if (ap_alt_mode == 2 || ap_alt_mode == 3 || ap_alt_mode == 25 || ap_alt_mode == 26) {
        const f64 a = ap_selected_altitude;
        if (h > a + kAltBand || h < a - kAltBand) {
            e = (v - ap_vs_command) / 100.0;
        } else {
            e = (v - kAltGain * (a - h)) / 100.0;
            known = known && have_h;
        }
    } else {
        known = false;
    }
    if (known) fd_alt_error = e;
    if (have_v) {
        fd_level_error = v / 200.0;
        fd_gs_error = (v - fd_gs_vs_command / kHostVsPerFpm) / 200.0;
    }
}

// ---- Step 5: course steering of the roll-out bar.
// The course error is a difference from the course: without a number for it the error stands,
// and so does the copy of a deviation that is no number.
void course_steering(const Inputs& in) {
    f64 course = 0.0;
    if (tok_number(tok_nav1_obs_deg, course))
        fd_course_error = fd_heading_error(course, in.heading, 0.5, fd_course_error);
    if (in.cdi_known) fd_loc_deviation = in.cdi_number;
    fd_course_steering = 0.75 * (fd_course_error + fd_loc_deviation);
}

// A roll source that adds the bank: without a bank reading it stands as last computed.
void bank_plus(f64& command, i32 step) {
    f64 bank = 0.0;
    if (tok_number(tok_adi_bank_deg, bank)) command = step + bank;
}

// Bank step by error size: rows (above, step), the first row the error exceeds wins.
struct StepRow {
    f64 above;
    i32 step;
};
constexpr StepRow kHdgSteps[] = {{15.0, 25}, {10.0, 15}, {5.0, 10}, {3.0, 5}};
constexpr StepRow kVlSteps[] = {{15.0, 25}, {10.0, 10}, {5.0, 5}};

template <size_t N>
i32 bank_step(f64 e, const StepRow (&rows)[N]) {
    const f64 size = std::fabs(e);
    for (const StepRow& r : rows)
        if (size > r.above) return e < 0.0 ? -r.step : r.step;
    return 0;
}

// ---- Step 6: HDG/NAV roll source.
constexpr f64 kHdgRollBand = 3.0;

void hdg_roll(const Inputs& in) {
    const bool ins_steering =
        ap_nav_mode >= 1 && ins1_status >= 3 && (gps_plan_active == 1 || ap_nav_mode == 3);
    const f64 target = ins_steering ? f64(ap_nav_course_deg) : f64(ap_heading_target);
    fd_hdg_heading_error = fd_heading_error(target, in.heading, 0.5, fd_hdg_heading_error);
    const f64 e = fd_hdg_heading_error;
    fd_hdg_bank_step = bank_step(e, kHdgSteps);
    if (e < -kHdgRollBand || e > kHdgRollBand)
        bank_plus(fd_hdg_roll_command, fd_hdg_bank_step);
    else
        fd_hdg_roll_command = e;
}

// ---- Step 7: capture window and intercept bands, latches as last frame left them.
constexpr f64 kIlsWindow = 117.0;
constexpr f64 kVorLawChange = 300.0;

void next_latch(u8& latch, u8 from, u8 to, u8 otherwise) {
    latch = latch == from || latch == to ? to : otherwise;
}

// A VOR window is computed from the signal; without a number the window stands.
void capture_bands(const Inputs& in) {
    f64 s = 0.0;
    if (fd_loc_available == 1 || fd_gs_available == 1)
        fd_capture_window = kIlsWindow;
    else if (tok_number(tok_nav1_signal, s))
        fd_capture_window = s <= kVorLawChange ? s / 15.0 : s / 15.0 - (s / 30.0 - 30.0);
    const f64 w = fd_capture_window;
    fd_vl_band_edge_15 = w / 3.0;
    fd_vl_band_edge_10 = fd_vl_band_edge_15 / 1.5;
    fd_vl_band_edge_5 = fd_vl_band_edge_10 / 1.5;
    fd_vl_band_edge_1 = fd_vl_band_edge_5 / (fd_vl_outer_latch == 2 ? 2.5 : 2.0);
    fd_vl_band_edge_0 = fd_vl_band_edge_1 / (fd_vl_inner_latch == 2 ? 2.0 : 1.5);

    const f64 a = std::fabs(in.cdi);
    auto in_band = [a](f64 inner, f64 outer) { return a > inner && a <= outer; };
    if (in_band(fd_vl_band_edge_15, w)) {
        fd_vl_intercept_angle = 20;
    } else if (in_band(fd_vl_band_edge_10, fd_vl_band_edge_15)) {
        fd_vl_intercept_angle = 15;
    } else if (in_band(fd_vl_band_edge_5, fd_vl_band_edge_10)) {
        fd_vl_intercept_angle = 10;
        fd_vl_inner_latch = 0;
    } else if (in_band(fd_vl_band_edge_1, fd_vl_band_edge_5)) {
        fd_vl_intercept_angle = 5;
        next_latch(fd_vl_outer_latch, 1, 2, 0);
    } else if (in_band(fd_vl_band_edge_0, fd_vl_band_edge_1)) {
        fd_vl_intercept_angle = 1;
        next_latch(fd_vl_inner_latch, 1, 2, 0);
        next_latch(fd_vl_outer_latch, 2, 3, 1);
    } else if (in_band(0.0, fd_vl_band_edge_0)) {
        fd_vl_intercept_angle = 0;
        next_latch(fd_vl_inner_latch, 2, 3, 1);
    } else if (a == 0.0 || a > w) {
        fd_vl_intercept_angle = 0;
    }  // a deviation that is no number is in no band: angle and latches stand
}

// ---- Step 8: V/L heading target, whole degrees. A course that is no number (or infinite)
// gives no heading: the target stands as last computed.
void set_vl_heading_target(f64 deg) {
    if (std::isfinite(deg)) fd_vl_heading_target = sat_u32(deg, fd_vl_heading_target);
}

void vl_heading_target(const Inputs& in) {
    const f64 c = hsi_drift_course_deg;
    const f64 angle = fd_vl_intercept_angle;
    const f64 w = fd_capture_window, d = in.cdi;
    const bool left = d >= -w && d < 0.0, right = d > 0.0 && d <= w;
    const bool back_beam = fd_lateral_mode == 1;
    if ((left && !back_beam) || (right && back_beam))
        set_vl_heading_target(angle > c ? c + 360.0 - angle : c - angle);
    else if ((right && !back_beam) || (left && back_beam))
        set_vl_heading_target(c + angle > 360.0 ? c + angle - 360.0 : c + angle);
    else if (in.heading_known)
        set_vl_heading_target(in.heading_whole);
}

// ---- Steps 9 and 11: V/L heading error, bank step and roll source.
constexpr f64 kVlRollBand = 5.0;

void vl_heading_error(const Inputs& in) {
    fd_vl_heading_error = fd_heading_error(fd_vl_heading_target, in.heading, 0.2, fd_vl_heading_error);
    fd_vl_bank_step = bank_step(fd_vl_heading_error, kVlSteps);
}

void vl_roll() {
    const f64 e = fd_vl_heading_error;
    if (e < -kVlRollBand || e > kVlRollBand)
        bank_plus(fd_vl_roll_command, fd_vl_bank_step);
    else
        fd_vl_roll_command = e;
}

// ---- Step 10: V/L capture.
constexpr f64 kBankActive = 5.0;

void vl_capture(const Inputs& in) {
    const f64 w = fd_capture_window;
    const u8 inside = in.cdi >= -w && in.cdi <= w ? 1 : 0;
    const bool engaged = tok_read(tok_ap_engaged) == 1.0;
    const f64 hdg_hold = tok_read(tok_ap_hdg_hold);
    const f64 bank_cmd = tok_read(tok_fd_bank_cmd_deg);
    const bool bank_active = bank_cmd > kBankActive || bank_cmd < -kBankActive;
    tok_refresh(tok_nav1_code);
    const bool ils = mask_test(tok_nav1_code, kLocBit | kGsBit) != 0;

    if (ap_vl_mode != 0 && ap_approach_state == 0) {
        if (!engaged)
            fd_vl_captured = inside;
        else if (ils && hdg_hold == 0.0)
            fd_vl_captured = bank_active || ap_hdg_select_mode == 1 ? 1 : inside;
        else if (!ils && inside)
            fd_vl_captured = 1;
    } else if (ap_approach_state != 0) {
        if (!engaged)
            fd_vl_captured = inside;
        else if (bank_active && hdg_hold == 0.0)
            fd_vl_captured = 1;
    }
    if (tok_read(tok_nav1_signal) <= 0.0) fd_vl_captured = 0;
}

// ---- Step 12: glide-slope arming and capture.
constexpr f64 kGsApproaching = -15.0;
constexpr f64 kGsLost = -119.0;

// The bounds follow the course; a course or a heading that is no number (or infinite) draws no
// sector, and the bounds and the last answer stand.
u8 heading_in_sector(f64 h) {
    f64 o = 0.0;
    if (!tok_number(tok_nav1_obs_deg, o)) return fd_gs_heading_ok;
    const bool across_north = !(o >= 90.0 && o < 270.0);
    fd_gs_sector_high = sat_i32(o < 270.0 ? o + 90.0 : o - 270.0, fd_gs_sector_high);
    fd_gs_sector_low = sat_i32(o < 90.0 ? o + 270.0 : o - 90.0, fd_gs_sector_low);
    if (!std::isfinite(h)) return fd_gs_heading_ok;
    const bool in = across_north ? h > fd_gs_sector_low || h < fd_gs_sector_high
                                 : fd_gs_sector_low < h && h < fd_gs_sector_high;
    return in ? 1 : 0;
}

void gs_capture(const Inputs& in) {
    fd_gs_heading_ok = heading_in_sector(in.heading);
    const bool valid = tok_read(tok_nav1_gs_valid) == 1.0;
    if (fd_gs_heading_ok != 1 || !valid) {
        fd_gs_armed = 0;
        fd_gs_capture_state = 0;
        fd_gs_deadline_a = fd_gs_deadline_b = 0.0;
        fd_app_pitch_error = fd_level_error;  // the phase flags are kept
        return;
    }
    fd_gs_armed = 1;
    const f64 g = tok_read(tok_nav1_gs_needle);  // a needle that is no number moves no state
    u8& state = fd_gs_capture_state;
    if (g > kGsApproaching && state == 0) {
        state = 1;  // the approach pitch source waits a frame
    } else if (g < 0.0 && state == 1) {
        fd_app_pitch_error = fd_gs_error;
    } else if (g >= 0.0 && state == 1) {
        fd_app_pitch_error = fd_gs_error;
        state = 2;
    } else if (state == 2) {
        fd_app_pitch_error = fd_gs_error;
    } else {
        fd_app_pitch_error = fd_level_error;
    }
    if (g <= kGsLost) state = 0;
}
}  // namespace

f64 fd_heading_error(f64 t, f64 h, f64 dead_band, f64 previous) {
    if (!(h >= 0.0 && h < 360.0)) return previous;
    if (h < 180.0) {
        if (t > h + dead_band) return t >= h + 180.0 ? t - h - 360.0 : t - h;
        if (t < h - dead_band) return t - h;
        return 0.0;
    }
    if (t < h - dead_band) return t <= h - 180.0 ? t - h + 360.0 : t - h;
    if (t > h + dead_band) return t - h;
    return 0.0;
}

// Later steps use the values of earlier ones; the V/S command uses last frame's capture state.
void fd_capture_step() {
    Inputs in{};
    in.radio = tok_read(tok_radio_height_m);
    in.tick = tok_read(tok_tick18);
    in.cdi_known = tok_number(tok_nav1_cdi, in.cdi_number);
    in.cdi = token_f64(tok_nav1_cdi);
    in.heading_known = tok_number(tok_heading_deg, in.heading_whole);
    in.heading = token_f64(tok_heading_deg);

    navaid_flags();
    vs_samples(in);
    vs_command(in);
    pitch_sources();
    course_steering(in);
    hdg_roll(in);
    capture_bands(in);
    vl_heading_target(in);
    vl_heading_error(in);
    vl_capture(in);
    vl_roll();
    gs_capture(in);
}
