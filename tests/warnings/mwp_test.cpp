// The master warning panels through the host: the lamp rule on all four gauges, cancel clicks,
// groups, fire latches, T.O. INNI and REC, and the pop-up.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "air/state.h"
#include "apu/state.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "fuel/state.h"
#include "gear/state.h"
#include "hydraulics/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "navigation/state.h"
#include "warnings/state.h"
#include "module/keys.h"
#include "tests/host_fixture.h"
#include "tests/systems/systems_fixture.h"

namespace {
const char* kMwp1 = "ketravin mwp_1_kr60";
const char* kMwp2 = "ketravin mwp_2_kr60";
const char* kMwp1Big = "ketravin mwp_1_big_kr60";
const char* kMwp2Big = "ketravin mwp_2_big_kr60";
constexpr u32 kEng1Fire = 887, kEng2Fire = 888, kApuFire = 980, kOnGround = 60, kNoseGear = 332;
struct At { i32 x, y; };  // a point inside a click box, in gauge pixels
constexpr At kSmallFuel{72, 38}, kBigFuel{102, 58};
constexpr At kSmallParkBrk{40, 161}, kSmallMwsFlt{12, 103}, kBigMwsFlt{10, 154}, kSmallPitchFeel{8, 107};
constexpr At kSmallToInni{31, 95}, kBigToInni{46, 154}, kSmallRec{55, 95};
constexpr At kRequestStrip{50, 190}, kCloseStrip{70, 270};
}  // namespace

class Mwp : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        for (const char* g : {kMwp1, kMwp2, kMwp1Big, kMwp2Big}) place(g);
        dc_ess_powered = dc_normal_powered = 1;
        token(kOnGround, 1.0);
        token(kNoseGear, 16383.0);
    }
    bool lamp(const char* g, int n) { return !hidden(element(g, size_t(n))); }
    // Lamps lit on a panel; both sizes must agree.
    std::vector<int> lit(int panel) {
        const char* small = panel == 1 ? kMwp1 : kMwp2;
        const char* big = panel == 1 ? kMwp1Big : kMwp2Big;
        std::vector<int> out;
        for (int n = 1; n <= (panel == 1 ? 20 : 17); ++n) {
            EXPECT_EQ(lamp(small, n), lamp(big, n)) << "panel " << panel << " lamp " << n;
            if (lamp(small, n)) out.push_back(n);
        }
        return out;
    }
};

TEST_F(Mwp, LampRuleOfPowerLampTestInhibitAndCancel) {
    light_lamp_test = 1;
    for (bool reverse : {false, true}) {
        host().set_reverse_order(reverse);
        dc_ess_powered = 0;
        frames(2);
        EXPECT_TRUE(lit(1).empty()) << "no essential DC: dark, lamp test and MWS FLT. included";
        EXPECT_TRUE(lit(2).empty());
        dc_ess_powered = 1;
        frames(1);
        EXPECT_EQ(lit(1).size(), 20u) << "lamp test lights even the lamps nothing ever sets";
        EXPECT_EQ(lit(2).size(), 17u);
    }
    mwp_to_inhibit = 1;
    mwp1_cancel[3] = mwp2_cancel[12] = 1;  // CONFIG and SMOKE cancelled
    warn_config = warn_smoke = 1;
    frames(1);
    EXPECT_EQ(lit(1), (std::vector<int>{1, 2, 3, 5, 6, 19}));
    EXPECT_EQ(lit(2), (std::vector<int>{3, 12, 14, 15, 16, 17}));
    light_lamp_test = mwp_to_inhibit = 0;
    warn_servos = 2;
    frames(1);
    EXPECT_FALSE(lamp(kMwp1, 7)) << "out of lamp test a condition lights at exactly 1 only";
    dc_normal_powered = 0;  // MWS FLT. one frame after the normal DC bus is lost
    frames(1);
    EXPECT_FALSE(lamp(kMwp2, 17));
    frames(1);
    EXPECT_TRUE(lamp(kMwp2, 17));
}

