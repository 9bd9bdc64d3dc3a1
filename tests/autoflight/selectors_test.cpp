// The altitude, heading and course selectors through the headless host: knob limits and wraps, drum
// targets, arm / capture / hold with the alert, the keys HDG S. sends, the host's course kept in step.
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "autoflight/ap_keys.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "host/host_model.h"
#include "module/keys.h"
#include "navigation/state.h"
#include "tests/host_fixture.h"
#include "warnings/state.h"

namespace {
const char* kAlt = "ketravin ap_alt_kr60";
const char* kHdg = "ketravin ap_hdg_kr60";
const char* kCrs = "ketravin ap_crs_kr60";
namespace tk {
constexpr u32 vs = 65, altitude = 74, ap = 103, hdg_bug = 107, gear_nose = 332, n2_1 = 625, gps_course = 838, obs = 854,
              gps_drives = 848, nav_hold = 105, hdg_hold = 106;
}
constexpr f64 kHostVsPerFpm = 256.0 / (3.281 * 60.0);
struct Point { i32 x, y; };
constexpr Point kAltDown10{60, 110}, kAltUp10{100, 110}, kAltDown100{60, 150}, kAltUp100{100, 150}, kAltButton{10, 10},
    kAcqButton{10, 125};
enum Knob { FineDown, FineUp, CoarseDown, CoarseUp };
constexpr Point kHdgKnob[4] = {{30, 110}, {70, 110}, {30, 150}, {70, 150}};
constexpr Point kCrsKnob[4] = {{5, 110}, {50, 110}, {5, 150}, {50, 150}};
enum { AcqLamp = 2, AmberDot = 8, AltMask = 9, HdgLamp = 2 };
}  // namespace

class Selectors : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        dc_ess_powered = 1;
    }
    void press(const char* g, Point p) { ASSERT_TRUE(click(g, p.x, p.y)); }
    // Half a foot per minute further out, so that the truncated reading is exactly vs_fpm.
    void air(f64 altitude_ft, f64 vs_fpm) {
        token(tk::altitude, altitude_ft);
        token(tk::vs, (vs_fpm + (vs_fpm > 0 ? 0.5 : vs_fpm < 0 ? -0.5 : 0.0)) * kHostVsPerFpm);
    }
    // Flight director on, host autopilot engaged, gear up, an engine running: the alert runs.
    void flying() {
        ap_fd_engaged = 1;
        token(tk::ap, 1.0);
        token(tk::gear_nose, 0.0);
        token(tk::n2_1, 60.0);
    }
};

TEST_F(Selectors, AltitudeKnobLimitsDrumsAndMask) {
    place(kAlt);
    const struct { i32 from; Point knob; i32 to; } knobs[] = {{39950, kAltUp100, 40000}, {60, kAltDown100, 0},
        {10, kAltDown10, 0}, {39990, kAltUp10, 40000}, {-50, kAltDown10, 0}, {50000, kAltDown10, 40000}};
    for (const auto& c : knobs) {
        ap_selected_altitude = c.from;
        press(kAlt, c.knob);
        EXPECT_EQ(ap_selected_altitude, c.to) << c.from;
    }
    const struct { i32 s; bool mask; i32 d10000, d1000, d100, d10; f64 d1; } drums[] = {
        {9990, true, 0, 1, 1, 1, 0.0}, {10000, false, 9, 0, 0, 0, 0.0}, {12345, false, 9, 8, 7, 6, 5.0}};
    for (const auto& c : drums) {
        ap_selected_altitude = c.s;
        frames(1);
        EXPECT_EQ(!hidden(element(kAlt, AltMask)), c.mask) << c.s;
        EXPECT_FALSE(hidden(element(kAlt, AmberDot))) << "lit with DC ESS";
        EXPECT_EQ(std::make_tuple(ap_alt_drum_10000, ap_alt_drum_1000, ap_alt_drum_100, ap_alt_drum_10, ap_alt_drum_1),
                  std::make_tuple(c.d10000, c.d1000, c.d100, c.d10, c.d1)) << c.s;
    }
}

