#include "common/time/calendar.h"

#include <cstdint>

namespace mardonel {

namespace {

// Days from 1 January 1601 back to 1 March of the year 0, the start of the
// 400-year era of 146,097 days the conversions count in.
constexpr std::int64_t kDaysBefore1601 = 584694;
constexpr std::int64_t kDaysPerEra = 146097;

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor) {
  return value / divisor - (value % divisor < 0 ? 1 : 0);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

bool IsRealDate(const CalendarDate& date) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.month < 1 || date.month > 12 || date.day < 1) return false;
  return date.day <= (date.month == 2 && IsLeapYear(date.year) ? 29 : kDays[date.month - 1]);
}

// Years begin in March so that the leap day ends them.
std::chrono::days DaysSince1601(const CalendarDate& date) {
  const std::int64_t year = date.year - (date.month <= 2 ? 1 : 0);
  const std::int64_t era = FloorDivide(year, 400);
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t shiftedMonth = (date.month + 9) % 12;
  const std::int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + date.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return std::chrono::days(era * kDaysPerEra + dayOfEra - kDaysBefore1601);
}

CalendarDate DateAfter1601(std::chrono::days days) {
  const std::int64_t shifted = days.count() + kDaysBefore1601;
  const std::int64_t era = FloorDivide(shifted, kDaysPerEra);
  const std::int64_t dayOfEra = shifted - era * kDaysPerEra;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int dayOfMonth = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  return CalendarDate{year, month, dayOfMonth};
}

}  // namespace mardonel
