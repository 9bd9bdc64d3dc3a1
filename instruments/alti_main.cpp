// Captain's altimeter: a 100-ft needle and four altitude drums on the host's indicated altitude,
// hPa and inHg counters of the host's setting with the carry shown ahead, OFF, SSC, negative and
// below-10,000-ft flags, the altitude alert light, and a knob that sets the host's setting.
// Reads: elec_ess_ac_any_powered, dc_ess_powered, inst_adc1_powered, inst_adc1_alt_valid,
//        inst_adc1_air_valid, ap_alt_alert_state, light_lamp_test, light_zone, annunciator_bright
// Writes: inst_alti1_needle, inst_alti1_drum_alt_ft, inst_alti1_alert_flashing,
//         inst_alti1_alert_flash_tick, warn_flag_alti
#include "air/state.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "instruments/altimeter.h"
#include "instruments/instruments_keys.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/tokens.h"

GaugeHeader gauge_alti_main;

namespace {
enum Pos {
    Face, LitFace, AlertLight, AltTens, AltHundreds, AltThousands, AltTenThousands,
    InHgHundredths, InHgTenths, InHgUnits, InHgTens, HpaUnits, HpaTens, HpaHundreds, HpaThousands,
    Hatch, NegativeFlag, OffFlag, SscFlag, Needle, kElements
};

constexpr u8 kZone = 0;
constexpr u32 kBmpBaroDrum = 1273;

// Drum inputs and positions (the chasing drums' positions belong to their callbacks).
f64 tens_p, hundreds_x, hundreds_p, thousands_x, thousands_p, ten_k_x, ten_k_p;
i32 inhg_target[3], hpa_target[3];
f64 inhg_pos[3], hpa_pos[3], inhg_units, hpa_units;

f64 FSAPI needle_value(ElementHeader*) { return inst_alti1_needle; }
AltiDial dial = kAltiDial;

using drum::Reversed;
using drum::target;
const ElementDef kElementDefs[kElements] = {
    el::Static(1251, 0, 0),
    el::Icon(10012, 0, 0, ImageHidden),
    el::Icon(1296, 163, 9, ImageHidden),
    el::ContinuousDrum(1267, 124, 48, 0, &tens_p),
    el::BandedDrum(1260, 105, 51, 0, drum::band(0.9, 9.99, 0.9, 10, Reversed), &hundreds_x, &hundreds_p),
    el::BandedDrum(1254, 80, 51, 0, drum::band(0.99, 9.9999, 0.99, 100, Reversed), &thousands_x, &thousands_p),
    el::BandedDrum(1254, 59, 51, 0, drum::band(0.999, 9.9999, 0.999, 1000, Reversed), &ten_k_x, &ten_k_p),
    el::ValueDrum(kBmpBaroDrum, 148, 117, 0, &inhg_units),
    el::ChasingDrum(kBmpBaroDrum, 136, 117, 0, drum::carry(9.6), target(&inhg_target[2]), &inhg_pos[2]),
    el::ChasingDrum(kBmpBaroDrum, 124, 117, 0, drum::carry(9.6), target(&inhg_target[1]), &inhg_pos[1]),
    el::ChasingDrum(kBmpBaroDrum, 112, 117, 0, drum::carry(9.6), target(&inhg_target[0]), &inhg_pos[0]),
    el::ValueDrum(kBmpBaroDrum, 87, 117, 0, &hpa_units),
    el::ChasingDrum(kBmpBaroDrum, 75, 117, 0, drum::carry(9.6), target(&hpa_target[2]), &hpa_pos[2]),
    el::ChasingDrum(kBmpBaroDrum, 63, 117, 0, drum::carry(9.6), target(&hpa_target[1]), &hpa_pos[1]),
    el::ChasingDrum(kBmpBaroDrum, 51, 117, 0, drum::carry(9.6), target(&hpa_target[0]), &hpa_pos[0]),
    el::Icon(1280, 59, 51, ImageHidden),
    el::Icon(1283, 59, 51, ImageHidden),
    el::Icon(1286, 59, 51, ImageHidden),
    el::Icon(1289, 92, 24, ImageHidden),
    el::Needle(1292, kAltiNeedleX, kAltiNeedleY, 0, needle_value)
        .pivot(kAltiNeedlePivotX, kAltiNeedlePivotY)
        .table(dial.p),
};

// The face and the alert light keep their own images.
constexpr LightWalk kWalk{kZone, walk_positions({LitFace}) | walk_range(AltTens, Needle)};

// ---- Knob: the host's setting in sixteenths of a hectopascal, limits tested before the step ----
constexpr f64 kSixteenths = 16.0;
constexpr f64 kCoarseStep = 10.0, kFineStep = 1.0;
constexpr f64 kCoarseLow = 750.0, kFineLow = 739.0, kCoarseHigh = 1040.0, kFineHigh = 1053.0;

// Sends the step when the setting is on the allowed side of its limit.
void baro_step(f64 step, f64 limit) {
    const f64 setting = tok_read(tok_baro_hpa);
    if (elec_ess_ac_any_powered != 1 || !std::isfinite(setting)) return;
    const bool allowed = step < 0.0 ? setting > limit : setting < limit;
    // The setting is a number here, so the 0 kept for none is never taken.
    if (allowed) svc::trigger_key_event(key_baro_set, u32(sat_i32(setting * kSixteenths + step, 0)));
}
i32 FSAPI coarse_down(MousePoint*, u32) { return baro_step(-kCoarseStep, kCoarseLow), 0; }
i32 FSAPI fine_down(MousePoint*, u32) { return baro_step(-kFineStep, kFineLow), 0; }
i32 FSAPI coarse_up(MousePoint*, u32) { return baro_step(kCoarseStep, kCoarseHigh), 0; }
i32 FSAPI fine_up(MousePoint*, u32) { return baro_step(kFineStep, kFineHigh), 0; }

constexpr u32 kKnobEvents = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x   y    w   h   cursor           events       action
    rect::Click(0,  155, 36, 28, CursorDownArrow, kKnobEvents, coarse_down),
    rect::Click(0,  127, 36, 28, CursorDownArrow, kKnobEvents, fine_down),
    rect::Click(36, 155, 36, 28, CursorUpArrow,   kKnobEvents, coarse_up),
    rect::Click(36, 127, 36, 28, CursorUpArrow,   kKnobEvents, fine_up),
};

