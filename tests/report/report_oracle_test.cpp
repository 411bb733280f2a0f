// The report against a per-second reference on generated folders: a machine
// that starts, sleeps, loses its management point, loses power, and whose
// clock is set back or runs ahead, in UTC and in a zone far from it across
// the daylight-saving days of 2026.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "report/history_folder_files.h"
#include "report/local_days.h"
#include "report/managed_days.h"
#include "report/this_machine.h"
#include "report_records.h"
#include "support/child_run.h"
#include "support/temp_folder.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

// Files by the UTC day the clock read when each record was written.
using Folder = std::map<std::int64_t, std::vector<HistoryRecord>>;

// The reference counts in plain seconds and days since 1601.
std::int64_t DayNumber(const CalendarDate& date) { return DaysSince1601(date).count(); }
std::int64_t Count(LocalSeconds local) { return local.time_since_epoch().count(); }

std::string FileText(const std::vector<HistoryRecord>& records, std::mt19937& random) {
  std::string text;
  for (const HistoryRecord& record : records) {
    const LocalSeconds local = record.second();
    const CalendarDate date = DateOf(local);
    char dateText[24] = "";
    if (random() % 8 != 0) std::snprintf(dateText, sizeof dateText, "%d/%d/%d", date.month, date.day, date.year);
    text += HistoryRecordLine(record, std::string(dateText) + " " + TimeOfDayText(local));
  }
  return text;
}

// Sessions from eight days before `day` to six days after it, more than a
// report of the days around it reads.
Folder Generate(std::mt19937& random, const ZoneRules& zone, std::int64_t day) {
  Folder folder;
  auto between = [&](std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(random() % (high - low + 1));
  };
  std::int64_t real = (day - 8) * kSecondsPerDay + between(0, kSecondsPerDay);
  std::int64_t skew = 0;
  ManagedState state = kUnmanaged;
  const auto write = [&](RecordReason reason) {
    const std::int64_t clock = real + skew;
    const std::int64_t fileDay = clock / kSecondsPerDay;
    if (reason == RecordReason::kStartup && !folder.empty()) {
      for (std::int64_t gap = folder.rbegin()->first + 1; gap < fileDay; ++gap) {
        folder[gap].push_back(
            HistoryRecord{LocalReading(seconds(gap * kSecondsPerDay)), kUnmanaged, RecordReason::kInitialised});
      }
    }
    const LocalReading eventTime = zone.LocalOf(Utc(clock)) + FileTimeUnits(random() % 10000000);
    folder[fileDay].push_back(HistoryRecord{eventTime, state, reason});
  };
  while (real < (day + 6) * kSecondsPerDay) {
    state = random() % 2 ? kManaged : kUnmanaged;
    write(RecordReason::kStartup);
    for (int step = between(0, 12); step > 0; --step) {
      real += between(60, 4000);
      switch (random() % 6) {
        case 0:
          state = random() % 2 ? kManaged : kUnmanaged;
          write(RecordReason::kNetAdaptersChanged);
          break;
        case 1:
          state = kUnmanaged;
          write(RecordReason::kSleep);
          real += between(60, 20000);
          state = random() % 2 ? kManaged : kUnmanaged;
          write(RecordReason::kOutOfSuspend);
          break;
        case 2:
          // A clock set back, or one that ran ahead and is set right again.
          skew = skew == 0 ? (random() % 3 ? -between(60, 30000) : between(3600, 3 * kSecondsPerDay)) : 0;
          [[fallthrough]];
        default:
          write(RecordReason::kHeartbeat);
      }
    }
    real += between(60, 4000);
    if (random() % 3 != 0) {
      state = kUnmanaged;
      write(RecordReason::kShutdown);
    }
    real += random() % 6 ? between(60, 30 * 3600) : between(2 * kSecondsPerDay, 5 * kSecondsPerDay);
  }
  return folder;
}

struct DayFigures {
  std::int64_t length = 0;
  std::int64_t managed = 0;
  std::int64_t unmanaged = 0;
  int changes = 0;
  std::optional<LocalSeconds> first;
  std::optional<LocalSeconds> last;
  std::int64_t firstUtc = 0;
  std::int64_t lastUtc = 0;
};

// Deliberately simple: every reading of a local second is tried, and every
// second of the range marked one by one.
class Reference {
 public:
  Reference(const ZoneRules& zone, std::int64_t firstDay, std::int64_t lastDay)
      : zone_(zone),
        base_(firstDay * kSecondsPerDay - kFar),
        firstDay_(firstDay),
        lastDay_(lastDay),
        kinds_(static_cast<std::size_t>((lastDay - firstDay + 1) * kSecondsPerDay + 2 * kFar), TimeKind::kOff) {}

