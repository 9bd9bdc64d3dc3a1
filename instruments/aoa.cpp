// Angle-of-attack indicator: the host's angle, scaled up with flap extension, on a vertical tape
// (parked at 2 degrees on the ground, damped in the air), and the stall warning, latched on once
// AC power has been seen.
// Reads: elec_ac_bus1_powered, elec_ac_bus2_powered, elec_ess_ac_powered, light_zone,
//        annunciator_bright
// Writes: inst_aoa_deg, inst_aoa_needle, inst_aoa_target, inst_aoa_armed, warn_stall
#include "electrical/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/tokens.h"

GaugeHeader gauge_aoa;

namespace {
enum Pos : size_t { Face, LitFace, Tape, Flag, kElements };
constexpr LightWalk kWalk{0, walk_range(LitFace, Flag)};
constexpr u32 kWidthMm = 38;
constexpr f64 kTapeRange = 27.0;  // tape value = angle + 5: 0 reads -5 degrees, 27 reads 22

f64 FSAPI tape_value(ElementHeader*) { return inst_aoa_needle; }

const ElementDef kElementDefs[kElements] = {
    //          bitmap   x   y   flags
    el::Static( 1411,    0,  0),
    el::Icon(  10080,    0,  0,  ImageHidden),
    el::Moving( 1414,   21,  3,  0, kTapeRange, drum_fixed_x, tape_value),
    el::Icon(   1424,    5, 30,  ImageHidden),
};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

void FSAPI aoa_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_aoa, "ketravin aoa_kr60", kWidthMm, aoa_update, kElementDefs, kNoClicks);

// ---- Tape ----
constexpr f64 kParkedAt = 7.0, kParkHigh = 8.0, kParkLow = 6.0, kGroundStep = 1.0;
constexpr f64 kTapeOffset = 5.0, kFreezeDeg = 22.0;
constexpr f64 kAboveBand = 7.0, kBelowBand = 3.0, kAirStep = 2.0;

void tape_step(bool on_ground) {
    f64& n = inst_aoa_needle;
    if (on_ground) {
        n = n > kParkHigh ? n - kGroundStep : n < kParkLow ? n + kGroundStep : kParkedAt;
        return;
    }
    const f64 a = inst_aoa_deg;
    inst_aoa_target = a + kTapeOffset;
    if (!(a < kFreezeDeg)) return;  // beyond the scale the tape stops where it is
    const f64 g = inst_aoa_target;
    n = n > g + kAboveBand ? n - kAirStep : n < g - kBelowBand ? n + kAirStep : g;
}

// ---- Angle and stall ----
constexpr f64 kHalfTurnDeg = 180.0, kHalfTurnRad = 3.14116;  // the instrument's own calibration, not pi
constexpr f64 kFlapGain = 6.11e-05;
constexpr f64 kStallCleanDeg = 8.6, kStallFlapsDeg = 16.5;

void FSAPI aoa_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Lighting walk; the lit face follows the zone.
    light_walk(gauge.header(), kWalk);
    show_if(gauge.el(LitFace), light_zone[kWalk.zone] == 1);
    // 2. Armed once any AC bus has been powered.
    if (elec_ac_bus1_powered == 1 || elec_ac_bus2_powered == 1 || elec_ess_ac_powered == 1) inst_aoa_armed = 1;
    // 3. Tape, from the previous frame's angle.
    if (elec_ac_bus1_powered == 1) tape_step(tok_read(tok_on_ground) == 1.0);
    // 4. Indicated angle, whatever the power. One that is no number keeps the last; an absurd one
    // saturates, so it reads beyond the stall angles instead of being thrown away.
    const f64 flaps = tok_read(tok_flaps_left_pos);
    const f64 rad = tok_read(tok_aoa_rad);
    const f64 deg = sat_f64(sat_f64(rad * kHalfTurnDeg / kHalfTurnRad) * sat_f64(flaps * kFlapGain + 1.0));
    if (!std::isnan(deg)) inst_aoa_deg = deg;
    // 5. Stall warning in the air once armed; held on the ground.
    if (tok_read(tok_on_ground) == 0.0 && inst_aoa_armed == 1)
        warn_stall = inst_aoa_deg > (flaps == 0.0 ? kStallCleanDeg : kStallFlapsDeg) ? 1 : 0;
    // 6. Flag.
    show_if(gauge.el(Flag), elec_ac_bus1_powered == 0);
}
}  // namespace
