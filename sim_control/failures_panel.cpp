// The failures and easy-start panel (window 10100): ON buttons arm presets, automatic modes and
// failures, "-" and "+" set their delays and speeds, VALID commits everything armed, EXIT hides
// the window. It only records choices; the systems computer's preset step acts on them.
// Reads: panel_preset_select, fail_select, fail_eng1_select, fail_eng2_select, fire_eng1_state,
//        fire_eng2_state, fail_apply_enable, fail_select_sum, fail_countdown, fail_setting
// Writes: panel_preset_select, fail_select, fail_eng1_select, fail_eng2_select, fail_setting,
//         (through VALID) fail_start_time, fail_apply_enable, fail_select_sum_applied
#include "sim_control/failure_timers.h"
#include "engines/state.h"
#include "sim_control/state.h"
#include "module/gauge.h"
#include "module/keys.h"
#include "module/services.h"

GaugeHeader gauge_failures;

namespace {
enum Pos : size_t {
    Background,
    ValidLit,
    HydAutoLit, ElecAutoLit, ApuAutostartLit, EngAutostartLit,
    CancelAllRow, RandomRow, Typical2Row, Typical1Row,
    YellowRow, GreenRow, BlueRow, HydrauLabel,
    Gen2Row, Gen1Row, ElecLabel,
    ApuRow,
    Eng2Row, Eng2Label, Eng1Row, Eng1Label,
    ColdStartRow, EasyStartRow,
    Eng1Minutes, Eng1Knots, Eng2Minutes, Eng2Knots, ApuMinutes,
    Gen1Minutes, Gen2Minutes, BlueMinutes, GreenMinutes, YellowMinutes,
    kElements
};

// Bitmaps (ours).
constexpr u32 kBmpBackground = 5400;
constexpr u32 kBmpValid = 5401;
constexpr u32 kBmpHydAuto = 5402;
constexpr u32 kBmpElecAuto = 5403;
constexpr u32 kBmpApuAutostart = 5404;
constexpr u32 kBmpEngAutostart = 5405;
constexpr u32 kBmpWideRow = 5406;     // CANCEL ALL, RANDOM and the two TYPICAL rows
constexpr u32 kBmpCircuitRow = 5407;  // yellow, green, gen rows
constexpr u32 kBmpBlueRow = 5408;
constexpr u32 kBmpHydrauLabel = 5409;
constexpr u32 kBmpElecLabel = 5410;
constexpr u32 kBmpApuRow = 5411;
constexpr u32 kBmpEngineRow = 5412;
constexpr u32 kBmpEngine2Label = 5413;
constexpr u32 kBmpEngine1Label = 5414;
constexpr u32 kBmpColdStartRow = 5415;
constexpr u32 kBmpEasyStartRow = 5416;

// The panel looks the same by day and by night: every record carries the bright bit, no walk.
constexpr u32 kShown = ImageBright;
constexpr u32 kHidden = ImageHidden | ImageBright;

// Cyan (0x00BBGGRR) "%3d" of a byte: three characters.
constexpr TextStyle kDisplay = {54, 26, 0x00FFFF00, 0x000000, 0x000000, "Quartz", 400, 3, 0, 0};

f64 show_byte(ElementHeader* e, u8 v) {
    set_text(reinterpret_cast<StringElement*>(e), "%3d", v);
    return v;
}
template <size_t I>
f64 FSAPI countdown_display(ElementHeader* e) {
    return show_byte(e, fail_countdown[I]);
}
template <size_t I>
f64 FSAPI setting_display(ElementHeader* e) {
    return show_byte(e, fail_setting[I]);
}

const ElementDef kElementDefs[kElements] = {
    //         bitmap              x    y   start flags
    el::Static(kBmpBackground,     0,   0, kShown),
    el::Icon(kBmpValid,          908, 691, kHidden),
    el::Icon(kBmpHydAuto,        946, 581, kHidden),
    el::Icon(kBmpElecAuto,       946, 465, kHidden),
    el::Icon(kBmpApuAutostart,   946, 363, kHidden),
    el::Icon(kBmpEngAutostart,   946, 249, kHidden),
    el::Icon(kBmpWideRow,        105, 789, kHidden),  // CANCEL ALL FAILURES
    el::Icon(kBmpWideRow,        105, 738, kHidden),  // RANDOM FAILURES
    el::Icon(kBmpWideRow,        105, 713, kHidden),  // TYPICAL FAILURES EVENTS 2
    el::Icon(kBmpWideRow,        105, 688, kHidden),  // TYPICAL FAILURES EVENTS 1
    el::Icon(kBmpCircuitRow,     202, 619, kHidden),  // yellow
    el::Icon(kBmpCircuitRow,     202, 594, kHidden),  // green
    el::Icon(kBmpBlueRow,        202, 569, kHidden),
    el::Icon(kBmpHydrauLabel,    106, 571, kHidden),
    el::Icon(kBmpCircuitRow,     202, 490, kHidden),  // gen 2
    el::Icon(kBmpCircuitRow,     202, 465, kHidden),  // gen 1
    el::Icon(kBmpElecLabel,      107, 467, kHidden),
    el::Icon(kBmpApuRow,         105, 377, kHidden),
    el::Icon(kBmpEngineRow,      238, 291, kHidden),  // ENGINE 2
    el::Icon(kBmpEngine2Label,   107, 292, kHidden),
    el::Icon(kBmpEngineRow,      238, 209, kHidden),  // ENGINE 1
    el::Icon(kBmpEngine1Label,   107, 210, kHidden),
    el::Icon(kBmpColdStartRow,   106, 149, kHidden),
    el::Icon(kBmpEasyStartRow,   107,  99, kHidden),
    //                 x    y   flags   style     value
    el::String(      360, 203, kShown, kDisplay, countdown_display<7>),  // ENGINE 1 minutes
    el::String(      567, 203, kShown, kDisplay, setting_display<8>),    // ENGINE 1 knots ias
    el::String(      360, 285, kShown, kDisplay, countdown_display<6>),  // ENGINE 2 minutes
    el::String(      567, 285, kShown, kDisplay, setting_display<6>),    // ENGINE 2 knots ias
    el::String(      362, 373, kShown, kDisplay, countdown_display<5>),  // APU minutes
    el::String(      396, 459, kShown, kDisplay, countdown_display<3>),  // gen 1 minutes
    el::String(      396, 485, kShown, kDisplay, countdown_display<4>),  // gen 2 minutes
    el::String(      481, 564, kShown, kDisplay, countdown_display<2>),  // blue minutes
    el::String(      481, 590, kShown, kDisplay, countdown_display<1>),  // green minutes
    el::String(      481, 616, kShown, kDisplay, countdown_display<0>),  // yellow minutes
};

// ---- Settings: "-" stops at 0, "+" at the top of the byte (a setting never wraps to 0).
constexpr u8 kSettingMax = 255;

template <size_t I>
i32 FSAPI setting_down(MousePoint*, u32) {
    if (fail_setting[I] > 0) --fail_setting[I];
    return 0;
}
template <size_t I>
i32 FSAPI setting_up(MousePoint*, u32) {
    if (fail_setting[I] < kSettingMax) ++fail_setting[I];
    return 0;
}

constexpr u8 kValidLit = 2;  // fail_apply_enable: something armed waits for VALID

// ---- ON and OFF: 0 off, 2 armed (waits for VALID), 1 active.
constexpr u8 kOff = 0, kArmed = 2;

enum Row : size_t {
    EasyStart, ColdStart, Eng1Fail, Eng2Fail, EngAutostart, ApuFail, ApuAutostart, Gen1Fail, Gen2Fail,
    ElecAuto, BlueFail, GreenFail, YellowFail, HydAuto, Typical1, Typical2, RandomFailures, CancelAll,
    kRows
};
u8* const kRowByte[kRows] = {
    &panel_preset_select[0], &panel_preset_select[1], &fail_eng1_select, &fail_eng2_select,
    &fail_select[10],        &fail_select[0],         &fail_select[11],  &fail_select[1],
    &fail_select[2],         &fail_select[12],        &fail_select[3],   &fail_select[4],
    &fail_select[5],         &fail_select[13],        &fail_select[6],   &fail_select[7],
    &fail_select[8],         &fail_select[9],
};

// An armed or active item is left alone.
template <Row R>
i32 FSAPI arm(MousePoint*, u32) {
    if (*kRowByte[R] == kOff) *kRowByte[R] = kArmed;
    return 0;
}
template <Row R>
i32 FSAPI disarm(MousePoint*, u32) {
    *kRowByte[R] = kOff;
    return 0;
}

// VALID: every armed item becomes active (the timed ones note their start time) and the
// current selection sum becomes the applied one; shared with the failure timers.
i32 FSAPI valid_click(MousePoint*, u32) {
    failures_apply();
    return 0;
}

i32 FSAPI exit_click(MousePoint*, u32) {
    svc::panel_window_toggle(panel_win_failures);
    return 0;
}

// Every button is 67 x 28.
constexpr i32 kButtonW = 67, kButtonH = 28;
constexpr u32 kHeld = MouseLeftSingle | MouseRepeat;
constexpr RectDef minus(i32 x, i32 y, MouseCallback cb) {
    return rect::Click(x, y, kButtonW, kButtonH, CursorDownArrow, kHeld, cb);
}
constexpr RectDef plus(i32 x, i32 y, MouseCallback cb) {
    return rect::Click(x, y, kButtonW, kButtonH, CursorUpArrow, kHeld, cb);
}
constexpr RectDef button(i32 x, i32 y, MouseCallback cb) {
    return rect::Click(x, y, kButtonW, kButtonH, CursorHand, MouseLeftSingle, cb);
}

const RectDef kRects[] = {
    //    "-" box                           "+" box
    minus(322, 202, setting_down<9>), plus(389, 202, setting_up<9>),  // ENGINE 1 delay
    minus(525, 202, setting_down<8>), plus(592, 202, setting_up<8>),  // ENGINE 1 speed
    minus(322, 284, setting_down<7>), plus(389, 284, setting_up<7>),  // ENGINE 2 delay
    minus(525, 284, setting_down<6>), plus(592, 284, setting_up<6>),  // ENGINE 2 speed
    minus(321, 373, setting_down<5>), plus(388, 373, setting_up<5>),  // APU delay
    minus(358, 458, setting_down<3>), plus(425, 458, setting_up<3>),  // gen 1 delay
    minus(358, 486, setting_down<4>), plus(425, 486, setting_up<4>),  // gen 2 delay
    minus(442, 561, setting_down<2>), plus(509, 561, setting_up<2>),  // blue delay
    minus(442, 589, setting_down<1>), plus(509, 589, setting_up<1>),  // green delay
    minus(442, 617, setting_down<0>), plus(509, 617, setting_up<0>),  // yellow delay
    //     ON box                                OFF box
    button(923,  93, arm<EasyStart>),      button(990,  93, disarm<EasyStart>),
    button(923, 143, arm<ColdStart>),      button(990, 143, disarm<ColdStart>),
    button(763, 202, arm<Eng1Fail>),       button(830, 202, disarm<Eng1Fail>),
    button(763, 284, arm<Eng2Fail>),       button(830, 284, disarm<Eng2Fail>),
    button(923, 277, arm<EngAutostart>),   button(990, 277, disarm<EngAutostart>),
    button(763, 373, arm<ApuFail>),        button(830, 373, disarm<ApuFail>),
    button(923, 385, arm<ApuAutostart>),   button(990, 385, disarm<ApuAutostart>),
    button(763, 458, arm<Gen1Fail>),       button(830, 458, disarm<Gen1Fail>),
    button(763, 486, arm<Gen2Fail>),       button(830, 486, disarm<Gen2Fail>),
    button(923, 490, arm<ElecAuto>),       button(990, 490, disarm<ElecAuto>),
    button(763, 561, arm<BlueFail>),       button(830, 561, disarm<BlueFail>),
    button(763, 589, arm<GreenFail>),      button(830, 589, disarm<GreenFail>),
    button(763, 617, arm<YellowFail>),     button(830, 617, disarm<YellowFail>),
    button(923, 605, arm<HydAuto>),        button(990, 605, disarm<HydAuto>),
    button(610, 678, arm<Typical1>),       button(677, 678, disarm<Typical1>),
    button(610, 706, arm<Typical2>),       button(677, 706, disarm<Typical2>),
    button(610, 734, arm<RandomFailures>), button(677, 734, disarm<RandomFailures>),
    button(610, 783, arm<CancelAll>),      button(677, 783, disarm<CancelAll>),
    //          x    y    w    h   cursor      events           action
    rect::Click(908, 691, 179, 45, CursorHand, MouseLeftSingle, valid_click),
    rect::Click(908, 757, 179, 45, CursorHand, MouseLeftSingle, exit_click),
};

void FSAPI failures_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 1179;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_failures, "ketravin failures_kr60", kWidthMm,
                                                         failures_update, kElementDefs, kRects);

