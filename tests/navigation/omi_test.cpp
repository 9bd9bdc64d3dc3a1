// Marker lights: lamps from the exact marker state, the 68-tick lamp test with each tone once,
// clicks refused while testing or unpowered, power loss, the clock set back, hostile values.
#include <strings.h>

#include <limits>
#include <string>

#include "electrical/state.h"
#include "navigation/state.h"
#include "sound/recording.h"
#include "tests/panel_fixture.h"

namespace {
constexpr f64 kNaN = std::numeric_limits<f64>::quiet_NaN(), kInf = std::numeric_limits<f64>::infinity();
const char* kOmi = "ketravin omi_kr60";
constexpr u32 kTick = 1, kMarker = 354;
constexpr i32 kButtonX = 30, kButtonY = 110;
}  // namespace

class MarkerLights : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        place(kOmi);
        dc_normal_powered = 1;
    }
    std::string lamps3() { return lamps(kOmi, 1, 3); }  // outer, middle, inner
    // Tones played since the last call, first letters in order ("IMO").
    std::string tones() {
        std::string s;
        const u64 end = sound_recording_count();
        for (u64 i = seen_; i < end; ++i) {
            SoundEvent e;
            if (!sound_recording_event(i, &e) || e.call != SoundCall::Play) continue;
            for (const char* n : {"inner", "middle", "outer"})
                if (strcasecmp(e.name, n) == 0) s += char(n[0] - 'a' + 'A');
        }
        seen_ = end;
        return s;
    }

private:
    u64 seen_ = 0;
};

TEST_F(MarkerLights, LampsFollowTheExactMarkerState) {
    const struct { f64 state; u8 dc; const char* lamps; } kCases[] = {
        {1.0, 1, "100"}, {2.0, 1, "010"}, {3.0, 1, "001"}, {1.5, 1, "000"}, {4.0, 1, "000"}, {kNaN, 1, "000"},
        {3.0, 0, "000"},
    };
    for (const auto& c : kCases) {
        token(kMarker, c.state), dc_normal_powered = c.dc;
        frames(1);
        EXPECT_EQ(lamps3(), c.lamps) << c.state;
    }
}

TEST_F(MarkerLights, TestStepsAt25And50And68TicksEachToneOnce) {
    token(kMarker, 2.0);  // the middle lamp is lit when the test starts
    frames(1);
    tones();
    click(kOmi, kButtonX, kButtonY);
    ASSERT_EQ(inst_marker_test_state, 1);
    frames(1);
    const f64 start = host().token(kTick);
    EXPECT_EQ(tones(), "I");
    EXPECT_EQ(lamps3(), "011") << "the middle lamp stays lit through the inner step";
    click(kOmi, kButtonX, kButtonY);  // refused while testing
    const struct { u32 at; u8 state; const char* lamps; const char* tone; } kSteps[] = {
        {24, 1, "011", ""}, {25, 2, "010", "M"}, {49, 2, "010", ""}, {50, 3, "100", "O"},
        {67, 3, "100", ""}, {68, 0, "000", ""},  {69, 0, "010", ""},  // the idle frame relights the marker
    };
    for (const auto& s : kSteps) {
        while (host().token(kTick) < start + s.at) frames(1);
        SCOPED_TRACE(testing::Message() << "tick +" << s.at);
        EXPECT_EQ(inst_marker_test_state, s.state);
        EXPECT_EQ(lamps3(), s.lamps);
        EXPECT_EQ(tones(), s.tone);
    }
    EXPECT_EQ(inst_marker_test_armed + inst_marker_test_deadline, 0u) << "cleared with the last step";
}

TEST_F(MarkerLights, PowerLossAndClockJumpsEndOrRestartTheTest) {
    dc_normal_powered = 0;
    click(kOmi, kButtonX, kButtonY);
    EXPECT_EQ(inst_marker_test_state, 0) << "no test without normal DC";
    dc_normal_powered = 1;
    click(kOmi, kButtonX, kButtonY);
    frames(5);
    dc_normal_powered = 0;
    frames(1);
    EXPECT_EQ(inst_marker_test_state + inst_marker_test_armed + inst_marker_test_deadline, 0u);
    EXPECT_EQ(lamps3(), "000");
    // The clock set back: the step restarts from now, so the test still ends.
    dc_normal_powered = 1;
    token(kTick, 50000.0);
    click(kOmi, kButtonX, kButtonY);
    frames(10);
    token(kTick, 20.0);
    frames(68);
    EXPECT_EQ(inst_marker_test_state, 3) << "restarted from the first frame after the jump";
    frames(1);
    EXPECT_EQ(inst_marker_test_state, 0);
    // A clock that is not a number holds the step; the first real reading restarts it.
    click(kOmi, kButtonX, kButtonY);
    for (f64 bad : {kNaN, kInf, -kInf}) {
        token(kTick, bad), token(kMarker, bad);
        frames(3);
        EXPECT_EQ(inst_marker_test_state, 1) << bad;
    }
    token(kTick, 1000.0);
    frames(69);
    EXPECT_EQ(inst_marker_test_state, 0);
}
