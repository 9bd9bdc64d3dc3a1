// Panel configuration in the simulator's style: [WindowNN] sections with ident=, visible= and
// gaugeNN=ketravin!NAME, x, y[, w[, h]] lines. Other sections and keys of a full configuration
// (titles, views, sizes, positions, colours) are accepted and left to a real simulator.
#pragma once
#include <string>
#include <vector>

#include "module/types.h"

struct PanelGauge {
    std::string name;  // the gauge header's name
    i32 x = 0, y = 0, w = 0, h = 0;
    u32 window = 0;
};

struct PanelWindow {
    u32 ident = 0;
    bool visible = false;
};

struct PanelConfig {
    std::string path;
    std::vector<PanelWindow> windows;
    std::vector<PanelGauge> gauges;  // in file order
};

// Parses a panel file. On a fault returns false with "FILE:LINE: what is wrong" in `error`.
// `gauge_exists` decides whether a gauge name is one of the module's.
bool parse_panel(const std::string& path, const std::string& text, bool (*gauge_exists)(const std::string&),
                 PanelConfig& out, std::string& error);
bool load_panel(const std::string& path, bool (*gauge_exists)(const std::string&), PanelConfig& out,
                std::string& error);
