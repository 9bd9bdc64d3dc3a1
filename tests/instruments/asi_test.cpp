// The captain's airspeed dial: scale, needle, Mach counter, reference speeds and bug sets, the
// dragged bugs and the take-off calls, through the host.
#include <strings.h>

#include <limits>
#include <utility>

#include "air/state.h"
#include "autoflight/ap_keys.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "fuel/state.h"
#include "instruments/asi_dial.h"
#include "instruments/state.h"
#include "tests/panel_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
constexpr u32 kIas = 61, kVmo = 63, kMach = 64, kApSpeed = 116, kFlapsLeft = 329, kUnits = 335, kThrottle1 = 558;
const char* kAsi = "ketravin asi_main_kr60";
enum : size_t { MachUnits = 2, MachHundredths = 3, MachTenths = 4, Index = 9, Barber, Needle, OverlayTakeoff = 16 };
}  // namespace

TEST(AsiScale, KnotsToDialDegrees) {
    const struct { f64 kt; f32 deg; } kCases[] = {
        {-5, 0}, {60, 0}, {61, 1.25f}, {100, 45.999996f}, {190, 147.5f}, {450, 320}, {451, 320}, {kNaN, 320},
    };
    for (const auto& c : kCases) EXPECT_EQ(asi_speed_to_dial(c.kt), c.deg) << c.kt;
}

class Asi : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kAsi);
        inst_adc1_powered = inst_adc1_ias_valid = inst_adc1_air_valid = inst_adc1_alt_valid = inst_adc1_ok = 1;
        elec_ess_ac_any_powered = 1;
        inst_flap_detent[1] = 5243;
    }
    // A dial event with the distance and bearing the indicator would have measured at its frame.
    void at(f64 dist, f64 bearing, u32 flags = MouseDrag) {
        inst_asi_pointer_dist = dist, inst_asi_pointer_bearing = bearing;
        click(kAsi, 10, 10, flags);
    }
    std::vector<f64> bugs() const { return {inst_asi_bug_deg, inst_asi_bug_deg + 4}; }
    // The calls played since the last call, in order.
    std::string calls() {
        std::string s;
        for (const u64 end = sound_recording_count(); seen_ < end; ++seen_) {
            SoundEvent e;
            if (sound_recording_event(seen_, &e) && e.call == SoundCall::Play && strcasecmp(e.name, "click"))
                s += std::string(e.name) + " ";
        }
        return s;
    }
    u64 seen_ = 0;
};

TEST_F(Asi, NeedleMachCounterAndIndex) {
    token(kIas, 150);
    for (int f = 1; f <= 15; ++f, frames(1)) EXPECT_EQ(inst_asi_needle_kt, 10.0 * (f - 1));
    EXPECT_EQ(inst_asi_needle_kt, 150.0);  // frame 15
    inst_asi_needle_kt = 25;
    elec_ess_ac_any_powered = 0;  // data lost
    for (f64 want : {15.0, 5.0, 0.0}) {
        frames(1);
        EXPECT_EQ(inst_asi_needle_kt, want);
    }
    elec_ess_ac_any_powered = 1;
    for (f64 v : {kNaN, -kInf}) {  // with the data valid, no speed to follow: the needle stands
        inst_asi_needle_kt = 25, token(kIas, v), frames(1);
        EXPECT_EQ(inst_asi_needle_kt, 25.0) << v;
    }
    token(kIas, 0.5);  // only a needle below 0 is held at 0
    frames(1);
    EXPECT_EQ(inst_asi_needle_kt, 0.5);
    EXPECT_EQ(drawn(kAsi, Needle).value, 0.5);
    token(kIas, -5.0);  // below 0 the needle is drawn at 0 and kept there
    frames(1);
    EXPECT_EQ(drawn(kAsi, Needle).value, 0.0);
    EXPECT_EQ(inst_asi_needle_kt, 0.0);
    const struct { f64 token, mach, tenths, hundredths, units; } kCases[] = {
        {3000, 150.0, 9, 5, 0.002}, {3001, 145.05, 9, 6, 4.95}, {16384, 814.2, 2, 9, 5.8},
    };
    for (const auto& c : kCases) {
        token(kMach, c.token);
        frames(1);
        EXPECT_NEAR(inst_mach_display, c.mach, 1e-9);
        EXPECT_EQ(drawn(kAsi, MachTenths).y * 10 + drawn(kAsi, MachHundredths).y, c.tenths * 10 + c.hundredths);
        EXPECT_NEAR(drawn(kAsi, MachUnits).y, c.units, 1e-9);
    }
    // The index and the barber pole, 450 at most, and the overspeed warning the pole sets at 250 kt
    // clean: a selected speed or VMO that is no number or infinite gives no knots; each stands.
    place("ketravin flaps_ind_kr60");
    dc_ess_powered = 1;
    token(kIas, 250), inst_asi_needle_kt = 250;
    const struct { f64 ap, vmo; u32 index, pole; u8 warn; } kSpeeds[] = {
        {230, 360 * 128.0, 230, 360, 0}, {kNaN, kNaN, 230, 360, 0},          {-kInf, -kInf, 230, 360, 0},
        {600, kInf, 450, 360, 0},        {600, 200 * 128.0, 450, 200, 1},    {600, 600 * 128.0, 450, 450, 0},
    };
    for (const auto& c : kSpeeds) {
        token(kApSpeed, c.ap), token(kVmo, c.vmo), frames(1);
        EXPECT_EQ(std::vector<f64>({f64(inst_asi_ap_index_kt), drawn(kAsi, Index).value, f64(inst_asi_barber_kt),
                                    drawn(kAsi, Barber).value, f64(warn_overspeed)}),
                  std::vector<f64>({f64(c.index), f64(c.index), f64(c.pole), f64(c.pole), f64(c.warn)}))
            << c.ap << " " << c.vmo;
    }
}

