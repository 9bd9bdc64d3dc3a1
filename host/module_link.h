// Finding the module: linked in on Linux, loaded from ketravin.dll on Windows.
#pragma once
#include <string>

#include "host/host.h"

// Fills `link`; on failure returns false with a message in `error`.
bool link_module(const std::string& dll_path, ModuleLink& link, std::string& error);
