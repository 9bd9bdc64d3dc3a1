// Ground proximity warning modes: placeholder until the modes are built.
#include "core/gpws_modes.h"

void gpws_modes_frame() {}
