// Ground proximity warning modes, run once per frame from the aural warning unit's callback.
#pragma once

void gpws_modes_frame();
