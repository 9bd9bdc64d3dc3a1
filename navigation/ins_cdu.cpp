// The control display units of INS 1 and INS 2: a 31-key keyboard around a screen of five
// 16-character lines, with the WRN, BAT, ALR and OFS lamps and a two-set keyboard backlight.
// Each gauge callback is its unit's navigation computer; the two gauges are one design on two
// descriptors, with their own element records.
//
// Element chain (both units):
//   0  CDU face and screen background          9  keyboard backlight, left block, first set
//   1  line 5      2  line 4      3  line 3    10  keyboard backlight, left block, second set
//   4  line 2      5  line 1                   11  keyboard backlight, right column, first set
//   6  screen cover (over the lines)           12  keyboard backlight, right column, second set
//   7  left screen mark   8  right screen mark 13 WRN  14 BAT  15 ALR  16 OFS
//
// Reads: what the navigation computer, the keys, the lines and the lamps read (ins_nav.h,
//        ins_cdu.h); light_zone[3], annunciator_bright
// Writes: the unit's page bytes, keyboard, colour, lamp and test variables, the shared DIRECT TO
//         entry and sequence, and what the navigation computer writes
#include <initializer_list>

#include "module/gauge.h"
#include "navigation/ins_cdu.h"
#include "navigation/state.h"

GaugeHeader gauge_ins1_cdu;
GaugeHeader gauge_ins2_cdu;

char ins1_cdu_an_letter[2] = "N", ins2_cdu_an_letter[2] = "N";

const CduUnit kIns1Cdu{
    kIns1Nav, ins1_cdu_page, ins1_cdu_an_mode, ins1_cdu_an_letter, ins1_cdu_text_red, ins1_cdu_text_green,
    ins1_cdu_text_blue, ins1_cdu_backlight_dim, ins1_align_count, ins1_msu_knob, ins1_att_mode, ins1_powered,
    ins1_status, ins1_powerup_count, ins1_power_src, ins1_wrn_lamp, ins1_alr_lamp, ins1_ofs_lamp,
    ins1_flash_half_ticks, ins1_flash_time_s, ins1_flash_state, ins1_flash_on, ins1_flash_second_half,
    ins1_flash_start, ins1_flash_phase, ins1_sys_test, ins1_apfd_test, ins1_sys_test_phase, ins1_test_start,
    ins1_turn_angle_deg, ins1_time_to_wpt_s, ins1_time_to_wpt_min, ins1_alert_upper_s, ins1_alert_lower_s};

const CduUnit kIns2Cdu{
    kIns2Nav, ins2_cdu_page, ins2_cdu_an_mode, ins2_cdu_an_letter, ins2_cdu_text_red, ins2_cdu_text_green,
    ins2_cdu_text_blue, ins2_cdu_backlight_dim, ins2_align_count, ins2_msu_knob, ins2_att_mode, ins2_powered,
    ins2_status, ins2_powerup_count, ins2_power_src, ins2_wrn_lamp, ins2_alr_lamp, ins2_ofs_lamp,
    ins2_flash_half_ticks, ins2_flash_time_s, ins2_flash_state, ins2_flash_on, ins2_flash_second_half,
    ins2_flash_start, ins2_flash_phase, ins2_sys_test, ins2_apfd_test, ins2_sys_test_phase, ins2_test_start,
    ins2_turn_angle_deg, ins2_time_to_wpt_s, ins2_time_to_wpt_min, ins2_alert_upper_s, ins2_alert_lower_s};

