// Habits shared by every switch and lamp gauge: store a position and click only on a real
// change, show one image of a switch's positions, keep the host in step only on a difference,
// and tick deadlines on the host's 18 Hz counter.
#pragma once
#include "module/deadline.h"
#include "module/host_interface.h"
#include "module/services.h"
#include "module/tokens.h"
#include "sound/sound.h"

// Stores the new position; plays CLICK only when it really changed. Returns whether it did.
template <typename T>
bool switch_to(T& sw, T value) {
    if (sw == value) return false;
    sw = value;
    sound_play(snd_click, 0);
    return true;
}

// Mouse callback that moves a switch byte (element Index of Bytes, or a scalar's address) to
// Value, clicking only on a real change.
template <u8* Bytes, u8 Value, size_t Index = 0>
i32 FSAPI click_switch(MousePoint*, u32) {
    switch_to(Bytes[Index], Value);
    return 0;
}

// Shows element `first + which` of `count` consecutive position images and hides the others.
template <typename G>
void show_one_of(G& gauge, size_t first, size_t count, size_t which) {
    for (size_t i = 0; i < count; ++i) {
        ElementHeader* e = gauge.el(first + i);
        if (i == which)
            e->image_flags &= ~ImageHidden;
        else
            e->image_flags |= ImageHidden;
    }
}

// Sends `key` through send_key_event when the host's on/off token (1.0 is on) differs from the
// panel state. Refreshes the token first. Returns whether it sent.
inline bool sync_host_flag(TokenVar& host_flag, bool panel_on, u32 key, u32 value = 0) {
    const bool host_on = tok_read(host_flag) == 1.0;
    if (host_on == panel_on) return false;
    svc::send_key_event(key, value);
    return true;
}

// A deadline on tok_tick18: armed with a count of ticks, it expires on the first frame on which
// the counter is at or past it, and is then cleared. A counter set back re-arms it from then.
struct TickDeadline {
    u32 at = 0;
    u32 length = 0;
    u8 running = 0;

    void arm(u32 ticks) {
        length = ticks;
        at = deadline_arm(tok_read(tok_tick18), ticks);
        running = 1;
    }
    // True once, on the frame the deadline is reached.
    bool expired() {
        if (!running) return false;
        if (!deadline_reached(at, tok_read(tok_tick18), length)) return false;
        running = 0;
        return true;
    }
};
