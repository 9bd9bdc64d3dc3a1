// "ketravin eng_ind_egt_1_kr60", "ketravin eng_ind_egt_2_kr60": exhaust-gas temperature of each
// engine in degrees Celsius, 0 to 1000, with a maximum tell-tale and a three-drum counter. Both
// run on the AC essential bus and read the host only while it is powered.
// Reads: tok_eng1/2_egt_r, elec_ess_ac_any_powered, light_zone, annunciator_bright
// Writes: eng_egt_raw_1/2, eng_egt_shown_1/2, eng_egt_digits_1/2, eng_egt_max_1/2, eng_egt_drums_1/2
#include <cmath>

#include "electrical/state.h"
#include "engines/eng_indicator.h"
#include "engines/state.h"
#include "module/tokens.h"

GaugeHeader gauge_eng_ind_egt_1;
GaugeHeader gauge_eng_ind_egt_2;
EngineDrums eng_egt_drums_1, eng_egt_drums_2;

namespace {
enum Pos : size_t { Face, LitFace, Units, Tens, Hundreds, OffFlag, Telltale, Needle, kElements };

constexpr DialSpec kSpec{50.0, 1000.0, 1000, 999.0, 100.0, 3};
constexpr f64 kRankineZeroC = 491.67;
constexpr f64 kCelsiusPerRankine = 0.55556;
constexpr u32 kWidthMm = 169;
constexpr u32 kBmpFace = 1212, kBmpLitFace = 10038;
constexpr LightWalk kWalk{1, walk_range(LitFace, Needle)};  // engine instruments; not the face

constexpr drum::Band kTensBand = drum::band(0.9, 9.99, 0.9, 10, drum::Reversed);
constexpr drum::Band kHundredsBand = drum::band(0.99, 9.999, 0.99, 100, drum::Reversed);

// Both needles turn over the same dial points; the host writes the angles.
NonlinearityPoint egt_points[] = {
    {19, 96, 0, 0}, {18, 50, 200, 0}, {55, 17, 400, 0}, {102, 16, 600, 0}, {133, 48, 800, 0}, {140, 96, 1000, 0},
};

struct Engine {
    DialVars vars;
    f64& raw;
    TokenVar& egt;
};
Engine engines[2] = {
    {{eng_egt_shown_1, eng_egt_digits_1, &eng_egt_max_1, eng_egt_drums_1}, eng_egt_raw_1, tok_eng1_egt_r},
    {{eng_egt_shown_2, eng_egt_digits_2, &eng_egt_max_2, eng_egt_drums_2}, eng_egt_raw_2, tok_eng2_egt_r},
};

template <size_t I>
f64 FSAPI egt_needle(ElementHeader*) {
    return dial_needle(engines[I].vars.shown, kSpec.scale_max);
}
template <size_t I>
f64 FSAPI egt_max_needle(ElementHeader*) {
    return dial_telltale_needle(*engines[I].vars.telltale, kSpec.telltale_cut);
}

struct Elements {
    ElementDef e[kElements];
};
template <size_t I>
Elements egt_elements() {
    EngineDrums& d = engines[I].vars.drums;
    return Elements{{
        //  kind               bitmap               x    y   start flags
        el::Static(kBmpFace,                        0,   0, kDialFaceFlags),
        el::Icon(kBmpLitFace,                       0,   0, kDialLitFaceFlags),
        el::ContinuousDrum(kBmpDrumStrip,          93, 103, kDialDrumFlags, &d.drum[2].p, &d.drum[2].p),
        el::BandedDrum(kBmpDrumStrip,              68, 103, kDialDrumFlags, kTensBand, &d.drum[1].x, &d.drum[1].p),
        el::BandedDrum(kBmpDrumStripBlank,         43, 103, kDialLeadingDrumFlags, kHundredsBand, &d.drum[0].x,
                       &d.drum[0].p),
        el::Icon(kBmpOffFlagThree,                 41, 113, kDialFlagFlags),
        el::Needle(kBmpTelltaleNeedle,             76,  76, kDialNeedleFlags, egt_max_needle<I>).pivot(6, 6).table(egt_points),
        el::Needle(kBmpMainNeedle,                 76,  76, kDialNeedleFlags, egt_needle<I>).pivot(15, 5).table(egt_points),
    }};
}

template <size_t I>
void FSAPI egt_update(GaugeHeader*, i32 service, u32);
const Elements kElements1 = egt_elements<0>(), kElements2 = egt_elements<1>();
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};
Gauge<kElements, 2> gauge1(gauge_eng_ind_egt_1, "ketravin eng_ind_egt_1_kr60", kWidthMm, egt_update<0>,
                           kElements1.e, kNoClicks);
Gauge<kElements, 2> gauge2(gauge_eng_ind_egt_2, "ketravin eng_ind_egt_2_kr60", kWidthMm, egt_update<1>,
                           kElements2.e, kNoClicks);

template <size_t I>
void FSAPI egt_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    auto& g = I == 0 ? gauge1 : gauge2;
    Engine& e = engines[I];
    dial_light(g.header(), kWalk, g.el(Face), g.el(LitFace));
    const bool powered = elec_ess_ac_any_powered == 1;
    f64 celsius = e.raw;
    if (powered) {
        celsius = (tok_read(e.egt) - kRankineZeroC) * kCelsiusPerRankine;
        if (std::isfinite(celsius)) e.raw = celsius;
    }
    dial_frame(kSpec, e.vars, powered, celsius, g.el(OffFlag));
}
}  // namespace
