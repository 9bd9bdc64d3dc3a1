// Altitude section of the autopilot panel: the selected altitude on five drums (fine and coarse
// knob), the ALT and ALT ACQ buttons and lamps, and the logic that arms, captures and holds an
// altitude through the host autopilot's altitude and V/S commands, with the altitude alert (a
// chime nearing the selection, a repeating tone leaving a held one).
// Reads: ap_fd_engaged, ap_approach_state, fd_gs_capture_state, dc_ess_powered, light_zone,
//        annunciator_bright, gpws_callout, tok_vertical_speed, tok_indicated_altitude_ft,
//        tok_ap_engaged, tok_adi_pitch_deg, tok_eng1_n2, tok_eng2_n2, tok_gear_nose_pos
// Writes: ap_selected_altitude, ap_alt_mode, ap_alt_capture_step, ap_alt_command, ap_vs_command,
//         ap_alt_held_selection, ap_alt_capture_vs, ap_alt_alert_state, ap_alt_alert_request,
//         ap_alt_deviation_alert, the altitude drums, inst_vs_fpm, ap_ias_mode, ap_turb_mode,
//         ap_go_around_mode, ap_approach_state (ALT), ap_pitch_hold_engaged, ap_pitch_ref_deg
#include <algorithm>

#include "autoflight/ap_keys.h"
#include "autoflight/autopilot.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "instruments/state.h"
#include "instruments/vertical_speed.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "warnings/state.h"

GaugeHeader gauge_ap_alt;

namespace {
enum Pos { Background, AltLamp, AcqLamp, Units, Tens, Hundreds, Thousands, TenThousands, AmberDot, Mask, kElements };

constexpr u32 kBmpBackground = 2435, kBmpStrip = 2438, kBmpAmberDot = 2492, kBmpMask = 2499;
constexpr u32 kBmpGreenTriangle = 7150;  // ours
constexpr u32 H = ImageHidden;

const ElementDef kElementDefs[kElements] = {
    //               bitmap              x    y   flags  rule                 target                    position
    el::Static(kBmpBackground,           0,   0),
    el::Icon(kBmpGreenTriangle,         11,  19, H),
    el::Icon(kBmpGreenTriangle,         11, 134, H),
    el::ChasingDrum(kBmpStrip,         107,  77, 0, drum::selector(10), drum::target(&ap_alt_drum_1),     &ap_alt_drum_1_pos),
    el::ChasingDrum(kBmpStrip,          89,  77, 0, drum::selector(10), drum::target(&ap_alt_drum_10),    &ap_alt_drum_10_pos),
    el::ChasingDrum(kBmpStrip,          71,  77, 0, drum::selector(10), drum::target(&ap_alt_drum_100),   &ap_alt_drum_100_pos),
    el::ChasingDrum(kBmpStrip,          53,  77, 0, drum::selector(10), drum::target(&ap_alt_drum_1000),  &ap_alt_drum_1000_pos),
    el::ChasingDrum(kBmpStrip,          35,  77, 0, drum::selector(10), drum::target(&ap_alt_drum_10000), &ap_alt_drum_10000_pos),
    el::Icon(kBmpAmberDot,              63,  17, H),
    el::Icon(kBmpMask,                  35,  75, H),
};

constexpr LightWalk kWalk{5, walk_range(Background, Mask)};

// ---- Knob: 0..40000 by 10 and 100 ft.
constexpr i32 kSelMin = 0, kSelMax = 40000;

template <i32 Step>
i32 FSAPI sel_step(MousePoint*, u32) {
    i32& s = ap_selected_altitude;
    if (Step < 0)
        s = s <= -Step ? kSelMin : std::min(s + Step, kSelMax);
    else
        s = s >= kSelMax - Step ? kSelMax : std::max(s + Step, kSelMin);
    return 0;
}

// ---- Buttons
constexpr u8 kLandStates = 30;
enum Mode : u8 { Off = 0, Armed = 1, Capture = 2, HoldSelected = 3, HoldPresent = 4, Recapture = 25, AcqInHold = 26 };

bool holding(u8 m) { return m == HoldSelected || m == HoldPresent; }
bool acquiring(u8 m) { return m == Armed || m == Capture || m == Recapture || m == AcqInHold; }

void enter_present_hold() {
    ap_alt_mode = HoldPresent;
    // A fresh command from the present altitude: a step carried over from arming would re-send a
    // command that may never be reached.
    ap_alt_capture_step = 0;
    ap_ias_mode = ap_turb_mode = ap_go_around_mode = 0;
}

i32 FSAPI alt_button(MousePoint*, u32) {
    if (ap_fd_engaged == 0) return 0;
    const bool gs_approaching = fd_gs_capture_state == 1;
    if (holding(ap_alt_mode)) {
        ap_alt_mode = Off;
    } else if (ap_approach_state >= kLandStates) {
        if (!gs_approaching) enter_present_hold();
    } else {
        enter_present_hold();
        if (ap_approach_state >= 1 && gs_approaching) ap_approach_state = 0;
    }
    return 0;
}

i32 FSAPI acq_button(MousePoint*, u32) {
    if (ap_fd_engaged == 0) return 0;
    const u8 m = ap_alt_mode;
    ap_alt_mode = acquiring(m) ? Off : holding(m) ? AcqInHold : Armed;
    return 0;
}

constexpr u32 kKnob = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x    y   w   h   cursor           events           action
    rect::Click(54, 104, 43, 35, CursorDownArrow, kKnob,           sel_step<-10>),
    rect::Click(97, 104, 43, 35, CursorUpArrow,   kKnob,           sel_step<10>),
    rect::Click(54, 139, 43, 35, CursorDownArrow, kKnob,           sel_step<-100>),
    rect::Click(97, 139, 43, 35, CursorUpArrow,   kKnob,           sel_step<100>),
    rect::Click(4,  6,   35, 35, CursorHand,      MouseLeftSingle, alt_button),
    rect::Click(4,  120, 35, 35, CursorHand,      MouseLeftSingle, acq_button),
};

