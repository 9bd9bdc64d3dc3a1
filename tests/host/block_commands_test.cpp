// Scripts run in this process: the set block / show block commands (values in every type read
// back as written, the lines that must be refused before anything runs), variables at the
// edges of their types, and a mouse callback that breaks the host's rule.
#include <gtest/gtest-spi.h>

#include <cstdio>
#include <string>

#include "host/script.h"
#include "tests/host_fixture.h"

class InProcessScript : public HostTest {
protected:
    // Runs a script in this process; returns its status and what it printed.
    int run(const std::string& text, std::string& out, std::string* message = nullptr) {
        char* buf = nullptr;
        size_t len = 0;
        std::FILE* f = open_memstream(&buf, &len);
        ScriptRunner runner(host(), f);
        runner.set_default_panel(std::string(KR_SOURCE_DIR) + "/panels/default.cfg");
        std::vector<ScriptCommand> commands;
        ScriptResult r = runner.load_text("t.kr", text, commands);
        if (r.status == 0) r = runner.run(commands);
        std::fclose(f);
        out.assign(buf, len);
        std::free(buf);
        if (message) *message = r.message;
        return r.status;
    }
};

TEST_F(InProcessScript, ValuesReadBackAsWritten) {
    const struct {
        const char* set;
        const char* shown;
    } cases[] = {
        {"0x10 u8 255", "block \"FS2002 GPS DATA\" 0x10 = 255"},
        {"16 u16 65535", "block \"FS2002 GPS DATA\" 0x10 = 65535"},
        {"0x10 u32 4294967295", "block \"FS2002 GPS DATA\" 0x10 = 4294967295"},
        {"0x10 i32 -2147483648", "block \"FS2002 GPS DATA\" 0x10 = -2147483648"},
        {"0x10 i64 9223372036854775807", "block \"FS2002 GPS DATA\" 0x10 = 9223372036854775807"},
        {"0x10 f32 0.1", "block \"FS2002 GPS DATA\" 0x10 = 0.1000000015"},
        {"0x10 f64 -1e300", "block \"FS2002 GPS DATA\" 0x10 = -1e+300"},
        {"0x10 lon -122.25", "block \"FS2002 GPS DATA\" 0x10 = -122.25"},
        {"0x10 lon 540", "block \"FS2002 GPS DATA\" 0x10 = -180"},
        {"0x10 text \"A\\B\"", "block \"FS2002 GPS DATA\" 0x10 = \"A\\\\B\""},
        {"0xac addr 0x200", "block \"FS2002 GPS DATA\" 0xac = 512"},
        {"0xac addr 0", "block \"FS2002 GPS DATA\" 0xac = 0"},
    };
    for (const auto& c : cases) {
        const std::string set(c.set);
        const std::string at = set.substr(0, set.find(' '));
        const std::string type = set.substr(at.size() + 1, set.find(' ', at.size() + 1) - at.size() - 1);
        std::string out;
        ASSERT_EQ(run("set block \"FS2002 GPS DATA\" " + set + "\nshow block \"FS2002 GPS DATA\" " + at + " " + type +
                          "\n",
                      out),
                  0)
            << set << ": " << out;
        EXPECT_EQ(out, std::string(c.shown) + "\n") << set;
    }
}

