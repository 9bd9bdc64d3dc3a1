// The engine start panel and the HP fuel levers through the host: the push conditions, the valve
// shut-off and starter cut-out at their exact speeds, the abort, the lamps, the silent controls,
// and host starter values that are neither on nor off.
#include <strings.h>

#include <cmath>
#include <vector>

#include "air/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "sound/recording.h"
#include "tests/host_fixture.h"
#include "warnings/state.h"

namespace {
const char* kStart = "ketravin eng_start_kr60";
const char* kSounds = "ketravin gpws_kr60";
constexpr u32 kStarter[2] = {563, 573}, kN1[2] = {624, 643}, kN2[2] = {625, 644};
constexpr u32 kToggle[2] = {0x102fc, 0x102fd};
enum { MasterDown = 1, MasterUp, PushLamp1, PushLamp2, OpenLamp1, OpenLamp2 };
const f64 kNaN = NAN, kInf = INFINITY;

struct Xy { i32 x, y; };
constexpr Xy kSelDown{60, 50}, kSelUp{100, 50}, kArm{80, 100}, kAbort{80, 130}, kPush[2] = {{20, 120}, {145, 120}};
}  // namespace

class EngStart : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kSounds);
        place(kStart);
        dc_ess_powered = dc_normal_powered = 1;
    }
    void press(Xy p) { click(kStart, p.x, p.y); }
    // Selector at `pos`, armed, packs shut, engine 1's duct with air.
    void ready(u8 pos) {
        eng_start_selector = pos;
        eng_start_master = 2;
        air_duct_supply[0] = air_duct_supply[1] = 1;
    }
    bool shown(size_t pos) { return !hidden(element(kStart, pos)); }
    size_t clicks() {
        size_t n = 0;
        const u64 end = sound_recording_count();
        for (u64 i = seen_; i < end; ++i) {
            SoundEvent e;
            if (sound_recording_event(i, &e) && e.call == SoundCall::Play && strcasecmp(e.name, "click") == 0) ++n;
        }
        seen_ = end;
        return n;
    }
    // "t" trigger, "s" send, per logged event of engine 1 / 2: "t1 s2".
    std::string keys() {
        std::string out;
        for (const KeyLogEntry& k : new_keys())
            for (int i = 0; i < 2; ++i)
                if (k.id == kToggle[i]) out += std::string(out.empty() ? "" : " ") + (k.sent ? "s" : "t") + char('1' + i);
        return out;
    }

private:
    u64 seen_ = 0;
};

TEST_F(EngStart, PushAcceptedOnlyWithEveryConditionAndOwnAirOrTheOtherEngineTurning) {
    struct Case {
        u8 selector, master;
        u16 pack0, pack1;
        u8 own_duct;
        f64 other_n1, starter;
        const char* keys;
        u8 valve;
    } cases[] = {
        {1, 2, 0, 0, 1, 0.0, 0.0, "t1", 1},     // START A, armed, packs shut, own air
        {2, 2, 0, 0, 1, 0.0, 0.0, "", 0},       // CRANK: refused
        {5, 2, 0, 0, 1, 0.0, 0.0, "t1", 1},     // CONT RELIGHT AB works
        {1, 0, 0, 0, 1, 0.0, 0.0, "", 0},       // not armed
        {1, 1, 0, 0, 1, 0.0, 0.0, "", 0},       // only 2 or more counts as armed
        {1, 2, 1, 0, 1, 0.0, 0.0, "", 0},       // a pack valve still at 1
        {1, 2, 0, 0, 0, 10.0, 0.0, "", 0},      // no own air, other N1 exactly 10
        {1, 2, 0, 0, 0, 10.1, 0.0, "t1", 1},    // ... 10.1 accepted
        {1, 2, 0, 0, 0, kNaN, 0.0, "", 0},      // other N1 no reading
        {1, 2, 0, 0, 1, 0.0, 1.0, "", 1},       // starter already engaged: no event, valve still set
        {1, 2, 0, 0, 1, 0.0, 0.5, "", 1},       // starter neither off nor on: nothing sent
        {1, 2, 0, 0, 1, 0.0, kNaN, "", 1},
    };
    for (const Case& c : cases) {
        ready(c.selector);
        eng_start_master = c.master;
        air_pack_valve[0] = c.pack0, air_pack_valve[1] = c.pack1;
        air_duct_supply[0] = c.own_duct;
        eng_start_valve[0] = 0;
        token(kN1[1], c.other_n1);
        token(kStarter[0], c.starter);
        new_keys();
        clicks();
        press(kPush[0]);
        EXPECT_EQ(keys(), c.keys) << int(c.selector) << " " << c.other_n1 << " " << c.starter;
        EXPECT_EQ(eng_start_valve[0], c.valve) << int(c.selector) << " " << c.other_n1;
        EXPECT_EQ(eng_start_valve[1], 0);
        EXPECT_EQ(clicks(), 0u) << "the push is silent";
    }
    // Engine 2 mirrors: its own duct is the right one, the other engine is engine 1.
    ready(1);
    air_duct_supply[1] = 0;
    token(kN1[0], 10.1);
    token(kStarter[1], 0.0);
    press(kPush[1]);
    EXPECT_EQ(keys(), "t2");
    EXPECT_EQ(eng_start_valve[1], 1);
}

