// Fuel pump panels and engine feed through the host: interlocks and clicks, flow bars from the
// host's selectors, each feed path against a host that answers at once or a frame late, and
// silence without essential DC.
#include <string>
#include <vector>

#include "electrical/state.h"
#include "fuel/fuel_keys.h"
#include "fuel/state.h"
#include "tests/panel_fixture.h"

namespace {
const char* kLeft = "ketravin fuel_pumps_left_kr60";
const char* kRight = "ketravin fuel_pumps_right_kr60";
const char* kCenter = "ketravin fuel_pumps_center_kr60";
constexpr u32 kSel1 = 307, kSel2 = 906;

// A host that answers a frame late: the module's sends wait here and reach the host between frames.
std::vector<std::pair<u32, u32>> deferred;
FnKeyEvent host_send = nullptr;
u32 FSAPI defer_send(u32 id, u32 value) {
    deferred.emplace_back(id, value);
    return 1;
}
}  // namespace

// Flow-bar windows read with pair(): S in line, O across, - dark.
using FuelPumps = PanelTest;

TEST_F(FuelPumps, InterlocksRefuseSilentlyAndClickOnlyOnAChange) {
    place(kLeft), place(kRight), place(kCenter);
    frames(1);
    clicks();
    const struct { const char* g; i32 x, y; u8 a, b, c; size_t clicks; } steps[] = {
        {kCenter, 35, 70, 1, 1, 0, 1},  // LH centre SHUT
        {kLeft, 80, 50, 1, 1, 0, 0},    // pump B OFF refused: centre shut
        {kLeft, 20, 50, 0, 1, 0, 1},    // pump A OFF
        {kCenter, 35, 50, 0, 1, 1, 1},  // AUTO
        {kLeft, 80, 50, 0, 0, 1, 1},    // pump B OFF takes pump A with it
        {kCenter, 35, 70, 0, 0, 1, 0},  // SHUT refused: both wing pumps off
        {kLeft, 20, 30, 1, 1, 1, 1},    // pump A ON brings pump B
        {kRight, 40, 50, 1, 1, 1, 1},   // the right panel's pump B: index 1 only
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << s.g << " " << s.x << "," << s.y);
        EXPECT_TRUE(click(s.g, s.x, s.y));
        EXPECT_EQ(fuel_pump_a_sw[0], s.a);
        EXPECT_EQ(fuel_pump_b_sw[0], s.b);
        EXPECT_EQ(fuel_ctr_pump_sw[0], s.c);
        EXPECT_EQ(clicks(), s.clicks);
        frames(1);
        // Lever pairs: pump A down/up (9..12); pump B down/middle/up (13..18), never up; the centre
        // panel's LH and RH down/middle/up (7..12) and its valve levers at the middle (13, 14).
        EXPECT_EQ(lamps(kLeft, 9, 4), s.a == 1 ? "0101" : "1010");
        EXPECT_EQ(lamps(kRight, 9, 4), fuel_pump_a_sw[1] == 1 ? "0101" : "1010") << "the right panel: side 2";
        EXPECT_EQ(lamps(kRight, 13, 6), fuel_pump_b_sw[1] == 1 ? "010010" : "100100");
        EXPECT_EQ(lamps(kLeft, 13, 6), s.b == 1 ? "010010" : "100100");
        EXPECT_EQ(lamps(kCenter, 7, 8), std::string(s.c == 1 ? "010" : "100") + "010" + "11");
    }
    EXPECT_EQ(fuel_pump_b_sw[1] + fuel_pump_a_sw[1], 0);
}

