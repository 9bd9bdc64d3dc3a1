// The two master warning panels, each as a small gauge on the main panel and an enlarged copy
// in the warning pop-up. Every lamp is lit by one rule from its condition byte, its cancel byte
// and the take-off inhibit; a click on a lamp cancels or restores it. The small panel 1 also
// composes the group conditions, latches the fire warnings and runs the pop-up window; the small
// panel 2 releases the take-off inhibit and computes MWS FLT. No lighting walk: lamps draw bright.
// Reads: dc_ess_powered, dc_normal_powered, light_lamp_test, warn_alert_latch, the condition bytes
//        of both lamp tables, the flag, fault and hydraulic bytes composed into the groups
// Writes: mwp1_cancel, mwp2_cancel, mwp_to_inhibit, mwp2_lamp15, mwp_aural_cancel, mwp_popup_state,
//         warn_config, warn_flag_in, warn_elec, warn_hydrau, warn_fire, warn_power_fault,
//         fire_eng1_state, fire_eng2_state, fire_apu_latched
#include "air/state.h"
#include "apu/state.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "fuel/state.h"
#include "gear/state.h"
#include "hydraulics/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "navigation/state.h"
#include "warnings/state.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/services.h"
#include "module/tokens.h"

GaugeHeader gauge_mwp_1;
GaugeHeader gauge_mwp_2;
GaugeHeader gauge_mwp_1_big;
GaugeHeader gauge_mwp_2_big;

