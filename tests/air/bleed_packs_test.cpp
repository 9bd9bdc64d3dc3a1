// Bleed air, its dials and the packs through the host: frame-counted rates, the cross-bleed
// valve and the ducts in either gauge order, ground air, the MANIFOLD FAULT latch, the pack
// valves with their FAULT lamps, flow, temperatures and the air-conditioning sound.
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "air/state.h"
#include "apu/state.h"
#include "engines/state.h"
#include "tests/air/air_fixture.h"
#include "electrical/state.h"

namespace {
const char* kApuSw = "ketravin air_apugndsw_kr60";
const char* kHp1 = "ketravin air_engsw_lh_kr60";
const char* kBleed1 = "ketravin air_bleedvalve_lh_kr60";
const char* kXbleed = "ketravin air_xbleed_kr60";
const char* kBleedGauges[] = {kApuSw, kHp1, "ketravin air_engsw_rh_kr60", kBleed1, "ketravin air_bleedvalve_rh_kr60",
                              kXbleed};
const char* kPackSw1 = "ketravin air_packsw_lh_kr60";
const char* kPack1 = "ketravin air_pack_lh_kr60";
const char* kRamAir = "ketravin air_ramair_kr60";
constexpr u32 kN2[2] = {625, 644};
constexpr u32 kTat = 350;
enum { XbleedFault = 2, BleedLampFault = 4, PackSwFault = 3, PackValveTemp = 5 };
constexpr u8 kAuto = 2, kOpen = 100;
}  // namespace

class Bleed : public AirTest {
protected:
    void place_bleed(bool reverse) {
        for (const char* g : kBleedGauges) place(g);
        host().set_reverse_order(reverse);
    }
    void engine(size_t e, f64 n2) {
        eng_hp_valve_open[e] = 1;
        token(kN2[e], n2);
    }
};
class BleedOrder : public Bleed, public ::testing::WithParamInterface<bool> {};

// APU air reaches the left duct at once; the cross-bleed valve needs 96 frames, and the right
// duct has air in the frame it is fully open, not before.
TEST_P(BleedOrder, ApuAirCrossesOnlyAFullyOpenValve) {
    place_bleed(GetParam());
    apu_running = 1;
    air_apu_bleed_sw = kAuto;
    u64 first = 0, open_at = 0;
    for (u64 f = 1; f <= 120 && !open_at; ++f) {
        frames(1);
        if (!first && air_duct_supply[0] == 1) first = f;
        if (air_xbleed_valve == kOpen) open_at = f;
        EXPECT_TRUE(open_at || air_duct_supply[1] == 0) << f;
        EXPECT_TRUE(!first || open_at || shown(kXbleed, XbleedFault)) << f;
    }
    EXPECT_LE(first, 2u);
    EXPECT_EQ(open_at - first, 95u) << "96 frames of travel";
    EXPECT_EQ(air_duct_supply[1], 1);
    EXPECT_FALSE(shown(kXbleed, XbleedFault));
    for (int n = 0; n < 2; ++n) click(kXbleed, 10, 90);  // CLOSE: shut in 96 frames too
    u64 shut_at = 0;
    for (u64 f = 1; f <= 120 && !shut_at; ++f) {
        frames(1);
        if (air_xbleed_valve == 0) shut_at = f;
        EXPECT_EQ(air_duct_supply[1], 0) << f;
    }
    EXPECT_EQ(shut_at, 96u);
    // The knob stops at CLOSE and at O.
    for (const auto& [x, sel] : {std::pair{10, 0}, {50, 1}, {50, 2}, {50, 3}, {50, 3}, {10, 2}}) {
        click(kXbleed, x, 90);
        EXPECT_EQ(air_xbleed_sel, sel) << x;
    }
}

