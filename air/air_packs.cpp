// Air-conditioning section of the flight engineer's panel: both pack valve switches with their
// FAULT lamps, both pack indicators (discharge and turbine inlet temperature, temperature valve,
// flow), the ram-air inlet gauge that runs the air-conditioning sound, and the AIR BLEED strip.
// Pack 1 takes the left duct (index 0), pack 2 the right. Rates count frames.
// Reads: air_duct_supply, eng_start_master, dc_ess_powered, light_zone, annunciator_bright,
//        tok_tat, tok_tick18
// Writes: air_pack_sw, air_pack_valve, air_pack_flow, air_pack_valve_temp, air_pack_turbine_temp,
//         air_pack_discharge_temp, air_aircond_sound_state, air_aircond_sound_deadline
#include <algorithm>
#include <iterator>

#include "air/air_panel.h"
#include "air/state.h"
#include "electrical/elec_panel.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "module/deadline.h"
#include "module/lighting.h"
#include "module/switches.h"
#include "module/tokens.h"

GaugeHeader gauge_air_packsw_lh;
GaugeHeader gauge_air_packsw_rh;
GaugeHeader gauge_air_pack_lh;
GaugeHeader gauge_air_pack_rh;
GaugeHeader gauge_air_ramair;
GaugeHeader gauge_air_lum1;

namespace {
constexpr u8 kClose = 0, kAuto = 1;
constexpr u16 kValveOpen = 400;
constexpr u8 kStartMasterArmed = 2;

constexpr u32 kBmpPackSwFace1 = 6030, kBmpPackSwFace2 = 6031, kBmpPackFault = 6032, kBmpPackFace1 = 6033,
              kBmpPackFace2 = 6034, kBmpPackSelector = 6035, kBmpPackPointer = 6036, kBmpRamAirFace = 6037,
              kBmpRamAirInlet = 6038, kBmpLum1 = 6039;

const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

// ---- pack valve switches ---------------------------------------------------------------------------
enum SwitchPos : size_t { SwFace, LeverDown, LeverUp, LampFault, kSwitchElements };
constexpr LightWalk kSwitchWalk{kAirZone, walk_positions({SwFace})};

template <size_t P>
constexpr ElementDef kSwitchElementDefs[kSwitchElements] = {
    //       bitmap                                      x          y   start flags
    el::Static(P == 0 ? kBmpPackSwFace1 : kBmpPackSwFace2, 0,        0,  kAirLit),
    el::Icon(kBmpSwitchDown,                          P == 0 ? 60 : 57, 20, kAirLever),  // CLOSE at load
    el::Icon(kBmpSwitchUp,                            P == 0 ? 60 : 57,  4, kAirLeverHidden),
    el::Icon(kBmpPackFault,                           P == 0 ? 100 : 5, 12, kAirLamp),
};
template <size_t P>
constexpr i32 kSwitchX = P == 0 ? 48 : 45;
template <size_t P>
constexpr RectDef kSwitchRects[2] = {
    //          x            y   w   h   cursor           events           action
    rect::Click(kSwitchX<P>, 0,  48, 22, CursorUpArrow,   MouseLeftSingle, click_switch<air_pack_sw, kAuto, P>),
    rect::Click(kSwitchX<P>, 22, 48, 22, CursorDownArrow, MouseLeftSingle, click_switch<air_pack_sw, kClose, P>),
};

template <size_t P>
void FSAPI pack_switch_update(GaugeHeader*, i32 service, u32);
using SwitchGauge = Gauge<kSwitchElements, 2>;
SwitchGauge switch_gauges[2] = {
    {gauge_air_packsw_lh, "ketravin air_packsw_lh_kr60", 138, pack_switch_update<0>, kSwitchElementDefs<0>,
     kSwitchRects<0>},
    {gauge_air_packsw_rh, "ketravin air_packsw_rh_kr60", 138, pack_switch_update<1>, kSwitchElementDefs<1>,
     kSwitchRects<1>},
};

// One step a frame, 400 frames end to end; the start master closes the packs for an engine start.
u16 valve_step(u16 v, u8 sw) {
    if (sw == kAuto && eng_start_master < kStartMasterArmed) return v >= kValveOpen - 1 ? kValveOpen : u16(v + 1);
    return v > 0 ? u16(v - 1) : 0;
}

template <size_t P>
void FSAPI pack_switch_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    SwitchGauge& g = switch_gauges[P];
    light_walk(g.header(), kSwitchWalk);
    show_lever_pair(g, LeverDown, LeverUp, air_pack_sw[P] != kClose);
    const bool powered = dc_ess_powered == 1;
    if (powered) air_pack_valve[P] = valve_step(air_pack_valve[P], air_pack_sw[P]);
    show_if(g.el(LampFault), powered && air_pack_valve[P] > 0 && air_pack_valve[P] < kValveOpen);
}

