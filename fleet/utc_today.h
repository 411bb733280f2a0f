// Today's day number (report/local_days.h) by this machine's UTC clock,
// whatever its time zone.
#pragma once

#include <cstdint>
#include <ctime>

#include "report/local_days.h"

namespace mardonel::fleet {

[[nodiscard]] inline std::int64_t TodayInUtc() {
  constexpr std::int64_t kSecondsPerDay = 86400;
  return DayNumber(CalendarDate{1970, 1, 1}) + static_cast<std::int64_t>(std::time(nullptr)) / kSecondsPerDay;
}

}  // namespace mardonel::fleet
