// The host's named data blocks as scripts see them ("set block", "show block"), and the host's
// answer to a DIRECT TO request: publishing the requested plan in the data block.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "host/host.h"

// True when words[0..1] are "set block" or "show block".
bool is_block_command(const std::vector<std::string>& words);
// Checks a block command completely (block name, offset, type, value, bounds, the pointer
// rule at +0xac); false with a message for a bad script line.
bool block_command_check(Host& host, const std::vector<std::string>& words, const std::vector<bool>& quoted,
                         std::string& error);
// Runs a checked block command; false with a message when the block's memory cannot take an
// address of 32 bits.
bool block_command_run(Host& host, const std::vector<std::string>& words, const std::vector<bool>& quoted,
                       std::FILE* out, std::string& error);

// After a frame: a request left with code 2 becomes the host's plan, and the code is cleared.
void publish_gps_request(Host& host);
