// The reverser lights, engine 2's N2 dial, the secondary dials with OIL PRESS LO, and the vibration
// indicator through the host: timings in ticks at several frame rates, the
// interrupted movements, slews and clamps at their stated numbers, and hostile host values.
#include <cmath>
#include <string>
#include <vector>

#include "electrical/state.h"
#include "engines/state.h"
#include "lighting/state.h"
#include "tests/panel_fixture.h"
#include "warnings/state.h"

namespace {
const char* kRev = "ketravin rev_voy_left_kr60";
const char* kN2 = "ketravin eng_ind_n2_2_kr60";
const char* kOilPress[2] = {"ketravin engomn_oil_press_1_kr60", "ketravin engomn_oil_press_2_kr60"};
const char* kNac = "ketravin engomn_nac_temp_1_kr60";
const char* kQty = "ketravin engomn_oil_qtty_1_kr60";
const char* kVib = "ketravin engomn_vib_kr60";
const char* kVibSw = "ketravin engomn_vib_sw_kr60";
constexpr u32 kTokRev1 = 641, kTokN2_2 = 644, kTokN2_1 = 625, kTokOilPress[2] = {562, 572}, kTokSat = 341,
              kTokVib[2] = {642, 661};
enum { RevUnlk = 1, RevRev };
enum { N2Telltale = 7, N2Needle };
constexpr f64 kNaN = NAN, kInf = INFINITY;
}  // namespace

class EngineGauges : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        dc_ess_powered = dc_normal_powered = elec_ac_bus1_powered = elec_ac_bus2_powered = 1;
        host().window_set(10060, true);  // the flight engineer's panel, drawn
    }
    // Lamps of the left reverser gauge over n frames: 'U' R.UNLK, 'R' REV, '.' neither.
    std::string rev_frames(f64 pos, int n) {
        token(kTokRev1, pos);
        std::string out;
        for (int f = 0; f < n; ++f) {
            frames(1);
            const bool u = shown(kRev, RevUnlk), r = shown(kRev, RevRev);
            out += u && r ? 'B' : u ? 'U' : r ? 'R' : '.';
        }
        return out;
    }
    f64 value(const char* g, size_t pos) { return drawn(g, pos).value; }
    std::vector<f64> run(const char* g, size_t pos, int n) {
        std::vector<f64> v;
        for (int f = 0; f < n; ++f) frames(1), v.push_back(value(g, pos));
        return v;
    }
};

class ReverserRates : public EngineGauges, public ::testing::WithParamInterface<f64> {};

// Ticks from a movement's first frame to each change of lamps; a rate below 18 skips ticks, so a
// change comes on the first frame at or past its tick.
TEST_P(ReverserRates, LampsChangeAtTheirTicksWhateverTheFrameRate) {
    host().set_fps(GetParam());
    place(kRev);
    const struct Move { f64 pos; std::string lamps; std::vector<i64> ticks; } moves[] = {
        {1.0, "UBR", {0, 30, 36}}, {0.0, "BU.", {0, 6, 36}},  // deploying, deployed; stowing, stowed
    };
    for (const Move& m : moves) {
        std::string lamps;
        std::vector<i64> at;
        for (i64 f = 0, start = 0; f < 200; ++f) {
            const char now = rev_frames(m.pos, 1)[0];
            const i64 tick = i64(host().token(1));
            if (f == 0) start = tick;
            if (lamps.empty() || lamps.back() != now) lamps += now, at.push_back(tick - start);
        }
        ASSERT_EQ(lamps, m.lamps);
        for (size_t i = 0; i < at.size(); ++i)
            EXPECT_TRUE(at[i] >= m.ticks[i] && at[i] < m.ticks[i] + std::ceil(18.0 / GetParam())) << lamps[i] << at[i];
    }
    EXPECT_EQ(eng_rev_deployed_1, 0);
    EXPECT_EQ(eng_rev_unlk_deadline_1, 0);
    EXPECT_EQ(eng_rev_rev_deadline_1, 0) << "a full stow keeps no deadline";
}
INSTANTIATE_TEST_SUITE_P(Fps, ReverserRates, ::testing::Values(10.0, 18.0, 30.0, 60.0));

