// HP fuel valves, yaw dampers, pitch trim channels, trim stop and trim runaway monitor: the
// systems computer's step after the hydraulic model.
#pragma once

void yaw_trim_frame();
// A systems computer placed again starts with no reading of the trim axis.
void yaw_trim_forget();
