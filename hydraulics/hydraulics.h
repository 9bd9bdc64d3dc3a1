// Hydraulic model and flight-control availability: the systems computer's step after the
// electrical network.
#pragma once

// Electric pumps, the four line pressures, availability, the actions on loss of hydraulics and
// the engine pump ramps, in that order.
void hydraulics_frame();
// A systems computer placed again starts with no reading of the gear.
void hydraulics_forget();
