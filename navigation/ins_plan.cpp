// Flight-plan distances and page rows: the leg and cumulative tables of the host plan, the
// distances from the present position to the plan's first waypoints, the waypoint shown on
// the WPT SELECT page, and the four FLIGHT PLAN rows with distance to go, leg, time en route,
// arrival time and FM/TO labels. All distances are great-circle NM.
// Reads: the host plan through gps_waypoint, gps_ present position, gps_active_wpt,
//        gps_wpt_count, gps_plan_active, gps_dist_nm, ins_dto_state, the unit's page bytes and
//        departed flag, ins_utc_hour, ins_utc_minute, tok_ground_speed_ms
// Writes: the unit's plan values; ins_fix_*, ins_leg_nm, ins_leg_cum_nm, ins_leg_count_done,
//         ins1_cum_count_done, ins1_plan_total_nm (INS 1); the shared distance digits
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "module/tokens.h"
#include "navigation/gps_block.h"
#include "navigation/ins_nav.h"
#include "navigation/state.h"

char ins1_fpl_label[kFplRows][kFplLabelChars + 1] = {};
char ins2_fpl_label[kFplRows][kFplLabelChars + 1] = {};
char ins1_wpt_label[kWptRows][kWptLabelChars + 1] = {};
char ins2_wpt_label[kWptRows][kWptLabelChars + 1] = {};

