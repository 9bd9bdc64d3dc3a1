// First audio selector panel: marker and ident knobs with the master volume. This panel keeps
// the host's marker and ident audio in step with the knobs and the buses that feed them.
// Reads: audio_*_sw, master_volume_step, the host audio flags, bus flags, light_zone,
//        annunciator_bright
// Writes: audio_*_sw, master_volume_step, sound_volume_table
#include "radios/audio_panel.h"

GaugeHeader gauge_radio_snd;

namespace {
NonlinearityPoint volume_points[3] = KR_AUDIO_VOLUME_POINTS;

void FSAPI audio_panel_update(GaugeHeader*, i32 service, u32);

Gauge<kAudioElements, kAudioRects> gauge(gauge_radio_snd, "ketravin radio_snd_kr60", kAudioWidthMm,
                                         audio_panel_update, audio_panel_elements<volume_points>,
                                         audio_panel_rects);

void FSAPI audio_panel_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) audio_panel_frame(gauge, AudioHostSync::Sends);
}
}  // namespace
