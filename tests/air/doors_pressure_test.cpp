// Doors, cabin pressure controller and indicators through the host: the DOORS caution and its
// test, door clicks on the ground and in flight with the host's door model, the ALT knob's
// ceiling, outflow valves, the turning image, the dump switch kept in step, differential
// pressure, cabin vertical speed and EXCESS ALT, with hostile host values.
#include "air/air_keys.h"
#include "air/air_pressu.h"
#include "air/state.h"
#include "host/host_model.h"
#include "hydraulics/state.h"
#include "systems/systems_keys.h"
#include "tests/air/air_fixture.h"
#include "electrical/state.h"

namespace {
const char* kDoors = "ketravin doors_kr60";
const char* kCabAlt = "ketravin air_pressu_cabalt_kr60";
const char* kSet1 = "ketravin air_pressu_set_s1_kr60";
const char* kValves1 = "ketravin air_pvalvepos_s1_kr60";
const char* kValves2 = "ketravin air_pvalvepos_s2_kr60";
constexpr u32 kOnGround = 60, kAltitude = 74, kExit1 = 866, kExit2 = 867, kExit3 = 868, kCabin = 981,
              kTarget = 982, kCabinVs = 983, kDump = 985;
constexpr const char* kExitPct = "(A:Exit open:1,percent)";
enum { LCabinFwd = 2, LCabinExit3 = 5, LCabinAft = 10, RCabinAft = 15, FaultDot = 21, TurningImage = 3, ValveFwdPointer = 5 };
constexpr i32 kTest[2] = {90, 200}, kSelectLamp[2] = {10, 37}, kExitLamp[2] = {10, 73}, kHydLamp[2] = {10, 191};
}  // namespace

class Doors : public AirTest {
protected:
    void SetUp() override {
        AirTest::SetUp();
        place(kDoors);
    }
    void doors(f64 e3, f64 e1, f64 e2, f64 pct) {
        token(kExit3, e3);
        token(kExit1, e1);
        token(kExit2, e2);
        host().set_calc(kExitPct, pct);
    }
};

TEST_F(Doors, CautionFaultDotAndTestLatch) {
    const struct { f64 e3, e1, e2, pct; u8 test, warn; bool dot, group, exit, exit3; } cases[] = {
        {0.05, 0.05, 0, 0, 0, 0, true, true, false, true},  // S exactly 0.1
        {0, 0, 0, 0.1, 0, 0, false, false, false, false},   // the exit lamps want more than 0.1
        {0, 0, 0, kNaN, 0, 0, false, false, false, false},  // a percentage that is no number keeps the last
        {0, 0, 0, 0.1000001, 0, 1, false, false, true, false},
        {0, 0, 0, kNaN, 0, 1, false, false, true, false},   // ... open as well as closed
        {0, 0, 0, 0, 1, 1, true, true, true, true},      // test with every value 0
        {0, 0.05, 0, 0, 1, 0, true, true, true, true},   // test with a door barely open
        {0, 0.1, 0, 0, 0, 0, true, true, false, false},  // 0.1 lights the fault dot
        {0, 0.11, 0, 0, 0, 1, false, true, false, false},
    };
    for (const auto& c : cases) {
        doors(c.e3, c.e1, c.e2, c.pct);
        doors_test = c.test;
        frames(1);
        EXPECT_EQ(warn_doors, c.warn) << c.e1 << " " << c.pct;
        EXPECT_EQ(shown(kDoors, FaultDot), c.dot) << c.e1;
        EXPECT_EQ(shown(kDoors, LCabinAft), c.group) << c.e1;
        EXPECT_EQ(shown(kDoors, LCabinFwd) + shown(kDoors, RCabinAft), c.exit ? 2 : 0) << c.pct;
        EXPECT_EQ(shown(kDoors, LCabinExit3), c.exit3) << c.e3;
    }
    dc_ess_powered = 0;
    frames(1);
    EXPECT_FALSE(shown(kDoors, LCabinAft)) << "dark without power; the caution goes on";
    EXPECT_EQ(warn_doors, 1);

    doors_test = 0;
    for (const auto& [power, after] : {std::pair{1, 1}, {1, 0}, {0, 0}}) {
        dc_ess_powered = u8(power);
        click(kDoors, kTest[0], kTest[1]);
        EXPECT_EQ(doors_test, after);
    }
    // The door lamps stand in two columns, at the left edge and 108 pixels in.
    for (size_t i = 1; i <= 20; ++i) EXPECT_EQ(element(kDoors, i)->x, i <= 10 ? 0 : 108) << i;
}

