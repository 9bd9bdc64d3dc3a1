// Exterior lights panel of the overhead: NAV FLT, LOGO, BEACON, STROBE, WING, the two LAND
// levers (RETRACT / OFF / ON) and NOSE with RUNWAY. The panel is the master: every frame each
// host light is brought to what its switch and the buses allow, by a key event only when the
// host's light disagrees.
// Reads: dc_ess_powered, elec_ac_bus1_powered, elec_ac_bus2_powered, elec_gen1_load,
//        elec_gen2_load, elec_apu_gen_load_a, ext_power_on, light_zone, annunciator_bright
// Writes: light_nav_sw, light_logo_sw, light_beacon_sw, light_strobe_sw, light_wing_sw,
//         light_land_sw, light_nose_sw
#include "lighting/lighting_keys.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/switches.h"

GaugeHeader gauge_ext_lt;

namespace {
enum Pos {
    Plate,
    NavDown, NavUp,
    LogoDown, LogoUp,
    BeaconDown, BeaconUp,
    StrobeDown, StrobeUp,
    WingDown, WingUp,
    LandLeftOff, LandLeftOn, LandRightOff, LandRightOn,
    NoseDown, NoseUp, RunwayDown, RunwayUp,
    LandLeftRetracted, LandRightRetracted,
    kElements
};

// light_land_sw
constexpr u8 kLandRetract = 0;
constexpr u8 kLandOff = 1;
constexpr u8 kLandOn = 2;

constexpr u32 kBmpPlate = 7141;
constexpr u32 kBmpSwitchDown = 294;
constexpr u32 kBmpSwitchUp = 297;
constexpr u32 kBmpLandOff = 7142;
constexpr u32 kBmpLandOn = 7143;
constexpr u32 kBmpLandRetracted = 7144;

const ElementDef kElementDefs[kElements] = {
    //         bitmap             x    y   flags
    el::Static(kBmpPlate,         0,   0),
    el::Icon(kBmpSwitchDown,      25,  36),               // NAV FLT
    el::Icon(kBmpSwitchUp,        25,  20, ImageHidden),
    el::Icon(kBmpSwitchDown,      61,  36),               // LOGO
    el::Icon(kBmpSwitchUp,        61,  20, ImageHidden),
    el::Icon(kBmpSwitchDown,      96,  36),               // BEACON
    el::Icon(kBmpSwitchUp,        96,  20, ImageHidden),
    el::Icon(kBmpSwitchDown,      131, 36),               // STROBE
    el::Icon(kBmpSwitchUp,        131, 20, ImageHidden),
    el::Icon(kBmpSwitchDown,      168, 36),               // WING
    el::Icon(kBmpSwitchUp,        168, 20, ImageHidden),
    el::Icon(kBmpLandOff,         20,  74, ImageHidden),  // LAND left lever
    el::Icon(kBmpLandOn,          20,  58, ImageHidden),
    el::Icon(kBmpLandOff,         60,  74, ImageHidden),  // LAND right lever
    el::Icon(kBmpLandOn,          60,  58, ImageHidden),
    el::Icon(kBmpSwitchDown,      109, 80),               // NOSE
    el::Icon(kBmpSwitchUp,        109, 62, ImageHidden),
    el::Icon(kBmpSwitchDown,      153, 80),               // RUNWAY
    el::Icon(kBmpSwitchUp,        153, 62, ImageHidden),
    el::Icon(kBmpLandRetracted,   20,  94),               // LAND levers retracted
    el::Icon(kBmpLandRetracted,   60,  94),
};

constexpr LightWalk kWalk{2, walk_positions({Plate})};

i32 FSAPI land_up(MousePoint*, u32) {
    if (light_land_sw == kLandOff) switch_to(light_land_sw, kLandOn);
    return 0;
}
i32 FSAPI land_middle(MousePoint*, u32) {
    switch_to(light_land_sw, kLandOff);
    return 0;
}
// The levers may be retracted only with the lights already out.
i32 FSAPI land_down(MousePoint*, u32) {
    if (light_land_sw == kLandRetract) return 0;
    if (tok_read(tok_landing_lights) == 1.0) return 0;
    switch_to(light_land_sw, kLandRetract);
    return 0;
}

const RectDef kRects[] = {
    //          x    y   w   h   cursor           events           action
    rect::Click(14,  14, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_nav_sw, 1>),
    rect::Click(11,  34, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_nav_sw, 0>),
    rect::Click(50,  16, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_logo_sw, 1>),
    rect::Click(47,  34, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_logo_sw, 0>),
    rect::Click(85,  14, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_beacon_sw, 1>),
    rect::Click(82,  34, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_beacon_sw, 0>),
    rect::Click(120, 14, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_strobe_sw, 1>),
    rect::Click(117, 34, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_strobe_sw, 0>),
    rect::Click(157, 14, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_wing_sw, 1>),
    rect::Click(154, 34, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_wing_sw, 0>),
    rect::Click(6,   56, 88, 20, CursorUpArrow,   MouseLeftSingle, land_up),
    rect::Click(4,   76, 88, 17, CursorHand,      MouseLeftSingle, land_middle),
    rect::Click(2,   93, 88, 20, CursorDownArrow, MouseLeftSingle, land_down),
    rect::Click(98,  58, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_nose_sw, 1>),  // NOSE
    rect::Click(95,  78, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_nose_sw, 0>),
    rect::Click(142, 58, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_nose_sw, 1>),  // RUNWAY
    rect::Click(139, 78, 33, 20, CursorHand,      MouseLeftSingle, click_switch<&light_nose_sw, 0>),
};

// ---- host sync -------------------------------------------------------------------------------
// A light that must be on and reads exactly 0.0 gets its on keys; one that must be off and reads
// exactly 1.0 gets its off keys. Any other reading is left alone.
template <size_t NOn, size_t NOff>
void keep_light(f64 host, bool wanted, const u32 (&on_keys)[NOn], const u32 (&off_keys)[NOff]) {
    if (wanted && host == 0.0)
        for (u32 k : on_keys) svc::send_key_event(k, 0);
    else if (!wanted && host == 1.0)
        for (u32 k : off_keys) svc::send_key_event(k, 0);
}

constexpr u32 kNavKeys[] = {key_ext_light_a_event_2, key_ext_light_a_event_3, key_ext_light_a_event_1};
constexpr u32 kLogoKeys[] = {key_ext_light_b_toggle};
constexpr u32 kBeaconKeys[] = {key_beacon_lights_toggle};
constexpr u32 kStrobeOn[] = {key_strobes_on};
constexpr u32 kStrobeOff[] = {key_strobes_off};
constexpr u32 kWingKeys[] = {key_ext_light_c_toggle};
constexpr u32 kNoseKeys[] = {key_taxi_lights_toggle};
constexpr u32 kLandOnKeys[] = {key_landing_lights_on};
constexpr u32 kLandOffKeys[] = {key_landing_lights_off};
constexpr u32 kExtend = 1;  // key_ext_light_d_set values
constexpr u32 kRetract = 0;

// Landing lights: on or dark while extended with AC and a generator; otherwise out first, then
// retracted.
void keep_landing_lights(f64 host_lit, bool powered) {
    const bool extended = powered && (light_land_sw == kLandOn || light_land_sw == kLandOff);
    keep_light(host_lit, extended && light_land_sw == kLandOn, kLandOnKeys, kLandOffKeys);
    const f64 host_extended = tok_read(tok_ext_light_d);
    if (extended && host_extended == 0.0) svc::send_key_event(key_ext_light_d_set, kExtend);
    if (!extended && host_extended == 1.0) svc::send_key_event(key_ext_light_d_set, kRetract);
}

void FSAPI ext_lt_update(GaugeHeader* g, i32 service, u32);
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_ext_lt, "ketravin ext_lt_kr60", 194, ext_lt_update,
                                                         kElementDefs, kRects);

