// The autopilot mode panel through the headless host: engagement with the host's autopilot flag,
// approach and LAND to roll-out, the pitch, IAS, bank and yaw laws, the pitch wheel, hostile values.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "air/state.h"
#include "autoflight/ap_keys.h"
#include "autoflight/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "flight_controls/state.h"
#include "fuel/state.h"
#include "host/host_model.h"
#include "hydraulics/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/keys.h"
#include "module/state_registry.h"
#include "navigation/gps_block.h"
#include "navigation/state.h"
#include "sim_control/presets_keys.h"
#include "systems/systems_keys.h"
#include "tests/clock_jump.h"
#include "tests/host_fixture.h"

namespace {
const char* kPanel = "ketravin ap_master_kr60";
namespace tk {
constexpr u32 code = 46, signal = 49, ground = 60, ias = 61, vs = 65, slip = 69, altitude_m = 73, pitch = 78,
              bank_b = 79, bank = 80, ap = 103, heading_fail = 282, aileron = 313, rudder = 316, elevator = 317,
              radio_m = 614, apfd_reset = 785, alt_hold = 108, axis1 = 128;
}
struct Point { i32 x, y; };  // inside the panel's rectangles
constexpr Point kFd1{20, 70}, kFd2{60, 70}, kCmd1Up{180, 10}, kCmd2Up{250, 10}, kIas{10, 10}, kNav{50, 10},
    kLand{90, 10}, kAppr{130, 10}, kWheelDown{140, 120};
constexpr f64 kHostVsPerFpm = 1.30048;
constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
enum { BigWheel = 13, LabelAp = 16, WheelCover = 18 };
}  // namespace

class ApMaster : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kPanel);
        dc_ess_powered = dc_normal_powered = elec_ac_bus1_powered = elec_ac_bus2_powered = 1;
        elec_ess_equipment_level = 1;
        hyd_avail[1] = hyd_avail[2] = 1;
        fctl_yaw_damper_count = fctl_pitch_trim_count = 2;
        token(tk::ias, 250.0);
    }
    void press(Point p, u32 flags = MouseLeftSingle) { ASSERT_TRUE(click(kPanel, p.x, p.y, flags)); }
    // FD 1 and CMD 1 up, one frame: the host autopilot is on from then.
    void engage_cmd1() {
        press(kFd1);
        press(kCmd1Up);
        frames(1);
        ASSERT_EQ(ap_cmd_engaged, 1);
        ASSERT_EQ(host().token(tk::ap), 1.0);
    }
    void ils_received() {
        token(tk::code, 0xC0);
        token(tk::signal, 1.0);
    }
    // ILS received, CMD 1 engaged, LAND armed above 700 ft.
    void land_armed() {
        ils_received();
        engage_cmd1();
        radio_ft(1500.0);
        press(kLand);
        frames(1);
        ASSERT_EQ(ap_approach_state, 30);
    }
    void radio_ft(f64 ft) {
        inst_radio_alt_ft = ft;
        token(tk::radio_m, ft / 3.281);
    }
};

TEST_F(ApMaster, EngagementDualCmdOnlyInAnApproachAndTheHostFlagDropsAll) {
    press(kFd1);
    EXPECT_EQ(ap_fd_engaged, 1);
    press(kCmd1Up);
    EXPECT_EQ(ap_cmd_engaged, 0) << "the click only latches the lever";
    new_keys();
    frames(1);
    EXPECT_EQ(ap_cmd_engaged, 1);
    EXPECT_EQ(sent(key_ap_master_on), 1u);
    EXPECT_EQ(host().token(792), 1.0) << "the host's flight-director flag";
    frames(1);
    EXPECT_EQ(sent(key_ap_master_on), 0u) << "host flag now 1.0";
    press(kCmd2Up);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_cmd2_lever, ap_cmd_engaged), std::make_pair(u8(0), u8(1))) << "no approach";
    ils_received();
    press(kAppr);
    press(kCmd2Up);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_cmd_engaged, ap_fd_engaged), std::make_pair(u8(3), u8(3)));
    hyd_avail[1] = 0;  // side 1 fails: side 2 carries on
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_cmd_engaged, ap_fd_engaged, ap_cmd1_lever), std::make_tuple(u8(2), u8(2), u8(0)));
    EXPECT_EQ(ap_roll_mode + ap_pitch_mode, 2);
    token(tk::ap, 0.0);  // the host disconnects, its wing leveler on: released
    token(104, 1.0);
    new_keys();
    frames(1);
    EXPECT_EQ(sent(key_ap_wing_leveler_off), 1u);
    EXPECT_EQ(ap_cmd_engaged + ap_cmd1_lever + ap_cmd2_lever + ap_sim_ap_latched, 0);
    frames(1);  // CMD still asked for the master in that frame; now it is released
    EXPECT_EQ(std::make_tuple(host().token(tk::ap), ap_roll_mode, ap_pitch_mode), std::make_tuple(0.0, u8(0), u8(0)));
}

// A heading failure and a bank past 55 degrees (read a frame late) drop every channel.
TEST_F(ApMaster, HeadingFailureAndSteepBankDropEverything) {
    for (const auto& [id, bad] : {std::pair<u32, f64>{tk::heading_fail, 1.0}, {tk::bank, -55.0}}) {
        engage_cmd1();
        frames(1);
        token(id, bad);
        frames(2);
        EXPECT_EQ(ap_fd_engaged + ap_cmd_engaged, 0) << id;
        token(id, 0.0);
        frames(1);
    }
}

// The button takes DC ESS for side 1; the frame wants AC bus 1. An FD press with a director on
// turns both off.
TEST_F(ApMaster, FdOneOnDcEssentialAloneEngagesThenDropsAndASecondPressClears) {
    elec_ac_bus1_powered = 0;
    press(kFd1);
    EXPECT_EQ(ap_fd_engaged, 1);
    frames(1);
    EXPECT_EQ(ap_fd_engaged, 0);
    elec_ac_bus1_powered = 1;
    press(kFd1);
    frames(1);
    press(kFd2);
    EXPECT_EQ(ap_fd_engaged, 0);
}

// Side 1 is supplied by AC bus 1 or DC ESS: on AC bus 1 alone, FD 1 and CMD 1 engage and stay.
TEST_F(ApMaster, SideOneOnAcBusOneAloneEngagesFdAndCmd) {
    dc_ess_powered = 0;
    press(kFd1);
    EXPECT_EQ(ap_fd_engaged, 1);
    press(kCmd1Up);
    frames(2);
    EXPECT_EQ(std::make_tuple(ap_fd_engaged, ap_cmd_engaged, ap_cmd1_lever), std::make_tuple(u8(1), u8(1), u8(1)));
}

// IAS (with a director): an armed altitude stays armed, any other altitude mode ends; refused in
// LAND on the beam; an approach whose glide slope is approaching ends. A second press ends IAS.
TEST_F(ApMaster, IasButtonKeepsOnlyAnArmedAltitudeAndEndsAnApproachingBeam) {
    press(kFd1);
    const struct { u8 approach, captured, gs, alt, ias, alt_after, approach_after; } cases[] = {
        {0, 0, 0, 1, 1, 1, 0},   {0, 0, 0, 2, 1, 0, 0},   {0, 0, 0, 4, 1, 0, 0},    {20, 0, 1, 0, 1, 0, 0},
        {20, 0, 2, 0, 1, 0, 20}, {30, 1, 0, 1, 0, 1, 30}, {30, 0, 0, 25, 1, 0, 30}};
    for (const auto& c : cases) {
        ap_ias_mode = 0;
        ap_approach_state = c.approach;
        fd_vl_captured = c.captured;
        fd_gs_capture_state = c.gs;
        ap_alt_mode = c.alt;
        ap_turb_mode = ap_go_around_mode = ats_spd_mode = 1;
        press(kIas);
        const int rivals = ap_turb_mode + ap_go_around_mode + ats_spd_mode;
        EXPECT_EQ(std::make_tuple(ap_ias_mode, ap_alt_mode, ap_approach_state, rivals),
                  std::make_tuple(c.ias, c.alt_after, c.approach_after, c.ias == 1 ? 0 : 3))
            << int(c.approach) << " captured " << int(c.captured) << " G/S " << int(c.gs) << " ALT " << int(c.alt);
    }
    press(kIas);
    EXPECT_EQ(ap_ias_mode, 0);
}

// B/B (with a director, without CMD) comes on only without V/L and NAV and ends HDG S.; a second
// press ends it. Each frame HDG S. stays off under B/B, and V/L or CMD ends B/B.
TEST_F(ApMaster, BackBeamExcludesHdgSelectAndEndsWithVlOrCmd) {
    press(kFd1);
    constexpr Point kBb{10, 130};
    const struct { u8 bb, vl, nav; u8 bb_pressed; u8 hdg_after_frame, bb_after_frame; } cases[] = {
        {0, 0, 0, 1, 0, 1}, {1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 1, 0}, {0, 0, 1, 0, 1, 0}};
    for (const auto& c : cases) {
        ap_bb_mode = c.bb;
        ap_vl_mode = c.vl;
        ap_nav_mode = c.nav;
        ap_hdg_select_mode = 1;
        press(kBb);
        EXPECT_EQ(ap_bb_mode, c.bb_pressed) << int(c.bb) << int(c.vl) << int(c.nav);
        ap_vl_mode = ap_nav_mode = 0;
        ap_hdg_select_mode = 1;
        frames(1);
        EXPECT_EQ(std::make_pair(ap_hdg_select_mode, ap_bb_mode), std::make_pair(c.hdg_after_frame, c.bb_after_frame))
            << int(c.bb) << int(c.vl) << int(c.nav);
    }
    ap_vl_mode = 1;  // V/L ends B/B in the frame
    frames(1);
    EXPECT_EQ(ap_bb_mode, 0);
}

// TURB (needs CMD): on unless GO A. or LAND engaged, ending the approach and the other modes, and
// keeping them off every frame while CMD holds; a second press ends it; without CMD it ends.
TEST_F(ApMaster, TurbulenceModeExcludesTheOthersWhileCmdHolds) {
    constexpr Point kTurb{200, 130};
    engage_cmd1();
    const struct { u8 turb, go_around, land_engaged, approach, turb_after, approach_after; } cases[] = {
        {0, 0, 0, 20, 1, 0}, {1, 0, 0, 20, 0, 20}, {0, 1, 0, 20, 0, 20}, {0, 0, 1, 30, 0, 30}, {0, 0, 0, 30, 1, 0}};
    for (const auto& c : cases) {
        ap_turb_mode = c.turb;
        ap_go_around_mode = c.go_around;
        ap_land_engaged = c.land_engaged;
        ap_approach_state = c.approach;
        ap_ias_mode = 1;
        press(kTurb);
        EXPECT_EQ(std::make_tuple(ap_turb_mode, ap_approach_state, ap_ias_mode),
                  std::make_tuple(c.turb_after, c.approach_after, u8(c.turb_after == 1 ? 0 : 1)))
            << int(c.turb) << int(c.go_around) << int(c.land_engaged) << int(c.approach);
    }
    ap_go_around_mode = ap_land_engaged = 0;
    ap_hdg_select_mode = ap_vl_mode = ap_bb_mode = 1;
    ap_alt_mode = 4;
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_turb_mode, ap_hdg_select_mode, ap_vl_mode, ap_bb_mode, ap_alt_mode),
              std::make_tuple(u8(1), u8(0), u8(0), u8(0), u8(0)));
    ASSERT_TRUE(click(kPanel, 180, 60));  // CMD off
    ap_turb_mode = 1;
    ap_hdg_select_mode = 1;
    frames(1);
    EXPECT_EQ(std::make_pair(ap_turb_mode, ap_hdg_select_mode), std::make_pair(u8(0), u8(1)));
}

