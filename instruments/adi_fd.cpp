// Main attitude director indicator: sphere and bank ring, the flight director's command bars and
// roll-out bar, channel annunciators, localizer, glide-slope and fast/slow pointers, the ball,
// failure, LOC and G/S flags, DH light and a test button. Its frame runs the attitude display,
// then the flight-director computer and the command bars, in one pass.
// Reads: tok_attitude_fail, tok_vacuum_fail, tok_adi_bank_deg, tok_adi_pitch_deg, tok_nav1_code,
//        tok_nav1_signal, tok_nav1_cdi, tok_nav1_gs_valid, tok_nav1_gs_needle, tok_ias_kt,
//        tok_slip_ball, dc_ess_powered, ins1_status, ins1_apfd_test, ap_fd_engaged, inst_dh_state,
//        light_lamp_test, ats_speed_target, light_zone, annunciator_bright,
//        fd_roll_bar, fd_pitch_bar, fd_rollout_bar
// Writes: adi_* display state, warn_flag_adi; clears ap_cmd_engaged, ap_cmd1_lever,
//         ap_cmd2_lever, ap_sim_ap_latched on attitude failure
#include "autoflight/flight_director.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "instruments/attitude_walk.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/numeric.h"
#include "module/tokens.h"
#include "navigation/state.h"

GaugeHeader gauge_adi_fd;

namespace {
enum Pos : size_t {
    Face, LitFace, Sphere, Mask, BankRing, FlagAttitude, PitchBar, RollBar, ChannelA, ChannelB,
    FlagAttitude2, LocPointer, LocFlag, GsPointer, GsFlag, SpeedPointer, RolloutBar, DhLight,
    LampTestLamp, Ball, kElements
};

constexpr u32 kTokPitch = 78, kTokBank = 80;
constexpr u32 kLocBit = 0x80, kGsBit = 0x40;
constexpr f64 kBarRange = 12.0, kPointerRange = 200.0;
constexpr f32 kSphereTexture = 0.6f;

const FailureEntry kAttitudeFailure[] = {{8, 0}, {0, 0}};

f64 FSAPI axis_still(ElementHeader*) { return 1.0; }
f64 FSAPI bank_display(ElementHeader*) { return adi_bank_display_deg; }
// The sphere shows pitch only from -30 to 22.5; the display value itself is not limited.
f64 FSAPI sphere_pitch(ElementHeader*) {
    const f64 p = adi_pitch_display_deg;
    return p > 22.5 ? 22.5 : p < -30.0 ? -30.0 : p;
}
f64 FSAPI pitch_bar(ElementHeader*) { return fd_pitch_bar; }
f64 FSAPI roll_bar(ElementHeader*) { return fd_roll_bar; }
f64 FSAPI rollout_bar(ElementHeader*) { return fd_rollout_bar; }
f64 FSAPI loc_pointer(ElementHeader*) { return adi_loc_pointer_pos; }
f64 FSAPI gs_pointer(ElementHeader*) { return adi_gs_pointer_pos; }
f64 FSAPI speed_pointer(ElementHeader*) { return adi_speed_pointer_pos; }
f64 FSAPI ball_x(ElementHeader*) { return adi_ball_x; }
f64 FSAPI ball_y(ElementHeader*) { return adi_ball_y; }

// The sphere's static part: position, texture centre and pitch source; the rest is filled at load.
constexpr ElementDef sphere_static() {
    ElementDef d = el::Sprite(2307, 53, 56, 0, nullptr, nullptr, nullptr).pivot(160, 165).fail(kAttitudeFailure);
    d.token_y = kTokPitch;
    return d;
}
constexpr ElementDef bank_ring() {
    ElementDef d = el::Sprite(2313, 53, 56, 0, nullptr, nullptr, bank_display).pivot(160, 165).fail(kAttitudeFailure);
    d.token_rot = kTokBank;
    d.scale_rot = -1.0;
    return d;
}

const ElementDef kElementDefs[kElements] = {
    //          bitmap  x    y    flags
    el::Static(2304,     0,   0).fail(kAttitudeFailure),
    el::Icon(10032,      0,   0, ImageHidden),  // lit face
    sphere_static(),
    el::Static(5257,     0,   0).fail(kAttitudeFailure),  // mask over the sphere
    bank_ring(),
    el::Icon(2329,      44,  57, ImageHidden),  // attitude flag
    el::Moving(2323,    35,   0, 0, kBarRange, axis_still, pitch_bar),
    el::Moving(2317,     0, 113, 0, kBarRange, roll_bar, axis_still),
    el::Icon(2332,      35, 222, ImageHidden),  // FD channel A
    el::Icon(2336,      35, 222, ImageHidden),  // FD channel B
    el::Icon(2339,      35, 219, ImageHidden),  // second attitude flag image
    el::Moving(2342,    49, 277, 0, kPointerRange, loc_pointer, axis_still),
    el::Icon(2348,      87, 268, ImageHidden),  // LOC flag
    el::Moving(2352,   299,  66, 0, kPointerRange, axis_still, gs_pointer),
    el::Icon(2358,     280, 128, ImageHidden),  // G/S flag
    el::Moving(2361,    15,  66, 0, kPointerRange, axis_still, speed_pointer),
    el::Moving(2374,    12,  38, 0, kBarRange, rollout_bar, axis_still),
    el::Icon(2365,     238,   5, ImageHidden),  // DH light
    el::Icon(2368,      24,  13, ImageHidden),  // lamp-test lamp
    el::Slider(2371,   152, 314, 0, ball_x, ball_y),
};

constexpr LightWalk kWalk{0, walk_positions({LitFace, Sphere, BankRing, FlagAttitude, PitchBar, RollBar, ChannelA,
                                             ChannelB, FlagAttitude2, LocPointer, LocFlag, GsPointer, GsFlag,
                                             SpeedPointer, RolloutBar, Ball})};

// ---- Test button: each push arms 20 frames of test, only below 20 and with INS 1 output.
constexpr u8 kTestPush = 20;

i32 FSAPI adi_fd_test_push(MousePoint*, u32) {
    if (ins1_status >= 1 && adi_test_count < kTestPush) adi_test_count += kTestPush;
    return 0;
}

const RectDef kRects[] = {
    rect::Parent(43789),
    //          x    y    w   h   cursor      events                         action
    rect::Click(251, 278, 63, 63, CursorHand, MouseLeftSingle | MouseRepeat, adi_fd_test_push),
    rect::EndParent(),
};

void FSAPI adi_fd_update(GaugeHeader*, i32 service, u32);
constexpr u32 kWidth = 334;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_adi_fd, "ketravin adi_fd_kr60", kWidth, adi_fd_update,
                                                         kElementDefs, kRects);