// ---- pack indicators -------------------------------------------------------------------------------
enum PackPos : size_t { PackFace, Selector, FlowPointer, TurbinePointer, DischargePointer, ValveTempPointer,
                        kPackElements };
constexpr LightWalk kPackWalk{kAirZone, walk_positions({PackFace, FlowPointer, TurbinePointer, DischargePointer,
                                                        ValveTempPointer})};
constexpr u16 kFlowFromValve = 300;
constexpr u8 kFlow = 40;
constexpr f64 kTatToCelsius = 256.0;
constexpr f64 kValveTempCentre = 24.0;  // outside temperature that centres the temperature valve
constexpr f64 kValveTempLimit = 20.0;

// Dial tables: value at angle, clockwise from twelve o'clock; pivots and radii are the artwork's.
NonlinearityPoint flow_points[2][5] = {};
NonlinearityPoint turbine_points[2][5] = {};
NonlinearityPoint discharge_points[2][4] = {};
NonlinearityPoint valve_temp_points[2][3] = {};
constexpr NonlinearityPoint kFlowTable[5] = {
    {0, 0, 0, 200}, {0, 0, 20, 270}, {0, 0, 40, 360}, {0, 0, 60, 450}, {0, 0, 80, 519}};
constexpr NonlinearityPoint kTurbineTable[5] = {
    {0, 0, -10, 245}, {0, 0, 0, 272}, {0, 0, 50, 347}, {0, 0, 100, 419}, {0, 0, 150, 490}};
constexpr NonlinearityPoint kDischargeTable[4] = {{0, 0, -50, 252}, {0, 0, 0, 323}, {0, 0, 50, 397}, {0, 0, 100, 468}};
constexpr NonlinearityPoint kValveTempTable[3] = {{0, 0, -20, 270}, {0, 0, 0, 360}, {0, 0, 20, 450}};
struct DialPlace {
    i32 x, y;
};
constexpr DialPlace kDischargePivot{40, 40}, kTurbinePivot{110, 40}, kValveTempPivot{40, 110}, kFlowPivot{110, 110};
constexpr f64 kDialRadius = 28.0;
constexpr u32 kRateSlow = 1, kRateFast = 6;

template <size_t P>
f64 FSAPI pack_flow_value(ElementHeader*) {
    return f64(air_pack_flow[P]);
}
template <size_t P>
f64 FSAPI pack_turbine_temp_value(ElementHeader*) {
    return f64(air_pack_turbine_temp[P]);
}
template <size_t P>
f64 FSAPI pack_discharge_temp_value(ElementHeader*) {
    return f64(air_pack_discharge_temp[P]);
}
// Brings the stored value back within the dial's stops, then shows it.
template <size_t P>
f64 FSAPI pack_valve_temp_value(ElementHeader*) {
    f32& v = air_pack_valve_temp[P];
    if (!(v >= -f32(kValveTempLimit))) v = -f32(kValveTempLimit);
    if (v > f32(kValveTempLimit)) v = f32(kValveTempLimit);
    return f64(v);
}

