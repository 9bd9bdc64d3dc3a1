// Basic autopilot laws flown through the host autopilot: PITCH as an altitude hold whose V/S is
// recomputed from the attitude error, with control-wheel steering from the pilot's pitch input;
// a bank-limit aileron; ROLL as a bank hold through the wing leveler and the bank-hold control;
// IAS through the same V/S; and a rudder law while the host's auto-coordination is off.
// Reads: tok_ap_input_309, tok_ap_input_311, tok_adi_pitch_deg, tok_adi_bank_deg, tok_bank_deg_b,
//        tok_on_ground, tok_vertical_speed, tok_altitude_m, tok_trim_axis, tok_ias_kt,
//        tok_ap_engaged, tok_ap_wing_leveler, tok_ap_alt_hold, tok_ap_reset_flag, tok_tick18,
//        tok_slip_ball, "(A:AUTO COORDINATION,bool)", thr1_readout_pct, the mode bytes
// Writes: ap_vs_command, ap_pitch_alt_target_m, ap_pitch_* state, ap_roll_input_state,
//         ap_bank_deg, ap_bank_target_deg, ap_bank_hold_state, ap_bank_hold_output,
//         ap_roll_hold_engaged, ap_roll_takeover_pending, ap_aileron_active, ap_ias_* state,
//         ap_rudder_state, ap_rudder_cmd
#include <cmath>
#include <limits>

#include "autoflight/ap_keys.h"
#include "autoflight/autopilot.h"
#include "autoflight/state.h"
#include "engines/state.h"
#include "module/numeric.h"
#include "module/services.h"
#include "systems/systems_keys.h"

namespace {
constexpr f64 kHostVsPerFpm = 1.30048;
f64 fpm_from_host(f64 host_vs) { return host_vs / 256.0 * 3.281 * 60.0; }  // the IAS law's conversion
// The nose-up attitude; false (nothing computed from it) while the pitch token is no number.
bool nose_up_deg(f64& deg) {
    f64 pitch = 0.0;
    if (!tok_number(tok_adi_pitch_deg, pitch)) return false;
    deg = -pitch;
    return true;
}
bool airborne() { return ap::flag_off(tok_on_ground); }

// V/S and altitude target by the sign of the present V/S: 60000 climbing, 0 descending, the
// present altitude when level. The target is the laws' own, in metres. A V/S that is no number
// has no sign: nothing is sent.
constexpr i32 kClimbTarget = 60000, kDescentTarget = 0;
void send_vs_and_target(f64 present_vs) {
    f64 altitude = 0.0;
    if (tok_number(tok_altitude_m, altitude)) ap_pitch_alt_target_m = sat_i32(altitude, ap_pitch_alt_target_m);
    if (present_vs != present_vs) return;
    const i32 target = present_vs > 0.0 ? kClimbTarget : present_vs < 0.0 ? kDescentTarget : ap_pitch_alt_target_m;
    ap::send(key_ap_event_101f3, target);
    ap::send(key_ap_vs_set, ap_vs_command);
}

// The sum of numbers: a step that is no number leaves the value.
i32 add_saturating(i32 v, f64 d) { return sat_i32(f64(v) + d, v); }
}  // namespace

