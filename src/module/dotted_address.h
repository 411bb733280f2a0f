// Subnets as dotted decimal text; the first octet is the least significant
// byte. Needs nothing of the platform, so it also builds natively for fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>

std::uint32_t ParseDottedAddress(const char* text);

// Writes "%d.%d.%d.%d"; a null `buffer` uses one of two alternating static
// 20-byte buffers.
char* FormatDottedAddress(char* buffer, std::size_t size, std::uint32_t value);
