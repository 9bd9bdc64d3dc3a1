// Probe heat lamps, the wing anti-ice panel's host flag and bleed demand, and the nacelle valves'
// 27-tick transit with the host's engine anti-ice kept in step.
#include <cmath>
#include <cstring>
#include <string>

#include "air/anti_ice_keys.h"
#include "air/state.h"
#include "electrical/state.h"
#include "tests/panel_fixture.h"

namespace {
const char* kProbes = "ketravin probes_heat_kr60";
const char* kWing = "ketravin wing_deice_kr60";
const char* kNacelle = "ketravin nacelle_deice_kr60";
constexpr u32 kTick = 1, kPitotHeat = 13, kOnGround = 60, kPitotFail = 286, kEng1AntiIce = 883, kEng2AntiIce = 884,
              kStructuralDeice = 905;
constexpr f64 kNaN = f64(NAN);
enum { ProbeCaptPitot = 7 };
enum { WingLeftShut = 7, WingRightShut = 9 };
enum { NacelleDisagree1 = 5 };
constexpr i32 kNacelle1X = 30, kOpenY = 60;
}  // namespace

class AntiIce : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        dc_ess_powered = dc_normal_powered = 1;
    }
};

TEST_F(AntiIce, ProbeLampsLitWhileTheirProbeIsUnheated) {
    place(kProbes);
    const struct { u8 dc_ess; f64 host_heat; f64 fail; u8 heater; bool capt; size_t lit; } cases[] = {
        {1, 0.0, 0, 0, true, 14},  {1, 1.0, 0, 1, false, 0}, {1, 1.0, 1, 1, true, 1},
        {1, kNaN, kNaN, 1, false, 0}, {1, 0.5, 0, 0, false, 13}, {0, 0.0, 1, 0, false, 0},
    };
    for (const auto& c : cases) {
        dc_ess_powered = c.dc_ess;
        token(kPitotHeat, c.host_heat);
        token(kPitotFail, c.fail);
        std::memset(aice_probe_lamp, c.heater, sizeof aice_probe_lamp);
        frames(1);
        size_t lit = 0;
        for (size_t k = 0; k < 14; ++k) lit += shown(kProbes, ProbeCaptPitot + k);
        EXPECT_EQ(shown(kProbes, ProbeCaptPitot), c.capt) << &c - cases;
        EXPECT_EQ(lit, c.lit) << &c - cases;
    }
}

// Each switch shows the one lever image of its byte from the next frame: two-position probe heat
// and nacelle switches (down image first), three-position wing switches (down, middle, up).
TEST_F(AntiIce, SwitchImagesFollowTheirBytes) {
    for (const char* g : {kProbes, kNacelle, kWing}) place(g);
    const struct { const char* g; i32 x, y; size_t first, count, shown; } clicks[] = {
        {kProbes, 30, 10, 1, 2, 1},  {kProbes, 80, 10, 3, 2, 1},  {kProbes, 130, 10, 5, 2, 1},    // ON
        {kProbes, 80, 40, 3, 2, 0},  {kProbes, 30, 40, 1, 2, 0},                                  // OFF
        {kNacelle, 30, 60, 1, 2, 1}, {kNacelle, 130, 60, 3, 2, 1},                                // OPEN
        {kNacelle, 130, 85, 3, 2, 0}, {kNacelle, 30, 85, 1, 2, 0},                                // CLOSE
        {kWing, 30, 80, 1, 3, 2},    {kWing, 130, 125, 4, 3, 0},  {kWing, 30, 125, 1, 3, 0},     // ON, GRND CHECK
        {kWing, 130, 100, 4, 3, 1},  {kWing, 130, 80, 4, 3, 2},   {kWing, 30, 100, 1, 3, 1},     // OFF RESET, ON
    };
    for (const auto& c : clicks) {
        click(c.g, c.x, c.y);
        frames(1);
        std::string want(c.count, '0');
        want[c.shown] = '1';
        EXPECT_EQ(lamps(c.g, c.first, c.count), want) << c.g << " " << c.x << "," << c.y;
    }
}

