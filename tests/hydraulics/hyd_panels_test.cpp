// The flight engineer's hydraulic gauges: PRES LO at the availability threshold, pump bytes on the
// flow bars and PUMP PRESS LO, the dials' top, reservoir quantities and cautions, pump clicks.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "electrical/state.h"
#include "engines/state.h"
#include "hydraulics/state.h"
#include "tests/panel_fixture.h"

namespace {
const char* kPress = "ketravin hydrau_press_kr60";
const char* kPumps = "ketravin hydrau_pumps_kr60";
const char* kBaches = "ketravin hydrau_baches_kr60";
const char* kBlueDial = "ketravin hydrau_ind_press_blue_kr60";
const char* kGreenDial = "ketravin hydrau_ind_press_green_kr60";
constexpr u32 kFeWindow = 10065;
constexpr u32 kGearRight = 334, kHyd1Press = 732, kHyd1Res = 733, kHyd2Press = 734, kHyd2Res = 735, kHydFlag = 781,
              kEng1N1 = 624, kEng2N1 = 643;
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
enum { Pump0Cross = 5, LampPumpPressLo = 15, LampBlue = 16 };  // hydraulic panel
enum { BlueAirPresLo = 1, BlueLevlLo = 3, GreenAirPresLo = 4, YellowAirPresLo = 7 };  // reservoirs
}  // namespace

class HydPanels : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        dc_ess_powered = dc_normal_powered = 1;
        token(kHydFlag, 1.0);
    }
};

TEST_F(HydPanels, PresLoBelow1750AndGreenOnlyWithBothLinesLow) {
    place(kPress);
    const struct { u32 blue, green1, green2, yellow; u8 dc_ess; const char* lit; } cases[] = {
        {1750, 1750, 1750, 1750, 1, "000"},
        {1749, 1749, 1750, 1749, 1, "101"},  // one green line holds the green lamp dark
        {3000, 0, 1749, 3000, 1, "010"},
        {0, 0, 0, 0, 0, "000"},              // no DC essential: dark whatever the pressures
    };
    for (const auto& c : cases) {
        hyd_press_blue = c.blue, hyd_press_green1 = c.green1, hyd_press_green2 = c.green2, hyd_press_yellow = c.yellow;
        dc_ess_powered = c.dc_ess;
        frames(1);
        EXPECT_EQ(lamps(kPress, LampBlue, 3), c.lit) << c.blue << " " << c.green1;
        EXPECT_EQ(bytes(warn_hyd_press_lo, 3), c.lit);
    }
}

TEST_F(HydPanels, PumpBytesOnTheFlowBarAndPumpPressLo) {
    place(kPress);
    const struct { u8 pump; f64 host_flag; u8 dc_normal; bool bar, fault; } cases[] = {
        {100, 1.0, 1, false, true}, {195, 1.0, 1, false, true}, {196, 1.0, 1, true, false}, {95, 1.0, 1, true, false},
        {0, 1.0, 1, false, false},  {200, 0.0, 1, true, true},  {200, kNaN, 1, true, false}, {150, 1.0, 0, false, true},
        {96, 1.0, 1, false, false}, {99, 1.0, 1, false, false},  // between the two sides: neither
    };
    for (const auto& c : cases) {
        std::memset(hyd_eng_pump_sw, c.pump, sizeof hyd_eng_pump_sw);
        token(kHydFlag, c.host_flag);
        dc_normal_powered = c.dc_normal;
        frames(1);
        SCOPED_TRACE(testing::Message() << "pump " << int(c.pump) << " flag " << c.host_flag);
        for (size_t pump = 0; pump < 4; ++pump)
            EXPECT_EQ(pair(kPress, Pump0Cross + 2 * pump), c.bar ? 'O' : '-') << "pump " << pump;
        EXPECT_EQ(shown(kPress, LampPumpPressLo), c.fault);
        EXPECT_EQ(warn_hyd_pump_fault, c.fault ? 1 : 0);
    }
}

