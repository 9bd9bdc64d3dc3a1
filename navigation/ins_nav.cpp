// The INS navigation computer: each frame turns the GPS link's values, the mode selector's
// state and a few host variables into what the CDU shows: track, heading, desired track,
// track-angle error, speeds, wind, acceleration, attitude, time of day, alignment and
// navigation times, the heading reference with its latitude limit, and the flight plan.
// Reads: the gps_ variables, ins_hdg_mag_deg, ins_hdg_true_deg, inst_tas_kt, ins_dto_state,
//        the unit's align_count, att_mode, cdu_page and text colour; tokens 82, 832, 343, 344,
//        934, 829, 77, 79, 6, 7, 5, 604, 551
// Writes: the unit's navigation outputs, the shared ins_ working values, ins_utc_*,
//         ins_wind_component_kt (INS 1)
#include "navigation/ins_nav.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "instruments/state.h"
#include "module/tokens.h"
#include "navigation/state.h"

char ins1_ref_letter[2] = "", ins2_ref_letter[2] = "";

const InsNavUnit kIns1Nav{
    true, ins1_cdu_page, ins1_hdg_ref, ins1_ref_letter, ins1_align_count, ins1_att_mode,
    ins1_track_deg, ins1_track_int, ins1_track_tenth, ins1_drift_int, ins1_dtk_deg, ins1_wpt_course_deg,
    ins1_xtk_nm, ins1_tke_deg, ins1_align_time_s, ins1_align_stamp_s, ins1_align_time_min,
    ins1_align_time_tenth, ins1_nav_time_h, ins1_nav_stamp_s, ins1_nav_time_int, ins1_nav_time_tenth,
    ins1_cdu_text_red, ins1_cdu_text_green, ins1_cdu_text_blue, ins1_cdu_text_rgb, ins1_departed,
    ins1_plan_count_seen, ins1_sel_wpt, ins1_fix_sel_m1, ins1_fix_sel_m2, ins1_fix_sel, ins1_shown_lat_deg,
    ins1_shown_lat_min, ins1_shown_lat_min_int, ins1_shown_lat_tenth, ins1_shown_lon_deg, ins1_shown_lon_min,
    ins1_shown_lon_min_int, ins1_shown_lon_tenth, ins1_sel_course_deg, ins1_dist_wpt0_nm, ins1_dist_wpt1_nm,
    ins1_sel_leg_nm, ins1_sel_next_leg_nm, ins1_fpl_rows, ins1_fpl_dtg_nm, ins1_fpl_leg_nm, ins1_fpl_ete_min,
    ins1_fpl_eta_hour, ins1_fpl_eta_min, ins1_fpl_dtg_int, ins1_fpl_leg_int, ins1_fpl_ete_shown,
    ins1_fpl_label, ins1_wpt_label};

const InsNavUnit kIns2Nav{
    false, ins2_cdu_page, ins2_hdg_ref, ins2_ref_letter, ins2_align_count, ins2_att_mode,
    ins2_track_deg, ins2_track_int, ins2_track_tenth, ins2_drift_int, ins2_dtk_deg, ins2_wpt_course_deg,
    ins2_xtk_nm, ins2_tke_deg, ins2_align_time_s, ins2_align_stamp_s, ins2_align_time_min,
    ins2_align_time_tenth, ins2_nav_time_h, ins2_nav_stamp_s, ins2_nav_time_int, ins2_nav_time_tenth,
    ins2_cdu_text_red, ins2_cdu_text_green, ins2_cdu_text_blue, ins2_cdu_text_rgb, ins2_departed,
    ins2_plan_count_seen, ins2_sel_wpt, ins2_fix_sel_m1, ins2_fix_sel_m2, ins2_fix_sel, ins2_shown_lat_deg,
    ins2_shown_lat_min, ins2_shown_lat_min_int, ins2_shown_lat_tenth, ins2_shown_lon_deg, ins2_shown_lon_min,
    ins2_shown_lon_min_int, ins2_shown_lon_tenth, ins2_sel_course_deg, ins2_dist_wpt0_nm, ins2_dist_wpt1_nm,
    ins2_sel_leg_nm, ins2_sel_next_leg_nm, ins2_fpl_rows, ins2_fpl_dtg_nm, ins2_fpl_leg_nm, ins2_fpl_ete_min,
    ins2_fpl_eta_hour, ins2_fpl_eta_min, ins2_fpl_dtg_int, ins2_fpl_leg_int, ins2_fpl_ete_shown,
    ins2_fpl_label, ins2_wpt_label};

