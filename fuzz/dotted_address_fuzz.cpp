// Parsing never reads past the text; every value formats and parses back to
// itself; a well-formed dotted text parses and formats back to itself; the
// strict form is exactly four groups of one to three digits up to 255; a
// remembered list's stored text reads back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "dotted_address.h"
#include "module/remembered_subnets.h"

namespace mardonel {

namespace {

// The four groups of `form`, each at most 255.
bool FourOctets(const std::string& text, const std::regex& form) {
  std::smatch match;
  if (!std::regex_match(text, match, form)) return false;
  for (int group = 1; group <= 4; ++group) {
    if (std::stoi(match[group].str()) > 255) return false;
  }
  return true;
}

bool StrictForm(const std::string& text) {
  static const std::regex digits("^([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})$");
  return FourOctets(text, digits);
}

// As formatted: no leading zeros.
bool WellFormed(const std::string& text) {
  static const std::regex noLeadingZero(
      "^(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})$");
  return FourOctets(text, noLeadingZero);
}

}  // namespace

int FuzzOne(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::uint32_t parsed = ParseDottedAddress(text.c_str());

  char formatted[20];
  FormatDottedAddress(formatted, sizeof formatted, parsed);
  if (ParseDottedAddress(formatted) != parsed) std::abort();
  if (WellFormed(text) && text != formatted) std::abort();
  // The text stops at its first NUL, as a stored entry would.
  const std::string entry = text.c_str();
  if (IsStrictDottedAddress(text.c_str()) != StrictForm(entry)) std::abort();

  std::vector<std::string> skipped;
  const std::string stored = RememberedSubnets::Parse(text, skipped).Format();
  std::vector<std::string> skippedAgain;
  if (RememberedSubnets::Parse(stored, skippedAgain).Format() != stored || !skippedAgain.empty()) std::abort();

  if (size >= 4) {
    std::uint32_t value;
    std::memcpy(&value, data, sizeof value);
    if (ParseDottedAddress(FormatDottedAddress(nullptr, 0, value)) != value) std::abort();
  }
  return 0;
}

}  // namespace mardonel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return mardonel::FuzzOne(data, size);
}
