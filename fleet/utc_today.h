// Today by this machine's UTC clock, whatever its time zone.
#pragma once

#include <chrono>
#include <ctime>

#include "common/time/calendar.h"

namespace mardonel::fleet {

[[nodiscard]] inline UtcDays TodayInUtc() {
  const std::chrono::days sinceUnixEpoch =
      std::chrono::floor<std::chrono::days>(std::chrono::seconds(std::time(nullptr)));
  return DayOf<UtcClock>(CalendarDate{1970, 1, 1}) + sinceUnixEpoch;
}

}  // namespace mardonel::fleet
