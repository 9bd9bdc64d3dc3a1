// The panelhost command line: readout format, expect, and bad scripts answered with one line
// naming file and line, exit status 2, and nothing run.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {
struct HostRun {
    int status;
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream f(path);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::string temp_dir() {
    static std::string dir;
    if (dir.empty()) {
        char tmpl[] = "/tmp/kr_script_XXXXXX";
        dir = mkdtemp(tmpl);
    }
    return dir;
}

HostRun run_script(const std::string& script, const std::string& extra_args = "") {
    const std::string dir = temp_dir();
    const std::string path = dir + "/test.kr";
    std::ofstream(path) << script;
    const std::string cmd = "cd " KR_SOURCE_DIR " && " KR_PANELHOST " " + extra_args + " " + path + " > " + dir +
                            "/out.txt 2> " + dir + "/err.txt";
    const int rc = std::system(cmd.c_str());
    return HostRun{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, slurp(dir + "/out.txt"), slurp(dir + "/err.txt")};
}
}  // namespace

TEST(Script, ReadoutOfGaugeKeysWindowsAndVariables) {
    const HostRun r = run_script(
        "place \"testgauge2k\"\n"
        "set var ins1_dist_wpt0_nm 12.5\n"
        "click \"testgauge2k\" 25 5\n"
        "frames 2\n"
        "show gauge \"testgauge2k\"\n"
        "window open 10060\n"
        "show windows\n"
        "show var debug_readout_index\n"
        "show var light_zone\n"
        "show var ins1_cdu_page[18]\n"
        "set token tok_ias_kt 250.25\n"
        "show token 61\n"
        "show keys\n"
        "expect var debug_readout_index 2\n"
        "expect token 604 0.1111 0.001\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "gauge \"testgauge2k\"\n"
              "  0 static shown dark\n"
              "  1 icon hidden bright\n"
              "  2 string shown bright value=0 text=\"0.000000\"\n"
              "  3 string shown bright value=0 text=\"0.000000\"\n"
              "  4 string shown bright value=0 text=\"0.000000\"\n"
              "  5 string shown bright value=12.5 text=\"12.500000\"\n"
              "windows 10010 10060 10520\n"
              "var debug_readout_index = 2\n"
              "var light_zone[0] = 0\nvar light_zone[1] = 0\nvar light_zone[2] = 0\n"
              "var light_zone[3] = 0\nvar light_zone[4] = 0\nvar light_zone[5] = 0\n"
              "var ins1_cdu_page[18] = 0\n"
              "token 61 = 250.25\n");
}

TEST(Script, ExpectMismatchExitsOneWithAMessage) {
    const HostRun r = run_script("frames 1\nexpect var debug_readout_index 5\nshow var debug_readout_index\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("test.kr:2: expect failed: var debug_readout_index = 1, expected 5"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "") << "nothing runs after a failed expect";
}

TEST(Script, BadScriptsAreRefusedWithFileAndLineBeforeAnythingRuns) {
    struct Case {
        const char* line;
        const char* message;
    } cases[] = {
        {"fly to the moon", "unknown command \"fly\""},
        {"frames many", "frames needs a whole number"},
        {"frames -3", "frames needs a whole number"},
        {"seconds nan", "seconds needs a number"},
        {"fps 0", "fps needs a number from 1 to 1000"},
        {"place \"no such gauge\"", "unknown gauge \"no such gauge\""},
        {"place testgauge2k", "gauge name must be in double quotes"},
        {"set token tok_nothing 1", "unknown token \"tok_nothing\""},
        {"set token 99999999999 1", "unknown token"},
        {"set var no_such_var 1", "unknown variable \"no_such_var\""},
        {"set var light_zone[6] 1", "index 6 out of range"},
        {"set var light_zone[x] 1", "malformed variable index"},
        {"set var panel_init_state 1x", "malformed number \"1x\""},
        {"click \"testgauge2k\" 1.5 2", "click position must be whole numbers"},
        {"click \"testgauge2k\" 1 2 middle", "unknown mouse event \"middle\""},
        {"window shut 10010", "usage: window open|close|toggle"},
        {"show gauge \"testgauge2k", "unterminated quoted text"},
        {"include does_not_exist.kr", "cannot read included file"},
        {"panel /nonexistent/panel.cfg", "bad panel file"},
        {"expect var light_zone 1", "expect needs an element"},
        {"expect token 1 2 -1", "malformed tolerance"},
    };
    for (const Case& c : cases) {
        const HostRun r = run_script(std::string("show windows\n# comment\n") + c.line + "\nshow windows\n");
        EXPECT_EQ(r.status, 2) << c.line;
        EXPECT_EQ(r.out, "") << c.line << ": nothing runs";
        EXPECT_NE(r.err.find("test.kr:3: "), std::string::npos) << c.line << " -> " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.line << " -> " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
    }
}

TEST(Script, MalformedPanelFilesAreRefusedLikeScripts) {
    const std::string dir = temp_dir();
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"[Window00]\nident=10010\nvisible=1\ngauge00=ketravin!nothing, 0, 0\n", ":4: unknown gauge"},
        {"[Window00]\nident=abc\n", ":2: ident is not a number"},
        {"[Window00]\nvisible=1\n", ":1: window section without ident="},
        {"[Window00\n", ":1: section header without ']'"},
        {"[Window00]\nident=1\njust words\n", ":3: expected key=value"},
        {"[Window00]\nident=1\ngauge00=other!testgauge2k, 0, 0\n", ":3: gauge is not from the ketravin module"},
        {"[Window00]\nident=1\ngauge00=ketravin!testgauge2k, x, 0\n", ":3: gauge position is not a number"},
    };
    for (const Case& c : cases) {
        std::ofstream(dir + "/bad.cfg") << c.text;
        const HostRun r = run_script("show windows\n", "--panel " + dir + "/bad.cfg");
        EXPECT_EQ(r.status, 2) << c.text;
        EXPECT_NE(r.err.find(std::string("bad.cfg") + c.message), std::string::npos) << c.text << " -> " << r.err;
    }
}

TEST(Script, IncludesRunInPlaceAndFramesBeforePlacePlaceTheWholePanel) {
    const std::string dir = temp_dir();
    std::ofstream(dir + "/inner.kr") << "click \"testgauge2k\" 25 5\n";
    const HostRun r = run_script("frames 1\ninclude inner.kr\ninclude inner.kr\nexpect var debug_readout_index 3\n");
    EXPECT_EQ(r.status, 0) << r.err;
}