// On the ground every clickable lamp toggles its door through the host's model; in flight a click
// acts only on a door read as open, and the hydraulic group wants the yellow circuit.
TEST_F(Doors, ClicksOnTheGroundAndInFlight) {
    hyd_avail[2] = 1;
    token(kOnGround, 1.0);
    frames(1);
    click(kDoors, kSelectLamp[0], kSelectLamp[1]);
    frames(1);
    EXPECT_EQ(key_ids(), (std::vector<u32>{key_exit_toggle, key_exit_select}));
    EXPECT_EQ(doors_exit_open_pct, 100.0);
    EXPECT_EQ(host().token(kExit3), 0.0) << "the pair leaves token 868 alone";
    click(kDoors, kExitLamp[0], kExitLamp[1]);
    click(kDoors, kHydLamp[0], kHydLamp[1]);
    EXPECT_TRUE(host().token(kExit3) == 1.0 && host().token(kExit1) == 1.0);
    new_keys();

    struct Case {
        f64 ground, e3, e1, e2, pct;
        u8 yellow;
        i32 x, y;
        std::vector<u32> sent;
    };
    const std::vector<Case> cases = {
        {0.0, 0, 0, 0, 0.1, 1, kSelectLamp[0], kSelectLamp[1], {}},  // exactly 0.1 reads closed
        {0.0, 0, 0, 0, 0.1, 1, 120, 73, {}},
        {0.0, 0, 0, 0, 0.1000001, 1, kSelectLamp[0], kSelectLamp[1], {key_exit_toggle, key_exit_select}},
        {0.0, 0, 0, 0, 0.2, 1, 120, 73, {key_exit_toggle, key_exit_select}},
        {0.5, 0.01, 0, 0, 0, 1, kExitLamp[0], kExitLamp[1], {key_exit_toggle}},
        {0.0, 0, 0, 0.5, 0, 1, kHydLamp[0], kHydLamp[1], {}},  // lit by 867, yet closed by 866
        {1.0, 0, 0, 0, 0, 0, kHydLamp[0], kHydLamp[1], {}},  // no yellow circuit
        {1.0, 0, 0, 0, 0, 3, 120, 166, {key_exit_event_10356}},
    };
    for (const Case& c : cases) {
        token(kOnGround, c.ground);
        doors(c.e3, c.e1, c.e2, c.pct);
        hyd_avail[2] = c.yellow;
        frames(1);
        new_keys();
        click(kDoors, c.x, c.y);
        std::vector<u32> ids;
        for (const KeyLogEntry& k : new_keys()) {
            ids.push_back(k.id);
            EXPECT_TRUE(k.value == 0 && !k.sent) << "value 0, triggered";
        }
        EXPECT_EQ(ids, c.sent) << c.x << "," << c.y << " ground " << c.ground;
    }
}

class Pressure : public AirTest {};

