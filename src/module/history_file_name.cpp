#include "module/history_file_name.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int DecimalField(const char* text, std::size_t length) {
  char field[5] = {};
  std::memcpy(field, text, length);
  return static_cast<int>(std::strtol(field, nullptr, 10));
}

}  // namespace

bool FormatHistoryDayName(char* out, std::size_t size, const CalendarDate& date) {
  const int written = std::snprintf(out, size, "%04d%02d%02dT", date.year, date.month, date.day);
  return written >= 0 && static_cast<std::size_t>(written) < size;
}

CalendarDate DateFromHistoryName(const char* name) {
  return CalendarDate{DecimalField(name, 4), DecimalField(name + 4, 2), DecimalField(name + 6, 2)};
}
