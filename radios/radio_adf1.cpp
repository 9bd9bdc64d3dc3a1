// ADF 1 control head of the radio pedestal: the host's ADF 1 frequency on five drums, hundreds,
// tens and units-or-tenths tuning areas, and the ADF TEST button whose latch the ADF bearing
// indicator runs and clears.
// Reads: "(A:Adf active frequency:1,Kilohertz)", elec_ess_ac_powered, dc_normal_powered,
//        light_zone, annunciator_bright
// Writes: adf1_tenths_mode, adf1_test_latch, adf1_freq_khz, adf1_freq_khz_int, adf1_drum_*_target
#include "electrical/state.h"
#include "module/lighting.h"
#include "module/panel_images.h"
#include "module/switches.h"
#include "radios/radio_digits.h"
#include "radios/radio_keys.h"
#include "radios/state.h"

GaugeHeader gauge_radio_adf1;

namespace {
enum Pos : size_t { Background, Tenths, Units, Tens, Hundreds, Thousands, kElements };

constexpr u32 kBmpBackground = 2099, kBmpDigits = 2118;
constexpr const char* kFrequencyExpr = "(A:Adf active frequency:1,Kilohertz)";
constexpr LightWalk kWalk{3, walk_range(Background, Thousands)};

using drum::radio;
using drum::target;
constexpr u32 kDrum = fl::Lum | fl::Opt2;

const ElementDef kElementDefs[kElements] = {
    //       bitmap                x    y   start flags
    el::Static(kBmpBackground,      0,   0, fl::Lum | fl::Opt1),
    el::ChasingDrum(kBmpDigits,    87,  25, kDrum, radio(10), target(&adf1_drum_tenths_target), &adf1_drum_tenths_pos),
    el::ChasingDrum(kBmpDigits,    77,  25, kDrum, radio(10), target(&adf1_drum_units_target), &adf1_drum_units_pos),
    el::ChasingDrum(kBmpDigits,    65,  25, kDrum, radio(10), target(&adf1_drum_tens_target), &adf1_drum_tens_pos),
    el::ChasingDrum(kBmpDigits,    55,  25, kDrum, radio(10), target(&adf1_drum_hundreds_target), &adf1_drum_hundreds_pos),
    el::ChasingDrum(kBmpDigits,    45,  25, kDrum, radio(2), target(&adf1_drum_thousands_target), &adf1_drum_thousands_pos),
};

template <u32 Key>
i32 FSAPI adf_step(MousePoint*, u32) {
    svc::trigger_key_event(Key, 0);
    return 0;
}
// The third pair steps units, or tenths in tenths mode.
template <u32 UnitsKey, u32 TenthsKey>
i32 FSAPI adf_fine_step(MousePoint*, u32) {
    svc::trigger_key_event(adf1_tenths_mode == 1 ? TenthsKey : UnitsKey, 0);
    return 0;
}
constexpr auto adf_head_100_inc = adf_step<key_adf1_100_inc>;
constexpr auto adf_head_100_dec = adf_step<key_adf1_100_dec>;
constexpr auto adf_head_10_inc = adf_step<key_adf1_10_inc>;
constexpr auto adf_head_10_dec = adf_step<key_adf1_10_dec>;
constexpr auto adf_head_1_inc = adf_fine_step<key_adf1_1_inc, key_adf1_tenths_inc>;
constexpr auto adf_head_1_dec = adf_fine_step<key_adf1_1_dec, key_adf1_tenths_dec>;

// TEST raises the latch only with the essential AC or the normal DC bus, and only once until
// the indicator clears it.
i32 FSAPI adf_head_test_push(MousePoint*, u32) {
    if (adf1_test_latch == 1) return 0;
    if (elec_ess_ac_powered == 1 || dc_normal_powered == 1) adf1_test_latch = 1;
    return 0;
}

i32 FSAPI adf_head_tenths_toggle(MousePoint*, u32) {
    adf1_tenths_mode = adf1_tenths_mode == 0 ? 1 : 0;
    return 0;
}

constexpr u32 kStepFlags = MouseLeftSingle | MouseRepeat;
const RectDef kRects[] = {
    //          x    y   w   h   cursor           events           action
    rect::Click(27,  49, 29, 21, CursorUpArrow,   kStepFlags,      adf_head_100_inc),
    rect::Click(27,  70, 29, 21, CursorDownArrow, kStepFlags,      adf_head_100_dec),
    rect::Click(56,  49, 29, 21, CursorUpArrow,   kStepFlags,      adf_head_10_inc),
    rect::Click(56,  70, 29, 21, CursorDownArrow, kStepFlags,      adf_head_10_dec),
    rect::Click(85,  49, 29, 21, CursorUpArrow,   kStepFlags,      adf_head_1_inc),
    rect::Click(85,  70, 29, 21, CursorDownArrow, kStepFlags,      adf_head_1_dec),
    rect::Click(115,  6, 27, 27, CursorHand,      MouseLeftSingle, adf_head_test_push),
    rect::Click(71,  23, 27, 21, CursorHand,      MouseLeftSingle, adf_head_tenths_toggle),
};

void FSAPI adf_head_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 142;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_radio_adf1, "ketravin radio_adf1_kr60", kWidthMm,
                                                         adf_head_update, kElementDefs, kRects);

const AdfWindow kWindow{digit_out(&adf1_drum_thousands_target), digit_out(&adf1_drum_hundreds_target),
                        digit_out(&adf1_drum_units_target), &adf1_drum_tens_target, &adf1_drum_tenths_target};

void FSAPI adf_head_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    // A frequency that is not a number leaves the window as it stood.
    f64 khz = 0.0;
    svc::execute_calculator_code(kFrequencyExpr, &khz, nullptr, nullptr);
    if (!adf_window_targets(khz, kWindow)) return;
    adf1_freq_khz = khz < 0.0 ? 0.0 : khz > kAdfTopKhz ? kAdfTopKhz : khz;
    adf1_freq_khz_int = sat_u32(adf1_freq_khz);
}
}  // namespace
