// A FILETIME as the one 64-bit count every caller computes with, and back;
// as a time point of the clock the caller knows it was read on; the clock and
// the text of such a count. The platform's edge: past it, times are typed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/time/time_points.h"
#include "common/win/file_time_units.h"

namespace mardonel {

[[nodiscard]] constexpr std::uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

[[nodiscard]] constexpr FILETIME FileTimeOf(std::uint64_t value) {
  return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

template <typename Clock>
[[nodiscard]] constexpr std::chrono::time_point<Clock, FileTimeUnits> TimePointOf(const FILETIME& time) {
  return std::chrono::time_point<Clock, FileTimeUnits>(FileTimeUnits(FileTimeValue(time)));
}

template <typename Clock>
[[nodiscard]] constexpr FILETIME FileTimeOf(std::chrono::time_point<Clock, FileTimeUnits> time) {
  return FileTimeOf(time.time_since_epoch().count());
}

// GetSystemTimeAsFileTime as a count.
[[nodiscard]] std::uint64_t UtcNowFileTime();
[[nodiscard]] UtcInstant UtcNow();

// The system locale's short date and hh:mm:ss of `local` (the clock's epoch:
// now); the date is left empty when it cannot be made. With a null `buffer`
// one of two alternating static 40-byte buffers is used.
char* LocalTimeText(char* buffer, std::size_t size, LocalReading local);

}  // namespace mardonel