TEST_F(Mwp, ClicksCancelAndRestoreAndCancelsLastOnlyWhileTheConditionHolds) {
    warn_fuel_low = 1;
    EXPECT_TRUE(click(kMwp2, kSmallFuel.x, kSmallFuel.y));
    frames(1);
    EXPECT_FALSE(lamp(kMwp2Big, 9));
    EXPECT_TRUE(click(kMwp2Big, kBigFuel.x, kBigFuel.y));
    EXPECT_EQ(mwp2_cancel[8], 0) << "a second click lights it again";
    EXPECT_TRUE(click(kMwp2Big, kBigFuel.x, kBigFuel.y));
    warn_fuel_low = 0;
    frames(1);
    EXPECT_EQ(mwp2_cancel[8], 0) << "released when the condition drops";
    click(kMwp2, kSmallFuel.x, kSmallFuel.y);
    EXPECT_EQ(mwp2_cancel[8], 0) << "no cancel without the condition";
    warn_servos = 1;  // the same on panel 1
    click(kMwp1, 8, 88);
    frames(1);
    EXPECT_FALSE(lamp(kMwp1, 7));
    warn_servos = 0;
    frames(1);
    warn_servos = 1;
    frames(1);
    EXPECT_TRUE(mwp1_cancel[6] == 0 && lamp(kMwp1, 7)) << "lit again once its condition dropped and came back";
    light_lamp_test = 1;
    click(kMwp1, kSmallPitchFeel.x, kSmallPitchFeel.y);
    EXPECT_EQ(mwp1_cancel[9], 0) << "a never-set lamp stays uncancelled in lamp test";
    for (auto [g, at] : {std::pair{kMwp1, kSmallParkBrk}, {kMwp2, kSmallMwsFlt}, {kMwp2Big, kBigMwsFlt}})
        EXPECT_FALSE(click(g, at.x, at.y)) << "PARK BRK ON and MWS FLT. have no click box";
}

// Every cancellable lamp on all four gauges, clicked at the far corner of its box and then at
// its near corner: cancelled, then given back; no other lamp's cancel moves.
TEST_F(Mwp, EveryLampCancelsFromEitherCornerOfItsBox) {
    struct Box { i32 x, y; };
    u8* const kConditions1[19] = {&warn_fire[0], &warn_fire[1], &warn_fire[2], &warn_config,
                                  &warn_eng_oil_press_lo[0], &warn_eng_oil_press_lo[1], &warn_servos,
                                  &warn_mwp1_lamp8, &warn_thr_off, &warn_pitch_feel, &warn_rudd_travel,
                                  &warn_yaw_damper, &warn_pitch_trim, &warn_deice, &warn_ess_eqpt_ac2_off,
                                  &warn_flag_in, &warn_ads, &warn_antiskid_off, &warn_window};
    u8* const kConditions2[13] = {&warn_probes, &warn_apu_fault, &warn_brakes_hot, &warn_doors, &warn_elec,
                                  &warn_batt_temp_hi, &warn_pneu, &warn_hydrau, &warn_fuel_low, &warn_loops,
                                  &warn_filter_clog, &warn_cab_press, &warn_smoke};
    // Lamps 1-18 and 20 of panel 1, lamps 1-13 of panel 2; fire lamps first on panel 1.
    const Box kSmall1[19] = {{11, 19}, {74, 19}, {43, 19}, {39, 51}, {7, 69},   {71, 69},  {7, 87},
                             {39, 87}, {71, 87}, {7, 106}, {39, 106}, {71, 106}, {7, 124}, {39, 124},
                             {7, 142}, {39, 142}, {71, 142}, {7, 160}, {71, 160}};
    const Box kBig1[19] = {{9, 8},    {107, 8},   {58, 8},   {51, 56},  {1, 84},   {101, 84},  {1, 113},
                           {51, 113}, {101, 113}, {1, 141},  {51, 141}, {101, 141}, {1, 169}, {51, 169},
                           {1, 197},  {51, 197},  {101, 197}, {1, 226}, {101, 226}};
    const Box kSmall2[13] = {{7, 0},  {39, 0},  {71, 0},  {7, 19}, {39, 19}, {71, 19}, {7, 37},
                             {39, 37}, {71, 37}, {39, 56}, {71, 56}, {7, 74},  {39, 74}};
    const Box kBig2[13] = {{1, 0},   {51, 0},  {101, 0}, {1, 29},  {51, 29},  {101, 29}, {1, 57},
                           {51, 57}, {101, 57}, {51, 85}, {101, 85}, {1, 114}, {51, 114}};
    const struct { const char* g; const Box* boxes; size_t n; u8* const* conditions; u8* cancels; i32 w, h, fire_w, fire_h; }
        kGauges[] = {{kMwp1, kSmall1, 19, kConditions1, mwp1_cancel, 29, 15, 23, 24},
                     {kMwp1Big, kBig1, 19, kConditions1, mwp1_cancel, 46, 24, 35, 37},
                     {kMwp2, kSmall2, 13, kConditions2, mwp2_cancel, 29, 15, 29, 15},
                     {kMwp2Big, kBig2, 13, kConditions2, mwp2_cancel, 46, 24, 46, 24}};
    for (const auto& g : kGauges)
        for (size_t i = 0; i < g.n; ++i) {
            const bool fire = g.cancels == mwp1_cancel && i < 3;
            const i32 w = fire ? g.fire_w : g.w, h = fire ? g.fire_h : g.h;
            *g.conditions[i] = 1;
            EXPECT_TRUE(click(g.g, g.boxes[i].x + w - 1, g.boxes[i].y + h - 1)) << g.g << " lamp index " << i;
            std::string want(g.n, '0');
            want[i] = '1';
            std::string got;
            for (size_t c = 0; c < g.n; ++c) got += char('0' + g.cancels[c]);
            EXPECT_EQ(got, want) << g.g;
            click(g.g, g.boxes[i].x, g.boxes[i].y);
            EXPECT_EQ(g.cancels[i], 0) << g.g << " lamp index " << i;
            click(g.g, g.boxes[i].x + w, g.boxes[i].y);  // just right of the box, then just below it
            click(g.g, g.boxes[i].x, g.boxes[i].y + h);
            EXPECT_EQ(g.cancels[i], 0) << g.g << " lamp index " << i << ": outside its box";
            *g.conditions[i] = 0;
        }
}

