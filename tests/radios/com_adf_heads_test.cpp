// The COM and ADF heads, both sets on the shared head routines with their own parameters, and the
// pedestal faces: the weather-radar panel and the heads follow their lighting zone.
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "electrical/state.h"
#include "lighting/state.h"
#include "module/keys.h"
#include "radios/com_head.h"
#include "radios/radio_keys.h"
#include "radios/state.h"
#include "tests/radios/radio_head_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = HUGE_VAL;
const char *kCom1 = "ketravin radio_com1_kr60", *kCom2 = "ketravin radio_com2_kr60",
           *kAdf1 = "ketravin radio_adf1_kr60", *kAdf2 = "ketravin radio_adf2_kr60",
           *kSnd2 = "ketravin radio_snd2_kr60", *kRadar = "ketravin radar_kr60";
constexpr u32 kActive = 870, kTxSecond = 875, kRxBoth = 876;

class ComAdfHeads : public RadioHeadTest {
protected:
    void SetUp() override {
        RadioHeadTest::SetUp();
        place_heads({kAdf2, kSnd2, kRadar, kCom2, kCom1, kAdf1});
    }
};
u32 FSAPI unanswered_calc(const char*, f64*, i32*, const char**) { return 0; }  // writes nothing
}  // namespace

// Each COM head with its own tokens and keys: settled drums (chain order: last digit first, left
// window then right), one CLICK and one swap toward the other lever half, the other head's lever
// untouched, the same numbers after the host swapped, then only the left side tunes.
TEST_F(ComAdfHeads, ComWindowsSettleAndKeepTheirNumbersAcrossATransfer) {
    struct Head { const char* g; u32 active, standby; f64 a, s; Digits drums; u32 swap, tune[4]; u8 levers; };
    const Head heads[] = {
        {kCom1, 23, 617, 0x1825, 0x2150, digits(2, 2, 8, 1, 1, 0, 5, 1, 2, 1), key_com1_swap,
         {key_com1_whole_inc, key_com1_whole_dec, key_com1_fract_inc, key_com1_fract_dec}, 21},
        {kCom2, 870, 871, 0x1802, 0x2297, digits(1, 0, 8, 1, 1, 3, 9, 2, 2, 1), key_com2_swap,
         {key_com2_whole_inc, key_com2_whole_dec, key_com2_fract_inc, key_com2_fract_dec}, 22},
    };
    for (const Head& h : heads) {
        token(h.active, h.a);
        token(h.standby, h.s);
        frames(60);
        EXPECT_EQ(ys(h.g, ComLeftLast, 10), h.drums) << h.g;
        keys(), clicks();
        click(h.g, 60, 20);  // the half already thrown: nothing
        click(h.g, 90, 20);
        click(h.g, 90, 20);
        EXPECT_EQ(keys(), (Keys{{h.swap, 0}})) << h.g;
        EXPECT_EQ(clicks(), 1u) << h.g;
        EXPECT_EQ(com1_window_select * 10 + com2_window_select, h.levers);
        frames(1);  // the host swapped: the same numbers in the same windows, the lever moved
        EXPECT_EQ(ys(h.g, ComLeftLast, 10), h.drums) << h.g;
        EXPECT_EQ(lamps(h.g, ComLeftActive, 2), "01") << h.g;
        for (i32 x : {10, 40, 110, 140})
            for (i32 y : {50, 70}) click(h.g, x, y, MouseLeftSingle | MouseRepeat);
        EXPECT_EQ(keys(), (Keys{{h.tune[0], 0}, {h.tune[1], 0}, {h.tune[2], 0}, {h.tune[3], 0}})) << h.g;
    }
    EXPECT_EQ(clicks(), 0u);
}

TEST_F(ComAdfHeads, ComNibblesReachTheirDrumsRawAndParkAboveNine) {
    struct Case { f64 word; Digits left; } cases[] = {
        {f64(0xABC1802u), digits(1, 1, 8, 0, 1)},  // high bits ignored
        {0x1808, digits(1, 1, 8, 0, 0)}, {kNaN, digits(1, 0, 0, 0, 0)},
        {0xFAB7, digits(1, 15, 10, 11, 3)},  // kept raw: parks below
    };
    for (const Case& c : cases) {
        token(kActive, c.word);
        frames(1);
        EXPECT_EQ(digits(com2_left_hundreds_target, com2_left_tens_target, com2_left_units_target,
                         com2_left_tenths_target, com2_left_last_target), c.left) << c.word;
    }
    frames(40);  // 15, 10 and 11 sit at the jump value; the hundredths roll onto 7
    EXPECT_EQ(ys(kCom2, ComLeftLast, 5), digits(3, 9.9, 9.9, 9.9, 1));
}