TEST_F(Pressure, AltKnobStopsAt12000AndEveryAreaTouchesTheTurningImage) {
    place(kSet1);
    token(kTarget, 11800.0);
    for (int n = 0; n < 4; ++n) click(kSet1, 70, 200, MouseLeftSingle | MouseRepeat);
    EXPECT_EQ(host().token(kTarget), 12000.0);
    token(kTarget, 11999.5);
    click(kSet1, 70, 200);
    EXPECT_EQ(host().token(kTarget), 12099.5);
    for (int n = 0; n < 3; ++n) click(kSet1, 10, 200, MouseLeftSingle | MouseRepeat);
    EXPECT_EQ(host().token(kTarget), 11799.5) << "no lower limit on the module's side";
    size_t events = 0;
    for (const KeyLogEntry& k : new_keys()) {  // each step one triggered event with the value 0
        EXPECT_TRUE((k.id == key_press_target_inc || k.id == key_press_target_dec) && k.value == 0 && !k.sent);
        ++events;
    }
    EXPECT_EQ(events, 6u);
    frames(1);
    EXPECT_FLOAT_EQ(press_alt_dial_deg, 11799.5f * 0.0225f);
    for (f64 none : {kInf, -kInf}) {  // an infinite target leaves the dial, as one that is no number
        token(kTarget, none);
        frames(1);
        EXPECT_FLOAT_EQ(press_alt_dial_deg, 11799.5f * 0.0225f) << none;
    }
    token(kTarget, 11799.5);

    // Hold: a touch before tick 100 holds to 150; a second one before 140 holds to 191.
    for (const auto& [second, hidden_at] : {std::pair{false, 150u}, {true, 191u}}) {
        frames(u64(99 - host().token(1) + (second ? 200 : 0)));  // the next frame has tick 100
        click(kSet1, 120, 50);
        u32 gone = 0;
        for (int f = 0; f < 120 && !gone; ++f) {
            frames(1);
            const u32 tick = u32(host().token(1)) - (second ? 200 : 0);
            if (second && tick == 139) click(kSet1, 120, 50);
            if (hidden(element(kSet1, TurningImage))) gone = tick;
        }
        EXPECT_EQ(gone, hidden_at);
    }
    // Both halves of the ALT knob touch the panel too, whatever they send.
    for (const auto& [x, y] : {std::pair{10, 200}, {70, 200}, {120, 50}}) {
        frames(60);
        ASSERT_TRUE(hidden(element(kSet1, TurningImage)));
        click(kSet1, x, y);
        frames(1);
        EXPECT_FALSE(hidden(element(kSet1, TurningImage))) << x;
    }
    press_baro_setting_inhg = 30.9f;  // 22.5 degrees an inch from 29.9
    frames(1);
    EXPECT_NEAR(press_baro_dial_deg, 22.5f, 1e-4f);
    press_baro_setting_inhg = kNaN;  // a setting that is no number leaves the dial unrotated
    frames(1);
    EXPECT_EQ(press_baro_dial_deg, 0.0f);
}

// Each valve moves one step a frame and stops at its ends; its pointer rests at y 65 (SHUT) and
// rises a pixel a step, to y 20 fully open.
TEST_F(Pressure, OutflowValvesTakeFortyFiveFrames) {
    for (const char* g : {kValves1, kValves2}) place(g);
    token(kOnGround, 0.0);
    const auto top = [&](const char* g, size_t pos) {
        const auto* e = reinterpret_cast<const SliderElement*>(element(g, pos));
        return e->head.y + e->scale_y * drawn(g, pos).y;
    };
    const struct { i32 row_y; u8 ground; u64 n; u8 fwd, aft; } steps[] = {
        {20, 0, 50, 45, 0},  // AFT CLOSED: the forward valve opens in 45 frames and stops there
        {60, 0, 44, 1, 44},  // FWD CLOSED, one frame short
        {60, 0, 1, 0, 45},
        {40, 0, 3, 3, 45},   // centred: both open
        {20, 0, 5, 8, 40},   // AFT CLOSED again: the open aft valve closes a step a frame
        {40, 1, 45, 0, 0},   // on the ground: inactive, both shut
    };
    for (const auto& s : steps) {
        click(kValves1, 20, s.row_y);
        click(kValves2, 80, s.row_y);
        token(kOnGround, s.ground);
        frames(s.n);
        SCOPED_TRACE(testing::Message() << "row " << s.row_y << " ground " << int(s.ground));
        for (const auto* v : {air_outflow_pos_s1, air_outflow_pos_s2}) {
            EXPECT_EQ(v[1], s.fwd);
            EXPECT_EQ(v[0], s.aft);
        }
        for (const char* g : {kValves1, kValves2}) {
            EXPECT_EQ(top(g, ValveFwdPointer), 65.0 - s.fwd) << g;
            EXPECT_EQ(top(g, ValveFwdPointer + 1), 65.0 - s.aft) << g;
        }
    }
}

