// Standby compass: a card strip sliding in a window with the host's compass heading (the card's
// own source token), needing no power, lit with the glareshield zone. A click shows or hides the
// compass window through the host, in step with the overview panel's compass icon. Silent.
// Reads: light_zone, annunciator_bright, the card's source token (compass heading)
// Writes: panel_compass_shown
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/keys.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/services.h"

GaugeHeader gauge_compass;

namespace {
enum Pos : size_t { Window, Card, kElements };

constexpr u32 kCompassHeadingToken = 83;
constexpr f64 kCardSpan = 360.0;  // the strip runs N..N, headings falling from left to right

// The card's x value from its own source token: 360 minus the heading, 0 off the strip (and for a
// heading that is not a number).
f64 FSAPI compass_card_x(ElementHeader* e) {
    const f64 v = kCardSpan - token_f64(reinterpret_cast<MovingImageElement*>(e)->source);
    return v >= 0.0 && v <= kCardSpan ? v : 0.0;
}
f64 FSAPI compass_card_y(ElementHeader*) { return 1.0; }

const FailureEntry kCompassFailure[] = {{12, 1}, {0, 0}};

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //          bitmap  x  y  start flags
    el::Static(4044,    0, 0, Opt1),
    el::Moving(4048,    0, 0, Lum | Opt3, kCardSpan, compass_card_x, compass_card_y)
        .source(kCompassHeadingToken)
        .fail(kCompassFailure),
};

i32 FSAPI compass_click(MousePoint*, u32) {
    const bool shown = panel_compass_shown == 1;
    svc::trigger_key_event(shown ? key_compass_event_off : key_compass_event_on, 0);
    panel_compass_shown = shown ? 0 : 1;
    return 0;
}

constexpr u32 kHelpId = 43924;
const RectDef kRects[3] = {
    rect::Parent(kHelpId),
    //          x  y   w   h  cursor      events           action
    rect::Click(0, 0, 75, 75, CursorHand, MouseLeftSingle, compass_click),
    rect::EndParent(),
};
constexpr LightWalk kWalk{5, walk_positions({Card})};

void FSAPI compass_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 3> gauge(gauge_compass, "ketravin compass_kr60", 75, compass_update, kElementDefs, kRects);

void FSAPI compass_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    light_walk(*g, kWalk);
}
}  // namespace
