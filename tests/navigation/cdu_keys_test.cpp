// The CDU keyboards: the heading-reference prompt, arrow limits, the DIRECT TO entry, the
// colour series, the two keyboards sharing one DIRECT TO, and random key sequences that must
// keep the page bytes sound.
#include <random>
#include <tuple>

#include "tests/navigation/cdu_fixture.h"
#include "navigation/state.h"

class CduKeys : public CduTest {
protected:
    void SetUp() override {
        CduTest::SetUp();
        place_cdus(false);  // the gps_ values stand as a test sets them
        plan(north_line(5), 1);
        gps_data_ptr = data();  // bound as the link would
        gps_plan_active = 1;
        gps_wpt_count = 5;
        gps_active_wpt = 1;
    }
};

TEST_F(CduKeys, EnterAtThePromptByLatitudeAndAlignment) {
    // Whole degrees: 73.9 N reads 73, 60.9 S reads -60. Alignment past 50: heading invalid.
    const struct { i32 lat; u8 count, page, ref; } cases[] = {
        {73, 1, 1, 2}, {-60, 1, 1, 2}, {74, 1, 253, 1}, {-61, 1, 253, 1}, {45, 51, 254, 1}, {45, 50, 1, 2},
    };
    for (const auto& c : cases) {
        gps_lat_deg_signed = c.lat;
        ins1_align_count = c.count;
        ins1_hdg_ref = 1;
        show_page(1, kPageInstruData, 255);
        press(1, "ENT");
        EXPECT_EQ(ins1_cdu_page[kPageInstruData], c.page) << c.lat << " count " << int(c.count);
        EXPECT_EQ(ins1_hdg_ref, c.ref) << c.lat;
    }
    press(1, "CLR");  // at a prompt page: back to INSTRU DATA 1, TRUE
    ins1_hdg_ref = 2;
    show_page(1, kPageInstruData, 253);
    press(1, "CLR");
    EXPECT_EQ(ins1_cdu_page[kPageInstruData], 1);
    EXPECT_EQ(ins1_hdg_ref, 1);
}

TEST_F(CduKeys, ArrowsStopAtEachPagesLimits) {
    // Mode 2 is N (numeric), 1 is A.
    const struct { size_t index; u8 start; const char* key; u8 mode, expected; } cases[] = {
        {kPageFlightPlan, 1, "UP", 2, 99},  {kPageWptSelect, 1, "UP", 2, 97},    {kPageRemote, 1, "UP", 2, 3},
        {kPageSysSts, 1, "UP", 2, 5},       {kPageCrsDataAuto, 1, "UP", 2, 2},   {kPageInstruData, 1, "UP", 2, 4},
        {kPageFlightPlan, 99, "DOWN", 2, 1}, {kPageSysSts, 5, "DOWN", 2, 2},     {kPageInstruData, 4, "DOWN", 2, 255},
        {kPageCrsDataAuto, 1, "UP", 1, 1},  {kPageWptSelect, 1, "UP", 1, 1},     {kPageSysSts, 5, "DOWN", 1, 1},
        {kPageInstruData, 255, "UP", 1, 4},  {kPageWptSelect, 97, "DOWN", 2, 1}, {kPageWptSelect, 5, "DOWN", 1, 5},
        {kPageWptDetail, 5, "DOWN", 2, 1},  {kPageWptDetail, 5, "UP", 2, 10},   {kPageWptDetail, 5, "UP", 1, 5},
    };
    gps_wpt_count = 10;  // the selected waypoint stops at the plan's last
    for (const auto& c : cases) {
        show_page(1, c.index, c.start);
        if (ins1_cdu_an_mode != c.mode) press(1, "A-N");
        for (int i = 0; i < 120; ++i) press(1, c.key);
        EXPECT_EQ(ins1_cdu_page[c.index], c.expected) << c.index << " " << c.key << " mode " << int(c.mode);
    }
    // DOWN from the system test page in mode N: the aligned status page in NAV with count
    // below 2, else the status page 1.
    if (ins1_cdu_an_mode != 2) press(1, "A-N");
    const struct { u8 knob, count, expected; } down[] = {{3, 1, 2}, {3, 2, 1}, {2, 1, 1}};
    for (const auto& d : down) {
        ins1_msu_knob = d.knob, ins1_align_count = d.count;
        show_page(1, kPageSysSts, 4);
        press(1, "DOWN");
        EXPECT_EQ(ins1_cdu_page[kPageSysSts], d.expected) << int(d.knob) << " " << int(d.count);
    }
}

