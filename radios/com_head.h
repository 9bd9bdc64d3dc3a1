// A VHF COM control head, built once for every COM set: two frequency windows of five drums, a
// transfer switch choosing the active window, tuning areas under each window (only the standby
// side tunes) and the two transmit buttons, which every COM head shares.
//
// A head is one constexpr ComHead naming its tokens, selector byte, events and drum variables;
// its gauge file then writes
//   Gauge<kComElements, kComRects> gauge(header, "NAME", kComWidthMm, com_head_update<kHead, gauge>,
//                                        com_head_elements<kHead>, com_head_rects<kHead>);
#pragma once
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/services.h"
#include "module/switches.h"
#include "radios/radio_digits.h"

enum ComPos : size_t {
    ComFace,
    ComLeftActive, ComRightActive,  // transfer switch thrown left or right
    ComTx1Face, ComTx2Face,         // transmit buttons in their selected face
    ComLeftLast, ComLeftTenths, ComLeftUnits, ComLeftTens, ComLeftHundreds,
    ComRightLast, ComRightTenths, ComRightUnits, ComRightTens, ComRightHundreds,
    ComTx1Lit, ComTx2Lit,           // lamp glows over the transmit buttons
    kComElements
};
constexpr size_t kComRects = 12;
constexpr u32 kComWidthMm = 164;

enum ComStep : u8 { WholeInc, WholeDec, FractInc, FractDec, kComSteps };
enum ComSide : u8 { LeftActive = 1, RightActive = 2 };

// The drums of one window, in chain order: hundredths wheel, tenths, units, tens, hundreds.
struct ComDrums {
    FreqWindow targets;
    f64* pos[5];
};

struct ComHead {
    TokenVar* active;   // the set's active frequency, BCD16
    TokenVar* standby;  // its standby frequency
    u8* window_select;  // ComSide
    u32 key_swap;
    u32 key_step[kComSteps];
    u32* left_bcd;   // the words shown this frame
    u32* right_bcd;
    ComDrums left, right;
    drum::Chase (*rule)(u32 n);  // the set's drum rule
    u32 tx1_face_start;          // start flags of the first transmit face
    u32 nibble_top = 9;          // a nibble above it reaches its drum as this (15: raw)
    i32* left_last_nibble = nullptr;  // where the set keeps each word's low nibble, if it does
    i32* right_last_nibble = nullptr;
};

// Per frame: lighting, windows from the host, transfer marker, transmit faces and lamps.
void com_head_frame(const ComHead& h, Gauge<kComElements, kComRects>& gauge);

// The gauge callback of every COM head: its frame, on the per-frame service only.
template <const ComHead& H, Gauge<kComElements, kComRects>& G>
void FSAPI com_head_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) com_head_frame(H, G);
}

// Transmit buttons: the host's one transmit state, the same for every COM head.
i32 FSAPI com_head_transmit_1(MousePoint*, u32);
i32 FSAPI com_head_transmit_2(MousePoint*, u32);

// Transfer switch toward `Side`: on a real change, CLICK, the new side, then one swap.
template <const ComHead& H, u8 Side>
i32 FSAPI com_head_transfer(MousePoint*, u32) {
    if (*H.window_select == Side) return 0;
    sound_play(snd_click, 0);
    *H.window_select = Side;
    svc::trigger_key_event(H.key_swap, 0);
    return 0;
}

// A tuning area under a window: sends its step only while that window is the standby one.
template <const ComHead& H, u8 StandbyWhen, ComStep S>
i32 FSAPI com_head_knob_step(MousePoint*, u32) {
    if (*H.window_select == StandbyWhen) svc::trigger_key_event(H.key_step[S], 0);
    return 0;
}

// The tuning areas by window: the left one tunes while the right window is active.
template <const ComHead& H> constexpr MouseCallback com_head_left_whole_inc = com_head_knob_step<H, RightActive, WholeInc>;
template <const ComHead& H> constexpr MouseCallback com_head_left_whole_dec = com_head_knob_step<H, RightActive, WholeDec>;
template <const ComHead& H> constexpr MouseCallback com_head_left_fract_inc = com_head_knob_step<H, RightActive, FractInc>;
template <const ComHead& H> constexpr MouseCallback com_head_left_fract_dec = com_head_knob_step<H, RightActive, FractDec>;
template <const ComHead& H> constexpr MouseCallback com_head_right_whole_inc = com_head_knob_step<H, LeftActive, WholeInc>;
template <const ComHead& H> constexpr MouseCallback com_head_right_whole_dec = com_head_knob_step<H, LeftActive, WholeDec>;
template <const ComHead& H> constexpr MouseCallback com_head_right_fract_inc = com_head_knob_step<H, LeftActive, FractInc>;
template <const ComHead& H> constexpr MouseCallback com_head_right_fract_dec = com_head_knob_step<H, LeftActive, FractDec>;
template <const ComHead& H> constexpr MouseCallback com_head_transfer_left = com_head_transfer<H, LeftActive>;
template <const ComHead& H> constexpr MouseCallback com_head_transfer_right = com_head_transfer<H, RightActive>;