// HP port at N2 50: pressure 400 after 80 frames, temperature 1500 after 300; at N2 60 the AUTO HP
// valve shuts and the LP port carries on; without a source both fall, 1420 left after 80 frames.
TEST_P(BleedOrder, EngineBleedRatesCountFrames) {
    place_bleed(GetParam());
    air_xbleed_sel = 0;
    engine(0, 50.0);
    u64 f = 0;
    while (air_bleed_press[0] == 0 && f < 5) frames(1), ++f;
    EXPECT_EQ(air_bleed_press[0], 5);
    EXPECT_EQ(air_bleed_temp[0], 5) << "both rise from the same frame";
    frames(78);
    EXPECT_EQ(air_bleed_press[0], 395);
    EXPECT_EQ(air_bleed_temp[0], 395);
    frames(1);
    EXPECT_EQ(air_bleed_press[0], 400);
    frames(220);
    EXPECT_EQ(air_bleed_temp[0], 1500);
    EXPECT_TRUE(air_hp_valve[0] == kOpen && air_bleed_valve[0] == kOpen && air_duct_supply[0] == 1);

    token(kN2[0], 60.0);
    frames(2);
    EXPECT_EQ(air_hp_valve[0], 0);
    EXPECT_TRUE(air_eng_supply[0] == 1 && air_bleed_valve[0] == kOpen && air_duct_supply[0] == 1);
    EXPECT_EQ(air_duct_supply[1], 0) << "cross-bleed closed";

    eng_start_valve[0] = 1;  // an open start valve ends the HP source
    frames(GetParam() ? 81 : 80);  // the sources gauge runs last in reverse order
    EXPECT_EQ(air_bleed_press[0], 0);
    EXPECT_EQ(air_bleed_temp[0], 1420);
}
INSTANTIATE_TEST_SUITE_P(Orders, BleedOrder, ::testing::Bool());

