// The managed subnets remembered across runs, as the registry value
// ManagedSubnets holds them. Needs nothing of the platform, so it also
// builds natively for fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mardonel {

class RememberedSubnets {
 public:
  static constexpr std::size_t kKept = 5;

  // The entries of `text`, separated by ';' and trimmed of blanks (spaces,
  // tabs), in text order: every strict dotted address, repeats and more than
  // kKept included. Other non-empty entries are left out and listed in
  // `skipped`.
  [[nodiscard]] static RememberedSubnets Parse(std::string_view text, std::vector<std::string>& skipped);

  // The dotted subnets, oldest first, joined by ';' without blanks.
  [[nodiscard]] std::string Format() const;

  [[nodiscard]] bool Contains(std::uint32_t subnet) const;

  // Adds `subnet` as the newest and keeps the kKept newest.
  void Add(std::uint32_t subnet);

  // Adds the subnets of `other` that this list lacks, as the newest, in
  // their order; keeps them all.
  void AddMissing(const RememberedSubnets& other);

 private:
  std::vector<std::uint32_t> subnets_;  // oldest first
};

}  // namespace mardonel
