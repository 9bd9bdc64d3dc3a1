// The captain's airspeed dial: scale, needle, Mach counter, reference speeds and bug sets, the
// dragged bugs and the take-off calls, through the host.
#include <strings.h>

#include <limits>

#include "air/state.h"
#include "autoflight/autoflight_keys.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "flight_controls/state.h"
#include "fuel/state.h"
#include "instruments/asi_dial.h"
#include "instruments/state.h"
#include "sound/recording.h"
#include "tests/panel_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
constexpr u32 kTick = 1, kOnGround = 60, kIas = 61, kMach = 64, kApSpeed = 116, kFlapsLeft = 329, kUnits = 335,
              kThrottle1 = 558;
const char* kAsi = "ketravin asi_main_kr60";
enum : size_t { MachUnits = 2, MachHundredths = 3, MachTenths = 4, Index = 9, Needle = 11, OverlayTakeoff = 16,
                OverlayLanding = 17 };
}  // namespace

TEST(AsiScale, KnotsToDialDegrees) {
    const struct { f64 kt; f32 deg; } kCases[] = {
        {-5, 0}, {0, 0}, {59, 0}, {60, 0}, {61, 1.25f}, {70, 12.5f}, {80, 25}, {100, 45.999996f}, {130, 80},
        {190, 147.5f}, {200, 160}, {250, 217}, {300, 244}, {350, 270}, {400, 297}, {450, 320}, {451, 320},
        {1000, 320}, {kInf, 320}, {kNaN, 320},
    };
    for (const auto& c : kCases) EXPECT_EQ(asi_speed_to_dial(c.kt), c.deg) << c.kt;
    EXPECT_NEAR(asi_speed_to_dial(215), 177.1, 0.05);
    EXPECT_NEAR(asi_speed_to_dial(449), 319.54, 0.01);
}

class Asi : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kAsi);
        inst_adc1_powered = inst_adc1_ias_valid = inst_adc1_air_valid = inst_adc1_alt_valid = inst_adc1_ok = 1;
        elec_ess_ac_any_powered = 1;
    }
    // A rim or centre event with the distance and bearing the indicator would have computed.
    void at(f64 dist, f64 bearing, u32 flags = MouseDrag) {
        inst_asi_pointer_dist = dist;
        inst_asi_pointer_bearing = bearing;
        click(kAsi, 10, 10, flags);
    }
    std::vector<f64> bugs() const { return {inst_asi_bug_deg, inst_asi_bug_deg + 4}; }
    static void set_bugs(f64 b1, f64 b2, f64 b3, f64 b4) {
        inst_asi_bug_deg[0] = b1, inst_asi_bug_deg[1] = b2, inst_asi_bug_deg[2] = b3, inst_asi_bug_deg[3] = b4;
    }
    // Plays of the three calls since the last call: "80", "V1", "VR" in order of play.
    std::string calls() {
        std::string s;
        const u64 end = sound_recording_count();
        for (; seen_ < end; ++seen_) {
            SoundEvent e;
            if (!sound_recording_event(seen_, &e) || e.call != SoundCall::Play) continue;
            if (!strcasecmp(e.name, "v80kts")) s += "80 ";
            if (!strcasecmp(e.name, "v1kts")) s += "V1 ";
            if (!strcasecmp(e.name, "vrkts")) s += "VR ";
        }
        return s;
    }
    u64 seen_ = 0;
};

TEST_F(Asi, NeedleRisesTenAFrameFallsAtOnceAndSinksWithoutData) {
    token(kIas, 150);
    for (int f = 1; f <= 15; ++f) {
        frames(1);
        EXPECT_EQ(inst_asi_needle_kt, f < 15 ? 10.0 * f : 150.0) << f;
    }
    token(kIas, 100);
    frames(1);
    EXPECT_EQ(inst_asi_needle_kt, 100.0);
    inst_asi_needle_kt = 25;
    elec_ess_ac_any_powered = 0;
    for (f64 want : {15.0, 5.0, 0.0}) {
        frames(1);
        EXPECT_EQ(inst_asi_needle_kt, want);
    }
    EXPECT_EQ(warn_flag_asi, 1);
}