// The director's own PITCH (FD on, no CMD, host autopilot off): on unless IAS, an altitude capture or
// hold, or GO A.; in an approach only until the glide slope approaches. Off without a director.
TEST_F(ApMaster, DirectorPitchHoldWithoutTheAutopilot) {
    press(kFd1);
    const struct { u8 ias, alt, go_around, approach, gs, fd, hold; } cases[] = {
        {0, 0, 0, 0, 0, 1, 1}, {1, 0, 0, 0, 0, 1, 0}, {0, 2, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, 1, 1},
        {0, 0, 1, 0, 0, 1, 0}, {0, 0, 0, 10, 0, 1, 1}, {0, 0, 0, 10, 1, 1, 0}, {0, 0, 0, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        ap_fd_engaged = c.fd;
        std::tie(ap_ias_mode, ap_alt_mode, ap_go_around_mode, ap_approach_state) =
            std::make_tuple(c.ias, c.alt, c.go_around, c.approach);
        fd_gs_capture_state = c.gs;
        fd_pitch_hold = 1 - c.hold;
        frames(1);
        EXPECT_EQ(fd_pitch_hold, c.hold) << int(c.ias) << int(c.alt) << int(c.go_around) << int(c.approach)
                                         << int(c.gs) << int(c.fd);
    }
}

// In an approach (10 and up) in the air the mode panel takes NAV 1 back from the GPS, releases the
// wing leveler once the beam is captured and the host's NAV hold (both keys without NAV), and tells
// the director a glide slope is wanted; otherwise it releases a NAV hold it has no NAV for.
TEST_F(ApMaster, ApproachHandsNavOneBackAndReleasesTheHolds) {
    press(kFd1);
    const u32 toggle = key_gps_drives_nav1_toggle, wl = key_ap_wing_leveler_off, nav_b = key_ap_nav_hold_event_b,
              nav_a = key_ap_nav_hold_event_a;
    const struct { u8 approach, nav, captured; f64 ground; std::vector<u32> keys; u8 gs; } cases[] = {
        {10, 0, 1, 0.0, {toggle, wl, nav_b, nav_a}, 1}, {20, 1, 0, 0.0, {toggle, nav_b}, 1},
        {10, 0, 0, 1.0, {nav_a}, 0},                    {9, 0, 0, 0.0, {nav_a}, 0},
        {0, 1, 0, 0.0, {}, 0}};
    for (const auto& c : cases) {
        ap_approach_state = c.approach;
        ap_nav_mode = c.nav;
        fd_vl_captured = c.captured;
        fd_gs_available = 1 - c.gs;
        for (u32 id : {105u, 848u}) token(id, 1.0);
        token(104, c.captured);  // without CMD the wing leveler goes anyway when on
        token(tk::ground, c.ground);
        new_keys();
        frames(1);
        std::vector<u32> keys;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == toggle || k.id == wl || k.id == nav_b || k.id == nav_a) keys.push_back(k.id);
        SCOPED_TRACE(testing::Message() << int(c.approach) << " NAV " << int(c.nav) << " captured " << int(c.captured)
                                        << " ground " << c.ground);
        EXPECT_EQ(keys, c.keys);
        EXPECT_EQ(fd_gs_available, c.gs);
        ap_nav_mode = 0;
    }
}

// With the host autopilot on: ROLL without a lateral mode, or with V/L or an approach (20 and up)
// until the beam is captured and without HDG S.; PITCH unless IAS, an altitude capture or hold, or
// GO A., above 800 ft/min always, in an approach until the glide slope approaches.
TEST_F(ApMaster, BasicModesUnderTheHostAutopilot) {
    engage_cmd1();
    struct Bytes { u8 hdg, vl, approach, captured, ias, alt, go_around, gs; i32 vs; };
    const struct { Bytes b; u8 roll, pitch; } cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0, 0}, 1, 1},   {{1, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
        {{0, 1, 0, 0, 0, 0, 0, 0, 0}, 1, 1},   {{0, 1, 0, 1, 0, 0, 0, 0, 0}, 0, 1},
        {{1, 1, 0, 0, 0, 0, 0, 0, 0}, 0, 1},   {{0, 0, 11, 0, 0, 0, 0, 0, 0}, 0, 1},
        {{0, 0, 20, 0, 0, 0, 0, 1, 0}, 1, 0},  {{0, 0, 20, 0, 0, 0, 0, 1, 801}, 1, 1},
        {{0, 0, 20, 0, 0, 0, 0, 1, 800}, 1, 0}, {{0, 0, 20, 0, 0, 0, 0, 0, 0}, 1, 1},
        {{0, 0, 0, 0, 1, 0, 0, 0, 900}, 1, 0}, {{0, 0, 0, 0, 0, 2, 0, 0, 900}, 1, 0},
        {{0, 0, 0, 0, 0, 1, 0, 0, 0}, 1, 1},   {{0, 0, 0, 0, 0, 0, 1, 0, 900}, 1, 0}};
    for (const auto& c : cases) {
        const Bytes& b = c.b;
        std::tie(ap_hdg_select_mode, ap_vl_mode, ap_approach_state, fd_vl_captured) =
            std::make_tuple(b.hdg, b.vl, b.approach, b.captured);
        std::tie(ap_ias_mode, ap_alt_mode, ap_go_around_mode, fd_gs_capture_state) =
            std::make_tuple(b.ias, b.alt, b.go_around, b.gs);
        inst_vs_fpm = b.vs;
        frames(1);
        EXPECT_EQ(std::make_pair(ap_roll_mode, ap_pitch_mode), std::make_pair(c.roll, c.pitch))
            << int(b.hdg) << int(b.vl) << " " << int(b.approach) << " " << int(b.captured) << int(b.ias) << int(b.alt)
            << int(b.go_around) << int(b.gs) << " " << b.vs;
    }
}

// The attitude indicator's modes, first match wins: lateral B/B, HDG S. or NAV, V/L, approach;
// vertical the director's PITCH, IAS, capture (2, 25, 26), hold (3, 4), approach.
TEST_F(ApMaster, FlightDirectorModesFollowThePanelInOrder) {
    press(kFd1);
    struct Bytes { u8 bb, hdg, nav, vl, approach, pitch_hold, ias, alt; };
    const struct { Bytes b; u8 lateral, vertical; } cases[] = {
        {{1, 1, 0, 1, 20, 1, 1, 2}, 1, 1}, {{0, 1, 0, 1, 20, 0, 1, 2}, 2, 2}, {{0, 0, 1, 1, 20, 0, 0, 2}, 2, 3},
        {{0, 0, 0, 1, 20, 0, 0, 25}, 3, 3}, {{0, 0, 0, 0, 20, 0, 0, 26}, 4, 3}, {{0, 0, 0, 0, 20, 0, 0, 3}, 4, 4},
        {{0, 0, 0, 0, 20, 0, 0, 4}, 4, 4},  {{0, 0, 0, 0, 20, 0, 0, 1}, 4, 5}, {{0, 0, 0, 0, 0, 0, 0, 0}, 0, 0}};
    for (const auto& c : cases) {
        ap_fd_engaged = 1;
        std::tie(ap_bb_mode, ap_hdg_select_mode, ap_nav_mode, ap_vl_mode, ap_approach_state) =
            std::make_tuple(c.b.bb, c.b.hdg, c.b.nav, c.b.vl, c.b.approach);
        std::tie(fd_pitch_hold, ap_ias_mode, ap_alt_mode) = std::make_tuple(c.b.pitch_hold, c.b.ias, c.b.alt);
        frames(1);
        EXPECT_EQ(std::make_pair(fd_lateral_mode, fd_vertical_mode), std::make_pair(c.lateral, c.vertical))
            << int(c.lateral) << " " << int(c.vertical);
    }
}

// Each lamp of the panel by its byte, dark without DC ESS; the lamp test lights them all.
TEST_F(ApMaster, PanelLampsFollowTheirModes) {
    enum { Fd1 = 5, Fd2, IasLamp, LandLamp, ApprLamp, BbLamp, TurbLamp, NavLamp = 17 };
    const struct { const char* what; void (*set)(); std::set<int> lit; } cases[] = {
        {"dual director", [] { ap_fd_engaged = 3; }, {Fd1, Fd2}},
        {"FD 2", [] { ap_fd_engaged = 2; }, {Fd2}},
        {"IAS, TURB", [] { ap_ias_mode = ap_turb_mode = 1; }, {Fd2, IasLamp, TurbLamp}},
        {"APP, B/B, NAV 3",
         [] {
             ap_ias_mode = ap_turb_mode = 0;
             ap_approach_state = 21;
             ap_bb_mode = 1;
             ap_nav_mode = 3;
         },
         {Fd2, ApprLamp, BbLamp, NavLamp}},
        {"LAND",
         [] {
             ap_bb_mode = ap_nav_mode = 0;
             ap_approach_state = 40;
         },
         {Fd2, LandLamp}},
        {"no DC essential", [] { dc_ess_powered = 0; }, {}},
        {"lamp test", [] { dc_ess_powered = light_lamp_test = 1; }, {Fd1, Fd2, IasLamp, LandLamp, ApprLamp, BbLamp,
                                                                     TurbLamp, NavLamp}},
    };
    for (const auto& c : cases) {
        c.set();
        frames(1);
        std::set<int> lit;
        for (int p : {Fd1, Fd2, IasLamp, LandLamp, ApprLamp, BbLamp, TurbLamp, NavLamp})
            if (!hidden(element(kPanel, size_t(p)))) lit.insert(p);
        EXPECT_EQ(lit, c.lit) << c.what;
    }
    dc_ess_powered = 0;  // the levers follow their bytes without power
    for (const auto& [lever1, lever2] : {std::pair<u8, u8>{1, 0}, {0, 1}}) {
        ap_cmd1_lever = lever1;
        ap_cmd2_lever = lever2;
        ap_fd_engaged = 0;
        frames(1);
        std::vector<bool> shown;
        for (size_t p = 1; p <= 4; ++p) shown.push_back(!hidden(element(kPanel, p)));
        EXPECT_EQ(shown, (std::vector<bool>{lever1 == 1, lever1 != 1, lever2 == 1, lever2 != 1})) << int(lever1);
    }
}

// CMD off releases the host's master and every hold that reads on; the flags are read once, so the
// two release blocks of the frame both send.
TEST_F(ApMaster, CmdOffReleasesTheHostHolds) {
    engage_cmd1();
    frames(1);  // PITCH and ROLL: altitude hold and wing leveler on
    token(106, 1.0);
    token(114, 1.0);
    ap_turb_mode = 1;
    ASSERT_EQ(ap_pitch_hold_engaged, 1);
    ASSERT_TRUE(click(kPanel, 180, 60));  // CMD 1 OFF: the click itself clears TURB and PITCH's hold
    EXPECT_EQ(std::make_tuple(ap_cmd_engaged, ap_turb_mode, ap_pitch_hold_engaged),
              std::make_tuple(u8(0), u8(0), u8(0)));
    new_keys();
    frames(1);
    const std::vector<KeyLogEntry> log = new_keys();
    const auto count = [&](u32 key) {
        return std::count_if(log.begin(), log.end(), [&](const KeyLogEntry& k) { return k.id == key && k.sent; });
    };
    EXPECT_EQ(count(key_ap_master_off), 1);
    for (u32 key : {key_ap_alt_hold_off, key_ap_wing_leveler_off, key_yaw_damper_event_b, key_ap_hdg_hold_event_a})
        EXPECT_EQ(count(key), 2) << std::hex << key;
    for (u32 id : {103u, 104u, 106u, 108u, 114u}) EXPECT_EQ(host().token(id), 0.0) << id;
    // FD off: the host's director flag goes off, the NAV hold is released (NAV ended, so by the
    // approach upkeep, before the release block) and the approach and glide-slope holds by one key.
    // The CMD-off, director-off and autopilot-off blocks each release what reads on; the glide-slope
    // hold (111) or the approach hold (112) by one key.
    for (u32 id : {104u, 105u, 106u, 108u, 111u, 114u}) token(id, 1.0);
    fd_vl_captured = ap_ias_mode = ap_bb_mode = 1;
    press(kFd1);
    new_keys();
    frames(1);
    EXPECT_EQ(fd_vl_captured + ap_ias_mode + ap_bb_mode, 0) << "every mode ends with the directors";
    std::vector<u32> released;
    for (const KeyLogEntry& k : new_keys()) released.push_back(k.id);
    const u32 alt = key_ap_alt_hold_off, wl = key_ap_wing_leveler_off, yd = key_yaw_damper_event_b,
              hdg = key_ap_hdg_hold_event_a;
    EXPECT_EQ(released, (std::vector<u32>{key_fd_active_set, key_ap_nav_hold_event_a,  // steps 6 and 8
                                          alt, wl, yd, hdg,                            // CMD off
                                          wl, yd, hdg, key_ap_approach_event, alt,     // FD off
                                          wl, yd, hdg, alt}));                         // autopilot off
    EXPECT_EQ(host().token(792), 0.0) << "the host's director flag";
    token(112, 1.0);
    new_keys();
    frames(1);
    EXPECT_EQ(sent(key_ap_approach_event), 1u);
}

// Engaging CMD forces the director to its channel, also in an approach.
TEST_F(ApMaster, CmdForcesItsDirectorInAnApproach) {
    ils_received();
    press(kFd2);
    press(kAppr);
    ASSERT_EQ(ap_approach_state, 10);
    press(kCmd1Up);
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_cmd_engaged, ap_fd_engaged, ap_approach_state), std::make_tuple(u8(1), u8(1), u8(20)));
}