// A side can feed its engine from a tank holding 1.0 or more whose pump is on: pump A the
// auxiliary tank, pump B the main tank, the centre pump the centre tank.
TEST_F(FuelPumps, FeedAvailabilityByPumpAndTank) {
    place(kCenter);
    dc_normal_powered = 1;
    const struct { u8 a, b, c; f64 center, aux, main; u8 avail; } cases[] = {
        {1, 1, 0, 0.0, 5.0, 0.0, 1}, {0, 1, 0, 0.0, 5.0, 0.0, 0}, {0, 1, 0, 0.0, 0.0, 1.0, 1},
        {0, 0, 1, 1.0, 0.0, 0.0, 1}, {0, 0, 1, 0.99, 5.0, 5.0, 0}, {1, 1, 0, 0.0, 0.99, 0.99, 0},
    };
    for (const auto& c : cases) {
        for (size_t s = 0; s < 2; ++s) fuel_pump_a_sw[s] = c.a, fuel_pump_b_sw[s] = c.b, fuel_ctr_pump_sw[s] = c.c;
        fuel_qty_a_center = c.center, fuel_qty_a_left = fuel_qty_a_right = c.aux;
        fuel_qty_m_left = fuel_qty_m_right = c.main;
        frames(1);
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        EXPECT_EQ(fuel_feed_avail[0], c.avail);
        EXPECT_EQ(fuel_feed_avail[1], c.avail);
    }
}

TEST_F(FuelPumps, WingBarsShowWhichPumpFeedsTheSelectedTank) {
    place(kLeft), place(kCenter);
    // The centre panel's lower row: in line (1, 3) while an engine's host selector is the centre
    // tank (6), across (2, 4) otherwise; the valve row (5, 6) in line; all dark without normal DC.
    const struct { f64 centre; u8 dc; const char* bars; } kCentre[] = {
        {100, 1, "101011"}, {0, 1, "010111"}, {100, 0, "000000"},
    };
    for (const auto& c : kCentre) {
        fuel_qty_a_center = c.centre, fuel_qty_a_left = fuel_qty_a_right = fuel_qty_m_left = fuel_qty_m_right = 100;
        dc_ess_powered = 1;
        dc_normal_powered = c.dc;
        frames(3);
        EXPECT_EQ(host().token(kSel1) == 6, c.centre > 0) << "the feed chose the centre tank";
        EXPECT_EQ(lamps(kCenter, 1, 6), c.bars) << c.centre;
    }
    const struct { i32 sel; f64 qty; u8 dc; const char* bars; } cases[] = {
        {2, 1.0, 1, "OOSS"}, {2, 0.999, 1, "SSOO"}, {4, 0.0, 1, "OOSS"}, {6, 5.0, 1, "OOOO"}, {2, 5.0, 2, "----"},
    };
    for (const auto& c : cases) {
        token(kSel1, c.sel);
        fuel_qty_m_left = c.qty;
        dc_normal_powered = c.dc;
        frames(1);
        EXPECT_EQ(std::string({pair(kLeft, 1), pair(kLeft, 3), pair(kLeft, 5), pair(kLeft, 7)}), c.bars)
            << c.sel << " " << c.qty;
    }
}

// Each feed path from the given switches, quantities and host selectors: the selectors chosen, and
// how many events the first frame sends. A crossfeed copy made before the host has answered
// follows the old selector and is put right a frame later.
struct Feed {
    u8 a0, c0, a1, c1, xfeed, sov0, sov1, ess;
    f64 center, wing;
    i32 sel1, sel2, want1, want2;
    size_t sends, late_sends;  // first frame, host at once / a frame late
};
const Feed kFeeds[] = {
    // A0 C0 A1 C1 xf sov   ess  ctr   wing  host   want  sends
    {1, 1, 1, 1, 0, 1, 1, 1, 5.0, 5.0, 0, 0, 6, 6, 2, 2},   // start: centre first
    {1, 1, 1, 1, 0, 1, 1, 1, 0.9, 5.0, 6, 6, 6, 6, 0, 0},   // exactly 0.9: still centre, nothing sent
    {1, 1, 1, 1, 0, 1, 1, 1, 0.89, 5.0, 6, 6, 2, 3, 2, 2},  // below: own wings
    {0, 1, 1, 1, 0, 1, 1, 1, 0.0, 5.0, 2, 3, 6, 3, 1, 1},   // centre pump alone: empty centre stays
    {0, 0, 1, 1, 0, 1, 1, 1, 5.0, 5.0, 6, 6, 4, 6, 1, 1},   // both off: left auxiliary
    {1, 1, 0, 0, 0, 1, 1, 1, 0.5, 5.0, 2, 3, 2, 5, 1, 1},   // both off on the right: right auxiliary
    {1, 1, 1, 0, 1, 1, 1, 1, 5.0, 0.5, 0, 0, 6, 6, 2, 2},   // centre fuel without its pump feeds nothing
    {0, 0, 1, 1, 1, 1, 0, 1, 5.0, 5.0, 6, 6, 4, 4, 2, 1},   // left feeds both, right valve shut
    {1, 1, 1, 1, 1, 1, 1, 1, 0.5, 5.0, 6, 6, 2, 3, 2, 2},   // right feeds itself: own choices
    {0, 1, 1, 1, 2, 1, 1, 1, 0.5, 5.0, 3, 6, 3, 3, 1, 1},   // engine 1 left alone
    {0, 1, 1, 1, 2, 1, 1, 1, 1.0, 5.0, 3, 6, 6, 6, 1, 1},   // centre 1.0: engine 1 to centre
    {1, 1, 1, 1, 2, 0, 1, 1, 0.5, 5.0, 6, 6, 3, 3, 2, 1},   // right feeds both, left valve shut
    {1, 1, 1, 1, 2, 0, 1, 1, 5.0, 5.0, 2, 3, 6, 6, 2, 2},   // a copy of the centre is the centre
    {1, 1, 1, 1, 0, 1, 1, 0, 5.0, 5.0, 0, 0, 0, 0, 0, 0},   // no essential DC, both off already
    {1, 1, 1, 1, 0, 1, 1, 0, 5.0, 5.0, 6, 2, 0, 0, 2, 2},   // no essential DC: both to off
};

