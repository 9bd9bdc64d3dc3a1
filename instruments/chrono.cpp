// Clock and chronometer: UTC, elapsed time (ET) and chronometer (CHR) as one-character digit
// texts in the clock's own font, a chronometer seconds hand, quarter-minute seconds bars, the ET
// selector (run, hold, reset), the CHR and TEST buttons and a local-time tooltip. It runs on
// battery 1 as well as on the DC essential bus.
// Reads: elec_batt_sw, battery_charge, dc_ess_powered, elec_ess_ac_any_powered, light_zone,
//        annunciator_bright, light_tint_sw, light_tint_level
// Writes: inst_chrono_state and the other inst_ clock variables (inst_et_*, inst_chrono_*,
//         inst_utc_digits, inst_clock_test_*)
#include "instruments/chrono.h"

#include "electrical/state.h"
#include "instruments/state.h"
#include "lighting/state.h"
#include "module/deadline.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/switches.h"
#include "module/tokens.h"

GaugeHeader gauge_chrono;

bool clock_powered() {
    constexpr u8 kBatteryOff = 0;
    return (elec_batt_sw[0] != kBatteryOff && battery_charge != 0) || dc_ess_powered == 1;
}

namespace {
// inst_chrono_state
constexpr u8 kChronoReset = 0, kChronoRunning = 1, kChronoStopped = 2, kChronoResetRequest = 3;
// inst_et_selector
constexpr u8 kEtRun = 0, kEtHold = 1, kEtReset = 2;
// inst_clock_test_state
constexpr u8 kTestIdle = 0, kTestRequested = 1, kTestShowing = 2;
constexpr u32 kTestTicks = 36;
}  // namespace

void chrono_chr_press() {
    switch (inst_chrono_state) {
        case kChronoReset: inst_chrono_state = clock_powered() ? kChronoRunning : kChronoReset; break;
        case kChronoRunning: inst_chrono_state = kChronoStopped; break;
        case kChronoStopped: inst_chrono_state = kChronoResetRequest; break;
        default: inst_chrono_state = kChronoReset; break;
    }
}

