#include "host/script.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <sstream>

#include "host/blocks.h"
#include "host/parse.h"
#include "module/tokens.h"
#if !defined(_WIN32)
#include "sound/recording.h"
#endif

namespace {
constexpr int kMaxIncludeDepth = 16;
// Includes repeated inside includes could otherwise grow a script without bound.
constexpr size_t kMaxCommands = 1000000;

// Host token names come from the module's own list of records.
struct TokenName {
    const char* name;
    u32 id;
};
const TokenName kTokens[] = {
#define KR_TOKEN(name, id) {#name, id},
#include "module/tokens.def"
#undef KR_TOKEN
};

Host* g_gauge_lookup_host = nullptr;
bool gauge_exists(const std::string& name) {
    return g_gauge_lookup_host && g_gauge_lookup_host->find_gauge(name) != nullptr;
}

std::string num(f64 v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

ScriptResult bad(const ScriptCommand& c, const std::string& what) {
    return ScriptResult{2, printable(c.file + ":" + std::to_string(c.line) + ": " + what)};
}

// Splits a line into words; double quotes group a word, '#' outside quotes starts a comment.
bool split_line(const std::string& line, std::vector<std::string>& words, std::vector<bool>& quoted,
                std::string& error) {
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        if (c == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string::npos) {
                error = "unterminated quoted text";
                return false;
            }
            words.push_back(line.substr(i + 1, end - i - 1));
            quoted.push_back(true);
            i = end + 1;
            continue;
        }
        size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r' && line[end] != '#')
            ++end;
        words.push_back(line.substr(i, end - i));
        quoted.push_back(false);
        i = end;
    }
    return true;
}

// NAME or NAME[I]
struct VarRef {
    const VarInfo* var = nullptr;
    bool indexed = false;
    u32 index = 0;
};
bool parse_var_ref(const Host& host, const std::string& text, VarRef& ref, std::string& error) {
    std::string name = text;
    const size_t open = text.find('[');
    if (open != std::string::npos) {
        if (text.back() != ']') {
            error = "malformed variable index in \"" + text + "\"";
            return false;
        }
        name = text.substr(0, open);
        if (!parse_u32(text.substr(open + 1, text.size() - open - 2), ref.index)) {
            error = "malformed variable index in \"" + text + "\"";
            return false;
        }
        ref.indexed = true;
    }
    const VarTable* tables = host.module().state;
    if (!tables) {
        error = "module variables cannot be reached in this build";
        return false;
    }
    for (const VarTable* t = tables; t->vars && !ref.var; ++t)
        for (u32 i = 0; i < t->count; ++i)
            if (name == t->vars[i].name) {
                ref.var = &t->vars[i];
                break;
            }
    if (!ref.var) {
        error = "unknown variable \"" + name + "\"";
        return false;
    }
    if (ref.indexed && (!ref.var->is_array || ref.index >= ref.var->count)) {
        error = "index " + std::to_string(ref.index) + " out of range for \"" + name + "\"";
        return false;
    }
    return true;
}

// Whether a variable of this type holds `v` as given: integers whole and within their type,
// f32 within its range (NaN and the infinities are values of both floating types). Empty when
// it does, else what the type holds.
std::string type_refuses(VarType type, f64 v) {
    struct Range {
        VarType type;
        const char* name;
        f64 lo, hi;
    };
    static const Range kRanges[] = {
        {VarType::U8, "u8", 0, 255},           {VarType::I8, "i8", -128, 127},
        {VarType::U16, "u16", 0, 65535},       {VarType::I16, "i16", -32768, 32767},
        {VarType::U32, "u32", 0, 4294967295.0}, {VarType::I32, "i32", -2147483648.0, 2147483647.0},
    };
    if (type == VarType::F64) return "";
    if (type == VarType::F32)
        return !std::isfinite(v) || std::fabs(v) <= FLT_MAX ? "" : "f32, at most " + num(FLT_MAX) + " in size";
    for (const Range& r : kRanges)
        if (r.type == type && !(v >= r.lo && v <= r.hi && v == std::floor(v)))
            return std::string(r.name) + ", whole numbers from " + num(r.lo) + " to " + num(r.hi);
    return "";
}

