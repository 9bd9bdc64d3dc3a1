// The host's own behaviour that gauge tests rely on: clock, tokens, windows, key events,
// data blocks, order of gauges and the guard on unmodelled services.
#include <chrono>
#include <cmath>

#include "module/keys.h"
#include "module/services.h"
#include "module/tokens.h"
#include "tests/host_fixture.h"

class HostBasics : public HostTest {};

TEST_F(HostBasics, ClockTokensFollowFramesAtAnyRate) {
    for (f64 fps : {10.0, 18.0, 30.0, 60.0}) {
        host().set_fps(fps);
        token(604, 100.0);
        host().run_frames(u64(fps) * 2);
        EXPECT_NEAR(host().token(604), 102.0, 1e-9) << fps;
        EXPECT_EQ(host().token(1), std::floor(102.0 * 18.0)) << fps;
    }
    EXPECT_EQ(tok_read(tok_tick18), host().token(1));
}

TEST_F(HostBasics, TokenRecordsRefreshOnlyThroughLookupVar) {
    token(61, 250.5);
    EXPECT_EQ(token_f64(tok_ias_kt), 0.0);
    EXPECT_EQ(tok_read(tok_ias_kt), 250.5);
    token(61, 120.0);
    EXPECT_EQ(token_f64(tok_ias_kt), 250.5) << "a second read without refresh keeps the value";
    EXPECT_EQ(tok_read(tok_ias_kt), 120.0);
    // Integer tokens arrive in the low word, saturated.
    token(46, 0xC0);
    EXPECT_EQ(tok_read_u32(tok_nav1_code), 0xC0u);
    token(46, NAN);
    EXPECT_EQ(tok_read_i32(tok_nav1_code), 0);
    token(46, 1e20);
    EXPECT_EQ(tok_read_i32(tok_nav1_code), INT32_MAX);
}

TEST_F(HostBasics, WindowEventsAndTheToggleService) {
    EXPECT_TRUE(svc::is_panel_window_visible_ident(panel_win_main));
    EXPECT_FALSE(svc::is_panel_window_visible_ident(panel_win_fe_1));
    svc::trigger_key_event(key_panel_id_open, panel_win_fe_1);
    EXPECT_TRUE(svc::is_panel_window_visible_ident(panel_win_fe_1));
    svc::trigger_key_event(key_panel_id_open, panel_win_fe_1);  // already shown: stays shown
    EXPECT_TRUE(svc::is_panel_window_visible_ident(panel_win_fe_1));
    svc::send_key_event(key_panel_id_toggle, panel_win_fe_1);
    EXPECT_FALSE(svc::is_panel_window_visible_ident(panel_win_fe_1));
    svc::send_key_event(key_panel_id_close, panel_win_main);
    svc::send_key_event(key_panel_id_close, panel_win_main);
    EXPECT_FALSE(svc::is_panel_window_visible_ident(panel_win_main));
    svc::panel_window_toggle(panel_win_gps);
    EXPECT_EQ(host().visible_windows(), (std::vector<u32>{panel_win_gps, panel_win_panload})) << "the chooser is shown by the panel";
    const auto keys = new_keys();
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_FALSE(keys[0].sent);
    EXPECT_TRUE(keys[2].sent);
    EXPECT_EQ(keys[4].id, key_panel_id_close);
    EXPECT_EQ(keys[4].value, panel_win_main);
}

TEST_F(HostBasics, NamedDataBlocksBindBelowFourGigabytes) {
    TokenVar r{};
    EXPECT_EQ(svc::initialize_var_by_name(r, "FS2002 GPS DATA"), 1u);
    ASSERT_NE(r.data, nullptr);
    EXPECT_LT(reinterpret_cast<uintptr_t>(r.data), uintptr_t(1) << 32);
    EXPECT_EQ(r.data, host().data_block("FS2002 GPS DATA"));
    TokenVar unknown{};
    EXPECT_EQ(svc::initialize_var_by_name(unknown, "NO SUCH BLOCK"), 0u);
    EXPECT_EQ(unknown.data, nullptr);
}

TEST_F(HostBasics, CalculatorAnswersSetValuesAndZeroOtherwise) {
    host().set_calc("(A:TOTAL WEIGHT, Pound)", 123456.0);
    f64 f = -1;
    i32 i = -1;
    svc::execute_calculator_code("(A:TOTAL WEIGHT, Pound)", &f, &i, nullptr);
    EXPECT_EQ(f, 123456.0);
    EXPECT_EQ(i, 123456);
    svc::execute_calculator_code("(A:NOTHING KNOWN, Bool)", &f, nullptr, nullptr);
    EXPECT_EQ(f, 0.0);
}

