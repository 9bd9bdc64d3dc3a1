// The captain's airspeed dial as every display of it shares it: the dial scale, the value
// routines of the needle, barber pole, speed index and bugs, the two dial mouse routines (bug
// sets by a centre click, bugs dragged along the rim), the needle calibration tables and the
// Mach drum inputs. Each display places its own elements; all act on the same module-wide
// variables, and only the captain's indicator computes them each frame.
#pragma once
#include "module/drums.h"
#include "module/host_interface.h"

// Dial angle in degrees clockwise from 12 o'clock (0 at 60 kt, 320 at 450 kt) of a speed in
// knots. Not a number counts as off the scale's top.
f32 asi_speed_to_dial(f64 knots);

// ---- Value routines (each limits its variable in place, then returns it) ----
f64 FSAPI asi_needle_value(ElementHeader* e);  // inst_asi_needle_kt, 0..450
f64 FSAPI asi_barber_value(ElementHeader* e);  // inst_asi_barber_kt, at most 450
f64 FSAPI asi_index_value(ElementHeader* e);   // inst_asi_ap_index_kt, at most 450
f64 FSAPI asi_bug1_value(ElementHeader* e);    // inst_asi_bug_deg[0], 0..320
f64 FSAPI asi_bug2_value(ElementHeader* e);    // inst_asi_bug_deg[1], 0..320
f64 FSAPI asi_bug3_value(ElementHeader* e);    // inst_asi_bug_deg[2], 0..320
f64 FSAPI asi_bug4_value(ElementHeader* e);    // inst_asi_bug_deg[3], 0..320

// ---- Mouse routines ----
// One dial half's routine: stores the pointer (x offset of the half added), picks, drags and
// orders the bugs, and on a centre click requests `request` (1 take-off, 2 approach) and sets
// the bug angles from the bug speeds. Works from the distance and bearing the captain's
// indicator computed at its last frame. An event without a usable rectangle does nothing.
i32 asi_dial_mouse(MousePoint* point, u32 mouse_flags, f64 x_offset, u8 request);
i32 FSAPI asi_dial_mouse_left(MousePoint* point, u32 mouse_flags);   // x offset 0, take-off
i32 FSAPI asi_dial_mouse_right(MousePoint* point, u32 mouse_flags);  // x offset 92, approach

// Dial geometry shared with the click maps.
constexpr i32 kAsiHalfWidth = 92, kAsiHeight = 184;
constexpr u32 kAsiDialEvents = MouseLeftSingle | MouseMove | MouseDrag;

// ---- Needle calibration ----
// The host writes the angles into a needle's table, so each needle needs its own copy.
struct AsiDialTables {
    NonlinearityPoint speed[3][14];  // index, barber pole, speed needle
    NonlinearityPoint degrees[4][5];  // bugs 1..4
};
AsiDialTables asi_dial_tables();

// ---- Failure flags ----
// Which of the four flags a display of the dial shows: everything without the AC essential bus
// or with the host's airspeed failed; MACH, VMO and AS on a pitot fault; else each by its own
// air-data validity.
struct AsiFlags {
    bool mach, vmo, as, red;
};
AsiFlags asi_flags(bool airspeed_failed);
// Shows or hides one display's four flag elements as asi_flags gives them, and returns them.
AsiFlags asi_show_flags(bool airspeed_failed, ElementHeader* mach, ElementHeader* vmo, ElementHeader* as,
                        ElementHeader* red);

// ---- Mach counter ----
// The drum inputs of a Mach value M (thousandths): tenths and hundredths banded drums, and the
// continuous position of the thousandths drum. A value out of the 32-bit range leaves the banded
// drums where they stand (their roll refuses it); one that is no number gives back the digits held.
struct AsiMachDrums {
    f64 tenths_x, hundredths_x, units_p;
    i32 hundreds, tens;  // trunc(M / 100), trunc(M / 10)
};
AsiMachDrums asi_mach_drums(f64 mach_display, i32 hundreds, i32 tens);

// The two banded Mach drums of every display.
constexpr drum::Band kAsiMachTenths = drum::band(0.99, 9.999, 0.99, 100, drum::Reversed);
constexpr drum::Band kAsiMachHundredths = drum::band(0.9, 9.99, 0.9, 10, drum::Reversed);

// One display's Mach counter at inst_mach_display: its two banded drums rolled, and its own
// hundreds and tens digits and thousandths drum position written.
void asi_show_mach(ElementHeader* tenths, ElementHeader* hundredths, i32& hundreds, i32& tens, f64& units_p);
