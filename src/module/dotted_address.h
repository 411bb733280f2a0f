// Subnets as dotted decimal text; the first octet is the least significant
// byte. Needs nothing of the platform, so it also builds natively for fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mardonel {

std::uint32_t ParseDottedAddress(const char* text);

// Exactly four decimal numbers 0-255 (one to three digits each) joined by
// dots, and nothing else: the only texts taken as a remembered subnet.
[[nodiscard]] bool IsStrictDottedAddress(const char* text);

// Writes "%d.%d.%d.%d"; a null `buffer` uses one of two alternating static
// 20-byte buffers.
char* FormatDottedAddress(char* buffer, std::size_t size, std::uint32_t value);

}  // namespace mardonel
