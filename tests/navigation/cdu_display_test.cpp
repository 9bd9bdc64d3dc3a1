// The CDU screens as bytes: every page, prompt and view of both units from one set of host
// values, the cross-track and ident edge cases, and hostile values kept within 16 characters.
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

#include "instruments/state.h"
#include "tests/navigation/cdu_fixture.h"
#include "navigation/state.h"

namespace {
const std::string B16(16, ' ');
#define DEG "\xB0"
}  // namespace

class CduDisplay : public CduTest {
public:  // the case table's set-ups reach in
    void SetUp() override {
        CduTest::SetUp();
        place_cdus();
        // Present position 45 deg 00.45' N, 5 deg 00.75' E; waypoints every half degree north.
        plan({{45.5075, 5.0125, "A0"}, {46.0075, 5.0125, "A1"}, {46.5075, 5.0125, "A2"}, {47.0075, 5.0125, "A3"},
              {47.5075, 5.0125, "A4"}},
             1, 45.0075, 5.0125);
        // Drift, ground speed (m/s), true and magnetic track, distance (m), cross track (m),
        // desired track; angles in radians.
        const std::pair<size_t, f64> fields[] = {{0x20, -0.05}, {0x28, 100.0},  {0x30, 1.5}, {0x38, 1.5},
                                                 {0x80, 10000.0}, {0x90, 200.0}, {0x98, 0.5}};
        for (const auto& [off, v] : fields) put<f64>(data(), off, v);
        const std::pair<u32, f64> tokens[] = {{832, 100.0}, {81, 90.25},  {86, 95.375}, {343, 25.0},
                                              {344, 270.0}, {934, -0.1505 * 32.174}, {829, 1000.7},
                                              {77, 2.5},    {79, -12.25}, {6, 9.0}, {7, 5.0}, {5, 7.0}};
        for (const auto& t : tokens) token(t.first, t.second);
        inst_tas_kt = 260.7;
        frames(2);  // idents loaded, tables built
    }
    u8& knob(int n) { return n == 1 ? ins1_msu_knob : ins2_msu_knob; }
    u8& att(int n) { return n == 1 ? ins1_att_mode : ins2_att_mode; }
    u8& powered(int n) { return n == 1 ? ins1_powered : ins2_powered; }
    void reset(int n) {
        unit(n).align_count = 1;
        unit(n).nav.hdg_ref = 2;
        unit(n).wrn_lamp = 0;
        att(n) = 0;
        knob(n) = 3;
        powered(n) = 1;
        ins_dto_tens = ins_dto_units = ins_dto_entry = ins_dto_state = 0;
    }
};

