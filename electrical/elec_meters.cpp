// Meters and meter selectors of the flight engineer's electrical panel: the DC selector, the AC
// phase and source selectors, DC volts, battery amperes, AC volts, AC frequency and the three
// generator load meters. The voltmeters and the frequency meter slew a fixed step per frame
// toward a nominal value while their source is powered; the others show the network directly.
// Reads: dc_ess_powered, elec_tr_output, elec_batt_any_on, battery_current, ext_power_on,
//        elec_ess_ac_powered, elec_ess_ac_any_powered, elec_ac_bus1_powered,
//        elec_ac_bus2_powered, elec_gen1_load, elec_gen2_load, elec_apu_gen_load_a,
//        elec_apu_gen_load_b, elec_gen_sw, light_zone, annunciator_bright
// Writes: elec_dc_meter_sel, elec_ac_phase_sel, elec_ac_meter_sel, elec_dc_volts,
//         elec_dc_volts_step, elec_ac_volts, elec_ac_volts_step, elec_ac_freq_dev, and in place
//         (needle bounds) battery_current, elec_gen1_load, elec_gen2_load, elec_apu_gen_load_b,
//         elec_gen_test_load
#include "electrical/state.h"
#include "electrical/elec_panel.h"
#include "module/lighting.h"

GaugeHeader gauge_elec_sel_ind_dc;
GaugeHeader gauge_elec_sel_ind_ac;
GaugeHeader gauge_elec_ind_dc_v;
GaugeHeader gauge_elec_ind_dc_amps;
GaugeHeader gauge_elec_ind_ac_v;
GaugeHeader gauge_elec_ind_ac_frq;
GaugeHeader gauge_elec_ind_ac_load1;
GaugeHeader gauge_elec_ind_ac_load2;
GaugeHeader gauge_elec_ind_ac_loadapu;