// Armed at 9000 ft (descending first: no capture) climbing 1500 ft/min to 10000: V/S / 3 = 500 ft, so
// capture at 9500; it flies 1000 ft/min, holds from 20 ft below, memorises once level; a new selection
// re-captures. Capture outside 300 ft and each hold it enters take PITCH's altitude hold away.
TEST_F(Selectors, ArmCaptureHoldAndRecapture) {
    place(kAlt);
    flying();
    ap_selected_altitude = 10000;
    press(kAlt, kAcqButton);
    const struct { f64 a, v; i32 s; u8 mode, step; f64 host_vs, host_alt; u8 pitch_hold; } steps[] = {
        {9000, -300, 10000, 1, 1, 0, 0, 1}, {9000, 1500, 10000, 1, 1, 0, 0, 1}, {9499, 1500, 10000, 1, 1, 0, 0, 1},
        {9500, 1500, 10000, 2, 1, 0, 0, 1}, {9520, 1500, 10000, 2, 2, 1000, 10000, 0},
        {9700, 2000, 10000, 2, 2, 1000, 10000, 1},
        {9800, 900, 10000, 2, 2, 1000, 10000, 1}, {9981, 600, 10000, 3, 2, 1000, 10000, 0},
        {10000, 100, 10000, 3, 2, 1000, 10000, 1}, {10000, -100, 10000, 3, 2, 1000, 10000, 1},  // not yet level
        {10000, 0, 10000, 3, 3, 1000, 10000, 1}, {10000, 0, 11000, 25, 3, 1000, 10000, 1},
        {10000, 0, 11000, 25, 27, 1000, 11000, 0}, {10990, 300, 11000, 3, 27, 1000, 11000, 0},
        {10990, 0, 11000, 3, 3, 1000, 11000, 1}, {10990, 0, 10000, 25, 3, 1000, 11000, 1},
        {10300, 0, 10000, 25, 25, 1000, 10000, 1}, {10990, 0, 10000, 25, 26, -1000, 10000, 0},
        {10000, 0, 10000, 25, 26, -1000, 10000, 1},  // exactly on the selection: not yet met
        {9990, 0, 10000, 3, 26, -1000, 10000, 0}};
    for (const auto& s : steps) {
        air(s.a, s.v);
        ap_selected_altitude = s.s;
        ap_pitch_hold_engaged = 1;
        ap_vs_command = 0;  // what is sent is this frame's
        frames(1);
        EXPECT_EQ(std::make_tuple(ap_alt_mode, ap_alt_capture_step, ap_pitch_hold_engaged),
                  std::make_tuple(s.mode, s.step, s.pitch_hold)) << s.a;
        if (s.step == 1) {
            EXPECT_EQ(ap_alt_capture_vs, i32(s.v)) << "armed: the V/S to capture with";
        }
        EXPECT_EQ(std::make_pair(host().token(kHostApVsToken), host().token(kHostApAltCommandToken)),
                  std::make_pair(s.host_vs, s.host_alt)) << s.a;
    }
    token(tk::ap, 0.0);  // re-capturing without the host autopilot: the command is kept, not sent
    ap_alt_mode = ap_alt_capture_step = 25;
    air(9000.0, 0.0);
    new_keys();
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_vs_command, sent(key_ap_vs_set), ap_alt_capture_step),
              std::make_tuple(1000, size_t(0), u8(25)));
}

