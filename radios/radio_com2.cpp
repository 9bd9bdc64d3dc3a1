// COM 2 control head of the radio pedestal: the COM head on the second set's tokens, events and
// drums; its drums jump to a top digit, and a nibble above 9 reaches its drum raw and parks it.
// Reads: tok_com2_freq, tok_com2_stby_freq, tok_com2_tx_selected, tok_com_rx_both,
//        elec_ac_bus1_powered, elec_ac_bus2_powered, light_zone, annunciator_bright
// Writes: com2_window_select, com2_left_freq_bcd, com2_right_freq_bcd, com2_*_last_nibble,
//         com2_*_target
#include "radios/com_head.h"
#include "radios/radio_keys.h"
#include "radios/state.h"

GaugeHeader gauge_radio_com2;

namespace {
constexpr u32 kRawNibbles = 15;

constexpr ComHead kCom2{
    &tok_com2_freq,
    &tok_com2_stby_freq,
    &com2_window_select,
    key_com2_swap,
    {key_com2_whole_inc, key_com2_whole_dec, key_com2_fract_inc, key_com2_fract_dec},
    &com2_left_freq_bcd,
    &com2_right_freq_bcd,
    {{digit_out(&com2_left_hundreds_target), digit_out(&com2_left_tens_target),
      digit_out(&com2_left_tenths_target), &com2_left_units_target, &com2_left_last_target},
     {&com2_left_last_pos, &com2_left_tenths_pos, &com2_left_units_pos, &com2_left_tens_pos,
      &com2_left_hundreds_pos}},
    {{digit_out(&com2_right_hundreds_target), digit_out(&com2_right_tens_target),
      digit_out(&com2_right_tenths_target), &com2_right_units_target, &com2_right_last_target},
     {&com2_right_last_pos, &com2_right_tenths_pos, &com2_right_units_pos, &com2_right_tens_pos,
      &com2_right_hundreds_pos}},
    drum::radio_jump,
    fl::Lum | fl::Opt3,
    kRawNibbles,
    &com2_left_last_nibble,
    &com2_right_last_nibble,
};

Gauge<kComElements, kComRects> gauge(gauge_radio_com2, "ketravin radio_com2_kr60", kComWidthMm,
                                     com_head_update<kCom2, gauge>, com_head_elements<kCom2>,
                                     com_head_rects<kCom2>);
}  // namespace
