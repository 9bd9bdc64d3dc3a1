// panelhost: runs scripts against the module in a headless stand-in for the simulator.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/module_link.h"
#include "host/script.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>

#include "sound/recording.h"
#endif

namespace {
std::string exe_dir(const char* argv0) {
#if defined(_WIN32)
    char buf[1024];
    const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string p = n ? std::string(buf, n) : std::string(argv0);
#else
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string p = n > 0 ? std::string(buf, size_t(n)) : std::string(argv0);
#endif
    const size_t slash = p.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : p.substr(0, slash);
}

bool exists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

int usage() {
    std::fprintf(stderr, "usage: panelhost [--panel FILE] [--fps N] [--sound-out FILE] SCRIPT...\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    // Same bytes as the Linux readout: no CRLF translation.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::string panel, sound_out;
    double fps = 18.0;
    std::vector<std::string> scripts;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--panel" || a == "--fps" || a == "--sound-out") && i + 1 < argc) {
            const std::string v = argv[++i];
            if (a == "--panel") panel = v;
            else if (a == "--sound-out") sound_out = v;
            else if (!parse_f64(v, fps) || !(fps >= 1.0 && fps <= 1000.0)) {
                std::fprintf(stderr, "panelhost: --fps needs a number from 1 to 1000\n");
                return 2;
            }
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return usage();
        } else {
            scripts.push_back(a);
        }
    }
    if (scripts.empty()) return usage();

    const std::string dir = exe_dir(argv[0]);
    if (panel.empty()) {
        panel = "panels/default.cfg";
        if (!exists(panel)) {
            for (const std::string& c : {dir + "/panels/default.cfg", dir + "/../panels/default.cfg"})
                if (exists(c)) {
                    panel = c;
                    break;
                }
        }
    }

    ModuleLink link;
    std::string error;
    if (!link_module(dir + "/ketravin.dll", link, error)) {
        std::fprintf(stderr, "panelhost: %s\n", error.c_str());
        return 2;
    }
    // What the module plays is mixed into this file (Linux: the recording sound device).
    if (!sound_out.empty()) {
#if defined(_WIN32)
        std::fprintf(stderr, "panelhost: --sound-out needs the Linux build; ignored\n");
#else
        if (!sound_recording_open_output(sound_out.c_str())) {
            std::fprintf(stderr, "panelhost: cannot write %s\n", sound_out.c_str());
            return 2;
        }
#endif
    }
    int status = 0;
    {
        Host host(link);
        host.set_fps(fps);
        ScriptRunner runner(host, stdout);
        runner.set_default_panel(panel);
        // Every script is read and checked before the first one runs.
        std::vector<std::vector<ScriptCommand>> loaded(scripts.size());
        ScriptResult r;
        for (size_t i = 0; i < scripts.size() && !r.status; ++i) r = runner.load(scripts[i], loaded[i]);
        for (size_t i = 0; i < scripts.size() && !r.status; ++i) r = runner.run(loaded[i]);
        std::fflush(stdout);
        if (r.status) {
            std::fprintf(stderr, "%s\n", r.message.c_str());
            status = r.status;
        }
    }
#if !defined(_WIN32)
    sound_recording_close_output();  // after the kills: every sound has stopped
#endif
    return status;
}