// Both COM heads read and send the one transmit state: button 1 is clicked on COM 1, button 2 on COM 2.
TEST_F(ComAdfHeads, ComLampsAndTransmitButtonsRowByRow) {
    const Keys tx1 = {{key_com_rx_both_set, 0}, {key_com_tx_select_1, 0}},
               tx2 = {{key_com_rx_both_set, 0}, {key_com_tx_select_2, 0}}, both = {{key_com_rx_both_set, 1}};
    // Host tokens and AC buses 1, 2; faces and glows drawn; what buttons 1 and 2 send.
    struct Case { f64 both, second; u8 ac1, ac2; const char* lamps; Keys b1, b2; } cases[] = {
        {1.0, 0.0, 1, 0, "1111", tx1, tx2},   {1.0, 1.0, 0, 1, "1111", tx1, tx2},
        {0.0, 1.0, 1, 1, "0101", both, {}},   {0.0, 0.0, 1, 0, "1010", {}, both},
        {0.0, -0.0, 1, 0, "1010", {}, both},  // -0.0 compares equal to 0.0
        {0.0, 0.5, 1, 0, "1010", {}, {}},     // neither flag: the third row
        {0.5, 1.0, 1, 0, "0101", both, {}},   {0.9999999999999999, 1.0, 1, 0, "0101", both, {}},  // not 1.0
        {1.0, 0.0, 0, 0, "1100", tx1, tx2},   // no AC: both glows hidden
        {kNaN, -kInf, 1, 1, "1010", {}, {}},
    };
    for (const Case& c : cases) {
        for (int button : {1, 2}) {
            token(kRxBoth, c.both);  // the host model answers each send: set the row again
            token(kTxSecond, c.second);
            elec_ac_bus1_powered = c.ac1, elec_ac_bus2_powered = c.ac2;
            frames(1);
            const std::string faces = lamps(kCom2, ComTx1Face, 2);
            EXPECT_EQ(faces + lamps(kCom2, ComTx1Lit, 2), c.lamps) << &c - cases;
            EXPECT_EQ(lamps(kCom1, ComTx1Face, 2) + lamps(kCom1, ComTx1Lit, 2), faces + (c.lamps + 2)) << &c - cases;
            keys();
            click(button == 1 ? kCom1 : kCom2, button == 1 ? 10 : 30, 100);
            EXPECT_EQ(keys(), button == 1 ? c.b1 : c.b2) << &c - cases << " button " << button;
        }
    }
    EXPECT_EQ(clicks(), 0u);
}

