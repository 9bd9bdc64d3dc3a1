// The host's flight-plan blocks: binding state, position conversions and the checked reads
// every reader of host waypoints goes through.
// Reads: the host data block and its waypoint records through gps_data_ptr
// Writes: nothing (it defines gps_data_ptr and gps_request_ptr, which the link binds)
#include "navigation/gps_block.h"

#include <cstdint>
#include <cstring>

u8* gps_data_ptr = nullptr;
u8* gps_request_ptr = nullptr;

namespace {
constexpr i64 kLowBitsMask = ~i64(0xFFFF);
constexpr f64 kFixed3232 = 2.3283064365386963e-10;  // 2^-32
constexpr f64 kLonDegPerUnit = 8.381903171539307e-08;  // 360 / 2^32
constexpr f64 kLatRadPerUnit = 3.656655283481889e-17;

i64 clear_low_bits(i64 v) { return i64(u64(v) & u64(kLowBitsMask)); }
}  // namespace

u8* host_ptr(u32 address) { return reinterpret_cast<u8*>(uintptr_t(address)); }

f64 fixed3232_to_double(i64 v) { return f64(clear_low_bits(v)) * kFixed3232; }
f64 host_lon_to_deg(i64 v) { return fixed3232_to_double(v) * kLonDegPerUnit; }
f64 host_lat_to_rad(i64 v) { return f64(clear_low_bits(v)) * kLatRadPerUnit; }

GpsDataBlock gps_read_block(const u8* block) {
    GpsDataBlock b{};
    if (!block) return b;
    std::memcpy(&b.size, block, sizeof b.size);
    // Only the size is known to be there; the rest is read once the size vouches for it.
    if (b.size >= kGpsBlockMinSize) std::memcpy(&b, block, sizeof b);
    return b;
}

bool gps_block_valid() { return gps_read_block(gps_data_ptr).size >= kGpsBlockMinSize; }

const u8* gps_waypoint(i64 i) {
    if (!gps_block_valid()) return nullptr;
    const GpsDataBlock b = gps_read_block(gps_data_ptr);
    if (b.waypoints == 0 || i < 0 || i >= i64(b.waypoint_count) || i >= i64(kGpsMaxPlanWaypoints)) return nullptr;
    const u8* record = host_ptr(b.waypoints) + size_t(i) * kGpsWaypointSize;
    u32 record_size;
    std::memcpy(&record_size, record, sizeof record_size);
    return record_size == kGpsWaypointSize ? record : nullptr;
}

bool gps_active_usable() {
    if (!gps_block_valid()) return false;
    const GpsDataBlock b = gps_read_block(gps_data_ptr);
    if (b.leg_valid == 0 || b.active_index >= b.waypoint_count || b.waypoints == 0) return false;
    return gps_waypoint(b.active_index) != nullptr;
}

GpsWaypointCopy gps_read_waypoint(i64 i) {
    GpsWaypointCopy w{};
    const u8* record = gps_waypoint(i);
    if (!record) return w;
    std::memcpy(&w.record, record, sizeof w.record);
    std::memcpy(w.ident, w.record.ident, kGpsIdentBytes);
    w.ident[kGpsIdentBytes] = '\0';
    w.present = true;
    return w;
}
