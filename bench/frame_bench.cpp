// One full-panel frame: every gauge of the table placed, the per-frame callbacks and the draw
// pass. Reports time per frame and heap allocations per frame, which must be 0 after install.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "host/host.h"
#include "host/module_link.h"

namespace {
u64 g_allocations = 0;
}

// Count every allocation made through the C and C++ heaps.
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* malloc(size_t n) {
    ++g_allocations;
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t m) {
    ++g_allocations;
    return __libc_calloc(n, m);
}
extern "C" void* realloc(void* p, size_t n) {
    ++g_allocations;
    return __libc_realloc(p, n);
}
void* operator new(size_t n) {
    ++g_allocations;
    if (void* p = __libc_malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

static void FullPanelFrame(benchmark::State& state) {
    ModuleLink link;
    std::string error;
    if (!link_module("", link, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Host host(link);
    // Every gauge of the table, each on a visible window, so that every element is drawn.
    PanelConfig panel;
    panel.windows.push_back(PanelWindow{10010, true});
    for (GaugeHeader* const* g = link.linkage->gauges; *g; ++g) {
        PanelGauge pg;
        pg.name = (*g)->name;
        pg.window = 10010;
        panel.gauges.push_back(pg);
    }
    host.use_panel(panel);
    host.place_all();
    host.run_frames(200);  // past the start-up sequence

    const u64 before = g_allocations;
    u64 frames = 0;
    for (auto _ : state) {
        host.run_frames(1);
        ++frames;
    }
    const u64 allocations = g_allocations - before;
    state.counters["gauges"] = double(host.placed().size());
    state.counters["allocs_per_frame"] = frames ? double(allocations) / double(frames) : 0.0;
    if (allocations != 0) state.SkipWithError("heap allocation during frames");
}
BENCHMARK(FullPanelFrame)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
