// "ketravin rev_voy_left_kr60", "ketravin rev_voy_right_kr60": the thrust-reverser lights of engine
// 1 and engine 2, an amber R.UNLK lamp while the reverser is in transit and a green REV lamp while
// it is deployed. The lamps draw lit whenever shown; no lighting walk, no clicks.
// Reads: tok_eng1_reverser_pos, tok_eng2_reverser_pos, tok_tick18, dc_ess_powered, light_lamp_test
// Writes: eng_rev_deployed_N, eng_rev_unlk_armed_N, eng_rev_rev_armed_N, eng_rev_unlk_deadline_N,
//         eng_rev_rev_deadline_N (N = 1, 2)
#include "electrical/state.h"
#include "engines/state.h"
#include "lighting/state.h"
#include "module/deadline.h"
#include "module/gauge.h"
#include "module/tokens.h"

GaugeHeader gauge_rev_voy_left;
GaugeHeader gauge_rev_voy_right;

namespace {
enum Pos : size_t { Background, Unlocked, Reversed, kElements };

constexpr u32 kWidthMm = 93;
constexpr u32 kBmpBackground = 2384, kBmpUnlocked = 2390, kBmpReversed = 2387;
constexpr f64 kDeployedAt = 0.01;  // reverser position counted as deployed
constexpr u32 kUnlockTicks = 36;   // transit at each end
constexpr u32 kRevOnTicks = 30;    // REV comes on this far into a deployment
constexpr u32 kRevOffTicks = 6;    // and goes out this far into a stow

// The left gauge has REV on its left, the right gauge is mirrored.
template <size_t I>
constexpr ElementDef kElementDefs[kElements] = {
    //         bitmap                        x  y  start flags
    el::Static(kBmpBackground,               0, 0),
    el::Icon(kBmpUnlocked, I == 0 ? 50 :  0, 0, ImageHidden | ImageBright),
    el::Icon(kBmpReversed, I == 0 ?  2 : 52, 0, ImageHidden | ImageBright),
};
const RectDef kNoClicks[] = {rect::Parent(), rect::EndParent()};

struct Reverser {
    TokenVar& position;
    u8& deployed;
    u8& unlk_armed;
    u8& rev_armed;
    i32& unlk_deadline;
    i32& rev_deadline;
};
const Reverser kReversers[2] = {
    {tok_eng1_reverser_pos, eng_rev_deployed_1, eng_rev_unlk_armed_1, eng_rev_rev_armed_1, eng_rev_unlk_deadline_1,
     eng_rev_rev_deadline_1},
    {tok_eng2_reverser_pos, eng_rev_deployed_2, eng_rev_unlk_armed_2, eng_rev_rev_armed_2, eng_rev_unlk_deadline_2,
     eng_rev_rev_deadline_2},
};

// Deadlines on the tick counter, kept in their signed variables by the shared deadline rule.
void arm(i32& deadline, f64 now, u32 length) { deadline = sat_i32(f64(deadline_arm(now, length)), deadline); }
bool reached(i32& deadline, f64 now, u32 length) {
    u32 d = deadline > 0 ? u32(deadline) : 0;
    const bool r = deadline_reached(d, now, length);
    deadline = sat_i32(f64(d), deadline);
    return r;
}

void FSAPI rev_left_update(GaugeHeader*, i32 service, u32);
void FSAPI rev_right_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, 2> gauge_left(gauge_rev_voy_left, "ketravin rev_voy_left_kr60", kWidthMm, rev_left_update,
                               kElementDefs<0>, kNoClicks);
Gauge<kElements, 2> gauge_right(gauge_rev_voy_right, "ketravin rev_voy_right_kr60", kWidthMm, rev_right_update,
                                kElementDefs<1>, kNoClicks);

template <typename G>
void reverser_frame(G& g, const Reverser& r) {
    ElementHeader* unlk = g.el(Unlocked);
    ElementHeader* rev = g.el(Reversed);
    const f64 pos = tok_read(r.position);
    const bool power = dc_ess_powered == 1;
    // A position that is not a number counts as stowed.
    const bool out = pos >= kDeployedAt;
    if (power && out && r.deployed == 0) {  // deploying
        const f64 now = tok_read(tok_tick18);
        if (r.unlk_armed == 0) arm(r.unlk_deadline, now, kUnlockTicks), r.unlk_armed = 1;
        if (reached(r.unlk_deadline, now, kUnlockTicks)) {
            show_if(unlk, false);
            r.deployed = 1;
        } else {
            show_if(unlk, true);
        }
        if (r.rev_armed == 0) arm(r.rev_deadline, now, kRevOnTicks), r.rev_armed = 1;
        show_if(rev, reached(r.rev_deadline, now, kRevOnTicks));
    } else if (power && out) {  // deployed
        show_if(unlk, false);
        show_if(rev, true);
        r.unlk_deadline = r.rev_deadline = 0;
    } else if (power && r.deployed == 1) {  // stowing
        const f64 now = tok_read(tok_tick18);
        if (r.unlk_armed == 1) arm(r.unlk_deadline, now, kUnlockTicks), r.unlk_armed = 0;
        if (r.unlk_armed == 0) {
            if (reached(r.unlk_deadline, now, kUnlockTicks)) {
                show_if(unlk, false);
                r.deployed = 0;
                r.unlk_deadline = 0;
            } else {
                show_if(unlk, true);
            }
        }
        if (r.rev_armed == 1 && r.deployed == 1) arm(r.rev_deadline, now, kRevOffTicks), r.rev_armed = 0;
        if (r.rev_armed == 0) {
            if (reached(r.rev_deadline, now, kRevOffTicks)) {
                show_if(rev, false);
                r.rev_deadline = 0;
            } else {
                show_if(rev, true);
            }
        }
    } else {  // stowed and settled, or no DC essential power
        const bool test = power && light_lamp_test == 1;
        show_if(unlk, test);
        show_if(rev, test);
    }
}

void FSAPI rev_left_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) reverser_frame(gauge_left, kReversers[0]);
}
void FSAPI rev_right_update(GaugeHeader*, i32 service, u32) {
    if (service == ServicePreUpdate) reverser_frame(gauge_right, kReversers[1]);
}
}  // namespace