// A single director needs its side's AC bus, air data and INS in navigation (status 3).
TEST_F(ApMaster, SingleDirectorDropsWithItsSide) {
    const struct { int side; u8* input; u8 good, bad; } cases[] = {
        {1, &elec_ac_bus1_powered, 1, 0}, {1, &inst_adc1_powered, 1, 0}, {1, &inst_adc1_ok, 1, 0},
        {1, &ins1_status, 3, 2},          {2, &elec_ac_bus2_powered, 1, 0}, {2, &inst_adc2_powered, 1, 0},
        {2, &inst_adc2_ok, 1, 0},         {2, &ins2_status, 3, 2}};
    for (const auto& c : cases)
        for (u8 value : {c.good, c.bad}) {
            ap_fd_engaged = 0;
            press(c.side == 1 ? kFd1 : kFd2);
            ASSERT_EQ(ap_fd_engaged, c.side);
            *c.input = value;
            frames(1);
            EXPECT_EQ(ap_fd_engaged, value == c.good ? c.side : 0) << c.side << " " << int(value);
            *c.input = c.good;
        }
}

TEST_F(ApMaster, ApproachStateFollowsTheBeamsAndLandNeedsHeight) {
    ils_received();
    engage_cmd1();
    ap_nav_mode = gps_drives_sw = 1;
    press(kAppr);
    EXPECT_EQ(std::make_tuple(ap_approach_state, ap_nav_mode, gps_drives_sw), std::make_tuple(u8(20), u8(0), u8(0)))
        << "APPR ends NAV and sets the GPS-drives switch down";
    const struct { u32 code; u8 state; } beams[] = {{0xC0, 20}, {0x80, 21}, {0x00, 21}, {0x40, 20}};
    for (const auto& b : beams) {
        token(tk::code, b.code);
        frames(1);
        EXPECT_EQ(ap_approach_state, b.state) << b.code;
    }
    ap_approach_state = 29;  // a press anywhere in the APP band ends the approach; the next one arms again
    press(kAppr);
    EXPECT_EQ(ap_approach_state, 0);
    press(kAppr);
    token(tk::radio_m, kNaN);  // the radio height no number since the start: LAND never engages
    frames(1);
    const struct { f64 ft; u8 state; } heights[] = {{kNaN, 20}, {700.0, 20}, {700.5, 30}};
    for (const auto& h : heights) {
        inst_radio_alt_ft = h.ft;
        ap_nav_mode = gps_drives_sw = 1;
        press(kLand);
        EXPECT_EQ(std::make_tuple(ap_approach_state, ap_nav_mode, gps_drives_sw),
                  std::make_tuple(h.state, u8(h.state == 30 ? 0 : 1), u8(0)))
            << h.ft;
    }
    frames(2);
    EXPECT_EQ(ap_land_engaged, 0) << "a radio height that is no number is not below 700 ft";
    ap_nav_mode = 0;
    press(kCmd2Up);  // dual in LAND without SPD: LAND DUAL waits for 100 ft and both counts at 2
    const struct { f64 ft; u8 yaw_dampers, state; } dual[] = {{101.0, 2, 30}, {100.0, 1, 30}, {100.0, 2, 40}};
    for (const auto& d : dual) {
        radio_ft(d.ft);
        fctl_yaw_damper_count = d.yaw_dampers;
        frames(1);
        EXPECT_EQ(std::make_pair(ap_cmd_engaged, ap_approach_state), std::make_pair(u8(3), d.state)) << d.ft;
    }
    ASSERT_TRUE(click(kPanel, 180, 60));  // CMD 1 off: CMD 2 flies on, both directors kept in LAND
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_cmd_engaged, ap_fd_engaged, ap_approach_state), std::make_tuple(u8(2), u8(3), u8(30)));
    press(kLand);
    EXPECT_EQ(ap_approach_state, 0) << "LAND pressed in LAND ends it";
    ASSERT_TRUE(click(kPanel, 250, 60));  // CMD 2 off: no CMD, director 1 alone
    frames(1);
    EXPECT_EQ(std::make_pair(ap_cmd_engaged, ap_fd_engaged), std::make_pair(u8(0), u8(1)));
    press(kAppr);  // a director alone flies the approach states of its own
    for (const auto& b : {std::make_pair(0x40u, u8(10)), std::make_pair(0x80u, u8(11))}) {
        token(tk::code, b.first);
        frames(1);
        EXPECT_EQ(ap_approach_state, b.second) << b.first;
    }
}

TEST_F(ApMaster, FlareLowPhaseTouchdownAndRollout) {
    land_armed();
    ap_flare_height_ft = 60.0;
    fd_gs_vs_command = -700.0 * kHostVsPerFpm;
    token(tk::vs, -700.0 * kHostVsPerFpm);
    token(tk::pitch, -3.0);
    weight_gross_hundreds = 1060.0;
    fd_gs_capture_state = 2;
    token(tk::ground, 1.0);  // the trim axis read 0 on the ground before: an old reading, not the latest
    token(318, 0.0);
    frames(1);
    token(tk::ground, 0.0);
    token(tk::aileron, 0.0);
    // On the ground the trim axis walks back to 0 by 5 a frame from the host's latest axis, here the
    // flare's: no number at touchdown is not a reason to start from an older one.
    constexpr i32 kNoKey = -1;
    const struct { f64 ft, ias; bool ground; u8 land, flare, low, rollout; f64 host_vs, aileron, axis; i32 trim; } steps[] = {
        {1500.0, 140.0, false, 0, 0, 0, 0, -700.0, 0.0, 1200.0, kNoKey},
        {600.0, 140.0, false, 1, 0, 0, 0, -700.0, 0.0, 1200.0, kNoKey},
        {59.0, 140.0, false, 1, 1, 0, 0, -50.0, 0.0, -900.0, kNoKey},
        {50.0, 140.0, false, 1, 1, 0, 0, -50.0, 0.0, -900.0, kNoKey},
        {49.0, 140.0, false, 1, 1, 1, 0, -700.0, 0.0, kNaN, kNoKey},
        {0.0, 120.0, true, 1, 0, 1, 1, -700.0, 7000.0, kNaN, -895},
        {0.0, 40.0, true, 1, 0, 0, 0, -700.0, 7000.0, kNaN, -890},
    };
    for (const auto& s : steps) {
        radio_ft(s.ft);
        token(tk::ias, s.ias);
        token(tk::ground, s.ground ? 1.0 : 0.0);
        token(318, s.axis);
        new_keys();
        frames(1);
        EXPECT_EQ(std::make_tuple(ap_land_engaged, ap_flare_mode, ap_land_low_phase, ap_rollout_mode,
                                  host().token(kHostApVsToken), host().token(tk::aileron)),
                  std::make_tuple(s.land, s.flare, s.low, s.rollout, s.host_vs, s.aileron))
            << s.ft;
        i32 trim = kNoKey;
        EXPECT_EQ(std::make_pair(sent(key_trim_axis_set, &trim), trim),
                  std::make_pair(size_t(s.trim == kNoKey ? 0 : 1), s.trim)) << s.ft;
    }
    token(318, 1200.0);  // the walk goes on from where it started, whatever the host gives meanwhile
    frames(1);
    EXPECT_EQ(ap_trim_axis_base, -885);
    // On the ground: the aileron by gross weight (hundreds), nose-down trim above 1 degree of trim.
    const struct { f64 weight, trim; f64 aileron; size_t trim_down; } ground[] = {
        {1070.0, 1.1, 8000.0, 1}, {1069.9, 1.0, 7000.0, 0}, {1050.0, 1.0, 7000.0, 0}, {1049.9, 2.0, 6000.0, 1}};
    for (const auto& g : ground) {
        weight_gross_hundreds = g.weight;
        fctl_pitch_trim_deg = g.trim;
        new_keys();
        frames(1);
        EXPECT_EQ(std::make_pair(host().token(tk::aileron), sent(key_elev_trim_dn)),
                  std::make_pair(g.aileron, g.trim_down))
            << g.weight << " trim " << g.trim;
    }
}

// A take-off roll with an ILS tuned: RLOUT arms on the ground below 45 kt, shows above 50 kt while
// below 30 ft, and once gone waits for the next arming on the ground.
TEST_F(ApMaster, TakeoffRolloutArmsBelow45KtAndShowsAbove50KtBelow30Ft) {
    ils_received();
    press(kFd1);
    const struct { bool ground; f64 ias, ft; u8 rollout; } steps[] = {
        {true, 60.0, 0.0, 0},  {true, 45.0, 0.0, 0},    {true, 60.0, 0.0, 0},    {true, 44.9, 0.0, 0},
        {true, 50.0, 0.0, 0},  {true, 50.5, 0.0, 1},    {false, 140.0, 29.0, 1}, {false, 140.0, 30.0, 0},
        {false, 140.0, 20.0, 0}};
    for (const auto& s : steps) {
        token(tk::ground, s.ground ? 1.0 : 0.0);
        token(tk::ias, s.ias);
        radio_ft(s.ft);
        frames(1);
        EXPECT_EQ(ap_rollout_mode, s.rollout) << s.ias << " kt at " << s.ft << " ft";
    }
    token(tk::ground, 1.0);  // armed again, then the glide slope goes at 60 kt: no RLOUT, disarmed
    token(tk::ias, 40.0);
    frames(1);
    ASSERT_EQ(ap_rollout_takeoff_state, 1);
    token(tk::ias, 60.0);
    token(tk::code, 0x80);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_rollout_mode, ap_rollout_takeoff_state), std::make_pair(u8(0), u8(0)));
    token(tk::code, 0xC0);  // back above 45 kt: it waits for the next arming
    frames(1);
    EXPECT_EQ(ap_rollout_mode, 0);
}

// NAV engages with a plan, no approach and the director's INS navigating (status 3), and sets the
// GPS to drive NAV 1; a second press ends it and releases the host's NAV and heading holds.
TEST_F(ApMaster, NavNeedsAPlanAndTheInsNavigating) {
    press(kFd1);
    const struct { u8 plan, status, approach, nav; std::vector<u32> keys; } cases[] = {
        {1, 2, 0, 0, {}}, {0, 3, 0, 0, {}}, {1, 3, 20, 0, {}}, {1, 3, 0, 1, {key_gps_drives_nav1_toggle}},
        {1, 3, 0, 0, {key_ap_nav_hold_event_b, key_ap_hdg_hold_event_a}}};
    for (const auto& c : cases) {
        gps_plan_active = c.plan;
        ins1_status = c.status;
        ap_approach_state = c.approach;
        ap_hdg_select_mode = ap_vl_mode = 1;
        new_keys();
        press(kNav);
        EXPECT_EQ(ap_hdg_select_mode + ap_vl_mode, c.nav == 1 ? 0 : 2);
        std::vector<u32> keys;
        for (const KeyLogEntry& k : new_keys()) keys.push_back(k.id);
        EXPECT_EQ(std::make_pair(ap_nav_mode, keys), std::make_pair(c.nav, c.keys))
            << int(c.plan) << " " << int(c.status) << " " << int(c.approach);
    }
}

// NAV upkeep: with the GPS driving NAV 1, NAV 1 keeps to FD 1 with a plan, and the host gets its
// GPS steering key; without it NAV becomes 3, HDG S. ends and the target is the host's selected
// heading, flown on the host's heading hold; NAV 3 ends when the GPS drives again.
TEST_F(ApMaster, NavUpkeepFollowsWhoDrivesNavOne) {
    engage_cmd1();
    gps_plan_active = 1;
    press(kNav);
    ASSERT_EQ(host().token(848), 1.0);
    token(107, 123.7);
    const struct { f64 gps; u8 plan, hdg_select, nav; i32 target; u32 key; f64 leveler; size_t leveler_off; }
        steps[] = {{1.0, 1, 0, 1, 0, key_ap_event_10113, 1.0, 1},
                   {0.0, 1, 1, 3, 123, key_ap_hdg_hold_event_b, 1.0, 1},
                   {1.0, 1, 0, 0, 123, key_ap_event_10113, 0.0, 0},
                   {1.0, 0, 0, 0, 123, key_ap_event_10113, 1.0, 1}};
    for (const auto& s : steps) {
        if (ap_nav_mode == 0) press(kNav);
        gps_plan_active = s.plan;
        ap_hdg_select_mode = s.hdg_select;
        token(848, s.gps);
        token(104, s.leveler);  // the wing leveler is released when on
        new_keys();
        frames(1);
        const std::vector<KeyLogEntry> log = new_keys();
        const auto count = [&](u32 key) {
            return size_t(std::count_if(log.begin(), log.end(), [&](const KeyLogEntry& k) { return k.id == key; }));
        };
        SCOPED_TRACE(testing::Message() << s.gps << " plan " << int(s.plan));
        EXPECT_EQ(std::make_tuple(ap_nav_mode, ap_hdg_select_mode, ap_heading_target),
                  std::make_tuple(s.nav, u8(0), s.target));
        EXPECT_EQ(std::make_pair(count(s.key), count(key_ap_wing_leveler_off)),
                  std::make_pair(size_t(1), s.leveler_off));
    }
}