namespace {
enum Pos {
    Dial, NightDial, Bar1, Bar2, Bar3, UtcColon1, UtcColon2, EtColon1, EtColon2,
    Utc0, Utc1, Utc2, Utc3, Et0, Et1, Et2, Et3, Chr0, Chr1, Hand, Knob0, Knob1, Knob2, Knob3, kElements
};

constexpr u8 kZone = 0;

// ---- Digit texts -----------------------------------------------------------------------------
// Each digit element is bound to its digit byte and to the condition that also blanks it.
enum Blank : u32 { NeverBlank, BlankOnEtHold, BlankOnChronoReset };

f64 FSAPI chrono_digit_text(ElementHeader* e) {
    const ElementBinding& b = element_binding(e);
    const u8 digit = b.var[0] ? *static_cast<const u8*>(b.var[0]) : 0;
    auto* s = reinterpret_cast<StringElement*>(e);
    const bool powered = clock_powered();
    const bool blank = (b.arg == BlankOnEtHold && inst_et_selector == kEtHold) ||
                       (b.arg == BlankOnChronoReset && inst_chrono_state == kChronoReset);
    if (powered && inst_clock_test_state == kTestShowing)
        set_text(s, "%1s", "8");
    else if (powered && !blank)
        set_text(s, "%1d", digit % 10);  // one character, whatever the byte holds
    else
        set_text(s, "%1s", " ");
    return f64(digit);
}

// Amber on dark grey, one character, centred on one line (format flags 37).
constexpr u32 kAmber = 0x000093FF, kDarkGrey = 0x001E1E1E;
constexpr u32 kCentredSingleLine = 37;
constexpr TextStyle digit_style(i32 w, i32 h) {
    return TextStyle{w, h, kAmber, kDarkGrey, kAmber, "Quartz", 400, 1, 1, kCentredSingleLine};
}
constexpr TextStyle kUtcStyle = digit_style(17, 28), kEtStyle = digit_style(17, 26), kChrStyle = digit_style(15, 24);
constexpr u32 kDigitFlags = ImageOption1 | ImageOption2 | ImageBright;

constexpr ElementDef Digit(i32 x, i32 y, const TextStyle& style, u32 token, u8* digit, Blank blank) {
    ElementDef d = el::String(x, y, kDigitFlags, style, chrono_digit_text).source(token);
    d.binding.var[0] = digit;
    d.binding.arg = blank;
    return d;
}

// ---- Needles ---------------------------------------------------------------------------------
f64 FSAPI chrono_hand_value(ElementHeader*) { return inst_chrono_hand_s; }
f64 FSAPI chrono_et_knob_value(ElementHeader*) {
    if (inst_et_selector > kEtReset) inst_et_selector = kEtReset;
    return inst_et_selector;
}
NonlinearityPoint hand_points[] = {
    {80, 13, 0, 0},    {114, 23, 5, 0},  {137, 45, 10, 0}, {148, 81, 15, 0}, {138, 114, 20, 0}, {115, 139, 25, 0},
    {80, 148, 30, 0},  {45, 139, 35, 0}, {23, 116, 40, 0}, {13, 81, 45, 0},  {23, 45, 50, 0},   {46, 23, 55, 0},
};
struct KnobTable {
    NonlinearityPoint p[3];
};
constexpr KnobTable kKnobTable = {{{0, 129, 0, 0}, {2, 145, 1, 0}, {13, 155, 2, 0}}};
KnobTable knob_tables[4] = {kKnobTable, kKnobTable, kKnobTable, kKnobTable};

constexpr ElementDef knob(u32 bitmap, u32 flags, KnobTable& t) {
    return el::Needle(bitmap, 36, 129, flags, chrono_et_knob_value).pivot(-7, 7).table(t.p);
}

constexpr u32 tok_id_local_hour = 3, tok_id_local_minute = 4, tok_id_sim_time = 604;
const ElementDef kElementDefs[kElements] = {
    el::Static(1427, 0, 0),
    el::Icon(10022, 0, 0, ImageHidden),
    el::Icon(1430, 118, 72, ImageHidden),
    el::Icon(1430, 118, 80, ImageHidden),
    el::Icon(1430, 118, 87, ImageHidden),
    el::Icon(1433, 78, 70, ImageHidden),
    el::Icon(1433, 78, 85, ImageHidden),
    el::Icon(1433, 78, 101, ImageHidden),
    el::Icon(1433, 78, 112, ImageHidden),
    Digit(44, 66, kUtcStyle, tok_id_local_hour, &inst_utc_digits[0], NeverBlank),
    Digit(61, 66, kUtcStyle, tok_id_local_hour, &inst_utc_digits[1], NeverBlank),
    Digit(83, 66, kUtcStyle, tok_id_local_minute, &inst_utc_digits[2], NeverBlank),
    Digit(100, 66, kUtcStyle, tok_id_local_minute, &inst_utc_digits[3], NeverBlank),
    Digit(45, 97, kEtStyle, tok_id_sim_time, &inst_et_digits[0], BlankOnEtHold),
    Digit(62, 97, kEtStyle, tok_id_sim_time, &inst_et_digits[1], BlankOnEtHold),
    Digit(84, 97, kEtStyle, tok_id_sim_time, &inst_et_digits[2], BlankOnEtHold),
    Digit(101, 97, kEtStyle, tok_id_sim_time, &inst_et_digits[3], BlankOnEtHold),
    Digit(66, 34, kChrStyle, tok_id_sim_time, &inst_chrono_digits[0], BlankOnChronoReset),
    Digit(81, 34, kChrStyle, tok_id_sim_time, &inst_chrono_digits[1], BlankOnChronoReset),
    el::Needle(1436, 80, 81, 0, chrono_hand_value).pivot(-3, 2).table(hand_points),
    knob(1440, 0, knob_tables[0]),
    knob(2057, ImageHidden, knob_tables[1]),
    knob(10073, ImageHidden, knob_tables[2]),
    knob(1440, ImageHidden | ImageBright, knob_tables[3]),
};
constexpr LightWalk kWalk{kZone, walk_positions({NightDial, Hand})};

// ---- Mouse -----------------------------------------------------------------------------------
i32 FSAPI chrono_et_run_click(MousePoint*, u32) { return inst_et_selector = kEtRun, 0; }
i32 FSAPI chrono_et_hold_click(MousePoint*, u32) { return inst_et_selector = kEtHold, 0; }
i32 FSAPI chrono_et_reset_click(MousePoint*, u32) { return inst_et_selector = kEtReset, 0; }
i32 FSAPI chrono_chr_click(MousePoint*, u32) { return chrono_chr_press(), 0; }
i32 FSAPI chrono_test_click(MousePoint*, u32) {
    if (inst_clock_test_state == kTestIdle && clock_powered()) inst_clock_test_state = kTestRequested;
    return 0;
}

constexpr RectDef ParentBox(i32 x, i32 y, i32 w, i32 h) {
    return RectDef{MouseRectParent, x, y, w, h, CursorNone, 0, 0, nullptr, nullptr, 0, nullptr};
}
const TooltipArg kLocalTime[] = {{tok_id_local_hour, 1.0}, {tok_id_local_minute, 1.0}};
const RectDef kRects[] = {
    ParentBox(0, 0, 161, 162),
    ParentBox(31, 54, 100, 52),
    rect::Tooltip("Local Time %1!d!h%2!d!", 2, kLocalTime),
    //          x    y    w   h   cursor           events           action
    rect::Click(0,   99,  22, 26, CursorUpArrow,   MouseLeftSingle, chrono_et_run_click),
    rect::Click(0,   125, 22, 26, CursorHand,      MouseLeftSingle, chrono_et_hold_click),
    rect::Click(22,  134, 22, 26, CursorDownArrow, MouseLeftSingle, chrono_et_reset_click),
    rect::Click(113, 112, 47, 47, CursorHand,      MouseLeftSingle, chrono_chr_click),
    rect::Click(124, 13,  31, 31, CursorHand,      MouseLeftSingle, chrono_test_click),
    rect::EndParent(),
};

void FSAPI chrono_update(GaugeHeader* g, i32 service, u32);
Gauge<kElements, 9> gauge(gauge_chrono, "ketravin chrono_kr60", 161, chrono_update, kElementDefs, kRects);

// ---- Frame steps -----------------------------------------------------------------------------
// Tens and units of a whole number, each kept to one digit.
void two_digits(u32 v, u8* out) {
    out[0] = u8(v / 10 % 10);
    out[1] = u8(v % 10);
}

// Tens and units of a host hour or minute (a number, held within +-1e9); each byte keeps the low
// bits of a saturated whole.
void host_digits(f64 value, u8* out) {
    const i32 tens = sat_i32(value / 10.0, out[0]);
    out[0] = u8(tens);
    out[1] = u8(sat_i32(value - 10.0 * tens, out[1]));
}

// An hour or minute that is no number leaves its two digits as they were.
void utc() {
    f64 hour = 0.0, minute = 0.0;
    const bool have_hour = tok_number(tok_zulu_hour, hour);
    const bool have_minute = tok_number(tok_zulu_minute, minute);
    if (!clock_powered()) return;
    if (have_hour) host_digits(hour, &inst_utc_digits[0]);
    if (have_minute) host_digits(minute, &inst_utc_digits[2]);
}

// Both counts are kept as the clock reading they started from, in whole seconds (a negative
// clock counts as 0). The start is signed: a count held while the clock went back behind it
// (a new situation loaded) still continues from the held value when it runs on. The clock is a
// number here (tested before the counts run), so the 0 kept for none is never taken.
f64 whole_seconds(f64 now) { return f64(sat_u32(now, 0)); }

// Held: the count stands still, so its start follows the clock.
void hold_count(f64& start, u32 seconds, f64 now) { start = whole_seconds(now) - f64(seconds); }

// Running: a count with neither a start nor a value starts now. A clock gone back behind the
// start re-bases it, so the count restarts from 0 instead of wrapping.
void run_count(f64& start, u32& seconds, f64 now) {
    const f64 t = whole_seconds(now);
    if (start == 0.0 && seconds == 0) {
        start = t;
        return;
    }
    if (!(start <= t)) start = t;
    seconds = sat_u32(t - start, seconds);
}

void elapsed_time(f64 now) {
    switch (inst_et_selector) {
        case kEtHold: hold_count(inst_et_start_s, inst_et_seconds, now); break;
        case kEtRun: run_count(inst_et_start_s, inst_et_seconds, now); break;
        case kEtReset:
            inst_et_seconds = inst_et_minutes = inst_et_hours = 0;
            inst_et_start_s = 0.0;
            break;
        default: break;
    }
    const u32 hours = inst_et_seconds / 3600;
    inst_et_hours = u8(hours);
    inst_et_minutes = inst_et_seconds / 60 - 60 * hours;
    two_digits(hours % 100, &inst_et_digits[0]);
    two_digits(inst_et_minutes, &inst_et_digits[2]);
}

void chronometer(f64 now) {
    switch (inst_chrono_state) {
        case kChronoReset:
        case kChronoStopped: hold_count(inst_chrono_start_s, inst_chrono_seconds, now); break;
        case kChronoRunning: run_count(inst_chrono_start_s, inst_chrono_seconds, now); break;
        case kChronoResetRequest:
            inst_chrono_seconds = inst_chrono_minutes = 0;
            inst_chrono_start_s = 0.0;
            inst_chrono_state = kChronoReset;
            break;
        default: break;
    }
    const u32 hours = inst_chrono_seconds / 3600;
    inst_chrono_hours = u8(hours);
    inst_chrono_minutes = u8(inst_chrono_seconds / 60 - 60 * hours);
    two_digits(inst_chrono_minutes, inst_chrono_digits);
    inst_chrono_hand_s = u8(inst_chrono_seconds % 60);
}

// Test: requested -> all segments for 36 ticks -> idle.
void display_test() {
    const f64 tick = tok_read(tok_tick18);
    if (inst_clock_test_state == kTestRequested && inst_clock_test_armed == 0) {
        inst_clock_test_deadline = deadline_arm(tick, kTestTicks);
        inst_clock_test_armed = 1;
    }
    if (inst_clock_test_state == kTestRequested && inst_clock_test_armed == 1 && f64(inst_clock_test_deadline) > tick)
        inst_clock_test_state = kTestShowing;
    if (inst_clock_test_state == kTestShowing && inst_clock_test_armed == 1 &&
        deadline_reached(inst_clock_test_deadline, tick, kTestTicks)) {
        inst_clock_test_state = kTestIdle;
        inst_clock_test_armed = 0;
    }
}

void seconds_bars(bool powered) {
    constexpr f64 kQuarter = 15.0;
    const f64 s = tok_read(tok_clock_second);
    u32 bars = 0;
    if (inst_clock_test_state == kTestShowing)
        bars = 3;
    else if (powered)
        bars = s >= 3 * kQuarter ? 3 : s >= 2 * kQuarter ? 2 : s >= kQuarter ? 1 : 0;
    show_if(gauge.el(Bar1), bars >= 1);
    show_if(gauge.el(Bar2), bars >= 2);
    show_if(gauge.el(Bar3), bars >= 3);
}

void et_knob_image() {
    constexpr u8 kTintOn = 1;
    size_t image = 0;
    if (light_tint_sw == kTintOn && elec_ess_ac_any_powered == 1)
        image = light_tint_level == 2 ? 2 : light_tint_level == 3 ? 1 : 3;
    show_one_of(gauge, Knob0, 4, image);
}

void FSAPI chrono_update(GaugeHeader* g, i32 service, u32) {
    if (service != ServicePreUpdate || !g) return;
    // 1. Lighting: the night dial shows with zone 0; the dial only loses its night image.
    light_walk(*g, kWalk);
    const bool lit = light_zone[kZone] == 1;
    show_if(gauge.el(NightDial), lit);
    if (!lit) gauge.el(Dial)->image_flags &= ~ImageLuminous;
    // 2. UTC.
    utc();
    // 3, 4. Elapsed time and chronometer; a clock that is not a number changes nothing.
    const f64 now = tok_read(tok_sim_time_s);
    if (clock_powered() && std::isfinite(now)) {
        elapsed_time(now);
        chronometer(now);
    }
    // 5. Test; 6. seconds bars; 7. colons; 8. ET knob image.
    display_test();
    const bool powered = clock_powered();
    seconds_bars(powered);
    show_if(gauge.el(UtcColon1), powered);
    show_if(gauge.el(UtcColon2), powered);
    show_if(gauge.el(EtColon1), powered && inst_et_selector == kEtRun);
    show_if(gauge.el(EtColon2), powered && inst_et_selector == kEtRun);
    et_knob_image();
}
}  // namespace
