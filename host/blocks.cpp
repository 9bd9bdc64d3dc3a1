// Script access to the named data blocks and the host's side of a DIRECT TO request.
//   set block "NAME" OFFSET TYPE VALUE      show block "NAME" OFFSET TYPE
// OFFSET is decimal or 0x hex; TYPE u8 u16 u32 i32 i64 f32 f64, lat / lon (degrees, written in
// the host's 64-bit position format), text (quoted, written with its NUL) or addr (VALUE an
// offset of the same block whose 32-bit address is written; 0 writes a null address).
#include "host/blocks.h"

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/parse.h"

namespace {
constexpr size_t kPointerField = 0xac;  // the block's waypoint array address
constexpr size_t kPointerBytes = 4;
constexpr size_t kCodeField = 0x04, kPositionField = 0x08, kPositionBytes = 24;
constexpr size_t kPlanActiveField = 0x40, kField48 = 0x48, kActiveIndexField = 0x4c, kCountField = 0xa8;
constexpr size_t kRecordBytes = 64;
constexpr u32 kRequestCode = 2;
constexpr u32 kMaxPlan = 255;
constexpr const char* kDataBlock = "FS2002 GPS DATA";
constexpr const char* kRequestBlock = "FS2002 GPS DATA REQUEST";

constexpr f64 kPi = 3.141592653589793;
constexpr f64 kLatRadPerUnit = 3.656655283481889e-17;
constexpr f64 kTwo64 = 18446744073709551616.0;

enum class Type { U8, U16, U32, I32, I64, F32, F64, Lat, Lon, Text, Addr, Bad };

Type type_of(const std::string& t) {
    static const struct {
        const char* name;
        Type type;
    } kTypes[] = {{"u8", Type::U8},   {"u16", Type::U16}, {"u32", Type::U32}, {"i32", Type::I32},
                  {"i64", Type::I64}, {"f32", Type::F32}, {"f64", Type::F64}, {"lat", Type::Lat},
                  {"lon", Type::Lon}, {"text", Type::Text}, {"addr", Type::Addr}};
    for (const auto& k : kTypes)
        if (t == k.name) return k.type;
    return Type::Bad;
}

size_t width_of(Type t) {
    switch (t) {
        case Type::U8: return 1;
        case Type::U16: return 2;
        case Type::U32: case Type::I32: case Type::F32: case Type::Addr: return 4;
        default: return 8;
    }
}

// A whole number written exactly: decimal with an optional sign, or 0x hex.
bool parse_i64_exact(const std::string& s, i64& out) {
    if (s.empty()) return false;
    const bool neg = s[0] == '-';
    const std::string body = neg || s[0] == '+' ? s.substr(1) : s;
    const bool hex = body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X');
    if (body.empty() || body.find_first_not_of(hex ? "0123456789abcdefABCDEFxX" : "0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long mag = std::strtoull(body.c_str(), &end, hex ? 16 : 10);
    if (errno == ERANGE || end != body.c_str() + body.size()) return false;
    if (neg ? mag > 0x8000000000000000ull : mag > 0x7FFFFFFFFFFFFFFFull) return false;
    out = neg ? i64(0 - mag) : i64(mag);
    return true;
}

struct BlockCommand {
    std::string name;
    u8* base = nullptr;
    size_t size = 0;
    u32 offset = 0;
    Type type = Type::Bad;
    std::vector<u8> bytes;  // what a set writes (addr: the offset, resolved when run)
    i64 addr_offset = 0;
};

template <typename T>
void put(std::vector<u8>& bytes, T v) {
    bytes.resize(sizeof v);
    std::memcpy(bytes.data(), &v, sizeof v);
}

// Readers clear the low 16 bits, so values are written with those bits clear. A latitude step
// of 65536 units is visible in the tenth decimal of a degree: it is rounded away from zero, so
// that readers who truncate see the whole minutes written.
constexpr f64 kLowUnit = 65536.0;
i64 lat_to_host(f64 deg) {
    const f64 units = deg * kPi / 180.0 / kLatRadPerUnit / kLowUnit;
    return i64(units < 0 ? std::floor(units) : std::ceil(units)) * 65536;
}
i64 lon_to_host(f64 deg) {
    f64 d = std::fmod(deg, 360.0);
    if (d >= 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    const i64 units = i64(std::llround(d / 360.0 * (kTwo64 / kLowUnit)));  // within +-2^47
    return i64(u64(units) << 16);
}

bool encode(BlockCommand& c, const std::string& value, bool quoted, std::string& error) {
    i64 i = 0;
    f64 f = 0.0;
    auto integer = [&](i64 lo, i64 hi) {
        if (quoted || !parse_i64_exact(value, i) || i < lo || i > hi) {
            error = "malformed or out-of-range value \"" + value + "\"";
            return false;
        }
        return true;
    };
    auto number = [&]() {
        if (quoted || !parse_f64(value, f)) {
            error = "malformed number \"" + value + "\"";
            return false;
        }
        return true;
    };
    switch (c.type) {
        case Type::U8: if (!integer(0, 0xFF)) return false; put(c.bytes, u8(i)); break;
        case Type::U16: if (!integer(0, 0xFFFF)) return false; put(c.bytes, u16(i)); break;
        case Type::U32: if (!integer(0, 0xFFFFFFFFll)) return false; put(c.bytes, u32(i)); break;
        case Type::I32: if (!integer(INT32_MIN, INT32_MAX)) return false; put(c.bytes, i32(i)); break;
        case Type::I64: if (!integer(INT64_MIN, INT64_MAX)) return false; put(c.bytes, i); break;
        case Type::F32: if (!number()) return false; put(c.bytes, f32(f)); break;
        case Type::F64: if (!number()) return false; put(c.bytes, f); break;
        case Type::Lat:
            if (!number()) return false;
            if (!(f >= -90.0 && f <= 90.0)) return error = "latitude must lie in -90..90", false;
            put(c.bytes, lat_to_host(f));
            break;
        case Type::Lon:
            if (!number()) return false;
            if (!std::isfinite(f)) return error = "longitude must be a finite number", false;
            put(c.bytes, lon_to_host(f));
            break;
        case Type::Text:
            if (!quoted) return error = "text must be in double quotes", false;
            c.bytes.assign(value.begin(), value.end());
            c.bytes.push_back(0);
            break;
        case Type::Addr:
            if (!integer(0, i64(c.size) - 1)) return false;
            c.addr_offset = i;
            c.bytes.assign(4, 0);
            break;
        case Type::Bad: return false;
    }
    return true;
}

bool parse(Host& host, const std::vector<std::string>& w, const std::vector<bool>& quoted, bool setting,
           BlockCommand& c, std::string& error) {
    const size_t want = setting ? 6 : 5;
    if (w.size() != want) {
        error = setting ? "usage: set block \"NAME\" OFFSET TYPE VALUE" : "usage: show block \"NAME\" OFFSET TYPE";
        return false;
    }
    if (!quoted[2]) return error = "block name must be in double quotes", false;
    c.name = w[2];
    c.base = host.data_block(c.name, &c.size);
    if (!c.base) return error = "unknown block \"" + c.name + "\"", false;
    if (quoted[3] || !parse_u32(w[3], c.offset)) return error = "malformed block offset \"" + w[3] + "\"", false;
    c.type = type_of(w[4]);
    if (quoted[4] || c.type == Type::Bad) return error = "unknown block type \"" + w[4] + "\"", false;
    if (!setting) {
        const size_t width = c.type == Type::Text ? 1 : width_of(c.type);
        if (size_t(c.offset) + width > c.size) return error = "read past the end of the block", false;
        return true;
    }
    if (!encode(c, w[5], quoted[5], error)) return false;
    if (size_t(c.offset) + c.bytes.size() > c.size) return error = "write past the end of the block", false;
    // The waypoint array address is written with addr only, so that it always points into a block.
    if (c.type != Type::Addr)
        for (size_t k = 0; k < c.bytes.size(); ++k) {
            const size_t at = c.offset + k;
            if (at >= kPointerField && at < kPointerField + kPointerBytes && c.bytes[k] != 0)
                return error = "a waypoint array address at +0xac must be written with addr", false;
        }
    return true;
}

template <typename T>
T get(const u8* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::string num(f64 v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

std::string show_value(const BlockCommand& c) {
    const u8* p = c.base + c.offset;
    switch (c.type) {
        case Type::U8: return std::to_string(unsigned(*p));
        case Type::U16: return std::to_string(unsigned(get<u16>(p)));
        case Type::U32: return std::to_string(get<u32>(p));
        case Type::I32: return std::to_string(get<i32>(p));
        case Type::I64: return std::to_string(get<i64>(p));
        case Type::F32: return num(f64(get<f32>(p)));
        case Type::F64: return num(get<f64>(p));
        case Type::Lat: {
            const i64 v = i64(u64(get<i64>(p)) & ~u64(0xFFFF));
            return num(f64(v) * kLatRadPerUnit * 180.0 / kPi);
        }
        case Type::Lon: {
            const i64 v = i64(u64(get<i64>(p)) & ~u64(0xFFFF));
            return num(f64(v) / kTwo64 * 360.0);
        }
        case Type::Text: {
            std::string out = "\"";
            for (size_t k = c.offset; k < c.size && c.base[k]; ++k) {
                const unsigned char ch = c.base[k];
                if (ch == '"' || ch == '\\') {
                    out += '\\';
                    out += char(ch);
                } else if (ch < 0x20 || ch >= 0x7f) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02x", ch);
                    out += buf;
                } else {
                    out += char(ch);
                }
            }
            return out + "\"";
        }
        case Type::Addr: {
            // An address inside the block shows as its offset, as "set" takes it.
            const u32 a = get<u32>(p);
            const uintptr_t base = reinterpret_cast<uintptr_t>(c.base);
            if (a == 0) return "0";
            if (a >= base && a - base < c.size) return std::to_string(a - base);
            char buf[32];
            std::snprintf(buf, sizeof buf, "outside 0x%08x", unsigned(a));
            return buf;
        }
        case Type::Bad: break;
    }
    return "?";
}

// True when [address, address + bytes) lies in the block's memory, slack included.
bool inside(const u8* base, size_t size, u32 address, size_t bytes) {
    const uintptr_t b = reinterpret_cast<uintptr_t>(base);
    return address >= b && address - b + bytes <= size + kDataBlockSlack;
}
}  // namespace

bool is_block_command(const std::vector<std::string>& w) {
    return w.size() >= 2 && (w[0] == "set" || w[0] == "show") && w[1] == "block";
}

bool block_command_check(Host& host, const std::vector<std::string>& w, const std::vector<bool>& quoted,
                         std::string& error) {
    BlockCommand c;
    return parse(host, w, quoted, w[0] == "set", c, error);
}

bool block_command_run(Host& host, const std::vector<std::string>& w, const std::vector<bool>& quoted,
                       std::FILE* out, std::string& error) {
    BlockCommand c;
    if (!parse(host, w, quoted, w[0] == "set", c, error)) return false;
    if (w[0] == "show") {
        std::fprintf(out, "block \"%s\" 0x%x = %s\n", c.name.c_str(), unsigned(c.offset), show_value(c).c_str());
        return true;
    }
    if (c.type == Type::Addr && c.addr_offset != 0) {
        const uintptr_t a = reinterpret_cast<uintptr_t>(c.base) + uintptr_t(c.addr_offset);
        if (a > 0xFFFFFFFFu) return error = "this host's block memory lies above 4 GiB", false;
        put(c.bytes, u32(a));
    }
    std::memcpy(c.base + c.offset, c.bytes.data(), c.bytes.size());
    return true;
}

void publish_gps_request(Host& host) {
    size_t data_size = 0, req_size = 0;
    u8* data = host.data_block(kDataBlock, &data_size);
    u8* req = host.data_block(kRequestBlock, &req_size);
    if (!data || !req || get<u32>(req + kCodeField) != kRequestCode) return;
    const u32 zero = 0;
    std::memcpy(req + kCodeField, &zero, sizeof zero);
    const u32 count = get<u32>(req + kCountField);
    const u32 from = get<u32>(req + kPointerField), to = get<u32>(data + kPointerField);
    const size_t bytes = size_t(count) * kRecordBytes;
    // A plan the host could not hold is dropped; the code is cleared all the same.
    if (count > kMaxPlan || !inside(req, req_size, from, bytes) || !inside(data, data_size, to, bytes)) return;
    std::memmove(reinterpret_cast<u8*>(uintptr_t(to)), reinterpret_cast<const u8*>(uintptr_t(from)), bytes);
    std::memcpy(data + kPositionField, req + kPositionField, kPositionBytes);
    for (size_t field : {kPlanActiveField, kField48, kActiveIndexField, kCountField})
        std::memcpy(data + field, req + field, sizeof(u32));
}