TEST_F(AntiIce, WingLeftSideDrivesTheHostAndEitherSideTheDemand) {
    place(kWing);
    // S shut, O open, - blank; the host flag is read before the frame and sends counted in it.
    const struct { u8 left, right; f64 ground; u8 dc_normal, duct0, duct1; f64 host; size_t toggles; u8 active;
                   const char* images; } cases[] = {
        {1, 0, 0.0, 1, 1, 0, 0.0, 1, 1, "OS"},
        {1, 0, 0.0, 1, 0, 0, 0.0, 0, 1, "OS"},  // no left duct air: not turned on, nor off
        {1, 0, 1.0, 1, 1, 1, 1.0, 1, 0, "SS"},  // ON on the ground is not selected
        {2, 2, 1.0, 1, 1, 1, 0.0, 1, 0, "OO"},  // GRND CHECK: host on, demand never raised
        {2, 1, 0.0, 1, 1, 1, 1.0, 1, 1, "SO"},  // right side alone: host off, demand on
        {1, 1, 0.0, 0, 1, 1, 1.0, 1, 0, "--"},
        {1, 1, kNaN, 1, 1, 1, kNaN, 0, 0, "SS"},
    };
    for (const auto& c : cases) {
        aice_wing_sw[0] = c.left, aice_wing_sw[1] = c.right;
        token(kOnGround, c.ground);
        dc_normal_powered = c.dc_normal;
        air_duct_supply[0] = c.duct0, air_duct_supply[1] = c.duct1;
        token(kStructuralDeice, c.host);
        new_keys();
        frames(1);
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        size_t toggles = 0;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == key_structural_deice_toggle && k.sent) toggles += k.value == 0 ? 1 : 100;
        EXPECT_EQ(toggles, c.toggles) << "sent with the value 0";
        EXPECT_EQ(aice_wing_active, c.active);
        EXPECT_EQ(std::string({pair(kWing, WingLeftShut), pair(kWing, WingRightShut)}), c.images);
    }
}

TEST_F(AntiIce, NacelleValveOpensAfter27TicksThenTurnsTheHostOn) {
    place(kNacelle);
    air_duct_supply[0] = 1;
    token(kTick, 1.0);
    click(kNacelle, kNacelle1X, kOpenY);
    EXPECT_EQ(aice_nacelle_sw[0], 1) << "VALVE OPEN";
    std::string seen;  // valve state per frame, ticks 2..31
    for (int f = 0; f < 30; ++f) frames(1), seen += char('0' + aice_nacelle_valve[0]);
    EXPECT_EQ(host().token(kTick), 31.0);
    EXPECT_EQ(seen, std::string(27, '2') + "111") << "VALVE OPEN at tick 2 opens at tick 29";
    EXPECT_EQ(sends(key_eng1_antiice_toggle), 1u);
    EXPECT_EQ(host().token(kEng1AntiIce), 1.0);
    EXPECT_FALSE(shown(kNacelle, NacelleDisagree1));
    dc_normal_powered = 0;  // shutting is immediate, by power loss or by CLOSE
    frames(1);
    EXPECT_EQ(aice_nacelle_valve[0], 0);
    dc_normal_powered = 1;
    frames(30);
    ASSERT_EQ(aice_nacelle_valve[0], 1);
    click(kNacelle, kNacelle1X, kOpenY + 25);
    frames(1);
    EXPECT_EQ(aice_nacelle_valve[0], 0);
    EXPECT_EQ(host().token(kEng1AntiIce), 0.0);
}

TEST_F(AntiIce, NacelleHostKeptInStepAndTransitSurvivesAClockSetBack) {
    place(kNacelle);
    air_duct_supply[0] = air_duct_supply[1] = 1;
    token(kTick, 1000.0);
    token(kEng2AntiIce, 1.0);  // turned on from outside while shut: undone next frame
    frames(1);
    EXPECT_EQ(sends(key_eng2_antiice_toggle), 1u);
    EXPECT_EQ(host().token(kEng2AntiIce), 0.0);

    click(kNacelle, kNacelle1X, kOpenY);
    frames(5);
    ASSERT_EQ(aice_nacelle_valve[0], 2);
    EXPECT_TRUE(shown(kNacelle, NacelleDisagree1));
    token(kTick, 10.0);  // the counter goes back: the transit re-arms for 27 ticks from now
    frames(26);
    EXPECT_EQ(aice_nacelle_valve[0], 2);
    frames(2);
    EXPECT_EQ(aice_nacelle_valve[0], 1);
    token(kTick, kNaN);  // no clock: an open valve stays open, a new transit does not start
    click(kNacelle, kNacelle1X + 104, kOpenY);
    frames(3);
    EXPECT_EQ(aice_nacelle_valve[0], 1);
    EXPECT_EQ(aice_nacelle_valve[1], 0);
}
