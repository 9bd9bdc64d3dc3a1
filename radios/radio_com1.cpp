// COM 1 control head of the radio pedestal: active and standby windows, transfer switch, the
// standby side's tuning areas and the two transmit buttons.
// Reads: tok_com1_freq, tok_com1_stby_freq, tok_com2_tx_selected, tok_com_rx_both,
//        elec_ac_bus1_powered, elec_ac_bus2_powered, light_zone, annunciator_bright
// Writes: com1_window_select, com1_left_window_bcd, com1_right_window_bcd, com1_*_drum_*_target
#include "radios/com_head.h"
#include "radios/radio_keys.h"
#include "radios/state.h"

GaugeHeader gauge_radio_com1;

namespace {
constexpr ComHead kCom1{
    &tok_com1_freq,
    &tok_com1_stby_freq,
    &com1_window_select,
    key_com1_swap,
    {key_com1_whole_inc, key_com1_whole_dec, key_com1_fract_inc, key_com1_fract_dec},
    &com1_left_window_bcd,
    &com1_right_window_bcd,
    {{digit_out(&com1_left_drum_hundreds_target), digit_out(&com1_left_drum_tens_target),
      digit_out(&com1_left_drum_tenths_target), &com1_left_drum_units_target, &com1_left_drum_last_target},
     {&com1_left_drum_last_pos, &com1_left_drum_tenths_pos, &com1_left_drum_units_pos, &com1_left_drum_tens_pos,
      &com1_left_drum_hundreds_pos}},
    {{digit_out(&com1_right_drum_hundreds_target), digit_out(&com1_right_drum_tens_target),
      digit_out(&com1_right_drum_tenths_target), &com1_right_drum_units_target, &com1_right_drum_last_target},
     {&com1_right_drum_last_pos, &com1_right_drum_tenths_pos, &com1_right_drum_units_pos,
      &com1_right_drum_tens_pos, &com1_right_drum_hundreds_pos}},
    drum::radio,
    fl::Hid | fl::Lum | fl::Opt3,
};

void FSAPI com_head_update(GaugeHeader*, i32 service, u32);

Gauge<kComElements, kComRects> gauge(gauge_radio_com1, "ketravin radio_com1_kr60", kComWidthMm, com_head_update,
                                     com_head_elements<kCom1>, com_head_rects<kCom1>);

void FSAPI com_head_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) com_head_frame(kCom1, gauge);
}
}  // namespace
