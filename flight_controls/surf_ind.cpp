// Surface position and trim indicator of the main panel: elevator, stabiliser trim (pointer or
// scrolling tape), spoilers, rudder and aileron pointers; a blue light for the low-speed aileron
// view and a red light for a trim outside the take-off band on the ground, which also raises the
// take-off configuration trim warning. Two silent clicks swap the STAB and aileron views.
// Reads: fctl_pitch_trim_deg, fctl_lo_spd_ail_active, warn_to_config_test_count,
//        elec_ac_bus2_powered, dc_ess_powered, hyd_all_lost, light_lamp_test, light_zone,
//        annunciator_bright
// Writes: inst_surf_*, warn_to_config_trim
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "hydraulics/state.h"
#include "lighting/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/tokens.h"
#include "warnings/state.h"

GaugeHeader gauge_surf_ind;

namespace {
enum Pos : size_t {
    Face, FaceLit, AilViewLight, TrimLight, TrimPointer, TrimTape, TapeMask, TapeIndex,
    Elevator, Rudder, AileronLeft, AileronRight, SpoilerLeft, SpoilerRight, kElements
};

f64 FSAPI spoiler_right_y(ElementHeader*) { return inst_surf_spoiler_right_px; }
f64 FSAPI spoiler_left_y(ElementHeader*) { return inst_surf_spoiler_left_px; }
f64 FSAPI aileron_right_y(ElementHeader*) { return inst_surf_aileron_right_px; }
f64 FSAPI aileron_left_y(ElementHeader*) { return inst_surf_aileron_left_px; }
f64 FSAPI rudder_x(ElementHeader*) { return inst_surf_rudder_px; }
f64 FSAPI elevator_y(ElementHeader*) { return inst_surf_elevator_px; }
f64 FSAPI trim_tape_x(ElementHeader*) { return 1.0; }
f64 FSAPI trim_tape_y(ElementHeader*) { return inst_surf_trim_tape_pos; }
f64 FSAPI trim_pointer_y(ElementHeader*) { return inst_surf_trim_px; }

constexpr u32 kBmpRight = 2003, kBmpLeft = 2006, kBmpDown = 2009;
constexpr f64 kTapeRange = 20.0;  // the tape moves 0..20 vertically

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //          bitmap   x   y  start flags
    el::Static(1500,     0,  0, Opt3),
    el::Icon(10060,      0,  0, Hid | Lum | Opt3),
    el::Icon(2016,       6, 92, Hid | Bri | Opt3),
    el::Icon(2019,      94,  3, Hid | Bri | Opt3),
    el::Slider(kBmpRight, 58, 24, Lum | Opt3, nullptr, trim_pointer_y),
    el::Moving(2012,    63,  3, Hid | Lum | Opt2, kTapeRange, trim_tape_x, trim_tape_y),
    el::Static(5273,    63,  2, Hid | Opt3 | ImageOption2000),
    el::Icon(kBmpRight, 58, 17, Hid | Lum | Opt3),
    el::Slider(kBmpLeft,  44, 24, Lum | Opt3, nullptr, elevator_y),
    el::Slider(kBmpDown,  51, 47, Lum | Opt3, rudder_x, nullptr),
    el::Slider(kBmpRight, 39, 81, Lum | Opt3, nullptr, aileron_left_y),
    el::Slider(kBmpLeft,  63, 81, Lum | Opt3, nullptr, aileron_right_y),
    el::Slider(kBmpLeft,  16, 73, Lum | Opt3, nullptr, spoiler_left_y),
    el::Slider(kBmpRight, 86, 73, Lum | Opt3, nullptr, spoiler_right_y),
};

i32 FSAPI ail_view_click(MousePoint*, u32) {
    inst_surf_lo_spd_ail_view = inst_surf_lo_spd_ail_view == 0 ? 1 : 0;
    return 0;
}
i32 FSAPI trim_view_click(MousePoint*, u32) {
    inst_surf_trim_tape_view = inst_surf_trim_tape_view == 0 ? 1 : 0;
    return 0;
}

const RectDef kRects[2] = {
    //          x   y   w   h  cursor      events           action
    rect::Click(81, 81, 27, 27, CursorHand, MouseLeftSingle, ail_view_click),
    rect::Click(53,  0, 29, 41, CursorHand, MouseLeftSingle, trim_view_click),
};

// The face copy and every pointer take the engine-instrument zone; the lights, the tape's mask
// and the plain face keep their record bits.
constexpr LightWalk kWalk{1, walk_positions({FaceLit, TrimPointer, TrimTape}) | walk_range(TapeIndex, SpoilerRight)};

void FSAPI surf_ind_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_surf_ind, "ketravin surf_ind_kr60", 108, surf_ind_update, kElementDefs, kRects);

// Pixels per host unit (elevator up and down, aileron, rudder) and per degree of trim.
constexpr f64 kElevatorUp = 0.001411, kElevatorDown = 0.0006135, kAileron = 0.0011043, kRudder = 0.0013497;
constexpr f64 kTrimUpPxPerDeg = 1.6, kTrimDownPxPerDeg = 1.8, kTrimUpStopPx = 19.0, kTrimDownStopPx = 5.3;