void FSAPI failures_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    const auto lit = [](Pos p, bool on) { show_if(gauge.el(p), on); };
    // From the EASY START row up to the VALID highlight.
    lit(EasyStartRow, panel_preset_select[0] != 0);
    lit(ColdStartRow, panel_preset_select[1] != 0);
    lit(Eng1Label, fail_eng1_select != 0 || fire_eng1_state != 0);
    lit(Eng1Row, fail_eng1_select != 0);
    lit(Eng2Label, fail_eng2_select != 0 || fire_eng2_state != 0);
    lit(Eng2Row, fail_eng2_select != 0);
    lit(ApuRow, fail_select[0] != 0);
    lit(ElecLabel, fail_select[1] != 0 || fail_select[2] != 0);
    lit(Gen1Row, fail_select[1] != 0);
    lit(Gen2Row, fail_select[2] != 0);
    lit(HydrauLabel, fail_select[3] != 0 || fail_select[4] != 0 || fail_select[5] != 0);
    lit(BlueRow, fail_select[3] != 0);
    lit(GreenRow, fail_select[4] != 0);
    lit(YellowRow, fail_select[5] != 0);
    lit(Typical1Row, fail_select[6] != 0);
    lit(Typical2Row, fail_select[7] != 0);
    lit(RandomRow, fail_select[8] != 0);
    lit(CancelAllRow, fail_select[9] != 0);
    lit(EngAutostartLit, fail_select[10] != 0);
    lit(ApuAutostartLit, fail_select[11] != 0);
    lit(ElecAutoLit, fail_select[12] != 0);
    lit(HydAutoLit, fail_select[13] != 0);
    lit(ValidLit, fail_apply_enable == kValidLit);
}
}  // namespace
