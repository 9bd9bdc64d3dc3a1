// Instrument switching plate of the main panel (NORM positions engraved): a plate lit with the
// main instruments, nothing to click.
// Reads: light_zone, annunciator_bright
// Writes: nothing
#include "module/gauge.h"
#include "module/lighting.h"

GaugeHeader gauge_switching_norm;

namespace {
enum Pos { Plate, kElements };

constexpr u32 kBmpPlate = 7121;

const ElementDef kElementDefs[kElements] = {
    //         bitmap     x  y
    el::Static(kBmpPlate, 0, 0),
};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

constexpr LightWalk kWalk{0, walk_positions({Plate})};

void FSAPI switching_norm_update(GaugeHeader* g, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(*g, kWalk);
}

Gauge<kElements, 2> gauge(gauge_switching_norm, "ketravin switching_norm_kr60", 176, switching_norm_update,
                          kElementDefs, kNoClicks);
}  // namespace
