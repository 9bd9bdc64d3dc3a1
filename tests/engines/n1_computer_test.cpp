// The N1 target computer through the host: the six laws at their stated points and breaks, the
// frozen outputs, the panel's buttons, test timing, temperature window and thumbwheels, and host
// readings that are no numbers or out of every range.
#include <cmath>
#include <string>
#include <vector>

#include "air/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "module/tokens.h"
#include "tests/host_fixture.h"

namespace {
const char* kCalc = "ketravin n1_calc_kr60";
constexpr u32 kTokAltM = 73, kTokSat = 341, kTokTat = 350, kTokRef = 800, kTokEai[2] = {883, 884},
              kTokN2[2] = {625, 644}, kTokN1[2] = {624, 643};
enum { Legends = 2, Minus, Plus, LampTo, TargetWindow = 11, TatWindow, Cover };
constexpr f64 kNaN = NAN, kInf = INFINITY;
f64 metres(f64 ft) { return ft / 3.281; }
struct Xy { i32 x, y; };
constexpr Xy kMode[7] = {{0, 0}, {20, 50}, {60, 50}, {100, 50}, {20, 100}, {60, 100}, {100, 100}};
constexpr Xy kTest{100, 160}, kTensUp{20, 140}, kTensDown{20, 170}, kUnitsUp{50, 140}, kUnitsDown{50, 170};
}  // namespace

class N1Computer : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kCalc);
        elec_ac_bus1_powered = 1;
    }
    void press(Xy p) { click(kCalc, p.x, p.y); }
    void tat(f64 celsius) { token(kTokTat, celsius / 256.0); }
    bool shown(size_t pos) { return !hidden(element(kCalc, pos)); }
};

TEST_F(N1Computer, LawsGiveTheirTargetsAtTheStatedPointsAndBreaks) {
    struct Case { u8 mode; f64 ft, sat, tat, ref; u8 flex, eai, wing; f64 n2_low, want; } cases[] = {
        {1, 0, 15, 0, 0, 20, 0, 0, 99, 109.8},     {1, 0, 15, 0, 0, 20, 1, 0, 99, 109.1},
        {1, 0, 15, 0, 0, 20, 2, 0, 99, 109.1},     // engine 2's anti-ice alone bleeds as much
        {1, 0, 15, 0, 0, 20, 0, 1, 99, 109.1},     {1, 4000, 30, 0, 0, 20, 0, 0, 99, 114.6},
        {2, 0, 15, 0, 0, 40, 0, 0, 99, 106.2},     {2, 0, 0, 0, 0, 24, 0, 0, 99, 109.25},
        {2, 0, 15, 0, 0, 40, 0, 1, 99, 106.2},     {2, 0, 20, 0, 0, 10, 0, 0, 99, 114.6},  // below 20: L 114.6
        {3, 0, 15, 0, 0, 20, 1, 1, 99, 106.61},
        {3, 0, 15, 0, 0, 20, 1, 1, 14.9, 106.21},  {3, 0, 15, 0, 0, 20, 1, 1, 15, 106.61},  // N2 below 15 only
        {3, 0, 15, 0, 0, 20, 0, 1, 99, 107.91},
        {4, 17999, 0, -10, 0, 20, 0, 0, 99, 108.2494}, {4, 18000, 0, -10, 0, 20, 0, 0, 99, 104.65},
        {5, 35000, 0, -20, 0, 20, 0, 0, 99, 107.58},   {6, 35000, -54, 0, -54.3, 20, 0, 0, 99, 101.7},
        {6, 10000, 15, 0, 15, 20, 0, 0, 99, 80.5},     // CR below 35000 ft: 0.84 a thousand feet
        {5, 32799, 0, -20, 0, 20, 0, 0, 99, 107.57955}, {5, 32800, 0, -20, 0, 20, 0, 0, 99, 107.58},  // CL break
        {5, 35000, 0, -20, 0, 20, 1, 1, 99, 107.58 - 1.6}, {5, 35000, 0, -20, 0, 20, 1, 0, 99, 107.58 - 0.9},
        {4, 17999, 0, -10, 0, 20, 1, 1, 99, 108.2494 - 1.6}, {4, 17999, 0, -10, 0, 20, 1, 1, 14.9, 108.2494 - 2.0},
        // A deviation past its signed byte holds at -128 instead of wrapping to +41.
        {1, 0, -200, 0, 0, 20, 0, 0, 99, 110.4 - 0.187 * 128 - 0.6},
    };
    for (const Case& c : cases) {
        eng_n1_mode = c.mode;
        eng_n1_flex_tens = c.flex / 10, eng_n1_flex_units = c.flex % 10;
        aice_wing_active = c.wing;
        token(kTokAltM, metres(c.ft)), token(kTokSat, c.sat), tat(c.tat), token(kTokRef, c.ref);
        token(kTokEai[0], c.eai == 1), token(kTokEai[1], c.eai == 2), token(kTokN2[0], 20), token(kTokN2[1], c.n2_low);
        frames(1);
        EXPECT_NEAR(eng_n1_target_computed, c.want, 1e-6) << int(c.mode) << " at " << c.ft;
        EXPECT_EQ(eng_n1_target_selected, eng_n1_target_computed);
    }
    EXPECT_NEAR(eng_n1_limit, 113.3, 1e-9);
    eng_n1_mode = 2, eng_n1_flex_tens = 4, eng_n1_flex_units = 0;  // FLX T.O. at 40: 115.4 - 0.206 x 20
    frames(1);
    EXPECT_NEAR(eng_n1_limit, 111.28, 1e-9);
    token(kTokSat, -0.5);
    frames(1);
    EXPECT_EQ(eng_n1_sat_k, 272);
}

