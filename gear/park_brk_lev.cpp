// Parking brake lever of the pedestal and its enlarged copy. A left click sets or releases the
// host's parking brake (the host's brake is the master copy); a right click swaps the normal
// pedestal window for the enlarged one and back. The small lever's callback keeps the module's
// copy of the brake and raises PARK BRK ON on the ground. Silent.
// Reads: hyd_avail, light_zone, annunciator_bright, tok_parking_brake, tok_on_ground
// Writes: park_brake_set, warn_park_brake_on, panel_pedestal_choice
#include "gear/state.h"
#include "hydraulics/state.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/tokens.h"
#include "sim_control/presets_keys.h"

GaugeHeader gauge_park_brk_lev;
GaugeHeader gauge_park_brk_lev_big;

namespace {
constexpr u8 kChoiceBig = 1, kChoiceNormal = 2;

// Right click: swap windows. Left click: the brake, needing green or yellow pressure only.
template <u32 Close, u32 Open, u8 Choice>
i32 FSAPI lever_click(MousePoint*, u32 mouse_flags) {
    if (mouse_flags & MouseRightSingle) {
        svc::trigger_key_event(key_panel_id_close, Close);
        svc::trigger_key_event(key_panel_id_open, Open);
        panel_pedestal_choice = Choice;
    }
    if ((mouse_flags & MouseLeftSingle) && u32(hyd_avail[1]) + hyd_avail[2] > 0)
        svc::trigger_key_event(key_parking_brakes, 0);
    return 0;
}

constexpr u32 kLeftOrRight = MouseLeftSingle | MouseRightSingle;
constexpr const char* kTooltip = "right click to toggle mini pedestal";

enum SmallPos : size_t { Background, OnImage, OffImage, kSmallElements };
const ElementDef kSmallDefs[kSmallElements] = {
    //          bitmap   x   y  flags
    el::Static(3158,     0,  0),
    el::Icon(3161,       0, 15),
    el::Icon(3164,      15,  0, ImageHidden),
};
const RectDef kSmallRects[] = {
    rect::Click(0, 0, 41, 31, CursorHand, kLeftOrRight,
                lever_click<panel_win_pedestal, panel_win_pedestal_big, kChoiceBig>),
    rect::Tooltip(kTooltip),
};

enum BigPos : size_t { BigBackground, BigOffImage, BigOnImage, kBigElements };
const ElementDef kBigDefs[kBigElements] = {
    el::Static(5280,     0,  0),
    el::Icon(4268,       0,  0),
    el::Icon(4272,       0,  0, ImageHidden),
};
const RectDef kBigRects[] = {
    rect::Click(0, 0, 105, 106, CursorHand, kLeftOrRight,
                lever_click<panel_win_pedestal_big, panel_win_pedestal, kChoiceNormal>),
    rect::Tooltip(kTooltip),
};

constexpr LightWalk kWalk{3, walk_positions({Background})};

void FSAPI park_brake_lever_update(GaugeHeader*, i32 service, u32);
void FSAPI park_brake_lever_big_update(GaugeHeader*, i32 service, u32);
Gauge<kSmallElements, 2> small(gauge_park_brk_lev, "ketravin park_brk_lev_kr60", 41, park_brake_lever_update,
                               kSmallDefs, kSmallRects);
Gauge<kBigElements, 2> big(gauge_park_brk_lev_big, "ketravin park_brk_lev_big_kr60", 105,
                           park_brake_lever_big_update, kBigDefs, kBigRects);

// PARK BRK ON: the brake set (by the module's copy or the host) and on the ground (exactly 1.0).
bool brake_on_ground(f64 brake) { return (park_brake_set == 1 || brake > 0.0) && tok_read(tok_on_ground) == 1.0; }

void FSAPI park_brake_lever_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(small.header(), kWalk);
    const f64 brake = tok_read(tok_parking_brake);
    if (brake > 0.0 && park_brake_set == 0) park_brake_set = 1;
    if (brake == 0.0 && park_brake_set == 1) park_brake_set = 0;
    const bool on = brake_on_ground(brake);
    warn_park_brake_on = on ? 1 : 0;
    show_if(small.el(OnImage), on);
    show_if(small.el(OffImage), !on);
}

void FSAPI park_brake_lever_big_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(big.header(), kWalk);
    const bool on = brake_on_ground(tok_read(tok_parking_brake));
    show_if(big.el(BigOnImage), on);
    show_if(big.el(BigOffImage), !on);
}
}  // namespace
