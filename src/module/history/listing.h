// The history files of the States folder, and the trimming that keeps the
// newest of them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/fs/no_link_folder.h"
#include "common/history/history_files.h"
#include "common/time/time_points.h"
#include "history/path.h"

namespace mardonel {

inline constexpr std::size_t kKeptHistoryFiles = 30;

// Names of the files of `folder` named like a history file (HistoryFileDate),
// oldest first; other entries are not listed. Empty when the search fails,
// at its start or midway; that is logged unless the folder merely has no
// "*.mgt" entry.
[[nodiscard]] std::vector<std::string> ListHistoryFiles(const HistoryPath& folder, FindNextEntry next = FindNextFileA);

// Deletes the files of the smallest names until at most `keep` names of days
// up to `today` (a UTC day, as the files are named) remain, in the module's folders as `held`. Names of days
// after `today`, left by a clock that once ran ahead, are neither counted nor
// deleted, and stay in the list; returns how many there are. A file that
// cannot be deleted stays on disk but leaves the list all the same.
[[nodiscard]] std::size_t TrimHistoryFiles(const std::string& folder, std::vector<std::string>& names, std::size_t keep,
                                           UtcDays today, const PinnedFolders& held);

}  // namespace mardonel