TEST_F(EngineGauges, InterruptedReverserMovementsRunOnTheOldDeadlines) {
    place(kRev);
    EXPECT_EQ(rev_frames(0.01, 10), std::string(10, 'U'));  // 0.01 counts as deployed
    EXPECT_EQ(rev_frames(0.0099, 40), std::string(40, '.'));  // stowed before T+36: branch of the settled
    EXPECT_TRUE(eng_rev_unlk_armed_1 == 1 && eng_rev_rev_armed_1 == 1 && eng_rev_deployed_1 == 0);
    EXPECT_EQ(rev_frames(1.0, 1), "R");  // the old deadlines have passed: deployed on the first frame
    EXPECT_EQ(eng_rev_deployed_1, 1);
    EXPECT_EQ(rev_frames(0.0, 10), std::string(6, 'B') + "UUUU");
    EXPECT_EQ(rev_frames(1.0, 1), "R");  // back to deployed: deadlines zeroed, flags kept at 0
    EXPECT_TRUE(eng_rev_unlk_deadline_1 == 0 && eng_rev_rev_deadline_1 == 0);
    EXPECT_EQ(rev_frames(0.0, 1), ".");  // so the next stow ends at once
    EXPECT_EQ(eng_rev_deployed_1, 0);
    EXPECT_TRUE(eng_rev_unlk_deadline_1 == 0 && eng_rev_rev_deadline_1 == 0) << "an ended stow keeps no deadline";
    // Lamp test only while stowed and settled; no DC essential power: dark, latch kept.
    light_lamp_test = 1;
    EXPECT_EQ(rev_frames(kNaN, 2), "BB");
    EXPECT_EQ(rev_frames(1.0, 3), "UUU");
    dc_ess_powered = 0;
    EXPECT_EQ(rev_frames(1.0, 50), std::string(50, '.'));
    EXPECT_EQ(eng_rev_deployed_1, 0);
}

TEST_F(EngineGauges, EngineTwoN2SlewsTellTaleAndCounter) {
    place(kN2);
    token(kTokN2_2, 60.0);
    const std::vector<f64> up = run(kN2, N2Needle, 12);
    EXPECT_TRUE(up[0] == 5 && up[10] == 55 && up[11] == 60);
    EXPECT_EQ(eng_n2_counter_2, 60.0);
    eng_n2_shown_2 = 12, elec_ac_bus2_powered = 0;
    EXPECT_EQ(run(kN2, N2Needle, 3), (std::vector<f64>{7, 2, 0}));
    EXPECT_TRUE(!hidden(element(kN2, 6)) && eng_n2_counter_2 == 60.0);
    elec_ac_bus2_powered = 1;
    struct Case { f64 n2, needle, telltale, counter; } cases[] = {
        {113.4, 113.4, 113, 113.4}, {20, 20, 113, 20}, {kNaN, 20, 113, 20}, {-7, 0, 113, 0}, {1e12, 120, 120, 999.9},
    };
    for (const Case& c : cases) {
        token(kTokN2_2, c.n2);
        frames(30);
        EXPECT_EQ(value(kN2, N2Needle), c.needle) << c.n2;
        EXPECT_EQ(value(kN2, N2Telltale), c.telltale) << c.n2;
        EXPECT_NEAR(eng_n2_counter_2, c.counter, 1e-9) << c.n2;
    }
}

