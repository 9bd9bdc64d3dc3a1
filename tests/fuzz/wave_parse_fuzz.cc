// Fuzz target: the WAV parser on arbitrary bytes, with every choice of wanted results. What it
// finds must lie inside the bytes given; the sanitizers catch any read outside them.
// fuzz-sources: sound/wave.cpp
// fuzz-seeds: resources/sounds/CLICK.wav resources/sounds/CLICLICLIC.wav
#include <cstddef>
#include <cstdint>

#include "sound/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t length) {
    for (unsigned wanted = 0; wanted < 8; ++wanted) {
        WaveFormat format;
        const u8* data = nullptr;
        u32 size = 0;
        const bool ok = wave_parse(bytes, length, (wanted & 1) ? &format : nullptr, (wanted & 2) ? &data : nullptr,
                                   (wanted & 4) ? &size : nullptr);
        if (!ok) continue;
        if (wanted & 1) {
            if (format.extra_size > sizeof format.extra) __builtin_trap();
        }
        if (wanted & 2) {
            if (!data || data < bytes || data > bytes + length) __builtin_trap();
            const size_t n = (wanted & 4) ? size : 0;
            if (size_t(bytes + length - data) < n) __builtin_trap();
            // Touch what a fill would copy.
            volatile u8 sink = 0;
            for (size_t i = 0; i < n; ++i) sink = sink ^ data[i];
        }
    }
    return 0;
}
