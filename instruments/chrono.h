// The clock's power and its chronometer button, shared with the map-light panel's CHR button.
#pragma once

// Battery 1 switched on with charge left, or the DC essential bus. Tested afresh on every use.
bool clock_powered();
// One CHR press: reset -> running (only while powered) -> stopped -> reset request -> reset.
void chrono_chr_press();