// The AS flag of this dial is the master warning's airspeed flag, 1 or 0.
TEST_F(Asi, TheAsFlagRaisesTheAirspeedWarning) {
    for (const auto& c : {std::make_pair(1.0, u8(1)), std::make_pair(0.0, u8(0))}) {
        token(274, c.first);
        frames(1);
        EXPECT_EQ(warn_flag_asi, c.second) << c.first;
    }
}

// The needles' calibration points as the host reads them: knots for the index, barber pole and
// needle (0 and 60 share the top), dial degrees for the four bugs.
TEST_F(Asi, NeedlesCarryTheSpeedAndDegreeTables) {
    using Points = std::vector<std::vector<i32>>;
    const Points kSpeed = {{0, 92, 11},    {60, 92, 11},   {80, 125, 17},  {100, 150, 35}, {120, 167, 62},
                           {140, 172, 93}, {160, 166, 124}, {180, 149, 149}, {200, 121, 167}, {250, 44, 153},
                           {300, 19, 126}, {350, 11, 91},  {400, 20, 55},  {450, 42, 27}};
    const Points kDegrees = {{0, 92, 0}, {90, 183, 91}, {180, 92, 183}, {270, 0, 91}, {320, 21, 0}};
    for (size_t pos = Index; pos <= Needle + 4; ++pos) {
        const auto* n = reinterpret_cast<const NeedleElement*>(element(kAsi, pos));
        Points got;
        for (u32 i = 0; n->nonlinearity && i < n->nonlinearity_count; ++i)
            got.push_back({i32(n->nonlinearity[i].value), n->nonlinearity[i].x, n->nonlinearity[i].y});
        EXPECT_EQ(got, pos <= Needle ? kSpeed : kDegrees) << "element " << pos;
    }
}