// Nose-up keys in LAND: in the flare below 2 degrees nose-up; from 10 to 50 ft from 1.5 degrees
// down, with trim up below 2.5 degrees of trim; between 5 and 15 ft again above 1 degree down.
TEST_F(ApMaster, FlareAndLowPhaseRaiseTheNose) {
    land_armed();
    ap_flare_height_ft = 60.0;
    const u32 nose = key_ap_event_10094, trim = key_elev_trim_up;
    const struct { f64 ft, pitch, trim_deg; std::vector<u32> keys; } cases[] = {
        {59.0, -1.9, 3.0, {nose}},       {59.0, -2.0, 2.0, {}},      {30.0, -1.5, 2.0, {nose, trim}},
        {30.0, -1.6, 2.0, {}},           {30.0, -1.0, 2.5, {nose}},  {30.0, -1.0, 2.49, {nose, trim}},
        {12.0, -0.9, 2.0, {nose, trim, nose, trim}},                 {12.0, -1.2, 2.0, {nose, trim}},
        {14.5, -0.9, 2.0, {nose, trim, nose, trim}},                 {15.0, -0.9, 2.0, {nose, trim}},
        {12.0, -1.0, 2.0, {nose, trim}},                             {5.5, -0.9, 3.0, {nose}},
        {7.0, -0.9, 3.0, {nose}},        {5.0, -0.9, 2.0, {}}};
    for (const auto& c : cases) {
        radio_ft(c.ft);
        token(tk::pitch, c.pitch);
        fctl_pitch_trim_deg = c.trim_deg;
        new_keys();
        frames(1);
        std::vector<u32> keys;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == nose || k.id == trim) keys.push_back(k.id);
        EXPECT_EQ(keys, c.keys) << c.ft << " ft at " << c.pitch;
    }
}

// Negative commands within 50 below a hundred go out a hundred lower; positive ones as they are.
// On the ground the aileron follows token 317, at least 3000.
TEST_F(ApMaster, GlideSlopeVsRoundsOnlyDescentsAndTheGroundAileronFollowsTheElevatorToken) {
    land_armed();
    fd_gs_capture_state = 2;  // captured: PITCH sends nothing
    radio_ft(800.0);
    // Flown V/S more than 20 off the command: 100 beyond it, back toward the command. Sent only above
    // 10 ft of radio altitude.
    const struct { f64 g, sent, vs = g, ft = 800.0; } cases[] = {{-760.0, -800.0}, {-730.0, -730.0}, {-745.0, -745.0},
        {-750.0, -800.0}, {760.0, 760.0}, {-700.0, -800.0, -650.0}, {-700.0, -600.0, -750.0},
        {-700.0, -700.0, -715.0}, {-700.0, -700.0, -720.0}, {-899.0, -900.0, -879.0}, {-500.0, -900.0, -500.0, 10.0},
        {-500.0, -500.0, -500.0, 10.5}};
    for (const auto& c : cases) {
        radio_ft(c.ft);
        token(kHostApAltTargetToken, 777.0);
        fd_gs_vs_command = c.g * kHostVsPerFpm;
        token(tk::vs, c.vs * kHostVsPerFpm);
        frames(1);
        EXPECT_EQ(host().token(kHostApAltTargetToken), 0.0) << "altitude target 0 on the glide slope";
        EXPECT_EQ(host().token(kHostApVsToken), c.sent) << c.g;
    }
    token(tk::ground, 1.0);
    token(tk::ias, 40.0);
    for (const auto& [elevator, aileron] : {std::pair<f64, i32>{1000.0, 3000}, {3000.0, 3000}, {3001.0, 3101}, {kNaN, 3101}}) {
        token(tk::elevator, elevator);
        frames(1);
        i32 first = 0;  // the ground aileron goes out before the roll-out's
        for (const KeyLogEntry& k : new_keys())
            if (k.id == 0x1009e && k.sent) {
                first = i32(k.value);
                break;
            }
        EXPECT_EQ(first, aileron) << elevator;
    }
}

// Both writers of the glide-slope flag: the host's order of gauges decides.
TEST_F(ApMaster, GlideSlopeFlagGoesToWhicheverGaugeRunsLast) {
    place("ketravin adi_fd_kr60");  // after the mode panel
    token(tk::code, 0x80);           // localizer only: the flight director writes 0
    token(tk::signal, 1.0);
    press(kFd1);
    ap_approach_state = 11;
    for (bool reverse : {false, true}) {
        host().set_reverse_order(reverse);
        frames(1);
        EXPECT_EQ(fd_gs_available, reverse ? 1 : 0) << "reverse " << reverse;
    }
}

// The pitch law sends its own metric altitude target; the altitude selector's command is untouched.
TEST_F(ApMaster, PitchHoldsTheAttitudeThroughVsAndKeepsItsOwnAltitudeTarget) {
    ap_alt_command = 12345;
    token(tk::vs, 1500.0 * kHostVsPerFpm);
    token(tk::pitch, -3.0);
    token(tk::altitude_m, 3048.7);
    engage_cmd1();
    EXPECT_EQ(ap_pitch_mode, 1);
    EXPECT_EQ(ap_vs_command, 1500);
    const struct { f64 pitch, vs_fpm; i32 command; f64 target; } cases[] = {
        {-4.2, 1500.0, -2100, 60000.0}, {-3.05, 1500.0, 1495, 60000.0}, {-1.0, -500.0, 9500, 0.0}, {-3, 0, 0, 3048},
        {-3, 0.5, 0, 60000.0}, {-6.0, 500.0, -14500, 60000.0}};
    for (const auto& c : cases) {
        token(tk::pitch, c.pitch);
        token(tk::vs, c.vs_fpm * kHostVsPerFpm);
        frames(1);
        EXPECT_EQ(std::make_tuple(ap_vs_command, host().token(kHostApVsToken), host().token(kHostApAltTargetToken)),
                  std::make_tuple(c.command, f64(c.command), c.target)) << c.pitch;
    }
    EXPECT_EQ(ap_alt_command, 12345);
    EXPECT_EQ(ap_pitch_alt_target_m, 3048);
}

// Control-wheel steering (token 309 from 100): the trim axis goes to base + input x (|bank| x 0.0035 +
// 0.05 + 0.00012 x the part of the base the input works against), the base being the axis when
// following began. An input applies upward while the last upward one is at most 5000 above it, and
// downward while the last downward one is at most 5000 below it; from 0 and 0, 300 works both ways
// in one frame: two keys, V/S + 6, the reference at the present attitude. Exactly 0 keeps
// following; 50 forgets both inputs and lets the attitude law fly again. The bank is last frame's.
TEST_F(ApMaster, WheelSteeringTrimsAndMovesTheReference) {
    token(tk::pitch, -3.0);
    engage_cmd1();
    const struct { f64 input, axis, bank, pitch; std::vector<i32> trims; f64 reference; i32 vs; u8 following; }
        steps[] = {{300, 1000, 0, -4, {1015, 1051}, 4, 6, 1},     {0, 1000, 0, -5, {}, 4, 6, 1},
                   {50, 1000, 20, -5, {}, 4, -3000, 0},           {6000, -1000, 20, -5, {440}, 5, -2940, 1},
                   {300, -1000, 20, -5, {-964}, 5, -2937, 1},     {5200, -1000, 20, -5, {248}, 5, -2885, 1},
                   {50, 1, 20, -5, {}, 5, 0, 0},                  {-9000, 1, 20, -5, {-1080}, 5, -90, 1},
                   {-5000, 1, 20, -5, {-599, -599}, 5, -190, 1},  {50, 0, 20, -5, {}, 5, 0, 0},
                   {9000, 0, 20, -5, {1080}, 5, 90, 1}};
    for (const auto& s : steps) {
        for (auto [id, v] :
             {std::pair<u32, f64>{309, s.input}, {318, s.axis}, {tk::bank, s.bank}, {tk::pitch, s.pitch}})
            token(id, v);
        new_keys();
        frames(1);
        std::vector<i32> trims;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == key_trim_axis_set) trims.push_back(i32(k.value));
        EXPECT_EQ(trims, s.trims) << s.input;
        EXPECT_EQ(std::make_tuple(ap_pitch_ref_deg, ap_vs_command, ap_trim_follow_state),
                  std::make_tuple(s.reference, s.vs, s.following)) << s.input;
    }
    press(kIas);  // a spell in IAS with the wheel still held: PITCH engages again from the present V/S
    frames(1);
    press(kIas);
    token(tk::vs, 500.0 * kHostVsPerFpm);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_pitch_hold_engaged, ap_vs_command), std::make_pair(u8(1), 500));
}

// ROLL takes over the bank a lateral mode left (the heading gauge's pending flag): within 30 degrees
// the bank becomes the target, the wing leveler is released and the hold goes active the next frame.
// A target further than 5 degrees beyond the bank is kept, and the takeover stays pending.
TEST_F(ApMaster, RollTakesOverTheBankALateralModeLeft) {
    engage_cmd1();  // wings level: from its first frame ROLL holds 0 on the wing leveler
    ASSERT_EQ(std::make_tuple(ap_roll_hold_engaged, ap_bank_hold_state, host().token(104)),
              std::make_tuple(u8(1), u8(0), 1.0));
    frames(1);
    const struct { f64 bank; i32 target, target_after; u8 pending, state; } cases[] = {
        {20.0, 0, 20, 0, 1}, {-20.0, 0, -20, 0, 1}, {20.0, 25, 20, 0, 1}, {-20.0, -25, -20, 0, 1},
        {20.0, 30, 30, 1, 0}};
    for (const auto& c : cases) {
        token(tk::bank, -c.bank);  // the attitude token is the other way round
        frames(1);
        ap_bank_target_deg = c.target;
        ap_roll_takeover_pending = 1;
        token(104, 1.0);  // the leveler on, whichever side the bank is
        frames(1);
        EXPECT_EQ(std::make_tuple(ap_bank_target_deg, ap_roll_takeover_pending, host().token(104)),
                  std::make_tuple(c.target_after, c.pending, 0.0)) << c.bank << " from " << c.target;
        frames(1);
        EXPECT_EQ(ap_bank_hold_state, c.state) << c.bank << " from " << c.target;
    }
    ap_bank_target_deg = 3;  // a target inside 5 degrees with the wings level: back to 0 on the leveler
    token(tk::bank, 0.0);
    token(104, 0.0);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_bank_target_deg, host().token(104)), std::make_pair(0, 1.0));
    for (f64 input : {500.0, 2000.0}) {  // a large pilot roll input after a small one, banked past 30
        token(tk::bank, -40.0);
        token(311, input);
        frames(1);
    }
    EXPECT_EQ(std::make_tuple(ap_roll_input_state, ap_bank_target_deg, host().token(104)),
              std::make_tuple(i8(2), 30, 1.0));
    token(311, 0.0);
    ap_vl_mode = 1;  // V/L armed steers: the target follows the bank, the wing leveler stays off
    token(tk::bank, -12.0);
    new_keys();
    frames(1);
    EXPECT_EQ(std::make_pair(ap_bank_target_deg, sent(key_ap_wing_leveler_off)), std::make_pair(12, size_t(1)));
    ap_vl_mode = 0;  // HDG S.: ROLL off, its hold let go; the bank becomes the target
    ap_hdg_select_mode = 1;
    ap_roll_hold_engaged = 1;
    token(tk::bank, -14.0);
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_roll_mode, ap_roll_hold_engaged, ap_bank_target_deg),
              std::make_tuple(u8(0), u8(0), 14));
    ap_hdg_select_mode = 0;  // ROLL engaging at 20 degrees of bank holds 20, wing leveler released
    token(tk::bank, -20.0);
    token(104, 1.0);
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_roll_hold_engaged, ap_bank_target_deg, ap_bank_hold_state, host().token(104)),
              std::make_tuple(u8(1), 20, u8(1), 0.0));
    ap_hdg_select_mode = 1;  // ROLL off again: the bank-hold control is walked back to 0, then idle
    token(tk::apfd_reset, 4.0);
    new_keys();
    frames(1);
    i32 reset = -1;
    EXPECT_EQ(std::make_tuple(ap_bank_hold_state, sent(key_ap_reset_event, &reset), reset),
              std::make_tuple(u8(3), size_t(1), 0));
    frames(1);
    EXPECT_EQ(ap_bank_hold_state, 2);
    ap_hdg_select_mode = 0;  // ROLL engaging at 40 degrees of bank: back to 30 on the wing leveler
    token(tk::bank, -40.0);
    token(104, 0.0);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_bank_target_deg, host().token(104)), std::make_pair(30, 1.0));
    token(311, 100.0);  // a small roll input: a held 25 degrees, then a bank past 30 puts the leveler back on
    token(tk::bank, -25.0);
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_roll_hold_engaged, ap_bank_target_deg, host().token(104)),
              std::make_tuple(u8(1), 25, 0.0));
    token(tk::bank, -40.0);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_bank_target_deg, host().token(104)), std::make_pair(30, 1.0));
    for (f64 input : {-500.0, -2000.0}) {  // the mirror: a large left input after a small one, banked past -30
        token(tk::bank, 40.0);
        token(104, 0.0);
        token(311, input);
        frames(1);
    }
    EXPECT_EQ(std::make_tuple(ap_roll_input_state, ap_bank_target_deg, host().token(104)),
              std::make_tuple(i8(-2), -30, 1.0));
}

