// Electrical network: the systems computer's first computing step of every frame.
#pragma once

// Generator loads, TR outputs, battery current and charge, the host battery check, battery
// lamps, DC buses, transfer contactors, AC buses and the AC essential bus, in that order.
void elec_network_frame();
