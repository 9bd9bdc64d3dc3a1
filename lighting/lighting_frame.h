// Panel lighting steps of the systems computer.
#pragma once

// Night rule with the host's panel lights, the first-frame refresh request and the refresh key
// sequence (the flight-deck panel's switch images are set just before, by its own gauge file).
void lighting_host_frame();
// Lamp test flag, time of day from the host and the six lighting zones.
void lighting_zones_frame();
