// Reads of the host's address table, each under the table's own lock.
#pragma once

#include <cstdint>
#include <optional>

#include "tovera/agent_module.h"

namespace mardonel {

// A null table reads as empty.
std::uintptr_t GetAddressCount(HostAddressTable* table);
// 0 when `index` is not below the current entry count.
std::uint32_t GetAddressWord(HostAddressTable* table, std::uint32_t index);
std::uint32_t GetMaskWord(HostAddressTable* table, std::uint32_t index);

// The subnet (address AND mask) of the first entry that holds `address`;
// none when no entry does. Each read takes the lock by itself.
[[nodiscard]] std::optional<std::uint32_t> FindSubnetOfAddress(HostAddressTable* table, std::uint32_t address);

}  // namespace mardonel
