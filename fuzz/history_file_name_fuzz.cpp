// Any name is judged without reading past it, and only names of the strict
// form get a date; every real date comes back from its own name, in either
// case.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "common/history/history_file_name.h"

namespace mardonel {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The reference: leap rules written out again, apart from the calendar's.
bool RealDateByHand(const CalendarDate& date) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1) return false;
  return date.day <= (date.month == 2 && IsLeapYear(date.year) ? 29 : kDays[date.month - 1]);
}

bool Same(const CalendarDate& left, const CalendarDate& right) {
  return left.year == right.year && left.month == right.month && left.day == right.day;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

int FuzzOne(const std::uint8_t* data, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  if (const std::optional<CalendarDate> date = HistoryFileDate(name)) {
    char formatted[15];
    if (!RealDateByHand(*date) || !FormatHistoryDayName(formatted, sizeof formatted, *date)) std::abort();
    if (Lower(name) != Lower(std::string(formatted) + kHistoryFileExtension)) std::abort();
  }

  if (size >= 4) {
    const CalendarDate date{(data[0] | (data[1] << 8)) % 10000, 1 + data[2] % 12, 1 + data[3] % 31};
    char formatted[15];
    if (!FormatHistoryDayName(formatted, sizeof formatted, date)) std::abort();
    for (const char* extension : {".mgt", ".MGT"}) {
      const std::optional<CalendarDate> back = HistoryFileDate(std::string(formatted) + extension);
      if (back.has_value() != RealDateByHand(date) || (back && !Same(*back, date))) std::abort();
    }
    char tooSmall[9];
    if (FormatHistoryDayName(tooSmall, sizeof tooSmall, date)) std::abort();
  }
  return 0;
}

}  // namespace mardonel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return mardonel::FuzzOne(data, size);
}