TEST_F(ApMaster, IasLimitsFollowThrustLeverOne) {
    engage_cmd1();
    press(kIas);
    const struct { u8 lever; u16 upper; i16 lower; } cases[] = {
        {10, 0, -3750}, {90, 5000, 0}, {10, 0, -3750}, {30, 1250, -2812}, {50, 2500, -1875}, {90, 5000, 0}};
    for (const auto& c : cases) {
        thr1_readout_pct = c.lever;
        frames(1);
        EXPECT_EQ(std::make_tuple(ap_ias_law_engaged, ap_ias_vs_upper, ap_ias_vs_lower),
                  std::make_tuple(u8(1), c.upper, c.lower)) << int(c.lever);
    }
    ap_vs_command = 6000;  // outside the limits: put 10 inside them
    frames(1);
    EXPECT_EQ(ap_vs_command, 4990);
    thr1_readout_pct = 50;
    ap_vs_command = -6000;
    frames(1);
    EXPECT_EQ(ap_vs_command, -1865);
    for (i32 at_limit : {-1875, 2500}) {  // a command on a limit is inside
        ap_vs_command = at_limit;
        frames(1);
        EXPECT_EQ(ap_vs_command, at_limit);
    }
}

// The reference is the speed at engagement, whole knots, and stays; the gain on the error is 1.1
// below 1 kt, 0.8 from 5 kt, between them by whole knots. The trend is the change between samples
// 2 ticks apart. With the command at 0 before each frame, a frame's command is error x gain plus
// 100 x trend: up when fast or gaining, down when slow.
TEST_F(ApMaster, IasReferenceIsTakenOnceAndTheCommandFollowsErrorGainAndTrend) {
    token(tk::ias, 250.9);
    token(tk::vs, 2000.0);  // / 256 x 3.281 x 60: 1537.97 ft/min
    thr1_readout_pct = 50;  // V/S limits +2500 / -1875
    press(kFd1);
    press(kIas);
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_ias_law_engaged, ap_ias_reference, ap_vs_command), std::make_tuple(u8(1), 250, 1537))
        << "director alone";
    token(tk::vs, 0.0);
    press(kFd1);  // off
    engage_cmd1();
    token(tk::alt_hold, 0.0);
    press(kIas);
    new_keys();
    frames(1);
    EXPECT_EQ(std::make_pair(ap_ias_reference, sent(key_ap_alt_hold_on)), std::make_pair(250, size_t(1)));
    const struct { f64 ias, gain; i32 vs, vs_with_trend; } cases[] = {
        {250.9, 1.1, 0, 0}, {252.5, 0.9875, 2, 162}, {254.9, 0.8375, 4, 244}, {256.0, 0.8, 4, 114},
        {260.0, 0.8, 8, 408}, {238.0, 0.8, -9, -2209}};
    std::vector<int> states;  // the trend sampler: a sample every 2 ticks, one a frame at 18 fps
    for (int f = 0; f < 8; ++f, frames(1)) {
        states.push_back(ap_ias_sample_state);
        EXPECT_EQ(ap_ias_trend, 0.0) << "a steady speed has no trend, from the first pair of samples on";
    }
    EXPECT_EQ(states, (std::vector<int>{1, 1, 2, 2, 1, 1, 2, 2}));
    f64 before = 250.9;
    for (const auto& c : cases) {
        token(tk::ias, c.ias);
        f64 trend = 0.0;
        i32 with_trend = 0;
        for (int f = 0; f < 12; ++f) {  // long enough for both samples to see the new speed
            ap_vs_command = 0;
            frames(1);
            if (trend == 0.0 && ap_ias_trend != 0.0) {
                trend = ap_ias_trend;
                with_trend = ap_vs_command;
            }
        }
        SCOPED_TRACE(testing::Message() << c.ias);
        EXPECT_NEAR(trend, c.ias - before, 1e-9);
        EXPECT_EQ(with_trend, c.vs_with_trend);
        EXPECT_NEAR(ap_ias_gain, c.gain, 1e-6);
        EXPECT_EQ(std::make_tuple(ap_ias_reference, ap_ias_trend, ap_vs_command, host().token(kHostApVsToken)),
                  std::make_tuple(250, 0.0, c.vs, f64(c.vs)));
        before = c.ias;
    }
    frames(1);  // the sampler between its samples
    ASSERT_NE(ap_ias_sample_state, 0);
    press(kCmd1Up);  // ends IAS and its law at once, not a frame later
    EXPECT_EQ(std::make_tuple(ap_ias_mode, ap_ias_reference, ap_ias_law_engaged, ap_ias_sample_state,
                              ap_ias_sample_deadline),
              std::make_tuple(u8(0), 0, u8(0), u8(0), decltype(ap_ias_sample_deadline)(0)));
}

// While IAS flies, SPD, TURB and GO A. are dropped every frame (in APP and in LAND off the beam) and
// an approach ends once its glide slope is approaching. IAS off lets the law's reference go and
// PITCH takes the present attitude.
TEST_F(ApMaster, IasModeClearsItsRivalsAndHandsBackToPitch) {
    token(tk::vs, 1500.0 * kHostVsPerFpm);
    token(tk::pitch, -3.0);
    ils_received();
    engage_cmd1();
    radio_ft(1500.0);
    for (const auto& [button, state] : {std::pair<Point, u8>{kLand, 30}, {kAppr, 20}}) {
        press(button);
        press(kIas);
        ats_spd_mode = ap_turb_mode = ap_go_around_mode = 1;
        frames(1);
        EXPECT_EQ(std::make_tuple(ats_spd_mode, ap_turb_mode, ap_go_around_mode, ap_approach_state, ap_ias_mode),
                  std::make_tuple(u8(0), u8(0), u8(0), state, u8(1)));
        if (state == 30) {  // both off again
            press(kIas);
            press(button);
        }
    }
    fd_gs_capture_state = 1;
    thr1_readout_pct = 50;  // V/S limits +2500 / -1875
    frames(1);
    EXPECT_EQ(ap_approach_state, 0);
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_ias_law_engaged, ap_ias_reference, ap_vs_command), std::make_tuple(u8(1), 250, 1500))
        << "engaged at the present speed and V/S";
    token(tk::pitch, -5.0);
    token(tk::vs, 900.0 * kHostVsPerFpm);
    press(kIas);  // off
    new_keys();
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_ias_law_engaged, ap_pitch_ref_deg, ap_vs_command), std::make_tuple(u8(0), 5.0, 900));
    EXPECT_EQ(sent(key_ap_alt_hold_on), 1u) << "PITCH engages again";
    token(tk::pitch, -6.0);
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_pitch_ref_deg, ap_pitch_error_deg, sent(key_ap_alt_hold_on)),
              std::make_tuple(5.0, 1.0, size_t(0))) << "and then holds its reference";
    token(tk::ias, 270.0);
    press(kIas);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_ias_reference, ap_ias_trend), std::make_pair(270, 0.0))
        << "a new engagement: a new reference, and the trend samples start again";
}

// IAS flying in LAND: off the beam GO A. drops with SPD; on the beam only SPD drops, GO A. stays.
TEST_F(ApMaster, IasInLandKeepsGoAroundOnlyOnTheBeam) {
    land_armed();
    for (u8 captured : {0, 1}) {
        ap_approach_state = 30;
        fd_vl_captured = captured;
        ap_ias_mode = ap_go_around_mode = ats_spd_mode = 1;
        frames(1);
        EXPECT_EQ(std::make_tuple(ats_spd_mode, ap_go_around_mode, ap_approach_state, ap_ias_mode),
                  std::make_tuple(u8(0), captured, u8(30), u8(1)))
            << "captured " << int(captured);
    }
}

// Both autopilots on the ILS: LAND DUAL needs the autothrottle's SPD, whose speed law also sets the
// 60 ft flare height and retards the throttles 50 a frame in the flare. After touchdown SPD drops
// and RLOUT shows above 50 kt; LAND DUAL stays below 100 ft.
TEST_F(ApMaster, LandDualThroughTheSpeedModeToFlareAndRollout) {
    const char* kAts = "ketravin ap_ats_kr60";
    place(kAts);  // after the mode panel
    place("ketravin ralt_kr60");
    for (auto [id, v] : {std::pair<u32, f64>{624, 80.0}, {643, 80.0}, {116, 140.0}, {tk::axis1, 5000.0}}) token(id, v);
    eng_n1_target_selected = 85.0;
    token(tk::ias, 140.0);
    ils_received();
    engage_cmd1();
    radio_ft(1500.0);
    press(kAppr);
    press(kCmd2Up);
    frames(1);
    ASSERT_EQ(ap_cmd_engaged, 3);
    press(kLand);
    EXPECT_EQ(ap_approach_state, 20) << "dual LAND without SPD";
    ASSERT_TRUE(click(kAts, 100, 70));  // A/T arm
    frames(1);
    ASSERT_TRUE(click(kAts, 60, 20));  // SPD
    press(kLand);
    EXPECT_EQ(ap_approach_state, 40);
    fctl_yaw_damper_count = 1;  // one yaw damper lost: LAND 2 while it lasts, LAND 3 again after
    frames(1);
    EXPECT_EQ(ap_approach_state, 30);
    fctl_yaw_damper_count = 2;
    frames(1);
    EXPECT_EQ(ap_approach_state, 40);
    const struct { f64 ft, ias; bool ground; u8 land, flare, rollout, spd; f64 axis; } steps[] = {
        {1500.0, 140.0, false, 0, 0, 0, 1, 5000.0}, {600.0, 140.0, false, 1, 0, 0, 1, 5000.0},
        {59.0, 140.0, false, 1, 1, 0, 1, 4950.0},   {kNaN, 140.0, false, 1, 1, 0, 1, 4900.0},  // held at 59 ft
        {0.0, 120.0, true, 1, 0, 1, 0, 4900.0},     {0.0, 40.0, true, 1, 0, 0, 0, 4900.0},
    };
    for (const auto& s : steps) {
        const f64 last_ft = inst_radio_alt_ft;
        if (s.ft == s.ft)
            radio_ft(s.ft);
        else
            token(tk::radio_m, s.ft);  // only the host's height: the radio altimeter keeps its last
        token(tk::ias, s.ias);
        token(tk::ground, s.ground ? 1.0 : 0.0);
        frames(1);
        EXPECT_EQ(std::make_tuple(ap_approach_state, ap_land_engaged, ap_flare_mode, ap_rollout_mode, ats_spd_mode,
                                  host().token(tk::axis1), ap_flare_height_ft),
                  std::make_tuple(u8(40), s.land, s.flare, s.rollout, s.spd, s.axis, 60.0))
            << s.ft << " ft at " << s.ias;
        if (s.ft != s.ft) {
            EXPECT_EQ(std::make_tuple(inst_radio_alt_ft, host().token(kHostApVsToken), host().token(115)),
                      std::make_tuple(last_ft, -50.0, 0.0)) << "still in the flare";
        }
    }
}

// 140 x bank x (1 + 0.022 x (300 - IAS)): the factor stops at 0, the command at -16383.
TEST_F(ApMaster, BankLimitAileronStaysOnOneSideAndWithinTravel) {
    engage_cmd1();
    ap_alt_mode = 2;  // PITCH off
    const struct { f64 bank, ias, aileron; } cases[] = {
        {30.0, 300.0, -4200.0}, {330.0, 300.0, -4200.0}, {30.0, 150.0, -16383.0}, {30.0, 400.0, 0.0},
        {20.0, 345.0, -28.0},   {15.0, 300.0, 0.0},      {30.0, kNaN, -4200.0},   {kInf, 300.0, 0.0},
    };
    for (const auto& c : cases) {
        token(tk::bank_b, c.bank);
        token(tk::ias, c.ias);
        frames(1);
        EXPECT_EQ(host().token(tk::aileron), c.aileron) << c.bank << " at " << c.ias;
    }
}

