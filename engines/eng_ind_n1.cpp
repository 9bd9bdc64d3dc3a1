// "ketravin eng_ind_n1_1_kr60", "ketravin eng_ind_n1_2_kr60": the N1 dials of both engines, with
// the N1 bug they share. Engine 1's dial ties the bug to the N1 computer: with a thrust mode the
// bug follows the computed target, without one the bug is the selected target.
// Reads: tok_eng1_n1, tok_eng2_n1, elec_ess_ac_any_powered, dc_ess_powered, eng_n1_mode,
//        eng_n1_target_computed, light_zone, annunciator_bright
// Writes: eng_n1_shown_1/2, eng_n1_digits_1/2, eng_n1_max_1/2, eng_n1_drums_1/2, eng_n1_raw_1,
//         eng_n1_bug, eng_n1_target_selected
#include <cmath>

#include "electrical/state.h"
#include "engines/eng_indicator.h"
#include "engines/state.h"
#include "module/tokens.h"

GaugeHeader gauge_eng_ind_n1_1;
GaugeHeader gauge_eng_ind_n1_2;
EngineDrums eng_n1_drums_1, eng_n1_drums_2;

namespace {
enum Pos : size_t { Face, LitFace, Tenths, Units, Tens, Hundreds, OffFlag, Telltale, Needle, Bug, kElements };

constexpr DialSpec kSpec{5.0, 120.0, 120, 999.9, 100.0, 4};
constexpr u32 kBugMax = 120;
constexpr u32 kWidthMm = 169;
constexpr u32 kBmpFace = 1209, kBmpLitFace = 10035, kBmpBug = 1241;
constexpr LightWalk kWalk{1, walk_range(LitFace, Bug)};  // engine instruments; not the face

// The three needles of a dial turn over the same points; the host writes the angles.
NonlinearityPoint n1_points[] = {
    {19, 100, 0, 0}, {14, 60, 20, 0}, {37, 25, 40, 0}, {76, 10, 60, 0},
    {115, 26, 80, 0}, {137, 59, 100, 0}, {135, 98, 120, 0},
};

DialVars dial_vars[2] = {
    {eng_n1_shown_1, eng_n1_digits_1, &eng_n1_max_1, eng_n1_drums_1},
    {eng_n1_shown_2, eng_n1_digits_2, &eng_n1_max_2, eng_n1_drums_2},
};

template <int E>
f64 FSAPI n1_needle(ElementHeader*) {
    return dial_needle(dial_vars[E].shown, kSpec.scale_max);
}
template <int E>
f64 FSAPI n1_max_needle(ElementHeader*) {
    return dial_telltale_needle(*dial_vars[E].telltale, kSpec.telltale_cut);
}
template <int E>
f64 FSAPI n1_bug_needle(ElementHeader*) {
    if (eng_n1_bug > kBugMax) eng_n1_bug = kBugMax;
    return f64(eng_n1_bug);
}

// Engine 1's arrows move the bug only while no thrust mode owns it; engine 2's always do.
template <int E>
i32 FSAPI n1_bug_dec(MousePoint*, u32) {
    if ((E == 1 || eng_n1_mode == 0) && eng_n1_bug > 0) --eng_n1_bug;
    return 0;
}
template <int E>
i32 FSAPI n1_bug_inc(MousePoint*, u32) {
    if ((E == 1 || eng_n1_mode == 0) && eng_n1_bug < kBugMax) ++eng_n1_bug;
    return 0;
}

struct Elements {
    ElementDef e[kElements];
};
template <int E>
Elements n1_elements() {
    EngineDrums& d = E == 0 ? eng_n1_drums_1 : eng_n1_drums_2;
    return Elements{{
        //  kind               bitmap               x    y   start flags
        el::Static(kBmpFace,                        0,   0, kDialFaceFlags),
        el::Icon(kBmpLitFace,                       0,   0, kDialLitFaceFlags),
        el::ContinuousDrum(kBmpDrumStrip,         103, 104, kDialDrumFlags, &d.drum[3].p, &d.drum[3].p),
        el::BandedDrum(kBmpDrumStrip,              79, 104, kDialDrumFlags, kPercentUnitsBand, &d.drum[2].x, &d.drum[2].p),
        el::BandedDrum(kBmpDrumStrip,              55, 104, kDialDrumFlags, kPercentTensBand, &d.drum[1].x, &d.drum[1].p),
        el::BandedDrum(kBmpDrumStripBlank,         31, 104, kDialLeadingDrumFlags, kPercentHundredsBand, &d.drum[0].x,
                       &d.drum[0].p),
        el::Icon(kBmpOffFlagFour,                  29, 114, kDialFlagFlags),
        el::Needle(kBmpTelltaleNeedle,             76,  76, kDialNeedleFlags, n1_max_needle<E>).pivot(6, 6).table(n1_points),
        el::Needle(kBmpMainNeedle,                 76,  76, kDialNeedleFlags, n1_needle<E>).pivot(15, 5).table(n1_points),
        el::Needle(kBmpBug,                        76,  76, kDialNeedleFlags, n1_bug_needle<E>).pivot(-49, 16).table(n1_points),
    }};
}

// The bug's arrows, held down to repeat.
template <int E>
constexpr RectDef kRects[2] = {
    //          x   y   w   h   cursor           events                         action
    rect::Click(97, 98, 36, 70, CursorDownArrow, MouseLeftSingle | MouseRepeat, n1_bug_dec<E>),
    rect::Click(133, 98, 36, 70, CursorUpArrow,  MouseLeftSingle | MouseRepeat, n1_bug_inc<E>),
};

void FSAPI eng_n1_1_update(GaugeHeader*, i32 service, u32);
void FSAPI eng_n1_2_update(GaugeHeader*, i32 service, u32);
const Elements kElements1 = n1_elements<0>(), kElements2 = n1_elements<1>();
Gauge<kElements, 2> gauge1(gauge_eng_ind_n1_1, "ketravin eng_ind_n1_1_kr60", kWidthMm, eng_n1_1_update,
                           kElements1.e, kRects<0>);
Gauge<kElements, 2> gauge2(gauge_eng_ind_n1_2, "ketravin eng_ind_n1_2_kr60", kWidthMm, eng_n1_2_update,
                           kElements2.e, kRects<1>);

bool powered() { return elec_ess_ac_any_powered == 1 && dc_ess_powered == 1; }

// With a thrust mode the bug takes the whole part of the computed target (held on the dial's
// scale; a target that is not a number leaves it); without one the bug is the selected target.
void bug_and_target() {
    if (eng_n1_mode != 0) {
        const f64 t = eng_n1_target_computed;
        if (std::isfinite(t)) eng_n1_bug = sat_u32(t > f64(kBugMax) ? f64(kBugMax) : t, eng_n1_bug);
    } else {
        eng_n1_target_selected = f64(eng_n1_bug);
    }
}

void FSAPI eng_n1_1_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    dial_light(gauge1.header(), kWalk, gauge1.el(Face), gauge1.el(LitFace));
    const f64 raw = tok_read(tok_eng1_n1);
    if (std::isfinite(raw)) eng_n1_raw_1 = raw;
    const bool on = powered();
    dial_frame(kSpec, dial_vars[0], on, raw, gauge1.el(OffFlag));
    if (on) bug_and_target();
}

void FSAPI eng_n1_2_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    dial_light(gauge2.header(), kWalk, gauge2.el(Face), gauge2.el(LitFace));
    dial_frame(kSpec, dial_vars[1], powered(), tok_read(tok_eng2_n1), gauge2.el(OffFlag));
}
}  // namespace
