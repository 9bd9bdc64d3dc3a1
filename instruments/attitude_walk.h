// Display walks shared by the main and standby attitude indicators: each axis shows a value of
// its own that moves 1 degree a frame toward a test or rest attitude, with a latch that asks for
// a walk back to the real attitude afterwards.
#pragma once
#include "module/tokens.h"
#include "module/types.h"

// The host's attitude for the walks: its value when a number (`known`), else the value as it is,
// which the walks only compare.
inline f64 attitude_reading(TokenVar& t, bool& known) {
    f64 v = 0.0;
    known = tok_number(t, v);
    return known ? v : token_f64(t);
}

constexpr f64 kWalkStep = 1.0;
constexpr f64 kInsTestAttitude = 22.5;

// The walk back is over: the display takes the real attitude and the latch clears.
inline void land(f64& d, u8& latch, f64 attitude) {
    d = attitude;
    latch = 0;
}

// INS AP/FLT DIR test: toward 22.5, settling on it anywhere between 20 and 24.
inline void walk_to_ins_test(f64& d, u8& latch) {
    if (d < 20.0)
        d += kWalkStep;
    else if (d > 24.0)
        d -= kWalkStep;
    else {
        d = kInsTestAttitude;
        latch = 1;
    }
}

// No valid pitch: toward level, settling on 0 within 2 degrees.
inline void walk_pitch_to_level(f64& d, u8& latch) {
    latch = 1;
    if (d > 2.0)
        d -= kWalkStep;
    else if (d < -2.0)
        d += kWalkStep;
    else
        d = 0.0;
}

// Walk back toward the real attitude a from whichever side, jumping onto it within 2 degrees.
inline void walk_back_both_ways(f64& d, u8& latch, f64 a) {
    if (a - 2.0 > d)
        d += kWalkStep;
    else if (a + 2.0 < d)
        d -= kWalkStep;
    else
        land(d, latch, a);
}

// Walk back to a pitch p more than 2.5 degrees from level, from the level side: 1 degree a frame
// until within 2 degrees of it, then onto it. A pitch within 2.5 degrees of level is left to the
// caller, which each indicator walks back in its own way: returns false and changes nothing.
inline bool walk_back_to_steep_pitch(f64& d, u8& latch, f64 p) {
    if (p > 2.5) {
        if (p - 2.0 > d)
            d += kWalkStep;
        else
            land(d, latch, p);
    } else if (p < -2.5) {
        if (p + 2.0 < d)
            d -= kWalkStep;
        else
            land(d, latch, p);
    } else {
        return false;
    }
    return true;
}
