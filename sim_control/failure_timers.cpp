// Failure timers of the systems computer: the selection sum that lights VALID, the delayed
// failures of the engines, APU, generators and hydraulic circuits with their minutes-left
// countdowns, the failed states the other systems read, random and typical failures, and
// CANCEL ALL FAILURES. Also the VALID action of the failures panel (start times stored here).
// Reads: panel_preset_select, fail_select, fail_eng1_select, fail_eng2_select, fail_setting,
//        fail_start_time, inst_mach_display
// Writes: fail_active, fail_countdown, fail_select_sum, fail_select_sum_applied,
//         fail_apply_enable, fail_random_cycle, fail_random_pick, fail_random_phase,
//         fail_random_due, fail_select, fail_eng1_select, fail_eng2_select, fail_start_time,
//         fire_eng1_state, fire_eng2_state, fire_apu_latched, fire_handle, fire_eng_agent_full,
//         apu_fire_handle_pulled, apu_fire_agent_armed
#include "sim_control/failure_timers.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "apu/state.h"
#include "engines/state.h"
#include "instruments/state.h"
#include "sim_control/state.h"
#include "warnings/state.h"
#include "sim_control/presets_keys.h"
#include "module/deadline.h"
#include "module/services.h"
#include "module/tokens.h"

namespace {
constexpr u8 kSelectActive = 1;
constexpr u8 kSelectArmed = 2;
constexpr u8 kApplyLit = 2;

enum FailIndex : u8 {
    FailApu = 0, FailGen1, FailGen2, FailBlue, FailGreen, FailYellow,
    FailTypical1, FailTypical2, FailRandom, FailCancelAll,
    ModeElecAuto = 12, ModeHydAuto = 13,
};
enum ActiveIndex : u8 { ActApu = 0, ActGen1, ActGen2, ActBlue, ActGreen1, ActGreen2, ActYellow };
constexpr u8 kNoActive = 0xff;
constexpr u8 kNoSpeed = 0xff;

// One delayed failure: its selection byte, its settings, start time and countdown slots, and
// the failed-state bytes it sets (engines send a key event instead).
struct TimedItem {
    u8* select;
    u8 delay, speed, start, countdown;
    u8 active_a, active_b;
};
// In the order the countdowns run.
const TimedItem kItems[] = {
    {&fail_eng1_select, 9, 8, 0, 7, kNoActive, kNoActive},
    {&fail_eng2_select, 7, 6, 1, 6, kNoActive, kNoActive},
    {&fail_select[FailApu], 5, kNoSpeed, 4, 5, ActApu, kNoActive},
    {&fail_select[FailGen1], 3, kNoSpeed, 5, 3, ActGen1, kNoActive},
    {&fail_select[FailGen2], 4, kNoSpeed, 6, 4, ActGen2, kNoActive},
    {&fail_select[FailBlue], 2, kNoSpeed, 7, 2, ActBlue, kNoActive},
    {&fail_select[FailGreen], 1, kNoSpeed, 8, 1, ActGreen1, ActGreen2},
    {&fail_select[FailYellow], 0, kNoSpeed, 9, 0, ActYellow, kNoActive},
};
constexpr size_t kEngine1 = 0, kEngine2 = 1, kFirstSystem = 2;

constexpr f64 kSecondsPerMinute = 60.0;
constexpr u32 kSecondsPerMinuteU = 60;
// The countdown steps down this long before each whole minute of the clock.
constexpr f64 kCountdownLead = 0.99;

// Host-derived failed states.
constexpr f64 kGenRunningN2Pct = 30.0;
constexpr f64 kHydNoPressure = 0.1;
constexpr f64 kHydReservoirLow = 0.5;

// Random failures.
constexpr u8 kRandomCycleLast = 9;
constexpr u32 kRandomStepS = 1080;
constexpr u32 kRandomFirstDueS = 56;

// Typical failures.
constexpr f64 kTypical1IasKt = 150.0;
constexpr f64 kTypical2GenMach = 600.0;  // Mach in thousandths
constexpr f64 kTypical2EngMach = 750.0;

// A start time the clock has gone back past (a new flight, a loaded situation) counts the whole
// delay again from now.
void rebase_starts(f64 t) {
    for (const TimedItem& it : kItems)
        if (*it.select == kSelectActive) start_rebase(fail_start_time[it.start], t);
}

// Due when delay x 60 + start time (whole seconds) is at or below the clock. A clock that is not
// a number or infinite is no reading: never due.
bool due(const TimedItem& it, f64 t) {
    const u64 at = u64(fail_setting[it.delay]) * kSecondsPerMinuteU + fail_start_time[it.start];
    return std::isfinite(t) && f64(at) <= t;
}

void set_active(const TimedItem& it) {
    fail_active[it.active_a] = 1;
    if (it.active_b != kNoActive) fail_active[it.active_b] = 1;
}

// 1. Minutes left, stepping down just before each whole minute of the clock. A clock that runs
// backwards never shows more than the delay; one that is not finite leaves the count shown.
void countdowns(f64 t) {
    for (const TimedItem& it : kItems) {
        const u8 setting = fail_setting[it.delay];
        u8& shown = fail_countdown[it.countdown];
        if (*it.select != kSelectActive) {
            shown = setting;
            continue;
        }
        if (!std::isfinite(t) || due(it, t)) continue;
        const f64 start_minute = f64(fail_start_time[it.start] / kSecondsPerMinuteU);
        const f64 left = f64(setting) - (t / kSecondsPerMinute - start_minute) + kCountdownLead;
        shown = sat_u8(std::min(left, f64(setting)), shown);
    }
}

// 2. Engine failures wait for their airspeed as well as their delay; re-sent every frame.
void engine_failures(f64 t) {
    const f64 ias = tok_read(tok_ias_kt);
    const u32 keys[] = {key_eng1_failure_toggle, key_eng2_failure_toggle};
    for (size_t e : {kEngine1, kEngine2}) {
        const TimedItem& it = kItems[e];
        if (*it.select == kSelectActive && due(it, t) && ias >= f64(fail_setting[it.speed]))
            svc::send_key_event(keys[e], 1);
    }
}

u8 flag(bool b) { return b ? 1 : 0; }

// 3. Failed states: a selected failure holds its byte once due; otherwise the byte follows the host.
void failed_states(f64 t) {
    const f64 n2_1 = tok_read(tok_eng1_n2), n2_2 = tok_read(tok_eng2_n2);
    const bool gen1_off = tok_read(tok_eng1_gen_active) == 0.0 && n2_1 >= kGenRunningN2Pct;
    const bool gen2_off = tok_read(tok_eng2_gen_active) == 0.0 && n2_2 >= kGenRunningN2Pct;
    const bool eng1_no_press = n2_1 >= kGenRunningN2Pct && tok_read(tok_hyd1_pressure) < kHydNoPressure;
    const bool eng2_no_press = n2_2 >= kGenRunningN2Pct && tok_read(tok_hyd2_pressure) < kHydNoPressure;
    const bool flag_off = tok_read(tok_hyd_flag) == 0.0;
    const u8 host[7] = {
        0,
        flag(gen1_off),
        flag(gen2_off),
        flag(eng1_no_press || tok_read(tok_hyd1_reservoir) < kHydReservoirLow),
        flag(eng1_no_press || flag_off),
        flag(eng2_no_press || flag_off),
        flag(eng2_no_press || tok_read(tok_hyd2_reservoir) < kHydReservoirLow),
    };
    for (size_t i = kFirstSystem; i < std::size(kItems); ++i) {
        const TimedItem& it = kItems[i];
        if (*it.select == kSelectActive) {
            if (due(it, t)) set_active(it);
            if (it.active_a == ActGen1 || it.active_a == ActGen2)
                fail_select[ModeElecAuto] = 0;
            else if (it.active_a != ActApu)
                fail_select[ModeHydAuto] = 0;
            continue;
        }
        fail_active[it.active_a] = host[it.active_a];
        if (it.active_b != kNoActive) fail_active[it.active_b] = host[it.active_b];
    }
}

u32 add_saturated(u32 a, u32 b) {
    constexpr u32 kMax = std::numeric_limits<u32>::max();
    return a > kMax - b ? kMax : a + b;
}

// 4. RANDOM FAILURES: a new pick every 18 minutes of simulation time, from a cycle that turns
// every frame; a due time left behind catches up by at most two steps a frame.
void random_failures(f64 t) {
    if (fail_select[FailRandom] != kSelectActive) {
        fail_random_cycle = 0;
        fail_random_due = kRandomFirstDueS;
        return;
    }
    fail_select[ModeElecAuto] = fail_select[ModeHydAuto] = 0;
    fail_random_cycle = fail_random_cycle < kRandomCycleLast ? u8(fail_random_cycle + 1) : 1;
    for (u8 phase : {u8(0), u8(1)}) {
        if (fail_random_phase == phase && deadline_reached(fail_random_due, t, kRandomStepS)) {
            fail_random_pick = fail_random_cycle;
            fail_random_due = add_saturated(fail_random_due, kRandomStepS);
            fail_random_phase = phase ^ 1;
        }
    }
    switch (fail_random_pick) {
        case 1:
        case 2: svc::send_key_event(key_eng1_failure_toggle, 1); break;
        case 3: svc::send_key_event(key_eng2_failure_toggle, 1); break;
        case 4:
        case 8: fail_active[ActGreen1] = fail_active[ActGreen2] = 1; break;
        case 5: fail_active[ActGen1] = 1; break;
        case 6: fail_active[ActGen2] = 1; break;
        case 7: fail_active[ActBlue] = 1; break;
        case 9: fail_active[ActYellow] = 1; break;
        default: break;
    }
}

// 5 and 6. The two fixed scenarios.
void typical_failures() {
    if (fail_select[FailTypical1] == kSelectActive) {
        fail_select[ModeElecAuto] = fail_select[ModeHydAuto] = fail_select[FailRandom] = 0;
        if (tok_read(tok_ias_kt) > kTypical1IasKt) svc::send_key_event(key_eng1_failure_toggle, 1);
    }
    if (fail_select[FailTypical2] == kSelectActive) {
        fail_select[ModeElecAuto] = fail_select[ModeHydAuto] = fail_select[FailRandom] = 0;
        if (inst_mach_display >= kTypical2GenMach) fail_active[ActGen1] = 1;
        if (inst_mach_display >= kTypical2EngMach) svc::send_key_event(key_eng2_failure_toggle, 1);
    }
}

// 7. CANCEL ALL FAILURES: one frame; the scenarios and random failures stay selected.
void cancel_all() {
    if (fail_select[FailCancelAll] != kSelectActive) return;
    clear_failures_and_fires();
    apu_fire_agent_armed = 1;
    if (tok_read(tok_eng1_failed) == 1.0) svc::send_key_event(key_eng1_failure_toggle, 0);
    if (tok_read(tok_eng2_failed) == 1.0) svc::send_key_event(key_eng2_failure_toggle, 0);
    fail_select[FailCancelAll] = 0;
}

// The 18 selection bytes, in the order VALID applies them.
u8* const kSelections[] = {
    &panel_preset_select[0], &panel_preset_select[1], &fail_select[10], &fail_select[11],
    &fail_select[12],        &fail_select[13],        &fail_eng1_select, &fail_eng2_select,
    &fail_select[0],         &fail_select[1],         &fail_select[2],   &fail_select[3],
    &fail_select[4],         &fail_select[5],         &fail_select[6],   &fail_select[7],
    &fail_select[8],         &fail_select[9],
};

u8 selection_sum() {
    u8 sum = 0;
    for (const u8* s : kSelections) sum = u8(sum + *s);
    return sum;
}
}  // namespace

