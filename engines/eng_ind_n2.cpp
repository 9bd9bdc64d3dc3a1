// "ketravin eng_ind_n2_1_kr60": engine 1's N2 dial on the engine instrument panel, on AC bus 1.
// The dial itself (elements, scale, frame) serves engine 2's twin as well.
// Reads: tok_eng1_n2, elec_ac_bus1_powered, light_zone, annunciator_bright
// Writes: eng_n2_shown_1, eng_n2_digits_1, eng_n2_max_1, eng_n2_drums_1
#include "engines/eng_ind_n2.h"

#include "electrical/state.h"
#include "engines/state.h"
#include "module/tokens.h"

GaugeHeader gauge_eng_ind_n2_1;
EngineDrums eng_n2_drums_1;

namespace {
constexpr u32 kBmpFace = 1216, kBmpLitFace = 10041;

// Both needles turn over the same dial points; the host writes the angles.
NonlinearityPoint n2_points[] = {
    {19, 100, 0, 0}, {14, 60, 20, 0}, {37, 25, 40, 0}, {76, 10, 60, 0},
    {115, 26, 80, 0}, {137, 59, 100, 0}, {135, 98, 120, 0},
};
}  // namespace

N2Elements n2_dial_elements(EngineDrums& d, ElementValueFn needle, ElementValueFn telltale) {
    return N2Elements{{
        //  kind               bitmap               x    y   start flags
        el::Static(kBmpFace,                        0,   0, kDialFaceFlags),
        el::Icon(kBmpLitFace,                       0,   0, kDialLitFaceFlags),
        el::ContinuousDrum(kBmpDrumStrip,         103, 104, kDialDrumFlags, &d.drum[3].p, &d.drum[3].p),
        el::BandedDrum(kBmpDrumStrip,              79, 104, kDialDrumFlags, kPercentUnitsBand, &d.drum[2].x, &d.drum[2].p),
        el::BandedDrum(kBmpDrumStrip,              55, 104, kDialDrumFlags, kPercentTensBand, &d.drum[1].x, &d.drum[1].p),
        el::BandedDrum(kBmpDrumStripBlank,         31, 104, kDialLeadingDrumFlags, kPercentHundredsBand, &d.drum[0].x,
                       &d.drum[0].p),
        el::Icon(kBmpOffFlagFour,                  29, 114, kDialFlagFlags),
        el::Needle(kBmpTelltaleNeedle,             76,  76, kDialNeedleFlags, telltale).pivot(6, 6).table(n2_points),
        el::Needle(kBmpMainNeedle,                 76,  76, kDialNeedleFlags, needle).pivot(15, 5).table(n2_points),
    }};
}

namespace {
f64 FSAPI n2_1_needle(ElementHeader*) { return dial_needle(eng_n2_shown_1, kN2Spec.scale_max); }
f64 FSAPI n2_1_max_needle(ElementHeader*) { return dial_telltale_needle(eng_n2_max_1, kN2Spec.telltale_cut); }

void FSAPI eng_n2_1_update(GaugeHeader*, i32 service, u32);
const N2Elements kElements = n2_dial_elements(eng_n2_drums_1, n2_1_needle, n2_1_max_needle);
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};
Gauge<kN2Elements, 2> gauge(gauge_eng_ind_n2_1, "ketravin eng_ind_n2_1_kr60", kN2WidthMm, eng_n2_1_update,
                            kElements.e, kNoClicks);
DialVars vars{eng_n2_shown_1, eng_n2_digits_1, &eng_n2_max_1, eng_n2_drums_1};

void FSAPI eng_n2_1_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    n2_dial_update(gauge, vars, tok_eng1_n2, elec_ac_bus1_powered == 1);
}
}  // namespace