namespace {
constexpr u8 kZone = 4;
constexpr u32 kFlagsPointer = ImageOption1 | ImageOption2;

// ---- Slews: one step per frame ---------------------------------------------------------------
// Down by s, snapping to the bottom of the scale when less than a step is left.
i64 fall(i64 r, i64 s, i64 bottom) { return r < bottom + s ? bottom : r - s; }
// Up by s, snapping to the nominal value within a step (and from above it).
i64 rise(i64 r, i64 s, i64 nominal) { return r > nominal - s ? nominal : r + s; }
// Toward the nominal value from either side.
i64 settle(i64 r, i64 s, i64 nominal) {
    if (r <= nominal - s) return r + s;
    if (r >= nominal + s) return r - s;
    return nominal;
}

// A generator shows on the AC meters from half load, or while its switch is held in TEST.
constexpr u32 kGenOnLineLoad = 50;
inline bool gen_in_test(size_t gen) { return elec_gen_sw[gen] >= 2; }

// ---- Selectors -------------------------------------------------------------------------------
// DC meter selector: 0 OFF, 1 ESS BUS, 2 TR 1, 3 ESS TR, 4 TR 2, 5..7 BAT 1..3.
enum DcSource : u8 { DcOff, DcEssBus, DcTr1, DcEssTr, DcTr2, DcBat1, DcBat2, DcBat3 };
constexpr u8 kDcSelLast = DcBat3;
// AC meter selector: 0 OFF, 1 EXT PWR, 2 ESS BUS, 3 EMERG BUS, 4 BUS 1, 5 BUS 2, 6 GEN 1,
// 7 GEN 2, 8 APU GEN.
enum AcSource : u8 { AcOff, AcExtPwr, AcEssBus, AcEmergBus, AcBus1, AcBus2, AcGen1, AcGen2, AcApuGen };
constexpr u8 kAcSelLast = AcApuGen;
constexpr u8 kPhaseSelLast = 2;  // A, B, C

namespace sel_dc {
enum Pos : size_t { Background, Pointer, kElements };
constexpr u32 kBmpBackground = 5161;
f64 FSAPI pointer_value(ElementHeader*) { return selector_bounded(elec_dc_meter_sel, kDcSelLast); }
NonlinearityPoint points[] = {
    {30, 35, 0.0, 0.0}, {33, 22, 1.0, 0.0}, {42, 13, 2.0, 0.0}, {56, 9, 3.0, 0.0},
    {70, 12, 4.0, 0.0}, {80, 21, 5.0, 0.0}, {82, 35, 6.0, 0.0}, {79, 48, 7.0, 0.0},
};
const ElementDef kElementDefs[kElements] = {
    el::Static(kBmpBackground, 0, 0, kFlagsBackground),
    el::Needle(kBmpSelectorPointer, 56, 35, kFlagsPointer, pointer_value)
        .pivot(kSelectorPivot, kSelectorPivot)
        .table(points),
};
i32 FSAPI down(MousePoint*, u32) {
    selector_down(elec_dc_meter_sel);
    return 0;
}
i32 FSAPI up(MousePoint*, u32) {
    selector_up(elec_dc_meter_sel, kDcSelLast);
    return 0;
}
const RectDef kRects[] = {
    //          x   y  w   h   cursor           events           action
    rect::Click(0,  0, 57, 62, CursorDownArrow, MouseLeftSingle, down),
    rect::Click(57, 0, 57, 62, CursorUpArrow,   MouseLeftSingle, up),
};
}  // namespace sel_dc

namespace sel_ac {
enum Pos : size_t { Background, PhasePointer, SourcePointer, kElements };
constexpr u32 kBmpBackground = 348;
f64 FSAPI phase_value(ElementHeader*) { return selector_bounded(elec_ac_phase_sel, kPhaseSelLast); }
f64 FSAPI source_value(ElementHeader*) { return selector_bounded(elec_ac_meter_sel, kAcSelLast); }
NonlinearityPoint phase_points[] = {
    {7, 37, 0.0, 0.0}, {19, 15, 1.0, 0.0}, {50, 15, 2.0, 0.0},
};
NonlinearityPoint source_points[] = {
    {71, 37, 0.0, 0.0},  {74, 24, 1.0, 0.0},  {83, 15, 2.0, 0.0},  {97, 11, 3.0, 0.0}, {111, 14, 4.0, 0.0},
    {120, 24, 5.0, 0.0}, {123, 37, 6.0, 0.0}, {120, 50, 7.0, 0.0}, {111, 59, 8.0, 0.0},
};
const ElementDef kElementDefs[kElements] = {
    el::Static(kBmpBackground, 0, 0, kFlagsBackground),
    el::Needle(kBmpSelectorPointer, 33, 37, kFlagsPointer, phase_value)
        .pivot(kSelectorPivot, kSelectorPivot)
        .table(phase_points),
    el::Needle(kBmpSelectorPointer, 97, 37, kFlagsPointer, source_value)
        .pivot(kSelectorPivot, kSelectorPivot)
        .table(source_points),
};
i32 FSAPI phase_down(MousePoint*, u32) {
    selector_down(elec_ac_phase_sel);
    return 0;
}
i32 FSAPI phase_up(MousePoint*, u32) {
    selector_up(elec_ac_phase_sel, kPhaseSelLast);
    return 0;
}
i32 FSAPI source_down(MousePoint*, u32) {
    selector_down(elec_ac_meter_sel);
    return 0;
}
i32 FSAPI source_up(MousePoint*, u32) {
    selector_up(elec_ac_meter_sel, kAcSelLast);
    return 0;
}
const RectDef kRects[] = {
    //          x   y  w   h   cursor           events           action
    rect::Click(0,  0, 33, 66, CursorDownArrow, MouseLeftSingle, phase_down),
    rect::Click(33, 0, 33, 66, CursorUpArrow,   MouseLeftSingle, phase_up),
    rect::Click(66, 0, 33, 66, CursorDownArrow, MouseLeftSingle, source_down),
    rect::Click(99, 0, 33, 66, CursorUpArrow,   MouseLeftSingle, source_up),
};
}  // namespace sel_ac

// Selectors and meters light only their background (selectors) or dial and needle (meters).
constexpr LightWalk kSelectorWalk{kZone, walk_range(0, 0)};
constexpr LightWalk kMeterWalk{kZone, walk_range(0, 1)};

void FSAPI selector_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    light_walk(*g, kSelectorWalk);
}

