// What the sound engine needs of a platform: one device, static buffers filled once through a
// lock, play / loop / stop / volume / release, the module's own sound resources and read-only
// file views. Windows: DirectSound and Win32 resources (device_win32.cpp); elsewhere a recording
// device that logs every call and can mix what played into a WAV file (device_recording.cpp).
#pragma once
#include <cstddef>

#include "sound/wave.h"

struct SoundDevice;
struct SoundBuffer;

// A mapped file: its bytes and what the platform needs to unmap it.
struct FileView {
    const u8* bytes = nullptr;
    size_t length = 0;
    void* handle = nullptr;
};

namespace snddev {
// The default device, ready for buffers; null when there is none.
SoundDevice* device_create();
void device_release(SoundDevice* device);

// A static buffer of `size` bytes in `format`; `name` only labels it. Null on failure.
SoundBuffer* buffer_create(SoundDevice* device, const char* name, const WaveFormat& format, u32 size);
// Locks `size` bytes from offset 0: up to two regions (the second may be null).
bool buffer_lock(SoundBuffer* buffer, u32 size, void** region1, u32* bytes1, void** region2, u32* bytes2);
void buffer_unlock(SoundBuffer* buffer, void* region1, u32 bytes1, void* region2, u32 bytes2);
void buffer_play(SoundBuffer* buffer, u32 flags);  // 1 loops
void buffer_stop(SoundBuffer* buffer);
void buffer_set_volume(SoundBuffer* buffer, i32 volume);
void buffer_release(SoundBuffer* buffer);

// The raw bytes of the module's resource `name` (type RCDATA), owned by the module.
bool resource_find(u32 module_handle, const char* name, const u8** bytes, size_t* length);
// Maps the file of exactly that name read-only.
bool file_map(const char* name, FileView* view);
void file_unmap(FileView* view);
}  // namespace snddev
