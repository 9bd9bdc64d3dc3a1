// The recording sound device (every build but Windows): a stand-in for the sound card that
// logs each call with its host frame, follows each buffer's playback in time as a card would
// (a one-shot sound ends and rewinds, a looped one wraps, a stopped one keeps its place), and,
// when asked, mixes what is heard into a WAV file. The module's sounds are the WAV files built
// into the library; files are mapped read-only with mmap.
#if !defined(_WIN32)
#include <fcntl.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "sound/embedded.h"
#include "sound/recording.h"
#include "sound/sound_device.h"

struct SoundDevice {
    u32 unused;
};

struct SoundBuffer {
    char name[16];
    WaveFormat format;
    u8* data;
    u32 size;
    u32 frames;  // whole sample frames in the buffer
    bool locked;
    bool playing, looping;
    f64 position;  // in sample frames
    i32 volume;
};

namespace {
// What a card accepts (the host API's own limits).
constexpr u32 kMinBufferBytes = 4;
constexpr u32 kMaxBufferBytes = 0x0FFFFFFF;
constexpr u32 kMinRate = 100;
constexpr u32 kMaxRate = 200000;
constexpr u16 kFormatPcm = 1;
constexpr u16 kMaxChannels = 8;
constexpr u32 kMaxBuffers = 512;
constexpr u64 kLogCapacity = u64(1) << 15;
constexpr u32 kMaxOutputBytes = 0xFFFFFF00u;  // a WAV file's sizes are 32-bit

SoundDevice g_device{};
bool g_device_open = false;
SoundBuffer* g_buffers[kMaxBuffers];
u32 g_buffer_count = 0;

SoundEvent g_log[kLogCapacity];
u64 g_log_count = 0;
u64 g_frame = 0;
f64 g_time = 0.0;  // seconds since the host started, at the start of g_frame

bool g_fail_device = false;
bool g_hide_resources = false;

std::FILE* g_out = nullptr;
f64 g_out_start = 0.0;
u64 g_out_samples = 0;
i16 g_mix[1024];
f64 g_gain[kMaxBuffers];

void copy_name(char (&to)[16], const char* from) {
    size_t i = 0;
    for (; from && from[i] && i + 1 < sizeof to; ++i) to[i] = from[i];
    to[i] = '\0';
}

void log_call(SoundCall call, const char* name, bool changed, i32 value = 0) {
    SoundEvent& e = g_log[g_log_count % kLogCapacity];
    e.frame = g_frame;
    e.call = call;
    e.changed = changed;
    e.value = value;
    copy_name(e.name, name);
    ++g_log_count;
}

bool known(const SoundBuffer* b) {
    for (u32 i = 0; i < g_buffer_count; ++i)
        if (g_buffers[i] == b) return true;
    return false;
}

// One-shot sounds end and rewind; looped ones wrap.
void wrap(SoundBuffer& b) {
    if (b.position < f64(b.frames)) return;
    if (b.looping) {
        b.position = std::fmod(b.position, f64(b.frames));
    } else {
        b.playing = false;
        b.position = 0.0;
    }
}

void advance(SoundBuffer& b, f64 seconds) {
    if (!b.playing || b.frames == 0) return;
    b.position += seconds * f64(b.format.samples_per_sec);
    wrap(b);
}

// One sample frame as a level in -1..1, the channels averaged.
f64 sample_at(const SoundBuffer& b, u32 frame) {
    const u32 channels = b.format.channels;
    const u8* p = b.data + size_t(frame) * b.format.block_align;
    f64 sum = 0.0;
    for (u32 c = 0; c < channels; ++c) {
        if (b.format.bits_per_sample == 16) {
            const i16 v = i16(u16(p[2 * c]) | u16(p[2 * c + 1] << 8));
            sum += f64(v) / 32768.0;
        } else {
            sum += (f64(p[c]) - 128.0) / 128.0;
        }
    }
    return sum / f64(channels);
}

void write_header(u32 data_bytes) {
    u8 h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                1,   0,   1,   0,   0, 0, 0, 0, 0,   0,   0,   0,   2,   0,   16,  0,   'd', 'a', 't', 'a'};
    auto put = [&](size_t at, u32 v) {
        for (int i = 0; i < 4; ++i) h[at + size_t(i)] = u8(v >> (8 * i));
    };
    put(4, 36 + data_bytes);
    put(24, kRecordingOutputRate);
    put(28, kRecordingOutputRate * 2);
    put(40, data_bytes);
    std::fseek(g_out, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof h, g_out);
    std::fseek(g_out, 0, SEEK_END);
}

