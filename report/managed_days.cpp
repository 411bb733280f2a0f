#include "report/managed_days.h"

#include <algorithm>

#include "report/local_days.h"

namespace mardonel {

namespace {

// After these the module knows nothing of the time that follows: the machine
// went to sleep or shut down, or the day was filled in later at start-up.
bool EndsKnownTime(RecordReason reason) {
  return reason == RecordReason::kSleep || reason == RecordReason::kShutdown || reason == RecordReason::kInitialised;
}

std::int64_t DayOf(std::int64_t second) { return second / kSecondsPerDay; }

std::vector<Stretch> RunningStretches(const std::vector<HistoryRecord>& records, const ReportRange& range) {
  const std::int64_t rangeStart = range.firstDay * kSecondsPerDay;
  const std::int64_t rangeEnd = (range.lastDay + 1) * kSecondsPerDay;
  std::vector<Stretch> stretches;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const HistoryRecord& record = records[i];
    if (EndsKnownTime(record.reason)) continue;
    const std::int64_t until = i + 1 < records.size() ? records[i + 1].second() : range.endSecond;
    const std::int64_t start = std::max(record.second(), rangeStart);
    const std::int64_t end = std::min({record.second() + range.maxGapSeconds, until, rangeEnd});
    if (end <= start) continue;
    const TimeKind kind = record.state == 2 ? TimeKind::kManaged : TimeKind::kUnmanaged;
    if (!stretches.empty() && stretches.back().end == start && stretches.back().kind == kind) {
      stretches.back().end = end;
    } else {
      stretches.push_back(Stretch{start, end, kind});
    }
  }
  return stretches;
}

void AddToDays(const Stretch& stretch, std::int64_t firstDay, std::vector<DayRow>& days) {
  for (std::int64_t start = stretch.start; start < stretch.end;) {
    const std::int64_t day = DayOf(start);
    const std::int64_t end = std::min(stretch.end, (day + 1) * kSecondsPerDay);
    DayRow& row = days[static_cast<std::size_t>(day - firstDay)];
    (stretch.kind == TimeKind::kManaged ? row.managed : row.unmanaged) += end - start;
    start = end;
  }
}

void FindLongestUnmanaged(const std::vector<Stretch>& stretches, RangeTotals& totals) {
  std::int64_t running = 0;
  std::int64_t start = 0;
  for (const Stretch& stretch : stretches) {
    if (stretch.kind == TimeKind::kManaged) {
      running = 0;
      continue;
    }
    if (running == 0) start = stretch.start;
    running += stretch.end - stretch.start;
    if (running > totals.longestUnmanaged) {
      totals.longestUnmanaged = running;
      totals.longestStart = start;
      totals.longestEnd = stretch.end;
    }
  }
}

}  // namespace

ManagedDays ComputeManagedDays(const std::vector<HistoryRecord>& records, const ReportRange& range) {
  ManagedDays result;
  result.days.resize(static_cast<std::size_t>(range.lastDay - range.firstDay + 1));
  for (std::size_t i = 0; i < result.days.size(); ++i)
    result.days[i].day = range.firstDay + static_cast<std::int64_t>(i);
  result.stretches = RunningStretches(records, range);
  for (const Stretch& stretch : result.stretches) AddToDays(stretch, range.firstDay, result.days);

  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::int64_t day = DayOf(records[i].second());
    if (day < range.firstDay || day > range.lastDay) continue;
    DayRow& row = result.days[static_cast<std::size_t>(day - range.firstDay)];
    if (!row.firstRecord) row.firstRecord = records[i].second();
    row.lastRecord = records[i].second();
    if (i > 0 && records[i].state != records[i - 1].state) ++row.changes;
  }

  RangeTotals& totals = result.totals;
  for (DayRow& row : result.days) {
    row.off = kSecondsPerDay - row.managed - row.unmanaged;
    totals.managed += row.managed;
    totals.unmanaged += row.unmanaged;
    totals.off += row.off;
    totals.changes += row.changes;
  }
  FindLongestUnmanaged(result.stretches, totals);
  return result;
}

std::optional<int> ManagedPermille(std::int64_t managed, std::int64_t unmanaged) {
  if (managed + unmanaged == 0) return std::nullopt;
  return static_cast<int>((managed * 1000 + (managed + unmanaged) / 2) / (managed + unmanaged));
}

}  // namespace mardonel
