// Flight-plan idents and DIRECT TO. INS 1's computer loads both ident tables when the host
// publishes a new plan; a DIRECT TO writes the host's request block, and once the host has
// published the new plan the tables are saved and rebuilt one slot a frame to match it.
// Reads: the host data and request blocks, gps_wpt_count, gps_plan_active, ins_dto_tens,
//        ins_dto_units
// Writes: ins_wpt_ident, ins_wpt_ident_saved, ins_dto_state, ins_dto_index, the pass counters,
//         ins1_plan_total_nm, the host request block, the pressing unit's page bytes
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "navigation/gps_block.h"
#include "navigation/ins_nav.h"
#include "navigation/state.h"

char ins_wpt_ident[kPlanSlots][kIdentChars] = {};
char ins_wpt_ident_saved[kPlanSlots][kIdentChars] = {};

namespace {
// ins_dto_state
constexpr u8 kIdle = 0;
constexpr u8 kFirstSent = 3, kFirstSaved = 4, kFirstDone = 5;
constexpr u8 kLaterSent = 8, kLaterSaved = 9, kLaterDone = 10;
constexpr u8 kConfirmedMax = 3;  // states up to 3 are the first DIRECT TO

constexpr const char* kPresentPosition = "<P>";

bool slot_ok(i64 i) { return i >= 0 && i < i64(kPlanSlots); }

// Slots outside the table read as empty and are never written.
void copy_slot(char (*to)[kIdentChars], i64 t, const char (*from)[kIdentChars], i64 f) {
    if (!slot_ok(t)) return;
    std::snprintf(to[t], kIdentChars, "%s", slot_ok(f) ? from[f] : "");
}
void set_slot(char (*to)[kIdentChars], i64 t, const char* text) {
    if (slot_ok(t)) std::snprintf(to[t], kIdentChars, "%s", text);
}

u32 read_u32(const u8* block, size_t offset) {
    u32 v;
    std::memcpy(&v, block + offset, sizeof v);
    return v;
}
void write_u32(u8* block, size_t offset, u32 v) { std::memcpy(block + offset, &v, sizeof v); }

// Load pass and the save pass of a DIRECT TO, while the tables are not those of count n.
void load_and_save(u32 n) {
    const u64 n64 = n;
    if (ins_dto_state == kIdle) {
        const i64 slots = std::min<i64>(n, i64(kPlanSlots));
        for (i64 i = 0; i < slots; ++i) {
            const GpsWaypointCopy w = gps_read_waypoint(i);
            set_slot(ins_wpt_ident, i, w.ident);
            set_slot(ins_wpt_ident_saved, i, w.ident);
        }
        // Records past the table have no slot: the load is complete at once.
        ins_ident_load_slot = n;
    }
    if (ins_ident_load_slot == n) ins_ident_count_done = n;
    if (ins_dto_state == kFirstSent && ins_dto_save_slot <= n64 + 1) {
        if (ins_dto_save_slot == n64 + 1) {
            ins1_plan_total_nm = 0.0;
            ins_dto_state = kFirstSaved;
            ins_ident_count_done = n;
        } else {
            copy_slot(ins_wpt_ident_saved, ins_dto_save_slot, ins_wpt_ident, ins_dto_save_slot);
            ++ins_dto_save_slot;
        }
    }
    if (ins_dto_state >= kFirstSaved && ins_dto_save_slot <= ins_ident_count_done) {
        if (ins_dto_save_slot == ins_ident_count_done) {
            ins1_plan_total_nm = 0.0;
            ins_dto_state = kLaterSaved;
            ins_ident_count_done = n;
        } else {
            copy_slot(ins_wpt_ident_saved, ins_dto_save_slot, ins_wpt_ident, ins_dto_save_slot);
            ++ins_dto_save_slot;
        }
    }
}

// Rebuild pass: slot 0 the present position, the others the saved idents shifted by the
// waypoint index; one slot a frame.
void rebuild(u32 n) {
    const u64 n64 = n;
    const i64 slot = ins_dto_build_slot;
    if (ins_dto_state == kFirstSaved) {
        if (ins_dto_build_slot > n64 + 1) return;
        if (ins_dto_build_slot == n64 + 1) {
            ins1_plan_total_nm = 0.0;
            ins_dto_state = kFirstDone;
            return;
        }
        if (slot == 0) set_slot(ins_wpt_ident, 0, kPresentPosition);
        else copy_slot(ins_wpt_ident, slot, ins_wpt_ident_saved, slot - 1 + ins_dto_index);
        ++ins_dto_build_slot;
    } else if (ins_dto_state == kLaterSaved) {
        if (ins_dto_build_slot > n64) return;
        if (ins_dto_build_slot == n64) {
            ins1_plan_total_nm = 0.0;
            ins_dto_state = kLaterDone;
            return;
        }
        if (slot == 0) set_slot(ins_wpt_ident, 0, kPresentPosition);
        else copy_slot(ins_wpt_ident, slot, ins_wpt_ident_saved, slot + ins_dto_index);
        ++ins_dto_build_slot;
    } else {
        ins_dto_build_slot = 0;
    }
}

// Writes the request for the plan "present position, then data waypoints k .. count - 1".
// Re-checks everything it relies on; writes nothing when any check fails.
void write_request(i64 k) {
    if (!gps_data_ptr || !gps_request_ptr) return;
    const u32 data_array = read_u32(gps_data_ptr, offsetof(GpsDataBlock, waypoints));
    const u32 request_array = read_u32(gps_request_ptr, offsetof(GpsDataBlock, waypoints));
    const u32 count = read_u32(gps_data_ptr, offsetof(GpsDataBlock, waypoint_count));
    if (data_array == 0 || request_array == 0 || count < 2) return;
    if (count > kGpsMaxPlanWaypoints || k < 0 || k >= i64(count)) return;

    u8* req = gps_request_ptr;
    const u8* from = host_ptr(data_array);
    u8* to = host_ptr(request_array);
    const u32 new_count = u32(i64(count) - k);
    write_u32(req, offsetof(GpsDataBlock, request_code), kGpsRequestCode);
    std::memcpy(req + offsetof(GpsDataBlock, position), gps_data_ptr + offsetof(GpsDataBlock, position),
                sizeof(GpsPosition));
    write_u32(req, offsetof(GpsDataBlock, plan_active), 1);
    write_u32(req, offsetof(GpsDataBlock, unnamed_48), 0);
    write_u32(req, offsetof(GpsDataBlock, active_index), 1);
    write_u32(req, offsetof(GpsDataBlock, waypoint_count), new_count);
    for (u32 i = 0; i < new_count; ++i)
        std::memmove(to + size_t(i) * kGpsWaypointSize, from + size_t(i + k) * kGpsWaypointSize, kGpsWaypointSize);
    // The first entry becomes the present position.
    GpsWaypoint first;
    std::memcpy(&first, to, sizeof first);
    std::memcpy(&first.position, gps_data_ptr + offsetof(GpsDataBlock, position), sizeof(GpsPosition));
    first.leg_course = first.unnamed_28 = first.unnamed_30 = 0.0;
    std::memset(first.ident, 0, sizeof first.ident);
    std::memcpy(first.ident, kPresentPosition, std::strlen(kPresentPosition));
    std::memcpy(to, &first, sizeof first);
}
}  // namespace

void ins_dto_passes() {
    const u32 n = gps_wpt_count;
    if (gps_plan_active == 1) {
        if (ins_ident_count_done != n) load_and_save(n);
        if (ins_ident_count_done == n) {
            ins_dto_save_slot = 0;
            rebuild(n);
        }
    }
    ins_dto_index = u8(ins_dto_tens * 10 + ins_dto_units - 1);
}

void ins_dto_execute(u8* cdu_page) {
    const i64 k = ins_dto_state > kConfirmedMax ? i64(ins_dto_index) : i64(ins_dto_index) - 1;
    write_request(k);
    std::fill(cdu_page, cdu_page + kCduPages, u8(0));
    cdu_page[kPageCrsDataAuto] = 1;
    ins_dto_state = ins_dto_state >= kFirstSent ? kLaterSent : kFirstSent;
}