// Capture more than 300 ft from the selection flies bands of the present V/S toward it, and below
// them the V/S it had when armed; exactly 1000 ft/min sends nothing, nor does 300 ft exactly.
TEST_F(Selectors, CaptureBandsByVerticalSpeed) {
    place(kAlt);
    flying();
    ap_selected_altitude = 10000;
    const struct { f64 a, v; i32 sent; } cases[] = {
        {9600, 3300, 2500},   {9600, 3200, 1500},   {9600, 1700, 1500},   {9600, 1650, 1000},  {9600, 1001, 1000},
        {9600, 1000, -1},     {9600, 800, 700},     {10400, -1700, -1500}, {10400, -1650, -1000},
        {10400, -1001, -1000}, {10400, -1000, -1},   {10400, -800, 700},    {10300, -2000, -1},  {9700, 2000, -1}};
    for (const auto& c : cases) {
        ap_alt_mode = 2;
        ap_alt_capture_vs = 700;
        ap_pitch_hold_engaged = 1;
        air(c.a, c.v);
        new_keys();
        frames(1);
        EXPECT_EQ(ap_pitch_hold_engaged, std::fabs(c.a - 10000.0) > 300.0 ? 0 : 1)
            << "capture beyond 300 ft takes PITCH's altitude hold away: " << c.a;
        i32 vs = 0;
        const size_t n = sent(key_ap_vs_set, &vs);
        EXPECT_EQ(std::make_pair(n, vs), std::make_pair(size_t(c.sent == -1 ? 0 : 1), c.sent == -1 ? 0 : c.sent))
            << c.a << " at " << c.v;
    }
    // Within 300 ft: the hold from 20 ft before the selection on the way to it (and past it); level,
    // no hold.
    const struct { f64 a, v; u8 mode; } within[] = {
        {10010, -100, 3}, {10020, -100, 2}, {9990, 100, 3}, {9980, 100, 2}, {9990, 0, 2}, {10010, 100, 3}};
    for (const auto& c : within) {
        ap_alt_mode = 2;
        air(c.a, c.v);
        frames(1);
        EXPECT_EQ(ap_alt_mode, c.mode) << c.a << " at " << c.v;
    }
}

TEST_F(Selectors, AltitudeAlertOnEntryAndDeviationFromAHold) {
    place(kAlt);
    flying();
    ap_selected_altitude = 10000;
    press(kAlt, kAcqButton);
    // Climbing at 800 ft/min: the band is 9250 < A < 9750 (capture starts at 9734).
    const struct { f64 a; u16 callout; u8 state, request; } approach[] = {
        {9200.0, 0, 0, 0}, {9300.0, 0, 1, 1}, {9310.0, 0, 2, 1}, {9740.0, 0, 2, 1}, {9760.0, 0, 0, 0},
        {9300.0, 3, 1, 0}, {9310.0, 0, 2, 0},  // a call-out on the frame of entry: no chime
    };
    for (const auto& s : approach) {
        air(s.a, 800.0);
        gpws_callout = s.callout;
        frames(1);
        EXPECT_EQ(std::make_pair(ap_alt_alert_state, ap_alt_alert_request), std::make_pair(s.state, s.request)) << s.a;
    }
    ap_alt_mode = 3;  // held: climbing away through S + 250, then beyond S + 750
    ap_alt_capture_step = 3;
    ap_alt_held_selection = 10000;
    const struct { f64 a; u8 state, tone; } leave[] = {{10200.0, 0, 0}, {10300.0, 3, 1}, {10800.0, 0, 0}};
    for (const auto& s : leave) {
        air(s.a, 500.0);
        frames(1);
        EXPECT_EQ(std::make_pair(ap_alt_alert_state, ap_alt_deviation_alert), std::make_pair(s.state, s.tone)) << s.a;
    }
    air(10300.0, 500.0);  // deviating again, then ALT off: the tone request goes
    frames(1);
    ASSERT_EQ(ap_alt_deviation_alert, 1);
    ap_alt_mode = 0;
    frames(1);
    EXPECT_EQ(ap_alt_deviation_alert, 0);
}

// ALT while armed holds the present altitude (offset by the V/S sign), not a stale command, sent
// until reached even with the host autopilot off; ALT ACQ then shows mode 26 for one frame.
TEST_F(Selectors, AltFromArmedHoldsThePresentAltitude) {
    place(kAlt);
    const struct { f64 a, v; i32 command; u8 step; } cases[] = {
        {5000.0, 600.0, 5020, 1}, {5000.0, -600.0, 4980, 1}, {f64(NAN), 0.0, 5000, 1}, {5000.0, 0.0, 5000, 10}};  // no number: from the last altitude, never reached
    for (const auto& c : cases) {
        flying();
        token(tk::ap, 0.0);
        ap_alt_mode = ap_alt_capture_step = 1;
        ap_alt_command = 7000;
        air(c.a, c.v);
        token(78, -2.5);
        press(kAlt, kAltButton);
        token(kHostApVsToken, 777.0);
        new_keys();
        frames(1);
        EXPECT_EQ(host().token(kHostApVsToken), 0.0) << "V/S 0 on the first frame";
        EXPECT_EQ(ap_pitch_ref_deg, 2.5) << "PITCH's reference follows the attitude";
        i32 alt = -1;
        EXPECT_EQ(sent(key_ap_alt_set, &alt), 1u);
        EXPECT_EQ(std::make_tuple(alt, ap_alt_capture_step, ap_vs_command), std::make_tuple(c.command, c.step, 0))
            << c.a << " at " << c.v;
        if (c.step == 1) press(kAlt, kAltButton);  // off
        frames(1);
    }
    press(kAlt, kAcqButton);
    for (u8 mode : {26, 4, 4}) {
        EXPECT_EQ(ap_alt_mode, mode);
        frames(1);
        EXPECT_EQ(!hidden(element(kAlt, AcqLamp)), mode == 26);
        EXPECT_EQ(sent(key_ap_alt_set), 0u) << "the host keeps its command";
    }
}

