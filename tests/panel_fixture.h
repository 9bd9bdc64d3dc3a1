// Panel tests without the systems computer: the bus flags are set by hand, the sound engine's
// gauge is placed so that clicks can be heard, and elements, sends and CLICKs are read back.
#pragma once
#include <strings.h>

#include <string>

#include "sound/recording.h"
#include "tests/host_fixture.h"

class PanelTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place("ketravin gpws_kr60");
    }
    bool shown(const char* g, size_t pos) { return !hidden(element(g, pos)); }
    // A shut/open image pair starting at `shut`: O open, S shut, - neither.
    char pair(const char* g, size_t shut) {
        const bool s = shown(g, shut), o = shown(g, shut + 1);
        return s && o ? '?' : o ? 'O' : s ? 'S' : '-';
    }
    // Lamps at first, first + stride, ... as '1' shown, '0' hidden; bytes as digits.
    std::string lamps(const char* g, size_t first, size_t count, size_t stride = 1) {
        std::string s;
        for (size_t i = 0; i < count; ++i) s += shown(g, first + i * stride) ? '1' : '0';
        return s;
    }
    static std::string bytes(const u8* b, size_t count) {
        std::string s;
        for (size_t i = 0; i < count; ++i) s += char('0' + b[i]);
        return s;
    }
    // CLICK plays since the last call.
    size_t clicks() {
        size_t n = 0;
        const u64 end = sound_recording_count();
        for (u64 i = seen_; i < end; ++i) {
            SoundEvent e;
            if (sound_recording_event(i, &e) && e.call == SoundCall::Play && strcasecmp(e.name, "click") == 0) ++n;
        }
        seen_ = end;
        return n;
    }
    // Sends of `id` since the last call of new_keys().
    size_t sends(u32 id) {
        size_t n = 0;
        for (const KeyLogEntry& k : new_keys()) n += k.id == id && k.sent;
        return n;
    }

private:
    u64 seen_ = 0;
};
