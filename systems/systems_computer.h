// The systems computer: once per frame it recomputes the aircraft's shared system state.
#pragma once
#include "module/host_interface.h"

// Gauge callback of "ketravin flt_deck_lt_kr60"; acts on ServicePreUpdate only.
void FSAPI systems_tick(GaugeHeader* gauge, i32 service_id, u32 extra);

// Debug builds: aborts, naming the variable, when a shared value left the range the systems
// computer keeps it in (a non-finite shared double, a switch or level byte out of range, a
// powered bus without a live source).
void systems_check_invariants();
