// ADF 1 control head of the radio pedestal: the host's ADF 1 frequency on five drums, hundreds,
// tens and units-or-tenths tuning areas, and the ADF TEST button whose latch the ADF bearing
// indicator runs and clears.
// Reads: "(A:Adf active frequency:1,Kilohertz)", elec_ess_ac_powered, dc_normal_powered,
//        light_zone, annunciator_bright
// Writes: adf1_tenths_mode, adf1_test_latch, adf1_freq_khz, adf1_freq_khz_int, adf1_drum_*_target
#include "radios/adf_head.h"
#include "radios/radio_keys.h"
#include "radios/state.h"

GaugeHeader gauge_radio_adf1;

namespace {
constexpr AdfHead kAdf1{
    "(A:Adf active frequency:1,Kilohertz)",
    {key_adf1_100_inc, key_adf1_100_dec, key_adf1_10_inc, key_adf1_10_dec, key_adf1_1_inc, key_adf1_1_dec,
     key_adf1_tenths_inc, key_adf1_tenths_dec},
    &adf1_tenths_mode,
    &adf1_test_latch,
    &adf1_freq_khz,
    digit_out(&adf1_freq_khz_int),
    {digit_out(&adf1_drum_thousands_target), digit_out(&adf1_drum_hundreds_target),
     digit_out(&adf1_drum_units_target), &adf1_drum_tens_target, &adf1_drum_tenths_target, kAdfTopKhz},
    {&adf1_drum_thousands_pos, &adf1_drum_hundreds_pos, &adf1_drum_tens_pos, &adf1_drum_units_pos,
     &adf1_drum_tenths_pos},
    {AdfTenths, AdfUnits, AdfTens, AdfHundreds, AdfThousands},  // lowest digit first
    drum::radio,
};

Gauge<kAdfElements, kAdfRects> gauge(gauge_radio_adf1, "ketravin radio_adf1_kr60", kAdfWidthMm,
                                     adf_head_update<kAdf1, gauge>, adf_head_elements<kAdf1>,
                                     adf_head_rects<kAdf1>);
}  // namespace
