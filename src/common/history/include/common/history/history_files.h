// The one listing of a history folder, for the module's maintenance, the
// report and the host alike.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/history/history_file_name.h"
#include "common/win/with_status.h"

namespace mardonel {

struct HistoryFolderEntry {
  std::string name;
  std::optional<CalendarDate> date;  // when the name is a history file name
  std::uint64_t size;
  bool plainFile;  // not a folder

  // Only these are the module's: anything else belongs to someone else.
  [[nodiscard]] bool IsHistoryFile() const { return plainFile && date.has_value(); }
};

// The entries byte-wise by name. The status is ERROR_SUCCESS when the whole
// folder was listed and ERROR_FILE_NOT_FOUND when nothing matches; after any
// other failure the entries are those that came before it.
using HistoryFolderListing = WithStatus<std::vector<HistoryFolderEntry>>;

// "<folder>\\*.mgt": what the listing searches for.
[[nodiscard]] std::string HistorySearchPattern(std::string folder);

using FindNextEntry = BOOL(WINAPI*)(HANDLE search, LPWIN32_FIND_DATAA entry);

// Every entry of `folder` (with or without its trailing backslash) whose name
// matches "*.mgt", folders included. `next`: how the search goes on, a seam
// for a search that fails midway.
[[nodiscard]] HistoryFolderListing ListHistoryFolder(const std::string& folder, FindNextEntry next = FindNextFileA);

}  // namespace mardonel