namespace {
constexpr f64 kPi = 3.141592653589793;
constexpr f64 kEarthNm = 3440.34;
constexpr u8 kTrue = 1, kMagnetic = 2;
constexpr f64 kTrackFromHeadingKt = 10.0;  // at or below: the heading stands in for the track
constexpr f64 kKmhPerMs = 3.6, kKnotsPerKmh = 0.54;  // two roundings, as the GPS link
constexpr f64 kFtPerS2PerG = 32.174;
constexpr f64 kAccelLimitG = 0.999;
constexpr f64 kFeetPerMetre = 3.281;

constexpr u8 kCountHeld = 90;         // above: unit off or held
constexpr f64 kAlignTimeHeld = 10.0;  // shown while off or held
constexpr f64 kAlignSeconds = 270.0;
constexpr f64 kAlignTimeLatch = 0.1;
constexpr u8 kCountAligned = 2;       // below: aligned
constexpr u8 kCountTrueRef = 50;      // above: TRUE; at: MAGNETIC inside the latitude band
constexpr i32 kLatLimitNorth = 73, kLatLimitSouth = -60;
constexpr u8 kPageLatLimit = 253;

constexpr f64 kDepartedNm = 4.0;
constexpr f64 kDepartedSpeed = 10.0;
constexpr u8 kDtoSent = 3;

// Whole part and the next digit (scale 10 for tenths, 100 for hundredths), each truncated. A
// value that is no number, or infinite (it has no whole part), leaves the digits last shown.
void digits(f64 v, i32& whole, i32& fraction, f64 scale) {
    if (!std::isfinite(v)) return;
    whole = sat_i32(v, whole);
    fraction = fraction_digits(v, whole, scale);
}

constexpr f64 kWholeLimit = 2147483647.0;

f64 wrap_360(f64 s) {
    if (s < 0) return s + 360.0;
    if (s > 360.0) return s - 360.0;
    if (s == 360.0) return 0.0;
    return s;
}

// Step A: the unit's track, heading and desired track in its heading reference.
void heading_reference(const InsNavUnit& u) {
    const bool slow = !(gps_ground_speed_kt > kTrackFromHeadingKt);
    if (u.hdg_ref == kMagnetic) {
        u.track_deg = slow ? ins_hdg_mag_deg : gps_mag_track_deg;
        ins_heading_deg = ins_hdg_mag_deg;
        u.dtk_deg = gps_dtk_deg;
        u.wpt_course_deg = gps_course_deg;
    } else {
        u.track_deg = slow ? ins_hdg_true_deg : gps_true_track_deg;
        ins_heading_deg = ins_hdg_true_deg;
        ins_magvar_deg = finite_or(tok_read(tok_magvar_deg), ins_magvar_deg);
        u.dtk_deg = wrap_360(sat_f64(gps_dtk_deg + ins_magvar_deg));
        u.wpt_course_deg = wrap_360(sat_f64(gps_course_deg + ins_magvar_deg));
    }
    u.drift_int = sat_i32(gps_drift_deg < 0 ? -gps_drift_deg : gps_drift_deg, u.drift_int);
    u.xtk_nm = gps_xtk_nm;
}

// Desired track minus track, brought into -180..180.
f64 track_angle_error(f64 track, f64 dtk) {
    const f64 d = sat_f64(track - dtk);
    if (d > 180.0) return 360.0 - d;
    if (d < -180.0) return -(d + 360.0);
    if (d == -180.0) return 180.0;
    return -d;
}

// A byte or whole number from a value computed from readings; no number leaves it as it was.
void set_whole(u8& x, f64 v) { x = sat_u8(v, x); }
void set_whole(i32& x, f64 v) { x = sat_i32(v, x); }

// A host reading to compute a whole number from: false for no number or an infinity (it has
// no whole part), which leave what the reading would set as it was. An absurd finite reading
// is a number: what it gives saturates.
bool reading(TokenVar& t, f64& v) {
    v = tok_read(t);
    return std::isfinite(v);
}

// Step B: the display digits and copies. A reading that is no number leaves what it sets as it
// stood, never 0.
void digits_and_copies(const InsNavUnit& u) {
    digits(u.track_deg, u.track_int, u.track_tenth, 10.0);
    digits(ins_heading_deg, ins_heading_int, ins_heading_tenth, 10.0);
    u.tke_deg = track_angle_error(u.track_deg, u.dtk_deg);
    ins_true_heading_deg = ins_hdg_true_deg;
    digits(ins_true_heading_deg, ins_true_heading_int, ins_true_heading_hundredths, 100.0);
    f64 v;
    if (reading(tok_ground_speed_ms, v)) set_whole(ins_ground_speed_kt, v * kKmhPerMs * kKnotsPerKmh);
    if (std::isfinite(inst_tas_kt)) set_whole(ins_tas_kt, inst_tas_kt);
    ins_wind_speed = finite_or(tok_read(tok_wind_speed), ins_wind_speed);
    set_whole(ins_wind_speed_int, ins_wind_speed);
    ins_wind_dir_deg = finite_or(tok_read(tok_wind_direction), ins_wind_dir_deg);
    set_whole(ins_wind_dir_int, ins_wind_dir_deg);
    // An infinite acceleration is beyond the limit like any other; only no number keeps the last.
    const f64 a = tok_read(tok_accel_fps2) / kFtPerS2PerG;
    if (!std::isnan(a)) ins_accel_g = std::clamp(a, -kAccelLimitG, kAccelLimitG);
    set_whole(ins_accel_mg, ins_accel_g * 1000.0);
    if (reading(tok_gps_altitude_m, v)) {
        set_whole(ins_altitude_m, v);
        set_whole(ins_altitude_ft, v * kFeetPerMetre);
    }
    digits(tok_read(tok_pitch_deg), ins_pitch_int, ins_pitch_hundredths, 100.0);
    digits(tok_read(tok_bank_deg), ins_bank_int, ins_bank_hundredths, 100.0);
}

// Step C: the time of day (INS 1 only).
void time_of_day() {
    f64 v;
    if (reading(tok_zulu_hour, v)) set_whole(ins_utc_hour, v);
    if (reading(tok_zulu_minute, v)) set_whole(ins_utc_minute, v);
    if (reading(tok_clock_second, v)) set_whole(ins_utc_second, v);
}

void distance_digits() {
    set_whole(ins_dist_int, gps_dist_nm);
    ins_dist_tenth = tenths_digit(gps_dist_nm, ins_dist_int);
}

// Step E: the CDU's alignment countdown and the time since alignment, on simulation time. A
// clock set back (or a stamp that is no number) restarts a stamp from now; a non-finite clock
// changes nothing; the time between two absurd readings saturates instead of overflowing.
void alignment_and_nav_time(const InsNavUnit& u) {
    const f64 now = tok_read(tok_sim_time_s);
    if (!std::isfinite(now)) return;
    if (u.align_count > kCountHeld) {
        u.align_time_s = f32(kAlignTimeHeld);
        u.align_stamp_s = now;
    } else if (u.align_time_s < kAlignTimeLatch) {
        u.align_time_s = 0.0f;
    } else {
        if (!(u.align_stamp_s <= now)) u.align_stamp_s = now;
        u.align_time_s = f32(std::max(kAlignSeconds - sat_f64(now - u.align_stamp_s), 0.0));
    }
    const f64 remaining_min = f64(std::max(u.align_time_s, 0.0f)) / 60.0;
    set_whole(u.align_time_min, remaining_min);
    set_whole(u.align_time_tenth, fraction_digits(remaining_min, u.align_time_min, 10.0));

    if (u.align_count < kCountAligned) {
        if (!(u.nav_stamp_s <= now)) u.nav_stamp_s = now;
        u.nav_time_h = sat_f64(now - u.nav_stamp_s) / 3600.0;
        set_whole(u.nav_time_int, u.nav_time_h);
        // Past 255 hours the whole digits stop; the tenths then stop with them.
        if (u.nav_time_h < 256.0) set_whole(u.nav_time_tenth, u.nav_time_h * 10.0 - f64(u.nav_time_int) * 10.0);
        else u.nav_time_tenth = 0;
    } else {
        u.nav_stamp_s = now;
        u.nav_time_int = 0;
        u.nav_time_tenth = 0;
    }
}

// Step F: TRUE while aligning, MAGNETIC from count 50 inside the latitude band; outside the
// band a MAGNETIC unit (not in ATT) is held on the latitude-limit page.
void heading_reference_rules(const InsNavUnit& u) {
    if (u.align_count > kCountTrueRef) u.hdg_ref = kTrue;
    const bool outside = gps_lat_deg_signed > kLatLimitNorth || gps_lat_deg_signed < kLatLimitSouth;
    if (outside && u.hdg_ref == kMagnetic && u.att_mode == 0) {
        std::fill(u.cdu_page, u.cdu_page + kCduPages, u8(0));
        u.cdu_page[kPageInstruData] = kPageLatLimit;
    }
    if (u.align_count == kCountTrueRef && !outside) u.hdg_ref = kMagnetic;
    std::snprintf(u.ref_letter, 2, "%s", u.hdg_ref == kMagnetic ? "M" : "T");
}

// Step G: the plan counts as started once the first waypoint is close behind at speed, or
// past the second waypoint, or after a DIRECT TO; a new host plan starts over.
void plan_started(const InsNavUnit& u) {
    const f64 vx = tok_read(tok_velocity_x);
    if (gps_active_wpt == 1 && u.dist_wpt0_nm < kDepartedNm && vx >= kDepartedSpeed) u.departed = 1;
    if (gps_active_wpt >= 2 || ins_dto_state >= kDtoSent) u.departed = 1;
    if (gps_wpt_count != u.plan_count_seen) {
        u.departed = 0;
        if (u.first) {
            ins1_plan_total_nm = 0.0;
            ins1_cum_count_done = 0;
            ins_dto_build_slot = 0;
        }
        u.plan_count_seen = gps_wpt_count;
    }
}
}  // namespace

