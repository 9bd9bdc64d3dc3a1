// Brake pressure indicator of the main panel: left and right needles over 0..4000 psi, pressures
// held in tenths of psi. Green or yellow hydraulics give the host's brake positions; without them
// a parking-brake accumulator latch holds full pressure, else the pressures bleed away. Sustained
// high pressure on a take-off or landing roll raises BRAKES HOT; the brake sound loops while the
// brakes work on the ground.
// Reads: hyd_avail, elec_ac_bus1_powered, light_zone, annunciator_bright, tok_brake_*,
//        tok_parking_brake, tok_ias_kt, tok_on_ground, tok_tick18
// Writes: inst_brake_press_left, inst_brake_press_right, inst_brake_park_latch,
//         inst_brake_hot_state, inst_brake_hot_deadline, warn_brakes_hot
#include "electrical/state.h"
#include "gear/state.h"
#include "hydraulics/state.h"
#include "lighting/state.h"
#include "module/deadline.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/tokens.h"
#include "sound/sound.h"

GaugeHeader gauge_brakes_ind;

namespace {
enum Pos : size_t { Face, FaceLit, LeftNeedle, RightNeedle, kElements };

constexpr u32 kFullPressure = 32000;  // the needles' stop, and what the latch holds

// The drawn needle clamps its pressure and keeps the clamped value.
u32 clamp_pressure(u32& p) {
    if (p > kFullPressure) p = kFullPressure;
    return p;
}
f64 FSAPI brakes_ind_left_needle(ElementHeader*) { return f64(clamp_pressure(inst_brake_press_left)); }
f64 FSAPI brakes_ind_right_needle(ElementHeader*) { return f64(clamp_pressure(inst_brake_press_right)); }

NonlinearityPoint kLeftScale[5] = {
    {30, 75, 0.0, 0.0}, {8, 61, 10000.0, 0.0}, {0, 37, 20000.0, 0.0}, {8, 13, 30000.0, 0.0}, {30, 0, 40000.0, 0.0},
};
NonlinearityPoint kRightScale[5] = {
    {46, 0, 40000.0, 0.0}, {67, 14, 30000.0, 0.0}, {75, 37, 20000.0, 0.0}, {67, 60, 10000.0, 0.0}, {46, 74, 0.0, 0.0},
};

constexpr u32 kBmpNeedle = 2025;
using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //          bitmap   x   y  start flags
    el::Static(2022,     0,  0, Opt1),
    el::Icon(10064,      0,  0, Hid | Lum | Opt3),
    el::Needle(kBmpNeedle, 30, 37, Lum | Opt3, brakes_ind_left_needle).pivot(6, 6).table(kLeftScale),
    el::Needle(kBmpNeedle, 46, 37, Lum | Opt3, brakes_ind_right_needle).pivot(6, 6).table(kRightScale),
};
const RectDef kNoClicks[2] = {rect::Parent(), rect::EndParent()};
constexpr LightWalk kWalk{1, walk_range(FaceLit, RightNeedle)};

void FSAPI brakes_ind_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_brakes_ind, "ketravin brakes_ind_kr60", 76, brakes_ind_update, kElementDefs,
                          kNoClicks);

bool green_or_yellow() { return u32(hyd_avail[1]) + hyd_avail[2] > 0; }

// 2. Setting the parking brake with green or yellow pressure arms the latch; releasing it disarms.
void park_latch(f64 park) {
    if (park == 0.0) inst_brake_park_latch = 0;
    if (green_or_yellow() && park > 0.0) inst_brake_park_latch = 1;
}

// 3. Pressures, on AC bus 1.
void pressures() {
    constexpr u32 kBleedPerFrame = 2000;
    const f64 left = tok_read(tok_brake_left), right = tok_read(tok_brake_right);
    if (elec_ac_bus1_powered != 1) return;
    u32& l = inst_brake_press_left;
    u32& r = inst_brake_press_right;
    if (green_or_yellow()) {  // a brake that is no number keeps its pressure
        l = sat_u32(left, l);
        r = sat_u32(right, r);
    } else if (inst_brake_park_latch == 1) {
        l = r = kFullPressure;
    } else if (l > kBleedPerFrame) {
        l -= kBleedPerFrame;
        r = r < kBleedPerFrame ? 0 : r - kBleedPerFrame;
    } else {
        l = r = 0;
    }
}

void drop_timer() {
    warn_brakes_hot = 0;
    inst_brake_hot_deadline = 0;
    inst_brake_hot_state = 0;
}

constexpr u8 kIdle = 0, kTiming = 1, kHot = 2;
constexpr u32 kHotAfterTicks = 240, kHotForTicks = 3500;

// 4.-6. Overheat timer: high pressure on a roll (brake released, 40 kt or more, on the ground).
void overheat(f64 park, f64 ias, f64 ground) {
    constexpr u32 kHighPressure = 16000;
    constexpr u64 kLowSum = 10000;
    constexpr f64 kRollKt = 40.0;
    const u32 l = inst_brake_press_left, r = inst_brake_press_right;
    if (park == 0.0 && ias >= kRollKt && ground == 1.0) {
        const f64 now = tok_read(tok_tick18);
        if ((l > kHighPressure || r > kHighPressure) && inst_brake_hot_state == kIdle) {
            inst_brake_hot_deadline = deadline_arm(now, kHotAfterTicks);
            inst_brake_hot_state = kTiming;
        }
        if (inst_brake_hot_state == kTiming && deadline_reached(inst_brake_hot_deadline, now, kHotAfterTicks)) {
            warn_brakes_hot = 1;
            inst_brake_hot_deadline = deadline_arm(now, kHotForTicks);
            inst_brake_hot_state = kHot;
        }
        if (inst_brake_hot_state != kHot && l == 0 && r == 0) drop_timer();
    } else if (inst_brake_hot_state != kHot) {
        drop_timer();  // an armed timer is dropped; a raised warning runs its course
    }
    if (inst_brake_hot_state == kHot &&
        deadline_reached(inst_brake_hot_deadline, tok_read(tok_tick18), kHotForTicks))
        drop_timer();
    if (u64(l) + r < kLowSum && inst_brake_hot_state != kHot) {
        inst_brake_hot_deadline = 0;
        inst_brake_hot_state = kIdle;
    }
}

// 7. Brake sound: brakes working on the ground at 15 kt or more, parking brake released.
void brake_sound(f64 park, f64 ias) {
    constexpr u32 kAudible = 1000;
    constexpr f64 kSoundKt = 15.0;
    const bool on = tok_read(tok_on_ground) == 1.0 && park == 0.0 && ias >= kSoundKt &&
                    (inst_brake_press_left > kAudible || inst_brake_press_right > kAudible);
    if (on)
        sound_play(snd_brakessnd, 1);
    else
        sound_stop(snd_brakessnd);
}

void FSAPI brakes_ind_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    // 1. Lighting: the lit face copy shows only with its zone.
    show_if(gauge.el(FaceLit), light_zone[1] == 1);
    light_walk(*g, kWalk);
    const f64 park = tok_read(tok_parking_brake);
    park_latch(park);
    pressures();
    const f64 ias = tok_read(tok_ias_kt), ground = tok_read(tok_on_ground);
    overheat(park, ias, ground);
    brake_sound(park, ias);
}
}  // namespace
