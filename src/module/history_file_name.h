// Names of the daily history files and the dates they carry.
// Needs nothing of the platform, so it also builds natively for fuzzing.
#pragma once

#include <cstddef>

inline constexpr char kHistoryFileExtension[] = ".mgt";

struct CalendarDate {
  int year;
  int month;
  int day;
};

// "%04d%02d%02dT" of the date into `out` (15 bytes suffice for real dates);
// false when it does not fit.
bool FormatHistoryDayName(char* out, std::size_t size, const CalendarDate& date);

// The date of a history file name from its first eight characters: year
// from 1-4, month from 5-6, day from 7-8, each as a decimal number that ends
// at its first non-digit. `name` must be longer than eight characters.
CalendarDate DateFromHistoryName(const char* name);
