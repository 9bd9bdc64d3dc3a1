// The audio selector panel's frame, knob areas and master volume, shared by both panels.
// Reads: audio_*_sw, master_volume_step, tok_audio_marker, tok_audio_vor1_ident,
//        tok_audio_vor2_ident, tok_audio_adf_ident, dc_normal_powered, elec_ess_ac_powered,
//        elec_ess_ac_any_powered, elec_ac_bus2_powered, light_zone, annunciator_bright
// Writes: audio_*_sw, master_volume_step, sound_volume_table
#include "radios/audio_panel.h"

#include "electrical/state.h"
#include "module/lighting.h"
#include "module/switches.h"
#include "radios/radio_keys.h"
#include "radios/state.h"
#include "sound/sound_engine.h"
#include "warnings/state.h"

namespace {
constexpr LightWalk kWalk{3, walk_positions({AudioFace})};

template <u8* Byte, u8 Value>
i32 FSAPI audio_knob_set(MousePoint*, u32) {
    *Byte = Value;
    return 0;
}

// ---- master volume ----
constexpr i8 kTopStep = 10;
constexpr i32 kDbStep = 100;          // hundredths of a decibel a step
constexpr size_t kUnsteppedSound = 16;  // CRICKET
constexpr size_t kSteppedEnd = 26;      // the sounds from AIRCOND on keep their volume

void volume_step(i8 step_delta) {
    master_volume_step = i8(master_volume_step + step_delta);
    for (size_t i = 0; i < kSteppedEnd; ++i) {
        if (i == kUnsteppedSound) continue;
        sound_volume_table[i] = i16(u16(sound_volume_table[i] + step_delta * kDbStep));  // 16-bit wrap
    }
    for (size_t i = 0; i < kSteppedEnd; ++i) {
        if (i == kUnsteppedSound) continue;
        if (SoundBuffer* b = *kSoundSlots[i].buffer) sound_set_volume(b, sound_volume_table[i]);
    }
}

// ---- host audio flags ----
bool powered(u8 flag) { return flag == 1; }

struct AudioRow {
    const u8* knob;
    TokenVar* host_flag;
    bool (*bus)();
    u32 on_key, on_value, off_key, off_value;
};
const AudioRow kRows[] = {
    {&audio_marker_sw, &tok_audio_marker, [] { return powered(dc_normal_powered); },
     key_marker_sound_set, 1, key_marker_sound_set, 0},
    {&audio_vor1_sw, &tok_audio_vor1_ident, [] { return powered(elec_ess_ac_any_powered); },
     key_vor1_ident_enable, 0, key_vor1_ident_disable, 0},
    {&audio_vor2_sw, &tok_audio_vor2_ident, [] { return powered(elec_ac_bus2_powered); },
     key_vor2_ident_enable, 0, key_vor2_ident_disable, 0},
    {&audio_adf_sw, &tok_audio_adf_ident, [] { return powered(elec_ess_ac_powered) || powered(dc_normal_powered); },
     key_adf_ident_enable, 0, key_adf_ident_disable, 0},
};
constexpr size_t kRowKnob[] = {MarkerLeft, Vor1Left, Vor2Left, AdfLeft};

void show_knob(Gauge<kAudioElements, kAudioRects>& gauge, size_t left, u8 byte) {
    show_if(gauge.el(left), byte != 1);
    show_if(gauge.el(left + 1), byte == 1);
}
}  // namespace

i32 FSAPI audio_volume_up(MousePoint*, u32) {
    if (master_volume_step > kTopStep - 1) return 0;
    volume_step(1);
    return 0;
}

i32 FSAPI audio_volume_down(MousePoint*, u32) {
    if (master_volume_step < -(kTopStep - 1)) return 0;
    volume_step(-1);
    return 0;
}

f64 FSAPI audio_volume_needle(ElementHeader*) {
    if (master_volume_step > kTopStep) master_volume_step = kTopStep;
    if (master_volume_step < -kTopStep) master_volume_step = -kTopStep;
    return master_volume_step;
}

const RectDef audio_panel_rects[kAudioRects] = {
    //          x    y   w   h   cursor           events           action
    rect::Click(9,    2, 22, 34, CursorDownArrow, MouseLeftSingle, audio_knob_set<&audio_vhf1_sw, 0>),
    rect::Click(31,   2, 22, 34, CursorUpArrow,   MouseLeftSingle, audio_knob_set<&audio_vhf1_sw, 1>),
    rect::Click(9,   45, 22, 34, CursorDownArrow, MouseLeftSingle, audio_knob_set<&audio_marker_sw, 0>),
    rect::Click(31,  45, 22, 34, CursorUpArrow,   MouseLeftSingle, audio_knob_set<&audio_marker_sw, 1>),
    rect::Click(53,  45, 22, 34, CursorDownArrow, MouseLeftSingle, audio_knob_set<&audio_vor1_sw, 0>),
    rect::Click(75,  45, 22, 34, CursorUpArrow,   MouseLeftSingle, audio_knob_set<&audio_vor1_sw, 1>),
    rect::Click(97,  45, 22, 34, CursorDownArrow, MouseLeftSingle, audio_knob_set<&audio_vor2_sw, 0>),
    rect::Click(119, 45, 22, 34, CursorUpArrow,   MouseLeftSingle, audio_knob_set<&audio_vor2_sw, 1>),
    rect::Click(53,  79, 22, 34, CursorDownArrow, MouseLeftSingle, audio_knob_set<&audio_adf_sw, 0>),
    rect::Click(75,  79, 22, 34, CursorUpArrow,   MouseLeftSingle, audio_knob_set<&audio_adf_sw, 1>),
    rect::Click(97,   2, 22, 34, CursorDownArrow, MouseLeftSingle, audio_volume_down),
    rect::Click(119,  2, 22, 34, CursorUpArrow,   MouseLeftSingle, audio_volume_up),
};

void audio_panel_frame(Gauge<kAudioElements, kAudioRects>& gauge, AudioHostSync sync) {
    light_walk(gauge.header(), kWalk);
    show_knob(gauge, Vhf1Left, audio_vhf1_sw);
    // Each row in turn: its knob images, then the host's flag brought into line with the knob
    // and the row's bus, sent only on a difference.
    for (size_t r = 0; r < sizeof kRows / sizeof kRows[0]; ++r) {
        const AudioRow& row = kRows[r];
        show_knob(gauge, kRowKnob[r], *row.knob);
        if (sync != AudioHostSync::Sends) continue;
        const bool on = *row.knob == 1 && row.bus();
        sync_host_flag(*row.host_flag, on, on ? row.on_key : row.off_key, on ? row.on_value : row.off_value);
    }
}
