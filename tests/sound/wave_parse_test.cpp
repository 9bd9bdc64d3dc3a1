// The WAV parser on well-formed and malformed files: every case is parsed from an exact-size
// heap copy, so that AddressSanitizer catches any read past the bytes given.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "sound/wave.h"

namespace {
using Bytes = std::vector<u8>;

void put32(Bytes& b, u32 v) {
    for (int i = 0; i < 4; ++i) b.push_back(u8(v >> (8 * i)));
}
void put_id(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }

// A chunk with its declared size, its body, and the pad byte after an odd body unless left out.
void chunk(Bytes& b, const char* id, u32 declared, const Bytes& body, bool pad = true) {
    put_id(b, id);
    put32(b, declared);
    b.insert(b.end(), body.begin(), body.end());
    if (pad && body.size() % 2) b.push_back(0);
}

// 16-bit mono 22050 Hz, cut or extended to `size` bytes.
Bytes fmt_body(size_t size = 16) {
    Bytes f = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xac, 0, 0, 2, 0, 16, 0};
    f.resize(size, 0xEE);
    return f;
}

Bytes riff(const Bytes& chunks, i64 riff_size = -1) {
    Bytes b;
    put_id(b, "RIFF");
    put32(b, riff_size < 0 ? u32(4 + chunks.size()) : u32(riff_size));
    put_id(b, "WAVE");
    b.insert(b.end(), chunks.begin(), chunks.end());
    return b;
}

Bytes head(Bytes b, size_t n) {
    b.resize(n);
    return b;
}

Bytes samples(size_t n) {
    Bytes d(n);
    for (size_t i = 0; i < n; ++i) d[i] = u8(i * 7 + 1);
    return d;
}

struct Parsed {
    bool ok;
    WaveFormat format;
    long data_offset;  // -1: null
    u32 size;
};

// Parses from an allocation of exactly the file's size.
Parsed parse(const Bytes& file, bool want_format = true, bool want_data = true, bool want_size = true) {
    std::unique_ptr<u8[]> copy(new u8[file.size() ? file.size() : 1]);
    if (!file.empty()) std::memcpy(copy.get(), file.data(), file.size());
    Parsed p{};
    const u8* data = nullptr;
    p.ok = wave_parse(copy.get(), file.size(), want_format ? &p.format : nullptr, want_data ? &data : nullptr,
                      want_size ? &p.size : nullptr);
    p.data_offset = data ? long(data - copy.get()) : -1;
    return p;
}
}  // namespace

