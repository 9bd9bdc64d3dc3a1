// What the host shows and records of the sounds: `show sounds` lines and `--sound-out`, the
// mix of what played at the times it played, through the panelhost command line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "module/types.h"

namespace {
std::string slurp(const std::string& path) {
    std::stringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
}

// Little-endian fields, as on the machines that run the Linux build.
template <typename T>
T field(const std::string& b, size_t at) {
    T v{};
    if (at + sizeof v <= b.size()) std::memcpy(&v, b.data() + at, sizeof v);
    return v;
}

// Root-mean-square level of the 16-bit mono samples between two times.
double rms(const std::string& wav, double from_s, double to_s) {
    double sum = 0, n = 0;
    for (size_t i = size_t(from_s * 22050); i < size_t(to_s * 22050) && 46 + 2 * i <= wav.size(); ++i, ++n)
        sum += std::pow(field<i16>(wav, 44 + 2 * i), 2);
    return n ? std::sqrt(sum / n) / 32768.0 : 0.0;
}
}  // namespace

TEST(SoundOutput, ShowSoundsAndTheMixedFile) {
    char tmpl[] = "/tmp/kr_sound_out_XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    std::ofstream(dir + "/panel.cfg") << "[Window00]\nident=10010\nvisible=1\n"
                                         "gauge00=ketravin!ketravin gpws_kr60, 0, 0, 47\n";
    // 18 frames a second: the bell loops from frame 10 (0.556 s) to frame 19 (1.056 s).
    std::ofstream(dir + "/test.kr") << "panel " << dir << "/panel.cfg\n"
                                    << "place \"ketravin gpws_kr60\"\nframes 1\nshow sounds\n"
                                       "set var dc_ess_powered 1\nframes 8\nshow sounds\n"
                                       "set var warn_fire[1] 1\nframes 9\nshow sounds\n"
                                       "set var warn_fire[1] 0\nframes 9\nshow sounds\n";
    const std::string cmd = "cd " + dir + " && " KR_PANELHOST " --sound-out " + dir + "/cockpit.wav " + dir +
                            "/test.kr > " + dir + "/out.txt 2> " + dir + "/err.txt";
    const int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << slurp(dir + "/err.txt");

    std::istringstream out(slurp(dir + "/out.txt"));
    std::vector<std::string> lines;
    for (std::string l; std::getline(out, l);) lines.push_back(l);
    ASSERT_EQ(lines.size(), 33u + 2u);
    EXPECT_EQ(lines[0], "sound 0 CLICK volume -2000");
    EXPECT_EQ(lines[32], "sound 0 VRKTS volume -1000");
    EXPECT_EQ(lines[33], "sound 10 SONNERIE loop");
    EXPECT_EQ(lines[34], "sound 19 SONNERIE stop");

    const std::string wav = slurp(dir + "/cockpit.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 16), std::string("RIFF") + wav.substr(4, 4) + "WAVEfmt ");
    EXPECT_EQ(field<u32>(wav, 24), 22050u);
    EXPECT_EQ(field<u32>(wav, 40), 27u * 22050 / 18 * 2) << "27 frames at 18 a second";
    EXPECT_EQ(field<u32>(wav, 4), field<u32>(wav, 40) + 36);
    EXPECT_EQ(rms(wav, 0.0, 0.55), 0.0);
    EXPECT_GT(rms(wav, 0.6, 1.0), 0.01) << "the bell is heard";
    EXPECT_EQ(rms(wav, 1.06, 1.5), 0.0);
}

TEST(SoundOutput, UnwritableFileIsRefused) {
    const int rc = std::system(KR_PANELHOST " --sound-out /nonexistent-dir/x.wav - < /dev/null > /dev/null 2>&1");
    ASSERT_TRUE(WIFEXITED(rc));
    EXPECT_EQ(WEXITSTATUS(rc), 2);
}
