// Panel configuration in the simulator's style: [WindowNN] sections with ident=, visible= and
// gaugeNN=ketravin!NAME, x, y, w lines.
#pragma once
#include <string>
#include <vector>

#include "module/types.h"

struct PanelGauge {
    std::string name;  // the gauge header's name
    i32 x = 0, y = 0, w = 0;
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

// Helpers shared with the script reader.
bool read_file(const std::string& path, std::string& out);
bool parse_u32(const std::string& s, u32& out);
bool parse_i32(const std::string& s, i32& out);
bool parse_f64(const std::string& s, f64& out);
std::string trim(const std::string& s);