void FSAPI ap_alt_update(GaugeHeader* g, i32 service, u32);

Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_ap_alt, "ketravin ap_alt_kr60", 138, ap_alt_update,
                                                         kElementDefs, kRects);

// ---- One frame's view: selection S, indicated altitude A (ft), vertical speed V (ft/min).
struct Air {
    i32 s;
    f64 a;
    i32 v;
    bool host_ap;
};

// The latest altitude and vertical speed this gauge saw, watched first thing in its frame.
TokenWatch altitude_watch{tok_indicated_altitude_ft};
TokenWatch vs_watch{tok_vertical_speed};

void send_vs(i32 vs, bool host_ap) {
    ap_vs_command = vs;
    if (host_ap) ap::send(key_ap_vs_set, vs);
}

// Mode 4: the present altitude, commanded once and sent until reached.
constexpr i32 kLevelFpm = 50;
constexpr f64 kPresentOffsetFt = 20.0, kReachedFt = 0.5;

void hold_present(const Air& x) {
    u8& step = ap_alt_capture_step;
    f64 a = 0.0;  // the altitude as the host last gave it; until it has, the hold waits for one
    if (step == 0 && altitude_watch.latest(a)) {
        const f64 offset = x.v > kLevelFpm ? kPresentOffsetFt : x.v < -kLevelFpm ? -kPresentOffsetFt : 0.0;
        ap_alt_command = sat_i32(a + offset, ap_alt_command);
        ap_vs_command = 0;
        ap::send(key_ap_vs_set, 0);
        step = 1;
    }
    f64 pitch = 0.0;
    if (tok_number(tok_adi_pitch_deg, pitch)) ap_pitch_ref_deg = -pitch;
    if (step == 1) {
        ap::send(key_ap_alt_set, ap_alt_command);
        const f64 c = ap_alt_command;
        if (c - kReachedFt < x.a && x.a < c + kReachedFt) step = 10;
    }
}

// Mode 3: the selection is memorised once level; changing it afterwards re-captures.
constexpr i32 kLevelForHoldFpm = 100;

void hold_selected(const Air& x) {
    u8& step = ap_alt_capture_step;
    if (x.v > -kLevelForHoldFpm && x.v < kLevelForHoldFpm && step != 3) {
        ap_alt_held_selection = u32(x.s);
        step = 3;
    }
    if (step == 3 && u32(x.s) != ap_alt_held_selection) ap_alt_mode = Recapture;
}

