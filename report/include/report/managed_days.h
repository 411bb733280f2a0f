// Managed, unmanaged and off-or-unknown time per local calendar day, in real
// seconds, from records in the order of their files' days and lines: the
// order they were written in, but across a clock set back over UTC midnight.
// Needs nothing of the platform.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/history/history_record.h"
#include "report/zone_rules.h"

namespace mardonel {

enum class TimeKind : std::uint8_t { kOff, kUnmanaged, kManaged };

// [start, end)
struct Stretch {
  UtcSeconds start;
  UtcSeconds end;
  TimeKind kind;
};

struct ReportRange {
  LocalDays firstDay;  // both days included
  LocalDays lastDay;
  UtcSeconds now;               // a record after it counts nothing yet
  std::chrono::seconds maxGap;  // how long a record's state holds at most
};

// Part of a day's bar, by the local clock from the day's 00:00.
struct DayPiece {
  std::chrono::seconds from;
  std::chrono::seconds to;
  TimeKind kind;
};

// The figures are counts of real seconds.
struct DayRow {
  LocalDays day;
  std::int64_t length = 0;  // real seconds: 82,800 on a spring-forward day
  std::int64_t managed = 0;
  std::int64_t unmanaged = 0;
  std::int64_t off = 0;
  int changes = 0;  // state records whose state differs from the one before
  // The day's earliest and latest record in real time, by their readings.
  std::optional<LocalSeconds> firstRecord;
  std::optional<LocalSeconds> lastRecord;
  std::vector<DayPiece> pieces;  // the managed and unmanaged time, by the local clock
};

struct RangeTotals {
  std::int64_t managed = 0;
  std::int64_t unmanaged = 0;
  std::int64_t off = 0;
  int changes = 0;
  // Running time without managed time: off time pauses such a stretch, only
  // managed time ends it.
  std::int64_t longestUnmanaged = 0;
  LocalSeconds longestStart;
  LocalSeconds longestEnd;
};

struct ManagedDays {
  std::vector<DayRow> days;
  std::vector<Stretch> stretches;  // the managed and unmanaged time of the range, in order
  RangeTotals totals;
};

ManagedDays ComputeManagedDays(const std::vector<HistoryRecord>& records, const ReportRange& range,
                               const ZoneRules& zone);

// Managed time as a share of running time, in tenths of a percent; nothing
// when the machine did not run.
std::optional<int> ManagedPermille(std::int64_t managed, std::int64_t unmanaged);
// The same in whole percent, rounded once from the seconds.
std::optional<int> ManagedPercent(std::int64_t managed, std::int64_t unmanaged);

}  // namespace mardonel
