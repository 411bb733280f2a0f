// A check of whether some target can be reached now.
#pragma once

#include <cstdint>
#include <optional>

namespace mardonel {

class IConnection {
 public:
  virtual ~IConnection() = default;
  virtual bool IsAvailable() = 0;
  [[nodiscard]] virtual bool TestConnectivity() = 0;
  // The IPv4 address, in the host table's word order, from which the last
  // check that succeeded reached its target; unknown unless a check says.
  virtual std::optional<std::uint32_t> LastLocalAddress() { return std::nullopt; }
};

}  // namespace mardonel
