// Speed-brake lever of the pedestal and its enlarged copy. Clicks step the host's speed brakes
// and arm the ground spoilers; the small lever's callback follows the host's handle and deploys
// the spoilers itself on a rejected take-off or at touchdown. The lever bytes are the master
// copy; the enlarged lever only draws them.
// Reads: hyd_avail, dc_ess_powered, light_zone, annunciator_bright, tok_spoilers_handle,
//        tok_spoilers_armed, tok_on_ground, tok_eng1_n1, tok_eng1_throttle_lever
// Writes: spd_brk_lever_pos, spd_brk_arm_state, spd_brk_arm_phase, spd_brk_peak_n1
#include <cmath>

#include "electrical/state.h"
#include "flight_controls/fctl_keys.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/tokens.h"
#include "systems/systems_keys.h"

GaugeHeader gauge_spd_brk_lev;
GaugeHeader gauge_spd_brk_lev_big;

namespace {
// ---- Lever positions, in host spoiler units.
constexpr i16 kStep = 1000;
constexpr i16 kLastStepFrom = 15000;  // at or below: one more step; above: the stop
constexpr i16 kStop = 16000;
constexpr i16 kDeployed = 16001;  // extended by the host or deployed automatically
constexpr i16 kFullPull = 16380;  // the big lever pulled past the stop on the ground
constexpr i16 kArmBelow = 2000;   // the arm push acts only below this position
// The host keeps the last value it was sent while the lever passes these two steps.
constexpr i16 kSilentFrom = 4000, kSilentBelow = 6000;
constexpr f64 kHandleExtended = 16000.0;  // host handle at or above: lever shows deployed
constexpr f64 kHandleStowed = 1.0;        // host handle at or below: stowed

// ---- Automatic deployment.
constexpr u32 kFullPullPeakN1 = 86;
constexpr u32 kTakeoffPeakN1 = 85;     // peak N1 (engine 1) that makes a rejected take-off
constexpr f64 kThrottleRejected = 0.6;  // engine-1 lever below it: thrust taken back

constexpr u8 kUnarmed = 0, kArmed = 1, kDeployedAuto = 2;
constexpr u8 kPhaseNone = 0, kPhaseGround = 1, kPhaseFlight = 2;

// Host flags count only at exactly 1.0 (on) or 0.0 (off).
bool on_ground() { return tok_read(tok_on_ground) == 1.0; }
bool in_flight() { return tok_read(tok_on_ground) == 0.0; }
bool host_armed() { return tok_read(tok_spoilers_armed) > 0.0; }

bool spoiler_power() { return (hyd_avail[2] != 0 || hyd_avail[0] != 0) && dc_ess_powered == 1; }

void disarm() {
    spd_brk_arm_state = kUnarmed;
    spd_brk_peak_n1 = 0;
    spd_brk_arm_phase = kPhaseNone;
}

void send_position() {
    const i16 pos = spd_brk_lever_pos;
    if (!spoiler_power() || (pos >= kSilentFrom && pos < kSilentBelow)) return;
    svc::trigger_key_event(key_spoilers_set, u32(i32(pos)));
}

// Step toward the stop; anything past the last step (the deployed or fully pulled lever) comes
// back to the stop.
void extend() {
    if (spd_brk_lever_pos <= kLastStepFrom)
        spd_brk_lever_pos = i16(spd_brk_lever_pos + kStep);
    else
        spd_brk_lever_pos = kStop;
    send_position();
}

// A retract while the host has its spoilers armed only clears the host's arming.
void retract(bool clear_host_arming) {
    disarm();
    if (clear_host_arming) {
        svc::trigger_key_event(key_spoilers_arm_toggle, 0);
        spd_brk_lever_pos = 0;
        return;
    }
    spd_brk_lever_pos = spd_brk_lever_pos >= kStep ? i16(spd_brk_lever_pos - kStep) : i16(0);
    send_position();
}

void deploy() {
    spd_brk_arm_state = kDeployedAuto;
    svc::send_key_event(key_spoilers_event_10210, 0);
    spd_brk_peak_n1 = 0;
    spd_brk_lever_pos = kDeployed;
}

i32 FSAPI extend_step(MousePoint*, u32) {
    disarm();
    extend();
    return 0;
}

i32 FSAPI retract_step(MousePoint*, u32) {
    retract(host_armed());
    return 0;
}

i32 FSAPI arm_push(MousePoint*, u32) {
    if (spd_brk_lever_pos >= kArmBelow) return 0;
    spd_brk_lever_pos = 0;
    if (spd_brk_arm_state != kUnarmed) {
        disarm();
        return 0;
    }
    if (!spoiler_power()) return 0;
    spd_brk_arm_state = kArmed;
    if (on_ground())
        spd_brk_arm_phase = kPhaseGround;
    else if (in_flight())
        spd_brk_arm_phase = kPhaseFlight;
    return 0;
}

i32 FSAPI big_extend_step(MousePoint*, u32) {
    if (!on_ground()) {
        disarm();
        extend();
        return 0;
    }
    if (spd_brk_lever_pos <= kLastStepFrom) {
        disarm();
        extend();
        return 0;
    }
    // The full pull on the ground arms the rejected take-off logic at once.
    spd_brk_arm_state = kArmed;
    spd_brk_peak_n1 = kFullPullPeakN1;
    spd_brk_arm_phase = kPhaseGround;
    spd_brk_lever_pos = kFullPull;
    send_position();
    return 0;
}

i32 FSAPI big_retract_step(MousePoint*, u32) {
    const bool armed = host_armed();
    retract(armed && on_ground());
    return 0;
}

// ---- Small lever ------------------------------------------------------------------------
enum SmallPos : size_t { Background, LowerLever, UpperLever, ArmedImage, kSmallElements };

constexpr u32 kBmpSmallBackground = 3120;
constexpr u32 kBmpLower = 3126;
constexpr u32 kBmpUpper = 3123;
constexpr u32 kBmpArmed = 4176;
constexpr i32 kLowerPerPixel = 364;    // integer division
constexpr f64 kUpperPerPixel = 327.6;  // truncated

f64 FSAPI lower_offset(ElementHeader*) { return f64(spd_brk_lever_pos / kLowerPerPixel); }
// The lever's i16 over a constant is always a number.
f64 FSAPI upper_offset(ElementHeader*) { return f64(sat_i32(spd_brk_lever_pos / kUpperPerPixel, 0)); }

const ElementDef kSmallElementDefs[kSmallElements] = {
    //          bitmap                x   y  flags
    el::Static(kBmpSmallBackground,  0,  0),
    el::Slider(kBmpLower,            9, 27, 0, nullptr, lower_offset),
    el::Slider(kBmpUpper,            6,  9, 0, nullptr, upper_offset),
    el::Icon(kBmpArmed,              3, 10, ImageHidden),
};

const RectDef kSmallRects[] = {
    //          x   y   w   h   cursor           events                        action
    rect::Click(0, 66, 33, 35, CursorUpArrow,   MouseLeftSingle | MouseRepeat, extend_step),
    rect::Click(0, 31, 33, 35, CursorDownArrow, MouseLeftSingle | MouseRepeat, retract_step),
    rect::Click(0, 10, 33, 21, CursorHand,      MouseLeftSingle,               arm_push),
};

void FSAPI spd_brk_lever_update(GaugeHeader*, i32 service, u32);
Gauge<kSmallElements, sizeof kSmallRects / sizeof kSmallRects[0]> small(gauge_spd_brk_lev, "ketravin spd_brk_lev_kr60",
                                                                        33, spd_brk_lever_update, kSmallElementDefs,
                                                                        kSmallRects);

void FSAPI spd_brk_lever_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Images: the armed lever stands in its own image.
    const bool armed_image = spd_brk_arm_state == kArmed;
    show_if(small.el(ArmedImage), armed_image);
    show_if(small.el(LowerLever), !armed_image);
    show_if(small.el(UpperLever), !armed_image);

