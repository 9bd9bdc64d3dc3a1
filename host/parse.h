// Reading and number parsing shared by the script reader and the panel-configuration reader.
#pragma once
#include <cstdio>
#include <string>

#include "module/types.h"

// The largest script or panel file read: a bigger one is a mistake (or a device).
constexpr size_t kMaxInputBytes = 16u << 20;

// Reads a whole regular file of at most kMaxInputBytes. On failure returns false with the
// reason ("is a directory", "is larger than 16 MiB", ...) in `why`.
bool read_text_file(const std::string& path, std::string& out, std::string& why);
// The same for a stream (standard input); a stream is read up to the limit, no further.
bool read_text_stream(std::FILE* in, std::string& out, std::string& why);

// Drops a UTF-8 byte-order mark at the start of a text.
void skip_bom(std::string& text);

bool parse_u32(const std::string& s, u32& out);
bool parse_i32(const std::string& s, i32& out);
bool parse_f64(const std::string& s, f64& out);
std::string trim(const std::string& s);

// A text fit for a one-line message: control bytes (NUL, newline, ...) shown as \xNN.
std::string printable(const std::string& s);

// `path` as seen from the folder of `from_file` (absolute paths stand as they are).
std::string relative_to(const std::string& from_file, const std::string& path);
