// Control display unit tests: both CDUs placed on the visible INS window, keys by legend,
// the five lines read back as bytes, frames at chosen tick counts.
#pragma once
#include <array>
#include <map>
#include <string>

#include "navigation/ins_cdu.h"
#include "tests/navigation/nav_fixture.h"

class CduTest : public NavTest {
public:
    static constexpr const char* kCdu2 = "ketravin ins2_cdu_kr60";
    static constexpr u32 kInsWindow = 10070;
    // Chain positions of lines 1..5 and of the lamps.
    static constexpr size_t kLinePos[5] = {5, 4, 3, 2, 1};
    enum : size_t { Cover = 6, MarkLeft, MarkRight, BlLeft1, BlLeft2, BlRight1, BlRight2, Wrn, Bat, Alr, Ofs };

    void SetUp() override {
        NavTest::SetUp();
        host().window_set(kInsWindow, true);
    }
    void place_cdus(bool with_link = true) {
        if (with_link) place(kSwitch);
        place(kCdu1);
        place(kCdu2);
    }
    static const char* cdu(int n) { return n == 1 ? kCdu1 : kCdu2; }
    static const CduUnit& unit(int n) { return n == 1 ? kIns1Cdu : kIns2Cdu; }

    using Lines = std::array<std::string, 5>;
    Lines lines(int n) {
        Lines out;
        for (size_t i = 0; i < 5; ++i) out[i] = text(cdu(n), kLinePos[i]);
        return out;
    }
    void show_page(int n, size_t index, u8 value) {
        std::fill(unit(n).page, unit(n).page + kCduPages, u8(0));
        unit(n).page[index] = value;
    }

    // The 31 key boxes by legend: top-left corners of 24 x 24 boxes.
    static const std::map<std::string, std::pair<i32, i32>>& keys() {
        static const std::map<std::string, std::pair<i32, i32>> kKeys = {
            {"A-N", {232, 12}}, {"CLR", {232, 42}},  {"ENT", {232, 72}},  {"POS", {37, 106}},  {"CRS", {65, 106}},
            {"LEG", {93, 106}}, {"WPT", {37, 134}},  {"FPL", {65, 134}},  {"DIR", {93, 134}},  {"DATA", {37, 163}},
            {"CAT", {65, 163}}, {"RMT", {93, 163}},  {"STS", {37, 191}},  {"W", {65, 191}},    {"X", {93, 191}},
            {"BRT", {128, 106}}, {"DIM", {128, 134}}, {"UP", {128, 163}}, {"DOWN", {128, 191}}, {"1", {164, 106}},
            {"2", {192, 106}},  {"3", {220, 106}},   {"4", {164, 134}},   {"5", {192, 134}},   {"6", {220, 134}},
            {"7", {164, 163}},  {"8", {192, 163}},   {"9", {220, 163}},   {"EXP", {164, 191}}, {"0", {192, 191}},
            {"HLD", {220, 191}},
        };
        return kKeys;
    }
    void press(int n, const std::string& legend) {  // in the middle of the box
        const auto& p = keys().at(legend);
        EXPECT_TRUE(click(cdu(n), p.first + 12, p.second + 12)) << legend;
    }
    void type(int n, std::initializer_list<const char*> legends) {
        for (const char* l : legends) press(n, l);
    }
    // One frame whose tick count is exactly t.
    void frame_at_tick(f64 t) {
        token(1, t - 0.5);
        frames(1);
    }
};
