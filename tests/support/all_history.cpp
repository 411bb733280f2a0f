#include "support/all_history.h"

#include <windows.h>

#include <algorithm>

#include "common/win/win_owners.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

std::vector<std::string> HistoryFileNames(const std::string& statesFolder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  if (const unique_hfind search = unique_hfind(FindFirstFileA((statesFolder + "*.mgt").c_str(), &entry))) {
    do {
      names.emplace_back(entry.cFileName);
    } while (FindNextFileA(search.get(), &entry));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::string AllHistoryText(const std::string& statesFolder) {
  std::string text;
  for (const std::string& name : HistoryFileNames(statesFolder)) text += ReadWholeFile(statesFolder + name);
  return text;
}

std::vector<std::string> AllHistoryLines(const std::string& statesFolder) {
  std::vector<std::string> lines;
  for (const std::string& name : HistoryFileNames(statesFolder)) {
    for (std::string& line : SplitLines(ReadWholeFile(statesFolder + name))) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace mardonel