TEST_F(ApMaster, BankHoldOutputStepsToTheTargetAndStopsAt127) {
    engage_cmd1();
    const struct { f64 adi_bank; i32 target; i8 start, after1, after2; } cases[] = {
        {-20.0, 25, 126, 127, 127}, {20.0, -25, -126, -127, -127}, {-20.0, 20, 50, 3, 3}};
    for (const auto& c : cases) {
        token(tk::bank, c.adi_bank);
        frames(1);
        ap_roll_hold_engaged = 1;
        ap_bank_target_deg = c.target;
        ap_bank_hold_output = c.start;
        frames(1);
        EXPECT_EQ(ap_bank_hold_output, c.after1) << c.target;
        frames(1);
        EXPECT_EQ(ap_bank_hold_output, c.after2) << c.target;
        EXPECT_EQ(host().token(tk::apfd_reset), c.after1);
    }
}

// Director 1 lost to its AC bus in an approach: the director check drops it after clearing CMD for
// an FD already off, and the approach keeps CMD from bringing it back, so CMD still reads 1 in that
// frame; the director's release stops the yaw law all the same.
TEST_F(ApMaster, DirectorLostWithCmdStillSetStopsTheYawLawThatFrame) {
    land_armed();
    token(tk::bank, 10.0);
    token(tk::slip, -12.0);
    elec_ac_bus1_powered = 0;
    ap_rudder_cmd = 0;
    frames(1);
    EXPECT_EQ(std::make_tuple(ap_fd_engaged, ap_cmd_engaged, ap_cmd_active, ap_rudder_cmd),
              std::make_tuple(u8(0), u8(1), u8(0), 0));
}

// Ball bands [-10, -3) and (3, 10] step to 5000, beyond to 16000; inside, the command centres.
TEST_F(ApMaster, RudderFollowsTheBallWithinItsLimitsAndIsStillSent) {
    engage_cmd1();
    token(tk::bank, 10.0);
    const struct { f64 ball; i32 start, after; } cases[] = {
        {-12.0, 16100, 16100}, {-12.0, 16000, 16200}, {-10.0, 5000, 5200}, {-5.0, 5100, 5100}, {12.0, -16100, -16100},
        {10.0, -5000, -5200},  {0.0, 600, 500},       {0.0, 400, 0},       {kNaN, -600, -600}, {3.0, 600, 500},
        {-3.0, -600, -500},
    };
    for (const auto& c : cases) {
        token(tk::slip, c.ball);
        ap_rudder_cmd = c.start;
        frames(1);
        EXPECT_EQ(std::make_pair(ap_rudder_cmd, host().token(tk::rudder)), std::make_pair(c.after, f64(c.after)))
            << c.ball << " from " << c.start;
    }
    host().set_token(kHostAutoCoordinationToken, 1.0);  // the host coordinates: the law rests
    ap_rudder_cmd = 700;
    frames(1);
    EXPECT_EQ(ap_rudder_cmd, 700);
    ASSERT_TRUE(click(kPanel, 180, 60));  // CMD off: the rudder centres 100 a frame
    for (i32 cmd : {600, 500}) {
        frames(1);
        EXPECT_EQ(std::make_pair(ap_rudder_cmd, host().token(tk::rudder)), std::make_pair(cmd, f64(cmd)));
    }
}

// The wheel stops at -10; the frame resets a reference past -10 to -9 and past 24 to 24.
TEST_F(ApMaster, PitchWheelLimitsAndResets) {
    fd_pitch_reference = -9.8;
    for (f64 e : {-10.3, -10.0, -10.0}) {
        press(kWheelDown);
        EXPECT_NEAR(fd_pitch_reference, e, 1e-9);
    }
    for (const auto& [from, to] : {std::pair<f64, f64>{-10.3, -9.0}, {25.2, 24.0}}) {
        fd_pitch_reference = from;
        frames(1);
        EXPECT_EQ(fd_pitch_reference, to);
    }
    ap_wheel_ap_mode = 1;  // AP mode: PITCH's reference in steps of 0.1, up to 25; the director's is left
    ap_pitch_ref_deg = 24.85;
    for (f64 e : {24.95, 25.05, 25.0}) {
        press({140, 60});  // up
        EXPECT_NEAR(ap_pitch_ref_deg, e, 1e-9);
    }
    press(kWheelDown);
    EXPECT_NEAR(ap_pitch_ref_deg, 24.9, 1e-9);
    EXPECT_EQ(fd_pitch_reference, 24.0);
    for (u8 ap_mode : {0, 1}) {  // moving over an arrow only touches the wheel, in AP mode
        ap_wheel_ap_mode = ap_mode;
        ap_wheel_touched = 0;
        press(kWheelDown, MouseMove);
        EXPECT_EQ(ap_wheel_touched, ap_mode) << int(ap_mode);
    }
    ap_wheel_ap_mode = 0;
    ap_wheel_touched = 0;
    press({110, 100});  // the centre touched: the enlarged wheel comes up
    EXPECT_EQ(ap_wheel_touched, 1);
    press(kWheelDown);  // a click: the enlarged wheel shows for 50 ticks
    int enlarged = 0;
    for (int f = 0; f < 70; ++f) {
        frames(1);
        enlarged += hidden(element(kPanel, BigWheel)) ? 0 : 1;
    }
    EXPECT_EQ(enlarged, 50);
    press({110, 100}, MouseRightSingle);  // the AP reference's label, for exactly 20 frames
    int shown = 0;
    for (int f = 0; f < 30; ++f, frames(1)) shown += hidden(element(kPanel, LabelAp)) ? 0 : 1;
    EXPECT_EQ(shown, 20);
    press({110, 100}, MouseRightSingle);  // a second right click: back to the director's reference
    EXPECT_EQ(ap_wheel_ap_mode, 0);
}

TEST_F(ApMaster, EnlargedWheelSurvivesTheClockJumping) {
    const auto enlarge = [this] {
        press(kWheelDown);
        frames(1);
        ASSERT_FALSE(hidden(element(kPanel, BigWheel)));
        ASSERT_TRUE(hidden(element(kPanel, WheelCover)));
    };
    expect_timer_survives_clock_jumps(host(), {"enlarged wheel", 50.0 / 18.0, enlarge,
                                               [this] { return hidden(element(kPanel, BigWheel)); }});
}

// On an approach, keys carry what their rules give, whatever the host's values: V/S the command as
// computed (the glide slope's rounding moves it by 50 at most; the flare sends -50), the altitude
// target 60000, 0 or the law's own, controls within their travel, throttles on their axis, the
// bank-hold control within +-127, flags 0 or 1, plain events 0.
TEST_F(ApMaster, HostileHostValuesKeepTheStateFinite) {
    place("ketravin ap_ats_kr60");
    place("ketravin adi_fd_kr60");  // the glide-slope command the approach flies
    land_armed();
    press(kIas);
    ats_arm_state = ats_spd_mode = 1;
    const u32 ids[] = {1,        tk::ias, tk::vs, tk::slip, tk::altitude_m, tk::pitch, tk::bank_b,   tk::bank,
                       309,      311,     318,    tk::elevator, tk::radio_m,  tk::apfd_reset, tk::axis1, 163};
    struct Range { u32 key; i64 lo, hi; };
    constexpr Range kRanges[] = {{key_aileron_set, -16383, 16383}, {key_rudder_set, -16383, 16383},
                                 {key_trim_axis_set, -16383, 16383}, {key_ap_reset_event, -127, 127},
                                 {key_throttle1_set, 0, 16383}, {key_throttle2_set, 0, 16383},
                                 {key_fd_active_set, 0, 1}, {key_autothrottle_arm_set, 0, 1}};
    for (f64 v : {kNaN, kInf, -kInf, 1e300, -1e300, 1e308, -1e308}) {
        for (u32 id : ids) token(id, v);
        for (int f = 0; f < 3; ++f) {
            new_keys();
            frames(1);
            std::vector<i64> vs_keys;
            for (const KeyLogEntry& k : new_keys()) {
                const i64 x = i32(k.value);
                if (k.id == key_ap_vs_set) {
                    vs_keys.push_back(x);
                } else if (k.id == key_ap_event_101f3) {
                    EXPECT_TRUE(x == 0 || x == 60000 || x == ap_pitch_alt_target_m) << x << " at " << v;
                } else {
                    Range r{k.id, 0, 0};
                    for (const Range& known : kRanges)
                        if (known.key == k.id) r = known;
                    EXPECT_TRUE(x >= r.lo && x <= r.hi) << "key 0x" << std::hex << k.id << std::dec << " " << x << " at " << v;
                }
            }
            const i64 last = vs_keys.empty() ? i64(ap_vs_command) : vs_keys.back();
            EXPECT_TRUE(std::abs(last - ap_vs_command) <= 50 || (ap_flare_mode == 1 && last == -50))
                << last << " for a command of " << ap_vs_command << " at " << v;
        }
        for (f64 x : {ap_pitch_ref_deg, ap_pitch_error_deg, ap_ias_error, ap_ias_trend, ap_ias_gain, ap_wheel_position,
                      ats_speed_error_kt, fd_gs_vs_command})
            EXPECT_TRUE(std::isfinite(x)) << v;
    }
}

// The speed law adds to its command every frame, the pilot's input steers the trim from a base: a
// reading that is no number adds nothing and steers nothing, and a reference or base taken on
// such a frame is the host's last finite reading.
TEST_F(ApMaster, SpeedLawAndPilotInputTakeNothingFromNoNumber) {
    thr1_readout_pct = 50;
    engage_cmd1();
    const struct { f64 input, trim; i32 first_trim_key; i32 vs_step; bool replaced; } pitch[] = {
        {300.0, 500.0, 515, 6, false},  // following starts from the trim axis: up 500 + 300 x 0.05
        {50.0, 500.0, -1, -6, false},   // a small input ends it: the law takes the command back
        {300.0, kNaN, 515, 6, false},   // started again on a trim axis that is no number: from 500
        {kNaN, kNaN, -1, 0, false},     // an input that is no number steers nothing
        {50.0, 1200.0, -1, -6, false},  // ended, while the host's axis goes to 1200
        {300.0, kNaN, 1215, 6, false},  // started on no number: from the host's latest axis, not an older one
        {50.0, -900.0, -1, -6, false},  // ended at -900
        // The panel removed (the host's axis went to 500 meanwhile) and placed again on no number:
        // it has no reading yet, so following does not start, least of all from -900.
        {300.0, kNaN, -1, 0, true},
    };
    for (const auto& c : pitch) {
        if (c.replaced) {
            host().remove(gauge(kPanel));
            token(318, 500.0);
            frames(1);
            place(kPanel);
        }
        token(309, c.input);
        token(318, c.trim);
        const i32 before = ap_vs_command;
        new_keys();
        frames(1);
        i32 first = -1;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == key_trim_axis_set && first < 0) first = i32(k.value);
        EXPECT_EQ(std::make_pair(first, ap_vs_command - before), std::make_pair(c.first_trim_key, c.vs_step))
            << c.input << " on " << c.trim;
    }
    token(309, 0.0);
    press(kIas);
    frames(1);
    ASSERT_EQ(std::make_pair(ap_ias_law_engaged, ap_ias_reference), std::make_pair(u8(1), 250));
    token(tk::ias, 260.0);
    frames(1);
    const i32 command = ap_vs_command;
    token(tk::ias, kNaN);
    frames(3);
    EXPECT_EQ(ap_vs_command, command) << "no airspeed: the command stands";
    EXPECT_EQ(ap_ias_error, 10.0);
    press(kIas);  // off, and on again while the airspeed is no number
    frames(1);
    press(kIas);
    frames(1);
    EXPECT_EQ(std::make_pair(ap_ias_law_engaged, ap_ias_reference), std::make_pair(u8(1), 260));

    // NAV without the GPS: the target is the host's selected heading, also as the NAV course word the
    // INS link makes of it, and the heading gauge sends it as the bug: only ever 0..359. With the GPS
    // driving NAV 1 (a plan, INS 1 navigating) the same from the waypoint course, in radians.
    place("ketravin ins_sw_kr60");
    place("ketravin ap_hdg_kr60");
    GpsDataBlock block{};
    block.size = 176;
    block.plan_active = 1;
    const struct { bool gps; f64 value; u8 nav; i32 target; } cases[] = {
        {false, 120.7, 3, 120}, {false, kNaN, 3, 120}, {false, kInf, 3, 120}, {false, 95.0, 3, 95},
        {true, 1.5, 1, 85}, {true, 13.44, 1, 50}, {true, -0.5, 1, 332},
    };
    for (const auto& c : cases) {
        ap_nav_mode = 1;
        if (c.gps) {
            block.waypoint_course = c.value;
            std::memcpy(host().data_block("FS2002 GPS DATA"), &block, sizeof block);
            gps_plan_active = 1;
            ins1_status = 3;
            token(848, 1.0);
        } else {
            token(107, c.value);
        }
        new_keys();
        frames(1);
        i32 bug = -1;
        EXPECT_EQ(std::make_tuple(ap_nav_mode, ap_heading_target, sent(key_ap_heading_set, &bug), bug),
                  std::make_tuple(c.nav, c.target, size_t(1), c.target)) << c.gps << " " << c.value;
    }
}

