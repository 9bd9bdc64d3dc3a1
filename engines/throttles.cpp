// Throttle quadrant of the pedestal, its readout switch and its enlarged copy. The levers only
// show the host's throttle positions (forward and reverse alike, by magnitude); clicks step the
// host's throttles. The small quadrant computes the two-digit readouts that both quadrants show,
// and engine 1's as a number for the autopilot's speed law.
// Reads: tok_eng1_throttle_lever, tok_eng2_throttle_lever, light_zone, annunciator_bright
// Writes: thr1_pct_tens, thr1_pct_units, thr2_pct_tens, thr2_pct_units, thr1_readout_pct,
//         thr_readout_shown
#include "engines/throttles.h"

#include <cmath>

#include "engines/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/services.h"
#include "module/tokens.h"

GaugeHeader gauge_throttles;
GaugeHeader gauge_throttles_num;
GaugeHeader gauge_throttles_big;

i32 FSAPI thr_readout_toggle(MousePoint*, u32) {
    thr_readout_shown = thr_readout_shown == 0 ? 1 : 0;
    return 0;
}

namespace {
template <u32 Key>
i32 FSAPI key_click(MousePoint*, u32) {
    svc::trigger_key_event(Key, 0);
    return 0;
}

constexpr u32 kBmpDrumStrip = 3145;
constexpr f64 kDrumScale = 9.0;
f64 FSAPI drum_column(ElementHeader*) { return 1.0; }
template <u8* Digit>
f64 FSAPI drum_digit(ElementHeader*) {
    return f64(*Digit);
}

// Readout digits of one lever: the two leading digits of the fraction, truncated (0.29 reads 28);
// a lever at full travel either way reads 00. A lever that is no number is in none of these
// ranges: its digits stay as they were.
void readout(f64 lever, u8& tens, u8& units) {
    if (lever != lever) return;
    const f64 m = lever >= 0.0 && lever < 1.0 ? lever : lever > -1.0 && lever < 0.0 ? -lever : 0.0;
    tens = sat_u8(m * 10.0, tens);
    units = sat_u8(m * 100.0 - f64(tens) * 10.0, units);
}

// ---- Small quadrant ---------------------------------------------------------------------
enum SmallPos : size_t {
    Background,
    Lever1Top, Lever2Top, Lever1Grip, Lever2Grip,
    Drum1Tens, Drum1Units, Drum2Tens, Drum2Units,
    kSmallElements
};
constexpr f64 kTopTravel = 1.88, kGripTravel = 1.45;  // lever fraction x 100 per pixel

i16 small_offset[kSmallElements] = {};  // by chain position
template <size_t Pos>
f64 FSAPI small_offset_of(ElementHeader*) {
    return f64(small_offset[Pos]);
}

const ElementDef kSmallElementDefs[kSmallElements] = {
    //          bitmap          x   y  flags
    el::Static(3129,            0,  0),
    el::Slider(3132,            9, 62, 0, nullptr, small_offset_of<Lever1Top>),
    el::Slider(3136,           35, 62, 0, nullptr, small_offset_of<Lever2Top>),
    el::Slider(3139,            2, 79, 0, nullptr, small_offset_of<Lever1Grip>),
    el::Slider(3142,           29, 79, 0, nullptr, small_offset_of<Lever2Grip>),
    el::Moving(kBmpDrumStrip,   5, 90, ImageHidden, kDrumScale, drum_column, drum_digit<&thr1_pct_tens>),
    el::Moving(kBmpDrumStrip,  16, 90, ImageHidden, kDrumScale, drum_column, drum_digit<&thr1_pct_units>),
    el::Moving(kBmpDrumStrip,  30, 90, ImageHidden, kDrumScale, drum_column, drum_digit<&thr2_pct_tens>),
    el::Moving(kBmpDrumStrip,  41, 90, ImageHidden, kDrumScale, drum_column, drum_digit<&thr2_pct_units>),
};
const RectDef kSmallRects[] = {
    //          x   y   w   h   cursor           events                        action
    rect::Click( 0,  0, 29, 54, CursorUpArrow,   MouseLeftSingle | MouseRepeat, key_click<key_throttle1_incr>),
    rect::Click( 0, 54, 29, 54, CursorDownArrow, MouseLeftSingle | MouseRepeat, key_click<key_throttle1_decr>),
    rect::Click(29,  0, 29, 54, CursorUpArrow,   MouseLeftSingle | MouseRepeat, key_click<key_throttle2_incr>),
    rect::Click(29, 54, 29, 54, CursorDownArrow, MouseLeftSingle | MouseRepeat, key_click<key_throttle2_decr>),
};

void FSAPI throttle_quadrant_update(GaugeHeader*, i32 service, u32);
Gauge<kSmallElements, 4> small(gauge_throttles, "ketravin throttles_kr60", 58, throttle_quadrant_update,
                               kSmallElementDefs, kSmallRects);

// An image's rise by the lever's magnitude. Callers pass only a finite lever, so the magnitude is
// a number and the conversion has nothing to keep.
i16 rise(f64 magnitude) { return i16(-sat_cast<i16>(magnitude, i16(0))); }
i16 lever_up(f64 lever, f64 travel) { return rise(std::fabs(lever) * 100.0 / travel); }

template <typename G>
void show_drums(G& g, size_t first) {
    for (size_t i = 0; i < 4; ++i) show_if(g.el(first + i), thr_readout_shown == 1);
}

void FSAPI throttle_quadrant_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. Lever images; a lever that is no finite number leaves its images where they stand.
    const f64 l1 = tok_read(tok_eng1_throttle_lever), l2 = tok_read(tok_eng2_throttle_lever);
    if (std::isfinite(l1)) {
        small_offset[Lever1Top] = lever_up(l1, kTopTravel);
        small_offset[Lever1Grip] = lever_up(l1, kGripTravel);
    }
    if (std::isfinite(l2)) {
        small_offset[Lever2Top] = lever_up(l2, kTopTravel);
        small_offset[Lever2Grip] = lever_up(l2, kGripTravel);
    }
    // 2. Readout digits; 3. engine 1's as a number.
    readout(l1, thr1_pct_tens, thr1_pct_units);
    readout(l2, thr2_pct_tens, thr2_pct_units);
    thr1_readout_pct = u8(thr1_pct_tens * 10 + thr1_pct_units);
    // 4. Drums.
    show_drums(small, Drum1Tens);
}

