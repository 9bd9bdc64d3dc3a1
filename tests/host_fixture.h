// A gauge test drives the module through the headless host, as the simulator would: place
// gauges, set host variables, run frames, click, then read elements, keys and variables.
// Every test runs in its own process, so the module starts from its start values.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/module_link.h"
#include "module/host_interface.h"

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(link_module("", link_, error)) << error;
        host_ = std::make_unique<Host>(link_);
        PanelConfig panel;
        ASSERT_TRUE(load_panel(std::string(KR_SOURCE_DIR) + "/panels/default.cfg", &HostTest::gauge_known, panel,
                               error))
            << error;
        host_->use_panel(panel);
    }
    void TearDown() override {
        // A mouse callback always answers 0; any other answer fails the test that clicked.
        const std::string fault = host_ ? host_->take_mouse_fault() : std::string();
        EXPECT_TRUE(fault.empty()) << fault << ", not 0";
        host_.reset();
    }

    static bool gauge_known(const std::string& name) {
        for (GaugeHeader* const* g = Linkage.gauges; *g; ++g)
            if (name == (*g)->name) return true;
        return false;
    }

    Host& host() { return *host_; }
    GaugeHeader* gauge(const std::string& name) {
        GaugeHeader* g = host_->find_gauge(name);
        EXPECT_NE(g, nullptr) << "no gauge " << name;
        return g;
    }
    void place(const std::string& name) { host_->place(gauge(name)); }
    void frames(u64 n) { host_->run_frames(n); }
    void seconds(f64 s) { host_->run_seconds(s); }
    void token(u32 id, f64 v) { host_->set_token(id, v); }
    bool click(const std::string& name, i32 x, i32 y, u32 flags = MouseLeftSingle) {
        return host_->click(gauge(name), x, y, flags);
    }
    // Element at a chain position (depth-first) of a placed gauge.
    ElementHeader* element(const std::string& name, size_t pos) {
        const PlacedGauge* p = host_->placed_instance(gauge(name));
        if (!p || pos >= p->elements.size()) {
            ADD_FAILURE() << name << " has no element " << pos;
            static ElementHeader dummy{};
            return &dummy;
        }
        return p->elements[pos];
    }
    const DrawnValue& drawn(const std::string& name, size_t pos) {
        const PlacedGauge* p = host_->placed_instance(gauge(name));
        static DrawnValue none;
        if (!p || pos >= p->drawn.size()) return none;
        return p->drawn[pos];
    }
    std::string text(const std::string& name, size_t pos) {
        auto* s = reinterpret_cast<StringElement*>(element(name, pos));
        return s->text ? std::string(s->text) : std::string();
    }
    // Key events logged since the previous call.
    std::vector<KeyLogEntry> new_keys() {
        std::vector<KeyLogEntry> out = host_->keys_since(keys_seen_);
        keys_seen_ = host_->key_log_end();
        return out;
    }
    // Sends of `key` since the previous call of new_keys(); the last one's value in *last.
    size_t sent(u32 key, i32* last = nullptr) {
        size_t n = 0;
        for (const KeyLogEntry& k : new_keys())
            if (k.id == key && k.sent) {
                ++n;
                if (last) *last = i32(k.value);
            }
        return n;
    }

private:
    ModuleLink link_;
    std::unique_ptr<Host> host_;
    u64 keys_seen_ = 0;
};

inline bool lit_luminous(const ElementHeader* e) { return (e->image_flags & ImageLuminous) != 0; }
inline bool lit_bright(const ElementHeader* e) { return (e->image_flags & ImageBright) != 0; }
inline bool hidden(const ElementHeader* e) { return (e->image_flags & ImageHidden) != 0; }
