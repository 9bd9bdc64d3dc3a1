// "ketravin n1_calc_kr60": the N1 target computer's control and display unit on the centre panel.
// Six lit mode buttons (the lit one clears the mode), a TEST button, two thumbwheels for the
// flexible take-off temperature and two windows: the N1 target and the total air temperature.
// The whole unit runs on AC bus 1; the thumbwheel digits change without it, the wheels roll with it.
// Reads: elec_ac_bus1_powered, inst_adc1_ok, eng_n1_target_computed, tok_tat, light_zone,
//        annunciator_bright
// Writes: eng_n1_mode, eng_n1_test_timer, eng_n1_tat_c, eng_n1_tat_abs, eng_n1_flex_tens,
//         eng_n1_flex_units, eng_n1_flex_temp, eng_n1_flex_tens_shown, eng_n1_flex_units_shown,
//         eng_n1_flex_tens_wheel, eng_n1_flex_units_wheel (and the laws' outputs)
#include "air/state.h"
#include "electrical/state.h"
#include "engines/n1_laws.h"
#include "engines/state.h"
#include "module/drums.h"
#include "module/lighting.h"
#include "module/tokens.h"

GaugeHeader gauge_n1_calc;

namespace {
enum Pos : size_t {
    Background, Glass, Legends, Minus, Plus, LampTo, LampFlx, LampGa, LampMct, LampCl, LampCr,
    TargetWindow, TatWindow, Cover, UnitsWheel, TensWheel, kElements
};
constexpr size_t kModes = 6;

constexpr u32 kWidthMm = 128;
constexpr u32 kBmpBackground = 2393, kBmpGlass = 2396, kBmpLegends = 2400, kBmpMinus = 2416, kBmpPlus = 2419,
              kBmpGreenLamp = 2406, kBmpAmberLamp = 2403, kBmpWheel = 2409;
constexpr LightWalk kWalk{1, walk_positions({Background, Legends, UnitsWheel, TensWheel})};  // engine instruments

constexpr u8 kTestFill = 20;      // frames of test per press; a press refills only below it
constexpr f64 kTatScale = 256.0;  // the host's temperature unit is 1/256 degree
constexpr u8 kTatShownMax = 99;   // two character places

// Amber on dark brown (0x00BBGGRR), one line centred.
constexpr u32 kCentredLine = 37;
constexpr TextStyle kTargetText = {73, 22, 0x000093FF, 0x00323249, 0, "Quartz", 400, 5, 0, kCentredLine};
constexpr TextStyle kTatText = {29, 22, 0x000093FF, 0x00323249, 0, "Quartz", 400, 2, 0, kCentredLine};

bool powered() { return elec_ac_bus1_powered == 1; }

f64 FSAPI target_window(ElementHeader* e) {
    auto* s = reinterpret_cast<StringElement*>(e);
    if (powered() && eng_n1_test_timer > 1)
        set_text(s, "%5s", "888.8");
    else if (powered())
        set_text(s, "%3.1f", eng_n1_target_computed);
    else
        set_text(s, "%4s", "");
    return eng_n1_target_computed;
}

f64 FSAPI tat_window(ElementHeader* e) {
    auto* s = reinterpret_cast<StringElement*>(e);
    if (powered() && eng_n1_test_timer > 1)
        set_text(s, "%2s", "88");
    else if (powered())
        set_text(s, "%2d", eng_n1_tat_abs > kTatShownMax ? kTatShownMax : eng_n1_tat_abs);
    else
        set_text(s, "%2s", "");
    return eng_n1_tat_abs;
}

constexpr u32 kLit = ImageBright;  // lamps, signs and text draw lit whenever shown
const ElementDef kElementDefs[kElements] = {
    //         bitmap             x    y   start flags
    el::Static(kBmpBackground,    0,   0),
    el::Icon(kBmpGlass,           3,   2),
    el::Icon(kBmpLegends,        18,  60, ImageHidden),
    el::Icon(kBmpMinus,          84,  21, ImageHidden | kLit),
    el::Icon(kBmpPlus,           83,   4, ImageHidden | kLit),
    el::Icon(kBmpGreenLamp,      17,  48, ImageHidden | kLit),  // T.O.
    el::Icon(kBmpAmberLamp,      54,  48, ImageHidden | kLit),  // FLX T.O.
    el::Icon(kBmpGreenLamp,      92,  48, ImageHidden | kLit),  // GA
    el::Icon(kBmpGreenLamp,      17,  95, ImageHidden | kLit),  // MCT
    el::Icon(kBmpGreenLamp,      54,  95, ImageHidden | kLit),  // CL
    el::Icon(kBmpGreenLamp,      92,  95, ImageHidden | kLit),  // CR
    //                  x   y   flags  style        value
    el::String(         6,  6, kLit,  kTargetText, target_window),
    el::String(        93,  6, kLit,  kTatText,    tat_window),
    el::Icon(kBmpGlass,           5,   0),  // cover over the dark display
    el::ChasingDrum(kBmpWheel,   49, 151, 0, drum::carry(9.9), drum::target(&eng_n1_flex_units_shown),
                    &eng_n1_flex_units_wheel),
    el::ChasingDrum(kBmpWheel,   24, 151, 0, drum::carry(9.9), drum::target(&eng_n1_flex_tens_shown),
                    &eng_n1_flex_tens_wheel),
};

// ---- Buttons: silent; mode and TEST need AC bus 1, the thumbwheels do not.
template <u8 K>
i32 FSAPI mode_button(MousePoint*, u32) {
    if (powered()) eng_n1_mode = eng_n1_mode == K ? 0 : K;
    return 0;
}
i32 FSAPI test_button(MousePoint*, u32) {
    if (powered() && eng_n1_test_timer < kTestFill) eng_n1_test_timer = u8(eng_n1_test_timer + kTestFill);
    return 0;
}
template <u8* Digit>
i32 FSAPI digit_up(MousePoint*, u32) {
    *Digit = *Digit >= 9 ? 0 : u8(*Digit + 1);
    return 0;
}
template <u8* Digit>
i32 FSAPI digit_down(MousePoint*, u32) {
    *Digit = *Digit == 0 || *Digit > 9 ? 9 : u8(*Digit - 1);
    return 0;
}

constexpr u32 kHeld = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x    y    w   h   cursor           events           action
    rect::Click(11,  37, 35, 47, CursorHand,      MouseLeftSingle, mode_button<1>),  // T.O.
    rect::Click(48,  37, 35, 47, CursorHand,      MouseLeftSingle, mode_button<2>),  // FLX T.O.
    rect::Click(85,  37, 35, 47, CursorHand,      MouseLeftSingle, mode_button<3>),  // GA
    rect::Click(11,  84, 35, 47, CursorHand,      MouseLeftSingle, mode_button<4>),  // MCT
    rect::Click(48,  84, 35, 47, CursorHand,      MouseLeftSingle, mode_button<5>),  // CL
    rect::Click(85,  84, 35, 47, CursorHand,      MouseLeftSingle, mode_button<6>),  // CR
    rect::Click(89, 145, 35, 35, CursorHand,      kHeld,           test_button),
    rect::Click(11, 131, 33, 26, CursorUpArrow,   kHeld,           digit_up<&eng_n1_flex_tens>),
    rect::Click(11, 157, 33, 26, CursorDownArrow, kHeld,           digit_down<&eng_n1_flex_tens>),
    rect::Click(44, 131, 33, 26, CursorUpArrow,   kHeld,           digit_up<&eng_n1_flex_units>),
    rect::Click(44, 157, 33, 26, CursorDownArrow, kHeld,           digit_down<&eng_n1_flex_units>),
};

