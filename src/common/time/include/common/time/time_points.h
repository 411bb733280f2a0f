// Times the compiler tells apart. A UTC instant and a reading of the local
// wall clock (which carries no zone) are time points of different clocks,
// both counted from 1 January 1601 00:00 as a FILETIME is: handing one where
// the other is wanted does not compile. Only a zone's rules turn one into the
// other, and a FILETIME appears only at the platform's edge. Needs nothing of
// the platform.
#pragma once

#include <chrono>
#include <cstdint>

namespace mardonel {

// A FILETIME's unit, 100-nanosecond intervals, counted as a FILETIME counts.
using FileTimeUnits = std::chrono::duration<std::uint64_t, std::ratio<1, 10000000>>;

// The clocks only name what a count is read on; the platform's edge reads
// them. Their members carry the names the standard gives a clock's.
// NOLINTBEGIN(readability-identifier-naming)
struct UtcClock {
  using duration = FileTimeUnits;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<UtcClock>;
  static constexpr bool is_steady = false;
};

struct LocalClock {
  using duration = FileTimeUnits;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<LocalClock>;
  static constexpr bool is_steady = false;
};
// NOLINTEND(readability-identifier-naming)

template <typename Duration>
using UtcTime = std::chrono::time_point<UtcClock, Duration>;
template <typename Duration>
using LocalTime = std::chrono::time_point<LocalClock, Duration>;

using UtcInstant = UtcTime<FileTimeUnits>;
using UtcSeconds = UtcTime<std::chrono::seconds>;
using UtcDays = UtcTime<std::chrono::days>;
using LocalReading = LocalTime<FileTimeUnits>;
using LocalSeconds = LocalTime<std::chrono::seconds>;
using LocalDays = LocalTime<std::chrono::days>;

}  // namespace mardonel
