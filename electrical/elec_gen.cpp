// Generator row of the flight engineer's electrical panel: GEN 1, APU GEN and GEN 2 switches
// (ON / OFF RESET / spring-loaded TEST sharing one spring-back timer) with their OFF lamps and
// cautions; every frame it brings the host's generators, APU and APU generator into line.
// Reads: tok_tick18, tok_eng1_n1, tok_eng2_n1, tok_eng1_gen_switch, tok_eng2_gen_switch,
//        tok_apu_rpm, tok_apu_gen_switch, elec_gen1_load, elec_gen2_load, elec_apu_gen_load_b,
//        dc_ess_powered, elec_line_sw, apu_running, apu_starting, fail_active, ext_power_on,
//        light_zone, annunciator_bright
// Writes: elec_gen_sw, elec_gen_test_running, elec_gen_test_deadline, warn_gen_fault
#include "apu/state.h"
#include "electrical/state.h"
#include "sim_control/state.h"
#include "electrical/elec_panel.h"
#include "module/deadline.h"
#include "module/keys.h"
#include "module/lighting.h"
#include "module/switches.h"

GaugeHeader gauge_elec_gen;

namespace {
enum Pos : size_t {
    Background,
    Gen1Down, Gen1Centre, Gen1Up,
    Gen2Down, Gen2Centre, Gen2Up,
    ApuGenDown, ApuGenCentre, ApuGenUp,
    LampGen1Off, LampGen2Off, LampApuGenOff,
    kElements
};

// elec_gen_sw indexes and positions.
constexpr size_t kGen1 = 0, kGen2 = 1, kApuGen = 2, kGenerators = 3;
constexpr u8 kOffReset = 0, kOn = 1, kTestFromOff = 2, kTestFromOn = 3;
inline bool in_test(u8 sw) { return sw >= kTestFromOff; }

constexpr u32 kSpringBackTicks = 27;
constexpr f64 kGenOnMinN1 = 5.0;        // the host generator comes on line only above this N1
constexpr f64 kApuRunningRpm = 0.9;     // host APU speed fraction that counts as running
constexpr u32 kHostEventValue = 0;

constexpr u32 kBmpBackground = 380;
constexpr u32 kBmpLampGen1Off = 387;
constexpr u32 kBmpLampGen2Off = 390;
constexpr u32 kBmpLampApuGenOff = 384;
constexpr u32 kFlagsLamp = ImageHidden | ImageBright | ImageOption1 | ImageOption2;

const ElementDef kElementDefs[kElements] = {
    //       bitmap             x    y   start flags
    el::Static(kBmpBackground,   0,   0, kFlagsBackground),
    el::Icon(kBmpLeverDown,     30,  92, kFlagsLeverHidden),  // GEN 1 TEST
    el::Icon(kBmpLeverCentre,   30,  89, kFlagsLever),        // GEN 1 OFF RESET
    el::Icon(kBmpLeverUp,       30,  77, kFlagsLeverHidden),  // GEN 1 ON
    el::Icon(kBmpLeverDown,    158,  92, kFlagsLeverHidden),  // GEN 2
    el::Icon(kBmpLeverCentre,  158,  89, kFlagsLever),
    el::Icon(kBmpLeverUp,      158,  77, kFlagsLeverHidden),
    el::Icon(kBmpLeverDown,     94,  92, kFlagsLeverHidden),  // APU GEN
    el::Icon(kBmpLeverCentre,   94,  89, kFlagsLever),
    el::Icon(kBmpLeverUp,       94,  77, kFlagsLeverHidden),
    el::Icon(kBmpLampGen1Off,   15, 119, kFlagsLamp),
    el::Icon(kBmpLampGen2Off,  143, 119, kFlagsLamp),
    el::Icon(kBmpLampApuGenOff, 79, 119, kFlagsLamp),
};

constexpr LightWalk kWalk{4, walk_range(Background, Background)};

// TEST clicks every time, and remembers whether the switch was away from OFF RESET.
template <size_t Gen>
i32 FSAPI gen_switch_test(MousePoint*, u32) {
    sound_play(snd_click, 0);
    elec_gen_sw[Gen] = elec_gen_sw[Gen] != kOffReset ? kTestFromOn : kTestFromOff;
    return 0;
}
// The APU generator answers the click at once; with ground power on the host keeps it on.
i32 FSAPI apu_gen_on(MousePoint*, u32) {
    if (elec_gen_sw[kApuGen] != kOn) {
        svc::trigger_key_event(key_apu_gen_set, 1);
        sound_play(snd_click, 0);
    }
    elec_gen_sw[kApuGen] = kOn;
    return 0;
}
i32 FSAPI apu_gen_off(MousePoint*, u32) {
    if (elec_gen_sw[kApuGen] != kOffReset) {
        if (ext_power_on != 1) svc::trigger_key_event(key_apu_gen_set, 0);
        sound_play(snd_click, 0);
    }
    elec_gen_sw[kApuGen] = kOffReset;
    return 0;
}

constexpr i32 kAreaW = 32, kAreaH = 23;
const RectDef kRects[] = {
    //          x    y   w       h       cursor           events           action
    rect::Click(18,  57, kAreaW, kAreaH, CursorUpArrow,   MouseLeftSingle, click_switch<elec_gen_sw, kOn, kGen1>),
    rect::Click(18,  80, kAreaW, kAreaH, CursorHand,      MouseLeftSingle, click_switch<elec_gen_sw, kOffReset, kGen1>),
    rect::Click(18, 103, kAreaW, kAreaH, CursorDownArrow, MouseLeftSingle, gen_switch_test<kGen1>),
    rect::Click(147, 57, kAreaW, kAreaH, CursorUpArrow,   MouseLeftSingle, click_switch<elec_gen_sw, kOn, kGen2>),
    rect::Click(147, 80, kAreaW, kAreaH, CursorHand,      MouseLeftSingle, click_switch<elec_gen_sw, kOffReset, kGen2>),
    rect::Click(147,103, kAreaW, kAreaH, CursorDownArrow, MouseLeftSingle, gen_switch_test<kGen2>),
    rect::Click(83,  57, kAreaW, kAreaH, CursorUpArrow,   MouseLeftSingle, apu_gen_on),
    rect::Click(83,  80, kAreaW, kAreaH, CursorHand,      MouseLeftSingle, apu_gen_off),
    rect::Click(83, 103, kAreaW, kAreaH, CursorDownArrow, MouseLeftSingle, gen_switch_test<kApuGen>),
};

void FSAPI gen_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 187;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_elec_gen, "ketravin elec_gen_kr60", kWidthMm, gen_update,
                                                         kElementDefs, kRects);