template <size_t P>
constexpr ElementDef kPackElementDefs[kPackElements] = {
    //       bitmap                                  x                  y                  start flags
    el::Static(P == 0 ? kBmpPackFace1 : kBmpPackFace2, 0,                 0,                 kAirLit),
    el::Icon(kBmpPackSelector,                       120,               150,               kAirLever),
    el::Needle(kBmpPackPointer, kFlowPivot.x, kFlowPivot.y, kAirLit, pack_flow_value<P>)
        .pivot(3, 3).table(flow_points[P]),
    el::Needle(kBmpPackPointer, kTurbinePivot.x, kTurbinePivot.y, kAirLit, pack_turbine_temp_value<P>)
        .pivot(3, 3).table(turbine_points[P]),
    el::Needle(kBmpPackPointer, kDischargePivot.x, kDischargePivot.y, kAirLit, pack_discharge_temp_value<P>)
        .pivot(3, 3).table(discharge_points[P]),
    el::Needle(kBmpPackPointer, kValveTempPivot.x, kValveTempPivot.y, kAirLit, pack_valve_temp_value<P>)
        .pivot(3, 3).table(valve_temp_points[P]),
};

template <size_t P>
void FSAPI pack_update(GaugeHeader*, i32 service, u32);
using PackGauge = Gauge<kPackElements, 2>;
PackGauge pack_gauges[2] = {
    {gauge_air_pack_lh, "ketravin air_pack_lh_kr60", 150, pack_update<0>, kPackElementDefs<0>, kNoClicks},
    {gauge_air_pack_rh, "ketravin air_pack_rh_kr60", 150, pack_update<1>, kPackElementDefs<1>, kNoClicks},
};

struct PackDials {
    PackDials() {
        for (size_t p = 0; p < 2; ++p) {
            std::copy(std::begin(kFlowTable), std::end(kFlowTable), flow_points[p]);
            std::copy(std::begin(kTurbineTable), std::end(kTurbineTable), turbine_points[p]);
            std::copy(std::begin(kDischargeTable), std::end(kDischargeTable), discharge_points[p]);
            std::copy(std::begin(kValveTempTable), std::end(kValveTempTable), valve_temp_points[p]);
            air_dial_points(flow_points[p], kFlowPivot.x, kFlowPivot.y, kDialRadius);
            air_dial_points(turbine_points[p], kTurbinePivot.x, kTurbinePivot.y, kDialRadius);
            air_dial_points(discharge_points[p], kDischargePivot.x, kDischargePivot.y, kDialRadius);
            air_dial_points(valve_temp_points[p], kValveTempPivot.x, kValveTempPivot.y, kDialRadius);
            PackGauge& g = pack_gauges[p];
            air_needle_rate(g.el(FlowPointer), kRateSlow);
            air_needle_rate(g.el(TurbinePointer), kRateFast);
            air_needle_rate(g.el(DischargePointer), kRateFast);
            air_needle_rate(g.el(ValveTempPointer), kRateSlow);
        }
    }
} pack_dials;

// A running pack heads for its working temperature at 0.05 a frame, settling within the band.
f32 toward_working(f32 stored, f64 target, f64 band) {
    constexpr f64 kStep = 0.05;
    const f64 t = stored;
    if (t < target - band) return f32(t + kStep);
    if (t > target + band) return f32(t - kStep);
    return f32(target);
}
// A stopped pack drifts toward the outside air: it warms at 0.001 a frame but cools at 0.01.
f32 toward_outside(f32 stored, f64 outside) {
    constexpr f64 kWarm = 0.001, kCool = 0.01;
    const f64 t = stored;
    if (t < outside - kCool) return f32(t + kWarm);
    if (t > outside + kWarm) return f32(t - kCool);
    return air_f32(outside, stored);
}