TEST_F(EngStart, ValveShutsAboveFortyAndTheCutOutActsOnlyAtStartAOrB) {
    struct Case {
        u8 selector;
        f64 n2;
        u8 valve;
        const char* keys;  // in the frame after the push
    } cases[] = {
        {1, 40.0, 1, ""},   {1, 40.1, 0, "s1"}, {0, 40.1, 0, "s1"}, {3, 40.1, 0, ""},
        {4, 44.0, 0, ""},   {1, kNaN, 1, ""},   {1, kInf, 0, "s1"},
    };
    for (const Case& c : cases) {
        ready(c.selector);
        token(kStarter[0], 0.0);
        token(kN2[0], 20.0);
        press(kPush[0]);
        frames(1);
        new_keys();
        ASSERT_EQ(host().token(kStarter[0]), 1.0);
        token(kN2[0], c.n2);
        frames(1);
        EXPECT_EQ(eng_start_valve[0], c.valve) << int(c.selector) << " " << c.n2;
        EXPECT_EQ(keys(), c.keys) << int(c.selector) << " " << c.n2;
        press(kAbort);
        frames(1);
    }
}

TEST_F(EngStart, CutOutRepeatsUntilTheHostReportsTheStarterOff) {
    ready(1);
    token(kN2[0], 41.0);
    token(kStarter[0], 1.0);
    eng_start_valve[0] = 0;
    // A host that ignores the toggle: the cut-out is sent on every frame.
    for (int f = 0; f < 3; ++f) {
        frames(1);
        token(kStarter[0], 1.0);
    }
    EXPECT_EQ(keys(), "s1 s1 s1");
    token(kStarter[0], 0.0);
    frames(2);
    EXPECT_EQ(keys(), "");
}

TEST_F(EngStart, SupervisionShutsAtOnceWithoutPowerAirOrMaster) {
    struct Case { u8 dc_ess, duct, master, valve_after; } cases[] = {
        {1, 1, 2, 1}, {0, 1, 2, 0}, {1, 0, 2, 0}, {1, 1, 0, 0}, {1, 1, 1, 0},
    };
    token(kN2[0], 20.0);
    for (const Case& c : cases) {
        ready(1);
        eng_start_valve[0] = 1;
        dc_ess_powered = c.dc_ess, air_duct_supply[0] = c.duct, eng_start_master = c.master;
        frames(1);
        EXPECT_EQ(eng_start_valve[0], c.valve_after) << int(c.dc_ess) << int(c.duct) << int(c.master);
        EXPECT_EQ(eng_start_valve[1], 0) << "never opened by the frame";
    }
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
    EXPECT_EQ(eng_start_master, 2);
    EXPECT_EQ(clicks(), 1u);
    press(kArm);
    EXPECT_EQ(clicks(), 0u) << "ARM while armed";

    // Abort while armed: click; engaged starters toggled off through trigger; valves cleared.
    token(kStarter[0], 1.0);
    token(kStarter[1], 0.5);
    eng_start_valve[0] = eng_start_valve[1] = 1;
    new_keys();
    press(kAbort);
    EXPECT_EQ(clicks(), 1u);
    EXPECT_EQ(keys(), "t1") << "0.5 is neither on nor off";
    EXPECT_EQ(eng_start_master, 0);
    // Abort while off and unpowered: silent, but the starters and valves are still dealt with.
    dc_ess_powered = 0;
    token(kStarter[0], 1.0);
    token(kStarter[1], 1.0);
    eng_start_valve[1] = 1;
    press(kAbort);
    EXPECT_EQ(clicks(), 0u);
    EXPECT_EQ(keys(), "t1 t2");
    EXPECT_EQ(eng_start_valve[1], 0);
}

