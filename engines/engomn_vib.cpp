// "ketravin engomn_vib_kr60" and "ketravin engomn_vib_sw_kr60": the engine vibration indicator, a
// pointer per engine up a 0..10 scale (4 face pixels a unit), and its control, the FAN/TURBINE
// pick-up switch (scale factor 4 or 6) with a TEST push that sweeps both pointers up to 7.
// Reads: tok_eng1_vibration, tok_eng2_vibration, elec_ac_bus1_powered, snd_click, light_zone,
//        annunciator_bright
// Writes: eng_vib_1, eng_vib_2, eng_vib_selector, eng_vib_test
#include <cmath>

#include "electrical/state.h"
#include "engines/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/switches.h"
#include "module/tokens.h"

GaugeHeader gauge_engomn_vib;
GaugeHeader gauge_engomn_vib_sw;

namespace {
enum VibPos : size_t { VibFace, Pointer1, Pointer2, kVibElements };
enum SwitchPos : size_t { SwitchFace, LeverDown, LeverUp, kSwitchElements };

constexpr u32 kVibWidthMm = 61, kSwitchWidthMm = 81;
constexpr u32 kBmpVibFace = 3216, kBmpPointer1 = 3219, kBmpPointer2 = 3222, kBmpSwitchFace = 3225,
              kBmpLeverDown = 294, kBmpLeverUp = 297;
constexpr LightWalk kVibWalk{4, walk_range(VibFace, Pointer2)};             // systems panels
constexpr LightWalk kSwitchWalk{4, walk_range(SwitchFace, LeverUp)};

constexpr u8 kFan = 1, kTurbine = 2;
constexpr f64 kFanFactor = 4.0, kTurbineFactor = 6.0;  // face pixels per unit of the host's level
constexpr f64 kStep = 0.2, kBand = 0.4;
constexpr f64 kSweepTop = 28.0;  // 7 on the scale

// The engines' levels. Their records hold the values last read with AC bus 1 (0.0 until then),
// which is what the pointers fall against without power.
TokenVar* const kLevel[2] = {&tok_eng1_vibration, &tok_eng2_vibration};

// The pointers move up by their values; not held to the scale.
f64 FSAPI vib_pointer_1(ElementHeader*) { return -eng_vib_1; }
f64 FSAPI vib_pointer_2(ElementHeader*) { return -eng_vib_2; }

const ElementDef kVibElementDefs[kVibElements] = {
    //         bitmap          x   y  start flags
    el::Static(kBmpVibFace,    0,  0),
    el::Slider(kBmpPointer1,  15, 55, 0, nullptr, vib_pointer_1),
    el::Slider(kBmpPointer2,  38, 55, 0, nullptr, vib_pointer_2),
};
const ElementDef kSwitchElementDefs[kSwitchElements] = {
    el::Static(kBmpSwitchFace, 0,  0),
    el::Icon(kBmpLeverDown,   59, 38, ImageHidden),
    el::Icon(kBmpLeverUp,     59, 20),
};

i32 FSAPI vib_test_push(MousePoint*, u32) {
    if (eng_vib_test != 1 && elec_ac_bus1_powered == 1) eng_vib_test = 1;
    return 0;
}

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};
const RectDef kSwitchRects[] = {
    //          x   y   w   h   cursor      events           action
    rect::Click(48,  6, 28, 31, CursorHand, MouseLeftSingle, click_switch<&eng_vib_selector, kFan>),
    rect::Click(48, 37, 28, 31, CursorHand, MouseLeftSingle, click_switch<&eng_vib_selector, kTurbine>),
    rect::Click(0,  60, 29, 29, CursorHand, MouseLeftSingle, vib_test_push),
};

void FSAPI vib_update(GaugeHeader*, i32 service, u32);
void FSAPI vib_switch_update(GaugeHeader*, i32 service, u32);
Gauge<kVibElements, 2> vib_gauge(gauge_engomn_vib, "ketravin engomn_vib_kr60", kVibWidthMm, vib_update,
                                 kVibElementDefs, kNoClicks);
Gauge<kSwitchElements, 3> switch_gauge(gauge_engomn_vib_sw, "ketravin engomn_vib_sw_kr60", kSwitchWidthMm,
                                       vib_switch_update, kSwitchElementDefs, kSwitchRects);

// Test sweep: up a step a frame while powered (the sweep ends when a pointer is found at the top),
// down a step a frame without power.
void sweep(f64* v[2], bool powered) {
    for (size_t i = 0; i < 2; ++i) {
        f64& p = *v[i];
        if (!powered)
            p = p >= kStep ? p - kStep : 0.0;
        else if (p < kSweepTop)
            p += kStep;
        else
            eng_vib_test = 0;
    }
}

// Reading: a step toward the level times the pick-up's factor, onto it within the band; a level
// that is no number leaves the pointer standing. Without power the levels last read stand, compared
// as they are, and a pointer drops to 0 once it is within the band of its reading (or it has none).
void follow(f64* v[2], bool powered) {
    const f64 k = eng_vib_selector == kTurbine ? kTurbineFactor : kFanFactor;
    for (size_t i = 0; i < 2; ++i) {
        f64& p = *v[i];
        if (!std::isfinite(p)) p = 0.0;
        f64 level = 0.0;
        if (!powered) {
            const f64 r = token_f64(*kLevel[i]) * k;
            p = r + kBand < p && p >= kStep ? p - kStep : 0.0;
        } else if (tok_number(*kLevel[i], level)) {
            const f64 r = level * k;
            p = r - kBand > p ? p + kStep : r + kBand < p ? p - kStep : r;
        }
    }
}

void FSAPI vib_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(vib_gauge.header(), kVibWalk);
    f64* pointers[2] = {&eng_vib_1, &eng_vib_2};
    const bool powered = elec_ac_bus1_powered == 1;
    if (eng_vib_test != 0)
        sweep(pointers, powered);
    else
        follow(pointers, powered);
}

void FSAPI vib_switch_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(switch_gauge.header(), kSwitchWalk);
    const bool turbine = eng_vib_selector == kTurbine;
    show_if(switch_gauge.el(LeverDown), turbine);
    show_if(switch_gauge.el(LeverUp), !turbine);
    if (elec_ac_bus1_powered == 0) eng_vib_test = 0;
}
}  // namespace
