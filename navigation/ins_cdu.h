// The control display unit of an INS, written once for both units: a descriptor names the
// unit's own keyboard, lamp and test variables beside its navigation computer's. The keys, the
// five display lines and the lamps work on a descriptor only.
#pragma once
#include "module/host_interface.h"
#include "navigation/ins_nav.h"

struct CduUnit {
    const InsNavUnit& nav;
    u8* page;
    u8& an_mode;        // 1 A, 2 N
    char* an_letter;    // "A" or "N"
    u16& text_red;
    u16& text_green;
    u16& text_blue;
    u8& backlight_dim;  // 0 first backlight set, 1 second
    u8& align_count;
    const u8& msu_knob;
    const u8& att_mode;
    const u8& powered;
    const u8& status;
    const u8& powerup_count;
    const i8& power_src;  // negative: on battery
    u8& wrn_lamp;         // 0 off, 1 steady, 2 flashing
    u8& alr_lamp;
    u8& ofs_lamp;
    u32& flash_half_ticks;
    u32& flash_time_s;
    u8& flash_state;  // 0 idle, 1 running, 2 ended
    u8& flash_on;
    u8& flash_second_half;
    f64& flash_start;
    f64& flash_phase;
    u8& sys_test;
    u8& apfd_test;
    u8& sys_test_phase;
    f64& test_start;
    u32& turn_angle_deg;
    u32& time_to_wpt_s;
    u32& time_to_wpt_min;
    f64& alert_upper_s;
    f64& alert_lower_s;
};

extern const CduUnit kIns1Cdu;
extern const CduUnit kIns2Cdu;
extern char ins1_cdu_an_letter[2], ins2_cdu_an_letter[2];

// ---- Keys (each returns nothing; the mouse callbacks return 0) ----------------------------
enum class CduPageKey { Pos, Crs, Leg, Wpt, Fpl, Data, Cat, Rmt, Sts };
void cdu_key_page(const CduUnit& u, CduPageKey key);
void cdu_key_dir(const CduUnit& u);
void cdu_key_an(const CduUnit& u);
void cdu_key_digit(const CduUnit& u, u8 digit);
void cdu_key_clr(const CduUnit& u);
void cdu_key_ent(const CduUnit& u);
void cdu_key_up(const CduUnit& u);
void cdu_key_down(const CduUnit& u);
void cdu_key_exp(const CduUnit& u);
void cdu_key_brt(const CduUnit& u);
void cdu_key_dim(const CduUnit& u);

// ---- Lamps, flasher and tests -------------------------------------------------------------
// What the frame shows of the screen, backlight and lamps.
struct CduLights {
    bool cover, marks;
    u32 backlight_lit;  // ImageBright, ImageLuminous or 0
    bool backlight_first, backlight_second;
    bool wrn, bat, alr, ofs;
};
void cdu_flasher(const CduUnit& u);
CduLights cdu_lights(const CduUnit& u);
// Page forcing, the tests, the excess-motion hold and the waypoint alert, in that order.
void cdu_checks(const CduUnit& u);
// Ticks from `start` to now on the 16-bit tick counter: a now below the start has wrapped.
// Negative when the clock ran back further than one wrap.
f64 cdu_ticks_since(f64 start, f64 now);

// ---- Display ------------------------------------------------------------------------------
// Writes line 1..5 of the unit's screen into the element (bounded by its character count).
void cdu_line(const CduUnit& u, int line, StringElement* e);