// A calculator expression the simulator could parse: not empty, its parentheses, brackets and
// braces closed in order, text in single quotes left as it is. Empty when it is, else why not.
std::string malformed_calc(const std::string& expr) {
    if (trim(expr).empty()) return "empty calculator expression";
    std::string open;
    for (size_t i = 0; i < expr.size(); ++i) {
        const char c = expr[i];
        if (c == '\'') {
            const size_t end = expr.find('\'', i + 1);
            if (end == std::string::npos) return "unterminated quote in calculator expression \"" + expr + "\"";
            i = end;
        } else if (c == '(' || c == '[' || c == '{') {
            open += c;
        } else if (c == ')' || c == ']' || c == '}') {
            const char want = c == ')' ? '(' : c == ']' ? '[' : '{';
            if (open.empty() || open.back() != want)
                return std::string("unbalanced '") + c + "' in calculator expression \"" + expr + "\"";
            open.pop_back();
        }
    }
    if (!open.empty())
        return std::string("unclosed '") + open.back() + "' in calculator expression \"" + expr + "\"";
    return "";
}

bool parse_token(const std::string& text, u32& id) {
    if (parse_u32(text, id)) return true;
    for (const TokenName& t : kTokens)
        if (text == t.name) {
            id = t.id;
            return true;
        }
    return false;
}

bool parse_event(const std::string& w, u32& flags) {
    if (w == "left") flags = MouseLeftSingle;
    else if (w == "right") flags = MouseRightSingle;
    else if (w == "move") flags = MouseMove;
    else if (w == "drag") flags = MouseDrag;
    else if (w == "repeat") flags = MouseLeftSingle | MouseRepeat;
    else return false;
    return true;
}
}  // namespace

ScriptResult ScriptRunner::load(const std::string& path, std::vector<ScriptCommand>& commands) {
    std::string text, why;
    const bool ok = path == "-" ? read_text_stream(stdin, text, why) : read_text_file(path, text, why);
    const std::string name = path == "-" ? "<stdin>" : path;
    if (!ok) return ScriptResult{2, printable(name + ": cannot read script: " + why)};
    return parse(name, std::move(text), 0, commands);
}

ScriptResult ScriptRunner::load_text(const std::string& name, const std::string& text,
                                     std::vector<ScriptCommand>& commands) {
    return parse(name, text, 0, commands);
}

ScriptResult ScriptRunner::check_default_panel() {
    if (default_panel_index_ >= 0) return ScriptResult{};
    PanelConfig cfg;
    std::string error;
    g_gauge_lookup_host = &host_;
    if (!load_panel(default_panel_, gauge_exists, cfg, error)) return ScriptResult{2, printable(error)};
    panels_.push_back(std::move(cfg));
    default_panel_index_ = int(panels_.size()) - 1;
    return ScriptResult{};
}

ScriptResult ScriptRunner::parse(const std::string& name, std::string text, int depth,
                                 std::vector<ScriptCommand>& commands) {
    skip_bom(text);
    std::istringstream in(text);
    std::string line;
    int line_no = 0;
    while (std::getline(in, line)) {
        ++line_no;
        ScriptCommand c;
        c.file = name;
        c.line = line_no;
        std::string error;
        if (!split_line(line, c.words, c.quoted, error)) return bad(c, error);
        if (c.words.empty()) continue;
        if (++commands_checked_ > kMaxCommands) return bad(c, "more than 1000000 commands");
        ScriptResult r = check(c, depth, commands);
        if (r.status) return r;
    }
    return ScriptResult{};
}

// Placing every gauge of the panel in use, as the run will.
void ScriptRunner::expect_placed_all() {
    if (expected_.panel < 0) return;
    for (const PanelGauge& pg : panels_[size_t(expected_.panel)].gauges)
        if (const GaugeHeader* g = host_.find_gauge(pg.name)) {
            ++expected_.placed[g];
            ++expected_.placed_count;
        }
}