// ALT (with a director): a hold ends; otherwise the present altitude is held, ending IAS; below LAND
// an approaching glide slope ends the approach, in LAND it refuses the hold.
TEST_F(Selectors, AltButtonHoldsThePresentAltitudeOrEnds) {
    place(kAlt);
    ap_fd_engaged = 1;
    const struct { u8 mode, approach, gs, mode_after, approach_after; } cases[] = {
        {0, 0, 0, 4, 0},  {3, 0, 0, 0, 0},   {1, 20, 1, 4, 0},  {0, 20, 0, 4, 20},
        {0, 29, 1, 4, 0}, {0, 30, 1, 0, 30}, {0, 30, 0, 4, 30}, {25, 0, 0, 4, 0}};
    for (const auto& c : cases) {
        ap_alt_mode = c.mode;
        ap_approach_state = c.approach;
        fd_gs_capture_state = c.gs;
        ap_ias_mode = 1;
        press(kAlt, kAltButton);
        EXPECT_EQ(std::make_tuple(ap_alt_mode, ap_approach_state, ap_ias_mode),
                  std::make_tuple(c.mode_after, c.approach_after, u8(c.mode_after == 4 ? 0 : 1)))
            << int(c.mode) << " " << int(c.approach) << " G/S " << int(c.gs);
    }
}

TEST_F(Selectors, HeadingKnobsWrapAndHdgSelectSendsEveryFrame) {
    place(kHdg);
    const struct { i32 from; Knob knob; i32 to; } cases[] = {{5, CoarseDown, 355}, {355, CoarseUp, 5},
        {349, CoarseUp, 359}, {359, FineUp, 0}, {0, FineDown, 359}, {360, FineUp, 1}, {-5, CoarseDown, 345}};
    for (const auto& c : cases) {
        ap_selected_heading = c.from;
        press(kHdg, kHdgKnob[c.knob]);
        EXPECT_EQ(ap_selected_heading, c.to) << c.from << " knob " << c.knob;
    }
    ap_selected_heading = 359;
    frames(1);
    EXPECT_TRUE(ap_hdg_drum_100 == 1 && ap_hdg_drum_10 == 5 && ap_hdg_drum_1 == 1.0);

    ap_fd_engaged = 1;
    new_keys();
    frames(1);
    EXPECT_EQ(sent(key_ap_heading_set), 0u) << "no bug without the host autopilot";
    token(tk::ap, 1.0);
    press(kHdg, {70, 10});  // HDG
    new_keys();
    ap_roll_hold_engaged = 1;
    ap_nav_mode = ap_bb_mode = ap_turb_mode = ap_go_around_mode = 1;  // HDG S. excludes them every frame
    frames(3);
    EXPECT_EQ(ap_nav_mode + ap_bb_mode + ap_turb_mode + ap_go_around_mode, 0);
    EXPECT_EQ(std::make_pair(ap_roll_hold_engaged, ap_roll_takeover_pending), std::make_pair(u8(0), u8(1)));
    const std::vector<KeyLogEntry> log = new_keys();
    for (u32 key : {key_ap_hdg_hold_event_b, key_ap_wing_leveler_off, key_ap_heading_set})
        EXPECT_EQ(std::count_if(log.begin(), log.end(), [&](const KeyLogEntry& e) { return e.id == key && e.sent; }), 3)
            << std::hex << key;
    EXPECT_EQ(host().token(tk::hdg_bug), 359.0);
    EXPECT_FALSE(hidden(element(kHdg, HdgLamp)));
}

