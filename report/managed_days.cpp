#include "report/managed_days.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace mardonel {

namespace {

using std::chrono::seconds;

constexpr UtcSeconds kEarliest = UtcSeconds::min();
constexpr UtcSeconds kLatest = UtcSeconds::max();
constexpr seconds kWholeDay = std::chrono::days(1);

struct TimedRecord {
  UtcSeconds utc;
  LocalSeconds local;
  ManagedState state;
  RecordReason reason;
};

// After these the machine went down: nothing is known of the time that follows.
bool EndsRunning(RecordReason reason) { return reason == RecordReason::kSleep || reason == RecordReason::kShutdown; }

LocalDays DayOf(LocalSeconds local) { return std::chrono::floor<std::chrono::days>(local); }

// The records up to now, in the order read, each read in real time: of the two
// readings of a repeated hour, the one that keeps the order of the state
// records. A gap record, written later for a day the module knew nothing
// of, takes no part in that order: it is read at its first reading. A record
// after now counts nothing yet, not even as the end of the one before it.
std::vector<TimedRecord> TimedRecords(const std::vector<HistoryRecord>& records, const ZoneRules& zone,
                                      UtcSeconds now) {
  std::vector<TimedRecord> timed;
  timed.reserve(records.size());
  UtcSeconds previous = kEarliest;
  for (const HistoryRecord& record : records) {
    const LocalSeconds local = record.second();
    const bool gapRecord = record.reason == RecordReason::kInitialised;
    const UtcSeconds utc = zone.UtcOf(local, gapRecord ? kEarliest : previous);
    if (utc > now) continue;
    if (!gapRecord) previous = utc;
    timed.push_back(TimedRecord{utc, local, record.state, record.reason});
  }
  return timed;
}

std::vector<TimedRecord> StateRecords(const std::vector<TimedRecord>& timed) {
  std::vector<TimedRecord> states;
  states.reserve(timed.size());
  std::copy_if(timed.begin(), timed.end(), std::back_inserter(states),
               [](const TimedRecord& record) { return record.reason != RecordReason::kInitialised; });
  return states;
}

// A record's state holds until the next record, for at most the longest
// gap, never past now, and never over time already counted (a clock set
// back): it holds only from the end of the latest state counted before it.
// What is counted does not depend on the range, which only cuts it.
std::vector<Stretch> RunningStretches(const std::vector<TimedRecord>& states, const ReportRange& range,
                                      UtcSeconds rangeStart, UtcSeconds rangeEnd) {
  UtcSeconds counted = kEarliest;
  std::vector<Stretch> stretches;
  for (std::size_t i = 0; i < states.size(); ++i) {
    const TimedRecord& record = states[i];
    if (EndsRunning(record.reason)) continue;
    const UtcSeconds until = i + 1 < states.size() ? states[i + 1].utc : kLatest;
    const UtcSeconds stop = std::min({record.utc + range.maxGap, until, range.now});
    const UtcSeconds from = std::max(record.utc, counted);
    if (stop <= from) continue;
    counted = stop;
    const UtcSeconds start = std::max(from, rangeStart);
    const UtcSeconds end = std::min(stop, rangeEnd);
    if (end <= start) continue;
    const TimeKind kind = record.state == kManaged ? TimeKind::kManaged : TimeKind::kUnmanaged;
    if (!stretches.empty() && stretches.back().end == start && stretches.back().kind == kind) {
      stretches.back().end = end;
    } else {
      stretches.push_back(Stretch{start, end, kind});
    }
  }
  return stretches;
}

void AddPiece(DayRow& row, seconds from, seconds to, TimeKind kind) {
  from = std::clamp(from, seconds(0), kWholeDay);
  to = std::clamp(to, seconds(0), kWholeDay);
  if (to <= from) return;
  if (!row.pieces.empty() && row.pieces.back().to == from && row.pieces.back().kind == kind) {
    row.pieces.back().to = to;
  } else {
    row.pieces.push_back(DayPiece{from, to, kind});
  }
}

// `dayStarts` holds the real start of each day of the range and of the day
// after it.
void AddToDays(const Stretch& stretch, const std::vector<UtcSeconds>& dayStarts, const ZoneRules& zone,
               std::vector<DayRow>& days) {
  auto next = std::upper_bound(dayStarts.begin(), dayStarts.end(), stretch.start);
  for (UtcSeconds start = stretch.start; start < stretch.end; ++next) {
    const UtcSeconds end = std::min(stretch.end, *next);
    DayRow& row = days[static_cast<std::size_t>(next - dayStarts.begin() - 1)];
    (stretch.kind == TimeKind::kManaged ? row.managed : row.unmanaged) += (end - start).count();
    const LocalSeconds midnight = row.day;
    AddPiece(row, zone.LocalOf(start) - midnight, end == *next ? kWholeDay : zone.LocalOf(end) - midnight,
             stretch.kind);
    start = end;
  }
}

// First and last are the day's records earliest and latest in real time,
// as the seconds are counted (a fall-back night reads an hour twice).
void CountRecords(const std::vector<TimedRecord>& timed, const std::vector<TimedRecord>& states,
                  const ReportRange& range, std::vector<DayRow>& days) {
  const auto rowOf = [&](LocalSeconds local) -> DayRow* {
    const LocalDays day = DayOf(local);
    return day < range.firstDay || day > range.lastDay
               ? nullptr
               : &days[static_cast<std::size_t>((day - range.firstDay).count())];
  };
  std::vector<std::pair<UtcSeconds, LocalSeconds>> firstUtc(days.size(), {kLatest, LocalSeconds()});
  std::vector<std::pair<UtcSeconds, LocalSeconds>> lastUtc(days.size(), {kEarliest, LocalSeconds()});
  for (const TimedRecord& record : timed) {
    DayRow* row = rowOf(record.local);
    if (row == nullptr) continue;
    const auto at = static_cast<std::size_t>(row - days.data());
    firstUtc[at] = std::min(firstUtc[at], std::pair(record.utc, record.local));
    lastUtc[at] = std::max(lastUtc[at], std::pair(record.utc, record.local));
    row->firstRecord = firstUtc[at].second;
    row->lastRecord = lastUtc[at].second;
  }
  for (std::size_t i = 1; i < states.size(); ++i) {
    if (states[i].state == states[i - 1].state) continue;
    if (DayRow* row = rowOf(states[i].local)) ++row->changes;
  }
}

void FindLongestUnmanaged(const std::vector<Stretch>& stretches, const ZoneRules& zone, RangeTotals& totals) {
  std::int64_t running = 0;
  UtcSeconds start;
  for (const Stretch& stretch : stretches) {
    if (stretch.kind == TimeKind::kManaged) {
      running = 0;
      continue;
    }
    if (running == 0) start = stretch.start;
    running += (stretch.end - stretch.start).count();
    if (running > totals.longestUnmanaged) {
      totals.longestUnmanaged = running;
      totals.longestStart = zone.LocalOf(start);
      totals.longestEnd = zone.LocalOf(stretch.end);
    }
  }
}

}  // namespace

