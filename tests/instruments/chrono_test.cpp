// Clock and chronometer: ET and CHR lines through holds, outages and a clock set back, the
// hot-battery CHR, seconds bars, the display test and the local-time tooltip.
#include <string>
#include <vector>

#include "lighting/state.h"
#include "tests/clock_jump.h"
#include "tests/instruments/instruments_fixture.h"

namespace {
const char* kClock = "ketravin chrono_kr60";
constexpr u32 kTick = 1, kSecond = 5, kZuluHour = 6, kZuluMinute = 7, kSimTime = 604;
enum { Bar1 = 2, UtcColon = 5, EtColon = 7, Utc0 = 9, Et0 = 13, Chr0 = 17, Hand = 19 };
enum Click { None, EtRun, EtHold, EtReset, Chr, TestButton };

class Clock : public Instruments {
protected:
    void SetUp() override {
        Instruments::SetUp();
        place(kClock);
        at(100);
    }
    void at(f64 sim, Click c = None) {
        const i32 xy[][2] = {{0, 0}, {5, 110}, {5, 130}, {30, 140}, {130, 130}, {130, 20}};
        if (c != None) click(kClock, xy[c][0], xy[c][1]);
        token(kSimTime, sim);
        frames(1);
    }
    std::string line(size_t first, size_t n) {
        std::string s;
        for (size_t i = first; i < first + n; ++i) s += text(kClock, i);
        return s;
    }
    void power(u8 dc, u8 batt1) { dc_ess_powered = dc, elec_batt_sw[0] = batt1; }
};
}  // namespace

TEST_F(Clock, ElapsedTimeRunsHoldsResetsAndRebasesOnAClockSetBack) {
    struct Step { Click knob; f64 sim; const char* et; bool colon; } steps[] = {
        {None, 100, "    ", false},   {EtRun, 100, "0000", true},     {None, 3700, "0100", true},
        {None, 36100, "1000", true},  {EtHold, 50000, "    ", false}, {EtRun, 50000, "1000", true},
        {None, 50060, "1001", true},  {EtReset, 60000, "0000", false}, {EtRun, 60000, "0000", true},
        {None, 420300, "0005", true},  // 100 h 5 min: hours modulo 100
        {None, 30000, "0000", true},   // back behind the start: 0 and re-based ...
        {None, 30120, "0002", true},   // ... counting on from there
    };
    for (const Step& s : steps) {
        at(s.sim, s.knob);
        EXPECT_EQ(line(Et0, 4), s.et) << s.sim;
        if (s.et[0] != ' ') {  // the hours and minutes the digits show, also published
            EXPECT_EQ((inst_et_hours % 100) * 100 + inst_et_minutes, u32(std::stoi(s.et))) << s.sim;
        }
        EXPECT_EQ(shown(kClock, EtColon), s.colon) << s.sim;
        EXPECT_EQ(shown(kClock, EtColon + 1), s.colon) << s.sim;
    }
}

// A held count keeps its value whatever the clock does meanwhile (a new situation loaded sets it
// back below the count): run again, it continues from the held value.
TEST_F(Clock, HeldCountsContinueAfterAClockJump) {
    for (const ClockJump& jump : kClockJumps) {
        SCOPED_TRACE(jump.name);
        at(2000, EtReset), at(2000, EtRun);
        at(5600);
        at(5700, EtHold);  // held at 1 h 00 min
        at(jump.to), at(1000);
        EXPECT_EQ(line(Et0, 4), "    ");
        at(1000, EtRun);
        EXPECT_EQ(line(Et0, 4), "0100");
        at(1060);
        EXPECT_EQ(line(Et0, 4), "0101");
    }
    at(3660.5, EtHold);  // the clock half a second past the held 1 h 01 min: a start of 0
    at(3660.5, EtRun), at(3720.5);
    EXPECT_EQ(line(Et0, 4), "0102");
    // Chronometer at 5 min, CHR pressed three times before a frame: idle with the time kept.
    at(1000, Chr), at(1300);
    click(kClock, 130, 130), click(kClock, 130, 130), at(1300, Chr);
    ASSERT_EQ(inst_chrono_state, 0);
    at(100), at(100, Chr), at(160);
    EXPECT_EQ(line(Chr0, 2), "06");
    EXPECT_EQ(value(kClock, Hand), 0);
}

