#include "host/host.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/blocks.h"
#include "host/host_model.h"
#include "host/parse.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif
#if !defined(_WIN32)
#include "sound/recording.h"  // the module's recording sound device, linked in
#endif

namespace {
Host* g_host = nullptr;
constexpr u32 kDirectTokens = 2048;

// ---- service trampolines: the module calls these through its ImportTable ----
u32 FSAPI t_window_visible(u32 ident) { return g_host ? g_host->svc_window_visible(ident) : 0; }
u32 FSAPI t_window_toggle(u32 ident) { return g_host ? g_host->svc_window_toggle(ident) : 0; }
u32 FSAPI t_trigger_key(u32 id, u32 value) { return g_host ? g_host->svc_key_event(id, value, false) : 0; }
u32 FSAPI t_send_key(u32 id, u32 value) { return g_host ? g_host->svc_key_event(id, value, true) : 0; }
u32 FSAPI t_lookup_var(TokenVar* r) { return g_host ? g_host->svc_lookup_var(r) : 0; }
u32 FSAPI t_init_var_by_name(TokenVar* r, const char* name) {
    return g_host ? g_host->svc_init_var_by_name(r, name) : 0;
}
u32 FSAPI t_calculator(const char* code, f64* f, i32* i, const char** s) {
    return g_host ? g_host->svc_calculator(code, f, i, s) : 0;
}
template <u32 Slot>
u32 FSAPI t_element_list(ElementHeader* e) {
    return g_host ? g_host->svc_element_list(Slot, e, 0) : 0;
}
template <u32 Slot>
u32 FSAPI t_element_list_arg(ElementHeader* e, u32 arg) {
    return g_host ? g_host->svc_element_list(Slot, e, arg) : 0;
}

// Any slot the host does not implement stops the run, naming the slot, so that a module
// calling a service we never modelled cannot go unnoticed.
template <u32 Index>
void FSAPI t_unimplemented() {
    std::fprintf(stderr, "panelhost: module called unimplemented service slot 0x%x\n", unsigned(Index * 4));
    std::fflush(stderr);
    std::abort();
}
template <u32... I>
void fill_unimplemented(PanelServiceTable& t, std::integer_sequence<u32, I...>) {
    ((t.slot[I] = &t_unimplemented<I>), ...);
}

template <typename Fn>
ServiceFn as_slot(Fn fn) {
    return reinterpret_cast<ServiceFn>(fn);
}

u8* allocate_block(size_t size) {
#if defined(__linux__) && defined(__x86_64__)
    // Host blocks carry 32-bit addresses; keep them addressable as such.
    void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    if (p == MAP_FAILED) {
        std::fprintf(stderr, "panelhost: cannot map a data block below 4 GiB\n");
        std::abort();
    }
    return static_cast<u8*>(p);
#else
    return static_cast<u8*>(std::calloc(size, 1));
#endif
}

const char* kind_name(u32 type) {
    switch (type) {
        case ElementStaticImage: return "static";
        case ElementNeedle: return "needle";
        case ElementString: return "string";
        case ElementSlider: return "slider";
        case ElementIcon: return "icon";
        case ElementMovingImage: return "moving";
        case ElementSprite: return "sprite";
        default: return "unknown";
    }
}

std::string num(f64 v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// A text in double quotes, at most `limit` bytes of it, with quotes, backslashes and bytes
// outside printable ASCII escaped.
std::string quoted(const char* s, size_t limit) {
    std::string text = "\"";
    for (size_t k = 0; s && k < limit && s[k]; ++k) {
        const unsigned char c = static_cast<unsigned char>(s[k]);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += char(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            text += buf;
        } else {
            text += char(c);
        }
    }
    return text + "\"";
}
}  // namespace

Host* Host::current() { return g_host; }

Host::Host(const ModuleLink& link) : link_(link), tokens_(kDirectTokens, 0.0) {
    g_host = this;
    fill_unimplemented(services_, std::make_integer_sequence<u32, kServiceSlots>{});
    services_.slot[SlotIsPanelWindowVisibleIdent / 4] = as_slot(&t_window_visible);
    services_.slot[SlotElementListQuery / 4] = as_slot(&t_element_list<SlotElementListQuery>);
    services_.slot[SlotElementListInstall / 4] = as_slot(&t_element_list_arg<SlotElementListInstall>);
    services_.slot[SlotElementListInitialize / 4] = as_slot(&t_element_list<SlotElementListInitialize>);
    services_.slot[SlotElementListUpdate / 4] = as_slot(&t_element_list<SlotElementListUpdate>);
    services_.slot[SlotElementListGenerate / 4] = as_slot(&t_element_list_arg<SlotElementListGenerate>);
    services_.slot[SlotElementListPlot / 4] = as_slot(&t_element_list<SlotElementListPlot>);
    services_.slot[SlotElementListKill / 4] = as_slot(&t_element_list<SlotElementListKill>);
    services_.slot[SlotPanelWindowToggle / 4] = as_slot(&t_window_toggle);
    services_.slot[SlotTriggerKeyEvent / 4] = as_slot(&t_trigger_key);
    services_.slot[SlotInitializeVarByName / 4] = as_slot(&t_init_var_by_name);
    services_.slot[SlotLookupVar / 4] = as_slot(&t_lookup_var);
    services_.slot[SlotExecuteCalculatorCode / 4] = as_slot(&t_calculator);
    services_.slot[SlotSendKeyEvent / 4] = as_slot(&t_send_key);

    for (size_t k = 0; k < kTokenStartCount; ++k) set_token(kTokenStarts[k].token, kTokenStarts[k].value);
    key_log_.reserve(1 << 16);
    pending_keys_.reserve(1024);
    element_list_calls_.reserve(64);
    // The simulator's named blocks live as long as the process and a module keeps their address
    // once bound: every host of this process hands out the same memory, zeroed afresh.
    static u8* persistent[2] = {allocate_block(kDataBlockSize + kDataBlockSlack),
                                allocate_block(kDataBlockSize + kDataBlockSlack)};
    const char* names[2] = {"FS2002 GPS DATA", "FS2002 GPS DATA REQUEST"};
    for (size_t k = 0; k < 2; ++k) {
        if (persistent[k]) std::memset(persistent[k], 0, kDataBlockSize + kDataBlockSlack);
        blocks_.push_back(Block{names[k], persistent[k], kDataBlockSize});
    }

    // Load order of the simulator: write the service table, then call the module's init hook.
    link_.import->services = &services_;
    if (link_.linkage->init) link_.linkage->init();
}

Host::~Host() {
    remove_all();
    if (link_.linkage->deinit) link_.linkage->deinit();
    link_.import->services = nullptr;
    // The records outlive this host: take back the text buffers it lent them.
    for (TextBuffer& b : text_buffers_) b.element->text = nullptr;
    if (g_host == this) g_host = nullptr;
}

// ---- module and panel -----------------------------------------------------------------------
GaugeHeader* Host::find_gauge(const std::string& name) const {
    for (GaugeHeader* const* g = link_.linkage->gauges; *g; ++g)
        if ((*g)->name && name == (*g)->name) return *g;
    return nullptr;
}

void Host::use_panel(const PanelConfig& panel) {
    panel_ = panel;
    visible_.clear();
    for (const PanelWindow& w : panel_.windows)
        if (w.visible) window_set(w.ident, true);
}

// ---- gauges ---------------------------------------------------------------------------------
void Host::index_elements(PlacedGauge& g) {
    // Depth-first in chain order, guarded against malformed (cyclic or huge) chains.
    std::vector<ElementHeader*> stack;
    if (g.header->elements)
        for (ElementHeader** e = g.header->elements; *e; ++e) stack.push_back(*e);
    std::reverse(stack.begin(), stack.end());
    while (!stack.empty() && g.elements.size() < 4096) {
        ElementHeader* e = stack.back();
        stack.pop_back();
        g.elements.push_back(e);
        if (e->next) {
            size_t n = 0;
            while (e->next[n] && n < 4096) ++n;
            for (size_t i = n; i-- > 0;) stack.push_back(e->next[i]);
        }
    }
    g.drawn.assign(g.elements.size(), DrawnValue{});
}

void Host::give_text_buffers(PlacedGauge& g) {
    for (ElementHeader* e : g.elements) {
        if (e->type != ElementString) continue;
        auto* s = reinterpret_cast<StringElement*>(e);
        if (s->text) continue;  // the records are shared by every instance of the gauge
        const size_t size = size_t(s->max_chars) + 1;
        text_buffers_.push_back(TextBuffer{s, std::unique_ptr<char[]>(new char[size]())});
        s->text = text_buffers_.back().data.get();
    }
}

void Host::place(GaugeHeader* gauge) {
    PlacedGauge g{gauge, 0, false, {}, {}};
    for (const PanelGauge& pg : panel_.gauges)
        if (pg.name == gauge->name) {
            g.window = pg.window;
            g.on_window = true;
            break;
        }
    index_elements(g);
    give_text_buffers(g);
    placed_.push_back(std::move(g));
    if (gauge->callback) gauge->callback(gauge, ServicePreInstall, link_.resource_handle);
}

void Host::place_all() {
    for (const PanelGauge& pg : panel_.gauges)
        if (GaugeHeader* g = find_gauge(pg.name)) {
            PlacedGauge p{g, pg.window, true, {}, {}};
            index_elements(p);
            give_text_buffers(p);
            placed_.push_back(std::move(p));
            if (g->callback) g->callback(g, ServicePreInstall, link_.resource_handle);
        }
}

bool Host::remove(GaugeHeader* gauge) {
    for (auto it = placed_.begin(); it != placed_.end(); ++it)
        if (it->header == gauge) {
            if (gauge->callback) gauge->callback(gauge, ServicePreKill, 0);
            placed_.erase(it);
            return true;
        }
    return false;
}

void Host::remove_all() {
    // From the back: each kill is then constant time, and the last instance placed goes first.
    while (!placed_.empty()) {
        GaugeHeader* g = placed_.back().header;
        if (g->callback) g->callback(g, ServicePreKill, 0);
        placed_.pop_back();
    }
}

bool Host::is_placed(GaugeHeader* gauge) const { return placed_instance(gauge) != nullptr; }

const PlacedGauge* Host::placed_instance(GaugeHeader* gauge) const {
    for (const PlacedGauge& g : placed_)
        if (g.header == gauge) return &g;
    return nullptr;
}

// ---- time -----------------------------------------------------------------------------------
void Host::advance_clock() {
    ++sim_frames_;
    ++elapsed_frames_;
    const f64 sim = sim_time_base_ + f64(sim_frames_) / fps_;
    tokens_[604] = sim;
    tokens_[607] = elapsed_base_ + f64(elapsed_frames_) / fps_;
    tokens_[1] = std::floor(sim * 18.0);
}

void Host::set_fps(f64 fps) {
    // Keep the clocks continuous across a change of frame rate.
    sim_time_base_ += f64(sim_frames_) / fps_;
    elapsed_base_ += f64(elapsed_frames_) / fps_;
    sim_frames_ = elapsed_frames_ = 0;
    fps_ = fps;
}

void Host::run_frames(u64 count) {
    for (u64 n = 0; n < count; ++n) {
        ++frame_;
        // Key events whose effect lags arrive before this frame's callbacks.
        size_t kept = 0;
        for (size_t i = 0; i < pending_keys_.size(); ++i) {
            if (pending_keys_[i].due_frame <= frame_)
                apply_key(pending_keys_[i].id, pending_keys_[i].value);
            else
                pending_keys_[kept++] = pending_keys_[i];
        }
        pending_keys_.resize(kept);
        advance_clock();
#if !defined(_WIN32)
        // The sound device follows what plays in host time and stamps calls with this frame.
        sound_recording_begin_frame(frame_, 1.0 / fps_);
#endif
        const size_t count_placed = placed_.size();
        for (size_t i = 0; i < count_placed && i < placed_.size(); ++i) {
            PlacedGauge& g = placed_[reverse_order_ ? count_placed - 1 - i : i];
            if (g.header->callback) g.header->callback(g.header, ServicePreUpdate, 0);
        }
        draw();
        publish_gps_request(*this);
    }
}

void Host::run_seconds(f64 seconds) {
    const f64 frames = std::floor(seconds * fps_ + 0.5);
    run_frames(frames > 0 ? u64(std::min(frames, 1e9)) : 0);
}

// As the simulator does, an element's own source tokens (id 0: none) are refreshed before its
// callbacks run, so a callback may read its element's source value.
void Host::refresh_sources(ElementHeader* e) {
    auto refresh = [this](TokenVar& t) {
        if (t.id != 0) svc_lookup_var(&t);
    };
    switch (e->type) {
        case ElementNeedle: refresh(reinterpret_cast<NeedleElement*>(e)->source); break;
        case ElementString: refresh(reinterpret_cast<StringElement*>(e)->source); break;
        case ElementMovingImage: refresh(reinterpret_cast<MovingImageElement*>(e)->source); break;
        case ElementSprite: {
            auto* s = reinterpret_cast<SpriteElement*>(e);
            refresh(s->source_x);
            refresh(s->source_y);
            refresh(s->source_rot);
            break;
        }
        default: break;
    }
}

void Host::draw() {
    for (PlacedGauge& g : placed_) {
        if (g.on_window && !window_visible(g.window)) continue;
        for (size_t i = 0; i < g.elements.size(); ++i) {
            ElementHeader* e = g.elements[i];
            DrawnValue& d = g.drawn[i];
            refresh_sources(e);
            switch (e->type) {
                case ElementNeedle: {
                    auto* n = reinterpret_cast<NeedleElement*>(e);
                    if (n->update) d.value = n->update(e);
                    break;
                }
                case ElementString: {
                    auto* s = reinterpret_cast<StringElement*>(e);
                    if (s->update) d.value = s->update(e);
                    break;
                }
                case ElementSlider: {
                    auto* s = reinterpret_cast<SliderElement*>(e);
                    if (s->update_x) d.x = s->update_x(e);
                    if (s->update_y) d.y = s->update_y(e);
                    break;
                }
                case ElementMovingImage: {
                    auto* m = reinterpret_cast<MovingImageElement*>(e);
                    if (m->update_x) d.x = m->update_x(e);
                    if (m->update_y) d.y = m->update_y(e);
                    break;
                }
                case ElementSprite: {
                    auto* s = reinterpret_cast<SpriteElement*>(e);
                    if (s->update_x) d.x = s->update_x(e);
                    if (s->update_y) d.y = s->update_y(e);
                    if (s->update_rot) d.value = s->update_rot(e);
                    break;
                }
                default:
                    break;
            }
            d.drawn = true;
        }
    }
}

// ---- host variables -------------------------------------------------------------------------
void Host::set_token(u32 id, f64 value) {
    // The clock tokens rebase the host's clock so that it runs on from the new value.
    if (id == 604 || id == 1) {
        sim_time_base_ = id == 1 ? value / 18.0 : value;
        sim_frames_ = 0;
        tokens_[604] = sim_time_base_;
        tokens_[1] = id == 1 ? value : std::floor(sim_time_base_ * 18.0);
        return;
    }
    if (id == 607) {
        elapsed_base_ = value;
        elapsed_frames_ = 0;
    }
    if (id < kDirectTokens)
        tokens_[id] = value;
    else
        far_tokens_[id] = value;
}

f64 Host::token(u32 id) const {
    if (id < kDirectTokens) return tokens_[id];
    auto it = far_tokens_.find(id);
    return it == far_tokens_.end() ? 0.0 : it->second;
}

bool Host::is_integer_token(u32 id) {
    for (size_t i = 0; i < kIntegerTokenCount; ++i)
        if (kIntegerTokens[i] == id) return true;
    return false;
}

// An expression answered from a host variable sets that variable, so key events and scripts agree.
// A value the user sets wins over the host's own rule for that expression until the host
// model itself changes the variable behind it (a key event), which is newer than the user's
// value. The variable takes the value too, so such a change starts from what the user set.
void Host::set_calc(const std::string& expr, f64 value) {
    calc_values_[expr] = value;
    for (size_t k = 0; k < kCalcRuleCount; ++k)
        if (expr == kCalcRules[k].expr) set_token(kCalcRules[k].token, value);
}

void Host::drop_calc_overrides_of(u32 token_id) {
    for (size_t k = 0; k < kCalcRuleCount; ++k)
        if (kCalcRules[k].token == token_id) {
            auto it = calc_values_.find(kCalcRules[k].expr);
            if (it != calc_values_.end()) calc_values_.erase(it);
        }
}

u32 Host::svc_lookup_var(TokenVar* r) {
    if (!r) return 0;
    const f64 v = token(r->id);
    if (is_integer_token(r->id)) {
        // The host's integer variable holds whole numbers: a script value that is no number is 0 there.
        token_store_i32(*r, sat_i32(v, 0));
        r->var_type = 1;
    } else {
        token_store_f64(*r, v);
        r->var_type = 2;
    }
    return 1;
}

f64 Host::calc_value(std::string_view expr, bool* known) const {
    if (known) *known = true;
    auto it = calc_values_.find(expr);
    if (it != calc_values_.end()) return it->second;
    for (size_t k = 0; k < kCalcRuleCount; ++k)
        if (expr == kCalcRules[k].expr) return token(kCalcRules[k].token);
    if (known) *known = false;
    return 0.0;
}

u32 Host::svc_calculator(const char* code, f64* f, i32* i, const char** s) {
    f64 v = 0.0;
    bool known = false;
    if (code) {
        v = calc_value(code, &known);
        if (!known && std::find(calc_unknown_logged_.begin(), calc_unknown_logged_.end(), code) ==
                          calc_unknown_logged_.end()) {
            calc_unknown_logged_.emplace_back(code);
            std::fprintf(stderr, "panelhost: unknown calculator expression \"%s\" answers 0\n",
                         printable(code).c_str());
        }
    }
    if (f) *f = v;
    if (i) *i = sat_i32(v, 0);  // an integer answer has no NaN: the host answers 0, as for an unknown one
    if (s) *s = "";
    return 1;
}

u32 Host::svc_init_var_by_name(TokenVar* r, const char* name) {
    if (!r) return 0;
    r->data = nullptr;
    if (!name) return 0;
    for (Block& b : blocks_)
        if (b.name == name) {
            r->data = b.data;
            return 1;
        }
    return 0;
}

u8* Host::data_block(std::string_view name, size_t* size) {
    for (Block& b : blocks_)
        if (b.name == name) {
            if (size) *size = b.size;
            return b.data;
        }
    return nullptr;
}

u32 Host::svc_element_list(u32 slot, ElementHeader* element, u32 arg) {
    if (element_list_calls_.size() < 4096) element_list_calls_.push_back(ElementListCall{slot, element, arg});
    return element_list_result(slot, arg);
}

// ---- windows --------------------------------------------------------------------------------
bool Host::window_visible(u32 ident) const {
    return std::find(visible_.begin(), visible_.end(), ident) != visible_.end();
}

void Host::window_set(u32 ident, bool visible) {
    auto it = std::find(visible_.begin(), visible_.end(), ident);
    if (visible && it == visible_.end()) visible_.push_back(ident);
    if (!visible && it != visible_.end()) visible_.erase(it);
}

std::vector<u32> Host::visible_windows() const {
    std::vector<u32> v = visible_;
    std::sort(v.begin(), v.end());
    return v;
}

u32 Host::svc_window_toggle(u32 ident) {
    window_toggle(ident);
    return 1;
}

// ---- key events -----------------------------------------------------------------------------
u32 Host::svc_key_event(u32 id, u32 value, bool sent) {
    if (key_log_.size() == key_log_.capacity()) {
        // Drop the older half in place: the log never allocates after start-up.
        const size_t half = key_log_.size() / 2;
        key_log_.erase(key_log_.begin(), key_log_.begin() + std::ptrdiff_t(half));
        key_log_base_ += half;
    }
    key_log_.push_back(KeyLogEntry{frame_, sent, id, value});
    u32 latency = 0;
    for (size_t k = 0; k < kKeyRuleCount; ++k)
        if (kKeyRules[k].event == id) latency = std::max(latency, kKeyRules[k].latency_frames);
    if (latency == 0)
        apply_key(id, value);
    else
        pending_keys_.push_back(PendingKey{frame_ + latency, id, value});
    return 1;
}

std::vector<KeyLogEntry> Host::keys_since(u64 from) const {
    const u64 start = std::max(from, key_log_base_) - key_log_base_;
    if (start >= key_log_.size()) return {};
    return std::vector<KeyLogEntry>(key_log_.begin() + std::ptrdiff_t(start), key_log_.end());
}

void Host::apply_key(u32 id, u32 value) {
    for (size_t k = 0; k < kKeyRuleCount; ++k) {
        const KeyRule& r = kKeyRules[k];
        if (r.event != id) continue;
        switch (r.action) {
            case KeyAction::WindowOpen: window_set(value, true); break;
            case KeyAction::WindowClose: window_set(value, false); break;
            case KeyAction::WindowToggle: window_toggle(value); break;
            case KeyAction::SetToken: set_token(r.token, r.arg); break;
            case KeyAction::SetFromValue: set_token(r.token, f64(value)); break;
            case KeyAction::SetFromSignedValue: set_token(r.token, f64(i32(value))); break;
            case KeyAction::SetFromScaledValue: set_token(r.token, f64(i32(value)) * r.arg); break;
            case KeyAction::ToggleToken: set_token(r.token, token(r.token) == 1.0 ? 0.0 : 1.0); break;
            case KeyAction::ToggleTokenTo: set_token(r.token, token(r.token) == r.arg ? 0.0 : r.arg); break;
            case KeyAction::StepToken: set_token(r.token, token(r.token) + r.arg); break;
            case KeyAction::SwapTokens: {
                const f64 a = token(r.token);
                set_token(r.token, token(u32(r.arg)));
                set_token(u32(r.arg), a);
                break;
            }
            case KeyAction::BcdStep: set_token(r.token, bcd_step(token(r.token), r.arg)); break;
        }
        drop_calc_overrides_of(r.token);
    }
}

// ---- mouse ----------------------------------------------------------------------------------
namespace {
bool in_box(const MouseRect& m, i32 x, i32 y) {
    return x >= m.x && y >= m.y && i64(x) < i64(m.x) + m.w && i64(y) < i64(m.y) + m.h;
}
}  // namespace

bool Host::click(GaugeHeader* gauge, i32 x, i32 y, u32 event_flags, i32* result) {
    if (result) *result = 0;
    MouseRect* r = gauge->mouse_rects;
    if (!r) return false;
    for (size_t n = 0; n < 4096 && r[n].kind != MouseRectEnd; ++n) {
        MouseRect& m = r[n];
        if (m.kind != MouseRectChild || !m.callback) continue;
        if (!(m.flags & event_flags)) continue;
        if (!in_box(m, x, y)) continue;
        MousePoint p{x - m.x, y - m.y, 0, &m};
        const i32 answer = m.callback(&p, event_flags);
        if (result) *result = answer;
        if (answer != 0 && mouse_fault_.empty())
            mouse_fault_ = "mouse callback of \"" + std::string(gauge->name ? gauge->name : "") + "\" at " +
                           std::to_string(x) + "," + std::to_string(y) + " returned " + std::to_string(answer);
        return true;
    }
    return false;
}

bool Host::in_click_area(const GaugeHeader* gauge, i32 x, i32 y) const {
    const MouseRect* r = gauge->mouse_rects;
    for (size_t n = 0; r && n < 4096 && r[n].kind != MouseRectEnd; ++n)
        if (r[n].kind == MouseRectChild && r[n].callback && in_box(r[n], x, y)) return true;
    return false;
}

std::string Host::take_mouse_fault() {
    std::string fault;
    fault.swap(mouse_fault_);
    return fault;
}

// ---- readout --------------------------------------------------------------------------------
std::string Host::describe_gauge(const PlacedGauge& g) const {
    std::string out = "gauge \"" + std::string(g.header->name) + "\"\n";
    for (size_t i = 0; i < g.elements.size(); ++i) {
        const ElementHeader* e = g.elements[i];
        const DrawnValue& d = g.drawn[i];
        const bool lum = e->image_flags & ImageLuminous, bright = e->image_flags & ImageBright;
        out += "  " + std::to_string(i) + " " + kind_name(e->type) + " " +
               ((e->image_flags & ImageHidden) ? "hidden" : "shown") + " " +
               (lum && bright ? "lum+bright" : lum ? "lum" : bright ? "bright" : "dark");
        if (d.drawn) {
            switch (e->type) {
                case ElementNeedle: out += " value=" + num(d.value); break;
                case ElementString: out += " value=" + num(d.value); break;
                case ElementSprite: out += " value=" + num(d.value) + " x=" + num(d.x) + " y=" + num(d.y); break;
                case ElementSlider:
                case ElementMovingImage: out += " x=" + num(d.x) + " y=" + num(d.y); break;
                default: break;
            }
        }
        if (e->type == ElementString) {
            const auto* s = reinterpret_cast<const StringElement*>(e);
            out += " text=" + quoted(s->text, s->text ? size_t(s->max_chars) + 1 : 0);
        }
        out += "\n";
    }
    return out;
}

namespace {
// Fills the host's "%N!spec!" placeholders (N from 1, spec a printf conversion) with the
// tooltip's arguments; "%%" is a percent sign. A placeholder the host could not fill (no such
// argument, an unknown conversion) stays as written.
std::string fill_tooltip(const char* text, const TooltipArg* args, u32 count, const Host& host) {
    std::string out;
    const size_t len = std::strlen(text);
    for (size_t i = 0; i < len;) {
        if (text[i] != '%') {
            out += text[i++];
            continue;
        }
        if (i + 1 < len && text[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        size_t j = i + 1;
        u32 n = 0;
        while (j < len && j < i + 3 && text[j] >= '0' && text[j] <= '9') n = n * 10 + u32(text[j++] - '0');
        const size_t spec_at = j + 1;
        const size_t spec_end = spec_at < len ? std::string(text).find('!', spec_at) : std::string::npos;
        if (n == 0 || j >= len || text[j] != '!' || spec_end == std::string::npos || spec_end - spec_at > 8 ||
            !args || n > count) {
            out += text[i++];
            continue;
        }
        const std::string spec(text + spec_at, spec_end - spec_at);
        // Flags, a width and a precision of two digits at most, then one conversion.
        size_t k = spec.find_first_not_of("-+ #0");
        if (k == std::string::npos) k = spec.size();
        const size_t width_at = k;
        while (k < spec.size() && k < width_at + 2 && spec[k] >= '0' && spec[k] <= '9') ++k;
        if (k < spec.size() && spec[k] == '.') {
            const size_t prec_at = ++k;
            while (k < spec.size() && k < prec_at + 2 && spec[k] >= '0' && spec[k] <= '9') ++k;
        }
        const std::string conv = spec.substr(k);
        const f64 v = host.token(args[n - 1].token) * args[n - 1].scale;
        const std::string fmt = "%" + spec;
        char buf[128];
        int written = -1;
        if (conv == "d" || conv == "i")
            written = std::snprintf(buf, sizeof buf, fmt.c_str(), int(sat_i32(v, 0)));  // NaN shows as 0
        else if (conv == "u" || conv == "x" || conv == "X" || conv == "o")
            written = std::snprintf(buf, sizeof buf, fmt.c_str(), unsigned(sat_u32(v, 0)));
        else if (conv == "f" || conv == "F" || conv == "e" || conv == "E" || conv == "g" || conv == "G")
            written = std::snprintf(buf, sizeof buf, fmt.c_str(), std::isfinite(v) ? v : 0.0);
        if (written < 0) {
            out += text[i++];
            continue;
        }
        out += buf;
        i = spec_end + 1;
    }
    return out;
}
}  // namespace

std::vector<TooltipText> Host::tooltips(const GaugeHeader* gauge) const {
    std::vector<TooltipText> out;
    const MouseRect* r = gauge ? gauge->mouse_rects : nullptr;
    if (!r) return out;
    i32 group[4] = {0, 0, 0, 0};
    for (size_t n = 0; n < 4096 && r[n].kind != MouseRectEnd; ++n) {
        const MouseRect& m = r[n];
        if (m.kind == MouseRectParent) {
            group[0] = m.x, group[1] = m.y, group[2] = m.w, group[3] = m.h;
        } else if (m.kind == MouseRectEndParent) {
            group[0] = group[1] = group[2] = group[3] = 0;
        } else if (m.kind == MouseRectTooltip && m.text) {
            const bool own = m.w != 0 || m.h != 0;
            out.push_back(TooltipText{own ? m.x : group[0], own ? m.y : group[1], own ? m.w : group[2],
                                      own ? m.h : group[3], fill_tooltip(m.text, m.args, m.event_id, *this)});
        }
    }
    return out;
}

std::string Host::describe_tooltips(const GaugeHeader* gauge) const {
    std::string out = "tooltips \"" + std::string(gauge->name) + "\"\n";
    for (const TooltipText& t : tooltips(gauge))
        out += "  RECT " + std::to_string(t.x) + " " + std::to_string(t.y) + " " + std::to_string(t.w) + " " +
               std::to_string(t.h) + " " + quoted(t.text.c_str(), t.text.size()) + "\n";
    return out;
}
