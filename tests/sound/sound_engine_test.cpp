// The sound engine over the recording device: the built-in sounds, resources before files,
// volume clamping, playback positions across play / loop / stop, and silence without a device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <initializer_list>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/state.h"
#include "sound/recording.h"
#include "sound/sound_engine.h"

namespace {
// A minimal 8-bit mono WAV of `n` samples at `rate`.
std::vector<u8> tiny_wav(u32 n, u32 rate = 1000) {
    std::vector<u8> b;
    auto put32 = [&](u32 v) {
        for (int i = 0; i < 4; ++i) b.push_back(u8(v >> (8 * i)));
    };
    auto put16 = [&](u16 v) {
        b.push_back(u8(v));
        b.push_back(u8(v >> 8));
    };
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(36 + n);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate);
    put16(1);
    put16(8);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(n);
    for (u32 i = 0; i < n; ++i) b.push_back(u8(128 + (i % 2 ? 40 : -40)));
    return b;
}

void write_file(const std::string& path, const std::vector<u8>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Runs in a fresh directory so that files named like sounds are ours alone.
void enter_temp_dir() {
    char tmpl[] = "/tmp/kr_sound_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    ASSERT_EQ(chdir(tmpl), 0);
}

SoundBufferState state_of(const SoundBuffer* b) {
    SoundBufferState s{};
    EXPECT_TRUE(sound_recording_buffer_state(b, &s));
    return s;
}

std::vector<SoundEvent> events_since(u64 from) {
    std::vector<SoundEvent> out;
    for (u64 i = from; i < sound_recording_count(); ++i) {
        SoundEvent e;
        if (sound_recording_event(i, &e)) out.push_back(e);
    }
    return out;
}
}  // namespace

TEST(SoundEngine, BuiltInSoundsAreTheLoadOrderIn16BitMonoPcm) {
    size_t total = 0;
    for (size_t i = 0; i < kSoundCount; ++i) {
        const SoundSlot& s = kSoundSlots[i];
        SCOPED_TRACE(s.name);
        WaveFormat f;
        const u8* data = nullptr;
        u32 size = 0;
        ASSERT_TRUE(wave_from_resource(0, s.name, &f, &data, &size));
        EXPECT_EQ(f.format_tag, 1);
        EXPECT_EQ(f.channels, 1);
        EXPECT_EQ(f.samples_per_sec, 22050u);
        EXPECT_EQ(f.bits_per_sample, 16);
        EXPECT_GT(size, 100u);
        EXPECT_LT(size, 22050u * 2 * 3) << "short sounds";
        total += size;
        // The volumes set at install start as the load order's own.
        EXPECT_EQ(sound_volume_table[i], s.start_volume);
    }
    EXPECT_LT(total, size_t(2) << 20);
    EXPECT_FALSE(wave_from_resource(0, "NOSUCHSOUND", nullptr, nullptr, nullptr));
    // Names match without regard to case, as Windows resources do.
    u32 size = 0;
    EXPECT_TRUE(wave_from_resource(0, "click", nullptr, nullptr, &size));
}

TEST(SoundEngine, ResourceFirstThenFileThenNothing) {
    enter_temp_dir();
    write_file("CLICK", tiny_wav(10));
    write_file("MYSOUND", tiny_wav(12));
    std::vector<u8> broken = tiny_wav(12);
    broken.resize(40);  // ends inside the data chunk's header
    write_file("BROKEN", broken);
    write_file("EMPTY", {});
    sound_init(0);
    ASSERT_NE(sound_device, nullptr);

    u32 resource_size = 0;
    ASSERT_TRUE(wave_from_resource(0, "CLICK", nullptr, nullptr, &resource_size));
    struct Case {
        const char* name;
        bool hide_resources;
        bool loads;
        u32 size;
    } cases[] = {
        {"CLICK", false, true, resource_size},  // a resource and a file: the resource wins
        {"CLICK", true, true, 10},              // no resource: the file
        {"MYSOUND", false, true, 12},
        {"BROKEN", false, false, 0},
        {"EMPTY", false, false, 0},
        {"MISSING", true, false, 0},
        {"", false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.hide_resources ? " without resources" : ""));
        sound_recording_hide_resources(c.hide_resources);
        SoundBuffer* b = sound_create(c.name);
        EXPECT_EQ(b != nullptr, c.loads);
        if (!b) continue;
        EXPECT_EQ(state_of(b).size, c.size);
        sound_release(b);
    }
    EXPECT_EQ(sound_recording_live_buffers(), 0u);
    sound_shutdown();
}

TEST(SoundEngine, VolumeIsClampedToMinus10000To0) {
    sound_init(0);
    SoundBuffer* b = sound_create("CLICK");
    ASSERT_NE(b, nullptr);
    const struct {
        i32 set, want;
    } cases[] = {{1, 0}, {500, 0}, {INT_MAX, 0}, {0, 0}, {-1, -1}, {-2000, -2000},
                 {-10000, -10000}, {-10001, -10000}, {INT_MIN, -10000}};
    for (const auto& c : cases) {
        sound_set_volume(b, c.set);
        EXPECT_EQ(state_of(b).volume, c.want) << c.set;
    }
    sound_release(b);
    sound_shutdown();
}