// The dump decision kept in step with the host's switch, which our host flips at once.
TEST_F(Pressure, DumpConvergesAndAnyDoorValueDumps) {
    for (const char* g : {kValves1, kCabAlt}) place(g);
    token(kOnGround, 0.0);
    const struct { f64 exit1, exit2, exit3, host_dump; u8 dump; size_t toggles; } steps[] = {
        {0.0, 0.0, 0.0, 1.0, 0, 1},     // controllers active, doors shut: held off, one toggle
        {0.0, 0.0001, 0.0, 0.0, 1, 1},  // a door value however small dumps
        {0.0, 0.0001, 0.0, 0.5, 1, 0},  // a switch neither 0 nor 1 gets nothing
        {0.0, 0.0, 0.0, 0.5, 0, 0},
        {0.25, 0.0, 0.25, 0.0, 1, 1},   // the door values add up
    };
    for (const auto& s : steps) {
        token(kExit1, s.exit1);
        token(kExit2, s.exit2);
        token(kExit3, s.exit3);
        token(kDump, s.host_dump);
        new_keys();
        frames(1);
        i32 value = -1;
        EXPECT_EQ(sent(key_press_dump_toggle, &value), s.toggles);
        EXPECT_TRUE(!s.toggles || value == 0) << "toggled with the value 0";
        frames(5);
        const auto keys = key_ids();
        EXPECT_EQ(air_press_dump, s.dump) << s.exit1 << " " << s.exit2 << " " << s.exit3;
        EXPECT_EQ(keys.size(), 0u) << "converged";
        EXPECT_TRUE(!s.toggles || host().token(kDump) == f64(s.dump)) << s.exit2;
    }
}

TEST_F(Pressure, DifferentialPressureAndExcessAltitude) {
    for (const char* g : {kCabAlt, "ketravin air_pressu_diffpress_kr60", "ketravin air_pressu_warn_xsalt_kr60"})
        place(g);
    const struct { u8 power; f64 aircraft, cabin, psi; u8 excess; } cases[] = {
        {1, 21000, 0, 8.001, 0},
        {1, 31000, 8000, 7.1645, 0},
        {1, 1000, 9300, -8300 * 0.000381, 0},  // cabin above the aircraft: the needle shows 0
        {1, 30000, 9300.5, 20699.5 * (0.000381 - 9000 * 6.95e-9), 1},
        {1, kNaN, 9300.5, 20699.5 * (0.000381 - 9000 * 6.95e-9), 1},  // no altitude: the last difference
        {0, 30000, 12000, 0, 0},     // no power: 0 psi, dark, no CAB PRESS
        {1, kNaN, 2000, 0, 0},
        {1, 1e300, kNaN, kNaN, 0},  // the cabin keeps its last sample; psi stays finite
    };
    for (const auto& c : cases) {
        dc_ess_powered = c.power;
        token(kAltitude, c.aircraft);
        token(kCabin, c.cabin);
        frames(2);
        if (!std::isnan(c.psi)) {
            EXPECT_NEAR(air_cabin_diff_psi, c.psi, 1e-5) << c.aircraft;
            EXPECT_NEAR(air_cabin_diff_needle, std::max(c.psi, 0.0) * 1000, 1e-2) << c.aircraft;
        }
        EXPECT_TRUE(std::isfinite(air_cabin_diff_psi) && std::isfinite(air_cabin_diff_needle));
        EXPECT_EQ(air_cabin_alt_excess, c.excess) << c.cabin;
        EXPECT_EQ(warn_cab_press, c.excess);
        EXPECT_EQ(shown("ketravin air_pressu_warn_xsalt_kr60", 0), c.excess == 1);
    }
    EXPECT_EQ(air_cabin_alt_ft, 2000.0f);
}

TEST_F(Pressure, CabinVerticalSpeed) {
    place("ketravin air_pressu_vsi_kr60");
    const struct { f64 v; u8 dump; i16 fpm; } cases[] = {{20.5, 0, 2000}, {-20.5, 0, -2000}, {-7.259, 0, -725},
        {0.019, 0, 1}, {kNaN, 0, 1}, {kInf, 0, 2000}, {-kInf, 0, -2000}, {12, 1, 0}};
    for (const auto& c : cases) {
        air_press_dump = c.dump;
        token(kCabinVs, c.v);
        frames(1);
        EXPECT_EQ(air_cabin_vs_fpm, c.fpm) << c.v;
    }
}
