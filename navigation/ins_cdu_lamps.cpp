// CDU annunciators, flasher and tests: the screen cover and marks, the keyboard backlight, the
// WRN/BAT/ALR/OFS lamps, the flasher that makes a lamp flash for a set time, the excess-motion
// hold, the pages forced by the knob, ATT and alignment, the system and AP/FLT DIR tests and
// the waypoint alert.
// Reads: tok_tick18, tok_ground_speed_ms, light_zone, annunciator_bright, gps_dist_nm, the host
//        plan through gps_waypoint, the unit's power, knob, ATT, status and page bytes
// Writes: the unit's lamp states, flasher and test variables, page bytes (forcing, test ends),
//         alignment count (91 to 90), alert window and time to the waypoint
#include <algorithm>
#include <cmath>

#include "lighting/state.h"
#include "module/tokens.h"
#include "navigation/gps_block.h"
#include "navigation/ins_cdu.h"
#include "navigation/state.h"

namespace {
constexpr f64 kTickWrap = 65536.0;  // the tick counter as the flasher reads it is 16 bits
constexpr u32 kTicksPerSecond = 18;
constexpr u8 kFlashing = 2, kSteady = 1;
constexpr u8 kIdle = 0, kRunning = 1, kEnded = 2;

constexpr u8 kKnobOff = 0, kKnobNav = 3;
constexpr u8 kStsNotAligned = 1, kStsAligned = 2, kStsAtt = 3;
constexpr u8 kViewSysTest = 4, kViewApfd = 5;
constexpr f64 kPhaseTicks = 18.0;
constexpr u8 kPhases = 5;
constexpr f64 kApfdTicks = 72.0;

constexpr u8 kCountMotion = 91, kCountRestart = 90, kCountAligned = 2;
constexpr u32 kHoldSeconds = 30;
constexpr u8 kPowerUpLamp = 3;  // BAT lit while the power-up count is at or above

constexpr u8 kStatusNav = 3;
constexpr f64 kPi = 3.141592653589793;
constexpr f64 kMetresPerNm = 1852.0;
// Alert window (seconds before the waypoint) by turn angle.
constexpr u32 kSmallTurn = 25, kLargeTurn = 110;
constexpr f64 kSmallUpper = 112.0, kSmallLower = 22.0, kLargeUpper = 90.0, kLargeLower = 0.0;
constexpr f64 kWindowSlope = 0.8353, kUpperOffset = 91.1176, kLowerOffset = 1.1176;

f64 now_ticks() { return tok_read(tok_tick18); }

// Elapsed ticks, restarting `start` from now when the clock ran back beyond one wrap.
f64 elapsed(f64& start, f64 now) {
    f64 e = cdu_ticks_since(start, now);
    if (e < 0.0 || !std::isfinite(e)) {
        start = now;
        e = 0.0;
    }
    return e;
}

void force_pages(const CduUnit& u) {
    u8* p = u.page;
    if (u.msu_knob == kKnobOff) {
        std::fill(p, p + kCduPages, u8(0));
        p[kPagePgm] = 1;
    } else if (u.att_mode == 1) {
        std::fill(p, p + kCduPages, u8(0));
        p[kPageSysSts] = kStsAtt;
    } else {
        u8& s = p[kPageSysSts];
        if (s == kStsNotAligned && u.msu_knob == kKnobNav && u.align_count < kCountAligned) s = kStsAligned;
        else if (s == kStsAligned && u.msu_knob < kKnobNav) s = kStsNotAligned;
        else if (s == kStsAtt) s = kStsNotAligned;
    }
}

void tests(const CduUnit& u, f64 now) {
    u8& view = u.page[kPageSysStsView];
    const bool clock = std::isfinite(now);
    if (view == kViewSysTest) {
        if (u.sys_test == 0 && clock) {
            u.test_start = now;
            if (now != 0.0) u.sys_test = 1;
        }
        u.apfd_test = 0;
    } else if (view == kViewApfd) {
        u.sys_test = 0;
        if (u.apfd_test == 0 && clock) {
            u.test_start = now;
            if (now != 0.0) u.apfd_test = 1;
        }
    } else {
        u.sys_test = 0;
        u.apfd_test = 0;
    }
    if (!clock) return;
    if (u.sys_test == 1) {
        const f64 e = elapsed(u.test_start, now);
        const f64 phase = std::floor(e / kPhaseTicks) + 1.0;
        if (phase > kPhases) {
            u.sys_test_phase = 0;
            view = 0;
            u.test_start = 0.0;
        } else {
            u.sys_test_phase = u8(phase);
        }
    }
    // INS 2's AP/FLT DIR test runs until a key leaves the view.
    if (u.nav.first && u.apfd_test == 1 && elapsed(u.test_start, now) >= kApfdTicks) {
        view = 0;
        u.test_start = 0.0;
        u.apfd_test = 0;
    }
}

void excess_motion_hold(const CduUnit& u) {
    if (u.align_count == kCountMotion) {
        u.flash_time_s = kHoldSeconds;
        u.wrn_lamp = kFlashing;
    }
    if (u.wrn_lamp == kFlashing && u.flash_state == kEnded) {
        if (u.align_count == kCountMotion) u.align_count = kCountRestart;
        u.wrn_lamp = 0;
    }
}

f64 leg_course_deg(const GpsWaypointCopy& w) { return w.record.leg_course * 180.0 / kPi; }

// A course difference that is no number, or infinite (a leg course of the host's that is no
// number), has no whole degrees: the turn last computed stays.
u32 turn_angle(f64 d, u32 keep) {
    if (!std::isfinite(d)) return keep;
    f64 a;
    if (d >= 0.0 && d <= 180.0) a = d;
    else if (d > 180.0) a = 360.0 - d;
    else if (d >= -180.0) a = -d;
    else a = 360.0 + d;
    return sat_u32(a, keep);
}

void waypoint_alert(const CduUnit& u) {
    if (u.status != kStatusNav || !gps_active_usable()) {
        u.alr_lamp = 0;
        return;
    }
    // Only the turn needs the record after the active one; the last leg has none, yet its time
    // to go still counts.
    const i64 active = gps_active_wpt;
    const GpsWaypointCopy next = gps_read_waypoint(active + 1);
    if (next.present)
        u.turn_angle_deg =
            turn_angle(leg_course_deg(next) - leg_course_deg(gps_read_waypoint(active)), u.turn_angle_deg);
    const f64 gs = tok_read(tok_ground_speed_ms);
    const f64 d = u.nav.departed == 0 ? u.nav.dist_wpt0_nm : gps_dist_nm;
    const f64 t = d * kMetresPerNm / gs;
    // No usable ground speed (an infinite one gives no time either), no time to go: the minutes
    // keep their value.
    if (!(gs > 0.0) || !std::isfinite(gs) || !std::isfinite(t)) {
        u.alr_lamp = 0;
        return;
    }
    u.time_to_wpt_s = sat_u32(t, u.time_to_wpt_s);
    u.time_to_wpt_min = u.time_to_wpt_s / 60;
    if (!next.present) {  // no turn ahead, nothing to alert for
        u.alr_lamp = 0;
        return;
    }
    const u32 a = u.turn_angle_deg;
    if (a <= kSmallTurn) {
        u.alert_upper_s = kSmallUpper;
        u.alert_lower_s = kSmallLower;
    } else if (a > kLargeTurn) {
        u.alert_upper_s = kLargeUpper;
        u.alert_lower_s = kLargeLower;
    } else {
        u.alert_upper_s = kWindowSlope * a + kUpperOffset;
        u.alert_lower_s = kWindowSlope * a + kLowerOffset;
    }
    const f64 time = u.time_to_wpt_s;
    u.alr_lamp = u.alert_lower_s < time && time < u.alert_upper_s && u.nav.departed == 1 ? 1 : 0;
}
}  // namespace