TEST_F(Asi, ReferenceSpeedsBugSetsAndTheSpeedTarget) {
    // The eight reference speeds: base, approach and take-off targets, V1, VR, take-off bug 2, bugs
    // 3 and 4. Flaps short of the first detent less 10 add 15 to the take-off target. 250 t puts
    // bug 4 beyond a byte: it holds at 255 instead of wrapping to 28. A weight that is no number
    // leaves the speeds as they were.
    const struct { f64 units, weight, flaps; std::vector<int> speeds; } kCases[] = {
        {1, 1500, 5243, {145, 155, 145, 138, 141, 160, 200, 230}}, {1, 1500, 5233, {145, 155, 145, 138, 141, 160, 200, 230}},
        {1, 1500, 5232, {145, 155, 160, 153, 156, 160, 200, 230}}, {0, 3300, 5243, {144, 154, 144, 137, 140, 159, 199, 229}},
        {1, 2500, 5243, {199, 209, 199, 192, 195, 214, 254, 255}}, {1, kNaN, 5243, {199, 209, 199, 192, 195, 214, 254, 255}},
        {1, -1e300, 5243, {0, 10, 0, 0, 0, 15, 55, 85}},
    };
    for (const auto& c : kCases) {
        token(kUnits, c.units), token(kFlapsLeft, c.flaps);
        weight_gross_hundreds = c.weight;
        frames(1);
        EXPECT_EQ(std::vector<int>({inst_asi_base_kt, inst_asi_app_target_kt, inst_asi_to_target_kt, inst_asi_v1_kt,
                                    inst_asi_vr_kt, inst_asi_to_bug2_kt, inst_asi_bug3_kt, inst_asi_bug4_kt}),
                  c.speeds)
            << c.weight << " flaps " << c.flaps;
    }
    // Sets at 150 t: one speed-target send while the target is 0 (and the autothrottle's speed mode
    // off), none otherwise; each shows its own overlay for 36 ticks.
    token(kFlapsLeft, 5243);
    weight_gross_hundreds = 1500;
    const struct { u8 mode, ats_mode; i32 target; std::vector<u32> bugs; i32 want_target; } kSets[] = {
        {1, 0, 0, {138, 160, 200, 230}, 145},   {1, 0, 130, {138, 160, 200, 230}, 130},
        {2, 0, 0, {145, 170, 200, 230}, 155},   {2, 1, 0, {145, 170, 200, 230}, 0},
    };
    for (const auto& c : kSets) {
        ats_speed_target = c.target, ats_spd_mode = c.ats_mode, inst_asi_bug_mode = c.mode;
        new_keys();
        frames(1);
        EXPECT_EQ((std::vector<u32>{inst_asi_bug_kt, inst_asi_bug_kt + 4}), c.bugs) << int(c.mode);
        EXPECT_EQ(ats_speed_target, c.want_target);
        EXPECT_EQ(sends(key_ap_speed_set), c.want_target != c.target ? 1u : 0u);
        EXPECT_EQ(inst_asi_bug_set_active, 1);
        EXPECT_NE(hidden(element(kAsi, OverlayTakeoff)), c.mode == 1);
        EXPECT_NE(hidden(element(kAsi, OverlayTakeoff + 1)), c.mode == 2);
        frames(35);
        EXPECT_NE(hidden(element(kAsi, OverlayTakeoff)), c.mode == 1) << "35 ticks on";
        frames(1);  // 36 ticks later the message is gone and the set is done
        EXPECT_TRUE(hidden(element(kAsi, OverlayTakeoff)) && hidden(element(kAsi, OverlayTakeoff + 1)));
        EXPECT_EQ(inst_asi_bug_mode + inst_asi_bug_set_active, 0);
    }
    EXPECT_EQ(host().token(kApSpeed), 155.0);
}

TEST_F(Asi, CentreClickConvertsTheSpeedsStandingThenDragsMoveAndRefuse) {
    click(kAsi, 60, 91, MouseMove);
    frames(1);  // the indicator measures the pointer: 32 from the centre, straight left
    EXPECT_EQ(inst_asi_pointer_dist, 32.0);
    EXPECT_EQ(inst_asi_pointer_bearing, 270.0);
    inst_asi_bug_kt[0] = 100, inst_asi_bug_kt[1] = 80, inst_asi_bug_kt[2] = 190, inst_asi_bug_kt[3] = 190;
    click(kAsi, 60, 91);
    EXPECT_EQ(inst_asi_bug_mode, 1);
    EXPECT_EQ(bugs(), (std::vector<f64>{45.999996185302734, 45.999996185302734, 147.5, 152.5}));
    at(50, 0, MouseLeftSingle);  // exactly 50 out: neither a set nor a drag
    EXPECT_EQ(inst_asi_dragging, 0);

    // Each drag starts on the bugs at 85, 114, 135, 183; the bearings in turn, then the four bugs.
    const struct { std::vector<f64> path; std::vector<f64> want; } kDrags[] = {
        {{86, 150, 220, 300}, {300, 300, 305, 310}},  {{86, 150, 220, 300, 306}, {300, 300, 305, 310}},  // to 305
        {{86, 200}, {86, 114, 135, 183}},             {{86, 120, 200}, {200, 200, 205, 210}},  // no jump past 90
        {{86, 150, 85, 200}, {85, 150, 155, 183}},    // back below 90 from 150: 180..270 refused again
        {{86, 150, 220, 300, 340, 20}, {300, 300, 305, 310}},                    // past 330: refused until
        {{86, 150, 220, 300, 340, 20, 200}, {200, 300, 305, 310}},               // back through 180..270,
        {{86, 150, 220, 300, 340, 20, 200, 150}, {150, 300, 305, 310}},          // and below 180 again
        {{86, 150, 220, 150, 300}, {150, 220, 225, 230}},  // back below 180: 270 on needs 180..270 again
        {{109.0, 140}, {85, 114, 135, 183}},          {{109.5, 140}, {85, 140, 145, 183}},  // strict window
        {{114, 180}, {85, 180, 185, 190}},            {{114, 50}, {50, 50, 135, 183}},      // bug 2
        {{114, 180, 280, 309}, {85, 309, 314, 319}},  {{114, 180, 280, 310}, {85, 280, 285, 290}},  // below 310
        {{135, 180}, {85, 114, 180, 185}},            {{135, 100}, {85, 95, 100, 183}},     // bug 3 pushes 2 and 4
        {{135, 200, 280, 314}, {85, 114, 314, 319}},  {{135, 200, 280, 315}, {85, 114, 280, 285}},  // below 315
        {{135, 60, 5}, {55, 0, 5, 183}},              {{135, 60, 4}, {55, 55, 60, 183}},    // from 5
        {{183, 130}, {85, 114, 125, 130}},            {{183, 322}, {85, 114, 135, 320}},    // bug 4 pushes 3;
        {{183, 326}, {85, 114, 135, 183}},            {{183, 130, 9}, {85, 114, 125, 130}},   // 10 up to 325
        {{183, 130, 10}, {85, 114, 5, 10}},
    };
    for (const auto& d : kDrags) {
        inst_asi_bug_deg[0] = 85, inst_asi_bug_deg[1] = 114, inst_asi_bug_deg[2] = 135, inst_asi_bug_deg[3] = 183;
        for (f64 b : d.path) at(80, b);
        EXPECT_EQ(bugs(), d.want) << d.path.front() << " .. " << d.path.back();
        at(80, 0, MouseMove);
    }
}