// Both ADF heads from one frequency: ADF 1 reads up to 1999.9 kHz, ADF 2 up to 9999.9 with its
// hundreds target passing 9 from 2000 kHz; a non-finite frequency keeps the last targets.
TEST_F(ComAdfHeads, AdfTargetsFromTheNearestTenthWithinTheWindow) {
    struct Case { f64 khz; Digits adf1; f64 stored1; Digits adf2; f64 stored2; } cases[] = {
        {350.0, digits(0, 3, 5, 0, 0), 350.0, digits(0, 3, 5, 0, 0), 350.0},
        {1750.5, digits(1, 7, 5, 0, 5), 1750.5, digits(1, 7, 5, 0, 5), 1750.5},
        {1000.0, digits(1, 0, 0, 0, 0), 1000.0, digits(1, 0, 0, 0, 0), 1000.0},
        {999.9, digits(0, 9, 9, 9, 9), 999.9, digits(0, 9, 9, 9, 9), 999.9},
        {kNaN, digits(0, 9, 9, 9, 9), 999.9, digits(0, 9, 9, 9, 9), 999.9},
        {-250.0, digits(0, 0, 0, 0, 0), 0.0, digits(0, 0, 0, 0, 0), 0.0},
        {0.5, digits(0, 0, 0, 0, 5), 0.5, digits(0, 0, 0, 0, 5), 0.5},  // only below 0 is cut to 0
        {999.97, digits(1, 0, 0, 0, 0), 999.97, digits(1, 0, 0, 0, 0), 999.97},
        {1999.96, digits(1, 9, 9, 9, 9), 1999.9, digits(1, 10, 0, 0, 0), 1999.96},
        {1e300, digits(1, 9, 9, 9, 9), 1999.9, digits(1, 89, 9, 9, 9), 9999.9},
    };
    for (const Case& c : cases) {
        host().set_calc("(A:Adf active frequency:1,Kilohertz)", c.khz);
        host().set_calc("(A:Adf active frequency:2,Kilohertz)", c.khz);
        frames(1);
        EXPECT_EQ(digits(adf1_drum_thousands_target, adf1_drum_hundreds_target, adf1_drum_tens_target,
                         adf1_drum_units_target, adf1_drum_tenths_target), c.adf1) << c.khz;
        EXPECT_EQ(digits(adf2_thousands_target, adf2_hundreds_target, adf2_tens_target, adf2_units_target,
                         adf2_tenths_target), c.adf2) << c.khz;
        EXPECT_EQ(digits(adf1_freq_khz, adf1_freq_khz_int, adf2_freq_khz, adf2_freq_int),
                  digits(c.stored1, sat_u32(c.stored1, 0u), c.stored2, sat_i32(c.stored2, 0))) << c.khz;
    }
    // A host that answers nothing leaves the stored frequency and the window as they stood.
    ServiceFn& calc = ImportTable.services->slot[SlotExecuteCalculatorCode / 4];
    const ServiceFn answering = std::exchange(calc, reinterpret_cast<ServiceFn>(unanswered_calc));
    frames(1);
    calc = answering;
    EXPECT_EQ(digits(adf1_freq_khz, adf1_drum_hundreds_target, adf2_freq_khz, adf2_hundreds_target),
              digits(1999.9, 9, 9999.9, 89));
    // The drums: a whole tenths target rests on 9, not at the jump's 9.15; from 2000 kHz ADF 2's
    // hundreds drum parks at its jump value. ADF 1 chains its drums lowest first, ADF 2 leading first.
    struct Rest { f64 khz; Digits adf1, adf2; } rests[] = {
        {999.9, digits(9, 9, 9, 9, 0), digits(0, 9, 9, 9, 9)},
        {2000.0, digits(9, 9, 9, 9, 1), digits(1, 9.9, 0, 0, 0)},
        {1234.5, digits(5, 4, 3, 2, 1), digits(1, 2, 3, 4, 5)},
    };
    for (const Rest& r : rests) {
        host().set_calc("(A:Adf active frequency:1,Kilohertz)", r.khz);
        host().set_calc("(A:Adf active frequency:2,Kilohertz)", r.khz);
        frames(60);
        EXPECT_EQ(ys(kAdf1, 1, 5), r.adf1) << r.khz;
        EXPECT_EQ(ys(kAdf2, 1, 5), r.adf2) << r.khz;
    }
}

// Both ADF heads: six tuning zones, the mode byte choosing the inner pair's keys, TEST.
TEST_F(ComAdfHeads, AdfModeSwitchesOnlyTheInnerPairAndTestNeedsPower) {
    struct Head { const char* g; u8 *mode, *test; u32 k[8]; } heads[] = {
        {kAdf1, &adf1_tenths_mode, &adf1_test_latch,
         {key_adf1_100_inc, key_adf1_100_dec, key_adf1_10_inc, key_adf1_10_dec, key_adf1_1_inc, key_adf1_1_dec,
          key_adf1_tenths_inc, key_adf1_tenths_dec}},
        {kAdf2, &adf2_tenths_mode, &adf2_test_request,
         {key_adf2_100_inc, key_adf2_100_dec, key_adf2_10_inc, key_adf2_10_dec, key_adf2_1_inc, key_adf2_1_dec,
          key_adf2_tenths_inc, key_adf2_tenths_dec}},
    };
    for (const Head& h : heads) {
        for (u8 mode : {0, 1, 7}) {  // only exactly 1 is tenths
            *h.mode = mode;
            for (i32 x : {30, 60, 90})
                for (i32 y : {55, 75}) click(h.g, x, y, MouseLeftSingle | MouseRepeat);
            const int inner = mode == 1 ? 6 : 4;
            EXPECT_EQ(keys(), (Keys{{h.k[0], 0}, {h.k[1], 0}, {h.k[2], 0}, {h.k[3], 0}, {h.k[inner], 0},
                                    {h.k[inner + 1], 0}})) << h.g << " mode " << int(mode);
        }
        for (u8 from : {0, 1, 5}) {
            *h.mode = from;
            click(h.g, 75, 25);
            EXPECT_EQ(*h.mode, from == 0 ? 1 : 0) << h.g;
        }
        // TEST: ESS AC or normal DC exactly 1, never over a raised latch.
        struct Test { u8 ess_ac, dc_normal, before, want; } tests[] = {
            {0, 0, 0, 0}, {1, 0, 0, 1}, {0, 1, 0, 1}, {2, 2, 0, 0}, {1, 1, 1, 1}, {0, 0, 9, 9}, {1, 0, 2, 1},
        };
        for (const Test& t : tests) {
            elec_ess_ac_powered = t.ess_ac, dc_normal_powered = t.dc_normal, *h.test = t.before;
            click(h.g, 120, 10);
            EXPECT_EQ(*h.test, t.want) << h.g << int(t.ess_ac) << int(t.dc_normal) << int(t.before);
        }
    }
    EXPECT_TRUE(keys().empty());
    EXPECT_EQ(clicks(), 0u);
}