// Pointer rising 1.6 px a degree to its upper stop, falling 1.8 px a degree to its lower one.
f64 trim_pointer(f64 t) {
    if (t >= 0.0) return t * kTrimUpPxPerDeg < kTrimUpStopPx ? -(t * kTrimUpPxPerDeg) : -kTrimUpStopPx;
    return -(t * kTrimDownPxPerDeg) < kTrimDownStopPx ? -(t * kTrimDownPxPerDeg) : kTrimDownStopPx;
}

// Tape: the trim stands at the fixed index from 15 down to -3 degrees of the tape's marks.
f64 trim_tape(f64 t) {
    constexpr f64 kZeroAtIndex = 15.0, kHigh = 12.0, kLow = -3.0;
    if (t >= kLow && t <= kHigh) return kZeroAtIndex - t;
    return t > kHigh ? kZeroAtIndex - kHigh : kZeroAtIndex - kLow;  // a trim not a number reads low
}

// A surface position that is no number leaves its pointer where it stands.
void pointers(f64 t) {
    f64 e = 0.0, p = 0.0, r = 0.0;
    const bool have_e = tok_number(tok_elevator_pos, e);
    const bool have_p = tok_number(tok_aileron_pos, p);
    const bool have_r = tok_number(tok_rudder_pos, r);
    if (have_e) inst_surf_elevator_px = e >= 0.0 ? -(e * kElevatorUp) : -(e * kElevatorDown);
    // The low-speed view centres both ailerons while the low-speed ailerons are not active.
    const bool centred = inst_surf_lo_spd_ail_view == 1 && fctl_lo_spd_ail_active != 1;
    if (centred || have_p) {
        inst_surf_aileron_left_px = centred ? 0.0 : p * kAileron;
        inst_surf_aileron_right_px = centred ? 0.0 : -(p * kAileron);
    }
    inst_surf_trim_px = trim_pointer(t);
    if (have_r) inst_surf_rudder_px = r * kRudder;
}

// Spoilers: the scale is longer on the ground (any token 60 value but 0.0 in the air).
void spoilers(bool moving) {
    constexpr f64 kAir = 0.1533742, kGround = 0.2208589, kPercent = 100.0;
    const f64 ground = tok_read(tok_on_ground);
    f64 left = 0.0, right = 0.0;
    const bool have_left = tok_number(tok_spoilers_left_pos, left);
    const bool have_right = tok_number(tok_spoilers_right_pos, right);
    if (!moving) return;
    const f64 k = ground == 0.0 ? kAir : kGround;
    if (have_left) inst_surf_spoiler_left_px = -(left * k / kPercent);
    if (have_right) inst_surf_spoiler_right_px = -(right * k / kPercent);
}

// Take-off trim check: outside -1.5..3.5 degrees with the aircraft exactly on the ground.
void takeoff_trim_check(f64 t) {
    constexpr f64 kNoseDownLimit = 3.5, kNoseUpLimit = -1.5, kTakeoffN1 = 97.0;
    u8 lamp = 0, warn = 0;
    if (dc_ess_powered == 1 && hyd_all_lost == 0) {
        const f64 ground = tok_read(tok_on_ground);
        const f64 n1_1 = tok_read(tok_eng1_n1), n1_2 = tok_read(tok_eng2_n1);
        if ((t > kNoseDownLimit || t < kNoseUpLimit) && ground == 1.0) {
            lamp = 1;
            warn = n1_1 >= kTakeoffN1 || n1_2 >= kTakeoffN1 || warn_to_config_test_count > 0 ? 1 : 0;
        }
    }
    inst_surf_trim_to_lamp = lamp;
    warn_to_config_trim = warn;
}

void FSAPI surf_ind_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    const f64 t = fctl_pitch_trim_deg;
    // 1. Lighting: the lit face copy shows only with its zone.
    show_if(gauge.el(FaceLit), light_zone[1] == 1);
    light_walk(*g, kWalk);
    // 2.-4. Pointers and tape move with AC bus 2 and any hydraulics, else hold.
    const bool moving = elec_ac_bus2_powered == 1 && hyd_all_lost == 0;
    if (moving) {
        pointers(t);
        inst_surf_trim_tape_pos = trim_tape(t);
    }
    spoilers(moving);
    // 5. Take-off trim check.
    takeoff_trim_check(t);
    // 6. Lights, on the DC essential bus.
    const bool dc = dc_ess_powered == 1;
    show_if(gauge.el(AilViewLight), dc && (inst_surf_lo_spd_ail_view == 1 || light_lamp_test == 1));
    show_if(gauge.el(TrimLight), dc && hyd_all_lost == 0 && (inst_surf_trim_to_lamp == 1 || light_lamp_test == 1));
    // 7. STAB view, whatever the power.
    const bool tape = inst_surf_trim_tape_view == 1;
    for (size_t pos : {TrimTape, TapeMask, TapeIndex}) show_if(gauge.el(pos), tape);
    show_if(gauge.el(TrimPointer), !tape);
}
}  // namespace
