// Weather-radar control panel of the pedestal: a lit picture of the mode selector, gain and tilt
// legends; none of its controls works.
// Reads: light_zone, annunciator_bright
// Writes: nothing
#include "module/gauge.h"
#include "module/lighting.h"

GaugeHeader gauge_radar;

namespace {
enum Pos : size_t { Face, kElements };

constexpr u32 kBmpFace = 4220;
constexpr u32 kWidthMm = 158;

const ElementDef kElementDefs[kElements] = {
    //         bitmap    x  y
    el::Static(kBmpFace, 0, 0),
};
const RectDef kNoClicks[2] = {rect::Parent(), rect::EndParent()};

constexpr LightWalk kWalk{3, walk_positions({Face})};

void FSAPI radar_update(GaugeHeader*, i32 service, u32);

Gauge<kElements, 2> gauge(gauge_radar, "ketravin radar_kr60", kWidthMm, radar_update, kElementDefs, kNoClicks);

void FSAPI radar_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(gauge.header(), kWalk);
}
}  // namespace