TEST_F(Asi, MachCounterAndItsDrumsAndTheIndexLimit) {
    const struct { f64 token; f64 mach, tenths, hundredths, units; } kCases[] = {
        {3000, 150.0, 9, 5, 0.002},
        {3001, 145.05, 9, 6, 4.95},
        {16384, 814.2, 2, 9, 5.8},
        {kNaN, 814.2, 2, 9, 5.8},  // no reading: the counter keeps its value
        {kInf, 814.2, 2, 9, 5.8},
    };
    for (const auto& c : kCases) {
        token(kMach, c.token);
        frames(1);
        EXPECT_NEAR(inst_mach_display, c.mach, 1e-9) << c.token;
        EXPECT_EQ(drawn(kAsi, MachTenths).y, c.tenths) << c.token;
        EXPECT_EQ(drawn(kAsi, MachHundredths).y, c.hundredths) << c.token;
        EXPECT_NEAR(drawn(kAsi, MachUnits).y, c.units, 1e-9) << c.token;
    }
    token(kApSpeed, 600);
    frames(1);
    EXPECT_EQ(inst_asi_ap_index_kt, 450u);
    EXPECT_EQ(drawn(kAsi, Index).value, 450.0);
}

TEST_F(Asi, ReferenceSpeedsBugSetsAndTheSpeedTarget) {
    // 150 t metric at the take-off detent and short of it, then pounds; 250 t puts bug 4 beyond
    // a byte, which holds at 255 instead of wrapping to 28.
    const struct { f64 units, weight, flaps; u8 base, to, v1, vr, bug4; } kCases[] = {
        {1, 1500, 5243, 145, 145, 138, 141, 230},
        {1, 1500, 5232, 145, 160, 153, 156, 230},
        {0, 3300, 5243, 144, 144, 137, 140, 229},
        {1, 2500, 5243, 199, 199, 192, 195, 255},
        {1, -1e300, 5243, 0, 0, 0, 0, 85},
        {1, kNaN, 5243, 63, 63, 56, 59, 148},  // no weight known: the base speed alone
    };
    inst_flap_detent[1] = 5243;
    for (const auto& c : kCases) {
        token(kUnits, c.units);
        token(kFlapsLeft, c.flaps);
        weight_gross_hundreds = c.weight;
        frames(1);
        EXPECT_EQ(inst_asi_base_kt, c.base) << c.weight;
        EXPECT_EQ(inst_asi_to_target_kt, c.to) << c.weight;
        EXPECT_EQ(inst_asi_v1_kt, c.v1) << c.weight;
        EXPECT_EQ(inst_asi_vr_kt, c.vr) << c.weight;
        EXPECT_EQ(inst_asi_bug4_kt, c.bug4) << c.weight;
    }
    // Take-off set at 150 t: one speed-target send while the target is 0, none while it is 130.
    token(kUnits, 1);
    token(kFlapsLeft, 5243);
    weight_gross_hundreds = 1500;
    for (i32 target : {0, 130}) {
        ats_speed_target = target;
        inst_asi_bug_mode = 1;
        new_keys();
        frames(1);
        EXPECT_EQ((std::vector<u32>{inst_asi_bug_kt, inst_asi_bug_kt + 4}), (std::vector<u32>{138, 160, 200, 230}));
        EXPECT_EQ(ats_speed_target, target == 0 ? 145 : 130);
        EXPECT_EQ(sends(key_ap_speed_set), target == 0 ? 1u : 0u);
        EXPECT_FALSE(hidden(element(kAsi, OverlayTakeoff)));
        frames(40);  // 36 ticks later the message is gone and the set is done
        EXPECT_TRUE(hidden(element(kAsi, OverlayTakeoff)));
        EXPECT_EQ(inst_asi_bug_mode, 0);
    }
    EXPECT_EQ(host().token(kApSpeed), 145.0);  // the host took the target
}

TEST_F(Asi, CentreClickConvertsTheSpeedsStandingAtThatMoment) {
    click(kAsi, 60, 91, MouseMove);
    frames(1);  // the indicator measures the pointer: 32 from the centre
    inst_asi_bug_kt[0] = 100, inst_asi_bug_kt[1] = 80, inst_asi_bug_kt[2] = 190, inst_asi_bug_kt[3] = 190;
    click(kAsi, 60, 91);
    EXPECT_EQ(inst_asi_bug_mode, 1);
    EXPECT_EQ(bugs(), (std::vector<f64>{45.999996185302734, 45.999996185302734, 147.5, 152.5}));
    click(kAsi, 120, 91, MouseMove);
    frames(1);
    click(kAsi, 120, 91);  // the right half asks for the approach set
    EXPECT_EQ(inst_asi_bug_mode, 2);
    at(50, 0, MouseLeftSingle);  // exactly 50 out: neither a set nor a drag
    EXPECT_EQ(inst_asi_bug_mode, 2);
}