namespace {
enum Pos : size_t {
    Face, Line5, Line4, Line3, Line2, Line1, Cover, MarkLeft, MarkRight,
    BacklightLeft1, BacklightLeft2, BacklightRight1, BacklightRight2, Wrn, Bat, Alr, Ofs, kElements
};

constexpr u32 kBmpFace = 5296;
constexpr u32 kBmpBacklightLeft1 = 5299, kBmpBacklightLeft2 = 5302;
constexpr u32 kBmpBacklightRight1 = 5305, kBmpBacklightRight2 = 5308;
constexpr u32 kBmpMark = 5312, kBmpCover = 5315;
constexpr u32 kBmpAlr = 5321, kBmpBat = 5324, kBmpOfs = 5328, kBmpWrn = 5331;
constexpr u32 kTokTat = 350;  // the lines' source variable; the text does not use it

constexpr u32 kTextAtLoad = 0x3EFFB0;  // 176, 255, 62
constexpr u16 kLineChars = 16;
constexpr u32 kCentredOneLine = 37;
constexpr TextStyle kLineStyle = {154, 14, kTextAtLoad, 0x171717, kTextAtLoad, "Glass Gauge", 400, kLineChars, 1,
                                  kCentredOneLine};
constexpr u32 kLineFlags = ImageOption2 | ImageBright;
constexpr u32 kLampFlags = ImageOption2 | ImageBright | ImageHidden;
constexpr u32 kBacklightFlags = ImageOption2 | ImageHidden;

template <int N>
const CduUnit& unit() {
    return N == 1 ? kIns1Cdu : kIns2Cdu;
}

template <int N, int L>
f64 FSAPI line(ElementHeader* e) {
    cdu_line(unit<N>(), L, reinterpret_cast<StringElement*>(e));
    return 0.0;
}

template <int N>
constexpr ElementDef kElementDefs[kElements] = {
    //         bitmap                x    y   start flags
    el::Static(kBmpFace,             0,   0,  ImageOption1 | ImageOption2),
    el::String(                     49,  77,  kLineFlags, kLineStyle, line<N, 5>).source(kTokTat),
    el::String(                     49,  60,  kLineFlags, kLineStyle, line<N, 4>).source(kTokTat),
    el::String(                     49,  44,  kLineFlags, kLineStyle, line<N, 3>).source(kTokTat),
    el::String(                     49,  28,  kLineFlags, kLineStyle, line<N, 2>).source(kTokTat),
    el::String(                     49,  11,  kLineFlags, kLineStyle, line<N, 1>).source(kTokTat),
    el::Icon(kBmpCover,             39,   5,  ImageOption2 | ImageHidden),
    el::Icon(kBmpMark,              43,  48,  ImageOption2),
    el::Icon(kBmpMark,             210,  48,  ImageOption2),
    el::Icon(kBmpBacklightLeft1,    37, 106,  kBacklightFlags),
    el::Icon(kBmpBacklightLeft2,    37, 106,  kBacklightFlags),
    el::Icon(kBmpBacklightRight1,  232,  12,  kBacklightFlags),
    el::Icon(kBmpBacklightRight2,  232,  12,  kBacklightFlags),
    el::Icon(kBmpWrn,               15,  68,  kLampFlags),
    el::Icon(kBmpBat,               15, 101,  kLampFlags),
    el::Icon(kBmpAlr,              267,  68,  kLampFlags),
    el::Icon(kBmpOfs,              267, 101,  kLampFlags),
};

// ---- Keys ----------------------------------------------------------------------------------
template <int N, void (*Key)(const CduUnit&)>
i32 FSAPI key(MousePoint*, u32) {
    Key(unit<N>());
    return 0;
}
template <int N, CduPageKey K>
i32 FSAPI page_key(MousePoint*, u32) {
    cdu_key_page(unit<N>(), K);
    return 0;
}
template <int N, u8 D>
i32 FSAPI digit(MousePoint*, u32) {
    cdu_key_digit(unit<N>(), D);
    return 0;
}
i32 FSAPI inert(MousePoint*, u32) { return 0; }  // W, X and HLD

constexpr i32 kKey = 24;
constexpr RectDef key_rect(i32 x, i32 y, MouseCallback cb) {
    return rect::Click(x, y, kKey, kKey, CursorHand, MouseLeftSingle, cb);
}

constexpr size_t kKeys = 31;
template <int N>
constexpr RectDef kRects[kKeys] = {
    //       x    y    action
    key_rect(232,  12, key<N, cdu_key_an>),                  // A-N
    key_rect(232,  42, key<N, cdu_key_clr>),                 // CLR
    key_rect(232,  72, key<N, cdu_key_ent>),                 // ENT
    key_rect( 37, 106, page_key<N, CduPageKey::Pos>),        // A POS
    key_rect( 65, 106, page_key<N, CduPageKey::Crs>),        // B CRS
    key_rect( 93, 106, page_key<N, CduPageKey::Leg>),        // C LEG
    key_rect( 37, 134, page_key<N, CduPageKey::Wpt>),        // H WPT
    key_rect( 65, 134, page_key<N, CduPageKey::Fpl>),        // I FPL
    key_rect( 93, 134, key<N, cdu_key_dir>),                 // J DIR
    key_rect( 37, 163, page_key<N, CduPageKey::Data>),       // O DATA
    key_rect( 65, 163, page_key<N, CduPageKey::Cat>),        // P CAT
    key_rect( 93, 163, page_key<N, CduPageKey::Rmt>),        // Q RMT
    key_rect( 37, 191, page_key<N, CduPageKey::Sts>),        // V STS
    key_rect( 65, 191, inert),                               // W
    key_rect( 93, 191, inert),                               // X
    key_rect(128, 106, key<N, cdu_key_brt>),                 // D BRT
    key_rect(128, 134, key<N, cdu_key_dim>),                 // K DIM
    key_rect(128, 163, key<N, cdu_key_up>),                  // R up arrow
    key_rect(128, 191, key<N, cdu_key_down>),                // Y down arrow
    key_rect(164, 106, digit<N, 1>),                         // E 1
    key_rect(192, 106, digit<N, 2>),                         // F 2N
    key_rect(220, 106, digit<N, 3>),                         // G 3
    key_rect(164, 134, digit<N, 4>),                         // L W4
    key_rect(192, 134, digit<N, 5>),                         // M 5
    key_rect(220, 134, digit<N, 6>),                         // N 6E
    key_rect(164, 163, digit<N, 7>),                         // S L7
    key_rect(192, 163, digit<N, 8>),                         // T 8S
    key_rect(220, 163, digit<N, 9>),                         // U 9R
    key_rect(164, 191, key<N, cdu_key_exp>),                 // Z EXP
    key_rect(192, 191, digit<N, 0>),                         // 0
    key_rect(220, 191, inert),                               // HLD
};

// ---- Frame ---------------------------------------------------------------------------------
template <typename G>
void show_lights(G& g, const CduLights& l) {
    show_if(g.el(Cover), l.cover);
    show_if(g.el(MarkLeft), l.marks);
    show_if(g.el(MarkRight), l.marks);
    for (Pos p : {BacklightLeft1, BacklightLeft2, BacklightRight1, BacklightRight2})
        g.el(p)->image_flags = (g.el(p)->image_flags & ~(ImageBright | ImageLuminous)) | l.backlight_lit;
    show_if(g.el(BacklightLeft1), l.backlight_first);
    show_if(g.el(BacklightRight1), l.backlight_first);
    show_if(g.el(BacklightLeft2), l.backlight_second);
    show_if(g.el(BacklightRight2), l.backlight_second);
    show_if(g.el(Wrn), l.wrn);
    show_if(g.el(Bat), l.bat);
    show_if(g.el(Alr), l.alr);
    show_if(g.el(Ofs), l.ofs);
}

template <typename G>
void cdu_frame(G& g, const CduUnit& u) {
    cdu_flasher(u);              // 1: screen, backlight, flasher, lamps
    show_lights(g, cdu_lights(u));
    ins_nav_frame_head(u.nav);   // 2-8
    cdu_checks(u);               // 9: page forcing, tests, excess-motion hold, alert lamp
    ins_nav_frame_tail(u.nav);   // 10-14
}

void FSAPI ins1_nav_computer(GaugeHeader*, i32 service, u32);
void FSAPI ins2_nav_computer(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 289;
Gauge<kElements, kKeys> gauge1(gauge_ins1_cdu, "ketravin ins1_cdu_kr60", kWidthMm, ins1_nav_computer,
                               kElementDefs<1>, kRects<1>);
Gauge<kElements, kKeys> gauge2(gauge_ins2_cdu, "ketravin ins2_cdu_kr60", kWidthMm, ins2_nav_computer,
                               kElementDefs<2>, kRects<2>);

void FSAPI ins1_nav_computer(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) cdu_frame(gauge1, kIns1Cdu);
}
void FSAPI ins2_nav_computer(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) cdu_frame(gauge2, kIns2Cdu);
}
}  // namespace
