// The headless host: plays the simulator's part for the module. It writes its service table
// into the module's ImportTable, keeps host variables, windows, key events and named data
// blocks, places gauges, runs frames (callbacks, then the draw pass) and hit-tests clicks.
#pragma once
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/panel_config.h"
#include "module/host_interface.h"
#include "module/state_registry.h"

// What the host needs of a loaded module: its two records and its state directory.
struct ModuleLink {
    LinkageRecord* linkage = nullptr;
    ImportTableRecord* import = nullptr;
    const VarTable* state = nullptr;  // null when the module's state cannot be reached
    u32 resource_handle = 0;
};

struct KeyLogEntry {
    u64 frame;
    bool sent;  // send_key_event (true) or trigger_key_event (false)
    u32 id;
    u32 value;
};

// What the draw pass last read from an element's callbacks.
struct DrawnValue {
    bool drawn = false;
    f64 value = 0.0, x = 0.0, y = 0.0;
};

// A tooltip of a gauge's click map, its placeholders filled from the host's tokens. The box is
// the tooltip's own, else that of the group holding it; 0 0 0 0 stands for the whole gauge.
struct TooltipText {
    i32 x, y, w, h;
    std::string text;
};

struct PlacedGauge {
    GaugeHeader* header;
    u32 window;
    bool on_window;
    std::vector<ElementHeader*> elements;  // depth-first chain order
    std::vector<DrawnValue> drawn;
};

class Host {
public:
    explicit Host(const ModuleLink& link);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    static Host* current();

    // ---- module and panel
    const ModuleLink& module() const { return link_; }
    GaugeHeader* find_gauge(const std::string& name) const;
    void use_panel(const PanelConfig& panel);
    const PanelConfig& panel() const { return panel_; }

    // ---- gauges
    void place(GaugeHeader* gauge);  // install service sent
    void place_all();                // every gauge of the panel, in panel order
    bool remove(GaugeHeader* gauge); // kill service, then removal of its first instance
    void remove_all();               // last placed first
    bool is_placed(GaugeHeader* gauge) const;
    const std::vector<PlacedGauge>& placed() const { return placed_; }
    void set_reverse_order(bool reverse) { reverse_order_ = reverse; }
    bool reverse_order() const { return reverse_order_; }

    // ---- time
    void set_fps(f64 fps);
    f64 fps() const { return fps_; }
    u64 frame() const { return frame_; }
    void run_frames(u64 count);
    void run_seconds(f64 seconds);

    // ---- host variables
    void set_token(u32 id, f64 value);
    f64 token(u32 id) const;
    static bool is_integer_token(u32 id);
    // A value set for an expression wins over the host's own rule for it from then on.
    void set_calc(const std::string& expr, f64 value);
    void drop_calc_overrides_of(u32 token_id);
    // What the module reads for an expression (0 for one the host does not know).
    f64 calc_value(std::string_view expr, bool* known = nullptr) const;

    // ---- windows
    bool window_visible(u32 ident) const;
    void window_set(u32 ident, bool visible);
    void window_toggle(u32 ident) { window_set(ident, !window_visible(ident)); }
    std::vector<u32> visible_windows() const;

    // ---- mouse: event flags as in MouseFlags; false when no rectangle took the event. A mouse
    // callback always answers 0: what it answered goes to *result, and the first non-zero
    // answer of the run is kept for take_mouse_fault().
    bool click(GaugeHeader* gauge, i32 x, i32 y, u32 event_flags, i32* result = nullptr);
    // Whether the point lies in the box of a click area (whatever events the area takes).
    bool in_click_area(const GaugeHeader* gauge, i32 x, i32 y) const;
    // "mouse callback of "NAME" at X,Y returned R" for the first such answer, then cleared.
    std::string take_mouse_fault();

    // ---- key events
    // The log keeps the most recent entries (a module may send an event every frame for hours);
    // entry i of key_log() has the absolute number key_log_base() + i.
    const std::vector<KeyLogEntry>& key_log() const { return key_log_; }
    u64 key_log_base() const { return key_log_base_; }
    u64 key_log_end() const { return key_log_base_ + key_log_.size(); }
    // Entries from absolute number `from` on (older ones that were dropped are skipped).
    std::vector<KeyLogEntry> keys_since(u64 from) const;

    // ---- named data blocks (stable, below 4 GiB so that 32-bit pointers inside them work)
    u8* data_block(std::string_view name, size_t* size = nullptr);  // no allocation: runs every frame

    // ---- readout
    std::string describe_gauge(const PlacedGauge& g) const;
    const PlacedGauge* placed_instance(GaugeHeader* gauge) const;
    std::vector<TooltipText> tooltips(const GaugeHeader* gauge) const;
    std::string describe_tooltips(const GaugeHeader* gauge) const;

    // ---- services the module calls (public for the slot trampolines)
    u32 svc_lookup_var(TokenVar* record);
    u32 svc_key_event(u32 id, u32 value, bool sent);
    u32 svc_window_visible(u32 ident) const { return window_visible(ident) ? 1u : 0u; }
    u32 svc_window_toggle(u32 ident);
    u32 svc_init_var_by_name(TokenVar* record, const char* name);
    u32 svc_calculator(const char* code, f64* f, i32* i, const char** s);
    u32 svc_element_list(u32 slot, ElementHeader* element, u32 arg);

    // The element-list services only record what reached them (the module forwards the first
    // element of the first gauge).
    struct ElementListCall {
        u32 slot;
        ElementHeader* element;
        u32 arg;
    };
    const std::vector<ElementListCall>& element_list_calls() const { return element_list_calls_; }
    // What the element-list services answer: distinct per slot and argument, so that tests can
    // see the module hand the result back unchanged.
    static u32 element_list_result(u32 slot, u32 arg) { return (slot << 16) | (arg & 0xFFFFu); }

private:
    void advance_clock();
    void apply_key(u32 id, u32 value);
    void draw();
    void refresh_sources(ElementHeader* e);
    void index_elements(PlacedGauge& g);
    void give_text_buffers(PlacedGauge& g);

    ModuleLink link_;
    PanelServiceTable services_{};
    PanelConfig panel_;
    std::vector<PlacedGauge> placed_;
    bool reverse_order_ = false;

    f64 fps_ = 18.0;
    u64 frame_ = 0;
    f64 sim_time_base_ = 0.0, elapsed_base_ = 0.0;
    u64 sim_frames_ = 0, elapsed_frames_ = 0;  // frames since the bases were set

    std::vector<f64> tokens_;  // by id, for ids below kDirectTokens
    std::map<u32, f64> far_tokens_;
    std::map<std::string, f64, std::less<>> calc_values_;  // transparent: frames look up without allocating
    std::vector<std::string> calc_unknown_logged_;

    std::vector<u32> visible_;
    std::vector<KeyLogEntry> key_log_;
    u64 key_log_base_ = 0;
    struct PendingKey {
        u64 due_frame;
        u32 id, value;
    };
    std::vector<PendingKey> pending_keys_;
    std::vector<ElementListCall> element_list_calls_;
    std::string mouse_fault_;

    struct Block {
        std::string name;
        u8* data;
        size_t size;
    };
    std::vector<Block> blocks_;
    struct TextBuffer {
        StringElement* element;
        std::unique_ptr<char[]> data;
    };
    std::vector<TextBuffer> text_buffers_;
};

// Sizes of the named data blocks the host publishes, and the zeroed memory mapped after each
// (a request written at the end of a block stays in the host's memory).
constexpr size_t kDataBlockSize = 64 * 1024;
constexpr size_t kDataBlockSlack = 16 * 1024;