TEST_F(HostBasics, ASetCalculatorValueWinsOverTheHostsOwnRuleForTheRestOfTheRun) {
    const char* kTimeOfDay = "(E:TIME OF DAY,Enum)";
    f64 f = -1;
    token(4001, 1);
    svc::execute_calculator_code(kTimeOfDay, &f, nullptr, nullptr);
    EXPECT_EQ(f, 1.0) << "the host's rule answers from its token";
    host().set_calc(kTimeOfDay, 3);
    token(4001, 2);
    svc::execute_calculator_code(kTimeOfDay, &f, nullptr, nullptr);
    EXPECT_EQ(f, 3.0);
    EXPECT_EQ(host().calc_value(kTimeOfDay), 3.0);
}

namespace {
// Kills seen by the stand-in gauges below, in order.
std::vector<GaugeHeader*> g_kills;
void FSAPI record_kills(GaugeHeader* g, i32 service, u32) {
    if (service == ServicePreKill) g_kills.push_back(g);
}
}  // namespace

TEST_F(HostBasics, RemovingEverythingKillsTheLastPlacedFirst) {
    GaugeHeader a{}, b{};
    a.name = "stand-in a";
    b.name = "stand-in b";
    a.callback = b.callback = record_kills;
    g_kills.clear();
    for (GaugeHeader* g : {&a, &b, &a}) host().place(g);
    host().remove_all();
    EXPECT_EQ(g_kills, (std::vector<GaugeHeader*>{&a, &b, &a}));
}

TEST_F(HostBasics, TwentyThousandPlacedGaugesShutDownWellUnderASecond) {
    GaugeHeader* g = gauge("testgauge2k");
    for (int i = 0; i < 20000; ++i) host().place(g);
    const auto start = std::chrono::steady_clock::now();
    host().remove_all();
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(host().placed().empty());
    EXPECT_LT(took, 0.25);
}

TEST_F(HostBasics, TooltipsFillTheHostsPlaceholdersFromTokens) {
    static const TooltipArg kArgs[] = {{3, 1.0}, {4, 1.0}, {61, 0.5}};
    struct Case {
        const char* text;
        u32 args;
        const char* shown;
    } cases[] = {
        {"Local Time %1!d!h%2!d!", 2, "Local Time 14h5"},
        {"%1!02d!:%2!02d!", 2, "14:05"},
        {"%3!.1f! kt", 3, "125.3 kt"},
        {"%1!x! %1!u!", 1, "e 14"},
        {"100%% sure", 0, "100% sure"},
        {"%2!d! with one argument", 1, "%2!d! with one argument"},
        {"%1!s! %1!n! %1!999d! %1 %1!d", 2, "%1!s! %1!n! %1!999d! %1 %1!d"},
        {"ends in %", 0, "ends in %"},
    };
    token(3, 14.7);
    token(4, 5);
    token(61, 250.6);
    for (const Case& c : cases) {
        MouseRect rects[4] = {};
        rects[0].kind = MouseRectParent;
        rects[0].x = 31, rects[0].y = 54, rects[0].w = 100, rects[0].h = 52;
        rects[1].kind = MouseRectTooltip;
        rects[1].text = c.text;
        rects[1].event_id = c.args;
        rects[1].args = kArgs;
        rects[2].kind = MouseRectEndParent;
        rects[3].kind = MouseRectEnd;
        GaugeHeader g{};
        g.name = "stand-in";
        g.mouse_rects = rects;
        const std::vector<TooltipText> t = host().tooltips(&g);
        ASSERT_EQ(t.size(), 1u) << c.text;
        EXPECT_EQ(t[0].text, c.shown) << c.text;
        EXPECT_EQ(t[0].x, 31) << "the box of the group holding it";
        EXPECT_EQ(t[0].h, 52);
    }
    token(3, NAN);
    MouseRect rects[2] = {};
    rects[0].kind = MouseRectTooltip;
    rects[0].text = "%1!d!h";
    rects[0].event_id = 1;
    rects[0].args = kArgs;
    GaugeHeader g{};
    g.name = "stand-in";
    g.mouse_rects = rects;
    EXPECT_EQ(host().describe_tooltips(&g), "tooltips \"stand-in\"\n  RECT 0 0 0 0 \"0h\"\n") << "NaN shows as 0";
}

TEST(HostDeath, AnUnmodelledServiceSlotStopsTheRunNamingIt) {
    EXPECT_DEATH(
        {
            ModuleLink link;
            std::string error;
            link_module("", link, error);
            Host host(link);
            reinterpret_cast<void(FSAPI*)()>(ImportTable.services->slot[SlotElementListErase / 4])();
        },
        "slot 0x78");
}

TEST_F(HostBasics, KeyLogStaysBoundedWhenAModuleSendsEveryFrame) {
    const size_t capacity = host().key_log().capacity();
    for (u32 i = 0; i < 3 * capacity; ++i) svc::send_key_event(0x1004c, i);
    EXPECT_EQ(host().key_log().capacity(), capacity) << "no growth";
    EXPECT_EQ(host().key_log_end(), 3 * capacity);
    const auto recent = host().keys_since(host().key_log_end() - 2);
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent[1].value, 3 * capacity - 1);
    EXPECT_FALSE(host().keys_since(0).empty()) << "dropped entries are skipped, the rest kept";
}
