// Failure selection, timers and activation of the systems computer: filled in by the failures work.
// Reads: (none yet)
// Writes: (none yet)
#include "core/failure_timers.h"

void failure_apply_enable_frame() {}
void failure_timers_frame() {}
void failure_apply_enable_end_frame() {}
