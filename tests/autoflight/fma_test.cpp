// The flight mode annunciator through the headless host: legends by mode bytes, lamp test and
// power, and the TH.OFF flash against the tick clock.
#include <cmath>
#include <set>

#include "autoflight/state.h"
#include "electrical/state.h"
#include "lighting/state.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

namespace {
const char* kFma = "ketravin idpp_kr60";
constexpr u32 kTick = 1;
// Chain positions: the field at 0, then the lamps.
enum Lamp { ThOff = 1, Cmd = 3, VlAmber = 13, VlGreen, GsGreen, GsAmber, LandAGreen = 19, Flare, Rlout, App1 = 23,
            Lan2 = 25, Lan3, kLast = 29 };
}  // namespace

class Fma : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kFma);
        dc_ess_powered = 1;
    }
    std::set<int> lit() {
        std::set<int> s;
        for (int p = ThOff; p <= kLast; ++p)
            if (!hidden(element(kFma, size_t(p)))) s.insert(p);
        return s;
    }
};

TEST_F(Fma, LegendsFollowTheModeBytesAndTheLampTestNeedsDcEssential) {
    const struct { const char* what; void (*set)(); std::set<int> lit; } cases[] = {
        {"approach 11", [] { ap_approach_state = 11; }, {App1, VlAmber, GsAmber}},
        {"beam captured, glide slope approaching", [] { fd_vl_captured = fd_gs_capture_state = 1; },
         {App1, VlGreen, GsGreen}},
        {"LAND engaged", [] { ap_approach_state = 30; ap_land_engaged = 1; }, {Lan2, LandAGreen}},
        {"LAND DUAL in the flare", [] { ap_approach_state = 40; ap_flare_mode = 1; }, {Lan3, LandAGreen, Flare}},
        {"roll-out", [] { ap_flare_mode = 0; ap_rollout_mode = 1; }, {Lan3, LandAGreen, Rlout}},
        {"CMD from the host flag, not the panel", [] { ap_approach_state = ap_rollout_mode = 0; ap_cmd_engaged = 1; },
         {}},
        {"lamp test", [] { light_lamp_test = 1; }, {}},
        {"no DC essential", [] { dc_ess_powered = 0; }, {}},
    };
    for (const auto& c : cases) {
        c.set();
        frames(1);
        if (light_lamp_test == 1 && dc_ess_powered == 1)
            EXPECT_EQ(lit().size(), 29u) << c.what;
        else
            EXPECT_EQ(lit(), c.lit) << c.what;
    }
    dc_ess_powered = 1;
    light_lamp_test = 0;
    token(103, 1.0);
    frames(1);
    EXPECT_EQ(lit(), std::set<int>{Cmd});
}

// A tripped SPD: cleared at once, one flash of 80 ticks, lit 4 ticks and dark 4, at any frame rate.
TEST_F(Fma, SpdTripGivesOneEightyTickFlashWhateverTheClockDoes) {
    for (f64 fps : {18.0, 60.0, 10.0}) {
        host().set_fps(fps);
        ats_spd_mode = 2;
        frames(1);
        EXPECT_EQ(ats_spd_mode, 0);
        const f64 start = fma_thoff_start_tick;
        while (fma_thoff_flashing == 1 && host().token(kTick) < start + 200) {
            const f64 elapsed = host().token(kTick) - start;
            if (fps >= 18.0) {  // slower panels skip ticks; each cycle restarts on the tick seen
                EXPECT_EQ(!hidden(element(kFma, ThOff)), std::fmod(elapsed, 8.0) < 4.0) << fps << " @" << elapsed;
            }
            frames(1);
        }
        const f64 ended = host().token(kTick) - start;
        EXPECT_TRUE(ended >= 80.0 && ended < 82.0) << fps << ": ended after " << ended;
        frames(20);
        EXPECT_EQ(fma_thoff_flashing, 0) << "no second run";
    }
    ats_spd_mode = 2;
    frames(1);
    token(kTick, host().token(kTick) + 81.0);
    frames(1);
    EXPECT_EQ(fma_thoff_flashing, 0) << "the clock jumped past the end";
    EXPECT_TRUE(hidden(element(kFma, ThOff)));
    host().set_fps(18.0);
    ats_spd_mode = 2;  // a clock set back in mid-flash: the flash and its blink restart from then
    frames(10);
    token(kTick, host().token(kTick) - 100.0);
    int changes = 0;
    for (bool was = !hidden(element(kFma, ThOff)); fma_thoff_flashing == 1 && changes < 40; frames(1)) {
        const bool now = !hidden(element(kFma, ThOff));
        changes += now != was;
        was = now;
    }
    EXPECT_EQ(changes, 19) << "10 lit runs of 4 ticks";
    const auto trip = [this] {
        ats_spd_mode = 2;
        frames(1);
    };
    expect_timer_survives_clock_jumps(host(),
                                      {"TH.OFF flash", 80.0 / 18.0, trip, [] { return fma_thoff_flashing == 0; }});
}
