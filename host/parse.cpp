#include "host/parse.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
bool read_limited(std::FILE* f, std::string& out, std::string& why) {
    std::string text;
    char buf[65536];
    for (;;) {
        const size_t n = std::fread(buf, 1, sizeof buf, f);
        text.append(buf, n);
        if (text.size() > kMaxInputBytes) {
            why = "is larger than 16 MiB";
            return false;
        }
        if (n < sizeof buf) break;
    }
    if (std::ferror(f)) {
        why = "cannot be read";
        return false;
    }
    out = std::move(text);
    return true;
}
}  // namespace

bool read_text_file(const std::string& path, std::string& out, std::string& why) {
    // Looked at before opening: opening a pipe would wait for a writer.
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        why = errno == ENOENT ? "no such file" : "cannot be opened";
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        why = "is a directory";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        why = "is not a regular file";
        return false;
    }
    if (u64(st.st_size) > kMaxInputBytes) {
        why = "is larger than 16 MiB";
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        why = "cannot be opened";
        return false;
    }
    const bool ok = read_limited(f, out, why);
    std::fclose(f);
    return ok;
}

bool read_text_stream(std::FILE* in, std::string& out, std::string& why) { return read_limited(in, out, why); }

void skip_bom(std::string& text) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
}

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return s.substr(b, e - b);
}

bool parse_f64(const std::string& s, f64& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const f64 v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size()) return false;  // also refuses a NUL inside the text
    out = v;  // overflow gives an infinity, which scripts may use on purpose
    return true;
}

bool parse_u32(const std::string& s, u32& out) {
    if (s.empty() || s.size() > 12) return false;
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    u64 v = 0;
    for (size_t i = hex ? 2 : 0; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * (hex ? 16 : 10) + u64(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    out = u32(v);
    return true;
}

bool parse_i32(const std::string& s, i32& out) {
    if (s.empty()) return false;
    const bool neg = s[0] == '-';
    u32 mag;
    if (!parse_u32(neg || s[0] == '+' ? s.substr(1) : s, mag)) return false;
    if (neg ? mag > 0x80000000u : mag > 0x7FFFFFFFu) return false;
    out = neg ? i32(-i64(mag)) : i32(mag);
    return true;
}

std::string printable(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (const char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out;
}

std::string relative_to(const std::string& from_file, const std::string& path) {
    const bool absolute = (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
                          (path.size() > 1 && path[1] == ':');  // a drive letter
    if (absolute) return path;
    const size_t slash = from_file.find_last_of("/\\");
    return slash == std::string::npos ? path : from_file.substr(0, slash + 1) + path;
}
