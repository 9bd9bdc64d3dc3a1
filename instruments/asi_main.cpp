// Captain's airspeed indicator, fed by air data computer 1: rate-limited speed needle, barber
// pole, autopilot speed index, three-drum Mach counter and four failure flags; on its rim the
// four speed bugs, set from the gross weight by a centre click or dragged, and the take-off calls.
// Reads: inst_adc1_powered, inst_adc1_ias_valid, inst_adc1_air_valid, inst_adc1_alt_valid,
//        inst_adc1_ok, aice_pitot_fault, elec_ess_ac_any_powered, weight_gross_hundreds,
//        inst_flap_detent, ats_spd_mode, light_zone, annunciator_bright
// Writes: inst_asi_needle_kt, inst_asi_barber_kt, inst_asi_ap_index_kt, inst_mach_display, the
//         Mach drums, warn_flag_asi, the reference speeds, inst_asi_bug_kt, inst_asi_bug_mode,
//         inst_asi_bug_set_active, inst_asi_bug_set_deadline, inst_asi_callout_done,
//         inst_asi_pointer_dist, inst_asi_pointer_bearing, ats_speed_target
#include <algorithm>

#include "air/state.h"
#include "autoflight/ap_keys.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "fuel/state.h"
#include "instruments/asi_dial.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/deadline.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/numeric.h"
#include "module/panel_images.h"
#include "module/services.h"
#include "module/tokens.h"
#include "sound/sound.h"

GaugeHeader gauge_asi_main;

