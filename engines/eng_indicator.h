// The mechanism every primary engine dial shares: a main needle that slews toward the host's
// value, a tell-tale that only rises, digit drums that show the value at once, an OFF flag over
// the drums while unpowered, and a lit face. Each dial names its own variables and passes its
// parameters; nothing here is kept between calls.
// Reads: light_zone, annunciator_bright
#pragma once
#include "module/drums.h"
#include "module/gauge.h"
#include "module/lighting.h"

// One dial's numbers.
struct DialSpec {
    f64 step;            // needle slew per frame, in panel units
    f64 scale_max;       // the main needle is held within 0 .. scale_max
    u32 telltale_cut;    // the tell-tale's ceiling
    f64 digit_max;       // the drums show 0 .. digit_max
    f64 leading_weight;  // weight of the leading drum (each next drum a tenth of it)
    u32 drums;           // 2 to 4
};

// One dial's variables, bound to its own module-wide names.
struct DialVars {
    f64& shown;        // what the main needle shows
    f64& digits;       // what the drums show, taken only while powered
    u32* telltale;     // null on a dial without one
    EngineDrums& drums;
};

// Lighting: the walked elements from the zone; the lit face shown only while the zone is lit and
// the unlit face's night image dropped while it is dark.
void dial_light(const GaugeHeader& gauge, const LightWalk& walk, ElementHeader* face, ElementHeader* lit_face);

// Slew of the shown value S toward R: powered, up by `step` a frame or straight onto R; unpowered,
// down by `step` a frame to 0. A non-finite R is no reading: S holds. Returns whether R was taken.
bool dial_slew(f64& shown, f64 raw, f64 step, bool powered);

// The digit value from a finite reading, held within 0 .. max so that every drum stays on its strip.
f64 dial_digits(f64 value, f64 max);

// The tell-tale rises to the whole part of S, never down.
void dial_telltale_rise(u32& telltale, f64 shown);

// One frame of a dial whose digit value is its raw value: slew, digits, tell-tale, drums, flag.
void dial_frame(const DialSpec& spec, DialVars& v, bool powered, f64 raw, ElementHeader* off_flag);

// Value callbacks' clamps, written back so that the next frame starts from them. A shown value
// that is not a number reads 0.
f64 dial_needle(f64& shown, f64 scale_max);
f64 dial_telltale_needle(u32& telltale, u32 cut);

// The drums of every dial: a tenths-of-a-digit strip with a blank leading strip.
constexpr u32 kBmpDrumStrip = 1222;
constexpr u32 kBmpDrumStripBlank = 1244;
constexpr u32 kBmpOffFlagFour = 1228;
constexpr u32 kBmpOffFlagThree = 1232;
constexpr u32 kBmpTelltaleNeedle = 1235;
constexpr u32 kBmpMainNeedle = 1238;

// The banded drums of the four-drum counters to a tenth of a percent (N1, N2), by the place each
// shows: roll threshold (band), snap limit.
constexpr drum::Band kPercentUnitsBand = drum::band(0.9, 9.99, 0.9, 10, drum::Reversed);
constexpr drum::Band kPercentTensBand = drum::band(0.99, 9.999, 0.99, 100, drum::Reversed);
constexpr drum::Band kPercentHundredsBand = drum::band(0.999, 9.999, 0.999, 1000, drum::Reversed);

// Element flags as the dials' records carry them.
constexpr u32 kDialFaceFlags = ImageOption1;
constexpr u32 kDialLitFaceFlags = ImageHidden | ImageLuminous | ImageOption1 | ImageOption2;
constexpr u32 kDialDrumFlags = ImageLuminous | ImageOption2;
constexpr u32 kDialLeadingDrumFlags = ImageLuminous | ImageOption1 | ImageOption2;
constexpr u32 kDialFlagFlags = ImageHidden | ImageLuminous | ImageOption2;
constexpr u32 kDialNeedleFlags = ImageLuminous | ImageOption1 | ImageOption2;

// Drum states of the dials (whole parts and per-drum input, digit and position).
extern EngineDrums eng_n1_drums_1, eng_n1_drums_2;
extern EngineDrums eng_ff_drums_1, eng_ff_drums_2;
extern EngineDrums eng_egt_drums_1, eng_egt_drums_2;
extern EngineDrums eng_n2_drums_1, eng_n2_drums_2;
