#include "report/local_days.h"

#include <cstdio>

namespace mardonel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

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
  if (date.year < 1601 || !IsRealDate(date)) return std::nullopt;
  return date;
}

std::string IsoDate(LocalDays day) { return IsoDate(DateOf(day)); }

std::string IsoDate(const CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

std::string TimeOfDayText(LocalSeconds second) {
  const auto ofDay = static_cast<int>((second - std::chrono::floor<std::chrono::days>(second)).count());
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", ofDay / 3600, ofDay / 60 % 60, ofDay % 60);
  return text;
}

std::string IsoLocalTime(LocalSeconds second) {
  return IsoDate(std::chrono::floor<std::chrono::days>(second)) + "T" + TimeOfDayText(second);
}

}  // namespace mardonel
