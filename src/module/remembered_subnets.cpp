#include "module/remembered_subnets.h"

#include <algorithm>
#include <utility>

#include "dotted_address.h"

namespace mardonel {

namespace {

// Blanks around an entry, as people type a list, are no part of it.
std::string_view Trimmed(std::string_view entry) {
  while (!entry.empty() && (entry.front() == ' ' || entry.front() == '\t')) entry.remove_prefix(1);
  while (!entry.empty() && (entry.back() == ' ' || entry.back() == '\t')) entry.remove_suffix(1);
  return entry;
}

void AppendEntry(std::string& text, const std::string& entry) {
  if (!text.empty()) text += ';';
  text += entry;
}

}  // namespace

RememberedSubnets RememberedSubnets::Parse(std::string_view text) {
  RememberedSubnets list;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(';'), text.size());
    std::string entry(Trimmed(text.substr(0, end)));
    if (IsWellFormedSubnet(entry.c_str())) {
      list.subnets_.push_back(ParseDottedAddress(entry.c_str()));
    } else if (!entry.empty()) {
      // Read as a number it would be 0.0.0.0 or a part, and claim hosts wrongly.
      list.notTaken_.push_back(std::move(entry));
    }
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return list;
}

std::string RememberedSubnets::Format(std::size_t* leftOut) const {
  std::string text;
  for (const std::string& entry : notTaken_) AppendEntry(text, entry);
  std::vector<std::string> dotted;
  for (const std::uint32_t subnet : subnets_) {
    char buffer[20];
    dotted.emplace_back(FormatDottedAddress(buffer, sizeof buffer, subnet));
  }
  // The newest that fit, counted back from the newest.
  std::size_t first = dotted.size();
  for (std::size_t length = text.size(); first > 0; --first) {
    length += dotted[first - 1].size() + (length > 0 ? 1 : 0);
    if (length > kTextLimit) break;
  }
  for (std::size_t i = first; i < dotted.size(); ++i) AppendEntry(text, dotted[i]);
  if (leftOut != nullptr) *leftOut = first;
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
