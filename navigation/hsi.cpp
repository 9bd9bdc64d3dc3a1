// "ketravin hsi_kr60": horizontal situation indicator of the main panel. Compass card from INS 1
// heading, course pointer with deviation bar and TO/FROM arrows, heading/track marker, drift
// pointer, glide-slope pointer, HDG and GS flags, source legends, and the MILES and GND SPD
// odometer windows. It also publishes the drift-corrected course and drops the autopilot command
// channels while the host reports a heading failure.
// Reads: tok_velocity_x/z, tok_nav1_obs_deg, tok_heading_deg, tok_nav1_to_from, tok_nav1_signal,
//        tok_nav1_code, tok_nav1_gs_valid, tok_nav1_gs_needle, tok_nav1_cdi, tok_heading_fail,
//        tok_hsi_gnd_spd, tok_gps_distance_m, elec_ess_ac_any_powered, elec_ess_equipment_level,
//        ins1_status, ins1_apfd_test, ins_source_sw, gps_plan_active, gps_course_deg, gps_xtk_nm,
//        ap_nav_mode, ap_selected_heading, light_zone, annunciator_bright
// Writes: hsi_* display state, hsi_drift_course_deg, warn_flag_hsi; clears ap_cmd_engaged,
//         ap_cmd1_lever, ap_cmd2_lever, ap_sim_ap_latched on heading failure
#include <cmath>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/numeric.h"
#include "module/tokens.h"
#include "navigation/state.h"

GaugeHeader gauge_hsi;

