// The sound engine's life cycle and loaders, used by the aural warning unit (install and kill)
// and by tests. Gauges only play, stop and set volumes (sound/sound.h).
#pragma once
#include "sound/sound.h"
#include "sound/sound_device.h"

// The one device: null before sound_init and after sound_shutdown, or when none can be made.
extern SoundDevice* sound_device;
// The module's resource handle, given at install; sounds are looked up in it.
extern u32 sound_module_handle;

// The WAV resource of that name (type RCDATA) in the module, parsed.
bool wave_from_resource(u32 module_handle, const char* name, WaveFormat* format, const u8** data, u32* size);
// The file of exactly that name, mapped and parsed; on success the view stays mapped for the
// caller to unmap with snddev::file_unmap.
bool wave_from_file(const char* name, WaveFormat* format, const u8** data, u32* size, FileView* view);

void sound_init(u32 module_handle);
// A buffer holding the sound `name`: the module's resource first, else the file; null when
// neither loads.
SoundBuffer* sound_create(const char* name);
bool sound_fill(SoundBuffer* buffer, const u8* data, u32 size);
// The caller's variable is not cleared.
void sound_release(SoundBuffer* buffer);
void sound_shutdown();

// The 33 sounds in load order: the variable that holds each and its resource name.
struct SoundSlot {
    SoundBuffer** buffer;
    const char* name;
};
extern const SoundSlot kSoundSlots[kSoundCount];
