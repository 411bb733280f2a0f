#include "common/history/history_files.h"

#include <algorithm>
#include <utility>

#include "common/win/win_owners.h"

namespace mardonel {

namespace {

HistoryFolderEntry EntryOf(const WIN32_FIND_DATAA& found) {
  return HistoryFolderEntry{found.cFileName, HistoryFileDate(found.cFileName),
                            (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow,
                            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0};
}

}  // namespace

std::string HistorySearchPattern(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder + "*" + kHistoryFileExtension;
}

HistoryFolderListing ListHistoryFolder(const std::string& folder, FindNextEntry next) {
  const std::string pattern = HistorySearchPattern(folder);
  if (pattern.size() >= MAX_PATH) return {{}, ERROR_FILENAME_EXCED_RANGE};
  WIN32_FIND_DATAA found;
  const unique_hfind search = unique_hfind(FindFirstFileA(pattern.c_str(), &found));
  if (!search) return {{}, GetLastError()};
  std::vector<HistoryFolderEntry> entries;
  do {
    entries.push_back(EntryOf(found));
  } while (next(search.get(), &found));
  DWORD status = GetLastError();
  if (status == ERROR_NO_MORE_FILES) status = ERROR_SUCCESS;
  std::sort(entries.begin(), entries.end(),
            [](const HistoryFolderEntry& a, const HistoryFolderEntry& b) { return a.name < b.name; });
  return {std::move(entries), status};
}

}  // namespace mardonel