void FSAPI ext_lt_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Plate lighting.
    light_walk(*g, kWalk);

    // 2. Switch images.
    show_one_of(gauge, NavDown, 2, light_nav_sw == 1);
    show_one_of(gauge, LogoDown, 2, light_logo_sw == 1);
    show_one_of(gauge, BeaconDown, 2, light_beacon_sw == 1);
    show_one_of(gauge, StrobeDown, 2, light_strobe_sw == 1);
    show_one_of(gauge, WingDown, 2, light_wing_sw == 1);
    const u8 land = light_land_sw;
    show_if(gauge.el(LandLeftOn), land == kLandOn);
    show_if(gauge.el(LandRightOn), land == kLandOn);
    show_if(gauge.el(LandLeftOff), land == kLandOff);
    show_if(gauge.el(LandRightOff), land == kLandOff);
    show_if(gauge.el(LandLeftRetracted), land == kLandRetract);
    show_if(gauge.el(LandRightRetracted), land == kLandRetract);
    show_one_of(gauge, NoseDown, 2, light_nose_sw == 1);
    show_one_of(gauge, RunwayDown, 2, light_nose_sw == 1);

    // 3. Host lights as they stand.
    const f64 nav = tok_read(tok_ext_light_a);
    const f64 logo = tok_read(tok_ext_light_b);
    const f64 beacon = tok_read(tok_beacon_lights);
    const f64 strobe = tok_read(tok_strobe_lights);
    const f64 wing = tok_read(tok_ext_light_c);
    const f64 taxi = tok_read(tok_taxi_lights);
    const f64 landing = tok_read(tok_landing_lights);

    // 4. Power: a generator carries load when any of the three does (tested one by one, since
    // adding the u32 loads could wrap to 0).
    const bool dc = dc_ess_powered == 1;
    const bool ac = elec_ac_bus1_powered == 1 || elec_ac_bus2_powered == 1;
    const bool gen = elec_gen1_load != 0 || elec_gen2_load != 0 || elec_apu_gen_load_a != 0;
    const bool ext = ext_power_on == 1;

    // 5. Host sync, in this order.
    keep_light(nav, light_nav_sw == 1 && dc, kNavKeys, kNavKeys);
    keep_light(logo, light_logo_sw == 1 && ac && (gen || ext), kLogoKeys, kLogoKeys);
    keep_light(beacon, light_beacon_sw == 1 && ac && gen, kBeaconKeys, kBeaconKeys);
    keep_light(strobe, light_strobe_sw == 1 && ac && gen, kStrobeOn, kStrobeOff);
    keep_light(wing, light_wing_sw == 1 && ac && gen, kWingKeys, kWingKeys);
    keep_landing_lights(landing, ac && gen);
    keep_light(taxi, light_nose_sw == 1 && ac && gen, kNoseKeys, kNoseKeys);
}
}  // namespace
