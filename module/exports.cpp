// The module's entry: the two exported records, the empty module hooks, the library entry
// point and the seven standard routines every gauge header names.
#include "module/exports.h"

#include "module/services.h"

#if defined(_WIN32)
#include <windows.h>
#endif

extern "C" {
ImportTableRecord ImportTable = {0xF, nullptr, 0, nullptr};
}

void FSAPI module_init() {}
void FSAPI module_deinit() {}

#if defined(_WIN32)
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#endif

namespace {
// The routines get no gauge pointer, so they always hand over the first element of the first
// gauge in the table, whichever gauge the host is serving.
ElementHeader* first_element() {
    GaugeHeader* g = Linkage.gauges[0];
    if (!g || !g->elements) return nullptr;
    return g->elements[0];
}
}  // namespace

u32 FSAPI query_elements() { return svc::element_list(SlotElementListQuery, first_element()); }
u32 FSAPI install_elements(u32 resource) {
    return svc::element_list_arg(SlotElementListInstall, first_element(), resource);
}
u32 FSAPI initialize_elements() { return svc::element_list(SlotElementListInitialize, first_element()); }
u32 FSAPI update_elements() { return svc::element_list(SlotElementListUpdate, first_element()); }
u32 FSAPI generate_elements(u32 phase) {
    return svc::element_list_arg(SlotElementListGenerate, first_element(), phase);
}
u32 FSAPI draw_elements() { return svc::element_list(SlotElementListPlot, first_element()); }
u32 FSAPI kill_elements() { return svc::element_list(SlotElementListKill, first_element()); }
