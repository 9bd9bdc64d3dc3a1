// The COM control head's frame and its transmit buttons, shared by every COM set.
// Reads: the head's frequency tokens, tok_com2_tx_selected, tok_com_rx_both,
//        elec_ac_bus1_powered, elec_ac_bus2_powered, light_zone, annunciator_bright
// Writes: the head's window words and drum targets
#include "radios/com_head.h"

#include "electrical/state.h"
#include "radios/radio_keys.h"

namespace {
constexpr LightWalk kWalk{3, walk_positions({ComFace, ComTx1Face, ComTx2Face}) |
                                 walk_range(ComLeftLast, ComRightHundreds)};

// The host's transmit state: both sets selected, or the second set alone. Only the double 1.0
// counts as set.
struct TxState {
    bool both, second_alone, second_clear;
};
TxState read_tx() {
    TxState s;
    s.both = tok_read(tok_com_rx_both) == 1.0;
    const f64 second = tok_read(tok_com2_tx_selected);
    s.second_alone = second == 1.0;
    s.second_clear = second == 0.0;
    return s;
}

// From both selected each button selects its own set alone; from one set the other button
// selects both; the button already selected alone does nothing.
void transmit_press(bool second_button) {
    const TxState s = read_tx();
    if (s.both) {
        svc::trigger_key_event(key_com_rx_both_set, 0);
        svc::trigger_key_event(second_button ? key_com_tx_select_2 : key_com_tx_select_1, 0);
    } else if (second_button ? s.second_clear : s.second_alone) {
        svc::trigger_key_event(key_com_rx_both_set, 1);
    }
}
}  // namespace

i32 FSAPI com_head_transmit_1(MousePoint*, u32) {
    transmit_press(false);
    return 0;
}

i32 FSAPI com_head_transmit_2(MousePoint*, u32) {
    transmit_press(true);
    return 0;
}

void com_head_frame(const ComHead& h, Gauge<kComElements, kComRects>& gauge) {
    light_walk(gauge.header(), kWalk);

    // Windows: the left one shows the active frequency while the switch is at 1.
    const u32 active = tok_read_u32(*h.active);
    const u32 standby = tok_read_u32(*h.standby);
    const bool left_active = *h.window_select == LeftActive;
    *h.left_bcd = left_active ? active : standby;
    *h.right_bcd = left_active ? standby : active;
    freq_window_targets(*h.left_bcd, h.left.targets);
    freq_window_targets(*h.right_bcd, h.right.targets);

    // Transfer marker, then the transmit faces and their glows (AC bus 1 or 2).
    const bool second_alone = tok_read(tok_com2_tx_selected) == 1.0;
    const bool right_marker = *h.window_select == RightActive;
    show_if(gauge.el(ComLeftActive), !right_marker);
    show_if(gauge.el(ComRightActive), right_marker);
    const bool both = tok_read(tok_com_rx_both) == 1.0;
    const bool first_on = both || !second_alone, second_on = both || second_alone;
    const bool lamps = elec_ac_bus1_powered + elec_ac_bus2_powered >= 1;
    show_if(gauge.el(ComTx1Face), first_on);
    show_if(gauge.el(ComTx2Face), second_on);
    show_if(gauge.el(ComTx1Lit), lamps && first_on);
    show_if(gauge.el(ComTx2Lit), lamps && second_on);
}