// Mode 2: V/S bands outside 300 ft, then the hold once the selection is met.
constexpr f64 kCaptureBandFt = 300.0, kMeetFt = 20.0;
constexpr i32 kStillFpm = 5;

void capture(const Air& x) {
    ap_ias_mode = 0;
    ap_alt_command = x.s;
    ap_alt_capture_step = Capture;
    if (x.host_ap) ap::send(key_ap_alt_set, x.s);
    const f64 s = x.s;
    const i32 v = x.v;
    auto band = [&](i32 vs) {
        ap_alt_capture_vs = vs;
        send_vs(vs, x.host_ap);
    };
    if (x.a > s + kCaptureBandFt) {
        ap_pitch_hold_engaged = 0;
        if (v < -1650)
            band(-1500);
        else if (v < -1000)
            band(-1000);
        else if (v > -1000)
            send_vs(ap_alt_capture_vs, x.host_ap);
    } else if (x.a < s - kCaptureBandFt) {
        ap_pitch_hold_engaged = 0;
        if (v > 3200)
            band(2500);
        else if (v > 1650)
            band(1500);
        else if (v > 1000)
            band(1000);
        else if (v < 1000)
            send_vs(ap_alt_capture_vs, x.host_ap);
    } else if ((v < -kStillFpm && x.a < s + kMeetFt) || (v > kStillFpm && x.a > s - kMeetFt)) {
        ap_alt_mode = HoldSelected;
        ap_pitch_hold_engaged = 0;
    }
}

// Mode 25: the selection changed in hold; 1000 ft/min towards it, hold again within 20 ft.
constexpr i32 kRecaptureFpm = 1000;
constexpr u8 kResend = 24, kSent = 25, kSentDown = 26, kSentUp = 27;

void recapture(const Air& x) {
    u8& step = ap_alt_capture_step;
    ap_ias_mode = 0;
    ap_alt_command = x.s;
    if (step < kSent) {
        if (x.host_ap) ap::send(key_ap_alt_set, x.s);
        ap_alt_held_selection = u32(x.s);
        step = kSent;
    }
    const f64 s = x.s;
    if (x.a > s + kCaptureBandFt) {
        ap_vs_command = -kRecaptureFpm;
        if (x.host_ap && step != kSentDown) {
            ap::send(key_ap_vs_set, ap_vs_command);
            step = kSentDown;
        }
        ap_pitch_hold_engaged = 0;
    } else if (x.a < s - kCaptureBandFt) {
        ap_vs_command = kRecaptureFpm;
        if (x.host_ap && step != kSentUp) {
            ap::send(key_ap_vs_set, ap_vs_command);
            step = kSentUp;
        }
        ap_pitch_hold_engaged = 0;
    } else if ((x.a > s && x.a - s < kMeetFt) || (x.a < s && s - x.a < kMeetFt)) {
        ap_alt_mode = HoldSelected;
        ap_pitch_hold_engaged = 0;
    }
    if (u32(x.s) != ap_alt_held_selection) step = kResend;
}

// Mode 1: capture once the height left is covered in 20 s at the present rate, towards it.
void armed(const Air& x) {
    ap_alt_capture_vs = x.v;
    ap_alt_capture_step = Armed;
    const f64 s = x.s, left = s - x.a, reach = x.v / 3;
    if ((s > x.a && reach >= left) || s == x.a || (s < x.a && reach <= left)) {
        ap_alt_mode = Capture;
        ap_ias_mode = 0;
    }
}

void mode_step(const Air& x) {
    switch (ap_alt_mode) {
        case HoldPresent: hold_present(x); break;
        case HoldSelected: hold_selected(x); break;
        case Capture: capture(x); break;
        case Recapture: recapture(x); break;
        case AcqInHold: ap_alt_mode = HoldPresent; break;
        case Armed: armed(x); break;
        default:
            ap_alt_capture_step = 0;
            ap_alt_alert_state = 0;
            break;
    }
}

// ---- Altitude alert: strict bands 250..750 ft from the selection.
constexpr f64 kAlertNearFt = 250.0, kAlertFarFt = 750.0, kMinN2Pct = 20.0;