TEST(WaveParse, WellFormedAndMalformedFiles) {
    Bytes plain, data_first, odd_padded, odd_unpadded, short_fmt13, short_fmt14, fmt_with_ext, list_odd;
    chunk(plain, "fmt ", 16, fmt_body());
    chunk(plain, "data", 6, samples(6));
    chunk(data_first, "data", 6, samples(6));
    chunk(data_first, "fmt ", 16, fmt_body());
    chunk(odd_padded, "LIST", 3, samples(3));
    chunk(odd_padded, "fmt ", 16, fmt_body());
    chunk(odd_padded, "data", 6, samples(6));
    chunk(odd_unpadded, "LIST", 3, samples(3), false);
    chunk(odd_unpadded, "fmt ", 16, fmt_body());
    chunk(odd_unpadded, "data", 6, samples(6));
    chunk(short_fmt13, "fmt ", 13, fmt_body(13));
    chunk(short_fmt13, "data", 6, samples(6));
    chunk(short_fmt14, "fmt ", 14, fmt_body(14));
    chunk(short_fmt14, "data", 6, samples(6));
    chunk(fmt_with_ext, "fmt ", 20, [] {
        Bytes f = fmt_body(20);
        f[16] = 22;  // claims a 22-byte extension, holds 2
        f[17] = 0;
        return f;
    }());
    chunk(fmt_with_ext, "data", 4, samples(4));
    Bytes odd_data;  // the last chunk odd and without its pad byte
    chunk(odd_data, "fmt ", 16, fmt_body());
    chunk(odd_data, "data", 5, samples(5), false);

    Bytes data_past_end, fmt_past_end, huge_chunk;
    chunk(data_past_end, "fmt ", 16, fmt_body());
    chunk(data_past_end, "data", 100, samples(6));
    chunk(fmt_past_end, "fmt ", 40, fmt_body());
    chunk(huge_chunk, "junk", 0xFFFFFFFFu, samples(2));
    chunk(huge_chunk, "fmt ", 16, fmt_body());
    chunk(huge_chunk, "data", 2, samples(2));
    Bytes huge_data;
    chunk(huge_data, "fmt ", 16, fmt_body());
    chunk(huge_data, "data", 0xFFFFFFFEu, samples(2));
    Bytes no_data;
    chunk(no_data, "fmt ", 16, fmt_body());

    struct Case {
        const char* what;
        Bytes file;
        bool ok;
        long data_offset;  // from the start of the file
        u32 size;
    } cases[] = {
        {"plain", riff(plain), true, 44, 6},
        {"data before format", riff(data_first), true, 20, 6},
        {"odd chunk with its pad byte", riff(odd_padded), true, 56, 6},
        {"odd chunk without its pad byte", riff(odd_unpadded), false, 0, 0},
        {"13-byte format", riff(short_fmt13), false, 0, 0},
        {"14-byte format", riff(short_fmt14), true, 42, 6},
        {"format with a short extension", riff(fmt_with_ext), true, 48, 4},
        {"last chunk odd without pad", riff(odd_data), true, 44, 5},
        {"RIFF size larger than the bytes", riff(plain, 1000000), true, 44, 6},
        {"RIFF size 0xFFFFFFFF", riff(plain, 0xFFFFFFFFu), true, 44, 6},
        {"RIFF size ends before the data", riff(plain, 4 + 24), false, 0, 0},
        {"data chunk past the end", riff(data_past_end), false, 0, 0},
        {"format chunk past the end", riff(fmt_past_end), false, 0, 0},
        {"chunk size near 4 GiB", riff(huge_chunk), false, 0, 0},
        {"data size near 4 GiB", riff(huge_data), false, 0, 0},
        {"no data chunk", riff(no_data), false, 0, 0},
        {"empty", Bytes{}, false, 0, 0},
        {"RIFF only", Bytes{'R', 'I', 'F', 'F'}, false, 0, 0},
        {"header truncated", head(riff(plain), 11), false, 0, 0},
        {"header only", head(riff(plain), 12), false, 0, 0},
        {"chunk header truncated", head(riff(plain), 17), false, 0, 0},
        {"format body truncated", head(riff(plain), 30), false, 0, 0},
        {"data body truncated", head(riff(plain), 47), false, 0, 0},
        {"not RIFF", [&] { Bytes b = riff(plain); b[0] = 'X'; return b; }(), false, 0, 0},
        {"not WAVE", [&] { Bytes b = riff(plain); b[11] = 'X'; return b; }(), false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Parsed p = parse(c.file);
        EXPECT_EQ(p.ok, c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(p.data_offset, c.data_offset);
        EXPECT_EQ(p.size, c.size);
        EXPECT_EQ(p.format.format_tag, 1);
        EXPECT_EQ(p.format.channels, 1);
        EXPECT_EQ(p.format.samples_per_sec, 22050u);
    }
}

TEST(WaveParse, ShortFormatChunksArriveZeroFilled) {
    for (size_t n : {14u, 15u, 16u, 17u, 18u}) {
        SCOPED_TRACE(n);
        Bytes body;
        chunk(body, "fmt ", u32(n), fmt_body(n));
        chunk(body, "data", 2, samples(2));
        const Parsed p = parse(riff(body));
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.format.avg_bytes_per_sec, 44100u);
        EXPECT_EQ(p.format.block_align, 2);
        EXPECT_EQ(p.format.bits_per_sample, n >= 15 ? 16 : 0);
        // Byte 16 of a 17-byte chunk is the extension size's low byte (0xEE from the filler).
        EXPECT_EQ(p.format.extra_size, 0) << "no extension bytes were really there";
    }
    Bytes ext;
    chunk(ext, "fmt ", 22, [] {
        Bytes f = fmt_body(22);
        f[16] = 0xFF;  // claims 0xFFFF extension bytes, holds 4
        f[17] = 0xFF;
        return f;
    }());
    chunk(ext, "data", 2, samples(2));
    const Parsed p = parse(riff(ext));
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.format.extra_size, 4);
}

TEST(WaveParse, OutArgumentsNotWantedChangeWhatCounts) {
    Bytes fmt_only, data_only, short_fmt_then_data;
    chunk(fmt_only, "fmt ", 16, fmt_body());
    chunk(data_only, "data", 6, samples(6));
    chunk(short_fmt_then_data, "fmt ", 13, fmt_body(13));
    chunk(short_fmt_then_data, "data", 6, samples(6));
    struct Case {
        const char* what;
        Bytes file;
        bool format, data, size, ok;
    } cases[] = {
        {"format alone, none of data wanted", riff(fmt_only), true, false, false, true},
        {"data alone, format not wanted", riff(data_only), false, true, true, true},
        {"size alone", riff(data_only), false, false, true, true},
        {"short format skipped when not wanted", riff(short_fmt_then_data), false, true, true, true},
        {"nothing wanted", riff(data_only), false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(parse(c.file, c.format, c.data, c.size).ok, c.ok);
    }
    EXPECT_FALSE(wave_parse(nullptr, 100, nullptr, nullptr, nullptr));
}
