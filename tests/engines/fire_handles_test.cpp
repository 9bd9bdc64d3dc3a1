// The engine fire panel through the host: the handle transition table, the valves and the tank
// switch each frame, one discharge per bottle with its key event and fire state, power, the bell
// cut-out's latch, the plates, the panel's reversed lighting beside the legends' common one.
#include <string>

#include "electrical/state.h"
#include "engines/state.h"
#include "fuel/state.h"
#include "lighting/state.h"
#include "tests/host_fixture.h"
#include "warnings/state.h"

namespace {
const char* kFire = "ketravin engfire_levers_kr60";
constexpr u32 kDischarge = 0x10494;
struct Xy { i32 x, y; };
// Per engine: handle, area below, AGENT 1, AGENT 2.
constexpr Xy kHandle[2] = {{130, 120}, {270, 120}}, kBelow[2] = {{130, 260}, {270, 260}},
             kAgent1[2] = {{80, 280}, {220, 280}}, kAgent2[2] = {{185, 280}, {325, 280}};
constexpr Xy kCancel{205, 230};
enum { Overlay = 1, TopPlateLit1 = 3, BasePlateLit1 = 6, Bar1 = 16 };
}  // namespace

class FireHandles : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kFire);
        host().window_set(10110, true);
        dc_ess_powered = 1;
    }
    void press(Xy p) { click(kFire, p.x, p.y); }
    int discharges() {
        int n = 0;
        for (const KeyLogEntry& k : new_keys()) n += k.id == kDischarge && k.value == 0 && k.sent;
        return n;
    }
};

TEST_F(FireHandles, HandleAreasFollowTheTransitionTable) {
    const Xy* areas[4] = {kHandle, kBelow, kAgent1, kAgent2};
    const u8 next[5][4] = {{1, 0, 0, 0}, {0, 2, 1, 1}, {0, 2, 3, 4}, {0, 2, 3, 3}, {0, 2, 4, 4}};
    for (size_t eng = 0; eng < 2; ++eng)
        for (u8 from = 0; from < 5; ++from)
            for (size_t a = 0; a < 4; ++a) {
                fire_handle[0] = fire_handle[1] = 0;
                fire_handle[eng] = from;
                press(areas[a][eng]);
                EXPECT_EQ(fire_handle[eng], next[from][a]) << eng << " from " << int(from) << " area " << a;
                EXPECT_EQ(fire_handle[1 - eng], 0) << "the other handle stays";
            }
}

TEST_F(FireHandles, ValvesTankSwitchAndOneDischargePerBottle) {
    struct Step { size_t eng; const Xy* area; u8 power; u8 valves[4]; u8 tank[2]; u8 full[4]; int keys; u8 state[2]; } steps[] = {
        {0, kHandle, 1, {1, 1, 1, 1}, {1, 1}, {1, 1, 1, 1}, 0, {0, 0}},
        {0, kBelow,  1, {0, 0, 1, 1}, {0, 1}, {1, 1, 1, 1}, 0, {0, 0}},
        {0, kAgent1, 1, {0, 0, 1, 1}, {0, 1}, {0, 1, 1, 1}, 1, {2, 0}},
        {0, kBelow,  1, {0, 0, 1, 1}, {0, 1}, {0, 1, 1, 1}, 0, {2, 0}},
        {0, kAgent1, 1, {0, 0, 1, 1}, {0, 1}, {0, 1, 1, 1}, 0, {2, 0}},  // an empty bottle sends nothing
        {0, kBelow,  1, {0, 0, 1, 1}, {0, 1}, {0, 1, 1, 1}, 0, {2, 0}},
        {0, kAgent2, 1, {0, 0, 1, 1}, {0, 1}, {0, 0, 1, 1}, 1, {2, 0}},
        {1, kHandle, 0, {0, 0, 1, 1}, {0, 1}, {0, 0, 1, 1}, 0, {2, 0}},
        {1, kBelow,  0, {0, 0, 0, 0}, {0, 0}, {0, 0, 1, 1}, 0, {2, 0}},
        {1, kAgent2, 0, {0, 0, 0, 0}, {0, 0}, {0, 0, 1, 1}, 0, {2, 0}},  // no power: the bottle waits
        {1, nullptr, 1, {0, 0, 0, 0}, {0, 0}, {0, 0, 1, 0}, 1, {2, 2}},  // and goes when it returns
        {0, kHandle, 1, {1, 1, 0, 0}, {0, 0}, {0, 0, 1, 0}, 0, {2, 2}},  // stowed: valves open, tank shut
    };
    for (const Step& s : steps) {
        dc_ess_powered = s.power;
        if (s.area) press(s.area[s.eng]);
        frames(3);
        const size_t i = size_t(&s - steps);
        for (size_t v = 0; v < 4; ++v) EXPECT_EQ(hyd_pump_fire_valve[v], s.valves[v]) << "step " << i << " valve " << v;
        for (size_t b = 0; b < 4; ++b) {
            EXPECT_EQ(fire_eng_agent_full[b], s.full[b]) << "step " << i << " bottle " << b;
            EXPECT_EQ(hidden(element(kFire, Bar1 + b)), s.full[b] == 0) << "step " << i << " bar " << b;
        }
        EXPECT_TRUE(fuel_shutoff_valve_sw[0] == s.tank[0] && fuel_shutoff_valve_sw[1] == s.tank[1]) << "step " << i;
        EXPECT_EQ(discharges(), s.keys) << "step " << i;
        EXPECT_TRUE(fire_eng1_state == s.state[0] && fire_eng2_state == s.state[1]) << "step " << i;
    }
    // Pulled: the tank switch is shut again every frame.
    press(kHandle[0]), press(kBelow[0]);
    frames(1);
    fuel_shutoff_valve_sw[0] = 1;
    frames(1);
    EXPECT_EQ(fuel_shutoff_valve_sw[0], 0);
}