// Completes the sphere record from its rotation source on, once at load.
void adi_fd_sprite_init() {
    auto* s = reinterpret_cast<SpriteElement*>(gauge.el(Sphere));
    s->source_x = TokenVar{};
    s->scale_x = 0.0;
    s->scale_y = f64(adi_sphere_pitch_scale);
    s->source_rot = TokenVar{};
    s->source_rot.id = kTokBank;
    s->scale_rot = -1.0;
    s->texture_scale_x = s->texture_scale_y = kSphereTexture;
    s->update_x = nullptr;
    s->update_y = sphere_pitch;
    s->update_rot = bank_display;
}
const bool kSphereReady = (adi_fd_sprite_init(), true);

// ---- Step 3: attitude flag and autopilot drop. Failure tokens count only at exactly 1 (failed)
// and exactly 0 (working); any other value neither raises nor clears the flag through them.
void attitude_flag(bool powered) {
    const i32 attitude = tok_read_i32(tok_attitude_fail);
    const i32 vacuum = tok_read_i32(tok_vacuum_fail);
    const bool failed = attitude == 1 || vacuum == 1 || (ins1_status == 0 && ins1_apfd_test == 0);
    bool flag_shown = false;
    if (failed) {
        ap_cmd_engaged = ap_cmd1_lever = ap_cmd2_lever = ap_sim_ap_latched = 0;
        warn_flag_adi = 1;
        flag_shown = true;
    } else if (!powered) {
        warn_flag_adi = 1;
        flag_shown = true;
    }
    show_if(gauge.el(FlagAttitude), flag_shown);
    show_if(gauge.el(FlagAttitude2), flag_shown);
    if (powered && attitude == 0 && vacuum == 0 && ins1_status >= 1) warn_flag_adi = 0;
}

// ---- Steps 4 to 7: flags, annunciators and lamps.
void flags_and_lamps(bool powered) {
    tok_refresh(tok_nav1_code);
    const bool loc = mask_test(tok_nav1_code, kLocBit) != 0;
    const bool gs = mask_test(tok_nav1_code, kGsBit) != 0;
    show_if(gauge.el(LocFlag), !powered || (loc && !(tok_read(tok_nav1_signal) > 0.0)));
    show_if(gauge.el(GsFlag), !powered || (gs && tok_read(tok_nav1_gs_valid) == 0.0));

    const u8 fd = ap_fd_engaged;
    show_if(gauge.el(ChannelA), fd == 1 || fd == 3);
    show_if(gauge.el(ChannelB), fd == 2);

    show_if(gauge.el(DhLight), powered && (inst_dh_state == 1 || light_lamp_test == 1));
    show_if(gauge.el(LampTestLamp), powered && light_lamp_test == 1);
}

// ---- Steps 8 and 9: the displayed attitude, 1 degree a frame; the test button's attitude is
// 10 degrees of bank and -10.5 of pitch.
constexpr f64 kAdiTestBank = 10.0, kAdiTestPitch = -10.5;

void hold_test(f64& d, u8& latch, f64 attitude) {
    d = attitude;
    latch = 1;
}

