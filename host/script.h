// The host's script language: one command a line, read whole (with its includes) and checked
// before anything runs, then run against a Host.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "host/host.h"

struct ScriptCommand {
    std::string file;
    int line = 0;
    std::vector<std::string> words;  // quoted words arrive without their quotes
    std::vector<bool> quoted;
};

struct ScriptResult {
    int status = 0;  // 0 ok, 1 an expect failed, 2 a bad script
    std::string message;
};

class ScriptRunner {
public:
    ScriptRunner(Host& host, std::FILE* out) : host_(host), out_(out) {}

    // Reads and checks a script (path "-" reads standard input); runs nothing.
    ScriptResult load(const std::string& path, std::vector<ScriptCommand>& commands);
    ScriptResult load_text(const std::string& name, const std::string& text, std::vector<ScriptCommand>& commands);
    ScriptResult run(const std::vector<ScriptCommand>& commands);
    // Loads then runs.
    ScriptResult run_file(const std::string& path);

    // The panel used when a script names none.
    void set_default_panel(const std::string& path) { default_panel_ = path; }

private:
    ScriptResult parse(const std::string& name, const std::string& text, int depth,
                       std::vector<ScriptCommand>& commands);
    ScriptResult check(const ScriptCommand& c, int depth, std::vector<ScriptCommand>& commands);
    ScriptResult execute(const ScriptCommand& c);
    bool ensure_panel(ScriptResult& r, const ScriptCommand& c);
    void ensure_placed();
    void show_sounds();

    Host& host_;
    std::FILE* out_;
    std::string default_panel_ = "panels/default.cfg";
    bool panel_loaded_ = false;
    bool placed_by_script_ = false;
    u64 keys_shown_ = 0;
    u64 sounds_shown_ = 0;
};
