// The host GPS link's conversions into panel units. Without a valid block every converted value
// takes its default so that a block that shrinks or disappears shows at once; a field or host
// value that is no number (or too large to convert) leaves its value as last converted.
// Reads: gps_data_ptr, tok_gps_latitude, tok_gps_drives_nav1, tok_ap_hdg_sel_deg,
//        tok_heading_mag_deg, tok_heading_true_deg
// Writes: gps_data_ptr, gps_request_ptr, the gps_ variables, ap_nav_course_deg, ins_hdg_mag_deg,
//         ins_hdg_true_deg
#include "navigation/gps_link.h"

#include <cmath>

#include "module/numeric.h"
#include "module/services.h"
#include "module/tokens.h"
#include "navigation/gps_block.h"
#include "navigation/state.h"

namespace {
constexpr const char* kDataBlockName = "FS2002 GPS DATA";
constexpr const char* kRequestBlockName = "FS2002 GPS DATA REQUEST";
constexpr f64 kPi = 3.141592653589793;
constexpr f64 kCourseDegPerRad = 57.29578;
constexpr f64 kNmPerMetre = 0.00054;
// Metres a second to knots in two steps (to km/h, then to knots), each rounded as it goes:
// the product of the two constants rounds differently and moves whole knots.
constexpr f64 kKmhPerMs = 3.6, kKnotsPerKmh = 0.54;
constexpr f64 kAbsent = 99.0;

void bind(u8*& ptr, const char* name) {
    if (ptr) return;
    TokenVar scratch{};
    svc::initialize_var_by_name(scratch, name);
    ptr = static_cast<u8*>(scratch.data);
}

f64 rad_to_deg(f64 r) { return r * 180.0 / kPi; }

// One field of the block: the default without a valid block, else the converted field unless
// that is no finite number.
void convert(f64& var, bool valid, f64 converted, f64 absent) { var = valid ? finite_or(converted, var) : absent; }

// Whole degrees, whole minutes and tenths of a minute of the magnitude; each truncated. The
// angle is always a number here (a latitude or longitude already converted or kept).
void split_degrees(f64 d, i32& deg_abs, i32& min, i32& tenths) {
    const f64 mag = d < 0 ? -d : d;
    deg_abs = sat_i32(mag, deg_abs);
    if (!(mag < 2147483647.0)) {  // a fallback latitude of no use: no minutes
        min = tenths = 0;
        return;
    }
    const f64 m = (mag - deg_abs) * 60.0;
    min = sat_i32(m, min);
    tenths = sat_i32((m - min) * 10.0, tenths);
}
}  // namespace

void gps_link_bind() {
    bind(gps_data_ptr, kDataBlockName);
    bind(gps_request_ptr, kRequestBlockName);
}

void gps_link_convert() {
    const bool valid = gps_block_valid();
    const GpsDataBlock b = gps_read_block(valid ? gps_data_ptr : nullptr);

    convert(gps_course_deg, valid, b.waypoint_course * kCourseDegPerRad, 0.0);
    gps_wpt_count = valid ? b.waypoint_count : 0;
    convert(gps_dtk_deg, valid, rad_to_deg(b.desired_track), kAbsent);
    convert(gps_xtk_nm, valid, b.cross_track * kNmPerMetre, kAbsent);
    convert(gps_dist_nm, valid, b.distance * kNmPerMetre, kAbsent);
    convert(gps_mag_track_deg, valid, rad_to_deg(b.magnetic_track), kAbsent);
    convert(gps_true_track_deg, valid, rad_to_deg(b.true_track), kAbsent);
    convert(gps_ground_speed_kt, valid, b.ground_speed * kKmhPerMs * kKnotsPerKmh, 0.0);
    convert(gps_drift_deg, valid, rad_to_deg(b.drift_angle), kAbsent);
    gps_active_wpt = valid ? u8(b.active_index & 0xFF) : 0;

    const f64 fallback_lat = tok_read(tok_gps_latitude);
    gps_lat_rad = valid ? host_lat_to_rad(b.position.latitude) : finite_or(fallback_lat, gps_lat_rad);
    const f64 lat_deg = rad_to_deg(gps_lat_rad);
    split_degrees(lat_deg, gps_lat_deg_abs, gps_lat_min, gps_lat_tenths);
    gps_lat_deg_signed = sat_i32(lat_deg, gps_lat_deg_signed);

    gps_lon_deg = valid ? host_lon_to_deg(b.position.longitude) : 0.0;
    gps_lon_rad = kPi * gps_lon_deg / 180.0;
    split_degrees(gps_lon_deg, gps_lon_deg_abs, gps_lon_min, gps_lon_tenths);

    gps_plan_active = valid ? b.plan_active : 0;

    // NAV course word: the GPS course while the host's GPS drives NAV 1, else the selected
    // heading; truncated, low 16 bits kept. The host's waypoint course may run past a turn or
    // below 0; it is a heading to steer, so its whole degrees are folded into 0..359. A selected
    // heading that is no number (an infinity too: it has no whole degrees) leaves the word.
    const bool gps = tok_read(tok_gps_drives_nav1) == 1.0;
    const f64 course = gps ? gps_course_deg : tok_read(tok_ap_hdg_sel_deg);
    if (std::isfinite(course)) {
        const i32 whole = sat_i32(course, ap_nav_course_deg);
        ap_nav_course_deg = gps ? u16(fold_degrees(whole)) : u16(u32(whole) & 0xFFFFu);
    }

    ins_hdg_mag_deg = finite_or(tok_read(tok_heading_mag_deg), ins_hdg_mag_deg);
    ins_hdg_true_deg = finite_or(tok_read(tok_heading_true_deg), ins_hdg_true_deg);
}
