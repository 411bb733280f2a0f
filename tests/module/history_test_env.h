// Days around the present as the history maintenance sees them, for the
// history folder tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/log/log_settings.h"
#include "common/win/unique_any.h"
#include "support/captured_log.h"
#include "support/test_env.h"

namespace mardonel {

inline constexpr std::uint64_t kTestDay = 864000000000ULL;  // FILETIME units

struct TestDay {
  std::uint64_t midnight;  // FILETIME of 00:00, no zone change
  SYSTEMTIME date;
  std::string name;  // its history file name
};

inline TestDay DayAt(std::uint64_t anyTime) {
  TestDay day;
  day.midnight = anyTime / kTestDay * kTestDay;
  const FILETIME time = FileTimeOf(day.midnight);
  FileTimeToSystemTime(&time, &day.date);
  day.name = HistoryNameFor(day.date);
  return day;
}

inline std::uint64_t UtcNowFileTime() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return FileTimeValue(now);
}

// The UTC day `offset` days from today (-1: yesterday).
inline TestDay UtcDay(int offset) { return DayAt(UtcNowFileTime() + static_cast<std::int64_t>(offset) * kTestDay); }

// The local day `offset` days from today.
inline TestDay LocalDay(int offset) { return DayAt(LocalNowFileTime() + static_cast<std::int64_t>(offset) * kTestDay); }

// The one line of a gap file: 00:00 of its day, unmanaged, and the short date.
inline std::string GapRecord(const TestDay& day) {
  char date[40] = {};
  GetDateFormatA(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &day.date, nullptr, date, sizeof date);
  return std::to_string(day.midnight) + ",1,INITIALISED," + date + " 00:00:00\r\n";
}

// Keeps a test clear of a UTC or local date change, so that the days it
// expects are the days the maintenance sees.
inline void WaitClearOfMidnight() {
  constexpr std::uint64_t kMargin = 20 * 10000000ULL;
  for (;;) {
    const std::uint64_t utcLeft = kTestDay - UtcNowFileTime() % kTestDay;
    const std::uint64_t localLeft = kTestDay - LocalNowFileTime() % kTestDay;
    if (utcLeft > kMargin && localLeft > kMargin) return;
    Sleep(1000);
  }
}

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

inline std::vector<std::string> NamesOf(const std::vector<TestDay>& days) {
  std::vector<std::string> names;
  for (const TestDay& day : days) names.push_back(day.name);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace mardonel
