// Dates and times of day on the records' own clock: the local wall clock,
// without a zone. Needs nothing of the platform, so it also builds natively
// for fuzzing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/time/calendar.h"

namespace mardonel {

// "YYYY-MM-DD" of a real date from 1601 on, nothing for anything else.
std::optional<CalendarDate> ParseIsoDate(std::string_view text);

std::string IsoDate(const CalendarDate& date);
std::string IsoDate(LocalDays day);
// "HH:MM:SS" of the time of day of `second`.
std::string TimeOfDayText(LocalSeconds second);
// "YYYY-MM-DDTHH:MM:SS", ISO 8601 local time without an offset.
std::string IsoLocalTime(LocalSeconds second);

}  // namespace mardonel
