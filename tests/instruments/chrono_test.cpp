// Clock and chronometer: UTC, ET and CHR lines, hot-battery power, the display test, seconds bars,
// the ET knob image, the local-time tooltip, and clocks that run backwards or read nonsense.
#include <string>

#include "lighting/state.h"
#include "tests/instruments/instruments_fixture.h"

namespace {
const char* kClock = "ketravin chrono_kr60";
constexpr u32 kTick = 1, kLocalHour = 3, kLocalMinute = 4, kSecond = 5, kZuluHour = 6, kZuluMinute = 7,
              kSimTime = 604;
enum { Bar1 = 2, UtcColon = 5, EtColon = 7, Utc0 = 9, Et0 = 13, Chr0 = 17, Hand = 19, Knob0 = 20 };

class Clock : public Instruments {
public:
    void SetUp() override {
        Instruments::SetUp();
        place(kClock);
        at(100);
    }
    void at(f64 sim) {
        token(kSimTime, sim);
        frames(1);
    }
    std::string line(size_t first, size_t n) {
        std::string s;
        for (size_t i = first; i < first + n; ++i) s += text(kClock, i);
        return s;
    }
    std::string et() { return line(Et0, 4); }
    std::string chr() { return line(Chr0, 2); }
    void et_run() { click(kClock, 5, 110); }
    void et_hold() { click(kClock, 5, 130); }
    void et_reset() { click(kClock, 30, 140); }
    void chr_press() { click(kClock, 130, 130); }
    void test_press() { click(kClock, 130, 20); }
    void power(bool dc, u8 batt1, u32 charge = 1800) {
        dc_ess_powered = dc ? 1 : 0, elec_batt_sw[0] = batt1, battery_charge = charge;
    }
};
}  // namespace

TEST_F(Clock, ElapsedTimeRunsHoldsAndResets) {
    struct Step { void (Clock::*knob)(); f64 sim; const char* et; bool colon; } steps[] = {
        {nullptr, 100, "    ", false},        // hold at load: dark
        {&Clock::et_run, 100, "0000", true},
        {nullptr, 3700, "0100", true},        // 3600 s reads 01 00
        {nullptr, 36100, "1000", true},
        {&Clock::et_hold, 50000, "    ", false},
        {&Clock::et_run, 50000, "1000", true},
        {nullptr, 50060, "1001", true},       // on from the held time
        {&Clock::et_reset, 60000, "0000", false},
        {&Clock::et_run, 60000, "0000", true},
        {nullptr, 60000 + 360300, "0005", true},  // 100 h 5 min: hours modulo 100
        {nullptr, 30000, "0000", true},       // the clock went back behind the start: 0, re-based
        {nullptr, 30120, "0002", true},
    };
    for (const Step& s : steps) {
        if (s.knob) (this->*s.knob)();
        at(s.sim);
        EXPECT_EQ(et(), s.et) << s.sim;
        EXPECT_EQ(shown(kClock, EtColon), s.colon) << s.sim;
    }
}

TEST_F(Clock, ChronometerCyclesOnTheHotBatteryAndCountsThroughOutages) {
    struct Press { bool dc; u8 batt1; u32 charge; u8 from, to; } presses[] = {
        {false, 1, 1800, 0, 1}, {false, 0, 1800, 0, 0}, {false, 1, 0, 0, 0}, {true, 0, 0, 0, 1},  // hot battery
        {false, 0, 0, 1, 2},    {false, 0, 0, 2, 3},    {false, 0, 0, 3, 0}, {false, 0, 0, 7, 0},
    };
    for (const Press& p : presses) {
        power(p.dc, p.batt1, p.charge);
        inst_chrono_state = p.from;
        chr_press();
        EXPECT_EQ(inst_chrono_state, p.to) << &p - presses;
    }
    power(false, 1);
    inst_chrono_state = 0;
    at(1000);
    EXPECT_EQ(chr(), "  ") << "reset: dark";
    chr_press();
    at(1000);
    at(1150);  // 2 min 30 s
    EXPECT_EQ(chr(), "02");
    power(false, 0);
    at(1750);  // ten minutes dark
    EXPECT_EQ(chr(), "  ");
    power(false, 1);
    at(1750);
    EXPECT_EQ(chr(), "12");
    EXPECT_EQ(value(kClock, Hand), 30);
    at(1000 + 3599);
    at(1000 + 3600);
    EXPECT_EQ(chr(), "00") << "the hour rolls over";
    EXPECT_EQ(value(kClock, Hand), 0);
    at(500);  // back behind the start: 0, re-based, counting on
    EXPECT_EQ(inst_chrono_seconds, 0u);
    at(545);
    EXPECT_EQ(value(kClock, Hand), 45);
}