TEST_F(FireHandles, CutOutLatchesOnlyDuringAnEngineFire) {
    struct Step { u8 fire[3], aural, before, after; } steps[] = {
        {{0, 0, 0}, 0, 0, 0}, {{0, 0, 1}, 0, 0, 0}, {{1, 0, 0}, 0, 0, 1}, {{1, 0, 0}, 0, 1, 0},
        {{0, 1, 0}, 0, 0, 1}, {{0, 0, 0}, 0, 1, 0}, {{1, 1, 0}, 1, 0, 0}, {{1, 0, 0}, 1, 1, 0},
    };
    for (const Step& s : steps) {
        for (size_t i = 0; i < 3; ++i) warn_fire[i] = s.fire[i];
        mwp_aural_cancel = s.aural, fire_bell_cutout = s.before;
        press(kCancel);
        EXPECT_EQ(fire_bell_cutout, s.after) << int(s.fire[0]) << int(s.fire[1]) << int(s.fire[2]) << int(s.aural);
    }
}

TEST_F(FireHandles, PlatesFollowTheFireAndPowerAndTheLightingRunsReversed) {
    // Engine 1's images 2 to 8: guard lifted, plate lit at the top, handle pulled, plate unlit and
    // lit at the base, plate at AGENT 1, at AGENT 2.
    struct Plate { u8 handle, fire, power; const char* images; } plates[] = {
        {1, 1, 1, "1100000"}, {2, 1, 1, "0011100"}, {3, 1, 1, "0010010"}, {4, 1, 1, "0010001"},
        {2, 1, 0, "0011000"}, {0, 0, 1, "0000000"}, {0, 1, 1, "0100000"}, {1, 0, 1, "1000000"},
    };
    light_lamp_test = 1;  // the lamp test does not light them
    for (const Plate& p : plates) {
        fire_handle[0] = p.handle, warn_fire[0] = p.fire, dc_ess_powered = p.power;
        fire_eng_agent_full[0] = fire_eng_agent_full[1] = 0;
        frames(1);
        std::string images;
        for (size_t pos = 2; pos <= 8; ++pos) images += hidden(element(kFire, pos)) ? '0' : '1';
        EXPECT_EQ(images, p.images) << int(p.handle) << int(p.fire) << int(p.power);
    }
    // The two legend overlays run the common step (1 bright), each on its own zone.
    const char* kLoop = "ketravin loop_kr60";
    const char* kHp = "ketravin hp_lev_lum_big_kr60";
    place(kLoop), place(kHp);
    struct Light { u8 zone, bright; const char* fire; u8 zone3; const char* loop; const char* hp; } lights[] = {
        {1, 1, "L", 0, "B", "-"}, {1, 0, "B", 1, "L", "L"}, {0, 1, "-", 1, "-", "B"},
    };
    auto bits = [](const ElementHeader* e) {
        const std::string b = std::string(lit_luminous(e) ? "L" : "") + (lit_bright(e) ? "B" : "");
        return b.empty() ? std::string("-") : b;
    };
    for (const Light& l : lights) {
        light_zone[2] = light_zone[4] = l.zone, light_zone[3] = l.zone3, annunciator_bright = l.bright;
        frames(1);
        for (size_t pos : {size_t(Overlay), size_t(Bar1 + 3)}) EXPECT_EQ(bits(element(kFire, pos)), l.fire) << pos;
        EXPECT_TRUE(lit_bright(element(kFire, TopPlateLit1)) && !lit_luminous(element(kFire, 0)));
        EXPECT_TRUE(bits(element(kLoop, 0)) == l.loop && bits(element(kHp, 0)) == l.hp) << int(l.zone) << int(l.bright);
        EXPECT_FALSE(hidden(element(kLoop, 0)) || hidden(element(kHp, 0)));
    }
}