Gauge<sel_dc::kElements, 2> sel_dc_gauge(gauge_elec_sel_ind_dc, "ketravin elec_sel_ind_dc_kr60", 120, selector_update,
                                         sel_dc::kElementDefs, sel_dc::kRects);
Gauge<sel_ac::kElements, 4> sel_ac_gauge(gauge_elec_sel_ind_ac, "ketravin elec_sel_ind_ac_kr60", 146, selector_update,
                                         sel_ac::kElementDefs, sel_ac::kRects);

// ---- Meter slews -----------------------------------------------------------------------------
constexpr u32 kDcStepBelow = 15;  // volts under which the DC needle moves the large step
constexpr u8 kDcStepLarge = 4, kDcStepSmall = 2;
constexpr i64 kDcNominal = 28, kDcDischarging = 24;

void dc_volts_step() {
    const u8 s = elec_dc_volts < kDcStepBelow ? kDcStepLarge : kDcStepSmall;
    elec_dc_volts_step = s;
    const i64 r = elec_dc_volts;
    i64 next;
    switch (elec_dc_meter_sel) {
        case DcEssBus:
        case DcTr1:
        case DcEssTr:
        case DcTr2: {
            const u8 source = elec_dc_meter_sel == DcEssBus ? dc_ess_powered
                              : elec_dc_meter_sel == DcTr1  ? elec_tr_output[0]
                              : elec_dc_meter_sel == DcEssTr ? elec_tr_output[2]
                                                             : elec_tr_output[1];
            next = source == 1 ? rise(r, s, kDcNominal) : fall(r, s, 0);
            break;
        }
        case DcBat1:
        case DcBat2:
        case DcBat3:
            if (elec_batt_any_on == 1)
                next = settle(r, s, battery_current < 0 ? kDcDischarging : kDcNominal);
            else
                next = fall(r, s, 0);
            break;
        default:  // OFF, and any value past the last legend
            next = fall(r, s, 0);
            break;
    }
    elec_dc_volts = u32(next);
}

// Whether the AC meters' selected source is powered.
bool ac_source_powered() {
    switch (elec_ac_meter_sel) {
        case AcExtPwr: return ext_power_on == 1;
        case AcEssBus: return elec_ess_ac_powered == 1;
        case AcEmergBus: return elec_ess_ac_any_powered == 1;
        case AcBus1: return elec_ac_bus1_powered == 1;
        case AcBus2: return elec_ac_bus2_powered == 1;
        case AcGen1: return elec_gen1_load >= kGenOnLineLoad || gen_in_test(0);
        case AcGen2: return elec_gen2_load >= kGenOnLineLoad || gen_in_test(1);
        case AcApuGen: return elec_apu_gen_load_a >= kGenOnLineLoad || gen_in_test(2);
        default: return false;  // OFF
    }
}

constexpr u32 kAcStepBelow = 100;
constexpr u8 kAcStepLarge = 10, kAcStepSmall = 2;
constexpr i64 kAcNominal = 115;

void ac_volts_step() {
    const u8 s = elec_ac_volts < kAcStepBelow ? kAcStepLarge : kAcStepSmall;
    elec_ac_volts_step = s;
    const i64 r = elec_ac_volts;
    elec_ac_volts = u32(ac_source_powered() ? rise(r, s, kAcNominal) : fall(r, s, 0));
}

// The frequency reading is the deviation from 400 Hz in tenths: 0 is 400 Hz, -300 is 370 Hz.
constexpr i64 kFreqNominal = 0, kFreqBottom = -300;

void ac_freq_step() {
    const i64 s = elec_ac_freq_step;
    const i64 r = elec_ac_freq_dev;
    elec_ac_freq_dev = i32(ac_source_powered() ? rise(r, s, kFreqNominal) : fall(r, s, kFreqBottom));
}