// V/L and HDG give NAV 1 back to the radio when the GPS drives it, by the flag as another gauge
// last read it, and end NAV. With B/B on, V/L stays off; in LAND on the beam HDG is refused, but
// the toggle goes first. HDG below LAND ends the approach and a captured V/L.
TEST_F(Selectors, VlAndHdgHandNavOneBackFromTheGpsToTheRadio) {
    place(kHdg);
    place("ketravin gps_drives_kr60");  // reads the host's GPS-drives flag every frame
    ap_fd_engaged = 1;
    constexpr Point kVl{10, 10}, kHdgButton{70, 10};
    const struct { f64 gps; Point button; u8 bb, approach, captured, vl, hdg, nav, approach_after; size_t toggles; }
        cases[] = {
            {1.0, kVl, 0, 0, 0, 1, 0, 0, 0, 1},         {0.0, kVl, 0, 0, 0, 1, 0, 0, 0, 0},
            {1.0, kVl, 1, 0, 0, 0, 0, 0, 0, 1},         {1.0, kHdgButton, 0, 0, 0, 0, 1, 0, 0, 1},
            {0.0, kHdgButton, 0, 0, 0, 0, 1, 0, 0, 0},  {1.0, kHdgButton, 0, 30, 1, 0, 0, 1, 30, 1},
            {0.0, kHdgButton, 0, 30, 0, 0, 1, 0, 0, 0}, {0.0, kHdgButton, 0, 20, 1, 0, 1, 0, 0, 0}};
    for (const auto& c : cases) {
        ap_vl_mode = c.captured;  // a captured beam was V/L's
        ap_hdg_select_mode = 0;
        ap_nav_mode = 1;
        ap_bb_mode = c.bb;
        ap_approach_state = c.approach;
        fd_vl_captured = c.captured;
        token(tk::gps_drives, c.gps);
        frames(1);
        new_keys();
        press(kHdg, c.button);
        SCOPED_TRACE(testing::Message() << c.gps << " " << c.button.x << " B/B " << int(c.bb) << " approach "
                                        << int(c.approach) << " captured " << int(c.captured));
        EXPECT_EQ(std::make_tuple(ap_vl_mode, ap_hdg_select_mode, ap_nav_mode, ap_approach_state, fd_vl_captured),
                  std::make_tuple(c.vl, c.hdg, c.nav, c.approach_after, c.approach_after == 30 ? c.captured : u8(0)));
        EXPECT_EQ(sent(key_gps_drives_nav1_toggle), c.toggles);
    }
    ap_vl_mode = ap_hdg_select_mode = 1;  // V/L on: a press only ends it, HDG S. steers on
    ap_nav_mode = 0;
    token(tk::gps_drives, 1.0);
    frames(1);
    new_keys();
    press(kHdg, kVl);
    EXPECT_EQ(std::make_tuple(ap_vl_mode, ap_hdg_select_mode, sent(key_gps_drives_nav1_toggle)),
              std::make_tuple(u8(0), u8(1), size_t(0)));
}