    // 2. The host's handle: fully out shows deployed; stowed again clears the lever.
    const f64 handle = tok_read(tok_spoilers_handle);
    if (handle >= kHandleExtended) spd_brk_lever_pos = kDeployed;
    if (spd_brk_lever_pos == kDeployed && handle <= kHandleStowed) {
        spd_brk_lever_pos = 0;
        disarm();
    }

    const bool ground = on_ground();
    // 3. Highest engine-1 N1 seen on the ground while armed.
    if (spd_brk_arm_state == kArmed && ground) {
        // An N1 that is no finite number is no peak: the highest number seen stands.
        const f64 n1 = tok_read(tok_eng1_n1);
        if (std::isfinite(n1) && f64(spd_brk_peak_n1) < n1) spd_brk_peak_n1 = sat_u32(n1, spd_brk_peak_n1);
    }
    // 4. Rejected take-off: take-off thrust was seen and the throttle came back.
    if (spd_brk_arm_state == kArmed && ground && spd_brk_arm_phase == kPhaseGround &&
        spd_brk_peak_n1 >= kTakeoffPeakN1 && tok_read(tok_eng1_throttle_lever) < kThrottleRejected && spoiler_power())
        deploy();
    // 5. Touchdown: repeats every frame on the ground while armed in flight.
    if (ground && spd_brk_arm_phase == kPhaseFlight && spoiler_power()) deploy();
}