TEST_F(N1Computer, NoModeOrNoPowerFreezesTheTarget) {
    eng_n1_mode = 1, token(kTokSat, 15);
    frames(1);
    struct Case { u8 mode, bus, adc; f64 n1_1, n1_2, error; } cases[] = {
        {0, 1, 1, 100, 101, 101 - 109.8}, {0, 1, 1, 90, 80, 90 - 109.8},
        {1, 1, 0, 70, 70, 90 - 109.8},    {1, 0, 1, 70, 70, 90 - 109.8},
    };
    for (const Case& c : cases) {
        eng_n1_mode = c.mode, elec_ac_bus1_powered = c.bus, inst_adc1_ok = c.adc;
        token(kTokSat, 30), token(kTokN1[0], c.n1_1), token(kTokN1[1], c.n1_2);
        frames(1);
        EXPECT_NEAR(eng_n1_target_computed, 109.8, 1e-9) << int(c.mode);
        EXPECT_NEAR(eng_n1_target_error, c.error, 1e-9) << int(c.mode) << int(c.bus) << int(c.adc);
    }
}

TEST_F(N1Computer, ReadingsThatAreNoNumbersHoldAndHugeOnesStayFinite) {
    eng_n1_mode = 1, token(kTokSat, kNaN), tat(-10), token(kTokAltM, metres(17999));
    frames(1);  // no static temperature yet: the take-off law waits rather than read 0 K
    EXPECT_EQ(eng_n1_sat_k, 0);
    EXPECT_EQ(eng_n1_target_computed, 105.3);  // its start value
    eng_n1_mode = 4;
    frames(1);
    // The bleed test compares the anti-ice as the host gives it: +inf is above 0 and bleeds.
    for (const auto& [bad, want] : {std::pair{kNaN, 108.2494}, {kInf, 108.2494 - 0.9}, {-kInf, 108.2494}}) {
        token(kTokAltM, bad), token(kTokSat, bad), tat(bad), token(kTokN1[0], bad), token(kTokEai[0], bad);
        frames(1);
        EXPECT_NEAR(eng_n1_target_computed, want, 1e-6) << bad;
        EXPECT_EQ(eng_n1_tat_c, -10);
    }
    // An outage of air data computer 1: the readings go on being watched, without refreshing the
    // records other gauges read, so a law takes the host's last number when it runs again; the
    // anti-ice is compared as it is, so one that is no number bleeds nothing.
    const struct { u8 mode; f64 sat_during; f64 eai_after; bool outage; f64 want; } outages[] = {
        {3, 40, 0, true, 110.9},        // GA from 40 degrees, held at its limit; not 107.91 from 15
        {2, 15, kNaN, false, 113.95},   // FLX below 20 at 15 degrees, no bleed; not 113.25
        {2, 15, kNaN, true, 113.95},
    };
    for (const auto& o : outages) {
        eng_n1_mode = o.mode, eng_n1_flex_tens = 1, eng_n1_flex_units = 0;
        token(kTokAltM, 0), token(kTokSat, 15), token(kTokEai[0], o.mode == 2), token(kTokN1[0], 50), token(kTokN1[1], 50);
        frames(1);
        if (o.outage) {
            inst_adc1_ok = 0;
            token(kTokSat, o.sat_during), token(kTokN1[0], 60);
            frames(1);
            EXPECT_EQ(token_f64(tok_eng1_n1), 50.0) << "the record as the laws last refreshed it";
        }
        token(kTokSat, kNaN), token(kTokEai[0], o.eai_after);
        frames(1);
        inst_adc1_ok = 1;
        frames(1);
        EXPECT_NEAR(eng_n1_target_computed, o.want, 1e-9) << int(o.mode) << " " << o.outage;
    }
    // The cruise reference is the host's latest, watched in every mode, not the one last cruise saw.
    token(kTokAltM, metres(30000)), token(kTokSat, -40), token(kTokN1[0], 0), token(kTokEai[0], 0);
    for (const auto& [mode, ref] : {std::pair{6, 10.0}, {5, 30.0}, {6, kNaN}}) {
        eng_n1_mode = u8(mode), token(kTokRef, ref);
        frames(1);
    }
    EXPECT_EQ(eng_n1_ref_sat_k, 303);
    for (u8 mode = 1; mode <= 12; ++mode) {
        const f64 huge = mode % 2 ? 1e300 : -1e300;
        eng_n1_mode = (mode + 1) / 2;
        token(kTokAltM, huge), token(kTokSat, huge), tat(huge), token(kTokRef, huge), token(kTokN1[1], huge);
        frames(1);
        for (f64 v : {eng_n1_target_computed, eng_n1_target_error, eng_n1_limit, eng_n1_calc_alt_ft})
            EXPECT_TRUE(std::isfinite(v)) << int(eng_n1_mode) << " " << huge;
    }
}

