// Flight mode annunciator: 29 legends on a black field showing the engaged and armed autopilot,
// flight-director and autothrottle modes, host autopilot command and the approach category. It
// also closes the autothrottle's disconnect cycle: it flashes TH.OFF, clears a tripped SPD mode
// and acknowledges THR OFF once the engine 1 throttle has moved away from where it stood.
// Reads: tok_ap_engaged, tok_eng1_throttle_axis, tok_tick18, dc_ess_powered, light_lamp_test, the
//        mode bytes of the mode panel and the autothrottle, fd_vl_captured, fd_gs_capture_state
// Writes: fma_thoff_request, fma_thoff_flashing, fma_thoff_start_tick, fma_thoff_cycle_tick,
//         ats_spd_mode, ats_arm_state, warn_thr_off, ats_thr_off_latched, ats_thr_off_ref
#include <cmath>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "module/deadline.h"
#include "module/gauge.h"
#include "module/numeric.h"
#include "module/tokens.h"

GaugeHeader gauge_idpp;

namespace {
// The host's option bits of every record of this gauge.
constexpr u32 kOptions = 0x3;
constexpr u32 kLamp = ImageHidden | ImageBright | kOptions;

bool approach_between(u8 lo, u8 hi) { return ap_approach_state >= lo && ap_approach_state <= hi; }
bool approach_set() { return ap_approach_state != 0; }
bool not_landing() { return ap_land_engaged != 1; }
bool vl_wanted() { return ap_vl_mode == 1 || approach_set(); }

struct Lamp {
    const char* legend;
    u32 bitmap;
    i32 x, y;
    bool (*lit)();
};
// Chain order behind the background; TH.OFF (first) flashes by its own rule.
constexpr Lamp kLamps[29] = {
    {"TH.OFF", 3020, 0, 10, nullptr},
    {"ROLL", 3024, 32, 10, [] { return ap_roll_mode == 1; }},
    {"CMD", 3027, 96, 10, [] { return token_f64(tok_ap_engaged) == 1.0; }},
    {"PITCH", 3030, 128, 10, [] { return (ap_pitch_mode == 1 && ap_turb_mode != 1) || fd_pitch_hold == 1; }},
    {"TURB", 3033, 160, 10, [] { return ap_turb_mode == 1; }},
    {"SPD S.", 3036, 0, 20, [] { return ats_spd_mode == 1; }},
    {"B/B", 3040, 32, 20, [] { return ap_bb_mode == 1; }},
    {"HDG S.", 3043, 64, 20, [] { return ap_hdg_select_mode == 1; }},
    {"ALT", 3046, 96, 20, [] { return ap_alt_mode == 3 || ap_alt_mode == 4; }},
    {"ALT A. green", 3049, 128, 20, [] { return ap_alt_mode == 2 || ap_alt_mode == 25 || ap_alt_mode == 26; }},
    {"ALT A. amber", 3052, 160, 20, [] { return ap_alt_mode == 1; }},
    {"N1", 3056, 0, 30, [] { return ats_n1_mode == 1; }},
    {"V/L amber", 3059, 32, 30, [] { return vl_wanted() && fd_vl_captured != 1 && not_landing(); }},
    {"V/L green", 3062, 64, 30, [] { return vl_wanted() && fd_vl_captured == 1 && not_landing(); }},
    {"G/S green", 3065, 96, 30, [] { return approach_set() && fd_gs_capture_state != 0 && not_landing(); }},
    {"G/S amber", 3068, 128, 30, [] { return approach_set() && fd_gs_capture_state == 0 && not_landing(); }},
    {"IAS", 3072, 160, 30, [] { return ap_ias_mode == 1; }},
    {"LAND A amber", 3075, 0, 40, [] { return ap_approach_state >= 30 && not_landing(); }},
    {"LAND A green", 3078, 32, 40, [] { return ap_approach_state >= 30 && ap_land_engaged == 1; }},
    {"FLARE", 3081, 96, 40, [] { return ap_flare_mode == 1; }},
    {"RLOUT", 3084, 128, 40, [] { return ap_rollout_mode == 1; }},
    {"GO A.", 3088, 160, 40, [] { return ap_go_around_mode == 1; }},
    {"APP1", 3091, 32, 50, [] { return approach_between(1, 19); }},
    {"APP2", 3094, 64, 50, [] { return approach_between(20, 29); }},
    {"LAN2", 3097, 96, 50, [] { return approach_between(30, 39); }},
    {"LAN3", 3100, 128, 50, [] { return ap_approach_state >= 40; }},
    {"ALIGN", 3104, 64, 0, [] { return false; }},  // the lamp test alone
    {"NAV left", 4230, 32, 0, [] { return ap_nav_mode == 1 || ap_nav_mode == 3; }},
    {"NAV right", 4233, 128, 0, [] { return ap_nav_mode == 2; }},
};
constexpr size_t kLampCount = sizeof kLamps / sizeof kLamps[0];
constexpr size_t kThOff = 1;  // chain position of TH.OFF, right behind the background

// The element chain: the background, then the lamps in table order, each starting hidden.
constexpr u32 kBmpField = 3017;
struct Elements {
    ElementDef def[kLampCount + 1];
};
constexpr Elements chain() {
    Elements r{};
    r.def[0] = el::Static(kBmpField, 0, 0, kOptions);
    for (size_t i = 0; i < kLampCount; ++i) r.def[i + 1] = el::Icon(kLamps[i].bitmap, kLamps[i].x, kLamps[i].y, kLamp);
    return r;
}
constexpr Elements kChain = chain();
constexpr RectDef kNoClicks[2] = {rect::Parent(), rect::EndParent()};

void FSAPI fma_update(GaugeHeader* g, i32 service, u32);

Gauge<kLampCount + 1, 2> gauge(gauge_idpp, "ketravin idpp_kr60", 190, fma_update, kChain.def, kNoClicks);

// ---- Step 2: every lamp but TH.OFF, from the bytes as the frame found them.
void lamps() {
    const bool power = dc_ess_powered == 1, test = light_lamp_test == 1;
    for (size_t i = 1; i < kLampCount; ++i) show_if(gauge.el(i + 1), power && (kLamps[i].lit() || test));
}

// ---- Step 3: with or without power. The throttle must leave the saved axis by more than 2
// units either way; the reference is signed, so one saved at idle is still a real bound.
constexpr f64 kAckMargin = 2.0;
constexpr i32 kNoReference = 65000;

void trip_handling() {
    if (ats_arm_state != 2 && ats_spd_mode != 2) return;
    fma_thoff_request = 1;
    if (ats_spd_mode == 2) ats_spd_mode = 0;
    if (ats_thr_off_latched != 1) return;
    const f64 a = tok_read(tok_eng1_throttle_axis);  // no number is no movement; an infinity is past both bounds
    if (!(std::fabs(a - f64(ats_thr_off_ref)) > kAckMargin)) return;
    warn_thr_off = 0;
    ats_thr_off_ref = kNoReference;
    ats_thr_off_latched = 0;
    if (ats_arm_state == 2) ats_arm_state = 0;
}

// ---- Step 4: TH.OFF flashes 4 ticks lit, 4 dark, for 80 ticks. Phases end once their ticks
// have elapsed, so a frame that skips a tick cannot leave the flash running.
constexpr f64 kLitTicks = 4.0, kCycleTicks = 8.0, kFlashTicks = 80.0;

void thoff_lamp() {
    ElementHeader* lamp = gauge.el(kThOff);
    const f64 t = tok_read(tok_tick18);
    if (dc_ess_powered != 1) {
        set_hidden(lamp, true);
        fma_thoff_request = fma_thoff_flashing = 0;
        return;
    }
    if (!std::isfinite(t)) return;  // no reading: the lamp stands as it is
    if (fma_thoff_request == 1 && fma_thoff_flashing == 0) {
        set_hidden(lamp, false);
        fma_thoff_start_tick = fma_thoff_cycle_tick = sat_u32(t, fma_thoff_start_tick);
        fma_thoff_flashing = 1;
    }
    if (fma_thoff_flashing == 1) {
        // A clock set back restarts the flash and its cycle from now.
        start_rebase(fma_thoff_start_tick, t);
        start_rebase(fma_thoff_cycle_tick, t);
        if (t - f64(fma_thoff_start_tick) >= kFlashTicks) {
            set_hidden(lamp, true);
            fma_thoff_flashing = fma_thoff_request = 0;
            ats_spd_mode = 0;
        } else if (t - f64(fma_thoff_cycle_tick) >= kCycleTicks) {
            set_hidden(lamp, false);
            fma_thoff_cycle_tick = sat_u32(t, fma_thoff_cycle_tick);
        } else if (t - f64(fma_thoff_cycle_tick) >= kLitTicks) {
            set_hidden(lamp, true);
        }
        return;
    }
    if (fma_thoff_request == 0) set_hidden(lamp, light_lamp_test != 1);
}

void FSAPI fma_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    tok_refresh(tok_ap_engaged);  // 1
    lamps();                      // 2
    trip_handling();              // 3
    thoff_lamp();                 // 4
}
}  // namespace
