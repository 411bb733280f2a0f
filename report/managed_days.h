// Managed, unmanaged and off-or-unknown time per local calendar day, from
// records in event-time order. Needs nothing of the platform.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/history/history_record.h"

namespace mardonel {

enum class TimeKind : std::uint8_t { kOff, kUnmanaged, kManaged };

// [start, end) in seconds of the local clock since 1601.
struct Stretch {
  std::int64_t start;
  std::int64_t end;
  TimeKind kind;
};

struct ReportRange {
  std::int64_t firstDay;  // day numbers, both days included
  std::int64_t lastDay;
  std::int64_t endSecond;      // the state of the last record holds at most until here
  std::int64_t maxGapSeconds;  // how long a record's state holds at most
};

struct DayRow {
  std::int64_t day = 0;
  std::int64_t managed = 0;
  std::int64_t unmanaged = 0;
  std::int64_t off = 0;
  int changes = 0;  // records whose state differs from the record before
  std::optional<std::int64_t> firstRecord;
  std::optional<std::int64_t> lastRecord;
};

struct RangeTotals {
  std::int64_t managed = 0;
  std::int64_t unmanaged = 0;
  std::int64_t off = 0;
  int changes = 0;
  // Running time without managed time: off time pauses such a stretch, only
  // managed time ends it.
  std::int64_t longestUnmanaged = 0;
  std::int64_t longestStart = 0;
  std::int64_t longestEnd = 0;
};

struct ManagedDays {
  std::vector<DayRow> days;
  std::vector<Stretch> stretches;  // the managed and unmanaged time of the range, in order
  RangeTotals totals;
};

ManagedDays ComputeManagedDays(const std::vector<HistoryRecord>& records, const ReportRange& range);

// Managed time as a share of running time, in tenths of a percent; nothing
// when the machine did not run.
std::optional<int> ManagedPermille(std::int64_t managed, std::int64_t unmanaged);

}  // namespace mardonel
