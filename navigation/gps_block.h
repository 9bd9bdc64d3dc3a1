// The host's flight-plan blocks: the GPS data block the host publishes, the request block a
// DIRECT TO writes, their 64-byte waypoint records and the 24-byte position inside them. The
// host's addresses inside the blocks are 32 bits wide on every platform, so the layout is the
// same everywhere; host memory is only ever read and written through memcpy (the host gives
// no alignment promise for the waypoint array).
// Reads: gps_data_ptr (block validity, waypoint records)
// Writes: nothing
#pragma once
#include <cstddef>

#include "module/types.h"

struct GpsPosition {
    i64 latitude;   // host angle, see host_lat_to_rad
    i64 longitude;  // fixed point, 2^64 units a full turn
    u8 third[8];    // copied, never interpreted
};

struct GpsDataBlock {
    u32 size;
    u32 request_code;
    GpsPosition position;
    f64 drift_angle;
    f64 ground_speed;
    f64 true_track;
    f64 magnetic_track;
    u32 plan_active;
    u32 leg_valid;
    u32 unnamed_48;
    u32 active_index;
    u8 unnamed_50[48];
    f64 distance;
    u8 unnamed_88[8];
    f64 cross_track;
    f64 desired_track;
    f64 waypoint_course;
    u32 waypoint_count;
    u32 waypoints;  // 32-bit host address of the GpsWaypoint array; read through host_ptr
};

struct GpsWaypoint {
    u32 record_size;
    u8 unnamed_04[4];
    GpsPosition position;
    f64 leg_course;
    f64 unnamed_28;
    f64 unnamed_30;
    char ident[8];
};

static_assert(sizeof(GpsPosition) == 24, "GpsPosition is 24 bytes");
static_assert(offsetof(GpsDataBlock, request_code) == 0x04, "request_code");
static_assert(offsetof(GpsDataBlock, position) == 0x08, "position");
static_assert(offsetof(GpsDataBlock, drift_angle) == 0x20, "drift_angle");
static_assert(offsetof(GpsDataBlock, ground_speed) == 0x28, "ground_speed");
static_assert(offsetof(GpsDataBlock, true_track) == 0x30, "true_track");
static_assert(offsetof(GpsDataBlock, magnetic_track) == 0x38, "magnetic_track");
static_assert(offsetof(GpsDataBlock, plan_active) == 0x40, "plan_active");
static_assert(offsetof(GpsDataBlock, leg_valid) == 0x44, "leg_valid");
static_assert(offsetof(GpsDataBlock, unnamed_48) == 0x48, "+0x48");
static_assert(offsetof(GpsDataBlock, active_index) == 0x4c, "active_index");
static_assert(offsetof(GpsDataBlock, distance) == 0x80, "distance");
static_assert(offsetof(GpsDataBlock, cross_track) == 0x90, "cross_track");
static_assert(offsetof(GpsDataBlock, desired_track) == 0x98, "desired_track");
static_assert(offsetof(GpsDataBlock, waypoint_course) == 0xa0, "waypoint_course");
static_assert(offsetof(GpsDataBlock, waypoint_count) == 0xa8, "waypoint_count");
static_assert(offsetof(GpsDataBlock, waypoints) == 0xac, "waypoints");
static_assert(sizeof(GpsDataBlock) == 176, "the block is read from 176 bytes on");
static_assert(offsetof(GpsWaypoint, position) == 0x08, "waypoint position");
static_assert(offsetof(GpsWaypoint, leg_course) == 0x20, "leg_course");
static_assert(offsetof(GpsWaypoint, unnamed_28) == 0x28, "+0x28");
static_assert(offsetof(GpsWaypoint, unnamed_30) == 0x30, "+0x30");
static_assert(offsetof(GpsWaypoint, ident) == 0x38, "ident");
static_assert(sizeof(GpsWaypoint) == 64, "waypoint records are 64 bytes apart");

constexpr u32 kGpsBlockMinSize = sizeof(GpsDataBlock);
constexpr u32 kGpsWaypointSize = sizeof(GpsWaypoint);
// A host plan holds at most 255 waypoints (the count a request can carry): no record past
// that is ever read, whatever count the host claims.
constexpr u32 kGpsMaxPlanWaypoints = 255;
constexpr u32 kGpsRequestCode = 2;
constexpr size_t kGpsIdentBytes = 8;

// The bound blocks (null until bound; never unbound).
extern u8* gps_data_ptr;
extern u8* gps_request_ptr;

// A 32-bit host address as a pointer (0 is null).
u8* host_ptr(u32 address);

// Position conversions; each clears the value's low 16 bits first.
f64 fixed3232_to_double(i64 v);
f64 host_lon_to_deg(i64 v);
f64 host_lat_to_rad(i64 v);

// The whole block header as it stands now (all zero when nothing is bound).
GpsDataBlock gps_read_block(const u8* block);
// A bound data block whose size is at least 176.
bool gps_block_valid();
// A valid block whose active waypoint record can be used: leg valid, active index below the
// count, array set, record size 64.
bool gps_active_usable();
// Waypoint record i of the data block, or null unless the block is valid, the array is set,
// 0 <= i < count (and within the plan limit) and the record's size is 64.
const u8* gps_waypoint(i64 i);
// Record i copied out; all zero when gps_waypoint(i) is null. Its ident is NUL-ended.
struct GpsWaypointCopy {
    GpsWaypoint record;
    char ident[kGpsIdentBytes + 1];
    bool present;
};
GpsWaypointCopy gps_read_waypoint(i64 i);