// Checks one command completely, so that a bad script is refused before anything runs.
ScriptResult ScriptRunner::check(ScriptCommand& c, int depth, std::vector<ScriptCommand>& commands) {
    const auto& w = c.words;
    const std::string& cmd = w[0];
    const size_t n = w.size();
    auto args = [&](size_t lo, size_t hi) { return n - 1 >= lo && n - 1 <= hi; };
    g_gauge_lookup_host = &host_;
    auto gauge_ok = [&](size_t i, ScriptResult& r) {
        if (!c.quoted[i]) {
            r = bad(c, "gauge name must be in double quotes: " + w[i]);
            return false;
        }
        if (!host_.find_gauge(w[i])) {
            // Panel files name gauges without the module's prefix; scripts use the full name.
            const std::string full = "ketravin " + w[i];
            r = bad(c, "unknown gauge \"" + w[i] + "\"" +
                           (host_.find_gauge(full) ? "; did you mean \"" + full + "\"?" : std::string()));
            return false;
        }
        return true;
    };
    // The gauge must be placed when the command runs (frames and readouts place the panel).
    auto placed_ok = [&](size_t i, ScriptResult& r) {
        if (expected_.placed[host_.find_gauge(w[i])] > 0) return true;
        r = bad(c, "gauge \"" + w[i] + "\" is not placed here");
        return false;
    };
    auto expect_ensure_placed = [&]() {
        if (!expected_.placed_by_script && expected_.placed_count == 0) expect_placed_all();
        expected_.placed_by_script = true;
    };
    ScriptResult r;
    f64 f;
    u32 u;
    i32 s;
    std::string error;

    if (cmd == "include") {
        if (!args(1, 1)) return bad(c, "usage: include FILE");
        if (depth >= kMaxIncludeDepth) return bad(c, "includes nested too deeply");
        const std::string path = relative_to(c.file, w[1]);
        std::string text, why;
        if (!read_text_file(path, text, why)) return bad(c, "cannot read included file \"" + path + "\": " + why);
        return parse(path, std::move(text), depth + 1, commands);
    }
    if (cmd == "panel") {
        if (!args(1, 1)) return bad(c, "usage: panel FILE");
        PanelConfig cfg;
        if (!load_panel(relative_to(c.file, w[1]), gauge_exists, cfg, error))
            return bad(c, "bad panel file: " + error);
        panels_.push_back(std::move(cfg));
        c.panel = expected_.panel = int(panels_.size()) - 1;
        commands.push_back(c);
        return ScriptResult{};
    }
    // Every other command runs with a panel: the default one unless a script named one.
    if (expected_.panel < 0) {
        r = check_default_panel();
        if (r.status) return r;
        expected_.panel = default_panel_index_;
    }
    if (is_block_command(w)) {
        if (!block_command_check(host_, w, c.quoted, error)) return bad(c, error);
    } else if (cmd == "place") {
        if (n < 2) return bad(c, "usage: place all | place \"GAUGE\"...");
        if (n == 2 && w[1] == "all" && !c.quoted[1]) {
            expect_placed_all();
        } else {
            for (size_t i = 1; i < n; ++i)
                if (!gauge_ok(i, r)) return r;
            for (size_t i = 1; i < n; ++i) {
                ++expected_.placed[host_.find_gauge(w[i])];
                ++expected_.placed_count;
            }
        }
        expected_.placed_by_script = true;
    } else if (cmd == "remove") {
        if (!args(1, 1)) return bad(c, "usage: remove \"GAUGE\"");
        if (!gauge_ok(1, r) || !placed_ok(1, r)) return r;
        --expected_.placed[host_.find_gauge(w[1])];
        --expected_.placed_count;
    } else if (cmd == "fps") {
        if (!args(1, 1) || !parse_f64(w[1], f) || !(f >= 1.0 && f <= 1000.0))
            return bad(c, "fps needs a number from 1 to 1000");
    } else if (cmd == "frames") {
        if (!args(1, 1) || !parse_u32(w[1], u)) return bad(c, "frames needs a whole number of frames");
        expect_ensure_placed();
    } else if (cmd == "seconds") {
        if (!args(1, 1) || !parse_f64(w[1], f) || !(f >= 0.0 && f <= 1e6))
            return bad(c, "seconds needs a number from 0 to 1000000");
        expect_ensure_placed();
    } else if (cmd == "order") {
        if (!args(1, 1) || (w[1] != "forward" && w[1] != "reverse")) return bad(c, "usage: order forward|reverse");
    } else if (cmd == "set") {
        if (!args(3, 3)) return bad(c, "usage: set token|calc|var NAME VALUE");
        if (!parse_f64(w[3], f)) return bad(c, "malformed number \"" + w[3] + "\"");
        if (w[1] == "token") {
            if (!parse_token(w[2], u)) return bad(c, "unknown token \"" + w[2] + "\"");
        } else if (w[1] == "calc") {
            if (!c.quoted[2]) return bad(c, "calculator expression must be in double quotes");
            error = malformed_calc(w[2]);
            if (!error.empty()) return bad(c, error);
        } else if (w[1] == "var") {
            VarRef ref;
            if (!parse_var_ref(host_, w[2], ref, error)) return bad(c, error);
            error = type_refuses(ref.var->type, f);
            if (!error.empty()) return bad(c, "value " + w[3] + " does not fit \"" + w[2] + "\" (" + error + ")");
        } else {
            return bad(c, "set what? expected token, calc or var, got \"" + w[1] + "\"");
        }
    } else if (cmd == "click") {
        if (n < 4) return bad(c, "usage: click \"GAUGE\" X Y [left|right|move|drag|repeat]...");
        if (!gauge_ok(1, r)) return r;
        if (!parse_i32(w[2], s) || !parse_i32(w[3], s)) return bad(c, "click position must be whole numbers");
        for (size_t i = 4; i < n; ++i)
            if (!parse_event(w[i], u)) return bad(c, "unknown mouse event \"" + w[i] + "\"");
        expect_ensure_placed();
        if (!placed_ok(1, r)) return r;
    } else if (cmd == "window") {
        if (!args(2, 2) || (w[1] != "open" && w[1] != "close" && w[1] != "toggle"))
            return bad(c, "usage: window open|close|toggle IDENT");
        if (!parse_u32(w[2], u)) return bad(c, "malformed window ident \"" + w[2] + "\"");
        const PanelConfig& panel = panels_[size_t(expected_.panel)];
        bool known = false;
        for (const PanelWindow& pw : panel.windows) known = known || pw.ident == u;
        if (!known) return bad(c, "no window " + w[2] + " in the panel in use (" + panel.path + ")");
    } else if (cmd == "show") {
        if (n < 2) return bad(c, "usage: show gauge|tooltips|var|token|calc|keys|sounds|windows");
        if (w[1] == "gauge") {
            if (!args(2, 2)) return bad(c, "usage: show gauge \"GAUGE\"");
            if (!gauge_ok(2, r)) return r;
            expect_ensure_placed();
            if (!placed_ok(2, r)) return r;
        } else if (w[1] == "tooltips") {
            if (!args(2, 2)) return bad(c, "usage: show tooltips \"GAUGE\"");
            if (!gauge_ok(2, r)) return r;
        } else if (w[1] == "var") {
            VarRef ref;
            if (!args(2, 2)) return bad(c, "usage: show var NAME");
            if (!parse_var_ref(host_, w[2], ref, error)) return bad(c, error);
        } else if (w[1] == "token") {
            if (!args(2, 2) || !parse_token(w[2], u)) return bad(c, "usage: show token ID|tok_NAME");
        } else if (w[1] == "calc") {
            if (!args(2, 2) || !c.quoted[2]) return bad(c, "usage: show calc \"EXPR\"");
            error = malformed_calc(w[2]);
            if (!error.empty()) return bad(c, error);
        } else if (w[1] == "keys" || w[1] == "sounds" || w[1] == "windows") {
            if (!args(1, 1)) return bad(c, "show " + w[1] + " takes no arguments");
        } else {
            return bad(c, "show what? \"" + w[1] + "\"");
        }
    } else if (cmd == "expect") {
        if (!args(3, 4)) return bad(c, "usage: expect var NAME[I] VALUE [TOL] | expect token ID VALUE [TOL]");
        if (w[1] == "var") {
            VarRef ref;
            if (!parse_var_ref(host_, w[2], ref, error)) return bad(c, error);
            if (ref.var->is_array && !ref.indexed) return bad(c, "expect needs an element: " + w[2] + "[I]");
        } else if (w[1] == "token") {
            if (!parse_token(w[2], u)) return bad(c, "unknown token \"" + w[2] + "\"");
        } else {
            return bad(c, "expect what? expected var or token, got \"" + w[1] + "\"");
        }
        if (!parse_f64(w[3], f)) return bad(c, "malformed number \"" + w[3] + "\"");
        if (n == 5 && (!parse_f64(w[4], f) || !(f >= 0.0))) return bad(c, "malformed tolerance \"" + w[4] + "\"");
    } else {
        return bad(c, "unknown command \"" + cmd + "\"");
    }
    commands.push_back(c);
    return ScriptResult{};
}