TEST_F(Mwp, GroupConditions) {
    const struct { u8 *source, *group; u8 value, want; } cases[] = {  // HYDRAU counts bytes at exactly 1
        {&warn_lo_spd_ail, &warn_config, 2, 1}, {&warn_flag_adf, &warn_flag_in, 255, 1},
        {&warn_hyd_level_lo[2], &warn_hydrau, 1, 1}, {&warn_hyd_pump_fault, &warn_hydrau, 2, 0}};
    for (const auto& c : cases) {
        *c.source = c.value;
        frames(1);
        EXPECT_EQ(*c.group, c.want) << int(c.value);
        *c.source = 0;
        frames(1);
        EXPECT_EQ(*c.group, 0);
    }
    for (bool reverse : {false, true}) {  // ELEC within two frames whatever the gauge order
        host().set_reverse_order(reverse);
        for (u8 fault : {1, 0}) {
            warn_dc_fault = fault;
            frames(2);
            EXPECT_EQ(lamp(kMwp2, 5), fault == 1) << reverse;
        }
    }
}

TEST_F(Mwp, FiresLatchOnTheFirstOccurrenceOnly) {
    token(kEng1Fire, 1.0);
    frames(2);
    EXPECT_TRUE(lamp(kMwp1, 1));
    for (f64 v : {0.5, f64(NAN), 0.0, 1.0}) {
        token(kEng1Fire, v);
        frames(1);
        EXPECT_EQ(warn_fire[0], v == 0.5 || v != v ? 1 : 0) << "put out by 0.0 only, not relit: " << v;
    }
    token(kEng2Fire, 1.0);
    frames(1);
    EXPECT_TRUE(warn_fire[1] == 1 && fire_eng2_state == 1) << "engine 2 on its own token";
    token(kEng2Fire, 0.0);
    frames(1);
    fire_eng2_state = 2;  // agent discharged
    token(kEng2Fire, 1.0);
    frames(1);
    EXPECT_EQ(warn_fire[1], 0);
    for (u8 seen : {1, 0}) {  // APU FIRE waits for the APU gauge, latched until the presets clear it
        warn_fire[2] = 0;
        token(kApuFire, 1.0);
        frames(1);
        token(kApuFire, 0.0);
        frames(1);
        EXPECT_EQ(std::make_pair(warn_fire[2], fire_apu_latched), std::make_pair(seen, u8(1)));
    }
}

