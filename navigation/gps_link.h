// The link to the host's flight-plan data: binds the two named blocks and converts the data
// block into the gps_ variables once a frame. Run by the navigation-source switch's gauge.
#pragma once
#include "module/types.h"

// Binds whichever block is still unbound (retried every frame while the host answers null).
void gps_link_bind();
// Converts the data block (or the defaults without a valid one), splits the present position
// for the CDU, sets the NAV course word and copies the two headings.
void gps_link_convert();