TEST_F(InProcessScript, BadLinesAreRefusedBeforeAnythingRuns) {
    const char* cases[] = {
        "set block \"FS2002 GPS DATA\" 0xac u32 5",         // a plain number where the address goes
        "set block \"FS2002 GPS DATA\" 0xa8 i64 4294967296", // the same, reaching +0xac from below
        "set block \"FS2002 GPS DATA\" 65535 u16 1",        // past the end
        "set block \"FS2002 GPS DATA\" 65530 text \"ABCDEF\"",  // its NUL past the end
        "set block \"FS2002 GPS DATA\" 0xac addr 65536",   // an address outside the block
        "set block \"OTHER\" 0 u8 1",
        "set block FS2002 0 u8 1",
        "set block \"FS2002 GPS DATA\" 0 u8 256",
        "set block \"FS2002 GPS DATA\" 0 i64 9223372036854775808",
        "set block \"FS2002 GPS DATA\" 0 u16 1.5",
        "set block \"FS2002 GPS DATA\" 0 lat 91",
        "set block \"FS2002 GPS DATA\" 0 text ABC",
        "set block \"FS2002 GPS DATA\" 0 u128 1",
        "show block \"FS2002 GPS DATA\" 65532 f64",
        "show block \"FS2002 GPS DATA\" 0",
    };
    for (const char* line : cases) {
        std::string out;
        EXPECT_EQ(run(std::string("set var ins_source_sw 1\n") + line + "\n", out), 2) << line;
    }
    std::string out;
    EXPECT_EQ(run("set block \"FS2002 GPS DATA\" 0xa8 i64 0\n", out), 0) << "zeros over +0xac are fine";
}

TEST_F(InProcessScript, VariablesTakeEveryValueTheirTypeHolds) {
    std::string out;
    ASSERT_EQ(run("set var dc_ess_powered 255\nshow var dc_ess_powered\n"
                  "set var light_zone 1.0\nshow var light_zone[5]\n"
                  "set var light_zone[0] -0\nshow var light_zone[0]\n"
                  "set var air_temp_cont_pos[3] -128\nshow var air_temp_cont_pos[3]\n"
                  "set var air_cabin_vs_fpm -32768\nshow var air_cabin_vs_fpm\n"
                  "set var ap_ias_vs_upper 65535\nshow var ap_ias_vs_upper\n"
                  "set var elec_gen1_load 0xffffffff\nshow var elec_gen1_load\n"
                  "set var adf2_freq_int -2147483648\nshow var adf2_freq_int\n"
                  "set var adi_sphere_pitch_scale -inf\nshow var adi_sphere_pitch_scale\n"
                  "set var air_pack_discharge_temp[1] 3.4e38\nshow var air_pack_discharge_temp[1]\n"
                  "set var fuel_used nan\nshow var fuel_used[1]\n"
                  "set var fuel_used[0] 1e308\nshow var fuel_used[0]\n",
                  out),
              0)
        << out;
    EXPECT_EQ(out,
              "var dc_ess_powered = 255\n"
              "var light_zone[5] = 1\n"
              "var light_zone[0] = 0\n"
              "var air_temp_cont_pos[3] = -128\n"
              "var air_cabin_vs_fpm = -32768\n"
              "var ap_ias_vs_upper = 65535\n"
              "var elec_gen1_load = 4294967295\n"
              "var adf2_freq_int = -2147483648\n"
              "var adi_sphere_pitch_scale = -inf\n"
              "var air_pack_discharge_temp[1] = 3.399999952e+38\n"
              "var fuel_used[1] = nan\n"
              "var fuel_used[0] = 1e+308\n");
}

namespace {
i32 FSAPI answers_one(MousePoint*, u32) { return 1; }
}  // namespace

// A mouse callback always answers 0: another answer stops the script with exit status 1,
// naming the line, the gauge and the point, and fails a gauge test that clicked.
TEST_F(InProcessScript, AMouseCallbackAnsweringNonZeroStopsTheRunAndFailsTheTest) {
    MouseRect* rect = gauge("testgauge2k")->mouse_rects;
    while (rect->kind != MouseRectChild) ++rect;
    const MouseCallback kept = rect->callback;
    rect->callback = answers_one;
    std::string out, message;
    const int status = run("place \"testgauge2k\"\nclick \"testgauge2k\" 5 5\nshow windows\n", out, &message);
    host().click(gauge("testgauge2k"), 6, 7, MouseLeftSingle);
    rect->callback = kept;
    EXPECT_EQ(status, 1);
    EXPECT_EQ(message, "t.kr:2: mouse callback of \"testgauge2k\" at 5,5 returned 1, not 0");
    EXPECT_EQ(out, "") << "nothing runs after it";
    EXPECT_NONFATAL_FAILURE(TearDown(), "mouse callback of \"testgauge2k\" at 6,7 returned 1");
}