// ---- A host value that is no number moves no command --------------------------------------------
// Each flight below holds every law in balance with the host pinned to one set of values, so that
// whatever moves while one host value reads NaN or an infinity is moved by that value alone. For
// every value the flight director, the autopilot and the autothrottle read, and in each lateral and
// vertical mode, the commands and modes must stand for 20 frames, and no key may go out that the
// steady flight did not send, nor a command key with another value, but for what a rule deciding
// on the raw value moves; a host flag must also do what a flag reading 0.5 does.
namespace {
struct Pin {
    u32 id;
    f64 value;
};
using Pins = std::vector<Pin>;
void pin(Pins& pins, u32 id, f64 v) {
    for (Pin& p : pins)
        if (p.id == id) {
            p.value = v;
            return;
        }
    pins.push_back({id, v});
}

constexpr f64 kFpm = 256.0 / (3.281 * 60.0);  // host V/S units per ft/min as the instruments convert
constexpr f64 kFeet = 1.0 / 3.281;            // metres per foot

// Everything the flight director, the autopilot and the autothrottle read from the host as a double;
// the last is the auto-coordination flag behind its calculator expression. (The station code and the
// failure tokens come as integers: no NaN reaches them.)
constexpr u32 kReads[] = {1,   40,  41,  44,  49,  60,  61,  65,  69,  73,  74,  78,  79,  80,  84,  103, 104, 105, 106,
                          107, 108, 111, 112, 114, 115, 116, 123, 128, 163, 309, 311, 313, 317, 318, 329, 332, 557,
                          558, 568, 614, 624, 625, 643, 644, 785, 792, 794, 838, 848, 854, kHostAutoCoordinationToken};

// Commands, references and modes that must stand.
const char* const kWatched[] = {
    "ap_vs_command", "ap_alt_command", "ap_pitch_alt_target_m", "ap_pitch_ref_deg", "ap_bank_target_deg",
    "ap_bank_hold_output", "ap_rudder_cmd", "ap_heading_target", "ap_ias_reference", "ap_trim_axis_base",
    "ats_throttle1_cmd", "ats_throttle2_cmd", "ats_speed_target", "ats_thr_off_ref", "fd_vl_heading_target",
    "fd_gs_vs_command", "fd_gs_entry_vs", "fd_hdg_roll_command", "fd_vl_roll_command", "fd_course_steering",
    "fd_pitch_error", "fd_alt_error", "fd_level_error", "fd_gs_error", "fd_app_pitch_error", "fd_app_roll_error",
    "fd_capture_window", "ap_fd_engaged", "ap_cmd_engaged", "ap_approach_state", "ap_alt_mode", "ap_alt_capture_step",
    "ap_ias_mode", "ap_hdg_select_mode", "ap_vl_mode", "ap_nav_mode", "ap_bb_mode", "ap_roll_mode", "ap_pitch_mode",
    "fd_pitch_hold", "ap_pitch_hold_engaged", "ap_roll_hold_engaged", "ap_bank_hold_state", "ap_aileron_active",
    "ap_ias_law_engaged", "ap_rudder_state", "ap_land_engaged", "ap_flare_mode", "ap_land_low_phase",
    "ap_rollout_mode", "ap_go_around_mode", "fd_vl_captured", "fd_gs_armed", "fd_gs_capture_state", "ats_arm_state",
    "ats_spd_mode", "ats_n1_mode", "warn_thr_off", "eng_n1_mode",
};

// Key events whose value is a command or a reference.
constexpr u32 kValueKeys[] = {key_ap_vs_set,         key_ap_event_101f3, key_ap_alt_set,    key_ap_heading_set,
                              key_aileron_set,       key_rudder_set,     key_trim_axis_set, key_throttle1_set,
                              key_throttle2_set,     key_ap_reset_event, key_course_set,    key_ap_speed_set,
                              key_autothrottle_arm_set, key_fd_active_set};

// Flags count as set only at exactly 1.0 (and as clear only at exactly 0.0): one that reads no number
// must also act as one that reads 0.5, neither set nor clear.
constexpr u32 kFlags[] = {44, 60, 103, 104, 105, 106, 108, 111, 112, 114, 115, 123, 785, 848,
                          kHostAutoCoordinationToken};
bool is_flag(u32 id) {
    for (u32 f : kFlags)
        if (f == id) return true;
    return false;
}
constexpr f64 kNeither = 0.5;

// What a rule that decides on the raw value may move, the reason beside it.
struct RawRule {
    u32 token;
    bool anything;                    // everything that follows from the rule
    std::vector<std::string> vars;    // these only
    std::vector<u32> keys;            // and these keys
};
const RawRule kRawRules[] = {
    {44, true, {}, {}},                    // glide slope received only at 1.0: disarmed, PITCH flies
    {60, false, {"ap_rollout_mode"}, {}},  // RLOUT only exactly on the ground
    {103, false, {"fd_vl_captured"}, {}},  // the beam capture counts the autopilot engaged only at 1.0
    {848, false, {"ap_nav_mode"}, {key_ap_hdg_hold_event_b}},  // GPS not driving NAV 1 (not 1.0): NAV 3
    {792, false, {}, {key_fd_active_set}},  // the host's director flag above 0 with ours off: 0 sent
    {854, false, {}, {key_course_set}},    // the host's course off the selector's: sent again
    // Comparisons on the value as it is: no number matches no band, an infinity lies beyond them all.
    {61, false, {"ap_rollout_mode"}, {}},  // RLOUT only above 50 kt
    {65, false, {"ap_vs_command", "fd_pitch_error"}, {key_ap_vs_set, key_ap_event_101f3}},  // glide-slope band, the V/S sign
    {69, false, {"ap_rudder_cmd"}, {key_rudder_set}},                     // an infinite ball: full steps
    {74, false, {"ap_vs_command", "fd_pitch_error", "fd_alt_error", "ap_alt_capture_step"}, {key_ap_vs_set}},  // far below
    {78, false, {}, {key_ap_event_10094}},                                // the flare's nose test
    {79, false, {"ap_aileron_active"}, {key_aileron_set}},                // an infinite bank: not outside
    {80, false, {"ap_rudder_state", "ap_rudder_cmd"}, {key_rudder_set}},  // not within wings level: the ball
    {329, false, {"ap_vs_command", "fd_pitch_error"}, {key_ap_vs_set}},   // flaps not out: the V/S bands
    // -inf is low (LAND); no number is not at 50 ft or below: the glide-slope law flies by the needle
    {614, true, {}, {}},
    {40, true, {}, {}},  // a deviation outside the window: the capture ends, with all that follows
    {794, true, {}, {}},  // an infinite bank command is an active one: captured, with all that follows
    {41, true, {}, {}},  // an infinite needle lies beyond every band and ends the capture, with all that follows
    {49, true, {}, {}},  // a signal at -inf is no signal: the capture ends, with all that follows
    {128, false, {"ats_thr_off_ref", "warn_thr_off", "ats_arm_state"}, {}},  // an infinite axis has moved
    // A lever at -inf is at idle: SPD trips on the ground, the speed hold goes off, the levers advance.
    {558, false, {"ats_spd_mode", "ats_throttle1_cmd", "ats_throttle2_cmd"},
     {key_ap_speed_hold_off, key_throttle1_event_101ad, key_throttle2_event_101b2}},
    {568, false, {"ats_spd_mode"}, {key_ap_speed_hold_off}},
    // N1 not above 25 (or above the target): the A/T drops with THR OFF, which ends a go-around
    // and all that follows from it.
    {624, true, {}, {}},
    {643, true, {}, {}},
};
const RawRule* raw_rule(u32 token) {
    for (const RawRule& r : kRawRules)
        if (r.token == token) return &r;
    return nullptr;
}
bool may_move(const RawRule* r, const char* var) {
    if (!r) return false;
    if (r->anything) return true;
    for (const std::string& v : r->vars)
        if (v == var) return true;
    return false;
}
bool may_send(const RawRule* r, u32 key) {
    if (!r) return false;
    if (r->anything) return true;
    for (u32 k : r->keys)
        if (k == key) return true;
    return false;
}

// A steady flight: the mode bytes it sets (again before each value is tried) and the host values it
// pins every frame on top of the common ones.
struct Flight {
    const char* name;
    void (*arrange)(Pins&);
    std::vector<std::pair<const char*, f64>> modes;  // what it flies once steady
};

void cmd_engaged() {
    ap_fd_engaged = 1;
    ap_cmd1_lever = 1;
}
void ils(Pins& p, f64 needle) {
    pin(p, 46, 0xC0);
    pin(p, 49, 1.0);
    pin(p, 44, 1.0);
    pin(p, 41, needle);
}
void radio_ft(Pins& p, f64 ft) {
    inst_radio_alt_ft = ft;
    pin(p, 614, ft * kFeet);
}
// The beam not captured and PITCH not holding, as before the glide slope was captured.
void approach(u8 state) {
    ap_approach_state = state;
    fd_vl_captured = 0;
    ap_pitch_hold_engaged = 0;
}
void autothrottle(u8 n1_computer, f64 error) {
    ats_arm_state = 1;
    eng_n1_mode = n1_computer;
    eng_n1_target_error = error;
}

const Flight kFlights[] = {
    {"RollPitchAndYaw", [](Pins& p) {  // ROLL holds 10 degrees right, PITCH level, the rudder centred
         cmd_engaged();
         pin(p, 80, -10.0);
     },
     {{"ap_roll_mode", 1}, {"ap_bank_hold_state", 1}, {"ap_pitch_hold_engaged", 1}, {"ap_rudder_state", 1}}},
    {"HeadingSelectAndIas", [](Pins&) {
         cmd_engaged();
         ap_hdg_select_mode = 1;
         ap_ias_mode = 1;
         thr1_readout_pct = 50;
     },
     {{"ap_hdg_select_mode", 1}, {"ap_ias_law_engaged", 1}}},
    {"VorCapturedAltCaptureAndAileron", [](Pins& p) {  // climbing at 1500 ft/min, 30 degrees of bank
         cmd_engaged();
         ap_vl_mode = 1;
         hsi_drift_course_deg = 100.0;
         ap_alt_mode = 2;
         ap_selected_altitude = 20000;
         pin(p, 49, 300.0);
         pin(p, 40, 5.0);
         pin(p, 65, 1500.5 * kFpm);
         pin(p, 79, 30.0);
     },
     {{"fd_vl_captured", 1}, {"ap_alt_mode", 2}, {"ap_aileron_active", 1}}},
    {"IlsVlAndAltHoldOfTheSelection", [](Pins& p) {
         cmd_engaged();
         ap_vl_mode = 1;
         hsi_drift_course_deg = 100.0;
         ap_alt_mode = 3;
         ap_selected_altitude = 9840;
         ils(p, -150.0);
         pin(p, 44, 0.0);
         pin(p, 40, 20.0);
     },
     {{"fd_vl_captured", 1}, {"ap_alt_mode", 3}, {"ap_alt_capture_step", 3}}},
    {"GpsNavAndAltHoldOfThePresentAltitude", [](Pins& p) {  // the NAV 1 course set from the GPS's
         cmd_engaged();
         gps_plan_active = 1;
         ins_source_sw = 1;
         ap_nav_mode = 1;
         ap_nav_course_deg = 120;
         ap_alt_mode = 4;
         pin(p, 848, 1.0);
         pin(p, 854, 57.0);
     },
     {{"ap_nav_mode", 1}, {"ap_alt_mode", 4}}},
    {"BackBeamAndDirectorPitch", [](Pins& p) {  // flight director alone
         ap_fd_engaged = 1;
         ap_cmd1_lever = ap_cmd_engaged = 0;
         ap_bb_mode = 1;
         fd_pitch_reference = 3.0;
         ils(p, -150.0);
         pin(p, 40, -30.0);
     },
     {{"ap_cmd_engaged", 0}, {"fd_lateral_mode", 1}, {"fd_vertical_mode", 1}}},
    {"ApproachOnTheGlideSlope", [](Pins& p) {
         cmd_engaged();
         approach(20);
         ils(p, 0.0);
         pin(p, 65, -700.0 * kFpm);
     },
     {{"ap_approach_state", 20}, {"fd_gs_capture_state", 2}}},
    {"LandInTheFlare", [](Pins& p) {
         cmd_engaged();
         approach(30);
         ap_flare_height_ft = 60.0;
         ils(p, 0.0);
         radio_ft(p, 55.0);
         pin(p, 65, -300.0 * kFpm);
     },
     {{"ap_land_engaged", 1}, {"ap_flare_mode", 1}}},
    // No number from the first frame: the rules take it as it is, nothing stands in for it.
    {"LandWithTheRadioHeightNoNumber", [](Pins& p) {  // never below 700 ft: LAND stays off
         cmd_engaged();
         approach(30);
         ap_flare_height_ft = 60.0;
         ils(p, 0.0);
         pin(p, 614, kNaN);
     },
     {{"ap_approach_state", 30}, {"ap_land_engaged", 0}, {"ap_flare_mode", 0}}},
    // No number just as a mode starts: the A/T armed, or N1 on, with an N1 that is no number drops
    // with THR OFF.
    {"ArmedWithTheN1NoNumber", [](Pins& p) {
         autothrottle(5, 0.0);
         pin(p, 624, kNaN);
     },
     {{"ats_arm_state", 2}, {"warn_thr_off", 1}}},
    {"N1OnWithTheN1NoNumber", [](Pins& p) {
         cmd_engaged();
         autothrottle(5, -3.0);
         ats_n1_mode = 1;
         pin(p, 643, kNaN);
     },
     {{"ats_arm_state", 2}, {"ats_n1_mode", 0}, {"warn_thr_off", 1}}},
    {"RollOut", [](Pins& p) {
         cmd_engaged();
         approach(30);
         weight_gross_hundreds = 1060.0;
         ils(p, 0.0);
         radio_ft(p, 0.0);
         pin(p, 60, 1.0);
         pin(p, 61, 120.0);
         pin(p, 317, 4000.0);
     },
     {{"ap_rollout_mode", 1}}},
    {"AltArmedWhilePitchClimbs", [](Pins& p) {
         cmd_engaged();
         ap_alt_mode = 1;
         ap_selected_altitude = 20000;
         pin(p, 65, 500.5 * kFpm);
     },
     {{"ap_alt_mode", 1}, {"ap_pitch_hold_engaged", 1}}},
    {"AltRecapture", [](Pins&) {
         cmd_engaged();
         ap_alt_mode = 25;
         ap_selected_altitude = 5000;
     },
     {{"ap_alt_mode", 25}, {"ap_alt_capture_step", 26}}},
    {"GoAroundOnTheTakeoffTable", [](Pins& p) {  // climbing at 3000 ft/min, flaps beyond the first detent
         cmd_engaged();
         autothrottle(3, -3.0);
         ats_n1_mode = 1;
         inst_flap_detent[1] = 5243;
         pin(p, 329, 6000.0);
         pin(p, 65, 3000.5 * kFpm);
     },
     {{"ap_go_around_mode", 1}, {"ats_n1_mode", 1}}},
    {"SpeedOnTheSpeedPath", [](Pins&) {
         cmd_engaged();
         autothrottle(5, 0.0);
         eng_n1_target_selected = 90.0;
         ats_spd_mode = 1;
     },
     {{"ats_spd_mode", 1}}},
    {"N1OnTheClimbTable", [](Pins&) {
         cmd_engaged();
         autothrottle(5, -3.0);
         ats_n1_mode = 1;
     },
     {{"ats_n1_mode", 1}}},
    {"TakeoffThrustWithTheLeversForward", [](Pins& p) {  // far below the target, levers past 0.9
         autothrottle(1, -20.0);
         ats_n1_mode = 1;
         pin(p, 558, 0.95);
         pin(p, 568, 0.95);
     },
     {{"ats_n1_mode", 1}}},
    {"SpeedOnTheTakeoffRoll", [](Pins& p) {  // on the ground, flight director off
         autothrottle(5, 0.0);
         eng_n1_target_selected = 90.0;
         ats_spd_mode = 1;
         radio_ft(p, 0.0);
         pin(p, 60, 1.0);
     },
     {{"ats_spd_mode", 1}, {"ap_fd_engaged", 0}}},
};

// The level flight under every setup: 250 kt at 9843 ft (3000 m), heading 100 on course 100, 1500 ft
// above the ground, engines at 80 %, levers at 0.9, the host not coordinating.
Pins common_pins() {
    return {{60, 0.0},          {61, 250.0},  {65, 0.0},     {73, 3000.0},   {74, 9843.0},  {78, -3.0},
            {79, 0.0},          {80, 0.0},    {84, 100.0},   {854, 100.0},   {46, 0.0},     {49, 0.0},
            {40, 0.0},          {41, -150.0}, {44, 0.0},     {614, 1500.0 * kFeet},         {69, 0.0},
            {309, 0.0},         {311, 0.0},   {318, 0.0},    {107, 100.0},   {116, 250.0},  {128, 8000.0},
            {163, 8000.0},      {558, 0.9},   {568, 0.9},    {624, 80.0},    {643, 80.0},   {625, 80.0},
            {644, 80.0},        {332, 0.0},   {329, 0.0},    {557, 1000.0},  {794, 0.0},    {838, 1.0},
            {848, 0.0},         {317, 0.0},   {kHostAutoCoordinationToken, 0.0}};
}
}  // namespace

