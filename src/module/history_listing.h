// The history files of the States folder, and the trimming that keeps the
// newest of them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/fs/no_link_folder.h"
#include "common/history/history_files.h"
#include "module/history_path.h"

namespace mardonel {

inline constexpr std::size_t kKeptHistoryFiles = 30;

// Names of the files of `folder` named like a history file (HistoryFileDate),
// oldest first; other entries are not listed. Empty when the search fails,
// at its start or midway; that is logged unless the folder merely has no
// "*.mgt" entry.
[[nodiscard]] std::vector<std::string> ListHistoryFiles(const HistoryPath& folder, FindNextEntry next = FindNextFileA);

// Deletes the files of the smallest names until at most `keep` names remain,
// in the module's folders as `held`, but never the file of `today` (files
// named for days to come, left by a clock that once ran ahead, sort after
// it). A file that cannot be deleted, or is spared, stays on disk but leaves
// the list all the same.
void TrimHistoryFiles(const std::string& folder, std::vector<std::string>& names, std::size_t keep,
                      const CalendarDate& today, const PinnedFolders& held);

}  // namespace mardonel