TEST_F(Asi, TakeoffCallsPlayOncePerRunAndTheThrottleRearmsThem) {
    token(kUnits, 1), token(kFlapsLeft, 5243), token(60, 1);
    weight_gross_hundreds = 1500;  // V1 138, VR 141
    const struct { f64 throttle, ias; const char* heard; } kRun[] = {
        {0.9, 70, ""}, {0.9, 145, "V80KTS V1KTS VRKTS "}, {0.9, 145, ""}, {0.79, 145, ""},
        {0.8, 79.9, ""}, {0.8, 80, "V80KTS "}, {0.8, 137, ""}, {0.8, 138, "V1KTS "}, {0.8, 141, "VRKTS "},
    };
    for (const auto& r : kRun) {
        token(kThrottle1, r.throttle), token(kIas, r.ias);
        frames(1);
        EXPECT_EQ(calls(), r.heard) << r.ias;
    }
}

TEST_F(Asi, HostileMouseEventsAndTokensLeaveEverythingFinite) {
    MouseRect* left = gauge(kAsi)->mouse_rects + 1;
    MousePoint no_rect{10, 10, 0, nullptr}, p{10, 10, 0, left};
    left->callback(&no_rect, MouseLeftSingle);
    for (i32 bad : {0, -92}) left->w = bad, left->callback(&p, MouseDrag);
    EXPECT_EQ(inst_asi_pointer_x, 0.0);  // an empty rectangle is no place on the dial
    left->w = kAsiHalfWidth;
    MousePoint far{std::numeric_limits<i32>::max(), std::numeric_limits<i32>::min(), 0, left};
    left->callback(&far, MouseDrag);
    for (f64 v : {kNaN, kInf, -kInf, 1e300}) {
        for (u32 id : {1u, 60u, kIas, 63u, kMach, kApSpeed, kFlapsLeft, kThrottle1}) token(id, v);
        frames(1);
        at(80, 100);
        at(20, 0, MouseLeftSingle);
        frames(1);
        for (f64 x : {inst_asi_needle_kt, inst_mach_display, inst_asi_pointer_dist, inst_asi_pointer_bearing,
                      drawn(kAsi, Needle).value, drawn(kAsi, MachUnits).y, drawn(kAsi, MachTenths).y})
            EXPECT_TRUE(std::isfinite(x)) << v;
        for (f64 b : bugs()) EXPECT_TRUE(b >= 0 && b <= 320) << v;
    }
    for (const auto& xy : {std::make_pair(30.0, kNaN), std::make_pair(kInf, 30.0)}) {
        inst_asi_pointer_x = xy.first, inst_asi_pointer_y = xy.second;  // either half no number: the centre
        frames(1);
        EXPECT_EQ(inst_asi_pointer_dist, 0.0) << xy.first << " " << xy.second;
    }
}