void clear_failures_and_fires() {
    fail_eng1_select = fail_eng2_select = 0;
    fire_eng1_state = fire_eng2_state = 0;
    std::fill(fail_select + FailApu, fail_select + FailYellow + 1, u8(0));
    fire_apu_latched = 0;
    std::fill(std::begin(fire_handle), std::end(fire_handle), u8(0));
    std::fill(std::begin(fire_eng_agent_full), std::end(fire_eng_agent_full), u8(1));
    apu_fire_handle_pulled = 0;
}

void failures_apply() {
    if (fail_apply_enable == kApplyLit) {
        // With no reading of the clock the delay starts at the first real one (see rebase_starts).
        const f64 t = tok_read(tok_sim_time_s);
        const u32 now_s = start_at(t);
        fail_apply_enable = 0;
        for (u8* s : kSelections) {
            if (*s != kSelectArmed) continue;
            *s = kSelectActive;
            for (const TimedItem& it : kItems)
                if (it.select == s) fail_start_time[it.start] = now_s;
        }
    }
    fail_select_sum_applied = fail_select_sum;
}

void failure_apply_enable_frame() {
    fail_select_sum = selection_sum();
    if (fail_select_sum > fail_select_sum_applied)
        fail_apply_enable = kApplyLit;
    else if (fail_select_sum < fail_select_sum_applied)
        fail_select_sum_applied = fail_select_sum;
}

void failure_timers_frame() {
    const f64 t = tok_read(tok_sim_time_s);
    rebase_starts(t);
    countdowns(t);
    engine_failures(t);
    failed_states(t);
    random_failures(t);
    typical_failures();
    cancel_all();
}

void failure_apply_enable_end_frame() {
    if (fail_select_sum_applied == fail_select_sum) fail_apply_enable = 0;
}