void FSAPI meter_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    light_walk(*g, kMeterWalk);
}
void FSAPI dc_volts_update(GaugeHeader* g, i32 service, u32 extra) {
    meter_update(g, service, extra);
    if (service == ServicePreUpdate) dc_volts_step();
}
void FSAPI ac_volts_update(GaugeHeader* g, i32 service, u32 extra) {
    meter_update(g, service, extra);
    if (service == ServicePreUpdate) ac_volts_step();
}
void FSAPI ac_freq_update(GaugeHeader* g, i32 service, u32 extra) {
    meter_update(g, service, extra);
    if (service == ServicePreUpdate) ac_freq_step();
}

// ---- Meter needles: each bounds the variable it shows, in place ------------------------------
template <typename T>
f64 bounded(T& v, T lo, T hi) {
    if (v < lo) v = lo;
    if (v > hi) v = hi;
    return f64(v);
}
constexpr u32 kDcVoltsTop = 35, kAcVoltsTop = 130, kLoadTop = 200;
constexpr i32 kCentreScale = 300;  // ammeter (A) and frequency (tenths of Hz) either side of 0

f64 FSAPI dc_volts_value(ElementHeader*) { return bounded(elec_dc_volts, 0u, kDcVoltsTop); }
f64 FSAPI dc_amps_value(ElementHeader*) { return bounded(battery_current, -kCentreScale, kCentreScale); }
f64 FSAPI ac_volts_value(ElementHeader*) { return bounded(elec_ac_volts, 0u, kAcVoltsTop); }
f64 FSAPI ac_freq_value(ElementHeader*) { return bounded(elec_ac_freq_dev, -kCentreScale, kCentreScale); }
// A load meter shows the test load while its generator switch is held in TEST.
f64 load_value(size_t gen, u32& load) {
    return gen_in_test(gen) ? bounded(elec_gen_test_load, 0u, kLoadTop) : bounded(load, 0u, kLoadTop);
}
f64 FSAPI load1_value(ElementHeader*) { return load_value(0, elec_gen1_load); }
f64 FSAPI load2_value(ElementHeader*) { return load_value(1, elec_gen2_load); }
f64 FSAPI loadapu_value(ElementHeader*) { return load_value(2, elec_apu_gen_load_b); }

// Dial points, value: x, y (the host fills the angles, so the tables are writable).
NonlinearityPoint dc_volts_points[] = {
    {12, 63, 0.0, 0.0}, {1, 31, 15.0, 0.0}, {21, 3, 20.0, 0.0},
    {54, 4, 25.0, 0.0}, {74, 32, 30.0, 0.0}, {64, 63, 35.0, 0.0},
};
NonlinearityPoint dc_amps_points[] = {
    {12, 66, -300.0, 0.0}, {0, 37, -200.0, 0.0}, {11, 10, -100.0, 0.0}, {38, 0, 0.0, 0.0},
    {64, 11, 100.0, 0.0},  {74, 37, 200.0, 0.0}, {64, 63, 300.0, 0.0},
};
NonlinearityPoint freq_points[] = {
    {12, 66, -300.0, 0.0}, {0, 37, -200.0, 0.0}, {11, 10, -100.0, 0.0}, {38, 0, 0.0, 0.0},
    {64, 11, 100.0, 0.0},  {74, 37, 200.0, 0.0}, {64, 63, 300.0, 0.0},
};
NonlinearityPoint ac_volts_points[] = {
    {11, 64, 0.0, 0.0}, {2, 22, 100.0, 0.0}, {38, 0, 110.0, 0.0}, {72, 23, 120.0, 0.0}, {64, 63, 130.0, 0.0},
};
NonlinearityPoint load1_points[] = {
    {0, 37, 0.0, 0.0}, {11, 10, 50.0, 0.0}, {38, 0, 100.0, 0.0}, {64, 11, 150.0, 0.0}, {74, 37, 200.0, 0.0},
};
NonlinearityPoint load2_points[] = {
    {0, 37, 0.0, 0.0}, {11, 10, 50.0, 0.0}, {38, 0, 100.0, 0.0}, {64, 11, 150.0, 0.0}, {74, 37, 200.0, 0.0},
};
NonlinearityPoint loadapu_points[] = {
    {0, 37, 0.0, 0.0}, {11, 10, 50.0, 0.0}, {38, 0, 100.0, 0.0}, {64, 11, 150.0, 0.0}, {74, 37, 200.0, 0.0},
};