TEST_F(ComAdfHeads, PedestalFacesFollowZoneThreeTheTransponderZoneZero) {
    const char *nav = "ketravin radio_nav_kr60", *tsp = "ketravin radio_tsp_kr60";
    for (const char* g : {nav, tsp}) place(g);
    // Zone byte, bright step; the face's luminous and bright bits.
    struct Case { u8 zone, bright; bool lum, bri; } cases[] = {
        {0, 1, false, false}, {1, 0, true, false}, {1, 1, false, true}, {2, 1, false, false},
    };
    for (const Case& c : cases) {
        for (u8 z : {0, 3}) {  // the zone under test as the row says, the other one dark
            light_zone[z] = c.zone, light_zone[3 - z] = 0, annunciator_bright = c.bright;
            frames(1);
            for (const char* g : {kRadar, kAdf2, kCom2, kSnd2, nav, kCom1, kAdf1, tsp}) {
                const bool follows = (g == tsp) == (z == 0);
                EXPECT_EQ(lit_luminous(element(g, 0)), follows && c.lum) << g << " zone " << int(z) << int(c.zone);
                EXPECT_EQ(lit_bright(element(g, 0)), follows && c.bri) << g << " zone " << int(z) << int(c.zone);
            }
        }
    }
}

// Every drum strip travels its whole length over ten cells, the hundredths wheels over four;
// the drums stand where the heads' tables put them (x of each drum in chain order, one y).
TEST_F(ComAdfHeads, DrumRecordsCarryTheirStripTravelAndPlace) {
    const char *nav = "ketravin radio_nav_kr60", *tsp = "ketravin radio_tsp_kr60";
    for (const char* g : {nav, tsp}) place(g);
    const std::vector<f64> kFreq = {4, 10, 10, 10, 10, 4, 10, 10, 10, 10};  // wheel first, two windows
    const std::vector<i32> kComX = {48, 38, 26, 16, 6, 148, 138, 126, 116, 106};
    const std::vector<i32> kNavX = {82, 70, 53, 41, 29, 82, 70, 53, 41, 29};
    const struct { const char* g; size_t first; std::vector<f64> scales; std::vector<i32> x; i32 y; } heads[] = {
        {kCom1, ComLeftLast, kFreq, kComX, 20}, {kCom2, ComLeftLast, kFreq, kComX, 20}, {nav, 5, kFreq, kNavX, 31},
        {kAdf1, 1, {10, 10, 10, 10, 10}, {87, 77, 65, 55, 45}, 25},
        {kAdf2, 1, {10, 10, 10, 10, 10}, {45, 55, 65, 77, 87}, 25},
        {tsp, 1, {10, 10, 10, 10}, {99, 88, 77, 66}, 22},
    };
    for (const auto& h : heads)
        for (size_t i = 0; i < h.scales.size(); ++i) {
            const auto* e = reinterpret_cast<const MovingImageElement*>(element(h.g, h.first + i));
            EXPECT_EQ(e->head.type, u32(ElementMovingImage)) << h.g << " " << h.first + i;
            EXPECT_EQ(e->scale, h.scales[i]) << h.g << " " << h.first + i;
            EXPECT_EQ(std::make_pair(e->head.x, e->head.y), std::make_pair(h.x[i], h.y)) << h.g << " " << h.first + i;
        }
}
