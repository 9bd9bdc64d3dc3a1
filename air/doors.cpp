// Doors panel of the flight engineer's station: twenty amber door lamps, the CARGO SW FAULT dot
// and the DOORS TEST push-button. The lamps show the host's door values; clicks on the cabin and
// cargo lamps send the host's door events; the DOORS caution follows the sum of the door values.
// Reads: tok_on_ground, tok_exit1_open, tok_exit2_open, tok_exit3_open, the host's exit percentage,
//        dc_ess_powered, hyd_avail, light_zone, annunciator_bright
// Writes: doors_exit_open_pct, warn_doors, doors_test

#include "air/air_keys.h"
#include "air/air_panel.h"
#include "air/state.h"
#include "electrical/state.h"
#include "hydraulics/state.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/tokens.h"
#include "systems/systems_keys.h"

GaugeHeader gauge_doors;

namespace {
enum Pos : size_t {
    Background,
    LAvionic, LCabinFwd, LFwdComp, LBlank57, LCabinExit, LBlank139, LEmgExit, LBlank163, LBlank175, LCabinAft,
    RBlank21, RCabinFwd, RBlank45, RCargoFwd, RCabinExit, RBlank139, REmgExit, RCargoAft, RCargo175, RCabinAft,
    FaultDot,
    kElements
};

constexpr u32 kBmpBackground = 6001;
constexpr u32 kBmpLampAvionic = 6002, kBmpLampCabin = 6003, kBmpLampFwdComp = 6004, kBmpLampBlank = 6005,
              kBmpLampEmgExit = 6006, kBmpLampCargo = 6007, kBmpFaultDot = 6008;
constexpr i32 kLeft = 0, kRight = 108;

const ElementDef kElementDefs[kElements] = {
    //       bitmap            x       y    start flags
    el::Static(kBmpBackground,  0,      0,  kAirLit),
    el::Icon(kBmpLampAvionic,  kLeft,   21, kAirLamp),
    el::Icon(kBmpLampCabin,    kLeft,   33, kAirLamp),
    el::Icon(kBmpLampFwdComp,  kLeft,   45, kAirLamp),
    el::Icon(kBmpLampBlank,    kLeft,   57, kAirLamp),
    el::Icon(kBmpLampCabin,    kLeft,   69, kAirLamp),
    el::Icon(kBmpLampBlank,    kLeft,  139, kAirLamp),
    el::Icon(kBmpLampEmgExit,  kLeft,  151, kAirLamp),
    el::Icon(kBmpLampBlank,    kLeft,  163, kAirLamp),
    el::Icon(kBmpLampBlank,    kLeft,  175, kAirLamp),
    el::Icon(kBmpLampCabin,    kLeft,  187, kAirLamp),
    el::Icon(kBmpLampBlank,    kRight,  21, kAirLamp),
    el::Icon(kBmpLampCabin,    kRight,  33, kAirLamp),
    el::Icon(kBmpLampBlank,    kRight,  45, kAirLamp),
    el::Icon(kBmpLampCargo,    kRight,  57, kAirLamp),
    el::Icon(kBmpLampCabin,    kRight,  69, kAirLamp),
    el::Icon(kBmpLampBlank,    kRight, 139, kAirLamp),
    el::Icon(kBmpLampEmgExit,  kRight, 151, kAirLamp),
    el::Icon(kBmpLampCargo,    kRight, 163, kAirLamp),
    el::Icon(kBmpLampCargo,    kRight, 175, kAirLamp),
    el::Icon(kBmpLampCabin,    kRight, 187, kAirLamp),
    el::Icon(kBmpFaultDot,     53,     198, kAirLamp),
};
// Only the background follows the lighting; the lamps are drawn bright whenever shown.
constexpr LightWalk kWalk{kAirZone, walk_positions({Background})};

constexpr f64 kOpenPct = 0.1;       // the exit percentage counts as open above this
constexpr f64 kDoorsOpenSum = 0.1;  // the caution wants the sum of all door values above this
constexpr f64 kFaultMax = 0.1;      // the fault dot: the hydraulic door group barely open
const char* const kExitPercentExpr = "(A:Exit open:1,percent)";

bool on_ground() { return tok_read(tok_on_ground) == 1.0; }
bool yellow_available() { return hyd_avail[2] != 0; }

// ---- clicks: none plays a sound; only the test button looks at power ------------------------
i32 FSAPI doors_test_click(MousePoint*, u32) {
    doors_test = doors_test == 0 && dc_ess_powered == 1 ? 1 : 0;
    return 0;
}
// In flight a door can only be closed: the event goes out only for a door read as open.
i32 FSAPI door_exit_select_click(MousePoint*, u32) {
    if (on_ground() || doors_exit_open_pct > kOpenPct) {
        svc::trigger_key_event(key_exit_toggle, 0);
        svc::trigger_key_event(key_exit_select, 0);
    }
    return 0;
}
i32 FSAPI door_exit_click(MousePoint*, u32) {
    if (on_ground() || tok_read(tok_exit3_open) > 0.0) svc::trigger_key_event(key_exit_toggle, 0);
    return 0;
}
i32 FSAPI door_hyd_click(MousePoint*, u32) {
    if ((on_ground() || tok_read(tok_exit1_open) > 0.0) && yellow_available())
        svc::trigger_key_event(key_exit_event_10356, 0);
    return 0;
}

const RectDef kRects[] = {
    //          x    y    w   h   cursor      events           action
    rect::Click(83,  193, 18, 18, CursorHand, MouseLeftSingle, doors_test_click),
    rect::Click(0,   33,  42, 10, CursorHand, MouseLeftSingle, door_exit_select_click),
    rect::Click(0,   69,  42, 10, CursorHand, MouseLeftSingle, door_exit_click),
    rect::Click(0,   187, 42, 10, CursorHand, MouseLeftSingle, door_hyd_click),
    rect::Click(107, 33,  42, 10, CursorHand, MouseLeftSingle, door_hyd_click),
    rect::Click(107, 69,  42, 10, CursorHand, MouseLeftSingle, door_exit_select_click),
    rect::Click(107, 187, 42, 10, CursorHand, MouseLeftSingle, door_hyd_click),
    rect::Click(107, 57,  42, 10, CursorHand, MouseLeftSingle, door_hyd_click),
    rect::Click(107, 163, 42, 10, CursorHand, MouseLeftSingle, door_hyd_click),
};

void FSAPI doors_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_doors, "ketravin doors_kr60", 149, doors_update,
                                                         kElementDefs, kRects);

