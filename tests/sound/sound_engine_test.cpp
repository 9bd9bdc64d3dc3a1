// The sound engine over the recording device: resources before files,
// volume clamping, playback positions across play / loop / stop, and silence after shutdown.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sound/recording.h"
#include "sound/sound_device.h"
#include "sound/sound_engine.h"

namespace {
// A file holding a minimal 8-bit mono WAV of `n` samples at 1000 Hz, cut to `keep` bytes.
void write_wav(const char* path, u32 n, size_t keep = SIZE_MAX) {
    std::vector<u8> b;
    const auto put = [&](u32 v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.push_back(u8(v >> (8 * i)));
    };
    const auto id = [&](const char* s) { b.insert(b.end(), s, s + 4); };
    id("RIFF"); put(36 + n, 4); id("WAVE"); id("fmt "); put(16, 4);
    put(1, 2); put(1, 2); put(1000, 4); put(1000, 4); put(1, 2); put(8, 2);  // PCM mono, 1 byte a sample
    id("data"); put(n, 4);
    for (u32 i = 0; i < n; ++i) b.push_back(u8(i % 2 ? 168 : 88));
    b.resize(std::min(keep, b.size()));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), long(b.size()));
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
}  // namespace

TEST(SoundEngine, ResourceFirstThenFileAndVolumesClamped) {
    enter_temp_dir();
    write_wav("CLICK", 10);
    write_wav("BROKEN", 12, 40);  // ends inside the data chunk's header
    write_wav("EMPTY", 12, 0);
    sound_init(0);
    ASSERT_NE(sound_device, nullptr);

    FileView view;
    EXPECT_FALSE(snddev::file_map(nullptr, &view) || snddev::file_map("", &view)) << "no name, no file";
    u32 resource_size = 0;
    ASSERT_TRUE(wave_from_resource(0, "CLICK", nullptr, nullptr, &resource_size));
    struct Case { const char* name; bool hide_resources; u32 size; /* 0: does not load */ } cases[] = {
        {"CLICK", false, resource_size},  // a resource and a file: the resource wins
        {"click", false, resource_size},  // resources in any case, as on Windows
        {"CLICK", true, 10},              // no resource: the file
        {"BROKEN", false, 0}, {"EMPTY", false, 0}, {"MISSING", true, 0}, {"", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.hide_resources ? " without resources" : ""));
        sound_recording_hide_resources(c.hide_resources);
        SoundBuffer* b = sound_create(c.name);
        EXPECT_EQ(b != nullptr, c.size != 0);
        if (!b) continue;
        EXPECT_EQ(state_of(b).size, c.size);
        sound_release(b);
    }
    EXPECT_EQ(sound_recording_live_buffers(), 0u);

    SoundBuffer* b = sound_create("CLICK");
    ASSERT_NE(b, nullptr);
    const struct { i32 set, want; } volumes[] = {
        {1, 0}, {INT_MAX, 0}, {0, 0}, {-10000, -10000}, {-10001, -10000}, {INT_MIN, -10000}};
    for (const auto& v : volumes) {
        sound_set_volume(b, v.set);
        EXPECT_EQ(state_of(b).volume, v.want) << v.set;
    }
    sound_shutdown();
}

// Positions follow the host's frame times: a loop played again goes on where it is, a stopped
// sound keeps its place, a one-shot ends and rewinds, at any frame rate.
TEST(SoundEngine, PlaybackFollowsHostTime) {
    enter_temp_dir();
    write_wav("TONE", 1000);  // one second
    write_wav("SHORT", 260);  // 0.26 s
    sound_init(0);
    SoundBuffer* b = sound_create("TONE");
    SoundBuffer* shrt = sound_create("SHORT");
    ASSERT_TRUE(b && shrt);
    enum Call { kNone, kOnce, kLoop, kStop };
    const struct { Call call; f64 seconds; bool playing; f64 position; } steps[] = {
        {kLoop, 0.25, true, 0.25}, {kLoop, 1.0, true, 0.25},  // looped again: goes on, and wraps
        {kStop, 0.5, false, 0.25}, {kOnce, 0.5, true, 0.75}, {kNone, 0.5, false, 0.0},
    };
    u64 frame = 0;
    for (const auto& s : steps) {
        if (s.call == kStop) sound_stop(b); else if (s.call != kNone) sound_play(b, s.call == kLoop);
        sound_recording_begin_frame(++frame, s.seconds);
        EXPECT_EQ(state_of(b).playing, s.playing) << frame;
        EXPECT_NEAR(state_of(b).position_s, s.position, 1e-9) << frame;
    }

    for (f64 fps : {10.0, 18.0, 30.0, 60.0}) {
        SCOPED_TRACE(fps);
        ASSERT_TRUE(sound_recording_open_output("mix.wav"));
        sound_play(shrt, 0);
        int frames_heard = 0;
        for (int i = 0; i < int(fps); ++i) {  // one second of frames
            sound_recording_begin_frame(++frame, 1.0 / fps);
            frames_heard += state_of(shrt).playing;
        }
        // Still playing at the start of every frame before 0.26 s.
        EXPECT_EQ(frames_heard, int(std::floor(0.26 * fps)));
        sound_recording_close_output();
        EXPECT_EQ(long(std::ifstream("mix.wav", std::ios::binary | std::ios::ate).tellg()),
                  44 + 2 * long(kRecordingOutputRate))
            << "one second of output";
    }
    // Hostile frame lengths move nothing.
    sound_play(b, 1);
    for (f64 dt : {std::nan(""), HUGE_VAL, -HUGE_VAL, -1.0, 0.0}) sound_recording_begin_frame(++frame, dt);
    EXPECT_EQ(state_of(b).position_s, 0.0);
    sound_shutdown();
}

