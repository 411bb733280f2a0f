// The units of a FILETIME count (100-nanosecond intervals since 1 January
// 1601), for code with and without the platform alike.
#pragma once

#include <cstdint>

namespace mardonel {

inline constexpr std::uint64_t kFileTimeUnitsPerSecond = 10000000;
inline constexpr std::uint64_t kFileTimeUnitsPerHour = 3600 * kFileTimeUnitsPerSecond;
inline constexpr std::uint64_t kFileTimeUnitsPerDay = 24 * kFileTimeUnitsPerHour;

}  // namespace mardonel
