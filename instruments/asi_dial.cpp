// The captain's airspeed dial shared by its displays: scale, value routines, mouse routines,
// failure flags and Mach drum inputs.
// Reads: elec_ess_ac_any_powered, aice_pitot_fault, inst_adc1_*_valid, inst_asi_bug_kt,
//        inst_asi_bug_gap_deg, inst_asi_pointer_dist, inst_asi_pointer_bearing
// Writes: inst_asi_needle_kt, inst_asi_barber_kt, inst_asi_ap_index_kt (limited when drawn),
//         inst_asi_bug_deg, inst_asi_bug_mode, inst_asi_pointer_x, inst_asi_pointer_y,
//         inst_asi_drag_bug, inst_asi_dragging, inst_asi_drag_past, inst_asi_drag_started
#include "instruments/asi_dial.h"

#include <cmath>

#include "air/state.h"
#include "electrical/state.h"
#include "instruments/state.h"
#include "module/numeric.h"

namespace {
// ---- Scale: knots to dial degrees ----
struct ScalePoint {
    f64 kt, deg;
};
constexpr ScalePoint kScale[] = {{60, 0},    {80, 25},   {100, 46},  {120, 70},  {140, 90},
                                 {160, 114}, {180, 135}, {200, 160}, {250, 217}, {300, 244},
                                 {350, 270}, {400, 297}, {450, 320}};
constexpr f64 kTopDeg = 320.0;
constexpr f64 kMaxKt = 450.0;

// ---- Mouse ----
constexpr f64 kCentreRadius = 50.0;  // inside: the bug-set button; outside: the rim
constexpr f64 kDeadSectorFrom = 330.0;
constexpr f64 kDialTop = 320.0;

f64& b(int k) { return inst_asi_bug_deg[k - 1]; }

// A drag's quadrant flags: set from the bearing when the drag starts, then updated so that the
// pointer must pass each quadrant in turn.
void quadrants(f64 bearing) {
    u8* p = inst_asi_drag_past;
    if (inst_asi_drag_started == 0) {
        p[0] = bearing >= 90.0;
        p[1] = bearing >= 180.0;
        p[2] = bearing >= 270.0;
        inst_asi_drag_started = 1;
        return;
    }
    if (bearing < 90.0) {
        if (p[0] == 1 && p[2] == 0) p[0] = 0;
    } else if (bearing < 180.0) {
        if (p[1] == 1) p[1] = 0;
        p[0] = 1;
    } else if (bearing < 270.0) {
        if (p[2] == 1) p[2] = 0;
        if (p[0] == 1) p[1] = 1;
    } else if (p[1] == 1 && p[0] == 1) {
        p[2] = 1;
    }
}

bool quadrant_refuses(f64 bearing) {
    const u8* p = inst_asi_drag_past;
    return (bearing >= 180.0 && bearing < 270.0 && p[1] == 0) || (bearing >= 270.0 && p[2] == 0) ||
           (bearing < 180.0 && p[2] == 1);
}

// Moves bug k to the bearing when it lies in the bug's range.
void move_bug(int k, f64 bearing, f64 w) {
    switch (k) {
        case 1: if (bearing < kDialTop - 3 * w) b(1) = bearing; break;
        case 2: if (bearing >= 0.0 && bearing < kDialTop - 2 * w) b(2) = bearing; break;
        case 3: if (bearing >= w && bearing < kDialTop - w) b(3) = bearing; break;
        case 4:
            if (bearing >= 2 * w && bearing < kDialTop + w) b(4) = bearing > kDialTop ? kDialTop : bearing;
            break;
        default: break;
    }
}

// The ordering rules, applied for the picked bug.
void lift_bug1_to_bug2() {
    if (b(2) < b(1)) b(1) = b(2);
}
void keep_bug2(f64 w) {
    if (b(2) + w > b(3))
        b(2) = b(3) - w;
    else if (b(1) > b(2))
        b(2) = b(1);
}
void keep_bug3(f64 w) {
    if (b(3) + w > b(4))
        b(3) = b(4) - w;
    else if (b(3) - w < b(2))
        b(3) = b(2) + w;
}
void keep_bug4(f64 w) {
    if (b(4) - w < b(3)) b(4) = b(3) + w;
}
void restore_order(int k, f64 w) {
    switch (k) {
        case 1: keep_bug2(w); keep_bug3(w); keep_bug4(w); break;
        case 2: lift_bug1_to_bug2(); keep_bug3(w); keep_bug4(w); break;
        case 3: lift_bug1_to_bug2(); keep_bug2(w); keep_bug4(w); break;
        case 4: lift_bug1_to_bug2(); keep_bug2(w); keep_bug3(w); break;
        default: break;
    }
}

// Angles of the four bugs from their speeds, each at least the gap beyond the one before.
void bugs_from_speeds(f64 w) {
    b(1) = asi_speed_to_dial(inst_asi_bug_kt[0]);
    b(2) = std::fmax(asi_speed_to_dial(inst_asi_bug_kt[1]), b(1));
    b(3) = std::fmax(asi_speed_to_dial(inst_asi_bug_kt[2]), b(2) + w);
    b(4) = std::fmax(asi_speed_to_dial(inst_asi_bug_kt[3]), b(3) + w);
}

f64 limit_bug(int k) {
    f64& v = b(k);
    if (!(v >= 0.0)) v = 0.0;  // also a value that is not a number
    if (v > kDialTop) v = kDialTop;
    return v;
}
}  // namespace