// Inside the band on the side the aircraft comes from (climbing: below, descending: above), or
// beyond it (`leaving`: the side it goes to). No band while level.
int band_side(const Air& x, bool leaving) {
    if (x.v >= -kStillFpm && x.v <= kStillFpm) return -1;
    const bool above = (x.v < -kStillFpm) != leaving;
    const f64 s = x.s;
    return above ? (s + kAlertNearFt < x.a && x.a < s + kAlertFarFt)
                 : (s - kAlertFarFt < x.a && x.a < s - kAlertNearFt);
}

void altitude_alert(const Air& x) {
    const f64 n2_1 = tok_read(tok_eng1_n2), n2_2 = tok_read(tok_eng2_n2);  // no number is not above 20
    const bool active = tok_read(tok_gear_nose_pos) == 0.0 && (n2_1 > kMinN2Pct || n2_2 > kMinN2Pct) &&
                        ap_fd_engaged != 0;
    if (!active) return;
    const u8 m = ap_alt_mode;
    if (m == Armed || m == Capture || m == Recapture) {
        const int in = band_side(x, false);
        if (in < 0) return;
        if (in == 1) {
            if (ap_alt_alert_state == 0) {
                ap_alt_alert_state = 1;
                if (ap_alt_alert_request == 0 && gpws_callout == 0) ap_alt_alert_request = 1;
            } else {
                ap_alt_alert_state = 2;
            }
        } else {
            // Also clears a request another writer raised: its tone has been given by now.
            ap_alt_alert_state = 0;
            ap_alt_alert_request = 0;
        }
    } else if (m == HoldSelected) {
        const int in = band_side(x, true);
        if (in < 0) return;
        if (in == 1) {
            ap_alt_alert_state = 3;
            if (ap_alt_deviation_alert == 0 && gpws_callout == 0) ap_alt_deviation_alert = 1;
        } else {
            ap_alt_alert_state = 0;
            ap_alt_deviation_alert = 0;
        }
    }
}

// ---- The frame
void drums_and_lamps(i32 s) {
    const SelectorTargets t = selector_split(s, 10000, 10);
    ap_alt_drum_10000 = t.wheel[0];
    ap_alt_drum_1000 = t.wheel[1];
    ap_alt_drum_100 = t.wheel[2];
    ap_alt_drum_10 = t.wheel[3];
    ap_alt_drum_1 = t.units;

    const bool power = dc_ess_powered == 1;
    show_if(gauge.el(AltLamp), power && holding(ap_alt_mode));
    show_if(gauge.el(AcqLamp), power && acquiring(ap_alt_mode));
    show_if(gauge.el(AmberDot), power);
    show_if(gauge.el(Mask), s < 10000);
}

void FSAPI ap_alt_update(GaugeHeader* g, i32 service, u32) {
    if (service == ServicePreInstall) {  // placed again: no reading from before
        altitude_watch.forget();
        vs_watch.forget();
    }
    if (service != ServicePreUpdate) return;
    altitude_watch.watch();  // before any step can return early: the latest readings are this frame's
    vs_watch.watch();
    light_walk(*g, kWalk);                                              // 1
    const i32 s = ap_selected_altitude;
    drums_and_lamps(s);                                                 // 2, 3
    if (ap_alt_mode != Off && ap_approach_state > 0 && fd_gs_capture_state > 0) ap_alt_mode = Off;  // 4
    const f64 host_vs = tok_read(tok_vertical_speed);                   // 5: no number keeps the last
    if (host_vs == host_vs) inst_vs_fpm = vertical_speed_fpm(host_vs);
    // The altitude is only compared (no band holds a value that is no number) and, once, offset.
    const Air x{s, tok_read(tok_indicated_altitude_ft), ap::vs_fpm(vs_watch), ap::flag_on(tok_ap_engaged)};
    mode_step(x);                                                       // 6
    if (ap_alt_mode != Off && ap_alt_mode != Armed) ap_ias_mode = 0;    // 7
    altitude_alert(x);                                                  // 8
    if (ap_fd_engaged == 0 || ap_alt_mode == Off) ap_alt_deviation_alert = 0;
}
}  // namespace
