// Subnets as dotted decimal text; the first octet is the least significant
// byte. Needs nothing of the platform, so it also builds natively for fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mardonel {

std::uint32_t ParseDottedAddress(const char* text);

// One to four decimal numbers 0-255 (one to three digits each) joined by
// dots, maybe followed by "/" and a prefix length 0-32, and nothing else:
// the texts ParseDottedAddress reads as they were meant ("10.1" as
// 10.1.0.0, "10.0.0.0/8" as 10.0.0.0), the only ones taken as a remembered
// subnet. Any other would read as a subnet nobody wrote.
[[nodiscard]] bool IsWellFormedSubnet(const char* text);

// Writes "%d.%d.%d.%d"; a null `buffer` uses one of two alternating static
// 20-byte buffers.
char* FormatDottedAddress(char* buffer, std::size_t size, std::uint32_t value);

}  // namespace mardonel