// The HP port from N2 40 with the HP fuel valve open and the start valve shut; the LP port from
// N2 60 alone; APU air with the APU running and its switch at OPEN or AUTO.
TEST_F(Bleed, SourceThresholds) {
    place(kApuSw);
    apu_running = 1;
    const struct { f64 n2; u8 hp_open, start_valve, apu_sw, hp, lp, apu; } cases[] = {
        {39.99, 1, 0, 1, 0, 0, 100}, {40.0, 1, 0, 2, 1, 0, 100}, {40.0, 0, 0, 0, 0, 0, 0},
        {40.0, 1, 1, 0, 0, 0, 0},    {59.99, 1, 0, 0, 1, 0, 0},  {60.0, 0, 1, 0, 0, 1, 0},
        {kNaN, 1, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        token(kN2[1], c.n2);
        eng_hp_valve_open[1] = c.hp_open, eng_start_valve[1] = c.start_valve, air_apu_bleed_sw = c.apu_sw;
        frames(1);
        EXPECT_EQ(air_hp_source[1], c.hp) << c.n2 << " " << int(c.hp_open) << int(c.start_valve);
        EXPECT_EQ(air_lp_source[1], c.lp) << c.n2;
        EXPECT_EQ(air_apu_bleed, c.apu) << int(c.apu_sw);
    }
    // The APU branch's flow bar: in line with APU air, across the line without, dark unpowered.
    for (const auto& [running, power, bar] : {std::tuple{1, 1, "in"}, {0, 1, "across"}, {1, 0, "dark"}}) {
        apu_running = u8(running), dc_ess_powered = u8(power), air_apu_bleed_sw = 1;
        frames(2);
        const bool in = shown(kApuSw, 1), across = shown(kApuSw, 2);
        EXPECT_STREQ(in && across ? "both" : in ? "in" : across ? "across" : "dark", bar) << running << power;
    }
}

// Every switch and lever of the bleed, pack and pressurisation gauges shows the one image of its
// position from the next frame.
TEST_F(AirTest, LeverImagesFollowTheirSwitches) {
    const char* sel = "ketravin air_pressu_syselect_kr60";
    const char* valves[] = {"ketravin air_pvalvepos_s1_kr60", "ketravin air_pvalvepos_s2_kr60"};
    const char* rh[] = {"ketravin air_engsw_rh_kr60", "ketravin air_bleedvalve_rh_kr60", "ketravin air_packsw_rh_kr60"};
    for (const char* g : {kApuSw, kHp1, rh[0], kBleed1, rh[1], kPackSw1, rh[2], sel, valves[0], valves[1]}) place(g);
    // Gauge, x, then for each position its click y and the image index among the lever images.
    struct Lever { const char* g; i32 x; size_t first, count; std::vector<std::pair<i32, size_t>> positions; };
    const std::vector<Lever> levers = {
        {kApuSw, 30, 3, 3, {{30, 2}, {70, 0}, {50, 1}}},   // OPEN, CLOSE RESET, AUTO
        {kHp1, 30, 3, 3, {{30, 2}, {70, 0}, {50, 1}}},     // HIGH, CLOSE, AUTO
        {rh[0], 30, 3, 3, {{70, 0}, {30, 2}}},
        {kBleed1, 60, 1, 3, {{20, 2}, {60, 0}, {40, 1}}},  // OPEN, CLOSE RESET, A.
        {rh[1], 60, 1, 3, {{60, 0}, {20, 2}}},
        {kPackSw1, 60, 1, 2, {{10, 1}, {30, 0}}},          // AUTO, CLOSE
        {rh[2], 60, 1, 2, {{10, 1}, {30, 0}}},
        {valves[0], 20, 2, 3, {{20, 2}, {60, 0}, {40, 1}}},  // AFT CLOSED, FWD CLOSED, centre
        {valves[1], 80, 2, 3, {{60, 0}, {20, 2}}},
    };
    for (const Lever& l : levers)
        for (const auto& [y, image] : l.positions) {
            click(l.g, l.x, y);
            frames(1);
            std::string want(l.count, '0');
            want[image] = '1';
            std::string got;
            for (size_t i = 0; i < l.count; ++i) got += shown(l.g, l.first + i) ? '1' : '0';
            EXPECT_EQ(got, want) << l.g << " " << y;
        }
    for (const auto& [x, left] : {std::pair{70, false}, {30, true}}) {  // SYS SELECT: SYS 2, SYS 1
        click(sel, x, 70);
        frames(1);
        EXPECT_TRUE(shown(sel, 1) == left && shown(sel, 2) == !left) << x;
        EXPECT_EQ(air_press_sys_select, left ? 1 : 2) << x;
    }
}

TEST_F(Bleed, GroundAirShutsTheAutomaticBleedValvesAndFeedsBothDucts) {
    place_bleed(false);
    engine(0, 50.0);
    engine(1, 50.0);
    frames(100);
    ASSERT_EQ(air_bleed_press[1], 400);
    EXPECT_EQ(air_xbleed_valve, 0) << "both sides supplying: the automatic valve stays shut";
    air_ext_power_on = 1;
    frames(96);
    EXPECT_TRUE(air_bleed_valve[0] == 0 && air_bleed_valve[1] == 0);
    EXPECT_TRUE(air_bleed_press[0] == 0 && air_bleed_press[1] == 0);
    EXPECT_TRUE(air_duct_supply[0] == 1 && air_duct_supply[1] == 1 && air_xbleed_valve == kOpen);
}

// A side whose bleed valve is shut no longer supplies, though its engine runs: the automatic
// cross-bleed valve opens to feed it from the other side.
TEST_F(Bleed, AShutBleedValveOpensTheAutomaticCrossBleed) {
    place_bleed(false);
    engine(0, 50.0);
    engine(1, 50.0);
    frames(100);
    ASSERT_EQ(air_xbleed_valve, 0);
    air_bleed_valve_sw[1] = 0;  // down: shut
    frames(100);
    EXPECT_EQ(air_bleed_valve[1], 0);
    EXPECT_EQ(air_xbleed_valve, kOpen);
}

TEST_F(Bleed, ManifoldFaultLatchesWithPowerAndOnlyCloseResetClearsIt) {
    place_bleed(false);
    struct Step {
        u8 power;
        i32 x, y;
        u8 fault, sw;
    };
    const Step steps[] = {
        {0, 10, 50, 0, kAuto},  // the lamp without power: nothing
        {1, 10, 50, 1, kAuto},  // with power: raised
        {1, 60, 20, 1, 1},      // OPEN keeps it
        {1, 60, 40, 1, kAuto},  // A. keeps it
        {1, 60, 60, 0, 0},      // CLOSE RESET clears it
    };
    for (const Step& s : steps) {
        dc_ess_powered = s.power;
        click(kBleed1, s.x, s.y);
        frames(1);
        EXPECT_EQ(air_bleed_fault[0], s.fault) << s.x << "," << s.y;
        EXPECT_EQ(air_bleed_valve_sw[0], s.sw);
        EXPECT_EQ(shown(kBleed1, BleedLampFault), s.fault == 1);
    }
}

TEST_F(Bleed, DialsShowTheModelsLimitedAndParkWithoutPower) {
    const char* temp = "ketravin air_bleedtemp_lh_kr60";
    const char* press = "ketravin air_bleedpress_rh_kr60";
    place(temp), place(press);
    struct Case { u8 power; u16 t, p; f64 shown_t, shown_p; };
    for (const Case& c : {Case{1, 5000, 1000, 3000, 900}, Case{0, 1500, 400, 0, 0}}) {
        dc_ess_powered = c.power;
        air_bleed_temp[0] = c.t;
        air_bleed_press[1] = c.p;
        frames(1);
        EXPECT_EQ(drawn(temp, 1).value, c.shown_t);
        EXPECT_EQ(drawn(press, 1).value, c.shown_p);
    }
}

class Packs : public AirTest {
protected:
    void SetUp() override {
        AirTest::SetUp();
        air_duct_supply[0] = 1;
    }
    void open_left() { click(kPackSw1, 60, 10); }
};

// The left pack opening from its loaded state: FAULT while travelling, flow from 300, the start
// sound at 375, the loop 70 ticks later; closing it plays the stop sound below 375.
TEST_F(Packs, OpeningAndClosingWithTheirSounds) {
    for (const char* g : {"ketravin gpws_kr60", kPackSw1, kPack1, kRamAir}) place(g);
    token(kTat, 15.0 / 256.0);  // outside air at the packs' load temperature: no drift
    frames(1);
    sounds();
    open_left();
    u64 ent_tick = 0, loop_tick = 0;
    for (u64 f = 1; f <= 480; ++f) {
        frames(1);
        const u16 v = air_pack_valve[0];
        ASSERT_EQ(v, std::min<u64>(f, 400));
        EXPECT_EQ(shown(kPackSw1, PackSwFault), v < 400) << v;
        EXPECT_EQ(air_pack_flow[0], v >= 300 ? 40 : 0) << v;
        for (const std::string& s : sounds()) {
            if (s == "AIRCONDENT") ent_tick = f;
            if (s == "AIRCOND loop") loop_tick = f;
        }
    }
    EXPECT_EQ(ent_tick, 375u);
    EXPECT_EQ(loop_tick, 445u);
    EXPECT_NEAR(air_pack_turbine_temp[0], 15.0 + 81 * 0.05, 1e-3) << "warming only from valve 400";

    click(kPackSw1, 60, 30);
    std::vector<std::string> heard;
    for (u64 f = 1; f <= 30; ++f) {
        frames(1);
        for (const std::string& s : sounds())
            if (s == "AIRCONDSORT" || s == "AIRCOND stop") heard.push_back(s + " at " + std::to_string(air_pack_valve[0]));
    }
    EXPECT_EQ(heard, (std::vector<std::string>{"AIRCOND stop at 374", "AIRCONDSORT at 374"}));
}

TEST_F(Packs, WithoutSoundsTheSequenceRunsSilently) {
    for (const char* g : {kPackSw1, kRamAir}) place(g);
    for (u8 power : {0, 1}) {  // the inlet image covers the striped window with DC essential power
        dc_ess_powered = power;
        frames(1);
        EXPECT_EQ(shown(kRamAir, 1), power == 1);
    }
    open_left();
    frames(375);
    EXPECT_EQ(air_aircond_sound_state, 2);
    frames(70);
    EXPECT_EQ(air_aircond_sound_state, 3);
    EXPECT_EQ(air_aircond_sound_deadline, 0u);
    air_pack_sw[0] = 0;
    frames(26);
    EXPECT_EQ(air_aircond_sound_state, 0);
    EXPECT_TRUE(sounds().empty());
}

// Outside air from the total air temperature token times 256; the temperature valve reads 24 - A,
// clamped to the dial when drawn. A reading that is no finite number leaves the temperatures be.
TEST_F(Packs, TemperatureValveAndHostileOutsideAir) {
    place(kPack1);
    air_pack_valve[0] = 400;
    struct Case { f64 outside, stored, drawn; };
    for (const Case& c : {Case{-20, 20, 20}, Case{60, -20, -20}, Case{40, -16, -16}, Case{24, 0, 0}}) {
        token(kTat, c.outside / 256.0);
        frames(1);
        EXPECT_EQ(air_pack_valve_temp[0], c.stored) << c.outside;
        EXPECT_EQ(drawn(kPack1, PackValveTemp).value, c.drawn) << c.outside;
    }
    // Running, the temperatures step 0.05 a frame toward 40 and 27 and land within 0.01 of them.
    const struct { f32 turbine, discharge, turbine_after, discharge_after; } steps[] = {
        {39.985f, 26.985f, 40.035f, 27.035f}, {40.005f, 27.005f, 40.0f, 27.0f}, {40.015f, 27.015f, 39.965f, 26.965f}};
    for (const auto& s : steps) {
        air_pack_turbine_temp[0] = s.turbine, air_pack_discharge_temp[0] = s.discharge;
        frames(1);
        EXPECT_NEAR(air_pack_turbine_temp[0], s.turbine_after, 1e-4) << s.turbine;
        EXPECT_NEAR(air_pack_discharge_temp[0], s.discharge_after, 1e-4) << s.discharge;
    }
    air_duct_supply[0] = 0;
    const f32 turbine = air_pack_turbine_temp[0], discharge = air_pack_discharge_temp[0];
    for (f64 bad : {kNaN, kInf, -kInf}) {
        token(kTat, bad);
        frames(10);
        EXPECT_EQ(air_pack_turbine_temp[0], turbine) << bad;
        EXPECT_EQ(air_pack_discharge_temp[0], discharge) << bad;
    }
    token(kTat, 1e300);
    frames(10);
    EXPECT_TRUE(std::isfinite(air_pack_turbine_temp[0]) && std::isfinite(air_pack_valve_temp[0]));
    token(kTat, -20.0 / 256.0);
    frames(100);
    EXPECT_NEAR(air_pack_turbine_temp[0], turbine + 10 * 0.001 - 1.0, 1e-3) << "warming 0.001, cooling 0.01 a frame";
    EXPECT_NEAR(air_pack_discharge_temp[0], discharge + 10 * 0.001 - 1.0, 1e-3);
}

// A clock that is no number never starts the loop; the first sane reading arms it in full.
TEST_F(Packs, HostileClockStillLeadsToTheLoop) {
    place(kRamAir);
    air_pack_valve[0] = 400;
    token(1, kNaN);
    frames(1);
    EXPECT_EQ(air_aircond_sound_state, 2);
    frames(100);
    EXPECT_EQ(air_aircond_sound_state, 2);
    token(1, 1e12);
    frames(1);
    token(1, 500.0);
    frames(72);
    EXPECT_EQ(air_aircond_sound_state, 3);
}

// Needle speed limits in the records: the packs' flow and temperature-valve pointers 1, their
// temperature pointers 6; the bleed dials, the cabin V/S and the temperature control valves 6.
TEST_F(AirTest, NeedleSpeedLimits) {
    const struct { const char* gauge; std::vector<size_t> needles; u32 rate; } cases[] = {
        {kPack1, {2, 5}, 1}, {"ketravin air_pack_rh_kr60", {2, 5}, 1},
        {kPack1, {3, 4}, 6}, {"ketravin air_pack_rh_kr60", {3, 4}, 6},
        {"ketravin air_bleedtemp_lh_kr60", {1}, 6}, {"ketravin air_bleedpress_rh_kr60", {1}, 6},
        {"ketravin air_pressu_vsi_kr60", {1}, 6}, {"ketravin air_ctempvalve_3_kr60", {1}, 6},
    };
    for (const auto& c : cases) {
        if (!host().placed_instance(gauge(c.gauge))) place(c.gauge);
        for (size_t n : c.needles) {
            const auto* e = reinterpret_cast<const NeedleElement*>(element(c.gauge, n));
            EXPECT_TRUE(e->head.type == u32(ElementNeedle) && e->reserved2[0] == c.rate) << c.gauge << " " << n;
        }
    }
}

// A clock too far ahead to arm the loop leaves the start waiting; a pack stopped meanwhile gets no
// start sound when the clock comes back.
TEST_F(Packs, NoStartSoundForAPackStoppedWhileTheClockWasOutOfRange) {
    place(kRamAir);
    token(1, 1e12);
    air_pack_valve[0] = 400;
    frames(1);
    EXPECT_EQ(air_aircond_sound_state, 1);
    air_pack_valve[0] = 0;
    token(1, 500.0);
    frames(5);
    EXPECT_EQ(air_aircond_sound_state, 1) << "waiting, silent";
}

// Where each dial's scale puts its values: the direction of every table point from the needle's
// pivot, clockwise from twelve o'clock, as the dials are marked (within the pixel rounding).
TEST_F(AirTest, DialScalesPointWhereTheDialsAreMarked) {
    using Scale = std::vector<std::pair<f64, f64>>;  // value, degrees
    const struct { const char* gauge; size_t needle; Scale scale; } dials[] = {
        {kPack1, 2, {{0, 200}, {20, 270}, {40, 0}, {60, 90}, {80, 159}}},               // FLOW
        {kPack1, 3, {{-10, 245}, {0, 272}, {50, 347}, {100, 59}, {150, 130}}},          // TURB INLET TEMP
        {kPack1, 4, {{-50, 252}, {0, 323}, {50, 37}, {100, 108}}},                      // PACK D. TEMP
        {"ketravin air_pack_rh_kr60", 5, {{-20, 270}, {0, 0}, {20, 90}}},              // PACK V. TEMP
        {"ketravin air_bleedtemp_rh_kr60", 1,
         {{0, 136}, {500, 178}, {1000, 219}, {1500, 261}, {2000, 305}, {2500, 348}, {3000, 373}}},
        {"ketravin air_bleedpress_lh_kr60", 1, {{0, 243}, {200, 295}, {400, 345}, {650, 412}, {900, 477}}},
        {"ketravin air_ctempvalve_1_kr60", 1, {{-20, 280}, {0, 0}, {20, 90}}},
        {"ketravin air_ctempvalve_2_kr60", 1, {{-20, 280}, {0, 0}, {20, 90}}},
        {"ketravin air_ctempvalve_3_kr60", 1, {{-20, 280}, {0, 0}, {20, 90}}},
        {"ketravin air_ctempvalve_4_kr60", 1, {{-20, 280}, {0, 0}, {20, 90}}},
    };
    for (const auto& d : dials) {
        if (!host().placed_instance(gauge(d.gauge))) place(d.gauge);
        const auto* n = reinterpret_cast<const NeedleElement*>(element(d.gauge, d.needle));
        ASSERT_EQ(n->nonlinearity_count, d.scale.size()) << d.gauge;
        for (size_t i = 0; i < d.scale.size(); ++i) {
            const NonlinearityPoint& p = n->nonlinearity[i];
            const f64 deg = std::atan2(f64(p.x - n->head.x), -f64(p.y - n->head.y)) * 180.0 / M_PI;
            const f64 off = std::remainder(deg - d.scale[i].second, 360.0);
            EXPECT_EQ(p.value, d.scale[i].first) << d.gauge << " point " << i;
            EXPECT_LE(std::fabs(off), 2.5) << d.gauge << " value " << d.scale[i].first << " at " << deg;
        }
    }
}

// The temperature control pointers show their fixed positions, a stray value brought back to the
// dial's stops in place; the four zone knobs stand a quarter turn back from three o'clock, at AUTO.
TEST_F(AirTest, TemperatureControlPointersStopAtTheirEnds) {
    const char* valves[] = {"ketravin air_ctempvalve_1_kr60", "ketravin air_ctempvalve_2_kr60",
                            "ketravin air_ctempvalve_3_kr60", "ketravin air_ctempvalve_4_kr60"};
    const char* knobs = "ketravin air_ctempctrl_kr60";
    for (const char* g : valves) place(g);
    place(knobs);
    frames(1);
    for (size_t i = 1; i <= 4; ++i) EXPECT_EQ(drawn(knobs, i).value, -90.0) << "knob " << i;
    const f64 fixed[] = {0, -20, -10, -20};  // centre, cold stop, halfway, cold stop
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(drawn(valves[i], 1).value, fixed[i]) << i;
    air_temp_cont_pos[0] = 50, air_temp_cont_pos[3] = -90;
    frames(1);
    EXPECT_EQ(drawn(valves[0], 1).value, 20.0);
    EXPECT_EQ(drawn(valves[3], 1).value, -20.0);
    EXPECT_TRUE(air_temp_cont_pos[0] == 20 && air_temp_cont_pos[3] == -20);
}
