// Fuzz target: the panel-configuration reader and the script reader with its check pass, on
// arbitrary bytes. The input is a panel file, a line "%%", then a script; without that line the
// whole input goes to both readers. Scripts are only checked, never run. A reader must answer
// with a panel whose gauges sit in its windows, or with one printable line and exit status 2.
// fuzz-cmake-target: script_fuzz
// fuzz-seeds: panels/default.cfg scenarios/demo.kr scenarios/apu_start.kr scenarios/aural_warnings.kr
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/module_link.h"
#include "host/parse.h"
#include "host/script.h"

namespace {
Host* g_host = nullptr;

bool gauge_exists(const std::string& name) { return g_host->find_gauge(name) != nullptr; }

bool one_printable_line(const std::string& s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t length) {
    static ModuleLink link;
    if (!g_host) {
        std::string error;
        if (!link_module("", link, error)) __builtin_trap();
        g_host = new Host(link);
    }
    const std::string input(reinterpret_cast<const char*>(bytes), length);
    const size_t split = input.find("\n%%\n");
    const std::string panel_text = split == std::string::npos ? input : input.substr(0, split);
    const std::string script_text = split == std::string::npos ? input : input.substr(split + 4);

    PanelConfig panel;
    std::string error;
    if (parse_panel("fuzz.cfg", panel_text, gauge_exists, panel, error)) {
        for (const PanelGauge& g : panel.gauges) {
            bool found = false;
            for (const PanelWindow& w : panel.windows) found = found || w.ident == g.window;
            if (!found || !g_host->find_gauge(g.name)) __builtin_trap();
        }
        for (size_t i = 0; i < panel.windows.size(); ++i)
            for (size_t k = i + 1; k < panel.windows.size(); ++k)
                if (panel.windows[i].ident == panel.windows[k].ident) __builtin_trap();
    } else if (error.compare(0, 9, "fuzz.cfg:") != 0 || !one_printable_line(printable(error))) {
        __builtin_trap();
    }

    // Scripts name files relative to a folder that does not exist: includes and panels fail.
    ScriptRunner runner(*g_host, stdout);
    runner.set_default_panel("panels/default.cfg");
    std::vector<ScriptCommand> commands;
    const ScriptResult r = runner.load_text("/nonexistent/fuzz.kr", script_text, commands);
    if (r.status != 0 && (r.status != 2 || !one_printable_line(r.message))) __builtin_trap();
    return 0;
}