TEST_F(EngineGauges, SecondaryDialsStepBandAndClampTheirNeedles) {
    place(kOilPress[0]);
    token(kTokOilPress[0], 60 * 130.0);
    const std::vector<f64> v = run(kOilPress[0], 1, 30);
    EXPECT_TRUE(v[0] == 2 && v[27] == 56 && v[28] == 60 && v[29] == 60);
    struct Case { f64 raw, needle; } cases[] = {{200 * 130.0, 160}, {-500, 0}, {40 * 130.0, 40}, {kInf, 40}};
    for (const Case& c : cases) {
        token(kTokOilPress[0], c.raw);
        frames(100);
        EXPECT_EQ(value(kOilPress[0], 1), c.needle) << c.raw;
    }
    elec_ac_bus1_powered = 0;  // its bus lost: down 2 a frame, to 0 from below 2
    eng_oil_press_1 = 5;
    EXPECT_EQ(run(kOilPress[0], 1, 3), (std::vector<f64>{3, 1, 0}));
    elec_ac_bus1_powered = 1;
    // Nacelle, engine stopped at 15 degrees: 2, 4 .. 16, then 0.01 a frame down to 15.5, then 15.
    place(kNac);
    token(kTokSat, 15.0), token(kTokN2_1, 0.0);
    const std::vector<f64> n = run(kNac, 1, 60);
    EXPECT_TRUE(n[0] == 2 && n[6] == 14 && n[7] == 16 && std::fabs(n[8] - 15.99) < 1e-9);
    frames(60);
    EXPECT_EQ(eng_nac_temp_1, 15.0);
    token(kTokSat, kNaN), token(kTokN2_1, kNaN), frames(50);
    EXPECT_EQ(eng_nac_temp_1, 15.0) << "no reading: held";
    // One frame of the nacelle law at its bands: running (N2 10 up) toward 80, a fire toward 280,
    // stopped toward the ambient temperature but never below 0.
    const struct { f64 n2, sat; u8 fire; f64 from, to; } kNacelle[] = {
        {10, 15, 0, 69.9, 70.7},  {50, 15, 0, 70, 70.3},   {50, 15, 0, 79.9, 80.2},  {50, 15, 0, 80, 80},
        {50, 15, 0, 80.5, 80.4},  {0, 15, 1, 269.9, 270.7}, {0, 15, 1, 270, 270.3},  {50, 15, 1, 280, 280},
        {0, 15, 1, 281, 280.9},   {9.9, 15, 0, 14.45, 16.45}, {0, 15, 0, 14.5, 15},  {0, 15, 0, 15.5, 15},
        {0, 15, 0, 15.51, 15.5},  {0, -20, 0, 0.3, 0.29},  {0, -20, 0, -0.3, 0},
    };
    for (const auto& c : kNacelle) {
        token(kTokN2_1, c.n2), token(kTokSat, c.sat);
        warn_fire[0] = c.fire;
        eng_nac_temp_1 = c.from;
        frames(1);
        EXPECT_NEAR(eng_nac_temp_1, c.to, 1e-9) << "N2 " << c.n2 << " fire " << int(c.fire) << " from " << c.from;
    }
    warn_fire[0] = 0;
    // The quantity index needs no power and stays in 0..20.
    place(kQty), elec_ac_bus1_powered = 0;
    for (int i = 0; i < 30; ++i) click(kQty, 10, 40, MouseLeftSingle | MouseRepeat);
    EXPECT_EQ(eng_oil_qty_index_1, 0u);
    for (int i = 0; i < 30; ++i) click(kQty, 60, 40, MouseLeftSingle | MouseRepeat);
    EXPECT_EQ(eng_oil_qty_index_1, 20u);  // held at 20 by the click itself, before any draw
    eng_oil_qty_index_1 = 300, frames(1);
    EXPECT_EQ(value(kQty, 2), 20.0);
}

// Each dial's needle calibration, as the host reads it: value, then the face point it points at.
TEST_F(EngineGauges, SecondaryDialCalibrations) {
    using Points = std::vector<std::vector<i32>>;
    const Points kNac = {{0, 5, 70}, {100, 14, 9}, {200, 75, 10}, {300, 84, 69}};
    const Points kPress = {{0, 45, 90}, {20, 20, 85}, {40, 4, 65}, {60, 0, 45}, {80, 5, 22}, {100, 21, 6}, {160, 85, 22}};
    const Points kTemp = {{0, 45, 90}, {50, 9, 72}, {100, 1, 37}, {150, 20, 6}, {200, 54, 0}, {250, 85, 19}};
    const Points kQty = {{0, 20, 83}, {4, 6, 66}, {8, 0, 45}, {12, 5, 25}, {16, 20, 6}, {20, 45, 0}};
    const struct { const char* kind; const Points* points; size_t needles; } kDials[] = {
        {"nac_temp", &kNac, 1}, {"oil_press", &kPress, 1}, {"fuel_press", &kPress, 1}, {"oil_temp", &kTemp, 1},
        {"oil_qtty", &kQty, 2},
    };
    for (const auto& d : kDials)
        for (int eng = 1; eng <= 2; ++eng) {
            const std::string g = "ketravin engomn_" + std::string(d.kind) + "_" + std::to_string(eng) + "_kr60";
            place(g);
            for (size_t pos = 1; pos <= d.needles; ++pos) {
                const auto* n = reinterpret_cast<const NeedleElement*>(element(g, pos));
                Points got;
                for (u32 i = 0; n->nonlinearity && i < n->nonlinearity_count; ++i)
                    got.push_back({i32(n->nonlinearity[i].value), n->nonlinearity[i].x, n->nonlinearity[i].y});
                EXPECT_EQ(got, *d.points) << g << " needle " << pos;
            }
        }
}

