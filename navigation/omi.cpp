// Marker-beacon lights of the main panel: outer (blue), middle (amber) and inner (white) lamps lit
// from the host's marker state, and a test button that lights each lamp in turn with its tone
// (inner 25 ticks, middle 25, outer 18). All on the normal DC bus; bright lamps, no zone lighting.
// Reads: dc_normal_powered, tok_marker_state, tok_tick18
// Writes: inst_marker_test_state, inst_marker_test_armed, inst_marker_test_deadline
#include "electrical/state.h"
#include "module/deadline.h"
#include "module/panel_images.h"
#include "module/tokens.h"
#include "navigation/state.h"
#include "sound/sound.h"

GaugeHeader gauge_omi;

namespace {
enum Pos : size_t { Background, OuterLamp, MiddleLamp, InnerLamp, kElements };

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //          bitmap  x   y  start flags
    el::Static(2060,    0,  0, Opt1),
    el::Icon(2070,      7, 33, Hid | Bri | Opt3),
    el::Icon(2067,      7, 60, Hid | Bri | Opt3),
    el::Icon(2064,      7,  4, Hid | Bri | Opt3),
};

constexpr u8 kIdle = 0;

i32 FSAPI omi_test_click(MousePoint*, u32) {
    if (inst_marker_test_state == kIdle && dc_normal_powered == 1) inst_marker_test_state = 1;
    return 0;
}

const RectDef kRects[1] = {
    //          x    y    w   h  cursor      events           action
    rect::Click(19, 101, 35, 35, CursorHand, MouseLeftSingle, omi_test_click),
};

void FSAPI omi_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 1> gauge(gauge_omi, "ketravin omi_kr60", 69, omi_update, kElementDefs, kRects);

struct TestStep {
    SoundBuffer* const* tone;
    u32 ticks;
    Pos lamp;
};
// In test order: the state n runs kSteps[n - 1]; after the last the test is idle again.
const TestStep kSteps[] = {
    {&snd_inner, 25, InnerLamp},
    {&snd_middle, 25, MiddleLamp},
    {&snd_outer, 18, OuterLamp},
};
constexpr u8 kStepCount = sizeof kSteps / sizeof kSteps[0];

void stop_test() {
    inst_marker_test_state = kIdle;
    inst_marker_test_armed = 0;
    inst_marker_test_deadline = 0;
}

// Runs the steps in order, so that a step ending in this frame starts the next in the same frame.
// A deadline further ahead than its step (the clock went back) restarts that step from now.
void run_test(f64 now) {
    if (inst_marker_test_state > kStepCount) stop_test();  // no such step: idle again
    for (u8 state = 1; state <= kStepCount; ++state) {
        if (inst_marker_test_state != state) continue;
        const TestStep& s = kSteps[state - 1];
        if (inst_marker_test_armed == 0) {
            sound_play(*s.tone, 0);
            inst_marker_test_deadline = deadline_arm(now, s.ticks);
            inst_marker_test_armed = 1;
        }
        if (!deadline_reached(inst_marker_test_deadline, now, s.ticks)) {
            show_if(gauge.el(s.lamp), true);
            continue;
        }
        show_if(gauge.el(s.lamp), false);
        inst_marker_test_armed = 0;
        inst_marker_test_deadline = 0;
        inst_marker_test_state = state < kStepCount ? u8(state + 1) : kIdle;
    }
}

void FSAPI omi_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Nothing without the normal DC bus.
    if (dc_normal_powered != 1) {
        stop_test();
        for (size_t pos = OuterLamp; pos < kElements; ++pos) set_hidden(gauge.el(pos), true);
        return;
    }
    // 2.-4. The test, or the host's marker state compared exactly (1 outer, 2 middle, 3 inner).
    const f64 marker = tok_read(tok_marker_state);
    if (inst_marker_test_state != kIdle) {
        run_test(tok_read(tok_tick18));
        return;
    }
    show_if(gauge.el(OuterLamp), marker == 1.0);
    show_if(gauge.el(MiddleLamp), marker == 2.0);
    show_if(gauge.el(InnerLamp), marker == 3.0);
}
}  // namespace