TEST_F(EngStart, LampsFollowTheirOwnConditions) {
    struct Case {
        u8 master, dc_normal, dc_ess;
        u16 pack1;
        f64 starter, n2;
        bool push_lamps, open1;
    } cases[] = {
        {2, 1, 1, 5, 1.0, 20.0, true, true},   {2, 0, 1, 5, 1.0, 20.0, false, true},
        {2, 1, 1, 0, 1.0, 44.9, false, true},  {0, 1, 1, 5, 1.0, 45.0, false, false},
        {2, 1, 0, 5, 1.0, 20.0, true, false},  {2, 1, 1, 5, 0.5, 20.0, true, false},
        {1, 1, 1, 5, kNaN, kNaN, true, false},
    };
    for (const Case& c : cases) {
        eng_start_master = c.master, dc_normal_powered = c.dc_normal, dc_ess_powered = c.dc_ess;
        air_pack_valve[1] = c.pack1;
        token(kStarter[0], c.starter);
        token(kN2[0], c.n2);
        frames(1);
        EXPECT_EQ(shown(PushLamp1), c.push_lamps) << c.n2 << " " << int(c.master);
        EXPECT_EQ(shown(PushLamp2), c.push_lamps);
        EXPECT_EQ(shown(OpenLamp1), c.open1) << c.n2 << " " << c.starter;
        EXPECT_FALSE(shown(OpenLamp2));
        EXPECT_EQ(shown(MasterUp), c.master != 0);
        EXPECT_EQ(shown(MasterDown), c.master == 0);
    }
}

TEST_F(EngStart, HpLeversOpenLeftShutRightWithTheKnobLampOnlyWhenOpen) {
    const char* kLever[2] = {"ketravin hp_lev_1_kr60", "ketravin hp_lev_2_kr60"};
    for (const char* g : kLever) place(g);
    struct Case {
        size_t lever;
        u32 flags;
        u8 dc_ess, fire, open;
        bool lamp;
    } cases[] = {
        {0, MouseLeftSingle, 1, 1, 1, true},   {0, MouseLeftSingle, 0, 1, 1, false},
        {0, MouseRightSingle, 1, 1, 0, false}, {1, MouseLeftSingle | MouseRightSingle, 1, 1, 0, false},
        {1, MouseLeftSingle, 1, 0, 1, false},  {1, MouseLeftSingle, 1, 1, 1, true},
    };
    for (const Case& c : cases) {
        dc_ess_powered = c.dc_ess;
        warn_fire[c.lever] = c.fire;
        new_keys();
        click(kLever[c.lever], 17, 30, c.flags);
        frames(1);
        EXPECT_EQ(eng_hp_valve_open[c.lever], c.open) << c.lever << " " << c.flags;
        EXPECT_EQ(hidden(element(kLever[c.lever], 0)), c.open == 1);
        EXPECT_EQ(hidden(element(kLever[c.lever], 1)), c.open != 1);
        EXPECT_EQ(!hidden(element(kLever[c.lever], 2)), c.lamp) << c.lever << " " << int(c.dc_ess);
        EXPECT_EQ(clicks(), 0u);
    }
    for (const char* g : kLever)
        for (size_t e = 0; e < 2; ++e) EXPECT_FALSE(lit_luminous(element(g, e)) || lit_bright(element(g, e)));
}