TEST_F(EngineGauges, OilPressLowFromTheRawTokenPoweredOrNot) {
    for (const char* g : kOilPress) place(g);
    struct Case { size_t eng; f64 raw; u8 hp_open, bus; u8 want; } cases[] = {  // no number holds the last
        {0, 1300, 1, 1, 1}, {0, 1301, 1, 1, 0}, {0, 0, 0, 1, 0}, {1, 1300, 1, 0, 1},
        {1, 1e9, 1, 1, 0},  {1, kNaN, 1, 1, 0}, {1, 1300, 1, 1, 1}, {1, kInf, 0, 1, 1},
    };
    for (const Case& c : cases) {
        token(kTokOilPress[c.eng], c.raw);
        eng_hp_valve_open[c.eng] = c.hp_open;
        elec_ac_bus1_powered = elec_ac_bus2_powered = c.bus;
        frames(1);
        EXPECT_EQ(warn_eng_oil_press_lo[c.eng], c.want) << c.eng << " " << c.raw;
    }
}

TEST_F(EngineGauges, VibrationPointersFollowThePickUpAndTheTestSweep) {
    place(kVib), place(kVibSw);
    clicks();
    // Swept up before any frame has read the levels (0.0 until read), then AC bus 1 lost: the
    // sweep's last frame steps down, then the reading of 0 takes the pointer down a step a frame.
    click(kVibSw, 10, 70), frames(59);
    elec_ac_bus1_powered = 0;
    for (f64 want : {11.6, 11.4, 11.2}) {
        frames(1);
        EXPECT_NEAR(eng_vib_1, want, 1e-9);
    }
    elec_ac_bus1_powered = 1, eng_vib_1 = 0.0;
    token(kTokVib[0], 1.5), token(kTokVib[1], kNaN), eng_vib_2 = 2.0;
    frames(40);
    EXPECT_NEAR(drawn(kVib, 1).y, -6.0, 1e-9);
    EXPECT_EQ(eng_vib_2, 2.0) << "no reading yet: nothing to follow";
    click(kVibSw, 60, 20);  // FAN again: nothing
    click(kVibSw, 60, 50);
    EXPECT_EQ(eng_vib_selector, 2) << "TURBINE";
    frames(20);
    EXPECT_EQ(clicks(), 1u);
    EXPECT_NEAR(eng_vib_1, 9.0, 1e-9);
    EXPECT_TRUE(!hidden(element(kVibSw, 1)) && hidden(element(kVibSw, 2)));
    // Test from 5 and 3: ends on the frame that finds pointer 1 at 28; pointer 2 still gains a step.
    token(kTokVib[0], 5 / 6.0), token(kTokVib[1], 0.5), frames(40);
    click(kVibSw, 10, 70), frames(200);
    EXPECT_TRUE(eng_vib_test == 0 && eng_vib_1 - eng_vib_2 > 1.79 && eng_vib_1 - eng_vib_2 < 1.81);
    const f64 standing = eng_vib_1;  // on its way down to 5
    token(kTokVib[0], kNaN), frames(300);
    EXPECT_EQ(eng_vib_1, standing) << "a level that is no number: the pointer stands";
    // A sweep that loses AC bus 1 before the switch sees it: down 0.2 a frame, to 0 from below.
    host().remove(gauge(kVibSw));
    elec_ac_bus1_powered = 0;
    eng_vib_test = 1, eng_vib_1 = 0.5, eng_vib_2 = 0.1;
    frames(1);
    EXPECT_NEAR(eng_vib_1, 0.3, 1e-9);
    EXPECT_EQ(eng_vib_2, 0.0);
    // Back from an outage with a level that is no number: the pointer stands where the outage left
    // it, not at the level from before; then it follows a level again (FAN: 0.5 reads 2).
    eng_vib_test = 0, eng_vib_selector = 1;
    elec_ac_bus1_powered = 1, token(kTokVib[0], 2.0), frames(60);
    ASSERT_NEAR(eng_vib_1, 8.0, 1e-9);
    elec_ac_bus1_powered = 0, frames(5);
    token(kTokVib[0], kNaN), elec_ac_bus1_powered = 1, frames(60);
    EXPECT_EQ(eng_vib_1, 0.0);
    token(kTokVib[0], 0.5), frames(20);
    EXPECT_NEAR(eng_vib_1, 2.0, 1e-9);
}