f64 cdu_ticks_since(f64 start, f64 now) {
    f64 e = now - start;
    if (e < 0.0) e += kTickWrap;
    return e;
}

void cdu_flasher(const CduUnit& u) {
    const bool any = u.wrn_lamp == kFlashing || u.alr_lamp == kFlashing || u.ofs_lamp == kFlashing;
    if (!any) {
        if (u.flash_state == kEnded) u.flash_state = kIdle;
        return;
    }
    const f64 now = now_ticks();
    if (!std::isfinite(now)) return;
    const f64 period = f64(u.flash_time_s) * kTicksPerSecond;
    const f64 half = u.flash_half_ticks;
    if (u.flash_state == kIdle) {
        u.flash_on = 1;
        u.flash_start = u.flash_phase = now;
        u.flash_state = kRunning;
    }
    if (u.flash_state != kRunning) return;
    if (elapsed(u.flash_start, now) >= period) {
        u.flash_on = 0;
        u.flash_state = kEnded;
        u.flash_second_half = 0;
        return;
    }
    // The cadence runs on the tick count, not on frames: when a frame passes one or more cycle
    // ends, the cycle start moves by whole cycles, so every frame rate shows the same lamp.
    f64 cycle = elapsed(u.flash_phase, now);
    const f64 full = 2.0 * half;
    if (full > 0.0 && cycle >= full) {
        const f64 cycles = std::floor(cycle / full);
        cycle -= cycles * full;
        u.flash_phase = now - cycle;
        if (std::fmod(cycles, 2.0) != 0.0) u.flash_second_half ^= 1;
    }
    u.flash_on = cycle < half ? 1 : 0;
}

CduLights cdu_lights(const CduUnit& u) {
    CduLights l{};
    const bool powered = u.powered == 1;
    l.cover = !powered;
    l.marks = powered;
    l.backlight_lit = !powered ? 0u : annunciator_bright == 1 ? u32(ImageBright) : u32(ImageLuminous);
    auto shown = [&](u8 state) { return state == kSteady || (state == kFlashing && u.flash_on == 1); };
    if (powered && u.sys_test == 1) {
        l.wrn = l.bat = l.alr = l.ofs = true;
    } else if (powered) {
        l.wrn = shown(u.wrn_lamp);
        l.alr = shown(u.alr_lamp);
        l.ofs = shown(u.ofs_lamp);
        l.bat = u.power_src < 0 || u.powerup_count >= kPowerUpLamp;
    }
    const bool backlight = powered && light_zone[3] == 1;
    l.backlight_first = backlight && u.backlight_dim == 0;
    l.backlight_second = backlight && u.backlight_dim == 1;
    return l;
}

void cdu_checks(const CduUnit& u) {
    force_pages(u);
    tests(u, now_ticks());
    excess_motion_hold(u);
    waypoint_alert(u);
}