// ---- Enlarged lever ---------------------------------------------------------------------
enum BigPos : size_t { BigBackground, FrontA, FrontB, RearC, RearD, RearE, Extended, kBigElements };

constexpr u32 kBmpBigBackground = 4278;
constexpr i16 kRearFrom = 8000;  // at or past it the lever is drawn from behind
constexpr f64 kFrontPerUnit = 0.00375;
constexpr f64 kRearCPerUnit = 0.00375, kRearDPerUnit = 0.005625, kRearEPerUnit = 0.0075;
constexpr f64 kArmedOffsetB = -11.0;

f64 big_offset[kBigElements] = {};  // by chain position
template <size_t Pos>
f64 FSAPI big_offset_of(ElementHeader*) {
    return big_offset[Pos];
}

const ElementDef kBigElementDefs[kBigElements] = {
    //          bitmap              x    y  flags
    el::Static(kBmpBigBackground,  0,   0),
    el::Slider(4281,              53,  89, 0,           nullptr, big_offset_of<FrontA>),
    el::Slider(4284,              39,  11, 0,           nullptr, big_offset_of<FrontB>),
    el::Slider(4288,              52, 200, ImageHidden, nullptr, big_offset_of<RearC>),
    el::Slider(4291,              42, 192, ImageHidden, nullptr, big_offset_of<RearD>),
    el::Slider(4294,              39, 160, ImageHidden, nullptr, big_offset_of<RearE>),
    el::Icon(4275,                37, 275, ImageHidden),
};

const RectDef kBigRects[] = {
    //          x    y    w    h   cursor           events                        action
    rect::Click(36, 208, 55, 120, CursorUpArrow,   MouseLeftSingle | MouseRepeat, big_extend_step),
    rect::Click(36,  88, 55, 120, CursorDownArrow, MouseLeftSingle | MouseRepeat, big_retract_step),
    rect::Click(36,   0, 55,  55, CursorHand,      MouseLeftSingle,               arm_push),
};

constexpr LightWalk kBigWalk{3, walk_positions({BigBackground})};

void FSAPI spd_brk_lever_big_update(GaugeHeader*, i32 service, u32);
Gauge<kBigElements, sizeof kBigRects / sizeof kBigRects[0]> big(gauge_spd_brk_lev_big, "ketravin spd_brk_lev_big_kr60",
                                                                104, spd_brk_lever_big_update, kBigElementDefs,
                                                                kBigRects);

void show_sliders(bool front, bool rear) {
    for (size_t p : {FrontA, FrontB}) show_if(big.el(p), front);
    for (size_t p : {RearC, RearD, RearE}) show_if(big.el(p), rear);
}

void FSAPI spd_brk_lever_big_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(big.header(), kBigWalk);
    const f64 handle = tok_read(tok_spoilers_handle);
    const f64 pos = f64(spd_brk_lever_pos);
    if (spd_brk_arm_state == kArmed || spd_brk_arm_state == kDeployedAuto || host_armed()) {
        if (handle >= kHandleExtended) {
            show_sliders(false, false);
            show_if(big.el(Extended), true);
        } else {
            // Which images show stays as the last frame left it.
            big_offset[FrontB] = kArmedOffsetB;
            big_offset[FrontA] = 0.0;
        }
    } else if (spd_brk_lever_pos < kRearFrom) {
        show_sliders(true, false);
        show_if(big.el(Extended), false);
        // With the host's handle stowed the lever is drawn at rest whatever the position says.
        if (handle > kHandleStowed)
            big_offset[FrontA] = big_offset[FrontB] = pos * kFrontPerUnit;
        else
            for (f64& o : big_offset) o = 0.0;
    } else {
        show_sliders(false, true);
        show_if(big.el(Extended), false);
        big_offset[RearC] = (pos - kRearFrom) * kRearCPerUnit;
        big_offset[RearD] = (pos - kRearFrom) * kRearDPerUnit;
        big_offset[RearE] = (pos - kRearFrom) * kRearEPerUnit;
    }
}
}  // namespace