// Both keyboards: 31 keys of 24 x 24 pixels, hand cursor, left single click.
TEST_F(CduKeys, KeyBoxes) {
    for (int n : {1, 2}) {
        size_t keys_found = 0;
        for (const MouseRect* r = gauge(cdu(n))->mouse_rects; r->kind != MouseRectEnd; ++r) {
            if (r->kind != MouseRectChild) continue;
            ++keys_found;
            EXPECT_EQ(std::make_tuple(r->w, r->h, r->cursor, r->flags), std::make_tuple(24, 24, 5, 0x20000000u))
                << "INS " << n << " key at " << r->x << "," << r->y;
        }
        EXPECT_EQ(keys_found, keys().size());
    }
}

TEST_F(CduKeys, DirectToEntryTakesTwoDigitsAndClearRestartsIt) {
    show_page(1, kPagePosition, 1);
    press(1, "DIR");
    EXPECT_EQ(ins_dto_entry, 1);
    type(1, {"0", "3", "7"});  // the third digit is ignored
    EXPECT_EQ(std::make_tuple(ins_dto_tens, ins_dto_units, ins_dto_entry), std::make_tuple(0, 3, 3));
    press(1, "DIR");  // ignored on the DIRECT TO page: the entry survives
    EXPECT_EQ(ins_dto_entry, 3);
    press(1, "CLR");
    EXPECT_EQ(ins_dto_entry, 1) << "mode N restarts at the tens digit";
    EXPECT_EQ(ins_dto_tens + ins_dto_units, 0);
    type(1, {"A-N", "4", "CLR"});
    EXPECT_EQ(ins_dto_entry, 0) << "mode A leaves the entry idle";
    press(1, "A-N");
    EXPECT_EQ(ins_dto_entry, 1) << "A-N into mode N re-arms it";
    // A-N arms only an idle entry, and only on DIRECT TO page 1.
    type(1, {"0", "3", "A-N", "A-N"});
    EXPECT_EQ(ins_dto_entry, 3);
    type(1, {"POS", "A-N", "A-N"});
    EXPECT_EQ(ins_dto_entry, 0);
    press(1, "DIR");
    // A refused number (not ahead of the active waypoint) restarts the entry.
    type(1, {"0", "1"});
    frames(1);
    press(1, "ENT");
    EXPECT_EQ(ins1_cdu_page[kPageDirectTo], 1);
    EXPECT_EQ(ins_dto_entry, 1);
    EXPECT_EQ(ins_dto_state, 0);
    // CLR on the confirm page with digits entered goes back to number entry.
    type(1, {"0", "3"});
    frames(1);
    press(1, "ENT");
    ASSERT_EQ(ins1_cdu_page[kPageDirectTo], 2);
    press(1, "CLR");
    EXPECT_EQ(ins1_cdu_page[kPageDirectTo], 1);
    EXPECT_EQ(ins_dto_entry, 1);
    type(1, {"0", "1"});
    frames(1);
    // After a DIRECT TO a refused number leaves the sequence at 5.
    ins_dto_state = 10;
    type(1, {"0", "9"});  // past the plan's last waypoint but one
    frames(1);
    press(1, "ENT");
    EXPECT_EQ(ins1_cdu_page[kPageDirectTo], 1);
    EXPECT_EQ(ins_dto_state, 5);
}

