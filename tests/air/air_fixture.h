// Shared by the air tests: the flight engineer's second window on screen, DC essential power on
// without the systems computer, and what the sound device played since the last look.
#pragma once
#include <strings.h>

#include <cmath>
#include <string>
#include <vector>

#include "electrical/state.h"
#include "module/keys.h"
#include "sound/recording.h"
#include "tests/host_fixture.h"

class AirTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        host().window_set(panel_win_fe_2, true);
        dc_ess_powered = 1;
    }
    bool shown(const char* g, size_t pos) { return !hidden(element(g, pos)); }
    // Names of the sounds played, looped or stopped since the last call: "NAME", "NAME loop" or
    // "NAME stop".
    std::vector<std::string> sounds() {
        std::vector<std::string> out;
        const u64 end = sound_recording_count();
        for (u64 i = sound_seen_; i < end; ++i) {
            SoundEvent e;
            if (!sound_recording_event(i, &e)) continue;
            if (e.call == SoundCall::Play) out.emplace_back(e.name);
            if (e.call == SoundCall::Loop) out.emplace_back(std::string(e.name) + " loop");
            if (e.call == SoundCall::Stop) out.emplace_back(std::string(e.name) + " stop");
        }
        sound_seen_ = end;
        return out;
    }
    std::vector<u32> key_ids() {
        std::vector<u32> ids;
        for (const KeyLogEntry& k : new_keys()) ids.push_back(k.id);
        return ids;
    }

private:
    u64 sound_seen_ = 0;
};

constexpr f64 kNaN = f64(NAN), kInf = f64(INFINITY);
