// An audio selector panel with the master volume, built once for both panels: five two-way
// knobs (VHF 1, MARKER, VOR 1, VOR 2, ADF) and the volume knob, all on one shared set of bytes.
// Only the panel that keeps the host in step sends the marker and ident events.
//
// A panel's gauge file owns the pointer's table and writes
//   NonlinearityPoint points[3] = KR_AUDIO_VOLUME_POINTS;
//   Gauge<kAudioElements, kAudioRects> gauge(header, "NAME", kAudioWidthMm, update,
//                                           audio_panel_elements<points>, audio_panel_rects);
// and its gauge callback calls audio_panel_frame(gauge, AudioHostSync::Sends or ::Silent).
#pragma once
#include "module/gauge.h"
#include "module/panel_images.h"

enum AudioPos : size_t {
    AudioFace,
    Vhf1Left, Vhf1Right, MarkerLeft, MarkerRight, Vor1Left, Vor1Right, Vor2Left, Vor2Right, AdfLeft, AdfRight,
    VolumePointer,
    kAudioElements
};
constexpr size_t kAudioRects = 12;
constexpr u32 kAudioWidthMm = 175;

enum class AudioHostSync : u8 { Silent, Sends };

// Per frame: the face's lighting, the knob images, and with Sends the host's audio flags.
void audio_panel_frame(Gauge<kAudioElements, kAudioRects>& gauge, AudioHostSync sync);

// The master volume: one step of 1 dB on 25 of the sounds, -10 .. +10 steps.
i32 FSAPI audio_volume_up(MousePoint*, u32);
i32 FSAPI audio_volume_down(MousePoint*, u32);
// The pointer: the step, pulled back into -10 .. +10 (and stored so).
f64 FSAPI audio_volume_needle(ElementHeader*);

// The knob areas (no click sound, no event): store the value whether or not it changes.
extern const RectDef audio_panel_rects[kAudioRects];

// Volume step -10 straight left-down, 0 up, +10 right-down.
#define KR_AUDIO_VOLUME_POINTS {{112, 27, -10, 0}, {118, 9, 0, 0}, {124, 27, 10, 0}}

namespace audio_detail {
constexpr u32 kBmpFace = 2102, kBmpKnobLeft = 2105, kBmpKnobRight = 2108, kBmpPointer = 4169;
constexpr u32 kLeft = fl::Opt3, kRight = fl::Opt3;
}  // namespace audio_detail

template <NonlinearityPoint (&Points)[3]>
const ElementDef audio_panel_elements[kAudioElements] = {
    //       bitmap                          x    y   start flags (the knobs' load values)
    el::Static(audio_detail::kBmpFace,        0,   0, fl::Lum | fl::Opt1),
    el::Icon(audio_detail::kBmpKnobLeft,     21,  10, fl::Hid | audio_detail::kLeft),   // VHF 1
    el::Icon(audio_detail::kBmpKnobRight,    21,  10, audio_detail::kRight),
    el::Icon(audio_detail::kBmpKnobLeft,     21,  53, fl::Hid | audio_detail::kLeft),   // MARKER
    el::Icon(audio_detail::kBmpKnobRight,    21,  53, audio_detail::kRight),
    el::Icon(audio_detail::kBmpKnobLeft,     65,  53, audio_detail::kLeft),             // VOR 1
    el::Icon(audio_detail::kBmpKnobRight,    65,  53, fl::Hid | audio_detail::kRight),
    el::Icon(audio_detail::kBmpKnobLeft,    109,  53, audio_detail::kLeft),             // VOR 2
    el::Icon(audio_detail::kBmpKnobRight,   109,  53, fl::Hid | audio_detail::kRight),
    el::Icon(audio_detail::kBmpKnobLeft,     65,  86, audio_detail::kLeft),             // ADF
    el::Icon(audio_detail::kBmpKnobRight,    65,  86, fl::Hid | audio_detail::kRight),
    el::Needle(audio_detail::kBmpPointer,   118,  20, fl::Opt3, audio_volume_needle).pivot(2, 2).table(Points),
};