// A bank that is no number leaves the display where it stands.
void bank_display_step(bool powered) {
    bool known = false;
    const f64 b = attitude_reading(tok_adi_bank_deg, known);
    f64& d = adi_bank_display_deg;
    u8& latch = adi_bank_return_latch;
    if (powered && ins1_apfd_test == 1) {
        walk_to_ins_test(d, latch);
    } else if (powered && adi_test_count >= 1) {  // toward 10 degrees against the real bank
        if (b > 12.0 && b < 180.0) {
            if (d > 12.0)
                d -= kWalkStep;
            else
                hold_test(d, latch, kAdiTestBank);
        } else if (b >= -180.0 && b < 8.0) {
            if (d < 8.0)
                d += kWalkStep;
            else
                hold_test(d, latch, kAdiTestBank);
        }
    } else if (powered && ins1_status >= 1) {
        if (latch == 0) {
            if (known) d = b;
        } else if (b > 2.0 && b < 180.0) {
            if (b - 2.0 > d)
                d += kWalkStep;
            else
                land(d, latch, b);
        } else if (b >= -180.0 && b < -2.0) {
            if (b + 2.0 < d)
                d -= kWalkStep;
            else
                land(d, latch, b);
        } else if (b == b) {  // no number is in no band; an infinite bank is walked toward, never landed on
            walk_back_both_ways(d, latch, b);
        }
    } else {  // no valid attitude: toward level
        latch = 1;
        if (d >= -180.0 && d < -2.0)
            d += kWalkStep;
        else if (d < -180.0)
            d = 179.9;
        else if (d > 2.0 && d < 180.0)
            d -= kWalkStep;
        else
            d = 0.0;
    }
}

// ---- Step 9: pitch display.
void pitch_display_step(bool powered) {
    bool known = false;
    const f64 p = attitude_reading(tok_adi_pitch_deg, known);
    f64& d = adi_pitch_display_deg;
    u8& latch = adi_pitch_return_latch;
    if (powered && ins1_apfd_test == 1) {
        walk_to_ins_test(d, latch);
    } else if (powered && adi_test_count >= 1) {  // toward -10.5 against the real pitch
        if (p < -13.0) {
            if (d < -13.0)
                d += kWalkStep;
            else
                hold_test(d, latch, kAdiTestPitch);
        } else if (p > -7.0) {
            if (d > -7.0)
                d -= kWalkStep;
            else
                hold_test(d, latch, kAdiTestPitch);
        }
    } else if (powered && ins1_status >= 1) {
        if (latch == 0) {
            if (known) d = p;
        } else if (!walk_back_to_steep_pitch(d, latch, p) && p == p) {
            walk_back_both_ways(d, latch, p);
        }
    } else {
        walk_pitch_to_level(d, latch);
    }
}

// ---- Steps 10 and 11: deviation pointers slide in 10 a frame, then sit on their target; out of
// service they slide back to 0. In service, a deviation that is no number gives no target: the
// pointer stands where it is.
constexpr f64 kPointerStep = 10.0;

void slide_pointer(f64& pos, bool in_service, TokenVar& deviation, f64 scale, f64 centre) {
    f64 v = 0.0;
    const bool known = tok_number(deviation, v);
    if (!in_service) {
        pos = pos > kPointerStep ? pos - kPointerStep : 0.0;
    } else if (known) {
        const f64 target = v * scale + centre;
        pos = target - kPointerStep > pos ? pos + kPointerStep : target;
    }
}

void deviation_pointers(bool powered) {
    tok_refresh(tok_nav1_code);
    const bool loc = powered && mask_test(tok_nav1_code, kLocBit) != 0 && tok_read(tok_nav1_signal) > 0.0;
    slide_pointer(adi_loc_pointer_pos, loc, tok_nav1_cdi, 1.4173, 104.0);
    const bool gs = tok_read(tok_nav1_gs_valid) == 1.0 && powered;
    slide_pointer(adi_gs_pointer_pos, gs, tok_nav1_gs_needle, 0.418, 100.0);
}

// ---- Steps 12 and 13: fast/slow pointer (no power test) and the ball.
constexpr f64 kSpeedSpan = 50.0;
constexpr f64 kSpeedCentre = 103.0;

// A speed or a slip that is no number leaves its pointer or the ball where it stands.
void speed_and_ball() {
    f64 ias = 0.0;
    if (tok_number(tok_ias_kt, ias)) {
        adi_speed_dev_kt = ias - f64(u32(ats_speed_target));
        const f64 dev = adi_speed_dev_kt;
        adi_speed_pointer_pos = dev > kSpeedSpan    ? kSpeedCentre - kSpeedSpan
                                : dev < -kSpeedSpan ? kSpeedCentre + kSpeedSpan
                                                    : kSpeedCentre - dev;
    }
    f64 slip = 0.0;
    if (tok_number(tok_slip_ball, slip)) {
        adi_ball_x = slip * 0.33;
        adi_ball_y = slip * 0.0315;
    }
}

void FSAPI adi_fd_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // Step 1: lighting.
    light_walk(gauge.header(), kWalk);
    show_if(gauge.el(LitFace), light_zone[0] == 1);
    // Step 2: test counter.
    if (adi_test_count > 0) --adi_test_count;

    const bool powered = dc_ess_powered == 1;
    attitude_flag(powered);
    flags_and_lamps(powered);
    bank_display_step(powered);
    pitch_display_step(powered);
    deviation_pointers(powered);
    speed_and_ball();

    fd_capture_step();
    fd_bars_step();
}
}  // namespace
