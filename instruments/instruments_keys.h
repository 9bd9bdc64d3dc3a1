// Host key events sent by the flight instruments.
#pragma once
#include "module/types.h"

// Sets the host's altimeter setting; the value is in sixteenths of a hectopascal.
constexpr u32 key_baro_set = 0x101f8;
