#include "module/history_listing.h"

#include <windows.h>

#include <algorithm>

#include "common/history/history_file_name.h"
#include "common/log/log.h"
#include "common/win/error_text.h"
#include "common/win/unique_any.h"
#include "module/history_folder_chain.h"

namespace mardonel {

namespace {

constexpr char kSearchPattern[] = "*.mgt";

void LogSearchFailure(const std::string& pattern, DWORD error) {
  if (error == ERROR_FILE_NOT_FOUND || !DebugInfoEnabled()) return;
  LogPrintf("%T: FindFirstFile failed or no files found in subdirectory '%s'. %s\n", pattern.c_str(),
            ErrorMessage(error).c_str());
}

}  // namespace

std::vector<std::string> ListHistoryFiles(const HistoryPath& folder) {
  const std::string pattern = folder.text + kSearchPattern;
  std::vector<std::string> names;
  if (folder.error != ERROR_SUCCESS || pattern.size() >= MAX_PATH) {
    LogSearchFailure(pattern, folder.error != ERROR_SUCCESS ? folder.error : ERROR_FILENAME_EXCED_RANGE);
    return names;
  }

  WIN32_FIND_DATAA entry;
  const unique_hfind search = unique_hfind(FindFirstFileA(pattern.c_str(), &entry));
  if (!search) {
    LogSearchFailure(pattern, GetLastError());
    return names;
  }
  do {
    // Anything else that matches the pattern belongs to someone else.
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && HistoryFileDate(entry.cFileName)) {
      names.emplace_back(entry.cFileName);
    }
  } while (FindNextFileA(search.get(), &entry));
  std::sort(names.begin(), names.end());
  return names;
}

void TrimHistoryFiles(const std::string& folder, std::vector<std::string>& names, std::size_t keep,
                      const PinnedFolders& held) {
  if (names.size() <= keep) return;
  const auto oldestKept = names.end() - static_cast<std::ptrdiff_t>(keep);
  for (auto name = names.begin(); name != oldestKept; ++name) {
    const std::string path = folder + *name;
    if (path.size() < MAX_PATH) DeleteHistoryFile(path, held);
  }
  names.erase(names.begin(), oldestKept);
}

}  // namespace mardonel
