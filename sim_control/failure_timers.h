// Failure selection, timers and activation, run by the systems computer around the presets.
#pragma once

// Selection sum and Apply enable, before the presets.
void failure_apply_enable_frame();
// Countdowns, engine failures, failed states, random and typical failures, cancel all.
void failure_timers_frame();
// Apply enable cleared when the applied selection sum equals the current one (end of the step).
void failure_apply_enable_end_frame();

// VALID on the failures panel: while Apply is enabled, every armed selection becomes active and
// the timed ones take the simulation time (whole seconds, 32 bits) as their start; in any case
// the current selection sum becomes the applied one.
void failures_apply();
// Clears the engine, APU, generator and hydraulic failures and the fire states, and refills
// the engine fire agents (EASY START, COLD START and CANCEL ALL FAILURES).
void clear_failures_and_fires();