// V/L armed on an ILS couples the localizer every frame with the host autopilot on (NAV hold
// released when on), and the bug flies until capture. On a VOR, once captured, the bug goes to the
// director's V/L heading. A captured V/L ends HDG S.
TEST_F(Selectors, VlArmedCouplesTheLocalizerOrFliesTheVorHeading) {
    place(kHdg);
    ap_fd_engaged = ap_vl_mode = 1;
    ap_selected_heading = 90;
    fd_vl_heading_target = 75;
    token(tk::ap, 1.0);
    // HDG S. also releases the wing leveler every frame; a captured VOR once more.
    const struct { f64 code; u8 captured; size_t couple; i32 bug; u8 loc, hdg; size_t leveler_off; } cases[] = {
        {192, 0, 1, 90, 1, 1, 1}, {128, 1, 1, -1, 1, 0, 1}, {0, 0, 0, 90, 0, 1, 1}, {0, 1, 0, 75, 0, 0, 2}};
    for (const auto& c : cases) {
        token(46, c.code);
        token(tk::nav_hold, 1.0);
        token(104, 1.0);
        fd_vl_captured = c.captured;
        fd_loc_available = 0;
        ap_hdg_select_mode = 1;
        new_keys();
        frames(1);
        const std::vector<KeyLogEntry> log = new_keys();
        size_t couple = 0, nav_off = 0, leveler_off = 0;
        i32 bug = -1;
        for (const KeyLogEntry& k : log) {
            couple += k.id == key_ap_event_1010d;
            nav_off += k.id == key_ap_nav_hold_event_b;
            leveler_off += k.id == key_ap_wing_leveler_off;
            if (k.id == key_ap_heading_set) bug = i32(k.value);
        }
        SCOPED_TRACE(testing::Message() << c.code << " captured " << int(c.captured));
        EXPECT_EQ(std::make_tuple(couple, nav_off, bug, leveler_off),
                  std::make_tuple(c.couple, c.couple, c.bug, c.leveler_off));
        EXPECT_EQ(std::make_pair(fd_loc_available, ap_hdg_select_mode), std::make_pair(c.loc, c.hdg));
    }
}

// The heading target: the NAV course with NAV on, even with a beam captured; else the selector
// until a beam is captured, then it keeps its value and no bug is sent.
TEST_F(Selectors, HeadingTargetFromNavTheSelectorOrKept) {
    place(kHdg);
    token(tk::ap, 1.0);
    ap_selected_heading = 90;
    ap_nav_course_deg = 123;
    const struct { u8 nav, captured; i32 target, bug; } cases[] = {
        {1, 1, 123, -1}, {0, 0, 90, 90}, {0, 1, 90, -1}, {1, 0, 123, 123}, {0, 1, 123, -1}};
    ap_approach_state = 20;  // keeps a captured beam
    for (const auto& c : cases) {
        ap_nav_mode = c.nav;
        fd_vl_captured = c.captured;
        new_keys();
        frames(1);
        i32 bug = -1;
        sent(key_ap_heading_set, &bug);
        EXPECT_EQ(std::make_pair(ap_heading_target, bug), std::make_pair(c.target, c.bug))
            << int(c.nav) << " captured " << int(c.captured);
    }
}

// Holds no mode asks for are released: the NAV hold without V/L and NAV below the approach states
// (10); the heading hold without HDG S. and NAV, also with V/L armed on a VOR or a beam captured
// in an approach.
TEST_F(Selectors, HostHoldsReleasedWhenNoModeAsksForThem) {
    place(kHdg);
    ap_fd_engaged = 1;
    const struct { u8 approach, nav, vl, captured; size_t nav_released, hdg_released; } cases[] = {
        {0, 0, 0, 0, 1, 1}, {9, 0, 0, 0, 1, 1}, {10, 0, 0, 0, 0, 1}, {0, 1, 0, 0, 0, 0}, {20, 0, 0, 1, 0, 1},
        {0, 0, 1, 0, 0, 1}};
    for (const auto& c : cases) {
        ap_approach_state = c.approach;
        ap_nav_mode = c.nav;
        ap_vl_mode = c.vl;
        fd_vl_captured = c.captured;
        fd_loc_available = 1;
        token(tk::nav_hold, 1.0);
        token(tk::hdg_hold, 1.0);
        new_keys();
        frames(1);
        const std::vector<KeyLogEntry> log = new_keys();
        const auto count = [&](u32 key) {
            return size_t(std::count_if(log.begin(), log.end(), [&](const KeyLogEntry& e) { return e.id == key; }));
        };
        SCOPED_TRACE(testing::Message() << int(c.approach) << " NAV " << int(c.nav) << " V/L " << int(c.vl)
                                        << " captured " << int(c.captured));
        EXPECT_EQ(count(key_ap_nav_hold_event_b), c.nav_released);
        EXPECT_EQ(count(key_ap_nav_hold_event_a), c.nav_released);
        EXPECT_EQ(count(key_ap_hdg_hold_event_a), c.hdg_released);
        EXPECT_EQ(fd_loc_available, c.vl) << "no localizer wanted without V/L";
    }
}