// Past the guard (no number fails it too) the digit is not shown: 0, as for a value too large.
i32 fraction_digits(f64 v, i32 whole, f64 scale) {
    return std::fabs(v) < kWholeLimit ? sat_i32(v * scale - f64(whole) * scale, 0) : 0;
}

u8 tenths_digit(f64 v, i32 whole) { return std::fabs(v) < kWholeLimit ? sat_u8((v - f64(whole)) * 10.0, 0) : 0; }

f64 gc_distance_nm(f64 lat1, f64 lon1, f64 lat2, f64 lon2) {
    const f64 c = std::sin(lat1) * std::sin(lat2) + std::cos(lat1) * std::cos(lat2) * std::cos(lon2 - lon1);
    // Rounding can push the cosine of a tiny angle past 1.
    return std::acos(std::clamp(c, -1.0, 1.0)) * kEarthNm;
}

f64 wind_component(f64 heading_deg, f64 wind_dir_deg, f64 wind_speed) {
    return -wind_speed * std::cos((wind_dir_deg - heading_deg) * kPi / 180.0);
}

void ins_nav_frame_head(const InsNavUnit& u) {
    heading_reference(u);                                    // 2
    digits_and_copies(u);                                    // 3
    ins_plan_positions(u);                                   // 4
    if (u.first) time_of_day();                              // 5
    distance_digits();
    ins_plan_distances(u);                                   // 6
    if (u.first)                                             // 7
        set_whole(ins_wind_component_kt, wind_component(ins_hdg_mag_deg, ins_wind_dir_deg, ins_wind_speed));
    alignment_and_nav_time(u);                               // 8
}

void ins_nav_frame_tail(const InsNavUnit& u) {
    ins_plan_tables(u);                                      // 10
    heading_reference_rules(u);                              // 11
    plan_started(u);                                         // 12
    u.text_rgb = (u.text_red & 0xFFu) | (u.text_green & 0xFFu) << 8 | (u.text_blue & 0xFFu) << 16;  // 13
    if (u.first) ins_dto_passes();                           // 14
}