TEST_F(CduDisplay, EveryPagePromptAndViewOfBothUnits) {
    struct Case {
        const char* what;
        std::function<void(CduDisplay&, int)> setup;
        Lines expected;
    };
    auto page = [](size_t index, u8 value, size_t index2 = 0, u8 value2 = 0) {
        return [=](CduDisplay& t, int n) {
            t.show_page(n, index, value);
            if (index2) t.unit(n).page[index2] = value2;
        };
    };
    auto counted = [](size_t index, u8 value, u8 count) {
        return [=](CduDisplay& t, int n) { t.show_page(n, index, value), t.unit(n).align_count = count; };
    };
    auto direct_to = [](u8 value, u8 state) {
        return [=](CduDisplay& t, int n) {
            t.show_page(n, kPageDirectTo, value);
            ins_dto_units = ins_dto_entry = 3, ins_dto_state = state;
        };
    };
    const std::string clock = " GMT     9.05:07";  // the 17th character, a blank, is cut
    const Case cases[] = {
        {"PGM", page(kPagePgm, 1), {"  PGM 92-04-09  ", B16, "CUSTOM D BASE   ", "       MS FSX   ", "CLR:CONTINUE    "}},
        {"POSITION at count 79", counted(kPagePosition, 1, 79),
         {"    POSITION   N", "LAT    45" DEG "00.4'N", "LON    05" DEG "00.7'E", B16, clock}},
        {"POSITION at count 80", counted(kPagePosition, 1, 80),
         {"    POSITION   N", " LOC ID ------  ", " LAT   --" DEG "--.-' ", " LON   --" DEG "--.-' ", clock}},
        {"STS 1 in the excess-motion hold",
         [](CduDisplay& t, int n) { t.show_page(n, kPageSysSts, 1), t.unit(n).align_count = 91, t.knob(n) = 2; },
         {"  SYS STS/TEST  ", "  UPDATE        ", "ALIGN 90        ", "TIME   0.1 MIN  ", "EXCESS MOTION   "}},
        {"STS 2", page(kPageSysSts, 2),
         {"  SYS STS/TEST  ", "  UPDATE        ", "NAV   1         ", "TIME  0.0 HR    ", "ACTION:NONE     "}},
        {"STS 3 (ATT)", [](CduDisplay& t, int n) { t.att(n) = 1; },
         {"  SYS STS/TEST  ", B16, "ATT             ", "TIME  0.0 HR    ", "ACTION:NONE     "}},
        {"STS 4", page(kPageSysSts, 4),
         {"  SYSTEM TEST   ", B16, "  DISPLAY TEST  ", "  ACCURACY TST  ", "DBASE: MS FSX   "}},
        {"STS 5", page(kPageSysSts, 5),
         {"  SYSTEM TEST   ", B16, "AP/FLT DIR # 1  ", "AP/FLT DIR # 2  ", "AP/FLT DIR # 3  "}},
        {"AP/FLT DIR test view", page(kPageSysSts, 5, kPageSysStsView, 5),
         {"  T-DTK  50.1" DEG "  ", "  TK     22.5" DEG "  ", "  XTK  R   3.8  ", "  STR R     .0" DEG " ",
          "HDG 11.3" DEG " GS 450"}},
        {"INSTRU 1", page(kPageInstruData, 1),
         {"  INSTRU DATA   ", "M-TK  85" DEG "9 GS194", " WND 270" DEG "     25", "MHDG  90" DEG "2      ",
          "DA L   2 TAS 260"}},
        {"INSTRU 1 expanded", page(kPageInstruData, 1, kPageInstruView, 1),
         {"  INSTRU DATA   ", B16, " WND 270" DEG "     25", B16, " TAIL WIND 24   "}},
        {"INSTRU 2", page(kPageInstruData, 2),
         {"  INSTRU DATA   ", "DA L   2 TAS 260", "ACCEL  -.150 G'S", "ALT   3283 FEET ", "      1000 METER"}},
        {"INSTRU 3", page(kPageInstruData, 3),
         {"  INSTRU DATA   ", "ALT   3283 FEET ", "      1000 METER", "FRQ   ", "CHN  "}},
        {"INSTRU 4", page(kPageInstruData, 4),
         {"  INSTRU DATA   ", "CHN             ", " THDG   95.37" DEG "  ", " PITCH - 2.50" DEG "  ",
          " ROLL  R12.25" DEG "  "}},
        {"MAGNETIC? prompt", page(kPageInstruData, 255),
         {"  INSTRU DATA   ", B16, "   MAGNETIC?    ", B16, "ENT:MAG CLR:TRUE"}},
        {"heading invalid", page(kPageInstruData, 254),
         {"  INSTRU DATA   ", B16, "  MHDG INVALID  ", B16, "        CLR:TRUE"}},
        {"latitude limit", page(kPageInstruData, 253),
         {"  INSTRU DATA   ", "  MHDG INVALID  ", "  AT LAT>73" DEG "N   ", "  OR LAT>60" DEG "S   ",
          "        CLR:TRUE"}},
        {"WPT SELECT 1", page(kPageWptSelect, 1),
         {"   WPT SELECT  N", " 00    <P>  FROM", " 01     A0    TO", " 02     A1      ", " 03     A2      "}},
        {"WPT SELECT 5", page(kPageWptSelect, 5),
         {"   WPT SELECT  N", " 04     A3      ", " 05     A4      ", " 06       ", " 07       "}},
        {"WPT SELECT 6: line 2 blank from the count", page(kPageWptSelect, 6),
         {"   WPT SELECT  N", " 05       ", " 06       ", " 07       ", " 08       "}},
        // The leg digits are shared working values: both units on the same page. Waypoint 1's leg
        // runs from the present position.
        {"selected waypoint 1",
         [](CduDisplay& t, int) {
             for (int m : {1, 2}) t.show_page(m, kPageWptSelect, 1), t.unit(m).page[kPageWptDetail] = 1;
         },
         {"   WPT SELECT  N", " 01  A0", "LAT    45" DEG "30.4'N", "LON    05" DEG "00.7'E", " MC   0" DEG " D 30,0 "}},
        {"selected waypoint 2",
         [](CduDisplay& t, int) {
             for (int m : {1, 2}) t.show_page(m, kPageWptSelect, 2), t.unit(m).page[kPageWptDetail] = 2;
         },
         {"   WPT SELECT  N", " 02  A1", "LAT    46" DEG "00.4'N", "LON    05" DEG "00.7'E", " MC   0" DEG " D 30,0 "}},
        {"LEG CHANGE", page(kPageLegChange, 1, kPageInop, 1), {"  LEG CHANGE   N", B16, "      INOP      ", B16, B16}},
        {"CRS 1", page(kPageCrsDataAuto, 1),
         {" CRS DATA-AUTO  ", "   <P> ->  A0", "  M-DTK   28.6" DEG, "  XTK R 0.1", "  TKE L 57.3" DEG}},
        {"CRS 2", page(kPageCrsDataAuto, 2),
         {" CRS DATA-AUTO  ", "   <P> ->  A0", "  XTK R 0.1", "  TKE L 57.3" DEG, " D 30 T    9"}},
        {"FLIGHT PLAN", page(kPageFlightPlan, 1),
         {"  FLIGHT  PLAN  ", "WPT IDENT   DIST", "00   <P> FM", "01    A0 TO 0030", "02    A1    0060"}},
        {"FLIGHT PLAN TIME", page(kPageFlightPlan, 1, kPageFplTime, 1),
         {"  FLIGHT  PLAN  ", "WPT IDENT   TIME", "00   <P> FM", "01    A0 TO  9.3", "02    A1    18.5"}},
        {"FLIGHT PLAN ETA", page(kPageFlightPlan, 1, kPageFplEta, 1),
         {"  FLIGHT  PLAN  ", "WPT IDENT   ETA ", "00   <P> FM", "01    A0 TO09:14", "02    A1   09:23"}},
        {"FLIGHT PLAN DBW", page(kPageFlightPlan, 1, kPageFplDbw, 1),
         {"  FLIGHT  PLAN  ", "WPT IDENT   DBW ", "00   <P> FM", "01    A0 TO 0030", "02    A1    0030"}},
        {"DIRECT TO entry idle", page(kPageDirectTo, 1),
         {"    DIRECT TO  N", "  <P>      A1", " DIRECT TO....  ", "  AUTO SELECTED ", "  MANUAL        "}},
        {"DIRECT TO confirm", direct_to(2, 1),
         {"    DIRECT TO  N", "  FROM 00 TO 03 ", " DIRECT TO  A2 ", "  AUTO SELECTED ", "  MANUAL        "}},
        {"DIRECT TO execute", direct_to(3, 2),
         {"    DIRECT TO  N", "  <P>      A2", " MANUAL         ", "  AUTO SELECTED ", " ENT:MANUAL     "}},
        {"CATALOG", page(kPageCatalog, 1, kPageInop, 1), {"    CATALOG     ", B16, "      INOP      ", B16, B16}},
        {"REMOTE", page(kPageRemote, 2, kPageInop, 1), {"     REMOTE     ", B16, "      INOP      ", B16, B16}},
        {"no page", page(kPageUnused, 0), {B16, B16, B16, B16, B16}},
        {"unpowered", [](CduDisplay& t, int n) { t.show_page(n, kPagePosition, 1), t.powered(n) = 0; },
         {B16, B16, B16, B16, B16}},
    };
    for (int n : {1, 2}) {
        for (const Case& c : cases) {
            reset(n);
            c.setup(*this, n);
            frames(2);  // the shown waypoint follows the page one frame later
            EXPECT_EQ(lines(n), c.expected) << "INS " << n << ": " << c.what;
        }
        reset(n);
    }
}