TEST_F(Clock, UtcSecondsBarsAndColons) {
    token(kZuluHour, 13), token(kZuluMinute, 47);
    struct Case { f64 second; int bars; } cases[] = {{14.9, 0}, {15, 1}, {44.9, 2}, {45, 3}, {kNaN, 0}};
    for (const Case& c : cases) {
        token(kSecond, c.second);
        frames(1);
        EXPECT_EQ(line(Utc0, 4), "1347");
        for (int b = 0; b < 3; ++b) EXPECT_EQ(shown(kClock, Bar1 + b), b < c.bars) << c.second << " bar " << b + 1;
    }
    token(kZuluHour, 123);  // a tens byte of 12 shows modulo 10
    frames(1);
    EXPECT_EQ(line(Utc0, 2), "23");
    power(false, 0);
    token(kZuluHour, 14);
    frames(1);
    EXPECT_EQ(line(Utc0, 4), "    ");
    EXPECT_FALSE(shown(kClock, UtcColon));
    EXPECT_FALSE(shown(kClock, Bar1 + 2));
    EXPECT_EQ(inst_utc_digits[1], 3) << "held while dark";
}

TEST_F(Clock, DisplayTestLightsEverySegmentForTwoSeconds) {
    test_press();
    frames(1);
    EXPECT_EQ(line(Utc0, 4) + et() + chr(), "8888888888");
    EXPECT_TRUE(shown(kClock, Bar1 + 2));
    token(kTick, 0);  // the tick count set back mid-test: it still ends within its 36 ticks
    test_press();     // a second press does nothing
    seconds(1.9);
    EXPECT_EQ(inst_clock_test_state, 2);
    seconds(0.2);
    EXPECT_EQ(inst_clock_test_state, 0);
    EXPECT_EQ(et(), "    ");
    power(false, 0);
    test_press();
    EXPECT_EQ(inst_clock_test_state, 0) << "no test without power";
}

TEST_F(Clock, KnobImageByTintAndLocalTimeTooltip) {
    struct Case { u8 tint, ac, level; size_t image; } cases[] = {
        {1, 1, 2, 2}, {1, 1, 3, 1}, {1, 1, 1, 3}, {1, 0, 2, 0}, {0, 1, 2, 0},
    };
    for (const Case& c : cases) {
        light_tint_sw = c.tint, elec_ess_ac_any_powered = c.ac, light_tint_level = c.level;
        frames(1);
        for (size_t i = 0; i < 4; ++i) EXPECT_EQ(shown(kClock, Knob0 + i), i == c.image) << &c - cases;
    }
    inst_et_selector = 9;
    frames(1);
    EXPECT_EQ(value(kClock, Knob0), 2) << "a selector past reset is stored back as reset";
    EXPECT_EQ(inst_et_selector, 2);
    token(kLocalHour, 9), token(kLocalMinute, 5);
    const std::vector<TooltipText> tips = host().tooltips(gauge(kClock));
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].text, "Local Time 9h5");
    EXPECT_EQ(tips[0].x, 31);
    EXPECT_EQ(tips[0].w, 100);
}
