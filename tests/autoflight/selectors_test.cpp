// The altitude, heading and course selectors through the headless host: knob limits and wraps,
// drum targets, the altitude arm / capture / hold sequence with its alert, the present-altitude
// hold, the heading bug and HDG S. keys sent every frame, and the host's NAV 1 course kept in step.
#include <cmath>
#include <string>

#include "autoflight/ap_keys.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "host/host_model.h"
#include "instruments/state.h"
#include "navigation/state.h"
#include "tests/host_fixture.h"
#include "warnings/state.h"

namespace {
const char* kAlt = "ketravin ap_alt_kr60";
const char* kHdg = "ketravin ap_hdg_kr60";
const char* kCrs = "ketravin ap_crs_kr60";
namespace tk {
constexpr u32 nav1_code = 46, vs = 65, altitude = 74, ap = 103, hdg_bug = 107, gear_nose = 332, n2_1 = 625,
              gps_course = 838, obs = 854;
}
constexpr f64 kHostVsPerFpm = 256.0 / (3.281 * 60.0);  // the VSI's formula, inverted
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
struct Point {
    i32 x, y;
};
// Altitude: fine (10 ft) and coarse (100 ft) down and up, ALT, ALT ACQ.
constexpr Point kAltDown10{60, 110}, kAltUp10{100, 110}, kAltDown100{60, 150}, kAltUp100{100, 150}, kAltButton{10, 10},
    kAcqButton{10, 125};
// Heading and course: fine down, fine up, coarse down, coarse up.
constexpr Point kHdgKnob[4] = {{30, 110}, {70, 110}, {30, 150}, {70, 150}};
constexpr Point kCrsKnob[4] = {{5, 110}, {50, 110}, {5, 150}, {50, 150}};
enum Knob { FineDown, FineUp, CoarseDown, CoarseUp };
enum { AltLamp = 1, AcqLamp = 2, AltMask = 9, HdgLampVl = 1, HdgLampHdg = 2 };
}  // namespace

class Selectors : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        dc_ess_powered = 1;
    }
    void press(const char* g, Point p) { ASSERT_TRUE(click(g, p.x, p.y)); }
    // Sent key events since the last call: how many of `key`, and the last value.
    size_t sent(u32 key, i32* last = nullptr) {
        size_t n = 0;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == key && k.sent) {
                ++n;
                if (last) *last = i32(k.value);
            }
        return n;
    }
    // Half a foot per minute further out, so that the truncated reading is exactly vs_fpm.
    void air(f64 altitude_ft, f64 vs_fpm) {
        token(tk::altitude, altitude_ft);
        token(tk::vs, (vs_fpm + (vs_fpm > 0 ? 0.5 : vs_fpm < 0 ? -0.5 : 0.0)) * kHostVsPerFpm);
    }
    // Flight director on, the host autopilot engaged, gear up and an engine running: the alert runs.
    void flying() {
        ap_fd_engaged = 1;
        token(tk::ap, 1.0);
        token(tk::gear_nose, 0.0);
        token(tk::n2_1, 60.0);
    }
};

// ---- Altitude --------------------------------------------------------------------------------

TEST_F(Selectors, AltitudeKnobStaysWithinZeroToFortyThousand) {
    place(kAlt);
    const struct { i32 from; Point knob; i32 to; } cases[] = {
        {39950, kAltUp100, 40000}, {60, kAltDown100, 0},     {150, kAltDown100, 50}, {10, kAltDown10, 0},
        {39990, kAltUp10, 40000},  {40000, kAltUp10, 40000}, {-50, kAltDown10, 0},   {50000, kAltUp100, 40000},
        {50000, kAltDown10, 40000}, {-2147483647 - 1, kAltUp10, 0},
    };
    for (const auto& c : cases) {
        ap_selected_altitude = c.from;
        press(kAlt, c.knob);
        EXPECT_EQ(ap_selected_altitude, c.to) << c.from;
    }
}

