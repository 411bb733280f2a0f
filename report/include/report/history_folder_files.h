// Reads the history files of a folder: the one part of the report that
// lists folders and opens files.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/history/history_files.h"
#include "common/time/time_points.h"
#include "report/history_log.h"

namespace mardonel {

// The days of the files to read, both included: a file is named for a UTC day.
struct FileDays {
  UtcDays first;
  UtcDays last;
};

inline constexpr FileDays kEveryFileDay{UtcDays::min(), UtcDays::max()};

// The files whose records can touch the local days `firstDay` to `lastDay`: a
// file is named for the UTC day its records were written on, their local
// times lie within a day of it, and a state holds for at most `maxGap`.
[[nodiscard]] FileDays FileDaysOfRange(LocalDays firstDay, LocalDays lastDay, std::chrono::seconds maxGap);

// Every file of `folder` whose name is a history file name of one of `days`,
// oldest first, into `log`; before them, the files back to the latest one
// that holds a state record, which tells whether the first record read is a
// change. A file that cannot be read is named in `problems` and the rest
// are still read. ERROR_SUCCESS; ERROR_DIRECTORY when `folder` is a file; or
// the code of the folder's listing failure, at its start or midway. `next`:
// as ListHistoryFolder's.
[[nodiscard]] DWORD ReadHistoryFolder(const std::string& folder, HistoryLog& log, std::vector<std::string>& problems,
                                      const FileDays& days = kEveryFileDay, FindNextEntry next = FindNextFileA);

}  // namespace mardonel