// The host's percentage as a finite number: an infinity is the largest value; one that is no
// number leaves the last.
f64 finite_percent(f64 v, f64 last) {
    if (!(v == v)) return last;
    return sat_f64(v);
}

template <size_t N>
void show_lamps(const Pos (&lamps)[N], bool powered, bool condition) {
    for (Pos p : lamps) show_if(gauge.el(p), powered && (doors_test == 1 || condition));
}

void FSAPI doors_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    const f64 exit3 = tok_read(tok_exit3_open);
    const f64 exit1 = tok_read(tok_exit1_open);
    const f64 exit2 = tok_read(tok_exit2_open);
    // The host stores straight into the shared value: one that answers nothing leaves the last.
    f64 percent = doors_exit_open_pct;
    svc::execute_calculator_code(kExitPercentExpr, &percent, nullptr, nullptr);
    doors_exit_open_pct = finite_percent(percent, doors_exit_open_pct);

    // The test raises the caution only while every door value is exactly 0.
    const f64 sum = exit3 + exit1 + exit2 + doors_exit_open_pct;
    warn_doors = sum > kDoorsOpenSum || (sum == 0.0 && doors_test == 1) ? 1 : 0;

    const bool powered = dc_ess_powered == 1;
    static constexpr Pos kExitLamps[] = {LCabinFwd, RCabinExit};
    static constexpr Pos kExit3Lamps[] = {LCabinExit};
    static constexpr Pos kHydGroupLamps[] = {LCabinAft, RCabinFwd, RCargoFwd, RCargoAft, RCabinAft};
    static constexpr Pos kFaultLamps[] = {FaultDot};
    static constexpr Pos kTestOnlyLamps[] = {LAvionic, LFwdComp, LBlank57,  LBlank139, LEmgExit, LBlank163,
                                             LBlank175, RBlank21, RBlank45, RBlank139, REmgExit, RCargo175};
    show_lamps(kExitLamps, powered, doors_exit_open_pct > kOpenPct);
    show_lamps(kExit3Lamps, powered, exit3 > 0.0);
    show_lamps(kHydGroupLamps, powered, exit1 + exit2 > 0.0);
    show_lamps(kFaultLamps, powered, exit1 > 0.0 && exit1 <= kFaultMax);
    show_lamps(kTestOnlyLamps, powered, false);
}
}  // namespace