TEST_F(HydPanels, DialsHoldTheTopOfTheScaleInTheSharedValue) {
    place(kBlueDial);
    place(kGreenDial);
    host().window_set(kFeWindow, true);
    const struct { u32* psi; const char* dial; u32 set, drawn; } cases[] = {{&hyd_press_blue, kBlueDial, 3000, 3000},
        {&hyd_press_blue, kBlueDial, 4001, 4000}, {&hyd_press_green, kGreenDial, 0xFFFFFFFF, 4000}};
    for (const auto& c : cases) {
        *c.psi = c.set;
        frames(1);
        EXPECT_EQ(drawn(c.dial, 1).value, f64(c.drawn));
        EXPECT_EQ(*c.psi, c.drawn) << "left in the variable";
    }
}

TEST_F(HydPanels, ReservoirQuantitiesAreClampedBeforeTheyBecomeBytes) {
    place(kBaches);
    const struct { f64 blue, yellow; u8 blue_qty, yellow_qty; const char* levl_lo; } cases[] = {
        {1.0, 1.0, 55, 70, "000"}, {0.2727, 0.2143, 14, 15, "100"}, {0.2728, 0.2142, 15, 14, "001"},
        {kNaN, kNaN, 15, 14, "001"},  // no number: the quantities stay where they were
        {1e300, 1e308, 100, 100, "000"}, {kInf, -kInf, 100, 100, "000"}, {-1.0, -1e308, 0, 0, "101"},
    };
    for (const auto& c : cases) {
        token(kHyd1Res, c.blue);
        token(kHyd2Res, c.yellow);
        frames(1);
        EXPECT_EQ(hyd_reservoir_qty[0], c.blue_qty) << c.blue;
        EXPECT_EQ(hyd_reservoir_qty[2], c.yellow_qty) << c.yellow;
        EXPECT_EQ(bytes(warn_hyd_level_lo, 3), c.levl_lo);
        EXPECT_EQ(lamps(kBaches, BlueLevlLo, 3, 3), c.levl_lo);
    }
}

TEST_F(HydPanels, GreenFollowsTheGearOneUnitAFrame) {
    place(kBaches);
    token(kGearRight, 1.0);  // fully up: 1.0 and below
    std::string seen;
    for (int i = 0; i < 5; ++i) frames(1), seen += std::to_string(hyd_reservoir_qty[1]) + " ";
    token(kGearRight, 1.5);
    for (int i = 0; i < 5; ++i) frames(1), seen += std::to_string(hyd_reservoir_qty[1]) + " ";
    EXPECT_EQ(seen, "73 74 75 76 76 75 74 73 72 72 ");
}

TEST_F(HydPanels, AirPresLoNeedsATurningEngineWithoutHostPressure) {
    place(kBaches);
    const struct { f64 psi, n1; u8 dc_ess, warn; bool lit; } cases[] = {
        {0.0, 15.0, 1, 0, false}, {0.0, 15.1, 1, 1, true}, {0.1, 90.0, 1, 0, false}, {kNaN, 90.0, 1, 0, false},
        {0.0, 90.0, 0, 1, false},  // computed without power, shown only with it
    };
    for (const auto& c : cases) {  // engine 1 on blue, engine 2 on yellow
        token(kHyd1Press, c.psi), token(kHyd2Press, c.psi);
        token(kEng1N1, c.n1), token(kEng2N1, c.n1);
        dc_ess_powered = c.dc_ess;
        frames(1);
        EXPECT_EQ(shown(kBaches, BlueAirPresLo), c.lit) << c.psi << " psi, N1 " << c.n1;
        EXPECT_EQ(shown(kBaches, YellowAirPresLo), c.lit) << c.psi << " psi, N1 " << c.n1;
        EXPECT_EQ(warn_hyd_eng1_press_lo, c.warn);
        EXPECT_EQ(warn_hyd_eng2_press_lo, c.warn);
        EXPECT_FALSE(shown(kBaches, GreenAirPresLo));
        EXPECT_EQ(warn_hyd_green_lo_press, 0);
    }
}

