// A FILETIME as the one 64-bit count every caller computes with, and back;
// the clock and the text of such a count.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/win/file_time_units.h"

namespace mardonel {

[[nodiscard]] constexpr std::uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

[[nodiscard]] constexpr FILETIME FileTimeOf(std::uint64_t value) {
  return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

// GetSystemTimeAsFileTime as a count.
[[nodiscard]] std::uint64_t UtcNowFileTime();

// The system locale's short date and hh:mm:ss of `localFileTime` (0: now);
// the date is left empty when it cannot be made. With a null `buffer` one of
// two alternating static 40-byte buffers is used.
char* LocalTimeText(char* buffer, std::size_t size, std::uint64_t localFileTime);

}  // namespace mardonel
