// Control display unit of INS 1. Its gauge callback is the unit's navigation computer; the
// keyboard, the five display lines and the lamps join the element list with the CDU itself.
// Reads: what the navigation computer reads (navigation/ins_nav.cpp)
// Writes: what the navigation computer writes
#include "module/gauge.h"
#include "navigation/ins_nav.h"

GaugeHeader gauge_ins1_cdu;

namespace {
enum Pos : size_t { Background, kElements };

constexpr u32 kBmpBackground = 5296;

const ElementDef kElementDefs[kElements] = {
    //         bitmap           x  y
    el::Static(kBmpBackground,  0, 0, ImageOption1 | ImageOption2),
};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI ins1_nav_computer(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) ins_nav_frame(kIns1Nav);
}

constexpr u32 kWidthMm = 289;
Gauge<kElements, 2> gauge(gauge_ins1_cdu, "ketravin ins1_cdu_kr60", kWidthMm, ins1_nav_computer, kElementDefs,
                          kNoClicks);
}  // namespace
