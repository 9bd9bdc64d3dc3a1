// The flight-director computer, run by the main attitude indicator's frame after its attitude
// display: first the capture logic and the bar sources, then the command bars.
#pragma once
#include "module/types.h"

// Navaid flags, V/L capture, glide-slope capture and V/S command, roll and pitch sources.
void fd_capture_step();
// Moves the roll, pitch and roll-out bars toward the sources of this frame's capture step.
void fd_bars_step();

// Signed shortest turn from heading h to target t, 0 within the dead band (bounds included);
// `previous` when h is outside 0..360 (360 itself freezes the error too).
f64 fd_heading_error(f64 t, f64 h, f64 dead_band, f64 previous);