TEST_F(Asi, DraggedBugsFollowTheRimPushTheirNeighboursAndRefuseJumps) {
    // Bug 1 carried round through each quadrant to 300, then refused beyond its range.
    for (f64 b : {86.0, 150.0, 220.0, 300.0, 306.0}) at(80, b);
    EXPECT_EQ(bugs(), (std::vector<f64>{300, 300, 305, 310}));
    // Past 330 and on to 20: the bug stays until the pointer comes back through 180..270.
    for (f64 b : {340.0, 20.0}) at(80, b);
    EXPECT_EQ(inst_asi_bug_deg[0], 300);
    at(80, 200);
    EXPECT_EQ(inst_asi_bug_deg[0], 200);
    at(80, 200, MouseMove);  // the drag ends
    EXPECT_EQ(inst_asi_dragging, 0);

    // A jump from the first quadrant into the third is refused until 90..180 is passed.
    set_bugs(85, 114, 135, 183);
    at(80, 86);
    at(80, 200);
    EXPECT_EQ(inst_asi_bug_deg[0], 86);
    at(80, 120);
    at(80, 200);
    EXPECT_EQ(inst_asi_bug_deg[0], 200);
    at(80, 0, MouseMove);

    // The grab window is strict; bug 4 stops at 320 and not beyond 325.
    const struct { f64 from, to; size_t bug; f64 want; } kGrabs[] = {
        {109.0, 140, 1, 114}, {109.5, 140, 1, 140}, {182, 322, 3, 320}, {182, 326, 3, 182},
    };
    for (const auto& g : kGrabs) {
        set_bugs(85, 114, 135, 182);
        at(80, g.from);
        at(80, g.to);
        EXPECT_EQ(inst_asi_bug_deg[g.bug], g.want) << g.from << " -> " << g.to;
        at(80, 0, MouseMove);
    }
}

TEST_F(Asi, TakeoffCallsPlayOncePerRunAndTheThrottleRearmsThem) {
    inst_flap_detent[1] = 5243;
    token(kUnits, 1);
    token(kFlapsLeft, 5243);
    weight_gross_hundreds = 1500;  // V1 138, VR 141
    token(kOnGround, 1);
    token(kThrottle1, 0.9);
    token(kIas, 70);
    frames(1);
    EXPECT_EQ(calls(), "");
    token(kIas, 145);
    frames(1);
    EXPECT_EQ(calls(), "80 V1 VR ");
    frames(3);
    EXPECT_EQ(calls(), "");
    token(kThrottle1, 0.79);
    frames(1);
    token(kThrottle1, 0.8);
    const struct { f64 ias; const char* heard; } kRun[] = {{79.9, ""}, {80, "80 "}, {137, ""}, {138, "V1 "}, {141, "VR "}};
    for (const auto& r : kRun) {
        token(kIas, r.ias);
        frames(1);
        EXPECT_EQ(calls(), r.heard) << r.ias;
    }
}

TEST_F(Asi, HostileMouseEventsAndTokensLeaveEverythingFinite) {
    MouseRect* left = gauge(kAsi)->mouse_rects + 1;
    const i32 w = left->w;
    MousePoint no_rect{10, 10, 0, nullptr};
    left->callback(&no_rect, MouseLeftSingle);
    left->callback(nullptr, MouseLeftSingle);
    for (i32 bad : {0, -92}) {
        left->w = bad;
        MousePoint p{10, 10, 0, left};
        left->callback(&p, MouseDrag);
        EXPECT_EQ(inst_asi_pointer_x, 0.0);
    }
    left->w = w;
    MousePoint far{std::numeric_limits<i32>::max(), std::numeric_limits<i32>::min(), 0, left};
    left->callback(&far, MouseDrag);
    for (f64 v : {kNaN, kInf, -kInf, 1e300}) {
        for (u32 id : {kTick, kOnGround, kIas, 63u, kMach, kApSpeed, kFlapsLeft, kThrottle1}) token(id, v);
        frames(1);
        at(80, 100);
        at(20, 0, MouseLeftSingle);
        frames(1);
        for (f64 x : {inst_asi_needle_kt, inst_mach_display, inst_asi_pointer_dist, inst_asi_pointer_bearing,
                      drawn(kAsi, Needle).value, drawn(kAsi, MachUnits).y, drawn(kAsi, MachTenths).y})
            EXPECT_TRUE(std::isfinite(x)) << v;
        for (f64 b : bugs()) EXPECT_TRUE(b >= 0 && b <= 320) << v;
    }
}
