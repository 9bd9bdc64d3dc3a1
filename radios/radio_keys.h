// Host key events of the radio heads and the audio panel.
#pragma once
#include "module/types.h"

// NAV head tuning.
constexpr u32 key_nav1_whole_dec = 0x10068;
constexpr u32 key_nav1_whole_inc = 0x10069;
constexpr u32 key_nav1_fract_dec = 0x1006a;
constexpr u32 key_nav1_fract_inc = 0x1006b;
constexpr u32 key_nav2_whole_dec = 0x1006c;
constexpr u32 key_nav2_whole_inc = 0x1006d;
constexpr u32 key_nav2_fract_dec = 0x1006e;
constexpr u32 key_nav2_fract_inc = 0x1006f;

// COM 1 tuning and swap; the transmit selection is shared by both COM heads.
constexpr u32 key_com1_whole_dec = 0x10064;
constexpr u32 key_com1_whole_inc = 0x10065;
constexpr u32 key_com1_fract_dec = 0x10066;
constexpr u32 key_com1_fract_inc = 0x10067;
constexpr u32 key_com1_swap = 0x10344;
constexpr u32 key_com_rx_both_set = 0x103A2;
constexpr u32 key_com_tx_select_1 = 0x103A0;
constexpr u32 key_com_tx_select_2 = 0x1039F;

// ADF 1 tuning.
constexpr u32 key_adf1_100_inc = 0x10070;
constexpr u32 key_adf1_10_inc = 0x10071;
constexpr u32 key_adf1_1_inc = 0x10072;
constexpr u32 key_adf1_100_dec = 0x10082;
constexpr u32 key_adf1_10_dec = 0x10083;
constexpr u32 key_adf1_1_dec = 0x10084;
constexpr u32 key_adf1_tenths_inc = 0x1039E;
constexpr u32 key_adf1_tenths_dec = 0x1039D;

// Transponder digits.
constexpr u32 key_xpdr_1000_inc = 0x10073;
constexpr u32 key_xpdr_100_inc = 0x10074;
constexpr u32 key_xpdr_10_inc = 0x10075;
constexpr u32 key_xpdr_1_inc = 0x10076;
constexpr u32 key_xpdr_1000_dec = 0x10397;
constexpr u32 key_xpdr_100_dec = 0x10398;
constexpr u32 key_xpdr_10_dec = 0x10399;
constexpr u32 key_xpdr_1_dec = 0x1039a;

// Audio panel: marker audio (value 1 on, 0 off) and the ident audio of the receivers.
constexpr u32 key_marker_sound_set = 0x103AE;
constexpr u32 key_vor1_ident_enable = 0x1012D;
constexpr u32 key_vor1_ident_disable = 0x10128;
constexpr u32 key_vor2_ident_enable = 0x1012E;
constexpr u32 key_vor2_ident_disable = 0x10129;
constexpr u32 key_adf_ident_enable = 0x10131;
constexpr u32 key_adf_ident_disable = 0x1012C;
