#include "module/remembered_subnets.h"

#include <algorithm>

#include "dotted_address.h"

namespace mardonel {

namespace {

// Blanks around an entry, as people type a list, are no part of it.
std::string_view Trimmed(std::string_view entry) {
  while (!entry.empty() && (entry.front() == ' ' || entry.front() == '\t')) entry.remove_prefix(1);
  while (!entry.empty() && (entry.back() == ' ' || entry.back() == '\t')) entry.remove_suffix(1);
  return entry;
}

}  // namespace

RememberedSubnets RememberedSubnets::Parse(std::string_view text, std::vector<std::string>& skipped) {
  RememberedSubnets list;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::string entry(Trimmed(text.substr(0, end)));
    if (IsStrictDottedAddress(entry.c_str())) {
      list.subnets_.push_back(ParseDottedAddress(entry.c_str()));
    } else if (!entry.empty()) {
      // Read as a number it would be 0.0.0.0 or a part, and claim hosts wrongly.
      skipped.push_back(entry);
    }
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return list;
}

std::string RememberedSubnets::Format() const {
  std::string text;
  for (const std::uint32_t subnet : subnets_) {
    char dotted[20];
    if (!text.empty()) text += ';';
    text += FormatDottedAddress(dotted, sizeof dotted, subnet);
  }
  return text;
}

bool RememberedSubnets::Contains(std::uint32_t subnet) const {
  return std::find(subnets_.begin(), subnets_.end(), subnet) != subnets_.end();
}

void RememberedSubnets::Add(std::uint32_t subnet) {
  subnets_.push_back(subnet);
  if (subnets_.size() > kKept) subnets_.erase(subnets_.begin(), subnets_.end() - kKept);
}

void RememberedSubnets::AddMissing(const RememberedSubnets& other) {
  for (const std::uint32_t subnet : other.subnets_) {
    if (!Contains(subnet)) subnets_.push_back(subnet);
  }
}

}  // namespace mardonel