TEST_F(Selectors, AltitudeDrumTargetsAndTheMaskOverTheFirstDrum) {
    place(kAlt);
    const struct { i32 s; bool mask; i32 d10000, d1000, d100, d10; f64 d1; } cases[] = {
        {9990, true, 0, 1, 1, 1, 0.0}, {10000, false, 9, 0, 0, 0, 0.0}, {40000, false, 6, 0, 0, 0, 0.0},
        {12345, false, 9, 8, 7, 6, 5.0}, {0, true, 0, 0, 0, 0, 0.0},
    };
    for (const auto& c : cases) {
        ap_selected_altitude = c.s;
        frames(1);
        EXPECT_EQ(!hidden(element(kAlt, AltMask)), c.mask) << c.s;
        EXPECT_EQ(ap_alt_drum_10000, c.d10000) << c.s;
        EXPECT_EQ(ap_alt_drum_1000, c.d1000) << c.s;
        EXPECT_EQ(ap_alt_drum_100, c.d100) << c.s;
        EXPECT_EQ(ap_alt_drum_10, c.d10) << c.s;
        EXPECT_EQ(ap_alt_drum_1, c.d1) << c.s;
    }
    ap_selected_altitude = 12345;  // drawn every frame: the wheels roll onto their targets
    frames(60);
    EXPECT_EQ(ap_alt_drum_10000_pos, 9.0);
    EXPECT_EQ(ap_alt_drum_1_pos, 5.0);
}

// Armed at 9000 ft climbing 1500 ft/min to 10000: V/S / 3 = 500 ft, so capture at 9500; the
// capture flies 1000 ft/min inside 1650, holds from 20 ft below, and memorises once level.
TEST_F(Selectors, ArmCaptureAndHoldTheSelectedAltitude) {
    place(kAlt);
    flying();
    ap_selected_altitude = 10000;
    press(kAlt, kAcqButton);
    ASSERT_EQ(ap_alt_mode, 1);
    const struct { f64 a, v; u8 mode, step; i32 vs_cmd; f64 host_vs, host_alt; } steps[] = {
        {9000.0, 1500.0, 1, 1, 0, 0.0, 0.0},          {9499.0, 1500.0, 1, 1, 0, 0.0, 0.0},
        {9500.0, 1500.0, 2, 1, 0, 0.0, 0.0},          {9520.0, 1500.0, 2, 2, 1000, 1000.0, 10000.0},
        {9800.0, 900.0, 2, 2, 1000, 1000.0, 10000.0}, {9981.0, 600.0, 3, 2, 1000, 1000.0, 10000.0},
        {10000.0, 0.0, 3, 3, 1000, 1000.0, 10000.0},
    };
    for (const auto& s : steps) {
        air(s.a, s.v);
        frames(1);
        EXPECT_EQ(ap_alt_mode, s.mode) << s.a;
        EXPECT_EQ(ap_alt_capture_step, s.step) << s.a;
        EXPECT_EQ(ap_vs_command, s.vs_cmd) << s.a;
        EXPECT_EQ(host().token(kHostApVsToken), s.host_vs) << s.a;
        EXPECT_EQ(host().token(kHostApAltCommandToken), s.host_alt) << s.a;
    }
    EXPECT_EQ(ap_alt_held_selection, 10000u);
    EXPECT_FALSE(hidden(element(kAlt, AltLamp)));
    EXPECT_TRUE(hidden(element(kAlt, AcqLamp)));
    // A new selection in hold re-captures.
    ap_selected_altitude = 11000;
    frames(2);
    EXPECT_EQ(ap_alt_mode, 25);
    EXPECT_EQ(ap_alt_capture_step, 27);
    EXPECT_EQ(host().token(kHostApVsToken), 1000.0);
}