TEST_F(N1Computer, PanelShowsTargetAndTemperatureAndTestsOneFrameShorterInItsWindows) {
    tat(-5.7);
    frames(1);
    EXPECT_EQ(text(kCalc, TargetWindow), "105.3");
    EXPECT_EQ(text(kCalc, TatWindow), " 5");
    EXPECT_TRUE(shown(Legends) && shown(Minus) && !shown(Plus) && !shown(Cover));
    for (int k = 0; k < 6; ++k) EXPECT_FALSE(shown(LampTo + k));
    struct Temp { f64 celsius; const char* text; bool plus, minus; } temps[] = {
        {0.4, " 0", false, false}, {1.5, " 1", true, false}, {25.9, "25", true, false}, {-128, "99", false, true},
        {kNaN, "99", false, true}, {1e12, " 1", false, true},  // saturated, then its low byte: -1
    };
    for (const Temp& t : temps) {
        tat(t.celsius);
        frames(1);
        EXPECT_EQ(text(kCalc, TatWindow), t.text) << t.celsius;
        EXPECT_TRUE(shown(Plus) == t.plus && shown(Minus) == t.minus) << t.celsius;
    }
    press(kTest);
    press(kTest);  // 20 already: adds nothing
    int target_frames = 0, tat_frames = 0, lamp_frames = 0;
    for (int f = 0; f < 25; ++f) {
        frames(1);
        target_frames += text(kCalc, TargetWindow) == "888.8";
        tat_frames += text(kCalc, TatWindow) == "88";
        lamp_frames += shown(LampTo) && shown(LampTo + 5) && shown(Plus) && shown(Minus);
    }
    EXPECT_EQ(target_frames, 18);
    EXPECT_EQ(tat_frames, 18);
    EXPECT_EQ(lamp_frames, 19);
    // The windows' records as the host reads them: amber on dark brown, one centred line.
    const struct { size_t pos; i32 w, h; u32 chars; } kWindows[] = {{TargetWindow, 73, 22, 5}, {TatWindow, 29, 22, 2}};
    for (const auto& w : kWindows) {
        const auto* s = reinterpret_cast<const StringElement*>(element(kCalc, w.pos));
        EXPECT_EQ(std::string(s->font_face), "Quartz");
        EXPECT_EQ(std::vector<u32>({u32(s->box_w), u32(s->box_h), s->text_colour, s->background_colour,
                                    s->font_weight, s->draw_flags, s->max_chars}),
                  std::vector<u32>({u32(w.w), u32(w.h), 0x000093FF, 0x00323249, 400, 37, w.chars}));
    }
}

TEST_F(N1Computer, ButtonsNeedPowerAndTheThumbwheelsDoNot) {
    struct Step { Xy at; bool powered; u8 mode, test, tens, units; } steps[] = {
        {kMode[1], true, 1, 0, 2, 0}, {kMode[1], true, 0, 0, 2, 0},    {kMode[2], true, 2, 0, 2, 0}, {kMode[3], true, 3, 0, 2, 0},
        {kMode[6], false, 3, 0, 2, 0}, {kTest, false, 3, 0, 2, 0},     {kTensUp, false, 3, 0, 3, 0},
        {kUnitsDown, false, 3, 0, 3, 9}, {kUnitsUp, true, 3, 0, 3, 0}, {kTensDown, true, 3, 0, 2, 0}, {kTest, true, 3, 20, 2, 0},
    };
    for (const Step& s : steps) {
        elec_ac_bus1_powered = s.powered;
        press(s.at);
        EXPECT_TRUE(eng_n1_mode == s.mode && eng_n1_test_timer == s.test) << s.at.x << "," << s.at.y;
        EXPECT_TRUE(eng_n1_flex_tens == s.tens && eng_n1_flex_units == s.units) << s.at.x << "," << s.at.y;
    }
    eng_n1_flex_tens = 9;
    press(kTensUp);
    EXPECT_EQ(eng_n1_flex_tens, 0);
    // Unpowered the entry changes but the wheels keep their targets and the display is dark.
    elec_ac_bus1_powered = 0;
    press(kTensUp), press(kTensUp), press(kUnitsUp);
    frames(1);
    EXPECT_TRUE(eng_n1_flex_temp == 21 && eng_n1_flex_tens_shown == 0 && eng_n1_flex_units_shown == 0);
    EXPECT_EQ(text(kCalc, TargetWindow), "    ");
    EXPECT_TRUE(shown(Cover) && !shown(LampTo + 2) && !shown(Legends));
    elec_ac_bus1_powered = 1;
    frames(12);
    EXPECT_EQ(eng_n1_flex_tens_shown, 2);
    EXPECT_EQ(eng_n1_flex_units_shown, 1);
    EXPECT_NEAR(drawn(kCalc, 15).y, 2.0, 1e-9);
}
