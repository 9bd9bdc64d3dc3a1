// Failure selection, timers and activation, run by the systems computer around the presets.
#pragma once

// Selection sum and Apply enable, before the presets.
void failure_apply_enable_frame();
// Countdowns, engine failures, failed states, random and typical failures, cancel all.
void failure_timers_frame();
// Apply enable cleared when the applied selection sum equals the current one (end of the step).
void failure_apply_enable_end_frame();