TEST_F(CduDisplay, SlowGroundSpeedBlanksSpeedDependentFields) {
    put<f64>(data(), 0x28, 2.0);
    token(832, 2.0);
    token(81, 90.0);
    show_page(1, kPageInstruData, 1);
    frames(1);
    // The heading line with a zero tenth is 17 characters; the last blank is cut.
    EXPECT_EQ(lines(1), (Lines{"  INSTRU DATA   ", "M-TK  90" DEG "  GS   ", " WND           ",
                               "MTHDG  90" DEG "      ", "DA       TAS    "}));
}

TEST_F(CduDisplay, CrossTrackTrackErrorAndAccelerationEdges) {
    const struct { f64 xtk; i32 accel_mg; const char *xtk_line, *accel_line; } cases[] = {
        {0.09, -1, "  XTK R 0.1", "ACCEL   .000 G'S"}, {0.08, 0, "  XTK   0.0     ", "ACCEL   .000 G'S"},
        {-0.09, -2, "  XTK L 0.1", "ACCEL  -.002 G'S"}, {std::nan(""), -10, "  XTK   0.0     ", "ACCEL  -.010 G'S"},
        {12.34, 999, "  XTK R 12.3", "ACCEL   .999 G'S"},
    };
    host().remove(gauge(kSwitch));  // the values below stand as set
    for (const auto& c : cases) {
        gps_xtk_nm = c.xtk;
        token(934, (f64(c.accel_mg) + 0.5 * (c.accel_mg < 0 ? -1 : 1)) / 1000.0 * 32.174);
        show_page(1, kPageCrsDataAuto, 1);
        frames(1);
        EXPECT_EQ(lines(1)[3], c.xtk_line) << c.xtk;
        show_page(1, kPageInstruData, 2);
        frames(1);
        EXPECT_EQ(lines(1)[2], c.accel_line) << c.accel_mg;
    }
    gps_plan_active = 0;
    show_page(1, kPageCrsDataAuto, 2);
    frames(1);
    EXPECT_EQ(lines(1), (Lines{" CRS DATA-AUTO  ", "   <P> ->  A0", "  XTK           ", "  TKE           ",
                               " D    T         "}));
}