// ---- Readout switch ---------------------------------------------------------------------
const ElementDef kNumElementDefs[] = {el::Static(3149, 0, 0)};
const RectDef kNumRects[] = {rect::Click(0, 0, 42, 24, CursorHand, MouseLeftSingle, thr_readout_toggle)};
void FSAPI throttles_num_update(GaugeHeader*, i32, u32) {}
Gauge<1, 1> num(gauge_throttles_num, "ketravin throttles_num_kr60", 42, throttles_num_update, kNumElementDefs,
                kNumRects);

// ---- Enlarged quadrant ------------------------------------------------------------------
constexpr size_t kBigLevers = 7;  // images per engine
enum BigPos : size_t {
    BigBackground,
    Eng1First,
    Eng2First = Eng1First + kBigLevers,
    BigDrum1Tens = Eng2First + kBigLevers, BigDrum1Units, BigDrum2Tens, BigDrum2Units,
    kBigElements
};
// Pixels per unit of lever travel, and whether the image rises a further 30 pixels in reverse.
struct BigLever {
    f64 k;
    bool reverse_lift;
};
constexpr BigLever kBigLever[kBigLevers] = {{109, false}, {180, false}, {126, true}, {119, true},
                                            {144, false}, {190, false}, {190, false}};
constexpr f64 kReverseLift = 30.0;

