// An ADF control head, built once for both ADF sets: the host's frequency on five drums,
// hundreds, tens and units-or-tenths tuning areas, a units/tenths mode area over the window and
// the TEST button whose request the ADF bearing indicator runs and clears.
//
// A head is one constexpr AdfHead naming its expression, events, bytes and drum variables; its
// gauge file then writes
//   Gauge<kAdfElements, kAdfRects> gauge(header, "NAME", kAdfWidthMm, adf_head_update<kHead, gauge>,
//                                        adf_head_elements<kHead>, adf_head_rects<kHead>);
#pragma once
#include "module/gauge.h"
#include "module/panel_images.h"
#include "module/services.h"
#include "radios/radio_digits.h"

constexpr size_t kAdfElements = 6;  // the face, then one drum per place
constexpr size_t kAdfRects = 8;
constexpr u32 kAdfWidthMm = 142;

enum AdfPlace : u8 { AdfThousands, AdfHundreds, AdfTens, AdfUnits, AdfTenths, kAdfPlaces };
enum AdfStep : u8 { Adf100Inc, Adf100Dec, Adf10Inc, Adf10Dec, Adf1Inc, Adf1Dec, AdfTenthsInc, AdfTenthsDec, kAdfSteps };

struct AdfHead {
    const char* frequency_expr;
    u32 key[kAdfSteps];
    u8* tenths_mode;   // 1: the third pair steps tenths, anything else units
    u8* test_request;  // 1 while a TEST waits for or runs on the indicator
    f64* freq_khz;     // the frequency the drums show
    DigitOut freq_whole;           // its whole kHz
    AdfWindow window;              // drum targets and the top frequency
    f64* pos[kAdfPlaces];          // drum positions, by place
    AdfPlace chain[kAdfPlaces];    // places in the element chain's order
    drum::Chase (*rule)(u32 n);    // the set's drum rule
};

// Per frame: lighting, then the targets from the host's frequency; a non-finite frequency leaves
// the window and the stored frequency as they stood.
void adf_head_frame(const AdfHead& h, Gauge<kAdfElements, kAdfRects>& gauge);
// TEST: raises the request only over a clear one and with the essential AC or normal DC bus.
void adf_head_test(const AdfHead& h);

template <const AdfHead& H, Gauge<kAdfElements, kAdfRects>& G>
void FSAPI adf_head_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) adf_head_frame(H, G);
}

// No area plays a sound; each step area sends one event with the value 0.
template <const AdfHead& H, AdfStep S>
i32 FSAPI adf_head_step(MousePoint*, u32) {
    svc::trigger_key_event(H.key[S], 0);
    return 0;
}
// The third pair steps units, or tenths in tenths mode.
template <const AdfHead& H, bool Up>
i32 FSAPI adf_head_fine_step(MousePoint*, u32) {
    const bool tenths = *H.tenths_mode == 1;
    svc::trigger_key_event(H.key[Up ? (tenths ? AdfTenthsInc : Adf1Inc) : (tenths ? AdfTenthsDec : Adf1Dec)], 0);
    return 0;
}
template <const AdfHead& H> constexpr MouseCallback adf_head_100_inc = adf_head_step<H, Adf100Inc>;
template <const AdfHead& H> constexpr MouseCallback adf_head_100_dec = adf_head_step<H, Adf100Dec>;
template <const AdfHead& H> constexpr MouseCallback adf_head_10_inc = adf_head_step<H, Adf10Inc>;
template <const AdfHead& H> constexpr MouseCallback adf_head_10_dec = adf_head_step<H, Adf10Dec>;
template <const AdfHead& H> constexpr MouseCallback adf_head_1_inc = adf_head_fine_step<H, true>;
template <const AdfHead& H> constexpr MouseCallback adf_head_1_dec = adf_head_fine_step<H, false>;
template <const AdfHead& H>
i32 FSAPI adf_head_test_push(MousePoint*, u32) {
    adf_head_test(H);
    return 0;
}
template <const AdfHead& H>
i32 FSAPI adf_head_tenths_toggle(MousePoint*, u32) {
    *H.tenths_mode = *H.tenths_mode == 0 ? 1 : 0;
    return 0;
}

namespace adf_detail {
constexpr u32 kBmpFace = 2099, kBmpDigits = 2118;
constexpr u32 kFlagsDrum = fl::Lum | fl::Opt2;
constexpr i32 kDrumX[kAdfPlaces] = {45, 55, 65, 77, 87};
constexpr i32 kDrumY = 25;
constexpr u32 kThousandsPositions = 2, kDigitPositions = 10;

constexpr drum::Target place_target(const AdfWindow& w, AdfPlace p) {
    return p == AdfThousands  ? w.thousands.target()
           : p == AdfHundreds ? w.hundreds.target()
           : p == AdfTens     ? drum::target(w.tens)
           : p == AdfUnits    ? w.units.target()
                              : drum::target(w.tenths);
}
constexpr ElementDef drum_line(const AdfHead& h, size_t link) {
    const AdfPlace p = h.chain[link];
    return el::ChasingDrum(kBmpDigits, kDrumX[p], kDrumY, kFlagsDrum,
                           h.rule(p == AdfThousands ? kThousandsPositions : kDigitPositions),
                           place_target(h.window, p), h.pos[p]);
}
}  // namespace adf_detail

template <const AdfHead& H>
const ElementDef adf_head_elements[kAdfElements] = {
    //       bitmap                  x  y  start flags
    el::Static(adf_detail::kBmpFace, 0, 0, fl::Lum | fl::Opt1),
    adf_detail::drum_line(H, 0),
    adf_detail::drum_line(H, 1),
    adf_detail::drum_line(H, 2),
    adf_detail::drum_line(H, 3),
    adf_detail::drum_line(H, 4),
};

constexpr u32 kAdfStepFlags = MouseLeftSingle | MouseRepeat;
template <const AdfHead& H>
const RectDef adf_head_rects[kAdfRects] = {
    //          x    y   w   h   cursor           events           action
    rect::Click(27,  49, 29, 21, CursorUpArrow,   kAdfStepFlags,   adf_head_100_inc<H>),
    rect::Click(27,  70, 29, 21, CursorDownArrow, kAdfStepFlags,   adf_head_100_dec<H>),
    rect::Click(56,  49, 29, 21, CursorUpArrow,   kAdfStepFlags,   adf_head_10_inc<H>),
    rect::Click(56,  70, 29, 21, CursorDownArrow, kAdfStepFlags,   adf_head_10_dec<H>),
    rect::Click(85,  49, 29, 21, CursorUpArrow,   kAdfStepFlags,   adf_head_1_inc<H>),
    rect::Click(85,  70, 29, 21, CursorDownArrow, kAdfStepFlags,   adf_head_1_dec<H>),
    rect::Click(115,  6, 27, 27, CursorHand,      MouseLeftSingle, adf_head_test_push<H>),
    rect::Click(71,  23, 27, 21, CursorHand,      MouseLeftSingle, adf_head_tenths_toggle<H>),
};
