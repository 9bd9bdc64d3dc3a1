// The CDU screen: five 16-character Latin-1 lines (the degree sign is the byte 0xB0). Each
// draw picks the page from the page bytes and formats it from what the navigation computer,
// the GPS link and the mode selector computed; the lines keep no state. Every write is bounded
// by the element's character count, so a value wider than its field is cut at the line's end.
// Reads: the unit's page bytes, keyboard letter, power, knob, alignment count, test phase,
//        lamps, navigation outputs and plan rows; the shared ins_ working values, ins_dto_*,
//        ins_wpt_ident, the gps_ plan and position values, tok_pitch_deg, tok_bank_deg
// Writes: the element's text
#include <cstdarg>
#include <cstdio>

#include "module/gauge.h"
#include "module/tokens.h"
#include "navigation/gps_block.h"
#include "navigation/ins_cdu.h"
#include "navigation/state.h"

namespace {
#define DEG "\xB0"

constexpr int kLines = 5;
constexpr u8 kDtoSent = 3, kDtoSaved = 4;
constexpr i32 kSlowKt = 10;          // INSTRU DATA: below, no speed-dependent values
constexpr f64 kSlowPlanKt = 100.0;   // CRS and FLIGHT PLAN: at or below, no times
constexpr f64 kXtkShown = 0.09;
constexpr f64 kLevel = 0.02;         // attitude within this of level shows .00
constexpr u8 kCountPositionValid = 80;
constexpr u8 kAlignShownMax = 90;
constexpr u8 kPrompt = 255, kHdgInvalid = 254, kLatLimit = 253;
constexpr i32 kFourDigitMax = 10000;

using Text = const char*;
using Page = Text[kLines];

// Fixed pages and line sets.
constexpr Page kPgm = {"  PGM 92-04-09  ", " ", "CUSTOM D BASE   ", "       MS FSX   ", "CLR:CONTINUE    "};
constexpr Page kApfdView = {"  T-DTK  50.1" DEG "  ", "  TK     22.5" DEG "  ", "  XTK  R   3.8  ",
                            "  STR R     .0" DEG " ", "HDG 11.3" DEG " GS 450"};
constexpr Page kPromptMag = {"  INSTRU DATA   ", " ", "   MAGNETIC?    ", " ", "ENT:MAG CLR:TRUE"};
constexpr Page kPromptHdg = {"  INSTRU DATA   ", " ", "  MHDG INVALID  ", " ", "        CLR:TRUE"};
constexpr Page kPromptLat = {"  INSTRU DATA   ", "  MHDG INVALID  ", "  AT LAT>73" DEG "N   ", "  OR LAT>60" DEG "S   ",
                             "        CLR:TRUE"};
constexpr Page kCatalog = {"    CATALOG     ", " ", "      INOP      ", " ", " "};
constexpr Page kRemote = {"     REMOTE     ", " ", "      INOP      ", " ", " "};
// SYS STS/TEST lines 1-5 of sub-pages 1-5; null where the line is computed.
constexpr Page kSysSts[5] = {
    {"  SYS STS/TEST  ", "  UPDATE        ", nullptr, nullptr, nullptr},
    {"  SYS STS/TEST  ", "  UPDATE        ", "NAV   1         ", nullptr, "ACTION:NONE     "},
    {"  SYS STS/TEST  ", " ", "ATT             ", nullptr, "ACTION:NONE     "},
    {"  SYSTEM TEST   ", " ", "  DISPLAY TEST  ", "  ACCURACY TST  ", "DBASE: MS FSX   "},
    {"  SYSTEM TEST   ", " ", "AP/FLT DIR # 1  ", "AP/FLT DIR # 2  ", "AP/FLT DIR # 3  "},
};
constexpr Text kFplHeader[4] = {"WPT IDENT   DIST", "WPT IDENT   TIME", "WPT IDENT   ETA ", "WPT IDENT   DBW "};

struct Out {
    StringElement* e;
    KR_PRINTF(2, 3) void operator()(const char* fmt, ...) const {
        if (!e->text) return;
        va_list ap;
        va_start(ap, fmt);
        std::vsnprintf(e->text, size_t(e->max_chars) + 1, fmt, ap);
        va_end(ap);
    }
    void fixed(Text t) const { set_text(e, "%16s", t); }
    void blank() const { fixed(" "); }
};

// A field of at least two digits: a leading 0 below 10.
struct Two {
    char s[16];
    explicit Two(i64 v) { std::snprintf(s, sizeof s, v < 10 ? "0%1lld" : "%2lld", static_cast<long long>(v)); }
};
// Four digits with leading zeros; 9999 from 10000 up.
struct Four {
    char s[16];
    explicit Four(i32 v) {
        if (v < 10) std::snprintf(s, sizeof s, "000%1d", v);
        else if (v < 100) std::snprintf(s, sizeof s, "00%2d", v);
        else if (v < 1000) std::snprintf(s, sizeof s, "0%3d", v);
        else if (v < kFourDigitMax) std::snprintf(s, sizeof s, "%4d", v);
        else std::snprintf(s, sizeof s, "9999");
    }
};

long long neg(i32 v) { return -static_cast<long long>(v); }

// Ident slot i, blank outside the table.
Text ident(i64 i) { return i >= 0 && i < i64(kPlanSlots) ? ins_wpt_ident[i] : ""; }

bool active_ok() { return gps_active_usable(); }
bool plan_on() { return gps_plan_active == 1; }
bool after_dto() { return ins_dto_state >= kDtoSent; }

void position_page(const CduUnit& u, int line, const Out& o) {
    const bool valid = u.align_count < kCountPositionValid;
    switch (line) {
        case 1: o("    POSITION   %1s", u.an_letter); break;
        case 2:
            if (!valid) o(" LOC ID %6s  ", "------");
            else o("LAT    %s" DEG "%s.%1d'%c", Two(gps_lat_deg_abs).s, Two(gps_lat_min).s, gps_lat_tenths,
                   gps_lat_rad >= 0 ? 'N' : 'S');
            break;
        case 3:
            if (!valid) o(" LAT   %2s" DEG "%2s.%1s' ", "--", "--", "-");
            else if (gps_lon_deg_abs < 10)
                o("LON    0%1d" DEG "%s.%1d'%c", gps_lon_deg_abs, Two(gps_lon_min).s, gps_lon_tenths,
                  gps_lon_deg >= 0 ? 'E' : 'W');
            else o("LON   %3d" DEG "%s.%1d'%c", gps_lon_deg_abs, Two(gps_lon_min).s, gps_lon_tenths,
                   gps_lon_deg >= 0 ? 'E' : 'W');
            break;
        case 4:
            if (!valid) o(" LON   %2s" DEG "%2s.%1s' ", "--", "--", "-");
            else o.blank();
            break;
        default:
            if (ins_utc_minute < 10)
                o(ins_utc_second < 10 ? " GMT    %2d.0%1d:0%1d " : " GMT    %2d.0%1d:%2d ", ins_utc_hour,
                  ins_utc_minute, ins_utc_second);
            else
                o(ins_utc_second < 10 ? " GMT   %2d.%2d:0%1d " : " GMT   %2d.%2d:%2d ", ins_utc_hour, ins_utc_minute,
                  ins_utc_second);
            break;
    }
}

void sys_sts_page(const CduUnit& u, u8 sub, int line, const Out& o) {
    if (sub < 1 || sub > 5) return o.blank();
    if (Text t = kSysSts[sub - 1][line - 1]) return o.fixed(t);
    if (sub == 1 && line == 3) return o("ALIGN %2d        ", u.align_count > kAlignShownMax ? kAlignShownMax : u.align_count);
    if (sub == 1 && line == 4) return o("TIME  %2d.%1d MIN  ", u.nav.align_time_min, u.nav.align_time_tenth);
    if (sub == 1 && line == 5) return o.fixed(u.wrn_lamp == 2 ? "EXCESS MOTION   " : "ACTION:NONE     ");
    o("TIME  %1d.%1d HR    ", u.nav.nav_time_int, u.nav.nav_time_tenth);  // sub-pages 2 and 3, line 4
}

void sys_test_view(const CduUnit& u, u8 view, int line, const Out& o) {
    if (view == 5) return o.fixed(kApfdView[line - 1]);
    if (u.sys_test_phase == line) o.fixed("----------------");
    else o.blank();
}

// INSTRU DATA lines.
void track_line(const CduUnit& u, const Out& o) {
    const InsNavUnit& n = u.nav;
    if (ins_ground_speed_kt >= kSlowKt)
        o("%1s-TK %3d" DEG "%1d GS%3d", n.ref_letter, n.track_int, n.track_tenth, ins_ground_speed_kt);
    else if (n.track_tenth == 0) o("%1s-TK %3d" DEG "  GS%3s", n.ref_letter, n.track_int, "   ");
    else o("%1s-TK %3d" DEG "%1d GS%3s", n.ref_letter, n.track_int, n.track_tenth, "   ");
}
void heading_line(const CduUnit& u, const Out& o) {
    if (ins_ground_speed_kt < kSlowKt && ins_heading_tenth == 0) o("%1sTHDG %3d" DEG "       ", u.nav.ref_letter, ins_heading_int);
    else o("%1sHDG %3d" DEG "%1d      ", u.nav.ref_letter, ins_heading_int, ins_heading_tenth);
}
void wind_line(const Out& o) {
    if (ins_ground_speed_kt < kSlowKt) o(" WND           ");
    else o(" WND %3d" DEG "    %3d", ins_wind_dir_int, ins_wind_speed_int);
}
void drift_line(const CduUnit& u, const Out& o) {
    if (ins_ground_speed_kt < kSlowKt) return o.fixed("DA       TAS    ");
    const char* f = gps_drift_deg < 0 ? "DA L %3d TAS %3d" : gps_drift_deg > 0 ? "DA R %3d TAS %3d" : "DA   %3d TAS %3d";
    o(f, u.nav.drift_int, ins_tas_kt);
}
void accel_line(const Out& o) {
    const i32 a = ins_accel_mg;
    if (a < -99) o("ACCEL  -.%3lld G'S", neg(a));
    else if (a <= -10) o("ACCEL  -.0%2lld G'S", neg(a));
    else if (a <= -2) o("ACCEL  -.00%1lld G'S", neg(a));
    else if (a <= 1) o("ACCEL   .00%1d G'S", 0);
    else if (a <= 9) o("ACCEL   .00%1d G'S", a);
    else if (a <= 99) o("ACCEL   .0%2d G'S", a);
    else o("ACCEL   .%3d G'S", a);
}
void head_wind_line(const Out& o) {
    const i32 w = ins_wind_component_kt;
    if (ins_ground_speed_kt < kSlowKt) o.blank();
    else if (w < 0) o(" HEAD WIND %2lld   ", neg(w));
    else if (w == 0) o(" WIND %2d        ", w);
    else o(" TAIL WIND %2d   ", w);
}
// Pitch up shows "-", roll left "L"; the host token decides the side, the digits are the
// computer's (negated on the other side).
void attitude_line(const Out& o, const char* name, f64 token, i32 whole, i32 hundredths, char above, char below) {
    if (token > -kLevel && token < kLevel) return o(" %s %2d.00" DEG "  ", name, whole);
    const bool up = token >= kLevel;
    const long long w = up ? whole : neg(whole), h = up ? hundredths : neg(hundredths);
    o(" %s%c%2lld.%s" DEG "  ", name, up ? above : below, w, Two(h).s);
}

void instru_page(const CduUnit& u, u8 sub, int line, const Out& o) {
    if (line == 1) return o.fixed("  INSTRU DATA   ");
    const bool expanded = u.page[kPageInstruView] != 0;
    switch (sub) {
        case 1:
            if (line == 2) return expanded ? o.fixed("                ") : track_line(u, o);
            if (line == 3) return wind_line(o);
            if (line == 4) return expanded ? o.blank() : heading_line(u, o);
            return expanded ? head_wind_line(o) : drift_line(u, o);
        case 2:
            if (line == 2) return drift_line(u, o);
            if (line == 3) return accel_line(o);
            if (line == 4) return o("ALT  %5d FEET ", ins_altitude_ft);
            return o("     %5d METER", ins_altitude_m);
        case 3:
            if (line == 2) return o("ALT  %5d FEET ", ins_altitude_ft);
            if (line == 3) return o("     %5d METER", ins_altitude_m);
            if (line == 4) return o("FRQ %2s", "  ");
            return o("CHN %1s", " ");
        case 4:
            if (line == 2) return o("CHN %12s", " ");
            if (line == 3) return o(" THDG  %3d.%s" DEG "  ", ins_true_heading_int, Two(ins_true_heading_hundredths).s);
            if (line == 4)
                return attitude_line(o, "PITCH ", tok_read(tok_pitch_deg), ins_pitch_int, ins_pitch_hundredths, '-', '+');
            return attitude_line(o, "ROLL  ", tok_read(tok_bank_deg), ins_bank_int, ins_bank_hundredths, 'L', 'R');
        case kPrompt: return o.fixed(kPromptMag[line - 1]);
        case kHdgInvalid: return o.fixed(kPromptHdg[line - 1]);
        case kLatLimit: return o.fixed(kPromptLat[line - 1]);
        default: return o.blank();
    }
}

// WPT SELECT: lines 2-5 list waypoints n-1 .. n+2.
void wpt_select_row(const CduUnit& u, u8 n, int line, const Out& o) {
    const i64 m = i64(n) + line - 3;
    const u32 count = gps_wpt_count;
    if (!active_ok()) {
        if (line == 2 && n == 1) return o.blank();
        if (line == 2 && n == 2) return o(" 00   %3s", "<P>");
    } else if (!plan_on() || m >= i64(count) + (line == 2 ? 0 : 1)) {
        if (line == 2 && n == 1) return o(" 00    %3s", "<P>");
    } else {
        const size_t row = size_t(line - 2 + (after_dto() ? 1 : 0));
        if (m == 0) return o(" 00    %3s  %4s", "<P>", u.nav.wpt_label[row]);
        return o(" %s %6s  %4s", Two(m).s, ident(after_dto() ? m : m - 1), u.nav.wpt_label[row]);
    }
    o(" %s %6s", Two(m).s, "");
}

void wpt_detail(const CduUnit& u, u8 n, u8 s, int line, const Out& o) {
    const bool none = n > gps_wpt_count || !plan_on();
    const f64* fix = u.nav.fix_sel_m1;
    switch (line) {
        case 2:
            if (!active_ok()) return o(" 00 %3s", " ");
            return o(" %s %3s", Two(s).s, none ? "..." : ident(after_dto() ? s : s - 1));
        case 3:
            if (none) return o("%15s", " ");
            return o("LAT    %s" DEG "%s.%1d'%c", Two(u.nav.shown_lat_deg).s, Two(u.nav.shown_lat_min_int).s,
                     u.nav.shown_lat_tenth, fix[0] >= 0 ? 'N' : 'S');
        case 4:
            if (none) return o("%15s", " ");
            return o("LON    %s" DEG "%s.%1d'%c", Two(u.nav.shown_lon_deg).s, Two(u.nav.shown_lon_min_int).s,
                     u.nav.shown_lon_tenth, fix[1] >= 0 ? 'E' : 'W');
        default:
            if (none) return o.fixed("                ");
            return o(" MC %3d" DEG " D%3d,%1d ", u.nav.sel_course_deg, ins_sel_leg_int, ins_sel_leg_tenth);
    }
}

// CRS DATA-AUTO lines.
void leg_line(const CduUnit& u, const Out& o) {
    const i64 a = gps_active_wpt;
    if (!active_ok()) return o.blank();
    if (a == 1 && u.nav.departed == 0) return o("%6s -> %3s", "<P>", ident(0));
    o("%6s -> %3s", ident(a - 1), ident(a));
}
void dtk_line(const CduUnit& u, const Out& o) {
    if (!plan_on()) return o("%1s-DTK           ", u.nav.ref_letter);
    o("  %1s-DTK   %3.1f" DEG, u.nav.ref_letter, u.nav.dtk_deg);
}
void xtk_line(const CduUnit& u, const Out& o) {
    const f64 x = u.nav.xtk_nm;
    if (!plan_on()) return o.fixed("  XTK           ");
    if (x >= kXtkShown) return o("  XTK R %3.1f", x);
    if (x <= -kXtkShown) return o("  XTK L %3.1f", -x);
    o.fixed("  XTK   0.0     ");
}
void tke_line(const CduUnit& u, const Out& o) {
    const f64 e = u.nav.tke_deg;
    if (!plan_on()) return o.fixed("  TKE           ");
    if (e > -180.0 && e < 0.0) return o("  TKE L %3.1f" DEG, -e);
    if (e > 0.0 && e < 180.0) return o("  TKE R %3.1f" DEG, e);
    o("  TKE   %3.1f" DEG, e);
}
void dist_time_line(const CduUnit& u, const Out& o) {
    if (!plan_on()) return o.fixed(" D    T         ");
    const i32 d = gps_active_wpt == 1 && u.nav.departed == 0 ? ins_dist_wpt0_int : ins_dist_int;
    if (gps_ground_speed_kt <= kSlowPlanKt) return o(" D%3d T     ", d);
    o(" D%3d T  %3u", d, u.time_to_wpt_min);
}

void crs_page(const CduUnit& u, u8 sub, int line, const Out& o) {
    if (line == 1) return o.fixed(" CRS DATA-AUTO  ");
    if (line == 2) return leg_line(u, o);
    if (sub == 1) {
        if (line == 3) return dtk_line(u, o);
        if (line == 4) return xtk_line(u, o);
        return tke_line(u, o);
    }
    if (line == 3) return xtk_line(u, o);
    if (line == 4) return tke_line(u, o);
    dist_time_line(u, o);
}

// FLIGHT PLAN: lines 3-5 are legs n-1 .. n+1 in the view's column.
enum FplView { Dist, Time, Eta, Dbw };

void fpl_page(const CduUnit& u, u8 n, FplView view, int line, const Out& o) {
    if (line == 1) return o.fixed("  FLIGHT  PLAN  ");
    if (line == 2) return o.fixed(kFplHeader[view]);
    const size_t k = size_t(line - 3);
    const i64 leg = i64(n) - 1 + i64(k);
    const bool dto = after_dto();
    const size_t el = k + (dto ? 1 : 0);
    const Two num(leg);
    const i64 last = dto ? i64(gps_wpt_count) - 1 : i64(gps_wpt_count);
    if (!active_ok() || !plan_on()) return o("%s%6s ", num.s, "");
    if (leg == 0) return o("00   <P> %2s", u.nav.fpl_label[el]);
    if (leg > last) return o("%s%6s ", num.s, "");
    const Text id = ident(dto ? leg : leg - 1);
    const Text label = u.nav.fpl_label[el];
    const bool no_time = gps_ground_speed_kt <= kSlowPlanKt || (u.nav.departed == 1 && u.nav.fpl_rows[k] < gps_active_wpt);
    switch (view) {
        case Dist: return o("%s%6s %2s %s", num.s, id, label, Four(u.nav.fpl_dtg_int[el]).s);
        case Dbw: return o("%s%6s %2s %s", num.s, id, label, Four(u.nav.fpl_leg_int[el]).s);
        case Time: {
            if (no_time) return o("%s%6s %2s     ", num.s, id, label);
            const f64 t = u.nav.fpl_ete_shown[el];
            return o(t < 10.0 ? "%s%6s %2s  %3.1f" : "%s%6s %2s %3.1f", num.s, id, label, t);
        }
        case Eta:
            if (no_time) return o("%s%6s %2s     ", num.s, id, label);
            return o("%s%6s %2s%s:%s", num.s, id, label, Two(u.nav.fpl_eta_hour[el]).s, Two(u.nav.fpl_eta_min[el]).s);
    }
}

void direct_to_page(const CduUnit& u, u8 sub, int line, const Out& o) {
    if (line == 1) return o("    DIRECT TO  %1s", u.an_letter);
    if (!active_ok()) return o.blank();
    if (line == 4) return o.fixed("  AUTO SELECTED ");
    const i64 target = ins_dto_state >= kDtoSaved ? i64(ins_dto_index) + 1 : i64(ins_dto_index);
    if (sub == 2) {
        if (line == 2) {
            const i64 from = i64(gps_active_wpt) - 1;
            if (gps_active_wpt == 1) return o("  FROM 00 TO %1d%1d ", ins_dto_tens, ins_dto_units);
            return o("  FROM %s TO %1d%1d ", Two(from).s, ins_dto_tens, ins_dto_units);
        }
        if (line == 3) return o(" DIRECT TO %3s ", ident(target));
        return o.fixed("  MANUAL        ");
    }
    if (sub == 3) {
        if (line == 2) return o("  <P>      %1s", ident(target));
        if (line == 3) return o.fixed(" MANUAL         ");
        return o.fixed(" ENT:MANUAL     ");
    }
    if (line == 2) return o("  <P>      %1s", ident(gps_active_wpt));
    if (line == 5) return o.fixed("  MANUAL        ");
    switch (ins_dto_entry) {
        case 1: return o.fixed(" DIRECT TO_..   ");
        case 2: return o(" DIRECT TO %1d_   ", ins_dto_tens);
        case 3: return o(" DIRECT TO %1d%1d   ", ins_dto_tens, ins_dto_units);
        default: return o.fixed(" DIRECT TO....  ");
    }
}

void choose(const CduUnit& u, int line, const Out& o) {
    const u8* p = u.page;
    if (u.powered != 1 || u.msu_knob == 0) return o.blank();
    if (p[kPagePgm]) return o.fixed(kPgm[line - 1]);
    if (p[kPagePosition]) return position_page(u, line, o);
    if (p[kPageSysStsView] == 4 || p[kPageSysStsView] == 5) return sys_test_view(u, p[kPageSysStsView], line, o);
    if (p[kPageSysSts]) return sys_sts_page(u, p[kPageSysSts], line, o);
    if (p[kPageInstruData]) return instru_page(u, p[kPageInstruData], line, o);
    if (p[kPageWptDetail] || p[kPageWptSelect]) {
        const u8 n = p[kPageWptSelect];
        if (line == 1) return o("   WPT SELECT  %1s", u.an_letter);
        if (p[kPageWptDetail]) return wpt_detail(u, n, p[kPageWptDetail], line, o);
        return wpt_select_row(u, n, line, o);
    }
    if (p[kPageLegChange]) {
        if (line == 1) return o("  LEG CHANGE   %1s", u.an_letter);
        return o.fixed(line == 3 ? "      INOP      " : " ");
    }
    if (p[kPageCrsDataAuto]) return crs_page(u, p[kPageCrsDataAuto], line, o);
    const FplView view = p[kPageFplTime] ? Time : p[kPageFplEta] ? Eta : p[kPageFplDbw] ? Dbw : Dist;
    if (p[kPageFplTime] || p[kPageFplEta] || p[kPageFplDbw] || p[kPageFlightPlan])
        return fpl_page(u, p[kPageFlightPlan], view, line, o);
    if (p[kPageDirectTo]) return direct_to_page(u, p[kPageDirectTo], line, o);
    if (p[kPageCatalog]) return o.fixed(kCatalog[line - 1]);
    if (p[kPageRemote]) return o.fixed(kRemote[line - 1]);
    o.blank();
}
}  // namespace

void cdu_line(const CduUnit& u, int line, StringElement* e) {
    if (!e || line < 1 || line > kLines) return;
    e->text_colour = u.nav.text_rgb;
    e->head.image_flags &= ~ImageOnScreen;
    choose(u, line, Out{e});
}
