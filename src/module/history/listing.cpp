#include "history/listing.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "common/log/log.h"
#include "common/win/error_text.h"
#include "history/folder_chain.h"

namespace mardonel {

namespace {

void LogSearchFailure(const std::string& pattern, DWORD error) {
  if (error == ERROR_FILE_NOT_FOUND || !DebugInfoEnabled()) return;
  LogPrintf("%T: FindFirstFile failed or no files found in subdirectory '%s'. %s\n", pattern.c_str(),
            ErrorMessage(error).c_str());
}

}  // namespace

std::vector<std::string> ListHistoryFiles(const HistoryPath& folder, FindNextEntry next) {
  std::vector<std::string> names;
  const HistoryFolderListing listing =
      folder.ok() ? ListHistoryFolder(folder.value(), next) : HistoryFolderListing{{}, folder.status()};
  // A listing cut short could take an old file for the newest and fill days
  // that have files: nothing is trimmed or filled on part of the folder.
  if (!listing.ok()) {
    LogSearchFailure(HistorySearchPattern(folder.value()), listing.status());
    return names;
  }
  for (const HistoryFolderEntry& entry : listing.value()) {
    if (entry.IsHistoryFile()) names.push_back(entry.name);
  }
  return names;
}

std::size_t TrimHistoryFiles(const std::string& folder, std::vector<std::string>& names, std::size_t keep,
                             UtcDays today, const PinnedFolders& held) {
  const CalendarDate todayDate = DateOf(today);
  const auto daysToCome = std::partition_point(names.begin(), names.end(), [&](const std::string& name) {
    const std::optional<CalendarDate> date = HistoryFileDate(name);
    return date && *date <= todayDate;
  });
  const auto toCome = static_cast<std::size_t>(names.end() - daysToCome);
  if (names.size() - toCome <= keep) return toCome;
  const auto oldestKept = daysToCome - static_cast<std::ptrdiff_t>(keep);
  for (auto name = names.begin(); name != oldestKept; ++name) {
    const std::string path = folder + *name;
    if (path.size() < MAX_PATH) DeleteHistoryFile(path, held);
  }
  names.erase(names.begin(), oldestKept);
  return toCome;
}

}  // namespace mardonel
