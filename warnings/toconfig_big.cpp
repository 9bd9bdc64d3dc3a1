// Take-off configuration TEST panel of the enlarged pedestal: the button runs the flap and trim
// configuration checks for a number of frames as if take-off thrust were set; a second switch
// shows or hides the throttle readouts. Silent.
// Reads: light_zone, annunciator_bright
// Writes: warn_to_config_test_count, thr_readout_shown
#include "engines/throttles.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "warnings/state.h"

GaugeHeader gauge_toconfig_big;

namespace {
constexpr u8 kTestFrames = 20;  // a push below this count adds this many frames

i32 FSAPI to_config_test_push(MousePoint*, u32) {
    if (warn_to_config_test_count < kTestFrames) warn_to_config_test_count = u8(warn_to_config_test_count + kTestFrames);
    return 0;
}
// The button beside TEST has no function; a callback keeps every click box callable.
i32 FSAPI no_action(MousePoint*, u32) { return 0; }

const ElementDef kElementDefs[] = {el::Static(4345, 0, 0)};
const RectDef kRects[] = {
    //          x   y   w   h   cursor      events                        action
    rect::Click(15, 29, 32, 32, CursorHand, MouseLeftSingle | MouseRepeat, to_config_test_push),
    rect::Click(64, 29, 32, 32, CursorHand, MouseLeftSingle,               no_action),
    rect::Click(15, 67, 81, 18, CursorHand, MouseLeftSingle,               thr_readout_toggle),
};
constexpr LightWalk kWalk{3, walk_positions({0})};

void FSAPI to_config_test_update(GaugeHeader*, i32 service, u32);
Gauge<1, 3> gauge(gauge_toconfig_big, "ketravin toconfig_big_kr60", 112, to_config_test_update, kElementDefs, kRects);

void FSAPI to_config_test_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    if (warn_to_config_test_count != 0) --warn_to_config_test_count;
}
}  // namespace
