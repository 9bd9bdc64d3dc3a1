// "ketravin rmi_kr60": radio magnetic indicator of the main panel. Compass card from INS 1
// heading, VOR 1 (single) and VOR 2 (double) bearing needles, two four-drum DME readouts with
// their dashes and striped bars, and the HDG, VOR 1 and VOR 2 flags. Side 1 (card, VOR 1, DME 1)
// runs on the AC essential bus, side 2 (VOR 2, DME 2) on AC bus 2.
// Reads: tok_heading_deg, tok_heading_fail, tok_nav_fail, tok_vor1/2_bearing_deg,
//        tok_nav1/2_code, tok_nav1/2_signal, tok_dme1/2_distance, elec_ess_ac_any_powered,
//        elec_ac_bus2_powered, ins1_status, light_zone, annunciator_bright
// Writes: rmi_* display state, warn_flag_rmi
#include <cmath>

#include "electrical/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/numeric.h"
#include "module/tokens.h"
#include "navigation/bearing_needle.h"
#include "navigation/state.h"

GaugeHeader gauge_rmi;

namespace {
enum Pos : size_t {
    Face, LitFace, Dme1Tenths, Dme1Units, Dme1Tens, Dme1Hundreds, Dme2Tenths, Dme2Units, Dme2Tens, Dme2Hundreds,
    Dme1Dashes, Dme2Dashes, Dme1Bar, Dme2Bar, Card, Vor2Needle, Vor1Needle, Ring, Vor1Flag, Vor2Flag, HdgFlag,
    kElements
};
enum Digit : size_t { Hundreds, Tens, Units, Tenths };

constexpr u32 kLocBit = 0x80, kGsBit = 0x40;
constexpr u32 kBmpDrum = 2166, kBmpTenths = 2204, kBmpDashes = 2172, kBmpBar = 2176;
constexpr i32 kCx = 90, kCy = 124;
constexpr f32 kCardTexture = 1.3f;

f64 FSAPI card_heading(ElementHeader*) { return rmi_card_heading; }
f64 FSAPI needle1(ElementHeader*) { return rmi_needle1_value; }
f64 FSAPI needle2(ElementHeader*) { return rmi_needle2_value; }

// Odometer wheels: each higher drum holds its digit and rolls only through the last tenth of a
// mile before its carry; the tenths drum turns with the distance.
constexpr drum::Band kHundredsBand = drum::band(0.999, 9.9999, 0.999, 1000, drum::Reversed);
constexpr drum::Band kTensBand = drum::band(0.99, 9.9999, 0.99, 100, drum::Reversed);
constexpr drum::Band kUnitsBand = drum::band(0.9, 9.999, 0.9, 10, drum::Reversed);

constexpr ElementDef card() {
    ElementDef d = el::Sprite(2179, 0, 0, 0x83 | ImageLuminous, nullptr, nullptr, card_heading).pivot(kCx, kCy);
    d.texture_scale_x = d.texture_scale_y = kCardTexture;
    return d.scales(0.0, 0.0);
}

constexpr u32 kDrum = 0x2 | ImageLuminous, kCover = 0x3 | ImageLuminous | ImageHidden;

const ElementDef kElementDefs[kElements] = {
    //        bitmap      x    y    start flags
    el::Static(2163,      0,   0, 0x1),                    // face
    el::Icon(10025,       0,   0, kCover),                 // lit face with the DME captions
    el::ContinuousDrum(kBmpTenths, 63, 4, kDrum, &rmi_dme1_digit[Tenths], &rmi_dme1_drum[Tenths]),
    el::BandedDrum(kBmpDrum,       45, 4, kDrum, kUnitsBand, &rmi_dme1_digit[Units], &rmi_dme1_drum[Units]),
    el::BandedDrum(kBmpDrum,       27, 4, kDrum, kTensBand, &rmi_dme1_digit[Tens], &rmi_dme1_drum[Tens]),
    el::BandedDrum(kBmpDrum,        9, 4, kDrum, kHundredsBand, &rmi_dme1_digit[Hundreds], &rmi_dme1_drum[Hundreds]),
    el::ContinuousDrum(kBmpTenths, 156, 4, kDrum, &rmi_dme2_digit[Tenths], &rmi_dme2_drum[Tenths]),
    el::BandedDrum(kBmpDrum,       138, 4, kDrum, kUnitsBand, &rmi_dme2_digit[Units], &rmi_dme2_drum[Units]),
    el::BandedDrum(kBmpDrum,       120, 4, kDrum, kTensBand, &rmi_dme2_digit[Tens], &rmi_dme2_drum[Tens]),
    el::BandedDrum(kBmpDrum,       102, 4, kDrum, kHundredsBand, &rmi_dme2_digit[Hundreds], &rmi_dme2_drum[Hundreds]),
    el::Icon(kBmpDashes,  9,   4, kCover),
    el::Icon(kBmpDashes, 102,  4, kCover),
    el::Icon(kBmpBar,    10,  12, kCover),
    el::Icon(kBmpBar,   103,  12, kCover),
    card(),
    el::Needle(2185, kCx, kCy, 0x83 | ImageLuminous, needle2).pivot(84, 18),
    el::Needle(2188, kCx, kCy, 0x83 | ImageLuminous, needle1).pivot(84, 14),
    el::Icon(2192,        0,   0, 0x3 | ImageLuminous),    // lubber, 45-degree marks, VOR caption
    el::Icon(2198,        0,  46, kCover),                 // VOR 1 flag
    el::Icon(2201,      143,  49, kCover),                 // VOR 2 flag
    el::Icon(2195,       73,  34, kCover),                 // HDG flag
};

// The face itself never takes a lit image; overlay 1 gives the lit look.
constexpr LightWalk kWalk{0, walk_range(LitFace, HdgFlag)};

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI rmi_update(GaugeHeader*, i32 service, u32);
constexpr u32 kWidthMm = 181;
Gauge<kElements, 2> gauge(gauge_rmi, "ketravin rmi_kr60", kWidthMm, rmi_update, kElementDefs, kNoClicks);
const bool kNeedleRates = (bearing_needle_rate(gauge.el(Vor2Needle)), bearing_needle_rate(gauge.el(Vor1Needle)), true);

void show(size_t p, bool shown) { show_if(gauge.el(p), shown); }

struct Side {
    const u8& power;
    TokenVar& bearing;
    TokenVar& code;
    TokenVar& signal;
    TokenVar& distance;
    f64& needle;
    f64& tenths;
    f64* digit;
    Pos first_drum, dashes, bar;
};
Side sides[2] = {
    {elec_ess_ac_any_powered, tok_vor1_bearing_deg, tok_nav1_code, tok_nav1_signal, tok_dme1_distance,
     rmi_needle1_value, rmi_dme1_tenths, rmi_dme1_digit, Dme1Tenths, Dme1Dashes, Dme1Bar},
    {elec_ac_bus2_powered, tok_vor2_bearing_deg, tok_nav2_code, tok_nav2_signal, tok_dme2_distance,
     rmi_needle2_value, rmi_dme2_tenths, rmi_dme2_digit, Dme2Tenths, Dme2Dashes, Dme2Bar},
};

bool side_on(const Side& s) { return s.power == 1 && ins1_status >= 2; }

// Steps 4 and 5: a localizer or glide-slope station parks the needle.
void needle_step(Side& s) {
    if (!side_on(s)) {
        s.needle = 0.0;
        return;
    }
    tok_refresh(s.code);
    if (mask_test(s.code, kGsBit | kLocBit)) {
        s.needle = 0.0;
        return;
    }
    bearing_needle_step(s.needle, tok_read(s.bearing));
}

// Steps 6 to 8: store (only a distance of 0 or more), then the drums from the store.
void dme_step(Side& s) {
    if (side_on(s)) {
        const f64 tenths = tok_read(s.distance) * 10.0;
        if (tenths >= 0.0 && std::isfinite(tenths)) s.tenths = tenths;
    }
    const f64 x = s.tenths;
    if (!std::isfinite(x)) return;
    const auto whole = [](f64 v) { return f64(sat_i32(v, 0)); };  // a finite store: always a number
    drum_roll(gauge.el(s.first_drum + 3), x / 1000.0);
    drum_roll(gauge.el(s.first_drum + 2), (x - 1000.0 * whole(x / 1000.0)) / 100.0);
    drum_roll(gauge.el(s.first_drum + 1), (x - 100.0 * whole(x / 100.0)) / 10.0);
    s.digit[Tenths] = 10.0 - (x - 10.0 * whole(x / 10.0));
}

// Steps 10 and 11: dashes over a readout without a distance, the striped bar without signal or power.
// A signal or distance that is not a number leaves the covers as they stand.
void covers(Side& s) {
    const f64 signal = tok_read(s.signal), distance = tok_read(s.distance);
    if (s.power == 1 && (!std::isfinite(signal) || (signal > 0.0 && !std::isfinite(distance)))) return;
    const bool received = signal > 0.0 && s.power == 1;
    show(s.bar, !received);
    show(s.dashes, !received || distance < 0.0);
}

void FSAPI rmi_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // Step 1: lighting.
    light_walk(gauge.header(), kWalk);
    show(LitFace, light_zone[0] == 1);
    // Steps 2 and 3: the card stops without heading.
    tok_refresh(tok_vor1_bearing_deg);
    tok_refresh(tok_vor2_bearing_deg);
    const f64 heading = tok_read(tok_heading_deg);
    const bool heading_failed = tok_read_i32(tok_heading_fail) == 1;
    const bool heading_ok = !heading_failed && side_on(sides[0]);
    if (heading_ok && std::isfinite(heading)) rmi_card_heading = heading;
    needle_step(sides[0]);
    needle_step(sides[1]);
    dme_step(sides[0]);
    dme_step(sides[1]);
    // Step 9: flags; the VOR flags look only at power and the receivers' failure.
    const bool nav_failed = tok_read_i32(tok_nav_fail) == 1;
    const bool vor2_flag = elec_ac_bus2_powered != 1 || nav_failed;
    const bool vor1_flag = elec_ess_ac_any_powered != 1 || nav_failed;
    show(HdgFlag, !heading_ok);
    show(Vor2Flag, vor2_flag);
    show(Vor1Flag, vor1_flag);
    warn_flag_rmi = !heading_ok || vor1_flag || vor2_flag ? 1 : 0;
    covers(sides[0]);
    covers(sides[1]);
}
}  // namespace
