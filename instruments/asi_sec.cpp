// Standby airspeed indicator on the DC essential bus: a needle fed straight from the host's
// indicated airspeed, rising at most 10 kt a frame, and one bug set by a two-part knob that
// works with or without power.
// Reads: dc_ess_powered, light_zone, annunciator_bright
// Writes: inst_asi_sec_needle_kt, inst_asi_sec_bug_kt
#include "electrical/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/tokens.h"

GaugeHeader gauge_asi_sec;

namespace {
enum Pos : size_t { Face, LitFace, Bug, Needle, kElements };
constexpr LightWalk kWalk{1, walk_range(LitFace, Needle)};
constexpr u32 kWidthMm = 110;
constexpr u32 kMaxKt = 450, kBugMinKt = 60;
constexpr f64 kAliveKt = 60.0;  // below this the needle sinks to its stop
constexpr u32 kStepKt = 10;

template <u32* Kt>
f64 FSAPI limited_kt(ElementHeader*) {
    if (*Kt > kMaxKt) *Kt = kMaxKt;
    return f64(*Kt);
}

i32 FSAPI asi_sec_bug_down(MousePoint*, u32) {
    u32& bug = inst_asi_sec_bug_kt;
    bug = bug > kBugMinKt ? bug - 1 : kBugMinKt;
    return 0;
}
i32 FSAPI asi_sec_bug_up(MousePoint*, u32) {
    u32& bug = inst_asi_sec_bug_kt;
    bug = bug >= kMaxKt ? kMaxKt : bug + 1;
    return 0;
}

// Knots to dial pixels; 0 kt has its own stop left of the 60 kt mark.
#define KR_STANDBY_POINTS                                                                           \
    {                                                                                               \
        {26, 8, 0, 0}, {38, 4, 60, 0}, {60, 3, 80, 0}, {80, 13, 100, 0}, {94, 31, 120, 0},          \
            {97, 52, 140, 0}, {91, 74, 160, 0}, {79, 88, 180, 0}, {64, 95, 200, 0}, {34, 95, 250, 0}, \
            {11, 79, 300, 0}, {1, 52, 350, 0}, {5, 32, 400, 0}, { 15, 16, 450, 0 }                  \
    }
NonlinearityPoint bug_points[] = KR_STANDBY_POINTS;
NonlinearityPoint needle_points[] = KR_STANDBY_POINTS;
#undef KR_STANDBY_POINTS

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //          bitmap   x   y   flags
    el::Static( 1363,    0,  0,  Opt1),
    el::Icon(  10054,    0,  0,  Hid | Lum | Opt3),
    el::Needle( 1366,   49, 50,  Lum | Opt3, limited_kt<&inst_asi_sec_bug_kt>).pivot(-43, 4).table(bug_points),
    el::Needle( 1369,   49, 50,  Lum | Opt3, limited_kt<&inst_asi_sec_needle_kt>).pivot(17, 4).table(needle_points),
};
const RectDef kRects[] = {
    //          x   y   w   h   cursor           events                         action
    rect::Click(70, 73, 20, 39, CursorDownArrow, MouseLeftSingle | MouseRepeat, asi_sec_bug_down),
    rect::Click(90, 73, 20, 39, CursorUpArrow,   MouseLeftSingle | MouseRepeat, asi_sec_bug_up),
};

void FSAPI asi_sec_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_asi_sec, "ketravin asi_sec_kr60", kWidthMm, asi_sec_update, kElementDefs, kRects);

void FSAPI asi_sec_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    show_if(gauge.el(LitFace), light_zone[kWalk.zone] == 1);
    const f64 v = tok_read(tok_ias_kt);
    const bool failed = tok_read_u32(tok_airspeed_fail) != 0;
    u32& n = inst_asi_sec_needle_kt;
    // The speed as the host gives it: one that is no number is below 60 kt in no sense, so the
    // needle sinks as without power; an infinite one lies above every mark and raises it a step.
    if (dc_ess_powered == 1 && v >= kAliveKt && !failed)
        n = v - f64(kStepKt) > f64(n) ? n + kStepKt : sat_u32(v, n);
    else
        n = n > kStepKt ? n - kStepKt : 0;
}
}  // namespace