i16 big_offset[kBigElements] = {};  // by chain position
template <size_t Pos>
f64 FSAPI big_offset_of(ElementHeader*) {
    return f64(big_offset[Pos]);
}
#define KR_BIG_LEVER(bitmap, x, y, pos) el::Slider(bitmap, x, y, 0, nullptr, big_offset_of<pos>)

const ElementDef kBigElementDefs[kBigElements] = {
    //           bitmap   x    y   chain position
    el::Static(4342,      0,   0),
    KR_BIG_LEVER(4297,   36, 227, Eng1First + 0),
    KR_BIG_LEVER(4304,   16, 248, Eng1First + 1),
    KR_BIG_LEVER(4310,   20, 175, Eng1First + 2),
    KR_BIG_LEVER(4316,   17, 142, Eng1First + 3),
    KR_BIG_LEVER(4323,   16, 201, Eng1First + 4),
    KR_BIG_LEVER(4329,   15, 297, Eng1First + 5),
    KR_BIG_LEVER(4336,   10, 190, Eng1First + 6),
    KR_BIG_LEVER(4300,  117, 227, Eng2First + 0),
    KR_BIG_LEVER(4307,  146, 248, Eng2First + 1),
    KR_BIG_LEVER(4313,  115, 175, Eng2First + 2),
    KR_BIG_LEVER(4320,  111, 142, Eng2First + 3),
    KR_BIG_LEVER(4326,  111, 201, Eng2First + 4),
    KR_BIG_LEVER(4332,   96, 297, Eng2First + 5),
    KR_BIG_LEVER(4339,   89, 190, Eng2First + 6),
    el::Moving(kBmpDrumStrip,  31, 314, ImageHidden, kDrumScale, drum_column, drum_digit<&thr1_pct_tens>),
    el::Moving(kBmpDrumStrip,  46, 314, ImageHidden, kDrumScale, drum_column, drum_digit<&thr1_pct_units>),
    el::Moving(kBmpDrumStrip, 112, 314, ImageHidden, kDrumScale, drum_column, drum_digit<&thr2_pct_tens>),
    el::Moving(kBmpDrumStrip, 127, 314, ImageHidden, kDrumScale, drum_column, drum_digit<&thr2_pct_units>),
};
#undef KR_BIG_LEVER
const RectDef kBigRects[] = {
    //          x    y    w    h   cursor           events                        action
    rect::Click( 0,   0, 69, 159, CursorUpArrow,   MouseLeftSingle | MouseRepeat, key_click<key_throttle1_incr>),
    rect::Click( 0, 159, 69, 159, CursorDownArrow, MouseLeftSingle | MouseRepeat, key_click<key_throttle1_decr>),
    rect::Click(80,   0, 69, 159, CursorUpArrow,   MouseLeftSingle | MouseRepeat, key_click<key_throttle2_incr>),
    rect::Click(80, 159, 69, 159, CursorDownArrow, MouseLeftSingle | MouseRepeat, key_click<key_throttle2_decr>),
};
constexpr LightWalk kBigWalk{3, walk_positions({BigBackground})};

void FSAPI throttle_quadrant_big_update(GaugeHeader*, i32 service, u32);
Gauge<kBigElements, 4> big(gauge_throttles_big, "ketravin throttles_big_kr60", 164, throttle_quadrant_big_update,
                           kBigElementDefs, kBigRects);

void big_levers(size_t first, f64 lever) {
    if (!std::isfinite(lever)) return;  // no number: the images stand
    for (size_t i = 0; i < kBigLevers; ++i) {
        const BigLever& b = kBigLever[i];
        i16& offset = big_offset[first + i];
        offset = b.reverse_lift && lever < 0.0 ? sat_cast<i16>(lever * b.k - kReverseLift, offset)
                                               : rise(std::fabs(lever) * b.k);
    }
}

void FSAPI throttle_quadrant_big_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(big.header(), kBigWalk);
    big_levers(Eng1First, tok_read(tok_eng1_throttle_lever));
    big_levers(Eng2First, tok_read(tok_eng2_throttle_lever));
    show_drums(big, BigDrum1Tens);
}
}  // namespace
