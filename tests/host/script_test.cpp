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
        // a value the variable's type cannot hold, as element, scalar or whole array
        {"set var dc_ess_powered 300", "value 300 does not fit \"dc_ess_powered\" (u8, whole numbers from 0 to 255)"},
        {"set var dc_ess_powered 0.5", "does not fit"},
        {"set var dc_ess_powered nan", "does not fit"},
        {"set var light_zone[2] -1", "value -1 does not fit \"light_zone[2]\""},
        {"set var light_zone 256", "does not fit \"light_zone\""},
        {"set var air_temp_cont_pos[1] -129", "(i8, whole numbers from -128 to 127)"},
        {"set var air_cabin_vs_fpm 32768", "(i16, whole numbers from -32768 to 32767)"},
        {"set var ap_ias_vs_upper 65536", "(u16, whole numbers from 0 to 65535)"},
        {"set var elec_gen1_load 4294967296", "(u32, whole numbers from 0 to 4294967295)"},
        {"set var adf2_freq_int -2147483649", "(i32, whole numbers from -2147483648 to 2147483647)"},
        {"set var adf2_freq_int inf", "does not fit"},
        {"set var air_pack_discharge_temp 1e39", "(f32, at most 3.402823466e+38 in size)"},
        {"set var adi_sphere_pitch_scale -1e39", "does not fit"},
        // a calculator expression the simulator could not parse
        {"set calc \"(A:TOTAL WEIGHT, Pound\" 1", "unclosed '(' in calculator expression"},
        {"show calc \"(A:TOTAL WEIGHT, Pound))\"", "unbalanced ')' in calculator expression"},
        {"show calc \"(L:A,bool) if{ 1 ]\"", "unbalanced ']'"},
        {"show calc \"'(L:A,bool)\"", "unterminated quote in calculator expression"},
        {"set calc \" \" 1", "empty calculator expression"},
        // a gauge named as in a panel file, without the module's prefix
        {"place \"elec_batt_kr60\"", "unknown gauge \"elec_batt_kr60\"; did you mean \"ketravin elec_batt_kr60\"?"},
        {"show tooltips \"toggle_pan_fe_kr60\"", "did you mean \"ketravin toggle_pan_fe_kr60\"?"},
        {"click \"testgauge2k\" 1.5 2", "click position must be whole numbers"},
        {"click \"testgauge2k\" 1 2 middle", "unknown mouse event \"middle\""},
        {"window shut 10010", "usage: window open|close|toggle"},
        {"window toggle 10011", "no window 10011 in the panel in use"},
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

