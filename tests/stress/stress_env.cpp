#include "stress_env.h"

#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/log/log.h"
#include "common/win/unique_any.h"
#include "module/dotted_address.h"

ScopedLogSettings::ScopedLogSettings(const std::string& path, std::int32_t maxSize, std::uint32_t debug)
    : name_(LogFileName), maxSize_(MaxLogFilesize), debug_(Debug) {
  const ScopedTempFolder scratch;
  lstrcpynA(LogFileName, (scratch / "leftovers.log").c_str(), kLogFileNameSize);
  MaxLogFilesize = 1 << 24;
  LogNow("");
  lstrcpynA(LogFileName, path.c_str(), kLogFileNameSize);
  MaxLogFilesize = maxSize;
  Debug = debug;
}

ScopedLogSettings::~ScopedLogSettings() {
  lstrcpynA(LogFileName, name_.c_str(), kLogFileNameSize);
  MaxLogFilesize = maxSize_;
  Debug = debug_;
}

int LogNow(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vLogPrintf(format, args);
  va_end(args);
  return result;
}

int LogLater(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vFastLogPrintf(format, args);
  va_end(args);
  return result;
}

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

int CountEndingWith(const std::vector<std::string>& lines, const std::string& text) {
  int count = 0;
  for (const std::string& line : lines) {
    if (line.size() >= text.size() && line.compare(line.size() - text.size(), text.size(), text) == 0) ++count;
  }
  return count;
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
