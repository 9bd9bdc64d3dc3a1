// WAV files as the sound engine reads them: a RIFF "WAVE" with a format chunk and a data chunk.
#pragma once
#include <cstddef>

#include "module/types.h"

// The device's format record (the 18-byte host layout, then room for a format extension).
// A format chunk shorter than the full record arrives zero-filled behind its last byte.
struct WaveFormat {
    u16 format_tag;
    u16 channels;
    u32 samples_per_sec;
    u32 avg_bytes_per_sec;
    u16 block_align;
    u16 bits_per_sample;
    u16 extra_size;  // bytes of `extra` that the chunk really held
    u8 extra[22];
};
static_assert(sizeof(WaveFormat) == 40, "format record: 18-byte head and 22 bytes of extension");
static_assert(offsetof(WaveFormat, extra_size) == 16, "format record head layout");

constexpr u32 kWaveFormatMinChunk = 14;

// Finds the format and data chunks in `length` bytes. Each out argument may be null (not
// wanted); the data pointer points into `bytes`. Nothing outside the given bytes is read,
// whatever the RIFF and chunk sizes claim. Returns true when everything wanted was found.
bool wave_parse(const void* bytes, size_t length, WaveFormat* format, const u8** data, u32* size);
