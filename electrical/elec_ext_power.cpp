// Ground power and essential equipment section of the flight engineer's electrical panel: the
// ground power request push-button with its two-second messages, the EXT PWR switch, and the
// SMOKE DRILL NAV SELECT and ESS BUS switches that set the essential equipment level.
// Reads: tok_on_ground, tok_eng1_n2, tok_eng2_n2, tok_parking_brake, tok_velocity_x,
//        tok_velocity_z, tok_tick18, elec_ac_bus2_powered, light_zone, annunciator_bright
// Writes: elec_ext_pwr_sw, elec_smoke_drill_sw, elec_ess_bus_sw, elec_ext_pwr_request,
//         elec_ext_pwr_avail, elec_ext_pwr_connected, ext_power_on, air_ext_power_on,
//         elec_ext_pwr_msg, elec_ext_pwr_msg_running, elec_ext_pwr_msg_deadline,
//         elec_ess_equipment_level, warn_ess_eqpt_ac2_off
#include "air/state.h"
#include "electrical/state.h"
#include "electrical/elec_panel.h"
#include "module/deadline.h"
#include "module/lighting.h"
#include "module/switches.h"

GaugeHeader gauge_elec_ext_pwr;

namespace {
enum Pos : size_t {
    Background,
    LampExtPwrAvail,
    LampExtPwrOn,
    ExtPwrDown, ExtPwrUp,
    SmokeDrillDown, SmokeDrillUp,
    EssBusDown, EssBusUp,
    MsgAvail, MsgOff, MsgNoExtPwr,
    kElements
};

// Messages drawn over the push-button (elec_ext_pwr_msg).
constexpr u8 kMsgNone = 0, kMsgAvail = 1, kMsgOff = 2, kMsgNoExtPwr = 3;
constexpr size_t kMessages = 3;
constexpr u32 kMessageTicks = 36;  // two seconds of tok_tick18

// Availability: on the ground, not both engines running, parked, at rest.
constexpr f64 kOnGround = 1.0;
constexpr f64 kEngineRunningN2 = 20.0;
constexpr f64 kAtRestVelocity = 1.0;

// Essential equipment levels.
constexpr u8 kLevelMinEqpt = 0, kLevelSmokeDrill = 1, kLevelNormEqpt = 2;

constexpr u32 kFlagsLamp = ImageHidden | ImageBright | ImageOption1 | ImageOption2;
constexpr u32 kFlagsMessage = ImageHidden | ImageLuminous | ImageOption2;

constexpr u32 kBmpBackground = 339;
constexpr u32 kBmpLampExtPwrAvail = 342;
constexpr u32 kBmpLampExtPwrOn = 345;
constexpr u32 kBmpMsgExtPwrAvail = 4160;
constexpr u32 kBmpMsgExtPwrOff = 4163;
constexpr u32 kBmpMsgNoExtPwr = 4166;

const ElementDef kElementDefs[kElements] = {
    //       bitmap                 x    y   start flags
    el::Static(kBmpBackground,       0,   0, kFlagsBackground),
    el::Icon(kBmpLampExtPwrAvail,   94,  22, kFlagsLamp),
    el::Icon(kBmpLampExtPwrOn,      11,  22, kFlagsLamp),
    el::Icon(kBmpLeverDown,         67,  30, kFlagsLever),          // EXT PWR OFF
    el::Icon(kBmpLeverUp,           67,  16, kFlagsLeverHidden),    // EXT PWR on
    el::Icon(kBmpSwitchDown,        24,  89, kFlagsLeverHidden),    // SMOKE DRILL LAND
    el::Icon(kBmpSwitchUp,          25,  67, kFlagsLever),          // SMOKE DRILL NORM
    el::Icon(kBmpSwitchDown,       101,  89, kFlagsLeverHidden),    // ESS BUS MIN EQPT
    el::Icon(kBmpSwitchUp,         102,  67, kFlagsLever),          // ESS BUS NORM EQPT
    el::Icon(kBmpMsgExtPwrAvail,    92,   2, kFlagsMessage),
    el::Icon(kBmpMsgExtPwrOff,      92,   2, kFlagsMessage),
    el::Icon(kBmpMsgNoExtPwr,       92,   2, kFlagsMessage),
};

constexpr LightWalk kWalk{4, walk_positions({Background, MsgAvail, MsgOff, MsgNoExtPwr})};

// The push-button only latches a request; the next frame connects or refuses.
i32 FSAPI ext_power_request(MousePoint*, u32) {
    if (elec_ext_pwr_request == 0) elec_ext_pwr_request = 1;
    return 0;
}

const RectDef kRects[] = {
    //          x   y   w   h   cursor      events           action
    rect::Click(56,  0, 31, 32, CursorHand, MouseLeftSingle, click_switch<&elec_ext_pwr_sw, 1>),
    rect::Click(56, 32, 31, 32, CursorHand, MouseLeftSingle, click_switch<&elec_ext_pwr_sw, 0>),
    rect::Click(17, 58, 31, 32, CursorHand, MouseLeftSingle, click_switch<&elec_smoke_drill_sw, 0>),
    rect::Click(17, 90, 31, 32, CursorHand, MouseLeftSingle, click_switch<&elec_smoke_drill_sw, 1>),
    rect::Click(93, 58, 31, 32, CursorHand, MouseLeftSingle, click_switch<&elec_ess_bus_sw, 1>),
    rect::Click(93, 90, 31, 32, CursorHand, MouseLeftSingle, click_switch<&elec_ess_bus_sw, 0>),
    rect::Click(92,  4, 57, 51, CursorHand, MouseLeftSingle, ext_power_request),
};

void FSAPI ext_power_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 151;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_elec_ext_pwr, "ketravin elec_ext_pwr_kr60", kWidthMm,
                                                         ext_power_update, kElementDefs, kRects);

