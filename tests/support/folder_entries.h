// What a folder holds, read without the module's listing.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/win/win_owners.h"

namespace mardonel {

// Every entry of `folder` (which ends with a backslash), byte-wise sorted.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  const unique_hfind search = unique_hfind(FindFirstFileA((folder + "*").c_str(), &entry));
  if (!search) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search.get(), &entry));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace mardonel
