// The cockpit's WAV files built into the Linux library (generated from resources/sounds).
#pragma once
#include <cstddef>

#include "module/types.h"

struct EmbeddedSound {
    const char* name;
    const u8* bytes;
    size_t length;
};
extern const EmbeddedSound kEmbeddedSounds[];
extern const u32 kEmbeddedSoundCount;
