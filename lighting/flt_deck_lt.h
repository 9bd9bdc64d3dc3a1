// The flight-deck lighting panel "ketravin flt_deck_lt_kr60", whose callback is the systems
// computer.
#pragma once
#include "module/host_interface.h"

extern GaugeHeader gauge_flt_deck_lt;

// Shows the annunciator light switch's image for its position (DIM, BRT or TEST) and keeps
// the fixed images shown and the spare one hidden.
void flt_deck_lt_images();