// All seven meters: a 75 x 75 dial and one needle about its centre.
constexpr u32 kMeterWidthMm = 75;
constexpr u32 kBmpNeedle = 310;
constexpr i32 kNeedleX = 37, kNeedleY = 37, kNeedlePivotX = -14, kNeedlePivotY = 4;
constexpr u32 kFlagsDial = ImageLuminous | ImageOption1;
constexpr u32 kFlagsNeedle = ImageLuminous | ImageOption1 | ImageOption2;
constexpr u32 kBmpDialDcVolts = 323, kBmpDialDcAmps = 320, kBmpDialAcVolts = 316, kBmpDialFreq = 326,
              kBmpDialLoad = 313;

template <size_t N>
constexpr ElementDef meter_needle(ElementValueFn fn, NonlinearityPoint (&points)[N]) {
    return el::Needle(kBmpNeedle, kNeedleX, kNeedleY, kFlagsNeedle, fn)
        .pivot(kNeedlePivotX, kNeedlePivotY)
        .table(points);
}

const ElementDef kDcVoltsDefs[] = {el::Static(kBmpDialDcVolts, 0, 0, kFlagsDial),
                                   meter_needle(dc_volts_value, dc_volts_points)};
const ElementDef kDcAmpsDefs[] = {el::Static(kBmpDialDcAmps, 0, 0, kFlagsDial),
                                  meter_needle(dc_amps_value, dc_amps_points)};
const ElementDef kAcVoltsDefs[] = {el::Static(kBmpDialAcVolts, 0, 0, kFlagsDial),
                                   meter_needle(ac_volts_value, ac_volts_points)};
const ElementDef kFreqDefs[] = {el::Static(kBmpDialFreq, 0, 0, kFlagsDial), meter_needle(ac_freq_value, freq_points)};
const ElementDef kLoad1Defs[] = {el::Static(kBmpDialLoad, 0, 0, kFlagsDial), meter_needle(load1_value, load1_points)};
const ElementDef kLoad2Defs[] = {el::Static(kBmpDialLoad, 0, 0, kFlagsDial), meter_needle(load2_value, load2_points)};
const ElementDef kLoadApuDefs[] = {el::Static(kBmpDialLoad, 0, 0, kFlagsDial),
                                   meter_needle(loadapu_value, loadapu_points)};

// Meters take no clicks: an empty parent group.
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

using Meter = Gauge<2, 2>;
Meter dc_volts(gauge_elec_ind_dc_v, "ketravin elec_ind_dc_v_kr60", kMeterWidthMm, dc_volts_update, kDcVoltsDefs,
               kNoClicks);
Meter dc_amps(gauge_elec_ind_dc_amps, "ketravin elec_ind_dc_amps_kr60", kMeterWidthMm, meter_update, kDcAmpsDefs,
              kNoClicks);
Meter ac_volts(gauge_elec_ind_ac_v, "ketravin elec_ind_ac_v_kr60", kMeterWidthMm, ac_volts_update, kAcVoltsDefs,
               kNoClicks);
Meter ac_freq(gauge_elec_ind_ac_frq, "ketravin elec_ind_ac_frq_kr60", kMeterWidthMm, ac_freq_update, kFreqDefs,
              kNoClicks);
Meter load1(gauge_elec_ind_ac_load1, "ketravin elec_ind_ac_load1_kr60", kMeterWidthMm, meter_update, kLoad1Defs,
            kNoClicks);
Meter load2(gauge_elec_ind_ac_load2, "ketravin elec_ind_ac_load2_kr60", kMeterWidthMm, meter_update, kLoad2Defs,
            kNoClicks);
Meter loadapu(gauge_elec_ind_ac_loadapu, "ketravin elec_ind_ac_loadapu_kr60", kMeterWidthMm, meter_update,
              kLoadApuDefs, kNoClicks);
}  // namespace
