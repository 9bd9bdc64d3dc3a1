// Linux: the module is linked into the host; its records are reached directly.
#include "host/module_link.h"

bool link_module(const std::string&, ModuleLink& link, std::string&) {
    link.linkage = &Linkage;
    link.import = &ImportTable;
    link.state = kStateTables;
    link.resource_handle = 0;
    return true;
}
