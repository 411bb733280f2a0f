#include "number_text.h"

namespace mardonel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int DigitValue(char c, unsigned base) {
  int value = 16;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < static_cast<int>(base) ? value : -1;
}

}  // namespace

std::optional<std::uint32_t> ParseNumberText(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t number = 0;
  for (const char c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return std::nullopt;
    number = number * base + static_cast<unsigned>(digit);
    if (number > UINT32_MAX) return std::nullopt;
  }
  return static_cast<std::uint32_t>(number);
}

}  // namespace mardonel
