#include "dotted_address.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace mardonel {

namespace {

constexpr std::size_t kDottedTextSize = 20;

// Only these two are read by the parse: no sign, blank or locale digit.
bool IsDigitOrDot(char c) { return c == '.' || (c >= '0' && c <= '9'); }

// The number of one to `most` decimal digits at `text`, which is moved past
// them; nothing for none or more.
std::optional<int> TakeNumber(const char*& text, int most) {
  int value = 0;
  int digits = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (++digits > most) return std::nullopt;
    value = value * 10 + (*text - '0');
  }
  if (digits == 0) return std::nullopt;
  return value;
}

}  // namespace

std::uint32_t ParseDottedAddress(const char* text) {
  if (text == nullptr) return 0;
  std::uint32_t result = 0;
  unsigned octet = 0;
  const char* group = text;
  for (const char* cursor = text; octet < 4 && IsDigitOrDot(*cursor); ++cursor) {
    // strtol reads the whole group from its start, so one conversion per group
    // gives what converting again at each of its characters would.
    if (cursor == group) {
      const auto number = static_cast<std::uint32_t>(std::strtol(group, nullptr, 10)) & 0xFFu;
      result |= number << (8 * octet);
    }
    if (*cursor == '.') {
      ++octet;
      group = cursor + 1;
    }
  }
  return result;
}

bool IsWellFormedSubnet(const char* text) {
  if (text == nullptr) return false;
  for (int octet = 0; octet < 4 && (octet == 0 || *text == '.'); ++octet) {
    if (octet > 0) ++text;
    const std::optional<int> value = TakeNumber(text, 3);
    if (!value || *value > 255) return false;
  }
  if (*text == '/') {
    ++text;
    const std::optional<int> bits = TakeNumber(text, 2);
    if (!bits || *bits > 32) return false;
  }
  return *text == '\0';
}

char* FormatDottedAddress(char* buffer, std::size_t size, std::uint32_t value) {
  static char shared[2][kDottedTextSize];
  static unsigned next = 0;
  if (buffer == nullptr) {
    buffer = shared[next];
    next ^= 1;
    size = kDottedTextSize;
  }
  std::snprintf(buffer, size, "%d.%d.%d.%d", static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF), static_cast<int>(value >> 24));
  return buffer;
}

}  // namespace mardonel
