// Fuzz target: arbitrary bytes as the host's GPS data block, waypoint array inside it, run
// through the link's conversions, both navigation computers (tables, rows, ident passes) and
// the DIRECT TO request writer. The blocks sit below 4 GiB with zeroed slack after them, as the
// host keeps them; every host read and write must stay inside.
// fuzz-sources: navigation/gps_block.cpp navigation/gps_link.cpp navigation/ins_nav.cpp navigation/ins_plan.cpp navigation/ins_dto.cpp navigation/state.cpp instruments/state.cpp module/tokens.cpp module/services.cpp
#include <sys/mman.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "module/host_interface.h"
#include "navigation/gps_block.h"
#include "navigation/gps_link.h"
#include "navigation/ins_nav.h"
#include "navigation/state.h"

// No host: every service answers nothing.
ImportTableRecord ImportTable = {0xF, nullptr, 0, nullptr};

namespace {
constexpr size_t kBlock = 64 * 1024, kSlack = 16 * 1024;

u8* map_low() {
    void* p = mmap(nullptr, kBlock + kSlack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    if (p == MAP_FAILED) std::abort();
    return static_cast<u8*>(p);
}
u8* const g_data = map_low();
u8* const g_request = map_low();

u32 address_in(u8* block, u32 raw) {
    return raw == 0 ? 0 : u32(reinterpret_cast<uintptr_t>(block) + raw % kBlock);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t length) {
    // The last few bytes drive the CDU state; the rest is the data block.
    u8 knobs[8] = {};
    const size_t n_knobs = length < sizeof knobs ? length : sizeof knobs;
    std::memcpy(knobs, bytes + length - n_knobs, n_knobs);
    const size_t n = length - n_knobs < kBlock ? length - n_knobs : kBlock;
    std::memset(g_data, 0, kBlock + kSlack);
    std::memset(g_request, 0, kBlock + kSlack);
    std::memcpy(g_data, bytes, n);

    u32 raw;
    std::memcpy(&raw, g_data + 0xac, sizeof raw);
    const u32 array = address_in(g_data, raw);
    std::memcpy(g_data + 0xac, &array, sizeof array);
    const u32 request_array = address_in(g_request, u32(knobs[0]) << 8 | knobs[1]);
    std::memcpy(g_request + 0xac, &request_array, sizeof request_array);

    gps_data_ptr = g_data;
    gps_request_ptr = knobs[2] & 1 ? g_request : nullptr;
    ins_dto_state = knobs[3] % 12;
    ins_dto_tens = knobs[4] % 10;
    ins_dto_units = knobs[5] % 10;
    ins1_cdu_page[kPageFlightPlan] = knobs[6];
    ins1_cdu_page[kPageWptSelect] = knobs[7];
    ins1_cdu_page[kPageWptDetail] = knobs[7];
    ins1_hdg_ref = knobs[6] & 1 ? 1 : 2;

    for (int frame = 0; frame < 3; ++frame) {
        gps_link_convert();
        ins_nav_frame_head(kIns1Nav);
        ins_nav_frame_tail(kIns1Nav);
        ins_nav_frame_head(kIns2Nav);
        ins_nav_frame_tail(kIns2Nav);
        if (frame == 1) ins_dto_execute(ins1_cdu_page);
    }
    // What the CDU shows must stay in range whatever the block held.
    if (ins1_align_time_min > 4 || ins_dist_tenth > 9 || ins1_fpl_eta_hour[0] > 23) __builtin_trap();
    for (f64 v : {gps_course_deg, gps_dtk_deg, gps_dist_nm, gps_lat_rad, gps_lon_deg, ins1_dist_wpt0_nm,
                  ins1_sel_leg_nm, ins1_fpl_dtg_nm[0], ins1_fpl_dtg_nm[3]})
        if (!std::isfinite(v)) __builtin_trap();
    for (size_t i = 0; i < kPlanSlots; ++i)
        if (std::memchr(ins_wpt_ident[i], 0, kIdentChars) == nullptr) __builtin_trap();
    return 0;
}