// After shutdown, a buffer a caller still holds reaches nothing (the device took it along).
TEST(SoundEngine, AfterShutdownAHeldBufferIsSilent) {
    EXPECT_EQ(sound_create("CLICK"), nullptr) << "before the device is started";
    sound_init(0);
    SoundBuffer* b = sound_create("CLICK");
    ASSERT_NE(b, nullptr);
    sound_shutdown();
    EXPECT_EQ(sound_recording_live_buffers(), 0u);
    const u64 after = sound_recording_count();
    sound_play(b, 0); sound_stop(b); sound_set_volume(b, 0); sound_release(b);
    EXPECT_EQ(sound_recording_count(), after);
}

// The mix scales a level of -1..1 to +-32767: full-scale samples of either width land exactly.
TEST(SoundEngine, FullScaleSamplesMixExactly) {
    enter_temp_dir();
    SoundDevice* dev = snddev::device_create();
    ASSERT_NE(dev, nullptr);
    // Volume in hundredths of a decibel: -2000 is a tenth of the amplitude.
    const struct { u16 bits; i32 sample; i16 want; i32 volume = 0; } rows[] = {
        {16, -32768, -32767}, {16, 32767, 32766}, {16, 0, 0}, {8, 0, -32767}, {8, 255, 32511}, {8, 128, 0},
        {16, 32767, 3277, -2000}, {8, 0, -3277, -2000},
    };
    u64 frame = 0;
    for (const auto& r : rows) {
        const u16 bytes = r.bits / 8;
        const WaveFormat f{1, 1, kRecordingOutputRate, kRecordingOutputRate * bytes, bytes, r.bits, 0, {}};
        SoundBuffer* b = snddev::buffer_create(dev, "LEVEL", f, 8);
        ASSERT_NE(b, nullptr);
        void *p1, *p2;
        u32 n1, n2;
        ASSERT_TRUE(snddev::buffer_lock(b, 8, &p1, &n1, &p2, &n2));
        void *q1, *q2;
        u32 m1, m2;
        EXPECT_FALSE(snddev::buffer_lock(b, 8, &q1, &m1, &q2, &m2)) << "a locked buffer refuses a second lock";
        for (u32 i = 0; i < n1; i += bytes) {
            u8* at = static_cast<u8*>(p1) + i;
            at[0] = u8(r.sample);
            if (bytes == 2) at[1] = u8(u32(r.sample) >> 8);
        }
        snddev::buffer_unlock(b, p1, n1, p2, n2);
        ASSERT_TRUE(snddev::buffer_lock(b, 8, &p1, &n1, &p2, &n2)) << "an unlocked buffer locks again";
        snddev::buffer_unlock(b, p1, n1, p2, n2);
        const u64 calls = sound_recording_count();
        snddev::buffer_unlock(b, p1, n1, p2, n2);
        EXPECT_EQ(sound_recording_count(), calls) << "a buffer that is not locked has nothing to fill";
        ASSERT_TRUE(sound_recording_open_output("level.wav"));
        snddev::buffer_set_volume(b, r.volume);
        snddev::buffer_play(b, 1);
        sound_recording_begin_frame(++frame, 0.01);
        ASSERT_TRUE(sound_recording_close_output());
        snddev::buffer_release(b);
        const u64 released = sound_recording_count();
        snddev::buffer_release(b);
        EXPECT_EQ(sound_recording_count(), released) << "a second release finds nothing";
        std::ifstream in("level.wav", std::ios::binary);
        std::vector<char> wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GE(wav.size(), 44u + 2 * 8);
        for (size_t i = 0; i < 8; ++i)
            EXPECT_EQ(i16(u16(u8(wav[44 + 2 * i])) | u16(u8(wav[45 + 2 * i]) << 8)), r.want)
                << r.bits << "-bit " << r.sample << " at " << i;
    }
    snddev::device_release(dev);
}

// The device takes what a sound card takes: PCM of 1 to 8 channels, 8 or 16 bits, 100 Hz to
// 200 kHz, a block of one sample per channel, and 4 bytes up to 0x0FFFFFFF.
TEST(SoundEngine, DeviceRefusesWhatACardWouldNot) {
    SoundDevice* dev = snddev::device_create();
    ASSERT_NE(dev, nullptr);
    const struct { u16 tag, channels; u32 rate; u16 align, bits; u32 size; bool ok; } rows[] = {
        {1, 1, 22050, 2, 16, 8, true},     {1, 1, 99, 2, 16, 8, false},      {1, 1, 100, 2, 16, 8, true},
        {1, 1, 200000, 2, 16, 8, true},    {1, 1, 200001, 2, 16, 8, false},  {1, 0, 22050, 0, 16, 8, false},
        {1, 8, 22050, 16, 16, 8, true},    {1, 9, 22050, 18, 16, 8, false},  {1, 1, 22050, 1, 8, 8, true},
        {1, 1, 22050, 2, 12, 8, false},    {1, 1, 22050, 1, 16, 8, false},   {3, 1, 22050, 2, 16, 8, false},
        {1, 1, 22050, 2, 16, 3, false},    {1, 1, 22050, 2, 16, 4, true},    {1, 1, 22050, 2, 16, 0x10000000, false},
    };
    for (const auto& r : rows) {
        const WaveFormat f{r.tag, r.channels, r.rate, r.rate * r.align, r.align, r.bits, 0, {}};
        SoundBuffer* b = snddev::buffer_create(dev, "FORMAT", f, r.size);
        EXPECT_EQ(b != nullptr, r.ok) << r.tag << " " << r.channels << " " << r.rate << " " << r.align << " "
                                      << r.bits << " " << r.size;
        if (b) snddev::buffer_release(b);
    }
    snddev::device_release(dev);
}
