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
  // The most of the value a start-up reads.
  static constexpr std::size_t kTextLimit = 259;

  // The entries of `text`, separated by ';' and trimmed of blanks (spaces,
  // tabs), in text order: every well-formed subnet, repeats and more than
  // kKept included. Other non-empty entries are not taken; they are kept as
  // they stand (NotTaken), for the value is the administrator's.
  [[nodiscard]] static RememberedSubnets Parse(std::string_view text);

  // The entries not taken, then the dotted subnets, oldest first, joined by
  // ';' without blanks. The oldest subnets are left out while the text would
  // be longer than kTextLimit, so that a start-up can read it whole;
  // `leftOut`, when given, gets how many were.
  [[nodiscard]] std::string Format(std::size_t* leftOut = nullptr) const;

  [[nodiscard]] bool Contains(std::uint32_t subnet) const;

  [[nodiscard]] const std::vector<std::string>& NotTaken() const { return notTaken_; }

  // Adds `subnet` as the newest and keeps the kKept newest.
  void Add(std::uint32_t subnet);

  // Adds the subnets of `other` that this list lacks, as the newest, in
  // their order; keeps them all.
  void AddMissing(const RememberedSubnets& other);

 private:
  std::vector<std::uint32_t> subnets_;  // oldest first
  std::vector<std::string> notTaken_;   // in text order
};

}  // namespace mardonel