namespace {
enum Pos : size_t {
    Face, LitFace, VorLegend, IlsLegend, Card, HdgFlag, GsPointer, GsFlag, DevScale, FromArrow, ToArrow,
    StripedArrow, DriftPointer, Marker, CoursePointer, DevBar, Lubber, SpdUnits, SpdTens, SpdHundreds, SpdDashes,
    GpsLegend, NavLegend, Legend2, MilesUnits, MilesTens, MilesHundreds, kElements
};

constexpr u32 kGsBit = 0x40;
constexpr u32 kBmpDrum = 2262;
constexpr i32 kCx = 139, kCy = 143;  // dial centre

// ---- conditions
bool ac_on() { return elec_ess_ac_any_powered == 1; }
bool powered() { return ac_on() && elec_ess_equipment_level >= 1; }
bool heading_valid() { return ins1_status >= 2; }
bool ins_steering() { return ins_source_sw == 1 && ins1_status >= 3 && gps_plan_active == 1; }

// ---- value callbacks (the host takes the angles as unsigned 32-bit numbers)
f64 FSAPI card_heading(ElementHeader*) { return hsi_card_heading_deg; }
f64 FSAPI gs_pointer(ElementHeader*) { return hsi_gs_pointer_px; }
f64 FSAPI course_angle(ElementHeader*) { return f64(u32(hsi_course_angle)); }
f64 FSAPI drift_pointer(ElementHeader*) { return f64(u32(hsi_drift_pointer_deg)); }
f64 FSAPI marker_angle(ElementHeader*) { return f64(u32(hsi_marker_angle)); }
// The bar centres whenever the instrument is unpowered; a deviation that is no number leaves
// the bar where it was last drawn.
f64 deviation_drawn = 0.0;
f64 FSAPI hsi_deviation_offset(ElementHeader*) {
    if (!powered()) return 0.0;
    deviation_drawn = finite_or(hsi_deviation, deviation_drawn);
    return deviation_drawn;
}

// Odometer wheels: hold width / top limit per drum; both windows roll from the same formulas
// (hundreds from 0.99 at 100 a unit, tens from 0.9 at 10), so GND SPD holds its digits longer.
constexpr drum::Band kMilesHundreds = drum::band(0.99, 9.9999, 0.99, 100, drum::Reversed);
constexpr drum::Band kMilesTens = drum::band(0.9, 9.999, 0.9, 10, drum::Reversed);
constexpr drum::Band kSpdHundreds = drum::band(0.999, 9.9999, 0.99, 100, drum::Reversed);
constexpr drum::Band kSpdTens = drum::band(0.99, 9.999, 0.9, 10, drum::Reversed);

constexpr ElementDef card() {
    ElementDef d = el::Sprite(2217, 35, 39, 0x4083, nullptr, nullptr, card_heading).pivot(kCx, kCy);
    return d.scales(0.0, 0.0);
}
constexpr ElementDef deviation_bar() {
    ElementDef d = el::Sprite(2246, 66, 70, 0x4083, hsi_deviation_offset, nullptr, course_angle).pivot(kCx, kCy);
    d.scale_rot = -1.0;
    return d.scales(-0.35, 0.0);
}
constexpr ElementDef needle(u32 bmp, u32 flags, ElementValueFn fn, i32 px, i32 py) {
    return el::Needle(bmp, kCx, kCy, flags, fn).pivot(px, py);
}

// Start flags as the records carry them: 0x3 option bits, 0x80 on turning parts, 0x4000 night.
const ElementDef kElementDefs[kElements] = {
    //        bitmap   x    y    start flags
    el::Static(2208,    0,   0, 0x1),                     // face
    el::Icon(10028,     0,   0, 0x40004003),              // lit face
    el::Icon(2211,      6,  58, 0x4003),                  // VOR legend
    el::Icon(2214,     20,  58, 0x40004003),              // ILS legend
    card(),
    el::Icon(2221,    127,  10, 0x40004003),              // HDG flag
    el::Slider(2224,  266, 136, 0x40004003, nullptr, gs_pointer),
    el::Icon(2227,    255, 109, 0x4003),                  // GS flag
    needle(2230, 0x4003, course_angle, 74, 74),           // deviation scale
    needle(2236, 0x40004003, course_angle, 20, 65),       // FROM arrow
    needle(2233, 0x40004003, course_angle, 20, 65),       // TO arrow
    needle(2240, 0x4003, course_angle, 20, 65),           // striped NAV warning arrow
    needle(2252, 0x4003, drift_pointer, 5, 118),
    needle(2256, 0x4083, marker_angle, 17, 101),
    needle(2243, 0x4083, course_angle, 11, 99),           // course pointer
    deviation_bar(),
    el::Icon(2259,    115,  22, 0x4003),                  // lubber mark and aircraft symbol
    el::ValueDrum(kBmpDrum,                    234, 7, 0x4002, &hsi_gnd_spd_drum[2]),
    el::BandedDrum(kBmpDrum,                   216, 7, 0x4002, kSpdTens, &hsi_gnd_spd_frac[1], &hsi_gnd_spd_drum[1]),
    el::BandedDrum(kBmpDrum,                   198, 7, 0x4002, kSpdHundreds, &hsi_gnd_spd_frac[0],
                   &hsi_gnd_spd_drum[0]),
    el::Icon(2268,    198,   7, 0x4003),                  // GND SPD dashes
    el::Icon(4153,     20,  58, 0x40004002),              // GPS legend, never shown
    el::Icon(4236,      6,  58, 0x40004002),              // NAV legend
    el::Icon(4240,      7, 107, 0x40004002),              // legend 2
    el::ValueDrum(kBmpDrum,                     64, 7, 0x4002, &hsi_miles_drum[2]),
    el::BandedDrum(kBmpDrum,                    46, 7, 0x4002, kMilesTens, &hsi_miles_frac[1], &hsi_miles_drum[1]),
    el::BandedDrum(kBmpDrum,                    28, 7, 0x4002, kMilesHundreds, &hsi_miles_frac[0], &hsi_miles_drum[0]),
};

constexpr LightWalk kWalk{0, walk_range(Face, MilesHundreds)};

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI hsi_update(GaugeHeader*, i32 service, u32);
constexpr u32 kWidthMm = 279;
Gauge<kElements, 2> gauge(gauge_hsi, "ketravin hsi_kr60", kWidthMm, hsi_update, kElementDefs, kNoClicks);

void show(Pos p, bool shown) { show_if(gauge.el(p), shown); }

// A host reading that is a number; anything else leaves what it would set as it stands.
bool read(TokenVar& t, f64& v) {
    v = tok_read(t);
    return std::isfinite(v);
}
void set_angle(i32& angle, f64 v) {
    if (std::isfinite(v)) angle = sat_i32(v, angle);
}

// ---- Step 2: drift and the published course, whatever the power. A zero velocity has no
// direction: drift 0. A component that is no number (or infinite) gives no drift to compute:
// the last one stays, and the sides are compared with the host's vz as it is.
constexpr f64 kPi = 3.1415927;
constexpr f64 kDeadBand = 1.0;
f64 velocity_z = 0.0;  // this frame's reading, for the drift pointer's side

void drift_and_course() {
    const f64 vx = tok_read(tok_velocity_x), vz = tok_read(tok_velocity_z);
    velocity_z = vz;
    if (std::isfinite(vx) && std::isfinite(vz)) {
        f64 speed = std::sqrt(vx * vx + vz * vz);
        if (!std::isfinite(speed)) speed = std::hypot(vx, vz);  // squares beyond the range
        f64 drift = 0.0;
        if (speed > 0.0) {
            const f64 ratio = vx / speed;
            drift = std::acos(ratio > 1.0 ? 1.0 : ratio < -1.0 ? -1.0 : ratio) * 180.0 / kPi;
        }
        hsi_drift_deg = drift;
    }
    const f64 drift = hsi_drift_deg;

    f64 obs;
    if (!read(tok_nav1_obs_deg, obs)) return;
    f64 course = obs;
    if (vz >= kDeadBand) {
        course = obs - drift;
        if (obs < drift) course += 360.0;
    } else if (vz <= -kDeadBand) {
        course = obs + drift;
        if (obs >= 360.0 - drift) course -= 360.0;
    }
    hsi_drift_course_deg = course;
}

// ---- Step 3: course pointer and heading/track marker, not wrapped.
void course_and_marker() {
    const f64 h = tok_read(tok_heading_deg);
    if (!powered()) return;
    const f64 obs = tok_read(tok_nav1_obs_deg);
    set_angle(hsi_course_angle, 360.0 - h + obs);
    const bool gps_track = ins_source_sw == 1 && ap_nav_mode == 1 && gps_plan_active == 1;
    set_angle(hsi_marker_angle, 360.0 - h + (gps_track ? gps_course_deg : f64(ap_selected_heading)));
}

// ---- Step 4: drift pointer with its test ramp (to 11) and return (to 0). Compared unsigned,
// stepped in unsigned arithmetic so that no stored value can overflow.
constexpr f64 kRampTop = 9.3;
constexpr u32 kRampHold = 11, kReturnFloor = 2;

void ramp_step(i32& p) {
    if (f64(u32(p)) < kRampTop) {
        p = i32(u32(p) + 1u);
    } else {
        p = kRampHold;
        hsi_drift_test_return = 1;
    }
}
void return_step(i32& p) {
    if (u32(p) > kReturnFloor) {
        p = i32(u32(p) - 1u);
    } else {
        p = 0;
        hsi_drift_test_return = 0;
    }
}

void drift_pointer() {
    if (!powered()) return;
    i32& p = hsi_drift_pointer_deg;
    const bool test = ins1_apfd_test == 1;
    if (heading_valid()) {
        if (test)
            ramp_step(p);
        else if (hsi_drift_test_return)
            return_step(p);
        else if (velocity_z >= 0.0)  // a side that is no number is neither: the pointer stays
            p = sat_i32(hsi_drift_deg, p);
        else if (velocity_z < 0.0)
            p = sat_i32(360.0 - hsi_drift_deg, p);
    } else {
        if (test) ramp_step(p);
        if (hsi_drift_test_return) return_step(p);
    }
}

// ---- Steps 5 and 6: TO/FROM arrows, NAV/GPS legends, source legends.
void arrows_and_legends() {
    const bool steering = ins_steering();
    if (powered() && heading_valid()) {
        show(GpsLegend, false);
        if (steering) {
            show(ToArrow, true);
            show(FromArrow, false);
            show(StripedArrow, false);
            show(NavLegend, true);
        } else {
            show(NavLegend, false);
            f64 to_from;
            if (read(tok_nav1_to_from, to_from)) {
                show(ToArrow, to_from > 0.0);
                show(FromArrow, to_from < 0.0);
                show(StripedArrow, to_from == 0.0);
            }
        }
    } else {
        show(StripedArrow, true);
        show(ToArrow, false);
        show(FromArrow, false);
    }

    f64 signal;
    const bool have_signal = read(tok_nav1_signal, signal);
    if (steering) {
        show(VorLegend, false);
        show(IlsLegend, false);
    } else if (signal > 0.0 && heading_valid()) {
        if (powered()) {
            tok_refresh(tok_nav1_code);
            const bool ils = mask_test(tok_nav1_code, kGsBit) != 0;
            show(IlsLegend, ils);
            show(VorLegend, !ils);
        }
    } else if (have_signal || !heading_valid()) {
        show(StripedArrow, true);
        show(VorLegend, false);
        show(IlsLegend, false);
    }
}

// ---- Step 7: glide slope. The pointer offset is not limited.
constexpr f64 kGsPixels = 0.418;

void glide_slope() {
    const bool valid = tok_read(tok_nav1_gs_valid) == 1.0 && powered() && heading_valid();
    show(GsPointer, valid);
    show(GsFlag, !valid);
    f64 needle;
    if (read(tok_nav1_gs_needle, needle) && valid) hsi_gs_pointer_px = needle * kGsPixels;
}

// ---- Step 8: card and deviation. The INS cross-track runs 25 units a mile, limited to full
// scale; the radio deviation is taken as the receiver gives it.
constexpr f64 kXtkUnitsPerNm = 25.0, kFullScale = 127.0;

void card_and_deviation() {
    if (!(powered() && heading_valid())) return;
    f64 v;
    if (read(tok_heading_deg, v)) hsi_card_heading_deg = v;
    if (ins_steering()) {
        const f64 d = gps_xtk_nm * kXtkUnitsPerNm;
        if (!std::isnan(d)) hsi_deviation = d >= kFullScale ? kFullScale : d <= -kFullScale ? -kFullScale : d;
    } else if (read(tok_nav1_cdi, v)) {
        hsi_deviation = v;
    }
}

// ---- Step 9: HDG flag and the autopilot drop, which holds every frame of a heading failure.
void heading_flag() {
    const bool failed = tok_read_i32(tok_heading_fail) == 1;
    if (ac_on() && heading_valid()) {
        if (!failed) {
            warn_flag_hsi = 0;
            show(HdgFlag, false);
        }
    } else {
        warn_flag_hsi = 1;
        show(FromArrow, false);
        show(ToArrow, false);
        show(GsPointer, false);
        show(GsFlag, true);
        show(HdgFlag, true);
        show(SpdDashes, true);
    }
    if (failed) {
        ap_cmd_engaged = ap_cmd1_lever = ap_cmd2_lever = ap_sim_ap_latched = 0;
        warn_flag_hsi = 1;
        show(HdgFlag, true);
    }
}

// ---- Steps 11 and 12: the windows. Each window rolls from its value every frame.
constexpr f64 kNmPerMetre = 0.00054;

struct Window {
    f64& value;
    f64* frac;
    i32* whole;
    f64* drum;
    Pos hundreds, tens;
};
const Window kMiles{hsi_miles_value, hsi_miles_frac, hsi_miles_whole, hsi_miles_drum, MilesHundreds, MilesTens};
const Window kGndSpd{hsi_gnd_spd_value, hsi_gnd_spd_frac, hsi_gnd_spd_whole, hsi_gnd_spd_drum, SpdHundreds, SpdTens};

void roll_window(const Window& w) {
    const f64 v = w.value;
    if (!std::isfinite(v)) return;
    const f64 a = v / 100.0;
    w.whole[0] = sat_i32(a, w.whole[0]);
    drum_roll(gauge.el(w.hundreds), a);
    const f64 b = (v - 100.0 * w.whole[0]) / 10.0;
    w.whole[1] = sat_i32(b, w.whole[1]);
    drum_roll(gauge.el(w.tens), b);
    w.drum[2] = 10.0 - (v - (100.0 * w.whole[0] + 10.0 * w.whole[1]));
}

void ground_speed_window() {
    if (ac_on() && ins_source_sw == 1 && ins1_status >= 3) {
        const f64 v = tok_read(tok_hsi_gnd_spd);
        if (v >= 0.0 && std::isfinite(v)) {
            hsi_gnd_spd_value = v;
            show(SpdDashes, false);
        } else if (v < 0.0) {
            show(SpdDashes, true);
        }
    }
    roll_window(kGndSpd);
}

// A negative distance is no distance: the window keeps the last one.
void miles_window() {
    bool shown = false;
    if (ac_on() && heading_valid()) {
        f64 metres;
        const bool have = read(tok_gps_distance_m, metres) && metres >= 0.0;
        if (ins_steering()) {
            if (have) hsi_miles_value = metres * kNmPerMetre;
            shown = true;
        }
    }
    show(MilesUnits, shown);
    show(MilesTens, shown);
    show(MilesHundreds, shown);
    roll_window(kMiles);
}

void FSAPI hsi_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // Step 1: lighting.
    light_walk(gauge.header(), kWalk);
    show(LitFace, light_zone[0] == 1);
    drift_and_course();
    course_and_marker();
    drift_pointer();
    arrows_and_legends();
    glide_slope();
    card_and_deviation();
    heading_flag();
    // Step 10: legend 2 while NAV mode is kept off the GPS.
    show(Legend2, ap_nav_mode == 3 && ac_on());
    ground_speed_window();
    miles_window();
}
}  // namespace
