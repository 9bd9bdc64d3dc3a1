// Probe heat panel: CAPT, STBY and F/O switches and one amber lamp per heated probe, lit while
// that probe is not heated. The heaters themselves are worked out by the systems computer; the
// captain's pitot lamp follows the host's own pitot heat and pitot failure.
// Reads: aice_probe_lamp, dc_ess_powered, light_zone, annunciator_bright, snd_click, tok_pitot_heat,
//        tok_pitot_fail
// Writes: aice_probe_heat_sw
#include "air/state.h"
#include "electrical/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"

GaugeHeader gauge_probes_heat;

namespace {
enum Pos : size_t {
    Background,
    CaptDown, CaptUp,
    StbyDown, StbyUp,
    FoDown, FoUp,
    LampCaptPitot,
    LampFirstHeater,  // then one lamp per aice_probe_lamp byte, in its order
    kElements = LampFirstHeater + 13
};
constexpr size_t kSwitches = 3;
constexpr size_t kHeaters = 13;

constexpr u32 kBmpBackground = 1056;
constexpr u32 kBmpLamp = 1059;
constexpr LightWalk kWalk{4, walk_positions({Background})};
constexpr i32 kFailed = 1;  // the pitot failure token holds an integer

using namespace fl;
constexpr u32 kLamp = Hid | Bri | Opt3;
const ElementDef kElementDefs[kElements] = {
    //       bitmap            x    y   start flags
    el::Static(kBmpBackground,  0,   0, Lum | Opt1),
    el::Icon(kBmpToggleDown,   35,  33, Opt3),        // CAPT OFF
    el::Icon(kBmpToggleUp,     35,  17, Hid | Opt3),  // CAPT ON
    el::Icon(kBmpToggleDown,   85,  33, Opt3),
    el::Icon(kBmpToggleUp,     85,  17, Hid | Opt3),
    el::Icon(kBmpToggleDown,  134,  33, Opt3),
    el::Icon(kBmpToggleUp,    134,  17, Hid | Opt3),
    el::Icon(kBmpLamp,         34,  64, kLamp),       // CAPT PITOT
    el::Icon(kBmpLamp,         84,  64, kLamp),       // STBY PITOT
    el::Icon(kBmpLamp,        133,  64, kLamp),       // F/O PITOT
    el::Icon(kBmpLamp,         34,  87, kLamp),       // STAT LH: CAPT, STBY, F/O
    el::Icon(kBmpLamp,         84,  87, kLamp),
    el::Icon(kBmpLamp,        133,  87, kLamp),
    el::Icon(kBmpLamp,         34, 110, kLamp),       // STAT RH
    el::Icon(kBmpLamp,         84, 110, kLamp),
    el::Icon(kBmpLamp,        133, 110, kLamp),
    el::Icon(kBmpLamp,         34, 133, kLamp),       // AOA
    el::Icon(kBmpLamp,         84, 133, kLamp),
    el::Icon(kBmpLamp,        133, 133, kLamp),
    el::Icon(kBmpLamp,         34, 156, kLamp),       // TAT: CAPT, STBY
    el::Icon(kBmpLamp,         84, 156, kLamp),
};

const RectDef kRects[] = {
    //          x    y   w   h   cursor      events           action
    rect::Click( 18,  2, 42, 30, CursorHand, MouseLeftSingle, click_switch<aice_probe_heat_sw, 1, 0>),
    rect::Click( 18, 32, 42, 30, CursorHand, MouseLeftSingle, click_switch<aice_probe_heat_sw, 0, 0>),
    rect::Click( 67,  2, 42, 30, CursorHand, MouseLeftSingle, click_switch<aice_probe_heat_sw, 1, 1>),
    rect::Click( 67, 32, 42, 30, CursorHand, MouseLeftSingle, click_switch<aice_probe_heat_sw, 0, 1>),
    rect::Click(114,  2, 42, 30, CursorHand, MouseLeftSingle, click_switch<aice_probe_heat_sw, 1, 2>),
    rect::Click(114, 32, 42, 30, CursorHand, MouseLeftSingle, click_switch<aice_probe_heat_sw, 0, 2>),
};

void FSAPI probe_heat_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 156;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_probes_heat, "ketravin probes_heat_kr60", kWidthMm,
                                                         probe_heat_update, kElementDefs, kRects);

void FSAPI probe_heat_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    for (size_t i = 0; i < kSwitches; ++i) show_up_down(gauge, CaptDown + 2 * i, aice_probe_heat_sw[i] == 1);

    // The captain's pitot: the host's heat exactly off, or the host's pitot failed.
    const bool dc_ess = dc_ess_powered == 1;
    const f64 host_heat = tok_read(tok_pitot_heat);
    const bool pitot_failed = tok_read_i32(tok_pitot_fail) == kFailed;
    show_if(gauge.el(LampCaptPitot), dc_ess && (host_heat == 0.0 || pitot_failed));

    for (size_t k = 0; k < kHeaters; ++k) show_if(gauge.el(LampFirstHeater + k), dc_ess && aice_probe_lamp[k] == 0);
}
}  // namespace
