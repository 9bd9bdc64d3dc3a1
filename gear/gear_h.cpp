// Gear lever of the main panel: up, neutral and down click areas (up and down send the host's gear
// key events, every click, powered or not); on the DC essential bus the lever follows the host's
// handle when something else moved it, and returns to neutral once a retraction is complete. One
// of four lever images after the panel tint. Silent; no panel lighting.
// Reads: dc_ess_powered, light_tint_sw, light_tint_level, elec_ess_ac_any_powered,
//        tok_gear_handle, tok_gear_*_pos
// Writes: inst_gear_lever_offset, inst_gear_lever_down
#include "electrical/state.h"
#include "gear/state.h"
#include "lighting/state.h"
#include "module/panel_images.h"
#include "module/services.h"
#include "module/tokens.h"
#include "systems/systems_keys.h"

GaugeHeader gauge_gear_h;

namespace {
enum Pos : size_t { Background, Plain, TintDim, TintMid, TintBright, kElements };

constexpr i8 kUp = -58, kNeutral = 0, kDown = 58;

f64 FSAPI gear_lever_y(ElementHeader*) { return f64(inst_gear_lever_offset); }

constexpr u32 kBmpLever = 2051;
using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //          bitmap   x   y  start flags
    el::Static(2048,     0,  0, Opt3),
    el::Slider(kBmpLever, 21, 58, Opt3, nullptr, gear_lever_y).scales(0.0, 1.0),
    el::Slider(2054,     21, 58, Hid | Bri | Opt3, nullptr, gear_lever_y).scales(0.0, 1.0),
    el::Slider(10070,    21, 58, Hid | Bri | Opt3, nullptr, gear_lever_y).scales(0.0, 1.0),
    el::Slider(kBmpLever, 21, 58, Hid | Bri | Opt3, nullptr, gear_lever_y).scales(0.0, 1.0),
};

i32 FSAPI gear_lever_up_click(MousePoint*, u32) {
    svc::trigger_key_event(key_gear_up, 0);
    inst_gear_lever_offset = kUp;
    inst_gear_lever_down = 0;
    return 0;
}
i32 FSAPI gear_lever_neutral_click(MousePoint*, u32) {
    inst_gear_lever_offset = kNeutral;
    return 0;
}
i32 FSAPI gear_lever_down_click(MousePoint*, u32) {
    svc::trigger_key_event(key_gear_down, 0);
    inst_gear_lever_offset = kDown;
    inst_gear_lever_down = 1;
    return 0;
}

const RectDef kRects[3] = {
    //          x   y    w   h  cursor           events           action
    rect::Click(0,   0, 50, 53, CursorUpArrow,   MouseLeftSingle, gear_lever_up_click),
    rect::Click(0,  53, 50, 58, CursorHand,      MouseLeftSingle, gear_lever_neutral_click),
    rect::Click(0, 111, 50, 53, CursorDownArrow, MouseLeftSingle, gear_lever_down_click),
};

void FSAPI gear_h_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 3> gauge(gauge_gear_h, "ketravin gear_h_kr60", 50, gear_h_update, kElementDefs, kRects);

// The lever follows a handle moved by anything but its own clicks; exactly 1.0 (and a handle that
// is not a number) moves nothing. Positions are taken as the host gives them: a sum that is no
// number is neither above 0 nor at or below it, so a lever going up stays where it stands.
void follow_handle() {
    constexpr f64 kHandleMid = 1.0;
    const f64 handle = tok_read(tok_gear_handle);
    const f64 left = tok_read(tok_gear_left_pos);
    const f64 nose = tok_read(tok_gear_nose_pos);
    const f64 right = tok_read(tok_gear_right_pos);
    if (handle > kHandleMid && inst_gear_lever_down == 0) {
        inst_gear_lever_offset = kDown;
        inst_gear_lever_down = 1;
    } else if (handle < kHandleMid && inst_gear_lever_down == 1) {
        const f64 sum = left + right + nose;
        if (sum > 0.0) {
            inst_gear_lever_offset = kUp;  // retraction under way
        } else if (sum <= 0.0) {
            inst_gear_lever_offset = kNeutral;  // retraction complete
            inst_gear_lever_down = 0;
        }
    }
}

void FSAPI gear_h_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Handle sync on the DC essential bus.
    if (dc_ess_powered == 1) follow_handle();
    // 2. Lever image after the tint: level 3 the darkest, 2 the darker, any other the bright copy.
    size_t shown = Plain;
    if (light_tint_sw == 1 && elec_ess_ac_any_powered == 1)
        shown = light_tint_level == 3 ? TintDim : light_tint_level == 2 ? TintMid : TintBright;
    for (size_t pos = Plain; pos < kElements; ++pos) show_if(gauge.el(pos), pos == shown);
}
}  // namespace
