// Start-up and easy-start presets of the systems computer: filled in by the presets work.
// Reads: (none yet)
// Writes: (none yet)
#include "core/presets.h"

void startup_preset_frame() {}
void presets_frame() {}