namespace {
enum Pos : size_t {
    Face, LitFace, MachUnits, MachHundredths, MachTenths, FlagMach, FlagVmo, FlagAs, FlagRed,
    Index, Barber, Needle, Bug1, Bug2, Bug3, Bug4, OverlayTakeoff, OverlayLanding, kElements
};
constexpr LightWalk kWalk{0, walk_range(LitFace, Needle)};
constexpr u32 kWidthMm = 184;
constexpr i32 kCx = 92, kCy = 91;  // every needle turns about the dial centre

AsiDialTables tables = asi_dial_tables();

using namespace fl;
const ElementDef kElementDefs[kElements] = {
    //                bitmap   x    y   flags
    el::Static(        1321,   0,   0,  Opt1),
    el::Icon(         10016,   0,   0,  Hid | Lum | Opt3),
    el::EdgeDrum(      1398, 102,  43,  Lum | Opt2, &inst_asi_mach_units_p, &inst_asi_mach_units_shown),
    el::BandedDrum(    1324,  86,  49,  Lum | Opt2, kAsiMachHundredths, &inst_asi_mach_hundredths_x, &inst_asi_mach_hundredths_p),
    el::BandedDrum(    1324,  70,  49,  Lum | Opt2, kAsiMachTenths, &inst_asi_mach_tenths_x, &inst_asi_mach_tenths_p),
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
    el::Icon(          1356,   0,   0,  Hid | Lum | Opt2),  // "BUGS IN TAKE OFF CONFIG"
    el::Icon(          1360,   0,   0,  Hid | Lum | Opt2),  // "BUGS IN LANDING CONFIG"
};
const RectDef kRects[] = {
    //          x              y  w              h            cursor           events          action
    rect::Click(0,             0, kAsiHalfWidth, kAsiHeight, CursorUpArrow,   kAsiDialEvents, asi_dial_mouse_left),
    rect::Click(kAsiHalfWidth, 0, kAsiHalfWidth, kAsiHeight, CursorDownArrow, kAsiDialEvents, asi_dial_mouse_right),
};

void FSAPI asi_main_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge(gauge_asi_main, "ketravin asi_main_kr60", kWidthMm, asi_main_update, kElementDefs, kRects);

// ---- Reference speeds from the gross weight ----
constexpr f64 kPoundsToKg = 0.453;
constexpr f64 kKtPerTonne = 0.542, kBaseKt = 63.75;
constexpr i32 kApproachAdd = 10, kShortOfDetentAdd = 15, kV1Below = 7, kVrBelow = 4;
constexpr i32 kBug2Add = 15, kBug3Add = 55, kBug4Add = 85, kApproachBug2Add = 25;
constexpr i32 kDetentMargin = 10;

// Speeds are worked out in whole knots and only then kept as bytes, so that a heavy aircraft
// reads 255 rather than wrapping to a low speed.
u8 speed_byte(i32 kt) { return u8(std::clamp(kt, 0, 255)); }

void reference_speeds() {
    f64 m = weight_gross_hundreds;
    if (std::isnan(m)) return;  // no weight known: the speeds stand as last worked out
    if (tok_read(tok_units_of_measure) == 0.0) m = m * kPoundsToKg;
    const i32 base = speed_byte(sat_i32(m / 10.0 * kKtPerTonne + kBaseKt, inst_asi_base_kt));
    inst_asi_base_kt = u8(base);
    inst_asi_app_target_kt = speed_byte(base + kApproachAdd);
    const f64 flaps = tok_read(tok_flaps_left_pos);
    const i32 to_target = f64(i32(inst_flap_detent[1]) - kDetentMargin) > flaps ? base + kShortOfDetentAdd : base;
    inst_asi_to_target_kt = speed_byte(to_target);
    inst_asi_v1_kt = speed_byte(to_target - kV1Below);
    inst_asi_to_bug2_kt = speed_byte(base + kBug2Add);
    inst_asi_bug3_kt = speed_byte(base + kBug3Add);
    inst_asi_bug4_kt = speed_byte(base + kBug4Add);
    inst_asi_vr_kt = speed_byte(to_target - kVrBelow);
}

// ---- Air data ----
constexpr f64 kRiseKt = 10.0, kDecayKt = 10.0;
constexpr f64 kVmoScale = 128.0;
constexpr f64 kMachLowest = 3000.0, kMachScale = 20.0, kMachOffset = 5.0, kMachFloor = 150.0;

void needle_decay() {
    f64& n = inst_asi_needle_kt;
    n = n > kDecayKt ? n - kDecayKt : 0.0;
}

// Rises at most 10 kt a frame, falls at once. The speed is compared as the host gives it, so an
// infinite one lies above the needle and raises it a step; a speed that is no number (or -inf)
// gives nothing to follow, and the needle stands: sinking belongs to failed air data only.
void needle_follow(f64 v) {
    f64& n = inst_asi_needle_kt;
    if (!std::isfinite(n)) return needle_decay();
    if (v - kRiseKt > n)
        n += kRiseKt;
    else if (std::isfinite(v))
        n = v;
}

void air_data(f64 ias, f64 mach, f64 vmo, f64 ap_speed, bool asi_failed) {
    const bool pitot_failed = tok_read_u32(tok_pitot_fail) == 1;
    if (pitot_failed || inst_adc1_powered != 1 || elec_ess_ac_any_powered != 1) return needle_decay();
    // A VMO or selected speed that is no number, or infinite, gives no knots: the pole and the
    // index keep what they last showed. Absurd finite ones saturate.
    if (inst_adc1_alt_valid == 1 && std::isfinite(vmo))
        inst_asi_barber_kt = sat_u32(vmo / kVmoScale, inst_asi_barber_kt);
    if (std::isfinite(ap_speed)) inst_asi_ap_index_kt = sat_u32(ap_speed, inst_asi_ap_index_kt);
    const bool probes_ok = !asi_failed && aice_pitot_fault == 0;
    if (probes_ok && inst_adc1_ias_valid == 1)
        needle_follow(ias);
    else
        needle_decay();
    // The Mach token out of range is no reading: the counter keeps its value.
    if (probes_ok && inst_adc1_air_valid == 1 && std::isfinite(mach))
        inst_mach_display = mach > kMachLowest ? mach / kMachScale - kMachOffset : kMachFloor;
}

void mach_drums() {
    asi_show_mach(gauge.el(MachTenths), gauge.el(MachHundredths), inst_asi_mach_hundreds, inst_asi_mach_tens,
                  inst_asi_mach_units_p);
}

void flags() {
    const AsiFlags f = asi_show_flags(tok_read_u32(tok_airspeed_fail) == 1, gauge.el(FlagMach), gauge.el(FlagVmo),
                                      gauge.el(FlagAs), gauge.el(FlagRed));
    warn_flag_asi = f.as ? 1 : 0;  // the AS flag is the master warning's airspeed flag
}

// ---- Bug sets ----
constexpr u32 kBugSetTicks = 36;  // the set's message stays two seconds
constexpr u32 kBugFloorKt = 60;
enum : u8 { NoSet = 0, TakeoffSet = 1, ApproachSet = 2 };

// The autothrottle gets the set's target only while its speed mode is off and no target is set.
void offer_speed_target(i32 kt) {
    if (ats_spd_mode != 0 || ats_speed_target != 0) return;
    ats_speed_target = kt;
    svc::send_key_event(key_ap_speed_set, u32(kt));
}

void apply_bug_set(f64 tick) {
    const u8 mode = inst_asi_bug_mode;
    const u32 base = inst_asi_base_kt;
    if (mode != NoSet && inst_asi_bug_set_active == 0) {
        if (mode == TakeoffSet) {
            inst_asi_bug_kt[0] = std::max<u32>(inst_asi_v1_kt, kBugFloorKt);
            offer_speed_target(inst_asi_to_target_kt);
            inst_asi_bug_kt[1] = base + kBug2Add;
        } else if (mode == ApproachSet) {
            inst_asi_bug_kt[0] = std::max<u32>(base, kBugFloorKt);
            offer_speed_target(i32(base) + kApproachAdd);
            inst_asi_bug_kt[1] = base + kApproachBug2Add;
        } else {
            inst_asi_bug_mode = NoSet;  // no such set: the request is dropped
            return;
        }
        inst_asi_bug_kt[2] = base + kBug3Add;
        inst_asi_bug_kt[3] = base + kBug4Add;
        inst_asi_bug_set_deadline = deadline_arm(tick, kBugSetTicks);
        inst_asi_bug_set_active = 1;
    }
    if (inst_asi_bug_mode == NoSet || inst_asi_bug_set_active == 0) return;
    if (!deadline_reached(inst_asi_bug_set_deadline, tick, kBugSetTicks)) {
        if (inst_asi_bug_mode == TakeoffSet) show_if(gauge.el(OverlayTakeoff), true);
        if (inst_asi_bug_mode == ApproachSet) show_if(gauge.el(OverlayLanding), true);
        return;
    }
    show_if(gauge.el(OverlayTakeoff), false);
    show_if(gauge.el(OverlayLanding), false);
    inst_asi_bug_mode = NoSet;
    inst_asi_bug_set_active = 0;
}

// ---- Take-off calls ----
constexpr f64 kCall80Kt = 80.0;
constexpr f64 kTakeoffThrottle = 0.8;

void call_once(u8& done, bool reached, SoundBuffer* sound) {
    if (!reached || done != 0) return;
    if (sound) sound_play(sound, 0);
    done = 1;  // counts as called even when the sound is missing
}

void takeoff_calls() {
    const bool on_ground = tok_read(tok_on_ground) == 1.0;
    const f64 v = tok_read(tok_ias_kt);
    const bool takeoff_thrust = tok_read(tok_eng1_throttle_lever) >= kTakeoffThrottle;
    u8* done = inst_asi_callout_done;
    if (on_ground && takeoff_thrust && inst_adc1_ok == 1) {
        call_once(done[0], v >= kCall80Kt, snd_v80kts);
        call_once(done[1], v >= f64(inst_asi_v1_kt), snd_v1kts);
        call_once(done[2], v >= f64(inst_asi_vr_kt), snd_vrkts);
    } else {
        done[0] = done[1] = done[2] = 0;  // re-armed for the next run
    }
}

// The mouse routines read this at the next event: distance and bearing of the stored pointer.
void pointer_geometry() {
    const f64 cx = kCx, cy = kCy;
    if (!std::isfinite(inst_asi_pointer_x) || !std::isfinite(inst_asi_pointer_y)) {
        inst_asi_pointer_x = cx;  // a pointer written as no number stands at the centre
        inst_asi_pointer_y = cy;
    }
    inst_asi_pointer_dist = plane_distance(cx, cy, inst_asi_pointer_x, inst_asi_pointer_y);
    inst_asi_pointer_bearing = plane_bearing(cx, cy, inst_asi_pointer_x, inst_asi_pointer_y);
}

void FSAPI asi_main_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Lighting walk; the lit face follows the zone.
    light_walk(gauge.header(), kWalk);
    show_if(gauge.el(LitFace), light_zone[kWalk.zone] == 1);
    // 2. Reference speeds.
    reference_speeds();
    // 3-4. Air data.
    const f64 ias = tok_read(tok_ias_kt), mach = tok_read(tok_mach), ap_speed = tok_read(tok_ap_speed_sel_kt);
    const f64 vmo = tok_read(tok_vmo_kt);
    air_data(ias, mach, vmo, ap_speed, tok_read_u32(tok_airspeed_fail) == 1);
    // 5. Mach drums; 6. flags.
    mach_drums();
    flags();
    // 7. Bug sets; 8. take-off calls; 9. pointer geometry, last.
    apply_bug_set(tok_read(tok_tick18));
    takeoff_calls();
    pointer_geometry();
}
}  // namespace
