// Full-panel tint overlays of the integral lighting, one for the normal and one for the wide
// main panel: the dim, middle or bright tint over the whole panel while the tint switch is on
// with essential AC power. They also ask for a lighting refresh when the time of day changed.
// Reads: light_tint_sw, light_tint_level, elec_ess_ac_any_powered, light_time_of_day,
//        light_time_of_day_prev
// Writes: light_refresh
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/gauge.h"
#include "module/switches.h"

GaugeHeader gauge_panel_light;
GaugeHeader gauge_panel_light_w;

namespace {
enum Pos { TintDim, TintMid, TintBright, kElements };

constexpr u8 kLevelMid = 2;  // light_tint_level
constexpr u8 kLevelDim = 3;

constexpr u32 kBmpTintDim = 7101;
constexpr u32 kBmpTintMid = 7102;
constexpr u32 kBmpTintBright = 7103;
constexpr u32 kBmpWideTintDim = 7111;
constexpr u32 kBmpWideTintMid = 7112;
constexpr u32 kBmpWideTintBright = 7113;

const ElementDef kOverlayDefs[kElements] = {
    //       bitmap          x  y  flags
    el::Icon(kBmpTintDim,    0, 0, ImageHidden),
    el::Icon(kBmpTintMid,    0, 0, ImageHidden),
    el::Icon(kBmpTintBright, 0, 0, ImageHidden),
};
const ElementDef kWideOverlayDefs[kElements] = {
    el::Icon(kBmpWideTintDim,    0, 0, ImageHidden),
    el::Icon(kBmpWideTintMid,    0, 0, ImageHidden),
    el::Icon(kBmpWideTintBright, 0, 0, ImageHidden),
};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

template <typename G>
void overlay_frame(G& gauge) {
    if (light_tint_sw != 1 || elec_ess_ac_any_powered != 1) {
        for (size_t pos = 0; pos < kElements; ++pos) set_hidden(gauge.el(pos), true);
    } else {
        const size_t shown = light_tint_level == kLevelDim   ? TintDim
                             : light_tint_level == kLevelMid ? TintMid
                                                             : TintBright;
        show_one_of(gauge, 0, kElements, shown);
    }
    if (light_time_of_day_prev != light_time_of_day) light_refresh = 1;
    if (light_tint_sw == 1 && elec_ess_ac_any_powered == 0) light_refresh = 1;
}

void FSAPI panel_light_update(GaugeHeader*, i32 service, u32);
void FSAPI panel_light_w_update(GaugeHeader*, i32 service, u32);

Gauge<kElements, 2> overlay(gauge_panel_light, "ketravin panel_light_kr60", 1280, panel_light_update, kOverlayDefs,
                            kNoClicks);
Gauge<kElements, 2> wide_overlay(gauge_panel_light_w, "ketravin panel_light_w_kr60", 1720, panel_light_w_update,
                                 kWideOverlayDefs, kNoClicks);

void FSAPI panel_light_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) overlay_frame(overlay);
}
void FSAPI panel_light_w_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) overlay_frame(wide_overlay);
}
}  // namespace