// ---- PITCH law
namespace {
constexpr i32 kInputDeadBand = 100;
constexpr i64 kInputWindow = 5000;
constexpr f64 kTrimPerBankDeg = 0.0035, kTrimBase = 0.05, kTrimPerBaseUnit = 0.00012;
constexpr f64 kVsPerInput = 0.01;

struct GainBand {
    f64 from;  // |e| at or above it
    f64 k;
};
constexpr GainBand kPitchGains[] = {{1.5, 5000.0}, {1.0, 3000.0}, {0.5, 2000.0}, {0.1, 1000.0}};
constexpr f64 kPitchGainCentre = 100.0;

f64 pitch_gain(f64 e) {
    const f64 size = std::fabs(e);
    for (const GainBand& b : kPitchGains)
        if (size >= b.from) return b.k;
    return kPitchGainCentre;
}

// Following starts from the host's latest trim axis; until the host has given one, it does not start.
void start_following() {
    f64 axis = 0.0;
    if (!ap::panel_watch.trim_axis.latest(axis)) return;
    ap_trim_axis_base = sat_i32(axis, ap_trim_axis_base);
    ap_trim_follow_state = 1;
}

// Steers the trim axis with the pilot's input and moves the reference and V/S with it. `away` is
// the part of the base that the input works against.
void follow_input(i32 in, f64 away) {
    const f64 base = ap_trim_axis_base;
    const f64 factor = std::abs(ap_bank_deg) * kTrimPerBankDeg + kTrimBase + away * kTrimPerBaseUnit;
    ap::send(key_trim_axis_set, sat_i32(base + f64(in) * factor, ap_trim_axis_base));  // numbers only
    nose_up_deg(ap_pitch_ref_deg);
    ap_vs_command = add_saturating(ap_vs_command, f64(in) * kVsPerInput);
}

void wheel_steering() {
    tok_refresh(tok_ap_input_309);
    tok_refresh(tok_adi_pitch_deg);
    f64 input = 0.0;
    if (!tok_number(tok_ap_input_309, input)) return;  // no number: the steering stands as it is
    const i32 in = sat_i32(input, ap_pitch_input);
    ap_pitch_input = in;
    const bool counts = std::abs(i64(in)) >= kInputDeadBand;
    const bool hold = ap_pitch_hold_engaged == 1;
    auto up_ok = [&] { return i64(ap_pitch_last_up) <= i64(in) + kInputWindow; };
    auto down_ok = [&] { return i64(ap_pitch_last_down) >= i64(in) - kInputWindow; };
    if (up_ok() && counts && hold && ap_trim_follow_state == 0 && ap::flag_off(tok_on_ground)) start_following();
    if (down_ok() && counts && hold && ap_trim_follow_state == 0) start_following();
    if (up_ok() && counts && hold && ap_trim_follow_state == 1) {
        follow_input(in, ap_trim_axis_base < 0 ? -f64(ap_trim_axis_base) : 0.0);
        ap_pitch_last_up = in;
        ap_pitch_last_down = 0;
    }
    if (down_ok() && counts && hold && ap_trim_follow_state == 1) {
        follow_input(in, ap_trim_axis_base > 0 ? f64(ap_trim_axis_base) : 0.0);
        ap_pitch_last_down = in;
        ap_pitch_last_up = 0;
    }
    if (in != 0 && !counts) ap_pitch_last_up = ap_pitch_last_down = ap_trim_follow_state = 0;
}
}  // namespace

void ap_pitch_law() {
    if (ap_pitch_mode != 1) return;
    wheel_steering();
    // The present V/S and attitude feed the command; either one that is no number leaves what
    // they last gave (the reference, the error, the command) as it stands.
    f64 host_vs = 0.0;
    const bool have_vs = tok_number(tok_vertical_speed, host_vs);
    const f64 vs = have_vs ? host_vs / kHostVsPerFpm : std::numeric_limits<f64>::quiet_NaN();
    f64 nose = 0.0;
    const bool have_nose = nose_up_deg(nose);
    const bool free = ap_alt_mode < 2 && ap_ias_mode == 0 && ap_go_around_mode == 0;
    if (ap::flag_on(tok_ap_engaged) && ap_pitch_hold_engaged == 0 && airborne() && free) {
        ap::send(key_ap_alt_hold_on);
        if (have_vs) ap_vs_command = sat_i32(vs, ap_vs_command);
        if (have_nose) ap_pitch_ref_deg = nose;
        ap_pitch_hold_engaged = 1;
    }
    if (!(ap_pitch_hold_engaged == 1 && free && airborne())) return;
    if (have_nose) ap_pitch_error_deg = nose - ap_pitch_ref_deg;
    const f64 e = ap_pitch_error_deg;
    if (ap_trim_follow_state == 0 && have_vs && have_nose) ap_vs_command = sat_i32(vs - e * pitch_gain(e), ap_vs_command);
    send_vs_and_target(vs);
}

