// The engine start panel and the HP fuel levers through the host: the push conditions, the valve
// shut-off and cut-out at their exact speeds, the abort, the lamps, and host starter values that
// are neither on nor off.
#include <cmath>

#include "air/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "tests/panel_fixture.h"
#include "warnings/state.h"

namespace {
const char* kStart = "ketravin eng_start_kr60";
constexpr u32 kStarter[2] = {563, 573}, kN1[2] = {624, 643}, kN2[2] = {625, 644}, kToggle[2] = {0x102fc, 0x102fd};
enum { MasterDown = 1, MasterUp, PushLamp1, PushLamp2, OpenLamp1, OpenLamp2 };
const f64 kNaN = NAN, kInf = INFINITY;
struct Xy { i32 x, y; };
constexpr Xy kSelDown{60, 50}, kSelUp{100, 50}, kArm{80, 100}, kAbort{80, 130}, kPush[2] = {{20, 120}, {145, 120}};
}  // namespace

class EngStart : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kStart);
        dc_ess_powered = dc_normal_powered = 1;
    }
    void press(Xy p) { click(kStart, p.x, p.y); }
    void ready(u8 selector) {  // armed, packs shut, air in both ducts
        eng_start_selector = selector, eng_start_master = 2;
        air_duct_supply[0] = air_duct_supply[1] = 1;
    }
    bool shown(size_t pos) { return PanelTest::shown(kStart, pos); }
    // Starter toggles since the last call: "t1" trigger engine 1, "s2" send engine 2 ... (value 0;
    // any other value is marked "?")
    std::string keys() {
        std::string out;
        for (const KeyLogEntry& k : new_keys())
            for (int i = 0; i < 2; ++i)
                if (k.id == kToggle[i])
                    out += std::string(out.empty() ? "" : " ") + (k.sent ? "s" : "t") + char('1' + i) + (k.value ? "?" : "");
        return out;
    }
};

TEST_F(EngStart, PushNeedsPacksShutNotCrankArmedAndAirOrTheOtherEngineAbove10) {
    struct Case { u8 selector, master; u16 pack; u8 own_duct; f64 other_n1, starter; const char* keys; u8 valve; } cases[] = {
        {1, 2, 0, 1, 0, 0, "t1", 1},    {2, 2, 0, 1, 0, 0, "", 0},      {1, 1, 0, 1, 0, 0, "", 0},
        {1, 2, 1, 1, 0, 0, "", 0},      {1, 2, 0, 0, 10.0, 0, "", 0},   {1, 2, 0, 0, 10.1, 0, "t1", 1},
        {1, 2, 0, 0, kNaN, 0, "", 0},   {1, 2, 0, 1, 0, 1.0, "", 1},    {1, 2, 0, 1, 0, kNaN, "", 1},
    };
    dc_ess_powered = dc_normal_powered = 0;  // the push tests no power
    for (const Case& c : cases) {
        ready(c.selector);
        eng_start_master = c.master, air_pack_valve[1] = c.pack, air_duct_supply[0] = c.own_duct, eng_start_valve[0] = 0;
        token(kN1[1], c.other_n1);
        token(kStarter[0], c.starter);
        keys();
        press(kPush[0]);
        const auto what = ::testing::Message() << int(c.selector) << " " << c.other_n1 << " " << c.starter;
        EXPECT_EQ(keys(), c.keys) << what;
        EXPECT_EQ(eng_start_valve[0], c.valve) << what;
        EXPECT_EQ(eng_start_valve[1] + clicks(), 0u) << what << ": only its own valve, silently";
    }
    ready(1);  // engine 2: its own duct is the right one, the other engine is engine 1
    air_duct_supply[1] = 0;
    token(kN1[0], 10.1);
    token(kStarter[1], 0.0);
    press(kPush[1]);
    EXPECT_EQ(keys(), "t2");
    EXPECT_EQ(eng_start_valve[1], 1);
}

TEST_F(EngStart, ValveShutsAboveFortyAndTheCutOutRepeatsOnlyAtStartAOrB) {
    struct Case { u8 selector; f64 n2; u8 valve; const char* keys; } cases[] = {
        {1, 40.0, 1, ""}, {1, kNaN, 1, ""}, {3, 40.1, 0, ""}, {0, 40.1, 0, "s1"}, {1, 40.1, 0, "s1"},
    };
    for (const Case& c : cases) {
        ready(c.selector);
        token(kStarter[0], 0.0);
        token(kN2[0], 20.0);
        press(kPush[0]);
        frames(1);
        keys();
        token(kN2[0], c.n2);
        frames(1);
        EXPECT_EQ(eng_start_valve[0], c.valve) << int(c.selector) << " " << c.n2;
        EXPECT_EQ(keys(), c.keys) << int(c.selector) << " " << c.n2;
        press(kAbort);
    }
    ready(1);  // a host that keeps its starter engaged gets the cut-out every frame
    token(kN2[0], 41.0);
    for (int f = 0; f < 3; ++f) token(kStarter[0], 1.0), frames(1);
    EXPECT_EQ(keys(), "s1 s1 s1");
}