TEST_F(Clock, ChronometerStartsOnTheHotBatteryAndCountsThroughAnOutage) {
    power(0, 0);
    at(1000, Chr);
    EXPECT_EQ(inst_chrono_state, 0) << "battery 1 off and no DC: dark, no start";
    power(0, 1);
    at(1000);
    at(1000, Chr);
    EXPECT_EQ(inst_chrono_state, 1) << "hot battery";
    struct Step { u8 batt1; f64 sim; const char* chr; f64 hand; } steps[] = {
        {1, 1150, "02", 30}, {0, 1750, "  ", 30},  // ten minutes dark at 2:30 ...
        {1, 1750, "12", 30},                        // ... counted when power returns
        {1, 4599, "59", 59}, {1, 4600, "00", 0},    // the hour rolls over (into the hours kept)
        {1, 500, "00", 0},   {1, 545, "00", 45},    // back behind the start: 0, re-based
    };
    for (const Step& s : steps) {
        power(0, s.batt1);
        at(s.sim);
        EXPECT_EQ(line(Chr0, 2), s.chr) << s.sim;
        EXPECT_EQ(value(kClock, Hand), s.hand) << s.sim;
        if (s.batt1 == 1) {
            EXPECT_EQ(inst_chrono_minutes, std::stoi(s.chr)) << s.sim;
            EXPECT_EQ(inst_chrono_hours, s.sim >= 4600 ? 1 : 0) << s.sim;
        }
        for (int c = 0; c < 2; ++c) EXPECT_EQ(shown(kClock, UtcColon + c), s.batt1 == 1) << "UTC colon " << c;
    }
    // CHR to stopped, then to reset: the next powered frame zeroes the time and goes idle, blank.
    at(560, Chr);
    click(kClock, 130, 130);
    EXPECT_EQ(inst_chrono_state, 3);
    at(600);
    EXPECT_EQ(inst_chrono_state, 0);
    EXPECT_EQ(line(Chr0, 2), "  ");
    at(600, Chr), at(660);
    EXPECT_EQ(line(Chr0, 2), "01") << "counts again from 0";
    EXPECT_EQ(value(kClock, Hand), 0);
}

TEST_F(Clock, UtcSecondsBarsTestAndTooltip) {
    token(kZuluHour, 13), token(kZuluMinute, 47);
    struct Case { f64 second; int bars; f64 hour = 13; } cases[] = {
        {14.9, 0}, {15, 1}, {44.9, 2}, {45, 3}, {kNaN, 0}, {30, 2, kNaN}};  // an hour that is no number: held
    for (const Case& c : cases) {
        token(kSecond, c.second), token(kZuluHour, c.hour);
        frames(1);
        EXPECT_EQ(line(Utc0, 4), "1347");
        EXPECT_EQ(std::vector<u8>(inst_utc_digits, inst_utc_digits + 4), (std::vector<u8>{1, 3, 4, 7}));
        for (int b = 0; b < 3; ++b) EXPECT_EQ(shown(kClock, Bar1 + b), b < c.bars) << c.second << " bar " << b + 1;
    }
    const u8 batt1 = elec_batt_sw[0];
    power(0, 0);  // no power: no bars, whatever the seconds
    token(kSecond, 45);
    frames(1);
    for (int b = 0; b < 3; ++b) EXPECT_FALSE(shown(kClock, Bar1 + b)) << "unpowered bar " << b + 1;
    power(1, batt1);
    token(kZuluHour, 123);  // a tens byte of 12 shows modulo 10
    at(200, TestButton);
    EXPECT_EQ(line(Utc0, 10), "8888888888") << "display test";
    token(kTick, 0);  // the tick count set back mid-test: it still ends within its 36 ticks
    at(200, TestButton);    // a second press does nothing
    seconds(1.9);
    EXPECT_EQ(inst_clock_test_state, 2);
    seconds(0.2);
    EXPECT_EQ(line(Utc0, 4), "2347");
    at(300, TestButton);  // a later test runs as the first did
    EXPECT_EQ(line(Utc0, 4), "8888");
    EXPECT_EQ(f64(inst_clock_test_deadline), std::trunc(host().token(kTick)) + 36) << "36 ticks from its first frame";
    seconds(2.1);
    EXPECT_EQ(line(Utc0, 4), "2347");
    EXPECT_EQ(inst_clock_test_state + inst_clock_test_armed, 0) << "idle and unarmed";
    token(3, 9), token(4, 5);
    const std::vector<TooltipText> tips = host().tooltips(gauge(kClock));
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].text, "Local Time 9h5");
}

// The ET knob's image by the panel tint; the digit records as the host reads them.
TEST_F(Clock, KnobImageFollowsTheTintAndDigitsCarryTheClockFont) {
    enum { Knob0 = 20 };
    const struct { u8 tint, ac, level; int shown; } kKnob[] = {
        {1, 1, 2, 2}, {1, 1, 3, 1}, {1, 1, 1, 3}, {1, 1, 0, 3}, {1, 0, 2, 0}, {0, 1, 2, 0},
    };
    for (const auto& k : kKnob) {
        light_tint_sw = k.tint, elec_ess_ac_any_powered = k.ac, light_tint_level = k.level;
        frames(1);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(shown(kClock, Knob0 + i), i == k.shown) << "tint level " << int(k.level) << " image " << i;
    }
    const struct { size_t first, n; i32 w, h; } kLines[] = {{Utc0, 4, 17, 28}, {Et0, 4, 17, 26}, {Chr0, 2, 15, 24}};
    for (const auto& l : kLines)
        for (size_t pos = l.first; pos < l.first + l.n; ++pos) {
            const auto* s = reinterpret_cast<const StringElement*>(element(kClock, pos));
            EXPECT_EQ(std::string(s->font_face), "Quartz") << pos;
            EXPECT_EQ(std::vector<u32>({u32(s->box_w), u32(s->box_h), s->text_colour, s->background_colour,
                                        s->highlight_colour, s->font_weight, s->charset, s->draw_flags, s->max_chars}),
                      std::vector<u32>({u32(l.w), u32(l.h), 0x000093FF, 0x001E1E1E, 0x000093FF, 400, 1, 37, 1}))
                << pos;
        }
}