template <size_t P>
void FSAPI pack_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(pack_gauges[P].header(), kPackWalk);
    // 1. outside air from the total air temperature token
    const f64 outside = tok_read(tok_tat) * kTatToCelsius;
    // 2. flow from three quarters of valve travel
    const bool air = air_duct_supply[P] == 1, powered = dc_ess_powered == 1;
    air_pack_flow[P] = air && air_pack_valve[P] >= kFlowFromValve && powered ? kFlow : 0;
    // A reading that is not a number (or infinite) would poison the temperatures for good.
    if (!std::isfinite(outside)) return;
    // 3. running only with the valve fully open; 4. otherwise drifting toward outside
    if (air && air_pack_valve[P] == kValveOpen && powered) {
        air_pack_valve_temp[P] = air_f32(kValveTempCentre - outside, air_pack_valve_temp[P]);
        air_pack_turbine_temp[P] = toward_working(air_pack_turbine_temp[P], 40.0, 0.01);
        air_pack_discharge_temp[P] = toward_working(air_pack_discharge_temp[P], 27.0, 0.01);
    } else {
        air_pack_turbine_temp[P] = toward_outside(air_pack_turbine_temp[P], outside);
        air_pack_discharge_temp[P] = toward_outside(air_pack_discharge_temp[P], outside);
    }
}

// ---- ram-air inlet: the air-conditioning sound -------------------------------------------------------
enum RamPos : size_t { RamFace, RamInlet, kRamCount };
constexpr LightWalk kRamWalk{kAirZone, walk_range(RamFace, RamInlet)};
const ElementDef kRamElements[kRamCount] = {
    el::Static(kBmpRamAirFace, 0, 0, kAirLit),
    el::Icon(kBmpRamAirInlet, 14, 30, kAirLitHidden),
};
void FSAPI aircond_sound_update(GaugeHeader*, i32 service, u32);
Gauge<kRamCount, 2> ram_gauge(gauge_air_ramair, "ketravin air_ramair_kr60", 46, aircond_sound_update, kRamElements,
                                 kNoClicks);

enum SoundState : u8 { Idle = 0, Starting = 1, StartPlayed = 2, LoopPlaying = 3 };
constexpr u16 kSoundFromValve = 375;  // lower than the model's 400, and without a power condition
constexpr u32 kLoopAfterTicks = 70;

bool pack_heard(size_t p) { return air_pack_valve[p] >= kSoundFromValve && air_duct_supply[p] == 1; }

void FSAPI aircond_sound_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(ram_gauge.header(), kRamWalk);
    show_if(ram_gauge.el(RamInlet), dc_ess_powered == 1);
    const bool heard = pack_heard(0) || pack_heard(1);
    const f64 tick = tok_read(tok_tick18);  // the same value the systems computer read this frame
    u32& deadline = air_aircond_sound_deadline;
    switch (air_aircond_sound_state) {
        case Idle:
            if (!heard) break;
            deadline = deadline_arm(tick, kLoopAfterTicks);
            air_aircond_sound_state = Starting;
            [[fallthrough]];
        case Starting:
            if (heard && !deadline_reached(deadline, tick, kLoopAfterTicks)) {
                sound_play(snd_aircondent, 0);
                air_aircond_sound_state = StartPlayed;
            }
            break;
        case StartPlayed:
            if (heard && deadline_reached(deadline, tick, kLoopAfterTicks)) {
                sound_play(snd_aircond, 1);
                deadline = 0;
                air_aircond_sound_state = LoopPlaying;
            }
            break;
        case LoopPlaying:
            if (!heard) {
                sound_stop(snd_aircond);
                sound_play(snd_aircondsort, 0);
                air_aircond_sound_state = Idle;
            }
            break;
        default: air_aircond_sound_state = Idle; break;
    }
}

// ---- label strip ----------------------------------------------------------------------------------
enum LumPos : size_t { LumLabel, kLumCount };
constexpr LightWalk kLumWalk{kAirZone, walk_positions({LumLabel})};
const ElementDef kLumElements[kLumCount] = {el::Static(kBmpLum1, 0, 0, kAirLit)};
void FSAPI lum1_update(GaugeHeader* g, i32 service, u32) {
    if (service == ServicePreUpdate && g) light_walk(*g, kLumWalk);
}
[[maybe_unused]] Gauge<kLumCount, 2> lum1_gauge(gauge_air_lum1, "ketravin air_lum1_kr60", 265, lum1_update, kLumElements,
                                                kNoClicks);
}  // namespace