TEST_F(EngStart, SelectorArmAndAbort) {
    for (int i = 0; i < 4; ++i) press(kSelDown);
    EXPECT_EQ(eng_start_selector, 0);
    for (int i = 0; i < 7; ++i) press(kSelUp);
    EXPECT_EQ(eng_start_selector, 5);
    EXPECT_EQ(clicks(), 0u) << "the selector is silent";
    eng_start_selector = 9;
    frames(1);
    EXPECT_EQ(eng_start_selector, 5) << "the knob stores its top position";
    press(kArm);
    press(kArm);
    EXPECT_EQ(eng_start_master, 2);
    EXPECT_EQ(clicks(), 1u) << "ARM clicks only from off";

    token(kStarter[0], 1.0);
    token(kStarter[1], 0.5);
    keys();
    press(kAbort);
    EXPECT_EQ(clicks(), 1u);
    EXPECT_EQ(keys(), "t1") << "0.5 is neither on nor off";
    // Off and unpowered: silent, but engaged starters and the valves are still dealt with.
    dc_ess_powered = 0;
    token(kStarter[0], 1.0);
    token(kStarter[1], 1.0);
    eng_start_valve[1] = 1;
    press(kAbort);
    EXPECT_EQ(clicks(), 0u);
    EXPECT_EQ(keys(), "t1 t2");
    EXPECT_EQ(eng_start_valve[1] + eng_start_master, 0);
}

// Lamps and the valve supervision: an open valve shuts at once without DC ESS, duct air or the
// master armed, else only above 40 % N2; the frame never opens one.
TEST_F(EngStart, LampsAndSupervisionFollowOnlyTheirOwnConditions) {
    struct Case { u8 master, dc_normal, dc_ess, duct; u16 pack; f64 starter, n2; bool amber, open1; u8 valve; } cases[] = {
        {2, 1, 1, 1, 5, 1.0, 20.0, true, true, 1},  {2, 0, 1, 1, 5, 1.0, 20.0, false, true, 1},
        {2, 1, 1, 1, 0, 1.0, 44.9, false, true, 0}, {2, 1, 0, 1, 5, 1.0, 20.0, true, false, 0},
        {1, 1, 1, 1, 5, 0.5, kNaN, true, false, 0},
    };
    for (const Case& c : cases) {
        eng_start_master = c.master, dc_normal_powered = c.dc_normal, dc_ess_powered = c.dc_ess;
        air_duct_supply[0] = c.duct, air_pack_valve[1] = c.pack, eng_start_valve[0] = 1;
        token(kStarter[0], c.starter);
        token(kN2[0], c.n2);
        frames(1);
        const auto what = ::testing::Message() << c.n2 << " " << int(c.master) << int(c.dc_ess) << int(c.duct);
        EXPECT_TRUE(shown(PushLamp1) == c.amber && shown(PushLamp2) == c.amber) << what;
        EXPECT_TRUE(shown(OpenLamp1) == c.open1 && !shown(OpenLamp2)) << what;
        EXPECT_TRUE(shown(MasterUp) == (c.master != 0) && shown(MasterDown) == (c.master == 0)) << what;
        EXPECT_EQ(eng_start_valve[0], c.valve) << what;
        EXPECT_EQ(eng_start_valve[1], 0) << what;
    }
}

TEST_F(EngStart, HpLeversOpenLeftShutRightWithTheKnobLampOnlyWhenOpen) {
    const char* kLever[2] = {"ketravin hp_lev_1_kr60", "ketravin hp_lev_2_kr60"};
    for (const char* g : kLever) place(g);
    struct Case { size_t lever; u32 flags; u8 dc_ess, fire, open; bool lamp; } cases[] = {
        {0, MouseLeftSingle, 1, 1, 1, true},   {0, MouseLeftSingle, 0, 1, 1, false},
        {0, MouseRightSingle, 1, 1, 0, false}, {1, MouseLeftSingle | MouseRightSingle, 1, 1, 0, false},
    };
    for (const Case& c : cases) {
        dc_ess_powered = c.dc_ess, warn_fire[c.lever] = c.fire;
        click(kLever[c.lever], 17, 30, c.flags);
        frames(1);
        const char* g = kLever[c.lever];
        EXPECT_EQ(eng_hp_valve_open[c.lever] + clicks(), c.open) << c.lever << " " << c.flags << ": silent";
        EXPECT_TRUE(hidden(element(g, 0)) == (c.open == 1) && hidden(element(g, 1)) == (c.open != 1));
        EXPECT_EQ(!hidden(element(g, 2)), c.lamp) << c.lever << " " << int(c.dc_ess);
    }
}
