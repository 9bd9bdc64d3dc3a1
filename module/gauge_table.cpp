// Linkage: module id, hooks and the gauge table, in the order of gauges.def.
#include "module/exports.h"

#define KR_GAUGE(header) extern GaugeHeader header;
#include "module/gauges.def"
#undef KR_GAUGE

extern "C" {
LinkageRecord Linkage = {
    0x13, module_init, module_deinit, 0, 0, 0x900,
    {
#define KR_GAUGE(header) &header,
#include "module/gauges.def"
#undef KR_GAUGE
        nullptr,
    },
};
}
