// The lighting walk: once per frame a lit gauge sets the night or bright image of a fixed set
// of its elements (named by chain position) from its lighting zone and the bright step.
#pragma once
#include <initializer_list>

#include "module/host_interface.h"

struct LightWalk {
    u8 zone;        // index into light_zone
    u64 positions;  // bit n: chain position n is walked
};

constexpr u64 walk_range(unsigned first, unsigned last) {
    u64 m = 0;
    for (unsigned p = first; p <= last && p < 64; ++p) m |= u64(1) << p;
    return m;
}
constexpr u64 walk_positions(std::initializer_list<unsigned> list) {
    u64 m = 0;
    for (unsigned p : list)
        if (p < 64) m |= u64(1) << p;
    return m;
}

void light_walk(const GaugeHeader& gauge, const LightWalk& walk);
