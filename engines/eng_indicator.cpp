// The engine dials' shared steps: lighting, slew, digit value, tell-tale, drums and the needles'
// clamps. The per-dial files call them in the order their frame needs.
#include "engines/eng_indicator.h"

#include <cmath>

#include "lighting/state.h"

void dial_light(const GaugeHeader& gauge, const LightWalk& walk, ElementHeader* face, ElementHeader* lit_face) {
    light_walk(gauge, walk);
    const bool lit = walk.zone < 6 && light_zone[walk.zone] == 1;
    show_if(lit_face, lit);
    if (!lit) face->image_flags &= ~ImageLuminous;
}

bool dial_slew(f64& shown, f64 raw, f64 step, bool powered) {
    if (!powered) {
        shown = shown > step ? shown - step : 0.0;
        return false;
    }
    if (!std::isfinite(raw)) return false;
    shown = raw - step > shown ? shown + step : raw;
    return true;
}

f64 dial_digits(f64 value, f64 max) {
    if (!(value > 0.0)) return 0.0;
    return value > max ? max : value;
}

void dial_telltale_rise(u32& telltale, f64 shown) {
    if (f64(telltale) < shown) telltale = sat_u32(shown, telltale);
}

void dial_frame(const DialSpec& spec, DialVars& v, bool powered, f64 raw, ElementHeader* off_flag) {
    if (dial_slew(v.shown, raw, spec.step, powered)) v.digits = dial_digits(raw, spec.digit_max);
    if (v.telltale) dial_telltale_rise(*v.telltale, v.shown);
    engine_drums_step(v.digits, spec.leading_weight, spec.drums, v.drums);
    show_if(off_flag, !powered);
}

f64 dial_needle(f64& shown, f64 scale_max) {
    if (shown > scale_max)
        shown = scale_max;
    else if (!(shown >= 0.0))
        shown = 0.0;
    return shown;
}

f64 dial_telltale_needle(u32& telltale, u32 cut) {
    if (telltale > cut) telltale = cut;
    return f64(telltale);
}
