// Engine feed selection: which host tank feeds each engine, from the pump switches, the tank
// quantities, the crossfeed and the essential DC bus; the host's two tank selectors are brought
// into line by key events, each sent only when the selector as last read differs.
// Reads: fuel_pump_a_sw, fuel_pump_b_sw, fuel_ctr_pump_sw, fuel_qty_*, xfeed_state,
//        fuel_shutoff_valve_sw, dc_ess_powered, tok_eng1_tank_selector, tok_eng2_tank_selector
// Writes: fuel_feed_avail
#include "fuel/fuel_feed.h"

#include "electrical/state.h"
#include "fuel/fuel_keys.h"
#include "fuel/state.h"
#include "module/services.h"
#include "module/tokens.h"

namespace {
constexpr u8 kOn = 1;
constexpr f64 kFeedQty = 1.0;        // a tank feeds from this quantity up
constexpr f64 kCenterFirstQty = 0.9; // the centre tank is used first down to this quantity
constexpr u8 kLeftFeedsBoth = 1, kRightFeedsBoth = 2;

struct Engine {
    TokenVar& selector;
    u32 keys[7];  // by selector value; 0 where the value is never sent
    i32 wing, aux;
};
Engine engines[2] = {
    {tok_eng1_tank_selector,
     {key_fuel_sel_eng1_off, 0, key_fuel_sel_eng1_left, key_fuel_sel_eng1_right, key_fuel_sel_eng1_left_aux,
      key_fuel_sel_eng1_right_aux, key_fuel_sel_eng1_center},
     kTankLeft, kTankLeftAux},
    {tok_eng2_tank_selector,
     {key_fuel_sel_eng2_off, 0, key_fuel_sel_eng2_left, key_fuel_sel_eng2_right, key_fuel_sel_eng2_left_aux,
      key_fuel_sel_eng2_right_aux, key_fuel_sel_eng2_center},
     kTankRight, kTankRightAux},
};

// The selector as last refreshed, not read afresh: the host may lag a frame behind.
void apply(Engine& e, i32 choice) {
    if (token_i32(e.selector) == choice || choice < 0 || choice > kTankCenter) return;
    if (const u32 key = e.keys[choice]) svc::send_key_event(key, 0);
}

u8 can_feed(size_t s, f64 wing_aux_qty, f64 wing_main_qty) {
    return (fuel_ctr_pump_sw[s] == kOn && fuel_qty_a_center >= kFeedQty) ||
           (fuel_pump_a_sw[s] == kOn && wing_aux_qty >= kFeedQty) ||
           (fuel_pump_b_sw[s] == kOn && wing_main_qty >= kFeedQty);
}

i32 own_side_choice(size_t s) {
    const bool centre = fuel_ctr_pump_sw[s] == kOn, pump_a = fuel_pump_a_sw[s] == kOn;
    if (centre && pump_a) return fuel_qty_a_center >= kCenterFirstQty ? kTankCenter : engines[s].wing;
    if (centre) return kTankCenter;  // even from an empty centre tank
    if (pump_a) return engines[s].wing;
    return engines[s].aux;
}

// The receiving engine copies the feeding one: its wing or auxiliary tank, else the centre.
i32 copy_of(i32 feeding, const Engine& from) {
    return feeding == from.wing || feeding == from.aux ? feeding : kTankCenter;
}

void crossfeed(size_t feeding) {
    Engine& from = engines[feeding];
    apply(from, own_side_choice(feeding));
    tok_refresh(from.selector);
    apply(engines[1 - feeding], copy_of(token_i32(from.selector), from));
}
}  // namespace

void fuel_feed_step() {
    // Step 1: availability, left side first.
    fuel_feed_avail[0] = can_feed(0, fuel_qty_a_left, fuel_qty_m_left);
    fuel_feed_avail[1] = can_feed(1, fuel_qty_a_right, fuel_qty_m_right);
    // Step 2: the first path that matches.
    if (dc_ess_powered != 1) {
        apply(engines[0], kTankOff);
        apply(engines[1], kTankOff);
    } else if (xfeed_state == kLeftFeedsBoth && (fuel_feed_avail[1] == 0 || fuel_shutoff_valve_sw[1] == 0)) {
        crossfeed(0);
    } else if (xfeed_state == kRightFeedsBoth && (fuel_feed_avail[0] == 0 || fuel_shutoff_valve_sw[0] == 0)) {
        crossfeed(1);
    } else {
        // Engine 1 alone keeps whatever selector it has while the right side is set to feed both
        // and its centre pump, without pump A, has less than one unit left to draw.
        const bool centre_only = fuel_ctr_pump_sw[0] == kOn && fuel_pump_a_sw[0] != kOn;
        if (!(centre_only && xfeed_state == kRightFeedsBoth && fuel_qty_a_center < kFeedQty))
            apply(engines[0], own_side_choice(0));
        apply(engines[1], own_side_choice(1));
    }
}