// Inputs that are not what they claim, panel mistakes, and commands that would fail while
// running: each is one line on standard error and an exit status; for status 2 nothing runs.
// "@" in a case stands for a scratch folder holding a FIFO, a 17 MiB file and bad.cfg.
TEST(Script, BadInputsAreRefusedWithOneLineAndTheirExitStatus) {
    const std::string dir = temp_dir() + "/bad_inputs";
    const std::string setup = "mkdir -p " + dir + " && rm -f " + dir + "/fifo && mkfifo " + dir +
                              "/fifo && truncate -s 17M " + dir + "/big.kr";
    ASSERT_EQ(std::system(setup.c_str()), 0);
    const char* kGauge = "gauge00=ketravin!testgauge2k, 0, 0\n";
    struct Case {
        std::string args;    // before the script
        std::string script;
        std::string panel;   // written to @/bad.cfg when not empty
        const char* message;
        int status;
    } cases[] = {
        // files that are not regular files, or too big
        {"", "include /dev/zero\n", "", "test.kr:1: cannot read included file \"/dev/zero\": is not a regular file", 2},
        {"", "include @\n", "", "is a directory", 2},
        {"", "include @/fifo\n", "", "is not a regular file", 2},
        {"", "include @/big.kr\n", "", "is larger than 16 MiB", 2},
        {"/dev/zero", "frames 1\n", "", "/dev/zero: cannot read script: is not a regular file", 2},
        {"@", "frames 1\n", "", "bad_inputs: cannot read script: is a directory", 2},
        {"@/nosuch.kr", "frames 1\n", "", "bad_inputs/nosuch.kr: cannot read script: no such file", 2},
        {"--panel /dev/zero", "frames 1\n", "", "/dev/zero: cannot read panel file: is not a regular file", 2},
        // options
        {"--bogus", "frames 1\n", "", "panelhost: unknown option --bogus", 2},
        {"-x", "frames 1\n", "", "panelhost: unknown option -x", 2},
        {"--fps x", "frames 1\n", "", "panelhost: --fps needs a number from 1 to 1000", 2},
        {"", "panel @\n", "", "test.kr:1: bad panel file: ", 2},
        // panel mistakes, named by the file the user gave
        {"--panel @/bad.cfg", "frames 1\n", "[WindowXX]\nident=1\n",
         "bad.cfg:1: window section needs a number: [WindowXX]", 2},
        {"--panel @/bad.cfg", "frames 1\n", "[Window]\nident=1\n", "bad.cfg:1: window section needs a number", 2},
        {"--panel @/bad.cfg", "frames 1\n", "[]\nident=1\n", "bad.cfg:1: empty section name", 2},
        {"--panel @/bad.cfg", "frames 1\n", "[Window00]\nident=10010\n[Window01]\nident=10010\n",
         "bad.cfg:4: window ident 10010 already used at line 2", 2},
        {"--panel @/bad.cfg", "frames 1\n", std::string("[Window00]\nident=1\n") + kGauge + kGauge,
         "bad.cfg:4: gauge00= given twice (first at line 3)", 2},
        {"--panel @/bad.cfg", "frames 1\n", "[Window00]\nident=1\nvisible=1\nident=2\n",
         "bad.cfg:4: ident= given twice", 2},
        {"--panel @/bad.cfg", "frames 1\n", "[Window00]\nident=1\ngauge00=ketravin!testgauge2k, 0, 0, 10, tall\n",
         "bad.cfg:3: gauge height is not a number", 2},
        {"--panel @/bad.cfg", "frames 1\n", "[Window00]\nident=1\ngauge00=ketravin!testgauge2k, 0, 0, 10, 5, 1\n",
         "bad.cfg:3: gauge line needs", 2},
        {"--panel @/bad.cfg", "frames 1\n", "[Window00]\nident=10010\nvisible=1\ngauge00=ketravin!nothing, 0, 0\n",
         "bad.cfg:4: unknown gauge", 2},
        {"--panel @/bad.cfg", "frames 1\n", "[Window00]\nvisible=1\n", "bad.cfg:1: window section without ident=", 2},
        {"--panel @/bad.cfg", "frames 1\n", "[Window00]\nident=1\ngauge00=other!testgauge2k, 0, 0\n",
         "bad.cfg:3: gauge is not from the ketravin module", 2},
        // what the run would find: the check knows what is placed at each line
        {"", "remove \"testgauge2k\"\n", "", "test.kr:1: gauge \"testgauge2k\" is not placed here", 2},
        {"", "frames 1\nremove \"testgauge2k\"\nremove \"testgauge2k\"\n", "",
         "test.kr:3: gauge \"testgauge2k\" is not placed", 2},
        {"", "place \"testgauge2k\"\nremove \"testgauge2k\"\nclick \"testgauge2k\" 1 1\n", "", "test.kr:3: gauge", 2},
        {"", "place \"testgauge2k\"\nshow gauge \"ketravin elec_batt_kr60\"\n", "", "test.kr:2: gauge", 2},
        {"--panel @/bad.cfg", "place all\nclick \"testgauge2k\" 1 1\n", "[Window00]\nident=1\n", "test.kr:2: gauge", 2},
        {"--panel @/bad.cfg", "window open 1\npanel " KR_SOURCE_DIR "/panels/default.cfg\nwindow open 1\n",
         "[Window00]\nident=1\n", "test.kr:3: no window 1 in the panel in use (" KR_SOURCE_DIR "/panels/default.cfg)", 2},
        // control bytes are shown escaped
        {"", std::string("fr\0ames 1\n", 10), "", "test.kr:1: unknown command \"fr\\x00ames\"", 2},
        {"", "show gauge \"a\tb\"\n", "", "unknown gauge \"a\\x09b\"", 2},
        {"", "order sideways\n", "", "usage: order forward|reverse", 2},
        {"", "show calc (A:X,Bool)\n", "", "usage: show calc \"EXPR\"", 2},
        {"", "show tooltips \"nothing\"\n", "", "unknown gauge \"nothing\"", 2},
        // a click beside every area warns and the run goes on (the box ends at x 37)
        {"", "click \"testgauge2k\" 37 16\nclick \"testgauge2k\" 38 16 left right\nclick \"testgauge2k\" 25 5\n"
             "expect var debug_readout_index 3\n",
         "", "test.kr:2: click at 38,16 hits no area of \"testgauge2k\"", 0},
        // the sound file cannot be written
        {"--sound-out /dev/full", "frames 2\n", "", "panelhost: cannot write /dev/full", 3},
        {"--sound-out @/no/such/folder.wav", "frames 2\n", "", "cannot write", 2},
    };
    auto here = [&](std::string s) {
        for (size_t at; (at = s.find('@')) != std::string::npos;) s.replace(at, 1, dir);
        return s;
    };
    for (const Case& c : cases) {
        if (!c.panel.empty()) std::ofstream(dir + "/bad.cfg") << c.panel;
        const HostRun r = run_script(here(c.script), here(c.args));
        const std::string what = c.args + " " + c.script;
        EXPECT_EQ(r.status, c.status) << what;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << what << " -> " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << ": one line: " << r.err;
        EXPECT_EQ(r.err.find("default panel"), std::string::npos) << r.err;
        if (c.status == 2) {
            EXPECT_EQ(r.out, "") << what << ": nothing runs";
        }
    }
}

