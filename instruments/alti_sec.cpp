// First officer's altimeter: keeps its own setting (copied once from the first setting the host
// gives that is a number, whatever its value, then moved only by the knob) and shows the host's
// altitude corrected by 29.52 ft per hectopascal of difference, on a 100-ft needle and three
// drums, with hPa and inHg counters of its own setting and a VIB flag.
// Reads: dc_ess_powered, light_zone, annunciator_bright
// Writes: inst_alti2_* (its setting, shown altitude, needle, drums and counters)
#include "electrical/state.h"
#include "instruments/altimeter.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/tokens.h"

GaugeHeader gauge_alti_sec;

namespace {
enum Pos {
    Face, LitFace, AltHundreds, AltThousands, AltTenThousands, InHgHundredths, InHgTenths, InHgUnits,
    InHgTens, HpaUnits, HpaTens, HpaHundreds, HpaThousands, Hatch, NegativeFlag, VibFlag, Needle, kElements
};

constexpr u8 kZone = 1;
constexpr u32 kBmpBaroDrum = 1273, kBmpAltDrum = 1260;

f64 FSAPI alti_sec_needle_value(ElementHeader*) { return inst_alti2_needle; }
AltiDial dial = kAltiDial;

using drum::Reversed;
using drum::target;
constexpr drum::Chase kChase = drum::carry(9.9);
const ElementDef kElementDefs[kElements] = {
    el::Static(1299, 0, 0),
    el::Icon(10051, 0, 0, ImageHidden),
    el::ContinuousDrum(1302, 113, 46, 0, &inst_alti2_100_drum),
    el::BandedDrum(kBmpAltDrum, 81, 55, 0, drum::band(0.999, 9.9999, 0.999, 1000, Reversed), &inst_alti2_1k_value,
                   &inst_alti2_1k_drum),
    el::BandedDrum(kBmpAltDrum, 60, 55, 0, drum::band(0.9999, 9.9999, 0.9999, 10000, Reversed),
                   &inst_alti2_10k_value, &inst_alti2_10k_drum),
    el::ValueDrum(kBmpBaroDrum, 148, 117, 0, &inst_alti2_inhg_units),
    el::ChasingDrum(kBmpBaroDrum, 136, 117, 0, kChase, target(&inst_alti2_inhg_d10), &inst_alti2_inhg_d10_drum),
    el::ChasingDrum(kBmpBaroDrum, 124, 117, 0, kChase, target(&inst_alti2_inhg_d100), &inst_alti2_inhg_d100_drum),
    el::ChasingDrum(kBmpBaroDrum, 112, 117, 0, kChase, target(&inst_alti2_inhg_d1000), &inst_alti2_inhg_d1000_drum),
    el::ValueDrum(kBmpBaroDrum, 87, 117, 0, &inst_alti2_hpa_units),
    el::ChasingDrum(kBmpBaroDrum, 75, 117, 0, kChase, target(&inst_alti2_hpa_d10), &inst_alti2_hpa_d10_drum),
    el::ChasingDrum(kBmpBaroDrum, 63, 117, 0, kChase, target(&inst_alti2_hpa_d100), &inst_alti2_hpa_d100_drum),
    el::ChasingDrum(kBmpBaroDrum, 51, 117, 0, kChase, target(&inst_alti2_hpa_d1000), &inst_alti2_hpa_d1000_drum),
    el::Icon(1308, 60, 55, ImageHidden),
    el::Icon(1312, 60, 55, ImageHidden),
    el::Icon(1315, 81, 34, ImageHidden),
    el::Needle(1318, kAltiNeedleX, kAltiNeedleY, 0, alti_sec_needle_value)
        .pivot(kAltiNeedlePivotX, kAltiNeedlePivotY)
        .table(dial.p),
};

constexpr LightWalk kWalk{kZone, walk_range(LitFace, Needle)};

// ---- Knob: its own setting, limits tested before the step, no key event ----------------------
constexpr f64 kKnobStep = 0.33334, kKnobLow = 739.0, kKnobHigh = 1053.0;
i32 FSAPI alti_sec_baro_dec(MousePoint*, u32) {
    if (dc_ess_powered == 1 && inst_alti2_baro_hpa > kKnobLow) inst_alti2_baro_hpa -= kKnobStep;
    return 0;
}
i32 FSAPI alti_sec_baro_inc(MousePoint*, u32) {
    if (dc_ess_powered == 1 && inst_alti2_baro_hpa < kKnobHigh) inst_alti2_baro_hpa += kKnobStep;
    return 0;
}
constexpr u32 kKnobEvents = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x   y    w   h   cursor           events       action
    rect::Click(0,  127, 36, 56, CursorDownArrow, kKnobEvents, alti_sec_baro_dec),
    rect::Click(36, 127, 36, 56, CursorUpArrow,   kKnobEvents, alti_sec_baro_inc),
};