// ---- Bank-limit aileron. The speed factor stops at 0 (it would reverse the command above
// 345 kt) and the command at the control's full travel.
constexpr f64 kBankFreeDeg = 15.0, kAileronPerDeg = 140.0, kSpeedGain = 0.022, kSpeedRefKt = 300.0;
constexpr f64 kAileronFull = -16383.0;

void ap_bank_limit_aileron() {
    // The bank is only compared: one that is no number is neither outside nor back inside.
    const f64 bank = tok_read(tok_bank_deg_b);
    const bool outside = bank > kBankFreeDeg && bank < 360.0 - kBankFreeDeg;
    const bool inside = bank <= kBankFreeDeg || bank >= 360.0 - kBankFreeDeg;
    f64 ias = 0.0;
    if (ap::flag_on(tok_ap_engaged) && ap_pitch_mode == 0 && outside) {
        if (!ap::panel_watch.ias.latest(ias)) return;  // the airspeed as the host last gave it
        // The bank lies strictly between 15 and 345 here: a number.
        const f64 b = sat_u8(bank < 180.0 ? bank : 360.0 - bank, 0);
        const f64 factor = std::fmax(0.0, 1.0 + kSpeedGain * (kSpeedRefKt - ias));
        ap::send(key_aileron_set, sat_i32(std::fmax(kAileronFull, -(kAileronPerDeg * b * factor)), 0));
        ap_aileron_active = 1;
    } else if (ap_aileron_active == 1 && (inside || ap::flag_off(tok_ap_engaged) || ap_pitch_mode != 0)) {
        // A host flag that is neither on nor off leaves the command as it stands.
        ap::send(key_aileron_set, 0);
        ap_aileron_active = 0;
    }
}

// ---- Pilot roll input and the bank in whole degrees.
namespace {
void roll_input_step(i32 in) {
    i8& s = ap_roll_input_state;
    if (in > 50 && in < 1000)
        s = 1;
    else if (in >= 1000 && in < 5000 && s == 1)
        s = 2;
    else if (in > -1000 && in < -50)
        s = -1;
    else if (in > -5000 && in <= -1000 && s == -1)
        s = -2;
}
}  // namespace

void ap_roll_input() {
    // An input that is no number matches no rule: the state stands.
    const f64 input = tok_read(tok_ap_input_311);
    if (input == input) roll_input_step(sat_i32(input, 0));  // a number here: 0 is never kept
    f64 bank = 0.0;
    if (tok_number(tok_adi_bank_deg, bank)) ap_bank_deg = sat_i32(-bank, ap_bank_deg);
}

