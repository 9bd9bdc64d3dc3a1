// "ketravin eng_ind_ff_1_kr60", "ketravin eng_ind_ff_2_kr60": fuel flow of each engine, in pounds
// or kilograms per hour as the host's units setting chooses (face, needle and counter change
// together). Engine 1 runs on AC bus 1, engine 2 on AC bus 2. No tell-tale.
// Reads: tok_units_of_measure, tok_eng1/2_fuel_flow_pph, elec_ac_bus1/2_powered, light_zone,
//        annunciator_bright
// Writes: eng_ff_shown_1/2, eng_ff_digits_1/2, eng_ff_drums_1/2
#include <cmath>

#include "electrical/state.h"
#include "engines/eng_indicator.h"
#include "engines/state.h"
#include "lighting/state.h"
#include "module/tokens.h"

GaugeHeader gauge_eng_ind_ff_1;
GaugeHeader gauge_eng_ind_ff_2;
EngineDrums eng_ff_drums_1, eng_ff_drums_2;

namespace {
enum Pos : size_t {
    KgFace, KgLitFace, LbFace, LbLitFace, UnitsDrum, TensDrum, KgHundredsDrum, ThousandsDrum, LbHundredsDrum,
    OffFlag, KgNeedle, LbNeedle, kElements
};

constexpr f64 kStep = 500.0;
constexpr f64 kLbScale = 25000.0, kKgScale = 10000.0;
constexpr f64 kLbPerTenDigits = 10.0;  // the pound counter reads tens of pounds per hour
constexpr f64 kKgPerLb = 0.453;
constexpr f64 kDigitMax = 9999.0;
constexpr f64 kLeadingWeight = 1000.0;
constexpr u32 kDrums = 4;
constexpr u8 kZone = 1;  // engine instruments
constexpr u32 kWidthMm = 153;
constexpr u32 kBmpKgFace = 1219, kBmpKgLitFace = 10044, kBmpLbFace = 4204, kBmpLbLitFace = 10048;
constexpr u32 kOpt = ImageOption1 | ImageOption2;

constexpr drum::Band kTensBand = drum::band(0.9, 9.99, 0.9, 10, drum::Reversed);
constexpr drum::Band kHundredsBand = drum::band(0.99, 9.999, 0.99, 100, drum::Reversed);
constexpr drum::Band kThousandsBand = drum::band(0.999, 9.999, 0.999, 1000, drum::Reversed);

// The same dial points for both needles, in each needle's unit; the host writes the angles.
NonlinearityPoint kg_points[] = {
    {17, 96, 0, 0}, {18, 49, 2000, 0}, {54, 14, 4000, 0}, {102, 17, 6000, 0}, {133, 47, 8000, 0}, {136, 94, 10000, 0},
};
NonlinearityPoint lb_points[] = {
    {17, 96, 0, 0}, {18, 49, 5000, 0}, {54, 14, 10000, 0}, {102, 17, 15000, 0}, {133, 47, 20000, 0}, {136, 94, 25000, 0},
};

struct Engine {
    f64& shown;
    f64& digits;
    EngineDrums& drums;
    TokenVar& flow;
    const u8& bus;
};
const Engine kEngines[2] = {
    {eng_ff_shown_1, eng_ff_digits_1, eng_ff_drums_1, tok_eng1_fuel_flow_pph, elec_ac_bus1_powered},
    {eng_ff_shown_2, eng_ff_digits_2, eng_ff_drums_2, tok_eng2_fuel_flow_pph, elec_ac_bus2_powered},
};
// The units each gauge's last frame took from the host (the records start in kilograms). The
// needles clamp by these rather than reading the host again, so one of them always holds S.
bool kilograms[2] = {true, true};

// Only the needle of the gauge's units holds S on its scale; the other returns it as it stands.
template <size_t I, bool Kg>
f64 FSAPI ff_needle(ElementHeader*) {
    f64& s = kEngines[I].shown;
    if (kilograms[I] == Kg) return dial_needle(s, Kg ? kKgScale : kLbScale);
    return std::isfinite(s) ? s : 0.0;
}

struct Elements {
    ElementDef e[kElements];
};
template <size_t I>
Elements ff_elements() {
    EngineDrums& d = kEngines[I].drums;
    return Elements{{
        //  kind               bitmap            x    y   start flags
        el::Static(kBmpKgFace,                   0,   0, kOpt),
        el::Icon(kBmpKgLitFace,                  0,   0, ImageHidden | ImageLuminous | kOpt),
        el::Icon(kBmpLbFace,                     0,   0, ImageHidden | kOpt),
        el::Icon(kBmpLbLitFace,                  0,   0, ImageHidden | ImageLuminous | kOpt),
        el::ContinuousDrum(kBmpDrumStrip,      106, 101, kDialDrumFlags, &d.drum[3].p, &d.drum[3].p),
        el::BandedDrum(kBmpDrumStrip,           79, 101, kDialDrumFlags, kTensBand, &d.drum[2].x, &d.drum[2].p),
        el::BandedDrum(kBmpDrumStrip,           54, 101, kDialDrumFlags, kHundredsBand, &d.drum[1].x, &d.drum[1].p),
        el::BandedDrum(kBmpDrumStripBlank,      28, 101, kDialLeadingDrumFlags, kThousandsBand, &d.drum[0].x,
                       &d.drum[0].p),
        el::BandedDrum(kBmpDrumStrip,           54, 101, ImageHidden | kDialDrumFlags, kHundredsBand, &d.drum[1].x,
                       &d.drum[1].p),
        el::Icon(kBmpOffFlagFour,               33, 113, kDialFlagFlags),
        el::Needle(kBmpMainNeedle,              76,  76, kDialNeedleFlags, ff_needle<I, true>).pivot(15, 5).table(kg_points),
        el::Needle(kBmpMainNeedle,              76,  76, ImageHidden | kDialNeedleFlags, ff_needle<I, false>)
            .pivot(15, 5).table(lb_points),
    }};
}

template <size_t I>
void FSAPI ff_update(GaugeHeader*, i32 service, u32);
const Elements kElements1 = ff_elements<0>(), kElements2 = ff_elements<1>();
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};
Gauge<kElements, 2> gauge1(gauge_eng_ind_ff_1, "ketravin eng_ind_ff_1_kr60", kWidthMm, ff_update<0>, kElements1.e,
                           kNoClicks);