namespace {
// ---- lamps -----------------------------------------------------------------------------------
struct LampRule {
    const u8* condition;
    u8* cancel;        // null: the lamp cannot be cancelled
    bool inhibitable;  // dark while the take-off inhibit is active
};

constexpr size_t kPanel1Lamps = 20;
constexpr size_t kPanel2Lamps = 17;
constexpr size_t kFirstLamp = 1;  // chain position of lamp 1; the background is position 0

//                                     condition                  cancel            inhibit
constexpr LampRule kPanel1[kPanel1Lamps] = {
    {&warn_fire[0],              &mwp1_cancel[0],  false},  //  1 ENG1 FIRE
    {&warn_fire[1],              &mwp1_cancel[1],  false},  //  2 ENG2 FIRE
    {&warn_fire[2],              &mwp1_cancel[2],  false},  //  3 APU FIRE
    {&warn_config,               &mwp1_cancel[3],  false},  //  4 CONFIG
    {&warn_eng_oil_press_lo[0],  &mwp1_cancel[4],  false},  //  5 EG1 OIL PRES LO
    {&warn_eng_oil_press_lo[1],  &mwp1_cancel[5],  false},  //  6 EG2 OIL PRES LO
    {&warn_servos,               &mwp1_cancel[6],  true},   //  7 SERVOS
    {&warn_mwp1_lamp8,           &mwp1_cancel[7],  true},   //  8 EG EGT
    {&warn_thr_off,              &mwp1_cancel[8],  true},   //  9 THR OFF
    {&warn_pitch_feel,           &mwp1_cancel[9],  true},   // 10 PITCH FEEL
    {&warn_rudd_travel,          &mwp1_cancel[10], true},   // 11 RUDD TRAVEL
    {&warn_yaw_damper,           &mwp1_cancel[11], true},   // 12 YAW DAMPER
    {&warn_pitch_trim,           &mwp1_cancel[12], true},   // 13 PITCH TRIM
    {&warn_deice,                &mwp1_cancel[13], true},   // 14 D. ICE
    {&warn_ess_eqpt_ac2_off,     &mwp1_cancel[14], true},   // 15 PTFORM
    {&warn_flag_in,              &mwp1_cancel[15], true},   // 16 FLAG IN
    {&warn_ads,                  &mwp1_cancel[16], true},   // 17 A D S
    {&warn_antiskid_off,         &mwp1_cancel[17], true},   // 18 A. SKID OFF
    {&warn_park_brake_on,        nullptr,          false},  // 19 PARK BRK ON
    {&warn_window,               &mwp1_cancel[18], true},   // 20 WINDOW
};

constexpr LampRule kPanel2[kPanel2Lamps] = {
    {&warn_probes,               &mwp2_cancel[0],  true},   //  1 PROBES
    {&warn_apu_fault,            &mwp2_cancel[1],  true},   //  2 APU
    {&warn_brakes_hot,           &mwp2_cancel[2],  false},  //  3 BRAKES HOT
    {&warn_doors,                &mwp2_cancel[3],  true},   //  4 DOORS
    {&warn_elec,                 &mwp2_cancel[4],  true},   //  5 ELEC
    {&warn_batt_temp_hi,         &mwp2_cancel[5],  true},   //  6 BATT TMP. HI
    {&warn_pneu,                 &mwp2_cancel[6],  true},   //  7 PNEU
    {&warn_hydrau,               &mwp2_cancel[7],  true},   //  8 HYDRAU
    {&warn_fuel_low,             &mwp2_cancel[8],  true},   //  9 FUEL
    {&warn_loops,                &mwp2_cancel[9],  true},   // 10 LOOPS
    {&warn_filter_clog,          &mwp2_cancel[10], true},   // 11 FILTER CLOG
    {&warn_cab_press,            &mwp2_cancel[11], false},  // 12 CAB PRESS
    {&warn_smoke,                &mwp2_cancel[12], false},  // 13 SMOKE
    {&mwp_to_inhibit,            nullptr,          false},  // 14 T.O. INNI
    {&mwp2_lamp15,               nullptr,          false},  // 15 REC
    {&mwp_aural_cancel,          nullptr,          false},  // 16 AUD. CAN.
    {&warn_power_fault,          nullptr,          false},  // 17 MWS FLT.
};

template <typename G, size_t N>
void lamp_pass(G& gauge, const LampRule (&rules)[N]) {
    for (size_t i = 0; i < N; ++i) {
        const LampRule& r = rules[i];
        const bool lit = (!r.inhibitable || mwp_to_inhibit == 0) && dc_ess_powered == 1 &&
                         (light_lamp_test == 1 || *r.condition == 1) && (!r.cancel || *r.cancel == 0);
        show_if(gauge.el(kFirstLamp + i), lit);
    }
}

// A cancel lasts only while its condition holds.
template <size_t N>
void release_cancels_of_quiet_lamps(const LampRule (&rules)[N]) {
    for (const LampRule& r : rules)
        if (r.cancel && *r.condition == 0) *r.cancel = 0;
}

// ---- clicks ----------------------------------------------------------------------------------
// A click cancels a lamp whose condition holds, and restores it when it was cancelled.
template <u8 Panel, size_t Lamp>
i32 FSAPI mwp_lamp_cancel_click(MousePoint*, u32) {
    const LampRule& r = (Panel == 1 ? kPanel1 : kPanel2)[Lamp - 1];
    *r.cancel = (*r.condition != 0 && *r.cancel != 1) ? 1 : 0;
    return 0;
}

// mwp_popup_state
constexpr u8 kPopupIdle = 0;
constexpr u8 kPopupOpenRequested = 1;
constexpr u8 kPopupWatched = 2;
constexpr u8 kPopupCloseRequested = 3;

i32 FSAPI mwp_popup_request_click(MousePoint*, u32) {
    if (mwp_popup_state != kPopupOpenRequested) mwp_popup_state = kPopupOpenRequested;
    return 0;
}
i32 FSAPI mwp_popup_close_click(MousePoint*, u32) {
    mwp_popup_state = kPopupCloseRequested;
    return 0;
}

// T.O. INNI: the inhibit is set on the ground only. The small button cannot clear it; the
// enlarged one clears it whenever it cannot set it.
bool try_set_to_inhibit() {
    const f64 on_ground = tok_read(tok_on_ground);
    if (mwp_to_inhibit != 0 || on_ground != 1.0) return false;
    mwp_to_inhibit = 1;
    mwp2_lamp15 = 0;
    return true;
}
i32 FSAPI to_inhibit_button(MousePoint*, u32) {
    try_set_to_inhibit();
    return 0;
}
i32 FSAPI to_inhibit_button_big(MousePoint*, u32) {
    if (!try_set_to_inhibit()) mwp_to_inhibit = 0;
    return 0;
}
i32 FSAPI mwp_rec_button(MousePoint*, u32) {
    if (mwp2_lamp15 == 0) {
        mwp2_lamp15 = 1;
        mwp_to_inhibit = 0;
    } else {
        mwp2_lamp15 = 0;
    }
    return 0;
}
i32 FSAPI mwp_aural_cancel_button(MousePoint*, u32) {
    mwp_aural_cancel = mwp_aural_cancel == 0 ? 1 : 0;
    return 0;
}

// ---- records ---------------------------------------------------------------------------------
constexpr u32 kBackground = ImageOption1 | ImageOption2;
constexpr u32 kLamp = ImageHidden | ImageBright | ImageOption1 | ImageOption2;

constexpr RectDef lamp_click(i32 x, i32 y, i32 w, i32 h, MouseCallback cb) {
    return rect::Click(x, y, w, h, CursorHand, MouseLeftSingle, cb);
}
template <size_t Lamp>
constexpr MouseCallback cancel1 = mwp_lamp_cancel_click<1, Lamp>;
template <size_t Lamp>
constexpr MouseCallback cancel2 = mwp_lamp_cancel_click<2, Lamp>;

// Small panel 1: fire lamps 23 x 24, the others 29 x 15.
constexpr i32 kS1FireW = 23, kS1FireH = 24, kS1W = 29, kS1H = 15;
const ElementDef kSmall1Defs[kFirstLamp + kPanel1Lamps] = {
    //         bitmap x    y    flags
    el::Static(3232,  0,   0,   kBackground),
    el::Icon(3350,    11,  19,  kLamp),  //  1
    el::Icon(3353,    74,  19,  kLamp),  //  2
    el::Icon(3356,    43,  19,  kLamp),  //  3
    el::Icon(3360,    39,  51,  kLamp),  //  4
    el::Icon(3235,    7,   69,  kLamp),  //  5
    el::Icon(3238,    71,  69,  kLamp),  //  6
    el::Icon(3241,    7,   88,  kLamp),  //  7
    el::Icon(3244,    39,  88,  kLamp),  //  8
    el::Icon(3248,    71,  88,  kLamp),  //  9
    el::Icon(3251,    7,   106, kLamp),  // 10
    el::Icon(3254,    39,  106, kLamp),  // 11
    el::Icon(3257,    71,  106, kLamp),  // 12
    el::Icon(3260,    7,   124, kLamp),  // 13
    el::Icon(3328,    39,  124, kLamp),  // 14
    el::Icon(3331,    7,   142, kLamp),  // 15
    el::Icon(3334,    39,  142, kLamp),  // 16
    el::Icon(3337,    71,  142, kLamp),  // 17
    el::Icon(3340,    7,   160, kLamp),  // 18
    el::Icon(3344,    39,  160, kLamp),  // 19
    el::Icon(3347,    71,  160, kLamp),  // 20
};
const RectDef kSmall1Rects[] = {
    //         x    y    w         h         action
    lamp_click(11,  19,  kS1FireW, kS1FireH, cancel1<1>),
    lamp_click(74,  19,  kS1FireW, kS1FireH, cancel1<2>),
    lamp_click(43,  19,  kS1FireW, kS1FireH, cancel1<3>),
    lamp_click(39,  51,  kS1W,     kS1H,     cancel1<4>),
    lamp_click(7,   69,  kS1W,     kS1H,     cancel1<5>),
    lamp_click(71,  69,  kS1W,     kS1H,     cancel1<6>),
    lamp_click(7,   87,  kS1W,     kS1H,     cancel1<7>),
    lamp_click(39,  87,  kS1W,     kS1H,     cancel1<8>),
    lamp_click(71,  87,  kS1W,     kS1H,     cancel1<9>),
    lamp_click(7,   106, kS1W,     kS1H,     cancel1<10>),
    lamp_click(39,  106, kS1W,     kS1H,     cancel1<11>),
    lamp_click(71,  106, kS1W,     kS1H,     cancel1<12>),
    lamp_click(7,   124, kS1W,     kS1H,     cancel1<13>),
    lamp_click(39,  124, kS1W,     kS1H,     cancel1<14>),
    lamp_click(7,   142, kS1W,     kS1H,     cancel1<15>),
    lamp_click(39,  142, kS1W,     kS1H,     cancel1<16>),
    lamp_click(71,  142, kS1W,     kS1H,     cancel1<17>),
    lamp_click(7,   160, kS1W,     kS1H,     cancel1<18>),
    lamp_click(71,  160, kS1W,     kS1H,     cancel1<20>),
    rect::Click(0,  176, 108, 28, CursorUpArrow, MouseLeftSingle, mwp_popup_request_click),
};

// Enlarged panel 1: fire lamps 35 x 37, the others 46 x 24.
constexpr i32 kB1FireW = 35, kB1FireH = 37, kB1W = 46, kB1H = 24;
const ElementDef kBig1Defs[kFirstLamp + kPanel1Lamps] = {
    el::Static(3420,  0,   0,   kBackground),
    el::Icon(3475,    9,   8,   kLamp),  //  1
    el::Icon(3478,    107, 8,   kLamp),  //  2
    el::Icon(3481,    58,  8,   kLamp),  //  3
    el::Icon(3484,    51,  56,  kLamp),  //  4
    el::Icon(3424,    1,   84,  kLamp),  //  5
    el::Icon(3427,    101, 84,  kLamp),  //  6
    el::Icon(3430,    1,   113, kLamp),  //  7
    el::Icon(3433,    51,  113, kLamp),  //  8
    el::Icon(3436,    101, 113, kLamp),  //  9
    el::Icon(3440,    1,   141, kLamp),  // 10
    el::Icon(3443,    51,  141, kLamp),  // 11
    el::Icon(3446,    101, 141, kLamp),  // 12
    el::Icon(3449,    1,   169, kLamp),  // 13
    el::Icon(3452,    51,  169, kLamp),  // 14
    el::Icon(3456,    1,   197, kLamp),  // 15
    el::Icon(3459,    51,  197, kLamp),  // 16
    el::Icon(3462,    101, 197, kLamp),  // 17
    el::Icon(3465,    1,   226, kLamp),  // 18
    el::Icon(3468,    51,  226, kLamp),  // 19
    el::Icon(3472,    101, 226, kLamp),  // 20
};
const RectDef kBig1Rects[] = {
    lamp_click(9,   8,   kB1FireW, kB1FireH, cancel1<1>),
    lamp_click(107, 8,   kB1FireW, kB1FireH, cancel1<2>),
    lamp_click(58,  8,   kB1FireW, kB1FireH, cancel1<3>),
    lamp_click(51,  56,  kB1W,     kB1H,     cancel1<4>),
    lamp_click(1,   84,  kB1W,     kB1H,     cancel1<5>),
    lamp_click(101, 84,  kB1W,     kB1H,     cancel1<6>),
    lamp_click(1,   113, kB1W,     kB1H,     cancel1<7>),
    lamp_click(51,  113, kB1W,     kB1H,     cancel1<8>),
    lamp_click(101, 113, kB1W,     kB1H,     cancel1<9>),
    lamp_click(1,   141, kB1W,     kB1H,     cancel1<10>),
    lamp_click(51,  141, kB1W,     kB1H,     cancel1<11>),
    lamp_click(101, 141, kB1W,     kB1H,     cancel1<12>),
    lamp_click(1,   169, kB1W,     kB1H,     cancel1<13>),
    lamp_click(51,  169, kB1W,     kB1H,     cancel1<14>),
    lamp_click(1,   197, kB1W,     kB1H,     cancel1<15>),
    lamp_click(51,  197, kB1W,     kB1H,     cancel1<16>),
    lamp_click(101, 197, kB1W,     kB1H,     cancel1<17>),
    lamp_click(1,   226, kB1W,     kB1H,     cancel1<18>),
    lamp_click(101, 226, kB1W,     kB1H,     cancel1<20>),
    rect::Click(0,  250, 149, 38, CursorDownArrow, MouseLeftSingle, mwp_popup_close_click),
};

// Small panel 2: lamps 29 x 15; the push-buttons have their own, larger click boxes.
constexpr i32 kS2W = 29, kS2H = 15;
const ElementDef kSmall2Defs[kFirstLamp + kPanel2Lamps] = {
    el::Static(3363,  0,   0,   kBackground),
    el::Icon(3366,    7,   0,   kLamp),  //  1
    el::Icon(3369,    39,  0,   kLamp),  //  2
    el::Icon(3372,    71,  0,   kLamp),  //  3
    el::Icon(3376,    7,   19,  kLamp),  //  4
    el::Icon(3379,    39,  19,  kLamp),  //  5
    el::Icon(3382,    71,  19,  kLamp),  //  6
    el::Icon(3385,    7,   37,  kLamp),  //  7
    el::Icon(3388,    39,  37,  kLamp),  //  8
    el::Icon(3392,    71,  37,  kLamp),  //  9
    el::Icon(3395,    39,  56,  kLamp),  // 10
    el::Icon(3398,    71,  56,  kLamp),  // 11
    el::Icon(3401,    7,   74,  kLamp),  // 12
    el::Icon(3404,    39,  74,  kLamp),  // 13
    el::Icon(3411,    35,  102, kLamp),  // 14 T.O. INNI
    el::Icon(3414,    59,  102, kLamp),  // 15 REC
    el::Icon(3417,    83,  102, kLamp),  // 16 AUD. CAN.
    el::Icon(3408,    11,  102, kLamp),  // 17 MWS FLT., drawn leftmost
};
const RectDef kSmall2Rects[] = {
    lamp_click(7,   0,   kS2W, kS2H, cancel2<1>),
    lamp_click(39,  0,   kS2W, kS2H, cancel2<2>),
    lamp_click(71,  0,   kS2W, kS2H, cancel2<3>),
    lamp_click(7,   19,  kS2W, kS2H, cancel2<4>),
    lamp_click(39,  19,  kS2W, kS2H, cancel2<5>),
    lamp_click(71,  19,  kS2W, kS2H, cancel2<6>),
    lamp_click(7,   37,  kS2W, kS2H, cancel2<7>),
    lamp_click(39,  37,  kS2W, kS2H, cancel2<8>),
    lamp_click(71,  37,  kS2W, kS2H, cancel2<9>),
    lamp_click(39,  56,  kS2W, kS2H, cancel2<10>),
    lamp_click(71,  56,  kS2W, kS2H, cancel2<11>),
    lamp_click(7,   74,  kS2W, kS2H, cancel2<12>),
    lamp_click(39,  74,  kS2W, kS2H, cancel2<13>),
    lamp_click(30,  94,  24,   32,   to_inhibit_button),
    lamp_click(54,  94,  24,   32,   mwp_rec_button),
    lamp_click(78,  94,  24,   32,   mwp_aural_cancel_button),
};

// Enlarged panel 2: lamps 46 x 24; push-button boxes 32 x 32.
constexpr i32 kB2W = 46, kB2H = 24;
const ElementDef kBig2Defs[kFirstLamp + kPanel2Lamps] = {
    el::Static(3488,  0,   0,   kBackground),
    el::Icon(3491,    1,   0,   kLamp),  //  1
    el::Icon(3494,    51,  0,   kLamp),  //  2
    el::Icon(3497,    101, 0,   kLamp),  //  3
    el::Icon(3500,    1,   29,  kLamp),  //  4
    el::Icon(4003,    51,  29,  kLamp),  //  5
    el::Icon(4006,    101, 29,  kLamp),  //  6
    el::Icon(4009,    1,   57,  kLamp),  //  7
    el::Icon(4012,    51,  57,  kLamp),  //  8
    el::Icon(4016,    101, 57,  kLamp),  //  9
    el::Icon(4019,    51,  85,  kLamp),  // 10
    el::Icon(4022,    101, 85,  kLamp),  // 11
    el::Icon(4025,    1,   114, kLamp),  // 12
    el::Icon(4028,    51,  114, kLamp),  // 13
    el::Icon(4035,    45,  153, kLamp),  // 14 T.O. INNI
    el::Icon(4038,    82,  153, kLamp),  // 15 REC
    el::Icon(4041,    119, 153, kLamp),  // 16 AUD. CAN.
    el::Icon(4032,    9,   153, kLamp),  // 17 MWS FLT.
};
const RectDef kBig2Rects[] = {
    lamp_click(1,   0,   kB2W, kB2H, cancel2<1>),
    lamp_click(51,  0,   kB2W, kB2H, cancel2<2>),
    lamp_click(101, 0,   kB2W, kB2H, cancel2<3>),
    lamp_click(1,   29,  kB2W, kB2H, cancel2<4>),
    lamp_click(51,  29,  kB2W, kB2H, cancel2<5>),
    lamp_click(101, 29,  kB2W, kB2H, cancel2<6>),
    lamp_click(1,   57,  kB2W, kB2H, cancel2<7>),
    lamp_click(51,  57,  kB2W, kB2H, cancel2<8>),
    lamp_click(101, 57,  kB2W, kB2H, cancel2<9>),
    lamp_click(51,  85,  kB2W, kB2H, cancel2<10>),
    lamp_click(101, 85,  kB2W, kB2H, cancel2<11>),
    lamp_click(1,   114, kB2W, kB2H, cancel2<12>),
    lamp_click(51,  114, kB2W, kB2H, cancel2<13>),
    lamp_click(45,  153, 32,   32,   to_inhibit_button_big),
    lamp_click(82,  153, 32,   32,   mwp_rec_button),
    lamp_click(119, 153, 32,   32,   mwp_aural_cancel_button),
};

void FSAPI warning_panel_1_update(GaugeHeader*, i32 service, u32);
void FSAPI warning_panel_2_update(GaugeHeader*, i32 service, u32);
void FSAPI warning_panel_1_big_update(GaugeHeader*, i32 service, u32);
void FSAPI warning_panel_2_big_update(GaugeHeader*, i32 service, u32);

Gauge<kFirstLamp + kPanel1Lamps, sizeof kSmall1Rects / sizeof kSmall1Rects[0]> small1(
    gauge_mwp_1, "ketravin mwp_1_kr60", 108, warning_panel_1_update, kSmall1Defs, kSmall1Rects);
Gauge<kFirstLamp + kPanel2Lamps, sizeof kSmall2Rects / sizeof kSmall2Rects[0]> small2(
    gauge_mwp_2, "ketravin mwp_2_kr60", 108, warning_panel_2_update, kSmall2Defs, kSmall2Rects);
Gauge<kFirstLamp + kPanel1Lamps, sizeof kBig1Rects / sizeof kBig1Rects[0]> big1(
    gauge_mwp_1_big, "ketravin mwp_1_big_kr60", 149, warning_panel_1_big_update, kBig1Defs, kBig1Rects);
Gauge<kFirstLamp + kPanel2Lamps, sizeof kBig2Rects / sizeof kBig2Rects[0]> big2(
    gauge_mwp_2_big, "ketravin mwp_2_big_kr60", 149, warning_panel_2_big_update, kBig2Defs, kBig2Rects);

// ---- panel 1's frame work ----------------------------------------------------------------------
// The pop-up follows the main panel: it opens only while the main panel shows, and is closed
// every frame while the main panel is hidden.
void popup_step() {
    if (mwp_popup_state == kPopupOpenRequested) {
        if (svc::is_panel_window_visible_ident(panel_win_main) != 0)
            svc::send_key_event(key_panel_id_open, panel_win_mwp_popup);
        mwp_popup_state = kPopupWatched;
    }
    if (mwp_popup_state == kPopupCloseRequested) {
        svc::send_key_event(key_panel_id_close, panel_win_mwp_popup);
        mwp_popup_state = kPopupIdle;
    }
    if (mwp_popup_state == kPopupWatched && svc::is_panel_window_visible_ident(panel_win_main) == 0)
        svc::send_key_event(key_panel_id_close, panel_win_mwp_popup);
}

template <size_t N>
u8 any_raised(const u8* const (&bytes)[N]) {
    u32 sum = 0;
    for (const u8* b : bytes) sum += *b;
    return sum >= 1 ? 1 : 0;
}

constexpr const u8* kConfigSources[] = {&warn_to_config_flaps, &warn_to_config_trim, &warn_lo_spd_ail};
constexpr const u8* kFlagSources[] = {&warn_flag_asi, &warn_flag_alti, &warn_flag_adi,
                                      &warn_flag_hsi, &warn_flag_rmi,  &warn_flag_adf};
constexpr const u8* kElecSources[] = {&warn_ac_fault, &warn_dc_fault, &warn_gen_fault[0], &warn_gen_fault[1],
                                      &warn_gen_fault[2]};

// An engine fire lights its warning on the first occurrence only; the warning still goes out
// whenever the host's fire reads 0.0.
void engine_fire(TokenVar& token, u8& state, u8& warning) {
    const f64 fire = tok_read(token);
    if (fire == 1.0 && state == 0) {
        state = 1;
        warning = 1;
    } else if (fire == 0.0) {
        warning = 0;
    }
}

constexpr size_t kEng1 = 0, kEng2 = 1, kApu = 2;  // warn_fire

// Alert latches (kept by the aural warning unit, one per source byte) whose new alert gives a
// cancelled lamp back.
constexpr u8 kLatchNew = 1;
struct LatchRelease {
    u8 latch;
    u8* cancel;
};
constexpr LatchRelease kLatchReleases[] = {
    {3, &mwp1_cancel[15]},  {4, &mwp1_cancel[15]},  // FLAG IN: asi, alti
    {5, &mwp1_cancel[15]},  {6, &mwp1_cancel[15]},  //          adi, hsi
    {7, &mwp1_cancel[15]},  {8, &mwp1_cancel[15]},  //          rmi, adf
    {9, &mwp2_cancel[4]},   {10, &mwp2_cancel[4]},  // ELEC: ac, dc
    {11, &mwp2_cancel[4]},  {12, &mwp2_cancel[4]},  //       gen 1, gen 2
    {13, &mwp2_cancel[4]},                          //       apu gen
    {17, &mwp1_cancel[4]},  {18, &mwp1_cancel[5]},  // oil pressure low 1, 2
    {19, &mwp1_cancel[6]},  {20, &mwp1_cancel[8]},  // servos, thr off
    {21, &mwp1_cancel[10]}, {22, &mwp1_cancel[11]}, // rudder travel, yaw damper
    {23, &mwp1_cancel[12]},                         // pitch trim
    {24, &mwp1_cancel[14]},                         // ess eqpt ac2 off
    {25, &mwp2_cancel[0]},  {26, &mwp2_cancel[1]},  // probes, apu fault
    {27, &mwp2_cancel[2]},  {28, &mwp2_cancel[3]},  // brakes hot, doors
    {30, &mwp2_cancel[7]},  {31, &mwp2_cancel[8]},  // hydrau, fuel low
};

constexpr const u8* kHydraulicSources[] = {
    &warn_hyd_press_lo[0],   &warn_hyd_press_lo[1],    &warn_hyd_press_lo[2],   &warn_hyd_pump_fault,
    &warn_hyd_eng1_press_lo, &warn_hyd_green_lo_press, &warn_hyd_eng2_press_lo, &warn_hyd_level_lo[0],
    &warn_hyd_level_lo[1],   &warn_hyd_level_lo[2],
};

void FSAPI warning_panel_1_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1-2. Lamps, then the cancels of lamps whose condition went away.
    lamp_pass(small1, kPanel1);
    release_cancels_of_quiet_lamps(kPanel1);
    // 3. Pop-up window.
    popup_step();
    // 4. Group conditions.
    warn_config = any_raised(kConfigSources);
    warn_flag_in = any_raised(kFlagSources);
    warn_elec = any_raised(kElecSources);
    // 5-6. Fires.
    engine_fire(tok_eng1_fire, fire_eng1_state, warn_fire[kEng1]);
    engine_fire(tok_eng2_fire, fire_eng2_state, warn_fire[kEng2]);
    if (tok_read(tok_apu_fire) == 1.0 && fire_apu_latched == 0) {
        fire_apu_latched = 1;
        warn_fire[kApu] = 1;
    }
    // 7. New alerts give their cancelled lamps back.
    for (const LatchRelease& r : kLatchReleases)
        if (warn_alert_latch[r.latch] == kLatchNew) *r.cancel = 0;
    // 8. HYDRAU.
    u8 hydrau = 0;
    for (const u8* b : kHydraulicSources)
        if (*b == 1) hydrau = 1;
    warn_hydrau = hydrau;
}

// ---- panel 2's frame work ----------------------------------------------------------------------
constexpr f64 kNoseGearDown = 16000.0;  // tok_gear_nose_pos at or above: gear down

void FSAPI warning_panel_2_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    lamp_pass(small2, kPanel2);
    release_cancels_of_quiet_lamps(kPanel2);
    // Take-off inhibit released once airborne with the nose gear leaving its down position.
    const f64 nose_gear = tok_read(tok_gear_nose_pos);
    const f64 on_ground = tok_read(tok_on_ground);
    if (on_ground == 0.0 && nose_gear < kNoseGearDown) {
        mwp_to_inhibit = 0;
        mwp2_lamp15 = 0;
    }
    warn_power_fault = (dc_normal_powered == 0 || dc_ess_powered == 0) ? 1 : 0;
}

void FSAPI warning_panel_1_big_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) lamp_pass(big1, kPanel1);
}
void FSAPI warning_panel_2_big_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) lamp_pass(big2, kPanel2);
}
}  // namespace