  std::vector<DayFigures> Days(const Folder& folder, std::int64_t now, std::int64_t maxGap) {
    struct Timed {
      std::int64_t utc;
      std::int64_t local;
      const HistoryRecord* record;
    };
    std::vector<Timed> all;
    std::vector<Timed> states;
    std::int64_t previous = std::numeric_limits<std::int64_t>::min();
    for (const auto& [day, records] : folder) {
      for (const HistoryRecord& record : records) {
        const bool gap = record.reason == RecordReason::kInitialised;
        const std::int64_t local = Count(record.second());
        const std::int64_t utc = UtcOf(local, gap ? std::numeric_limits<std::int64_t>::min() : previous);
        if (utc > now) continue;
        all.push_back({utc, local, &record});
        if (gap) continue;
        previous = utc;
        states.push_back(all.back());
      }
    }
    std::vector<DayFigures> days(static_cast<std::size_t>(lastDay_ - firstDay_ + 1));
    std::int64_t counted = std::numeric_limits<std::int64_t>::min();
    for (std::size_t i = 0; i < states.size(); ++i) {
      const RecordReason reason = states[i].record->reason;
      if (i > 0 && states[i].record->state != states[i - 1].record->state) {
        if (DayFigures* row = RowOf(days, states[i].local)) ++row->changes;
      }
      if (reason == RecordReason::kSleep || reason == RecordReason::kShutdown) continue;
      std::int64_t end = std::min(states[i].utc + maxGap, now);
      if (i + 1 < states.size()) end = std::min(end, states[i + 1].utc);
      for (std::int64_t second = std::max(states[i].utc, counted); second < end; ++second) {
        if (second >= base_ && second - base_ < static_cast<std::int64_t>(kinds_.size())) {
          kinds_[static_cast<std::size_t>(second - base_)] =
              states[i].record->state == kManaged ? TimeKind::kManaged : TimeKind::kUnmanaged;
        }
        counted = second + 1;
      }
    }
    for (std::size_t at = 0; at < kinds_.size(); ++at) {
      DayFigures* row = RowOf(days, LocalOf(base_ + static_cast<std::int64_t>(at)));
      if (row == nullptr) continue;
      ++row->length;
      row->managed += kinds_[at] == TimeKind::kManaged;
      row->unmanaged += kinds_[at] == TimeKind::kUnmanaged;
    }
    for (const Timed& timed : all) {
      DayFigures* row = RowOf(days, timed.local);
      if (row == nullptr) continue;
      if (!row->first || timed.utc < row->firstUtc) {
        row->first = Local(timed.local);
        row->firstUtc = timed.utc;
      }
      if (!row->last || timed.utc > row->lastUtc) {
        row->last = Local(timed.local);
        row->lastUtc = timed.utc;
      }
    }
    return days;
  }

 private:
  static constexpr std::int64_t kFar = 16 * 3600;

  [[nodiscard]] std::int64_t LocalOf(std::int64_t utc) const { return Count(zone_.LocalOf(Utc(utc))); }

  DayFigures* RowOf(std::vector<DayFigures>& days, std::int64_t local) const {
    const std::int64_t day = local / kSecondsPerDay;
    return day < firstDay_ || day > lastDay_ ? nullptr : &days[static_cast<std::size_t>(day - firstDay_)];
  }

  // Of the readings of `local`, the first at or after `notBefore`, else the
  // last; a reading the clock skipped is the first second after it.
  std::int64_t UtcOf(std::int64_t local, std::int64_t notBefore) const {
    std::vector<std::int64_t> readings;
    for (std::int64_t utc = local - kFar; utc <= local + kFar; utc += 900) {
      if (LocalOf(utc) == local) readings.push_back(utc);
    }
    for (std::int64_t reading : readings) {
      if (reading >= notBefore) return reading;
    }
    if (!readings.empty()) return readings.back();
    std::int64_t utc = local - kFar;
    while (LocalOf(utc) < local) ++utc;
    return utc;
  }

  const ZoneRules& zone_;
  std::int64_t base_;
  std::int64_t firstDay_;
  std::int64_t lastDay_;
  std::vector<TimeKind> kinds_;
};

std::string FileName(std::int64_t day) {
  const CalendarDate date = DateAfter1601(days(day));
  char name[32];
  std::snprintf(name, sizeof name, "%04d%02d%02dT.mgt", date.year, date.month, date.day);
  return name;
}

