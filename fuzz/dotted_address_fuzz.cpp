// Parsing never reads past the text; every value formats and parses back to
// itself; a well-formed dotted text parses and formats back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

#include "module/dotted_address.h"

namespace {

bool WellFormed(const std::string& text) {
  static const std::regex octet("^(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})$");
  std::smatch match;
  if (!std::regex_match(text, match, octet)) return false;
  for (int group = 1; group <= 4; ++group) {
    if (std::stoi(match[group].str()) > 255) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::uint32_t parsed = ParseDottedAddress(text.c_str());

  char formatted[20];
  FormatDottedAddress(formatted, sizeof formatted, parsed);
  if (ParseDottedAddress(formatted) != parsed) std::abort();
  if (WellFormed(text) && text != formatted) std::abort();

  if (size >= 4) {
    std::uint32_t value;
    std::memcpy(&value, data, sizeof value);
    if (ParseDottedAddress(FormatDottedAddress(nullptr, 0, value)) != value) std::abort();
  }
  return 0;
}
