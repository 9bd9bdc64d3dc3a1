// Probe heat, PROBES, pitot fault, PNEU and air-data validity: two steps of the systems
// computer, the heaters after the trim monitor and the air data after the lighting refresh.
#pragma once

// Heater bytes, host pitot heat, PROBES.
void probes_heat_frame();
// Pitot fault, PNEU, air data computer validity and power, A D S.
void air_data_frame();
