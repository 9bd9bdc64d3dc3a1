// "ketravin loop_kr60" and "ketravin hp_lev_lum_big_kr60": two legend overlays, the fire protection
// test legends of the systems panel and the ON/FUEL/OFF legend of the enlarged HP lever. Each only
// lights and darkens with its panel zone; nothing else about them changes.
// Reads: light_zone, annunciator_bright
// Writes: nothing shared (only the lighting bits of each gauge's one image)
#include "module/gauge.h"
#include "module/lighting.h"

GaugeHeader gauge_loop;
GaugeHeader gauge_hp_lev_lum_big;

namespace {
constexpr u32 kLoopWidthMm = 187, kHpLegendWidthMm = 26;
constexpr u32 kBmpLoopLegend = 3228, kBmpHpLegend = 5289;
// The walk sets only the two lit bits of the one image: bright, luminous, or neither.
constexpr LightWalk kLoopWalk{4, walk_positions({0})};      // systems panels
constexpr LightWalk kHpLegendWalk{3, walk_positions({0})};  // pedestal

const ElementDef kLoopElements[] = {el::Static(kBmpLoopLegend, 0, 0, ImageLuminous)};
const ElementDef kHpLegendElements[] = {el::Static(kBmpHpLegend, 0, 0, ImageLuminous)};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI loop_legend_update(GaugeHeader*, i32 service, u32);
void FSAPI hp_lever_legend_update(GaugeHeader*, i32 service, u32);
Gauge<1, 2> loop(gauge_loop, "ketravin loop_kr60", kLoopWidthMm, loop_legend_update, kLoopElements, kNoClicks);
Gauge<1, 2> hp_legend(gauge_hp_lev_lum_big, "ketravin hp_lev_lum_big_kr60", kHpLegendWidthMm, hp_lever_legend_update,
                      kHpLegendElements, kNoClicks);

void FSAPI loop_legend_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(loop.header(), kLoopWalk);
}
void FSAPI hp_lever_legend_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) light_walk(hp_legend.header(), kHpLegendWalk);
}
}  // namespace
