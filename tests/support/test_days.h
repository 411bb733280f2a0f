// Days around the test clock's present as the history maintenance sees
// them, for the history folder tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/fake_clock.h"
#include "support/file_times.h"

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

// The UTC day `offset` days from the day of `now` (-1: the day before).
inline TestDay UtcDay(int offset, std::uint64_t now = kWorkedExampleTime) {
  return DayAt(now + static_cast<std::int64_t>(offset) * kTestDay);
}

inline std::vector<std::string> NamesOf(const std::vector<TestDay>& days) {
  std::vector<std::string> names;
  for (const TestDay& day : days) names.push_back(day.name);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace mardonel