TEST_F(CduDisplay, IdentSlotsOutsideTheTablePrintBlanksAndLongTextsAreCut) {
    put<u32>(data(), 0x4c, 0);  // active waypoint 0: the FROM slot would be -1
    show_page(1, kPageCrsDataAuto, 1);
    frames(1);
    EXPECT_EQ(lines(1)[1], "       ->  A0");
    ins_dto_tens = 25, ins_dto_units = 6, ins_dto_entry = 3, ins_dto_state = 4;  // index 255, slot 256
    show_page(1, kPageDirectTo, 2);
    frames(1);
    EXPECT_EQ(lines(1)[2], " DIRECT TO     ");
    ins_dto_tens = ins_dto_units = ins_dto_entry = ins_dto_state = 0;
    std::snprintf(ins_wpt_ident[0], kIdentChars, "%s", "A-VERY-LONG-IDENT-OF-FORTY-CHARACTERS");
    show_page(1, kPageDirectTo, 1);
    frames(1);
    EXPECT_EQ(lines(1)[1], "  <P>      A-VER");
}

TEST_F(CduDisplay, HostileValuesKeepEveryLineWithin16Characters) {
    const f64 inf = std::numeric_limits<f64>::infinity();
    const size_t pages[] = {kPagePosition, kPageInstruData, kPageWptSelect, kPageCrsDataAuto, kPageFlightPlan,
                            kPageDirectTo};
    for (f64 v : {std::nan(""), inf, -inf, 1e300, -1e300, 2147483648.0}) {
        for (size_t off : {0x20, 0x28, 0x30, 0x38, 0x80, 0x90, 0x98}) put<f64>(data(), off, v);
        for (u32 id : {832u, 81u, 86u, 343u, 344u, 934u, 829u, 77u, 79u, 6u, 7u, 5u}) token(id, v);
        inst_tas_kt = v;
        for (size_t p : pages)
            for (u8 sub : {1, 2, 3, 4}) {
                show_page(2, p, sub);
                frames(1);
                for (const std::string& l : lines(2)) EXPECT_LE(l.size(), 16u) << v << " page " << p;
            }
    }
}

