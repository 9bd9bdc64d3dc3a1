// Images and start flags shared by the hydraulic, flight-control and anti-ice panels: flow bars,
// toggle levers, and the shorthand their element tables use for the start image flags.
#pragma once
#include "module/gauge.h"

constexpr u32 kBmpBarInLine = 275;     // green flow bar, in line (open, connected, running)
constexpr u32 kBmpBarCrossLine = 278;  // green flow bar with a white bar across (shut)
constexpr u32 kBmpToggleDown = 294;    // small toggle lever, down
constexpr u32 kBmpToggleUp = 297;      // small toggle lever, up
constexpr u32 kBmpOverheadCentre = 300;  // overhead lever, centred
constexpr u32 kBmpOverheadDown = 304;    // overhead lever, down
constexpr u32 kBmpOverheadUp = 307;      // overhead lever, up

// Start image flags, as the element tables list them. Opt1 and Opt2 are the host's option bits.
namespace fl {
constexpr u32 Hid = ImageHidden, Lum = ImageLuminous, Bri = ImageBright;
constexpr u32 Opt1 = ImageOption1, Opt2 = ImageOption2, Opt3 = ImageOption1 | ImageOption2;
}  // namespace fl

// Shows one of a down/up image pair at consecutive positions.
template <typename G>
void show_up_down(G& gauge, size_t down, bool up) {
    show_if(gauge.el(down), !up);
    show_if(gauge.el(down + 1), up);
}

// Shows at most one image of a shut/open pair at consecutive positions; neither when unpowered.
template <typename G>
void show_shut_open(G& gauge, size_t shut, bool powered, bool open) {
    show_if(gauge.el(shut), powered && !open);
    show_if(gauge.el(shut + 1), powered && open);
}
