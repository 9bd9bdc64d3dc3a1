// ADF 2 control head of the radio pedestal: the ADF head on the second set's expression, events
// and drums. Its drums jump to a top digit; its window reads up to 9999.9 kHz, so that from
// 2000 kHz the hundreds drum parks at its top.
// Reads: "(A:Adf active frequency:2,Kilohertz)", elec_ess_ac_powered, dc_normal_powered,
//        light_zone, annunciator_bright
// Writes: adf2_tenths_mode, adf2_test_request, adf2_freq_khz, adf2_freq_int, adf2_*_target
#include "radios/adf_head.h"
#include "radios/radio_keys.h"
#include "radios/state.h"

GaugeHeader gauge_radio_adf2;

namespace {
constexpr f64 kTopKhz = 9999.9;

constexpr AdfHead kAdf2{
    "(A:Adf active frequency:2,Kilohertz)",
    {key_adf2_100_inc, key_adf2_100_dec, key_adf2_10_inc, key_adf2_10_dec, key_adf2_1_inc, key_adf2_1_dec,
     key_adf2_tenths_inc, key_adf2_tenths_dec},
    &adf2_tenths_mode,
    &adf2_test_request,
    &adf2_freq_khz,
    digit_out(&adf2_freq_int),
    {digit_out(&adf2_thousands_target), digit_out(&adf2_hundreds_target), digit_out(&adf2_units_target),
     &adf2_tens_target, &adf2_tenths_target, kTopKhz},
    {&adf2_thousands_pos, &adf2_hundreds_pos, &adf2_tens_pos, &adf2_units_pos, &adf2_tenths_pos},
    {AdfThousands, AdfHundreds, AdfTens, AdfUnits, AdfTenths},  // leading digit first
    drum::radio_jump,
};

Gauge<kAdfElements, kAdfRects> gauge(gauge_radio_adf2, "ketravin radio_adf2_kr60", kAdfWidthMm,
                                     adf_head_update<kAdf2, gauge>, adf_head_elements<kAdf2>,
                                     adf_head_rects<kAdf2>);
}  // namespace