// Mixes every playing buffer, at its volume, up to `until` seconds into the output.
void render_until(f64 until) {
    const f64 target = std::floor((until - g_out_start) * kRecordingOutputRate + 0.5);
    while (f64(g_out_samples) < target && g_out_samples * 2 < kMaxOutputBytes) {
        const u64 left = u64(target - f64(g_out_samples));
        const size_t n = left < sizeof g_mix / sizeof g_mix[0] ? size_t(left) : sizeof g_mix / sizeof g_mix[0];
        // Hundredths of a decibel to an amplitude factor.
        for (u32 k = 0; k < g_buffer_count; ++k) g_gain[k] = std::pow(10.0, f64(g_buffers[k]->volume) / 2000.0);
        for (size_t i = 0; i < n; ++i) {
            f64 level = 0.0;
            for (u32 k = 0; k < g_buffer_count; ++k) {
                SoundBuffer& b = *g_buffers[k];
                if (!b.playing || b.frames == 0) continue;
                level += sample_at(b, u32(b.position)) * g_gain[k];
                b.position += f64(b.format.samples_per_sec) / kRecordingOutputRate;
                wrap(b);
            }
            const f64 v = std::fmax(-1.0, std::fmin(1.0, level)) * 32767.0;
            g_mix[i] = i16(std::lround(v));
        }
        std::fwrite(g_mix, sizeof g_mix[0], n, g_out);  // little-endian hosts only
        g_out_samples += n;
    }
}
}  // namespace

// ---- the device -------------------------------------------------------------------------------
namespace snddev {
SoundDevice* device_create() {
    if (g_fail_device) return nullptr;
    g_device_open = true;
    return &g_device;
}

void device_release(SoundDevice* device) {
    if (device != &g_device || !g_device_open) return;
    // Like a card's driver, the device takes the buffers still held with it.
    while (g_buffer_count) buffer_release(g_buffers[g_buffer_count - 1]);
    g_device_open = false;
}

SoundBuffer* buffer_create(SoundDevice* device, const char* name, const WaveFormat& f, u32 size) {
    if (device != &g_device || !g_device_open || g_buffer_count >= kMaxBuffers) return nullptr;
    const bool format_ok = f.format_tag == kFormatPcm && f.channels >= 1 && f.channels <= kMaxChannels &&
                           (f.bits_per_sample == 8 || f.bits_per_sample == 16) &&
                           f.block_align == f.channels * f.bits_per_sample / 8 && f.samples_per_sec >= kMinRate &&
                           f.samples_per_sec <= kMaxRate;
    if (!format_ok || size < kMinBufferBytes || size > kMaxBufferBytes) return nullptr;
    SoundBuffer* b = new (std::nothrow) SoundBuffer{};
    if (!b) return nullptr;
    b->data = new (std::nothrow) u8[size]();
    if (!b->data) {
        delete b;
        return nullptr;
    }
    copy_name(b->name, name);
    b->format = f;
    b->size = size;
    b->frames = size / f.block_align;
    g_buffers[g_buffer_count++] = b;
    log_call(SoundCall::Create, b->name, false, i32(size));
    return b;
}

bool buffer_lock(SoundBuffer* b, u32 size, void** region1, u32* bytes1, void** region2, u32* bytes2) {
    if (!known(b) || b->locked || size == 0 || size > b->size) return false;
    b->locked = true;
    *region1 = b->data;
    *bytes1 = size;
    *region2 = nullptr;
    *bytes2 = 0;
    return true;
}

void buffer_unlock(SoundBuffer* b, void*, u32, void*, u32) {
    if (!known(b) || !b->locked) return;
    b->locked = false;
    log_call(SoundCall::Fill, b->name, false, i32(b->size));
}

void buffer_play(SoundBuffer* b, u32 flags) {
    if (!known(b)) return;
    const bool loop = (flags & 1u) != 0;
    const bool changed = !b->playing || b->looping != loop;
    b->playing = true;
    b->looping = loop;
    log_call(loop ? SoundCall::Loop : SoundCall::Play, b->name, changed);
}

void buffer_stop(SoundBuffer* b) {
    if (!known(b)) return;
    const bool changed = b->playing;
    b->playing = false;  // the position stays where it stopped
    log_call(SoundCall::Stop, b->name, changed);
}

void buffer_set_volume(SoundBuffer* b, i32 volume) {
    if (!known(b)) return;
    const bool changed = b->volume != volume;
    b->volume = volume;
    log_call(SoundCall::Volume, b->name, changed, volume);
}

void buffer_release(SoundBuffer* b) {
    for (u32 i = 0; i < g_buffer_count; ++i) {
        if (g_buffers[i] != b) continue;
        log_call(SoundCall::Release, b->name, true);
        g_buffers[i] = g_buffers[--g_buffer_count];
        delete[] b->data;
        delete b;
        return;
    }
}

// ---- resources and files ------------------------------------------------------------------------
bool resource_find(u32, const char* name, const u8** bytes, size_t* length) {
    if (g_hide_resources || !name) return false;
    // Resource names match without regard to case, as on Windows.
    for (u32 i = 0; i < kEmbeddedSoundCount; ++i)
        if (strcasecmp(kEmbeddedSounds[i].name, name) == 0) {
            *bytes = kEmbeddedSounds[i].bytes;
            *length = kEmbeddedSounds[i].length;
            return true;
        }
    return false;
}

bool file_map(const char* name, FileView* view) {
    if (!name || !*name) return false;
    const int fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        close(fd);
        return false;
    }
    const size_t length = size_t(st.st_size);
    void* p = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);  // the mapping keeps the file
    if (p == MAP_FAILED) return false;
    view->bytes = static_cast<const u8*>(p);
    view->length = length;
    view->handle = p;
    return true;
}

