// The autopilot mode panel's frame (ap_master_update) in its parts: engagement and host drive,
// approach and landing, and the basic pitch, roll, IAS and yaw laws. Each function is one step
// of the frame, called in frame order by the panel's gauge callback.
#pragma once
#include "module/host_interface.h"
#include "module/numeric.h"
#include "module/tokens.h"

// Engagement and host drive (ap_engage.cpp).
void ap_fd_mode_bytes();
void ap_fd_validity();
void ap_cmd_levers();
void ap_cmd_consequences();
void ap_host_fd_flag();
void ap_ias_consequences();
void ap_ground_trim_reset();
void ap_bb_turb_upkeep();
void ap_host_master_and_holds();
void ap_failure_disengage();
void ap_basic_mode_flags();
void ap_nav_upkeep();
// The flight-director validity rules shared with the FD buttons and the CMD levers.
bool ap_common_ok();
bool ap_side_ok(int side);  // 1 or 2
// CMD lever 1 or 2 released (OFF, or its side failed).
void ap_cmd_lever_release(int side);

// Approach, land, flare and roll-out (ap_approach.cpp).
void ap_approach_upkeep();
void ap_glide_slope_hold();
void ap_rollout();
void ap_land();

// Basic laws (ap_laws.cpp).
void ap_pitch_law();
void ap_bank_limit_aileron();
void ap_roll_input();
void ap_roll_law();
void ap_bank_hold_drive();
void ap_ias_law();
void ap_yaw_law();
// Clears the IAS law's engagement and its trend sampler.
void ap_ias_law_reset();

// Small shared habits.
namespace ap {
// Host flags are on at exactly 1.0 and off at exactly 0.0; both refresh the token.
inline bool flag_on(TokenVar& t) { return tok_read(t) == 1.0; }
inline bool flag_off(TokenVar& t) { return tok_read(t) == 0.0; }
void send(u32 key, i32 value = 0);
void trigger(u32 key, i32 value = 0);
// NAV 1 receiver bits, refreshed.
bool nav1_glide_slope();
bool nav1_localizer();
bool nav1_signal();
// Failure tokens hold the integer 1 when failed.
bool failed(TokenVar& t);
// The vertical speed the autoflight logic flies by: inst_vs_fpm, or while token 65 reads no finite
// number the same formula on the latest reading the calling gauge watched, so that garbage is
// neither level flight nor a real climb.
i32 vs_fpm(const TokenWatch& vs);
// The latest readings the mode panel's laws take a reference from while the host's value is no
// number: the trim axis (ground walk, trim following), the vertical speed, the elevator record
// (ground aileron) and the airspeed. Watched first thing in the panel's frame.
struct PanelWatch {
    TokenWatch trim_axis{tok_trim_axis};
    TokenWatch vertical_speed{tok_vertical_speed};
    TokenWatch elevator{tok_elevator_pos};
    TokenWatch ias{tok_ias_kt};
    void watch();
    void forget();
};
extern PanelWatch panel_watch;
// A heading key carries a heading the host's bug can show, whole degrees 0..359 (360 is north,
// 0). Any other value is none: nothing goes out and the bug keeps what it has.
bool heading_key_value(i64 deg, i32& out);
void send_heading(i64 deg);
// A selector value in whole degrees brought into 0..359.
using ::fold_degrees;
}  // namespace ap