TEST_F(HydPanels, ClicksStoreTheirValueAndSoundOnlyOnAChange) {
    place(kPress);
    place(kPumps);
    frames(1);
    const struct { const char* g; i32 x, y; u8* byte; u8 before, after; size_t clicks; } cases[] = {
        {kPress, 80, 60, &hyd_xfer_sw[0], 1, 1, 0},       // ON while ON
        {kPumps, 10, 5, &hyd_eng_pump_sw[0], 200, 100, 0},  // ON on a running pump restarts it silently
        {kPumps, 10, 40, &hyd_eng_pump_sw[0], 100, 95, 1},
        {kPumps, 10, 5, &hyd_eng_pump_sw[0], 40, 100, 1},   // ON during a run-down
    };
    for (const auto& c : cases) {
        *c.byte = c.before;
        clicks();
        ASSERT_TRUE(click(c.g, c.x, c.y));
        EXPECT_EQ(*c.byte, c.after) << c.g << " " << c.x << "," << c.y;
        EXPECT_EQ(clicks(), c.clicks) << c.g << " " << c.x << "," << c.y;
    }
}

// Each lever shows the side its byte is on, from the next frame; the engine-driven pump levers
// stand up for the whole ON side (100 to 200) and down for the DUMP side.
TEST_F(HydPanels, LeversShowTheirBytes) {
    place(kPress);
    place(kPumps);
    const struct { const char* g; i32 x, up_y, down_y; size_t down_image; } levers[] = {
        {kPress, 80, 60, 100, 1},  {kPress, 240, 60, 100, 3},                          // PWR TRF left, right
        {kPumps, 95, 10, 45, 1},   {kPumps, 135, 10, 45, 3},                           // electric pumps 1, 2
        {kPumps, 10, 5, 40, 13},   {kPumps, 60, 5, 40, 15},                            // engine 1 pumps
        {kPumps, 170, 5, 40, 17},  {kPumps, 220, 5, 40, 19},                           // engine 2 pumps
    };
    for (const auto& l : levers) {
        SCOPED_TRACE(testing::Message() << l.g << " " << l.x);
        for (const auto& [y, image] : {std::pair{l.down_y, 'S'}, {l.up_y, 'O'}, {l.down_y, 'S'}}) {
            click(l.g, l.x, y);
            frames(1);
            EXPECT_EQ(pair(l.g, l.down_image), image);
        }
    }
    hyd_eng_pump_sw[2] = 200;
    hyd_eng_pump_sw[3] = 5;
    frames(1);
    EXPECT_EQ(std::string{pair(kPumps, 17)} + pair(kPumps, 19), "OS") << "running up, running down";
}

// Valve indicators on AC essential power: in line while the fire valve is open. The electric pump
// indicator on normal DC: in line while an electric pump runs, cross line otherwise.
TEST_F(HydPanels, ValveAndElectricPumpIndicators) {
    place(kPress);
    place(kPumps);
    const struct { u8 ac_ess, dc_normal, valve1, elec_running; const char* valves; char elec; } cases[] = {
        {1, 1, 1, 1, "OOOO", 'O'}, {1, 1, 0, 0, "OSOO", 'S'}, {0, 1, 0, 1, "----", 'O'}, {1, 0, 1, 1, "OOOO", '-'},
    };
    for (const auto& c : cases) {
        elec_ess_ac_powered = c.ac_ess;
        dc_normal_powered = c.dc_normal;
        hyd_pump_fire_valve[1] = c.valve1;
        hyd_elec_pump_running = c.elec_running;
        frames(1);
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        EXPECT_EQ((std::string{pair(kPumps, 5), pair(kPumps, 7), pair(kPumps, 9), pair(kPumps, 11)}), c.valves);
        EXPECT_EQ(pair(kPress, 13), c.elec);
    }
}

// The pressure and reservoir needles turn at most 6 degrees a step.
TEST_F(HydPanels, NeedleSpeedLimits) {
    const struct { const char* gauge; std::vector<size_t> needles; } cases[] = {
        {kBlueDial, {1}}, {kGreenDial, {1}}, {"ketravin hydrau_ind_press_yellow_kr60", {1}}, {kBaches, {10, 11, 12}}};
    for (const auto& c : cases) {
        place(c.gauge);
        for (size_t n : c.needles) {
            const auto* e = reinterpret_cast<const NeedleElement*>(element(c.gauge, n));
            EXPECT_TRUE(e->head.type == u32(ElementNeedle) && e->reserved2[0] == 6u) << c.gauge << " " << n;
        }
    }
}
