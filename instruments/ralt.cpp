// Radio altimeter with its decision-height counter: turns the host's radio height into the radio
// altitude above the aircraft's resting height, keeps the DH setting and the DH state, and asks
// the aural warning unit for the minimums tone on reaching DH.
// Reads: elec_ac_bus1_powered, dc_ess_powered, gpws_callout, light_zone, annunciator_bright
// Writes: inst_radio_alt_ft, inst_dh_state, inst_dh_setting_ft, inst_ralt_ground_offset_ft,
//         inst_ralt_tape_pos, inst_ralt_dh_marker_pos, inst_dh_hundreds, inst_dh_tens, inst_dh_units,
//         ap_alt_alert_request
#include "autoflight/state.h"
#include "electrical/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/tokens.h"
#include "warnings/state.h"

GaugeHeader gauge_ralt;

namespace {
enum Pos { Face, Tape, DhMarker, Index, OffFlag, Overlay, DhUnits, DhTens, DhHundreds, kElements };

constexpr u8 kZone = 0;
constexpr f64 kCapFt = 2610.0;     // the tape's range; at and above it the offset is not taken
constexpr f64 kMarkerRange = 500.0;
constexpr u32 kBmpDhDrum = 1465;

// DH states.
constexpr u8 kDhReset = 0, kDhReached = 1, kDhAbove = 2;

using drum::target;
const ElementDef kElementDefs[kElements] = {
    el::Static(1443, 0, 0),
    el::ValueDrum(1446, 10, 4, 0, &inst_ralt_tape_pos, kCapFt),
    el::ValueDrum(1452, 2, 4, 0, &inst_ralt_dh_marker_pos, kMarkerRange),
    el::Icon(1459, 15, 56),
    el::Icon(1462, 2, 70, ImageHidden),
    el::Static(5267, 0, 0),
    el::ValueDrum(kBmpDhDrum, 18, 133, 0, &inst_dh_units),
    el::ChasingDrum(kBmpDhDrum, 10, 133, 0, drum::carry(9.9), target(&inst_dh_tens), &inst_dh_tens_drum),
    el::ChasingDrum(kBmpDhDrum, 2, 133, 0, drum::carry(9.9), target(&inst_dh_hundreds), &inst_dh_hundreds_drum),
};
// The overlay darkens the whole face and keeps no lighting of its own.
constexpr LightWalk kWalk{kZone, walk_range(Face, OffFlag) | walk_range(DhUnits, DhHundreds)};

// ---- DH knob: setting within 10..499 ----------------------------------------------------------
constexpr u16 kDhMin = 10, kDhMax = 499;
i32 FSAPI dh_minus_1(MousePoint*, u32) {
    if (inst_dh_setting_ft > kDhMin) inst_dh_setting_ft -= 1;
    return 0;
}
i32 FSAPI dh_plus_1(MousePoint*, u32) {
    if (inst_dh_setting_ft < kDhMax) inst_dh_setting_ft += 1;
    return 0;
}
i32 FSAPI dh_minus_10(MousePoint*, u32) {
    if (inst_dh_setting_ft >= kDhMin + 10) inst_dh_setting_ft -= 10;
    return 0;
}
i32 FSAPI dh_plus_10(MousePoint*, u32) {
    if (inst_dh_setting_ft <= kDhMax - 10) inst_dh_setting_ft += 10;
    return 0;
}
constexpr u32 kKnobEvents = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x   y    w   h   cursor           events       action
    rect::Click(18, 121, 21, 19, CursorDownArrow, kKnobEvents, dh_minus_1),
    rect::Click(39, 121, 21, 19, CursorUpArrow,   kKnobEvents, dh_plus_1),
    rect::Click(18, 140, 21, 19, CursorDownArrow, kKnobEvents, dh_minus_10),
    rect::Click(39, 140, 21, 19, CursorUpArrow,   kKnobEvents, dh_plus_10),
};

void FSAPI ralt_update(GaugeHeader* g, i32 service, u32);
Gauge<kElements, 4> gauge(gauge_ralt, "ketravin ralt_kr60", 60, ralt_update, kElementDefs, kRects);

bool on_ground() { return tok_read(tok_on_ground) == 1.0; }

// Radio altitude above the height latched on the ground. A raw height below 0 latches 0. A raw
// height that is no number is no reading: the radio altitude, the offset and both tapes keep what
// was last computed (the start values before any reading). An infinite or huge one is a value: it
// saturates, so +inf reads the cap and -inf the lowest finite altitude.
void radio_altitude() {
    constexpr f64 kFeetPerMetre = 3.281;
    const f64 raw = sat_f64(tok_read(tok_radio_height_m) * kFeetPerMetre);
    const bool ground = on_ground();
    if (std::isnan(raw)) return;
    if (ground) inst_ralt_ground_offset_ft = sat_u32(raw, inst_ralt_ground_offset_ft);
    inst_radio_alt_ft = raw < kCapFt ? sat_f64(raw - f64(inst_ralt_ground_offset_ft)) : kCapFt;
    inst_ralt_tape_pos = sat_f64(kCapFt - inst_radio_alt_ft);
    inst_ralt_dh_marker_pos = sat_f64(kMarkerRange - inst_radio_alt_ft + f64(inst_dh_setting_ft));
}

void dh_digits() {
    const i32 s = inst_dh_setting_ft;
    inst_dh_hundreds = s / 100;
    inst_dh_tens = (s - 100 * inst_dh_hundreds) / 10;
    inst_dh_units = f64(s - 100 * inst_dh_hundreds - 10 * inst_dh_tens);
}

void dh_state() {
    const f64 dh = inst_dh_setting_ft;
    if (on_ground()) {
        inst_dh_state = kDhReset;
        return;
    }
    if (dh < inst_radio_alt_ft) inst_dh_state = kDhAbove;
    if (inst_dh_state == kDhAbove && dh >= inst_radio_alt_ft) inst_dh_state = kDhReached;
}

// 0 -> 1 on reaching DH above 30 ft; the aural warning unit takes it on to 2 with the tone.
void minimums_request() {
    constexpr f64 kRequestAbove = 30.0;
    if (inst_dh_state == kDhReached && dc_ess_powered == 1 && ap_alt_alert_request == 0 && gpws_callout == 0 &&
        inst_radio_alt_ft > kRequestAbove)
        ap_alt_alert_request = 1;
    else if (inst_dh_state == kDhReset)
        ap_alt_alert_request = 0;
}

void FSAPI ralt_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    // 1. Lighting; 2. the overlay follows the host's panel lights.
    light_walk(*g, kWalk);
    show_if(gauge.el(Overlay), tok_read(tok_panel_lights) != 1.0);
    // 3. Radio altitude, frozen without AC bus 1.
    const bool powered = elec_ac_bus1_powered == 1;
    if (powered) radio_altitude();
    // 4. DH digits; 5. OFF flag; 6. DH state; 7. minimums request.
    dh_digits();
    show_if(gauge.el(OffFlag), !powered);
    dh_state();
    minimums_request();
}
}  // namespace