// The default panel, checked before the run, comes into use at the first command that needs one.
void ScriptRunner::ensure_panel() {
    if (panel_loaded_) return;
    if (default_panel_index_ >= 0) host_.use_panel(panels_[size_t(default_panel_index_)]);
    panel_loaded_ = true;
}

void ScriptRunner::ensure_placed() {
    if (!placed_by_script_ && host_.placed().empty()) host_.place_all();
    placed_by_script_ = true;
}

ScriptResult ScriptRunner::execute(const ScriptCommand& c) {
    const auto& w = c.words;
    const std::string& cmd = w[0];
    ScriptResult r;
    f64 f = 0.0;
    u32 u = 0;
    std::string error;
    if (cmd == "panel") {
        host_.use_panel(panels_[size_t(c.panel)]);
        panel_loaded_ = true;
        return r;
    }
    ensure_panel();
    if (is_block_command(w)) {
        if (!block_command_run(host_, w, c.quoted, out_, error)) return bad(c, error);
    } else if (cmd == "place") {
        placed_by_script_ = true;
        if (w.size() == 2 && w[1] == "all" && !c.quoted[1])
            host_.place_all();
        else
            for (size_t i = 1; i < w.size(); ++i) host_.place(host_.find_gauge(w[i]));
    } else if (cmd == "remove") {
        if (!host_.remove(host_.find_gauge(w[1]))) return bad(c, "gauge \"" + w[1] + "\" is not placed");
    } else if (cmd == "order") {
        host_.set_reverse_order(w[1] == "reverse");
    } else if (cmd == "fps") {
        parse_f64(w[1], f);
        host_.set_fps(f);
    } else if (cmd == "frames") {
        ensure_placed();
        parse_u32(w[1], u);
        host_.run_frames(u);
    } else if (cmd == "seconds") {
        ensure_placed();
        parse_f64(w[1], f);
        host_.run_seconds(f);
    } else if (cmd == "set") {
        parse_f64(w[3], f);
        if (w[1] == "token") {
            parse_token(w[2], u);
            host_.set_token(u, f);
        } else if (w[1] == "calc") {
            host_.set_calc(w[2], f);
        } else {
            VarRef ref;
            parse_var_ref(host_, w[2], ref, error);
            if (ref.indexed)
                var_write(*ref.var, ref.index, f);
            else
                for (u32 i = 0; i < ref.var->count; ++i) var_write(*ref.var, i, f);
        }
    } else if (cmd == "click") {
        ensure_placed();
        GaugeHeader* g = host_.find_gauge(w[1]);
        if (!host_.is_placed(g)) return bad(c, "gauge \"" + w[1] + "\" is not placed");
        i32 x = 0, y = 0;
        parse_i32(w[2], x);
        parse_i32(w[3], y);
        // Likely a slip in the coordinates, yet a click beside the areas is legal: warn, go on.
        if (!host_.in_click_area(g, x, y))
            std::fprintf(err_, "%s\n",
                         printable(c.file + ":" + std::to_string(c.line) + ": click at " + std::to_string(x) + "," +
                                   std::to_string(y) + " hits no area of \"" + w[1] + "\"")
                             .c_str());
        std::vector<u32> events;
        if (w.size() == 4) events.push_back(MouseLeftSingle);
        for (size_t i = 4; i < w.size(); ++i) {
            parse_event(w[i], u);
            events.push_back(u);
        }
        for (const u32 event : events) {
            i32 answer = 0;
            host_.click(g, x, y, event, &answer);
            host_.take_mouse_fault();  // reported here, with the script's line
            if (answer != 0)
                return ScriptResult{1, printable(c.file + ":" + std::to_string(c.line) + ": mouse callback of \"" +
                                                 w[1] + "\" at " + std::to_string(x) + "," + std::to_string(y) +
                                                 " returned " + std::to_string(answer) + ", not 0")};
        }
    } else if (cmd == "window") {
        parse_u32(w[2], u);
        if (w[1] == "open") host_.window_set(u, true);
        else if (w[1] == "close") host_.window_set(u, false);
        else host_.window_toggle(u);
    } else if (cmd == "show") {
        if (w[1] == "gauge") {
            ensure_placed();
            const PlacedGauge* p = host_.placed_instance(host_.find_gauge(w[2]));
            if (!p) return bad(c, "gauge \"" + w[2] + "\" is not placed");
            std::fputs(host_.describe_gauge(*p).c_str(), out_);
        } else if (w[1] == "tooltips") {
            std::fputs(host_.describe_tooltips(host_.find_gauge(w[2])).c_str(), out_);
        } else if (w[1] == "calc") {
            std::fprintf(out_, "calc \"%s\" = %s\n", printable(w[2]).c_str(), num(host_.calc_value(w[2])).c_str());
        } else if (w[1] == "var") {
            VarRef ref;
            parse_var_ref(host_, w[2], ref, error);
            const char* name = ref.var->name;
            if (!ref.var->is_array)
                std::fprintf(out_, "var %s = %s\n", name, num(var_read(*ref.var, 0)).c_str());
            else if (ref.indexed)
                std::fprintf(out_, "var %s[%u] = %s\n", name, unsigned(ref.index),
                             num(var_read(*ref.var, ref.index)).c_str());
            else
                for (u32 i = 0; i < ref.var->count; ++i)
                    std::fprintf(out_, "var %s[%u] = %s\n", name, unsigned(i), num(var_read(*ref.var, i)).c_str());
        } else if (w[1] == "token") {
            parse_token(w[2], u);
            std::fprintf(out_, "token %u = %s\n", unsigned(u), num(host_.token(u)).c_str());
        } else if (w[1] == "keys") {
            for (const KeyLogEntry& k : host_.keys_since(keys_shown_))
                std::fprintf(out_, "key %llu %s 0x%x %u\n", static_cast<unsigned long long>(k.frame),
                             k.sent ? "send" : "trigger", unsigned(k.id), unsigned(k.value));
            keys_shown_ = host_.key_log_end();
        } else if (w[1] == "sounds") {
            show_sounds();
        } else if (w[1] == "windows") {
            std::string line = "windows";
            for (u32 id : host_.visible_windows()) line += " " + std::to_string(id);
            std::fprintf(out_, "%s\n", line.c_str());
        }
    } else if (cmd == "expect") {
        f64 want = 0.0, tol = 0.0, got = 0.0;
        parse_f64(w[3], want);
        if (w.size() == 5) parse_f64(w[4], tol);
        std::string what;
        if (w[1] == "var") {
            VarRef ref;
            parse_var_ref(host_, w[2], ref, error);
            got = var_read(*ref.var, ref.index);
            what = "var " + w[2];
        } else {
            parse_token(w[2], u);
            got = host_.token(u);
            what = "token " + std::to_string(u);
        }
        const bool ok = (std::isnan(want) && std::isnan(got)) || got == want || std::fabs(got - want) <= tol;
        if (!ok)
            return ScriptResult{1, c.file + ":" + std::to_string(c.line) + ": expect failed: " + what + " = " +
                                       num(got) + ", expected " + num(want) +
                                       (tol > 0 ? " within " + num(tol) : std::string())};
    }
    std::fflush(out_);
    return r;
}

