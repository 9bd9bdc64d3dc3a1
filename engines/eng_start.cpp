// "ketravin eng_start_kr60": the engine start panel. Start selector, start master (ARM above,
// START ABORT below), a start push per engine with its amber lamp, a START VALVE OPEN lamp per
// engine. A push engages the host's starter and opens the panel's start valve; the panel shuts
// the valve past 40 % N2 and, at START A or B, toggles the starter off again.
// Reads: air_pack_valve, air_duct_supply, dc_ess_powered, dc_normal_powered, light_zone,
//        annunciator_bright, snd_click, tok_eng1/2_starter, tok_eng1/2_n1, tok_eng1/2_n2
// Writes: eng_start_selector, eng_start_master, eng_start_valve
#include "air/state.h"
#include "electrical/state.h"
#include "engines/state.h"
#include "module/lighting.h"
#include "module/gauge.h"
#include "module/switches.h"
#include "sim_control/presets_keys.h"

GaugeHeader gauge_eng_start;

namespace {
enum Pos : size_t { Background, MasterDown, MasterUp, PushLamp1, PushLamp2, OpenLamp1, OpenLamp2, Knob, kElements };

// Selector positions: below Crank the starter is cut out past the shut-off speed; at Crank the
// pushes do nothing; above it (CONT RELIGHT) they work without the cut-out.
constexpr u8 kSelectorStartB = 0, kSelectorCrank = 2, kSelectorTop = 5;
constexpr u8 kMasterOff = 0, kMasterArmed = 2;
constexpr u8 kValveShut = 0, kValveOpen = 1;
constexpr f64 kValveShutN2 = 40.0;      // the valve shuts above this N2
constexpr f64 kOpenLampN2 = 45.0;       // the OPEN lamp needs N2 below this
constexpr f64 kCrossStartN1 = 10.0;     // without own duct air the other engine must turn above this
constexpr f64 kHostOn = 1.0, kHostOff = 0.0;  // host starter flags, tested for exact values

constexpr u32 kWidthMm = 185;
constexpr u32 kBmpBackground = 1145, kBmpMasterDown = 1129, kBmpMasterUp = 1136, kBmpPushLamp = 1152,
              kBmpOpenLamp = 1155, kBmpKnob = 1148;
constexpr u32 kOpt = ImageOption1 | ImageOption2;
constexpr LightWalk kWalk{5, walk_positions({Background})};  // glareshield and engine start

f64 FSAPI eng_start_selector_value(ElementHeader*) {
    if (eng_start_selector > kSelectorTop) eng_start_selector = kSelectorTop;
    return f64(eng_start_selector);
}

// The knob points at each position's legend; the host writes the angles.
NonlinearityPoint knob_points[] = {
    {58, 53, 0, 0}, {67, 37, 1, 0}, {89, 31, 2, 0}, {108, 37, 3, 0}, {117, 53, 4, 0}, {115, 73, 5, 0},
};

const ElementDef kElementDefs[kElements] = {
    //         bitmap            x    y   start flags
    el::Static(kBmpBackground,   0,   0, ImageLuminous | ImageOption1),
    el::Icon(kBmpMasterDown,    80, 123, kOpt),
    el::Icon(kBmpMasterUp,      81,  98, ImageHidden | kOpt),
    el::Icon(kBmpPushLamp,       9, 113, ImageHidden | ImageBright | kOpt),  // ENG 1 push
    el::Icon(kBmpPushLamp,     134, 113, ImageHidden | ImageBright | kOpt),  // ENG 2 push
    el::Icon(kBmpOpenLamp,       8,  75, ImageHidden | ImageBright | kOpt),  // engine 1 OPEN
    el::Icon(kBmpOpenLamp,     132,  75, ImageHidden | ImageBright | kOpt),  // engine 2 OPEN
    el::Needle(kBmpKnob,        88,  60, kOpt, eng_start_selector_value).pivot(22, 22).table(knob_points),
};

// Per engine: its starter, its speeds, the other engine's N1 and its host toggle.
struct Engine {
    TokenVar& starter;
    TokenVar& n2;
    TokenVar& other_n1;
    u32 toggle;
};
const Engine kEngines[2] = {
    {tok_eng1_starter, tok_eng1_n2, tok_eng2_n1, key_eng1_starter_toggle},
    {tok_eng2_starter, tok_eng2_n2, tok_eng1_n1, key_eng2_starter_toggle},
};

// The selector and the pushes are silent.
i32 FSAPI eng_start_selector_down(MousePoint*, u32) {
    eng_start_selector = eng_start_selector > kSelectorStartB ? u8(eng_start_selector - 1) : kSelectorStartB;
    return 0;
}
i32 FSAPI eng_start_selector_up(MousePoint*, u32) {
    eng_start_selector = eng_start_selector < kSelectorTop ? u8(eng_start_selector + 1) : kSelectorTop;
    return 0;
}

i32 FSAPI start_master_arm(MousePoint*, u32) {
    if (eng_start_master == kMasterOff) switch_to(eng_start_master, kMasterArmed);
    return 0;
}

// Disengages whatever starter the host has engaged and clears the valves, armed or not, powered
// or not; clicks only when it disarms.
i32 FSAPI start_abort_press(MousePoint*, u32) {
    if (eng_start_master != kMasterOff) sound_play(snd_click, 0);
    for (const Engine& e : kEngines)
        if (tok_read(e.starter) == kHostOn) svc::trigger_key_event(e.toggle, 0);
    eng_start_master = kMasterOff;
    eng_start_valve[0] = eng_start_valve[1] = kValveShut;
    return 0;
}

// A push works with the packs shut, off CRANK, armed, and with air in the engine's own duct or the
// other engine turning. It tests no bus power.
template <size_t I>
i32 FSAPI start_push(MousePoint*, u32) {
    const Engine& e = kEngines[I];
    const f64 other_n1 = tok_read(e.other_n1);
    if (u32(air_pack_valve[0]) + air_pack_valve[1] != 0) return 0;
    if (eng_start_selector == kSelectorCrank) return 0;
    if (eng_start_master < kMasterArmed) return 0;
    if (!(air_duct_supply[I] == 1 || other_n1 > kCrossStartN1)) return 0;
    if (tok_read(e.starter) == kHostOff) svc::trigger_key_event(e.toggle, 0);
    eng_start_valve[I] = kValveOpen;
    return 0;
}
constexpr auto start_engine_press = start_push<0>;
constexpr auto start_engine2_press = start_push<1>;

const RectDef kRects[] = {
    //          x    y    w   h   cursor           events           action
    rect::Click(47,  19, 41, 73, CursorDownArrow, MouseLeftSingle, eng_start_selector_down),
    rect::Click(88,  19, 41, 73, CursorUpArrow,   MouseLeftSingle, eng_start_selector_up),
    rect::Click(63,  96, 51, 27, CursorHand,      MouseLeftSingle, start_master_arm),
    rect::Click(63, 123, 51, 27, CursorHand,      MouseLeftSingle, start_abort_press),
    rect::Click(4,  107, 43, 43, CursorHand,      MouseLeftSingle, start_engine_press),
    rect::Click(129, 107, 43, 43, CursorHand,     MouseLeftSingle, start_engine2_press),
};

void FSAPI eng_start_update(GaugeHeader*, i32 service, u32);
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_eng_start, "ketravin eng_start_kr60", kWidthMm,
                                                         eng_start_update, kElementDefs, kRects);