namespace {
constexpr f64 kPi = 3.141592653589793;
constexpr u8 kDtoSent = 3;  // from here on the host plan begins with the present position
constexpr f64 kShownMax = 9999.0;
constexpr f64 kMetresPerNm = 1852.0;

enum Fix { Lat, LonDeg, LonRad };

// The plan counts as readable when the block is valid and its active record usable.
bool plan_valid() { return gps_active_usable(); }

void fix_of(i64 index, bool valid, f64* out) {
    out[Lat] = out[LonDeg] = out[LonRad] = 0.0;
    if (!valid) return;
    const GpsWaypointCopy w = gps_read_waypoint(index);
    if (!w.present) return;
    out[Lat] = host_lat_to_rad(w.record.position.latitude);
    out[LonDeg] = host_lon_to_deg(w.record.position.longitude);
    out[LonRad] = out[LonDeg] * kPi / 180.0;
}

f64 dist(const f64* a, const f64* b) { return gc_distance_nm(a[Lat], a[LonRad], b[Lat], b[LonRad]); }

// Whole degrees, minutes and the tenth of a minute of the magnitude of an angle converted from
// a host position (always a number, within half a turn of latitude or a turn of longitude).
void split_magnitude(f64 d, i32& deg, f64& min, i32& min_int, i32& tenth) {
    const f64 mag = std::fabs(d);
    deg = sat_i32(mag, deg);
    min = (mag - deg) * 60.0;
    min_int = sat_i32(min, min_int);
    tenth = sat_i32((min - min_int) * 10.0, tenth);
}

// Beyond f32's range a sum would be undefined to store; the tables never come near it.
f32 to_f32(f64 v) { return f32(std::fmax(-FLT_MAX, std::fmin(v, FLT_MAX))); }

void set_labels(char (*rows)[kFplLabelChars + 1], size_t count, const char* const* texts) {
    for (size_t i = 0; i < count; ++i) std::snprintf(rows[i], kFplLabelChars + 1, "%s", texts[i]);
}
void set_wpt_labels(char (*rows)[kWptLabelChars + 1], const char* const* texts) {
    for (size_t i = 0; i < kWptRows; ++i) std::snprintf(rows[i], kWptLabelChars + 1, "%s", texts[i]);
}

// FM/TO labels of the FLIGHT PLAN rows (rows show waypoints F - 2 .. F + 1).
void flight_plan_labels(const InsNavUnit& u, i64 f, i64 a, bool dep) {
    static const char* const kBlank[] = {"  ", "  ", "  ", "  "};
    static const char* const kFmTo[] = {"FM", "TO", "  ", "  "};
    static const char* const kTo[] = {"TO", "  ", "  ", "  "};
    static const char* const kFmTo1[] = {"  ", "FM", "TO", "  "};
    static const char* const kFmTo2[] = {"  ", "  ", "FM", "TO"};
    static const char* const kFm3[] = {"  ", "  ", "  ", "FM"};
    if (f == 0) return;
    const i64 r1 = f - 1;
    const char* const* t = kBlank;
    if (a == 1 && !dep) t = r1 == 0 ? kFmTo : r1 == 1 ? kTo : kBlank;
    else if (r1 == a + 1) t = kTo;
    else if (r1 == a) t = kFmTo;
    else if (r1 == a - 1) t = kFmTo1;
    else if (r1 == a - 2) t = kFmTo2;
    else if (r1 == a - 3) t = kFm3;
    set_labels(u.fpl_label, kFplRows, t);
}

// FROM/TO labels of the five WPT SELECT rows.
void wpt_select_labels(const InsNavUnit& u, i64 wp, i64 a, bool dep) {
    static const char* const kBlank[] = {"    ", "    ", "    ", "    ", "    "};
    static const char* const kFromTo0[] = {"FROM", "  TO", "    ", "    ", "    "};
    static const char* const kTo0[] = {"  TO", "    ", "    ", "    ", "    "};
    static const char* const kFromTo1[] = {"    ", "FROM", "  TO", "    ", "    "};
    static const char* const kFromTo2[] = {"    ", "    ", "FROM", "  TO", "    "};
    static const char* const kFromTo3[] = {"    ", "    ", "    ", "FROM", "  TO"};
    static const char* const kFrom4[] = {"    ", "    ", "    ", "    ", "FROM"};
    if (wp == 0) return;
    const char* const* t = kBlank;
    if (a == 1 && !dep) t = wp == 1 ? kFromTo0 : wp == 2 ? kTo0 : kBlank;
    else if (wp == a + 2) t = kTo0;
    else if (wp == a + 1) t = kFromTo0;
    else if (wp == a) t = kFromTo1;
    else if (wp == a - 1) t = kFromTo2;
    else if (wp == a - 2) t = kFromTo3;
    else if (wp == a - 3) t = kFrom4;
    set_wpt_labels(u.wpt_label, t);
}

struct RowValue {
    bool write;
    f64 dtg, leg;
};

// Distance to go and leg length of row k whose waypoint index is r.
RowValue row_value(const InsNavUnit& u, size_t k, i64 r, i64 f, i64 a, i64 s, bool dep) {
    const f64 g = gps_dist_nm;
    const f64 d0 = u.dist_wpt0_nm, d1 = u.dist_wpt1_nm;
    const i64 r1 = u.fpl_rows[1];
    const bool s3 = s >= kDtoSent;
    if (a != 1) {
        f64 dtg = r < a ? 0.0 : r == a ? g : ins_cum(r) - ins_cum(a - 1) - ins_leg(a) + g;
        f64 leg = ins_leg(r);
        if (k == 0 && r1 < 2) leg = d0;
        if (k == 1 && r1 == 0) leg = s3 ? d1 : d0;
        if (k == 2) leg = r1 == 0 && s3 ? d1 : ins_leg(f);
        return {true, dtg, leg};
    }
    const f64 h = ins_cum(r) - ins_cum(1) + g + d0;
    switch (k) {
        case 0:
            if (!dep) return r1 < 2 ? RowValue{true, d0, d0} : RowValue{true, h, ins_leg(r)};
            if (s3) return {false, 0.0, 0.0};
            if (r1 < 2) return {true, 0.0, d0};
            return {true, r1 == 2 ? g : h, ins_leg(r)};
        case 1:
            if (!dep) return r1 == 0 ? RowValue{true, d0, d0} : RowValue{true, h, ins_leg(r)};
            if (!s3) {
                if (r1 == 0) return {true, 0.0, d0};
                if (r1 == 1) return {true, g, ins_leg(1)};
                return {true, h, ins_leg(r)};
            }
            return r1 < 2 ? RowValue{true, g, d1} : RowValue{true, h, ins_leg(r)};
        case 2:
            if (!dep) return f == 1 ? RowValue{true, ins_leg(1) + d0, ins_leg(1)} : RowValue{true, h, ins_leg(f)};
            if (r1 == 0) return {true, g, s3 ? d1 : ins_leg(1)};
            return {true, h, ins_leg(f)};
        default:
            if (r == 1) return {true, ins_leg(0) + d0 + ins_leg(2), ins_leg(2)};
            return {true, h, ins_leg(r)};
    }
}

bool shown_range(f64 v) { return v >= 0.0 && v <= kShownMax; }

// Time en route and arrival at the present ground speed. Without a usable speed (zero,
// negative, not a number) both keep their last values.
void row_times(const InsNavUnit& u, size_t k, f64 ground_speed_ms) {
    if (!(ground_speed_ms > 0.0) || !std::isfinite(ground_speed_ms)) return;
    const f64 ete = u.fpl_dtg_nm[k] * kMetresPerNm / ground_speed_ms / 60.0;
    if (!std::isfinite(ete)) return;
    u.fpl_ete_min[k] = ete;
    // A finite time by the test above: nothing to keep.
    const u32 h = sat_u32(ete / 60.0, 0u);
    const u64 m = std::min<u64>(sat_u32(ete - f64(h) * 60.0, 0u), 59);
    u64 minute = u64(ins_utc_minute) + m;
    u64 hour = u64(ins_utc_hour) + h;
    if (minute >= 60) {
        minute -= 60;
        ++hour;
    }
    u.fpl_eta_min[k] = u32(minute);
    u.fpl_eta_hour[k] = u32(hour % 24);
}
}  // namespace