ManagedDays ComputeManagedDays(const std::vector<HistoryRecord>& records, const ReportRange& range,
                               const ZoneRules& zone) {
  ManagedDays result;
  const auto dayCount = static_cast<std::size_t>((range.lastDay - range.firstDay).count() + 1);
  const auto dayAt = [&](std::size_t i) { return range.firstDay + std::chrono::days(static_cast<std::int64_t>(i)); };
  std::vector<UtcSeconds> dayStarts(dayCount + 1);
  for (std::size_t i = 0; i <= dayCount; ++i) dayStarts[i] = zone.UtcOf(dayAt(i), kEarliest);
  result.days.resize(dayCount);
  for (std::size_t i = 0; i < dayCount; ++i) {
    result.days[i].day = dayAt(i);
    result.days[i].length = (dayStarts[i + 1] - dayStarts[i]).count();
  }
  const std::vector<TimedRecord> timed = TimedRecords(records, zone, range.now);
  const std::vector<TimedRecord> states = StateRecords(timed);
  result.stretches = RunningStretches(states, range, dayStarts.front(), dayStarts.back());
  for (const Stretch& stretch : result.stretches) AddToDays(stretch, dayStarts, zone, result.days);
  CountRecords(timed, states, range, result.days);

  RangeTotals& totals = result.totals;
  for (DayRow& row : result.days) {
    row.off = row.length - row.managed - row.unmanaged;
    totals.managed += row.managed;
    totals.unmanaged += row.unmanaged;
    totals.off += row.off;
    totals.changes += row.changes;
  }
  FindLongestUnmanaged(result.stretches, zone, totals);
  return result;
}

std::optional<int> ManagedPermille(std::int64_t managed, std::int64_t unmanaged) {
  if (managed + unmanaged == 0) return std::nullopt;
  return static_cast<int>((managed * 1000 + (managed + unmanaged) / 2) / (managed + unmanaged));
}

std::optional<int> ManagedPercent(std::int64_t managed, std::int64_t unmanaged) {
  if (managed + unmanaged == 0) return std::nullopt;
  return static_cast<int>((managed * 100 + (managed + unmanaged) / 2) / (managed + unmanaged));
}

}  // namespace mardonel
