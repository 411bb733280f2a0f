// Parsing never reads past the text; every value formats and parses back to
// itself; a well-formed dotted text parses and formats back to itself; the
// well-formed subnet is one to four groups of one to three digits up to 255
// with an optional prefix length up to 32, and is taken as the parse reads
// it; a remembered list's stored text reads back to itself, the entries not
// taken included.
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

// The four groups of `form` up to 255, and its prefix length, when it has
// one, up to 32.
bool GroupsInRange(const std::string& text, const std::regex& form) {
  std::smatch match;
  if (!std::regex_match(text, match, form)) return false;
  for (int group = 1; group <= 4; ++group) {
    if (match[group].matched && std::stoi(match[group].str()) > 255) return false;
  }
  return match.size() < 6 || !match[5].matched || std::stoi(match[5].str()) <= 32;
}

bool SubnetForm(const std::string& text) {
  static const std::regex digits(
      "^([0-9]{1,3})(?:\\.([0-9]{1,3}))?(?:\\.([0-9]{1,3}))?(?:\\.([0-9]{1,3}))?(?:/([0-9]{1,2}))?$");
  return GroupsInRange(text, digits);
}

// As formatted: no leading zeros.
bool WellFormed(const std::string& text) {
  static const std::regex noLeadingZero(
      "^(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})$");
  return GroupsInRange(text, noLeadingZero);
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
  if (IsWellFormedSubnet(text.c_str()) != SubnetForm(entry)) std::abort();
  const RememberedSubnets list = RememberedSubnets::Parse(entry);
  if (SubnetForm(entry) && (!list.Contains(parsed) || !list.NotTaken().empty())) std::abort();

  const RememberedSubnets read = RememberedSubnets::Parse(text);
  const std::string stored = read.Format();
  const RememberedSubnets readAgain = RememberedSubnets::Parse(stored);
  if (readAgain.Format() != stored || readAgain.NotTaken() != read.NotTaken()) std::abort();

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