// ---- ROLL law
namespace {
constexpr i32 kBankMax = 30, kBankSmall = 5;
enum BankHold : u8 { HoldInitial = 0, HoldActive = 1, HoldIdle = 2, HoldReleasing = 3 };

struct WingLeveler {
    f64 host;
    void engage() const {
        if (host == 0.0) ap::send(key_ap_wing_leveler_on);
    }
    void release() const {
        if (host == 1.0) ap::send(key_ap_wing_leveler_off);
    }
};

void start_releasing() {
    if (ap_bank_hold_state != HoldIdle) ap_bank_hold_state = HoldReleasing;
}

void hold_bank(const WingLeveler& wl) {
    const i32 bank = ap_bank_deg;
    i32& target = ap_bank_target_deg;
    const bool hold = ap_roll_hold_engaged == 1;
    const i8 input = ap_roll_input_state;
    const bool pending = ap_roll_takeover_pending == 1;
    if ((input > 1 || (pending && bank < -kBankSmall)) && hold) {
        if (bank > kBankMax) {
            wl.engage();
            target = kBankMax;
        } else {
            wl.release();
            ap_bank_hold_state = HoldInitial;
            if (target >= bank - kBankSmall) {
                target = bank;
                ap_roll_takeover_pending = 0;
            }
        }
    } else if ((input < -1 || (pending && bank > kBankSmall)) && hold) {
        if (bank < -kBankMax) {
            wl.engage();
            target = -kBankMax;
        } else {
            wl.release();
            ap_bank_hold_state = HoldInitial;
            if (target <= bank + kBankSmall) {
                target = bank;
                ap_roll_takeover_pending = 0;
            }
        }
    } else if (target > -kBankSmall && target < kBankSmall && input > -2 && input < 2 && hold) {
        if (!(ap_vl_mode == 1 && ap_approach_state >= 20)) wl.engage();
        start_releasing();
        target = 0;
    } else if (!hold) {
        if (std::abs(bank) < kBankSmall) {
            if (ap_vl_mode == 0 && ap_approach_state < 20) {
                target = 0;
                wl.engage();
                ap_roll_hold_engaged = 1;
            }
        } else if (std::abs(bank) <= kBankMax) {
            wl.release();
            target = bank;
            ap_bank_hold_state = HoldActive;
            ap_roll_hold_engaged = 1;
        } else {
            wl.engage();
            target = bank < 0 ? -kBankMax : kBankMax;
        }
    } else if (bank < -kBankMax || bank > kBankMax) {
        wl.engage();
        target = bank < 0 ? -kBankMax : kBankMax;
    } else {
        wl.release();
        ap_bank_hold_state = HoldActive;
    }
}
}  // namespace

void ap_roll_law() {
    const bool on = ap::flag_on(tok_ap_engaged);
    if (!on && ap_roll_mode == 1 && !ap::flag_off(tok_ap_engaged)) return;  // a host flag neither on nor off
    if (!(on && ap_roll_mode == 1)) {
        start_releasing();
        ap_bank_target_deg = ap_bank_deg;
        ap_roll_hold_engaged = 0;
        return;
    }
    const WingLeveler wl{tok_read(tok_ap_wing_leveler)};
    const bool basic = ap_hdg_select_mode == 0 && ap_vl_mode == 0 && ap_nav_mode == 0 && fd_vl_captured != 1 &&
                       ap_approach_state < 30;
    if (basic) {
        hold_bank(wl);
        return;
    }
    ap::send(key_ap_wing_leveler_off);  // a lateral mode, the beam or LAND steers
    start_releasing();
    ap_bank_target_deg = ap_bank_deg;
}

// ---- Bank-hold output: steps toward the target one unit a frame, then returns the host's
// control to 0 before going idle. The output stops at +-127.
constexpr f64 kOutputPerBankDeg = 0.15;
constexpr i32 kOutputLimit = 127;

void ap_bank_hold_drive() {
    if (ap_bank_hold_state == HoldActive) {
        ap::send(key_ap_reset_event, ap_bank_hold_output);
        const i32 out = ap_bank_hold_output;
        i32 next;
        if (ap_bank_deg > ap_bank_target_deg)
            next = out - 1;
        else if (ap_bank_deg < ap_bank_target_deg)
            next = out + 1;
        else
            next = sat_i32(ap_bank_deg * kOutputPerBankDeg, out);
        ap_bank_hold_output = i8(next < -kOutputLimit ? -kOutputLimit : next > kOutputLimit ? kOutputLimit : next);
    } else if (ap_bank_hold_state == HoldReleasing) {
        if (tok_read(tok_ap_reset_flag) != 0.0)
            ap::send(key_ap_reset_event, 0);
        else
            ap_bank_hold_state = HoldIdle;
    }
}