f64 ins_leg(i64 i) { return i >= 0 && i < i64(kPlanSlots) ? f64(ins_leg_nm[i]) : 0.0; }
f64 ins_cum(i64 i) { return i >= 0 && i < i64(kPlanSlots) ? f64(ins_leg_cum_nm[i]) : 0.0; }

void ins_plan_positions(const InsNavUnit& u) {
    const bool valid = plan_valid();
    const i64 sel = u.sel_wpt;
    fix_of(sel - 1, valid, u.fix_sel_m1);
    fix_of(sel - 2, valid, u.fix_sel_m2);
    fix_of(sel, valid, u.fix_sel);
    const bool after_dto = ins_dto_state >= kDtoSent;
    const f64* shown = after_dto ? u.fix_sel : u.fix_sel_m1;
    split_magnitude(shown[Lat] * 180.0 / kPi, u.shown_lat_deg, u.shown_lat_min, u.shown_lat_min_int,
                    u.shown_lat_tenth);
    split_magnitude(shown[LonDeg], u.shown_lon_deg, u.shown_lon_min, u.shown_lon_min_int, u.shown_lon_tenth);
    if (valid) {
        // A leg course that is no number, or infinite, has no whole degrees: the last stays.
        const i64 wd = u.cdu_page[kPageWptDetail];
        const f64 course = gps_read_waypoint(after_dto ? wd : wd - 1).record.leg_course;
        if (std::isfinite(course)) u.sel_course_deg = sat_i32(course * 180.0 / kPi, u.sel_course_deg);
    }
}

