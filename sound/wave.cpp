#include "sound/wave.h"

#include <cstring>

namespace {
u32 word_at(const u8* p) {
    return u32(p[0]) | (u32(p[1]) << 8) | (u32(p[2]) << 16) | (u32(p[3]) << 24);
}
bool id_is(const u8* p, const char (&id)[5]) { return std::memcmp(p, id, 4) == 0; }

constexpr u64 kRiffHeader = 12;  // "RIFF", size, "WAVE"
constexpr u64 kChunkHeader = 8;  // id, size
constexpr u64 kFormatHead = 18;  // the format record without its extension
}  // namespace

bool wave_parse(const void* bytes, size_t length, WaveFormat* format, const u8** data, u32* size) {
    // 1. Nothing found yet.
    if (format) std::memset(format, 0, sizeof *format);
    if (data) *data = nullptr;
    if (size) *size = 0;
    bool format_found = false, data_found = false;

    // 2. The RIFF header.
    const u8* p = static_cast<const u8*>(bytes);
    if (!p || length < kRiffHeader) return false;
    if (!id_is(p, "RIFF") || !id_is(p + 8, "WAVE")) return false;

    // 3. The chunks end where the RIFF size says, but never past the bytes we were given.
    // All positions are 64-bit: sizes near 4 GiB cannot wrap.
    const u64 len = length;
    u64 end = 8 + u64(word_at(p + 4));
    if (end > len) end = len;

    // 4. Walk the chunks.
    u64 pos = kRiffHeader;
    while (pos < end) {
        if (pos + kChunkHeader > len) return false;
        const u8* id = p + pos;
        const u32 chunk = word_at(p + pos + 4);
        pos += kChunkHeader;
        const bool inside = pos + chunk <= len;

        if (id_is(id, "fmt ") && format && !format_found) {
            if (chunk < kWaveFormatMinChunk || !inside) return false;
            // A short chunk is copied into a zeroed full record, so the device never reads
            // past what the file holds; the extension size is cut to what was really there.
            const u64 copied = chunk < sizeof *format ? chunk : sizeof *format;
            std::memcpy(format, p + pos, size_t(copied));
            const u64 extra_present = copied > kFormatHead ? copied - kFormatHead : 0;
            if (format->extra_size > extra_present) format->extra_size = u16(extra_present);
            format_found = true;
            if ((!data || data_found) && (!size || data_found)) return true;
        } else if (id_is(id, "data") && ((data && !data_found) || (size && !data_found))) {
            if (!inside) return false;
            if (data) *data = p + pos;
            if (size) *size = chunk;
            data_found = true;
            if (!format || format_found) return true;
        }
        // Next chunk: the data is padded to an even length.
        pos += (u64(chunk) + 1) & ~u64(1);
    }
    // 5. The end without everything wanted.
    return false;
}