bool ground_power_available() {
    const f64 n2_1 = tok_read(tok_eng1_n2);
    const f64 n2_2 = tok_read(tok_eng2_n2);
    const f64 on_ground = tok_read(tok_on_ground);
    const f64 vx = tok_read(tok_velocity_x);
    const f64 vz = tok_read(tok_velocity_z);
    const f64 brake = tok_read(tok_parking_brake);
    const f64 velocity = vx + vz;  // the sum, not each component
    return on_ground == kOnGround && (n2_1 < kEngineRunningN2 || n2_2 < kEngineRunningN2) && brake > 0.0 &&
           velocity >= -kAtRestVelocity && velocity <= kAtRestVelocity;
}

void update_connection() {
    const bool requested = elec_ext_pwr_request == 1;
    if (elec_ext_pwr_avail == 1) {
        if (!requested) return;
        if (elec_ext_pwr_connected == 0) {
            elec_ext_pwr_connected = 1;
            elec_ext_pwr_msg = kMsgAvail;
        } else {
            elec_ext_pwr_connected = 0;
            elec_ext_pwr_msg = kMsgOff;
        }
        elec_ext_pwr_request = 0;
        return;
    }
    if (requested) {
        elec_ext_pwr_msg = kMsgNoExtPwr;
        elec_ext_pwr_request = 0;
    }
    elec_ext_pwr_connected = 0;
}

// Each message times its own two seconds, but any expiry clears the message in force, so a
// later message still timing is hidden with it.
void update_messages() {
    const f64 tick = tok_read(tok_tick18);
    for (size_t m = 0; m < kMessages; ++m) {
        const u8 message = u8(kMsgAvail + m);
        ElementHeader* e = gauge.el(MsgAvail + m);
        if (elec_ext_pwr_msg == message && elec_ext_pwr_msg_running[m] == 0) {
            set_hidden(e, false);
            elec_ext_pwr_msg_deadline[m] = deadline_arm(tick, kMessageTicks);
            elec_ext_pwr_msg_running[m] = 1;
        }
        if (elec_ext_pwr_msg_running[m] == 1 &&
            deadline_reached(elec_ext_pwr_msg_deadline[m], tick, kMessageTicks)) {
            set_hidden(e, true);
            elec_ext_pwr_msg = kMsgNone;
            elec_ext_pwr_msg_deadline[m] = 0;
            elec_ext_pwr_msg_running[m] = 0;
        }
    }
    if (elec_ext_pwr_msg == kMsgNone)
        for (size_t m = 0; m < kMessages; ++m) set_hidden(gauge.el(MsgAvail + m), true);
}

void FSAPI ext_power_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. lighting
    light_walk(gauge.header(), kWalk);
    // 2. levers, as the switches stand before this frame forces EXT PWR off
    show_lever_pair(gauge, ExtPwrDown, ExtPwrUp, elec_ext_pwr_sw == 1);
    show_lever_pair(gauge, SmokeDrillDown, SmokeDrillUp, elec_smoke_drill_sw == 0);
    show_lever_pair(gauge, EssBusDown, EssBusUp, elec_ess_bus_sw == 1);
    // 3, 4. availability
    elec_ext_pwr_avail = ground_power_available() ? 1 : 0;
    // 5. request and connection
    update_connection();
    // 6. output
    if (elec_ext_pwr_connected == 1) {
        ext_power_on = elec_ext_pwr_sw == 1 ? 1 : 0;
        air_ext_power_on = ext_power_on;
        set_hidden(gauge.el(LampExtPwrAvail), false);
    } else {
        air_ext_power_on = 0;
        ext_power_on = 0;
        elec_ext_pwr_sw = 0;
        set_hidden(gauge.el(LampExtPwrAvail), true);
    }
    show_if(gauge.el(LampExtPwrOn), ext_power_on == 1);
    // 7. messages
    update_messages();
    // 8. equipment level
    elec_ess_equipment_level = elec_ess_bus_sw == 1       ? kLevelNormEqpt
                               : elec_smoke_drill_sw == 1 ? kLevelSmokeDrill
                                                          : kLevelMinEqpt;
    // 9. the AC bus 2 caution counts only at normal equipment; below it keeps its last value
    if (elec_ess_equipment_level == kLevelNormEqpt) warn_ess_eqpt_ac2_off = elec_ac_bus2_powered == 1 ? 0 : 1;
}
}  // namespace