f32 asi_speed_to_dial(f64 knots) {
    if (knots <= kScale[0].kt) return 0.0f;
    for (size_t i = 1; i < sizeof kScale / sizeof kScale[0]; ++i) {
        const ScalePoint lo = kScale[i - 1], hi = kScale[i];
        if (knots > lo.kt && knots <= hi.kt) return f32(lerp2(knots, lo.kt, hi.kt, lo.deg, hi.deg));
    }
    return f32(kTopDeg);
}

f64 FSAPI asi_needle_value(ElementHeader*) {
    f64& v = inst_asi_needle_kt;
    if (!(v >= 0.0)) v = 0.0;
    if (v > kMaxKt) v = kMaxKt;
    return v;
}
f64 FSAPI asi_barber_value(ElementHeader*) {
    if (inst_asi_barber_kt > u32(kMaxKt)) inst_asi_barber_kt = u32(kMaxKt);
    return f64(inst_asi_barber_kt);
}
f64 FSAPI asi_index_value(ElementHeader*) {
    if (inst_asi_ap_index_kt > u32(kMaxKt)) inst_asi_ap_index_kt = u32(kMaxKt);
    return f64(inst_asi_ap_index_kt);
}
f64 FSAPI asi_bug1_value(ElementHeader*) { return limit_bug(1); }
f64 FSAPI asi_bug2_value(ElementHeader*) { return limit_bug(2); }
f64 FSAPI asi_bug3_value(ElementHeader*) { return limit_bug(3); }
f64 FSAPI asi_bug4_value(ElementHeader*) { return limit_bug(4); }

i32 asi_dial_mouse(MousePoint* point, u32 mouse_flags, f64 x_offset, u8 request) {
    // An event without its rectangle, or with an empty one, has no place on the dial.
    if (!point || !point->rect || point->rect->w <= 0 || point->rect->h <= 0) return 0;
    const f64 w = inst_asi_bug_gap_deg;
    const f64 dist = inst_asi_pointer_dist, bearing = inst_asi_pointer_bearing;
    const bool drag = (mouse_flags & MouseDrag) != 0;

    // 1. The pointer, in dial units; the geometry follows at the indicator's next frame.
    inst_asi_pointer_x = f64(point->x) / f64(point->rect->w) * kAsiHalfWidth + x_offset;
    inst_asi_pointer_y = f64(point->y) / f64(point->rect->h) * kAsiHeight;

    // 2. Pick the bug under the pointer; frozen while a drag goes on.
    if (inst_asi_dragging == 0) {
        inst_asi_drag_bug = 0;
        if (dist > kCentreRadius)
            for (int k = 1; k <= 4; ++k)
                if (b(k) - w < bearing && bearing < b(k) + w) {
                    inst_asi_drag_bug = u8(k);
                    break;
                }
    }
    // 3. Anything but a drag ends one.
    if (!drag) inst_asi_dragging = inst_asi_drag_started = 0;

    // 4. Drag along the rim, short of the dead sector.
    if (dist > kCentreRadius && bearing < kDeadSectorFrom && drag) {
        inst_asi_dragging = 1;
        quadrants(bearing);
        if (!quadrant_refuses(bearing)) move_bug(inst_asi_drag_bug, bearing, w);
        restore_order(inst_asi_drag_bug, w);
    }

    // 5. Centre click: request the set and place the bugs on the speeds standing now.
    if (dist < kCentreRadius && (mouse_flags & MouseLeftSingle)) {
        inst_asi_bug_mode = request;
        bugs_from_speeds(w);
    }
    return 0;
}

