// Records and days of hand-made history folders for the report tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "report/history_log.h"
#include "report/managed_days.h"
#include "support/file_times.h"

namespace mardonel {

// A record as the module writes it, at the local wall-clock time `local`
// ("YYYY-MM-DD hh:mm:ss") plus half a second.
inline std::string Record(const char* local, int state, const char* reason) {
  SYSTEMTIME time{};
  std::sscanf(local, "%hu-%hu-%hu %hu:%hu:%hu", &time.wYear, &time.wMonth, &time.wDay, &time.wHour, &time.wMinute,
              &time.wSecond);
  FILETIME fileTime;
  SystemTimeToFileTime(&time, &fileTime);
  char line[128];
  std::snprintf(line, sizeof line, "%llu,%d,%s,%u/%u/%u %02u:%02u:%02u\r\n",
                static_cast<unsigned long long>(FileTimeValue(fileTime) + 5000000), state, reason, time.wMonth,
                time.wDay, time.wYear, time.wHour, time.wMinute, time.wSecond);
  return line;
}

using HandFiles = std::vector<std::pair<std::string, std::string>>;  // name, content

// The days `firstDay` to `lastDay` of `files`, read in memory.
inline ManagedDays DaysOf(const HandFiles& files, std::int64_t firstDay, std::int64_t lastDay, std::int64_t nowUtc,
                          const ZoneRules& zone, std::int64_t maxGap = 7200) {
  HistoryLog log;
  for (const auto& [name, content] : files) AddHistoryFile(log, name, content);
  DropDuplicateRecords(log);
  return ComputeManagedDays(log.records, ReportRange{firstDay, lastDay, nowUtc, maxGap}, zone);
}

// Berlin in 2026: UTC+1, UTC+2 from 29 March 01:00 UTC, UTC+1 again from
// 25 October 01:00 UTC.
inline ZoneRules Berlin2026() { return ZoneRules({{0, 3600}, {13419219600, 7200}, {13437363600, 3600}}); }

inline constexpr std::int64_t kSpringDay = 155315;  // 2026-03-29
inline constexpr std::int64_t kFallDay = 155525;    // 2026-10-25
inline constexpr std::int64_t kDecember1 = 155562;  // 2026-12-01
inline constexpr std::int64_t kLongAfter = 155600LL * 86400;

}  // namespace mardonel
