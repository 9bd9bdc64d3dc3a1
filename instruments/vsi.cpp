// Vertical speed indicator: publishes the host's vertical speed in whole ft/min every frame,
// whatever the power, and moves its needle toward it at no more than 500 ft/min a frame upward;
// without power, or failed, the needle returns to 0. OFF flag for power, air data and range.
// Reads: elec_ess_ac_any_powered, inst_adc1_vs_valid, light_zone, annunciator_bright
// Writes: inst_vs_fpm, inst_vsi_needle_fpm
#include "air/state.h"
#include "electrical/state.h"
#include "instruments/state.h"
#include "instruments/vertical_speed.h"
#include "lighting/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/tokens.h"

GaugeHeader gauge_vsi;

namespace {
enum Pos { Face, LitFace, OffFlag, Needle, kElements };

constexpr u8 kZone = 0;
constexpr i64 kStep = 500;          // ft/min per frame
constexpr i32 kScaleEnd = 6000;     // ft/min either way

// The clamp is written back, so the next frame's step starts from the end of the scale.
f64 FSAPI vsi_needle_value(ElementHeader*) {
    if (inst_vsi_needle_fpm > kScaleEnd)
        inst_vsi_needle_fpm = kScaleEnd;
    else if (inst_vsi_needle_fpm < -kScaleEnd)
        inst_vsi_needle_fpm = -kScaleEnd;
    return f64(inst_vsi_needle_fpm);
}

NonlinearityPoint points[] = {
    {127, 84, -6000, 0}, {121, 99, -5000, 0}, {111, 112, -4000, 0}, {91, 125, -3000, 0}, {66, 130, -2000, 0},
    {33, 120, -1000, 0}, {13, 97, -500, 0},   {2, 67, 0, 0},        {13, 37, 500, 0},    {32, 12, 1000, 0},
    {66, 2, 2000, 0},    {92, 7, 3000, 0},    {112, 21, 4000, 0},   {121, 35, 5000, 0},  {128, 49, 6000, 0},
};

const ElementDef kElementDefs[kElements] = {
    el::Static(1372, 0, 0),
    el::Icon(10019, 0, 0, ImageHidden),
    el::Icon(1376, 75, 57, ImageHidden),
    el::Needle(1379, 66, 67, 0, vsi_needle_value).pivot(6, 5).table(points),
};
constexpr LightWalk kWalk{kZone, walk_range(LitFace, Needle)};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI vsi_update(GaugeHeader* g, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_vsi, "ketravin vsi_kr60", 133, vsi_update, kElementDefs, kNoClicks);

// Sums in 64 bits: neither the comparison nor the step can overflow at the ends of the range.
i32 needle_step(i64 needle, i64 vs, bool working) {
    const i32 held = i32(needle);  // whole numbers here: the keep is never taken
    if (working) return sat_i32(f64(needle < vs - kStep ? needle + kStep : vs), held);
    return sat_i32(f64(needle > kStep ? needle - kStep : 0), held);
}

void FSAPI vsi_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    // 1. Lighting.
    light_walk(*g, kWalk);
    show_if(gauge.el(LitFace), light_zone[kZone] == 1);
    // 2. Vertical speed, whatever the power; one that is no number leaves the last, an infinite
    // one stands at the end of the range.
    const f64 host_vs = tok_read(tok_vertical_speed);
    if (host_vs == host_vs) inst_vs_fpm = vertical_speed_fpm(host_vs);
    // 3, 4. Needle.
    const bool failed = tok_read_i32(tok_vsi_fail) == 1;
    inst_vsi_needle_fpm = needle_step(inst_vsi_needle_fpm, inst_vs_fpm, elec_ess_ac_any_powered == 1 && !failed);
    // 5. OFF flag, tested in order.
    const bool off = elec_ess_ac_any_powered == 0 || inst_adc1_vs_valid == 0 || inst_vs_fpm > kScaleEnd ||
                     inst_vs_fpm < -kScaleEnd;
    show_if(gauge.el(OffFlag), off);
}
}  // namespace
