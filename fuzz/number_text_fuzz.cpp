// Any text is read without reading past it; every 32-bit number comes back
// from its decimal and hexadecimal forms, blanks around them included, and
// never from a form one digit too long.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "number_text.h"

namespace mardonel {

namespace {

void ExpectNumber(const std::string& text, std::uint32_t number) {
  const auto parsed = ParseNumberText(text);
  if (!parsed || *parsed != number) std::abort();
}

}  // namespace

int FuzzOne(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static_cast<void>(ParseNumberText(text));  // any text is safe to read

  if (size >= 4) {
    const std::uint32_t number =
        data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    char decimal[16];
    char hexadecimal[16];
    std::snprintf(decimal, sizeof decimal, "%u", number);
    std::snprintf(hexadecimal, sizeof hexadecimal, "0x%x", number);
    ExpectNumber(decimal, number);
    ExpectNumber(std::string(" \t") + hexadecimal + " ", number);
    // Ten times the number does not fit once it passes 32 bits.
    if (number > 0xFFFFFFFFu / 10 && ParseNumberText(std::string(decimal) + "0")) std::abort();
    if (number > 0x0FFFFFFFu && ParseNumberText(std::string(hexadecimal) + "0")) std::abort();
  }
  return 0;
}

}  // namespace mardonel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return mardonel::FuzzOne(data, size);
}
