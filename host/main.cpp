// panelhost: runs scripts against the module in a headless stand-in for the simulator.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/module_link.h"
#include "host/parse.h"
#include "host/script.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
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

#if !defined(_WIN32)
// Where the sound is written first: a regular file (or a new one) is written beside itself and
// put in place only when the run went through, so that a failed run leaves it as it was; a
// device or pipe is written directly.
std::string sound_staging_path(const std::string& target) {
    struct stat st {};
    if (stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return target;
    return target + ".partial-" + std::to_string(getpid());
}
#endif

const char kUsage[] = "usage: panelhost [--panel FILE] [--fps N] [--sound-out FILE] SCRIPT...\n";

// What --help prints: the options, then every script command, one line each.
const char kHelp[] =
    "Runs each SCRIPT in turn (- reads standard input) against the ketravin gauges in a headless host.\n"
    "  --panel FILE        panel configuration (default panels/default.cfg)\n"
    "  --fps N             frame rate, 1 to 1000 (default 18)\n"
    "  --sound-out FILE    mix every sound the cockpit played into a WAV file\n"
    "  -h, --help          print this help\n"
    "Script commands, one a line; # starts a comment; gauge names and expressions in double quotes:\n"
    "  panel FILE                          use this panel configuration (path relative to the script)\n"
    "  include FILE                        run another script's commands here (path relative to the script)\n"
    "  place all | place \"GAUGE\"...        place gauges (the install service is sent)\n"
    "  remove \"GAUGE\"                      kill service, then remove\n"
    "  fps N                               frame rate (default 18)\n"
    "  frames N | seconds S                run frames\n"
    "  order forward|reverse               order the gauges are called in each frame\n"
    "  set token ID|tok_NAME VALUE         host variable\n"
    "  set calc \"EXPR\" VALUE               value a calculator expression answers from now on\n"
    "  set var NAME[I]|NAME VALUE          module shared variable (a whole array without an index)\n"
    "  set block \"NAME\" OFFSET TYPE VALUE  write into a named data block\n"
    "  click \"GAUGE\" X Y [left|right|move|drag|repeat]...  mouse event at gauge pixel X,Y (default left)\n"
    "  window open|close|toggle IDENT      show, hide or flip a window of the panel\n"
    "  show gauge \"GAUGE\"                  elements of a placed gauge\n"
    "  show tooltips \"GAUGE\"               tooltips of a gauge, placeholders filled\n"
    "  show var NAME[I]|NAME               module shared variable\n"
    "  show token ID|tok_NAME              host variable\n"
    "  show calc \"EXPR\"                    what the module reads for a calculator expression\n"
    "  show keys                           key events since the last show keys\n"
    "  show sounds                         sound calls since the last show sounds\n"
    "  show windows                        windows shown\n"
    "  show block \"NAME\" OFFSET TYPE       read a named data block\n"
    "  expect var NAME[I] VALUE [TOL]      stop with exit status 1 unless the variable holds VALUE\n"
    "  expect token ID|tok_NAME VALUE [TOL]  stop with exit status 1 unless the token holds VALUE\n"
    "Exit status: 0 all ran; 1 an expect failed or a mouse callback answered non-zero; 2 a bad script,\n"
    "panel or option (nothing runs); 3 the --sound-out file could not be written.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    // Same bytes as the Linux readout: no CRLF translation.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::string panel, sound_out;
    bool panel_given = false;
    double fps = 18.0;
    std::vector<std::string> scripts;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool takes_value = a == "--panel" || a == "--fps" || a == "--sound-out";
        if (takes_value && i + 1 == argc) {
            std::fprintf(stderr, "panelhost: %s needs a value\n", a.c_str());
            return 2;
        }
        if (takes_value) {
            const std::string v = argv[++i];
            if (a == "--panel") panel = v, panel_given = true;
            else if (a == "--sound-out") sound_out = v;
            else if (!parse_f64(v, fps) || !(fps >= 1.0 && fps <= 1000.0)) {
                std::fprintf(stderr, "panelhost: --fps needs a number from 1 to 1000\n");
                return 2;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "panelhost: unknown option %s\n", printable(a).c_str());
            return 2;
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
        std::fprintf(stderr, "panelhost: %s\n", printable(error).c_str());
        return 2;
    }
#if defined(_WIN32)
    if (!sound_out.empty()) std::fprintf(stderr, "panelhost: --sound-out needs the Linux build; ignored\n");
    sound_out.clear();
#endif
    std::string staging;
    bool sound_ok = true;
    int status = 0;
    {
        Host host(link);
        host.set_fps(fps);
        ScriptRunner runner(host, stdout);
        runner.set_default_panel(panel);
        // The panel the user named and every script are read and checked before anything runs.
        ScriptResult r;
        if (panel_given) r = runner.check_default_panel();
        std::vector<std::vector<ScriptCommand>> loaded(scripts.size());
        for (size_t i = 0; i < scripts.size() && !r.status; ++i) r = runner.load(scripts[i], loaded[i]);
#if !defined(_WIN32)
        // What the module plays is mixed into this file (the recording sound device).
        if (!r.status && !sound_out.empty()) {
            staging = sound_staging_path(sound_out);
            if (!sound_recording_open_output(staging.c_str())) {
                std::fprintf(stderr, "panelhost: cannot write %s\n", printable(sound_out).c_str());
                return 2;  // like any other bad input: nothing has run
            }
        }
#endif
        for (size_t i = 0; i < scripts.size() && !r.status; ++i) r = runner.run(loaded[i]);
        std::fflush(stdout);
        if (r.status) {
            std::fprintf(stderr, "%s\n", printable(r.message).c_str());
            status = r.status;
        }
    }
#if !defined(_WIN32)
    if (!staging.empty()) {
        // After the kills: every sound has stopped.
        sound_ok = sound_recording_close_output();
        if (sound_ok && status != 2 && staging != sound_out && std::rename(staging.c_str(), sound_out.c_str()) != 0)
            sound_ok = false;
        if (staging != sound_out && (!sound_ok || status == 2)) std::remove(staging.c_str());
        if (!sound_ok) {
            std::fprintf(stderr, "panelhost: cannot write %s\n", printable(sound_out).c_str());
            if (status == 0) status = 3;
        }
    }
#endif
    (void)sound_ok;
    return status;
}
