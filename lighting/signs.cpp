// Passenger signs panel of the overhead: SEAT BELTS and NO SMOKING. No host counterpart; a real
// change clicks and, with essential DC power, sounds the cabin chime (high on, low off).
// Reads: dc_ess_powered, light_zone, annunciator_bright
// Writes: sign_seat_belts_sw, sign_no_smoking_sw
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/switches.h"

GaugeHeader gauge_signs;

namespace {
enum Pos { Plate, SeatBeltsOff, SeatBeltsOn, NoSmokingOff, NoSmokingOn, kElements };

constexpr u32 kBmpPlate = 7151;
constexpr u32 kBmpSwitchDown = 294;
constexpr u32 kBmpSwitchUp = 297;

const ElementDef kElementDefs[kElements] = {
    //         bitmap          x   y   flags
    el::Static(kBmpPlate,      0,  0),
    el::Icon(kBmpSwitchDown,   30, 22),               // SEAT BELTS
    el::Icon(kBmpSwitchUp,     33, 4,  ImageHidden),
    el::Icon(kBmpSwitchDown,   16, 65),               // NO SMOKING
    el::Icon(kBmpSwitchUp,     19, 47, ImageHidden),
};

constexpr LightWalk kWalk{2, walk_positions({Plate})};

template <u8* Sign, u8 Value>
i32 FSAPI set_sign(MousePoint*, u32) {
    if (switch_to(*Sign, Value) && dc_ess_powered == 1) sound_play(Value == 1 ? snd_hi : snd_lo, 0);
    return 0;
}

const RectDef kRects[] = {
    //          x   y   w   h   cursor      events           action
    rect::Click(21, 0,  33, 20, CursorHand, MouseLeftSingle, set_sign<&sign_seat_belts_sw, 1>),
    rect::Click(16, 20, 33, 20, CursorHand, MouseLeftSingle, set_sign<&sign_seat_belts_sw, 0>),
    rect::Click(7,  43, 33, 20, CursorHand, MouseLeftSingle, set_sign<&sign_no_smoking_sw, 1>),
    rect::Click(2,  63, 33, 20, CursorHand, MouseLeftSingle, set_sign<&sign_no_smoking_sw, 0>),
};

void FSAPI signs_update(GaugeHeader* g, i32 service, u32);
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_signs, "ketravin signs_kr60", 57, signs_update,
                                                         kElementDefs, kRects);

void FSAPI signs_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(*g, kWalk);
    show_one_of(gauge, SeatBeltsOff, 2, sign_seat_belts_sw == 1);
    show_one_of(gauge, NoSmokingOff, 2, sign_no_smoking_sw == 1);
}
}  // namespace
