// Standby attitude indicator: sphere and bank ring on the same attitude tokens as the main
// indicator, an aircraft symbol set by a knob, an attitude flag and a knob-area image that follows
// the panel tint. Without a valid source the display walks to a bank of -30 and level pitch.
// Reads: tok_attitude_fail, tok_vacuum_fail, tok_adi_bank_deg, tok_adi_pitch_deg,
//        dc_ess_powered, ins1_status, ins1_apfd_test, light_tint_sw, light_tint_level,
//        elec_ess_ac_any_powered, light_zone, annunciator_bright
// Writes: adi_sec_knob, adi_sec_symbol_pos, adi_sec_bank_display_deg, adi_sec_bank_return_latch,
//         adi_sec_pitch_display_deg, adi_sec_pitch_return_latch
#include "electrical/state.h"
#include "instruments/attitude_walk.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/switches.h"
#include "module/tokens.h"
#include "navigation/state.h"

GaugeHeader gauge_adi_sec;

namespace {
enum Pos : size_t {
    Face, Sphere, BankNeedle, BankRing, Symbol, Flag, KnobTintOff, KnobTint3, KnobTint2, KnobTintOther,
    KnobPointer, kElements
};

constexpr i32 kKnobStop = 10;
constexpr f64 kSymbolOffset = 18.0, kSymbolMax = 30.0;
constexpr f64 kSpherePitchLimit = 43.0;

f64 FSAPI axis_still(ElementHeader*) { return 1.0; }
f64 FSAPI bank_display(ElementHeader*) { return adi_sec_bank_display_deg; }
// Keeps the stored pitch display within the sphere's travel.
f64 FSAPI sphere_pitch(ElementHeader*) {
    f64& p = adi_sec_pitch_display_deg;
    if (p > kSpherePitchLimit)
        p = kSpherePitchLimit;
    else if (p < -kSpherePitchLimit)
        p = -kSpherePitchLimit;
    return p;
}
f64 FSAPI symbol(ElementHeader*) { return adi_sec_symbol_pos; }
f64 FSAPI adi_sec_knob_value(ElementHeader*) {
    if (adi_sec_knob > kKnobStop)
        adi_sec_knob = kKnobStop;
    else if (adi_sec_knob < -kKnobStop)
        adi_sec_knob = -kKnobStop;
    return adi_sec_knob;
}

constexpr ElementDef sprite(u32 bitmap, f32 texture, f64 scale_y, ElementValueFn fy) {
    ElementDef d = el::Sprite(bitmap, 53, 56, 0, nullptr, fy, bank_display).pivot(169, 172);
    d.scale_y = scale_y;
    d.scale_rot = -1.0;
    d.texture_scale_x = d.texture_scale_y = texture;
    return d;
}

// Pixel x, y and value of the knob pointer's travel; the host fills the angles.
NonlinearityPoint kKnobTable[] = {{242, 301, 10.0, 0.0}, {258, 261, 0.0, 0.0}, {300, 243, -10.0, 0.0}};

const ElementDef kElementDefs[kElements] = {
    //          bitmap  x    y    flags
    el::Static(2272,     0,   0),
    sprite(2275, 0.5f, 2.0, sphere_pitch),
    el::Needle(5260,   169, 172, ImageHidden, bank_display).pivot(169, 172),  // never shown
    sprite(2281, 1.0f, 1.0, nullptr),                                        // bank ring
    el::Moving(2285,    52, 141, 0, 20.0, axis_still, symbol),
    el::Icon(2291,     268,  96, ImageHidden),  // attitude flag
    el::Icon(2297,     241, 243),               // knob area, tint off
    el::Icon(2300,     241, 243, ImageHidden),  // tint level 3
    el::Icon(10076,    241, 243, ImageHidden),  // tint level 2
    el::Icon(2297,     241, 243, ImageHidden),  // any other tint level
    el::Needle(2294,   300, 301, 0, adi_sec_knob_value).pivot(-39, 6).table(kKnobTable),
};

constexpr LightWalk kWalk{0, walk_positions({Face, Sphere, BankRing, Symbol, Flag})};

i32 FSAPI adi_sec_knob_inc(MousePoint*, u32) {
    if (adi_sec_knob < kKnobStop) ++adi_sec_knob;
    return 0;
}
i32 FSAPI adi_sec_knob_dec(MousePoint*, u32) {
    if (adi_sec_knob > -kKnobStop) --adi_sec_knob;
    return 0;
}

const RectDef kRects[] = {
    //          x    y    w   h    cursor           events           action
    rect::Click(260, 243, 40, 101, CursorDownArrow, MouseLeftSingle, adi_sec_knob_inc),
    rect::Click(300, 243, 40, 101, CursorUpArrow,   MouseLeftSingle, adi_sec_knob_dec),
};

void FSAPI adi_sec_update(GaugeHeader*, i32 service, u32);
constexpr u32 kWidth = 340;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_adi_sec, "ketravin adi_sec_kr60", kWidth,
                                                         adi_sec_update, kElementDefs, kRects);

