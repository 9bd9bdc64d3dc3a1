// The two INS mode selector units: a five-position knob (OFF, STBY, ALIGN, NAV, ATT REF), the
// ALIGN lamp and the BATT lamp that is its own test button. Each gauge moves its unit's mode
// one position a frame toward the knob, counts the alignment on simulation time and publishes
// the unit's status; the INS 1 gauge also works out both units' power sources and the shared
// INS battery.
// Reads: tok_sim_time_s, tok_velocity_x, tok_velocity_z, elec_ess_ac_powered,
//        elec_ac_bus2_powered, dc_ess_powered, ins1_wrn_lamp, ins2_wrn_lamp, light_zone,
//        annunciator_bright
// Writes: ins1_/ins2_ msu_knob, mode, align_count, status, att_mode, powered, off_delay,
//         align_time_base, align_timer_set, powerup_count, lamp_test, power_src; ins_batt_charge
#include "electrical/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/switches.h"
#include "module/tokens.h"
#include "navigation/state.h"

GaugeHeader gauge_ins1_msu;
GaugeHeader gauge_ins2_msu;

namespace {
enum Pos : size_t { Plate, Knob, AlignLamp, BattLamp, kElements };

constexpr u32 kBmpPlate = 5334;
constexpr u32 kBmpKnob = 5337;
constexpr u32 kBmpAlignLamp = 5340;
constexpr u32 kBmpBattLamp = 5344;

// Knob and mode positions.
constexpr u8 kOff = 0, kStby = 1, kAlign = 2, kNav = 3, kAtt = 4;

// Alignment counter values.
constexpr u8 kCountOff = 100;
constexpr u8 kCountMotion = 91;
constexpr u8 kCountStart = 90;
constexpr u8 kCountNavFromAtt = 89;
constexpr u8 kCountAttStart = 60;  // also the floor when NAV goes back to ALIGN
constexpr u8 kCountSettled = 2;
constexpr u8 kCountAligned = 1;
constexpr u8 kFiveStepFloor = 8;

constexpr u8 kOffDelayFrames = 100;
constexpr u8 kPowerUpStart = 50;
constexpr u8 kLampTestFrames = 10;
constexpr f64 kStepSeconds = 3.0;
constexpr f64 kMotionLimit = 1.0;
constexpr u8 kWrnHold = 2;  // the navigation computer's excess-motion hold

constexpr u32 kBattFull = 70000;
constexpr u32 kBattLow = 30000;

struct MsuUnit {
    u8& knob;
    u8& mode;
    u8& align_count;
    u8& status;
    u8& att_mode;
    u8& powered;
    u8& off_delay;
    f64& time_base;
    u8& timer_set;
    u8& powerup_count;
    u8& lamp_test;
    const u8& wrn_lamp;
};

const MsuUnit kIns1{ins1_msu_knob, ins1_mode, ins1_align_count, ins1_status, ins1_att_mode, ins1_powered,
                    ins1_off_delay, ins1_align_time_base, ins1_align_timer_set, ins1_powerup_count,
                    ins1_lamp_test, ins1_wrn_lamp};
const MsuUnit kIns2{ins2_msu_knob, ins2_mode, ins2_align_count, ins2_status, ins2_att_mode, ins2_powered,
                    ins2_off_delay, ins2_align_time_base, ins2_align_timer_set, ins2_powerup_count,
                    ins2_lamp_test, ins2_wrn_lamp};

// A sum of the two components, not a magnitude: components that cancel are no motion.
bool motion() {
    const f64 sum = tok_read(tok_velocity_x) + tok_read(tok_velocity_z);
    return sum > kMotionLimit || sum < -kMotionLimit;
}

// A base so far out that a 3 s step no longer moves it was taken from an absurd clock: it could
// never catch up, and counting from it would step once a frame.
bool base_absurd(f64 base) { return base + kStepSeconds == base; }

// One alignment step of n every 3 s of simulation time. The first counted frame (or, with
// hold renewal, every frame of the excess-motion hold) only sets the time base. The base
// advances by exactly 3 s a step, so after a pause the steps come once a frame until it has
// caught up. A clock set back re-bases from now; a non-finite clock changes nothing; while the
// clock reads absurdly far out the base follows it and nothing is counted.
void count_by(const MsuUnit& u, u8 n, bool renew_hold) {
    const f64 now = tok_read(tok_sim_time_s);
    if (!std::isfinite(now)) return;
    if (u.timer_set == 0 || (renew_hold && u.wrn_lamp == kWrnHold) || !(u.time_base <= now) ||
        base_absurd(u.time_base)) {
        u.time_base = now;
        u.timer_set = 1;
        return;
    }
    if (u.time_base + kStepSeconds <= now) {
        u.align_count = u8(u.align_count - n);
        u.time_base += kStepSeconds;
    }
}

// The mode state machine: one row of (knob, mode) a frame.
void mode_step(const MsuUnit& u) {
    if (u.knob == kOff) {
        u.att_mode = 0;
        u.align_count = kCountOff;
        u.timer_set = 0;
        if (u.mode > kOff) {
            if (u.off_delay > 0) --u.off_delay;
            if (u.off_delay == 0) u.mode = kOff;
        } else {
            u.off_delay = 0;
        }
        return;
    }
    u.off_delay = kOffDelayFrames;
    switch (u.knob) {
        case kStby:
            if (u.mode == kAlign) {
                u.mode = kStby;
            } else if (u.mode == kOff) {
                u.align_count = kCountStart;
                u.mode = kStby;
            } else if (u.mode == kStby || u.mode == kNav || u.mode == kAtt) {
                if (motion()) u.align_count = kCountMotion;
                else if (u.align_count > kCountSettled) count_by(u, 1, false);
                else u.align_count = kCountSettled;
            }
            break;
        case kAlign:
            if (u.mode == kNav) {
                if (u.align_count < kCountAttStart) u.align_count = kCountAttStart;
                u.timer_set = 0;
                u.mode = kAlign;
            } else if (u.mode == kStby) {
                u.mode = kAlign;
            } else if (u.mode == kOff || u.mode == kAlign || u.mode == kAtt) {
                if (motion()) u.align_count = kCountMotion;
                else if (u.align_count > kCountSettled) count_by(u, 1, true);
                else u.align_count = kCountSettled;
            }
            break;
        case kNav:
            if (u.mode == kAtt) {
                u.att_mode = 0;
                u.align_count = kCountNavFromAtt;
                u.mode = kNav;
            } else if (u.mode == kAlign) {
                u.mode = kNav;
            } else if (u.mode == kOff || u.mode == kStby || u.mode == kNav) {
                if (u.align_count > kCountSettled) {
                    if (motion()) u.align_count = kCountMotion;
                    else count_by(u, 1, true);
                } else {
                    u.align_count = kCountAligned;
                }
            }
            break;
        case kAtt:
            if (u.mode == kNav) {
                u.att_mode = 1;
                u.align_count = kCountAttStart;
                u.timer_set = 0;
                u.mode = kAtt;
            } else {
                u.att_mode = 1;
                if (u.align_count >= kFiveStepFloor) count_by(u, 5, false);
                else u.align_count = kCountSettled;
            }
            break;
        default:  // a preset beyond ATT: back to NAV
            u.knob = kNav;
            u.mode = kNav;
            break;
    }
}

// Output status of a running unit from its counter and ATT flag.
u8 status_of(u8 count, bool att) {
    if (count <= kCountAligned) return 3;
    if (count == kCountSettled) return 2;
    if (att) return 0;
    if (count <= 50) return 2;
    if (count <= 80) return 1;
    return 0;
}

i8 power_source(u8 knob, u8 ac_powered) {
    if (knob == kOff) return 0;
    return ac_powered == 1 ? 1 : -1;
}

// The INS battery: both units on it drain 4 a frame, one drains 2, any unit on its bus
// recharges 1; it stays within 0..70000.
void battery_step() {
    const int on_batt = (ins1_power_src == -1) + (ins2_power_src == -1);
    if (on_batt == 2)
        ins_batt_charge = ins_batt_charge > 4 ? ins_batt_charge - 4 : 0;
    else if (on_batt == 1)
        ins_batt_charge = ins_batt_charge > 2 ? ins_batt_charge - 2 : 0;
    else if (ins1_power_src == 1 || ins2_power_src == 1)
        ins_batt_charge = ins_batt_charge < kBattFull ? ins_batt_charge + 1 : kBattFull;
    if (ins_batt_charge > kBattFull) ins_batt_charge = kBattFull;
}

constexpr LightWalk kWalk{2, walk_positions({Plate})};

template <typename G>
void msu_frame(G& gauge, const MsuUnit& u, bool computes_power) {
    light_walk(gauge.header(), kWalk);
    if (u.lamp_test > 0) --u.lamp_test;
    mode_step(u);
    if (computes_power) {
        ins1_power_src = power_source(ins1_msu_knob, elec_ess_ac_powered);
        ins2_power_src = power_source(ins2_msu_knob, elec_ac_bus2_powered);
        battery_step();
    }
    u.powered = u.off_delay > 0 ? 1 : 0;
    if (u.powered) {
        u.status = status_of(u.align_count, u.att_mode == 1);
    } else {
        u.status = 0;
        u.align_count = kCountOff;
    }
    if (u.knob != kOff) {
        if (u.powerup_count == 0) u.powerup_count = kPowerUpStart;
        if (u.powerup_count > kCountSettled) --u.powerup_count;
        else u.powerup_count = kCountSettled;
    } else {
        u.powerup_count = 0;
    }
    show_if(gauge.el(AlignLamp), u.align_count >= 2 && u.align_count <= 99 && u.att_mode == 0);
    const bool dc = dc_ess_powered == 1;
    show_if(gauge.el(BattLamp), dc && (u.align_count == kCountStart || ins_batt_charge < kBattLow || u.lamp_test >= 1));
}

// Knob clicks: left steps one position, right reaches ALIGN or ATT from NAV only.
void knob_down(u8& knob, u32 flags) {
    if (flags & MouseLeftSingle) {
        if (knob == kStby) knob = kOff;
        else if (knob == kAlign) knob = kStby;
        else if (knob == kAtt) knob = kNav;
    }
    if ((flags & MouseRightSingle) && knob == kNav) knob = kAlign;
}
void knob_up(u8& knob, u32 flags) {
    if (flags & MouseLeftSingle) {
        if (knob == kOff) knob = kStby;
        else if (knob == kStby) knob = kAlign;
        else if (knob == kAlign) knob = kNav;
    }
    if ((flags & MouseRightSingle) && knob == kNav) knob = kAtt;
}

template <u8* Knob>
i32 FSAPI msu_knob_down(MousePoint*, u32 flags) {
    knob_down(*Knob, flags);
    return 0;
}
template <u8* Knob>
i32 FSAPI msu_knob_up(MousePoint*, u32 flags) {
    knob_up(*Knob, flags);
    return 0;
}
template <u8* Counter>
i32 FSAPI msu_lamp_test(MousePoint*, u32) {
    *Counter = kLampTestFrames;
    return 0;
}
template <u8* Knob>
f64 FSAPI msu_knob_value(ElementHeader*) {
    return f64(*Knob);
}

NonlinearityPoint knob_points_1[] = {{12, 29, 0, 0}, {27, 10, 1, 0}, {47, 0, 2, 0}, {67, 9, 3, 0}, {88, 29, 4, 0}};
NonlinearityPoint knob_points_2[] = {{12, 29, 0, 0}, {27, 10, 1, 0}, {47, 0, 2, 0}, {67, 9, 3, 0}, {88, 29, 4, 0}};

constexpr u32 kPlateFlags = ImageOption1 | ImageOption2 | ImageLuminous;
constexpr u32 kKnobFlags = ImageOption1 | ImageOption2;
constexpr u32 kLampFlags = ImageOption2 | ImageBright | ImageHidden;

const ElementDef kIns1Elements[kElements] = {
    //         bitmap          x    y   start flags
    el::Static(kBmpPlate,       0,   0, kPlateFlags),
    el::Needle(kBmpKnob,       47,  29, kKnobFlags, msu_knob_value<&ins1_msu_knob>).pivot(15, 12).table(knob_points_1),
    el::Icon(kBmpAlignLamp,   162,  13, kLampFlags),
    el::Icon(kBmpBattLamp,    162,  31, kLampFlags),
};
const ElementDef kIns2Elements[kElements] = {
    el::Static(kBmpPlate,       0,   0, kPlateFlags),
    el::Needle(kBmpKnob,       47,  29, kKnobFlags, msu_knob_value<&ins2_msu_knob>).pivot(15, 12).table(knob_points_2),
    el::Icon(kBmpAlignLamp,   162,  13, kLampFlags),
    el::Icon(kBmpBattLamp,    162,  31, kLampFlags),
};

constexpr u32 kKnobEvents = MouseLeftSingle | MouseRightSingle;
constexpr u32 kLampEvents = MouseLeftSingle | MouseRepeat;

const RectDef kIns1Rects[] = {
    //          x    y   w   h   cursor           events       action
    rect::Click(0,   9,  48, 40, CursorDownArrow, kKnobEvents, msu_knob_down<&ins1_msu_knob>),
    rect::Click(48,  9,  48, 40, CursorUpArrow,   kKnobEvents, msu_knob_up<&ins1_msu_knob>),
    rect::Click(160, 29, 20, 20, CursorHand,      kLampEvents, msu_lamp_test<&ins1_lamp_test>),
};
const RectDef kIns2Rects[] = {
    rect::Click(0,   9,  48, 40, CursorDownArrow, kKnobEvents, msu_knob_down<&ins2_msu_knob>),
    rect::Click(48,  9,  48, 40, CursorUpArrow,   kKnobEvents, msu_knob_up<&ins2_msu_knob>),
    rect::Click(160, 29, 20, 20, CursorHand,      kLampEvents, msu_lamp_test<&ins2_lamp_test>),
};

void FSAPI ins1_msu_update(GaugeHeader*, i32 service, u32);
void FSAPI ins2_msu_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 180;
Gauge<kElements, 3> gauge1(gauge_ins1_msu, "ketravin ins1_msu_kr60", kWidthMm, ins1_msu_update, kIns1Elements,
                           kIns1Rects);
Gauge<kElements, 3> gauge2(gauge_ins2_msu, "ketravin ins2_msu_kr60", kWidthMm, ins2_msu_update, kIns2Elements,
                           kIns2Rects);

void FSAPI ins1_msu_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) msu_frame(gauge1, kIns1, true);
}
void FSAPI ins2_msu_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) msu_frame(gauge2, kIns2, false);
}
}  // namespace
