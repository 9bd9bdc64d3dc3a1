// "ketravin adf_kr60": ADF bearing indicator of the main panel. Compass card from INS 1 heading,
// ADF 1 (red, single) and ADF 2 (green, double) needles and an OFF flag. The ADF heads' TEST
// buttons only raise a request; this gauge swings the matching needle to 45 degrees right for 35
// ticks and then clears the request.
// Reads: tok_adf_bearing_deg, tok_heading_deg, tok_heading_fail, tok_tick18, "(A:ADF Radial:2,radians)",
//        elec_ess_ac_any_powered, elec_ess_ac_powered, dc_normal_powered, elec_ess_equipment_level,
//        ins1_status, light_zone, annunciator_bright, adf1_test_latch, adf2_test_request
// Writes: adf_* display state, adf2_radial_rad/deg, the swings' running flags and deadlines,
//         warn_flag_adf; clears adf1_test_latch and adf2_test_request at the end of a swing
#include <cmath>

#include "electrical/state.h"
#include "lighting/state.h"
#include "module/deadline.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/tokens.h"
#include "navigation/bearing_needle.h"
#include "navigation/state.h"
#include "radios/state.h"

GaugeHeader gauge_adf;

namespace {
enum Pos : size_t { Face, Card, Needle2, Needle1, Ring, OffFlag, Blackout, kElements };

constexpr i32 kCx = 90, kCy = 90;
constexpr f32 kCardTexture = 1.3f;
constexpr u8 kFullEquipment = 2;
const char* const kAdf2Radial = "(A:ADF Radial:2,radians)";

f64 FSAPI card_heading(ElementHeader*) { return adf_card_heading; }
f64 FSAPI needle1(ElementHeader*) { return adf_needle1_value; }
f64 FSAPI needle2(ElementHeader*) { return adf_needle2_value; }

constexpr ElementDef card() {
    ElementDef d = el::Sprite(2144, 0, 0, 0x83 | ImageLuminous, nullptr, nullptr, card_heading).pivot(kCx, kCy);
    d.texture_scale_x = d.texture_scale_y = kCardTexture;
    return d.scales(0.0, 0.0);
}

const ElementDef kElementDefs[kElements] = {
    //        bitmap   x   y   start flags
    el::Static(2140,   0,  0, 0x3 | ImageLuminous),  // face
    card(),
    el::Needle(2150, kCx, kCy, 0x83 | ImageLuminous, needle2).pivot(84, 15),
    el::Needle(2153, kCx, kCy, 0x83 | ImageLuminous, needle1).pivot(84, 14),
    el::Icon(2156,     0,  0, 0x3 | ImageLuminous),  // lubber, 45-degree marks, ADF caption
    el::Icon(2160,    61,  0, 0x3 | ImageLuminous | ImageHidden),  // OFF flag
    el::Static(5264,   0,  0, 0x2003),               // all black while the panel is dark
};

constexpr LightWalk kWalk{0, walk_range(Face, OffFlag)};

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI adf_indicator_update(GaugeHeader*, i32 service, u32);
constexpr u32 kWidthMm = 181;
Gauge<kElements, 2> gauge(gauge_adf, "ketravin adf_kr60", kWidthMm, adf_indicator_update, kElementDefs, kNoClicks);
const bool kNeedleRates = (bearing_needle_rate(gauge.el(Needle2)), bearing_needle_rate(gauge.el(Needle1)), true);

// ---- Step 6: one needle's TEST swing, else its bearing. The swing holds the needle at 315 (45
// degrees right of the lubber line) until 35 ticks from the first frame that saw the request;
// the frame that reaches the deadline ends it with the needle still there.
constexpr u32 kSwingTicks = 35;
constexpr f64 kSwingValue = 315.0;

struct Needle {
    u8& request;
    u8& running;
    u32& deadline;
    f64& value;
};

void needle_step(Needle n, f64 bearing) {
    if (n.request != 1) {
        bearing_needle_step(n.value, bearing);
        return;
    }
    const f64 tick = tok_read(tok_tick18);
    if (n.running == 0) {
        n.deadline = deadline_arm(tick, kSwingTicks);
        n.running = 1;
    }
    if (deadline_reached(n.deadline, tick, kSwingTicks)) {
        n.running = 0;
        n.deadline = 0;
        n.request = 0;
    } else {
        n.value = kSwingValue;
    }
}

constexpr f64 kPi = 3.14159265358979323846;

void FSAPI adf_indicator_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // Step 1: lighting; the black image covers the dark panel.
    light_walk(gauge.header(), kWalk);
    show_if(gauge.el(Blackout), light_zone[0] != 1);
    // Steps 2 and 3: the card stops without heading.
    const f64 bearing = tok_read(tok_adf_bearing_deg);
    const f64 heading = tok_read(tok_heading_deg);
    const bool heading_failed = tok_read_i32(tok_heading_fail) == 1;
    const bool heading_valid = ins1_status >= 2;
    if (elec_ess_ac_any_powered == 1 && !heading_failed && elec_ess_equipment_level >= 1 && heading_valid &&
        std::isfinite(heading))
        adf_card_heading = heading;
    // Step 4: needle power; without it the needles park and requests wait.
    const bool needles_on = (elec_ess_ac_powered == 1 || dc_normal_powered == 1) &&
                            elec_ess_equipment_level == kFullEquipment && heading_valid;
    if (needles_on) {
        // Step 5: the ADF 2 radial.
        f64 radial = adf2_radial_rad;
        svc::execute_calculator_code(kAdf2Radial, &radial, nullptr, nullptr);
        const f64 degrees = radial * 180.0 / kPi;
        if (std::isfinite(degrees)) {
            adf2_radial_rad = radial;
            adf2_radial_deg = degrees;
        }
        // Step 6: ADF 1 first.
        needle_step({adf1_test_latch, adf1_test_running, adf1_test_deadline, adf_needle1_value}, bearing);
        needle_step({adf2_test_request, adf2_test_running, adf2_test_deadline, adf_needle2_value}, adf2_radial_deg);
    } else {
        adf_needle1_value = adf_needle2_value = 0.0;
    }
    // Step 7: OFF flag; it counts as an instrument flag only with full equipment.
    const bool off = heading_failed || !needles_on;
    show_if(gauge.el(OffFlag), off);
    warn_flag_adf = off && elec_ess_equipment_level == kFullEquipment ? 1 : 0;
}
}  // namespace
