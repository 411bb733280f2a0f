// Dates of the Gregorian calendar and the days they fall on: the one place
// that knows the leap rules. Needs nothing of the platform.
#pragma once

#include <chrono>
#include <compare>

#include "common/time/time_points.h"

namespace mardonel {

// A calendar day, as a clock of either kind reads it.
struct CalendarDate {
  int year;
  int month;
  int day;

  // Earlier dates first, as the fields stand.
  auto operator<=>(const CalendarDate&) const = default;
};

// Whether `date` is a day of the calendar: its month 1 to 12 and its day
// within that month's length.
[[nodiscard]] bool IsRealDate(const CalendarDate& date);

// Days from 1 January 1601 (day 0) to a real date, and back; dates before
// 1601 count back from it.
[[nodiscard]] std::chrono::days DaysSince1601(const CalendarDate& date);
[[nodiscard]] CalendarDate DateAfter1601(std::chrono::days days);

// The day of `date` on one clock: a local date gives a local day, never a
// UTC one.
template <typename Clock>
[[nodiscard]] std::chrono::time_point<Clock, std::chrono::days> DayOf(const CalendarDate& date) {
  return std::chrono::time_point<Clock, std::chrono::days>(DaysSince1601(date));
}

template <typename Clock, typename Duration>
[[nodiscard]] CalendarDate DateOf(std::chrono::time_point<Clock, Duration> time) {
  return DateAfter1601(std::chrono::floor<std::chrono::days>(time).time_since_epoch());
}

}  // namespace mardonel