TEST_F(CduKeys, DimAndBrightStepTheColourAfterTheBacklight) {
    auto rgb = [] { return std::array<u16, 3>{ins1_cdu_text_red, ins1_cdu_text_green, ins1_cdu_text_blue}; };
    using C = std::array<u16, 3>;
    press(1, "BRT");
    EXPECT_EQ(rgb(), (C{176, 255, 62})) << "the brightest step";
    press(1, "DIM");
    EXPECT_EQ(rgb(), (C{176, 255, 62})) << "the first press switches the backlight only";
    EXPECT_EQ(ins1_cdu_backlight_dim, 1);
    const C series[] = {{166, 245, 52}, {156, 235, 42}, {146, 225, 32}, {136, 215, 22}, {126, 205, 12},
                        {116, 195, 2},  {106, 185, 2},  {96, 175, 2},   {86, 165, 2},   {76, 155, 2},
                        {66, 145, 2},   {56, 135, 2},   {46, 125, 2},   {36, 115, 2},   {36, 115, 2}};
    for (const C& c : series) {
        press(1, "DIM");
        EXPECT_EQ(rgb(), c);
    }
    show_page(1, kPagePosition, 1);
    for (size_t pos : kLinePos) element(kCdu1, pos)->image_flags |= ImageOnScreen;
    frames(1);  // each draw takes the colour and asks the host to draw the line again
    for (size_t pos : kLinePos) {
        EXPECT_EQ(reinterpret_cast<StringElement*>(element(kCdu1, pos))->text_colour, 0x027324u);
        EXPECT_EQ(element(kCdu1, pos)->image_flags & ImageOnScreen, 0u);
        EXPECT_EQ(drawn(kCdu1, pos).value, 0.0) << "the line's value to the host";
    }
    press(1, "BRT");
    EXPECT_EQ(ins1_cdu_backlight_dim, 0);
    for (int i = 0; i < 30; ++i) press(1, "BRT");
    EXPECT_EQ(rgb(), (C{176, 255, 62})) << "BRT climbs back the same way";
    // Whatever the colour stood at: below red 46 with blue under 12, DIM sets the floor; below
    // red 116, BRT puts blue at 2.
    ins1_cdu_text_red = 40, ins1_cdu_text_green = 200, ins1_cdu_text_blue = 5, ins1_cdu_backlight_dim = 1;
    press(1, "DIM");
    EXPECT_EQ(rgb(), (C{36, 115, 2}));
    ins1_cdu_text_red = 50, ins1_cdu_text_green = 129, ins1_cdu_text_blue = 30, ins1_cdu_backlight_dim = 0;
    press(1, "BRT");
    EXPECT_EQ(rgb(), (C{60, 139, 2}));
    ins1_cdu_text_red = 115, ins1_cdu_text_green = 194, ins1_cdu_text_blue = 20;
    press(1, "BRT");
    EXPECT_EQ(rgb(), (C{125, 204, 2}));
    ins1_cdu_text_red = 100, ins1_cdu_text_green = 179, ins1_cdu_text_blue = 7, ins1_cdu_backlight_dim = 1;
    press(1, "DIM");
    EXPECT_EQ(rgb(), (C{90, 169, 2}));
}

TEST_F(CduKeys, TwoKeyboardsShareOneDirectTo) {
    // Digits typed on INS 1, ENT on INS 2 already showing DIRECT TO 1.
    press(2, "DIR");
    type(1, {"DIR", "0", "3"});
    frames(1);
    press(2, "ENT");
    EXPECT_EQ(ins2_cdu_page[kPageDirectTo], 2);
    EXPECT_EQ(ins_dto_state, 1);
    EXPECT_EQ(ins1_cdu_page[kPageDirectTo], 1);

    // CLR on INS 2's POSITION page: the sequence restarts; the digits INS 1 shows stay.
    press(2, "POS");  // a page key clears the shared digits
    EXPECT_EQ(ins_dto_entry, 0);
    press(1, "5");
    EXPECT_EQ(ins_dto_tens, 0) << "INS 1 ignores digits until its entry is armed again";
    frames(1);
    EXPECT_EQ(lines(1)[2], " DIRECT TO....  ");
    type(1, {"A-N", "A-N", "5"});
    EXPECT_EQ(ins_dto_tens, 5);
    for (u8 state : {2, 3}) {
        ins_dto_state = state;
        press(2, "CLR");
        EXPECT_EQ(ins_dto_state, state >= 3 ? 5 : 0);
        EXPECT_EQ(ins_dto_index, 1);
        EXPECT_EQ(ins_dto_tens, 5);
    }
}

