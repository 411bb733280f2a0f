// Reads the history files of a folder: the one part of the report that
// lists folders and opens files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/history/history_files.h"
#include "report/history_log.h"

namespace mardonel {

// Every file of `folder` whose name is a history file name, oldest first,
// into `log`. A file that cannot be read is named in `problems` and the rest
// are still read. ERROR_SUCCESS; ERROR_DIRECTORY when `folder` is a file; or
// the code of the folder's listing failure, at its start or midway. `next`:
// as ListHistoryFolder's.
[[nodiscard]] DWORD ReadHistoryFolder(const std::string& folder, HistoryLog& log, std::vector<std::string>& problems,
                                      FindNextEntry next = FindNextFileA);

}  // namespace mardonel