TEST_F(Selectors, ArmedNeverCapturesWhileMovingAwayAndCaptureBandsFollowTheVerticalSpeed) {
    place(kAlt);
    flying();
    ap_selected_altitude = 10000;
    press(kAlt, kAcqButton);
    air(9000.0, -300.0);
    frames(5);
    EXPECT_EQ(ap_alt_mode, 1);
    // Capture from above and below: the V/S sent by band; exactly +-1000 sends nothing.
    const struct { f64 a, v; i32 cmd; size_t sends; } bands[] = {
        {11000.0, -2000.0, -1500, 1}, {11000.0, -1200.0, -1000, 1}, {11000.0, -1000.0, -1000, 0},
        {11000.0, -500.0, -1000, 1},  {9000.0, 3500.0, 2500, 1},    {9000.0, 2000.0, 1500, 1},
        {9000.0, 1000.0, 1500, 0},    {9000.0, 400.0, 1500, 1},     {9900.0, 3.0, 1500, 0},
    };
    ap_alt_mode = 2;
    for (const auto& b : bands) {
        air(b.a, b.v);
        new_keys();
        frames(1);
        EXPECT_EQ(ap_alt_mode, 2) << b.a << " at " << b.v;
        EXPECT_EQ(ap_vs_command, b.cmd) << b.a << " at " << b.v;
        EXPECT_EQ(sent(key_ap_vs_set), b.sends) << b.a << " at " << b.v;
    }
    // With the host autopilot off the capture runs on and sends nothing.
    token(tk::ap, 0.0);
    air(9000.0, 2000.0);
    new_keys();
    frames(1);
    EXPECT_EQ(sent(key_ap_vs_set) + sent(key_ap_alt_set), 0u);
}

TEST_F(Selectors, AltitudeAlertOnEntryAndDeviationFromAHold) {
    place(kAlt);
    flying();
    ap_selected_altitude = 10000;
    press(kAlt, kAcqButton);
    // Climbing at 800 ft/min: the band is 9250 < A < 9750 (capture starts at 9734).
    const struct { f64 a; u16 callout; u8 state, request; } approach[] = {
        {9200.0, 0, 0, 0}, {9300.0, 0, 1, 1}, {9310.0, 0, 2, 1}, {9740.0, 0, 2, 1}, {9760.0, 0, 0, 0},
    };
    for (const auto& s : approach) {
        air(s.a, 800.0);
        gpws_callout = s.callout;
        frames(1);
        EXPECT_EQ(ap_alt_alert_state, s.state) << s.a;
        EXPECT_EQ(ap_alt_alert_request, s.request) << s.a;
    }
    // A call-out on the frame of entry suppresses the chime for this approach.
    ap_alt_mode = 1;
    air(9200.0, 800.0);
    frames(1);
    air(9300.0, 800.0);
    gpws_callout = 3;
    frames(1);
    gpws_callout = 0;
    frames(1);
    EXPECT_EQ(ap_alt_alert_state, 2);
    EXPECT_EQ(ap_alt_alert_request, 0);
    // Held: climbing through S + 250 raises the deviation tone, beyond S + 750 it stops.
    ap_alt_mode = 3;
    ap_alt_capture_step = 3;
    ap_alt_held_selection = 10000;
    const struct { f64 a; u8 state, tone; } leave[] = {{10200.0, 0, 0}, {10300.0, 3, 1}, {10800.0, 0, 0}};
    for (const auto& s : leave) {
        air(s.a, 500.0);
        frames(1);
        EXPECT_EQ(ap_alt_alert_state, s.state) << s.a;
        EXPECT_EQ(ap_alt_deviation_alert, s.tone) << s.a;
    }
    // Nose gear not up: the alert is silent.
    token(tk::gear_nose, 0.5);
    air(10300.0, 500.0);
    frames(1);
    EXPECT_EQ(ap_alt_deviation_alert, 0);
}

// ALT pressed while armed holds the present altitude (the offset by the V/S sign), not a command
// carried over from the arming; it is sent until reached, also with the host autopilot off.
TEST_F(Selectors, AltFromArmedHoldsThePresentAltitude) {
    place(kAlt);
    const struct { f64 a, v; i32 command; u8 step; } cases[] = {
        {5000.0, 0.0, 5000, 10}, {5000.0, 600.0, 5020, 1}, {5000.0, -600.0, 4980, 1}, {kNaN, 0.0, 0, 10},
    };
    for (const auto& c : cases) {
        flying();
        token(tk::ap, 0.0);
        ap_selected_altitude = 8000;
        ap_alt_mode = 1;
        ap_alt_capture_step = 1;
        ap_alt_command = 7000;  // stale
        air(c.a, c.v);
        press(kAlt, kAltButton);
        EXPECT_EQ(ap_alt_mode, 4);
        new_keys();
        frames(1);
        i32 alt = -1;
        EXPECT_EQ(sent(key_ap_alt_set, &alt), 1u);
        EXPECT_EQ(alt, c.command) << c.a << " at " << c.v;
        EXPECT_EQ(ap_alt_capture_step, c.step) << c.a << " at " << c.v;
        EXPECT_EQ(ap_vs_command, 0);
        press(kAlt, kAltButton);  // off again
        EXPECT_EQ(ap_alt_mode, 0);
        frames(1);
    }
}