TEST_F(Mwp, TakeOffInhibitAndRec) {
    const struct { f64 on_ground; u8 inhibit, rec; const char* g; At at; u8 want, want_rec; } steps[] = {
        {0.0, 1, 1, kMwp2, kSmallToInni, 1, 1},   // airborne: the small button does nothing
        {0.0, 1, 1, kMwp2Big, kBigToInni, 0, 1},  // the enlarged one clears
        {1.0, 0, 1, kMwp2, kSmallToInni, 1, 0},   // on the ground: set, REC off
        {1.0, 1, 0, kMwp2, kSmallToInni, 1, 0},   // set: the small one cannot clear
        {1.0, 1, 1, kMwp2Big, kBigToInni, 0, 1},  // the enlarged one toggles
        {1.0, 1, 0, kMwp2, kSmallRec, 0, 1},      // REC on clears the inhibit at once
        {1.0, 1, 1, kMwp2, kSmallRec, 1, 0},      // REC off leaves it
    };
    for (const auto& s : steps) {
        token(kOnGround, s.on_ground);
        mwp_to_inhibit = s.inhibit;
        mwp2_lamp15 = s.rec;
        click(s.g, s.at.x, s.at.y);
        EXPECT_EQ(mwp_to_inhibit, s.want) << s.g << " " << s.at.x << " ground " << s.on_ground;
        EXPECT_EQ(mwp2_lamp15, s.want_rec) << s.g << " " << s.at.x << " ground " << s.on_ground;
    }
    // After lift-off the inhibit holds until the nose gear leaves its down position.
    token(kOnGround, 0.0);
    mwp_to_inhibit = mwp2_lamp15 = 1;
    for (f64 nose : {16000.0, f64(NAN), 15999.0}) {
        token(kNoseGear, nose);
        frames(1);
        EXPECT_EQ(mwp_to_inhibit, nose == 15999.0 ? 0 : 1) << nose;
        EXPECT_EQ(mwp2_lamp15, mwp_to_inhibit);
    }
}

// A new alert of a group's source gives the group lamp back although the group stayed up; one
// already sounded does not. AUD. CAN. toggles on either panel size.
TEST_F(Mwp, NewAlertsReleaseCancelsAndAuralCancelToggles) {
    warn_flag_adi = 1;
    frames(1);
    for (u8 latch : {2, 1}) {
        mwp1_cancel[15] = 1;
        warn_alert_latch[5] = latch;
        frames(2);  // released in one frame, lit in the next
        EXPECT_EQ(mwp1_cancel[15], latch == 1 ? 0 : 1) << int(latch);
        EXPECT_EQ(lamp(kMwp1, 16), latch == 1);
    }
    const struct { const char* g; At at; u8 want; } kClicks[] = {
        {kMwp2, {79, 95}, 1}, {kMwp2Big, {150, 184}, 0}, {kMwp2Big, {119, 153}, 1}, {kMwp2, {101, 125}, 0}};
    for (const auto& c : kClicks) {
        EXPECT_TRUE(click(c.g, c.at.x, c.at.y));
        EXPECT_EQ(mwp_aural_cancel, c.want) << c.g;
        frames(1);
        EXPECT_EQ(lamp(kMwp2, 16), c.want == 1);
    }
}

