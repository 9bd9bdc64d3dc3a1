// Host key events of the engine tank selectors, sent with the value 0 through send_key_event.
#pragma once
#include "module/types.h"

constexpr u32 key_fuel_sel_eng1_off = 0x101a3;
constexpr u32 key_fuel_sel_eng1_left = 0x101a5;
constexpr u32 key_fuel_sel_eng1_right = 0x101a6;
constexpr u32 key_fuel_sel_eng1_left_aux = 0x101a7;
constexpr u32 key_fuel_sel_eng1_right_aux = 0x101a8;
constexpr u32 key_fuel_sel_eng1_center = 0x101a9;
constexpr u32 key_fuel_sel_eng2_off = 0x103d4;
constexpr u32 key_fuel_sel_eng2_left = 0x103d6;
constexpr u32 key_fuel_sel_eng2_right = 0x103d7;
constexpr u32 key_fuel_sel_eng2_left_aux = 0x103d8;
constexpr u32 key_fuel_sel_eng2_right_aux = 0x103d9;
constexpr u32 key_fuel_sel_eng2_center = 0x103da;

// Host tank-selector values.
constexpr i32 kTankOff = 0, kTankLeft = 2, kTankRight = 3, kTankLeftAux = 4, kTankRightAux = 5, kTankCenter = 6;