void FSAPI eng_start_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);

    const bool armed = eng_start_master != kMasterOff;
    show_if(gauge.el(MasterUp), armed);
    show_if(gauge.el(MasterDown), !armed);

    // Amber: armed while the packs are still running shut.
    const bool packs_open = air_pack_valve[0] > 0 || air_pack_valve[1] > 0;
    const bool push_lamps = armed && packs_open && dc_normal_powered == 1;
    show_if(gauge.el(PushLamp1), push_lamps);
    show_if(gauge.el(PushLamp2), push_lamps);

    // OPEN follows the host's starter, not the panel's valve.
    f64 starter[2], n2[2];
    for (size_t i = 0; i < 2; ++i) starter[i] = tok_read(kEngines[i].starter);
    for (size_t i = 0; i < 2; ++i) n2[i] = tok_read(kEngines[i].n2);
    for (size_t i = 0; i < 2; ++i)
        show_if(gauge.el(OpenLamp1 + i), starter[i] == kHostOn && n2[i] < kOpenLampN2 && dc_ess_powered == 1);

    // Supervision: shut past the shut-off speed, or at once without DC ESS, duct air or the master.
    for (size_t i = 0; i < 2; ++i) {
        const bool supervised = dc_ess_powered == 1 && air_duct_supply[i] == 1 && eng_start_master >= kMasterArmed;
        if (!supervised || n2[i] > kValveShutN2) eng_start_valve[i] = kValveShut;
    }

    // Cut-out at START A or B, every frame until the host reports the starter off.
    for (size_t i = 0; i < 2; ++i) {
        if (eng_start_selector >= kSelectorCrank || eng_start_valve[i] != kValveShut || !(n2[i] > kValveShutN2))
            continue;
        if (tok_read(kEngines[i].starter) == kHostOn) svc::send_key_event(kEngines[i].toggle, 0);
    }
}
}  // namespace
