#include "module/lighting.h"

#include "lighting/state.h"

void light_walk(const GaugeHeader& gauge, const LightWalk& walk) {
    u32 set = 0, clear = ImageLuminous | ImageBright;
    if (walk.zone < 6 && light_zone[walk.zone] == 1) {
        if (annunciator_bright == 1) {
            set = ImageBright;
            clear = ImageLuminous;
        } else {
            set = ImageLuminous;
            clear = ImageBright;
        }
    }
    ElementHeader* e = gauge.elements ? gauge.elements[0] : nullptr;
    for (unsigned pos = 0; e && pos < 64; ++pos) {
        if (walk.positions & (u64(1) << pos)) e->image_flags = (e->image_flags & ~clear) | set;
        e = e->next ? e->next[0] : nullptr;
    }
}