TEST_F(CduDisplay, PageLabelsAndDirectToFromRowFollowTheActiveWaypoint) {
    // A 14-waypoint plan. Labels of rows 0-4 by page number Wp, active waypoint A and departed;
    // lines 2-5 show rows 0-3 before a DIRECT TO.
    using L = std::array<const char*, 5>;
    const char* const _ = "    ";
    const struct { u32 active; u8 departed, wp; L labels; } cases[] = {
        {1, 0, 1, {"FROM", "  TO", _, _, _}}, {1, 0, 2, {"  TO", _, _, _, _}}, {1, 0, 3, {_, _, _, _, _}},
        {1, 1, 1, {_, "FROM", "  TO", _, _}}, {1, 1, 2, {"FROM", "  TO", _, _, _}},
        {6, 1, 9, {_, _, _, _, _}},           {6, 1, 8, {"  TO", _, _, _, _}},   {6, 1, 7, {"FROM", "  TO", _, _, _}},
        {6, 1, 6, {_, "FROM", "  TO", _, _}}, {6, 1, 5, {_, _, "FROM", "  TO", _}},
        {6, 1, 4, {_, _, _, "FROM", "  TO"}}, {6, 1, 3, {_, _, _, _, "FROM"}}, {6, 1, 2, {_, _, _, _, _}},
    };
    // A fresh plan with waypoint `active` active, then page `page` at number `n`.
    const auto plan_page = [this](u32 active, u8 departed, u8 page, u8 n) {
        plan(north_line(14, 0.1), active, 45.0075, 5.0125);
        frames(1);
        ins1_departed = departed;
        show_page(1, page, n);
        frames(1);
    };
    for (const auto& c : cases) {
        plan_page(c.active, c.departed, kPageWptSelect, c.wp);
        for (size_t r = 0; r < 5; ++r) EXPECT_STREQ(ins1_wpt_label[r], c.labels[r]) << c.active << " " << int(c.wp);
        const Lines l = lines(1);
        for (size_t r = 0; r < 4; ++r) EXPECT_EQ(l[r + 1].substr(12), c.labels[r]) << c.active << " " << int(c.wp);
    }
    // From the DIRECT TO request on, lines 2-5 show the labels of rows 1-4.
    show_page(1, kPageWptSelect, 4);  // active waypoint 6: FROM and TO on rows 3 and 4
    ins_dto_state = 3;
    frames(1);
    EXPECT_EQ(lines(1)[3].substr(12), "FROM");
    EXPECT_EQ(lines(1)[4].substr(12), "  TO");
    ins_dto_state = 0;
    // FLIGHT PLAN labels of rows 0-3 by page number F (row 1 is waypoint F - 1); lines 3-5 show
    // rows 0-2, the label in columns 10 and 11.
    using L4 = std::array<const char*, 4>;
    const char* const b = "  ";
    const struct { u32 active; u8 departed, fpl; L4 labels; } fpl_cases[] = {
        {1, 0, 1, {"FM", "TO", b, b}}, {1, 0, 2, {"TO", b, b, b}},      {1, 0, 3, {b, b, b, b}},
        {6, 1, 9, {b, b, b, b}},       {6, 1, 8, {"TO", b, b, b}},      {6, 1, 7, {"FM", "TO", b, b}},
        {6, 1, 6, {b, "FM", "TO", b}}, {6, 1, 5, {b, b, "FM", "TO"}},   {6, 1, 4, {b, b, b, "FM"}},
        {6, 1, 3, {b, b, b, b}},
    };
    for (const auto& c : fpl_cases) {
        plan_page(c.active, c.departed, kPageFlightPlan, c.fpl);
        for (size_t r = 0; r < 4; ++r) EXPECT_STREQ(ins1_fpl_label[r], c.labels[r]) << c.active << " " << int(c.fpl);
        const Lines l = lines(1);
        for (size_t r = 0; r < 3; ++r) EXPECT_EQ(l[r + 2].substr(9, 2), c.labels[r]) << c.active << " " << int(c.fpl);
    }
    // The confirm page names the leg it leaves: from waypoint A - 1, two digits.
    const struct { u32 active; const char* line; } from_rows[] = {
        {1, "  FROM 00 TO 13 "}, {2, "  FROM 01 TO 13 "}, {10, "  FROM 09 TO 13 "}, {12, "  FROM 11 TO 13 "},
    };
    for (const auto& f : from_rows) {
        plan(north_line(14, 0.1), f.active, 45.0075, 5.0125);
        ins_dto_tens = 1, ins_dto_units = 3, ins_dto_entry = 3, ins_dto_state = 1;
        show_page(1, kPageDirectTo, 2);
        frames(1);
        EXPECT_EQ(lines(1)[1], f.line);
    }
}

