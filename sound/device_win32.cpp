// The Windows sound device: DirectSound 8 on the default device, static secondary buffers,
// the module's RCDATA resources and read-only file mappings. Where no device can be created
// (no sound card, or Wine without audio) every buffer stays null and the cockpit is silent.
#if defined(_WIN32)
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstddef>

#include "sound/sound_device.h"

// WaveFormat is handed to the device as its own format record.
static_assert(sizeof(WAVEFORMATEX) == 18, "host format record");
static_assert(offsetof(WaveFormat, channels) == offsetof(WAVEFORMATEX, nChannels), "format layout");
static_assert(offsetof(WaveFormat, samples_per_sec) == offsetof(WAVEFORMATEX, nSamplesPerSec), "format layout");
static_assert(offsetof(WaveFormat, avg_bytes_per_sec) == offsetof(WAVEFORMATEX, nAvgBytesPerSec), "format layout");
static_assert(offsetof(WaveFormat, block_align) == offsetof(WAVEFORMATEX, nBlockAlign), "format layout");
static_assert(offsetof(WaveFormat, bits_per_sample) == offsetof(WAVEFORMATEX, wBitsPerSample), "format layout");
static_assert(offsetof(WaveFormat, extra_size) == offsetof(WAVEFORMATEX, cbSize), "format layout");

namespace {
// Static, with frequency, pan and volume control and current-position reporting.
constexpr DWORD kBufferFlags =
    DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
static_assert(kBufferFlags == 0x100E2, "buffer flags");
#if !defined(_WIN64)
static_assert(sizeof(DSBUFFERDESC) == 36, "buffer description of the 32-bit host");
#endif
constexpr WORD kRcData = 10;

// The engine's opaque handles are the DirectSound objects themselves.
IDirectSound8* ds(SoundDevice* d) { return reinterpret_cast<IDirectSound8*>(d); }
IDirectSoundBuffer* dsb(SoundBuffer* b) { return reinterpret_cast<IDirectSoundBuffer*>(b); }
}  // namespace

namespace snddev {
SoundDevice* device_create() {
    IDirectSound8* device = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &device, nullptr)) || !device) return nullptr;
    device->SetCooperativeLevel(GetActiveWindow(), DSSCL_NORMAL);
    return reinterpret_cast<SoundDevice*>(device);
}

void device_release(SoundDevice* device) {
    if (device) ds(device)->Release();
}

SoundBuffer* buffer_create(SoundDevice* device, const char*, const WaveFormat& format, u32 size) {
    if (!device) return nullptr;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = kBufferFlags;
    desc.dwBufferBytes = size;
    desc.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(const_cast<WaveFormat*>(&format));
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(ds(device)->CreateSoundBuffer(&desc, &buffer, nullptr)) || !buffer) return nullptr;
    return reinterpret_cast<SoundBuffer*>(buffer);
}

bool buffer_lock(SoundBuffer* b, u32 size, void** region1, u32* bytes1, void** region2, u32* bytes2) {
    DWORD n1 = 0, n2 = 0;
    if (FAILED(dsb(b)->Lock(0, size, region1, &n1, region2, &n2, 0))) return false;
    *bytes1 = n1;
    *bytes2 = n2;
    return true;
}

void buffer_unlock(SoundBuffer* b, void* region1, u32 bytes1, void* region2, u32 bytes2) {
    dsb(b)->Unlock(region1, bytes1, region2, bytes2);
}

void buffer_play(SoundBuffer* b, u32 flags) { dsb(b)->Play(0, 0, flags); }
void buffer_stop(SoundBuffer* b) { dsb(b)->Stop(); }
void buffer_set_volume(SoundBuffer* b, i32 volume) { dsb(b)->SetVolume(volume); }
void buffer_release(SoundBuffer* b) { dsb(b)->Release(); }

bool resource_find(u32 module_handle, const char* name, const u8** bytes, size_t* length) {
    HMODULE module = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(module_handle));
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(kRcData));
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return false;
    const void* p = LockResource(loaded);
    if (!p) return false;
    *bytes = static_cast<const u8*>(p);
    *length = SizeofResource(module, found);
    return true;
}

bool file_map(const char* name, FileView* view) {
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 || size.QuadPart > LONGLONG(SIZE_MAX)) {
        CloseHandle(file);
        return false;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    CloseHandle(file);  // the mapping keeps the file open
    if (!mapping) return false;
    void* p = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);  // the view keeps the mapping
    if (!p) return false;
    view->bytes = static_cast<const u8*>(p);
    view->length = size_t(size.QuadPart);
    view->handle = p;
    return true;
}

void file_unmap(FileView* view) {
    if (!view || !view->handle) return;
    UnmapViewOfFile(view->handle);
    *view = FileView{};
}
}  // namespace snddev
#endif