TEST_F(Mwp, PopUpOpensOnlyWithTheMainPanelAndClosesAsAsked) {
    EXPECT_TRUE(click(kMwp1, kRequestStrip.x, kRequestStrip.y));
    frames(1);
    EXPECT_EQ(mwp_popup_state, 2);
    EXPECT_TRUE(host().window_visible(panel_win_mwp_popup));
    new_keys();
    frames(3);
    EXPECT_TRUE(new_keys().empty()) << "watched quietly while the main panel shows";
    host().window_set(panel_win_main, false);
    click(kMwp1, kRequestStrip.x, kRequestStrip.y);  // a request now opens nothing
    frames(3);
    const auto closes = new_keys();
    ASSERT_EQ(closes.size(), 3u) << "one close a frame while the main panel is hidden";
    for (const KeyLogEntry& k : closes)
        EXPECT_TRUE(k.sent && k.id == key_panel_id_close && k.value == panel_win_mwp_popup);
    host().window_set(panel_win_main, true);
    frames(2);
    EXPECT_FALSE(host().window_visible(panel_win_mwp_popup)) << "not reopened";
    EXPECT_TRUE(new_keys().empty());
    click(kMwp1, kRequestStrip.x, kRequestStrip.y);
    frames(1);
    EXPECT_TRUE(click(kMwp1Big, kCloseStrip.x, kCloseStrip.y));
    EXPECT_EQ(mwp_popup_state, 3) << "close requested";
    frames(1);
    EXPECT_EQ(mwp_popup_state, 0);
    EXPECT_FALSE(host().window_visible(panel_win_mwp_popup));
}

TEST_F(Mwp, AFireOpensThePopUpThroughTheAuralWarningUnit) {
    place("ketravin gpws_kr60");
    host().set_reverse_order(true);
    mwp1_cancel[0] = 1;
    token(kEng1Fire, 1.0);
    frames(4);
    EXPECT_TRUE(host().window_visible(panel_win_mwp_popup));
    EXPECT_TRUE(lamp(kMwp1Big, 1)) << "the new fire took its cancel back";
}

// A trim channel on when its supply goes, with the autopilot engaged: the trim axis taken at the
// loss goes back to the host once (DC essential power lost; with the last hydraulic circuit gone
// the controls are driven to neutral before it is taken), both channels drop and PITCH TRIM rises;
// with DC essential power its lamp lights and it chimes.
TEST_F(SystemsTest, PitchTrimWarnsOnTheLossOfTrimSupply) {
    place("ketravin gpws_kr60");
    place(kMwp1);
    start();
    const struct { const char* what; bool hydraulics; } kLosses[] = {{"DC essential", false}, {"hydraulics", true}};
    for (const auto& loss : kLosses) {
        SCOPED_TRACE(loss.what);
        std::memset(elec_batt_sw, 1, sizeof elec_batt_sw);
        std::memset(hyd_xfer_sw, 1, sizeof hyd_xfer_sw);
        all_buses();
        engines(60.0, 60.0);
        frames(110);
        ASSERT_NE(hyd_avail[0] + hyd_avail[1] + hyd_avail[2], 0);
        fctl_pitch_trim_sw[0] = fctl_pitch_trim_sw[1] = 1;
        token(tk::ap_engaged, 1.0);
        token(tk::trim_axis, -1234.8);
        frames(2);
        ASSERT_EQ(warn_pitch_trim, 0) << "a supplied channel clears it";
        EXPECT_EQ(warn_alert_latch[23], 0);
        new_keys();
        if (loss.hydraulics) {
            engines(0.0, 0.0);
            std::memset(hyd_xfer_sw, 0, sizeof hyd_xfer_sw);
        } else {
            dead();
        }
        for (int n = 0; warn_pitch_trim == 0 && n < 400; ++n) frames(1);
        ASSERT_EQ(warn_pitch_trim, 1);
        EXPECT_EQ(fctl_pitch_trim_sw[0] + fctl_pitch_trim_sw[1], 0);
        if (loss.hydraulics) {
            EXPECT_EQ(hyd_avail[0] + hyd_avail[1] + hyd_avail[2], 0) << "only with the last circuit gone";
        } else {
            frames(3);
            u32 value = 0;
            EXPECT_EQ(sent_now(key_trim_axis_set, &value), 1u);
            EXPECT_EQ(i32(value), -1234) << "the whole part, taken when the supply went";
            EXPECT_EQ(warn_alert_latch[23], 1) << "no chime without DC essential power";
            std::memset(elec_batt_sw, 1, sizeof elec_batt_sw);
            all_buses();
        }
        frames(30);  // every other caution of the loss has its chime first
        EXPECT_EQ(warn_pitch_trim, 1) << "held with both channels off and DC essential power";
        EXPECT_EQ(warn_alert_latch[23], 2) << "chimed";
        EXPECT_FALSE(hidden(element(kMwp1, 13)));
    }
}