void ins_plan_distances(const InsNavUnit& u) {
    const u32 n = gps_wpt_count;
    const u8 wp = u.cdu_page[kPageWptSelect], f = u.cdu_page[kPageFlightPlan];
    u.sel_wpt = wp != 0 && wp <= n ? wp : f != 0 && f <= n ? f : 0;

    const bool valid = plan_valid();
    const f64 present[3] = {gps_lat_rad, gps_lon_deg, gps_lon_rad};
    if (valid) {
        u.dist_wpt0_nm = dist(present, ins_fix_wpt0);
        u.dist_wpt1_nm = dist(present, ins_fix_wpt1);
        if (ins_dto_state < kDtoSent)
            u.sel_leg_nm = u.sel_wpt == 1 ? dist(present, ins_fix_from) : dist(u.fix_sel_m2, u.fix_sel_m1);
        else
            u.sel_leg_nm = u.sel_wpt == 1 ? dist(present, ins_fix_to) : dist(u.fix_sel_m1, u.fix_sel);
    } else {
        u.dist_wpt0_nm = 0.0;
        u.sel_leg_nm = 0.0;
    }
    // Great-circle distances of converted positions: always numbers.
    ins_dist_wpt0_int = sat_i32(u.dist_wpt0_nm, ins_dist_wpt0_int);
    ins_sel_leg_int = sat_i32(u.sel_leg_nm, ins_sel_leg_int);
    ins_sel_leg_tenth = sat_u8(fraction_digits(u.sel_leg_nm, ins_sel_leg_int, 10.0), ins_sel_leg_tenth);
    u.sel_next_leg_nm = !valid || u.sel_wpt == n ? 0.0 : dist(u.fix_sel_m1, u.fix_sel);
    ins_sel_next_leg_int = sat_i32(u.sel_next_leg_nm, ins_sel_next_leg_int);
    ins_sel_next_leg_tenth =
        sat_u8(fraction_digits(u.sel_next_leg_nm, ins_sel_next_leg_int, 10.0), ins_sel_next_leg_tenth);

    if (u.first) {
        const i64 a = gps_active_wpt;
        fix_of(a - 1, valid, ins_fix_from);
        fix_of(a, valid, ins_fix_to);
        fix_of(0, valid, ins_fix_wpt0);
        fix_of(1, valid, ins_fix_wpt1);
    }
}

void ins_plan_tables(const InsNavUnit& u) {
    const u32 n = gps_wpt_count;
    const i64 slots = std::min<i64>(n, i64(kPlanSlots));  // records past 98 have no entry
    if (u.first && gps_plan_active == 1) {
        const bool valid = plan_valid();
        if (ins_leg_count_done != n) {
            const f64 present[3] = {gps_lat_rad, gps_lon_deg, gps_lon_rad};
            f64 prev[3] = {}, cur[3] = {};
            for (i64 i = 0; i < slots; ++i) {
                fix_of(i, valid, cur);
                ins_leg_nm[i] = to_f32(i == 0 ? dist(present, cur) : dist(prev, cur));
                for (int c = 0; c < 3; ++c) prev[c] = cur[c];
            }
            ins_leg_count_done = n;
        }
        if (ins1_cum_count_done != n) {
            for (i64 i = 0; i < slots; ++i) {
                ins1_plan_total_nm += f64(ins_leg_nm[i]);
                ins_leg_cum_nm[i] = to_f32(ins1_plan_total_nm);
            }
            ins1_cum_count_done = n;
        }
    }

    const u8 f = u.cdu_page[kPageFlightPlan];
    u.fpl_rows[0] = f >= 2 ? u8(f - 2) : 0;
    u.fpl_rows[1] = u8(f - 1);
    u.fpl_rows[2] = f;
    u.fpl_rows[3] = u8(f + 1);

    const i64 a = gps_active_wpt, s = ins_dto_state;
    const bool dep = u.departed != 0;
    const f64 gs = tok_read(tok_ground_speed_ms);
    for (size_t k = 0; k < kFplRows; ++k) {
        const RowValue v = row_value(u, k, u.fpl_rows[k], f, a, s, dep);
        if (v.write) {
            u.fpl_dtg_nm[k] = v.dtg;
            u.fpl_leg_nm[k] = v.leg;
        }
        row_times(u, k, gs);
        if (shown_range(u.fpl_dtg_nm[k])) u.fpl_dtg_int[k] = sat_i32(u.fpl_dtg_nm[k], u.fpl_dtg_int[k]);
        if (shown_range(u.fpl_ete_min[k])) u.fpl_ete_shown[k] = u.fpl_ete_min[k];
        if (shown_range(u.fpl_leg_nm[k])) u.fpl_leg_int[k] = sat_i32(u.fpl_leg_nm[k], u.fpl_leg_int[k]);
    }
    flight_plan_labels(u, f, a, dep);
    wpt_select_labels(u, u.cdu_page[kPageWptSelect], a, dep);
}
