// The ADF control head's frame and TEST button, shared by both ADF sets.
// Reads: the head's frequency expression, elec_ess_ac_powered, dc_normal_powered, light_zone,
//        annunciator_bright
// Writes: the head's frequency, its whole part, drum targets and TEST request
#include "radios/adf_head.h"

#include "electrical/state.h"
#include "module/lighting.h"

namespace {
constexpr LightWalk kWalk{3, walk_range(0, kAdfElements - 1)};
}  // namespace

void adf_head_frame(const AdfHead& h, Gauge<kAdfElements, kAdfRects>& gauge) {
    light_walk(gauge.header(), kWalk);
    // The host writes the answer over the stored frequency; a host that writes nothing leaves it.
    f64 khz = *h.freq_khz;
    svc::execute_calculator_code(h.frequency_expr, &khz, nullptr, nullptr);
    if (!adf_window_targets(khz, h.window)) return;
    *h.freq_khz = adf_clamp_khz(khz, h.window.top_khz);
    h.freq_whole.store(sat_u32(*h.freq_khz, 0u));  // finite and within the window: a number
}

void adf_head_test(const AdfHead& h) {
    if (*h.test_request == 1) return;
    if (elec_ess_ac_powered == 1 || dc_normal_powered == 1) *h.test_request = 1;
}
