// Transponder control head: the host's code on four drums and a column of up and down areas per
// digit. No power test; the head is lit with the main instruments.
// Reads: tok_xpdr_code, light_zone, annunciator_bright
// Writes: xpdr_drum_*_target
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"
#include "radios/radio_digits.h"
#include "radios/radio_keys.h"
#include "radios/state.h"

GaugeHeader gauge_radio_tsp;

namespace {
enum Pos : size_t { Background, Units, Tens, Hundreds, Thousands, kElements };

constexpr u32 kBmpBackground = 2096, kBmpDigits = 2118;
constexpr LightWalk kWalk{0, walk_range(Background, Thousands)};

using drum::radio;
using drum::target;
constexpr u32 kDrum = fl::Lum | fl::Opt2;

const ElementDef kElementDefs[kElements] = {
    //       bitmap               x    y   start flags
    el::Static(kBmpBackground,     0,   0, fl::Lum | fl::Opt1),
    el::ChasingDrum(kBmpDigits,   99,  22, kDrum, radio(8), target(&xpdr_drum_units_target), &xpdr_drum_units_pos),
    el::ChasingDrum(kBmpDigits,   88,  22, kDrum, radio(8), target(&xpdr_drum_tens_target), &xpdr_drum_tens_pos),
    el::ChasingDrum(kBmpDigits,   77,  22, kDrum, radio(8), target(&xpdr_drum_hundreds_target), &xpdr_drum_hundreds_pos),
    el::ChasingDrum(kBmpDigits,   66,  22, kDrum, radio(8), target(&xpdr_drum_thousands_target), &xpdr_drum_thousands_pos),
};

template <u32 Key>
i32 FSAPI xpdr_step(MousePoint*, u32) {
    svc::trigger_key_event(Key, 0);
    return 0;
}

constexpr auto xpdr_head_1000_inc = xpdr_step<key_xpdr_1000_inc>;
constexpr auto xpdr_head_1000_dec = xpdr_step<key_xpdr_1000_dec>;
constexpr auto xpdr_head_100_inc = xpdr_step<key_xpdr_100_inc>;
constexpr auto xpdr_head_100_dec = xpdr_step<key_xpdr_100_dec>;
constexpr auto xpdr_head_10_inc = xpdr_step<key_xpdr_10_inc>;
constexpr auto xpdr_head_10_dec = xpdr_step<key_xpdr_10_dec>;
constexpr auto xpdr_head_1_inc = xpdr_step<key_xpdr_1_inc>;
constexpr auto xpdr_head_1_dec = xpdr_step<key_xpdr_1_dec>;

constexpr u32 kStepFlags = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x    y   w   h   cursor           events      action
    rect::Click(32,  41, 28, 19, CursorUpArrow,   kStepFlags, xpdr_head_1000_inc),
    rect::Click(32,  60, 28, 19, CursorDownArrow, kStepFlags, xpdr_head_1000_dec),
    rect::Click(60,  41, 28, 19, CursorUpArrow,   kStepFlags, xpdr_head_100_inc),
    rect::Click(60,  60, 28, 19, CursorDownArrow, kStepFlags, xpdr_head_100_dec),
    rect::Click(88,  41, 28, 19, CursorUpArrow,   kStepFlags, xpdr_head_10_inc),
    rect::Click(88,  60, 28, 19, CursorDownArrow, kStepFlags, xpdr_head_10_dec),
    rect::Click(116, 41, 28, 19, CursorUpArrow,   kStepFlags, xpdr_head_1_inc),
    rect::Click(116, 60, 28, 19, CursorDownArrow, kStepFlags, xpdr_head_1_dec),
};

void FSAPI xpdr_head_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 179;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_radio_tsp, "ketravin radio_tsp_kr60", kWidthMm,
                                                         xpdr_head_update, kElementDefs, kRects);

void FSAPI xpdr_head_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    const SquawkDigits s = squawk_split(tok_read_u32(tok_xpdr_code));
    xpdr_drum_thousands_target = s.d[0];
    xpdr_drum_hundreds_target = s.d[1];
    xpdr_drum_tens_target = s.d[2];
    xpdr_drum_units_target = s.d[3];
}
}  // namespace
