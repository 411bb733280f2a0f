// Names of the daily history files and the dates they carry.
// Needs nothing of the platform, so it also builds natively for fuzzing.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "common/time/calendar.h"

namespace mardonel {

inline constexpr char kHistoryFileExtension[] = ".mgt";

// "%04d%02d%02dT" of the date into `out` (15 bytes suffice for real dates);
// false when it does not fit.
[[nodiscard]] bool FormatHistoryDayName(char* out, std::size_t size, const CalendarDate& date);

// The date of a name of the strict form YYYYMMDDT.mgt (letters in any case),
// whose eight digits form a real Gregorian date; nothing for any other name.
// Only such names are history files: everything else in the folder is left
// alone.
[[nodiscard]] std::optional<CalendarDate> HistoryFileDate(std::string_view name);

}  // namespace mardonel
