// The INS navigation computer, written once for both units: each unit is a descriptor naming
// its own variables. INS 1's computer also does the work that serves both units (time of day,
// wind component, plan waypoint positions, leg tables, idents and DIRECT TO rebuild).
#pragma once
#include <cstddef>

#include "module/types.h"

constexpr size_t kFplRows = 4;
constexpr size_t kWptRows = 5;
constexpr size_t kFplLabelChars = 2;
constexpr size_t kWptLabelChars = 4;
constexpr size_t kPlanSlots = 99;      // leg, sum and ident tables
constexpr size_t kIdentChars = 99;     // bytes of one ident slot

// Texts of the computers (not numbers, so kept beside the numeric shared state).
extern char ins1_ref_letter[2], ins2_ref_letter[2];
extern char ins1_fpl_label[kFplRows][kFplLabelChars + 1], ins2_fpl_label[kFplRows][kFplLabelChars + 1];
extern char ins1_wpt_label[kWptRows][kWptLabelChars + 1], ins2_wpt_label[kWptRows][kWptLabelChars + 1];
extern char ins_wpt_ident[kPlanSlots][kIdentChars];
extern char ins_wpt_ident_saved[kPlanSlots][kIdentChars];

// CDU page bytes: one per page or view; the value is the sub-page.
constexpr size_t kPagePgm = 0;
constexpr size_t kPagePosition = 1;
constexpr size_t kPageSysSts = 2;
constexpr size_t kPageSysStsView = 3;  // expanded view: 4 system test, 5 AP/FLT DIR test
constexpr size_t kPageInstruData = 4;
constexpr size_t kPageInstruView = 5;
constexpr size_t kPageWptSelect = 6;
constexpr size_t kPageWptDetail = 7;
constexpr size_t kPageLegChange = 8;
constexpr size_t kPageCrsDataAuto = 9;
constexpr size_t kPageFlightPlan = 10;
constexpr size_t kPageFplTime = 11;
constexpr size_t kPageFplEta = 12;
constexpr size_t kPageFplDbw = 13;
constexpr size_t kPageDirectTo = 14;
constexpr size_t kPageCatalog = 15;
constexpr size_t kPageRemote = 16;
constexpr size_t kPageUnused = 17;
constexpr size_t kPageInop = 18;
constexpr size_t kCduPages = 19;

struct InsNavUnit {
    bool first;  // INS 1
    u8* cdu_page;
    u8& hdg_ref;
    char* ref_letter;
    const u8& align_count;
    const u8& att_mode;
    f64& track_deg;
    i32& track_int;
    i32& track_tenth;
    i32& drift_int;
    f64& dtk_deg;
    f64& wpt_course_deg;
    f64& xtk_nm;
    f64& tke_deg;
    f32& align_time_s;
    f64& align_stamp_s;
    u8& align_time_min;
    u8& align_time_tenth;
    f64& nav_time_h;
    f64& nav_stamp_s;
    u8& nav_time_int;
    u8& nav_time_tenth;
    const u16& text_red;
    const u16& text_green;
    const u16& text_blue;
    u32& text_rgb;
    u8& departed;
    u32& plan_count_seen;
    // Flight-plan page values.
    u16& sel_wpt;
    f64* fix_sel_m1;
    f64* fix_sel_m2;
    f64* fix_sel;
    i32& shown_lat_deg;
    f64& shown_lat_min;
    i32& shown_lat_min_int;
    i32& shown_lat_tenth;
    i32& shown_lon_deg;
    f64& shown_lon_min;
    i32& shown_lon_min_int;
    i32& shown_lon_tenth;
    i32& sel_course_deg;
    f64& dist_wpt0_nm;
    f64& dist_wpt1_nm;
    f64& sel_leg_nm;
    f64& sel_next_leg_nm;
    u8* fpl_rows;
    f64* fpl_dtg_nm;
    f64* fpl_leg_nm;
    f64* fpl_ete_min;
    u32* fpl_eta_hour;
    u32* fpl_eta_min;
    i32* fpl_dtg_int;
    i32* fpl_leg_int;
    f64* fpl_ete_shown;
    char (*fpl_label)[kFplLabelChars + 1];
    char (*wpt_label)[kWptLabelChars + 1];
};

extern const InsNavUnit kIns1Nav;
extern const InsNavUnit kIns2Nav;

// One frame of a unit's computer, in its fixed order, in two halves: the control display unit
// runs its page forcing, tests and alert lamp between them.
void ins_nav_frame_head(const InsNavUnit& u);  // heading reference .. alignment and nav time
void ins_nav_frame_tail(const InsNavUnit& u);  // tables .. ident loader

// The digit after the whole part (scale 10: tenths, 100: hundredths) as v x scale - whole x scale,
// truncated; 0 for a value whose whole part does not fit 32 bits (its digits are not shown).
i32 fraction_digits(f64 v, i32 whole, f64 scale);
// The tenths digit as (v - whole) x 10, truncated, with the same guard.
u8 tenths_digit(f64 v, i32 whole);

// Great-circle distance in NM between two points in radians; equal points give 0.
f64 gc_distance_nm(f64 lat1, f64 lon1, f64 lat2, f64 lon2);
// Wind along the heading, negative for wind from ahead.
f64 wind_component(f64 heading_deg, f64 wind_dir_deg, f64 wind_speed);

// Flight-plan steps of the frame (distances and rows).
void ins_plan_positions(const InsNavUnit& u);  // step 4
void ins_plan_distances(const InsNavUnit& u);  // step 6
void ins_plan_tables(const InsNavUnit& u);     // step 10
// Leg length and running sum of leg i; 0 outside the table.
f64 ins_leg(i64 i);
f64 ins_cum(i64 i);

// Ident loader, DIRECT TO save and rebuild, and the waypoint index (INS 1's step 14).
void ins_dto_passes();
// The DIRECT TO request (ENTER on the execute step): writes the host request when it can, then
// puts the pressing unit's CDU on CRS DATA-AUTO and advances the sequence in every case.
void ins_dto_execute(u8* cdu_page);
