// Placeholder engine: no sound is loaded yet, so every buffer stays null and every call is a
// no-op. The real engine replaces this file.
#include "sound/sound.h"

#define KR_SOUND(var, name, volume) SoundBuffer* var = nullptr;
#include "sound/sounds.def"
#undef KR_SOUND

void sound_play(SoundBuffer*, u32) {}
void sound_stop(SoundBuffer*) {}
void sound_set_volume(SoundBuffer*, i32) {}