TEST_F(CduKeys, RandomKeysOnBothKeyboardsKeepThePageBytesSound) {
    // Highest value of each page byte; the views stand beside their page only.
    static const u8 kMax[kCduPages] = {1, 1, 5, 5, 255, 4, 97, 97, 1, 2, 99, 99, 99, 99, 3, 1, 3, 0, 1};
    static const size_t kPages[] = {0, 1, 2, 4, 6, 8, 9, 10, 14, 15, 16};
    auto check = [&](int n, const std::string& after) {
        const u8* p = unit(n).page;
        int shown = 0;
        for (size_t i : kPages) shown += p[i] != 0;
        ASSERT_LE(shown, 1) << "INS " << n << " after " << after;
        for (size_t i = 0; i < kCduPages; ++i) ASSERT_LE(p[i], kMax[i]) << "INS " << n << " byte " << i << " after " << after;
        ASSERT_TRUE(p[kPageInstruData] <= 4 || p[kPageInstruData] >= 253);
        ASSERT_TRUE(p[kPageSysStsView] == 0 || p[kPageSysStsView] >= 4);
    };
    std::mt19937 rng(2604);
    for (int step = 0; step < 4000; ++step) {
        const int n = 1 + int(rng() % 2);
        const std::string& key = std::next(keys().begin(), long(rng() % keys().size()))->first;
        press(n, key);
        check(1, key);
        check(2, key);
        switch (rng() % 16) {
            case 0: (n == 1 ? ins1_msu_knob : ins2_msu_knob) = u8(rng() % 4); break;
            case 1: (n == 1 ? ins1_att_mode : ins2_att_mode) = u8(rng() % 2); break;
            case 2: unit(n).align_count = std::array<u8, 5>{1, 50, 80, 91, 100}[rng() % 5]; break;
            case 3: (n == 1 ? ins1_powered : ins2_powered) = u8(rng() % 2); break;
            case 4: gps_active_wpt = u8(rng() % 7); break;
            case 5: gps_wpt_count = u32(rng() % 100); break;
            case 6: gps_lat_deg_signed = i32(rng() % 180) - 90; break;
            default: break;
        }
        if (rng() % 4 == 0) {
            frames(1);
            check(1, "a frame");
            check(2, "a frame");
            for (int u : {1, 2})
                for (const std::string& l : lines(u)) ASSERT_LE(l.size(), 16u);
        }
    }
}

// Three ENTs accept, confirm and execute: states 1, 2, 3 for a first DIRECT TO, 6, 7, 8 after one.
TEST_F(CduKeys, DirectToStatesThroughTheThreeEnters) {
    const struct { u8 start, accepted, confirmed, sent; } cases[] = {{0, 1, 2, 3}, {5, 6, 7, 8}};
    for (const auto& c : cases) {
        ins_dto_state = c.start;
        show_page(1, kPagePosition, 1);
        type(1, {"DIR", "0", "3"});
        frames(1);
        const u8 want[] = {c.accepted, c.confirmed, c.sent};
        for (u8 w : want) {
            press(1, "ENT");
            EXPECT_EQ(ins_dto_state, w) << int(c.start);
        }
        EXPECT_EQ(ins1_cdu_page[kPageCrsDataAuto], 1);
    }
}

// The number is taken for a first DIRECT TO when it lies after the active waypoint (1) and within
// the plan (5 waypoints); after one, from the active waypoint to the last but one.
TEST_F(CduKeys, DirectToNumbersTakenOrRefused) {
    const struct { u8 state, units; bool taken; } cases[] = {
        {0, 1, false}, {0, 2, false}, {0, 3, true}, {0, 5, true}, {0, 6, false},
        {5, 1, false}, {5, 2, true},  {5, 4, true}, {5, 5, false},
    };
    for (const auto& c : cases) {
        ins_dto_state = c.state;
        show_page(1, kPagePosition, 1);
        type(1, {"DIR", "0"});
        press(1, std::to_string(c.units));
        frames(1);
        press(1, "ENT");
        EXPECT_EQ(ins1_cdu_page[kPageDirectTo], c.taken ? 2 : 1) << int(c.state) << " number " << int(c.units);
    }
}

