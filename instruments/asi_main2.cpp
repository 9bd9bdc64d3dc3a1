// First officer's airspeed indicator: a second display of the captain's dial. Needle, barber
// pole, speed index and the four bugs are the captain's values and value routines; its own work
// is the three Mach drums, the four failure flags and the lighting. The two dial halves pick and
// drag the shared bugs or ask for a bug set through the captain's mouse routine.
// Reads: inst_asi_needle_kt, inst_asi_barber_kt, inst_asi_ap_index_kt, inst_asi_bug_deg,
//        inst_mach_display, elec_ess_ac_any_powered, aice_pitot_fault, inst_adc1_*_valid,
//        light_zone, annunciator_bright
// Writes: inst_asi2_mach_*, and through the shared routines the bugs, pointer, drag state and
//         bug-set request
#include "instruments/asi_dial.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/tokens.h"

GaugeHeader gauge_asi_main2;

namespace {
enum Pos : size_t {
    Face, LitFace, MachUnits, MachHundredths, MachTenths, FlagMach, FlagVmo, FlagAs, FlagRed,
    Index, Barber, Needle, Bug1, Bug2, Bug3, Bug4, kElements
};
constexpr LightWalk kWalk{0, walk_range(LitFace, Needle)};  // the bugs are never lit
constexpr u32 kWidthMm = 184;
constexpr i32 kCx = 92, kCy = 91;

AsiDialTables tables = asi_dial_tables();

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //                bitmap   x    y   flags
    el::Static(        1321,   0,   0,  Opt1),
    el::Icon(         10016,   0,   0,  Hid | Lum | Opt3),
    el::EdgeDrum(      1398, 102,  43,  Lum | Opt2, &inst_asi2_mach_units_p, &inst_asi2_mach_units_shown),
    el::BandedDrum(    1324,  86,  49,  Lum | Opt2, kAsiMachHundredths, &inst_asi2_mach_hundredths_x, &inst_asi2_mach_hundredths_p),
    el::BandedDrum(    1324,  70,  49,  Lum | Opt2, kAsiMachTenths, &inst_asi2_mach_tenths_x, &inst_asi2_mach_tenths_p),
    el::Icon(          1328,  70,  49,  Hid | Lum | Opt2),
    el::Icon(          1331,  52,  87,  Hid | Lum | Opt2),
    el::Icon(          1334,  78, 122,  Hid | Lum | Opt2),
    el::Icon(          1337,  48,  16,  Hid | Lum | Opt3),
    el::Needle(        1340, kCx, kCy,  Lum | Opt3, asi_index_value).pivot(-70, 10).table(tables.speed[0]),
    el::Needle(        1344, kCx, kCy,  Lum | Opt3, asi_barber_value).pivot(-6, 4).table(tables.speed[1]),
    el::Needle(        1347, kCx, kCy,  Lum | Opt3, asi_needle_value).pivot(7, 7).table(tables.speed[2]),
    el::Needle(        1350, kCx, kCy,  Opt3, asi_bug1_value).pivot(-75, 7).table(tables.degrees[0]),
    el::Needle(        1353, kCx, kCy,  Opt3, asi_bug2_value).pivot(-75, 0).table(tables.degrees[1]),
    el::Needle(        1353, kCx, kCy,  Opt3, asi_bug3_value).pivot(-75, 0).table(tables.degrees[2]),
    el::Needle(        1353, kCx, kCy,  Opt3, asi_bug4_value).pivot(-75, 0).table(tables.degrees[3]),
};
const RectDef kRects[2] = {
    //          x              y  w              h            cursor           events          action
    rect::Click(0,             0, kAsiHalfWidth, kAsiHeight, CursorUpArrow,   kAsiDialEvents, asi_dial_mouse_left),
    rect::Click(kAsiHalfWidth, 0, kAsiHalfWidth, kAsiHeight, CursorDownArrow, kAsiDialEvents, asi_dial_mouse_right),
};

void FSAPI asi2_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_asi_main2, "ketravin asi_main2_kr60", kWidthMm, asi2_update, kElementDefs, kRects);

void FSAPI asi2_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Lighting; the lit face follows the zone.
    light_walk(gauge.header(), kWalk);
    show_if(gauge.el(LitFace), light_zone[kWalk.zone] == 1);
    // 2. The captain's Mach value on this dial's own drums, whatever the power.
    asi_show_mach(gauge.el(MachTenths), gauge.el(MachHundredths), inst_asi2_mach_hundreds, inst_asi2_mach_tens,
                  inst_asi2_mach_units_p);
    // 3-4. Flags, on this dial only (the captain's indicator raises the warning).
    asi_show_flags(tok_read_u32(tok_airspeed_fail) == 1, gauge.el(FlagMach), gauge.el(FlagVmo), gauge.el(FlagAs),
                   gauge.el(FlagRed));
}
}  // namespace
