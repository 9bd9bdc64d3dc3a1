#include "host/panel_config.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return s.substr(b, e - b);
}

bool read_file(const std::string& path, std::string& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::ostringstream ss;
    ss << f.rdbuf();
    if (f.bad()) return false;
    out = ss.str();
    return true;
}

bool parse_f64(const std::string& s, f64& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const f64 v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size()) return false;
    out = v;  // overflow gives an infinity, which scripts may use on purpose
    return true;
}

bool parse_u32(const std::string& s, u32& out) {
    if (s.empty() || s.size() > 12) return false;
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    u64 v = 0;
    for (size_t i = hex ? 2 : 0; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * (hex ? 16 : 10) + u64(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    out = u32(v);
    return true;
}

bool parse_i32(const std::string& s, i32& out) {
    if (s.empty()) return false;
    const bool neg = s[0] == '-';
    u32 mag;
    if (!parse_u32(neg || s[0] == '+' ? s.substr(1) : s, mag)) return false;
    if (neg ? mag > 0x80000000u : mag > 0x7FFFFFFFu) return false;
    out = neg ? i32(-i64(mag)) : i32(mag);
    return true;
}

namespace {
std::vector<std::string> split_commas(const std::string& s) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (c == ',') {
            parts.push_back(trim(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(trim(cur));
    return parts;
}

bool starts_with_ci(const std::string& s, const char* prefix) {
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= s.size()) return false;
        char a = s[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = char(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}
}  // namespace

bool parse_panel(const std::string& path, const std::string& text, bool (*gauge_exists)(const std::string&),
                 PanelConfig& out, std::string& error) {
    PanelConfig cfg;
    cfg.path = path;
    std::istringstream in(text);
    std::string raw;
    int line_no = 0;
    int current = -1;  // index into cfg.windows, -1 outside a window section
    bool ident_seen = false;
    std::vector<PanelGauge> section_gauges;
    auto fail = [&](const std::string& what) {
        error = path + ":" + std::to_string(line_no) + ": " + what;
        return false;
    };
    auto close_section = [&]() -> bool {
        if (current < 0) return true;
        if (!ident_seen) return false;
        for (PanelGauge& g : section_gauges) {
            g.window = cfg.windows[size_t(current)].ident;
            cfg.gauges.push_back(g);
        }
        section_gauges.clear();
        return true;
    };
    int section_line = 0;
    while (std::getline(in, raw)) {
        ++line_no;
        const std::string line = trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#' || (line.size() > 1 && line[0] == '/' && line[1] == '/'))
            continue;
        if (line[0] == '[') {
            if (line.back() != ']') return fail("section header without ']'");
            if (!close_section()) {
                line_no = section_line;
                return fail("window section without ident=");
            }
            const std::string name = trim(line.substr(1, line.size() - 2));
            current = -1;
            ident_seen = false;
            section_line = line_no;
            if (starts_with_ci(name, "window") && name.size() > 6) {
                u32 n;
                if (parse_u32(name.substr(6), n)) {
                    cfg.windows.push_back(PanelWindow{});
                    current = int(cfg.windows.size()) - 1;
                }
            }
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) return fail("expected key=value, got \"" + line + "\"");
        const std::string key = trim(line.substr(0, eq));
        const std::string value = trim(line.substr(eq + 1));
        if (current < 0) continue;  // other sections (titles, views) are the simulator's business
        PanelWindow& w = cfg.windows[size_t(current)];
        if (key == "ident") {
            if (!parse_u32(value, w.ident)) return fail("ident is not a number: \"" + value + "\"");
            ident_seen = true;
        } else if (key == "visible") {
            u32 v;
            if (!parse_u32(value, v) || v > 1) return fail("visible must be 0 or 1: \"" + value + "\"");
            w.visible = v == 1;
        } else if (starts_with_ci(key, "gauge")) {
            u32 slot;
            if (!parse_u32(key.substr(5), slot)) return fail("bad gauge key \"" + key + "\"");
            const std::vector<std::string> parts = split_commas(value);
            if (parts.size() < 3 || parts.size() > 5) return fail("gauge line needs MODULE!NAME, x, y[, w[, h]]");
            const size_t bang = parts[0].find('!');
            if (bang == std::string::npos || parts[0].substr(0, bang) != "ketravin")
                return fail("gauge is not from the ketravin module: \"" + parts[0] + "\"");
            PanelGauge g;
            g.name = parts[0].substr(bang + 1);
            if (!gauge_exists(g.name)) {
                const std::string prefixed = "ketravin " + g.name;
                if (!gauge_exists(prefixed)) return fail("unknown gauge \"" + g.name + "\"");
                g.name = prefixed;
            }
            if (!parse_i32(parts[1], g.x) || !parse_i32(parts[2], g.y))
                return fail("gauge position is not a number");
            if (parts.size() >= 4 && !parse_i32(parts[3], g.w)) return fail("gauge width is not a number");
            section_gauges.push_back(g);
        }
        // other window keys (size, position, background) only matter to a real simulator
    }
    if (!close_section()) {
        line_no = section_line;
        return fail("window section without ident=");
    }
    out = std::move(cfg);
    return true;
}

bool load_panel(const std::string& path, bool (*gauge_exists)(const std::string&), PanelConfig& out,
                std::string& error) {
    std::string text;
    if (!read_file(path, text)) {
        error = path + ":0: cannot read panel file";
        return false;
    }
    return parse_panel(path, text, gauge_exists, out, error);
}
