// The two words of a host table entry, as the module reads them: network
// byte order as held in memory, first octet in the least significant byte.
// Needs nothing of the platform.
#pragma once

#include <cstdint>
#include <string>

namespace mardonel {

// The mask word of an on-link prefix length; lengths above 32 count as 32.
std::uint32_t MaskWordForPrefix(unsigned prefixLength);

// "a.b.c.d" of a word.
std::string DottedWord(std::uint32_t word);

}  // namespace mardonel