void FSAPI alti_sec_update(GaugeHeader* g, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_alti_sec, "ketravin alti_sec_kr60", 191, alti_sec_update, kElementDefs, kRects);

void flags(f64 a) {
    constexpr f64 kNegativeBelow = -1.0, kHatchBelow = 10000.0;
    show_if(gauge.el(VibFlag), dc_ess_powered != 1);
    if (dc_ess_powered != 1) return;  // the hatch and the negative flag stand
    if (a <= kNegativeBelow) {
        show_if(gauge.el(NegativeFlag), true);
    } else if (a < kHatchBelow) {
        show_if(gauge.el(NegativeFlag), false);
        show_if(gauge.el(Hatch), true);
    } else if (a >= kHatchBelow) {
        show_if(gauge.el(NegativeFlag), false);
        show_if(gauge.el(Hatch), false);
    }
}

void FSAPI alti_sec_update(GaugeHeader* g, i32 service, u32) {
    constexpr f64 kFeetPerHpa = 29.52, kHundredthsInHgPerHpa = 2.9531;
    if (service != ServicePreUpdate || !g) return;
    // 1. Lighting.
    light_walk(*g, kWalk);
    show_if(gauge.el(LitFace), light_zone[kZone] == 1);
    // 2. Host setting first, then altitude.
    const f64 host_hpa = tok_read(tok_baro_hpa);
    const f64 host_alt = tok_read(tok_indicated_altitude_ft);
    // 3. The own setting starts from the host's, on the first frame whatever the power and
    //    whatever its value (a high-pressure day lies beyond the knob's stops). A frame whose
    //    setting is no number or infinite gives nothing to copy: the copy waits for a number.
    if (inst_alti2_baro_synced == 0 && std::isfinite(host_hpa)) {
        inst_alti2_baro_hpa = host_hpa;
        inst_alti2_baro_synced = 1;
    }
    // 4. Shown altitude, from numbers only: an altitude or setting that is no number or infinite
    //    keeps the last one. Absurd finite ones saturate.
    if (std::isfinite(host_alt) && std::isfinite(host_hpa))
        inst_alti2_alt_ft = sat_f64(host_alt - sat_f64((host_hpa - inst_alti2_baro_hpa) * kFeetPerHpa));
    const f64 a = inst_alti2_alt_ft;
    // 5, 6. Needle and drum altitude while powered.
    if (dc_ess_powered == 1) {
        inst_alti2_needle = alti_needle_value(a);
        inst_alti2_drum_alt_ft = alti_drum_altitude(a);
    }
    // 7. Altitude drums, every frame.
    const f64 A = inst_alti2_drum_alt_ft;
    drum_roll(gauge.el(AltTenThousands), A / 10000.0);
    drum_roll(gauge.el(AltThousands), place_rest(A, 10000.0) / 1000.0);
    inst_alti2_100_drum = 10.0 - place_rest(A, 1000.0) / 100.0;
    // 8, 9. Barometric counters of the own setting, every frame.
    //    Plain truncated digits: no carry ahead on this instrument.
    inst_alti2_inhg100 = sat_f64(inst_alti2_baro_hpa * kHundredthsInHgPerHpa);
    baro_counter(inst_alti2_inhg100, false, inst_alti2_inhg_d1000, inst_alti2_inhg_d100, inst_alti2_inhg_d10,
                 inst_alti2_inhg_units);
    baro_counter(inst_alti2_baro_hpa, false, inst_alti2_hpa_d1000, inst_alti2_hpa_d100, inst_alti2_hpa_d10,
                 inst_alti2_hpa_units);
    // 10. Flags.
    flags(a);
}
}  // namespace