namespace com_detail {
constexpr u32 kBmpFace = 2092, kBmpLeftActive = 2112, kBmpRightActive = 2115, kBmpTxFace = 4192, kBmpTxLit = 10083;
constexpr u32 kBmpDigits = 2118, kBmpLast = 2128;
constexpr f64 kLastRange = 4.0;
constexpr u32 kFlagsDrum = fl::Lum | fl::Opt2;

constexpr ElementDef drum_line(const ComHead& h, const ComDrums& d, size_t i, i32 x) {
    const FreqWindow& t = d.targets;
    switch (i) {
        case 0: return el::ChasingDrum(kBmpLast, x, 20, kFlagsDrum, h.rule(4), drum::target(t.last), d.pos[0], kLastRange);
        case 1: return el::ChasingDrum(kBmpDigits, x, 20, kFlagsDrum, h.rule(10), t.tenths.target(), d.pos[1]);
        case 2: return el::ChasingDrum(kBmpDigits, x, 20, kFlagsDrum, h.rule(10), drum::target(t.units), d.pos[2]);
        case 3: return el::ChasingDrum(kBmpDigits, x, 20, kFlagsDrum, h.rule(10), t.tens.target(), d.pos[3]);
        default: return el::ChasingDrum(kBmpDigits, x, 20, kFlagsDrum, h.rule(4), t.hundreds.target(), d.pos[4]);
    }
}
}  // namespace com_detail

template <const ComHead& H>
const ElementDef com_head_elements[kComElements] = {
    //       bitmap                         x    y   start flags
    el::Static(com_detail::kBmpFace,         0,   0, fl::Lum | fl::Opt1),
    el::Icon(com_detail::kBmpLeftActive,    67,  25, fl::Opt3),
    el::Icon(com_detail::kBmpRightActive,   83,  25, fl::Hid | fl::Opt3),
    el::Icon(com_detail::kBmpTxFace,         9, 109, H.tx1_face_start),
    el::Icon(com_detail::kBmpTxFace,        31, 109, fl::Hid | fl::Lum | fl::Opt3),
    com_detail::drum_line(H, H.left, 0, 48),   // hundredths wheel
    com_detail::drum_line(H, H.left, 1, 38),   // tenths
    com_detail::drum_line(H, H.left, 2, 26),   // units
    com_detail::drum_line(H, H.left, 3, 16),   // tens
    com_detail::drum_line(H, H.left, 4, 6),    // hundreds
    com_detail::drum_line(H, H.right, 0, 148),
    com_detail::drum_line(H, H.right, 1, 138),
    com_detail::drum_line(H, H.right, 2, 126),
    com_detail::drum_line(H, H.right, 3, 116),
    com_detail::drum_line(H, H.right, 4, 106),
    el::Icon(com_detail::kBmpTxLit,          9, 109, fl::Hid | fl::Bri | fl::Opt3),
    el::Icon(com_detail::kBmpTxLit,         31, 109, fl::Hid | fl::Bri | fl::Opt3),
};

template <const ComHead& H>
const RectDef com_head_rects[kComRects] = {
    //          x    y   w   h   cursor           events                         action
    rect::Click(3,   98, 24, 31, CursorHand,      MouseLeftSingle,               com_head_transmit_1),
    rect::Click(27,  98, 24, 31, CursorHand,      MouseLeftSingle,               com_head_transmit_2),
    rect::Click(54,  15, 29, 29, CursorHand,      MouseLeftSingle,               com_head_transfer_left<H>),
    rect::Click(83,  15, 29, 29, CursorHand,      MouseLeftSingle,               com_head_transfer_right<H>),
    rect::Click(0,   42, 33, 23, CursorUpArrow,   MouseLeftSingle | MouseRepeat, com_head_left_whole_inc<H>),
    rect::Click(0,   65, 33, 23, CursorDownArrow, MouseLeftSingle | MouseRepeat, com_head_left_whole_dec<H>),
    rect::Click(33,  42, 33, 23, CursorUpArrow,   MouseLeftSingle | MouseRepeat, com_head_left_fract_inc<H>),
    rect::Click(33,  65, 33, 23, CursorDownArrow, MouseLeftSingle | MouseRepeat, com_head_left_fract_dec<H>),
    rect::Click(100, 42, 33, 23, CursorUpArrow,   MouseLeftSingle | MouseRepeat, com_head_right_whole_inc<H>),
    rect::Click(100, 65, 33, 23, CursorDownArrow, MouseLeftSingle | MouseRepeat, com_head_right_whole_dec<H>),
    rect::Click(133, 42, 33, 23, CursorUpArrow,   MouseLeftSingle | MouseRepeat, com_head_right_fract_inc<H>),
    rect::Click(133, 65, 33, 23, CursorDownArrow, MouseLeftSingle | MouseRepeat, com_head_right_fract_dec<H>),
};
