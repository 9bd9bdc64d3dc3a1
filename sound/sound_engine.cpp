// The sound engine: one device, one static buffer per sound, filled once at install from the
// module's WAV resources (or a file of the same name), then played, looped, stopped and
// turned up or down by the gauges. A thin layer over the platform's device (sound_device.h).
#include "sound/sound_engine.h"

#include <cstring>

#define KR_SOUND(var, name) SoundBuffer* var = nullptr;
#include "sound/sounds.def"
#undef KR_SOUND

const SoundSlot kSoundSlots[kSoundCount] = {
#define KR_SOUND(var, name) {&var, name},
#include "sound/sounds.def"
#undef KR_SOUND
};

SoundDevice* sound_device = nullptr;
u32 sound_module_handle = 0;

namespace {
constexpr i32 kVolumeMax = 0;
constexpr i32 kVolumeMin = -10000;

// Create on the device and fill; a buffer that cannot be filled is given back.
SoundBuffer* create_filled(const char* name, const WaveFormat& format, const u8* data, u32 size) {
    SoundBuffer* b = snddev::buffer_create(sound_device, name, format, size);
    if (!b) return nullptr;
    if (!sound_fill(b, data, size)) {
        snddev::buffer_release(b);
        return nullptr;
    }
    return b;
}
}  // namespace

bool wave_from_resource(u32 module_handle, const char* name, WaveFormat* format, const u8** data, u32* size) {
    const u8* bytes = nullptr;
    size_t length = 0;
    if (!snddev::resource_find(module_handle, name, &bytes, &length)) return false;
    return wave_parse(bytes, length, format, data, size);
}

bool wave_from_file(const char* name, WaveFormat* format, const u8** data, u32* size, FileView* view) {
    FileView v;
    if (!snddev::file_map(name, &v)) return false;
    if (!wave_parse(v.bytes, v.length, format, data, size)) {
        snddev::file_unmap(&v);
        return false;
    }
    *view = v;
    return true;
}

void sound_init(u32 module_handle) {
    sound_module_handle = module_handle;
    // One device: a second start keeps the first rather than leaking it.
    if (!sound_device) sound_device = snddev::device_create();
}

SoundBuffer* sound_create(const char* name) {
    // Without a device no buffer can exist: the cockpit is silent.
    if (!sound_device || !name) return nullptr;
    WaveFormat format;
    const u8* data = nullptr;
    u32 size = 0;
    if (wave_from_resource(sound_module_handle, name, &format, &data, &size))
        return create_filled(name, format, data, size);
    FileView view;
    if (!wave_from_file(name, &format, &data, &size, &view)) return nullptr;
    SoundBuffer* b = create_filled(name, format, data, size);
    snddev::file_unmap(&view);
    return b;
}

bool sound_fill(SoundBuffer* buffer, const u8* data, u32 size) {
    if (!buffer || !data || size == 0) return false;
    void* r1 = nullptr;
    void* r2 = nullptr;
    u32 n1 = 0, n2 = 0;
    if (!snddev::buffer_lock(buffer, size, &r1, &n1, &r2, &n2)) return false;
    // The regions never take more than the data holds, whatever the device hands back.
    if (n1 > size) n1 = size;
    if (r1 && n1) std::memcpy(r1, data, n1);
    if (n2 > size - n1) n2 = size - n1;
    if (r2 && n2) std::memcpy(r2, data + n1, n2);
    snddev::buffer_unlock(buffer, r1, n1, r2, n2);
    return true;
}

// Calls on a null buffer, or after the device is gone, reach nothing.
void sound_play(SoundBuffer* buffer, u32 flags) {
    if (buffer && sound_device) snddev::buffer_play(buffer, flags);
}

void sound_stop(SoundBuffer* buffer) {
    if (buffer && sound_device) snddev::buffer_stop(buffer);
}

void sound_set_volume(SoundBuffer* buffer, i32 volume) {
    if (!buffer || !sound_device) return;
    if (volume > kVolumeMax) volume = kVolumeMax;
    if (volume < kVolumeMin) volume = kVolumeMin;
    snddev::buffer_set_volume(buffer, volume);
}

void sound_release(SoundBuffer* buffer) {
    // The device takes its buffers with it when it goes.
    if (buffer && sound_device) snddev::buffer_release(buffer);
}

void sound_shutdown() {
    if (sound_device) snddev::device_release(sound_device);
    sound_device = nullptr;
}