class FuelFeed : public FuelPumps, public ::testing::WithParamInterface<Feed> {
protected:
    void SetUp() override {
        FuelPumps::SetUp();
        place(kLeft), place(kRight), place(kCenter);  // the wing panels read the selectors first
        const Feed& f = GetParam();
        fuel_pump_a_sw[0] = f.a0, fuel_ctr_pump_sw[0] = f.c0, fuel_pump_a_sw[1] = f.a1, fuel_ctr_pump_sw[1] = f.c1;
        xfeed_state = f.xfeed, fuel_shutoff_valve_sw[0] = f.sov0, fuel_shutoff_valve_sw[1] = f.sov1;
        dc_ess_powered = f.ess, dc_normal_powered = 1;
        fuel_qty_a_center = f.center, fuel_qty_a_left = fuel_qty_a_right = fuel_qty_m_left = fuel_qty_m_right = f.wing;
        token(kSel1, f.sel1), token(kSel2, f.sel2);
    }
    void expect_selectors() {
        const Feed& f = GetParam();
        EXPECT_EQ(std::make_pair(host().token(kSel1), host().token(kSel2)), std::make_pair(f64(f.want1), f64(f.want2)));
    }
};

TEST_P(FuelFeed, HostAnsweringAtOnceGetsOneEventPerDifference) {
    frames(1);
    const std::vector<KeyLogEntry> keys = new_keys();
    EXPECT_EQ(keys.size(), GetParam().sends);
    for (const KeyLogEntry& k : keys) EXPECT_TRUE(k.sent && k.value == 0);
    expect_selectors();
    frames(2);
    EXPECT_TRUE(new_keys().empty());
    EXPECT_EQ(pair(kCenter, 1), GetParam().want1 == 6 ? 'S' : 'O');
}

TEST_P(FuelFeed, HostAnsweringAFrameLateSettlesOnTheSameSelectors) {
    host_send = reinterpret_cast<FnKeyEvent>(ImportTable.services->slot[SlotSendKeyEvent / 4]);
    ImportTable.services->slot[SlotSendKeyEvent / 4] = reinterpret_cast<ServiceFn>(defer_send);
    deferred.clear();
    for (int f = 0; f < 4; ++f) {
        frames(1);
        EXPECT_TRUE(f > 0 || deferred.size() == GetParam().late_sends) << deferred.size();
        for (const auto& k : deferred) host_send(k.first, k.second);
        deferred.clear();
    }
    expect_selectors();
    frames(3);
    EXPECT_TRUE(deferred.empty()) << "settled";
}
INSTANTIATE_TEST_SUITE_P(Paths, FuelFeed, ::testing::ValuesIn(kFeeds));
