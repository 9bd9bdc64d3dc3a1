// Private state of the fuel counters: one record per fuel-used and per quantity indicator. The
// records hold the drum inputs their gauges split each frame and the drums read while drawn.
#pragma once
#include "module/types.h"

struct FuelUsedIndicator {
    u8 timer_armed;  // 0 idle, 1 waiting for due_s
    f64 due_s;       // host time of the next addition
    f64 digit5_scaled, digit4_scaled, digit3_scaled, digit2_scaled, digit1_scaled;
    f64 digit5_roll, digit4_roll, digit3_roll, digit2_roll;
    f64 digit1_drum;
};

struct FuelQtyIndicator {
    f64 shown;      // weight on the needle and the counters, in the selected unit
    f64 target;     // the tank's weight in the selected unit
    u8 test_phase;  // 0 rising to full scale, 1 falling back
    f64 digit5_scaled, digit5_roll;
    f64 digit4_scaled, digit4_roll;
    f64 digit3_scaled, digit3_roll;
    f64 digit2_scaled, digit2_roll;
    f64 digit1_scaled;
    f64 digit1_drum;
};

extern FuelUsedIndicator fuel_used_ind_1, fuel_used_ind_2;
extern FuelQtyIndicator fuel_qty_ind_m_left, fuel_qty_ind_m_right, fuel_qty_ind_a_center, fuel_qty_ind_a_left,
    fuel_qty_ind_a_right;
