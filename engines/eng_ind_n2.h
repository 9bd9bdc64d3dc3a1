// The N2 dial, described once for either engine: a 0..120 % needle with a maximum tell-tale and
// a four-drum counter to a tenth of a percent. A gauge of it names its token, its bus flag, its
// variables and its two needle callbacks; everything else is here.
#pragma once
#include "engines/eng_indicator.h"
#include "module/tokens.h"

enum N2Pos : size_t {
    N2Face, N2LitFace, N2Tenths, N2Units, N2Tens, N2Hundreds, N2OffFlag, N2Telltale, N2Needle, kN2Elements
};

constexpr DialSpec kN2Spec{5.0, 120.0, 120, 999.9, 100.0, 4};
constexpr u32 kN2WidthMm = 153;
constexpr LightWalk kN2Walk{1, walk_range(N2LitFace, N2Needle)};  // engine instruments; not the face

struct N2Elements {
    ElementDef e[kN2Elements];
};
// The element lines bound to one engine's drums and needle callbacks.
N2Elements n2_dial_elements(EngineDrums& drums, ElementValueFn needle, ElementValueFn telltale);

// One frame: lighting, then the family's steps from the engine's N2 in percent, refreshed every
// frame whether powered or not.
template <typename G>
void n2_dial_update(G& gauge, DialVars& vars, TokenVar& n2, bool powered) {
    dial_light(gauge.header(), kN2Walk, gauge.el(N2Face), gauge.el(N2LitFace));
    dial_frame(kN2Spec, vars, powered, tok_read(n2), gauge.el(N2OffFlag));
}
