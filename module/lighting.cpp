#include "module/lighting.h"

#include "lighting/state.h"

void light_walk(const GaugeHeader& gauge, const LightWalk& walk) {
    // A lit zone sets exactly one of the two bits; a dark one clears both.
    const u32 clear = ImageLuminous | ImageBright;
    u32 set = 0;
    if (walk.zone < 6 && light_zone[walk.zone] == 1) set = annunciator_bright == 1 ? ImageBright : ImageLuminous;
    ElementHeader* e = gauge.elements ? gauge.elements[0] : nullptr;
    for (unsigned pos = 0; e && pos < 64; ++pos) {
        if (walk.positions & (u64(1) << pos)) e->image_flags = (e->image_flags & ~clear) | set;
        e = e->next ? e->next[0] : nullptr;
    }
}