TEST_F(Selectors, AltAcqInHoldShowsItsLampForOneFrame) {
    place(kAlt);
    flying();
    air(5000.0, 0.0);
    press(kAlt, kAltButton);
    frames(2);
    ASSERT_EQ(ap_alt_capture_step, 10);
    press(kAlt, kAcqButton);
    const struct { u8 mode; bool acq_lamp; } frames_seen[] = {{26, true}, {4, false}, {4, false}};
    for (const auto& f : frames_seen) {
        EXPECT_EQ(ap_alt_mode, f.mode);
        new_keys();
        frames(1);
        EXPECT_EQ(!hidden(element(kAlt, AcqLamp)), f.acq_lamp) << int(f.mode);
        EXPECT_EQ(sent(key_ap_alt_set), 0u) << "the host keeps its command";
    }
    // Without the flight director both buttons do nothing.
    ap_fd_engaged = 0;
    press(kAlt, kAltButton);
    press(kAlt, kAcqButton);
    EXPECT_EQ(ap_alt_mode, 4);
}

TEST_F(Selectors, AltitudeHostileValuesStayFinite) {
    place(kAlt);
    flying();
    ap_selected_altitude = 10000;
    for (u8 mode : {1, 2, 3, 4, 25}) {
        for (f64 v : {kNaN, kInf, -kInf, 1e300, -1e300}) {
            ap_alt_mode = mode;
            ap_alt_capture_step = 0;
            token(tk::altitude, v);
            token(tk::vs, v);
            token(tk::n2_1, v);
            frames(2);
            EXPECT_LE(ap_alt_alert_state, 3);
            EXPECT_TRUE(ap_alt_mode <= 4 || ap_alt_mode == 25) << int(ap_alt_mode);
        }
    }
}

// ---- Heading ---------------------------------------------------------------------------------

TEST_F(Selectors, HeadingKnobsWrapThroughNorth) {
    place(kHdg);
    const struct { i32 from; Knob knob; i32 to; } cases[] = {
        {5, CoarseDown, 355}, {355, CoarseUp, 5},  {349, CoarseUp, 359}, {359, FineUp, 0},   {0, FineDown, 359},
        {10, CoarseDown, 0},  {350, CoarseUp, 0}, {360, FineUp, 1},      {360, FineDown, 359}, {-5, CoarseDown, 345},
        {725, CoarseUp, 15},
    };
    for (const auto& c : cases) {
        ap_selected_heading = c.from;
        press(kHdg, kHdgKnob[c.knob]);
        EXPECT_EQ(ap_selected_heading, c.to) << c.from << " knob " << c.knob;
    }
    const struct { i32 h; i32 d100, d10; f64 d1; } drums[] = {{359, 1, 5, 1.0}, {0, 0, 0, 0.0}, {123, 3, 8, 7.0}};
    for (const auto& d : drums) {
        ap_selected_heading = d.h;
        frames(1);
        EXPECT_EQ(ap_hdg_drum_100, d.d100) << d.h;
        EXPECT_EQ(ap_hdg_drum_10, d.d10) << d.h;
        EXPECT_EQ(ap_hdg_drum_1, d.d1) << d.h;
    }
}

