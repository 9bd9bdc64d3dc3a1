// The engine feed selection, run inside the centre-tank pump panel's frame.
#pragma once

// Works out which host tank feeds each engine and brings the host's two selectors into line.
void fuel_feed_step();