TEST(SoundEngine, LoopingAgainKeepsOneLoopAndStopThenPlayResumes) {
    enter_temp_dir();
    write_file("TONE", tiny_wav(1000));  // one second at 1000 Hz
    sound_init(0);
    SoundBuffer* b = sound_create("TONE");
    ASSERT_NE(b, nullptr);

    const u64 start = sound_recording_count();
    sound_play(b, 1);
    sound_recording_begin_frame(1, 0.25);
    sound_play(b, 1);  // already looping: goes on where it is
    EXPECT_NEAR(state_of(b).position_s, 0.25, 1e-9);
    sound_recording_begin_frame(2, 1.0);  // wraps
    EXPECT_TRUE(state_of(b).playing);
    EXPECT_NEAR(state_of(b).position_s, 0.25, 1e-9);
    sound_stop(b);
    sound_recording_begin_frame(3, 0.5);
    EXPECT_FALSE(state_of(b).playing);
    EXPECT_NEAR(state_of(b).position_s, 0.25, 1e-9) << "a stopped sound keeps its place";
    sound_play(b, 0);
    sound_recording_begin_frame(4, 0.5);
    EXPECT_NEAR(state_of(b).position_s, 0.75, 1e-9) << "and resumes from it";
    sound_recording_begin_frame(5, 0.5);
    EXPECT_FALSE(state_of(b).playing) << "a one-shot sound ends";
    EXPECT_EQ(state_of(b).position_s, 0.0) << "and rewinds";

    const std::vector<SoundEvent> ev = events_since(start);
    ASSERT_EQ(ev.size(), 4u);
    EXPECT_TRUE(ev[0].call == SoundCall::Loop && ev[0].changed && ev[0].frame == 0);
    EXPECT_TRUE(ev[1].call == SoundCall::Loop && !ev[1].changed && ev[1].frame == 1);
    EXPECT_TRUE(ev[2].call == SoundCall::Stop && ev[2].changed && ev[2].frame == 2);
    EXPECT_TRUE(ev[3].call == SoundCall::Play && ev[3].changed && ev[3].frame == 3);
    sound_release(b);
    sound_shutdown();
}

TEST(SoundEngine, NullBuffersAndNoDeviceAreSilent) {
    const u64 start = sound_recording_count();
    sound_play(nullptr, 1);
    sound_stop(nullptr);
    sound_set_volume(nullptr, -100);
    sound_release(nullptr);
    EXPECT_EQ(sound_create("CLICK"), nullptr) << "before the device is started";

    sound_recording_fail_device(true);
    sound_init(0);
    EXPECT_EQ(sound_device, nullptr);
    for (const SoundSlot& s : kSoundSlots) EXPECT_EQ(sound_create(s.name), nullptr) << s.name;
    sound_shutdown();
    sound_shutdown();
    EXPECT_EQ(sound_recording_count(), start) << "nothing reached the device";

    // After shutdown, a buffer still held by a caller is never reached again.
    sound_recording_fail_device(false);
    sound_init(0);
    SoundBuffer* b = sound_create("CLICK");
    ASSERT_NE(b, nullptr);
    sound_shutdown();
    EXPECT_EQ(sound_recording_live_buffers(), 0u);
    const u64 after = sound_recording_count();
    sound_play(b, 0);
    sound_stop(b);
    sound_set_volume(b, 0);
    sound_release(b);
    EXPECT_EQ(sound_recording_count(), after);
}

TEST(SoundEngine, PlaybackFollowsHostTimeAtAnyFrameRate) {
    enter_temp_dir();
    write_file("TONE", tiny_wav(260));  // 0.26 s at 1000 Hz
    sound_init(0);
    SoundBuffer* b = sound_create("TONE");
    ASSERT_NE(b, nullptr);
    u64 frame = 0;
    for (f64 fps : {10.0, 18.0, 30.0, 60.0}) {
        SCOPED_TRACE(fps);
        ASSERT_TRUE(sound_recording_open_output("mix.wav"));
        sound_play(b, 0);
        int frames_heard = 0;
        for (int i = 0; i < int(fps); ++i) {  // one second of frames
            sound_recording_begin_frame(++frame, 1.0 / fps);
            if (state_of(b).playing) ++frames_heard;
        }
        // Still playing at the start of every frame before 0.26 s.
        EXPECT_EQ(frames_heard, int(std::floor(0.26 * fps)));
        sound_recording_close_output();
        std::FILE* f = std::fopen("mix.wav", "rb");
        ASSERT_NE(f, nullptr);
        std::fseek(f, 0, SEEK_END);
        EXPECT_EQ(std::ftell(f), 44 + 2 * long(kRecordingOutputRate)) << "one second of output";
        std::fclose(f);
    }
    // Hostile frame lengths move nothing.
    sound_play(b, 1);
    for (f64 dt : {std::nan(""), HUGE_VAL, -HUGE_VAL, -1.0, 0.0}) sound_recording_begin_frame(++frame, dt);
    EXPECT_EQ(state_of(b).position_s, 0.0);
    sound_release(b);
    sound_shutdown();
}
