#include "report/local_days.h"

#include <cstdio>

namespace mardonel {

namespace {

// Days from 1 January 1601 back to 1 March of the year 0, the start of the
// 400-year cycle the conversions count in.
constexpr std::int64_t kDaysBefore1601 = 584694;

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor) {
  return value / divisor - (value % divisor < 0 ? 1 : 0);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// Years begin in March so that the leap day ends them.
std::int64_t DayNumber(const CalendarDate& date) {
  const std::int64_t year = date.year - (date.month <= 2 ? 1 : 0);
  const std::int64_t era = FloorDivide(year, 400);
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t shiftedMonth = (date.month + 9) % 12;
  const std::int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + date.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - kDaysBefore1601;
}

CalendarDate DateOfDay(std::int64_t day) {
  const std::int64_t shifted = day + kDaysBefore1601;
  const std::int64_t era = FloorDivide(shifted, 146097);
  const std::int64_t dayOfEra = shifted - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int dayOfMonth = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  return CalendarDate{year, month, dayOfMonth};
}

std::optional<CalendarDate> ParseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  int fields[3] = {};
  const std::size_t starts[3] = {0, 5, 8};
  const std::size_t lengths[3] = {4, 2, 2};
  for (int field = 0; field < 3; ++field) {
    for (std::size_t i = starts[field]; i < starts[field] + lengths[field]; ++i) {
      if (!IsDigit(text[i])) return std::nullopt;
      fields[field] = fields[field] * 10 + (text[i] - '0');
    }
  }
  const CalendarDate date{fields[0], fields[1], fields[2]};
  if (date.year < 1601 || date.month < 1 || date.month > 12 || date.day < 1) return std::nullopt;
  // A day past the month's end comes back as a day of the next month.
  const CalendarDate back = DateOfDay(DayNumber(date));
  if (back.month != date.month || back.day != date.day) return std::nullopt;
  return date;
}

std::string IsoDate(std::int64_t day) {
  const CalendarDate date = DateOfDay(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

std::string TimeOfDayText(std::int64_t second) {
  const std::int64_t ofDay = second - FloorDivide(second, kSecondsPerDay) * kSecondsPerDay;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(ofDay / 3600), static_cast<int>(ofDay / 60 % 60),
                static_cast<int>(ofDay % 60));
  return text;
}

std::string IsoLocalTime(std::int64_t second) {
  return IsoDate(FloorDivide(second, kSecondsPerDay)) + "T" + TimeOfDayText(second);
}

}  // namespace mardonel
