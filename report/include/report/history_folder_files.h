// Reads the history files of a folder: the one part of the report that
// lists folders and opens files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/history/history_files.h"
#include "report/history_log.h"

namespace mardonel {

// The days of the files to read, both included (day numbers of local_days.h).
struct FileDays {
  std::int64_t first;
  std::int64_t last;
};

inline constexpr FileDays kEveryFileDay{std::numeric_limits<std::int64_t>::min(),
                                        std::numeric_limits<std::int64_t>::max()};

// The files whose records can touch the days `firstDay` to `lastDay`: a file
// is named for the UTC day its records were written on, their local times lie
// within a day of it, and a state holds for at most `maxGapSeconds`.
[[nodiscard]] FileDays FileDaysOfRange(std::int64_t firstDay, std::int64_t lastDay, std::int64_t maxGapSeconds);

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
