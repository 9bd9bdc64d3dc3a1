#include "host/panel_config.h"

#include <sstream>

#include "host/parse.h"

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

// What a section header names.
enum class Section { Window, Other, Bad };
Section classify(const std::string& name, std::string& why) {
    if (name.empty()) {
        why = "empty section name []";
        return Section::Bad;
    }
    if (!starts_with_ci(name, "window")) return Section::Other;
    const std::string rest = name.substr(6);
    // "[Window Titles]" and the like belong to the simulator; "[Window]" and "[WindowXX]"
    // are window sections gone wrong, whose gauges would silently be lost.
    if (!rest.empty() && (rest[0] == ' ' || rest[0] == '\t')) return Section::Other;
    u32 n;
    if (rest.empty() || !parse_u32(rest, n) || rest.compare(0, 2, "0x") == 0 || rest.compare(0, 2, "0X") == 0) {
        why = "window section needs a number: [" + name + "]";
        return Section::Bad;
    }
    return Section::Window;
}
}  // namespace

bool parse_panel(const std::string& path, const std::string& text_in, bool (*gauge_exists)(const std::string&),
                 PanelConfig& out, std::string& error) {
    std::string text = text_in;
    skip_bom(text);
    PanelConfig cfg;
    cfg.path = path;
    std::istringstream in(text);
    std::string raw;
    int line_no = 0;
    int current = -1;  // index into cfg.windows, -1 outside a window section
    int section_line = 0;
    // Per window section: where ident= and visible= stood, and the gauge slots used.
    int ident_line = 0, visible_line = 0;
    std::vector<std::pair<u32, int>> slots;
    std::vector<int> window_lines;  // line of each window's ident=
    std::vector<PanelGauge> section_gauges;
    auto fail = [&](const std::string& what) {
        error = path + ":" + std::to_string(line_no) + ": " + what;
        return false;
    };
    auto close_section = [&]() -> bool {
        if (current < 0) return true;
        if (!ident_line) return false;
        for (PanelGauge& g : section_gauges) {
            g.window = cfg.windows[size_t(current)].ident;
            cfg.gauges.push_back(g);
        }
        section_gauges.clear();
        return true;
    };
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
            ident_line = visible_line = 0;
            slots.clear();
            section_line = line_no;
            std::string why;
            switch (classify(name, why)) {
                case Section::Bad: return fail(why);
                case Section::Window:
                    cfg.windows.push_back(PanelWindow{});
                    window_lines.push_back(0);
                    current = int(cfg.windows.size()) - 1;
                    break;
                case Section::Other: break;
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
            if (ident_line) return fail("ident= given twice (first at line " + std::to_string(ident_line) + ")");
            if (!parse_u32(value, w.ident)) return fail("ident is not a number: \"" + value + "\"");
            for (size_t i = 0; i + 1 < cfg.windows.size(); ++i)
                if (cfg.windows[i].ident == w.ident)
                    return fail("window ident " + value + " already used at line " + std::to_string(window_lines[i]));
            ident_line = line_no;
            window_lines.back() = line_no;
        } else if (key == "visible") {
            if (visible_line) return fail("visible= given twice (first at line " + std::to_string(visible_line) + ")");
            u32 v;
            if (!parse_u32(value, v) || v > 1) return fail("visible must be 0 or 1: \"" + value + "\"");
            w.visible = v == 1;
            visible_line = line_no;
        } else if (starts_with_ci(key, "gauge")) {
            u32 slot;
            if (!parse_u32(key.substr(5), slot)) return fail("bad gauge key \"" + key + "\"");
            for (const auto& s : slots)
                if (s.first == slot)
                    return fail(key + "= given twice (first at line " + std::to_string(s.second) + ")");
            slots.emplace_back(slot, line_no);
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
            if (parts.size() >= 5 && !parse_i32(parts[4], g.h)) return fail("gauge height is not a number");
            section_gauges.push_back(g);
        }
        // other window keys (file, size_mm, position, zorder, colours) only matter to a real simulator
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
    std::string text, why;
    if (!read_text_file(path, text, why)) {
        error = path + ": cannot read panel file: " + why;
        return false;
    }
    return parse_panel(path, text, gauge_exists, out, error);
}
