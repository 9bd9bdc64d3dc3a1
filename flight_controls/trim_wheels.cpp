// The two pitch trim wheels of the enlarged pedestal. Clicks nudge the host's elevator trim
// while any hydraulic circuit is alive; each wheel turns (two images in turn) whenever the trim
// passes a whole degree and carries a trim position pointer. The first wheel computes, the
// second draws what it computed.
// Reads: fctl_pitch_trim_deg, hyd_all_lost, light_zone, annunciator_bright
// Writes: trim_whole_deg, trim_whole_deg_prev, trim_wheel_phase, trim_wheel_needle
#include <cmath>

#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/services.h"
#include "sim_control/presets_keys.h"

GaugeHeader gauge_trim_1_big;
GaugeHeader gauge_trim_2_big;

namespace {
constexpr f64 kPointerOffScaleAbove = 3.9;  // degrees: the pointer leaves its scale

// Pointer travel in pixels for a trim of t degrees, segment by segment as the scale was drawn;
// the segments below -1 degree do not meet.
f64 pointer_pixels(f64 t) {
    if (t > 3.0) return (1.0 - (t - 3.0) * (1.0 - 0.902)) * 21.33 * t;
    if (t > 2.0) return (1.0 - (t - 2.0) * (1.0 - 0.948)) * 22.5 * t;
    if (t > 1.0) return (1.0 - (t - 1.0) * 0.0625) * 24.0 * t;
    if (t > 0.0) return 24.0 * t;
    if (t >= -1.0) return 27.0 * t;
    if (t >= -2.0) return (1.0 - (t + 1.0) * (1.0 - 0.98)) * 26.5 * t;
    if (t >= -3.0) return (1.0 - (t + 2.0) * (1.0 - 0.943)) * 25.0 * t;
    return -76.0;
}

i32 FSAPI trim_up(MousePoint*, u32) {
    if (hyd_all_lost == 0) svc::trigger_key_event(key_elev_trim_up, 0);
    return 0;
}
i32 FSAPI trim_down(MousePoint*, u32) {
    if (hyd_all_lost == 0) svc::trigger_key_event(key_elev_trim_dn, 0);
    return 0;
}

f64 FSAPI pointer_value(ElementHeader*) { return f64(trim_wheel_needle); }

enum Pos : size_t { Background, WheelFirst, WheelSecond, Pointer, kElements };
constexpr f64 kPointerScale = -1.0;  // positive values move the pointer up

const ElementDef kWheel1Defs[kElements] = {
    //          bitmap   x   y  flags
    el::Static(5283,     0,  0),
    el::Icon(4355,       0,  0),
    el::Icon(4358,       0,  0, ImageHidden),
    el::Slider(4348,    49, 99, 0, nullptr, pointer_value).scales(1.0, kPointerScale),
};
const ElementDef kWheel2Defs[kElements] = {
    el::Static(5286,     0,  0),
    el::Icon(4361,      32,  0),
    el::Icon(4364,      32,  0, ImageHidden),
    el::Slider(4352,     1, 99, 0, nullptr, pointer_value).scales(1.0, kPointerScale),
};
const RectDef kRects[] = {
    //          x    y   w    h   cursor           events                        action
    rect::Click(0, 125, 63, 125, CursorUpArrow,   MouseLeftSingle | MouseRepeat, trim_up),
    rect::Click(0,   0, 63, 125, CursorDownArrow, MouseLeftSingle | MouseRepeat, trim_down),
};
constexpr LightWalk kWalk{3, walk_positions({Background, Pointer})};

void FSAPI trim_wheel_update(GaugeHeader*, i32 service, u32);
void FSAPI trim_wheel_2_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> wheel1(gauge_trim_1_big, "ketravin trim_1_big_kr60", 59, trim_wheel_update, kWheel1Defs, kRects);
Gauge<kElements, 2> wheel2(gauge_trim_2_big, "ketravin trim_2_big_kr60", 59, trim_wheel_2_update, kWheel2Defs, kRects);

bool pointer_off_scale() { return fctl_pitch_trim_deg > kPointerOffScaleAbove; }

template <typename G>
void draw_wheel(G& g) {
    light_walk(g.header(), kWalk);
    show_if(g.el(WheelSecond), trim_wheel_phase == 1);
    show_if(g.el(Pointer), !pointer_off_scale());
}

void FSAPI trim_wheel_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    const f64 t = fctl_pitch_trim_deg;
    // A trim that is not a number leaves the wheel and pointer where they were.
    if (std::isfinite(t)) {
        trim_whole_deg = sat_cast<i8>(t, trim_whole_deg);
        if (trim_whole_deg != trim_whole_deg_prev) {
            trim_wheel_phase = trim_wheel_phase == 1 ? 0 : 1;
            trim_whole_deg_prev = trim_whole_deg;
        }
        if (!pointer_off_scale()) trim_wheel_needle = f32(pointer_pixels(t));
    }
    draw_wheel(wheel1);
}

void FSAPI trim_wheel_2_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    draw_wheel(wheel2);
}
}  // namespace