// What a full panel configuration carries beyond what the host uses stays accepted, a
// byte-order mark is skipped in panels and scripts, and a script's panel is found beside it.
TEST(Script, FullPanelFilesAndPathsFromTheScriptsFolder) {
    const std::string dir = temp_dir() + "/full";
    ASSERT_EQ(std::system(("mkdir -p " + dir + "/inner").c_str()), 0);
    const std::string panel =
        "\xEF\xBB\xBF[Window Titles]\nWindow00=Main panel\n"
        "[Window00]\nfile=main.bmp\nsize_mm=1024,768\nposition=0\nzorder=1\nbackground_color=0,0,0\n"
        "window_size_ratio=1.0\nvisible=1\nident=10010\ngauge00=ketravin!testgauge2k, 0, 0, 100, 50\n"
        "[VIEWS]\nVIEW_FORWARD_WINDOWS=MAIN_PANEL\n[Default View]\nX=0\n[Color]\nDay=255,255,255\n"
        "[Vcockpit01]\ngauge00=other!dial, 0, 0\n";
    std::ofstream(dir + "/p.cfg") << panel;
    std::ofstream(dir + "/inner/p.cfg") << "[Window00]\nident=10520\nvisible=1\n";
    std::ofstream(dir + "/inner/inner.kr") << "panel p.cfg\nshow windows\n";
    std::ofstream(dir + "/main.kr") << "\xEF\xBB\xBFpanel p.cfg\nframes 1\nshow windows\nremove \"testgauge2k\"\n"
                                     "include inner/inner.kr\n";
    const HostRun r = run_script("show windows\n", dir + "/main.kr");  // run from the source folder
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "windows 10010\nwindows 10520\nwindows 10520\n");
}

// The help names every command the check pass knows; --help wins over the other arguments.
TEST(Script, HelpListsEveryCommandOnStandardOutput) {
    const char* kCommands[] = {
        "panel FILE", "include FILE", "place all", "remove \"GAUGE\"", "fps N", "frames N | seconds S",
        "order forward|reverse", "set token ", "set calc ", "set var ", "set block ", "click \"GAUGE\" X Y",
        "window open|close|toggle", "show gauge ", "show tooltips ", "show var ", "show token ", "show calc ",
        "show keys", "show sounds", "show windows", "show block ", "expect var ", "expect token ",
    };
    for (const char* arg : {"--help", "-h", "--bogus --help"}) {
        const HostRun r = run_script("frames 1\n", arg);
        EXPECT_EQ(r.status, 0) << arg;
        EXPECT_EQ(r.err, "") << arg;
        EXPECT_EQ(r.out.rfind("usage: panelhost [--panel FILE] [--fps N] [--sound-out FILE] SCRIPT...\n", 0), 0u)
            << r.out;
        for (const char* c : kCommands) EXPECT_NE(r.out.find(std::string("\n  ") + c), std::string::npos) << c;
    }
}

TEST(Script, SoundFileIsLeftAsItWasUnlessTheRunGoesThrough) {
    const std::string dir = temp_dir() + "/sound";
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    const std::string wav = dir + "/keep.wav", before = "a good recording, byte for byte";
    std::ofstream(wav) << before;
    HostRun r = run_script("frames 10\nfrmaes 1\n", "--sound-out " + wav);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(slurp(wav), before);
    r = run_script("frames 10\n", "--sound-out " + wav);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(wav).compare(0, 4, "RIFF"), 0);
    EXPECT_EQ(std::system(("test $(ls " + dir + " | wc -l) -eq 1").c_str()), 0) << "no file left beside it";
}

TEST(Script, CalculatorValuesTooltipsAndGaugeOrder) {
    const HostRun r = run_script(
        "set token 4001 1\n"
        "show calc \"(E:TIME OF DAY,Enum)\"\n"
        "set calc \"(E:TIME OF DAY,Enum)\" 3\n"
        "set token 4001 2\n"
        "show calc \"(E:TIME OF DAY,Enum)\"\n"
        "show calc \"(A:NOTHING KNOWN,Bool)\"\n"
        "show calc \"(A:TOTAL WEIGHT, Pound)\"\n"
        "show tooltips \"ketravin toggle_pan_fe_kr60\"\n"
        "show tooltips \"ketravin toggle_pan_gps_kr60\"\n"
        "order reverse\n"
        "frames 2\n"
        "order forward\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "calc \"(E:TIME OF DAY,Enum)\" = 1\n"
              "calc \"(E:TIME OF DAY,Enum)\" = 3\n"
              "calc \"(A:NOTHING KNOWN,Bool)\" = 0\n"
              "calc \"(A:TOTAL WEIGHT, Pound)\" = 0\n"
              "tooltips \"ketravin toggle_pan_fe_kr60\"\n"
              "  RECT 0 0 0 0 \"display/hide flight engineer panel\"\n"
              "tooltips \"ketravin toggle_pan_gps_kr60\"\n");
}

TEST(Script, IncludesRunInPlaceAndFramesBeforePlacePlaceTheWholePanel) {
    const std::string dir = temp_dir();
    std::ofstream(dir + "/inner.kr") << "click \"testgauge2k\" 25 5\n";
    const HostRun r = run_script("frames 1\ninclude inner.kr\ninclude inner.kr\nexpect var debug_readout_index 3\n");
    EXPECT_EQ(r.status, 0) << r.err;
}