class NoReading : public ApMaster, public testing::WithParamInterface<Flight> {
protected:
    void SetUp() override {
        ApMaster::SetUp();
        for (const char* g : {"ketravin ap_alt_kr60", "ketravin ap_hdg_kr60", "ketravin ap_crs_kr60",
                              "ketravin ap_ats_kr60", "ketravin adi_fd_kr60", "ketravin idpp_kr60"})
            place(g);
        inst_radio_alt_ft = 1500.0;
        fd_bars_on_flag = 1;
        ap_selected_heading = ap_selected_course = 100;  // the host's bug and course agree
        for (u32 w : host().visible_windows()) host().window_set(w, false);  // no drawing: the laws alone
    }
    // One frame with the pins applied, `bad` (if any) overriding its token; returns the keys sent.
    std::vector<KeyLogEntry> frame(const Pins& pins, u32 bad_id, f64 bad) {
        for (const Pin& p : pins) token(p.id, p.value);
        if (bad_id != 0) token(bad_id, bad);
        frames(1);
        return new_keys();
    }
    std::vector<f64> watched() {
        if (vars_.empty())
            for (const char* name : kWatched) vars_.push_back(var_find(name));
        std::vector<f64> v;
        for (const VarInfo* var : vars_) v.push_back(var_read(*var, 0));
        return v;
    }
    static bool value_key(u32 id) {
        for (u32 k : kValueKeys)
            if (k == id) return true;
        return false;
    }
    struct Frame {
        std::vector<KeyLogEntry> keys;
        std::vector<f64> vars;
    };
    // The modes as the flight wants them, then frames until 20 in a row change nothing; the
    // command keys those send are what a steady frame sends. Twice, so that the modes are set
    // again on top of what the flight director captured meanwhile.
    void settle(Pins& pins) {
        settle_once(pins);
        settle_once(pins);
    }
    void settle_once(Pins& pins) {
        GetParam().arrange(pins);
        steady_keys_.clear();
        steady_ = watched();
        still_ = 0;
        for (int i = 0; i < 300 && still_ < 20; ++i) {
            const std::vector<KeyLogEntry> keys = frame(pins, 0, 0.0);
            if (watched() != steady_) {
                steady_ = watched();
                steady_keys_.clear();
                still_ = 0;
                continue;
            }
            ++still_;
            for (const KeyLogEntry& k : keys) steady_keys_.insert({k.id, value_key(k.id) ? k.value : 0});
        }
    }
    static std::string hex(u32 v) {
        char b[12];
        std::snprintf(b, sizeof b, "%x", v);
        return b;
    }
    // The first command or mode that left the steady flight, or a key (or a command key's value)
    // it never sent,
    // beyond what a rule deciding on the raw value moves.
    std::string departs(const std::vector<Frame>& run, u32 id) const {
        const RawRule* rule = raw_rule(id);
        for (size_t i = 0; i < run.size(); ++i) {
            const std::string at = " on frame " + std::to_string(i + 1);
            for (const KeyLogEntry& k : run[i].keys)
                if (!steady_keys_.count({k.id, value_key(k.id) ? k.value : 0}) && !may_send(rule, k.id))
                    return "key 0x" + hex(k.id) + " value " + std::to_string(i32(k.value)) + at;
            for (size_t w = 0; w < run[i].vars.size(); ++w)
                if (run[i].vars[w] != steady_[w] && !may_move(rule, kWatched[w]))
                    return std::string(kWatched[w]) + " " + std::to_string(steady_[w]) + " -> " +
                           std::to_string(run[i].vars[w]) + at;
        }
        return "";
    }
    // The first frame on which two runs differ in their commands, modes or command keys.
    static std::string differs(const std::vector<Frame>& run, const std::vector<Frame>& like) {
        auto sent = [](const Frame& f) {
            std::vector<std::pair<u32, u32>> v;
            for (const KeyLogEntry& k : f.keys)
                if (value_key(k.id)) v.push_back({k.id, k.value});
            return v;
        };
        for (size_t i = 0; i < run.size(); ++i) {
            const std::string at = " on frame " + std::to_string(i + 1) + " (as at 0.5: ";
            if (sent(run[i]) != sent(like[i])) return "command keys" + at + "other keys)";
            for (size_t w = 0; w < run[i].vars.size(); ++w)
                if (run[i].vars[w] != like[i].vars[w])
                    return std::string(kWatched[w]) + " " + std::to_string(run[i].vars[w]) + at +
                           std::to_string(like[i].vars[w]) + ")";
        }
        return "";
    }

private:
    std::vector<const VarInfo*> vars_;
    std::set<std::pair<u32, u32>> steady_keys_;
    std::vector<f64> steady_;

protected:
    int still_ = 0;
};

TEST_P(NoReading, MovesNoCommandInAnyMode) {
    Pins pins = common_pins();
    settle(pins);
    for (const auto& [name, value] : GetParam().modes)
        ASSERT_EQ(var_read(*var_find(name), 0), value) << GetParam().name << " flies with " << name;
    for (u32 id : kReads) {
        std::vector<Frame> neither;  // a flag's run at 0.5, from the steady flight
        std::vector<f64> start;
        for (f64 bad : {kNeither, kNaN, kInf, -kInf}) {
            if (bad == kNeither && !is_flag(id)) continue;
            settle(pins);
            ASSERT_EQ(still_, 20) << "no steady flight before token " << id;
            if (bad == kNeither) {
                start = watched();
            } else if (is_flag(id)) {
                ASSERT_EQ(watched(), start) << "the flight did not settle back before token " << id;
            }
            const f64 before = host().token(id);
            std::vector<Frame> run;
            for (int i = 0; i < 20; ++i) run.push_back({frame(pins, id, bad), watched()});
            token(id, before);
            if (bad == kNeither) {
                neither = run;
                continue;
            }
            std::string moved = departs(run, id);
            if (moved.empty() && is_flag(id)) moved = differs(run, neither);
            if (!moved.empty()) ADD_FAILURE() << "token " << id << " = " << bad << ": " << moved;
        }
    }
    // Absurd readings on the way: the V/S key carries the command as computed (the glide slope's
    // rounding moves it by 50 at most; the flare sends -50), throttles stay on their axis and every
    // command stays finite.
    for (u32 id : {61u, 65u, 614u, 1u, 128u, 163u, 558u})
        for (f64 absurd : {1e308, -1e308}) {
            settle(pins);
            const f64 before = host().token(id);
            for (int i = 0; i < 20; ++i) {
                std::vector<i64> vs_keys;
                for (const KeyLogEntry& k : frame(pins, id, absurd)) {
                    if (k.id == key_ap_vs_set) vs_keys.push_back(i32(k.value));
                    if (k.id == key_throttle1_set || k.id == key_throttle2_set) {
                        EXPECT_LE(k.value, 16383u) << id << " = " << absurd;
                    }
                }
                const i64 last = vs_keys.empty() ? i64(ap_vs_command) : vs_keys.back();
                EXPECT_TRUE(std::abs(last - ap_vs_command) <= 50 || (ap_flare_mode == 1 && last == -50))
                    << last << " for a command of " << ap_vs_command << ": " << id << " = " << absurd;
                for (f64 w : watched()) EXPECT_TRUE(std::isfinite(w)) << id << " = " << absurd;
            }
            token(id, before);
        }
}

INSTANTIATE_TEST_SUITE_P(Flights, NoReading, testing::ValuesIn(kFlights),
                         [](const testing::TestParamInfo<Flight>& i) { return std::string(i.param.name); });