TEST_F(CduDisplay, FlightPlanDistancesInFourDigits) {
    // Active waypoint 2: leg 3's row is the active one, its distance to go the host's.
    put<u32>(data(), 0x4c, 2);
    show_page(1, kPageFlightPlan, 3);
    const struct { f64 nm; const char* line; } cases[] = {
        {1234.5, "03    A2 TO 1234"}, {9999.5, "03    A2 TO 1234"}, {999.5, "03    A2 TO 0999"},
        {12000.0, "03    A2 TO 0999"}, {99.5, "03    A2 TO 0099"}, {5.5, "03    A2 TO 0005"},
        {0.5, "03    A2 TO 0000"},
    };
    for (const auto& c : cases) {
        put<f64>(data(), 0x80, c.nm / 0.00054);  // the host gives metres
        frames(2);
        EXPECT_EQ(lines(1)[3], c.line) << c.nm;
    }
    // The last leg: before a DIRECT TO leg N shows waypoint N - 1 and leg N + 1 is past the
    // plan; from the request on leg N - 1 shows waypoint N - 1 and leg N is past it. The row's
    // label and distance move up with it: the DIRECT TO row above holds TO.
    const struct { u8 state, page; const char* last; const char* past; } ends[] = {
        {0, 5, "05    A4    0060", "06       "}, {3, 4, "04    A4    0060", "05       "},
    };
    for (const auto& e : ends) {
        ins_dto_state = e.state;
        show_page(1, kPageFlightPlan, e.page);
        frames(2);
        EXPECT_EQ(lines(1)[3], e.last) << int(e.state);
        EXPECT_EQ(lines(1)[4], e.past) << int(e.state);
    }
    ins_dto_state = 0;
}