TEST_F(Selectors, HeadingSelectSendsItsHoldsAndTheBugEveryFrame) {
    place(kHdg);
    ap_fd_engaged = 1;
    ap_selected_heading = 270;
    token(tk::ap, 1.0);
    press(kHdg, kHdgKnob[FineUp]);
    ASSERT_TRUE(click(kHdg, 70, 10));  // HDG
    EXPECT_EQ(ap_hdg_select_mode, 1);
    new_keys();
    frames(3);
    const struct { u32 key; size_t count; } keys[] = {
        {key_ap_hdg_hold_event_b, 3}, {key_ap_wing_leveler_off, 3}, {key_ap_heading_set, 3}};
    const std::vector<KeyLogEntry> log = new_keys();
    for (const auto& k : keys) {
        size_t n = 0;
        for (const KeyLogEntry& e : log) n += e.id == k.key && e.sent;
        EXPECT_EQ(n, k.count) << std::hex << k.key;
    }
    EXPECT_EQ(host().token(tk::hdg_bug), 271.0);
    EXPECT_EQ(ap_heading_target, 271);
    EXPECT_FALSE(hidden(element(kHdg, HdgLampHdg)));
    // The host autopilot off: no bug, no holds.
    token(tk::ap, 0.0);
    frames(1);
    EXPECT_EQ(sent(key_ap_heading_set) + sent(key_ap_hdg_hold_event_b), 0u);
}

// V/L armed on an ILS couples the localizer every frame; the flight director also writes the
// localizer flag, so the gauge the host updates last decides.
TEST_F(Selectors, VlOnAnIlsAndTheLocalizerFlagsTwoWriters) {
    place(kHdg);
    place("ketravin adi_fd_kr60");
    ap_fd_engaged = 1;
    token(tk::ap, 1.0);
    token(tk::nav1_code, 0x40);  // glide slope bit only: the flight director reads no localizer
    ASSERT_TRUE(click(kHdg, 10, 10));  // V/L
    EXPECT_EQ(ap_vl_mode, 1);
    for (bool reverse : {false, true}) {
        host().set_reverse_order(reverse);
        new_keys();
        frames(2);
        EXPECT_EQ(sent(key_ap_event_1010d), 2u);
        EXPECT_EQ(fd_loc_available, reverse ? 1 : 0) << "reverse " << reverse;
    }
}

// ---- Course ----------------------------------------------------------------------------------

TEST_F(Selectors, CourseCoarseClicksWrapFromTheValueTheyStep) {
    place(kCrs);
    token(tk::obs, 15.0);
    ap_selected_course = 15;
    press(kCrs, kCrsKnob[CoarseDown]);  // two clicks in one frame
    press(kCrs, kCrsKnob[CoarseDown]);
    EXPECT_EQ(ap_selected_course, 355);
    const struct { i32 from; Knob knob; i32 to; } cases[] = {
        {5, CoarseDown, 355}, {0, CoarseDown, 350}, {10, CoarseDown, 0}, {350, CoarseUp, 0}, {355, CoarseUp, 5},
        {351, CoarseUp, 1},   {359, FineUp, 0},     {0, FineDown, 359},  {360, CoarseUp, 10}, {-1, FineUp, 0},
    };
    for (const auto& c : cases) {
        ap_selected_course = c.from;
        press(kCrs, kCrsKnob[c.knob]);
        EXPECT_EQ(ap_selected_course, c.to) << c.from << " knob " << c.knob;
    }
}

TEST_F(Selectors, HostCourseFollowsTheSelectorOrTheGpsWhileInsCoupled) {
    place(kCrs);
    ap_selected_course = 123;
    const struct { f64 host; bool sent; } cases[] = {{123.4, false}, {122.5, false}, {124.0, true}, {122.0, true}, {kNaN, true}};
    for (const auto& c : cases) {
        token(tk::obs, c.host);
        new_keys();
        frames(1);
        i32 v = -1;
        EXPECT_EQ(sent(key_course_set, &v), c.sent ? 1u : 0u) << c.host;
        if (c.sent) {
            EXPECT_EQ(v, 123);
        }
    }
    ins_source_sw = 1;
    ins1_status = 3;
    gps_plan_active = 1;
    token(tk::gps_course, 1.0);
    frames(2);
    EXPECT_EQ(host().token(tk::obs), 57.0);
    EXPECT_EQ(ap_crs_host_course, 57);
    EXPECT_EQ(ap_crs_drum_100, 3) << "the window shows the selector";
    EXPECT_EQ(ap_crs_drum_1, 7.0);
}
