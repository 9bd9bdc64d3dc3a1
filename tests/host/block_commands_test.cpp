// The set block / show block script commands: values in every type read back as written, and
// the lines that must be refused before anything runs.
#include <cstdio>
#include <string>

#include "host/script.h"
#include "tests/host_fixture.h"

class BlockCommands : public HostTest {
protected:
    // Runs a script in this process; returns its status and what it printed.
    int run(const std::string& text, std::string& out) {
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
        return r.status;
    }
};

TEST_F(BlockCommands, ValuesReadBackAsWritten) {
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

TEST_F(BlockCommands, BadLinesAreRefusedBeforeAnythingRuns) {
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