// What the sound device did since the last call: every call that changed what is heard or
// set (a play of a sound already playing goes on and is not shown). The Windows module's
// DirectSound device cannot be watched: nothing is shown there.
void ScriptRunner::show_sounds() {
#if !defined(_WIN32)
    const u64 count = sound_recording_count();
    for (u64 i = sounds_shown_; i < count; ++i) {
        SoundEvent e;
        if (!sound_recording_event(i, &e) || !e.changed) continue;
        const char* what = nullptr;
        switch (e.call) {
            case SoundCall::Play: what = "play"; break;
            case SoundCall::Loop: what = "loop"; break;
            case SoundCall::Stop: what = "stop"; break;
            case SoundCall::Release: what = "release"; break;
            case SoundCall::Volume:
                std::fprintf(out_, "sound %llu %s volume %d\n", static_cast<unsigned long long>(e.frame), e.name,
                             int(e.value));
                continue;
            default: continue;
        }
        std::fprintf(out_, "sound %llu %s %s\n", static_cast<unsigned long long>(e.frame), e.name, what);
    }
    sounds_shown_ = count;
#endif
}

ScriptResult ScriptRunner::run(const std::vector<ScriptCommand>& commands) {
    for (const ScriptCommand& c : commands) {
        ScriptResult r = execute(c);
        if (r.status) return r;
    }
    return ScriptResult{};
}

ScriptResult ScriptRunner::run_file(const std::string& path) {
    std::vector<ScriptCommand> commands;
    ScriptResult r = load(path, commands);
    if (r.status) return r;
    return run(commands);
}
