// Flap lever of the pedestal and its enlarged copy. With flap power a click moves the host's
// flap handle one notch and the image follows the handle; without it the image steps by itself
// and the host's flaps stay where they are. The small lever computes the image, the copy draws it.
// Reads: hyd_avail, dc_ess_powered, light_zone, annunciator_bright, tok_flaps_handle
// Writes: flap_lever_frame
#include "electrical/state.h"
#include "flight_controls/fctl_keys.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/switches.h"
#include "module/tokens.h"

GaugeHeader gauge_flaps_lev;
GaugeHeader gauge_flaps_lev_big;

namespace {
constexpr u8 kFrameStep = 19;
constexpr u8 kLastStepFrom = 38;  // at or below: one more step down the slot; above: the end
constexpr u8 kFrameMax = 77;
constexpr f64 kHandlePerFrame = 213.0;

bool flap_power() { return (hyd_avail[1] != 0 || hyd_avail[2] != 0) && dc_ess_powered == 1; }

i32 FSAPI incr_click(MousePoint*, u32) {
    if (flap_power())
        svc::trigger_key_event(key_flaps_incr, 0);
    else
        flap_lever_frame = flap_lever_frame <= kLastStepFrom ? u8(flap_lever_frame + kFrameStep) : kFrameMax;
    return 0;
}

i32 FSAPI decr_click(MousePoint*, u32) {
    if (flap_power())
        svc::trigger_key_event(key_flaps_decr, 0);
    else
        flap_lever_frame = flap_lever_frame >= kFrameStep ? u8(flap_lever_frame - kFrameStep) : u8(0);
    return 0;
}

// ---- Small lever ------------------------------------------------------------------------
f64 FSAPI frame_offset(ElementHeader*) { return f64(flap_lever_frame); }

const ElementDef kSmallElementDefs[] = {
    //          bitmap   x  y  flags
    el::Static(3152,     0, 0),
    el::Slider(3155,    10, 9, 0, nullptr, frame_offset),
};
const RectDef kSmallRects[] = {
    //          x   y   w   h   cursor           events           action
    rect::Click(0, 54, 42, 54, CursorUpArrow,   MouseLeftSingle, incr_click),
    rect::Click(0,  0, 42, 54, CursorDownArrow, MouseLeftSingle, decr_click),
};

void FSAPI flap_lever_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    f64 handle = 0.0;
    if (flap_power()) {
        if (!tok_number(tok_flaps_handle, handle)) return;  // no number: the lever stands
        const u8 frame = sat_u8(handle / kHandlePerFrame, flap_lever_frame);
        flap_lever_frame = frame < kFrameMax ? frame : kFrameMax;
    } else if (flap_lever_frame > kFrameMax) {
        flap_lever_frame = kFrameMax;
    }
}

Gauge<2, 2> small(gauge_flaps_lev, "ketravin flaps_lev_kr60", 42, flap_lever_update, kSmallElementDefs, kSmallRects);

// ---- Enlarged lever ---------------------------------------------------------------------
enum BigPos : size_t { Background, LeverLast, LeverThird, LeverSecond, LeverSliding, kBigElements };
constexpr u8 kLastFrom = 76, kThirdFrom = 56, kSecondFrom = 37;

const ElementDef kBigElementDefs[kBigElements] = {
    //          bitmap   x    y   flags
    el::Static(5276,     0,   0),
    el::Icon(4252,      22, 196, ImageHidden),
    el::Icon(4249,      22, 137, ImageHidden),
    el::Icon(4246,      22,  75, ImageHidden),
    el::Slider(4243,    22,   0, 0, nullptr, frame_offset),
};
const RectDef kBigRects[] = {
    //          x    y   w    h   cursor           events           action
    rect::Click(0, 125, 63, 125, CursorUpArrow,   MouseLeftSingle, incr_click),
    rect::Click(0,   0, 63, 125, CursorDownArrow, MouseLeftSingle, decr_click),
};
constexpr LightWalk kBigWalk{3, walk_positions({Background})};

void FSAPI flap_lever_big_update(GaugeHeader*, i32 service, u32);
Gauge<kBigElements, 2> big(gauge_flaps_lev_big, "ketravin flaps_lev_big_kr60", 84, flap_lever_big_update,
                           kBigElementDefs, kBigRects);

void FSAPI flap_lever_big_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(big.header(), kBigWalk);
    const u8 f = flap_lever_frame;
    const size_t image = f >= kLastFrom ? 0 : f >= kThirdFrom ? 1 : f >= kSecondFrom ? 2 : 3;
    show_one_of(big, LeverLast, 4, image);
}
}  // namespace