// ---- IAS law
namespace {
constexpr i32 kSampleTicks = 2;     // trend interval
constexpr i32 kSampleRestart = 4;   // a deadline further ahead than this was set before the clock ran back
constexpr f64 kTrendGain = 100.0;
constexpr f64 kLeverLow = 10.0, kLeverHigh = 90.0;
constexpr f64 kVsUpperMax = 5000.0, kVsLowerMin = -3750.0;
constexpr i32 kLimitMargin = 10;

void ias_engage() {
    if (ap_ias_law_engaged == 1 || !airborne() || ap_approach_state != 0 || ap_alt_mode >= 2) return;
    if (ap::flag_off(tok_ap_alt_hold)) ap::send(key_ap_alt_hold_on);
    // The references are taken from the values as the host last gave them; one it has not given
    // yet is not taken.
    f64 v = 0.0;
    if (ap::panel_watch.vertical_speed.latest(v)) ap_vs_command = sat_i32(fpm_from_host(v), ap_vs_command);
    if (ap::panel_watch.ias.latest(v)) ap_ias_reference = sat_i32(v, ap_ias_reference);
    ap_ias_law_engaged = 1;
}

void trend_sampler(f64 ias) {
    const f64 now = tok_read(tok_tick18);
    if (!std::isfinite(now)) return;  // no clock reading: the sampler waits
    i32& d = ap_ias_sample_deadline;
    const i32 tick = sat_i32(now, 0);  // a finite clock here
    const i32 next = sat_i32(f64(tick) + kSampleTicks, d);
    if (i64(tick) + kSampleRestart < i64(d)) d = next;
    switch (ap_ias_sample_state) {
        case 0:
            ap_ias_sample_1 = ias;
            d = next;
            ap_ias_sample_state = 1;
            break;
        case 1:
            if (tick < d) break;
            ap_ias_sample_2 = ias;
            d = next;
            ap_ias_trend = ap_ias_sample_2 - ap_ias_sample_1;
            ap_ias_sample_state = 2;
            break;
        case 2:
            if (tick < d) break;
            ap_ias_sample_1 = ias;
            d = next;
            ap_ias_sample_state = 1;
            break;
        default: ap_ias_sample_state = 0; break;
    }
}

void vs_limits() {
    const f64 x = thr1_readout_pct;
    if (x <= kLeverLow) {
        ap_ias_vs_upper = 0;
        ap_ias_vs_lower = i16(kVsLowerMin);
    } else if (x >= kLeverHigh) {
        ap_ias_vs_upper = u16(kVsUpperMax);
        ap_ias_vs_lower = 0;
    } else {
        ap_ias_vs_upper = sat_cast<u16>(lerp2(x, kLeverLow, kLeverHigh, 0.0, kVsUpperMax), ap_ias_vs_upper);
        ap_ias_vs_lower = sat_cast<i16>(lerp2(x, kLeverLow, kLeverHigh, kVsLowerMin, 0.0), ap_ias_vs_lower);
    }
}

constexpr f64 kGainLow = 1.1, kGainHigh = 0.8, kGainFrom = 0.5, kGainTo = 4.5;
f64 ias_gain(f64 e) {
    if (e < kGainFrom) return kGainLow;
    if (e > kGainTo) return kGainHigh;
    return lerp2(e, kGainFrom, kGainTo, kGainLow, kGainHigh);
}

// Steps 2 to 6 on a real airspeed.
void ias_step(f64 ias) {
    ap_ias_error = ias - ap_ias_reference;
    const f64 e = std::trunc(std::fabs(ap_ias_error));
    trend_sampler(ias);
    vs_limits();
    ap_ias_gain = ias_gain(e);
    const i32 upper = ap_ias_vs_upper, lower = ap_ias_vs_lower;
    if (ap_vs_command >= lower && ap_vs_command <= upper)
        ap_vs_command = add_saturating(ap_vs_command, ap_ias_error * ap_ias_gain + ap_ias_trend * kTrendGain);
    else if (ap_vs_command > upper)
        ap_vs_command = upper - kLimitMargin;
    else
        ap_vs_command = lower + kLimitMargin;
}
}  // namespace

