// The WAV parser on well-formed and malformed files: every case is parsed from an exact-size
// heap copy, so that AddressSanitizer catches any read past the bytes given.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "sound/wave.h"

namespace {
using Bytes = std::vector<u8>;

// A chunk with its declared size, its body, and the pad byte after an odd body unless left out.
struct Chunk { const char* id; u32 declared; Bytes body; bool pad = true; };

Bytes samples(size_t n) {
    Bytes d(n);
    for (size_t i = 0; i < n; ++i) d[i] = u8(i * 7 + 1);
    return d;
}

// 16-bit mono 22050 Hz, cut or extended (0xEE filler) to `size` bytes, `ext` as extension size.
Bytes fmt_body(size_t size = 16, u16 ext = 0xEEEE) {
    Bytes f = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xac, 0, 0, 2, 0, 16, 0, u8(ext), u8(ext >> 8)};
    f.resize(size, 0xEE);
    return f;
}
Chunk F(size_t size = 16, u16 ext = 0xEEEE) { return {"fmt ", u32(size), fmt_body(size, ext)}; }
Chunk D(u32 n, bool pad = true) { return {"data", n, samples(n), pad}; }

Bytes riff(std::initializer_list<Chunk> chunks, i64 riff_size = -1) {
    const auto put32 = [](Bytes& b, u32 v) {
        for (int i = 0; i < 4; ++i) b.push_back(u8(v >> (8 * i)));
    };
    Bytes c;
    for (const Chunk& k : chunks) {
        c.insert(c.end(), k.id, k.id + 4);
        put32(c, k.declared);
        c.insert(c.end(), k.body.begin(), k.body.end());
        if (k.pad && k.body.size() % 2) c.push_back(0);
    }
    Bytes b = {'R', 'I', 'F', 'F'};
    put32(b, riff_size < 0 ? u32(4 + c.size()) : u32(riff_size));
    b.insert(b.end(), {'W', 'A', 'V', 'E'});
    b.insert(b.end(), c.begin(), c.end());
    return b;
}

// The first `keep` bytes, byte `at` (if any) changed to `to`.
Bytes changed(Bytes b, size_t keep, size_t at = SIZE_MAX, u8 to = 0) {
    if (at < b.size()) b[at] = to;
    b.resize(keep);
    return b;
}

struct Parsed { bool ok; WaveFormat format; long data_offset /* -1: null */; u32 size; };

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
    const Bytes plain = riff({F(), D(6)});
    const size_t n = plain.size();
    // A short format chunk arrives zero-filled; the extension size is cut to the bytes really there.
    // Data offset from the start of the file, data size, bits and extension size when it parses.
    struct Case { const char* what; Bytes file; bool ok; long data_offset = 0; u32 size = 0; u16 bits = 16, extra = 0; }
    cases[] = {
        {"plain", plain, true, 44, 6},
        {"data before format", riff({D(6), F()}), true, 20, 6},
        {"odd chunk with its pad byte", riff({{"LIST", 3, samples(3)}, F(), D(6)}), true, 56, 6},
        {"odd chunk without its pad byte", riff({{"LIST", 3, samples(3), false}, F(), D(6)}), false},
        {"last chunk odd without pad", riff({F(), D(5, false)}), true, 44, 5},
        {"13-byte format", riff({F(13), D(6)}), false},
        {"14-byte format", riff({F(14), D(6)}), true, 42, 6, 0},
        {"17-byte format", riff({F(17), D(2)}), true, 46, 2},  // byte 16 is filler, not an extension
        {"extension cut to 4 bytes", riff({F(22, 0xFFFF), D(2)}), true, 50, 2, 16, 4},
        {"RIFF size larger than the bytes", riff({F(), D(6)}, 1000000), true, 44, 6},
        {"RIFF size 0xFFFFFFFF", riff({F(), D(6)}, 0xFFFFFFFFu), true, 44, 6},
        {"RIFF size ends before the data", riff({F(), D(6)}, 4 + 24), false},
        {"data chunk past the end", riff({F(), {"data", 100, samples(6)}}), false},
        {"format chunk past the end", riff({{"fmt ", 40, fmt_body()}}), false},
        {"chunk size near 4 GiB", riff({{"junk", 0xFFFFFFFFu, samples(2)}, F(), D(2)}), false},
        {"data size near 4 GiB", riff({F(), {"data", 0xFFFFFFFEu, samples(2)}}), false},
        {"no data chunk", riff({F()}), false},
        {"empty", Bytes{}, false},
        {"header truncated", changed(plain, 11), false},
        {"chunk header truncated", changed(plain, 17), false},
        {"format body truncated", changed(plain, 30), false},
        {"not RIFF", changed(plain, n, 0, 'X'), false},
        {"not WAVE", changed(plain, n, 11, 'X'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Parsed p = parse(c.file);
        EXPECT_EQ(p.ok, c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(p.data_offset, c.data_offset);
        EXPECT_EQ(p.size, c.size);
        EXPECT_TRUE(p.format.format_tag == 1 && p.format.samples_per_sec == 22050 && p.format.block_align == 2);
        EXPECT_EQ(p.format.bits_per_sample, c.bits);
        EXPECT_EQ(p.format.extra_size, c.extra);
    }
}

TEST(WaveParse, OutArgumentsNotWantedChangeWhatCounts) {
    struct Case { const char* what; Bytes file; bool format, data, size, ok; } cases[] = {
        {"format alone", riff({F()}), true, false, false, true},
        {"data alone", riff({D(6)}), false, true, true, true},
        {"size alone", riff({D(6)}), false, false, true, true},
        {"short format skipped when not wanted", riff({F(13), D(6)}), false, true, true, true},
        {"nothing wanted", riff({D(6)}), false, false, false, false},
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.file, c.format, c.data, c.size).ok, c.ok) << c.what;
    EXPECT_FALSE(wave_parse(nullptr, 100, nullptr, nullptr, nullptr));
}
