// The sound engine's face to the gauges: the 33 loaded sounds and the three calls that play,
// stop and set the volume of one. Every call on a null buffer (a sound that failed to load, or
// no sound engine at all) does nothing.
#pragma once
#include "module/types.h"

struct SoundBuffer;

#define KR_SOUND(var, name) extern SoundBuffer* var;
#include "sound/sounds.def"
#undef KR_SOUND

constexpr u32 kSoundCount = 33;

// flags: 1 plays looped, 0 once.
void sound_play(SoundBuffer* buffer, u32 flags);
void sound_stop(SoundBuffer* buffer);
// Hundredths of a decibel, clamped to -10000..0.
void sound_set_volume(SoundBuffer* buffer, i32 volume);
