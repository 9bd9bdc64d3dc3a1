// Navigation tests: the host fixture plus writers for the host's GPS data and request blocks.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "navigation/gps_block.h"
#include "navigation/ins_nav.h"
#include "navigation/state.h"
#include "tests/host_fixture.h"

struct TestWpt {
    f64 lat_deg, lon_deg;
    const char* ident;
    u32 record_size = 64;
};

class NavTest : public HostTest {
protected:
    static constexpr const char* kSwitch = "ketravin ins_sw_kr60";
    static constexpr const char* kMsu1 = "ketravin ins1_msu_kr60";
    static constexpr const char* kMsu2 = "ketravin ins2_msu_kr60";
    static constexpr const char* kCdu1 = "ketravin ins1_cdu_kr60";
    static constexpr size_t kDataArray = 0x200, kRequestArray = 0x400;

    u8* data() { return host().data_block("FS2002 GPS DATA"); }
    u8* request() { return host().data_block("FS2002 GPS DATA REQUEST"); }
    template <typename T>
    static void put(u8* block, size_t offset, T v) { std::memcpy(block + offset, &v, sizeof v); }
    template <typename T>
    static T get(const u8* block, size_t offset) { T v; std::memcpy(&v, block + offset, sizeof v); return v; }
    static u32 addr(const u8* p) { return u32(reinterpret_cast<uintptr_t>(p)); }
    static i64 lat_units(f64 deg) { return i64(std::llround(deg * M_PI / 180.0 / 3.656655283481889e-17)); }
    static i64 lon_units(f64 deg) { return i64(std::llround(deg / 360.0 * 18446744073709551616.0 / 2.0)) * 2; }

    // A valid block at (lat, lon) with an active plan of the given waypoints.
    void plan(const std::vector<TestWpt>& wpts, u32 active, f64 lat = 45.0, f64 lon = 5.0) {
        u8* d = data();
        put<u32>(d, 0x00, 176);
        put<i64>(d, 0x08, lat_units(lat));
        put<i64>(d, 0x10, lon_units(lon));
        put<u32>(d, 0x40, 1);
        put<u32>(d, 0x44, 1);
        put<u32>(d, 0x4c, active);
        put<u32>(d, 0xa8, u32(wpts.size()));
        put<u32>(d, 0xac, addr(d + kDataArray));
        for (size_t i = 0; i < wpts.size(); ++i) {
            u8* r = d + kDataArray + i * 64;
            std::memset(r, 0, 64);
            put<u32>(r, 0, wpts[i].record_size);
            put<i64>(r, 0x08, lat_units(wpts[i].lat_deg));
            put<i64>(r, 0x10, lon_units(wpts[i].lon_deg));
            std::strncpy(reinterpret_cast<char*>(r + 0x38), wpts[i].ident, 8);
        }
        put<u32>(request(), 0xac, addr(request() + kRequestArray));
    }
    // Waypoints due north of 45 N 5 E, every `step` degrees of latitude.
    static std::vector<TestWpt> north_line(size_t n, f64 step = 0.5) {
        static const char* const kIdents[] = {"A0", "A1", "A2", "A3", "A4", "A5", "A6", "A7"};
        std::vector<TestWpt> v;
        for (size_t i = 0; i < n; ++i) v.push_back({45.0 + step * f64(i + 1), 5.0, kIdents[i % 8]});
        return v;
    }
};
