#include "stress_env.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/win/unique_any.h"
#include "module/dotted_address.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

std::vector<std::string> AllHistoryLines(const std::string& statesFolder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  if (const unique_hfind search = unique_hfind(FindFirstFileA((statesFolder + "*.mgt").c_str(), &entry))) {
    do {
      names.emplace_back(entry.cFileName);
    } while (FindNextFileA(search.get(), &entry));
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> lines;
  for (const std::string& name : names) {
    for (std::string& line : SplitLines(ReadWholeFile(statesFolder + name))) lines.push_back(std::move(line));
  }
  return lines;
}

std::uint64_t CommittedBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PagefileUsage;
}

void ReportFigure(const char* name, std::int64_t value) {
  std::printf("[ figure   ] %s = %lld\n", name, static_cast<long long>(value));
  std::fflush(stdout);
  testing::Test::RecordProperty(name, std::to_string(value));
}

std::uint32_t SubnetOf(const char* dotted) { return ParseDottedAddress(dotted); }

}  // namespace mardonel