void file_unmap(FileView* view) {
    if (!view || !view->handle) return;
    munmap(view->handle, view->length);
    *view = FileView{};
}
}  // namespace snddev

// ---- what the host and tests see ------------------------------------------------------------
void sound_recording_begin_frame(u64 frame, f64 frame_seconds) {
    const f64 dt = std::isfinite(frame_seconds) && frame_seconds > 0.0 ? frame_seconds : 0.0;
    if (g_out) {
        render_until(g_time + dt);
    } else {
        for (u32 i = 0; i < g_buffer_count; ++i) advance(*g_buffers[i], dt);
    }
    g_time += dt;
    g_frame = frame;
}

u64 sound_recording_count() { return g_log_count; }

bool sound_recording_event(u64 index, SoundEvent* out) {
    if (index >= g_log_count || g_log_count - index > kLogCapacity) return false;
    *out = g_log[index % kLogCapacity];
    return true;
}

bool sound_recording_open_output(const char* path) {
    sound_recording_close_output();
    g_out = std::fopen(path, "wb");
    if (!g_out) return false;
    g_out_start = g_time;
    g_out_samples = 0;
    write_header(0);
    return true;
}

bool sound_recording_close_output() {
    if (!g_out) return true;
    write_header(u32(g_out_samples * 2));
    // The error mark stays set from any failed write; the close flushes what is buffered.
    bool ok = !std::ferror(g_out);
    if (std::fclose(g_out) != 0) ok = false;
    g_out = nullptr;
    return ok;
}

bool sound_recording_buffer_state(const SoundBuffer* b, SoundBufferState* out) {
    if (!b || !known(b)) return false;
    out->playing = b->playing;
    out->looping = b->looping;
    out->position_s = b->position / f64(b->format.samples_per_sec);
    out->volume = b->volume;
    out->size = b->size;
    out->format = b->format;
    out->data = b->data;
    return true;
}

bool sound_recording_device_open() { return g_device_open; }
u32 sound_recording_live_buffers() { return g_buffer_count; }
void sound_recording_fail_device(bool fail) { g_fail_device = fail; }
void sound_recording_hide_resources(bool hide) { g_hide_resources = hide; }
#endif