void FSAPI alti_main_update(GaugeHeader* g, i32 service, u32);
Gauge<kElements, 4> gauge(gauge_alti_main, "ketravin alti_main_kr60", 191, alti_main_update, kElementDefs, kRects);

// ---- Frame steps ---------------------------------------------------------------------------
void altitude_drums(f64 a) {
    drum_roll(gauge.el(AltTenThousands), a / 10000.0);
    drum_roll(gauge.el(AltThousands), place_rest(a, 10000.0) / 1000.0);
    drum_roll(gauge.el(AltHundreds), place_rest(a, 1000.0) / 100.0);
    tens_p = 10.0 - place_rest(a, 100.0) / 10.0;
}

void flags(f64 alt, bool host_failed) {
    constexpr f64 kNegativeBelow = -1.0, kHatchBelow = 9998.0;
    const bool working = elec_ess_ac_any_powered == 1 && !host_failed && inst_adc1_powered == 1;
    if (!working) {
        warn_flag_alti = 1;
        show_if(gauge.el(OffFlag), true);
        show_if(gauge.el(SscFlag), true);
        return;
    }
    warn_flag_alti = inst_adc1_alt_valid == 1 ? 0 : 1;
    show_if(gauge.el(OffFlag), warn_flag_alti == 1);
    show_if(gauge.el(SscFlag), inst_adc1_air_valid != 1);
    if (alt <= kNegativeBelow) {
        show_if(gauge.el(NegativeFlag), true);
    } else if (alt < kHatchBelow) {
        show_if(gauge.el(NegativeFlag), false);
        show_if(gauge.el(Hatch), true);
    } else if (alt >= kHatchBelow) {
        show_if(gauge.el(NegativeFlag), false);
        show_if(gauge.el(Hatch), false);
    }
}

// Lit 4 ticks, dark 4, by ticks elapsed since the lit phase began, so that no frame rate skips a
// phase; a tick count that went back behind the phase's start restarts the flash lit.
void alert_flash() {
    constexpr i64 kDarkAfter = 4, kPeriod = 8;
    ElementHeader* light = gauge.el(AlertLight);
    const f64 now = tok_read(tok_tick18);
    const i32 tick = sat_i32(now < 0.0 ? 0.0 : now, inst_alti1_alert_flash_tick);
    if (inst_alti1_alert_flashing == 0) {
        show_if(light, true);
        inst_alti1_alert_flash_tick = tick;
        inst_alti1_alert_flashing = 1;
    }
    if (!std::isfinite(now)) return;
    const i64 elapsed = i64(tick) - inst_alti1_alert_flash_tick;
    if (elapsed < 0 || elapsed >= kPeriod) {
        show_if(light, true);
        inst_alti1_alert_flash_tick = tick;
    } else if (elapsed >= kDarkAfter) {
        show_if(light, false);
    }
}

void alert_light(bool host_failed) {
    if (dc_ess_powered != 1) {
        show_if(gauge.el(AlertLight), false);
        inst_alti1_alert_flashing = 0;
        return;
    }
    if (host_failed) return;
    switch (ap_alt_alert_state) {
        case 3: alert_flash(); break;
        case 1:
        case 2:
            show_if(gauge.el(AlertLight), true);
            inst_alti1_alert_flashing = 0;
            break;
        default:
            inst_alti1_alert_flashing = 0;
            show_if(gauge.el(AlertLight), light_lamp_test == 1);
            break;
    }
}

void FSAPI alti_main_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    // 1. Lighting.
    light_walk(*g, kWalk);
    show_if(gauge.el(LitFace), light_zone[kZone] == 1);
    // 2. Needle.
    const f64 alt = tok_read(tok_indicated_altitude_ft);
    const bool alt_known = std::isfinite(alt);
    if (elec_ess_ac_any_powered == 1 && alt_known) inst_alti1_needle = alti_needle_value(alt);
    // 3. Drum altitude, held while the air data are not valid.
    if (elec_ess_ac_any_powered == 1 && inst_adc1_powered == 1 && inst_adc1_alt_valid == 1 && alt_known)
        inst_alti1_drum_alt_ft = alti_drum_altitude(alt);
    // 4. Altitude drums, every frame.
    altitude_drums(inst_alti1_drum_alt_ft);
    // 5. Barometric counters while powered.
    if (elec_ess_ac_any_powered == 1) {
        constexpr f64 kHundredths = 100.0;
        baro_counter(tok_read(tok_baro_inhg) * kHundredths, true, inhg_target[0], inhg_target[1], inhg_target[2],
                     inhg_units);
        baro_counter(tok_read(tok_baro_hpa), true, hpa_target[0], hpa_target[1], hpa_target[2], hpa_units);
    }
    // 6. Flags; 7. alert light.
    const bool host_failed = tok_read_i32(tok_altimeter_fail) == 1;
    flags(alt, host_failed);
    alert_light(host_failed);
}
}  // namespace