// EXP on a status page that is no test page closes an expanded view left open.
TEST_F(CduKeys, ExpOnAStatusPageClosesTheTestView) {
    for (u8 sts : {1, 2, 3}) {
        show_page(1, kPageSysSts, sts);
        ins1_cdu_page[kPageSysStsView] = 4;
        press(1, "EXP");
        EXPECT_EQ(ins1_cdu_page[kPageSysStsView], 0) << int(sts);
    }
}

// EXP on WPT SELECT opens the selected waypoint and closes it again, only for a waypoint of the
// active plan.
TEST_F(CduKeys, ExpTogglesTheSelectedWaypointOfThePlan) {
    gps_wpt_count = 5;
    const struct { u8 plan, wpt, opened; } cases[] = {{1, 3, 3}, {1, 5, 5}, {1, 6, 0}, {0, 3, 0}};
    for (const auto& c : cases) {
        gps_plan_active = c.plan;
        show_page(1, kPageWptSelect, c.wpt);
        press(1, "EXP");
        EXPECT_EQ(ins1_cdu_page[kPageWptDetail], c.opened) << int(c.plan) << " " << int(c.wpt);
        press(1, "EXP");
        EXPECT_EQ(ins1_cdu_page[kPageWptDetail], 0) << int(c.plan) << " " << int(c.wpt);
    }
}

// Each page key shows its page alone; LEG, CAT and RMT also raise the INOP flag.
TEST_F(CduKeys, PageKeysShowTheirPageAndInop) {
    const struct { const char* key; size_t page; u8 value, inop; } cases[] = {
        {"LEG", kPageLegChange, 1, 1}, {"POS", kPagePosition, 1, 0}, {"CAT", kPageCatalog, 1, 1},
        {"CRS", kPageCrsDataAuto, 1, 0}, {"RMT", kPageRemote, 2, 1}, {"WPT", kPageWptSelect, 1, 0},
        {"DATA", kPageInstruData, 1, 0}, {"STS", kPageSysSts, 1, 0},
    };
    for (const auto& c : cases) {
        press(1, c.key);
        for (size_t i = 0; i < kCduPages; ++i)
            EXPECT_EQ(ins1_cdu_page[i], i == c.page ? c.value : i == kPageInop ? c.inop : 0) << c.key << " byte " << i;
    }
}

TEST_F(CduKeys, FplOpensOnTheActiveLegAndExpCyclesItsViews) {
    // No plan: leg 1; with one, the active waypoint's number, one more once departed.
    const struct { u8 plan_active, active, departed, page; } cases[] = {
        {0, 4, 1, 1}, {1, 1, 0, 1}, {1, 1, 1, 2}, {1, 4, 0, 4}, {1, 4, 1, 5},
    };
    for (const auto& c : cases) {
        gps_plan_active = c.plan_active, gps_active_wpt = c.active, ins1_departed = c.departed;
        show_page(1, kPagePosition, 1);
        press(1, "FPL");
        EXPECT_EQ(ins1_cdu_page[kPageFlightPlan], c.page) << int(c.plan_active) << " " << int(c.active);
        EXPECT_EQ(ins1_cdu_page[kPagePosition], 0);
    }
    // EXP steps none, TIME, ETA, DBW, none; each view byte holds the leg number.
    const struct { const char* header; u8 time, eta, dbw; } views[] = {
        {"WPT IDENT   TIME", 5, 0, 0}, {"WPT IDENT   ETA ", 0, 5, 0}, {"WPT IDENT   DBW ", 0, 0, 5},
        {"WPT IDENT   DIST", 0, 0, 0}, {"WPT IDENT   TIME", 5, 0, 0},
    };
    for (const auto& v : views) {
        press(1, "EXP");
        frames(1);
        EXPECT_EQ(lines(1)[1], v.header);
        EXPECT_EQ(std::make_tuple(ins1_cdu_page[kPageFplTime], ins1_cdu_page[kPageFplEta], ins1_cdu_page[kPageFplDbw]),
                  std::make_tuple(v.time, v.eta, v.dbw));
    }
    show_page(1, kPageFlightPlan, 1);  // the first leg cycles too
    press(1, "EXP");
    EXPECT_EQ(ins1_cdu_page[kPageFplTime], 1);
}
