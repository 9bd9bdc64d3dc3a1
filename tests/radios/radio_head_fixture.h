// What the radio-head tests share: key events as (id, value) pairs, drum targets and drawn drum
// positions as lists, and a fixture that places heads on the open radio panel.
#pragma once
#include <initializer_list>
#include <utility>
#include <vector>

#include "module/keys.h"
#include "tests/panel_fixture.h"

using Keys = std::vector<std::pair<u32, u32>>;
using Digits = std::vector<f64>;  // a window's targets, leading drum first unless said otherwise
template <typename... T>
Digits digits(T... v) { return Digits{f64(v)...}; }

class RadioHeadTest : public PanelTest {
protected:
    // Places the heads, then opens the radio panel's window.
    void place_heads(std::initializer_list<const char*> heads) {
        for (const char* g : heads) place(g);
        host().window_set(panel_win_radios, true);
    }
    Keys keys() {
        Keys out;
        for (const KeyLogEntry& k : new_keys()) out.emplace_back(k.id, k.value);
        return out;
    }
    Digits ys(const char* g, size_t first, size_t n) {
        Digits v;
        for (size_t i = 0; i < n; ++i) v.push_back(drawn(g, first + i).y);
        return v;
    }
};