TEST_F(CduDisplay, SelectedWaypointSouthAndWest) {
    plan({{-33.8765, -71.2093, "SCL"}, {-34.5, -71.0, "B1"}}, 1, -33.0, -71.0);
    put<f64>(data() + kDataArray, 0x20, 200.5 * M_PI / 180.0);  // the leg course, whole degrees shown
    for (int n : {1, 2}) show_page(n, kPageWptSelect, 1), unit(n).page[kPageWptDetail] = 1;
    frames(3);
    EXPECT_NEAR(ins1_shown_lat_min, 52.59, 1e-6);
    EXPECT_NEAR(ins1_shown_lon_min, 12.558, 1e-6);
    for (int n : {1, 2}) {
        const Lines l = lines(n);
        EXPECT_EQ(l[1], " 01 SCL") << n;
        EXPECT_EQ(l[2], "LAT    33" DEG "52.5'S") << n;
        EXPECT_EQ(l[3], "LON    71" DEG "12.5'W") << n;
        EXPECT_EQ(l[4].substr(0, 8), " MC 200" DEG) << n;
    }
    // Confirmed is still before the request; from the request on (state 3) the row shows
    // waypoint s itself, and its leg runs from the present position to the active waypoint.
    ins_dto_state = 2;
    frames(2);
    EXPECT_EQ(lines(1)[2], "LAT    33" DEG "52.5'S");
    ins_dto_state = 3;
    frames(2);
    EXPECT_EQ(lines(1)[1], " 01  B1");
    EXPECT_EQ(lines(1)[2], "LAT    34" DEG "30.0'S");
    EXPECT_EQ(lines(1)[3], "LON    71" DEG "00.0'W");
    EXPECT_EQ(lines(1)[4], " MC   0" DEG " D 90,0 ");
    // A block that fails the validity test reads every position and the leg as 0.
    put<u32>(data(), 0x44, 0);
    frames(2);
    EXPECT_EQ(lines(1)[2], "LAT    00" DEG "00.0'N");
    EXPECT_EQ(lines(1)[3], "LON    00" DEG "00.0'E");
    EXPECT_EQ(lines(1)[4], " MC   0" DEG " D  0,0 ");
    // No active plan, or a number past the plan: the ident reads "..." and the rest is blank.
    ins_dto_state = 0;
    put<u32>(data(), 0x44, 1);
    const struct { u32 plan; u8 n; const char* ident; } none[] = {{0, 1, " 01 ..."}, {1, 3, " 03 ..."}};
    for (const auto& c : none) {
        put<u32>(data(), 0x40, c.plan);
        show_page(1, kPageWptSelect, c.n);
        ins1_cdu_page[kPageWptDetail] = c.n;
        frames(2);
        EXPECT_EQ(lines(1), (Lines{"   WPT SELECT  N", c.ident, std::string(15, ' '), std::string(15, ' '), B16}))
            << c.plan << " " << int(c.n);
    }
}

// The DIRECT TO confirm page names the chosen waypoint: slot index before the tables are saved,
// slot index + 1 from then on (state 4), the plan then beginning with the present position.
TEST_F(CduDisplay, DirectToConfirmNamesTheWaypointByState) {
    const struct { u8 state; const char* line; } cases[] = {{3, " DIRECT TO  A2 "}, {4, " DIRECT TO  A3 "}};
    for (const auto& c : cases) {
        show_page(1, kPageDirectTo, 2);
        ins_dto_tens = 0, ins_dto_units = 3, ins_dto_entry = 3, ins_dto_state = c.state;
        frames(1);
        EXPECT_EQ(lines(1)[2], c.line) << int(c.state);
    }
}

// POSITION: a longitude below 10 degrees gets a leading zero, from 10 on three places (the
// longitudes are exact in the host's units).
TEST_F(CduDisplay, PositionLongitudeWidths) {
    const struct { f64 lon; const char* line; } cases[] = {
        {10.546875, "LON    10" DEG "32.8'E"}, {-9.84375, "LON    09" DEG "50.6'W"}, {123.75, "LON   123" DEG "45.0'E"},
    };
    for (const auto& c : cases) {
        plan({{45.5, c.lon, "A0"}}, 0, 45.0075, c.lon);
        show_page(1, kPagePosition, 1);
        frames(1);
        EXPECT_EQ(lines(1)[2], c.line) << c.lon;
    }
}

// Pitch and roll within 0.02 of level (exclusive) show the unsigned .00 form; at 0.02 the side.
TEST_F(CduDisplay, AttitudeLinesByTheLevelBand) {
    show_page(1, kPageInstruData, 4);
    const struct { f64 token; const char *pitch, *roll; } cases[] = {
        {0.015, " PITCH   0.00" DEG "  ", " ROLL    0.00" DEG "  "},
        {-0.015, " PITCH   0.00" DEG "  ", " ROLL    0.00" DEG "  "},
        {0.02, " PITCH - 0.02" DEG "  ", " ROLL  L 0.02" DEG "  "},
        {-0.02, " PITCH + 0.02" DEG "  ", " ROLL  R 0.02" DEG "  "},
        {NAN, " PITCH + 0.02" DEG "  ", " ROLL  R 0.02" DEG "  "},  // no number: outside the band, last digits
    };
    for (const auto& c : cases) {
        token(77, c.token);
        token(79, c.token);
        frames(1);
        EXPECT_EQ(lines(1)[3], c.pitch) << c.token;
        EXPECT_EQ(lines(1)[4], c.roll) << c.token;
    }
}
