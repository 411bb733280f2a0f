// Day numbers, dates and times of day on the records' own clock: local wall
// clock time without a zone, counted in seconds from 1 January 1601 00:00.
// Needs nothing of the platform, so it also builds natively for fuzzing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/history/history_file_name.h"
#include "common/history/history_record.h"

namespace mardonel {

// Days since 1 January 1601 (day 0) of a date of the Gregorian calendar.
std::int64_t DayNumber(const CalendarDate& date);
CalendarDate DateOfDay(std::int64_t day);

// Day 0 of the year 10000: the records' times lie before it, so every date
// printed has four digits.
inline constexpr std::int64_t kFirstDayAfterYear9999 = 3067671;

// "YYYY-MM-DD" of a real date, nothing for anything else.
std::optional<CalendarDate> ParseIsoDate(std::string_view text);

std::string IsoDate(std::int64_t day);
// "HH:MM:SS" of the time of day of `second`.
std::string TimeOfDayText(std::int64_t second);
// "YYYY-MM-DDTHH:MM:SS", ISO 8601 local time without an offset.
std::string IsoLocalTime(std::int64_t second);

}  // namespace mardonel
