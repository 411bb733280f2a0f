#include "common/history/history_file_name.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mardonel {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int DecimalField(const char* text, std::size_t length) {
  char field[5] = {};
  std::memcpy(field, text, length);
  return static_cast<int>(std::strtol(field, nullptr, 10));
}

// Year from characters 1-4, month from 5-6, day from 7-8.
CalendarDate DateFromHistoryName(const char* name) {
  return CalendarDate{DecimalField(name, 4), DecimalField(name + 4, 2), DecimalField(name + 6, 2)};
}

}  // namespace

bool FormatHistoryDayName(char* out, std::size_t size, const CalendarDate& date) {
  const int written = std::snprintf(out, size, "%04d%02d%02dT", date.year, date.month, date.day);
  return written >= 0 && static_cast<std::size_t>(written) < size;
}

std::optional<CalendarDate> HistoryFileDate(std::string_view name) {
  constexpr std::string_view kSuffix = "t.mgt";
  if (name.size() != 8 + kSuffix.size()) return std::nullopt;
  for (std::size_t i = 0; i < 8; ++i) {
    if (name[i] < '0' || name[i] > '9') return std::nullopt;
  }
  for (std::size_t i = 0; i < kSuffix.size(); ++i) {
    if (LowerAscii(name[8 + i]) != kSuffix[i]) return std::nullopt;
  }
  const CalendarDate date = DateFromHistoryName(name.data());
  if (date.year < 1 || !IsRealDate(date)) return std::nullopt;
  return date;
}

}  // namespace mardonel