Gauge<kElements, 2> gauge2(gauge_eng_ind_ff_2, "ketravin eng_ind_ff_2_kr60", kWidthMm, ff_update<1>, kElements2.e,
                           kNoClicks);

// Each units has its face pair: the lit face of the units while the zone is lit, else its unlit
// face. Lit: every element bright, or luminous but for the unlit kilogram face; dark: neither.
template <typename G>
void faces_and_lighting(G& g, bool kg) {
    const bool lit = light_zone[kZone] == 1, bright = lit && annunciator_bright == 1;
    const size_t shown_face = kg ? (lit ? KgLitFace : KgFace) : (lit ? LbLitFace : LbFace);
    for (size_t f : {KgFace, KgLitFace, LbFace, LbLitFace}) show_if(g.el(f), f == shown_face);
    for (size_t i = 0; i < kElements; ++i) {
        u32& flags = g.el(i)->image_flags;
        flags &= ~(ImageLuminous | ImageBright);
        if (bright)
            flags |= ImageBright;
        else if (lit && i != KgFace)
            flags |= ImageLuminous;
    }
}

template <size_t I>
void FSAPI ff_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    auto& g = I == 0 ? gauge1 : gauge2;
    const Engine& e = kEngines[I];

    // 1, 2: units, needle and hundreds drum of the units.
    const bool kg = tok_read(tok_units_of_measure) != 0.0;
    kilograms[I] = kg;
    show_if(g.el(KgNeedle), kg);
    show_if(g.el(KgHundredsDrum), kg);
    show_if(g.el(LbNeedle), !kg);
    show_if(g.el(LbHundredsDrum), !kg);
    // 3: faces and lighting.
    faces_and_lighting(g, kg);
    // 4, 5: the digit value first, then the needle toward the units' value.
    const f64 flow = tok_read(e.flow);
    const bool powered = e.bus == 1;
    if (powered && std::isfinite(flow)) {
        e.digits = dial_digits(kg ? flow * kKgPerLb : flow / kLbPerTenDigits, kDigitMax);
        dial_slew(e.shown, kg ? e.digits : flow, kStep, true);
    } else if (!powered) {
        dial_slew(e.shown, 0.0, kStep, false);
    }
    // 6, 7: counter and flag.
    engine_drums_step(e.digits, kLeadingWeight, kDrums, e.drums);
    show_if(g.el(OffFlag), !powered);
}
}  // namespace
