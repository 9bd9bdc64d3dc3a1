// Flight-director command bars: the roll, pitch and roll-out bars of the main attitude
// indicator, in bar units (6.0 the centre, a command x sits at (x + 120) / 20). Each bar steps
// toward its target by an amount its phase byte chooses and lands on it only when close; with
// the bars off, unpowered or without attitude it steps out to its parked value.
// Reads: dc_ess_powered, elec_ac_bus1_powered, elec_ess_equipment_level, fd_bars_on_flag,
//        tok_attitude_fail, tok_adi_bank_deg, tok_fd_bank_cmd_deg, fd_lateral_mode,
//        fd_vertical_mode, ap_land_engaged, ap_rollout_mode, ap_land_low_phase,
//        fd_vl_roll_command, fd_hdg_roll_command, fd_pitch_error, fd_alt_error,
//        fd_app_pitch_error, fd_course_steering
// Writes: fd_roll_bar, fd_pitch_bar, fd_rollout_bar, fd_roll_bar_phase, fd_pitch_bar_phase,
//         fd_app_pitch_bar_phase, fd_rollout_bar_phase, fd_app_roll_error
#include <cmath>
#include <cstring>

#include "autoflight/flight_director.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "module/tokens.h"

namespace {
constexpr f64 kCentre = 6.0;
constexpr f64 kRollMin = 1.0, kRollMax = 11.0, kRollPark = 14.0;
constexpr f64 kPitchMin = 0.0, kPitchMax = 11.0, kPitchPark = -4.0;
constexpr f64 kRolloutOffset = 0.1;  // the roll-out bar's centre is 6.1
constexpr f64 kParkStep = 1.0;

enum Phase : u8 { Arriving = 0, Settled = 1, HandedOver = 2 };
enum Lateral : u8 { BackBeam = 1, HdgNav = 2, VorLoc = 3, LateralApproach = 4 };
enum Vertical : u8 { Pitch = 1, Ias = 2, AltCapture = 3, AltHold = 4, VerticalApproach = 5 };

f64 bar_units(f64 command) { return (command + 120.0) / 20.0; }

// One row of a chase law: while the phase matches (kAnyPhase: any) and the distance is greater
// than `beyond`, step by `step`. Rows are tried in order; with none, the bar lands.
constexpr u8 kAnyPhase = 0xFF;
struct LawRow {
    u8 phase;
    f64 beyond;
    f64 step;
};
constexpr LawRow kFourRate[] = {{Arriving, 1.0, 1.0}, {Arriving, 0.1, 0.05}, {HandedOver, 0.02, 0.01}, {Settled, 0.01, 0.005}};
constexpr LawRow kTwoRate[] = {{Arriving, 1.0, 1.0}, {HandedOver, 0.02, 0.01}, {Settled, 0.05, 0.025}};

// A non-finite target holds the bar where it is.
template <size_t N>
void chase(f64& bar, u8& phase, f64 target, const LawRow (&rows)[N]) {
    if (!std::isfinite(target)) return;
    const f64 d = bar - target;
    const f64 distance = std::fabs(d);
    for (const LawRow& r : rows)
        if ((r.phase == kAnyPhase || r.phase == phase) && distance > r.beyond) {
            bar = d > 0.0 ? bar - r.step : bar + r.step;
            return;
        }
    bar = target;
    phase = Settled;
}

void pitch_law(f64& bar, u8& phase, f64 target, f64 fine_step) {
    const LawRow rows[] = {{Arriving, 1.0, 1.0}, {kAnyPhase, 0.2, fine_step}};
    chase(bar, phase, target, rows);
}

// Limits keep a bar in its active range; a bar that is no number at all goes to its park.
void limit(f64& bar, f64 lo, f64 hi, f64 park) {
    if (!std::isfinite(bar))
        bar = park;
    else if (bar <= lo)
        bar = lo;
    else if (bar >= hi)
        bar = hi;
}
void park_roll(f64& bar) { bar = std::isfinite(bar) && bar + kParkStep < kRollPark ? bar + kParkStep : kRollPark; }
void park_pitch(f64& bar) { bar = std::isfinite(bar) && bar - kParkStep > kPitchPark ? bar - kParkStep : kPitchPark; }

void reset_roll_phases() { std::memset(fd_roll_bar_phase, Arriving, sizeof fd_roll_bar_phase); }

void roll_bar(bool available) {
    const u8 mode = fd_lateral_mode;
    if (!available || mode < BackBeam || mode > LateralApproach) {
        reset_roll_phases();
        park_roll(fd_roll_bar);
        return;
    }
    const size_t active = mode - 1;
    for (size_t i = 0; i < 4; ++i)
        if (i != active) fd_roll_bar_phase[i] = HandedOver;
    u8& phase = fd_roll_bar_phase[active];
    switch (mode) {
        case BackBeam: chase(fd_roll_bar, phase, (120.0 - fd_vl_roll_command) / 20.0, kFourRate); break;
        case HdgNav: chase(fd_roll_bar, phase, bar_units(fd_hdg_roll_command), kTwoRate); break;
        case VorLoc: chase(fd_roll_bar, phase, bar_units(fd_vl_roll_command), kFourRate); break;
        default:
            chase(fd_roll_bar, phase, ap_land_engaged == 1 ? kCentre : bar_units(fd_app_roll_error), kFourRate);
            break;
    }
    limit(fd_roll_bar, kRollMin, kRollMax, kRollPark);
}

void pitch_bar(bool available) {
    const u8 mode = fd_vertical_mode;
    if (!available || mode < Pitch || mode > VerticalApproach) {
        fd_pitch_bar_phase = fd_app_pitch_bar_phase = Arriving;
        park_pitch(fd_pitch_bar);
        return;
    }
    switch (mode) {
        case Pitch: pitch_law(fd_pitch_bar, fd_pitch_bar_phase, bar_units(fd_pitch_error), 0.1); break;
        case Ias: pitch_law(fd_pitch_bar, fd_pitch_bar_phase, bar_units(fd_pitch_error), 0.02); break;
        case AltCapture:
        case AltHold: pitch_law(fd_pitch_bar, fd_pitch_bar_phase, bar_units(fd_alt_error), 0.01); break;
        default: {
            const f64 target = ap_land_engaged == 1 ? kCentre : bar_units(fd_app_pitch_error);
            pitch_law(fd_pitch_bar, fd_app_pitch_bar_phase, target, 0.1);
            break;
        }
    }
    limit(fd_pitch_bar, kPitchMin, kPitchMax, kPitchPark);
}

// Neither the bars switch nor the attitude failure parks the roll-out bar.
void rollout_bar(bool supplied) {
    if ((ap_rollout_mode == 1 || ap_land_low_phase == 1) && supplied) {
        chase(fd_rollout_bar, fd_rollout_bar_phase, bar_units(fd_course_steering) + kRolloutOffset, kTwoRate);
        limit(fd_rollout_bar, kRollMin, kRollMax, kRollPark);
    } else {
        fd_rollout_bar_phase = Arriving;
        park_roll(fd_rollout_bar);
    }
}
}  // namespace

void fd_bars_step() {
    const bool supply = dc_ess_powered == 1 || elec_ac_bus1_powered == 1;
    const bool switched_on = fd_bars_on_flag != 0;
    const bool powered = supply && elec_ess_equipment_level >= 1 && switched_on;

    // Step 1: the approach roll command, and the attitude failure, only with switch and supply.
    // Without a number for either bank the command stands as last computed.
    if (switched_on && supply) {
        f64 bank = 0.0, command = 0.0;
        const bool have_bank = tok_number(tok_adi_bank_deg, bank);
        if (tok_number(tok_fd_bank_cmd_deg, command) && have_bank) fd_app_roll_error = bank - command;
        tok_refresh(tok_attitude_fail);
    }
    const bool available = powered && token_i32(tok_attitude_fail) == 0;

    // Step 2: unpowered bars take a park step here and another in their own step: 2.0 a frame.
    if (!powered) {
        reset_roll_phases();
        park_roll(fd_roll_bar);
        park_pitch(fd_pitch_bar);
    }
    roll_bar(available);
    pitch_bar(available);
    rollout_bar(supply && elec_ess_equipment_level >= 1);
}
