// Any name yields a date without reading past it; every date the day
// names can hold comes back from its own name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "module/history_file_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string name(reinterpret_cast<const char*>(data), size);
  name.resize(name.size() < 9 ? 9 : name.size(), 'x');
  DateFromHistoryName(name.c_str());

  if (size >= 4) {
    const CalendarDate date{(data[0] | (data[1] << 8)) % 10000, 1 + data[2] % 12, 1 + data[3] % 31};
    char formatted[15];
    if (!FormatHistoryDayName(formatted, sizeof formatted, date)) std::abort();
    const std::string full = std::string(formatted) + kHistoryFileExtension;
    const CalendarDate back = DateFromHistoryName(full.c_str());
    if (back.year != date.year || back.month != date.month || back.day != date.day) std::abort();
    char tooSmall[9];
    if (FormatHistoryDayName(tooSmall, sizeof tooSmall, date)) std::abort();
  }
  return 0;
}
