// The recording sound device of the Linux build: it stands in for the sound card. Every call
// on a buffer is logged with the host frame it happened in, each buffer's playback is followed
// in time (playing, looping, position), and what is heard can be mixed into a WAV file.
// The headless host tells it where frames begin; tests and `show sounds` read the log.
#pragma once
#if !defined(_WIN32)
#include <cstddef>

#include "sound/wave.h"

struct SoundBuffer;

enum class SoundCall : u8 { Create, Fill, Play, Loop, Stop, Volume, Release };

struct SoundEvent {
    u64 frame;
    SoundCall call;
    // The call changed what is heard or set: a play or loop that starts a silent buffer (or
    // switches between once and looped), a stop of a playing one, a new volume, every release.
    // A play of a sound already playing goes on where it is and changes nothing.
    bool changed;
    i32 value;  // Volume: the volume set; Create: the buffer size
    char name[16];
};

// The host calls this as each frame begins (before the gauge callbacks): what played since the
// last frame is followed (and mixed), and calls from now on carry this frame number.
void sound_recording_begin_frame(u64 frame, f64 frame_seconds);

// The log: events numbered from 0 in call order. The newest events are kept; an event that
// has been overwritten reads false.
u64 sound_recording_count();
bool sound_recording_event(u64 index, SoundEvent* out);

// Mixing what plays, at the times it plays, into a 16-bit mono WAV file.
bool sound_recording_open_output(const char* path);
// False when any write to the file, or its close, failed.
bool sound_recording_close_output();
constexpr u32 kRecordingOutputRate = 22050;

// What a buffer is doing now (tests).
struct SoundBufferState {
    bool playing, looping;
    f64 position_s;
    i32 volume;
    u32 size;
    WaveFormat format;
    const u8* data;
};
bool sound_recording_buffer_state(const SoundBuffer* buffer, SoundBufferState* out);
bool sound_recording_device_open();
u32 sound_recording_live_buffers();

// Test conditions: no device can be created (as on a machine without sound), and the library's
// own sounds hidden (so that only files are found).
void sound_recording_fail_device(bool fail);
void sound_recording_hide_resources(bool hide);
#endif