void show_lever(size_t down, u8 sw) {
    show_if(gauge.el(down), in_test(sw));
    show_if(gauge.el(down + 1), sw == kOffReset);
    show_if(gauge.el(down + 2), sw == kOn);
}

// Host engine generator follows the panel: on needs the engine turning, off needs nothing.
void sync_engine_generator(u8 sw, TokenVar& n1, TokenVar& host_switch, u32 toggle_key) {
    if (sw == kOn) {
        const f64 engine_n1 = tok_read(n1);
        const f64 host_on = tok_read(host_switch);
        if (engine_n1 > kGenOnMinN1 && host_on == 0.0) svc::send_key_event(toggle_key, kHostEventValue);
    } else if (sw == kOffReset) {
        if (tok_read(host_switch) > 0.0) svc::send_key_event(toggle_key, kHostEventValue);
    }
}

// One timer serves the three switches, taken in order; whichever switch is in TEST at or after
// the deadline springs back, and a switch still in TEST then starts a fresh wait.
void spring_back() {
    const f64 tick = tok_read(tok_tick18);
    for (size_t i = 0; i < kGenerators; ++i) {
        u8& sw = elec_gen_sw[i];
        if (elec_gen_test_running == 0 && in_test(sw)) {
            elec_gen_test_deadline = deadline_arm(tick, kSpringBackTicks);
            elec_gen_test_running = 1;
        }
        if (elec_gen_test_running == 1 && in_test(sw) &&
            deadline_reached(elec_gen_test_deadline, tick, kSpringBackTicks)) {
            sw = sw == kTestFromOn ? kOn : kOffReset;
            elec_gen_test_running = 0;
        }
    }
}

void start_host_apu_if_slow() {
    if (tok_read(tok_apu_rpm) < kApuRunningRpm) svc::send_key_event(key_apu_starter, kHostEventValue);
}

void sync_host_apu() {
    if (ext_power_on == 1) {
        // Ground power holds the host's APU and its generator on, whatever the panel shows.
        start_host_apu_if_slow();
        if (tok_read(tok_apu_gen_switch) == 0.0) svc::send_key_event(key_apu_gen_set, 1);
        return;
    }
    if (elec_gen_sw[kApuGen] == kOffReset) {
        if (tok_read(tok_apu_gen_switch) == 1.0) svc::send_key_event(key_apu_gen_set, 0);
    } else {
        if (tok_read(tok_apu_gen_switch) == 0.0) svc::send_key_event(key_apu_gen_set, 1);
    }
    if (apu_running == 1 || apu_starting == 1) {
        start_host_apu_if_slow();
    } else if (tok_read(tok_apu_rpm) >= kApuRunningRpm) {
        svc::send_key_event(key_apu_off, kHostEventValue);
    }
}

// OFF lamp for a generator off line on a live DC essential bus; the caution only when the
// switch asks for power (and, for an engine generator, its line contactor is allowed to close).
void gen_lamp(size_t lamp, u8& fault, bool off_line, u8 sw, bool caution_armed) {
    const bool lit = off_line && sw < kTestFromOff && dc_ess_powered == 1;
    show_if(gauge.el(lamp), lit);
    fault = lit && sw == kOn && caution_armed ? 1 : 0;
}

void FSAPI gen_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    // 1. lighting
    light_walk(gauge.header(), kWalk);
    // 2, 3. engine generators: images, then the host in step
    show_lever(Gen1Down, elec_gen_sw[kGen1]);
    sync_engine_generator(elec_gen_sw[kGen1], tok_eng1_n1, tok_eng1_gen_switch, key_gen1_toggle);
    show_lever(Gen2Down, elec_gen_sw[kGen2]);
    sync_engine_generator(elec_gen_sw[kGen2], tok_eng2_n1, tok_eng2_gen_switch, key_gen2_toggle);
    // 4. APU generator images
    show_lever(ApuGenDown, elec_gen_sw[kApuGen]);
    // 5. TEST spring-back
    spring_back();
    // 6. host APU and APU generator
    sync_host_apu();
    // 7. lamps and cautions
    gen_lamp(LampGen1Off, warn_gen_fault[kGen1], elec_gen1_load == 0, elec_gen_sw[kGen1], elec_line_sw[0] == 1);
    gen_lamp(LampGen2Off, warn_gen_fault[kGen2], elec_gen2_load == 0, elec_gen_sw[kGen2], elec_line_sw[1] == 1);
    const bool apu_turning = apu_running == 1 || fail_active[0] == 1;
    gen_lamp(LampApuGenOff, warn_gen_fault[kApuGen], elec_apu_gen_load_b == 0 && apu_turning,
             elec_gen_sw[kApuGen], true);
}
}  // namespace