// ---- Step 2: the aircraft symbol follows the knob; a value outside 0..30 is first brought back.
void aircraft_symbol() {
    f64& s = adi_sec_symbol_pos;
    if (s < 0.0)
        s = 0.0;
    else if (s > kSymbolMax)
        s = kSymbolMax;
    else
        s = f64(adi_sec_knob) + kSymbolOffset;
}

// ---- Step 4: the knob-area image by tint level while the tint is on and powered.
constexpr u8 kTintDim = 3, kTintMid = 2;

void knob_area() {
    size_t image = 0;  // tint off
    if (light_tint_sw == 1 && elec_ess_ac_any_powered == 1)
        image = light_tint_level == kTintDim ? 1 : light_tint_level == kTintMid ? 2 : 3;
    show_one_of(gauge, KnobTintOff, 4, image);
}

// ---- Step 5: bank display. Its rest attitude is 30 degrees left wing down.
constexpr f64 kRestBank = -30.0;

void bank_display_step(bool valid) {
    bool known = false;
    const f64 b = attitude_reading(tok_adi_bank_deg, known);
    f64& d = adi_sec_bank_display_deg;
    u8& latch = adi_sec_bank_return_latch;
    if (dc_ess_powered == 1 && ins1_apfd_test == 1) {
        walk_to_ins_test(d, latch);
    } else if (valid && latch == 0) {
        if (known) d = b;
    } else if (valid) {
        // Banks near the rest attitude, and beyond -180, are taken at once; every other bank is
        // walked up to from below and taken within 2 degrees (so that steep banks settle too).
        if ((b >= -32.5 && b <= -27.5) || b < -180.0 || !(b - 2.0 > d)) {
            if (known) land(d, latch, b);
        } else {
            d += kWalkStep;
        }
    } else {  // toward rest, through 180 onto -180 from beyond 150
        latch = 1;
        if (d > -28.0 && d <= 150.0)
            d -= kWalkStep;
        else if (d > 150.0 && d < 180.0)
            d += kWalkStep;
        else if (d >= 179.9)
            d = -180.0;
        else if (d >= -180.0 && d < -32.0)
            d += kWalkStep;
        else
            d = kRestBank;
    }
}

// ---- Step 6: pitch display; the walk back comes toward level from either side first.
void pitch_display_step(bool valid) {
    bool known = false;
    const f64 p = attitude_reading(tok_adi_pitch_deg, known);
    f64& d = adi_sec_pitch_display_deg;
    u8& latch = adi_sec_pitch_return_latch;
    if (dc_ess_powered == 1 && ins1_apfd_test == 1) {
        walk_to_ins_test(d, latch);
    } else if (valid && latch == 0) {
        if (known) d = p;
    } else if (valid) {
        // A pitch that is no number is in none of the return's bands.
        if (walk_back_to_steep_pitch(d, latch, p) || p != p)
            return;
        if (d > 2.5)
            d -= kWalkStep;
        else if (d < -2.5)
            d += kWalkStep;
        else
            land(d, latch, p);
    } else {
        walk_pitch_to_level(d, latch);
    }
}

void FSAPI adi_sec_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    aircraft_symbol();
    // Step 3: unlike the main indicator, the failure tokens also stop the display following.
    const bool failed = tok_read_i32(tok_vacuum_fail) == 1 || tok_read_i32(tok_attitude_fail) == 1;
    const bool valid = dc_ess_powered == 1 && ins1_status >= 1 && !failed;
    show_if(gauge.el(Flag), !valid);
    knob_area();
    bank_display_step(valid);
    pitch_display_step(valid);
}
}  // namespace