TEST_F(Selectors, CourseWrapsAndTheHostFollowsSelectorOrGps) {
    place(kCrs);
    ap_selected_course = 15;
    press(kCrs, kCrsKnob[CoarseDown]);  // two clicks in one frame
    press(kCrs, kCrsKnob[CoarseDown]);
    EXPECT_EQ(ap_selected_course, 355);
    const struct { i32 from; Knob knob; i32 to; } knobs[] = {{0, CoarseDown, 350}, {10, CoarseDown, 0},
        {350, CoarseUp, 0}, {355, CoarseUp, 5}, {351, CoarseUp, 1}, {359, FineUp, 0}, {360, CoarseUp, 10}};
    for (const auto& c : knobs) {
        ap_selected_course = c.from;
        press(kCrs, kCrsKnob[c.knob]);
        EXPECT_EQ(ap_selected_course, c.to) << c.from << " knob " << c.knob;
    }
    for (const auto& [course, wrap] : {std::pair<i32, i32>{5, 355}, {357, 7}, {123, 7}, {350, 7}}) {  // kept between
        ap_selected_course = course;
        frames(1);
        EXPECT_EQ(ap_crs_wrap10, wrap) << course;
    }
    ap_selected_course = 123;
    frames(2);  // the host takes the selector's course
    const struct { f64 host; size_t sent; } sync[] = {{123.4, 0}, {122.5, 0}, {124.0, 1}, {122.0, 1}, {f64(NAN), 1}};
    for (const auto& c : sync) {
        token(tk::obs, c.host);
        new_keys();
        frames(1);
        i32 v = -1;
        EXPECT_EQ(sent(key_course_set, &v), c.sent) << c.host;
        EXPECT_TRUE(c.sent == 0 || v == 123);
        EXPECT_EQ(ap_crs_host_course, 123);
        frames(1);  // the key lands after the frame it was sent in
    }
    ins_source_sw = 1;  // INS-coupled: the host follows the GPS, the window the selector
    gps_plan_active = 1;
    token(tk::gps_course, 1.0);
    frames(2);
    EXPECT_EQ(std::make_pair(host().token(tk::obs), ap_crs_host_course), std::make_pair(57.0, 57));
    EXPECT_TRUE(ap_crs_drum_100 == 3 && ap_crs_drum_1 == 7.0);
}

// The first frame loads the course selector from the host's NAV 1 course. The course gauge does
// not wait for that: called ahead of the systems computer it sends its 0, which the host applies
// only after the frame, so the selector still loads the host's course and the next frame puts the
// host back on it; alone, the selector's 0 goes to the host like any other course. One case per
// test: each starts from the module's start values.
struct CourseStart {
    bool systems, reverse;  // the whole panel (else the course gauge alone), called last to first
    std::vector<i32> sent;  // courses sent over the first three frames
    i32 course;             // the selector and the host's course after them
};
class CourseFirstFrame : public Selectors, public ::testing::WithParamInterface<CourseStart> {};

TEST_P(CourseFirstFrame, SendsFromTheFirstFrameAndTheHostKeepsItsCourseInEitherGaugeOrder) {
    const CourseStart& c = GetParam();
    host().set_reverse_order(c.reverse);
    token(tk::obs, 123.0);
    token(tk::hdg_bug, 45.0);
    if (c.systems)
        host().place_all();
    else
        place(kCrs);
    frames(3);
    std::vector<i32> courses;
    for (const KeyLogEntry& k : new_keys())
        if (k.id == key_course_set && k.sent) courses.push_back(i32(k.value));
    EXPECT_EQ(courses, c.sent);
    EXPECT_EQ(std::make_pair(ap_selected_course, host().token(tk::obs)), std::make_pair(c.course, f64(c.course)));
    EXPECT_EQ(ap_selected_heading, c.systems ? 45 : 0);
    press(kCrs, kCrsKnob[FineUp]);
    frames(1);
    i32 v = -1;
    EXPECT_EQ(sent(key_course_set, &v), 1u);
    EXPECT_EQ(v, c.course + 1);
}
INSTANTIATE_TEST_SUITE_P(Order, CourseFirstFrame,
                         ::testing::Values(CourseStart{false, false, {0}, 0}, CourseStart{true, false, {0, 123}, 123},
                                           CourseStart{true, true, {}, 123}));
