// The paths of the daily history files, one file per day.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/history/history_file_name.h"
#include "common/history/history_folder.h"

namespace mardonel {

// The history file of `date` in `folder` (ending with a backslash); makes
// nothing.
HistoryPath HistoryFilePathIn(const std::string& folder, const CalendarDate& date);

// The history file of `date`; makes sure the States folder exists.
HistoryPath HistoryFilePathFor(const CalendarDate& date);

// The history file of the UTC day of `utcNow`, a FILETIME count; makes sure
// the folder exists.
HistoryPath GetHistoryFilePath(std::uint64_t utcNow);

// The calendar day of a FILETIME count, without any zone change.
CalendarDate DateOf(std::uint64_t time);

}  // namespace mardonel
