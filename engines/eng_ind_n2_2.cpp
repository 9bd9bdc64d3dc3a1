// "ketravin eng_ind_n2_2_kr60": engine 2's N2 dial on the engine instrument panel, on AC bus 2;
// the same dial as engine 1's, bound to engine 2's variables and drums.
// Reads: tok_eng2_n2, elec_ac_bus2_powered, light_zone, annunciator_bright
// Writes: eng_n2_shown_2, eng_n2_counter_2, eng_n2_max_2, eng_n2_drums_2
#include "electrical/state.h"
#include "engines/eng_ind_n2.h"
#include "engines/state.h"

GaugeHeader gauge_eng_ind_n2_2;
EngineDrums eng_n2_drums_2;

namespace {
f64 FSAPI n2_2_needle(ElementHeader*) { return dial_needle(eng_n2_shown_2, kN2Spec.scale_max); }
f64 FSAPI n2_2_max_needle(ElementHeader*) { return dial_telltale_needle(eng_n2_max_2, kN2Spec.telltale_cut); }

void FSAPI eng_n2_2_update(GaugeHeader*, i32 service, u32);
const N2Elements kElements = n2_dial_elements(eng_n2_drums_2, n2_2_needle, n2_2_max_needle);
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};
Gauge<kN2Elements, 2> gauge(gauge_eng_ind_n2_2, "ketravin eng_ind_n2_2_kr60", kN2WidthMm, eng_n2_2_update,
                            kElements.e, kNoClicks);
DialVars vars{eng_n2_shown_2, eng_n2_counter_2, &eng_n2_max_2, eng_n2_drums_2};

void FSAPI eng_n2_2_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    n2_dial_update(gauge, vars, tok_eng2_n2, elec_ac_bus2_powered == 1);
}
}  // namespace
