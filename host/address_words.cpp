#include "address_words.h"

namespace mardonel {

std::uint32_t MaskWordForPrefix(unsigned prefixLength) {
  if (prefixLength == 0) return 0;
  const std::uint32_t hostOrder = prefixLength >= 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> prefixLength);
  // The first octet goes into the least significant byte.
  return (hostOrder >> 24) | ((hostOrder >> 8) & 0xFF00u) | ((hostOrder << 8) & 0xFF0000u) | (hostOrder << 24);
}

std::string DottedWord(std::uint32_t word) {
  return std::to_string(word & 0xFF) + "." + std::to_string((word >> 8) & 0xFF) + "." +
         std::to_string((word >> 16) & 0xFF) + "." + std::to_string(word >> 24);
}

}  // namespace mardonel
