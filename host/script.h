// The host's script language: one command a line, read whole (with its includes) and checked
// before anything runs, then run against a Host. The check follows what each command will
// find (the panel in use, the gauges placed), so that a script it accepts runs to its end or
// to a failed expect.
#pragma once
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/host.h"

struct ScriptCommand {
    std::string file;
    int line = 0;
    std::vector<std::string> words;  // quoted words arrive without their quotes
    std::vector<bool> quoted;
    int panel = -1;  // panel: the checked configuration it uses
};

struct ScriptResult {
    int status = 0;  // 0 ok, 1 an expect failed or a mouse callback answered non-zero, 2 a bad script or panel file
    std::string message;
};

class ScriptRunner {
public:
    // Readouts go to `out`; warnings (the run goes on) to `err`.
    ScriptRunner(Host& host, std::FILE* out, std::FILE* err = stderr) : host_(host), out_(out), err_(err) {}

    // Reads and checks a script (path "-" reads standard input); runs nothing. Scripts are
    // checked in the order they will run, each knowing what the ones before it leave.
    ScriptResult load(const std::string& path, std::vector<ScriptCommand>& commands);
    ScriptResult load_text(const std::string& name, const std::string& text, std::vector<ScriptCommand>& commands);
    ScriptResult run(const std::vector<ScriptCommand>& commands);
    // Loads then runs.
    ScriptResult run_file(const std::string& path);

    // The panel used when a script names none.
    void set_default_panel(const std::string& path) { default_panel_ = path; }
    // Reads the default panel now (a panel the user named is checked before any script).
    ScriptResult check_default_panel();

private:
    // What the check knows of the run so far.
    struct Expected {
        int panel = -1;  // index into panels_, -1 before any panel is in use
        bool placed_by_script = false;
        u64 placed_count = 0;
        std::map<const GaugeHeader*, u64> placed;
    };

    ScriptResult parse(const std::string& name, std::string text, int depth, std::vector<ScriptCommand>& commands);
    ScriptResult check(ScriptCommand& c, int depth, std::vector<ScriptCommand>& commands);
    ScriptResult execute(const ScriptCommand& c);
    void expect_placed_all();
    void ensure_panel();
    void ensure_placed();
    void show_sounds();

    Host& host_;
    std::FILE* out_;
    std::FILE* err_;
    std::string default_panel_ = "panels/default.cfg";
    std::vector<PanelConfig> panels_;  // every panel the scripts use, read once when checked
    int default_panel_index_ = -1;
    Expected expected_;
    size_t commands_checked_ = 0;
    bool panel_loaded_ = false;
    bool placed_by_script_ = false;
    u64 keys_shown_ = 0;
    u64 sounds_shown_ = 0;
};