void ap_ias_law_reset() {
    ap_ias_law_engaged = 0;
    ap_ias_sample_state = 0;
    ap_ias_sample_deadline = 0;
}

void ap_ias_law() {
    if (ap_ias_mode != 1) {
        ap_ias_sample_state = 0;
        ap_ias_sample_deadline = 0;
        return;
    }
    tok_refresh(tok_vertical_speed);
    tok_refresh(tok_ap_alt_hold);
    tok_refresh(tok_tick18);
    // Engagement is tried with the host autopilot on, and again with a flight director on.
    if (ap::flag_on(tok_ap_engaged)) ias_engage();
    if (ap_fd_engaged != 0) ias_engage();
    if (!(ap_ias_law_engaged == 1 && ap_alt_mode < 2 && ap_approach_state == 0 && airborne())) return;

    // The speed law adds to the command every frame: without an airspeed reading the command, the
    // error and the trend stand as they are (and are still flown).
    f64 ias = 0.0;
    if (tok_number(tok_ias_kt, ias)) ias_step(ias);
    if (ap::flag_on(tok_ap_engaged)) send_vs_and_target(fpm_from_host(tok_read(tok_vertical_speed)));
}

// ---- Yaw law: rudder by the slip ball while the host does not coordinate; centring after.
namespace {
struct BallRow {
    f64 lo, hi;  // lo <= ball < hi on the left of the ball's centre, lo < ball <= hi on the right
    i32 step;      // change of the command
    i32 while_at;  // applied while the command is at or inside this
};
constexpr f64 kBig = std::numeric_limits<f64>::infinity();
constexpr BallRow kBall[] = {
    {-10.0, -3.0, 200, 5000},  {-kBig, -10.0, 200, 16000},
    {3.0, 10.0, -200, -5000},  {10.0, kBig, -200, -16000},
};
constexpr i32 kCentreStep = 100, kCentreBand = 500, kCentredBelow = 100;
constexpr f64 kWingsLevelDeg = 5.0;
constexpr char kAutoCoordination[] = "(A:AUTO COORDINATION,bool)";

void ball_step(f64 ball) {
    i32& cmd = ap_rudder_cmd;
    for (const BallRow& r : kBall) {
        const bool in = r.step > 0 ? ball >= r.lo && ball < r.hi : ball > r.lo && ball <= r.hi;
        if (!in) continue;
        if (r.step > 0 ? cmd <= r.while_at : cmd >= r.while_at) cmd += r.step;
        return;
    }
    if (cmd <= -kCentreBand)
        cmd += kCentreStep;
    else if (cmd >= kCentreBand)
        cmd -= kCentreStep;
    else
        cmd = 0;
}
}  // namespace

void ap_yaw_law() {
    f64 coordination = 0.0;
    svc::execute_calculator_code(kAutoCoordination, &coordination, nullptr, nullptr);
    if (ap_cmd_active == 1 && coordination != 1.0) {
        ap_rudder_state = 1;
        const f64 bank = tok_read(tok_adi_bank_deg);
        if (bank > -kWingsLevelDeg && bank < kWingsLevelDeg) {
            ap_rudder_state = 2;
        } else {
            // A ball that is no number lies in no band: the command stands, still sent.
            const f64 ball = tok_read(tok_slip_ball);
            if (ball == ball) ball_step(ball);
            ap::send(key_rudder_set, ap_rudder_cmd);
        }
    }
    if (ap_rudder_state != 2) return;
    if (ap_rudder_cmd <= -kCentredBelow) {
        ap_rudder_cmd += kCentreStep;
    } else if (ap_rudder_cmd >= kCentredBelow) {
        ap_rudder_cmd -= kCentreStep;
    } else {
        ap_rudder_cmd = 0;
        ap_rudder_state = 0;
    }
    ap::send(key_rudder_set, ap_rudder_cmd);
}