i32 FSAPI asi_dial_mouse_left(MousePoint* point, u32 mouse_flags) {
    return asi_dial_mouse(point, mouse_flags, 0.0, 1);
}
i32 FSAPI asi_dial_mouse_right(MousePoint* point, u32 mouse_flags) {
    return asi_dial_mouse(point, mouse_flags, kAsiHalfWidth, 2);
}

AsiDialTables asi_dial_tables() {
    constexpr NonlinearityPoint kSpeed[14] = {
        {92, 11, 0, 0},     {92, 11, 60, 0},   {125, 17, 80, 0},  {150, 35, 100, 0}, {167, 62, 120, 0},
        {172, 93, 140, 0},  {166, 124, 160, 0}, {149, 149, 180, 0}, {121, 167, 200, 0}, {44, 153, 250, 0},
        {19, 126, 300, 0},  {11, 91, 350, 0},  {20, 55, 400, 0},  {42, 27, 450, 0},
    };
    constexpr NonlinearityPoint kDegrees[5] = {
        {92, 0, 0, 0}, {183, 91, 90, 0}, {92, 183, 180, 0}, {0, 91, 270, 0}, {21, 0, 320, 0},
    };
    AsiDialTables t{};
    for (auto& table : t.speed)
        for (size_t i = 0; i < 14; ++i) table[i] = kSpeed[i];
    for (auto& table : t.degrees)
        for (size_t i = 0; i < 5; ++i) table[i] = kDegrees[i];
    return t;
}

AsiFlags asi_flags(bool airspeed_failed) {
    if (elec_ess_ac_any_powered == 0 || airspeed_failed) return {true, true, true, true};
    if (aice_pitot_fault == 1) return {true, true, true, false};
    return {inst_adc1_air_valid == 0, inst_adc1_alt_valid == 0, inst_adc1_ias_valid == 0, false};
}

AsiMachDrums asi_mach_drums(f64 m, i32 hundreds, i32 tens) {
    AsiMachDrums d{};
    d.hundreds = sat_i32(m / 100.0, hundreds);
    d.tens = sat_i32(m / 10.0, tens);
    d.tenths_x = m / 100.0;
    d.hundredths_x = (m - 100.0 * d.hundreds) / 10.0;
    d.units_p = 10.0 - (m - 10.0 * d.tens);
    return d;
}

AsiFlags asi_show_flags(bool airspeed_failed, ElementHeader* mach, ElementHeader* vmo, ElementHeader* as,
                        ElementHeader* red) {
    const AsiFlags f = asi_flags(airspeed_failed);
    show_if(mach, f.mach);
    show_if(vmo, f.vmo);
    show_if(as, f.as);
    show_if(red, f.red);
    return f;
}

void asi_show_mach(ElementHeader* tenths, ElementHeader* hundredths, i32& hundreds, i32& tens, f64& units_p) {
    const AsiMachDrums d = asi_mach_drums(inst_mach_display, hundreds, tens);
    hundreds = d.hundreds;
    tens = d.tens;
    drum_roll(tenths, d.tenths_x);
    drum_roll(hundredths, d.hundredths_x);
    units_p = d.units_p;
}