void FSAPI n1_calc_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_n1_calc, "ketravin n1_calc_kr60", kWidthMm,
                                                         n1_calc_update, kElementDefs, kRects);

// The temperature in whole degrees: saturated to 32 bits, then kept as its low byte, signed. A
// reading that is not a number leaves the last one.
void read_tat() {
    const f64 v = tok_read(tok_tat) * kTatScale;
    if (!std::isfinite(v)) return;
    eng_n1_tat_c = i8(u8(u32(sat_i32(v, eng_n1_tat_c)) & 0xFF));
    const i32 c = eng_n1_tat_c;
    eng_n1_tat_abs = u8(c < 0 ? -c : c);
}

void FSAPI n1_calc_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreInstall) n1_laws_forget();
    if (service != ServicePreUpdate) return;
    const bool on = powered();
    const bool laws = on && inst_adc1_ok == 1;
    n1_laws_watch(laws);  // before anything can return: the laws' readings are the host's latest
    // 1-2. Lighting, legends.
    light_walk(gauge.header(), kWalk);
    show_if(gauge.el(Legends), on);
    // 3. Test timer, with or without power.
    if (eng_n1_test_timer > 0) --eng_n1_test_timer;
    const bool test = eng_n1_test_timer > 0;
    // 4-5. Air temperature and the wheels' targets, only while powered.
    if (on) {
        read_tat();
        eng_n1_flex_tens_shown = eng_n1_flex_tens;
        eng_n1_flex_units_shown = eng_n1_flex_units;
    }
    // 6. Sign lamps: both in test, else the sign of the temperature (none at 0).
    show_if(gauge.el(Plus), on && (test || eng_n1_tat_c > 0));
    show_if(gauge.el(Minus), on && (test || eng_n1_tat_c < 0));
    // 7. Mode lamps.
    for (size_t k = 1; k <= kModes; ++k) show_if(gauge.el(LampTo + k - 1), on && (test || eng_n1_mode == k));
    // 8. The entered temperature, with or without power.
    eng_n1_flex_temp = u8(eng_n1_flex_tens * 10 + eng_n1_flex_units);
    // 9. The laws, with AC bus 1 and a valid air data computer 1.
    if (laws) n1_laws_step();
    // 10. Cover over the dark display.
    show_if(gauge.el(Cover), !on);
}
}  // namespace
