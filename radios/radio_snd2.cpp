// Second audio selector panel: another view of the first panel's knob bytes and master volume.
// It only sets and shows them; the first panel keeps the host's audio in step.
// Reads: audio_*_sw, master_volume_step, light_zone, annunciator_bright
// Writes: audio_*_sw, master_volume_step, sound_volume_table
#include "radios/audio_panel.h"

GaugeHeader gauge_radio_snd2;

namespace {
NonlinearityPoint volume_points[3] = KR_AUDIO_VOLUME_POINTS;

void FSAPI audio_panel2_update(GaugeHeader*, i32 service, u32);

Gauge<kAudioElements, kAudioRects> gauge(gauge_radio_snd2, "ketravin radio_snd2_kr60", kAudioWidthMm,
                                         audio_panel2_update, audio_panel_elements<volume_points>,
                                         audio_panel_rects);

void FSAPI audio_panel2_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) audio_panel_frame(gauge, AudioHostSync::Silent);
}
}  // namespace
