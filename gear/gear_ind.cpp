// Gear position lights of the main panel: for the left main, nose and right main gear a green
// down arrow, a red lamp and an amber DOOR lamp, lit every frame from the host's gear handle and
// the gear's position. No state of its own beyond the lamps; bright lamps that take no part in the
// panel lighting.
// Reads: dc_ess_powered, light_lamp_test, tok_gear_handle, tok_gear_*_pos
// Writes: nothing shared
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/panel_images.h"
#include "module/tokens.h"

GaugeHeader gauge_gear_ind;

namespace {
// Lamps of one column follow at a stride of three: arrows, then red lamps, then DOOR lamps.
enum Pos : size_t {
    Background,
    ArrowLeft, ArrowNose, ArrowRight,
    RedLeft, RedNose, RedRight,
    DoorLeft, DoorNose, DoorRight,
    kElements
};
constexpr size_t kGears = 3;

constexpr u32 kBmpRed = 2032, kBmpDoor = 2035;
using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //          bitmap  x   y  start flags
    el::Static(2028,    0,  0, Opt3),
    el::Icon(2038,      8, 36, Hid | Bri | Opt3),
    el::Icon(2041,     29, 36, Hid | Bri | Opt3),
    el::Icon(2044,     50, 36, Hid | Bri | Opt3),
    el::Icon(kBmpRed,   9, 19, Hid | Bri | Opt3),
    el::Icon(kBmpRed,  30, 19, Hid | Bri | Opt3),
    el::Icon(kBmpRed,  51, 19, Hid | Bri | Opt3),
    el::Icon(kBmpDoor,  9,  2, Hid | Bri | Opt3),
    el::Icon(kBmpDoor, 30,  2, Hid | Bri | Opt3),
    el::Icon(kBmpDoor, 51,  2, Hid | Bri | Opt3),
};
const RectDef kNoClicks[2] = {rect::Parent(), rect::EndParent()};

void FSAPI gear_ind_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_gear_ind, "ketravin gear_ind_kr60", 72, gear_ind_update, kElementDefs, kNoClicks);

struct Lamps {
    bool arrow, red, door;
};
constexpr Lamps kAllOn{true, true, true};

// Each table answers with the first band the position lies in, and false when it lies in none
// (a position that is no number): that gear's lamps then keep what they showed.

// Handle up: each band holds its lower threshold. The lamp test acts only once the gear is up.
bool handle_up(f64 p, bool test, Lamps& l) {
    if (p >= 16000.0) l = {true, true, false};
    else if (p >= 9000.0) l = kAllOn;
    else if (p >= 3000.0) l = {false, true, true};
    else if (p >= 10.0) l = {false, false, true};
    else if (p < 10.0) l = test ? kAllOn : Lamps{false, false, false};
    else return false;
    return true;
}

// Handle down: each band holds its upper threshold. The lamp test acts only once down and locked.
bool handle_down(f64 p, bool test, Lamps& l) {
    if (p <= 300.0) l = {false, true, false};
    else if (p <= 13000.0) l = {false, true, true};
    else if (p <= 16000.0) l = {true, false, true};
    else if (p > 16000.0) l = test ? kAllOn : Lamps{true, false, false};
    else return false;
    return true;
}

void FSAPI gear_ind_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    if (dc_ess_powered != 1) {
        for (size_t pos = ArrowLeft; pos < kElements; ++pos) set_hidden(gauge.el(pos), true);
        return;
    }
    // Positions and handle as the host gives them: only exactly 0.0 is handle up.
    const f64 pos[kGears] = {tok_read(tok_gear_left_pos), tok_read(tok_gear_nose_pos),
                             tok_read(tok_gear_right_pos)};
    const bool up = tok_read(tok_gear_handle) == 0.0;
    const bool test = light_lamp_test == 1;
    for (size_t i = 0; i < kGears; ++i) {
        Lamps l{};
        if (!(up ? handle_up(pos[i], test, l) : handle_down(pos[i], test, l))) continue;
        show_if(gauge.el(ArrowLeft + i), l.arrow);
        show_if(gauge.el(RedLeft + i), l.red);
        show_if(gauge.el(DoorLeft + i), l.door);
    }
}
}  // namespace
