// The N1 target laws: one step of the N1 target computer's frame, run only while AC bus 1 and air
// data computer 1 are good.
#pragma once

// Temperatures, altitude and the selected mode's law into eng_n1_target_computed (copied to
// eng_n1_target_selected), then the highest engine N1 and its error against the selected target.
void n1_laws_step();
// The laws' latest readings, taken every frame before the run condition (running: the laws' own
// refresh of the tokens; otherwise without touching the records other gauges read).
void n1_laws_watch(bool running);
// A computer placed again starts with no readings.
void n1_laws_forget();
