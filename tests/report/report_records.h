// Records and days of hand-made history folders for the report tests.
#pragma once

#include <windows.h>

#include <chrono>
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

using std::chrono::days;
using std::chrono::seconds;

// Hand-made times: seconds and days since 1601 on the clock the case means.
inline constexpr UtcSeconds Utc(std::int64_t second) { return UtcSeconds(seconds(second)); }
inline constexpr LocalSeconds Local(std::int64_t second) { return LocalSeconds(seconds(second)); }
inline constexpr LocalDays LocalDay(std::int64_t day) { return LocalDays(days(day)); }
// The UTC second that reads `second` after the start of `day` where the
// local clock is UTC.
inline constexpr UtcSeconds UtcInUtcZone(LocalDays day, std::int64_t second = 0) {
  return UtcSeconds(day.time_since_epoch() + seconds(second));
}

// The days `firstDay` to `lastDay` of `files`, read in memory.
inline ManagedDays DaysOf(const HandFiles& files, LocalDays firstDay, LocalDays lastDay, UtcSeconds now,
                          const ZoneRules& zone, std::int64_t maxGap = 7200) {
  HistoryLog log;
  for (const auto& [name, content] : files) AddHistoryFile(log, name, content);
  DropDuplicateRecords(log);
  return ComputeManagedDays(log.records, ReportRange{firstDay, lastDay, now, seconds(maxGap)}, zone);
}

// A local clock `offset` seconds ahead of UTC all the time.
inline ZoneRules FixedOffset(std::int64_t offset) { return ZoneRules({{Utc(0), seconds(offset)}}); }

// Berlin in 2026: UTC+1, UTC+2 from 29 March 01:00 UTC, UTC+1 again from
// 25 October 01:00 UTC.
inline ZoneRules Berlin2026() {
  return ZoneRules({{Utc(0), seconds(3600)}, {Utc(13419219600), seconds(7200)}, {Utc(13437363600), seconds(3600)}});
}

inline constexpr LocalDays kSpringDay = LocalDay(155315);  // 2026-03-29
inline constexpr LocalDays kFallDay = LocalDay(155525);    // 2026-10-25
inline constexpr LocalDays kDecember1 = LocalDay(155562);  // 2026-12-01
inline constexpr LocalDays kLongAfterDay = LocalDay(155600);
inline constexpr UtcSeconds kLongAfter = UtcInUtcZone(kLongAfterDay);

}  // namespace mardonel