// A few hundred folders, each reported over a few days of its week, compared
// day by day.
void ExpectReferenceDays(const ZoneRules& zone) {
  std::mt19937 random(20260405);
  const std::int64_t turns[] = {DayNumber({2026, 4, 5}),   DayNumber({2026, 9, 27}), DayNumber({2026, 3, 29}),
                                DayNumber({2026, 10, 25}), DayNumber({2026, 3, 8}),  DayNumber({2026, 11, 1})};
  for (int run = 0; run < 150; ++run) {
    const std::int64_t centre =
        run % 7 < 6 ? turns[run % 6] : DayNumber({2026, 1, 1}) + static_cast<std::int64_t>(random() % 365);
    const Folder folder = Generate(random, zone, centre);
    const ScopedTempFolder files;
    for (const auto& [day, records] : folder) WriteWholeFile(files / FileName(day), FileText(records, random));
    const std::int64_t firstDay = centre - 2 + static_cast<std::int64_t>(random() % 4);
    const std::int64_t lastDay = firstDay + static_cast<std::int64_t>(random() % 3);
    const std::int64_t now = (centre - 2) * kSecondsPerDay + static_cast<std::int64_t>(random() % (5 * kSecondsPerDay));
    const std::int64_t maxGaps[] = {600, 3600, 5400, 7200};
    const std::int64_t maxGap = maxGaps[random() % 4];

    HistoryLog log;
    std::vector<std::string> problems;
    ASSERT_EQ(ReadHistoryFolder(files.path(), log, problems,
                                FileDaysOfRange(LocalDay(firstDay), LocalDay(lastDay), seconds(maxGap))),
              0u);
    DropDuplicateRecords(log);
    const ManagedDays report = ComputeManagedDays(
        log.records, ReportRange{LocalDay(firstDay), LocalDay(lastDay), Utc(now), seconds(maxGap)}, zone);
    const std::vector<DayFigures> expected = Reference(zone, firstDay, lastDay).Days(folder, now, maxGap);
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const DayRow& row = report.days[i];
      const std::string what = "run " + std::to_string(run) + ", " + IsoDate(row.day);
      EXPECT_EQ(row.length, expected[i].length) << what;
      EXPECT_EQ(row.managed, expected[i].managed) << what;
      EXPECT_EQ(row.unmanaged, expected[i].unmanaged) << what;
      EXPECT_EQ(row.changes, expected[i].changes) << what;
      EXPECT_EQ(row.firstRecord, expected[i].first) << what;
      EXPECT_EQ(row.lastRecord, expected[i].last) << what;
    }
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(ReportReference, GeneratedFoldersInUtc) { ExpectReferenceDays(ZoneRules()); }

// The machine's own rules, with the offsets they give on 1 January and
// 1 June 2026; 1 January 1601, the calendar's first day, is whole in them.
void ExpectMachineZoneReferenceDays(std::int32_t january, std::int32_t june) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of ReportReference.GeneratedFolders*";
  const WithStatus<ZoneRules> first = MachineZone(DaySpan{LocalDay(0), LocalDay(0)});
  const WithStatus<ZoneRules> zone =
      MachineZone(DaySpan{LocalDay(DayNumber({2025, 12, 1})), LocalDay(DayNumber({2027, 2, 1}))});
  ASSERT_TRUE(first.ok() && zone.ok());
  const ReportRange firstCalendarDay{LocalDay(0), LocalDay(0), Utc(0), seconds(7200)};
  EXPECT_EQ(ComputeManagedDays({}, firstCalendarDay, first.value()).days[0].length, kSecondsPerDay);
  for (const auto& [month, offset] : {std::pair{1, january}, std::pair{6, june}}) {
    const std::int64_t midnight = DayNumber({2026, month, 1}) * kSecondsPerDay;
    ASSERT_EQ(zone.value().LocalOf(Utc(midnight)), Local(midnight + offset)) << month;
  }
  ExpectReferenceDays(zone.value());
}

// Chatham Islands: 13:45 ahead of UTC, 12:45 from 5 April 2026, 13:45 again
// from 27 September.
TEST(ReportReferenceInChild, Chatham) { ExpectMachineZoneReferenceDays(49500, 45900); }

TEST(ReportReference, GeneratedFoldersFarFromUtc) {
  EXPECT_TRUE(RunTestsInChild("ReportReferenceInChild.Chatham", {"TZ=Pacific/Chatham"}));
}

// The Aleutians: 10 hours behind UTC, 9 from 8 March 2026 to 1 November.
// An evening there is written into the next UTC day's file.
TEST(ReportReferenceInChild, Adak) { ExpectMachineZoneReferenceDays(-36000, -32400); }

TEST(ReportReference, GeneratedFoldersWestOfUtc) {
  EXPECT_TRUE(RunTestsInChild("ReportReferenceInChild.Adak", {"TZ=America/Adak"}));
}

}  // namespace

}  // namespace mardonel
