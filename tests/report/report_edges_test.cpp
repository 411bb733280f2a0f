// The report at its edges: hand-made folders, seconds worked out by hand,
// grouped by what they show.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/win_owners.h"
#include "module/mardonel.h"
#include "report/history_folder_files.h"
#include "report/local_days.h"
#include "report/this_machine.h"
#include "report_records.h"
#include "report_svg.h"
#include "support/captured_log.h"
#include "support/child_run.h"
#include "support/fake_clock.h"
#include "support/fake_connection.h"
#include "support/profile_folder.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

struct Figures {
  std::int64_t managed;
  std::int64_t unmanaged;
  std::int64_t off;
  int changes;
};

void ExpectFigures(const DayRow& row, const Figures& expected, const std::string& what) {
  EXPECT_EQ(row.managed, expected.managed) << what;
  EXPECT_EQ(row.unmanaged, expected.unmanaged) << what;
  EXPECT_EQ(row.off, expected.off) << what;
  EXPECT_EQ(row.changes, expected.changes) << what;
}

// Not as the end of the state before them, not in changes, not as first or
// last record: here a clock that ran a day and a half ahead for one record.
TEST(ReportRecordsAfterNow, CountNothingYet) {
  const std::string day = Record("2026-12-01 11:50:00", 2, "Heartbeat") +
                          Record("2026-12-01 13:00:00", 1, "Net Adapters changed") +
                          Record("2026-12-01 14:00:00", 2, "Net Adapters changed");
  const std::string ahead = Record("2026-12-01 08:00:00", 2, "Startup") +
                            Record("2026-12-02 21:00:00", 2, "Heartbeat") +
                            Record("2026-12-01 09:00:00", 1, "Net Adapters changed");
  struct Case {
    const std::string& content;
    std::int64_t now;  // seconds of 1 December
    Figures figures;
    const char* last;
  };
  for (const Case& c :
       {Case{day, 43200, {600, 0, 85800, 0}, "11:50:00"}, Case{day, 48600, {4200, 1800, 80400, 1}, "13:00:00"},
        Case{day, 54000, {7800, 3600, 75000, 2}, "14:00:00"}, Case{ahead, 86399, {3600, 7200, 75600, 1}, "09:00:00"}}) {
    const ManagedDays days =
        DaysOf({{"20261201T.mgt", c.content}}, kDecember1, kDecember1, UtcInUtcZone(kDecember1, c.now), ZoneRules());
    ExpectFigures(days.days[0], c.figures, std::to_string(c.now));
    EXPECT_EQ(TimeOfDayText(*days.days[0].lastRecord), c.last) << c.now;
  }
}

struct ZoneCase {
  const char* name;
  HandFiles files;
  LocalDays day;
  std::int64_t length;
  Figures figures;
};

// Berlin's 23- and 25-hour days of 2026, each file named by the UTC day.
std::vector<ZoneCase> DaylightSavingDays() {
  return {
      {"spring forward: 01:30 to 03:30 is one hour",
       {{"20260328T.mgt", Record("2026-03-29 00:00:00", 2, "Startup")},
        {"20260329T.mgt",
         Record("2026-03-29 01:00:00", 2, "Heartbeat") + Record("2026-03-29 01:30:00", 1, "Net Adapters changed") +
             Record("2026-03-29 03:30:00", 2, "Net Adapters changed") + Record("2026-03-29 04:00:00", 1, "Sleep")}},
       kSpringDay,
       82800,
       {7200, 3600, 72000, 3}},
      // 02:20 is written after 02:50: the second 02:20, an hour after the first.
      {"fall back: the repeated hour in write order",
       {{"20261024T.mgt", Record("2026-10-25 00:00:00", 2, "Startup") + Record("2026-10-25 01:00:00", 2, "Heartbeat")},
        {"20261025T.mgt",
         Record("2026-10-25 02:10:00", 2, "Heartbeat") + Record("2026-10-25 02:50:00", 1, "Net Adapters changed") +
             Record("2026-10-25 02:20:00", 2, "Net Adapters changed") + Record("2026-10-25 03:00:00", 2, "Heartbeat") +
             Record("2026-10-25 04:00:00", 1, "Shutdown")}},
       kFallDay,
       90000,
       {16200, 1800, 72000, 3}},
  };
}

void ExpectZoneCases(const ZoneRules& zone) {
  for (const ZoneCase& c : DaylightSavingDays()) {
    const ManagedDays days = DaysOf(c.files, c.day, c.day, kLongAfter, zone);
    EXPECT_EQ(days.days[0].length, c.length) << c.name;
    ExpectFigures(days.days[0], c.figures, c.name);
  }
}

TEST(ReportRealTime, DaylightSavingDaysByBerlinRules) { ExpectZoneCases(Berlin2026()); }

TEST(ReportRealTime, ReadingsOfSkippedAndRepeatedHours) {
  const ZoneRules berlin = Berlin2026();
  EXPECT_EQ(berlin.LocalOf(Utc(13419219599)), Local(13419223199));  // 29 March 00:59:59 UTC is 01:59:59
  EXPECT_EQ(berlin.LocalOf(Utc(13419219600)), Local(13419226800));  // 01:00:00 UTC is 03:00:00
  struct Case {
    std::int64_t local;
    std::int64_t notBefore;
    std::int64_t utc;
  };
  const Case cases[] = {
      {13419221400, 0, 13419217800},            // 29 March 01:30 is 00:30 UTC
      {13419225000, 0, 13419219600},            // 02:30 was skipped: the moment of the skip
      {13419228600, 0, 13419221400},            // 03:30 is 01:30 UTC
      {13437369000, 0, 13437361800},            // 25 October 02:30, first: 00:30 UTC
      {13437369000, 13437361801, 13437365400},  // after it: the second, 01:30 UTC
      {13437369000, 13437365401, 13437365400},  // neither keeps the order: the later
  };
  for (const Case& c : cases) EXPECT_EQ(berlin.UtcOf(Local(c.local), Utc(c.notBefore)), Utc(c.utc)) << c.local;
  EXPECT_EQ(ZoneRules().UtcOf(Local(13437369000), Utc(13437369001)), Utc(13437369000));
}

// A clock set back: time once counted is not counted again.
TEST(ReportRealTime, WriteOrderNeverCountsTimeTwice) {
  const HandFiles files = {{"20261201T.mgt", Record("2026-12-01 10:00:00", 2, "Startup") +
                                                 Record("2026-12-01 11:00:00", 2, "Heartbeat") +
                                                 Record("2026-12-01 10:30:00", 1, "Net Adapters changed") +
                                                 Record("2026-12-01 11:30:00", 1, "Heartbeat") +
                                                 Record("2026-12-01 12:00:00", 1, "Shutdown")}};
  ExpectFigures(DaysOf(files, kDecember1, kDecember1, kLongAfter, ZoneRules()).days[0], {3600, 3600, 79200, 1},
                "set back");
  // Set back across midnight: the day before counts the same whatever day
  // the range ends on.
  const HandFiles back = {{"20261202T.mgt", Record("2026-12-02 06:00:00", 2, "Startup") +
                                                Record("2026-12-02 06:15:00", 1, "Sleep") +
                                                Record("2026-12-01 20:00:00", 1, "Startup")}};
  for (const LocalDays lastDay : {kDecember1, kDecember1 + days(1)}) {
    ExpectFigures(DaysOf(back, kDecember1, lastDay, kLongAfter, ZoneRules()).days[0], {0, 0, 86400, 0},
                  "until " + IsoDate(lastDay));
  }
}

// The module names each file by the UTC day of its clock: set back across
// midnight, it appends the records that follow to the earlier day's file,
// whose records are taken first. Taken in the order written, 1 December
// would count 1800 s managed and 2 December 2400.
TEST(ReportRealTime, ClockSetBackAcrossMidnightTakenInTheOrderOfTheFiles) {
  ScratchMachineRegistry registry;
  ASSERT_NO_FATAL_FAILURE(registry.Redirect());
  const ScopedTempFolder temp;
  const ScopedProfileFolder profile(temp.path());
  const CapturedLog log(0);
  TestHostTable table;
  table.Add("10.1.2.3", "255.255.0.0");
  ConnectionScript script;
  FakeClock clock;
  Mardonel module(FakeConnectionOf(script), clock);
  // 23:30 UTC start-up; 00:30 disconnected; set back to 23:45, the point not
  // answering; 00:10 reached; 00:40 shut down.
  const std::pair<std::int64_t, int> calls[] = {{84600, 0}, {88200, 1}, {85500, 2}, {87000, 3}, {88800, 4}};
  for (const auto& [second, call] : calls) {
    clock.Set(UtcInstant(UtcInUtcZone(kDecember1, second)).time_since_epoch().count());
    script.reachable = call != 2;
    EXPECT_EQ(call == 0   ? module.OnStartup(table.get(), 0)
              : call == 4 ? module.OnShutdown()
                          : module.OnNetAdaptersChanged(call != 1, false),
              0u);
  }
  HistoryLog read;
  std::vector<std::string> problems;
  ASSERT_EQ(ReadHistoryFolder(profile.StatesFolder(), read, problems), 0u);
  EXPECT_EQ(read.files, (std::vector<std::string>{"20261201T.mgt", "20261202T.mgt"}));
  const ManagedDays days = ComputeManagedDays(
      read.records, ReportRange{kDecember1, kDecember1 + std::chrono::days(1), kLongAfter, seconds(7200)}, ZoneRules());
  ExpectFigures(days.days[0], {900, 900, 84600, 1}, "1 December");
  ExpectFigures(days.days[1], {600, 1800, 84000, 2}, "2 December");
}

TEST(ReportRealTimeInChild, Child) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of ReportRealTime.MachineRulesUnderEuropeBerlin";
  const WithStatus<ZoneRules> machine = MachineZone(DaySpan{kSpringDay - days(32), kLongAfterDay});
  ASSERT_TRUE(machine.ok());
  const ZoneRules& zone = machine.value();
  EXPECT_EQ(zone.LocalOf(Utc(13419219599)), Local(13419223199));
  EXPECT_EQ(zone.LocalOf(Utc(13419219600)), Local(13419226800));
  EXPECT_EQ(zone.LocalOf(Utc(13437363599)), Local(13437370799));
  EXPECT_EQ(zone.LocalOf(Utc(13437363600)), Local(13437367200));
  ExpectZoneCases(zone);

  // A clock that ran ahead on 9 March wrote a shut-down an hour after now
  // (8 December 17:30 UTC, 18:30 in Berlin): read with December's offset,
  // not that of the summer after the range, it ends nothing.
  HistoryLog log;
  AddHistoryFile(log, "20260309T.mgt",
                 Record("2026-12-08 19:30:00", 1, "Shutdown") + Record("2026-03-09 06:53:00", 2, "Heartbeat"));
  const LocalDays march9 = DayOf<LocalClock>(CalendarDate{2026, 3, 9});
  for (const LocalDays lastDay : {march9 + days(11), kDecember1 + days(7)}) {
    const WithStatus<ZoneRules> rules = MachineZone(DaySpan{march9, lastDay}, log.records);
    ASSERT_TRUE(rules.ok());
    const ReportRange range{march9, lastDay, UtcInUtcZone(kDecember1 + days(7), 63000), seconds(600)};
    ExpectFigures(ComputeManagedDays(log.records, range, rules.value()).days[0], {600, 0, 85800, 0}, IsoDate(lastDay));
  }
}

TEST(ReportRealTime, MachineRulesUnderEuropeBerlin) {
  EXPECT_TRUE(RunTestsInChild("ReportRealTimeInChild.Child", {"TZ=Europe/Berlin"}));
}

// The module fills a day without a file at start-up, later, with a record at
// its 00:00: here inside a session that ran past local midnight an hour
// ahead of UTC.
TEST(ReportGapRecord, NeitherStartsNorEndsAStateNorIsAChange) {
  const HandFiles files = {
      {"20261201T.mgt", Record("2026-12-01 23:30:00", 2, "Startup") + Record("2026-12-02 00:30:00", 2, "Heartbeat") +
                            Record("2026-12-02 00:40:00", 1, "Shutdown")},
      {"20261202T.mgt", Record("2026-12-02 00:00:00", 1, "INITIALISED")},
      {"20261203T.mgt", Record("2026-12-03 09:00:00", 1, "Startup") + Record("2026-12-03 10:00:00", 1, "Heartbeat") +
                            Record("2026-12-03 10:30:00", 1, "Sleep")}};
  const ManagedDays days = DaysOf(files, kDecember1, kDecember1 + std::chrono::days(2), kLongAfter, FixedOffset(3600));
  ExpectFigures(days.days[0], {1800, 0, 84600, 0}, "1 December");
  ExpectFigures(days.days[1], {2400, 0, 84000, 1}, "2 December");
  ExpectFigures(days.days[2], {0, 5400, 81000, 0}, "3 December");
  EXPECT_EQ(IsoLocalTime(*days.days[1].firstRecord), "2026-12-02T00:00:00");
  EXPECT_EQ(IsoLocalTime(*days.days[1].lastRecord), "2026-12-02T00:40:00");
}

TEST(ReportReading, LineEndsLongLinesAndSkippedLinesKeptOnlyWhenListed) {
  const std::string startup = "134405892001234567,1,Startup,12/1/2026 09:00:00";
  const std::string sleep = "134405928001234567,1,Sleep,12/1/2026 10:00:00";
  struct Case {
    std::string content;
    std::size_t records;
    std::vector<std::string> skipped;
  };
  const Case cases[] = {
      {startup + "\n" + sleep + "\r\n" + startup, 3, {}},
      {startup + "\r", 1, {}},
      {"\n\n\n", 0, {"f:1: fewer than four fields", "f:2: fewer than four fields", "f:3: fewer than four fields"}},
      {std::string(200, 'x') + "\r\n" + sleep, 1, {"f:1: longer than any record"}},
      {startup + "\r\r\n", 0, {"f:1: time text does not match the event time"}},
  };
  for (const Case& c : cases) {
    for (const bool listed : {false, true}) {
      HistoryLog log;
      log.listSkipped = listed;
      AddHistoryFile(log, "f", c.content);
      EXPECT_EQ(log.records.size(), c.records) << c.content;
      EXPECT_EQ(log.skipped, c.skipped.size()) << c.content;
      std::vector<std::string> texts;
      for (const SkippedLine& skipped : log.skippedLines) texts.push_back(SkippedLineText(log, skipped));
      EXPECT_EQ(texts, listed ? c.skipped : std::vector<std::string>{}) << c.content;
    }
  }
}

TEST(ReportReading, DayFileOfMoreThanSixtyFourMebibytesIsRead) {
  const ScopedTempFolder folder;
  const std::string path = folder / "20261201T.mgt";
  {
    const unique_hfile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    const std::string first = Record("2026-12-01 09:00:00", 2, "Startup");
    const std::string last = "\n" + Record("2026-12-01 10:00:00", 2, "Heartbeat");
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), first.data(), static_cast<DWORD>(first.size()), &written, nullptr));
    // 65 MiB of NUL bytes between them: one line longer than any record.
    ASSERT_TRUE(SetFilePointerEx(file.get(), LARGE_INTEGER{.QuadPart = 65LL << 20}, nullptr, FILE_BEGIN));
    ASSERT_TRUE(WriteFile(file.get(), last.data(), static_cast<DWORD>(last.size()), &written, nullptr));
  }
  HistoryLog log;
  std::vector<std::string> problems;
  ASSERT_EQ(ReadHistoryFolder(folder.path(), log, problems), 0u);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(log.records.size(), 2u);
  EXPECT_EQ(log.skipped, 1u);
}

BOOL WINAPI FailAtTheSecondEntry(HANDLE, LPWIN32_FIND_DATAA) {
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

TEST(ReportReading, ListingThatFailsMidwayOrAFileForAFolderIsAFailure) {
  const ScopedTempFolder folder;
  WriteWholeFile(folder / "20261201T.mgt", Record("2026-12-01 09:00:00", 2, "Startup"));
  WriteWholeFile(folder / "20261202T.mgt", Record("2026-12-02 09:00:00", 2, "Startup"));
  HistoryLog log;
  std::vector<std::string> problems;
  EXPECT_EQ(ReadHistoryFolder(folder.path(), log, problems, kEveryFileDay, FailAtTheSecondEntry),
            static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadHistoryFolder(folder / "20261201T.mgt", log, problems), static_cast<DWORD>(ERROR_DIRECTORY));
}

TEST(ReportShare, RoundedOnceFromTheSeconds) {
  struct Case {
    std::int64_t managed;
    std::int64_t unmanaged;
    int permille;
    int percent;
  };
  for (const Case& c : {Case{9249, 751, 925, 92}, Case{9250, 750, 925, 93}, Case{1, 2, 333, 33}, Case{2, 1, 667, 67},
                        Case{1, 0, 1000, 100}, Case{0, 5, 0, 0}}) {
    EXPECT_EQ(ManagedPermille(c.managed, c.unmanaged), c.permille) << c.managed;
    EXPECT_EQ(ManagedPercent(c.managed, c.unmanaged), c.percent) << c.managed;
  }
  EXPECT_FALSE(ManagedPercent(0, 0));
  ManagedDays days;
  days.days.push_back(DayRow{kDecember1, 86400, 9249, 751, 76400, 0, {}, {}, {}});
  EXPECT_NE(ReportSvg("pc", days).find(">92%</text>"), std::string::npos);
}

TEST(ReportRangeEnd, LastStateHoldsUntilNowTheEndOfTheRangeOrTheLongestGap) {
  const HandFiles files = {{"20261201T.mgt", Record("2026-12-01 23:30:00", 2, "Startup")}};
  struct Case {
    LocalDays lastDay;
    UtcSeconds now;
    std::int64_t maxGap;
    std::int64_t managedFirstDay;
  };
  const Case cases[] = {
      {kDecember1, kLongAfter, 7200, 1800},
      {kDecember1, UtcInUtcZone(kDecember1, 85500), 7200, 900},  // now 23:45
      {kDecember1, kLongAfter, 600, 600},
      {kDecember1 + days(1), kLongAfter, 7200, 1800},
  };
  for (const Case& c : cases) {
    const ManagedDays days = DaysOf(files, kDecember1, c.lastDay, c.now, ZoneRules(), c.maxGap);
    EXPECT_EQ(days.days[0].managed, c.managedFirstDay) << c.now.time_since_epoch().count() << " " << c.maxGap;
    if (days.days.size() > 1) {
      EXPECT_EQ(days.days[1].managed, 5400);
    }
  }
}

TEST(ReportLongestRun, ManagedTimeEndsItOffTimePausesIt) {
  const HandFiles files = {
      {"20261201T.mgt",
       Record("2026-12-01 08:00:00", 1, "Startup") + Record("2026-12-01 09:00:00", 1, "Heartbeat") +
           Record("2026-12-01 10:00:00", 2, "Net Adapters changed") +
           Record("2026-12-01 11:00:00", 1, "Net Adapters changed") + Record("2026-12-01 12:00:00", 1, "Sleep") +
           Record("2026-12-01 13:00:00", 1, "Out of suspend") + Record("2026-12-01 14:00:00", 1, "Heartbeat") +
           Record("2026-12-01 14:30:00", 1, "Shutdown")}};
  const RangeTotals totals = DaysOf(files, kDecember1, kDecember1, kLongAfter, ZoneRules()).totals;
  EXPECT_EQ(totals.managed, 3600);
  EXPECT_EQ(totals.unmanaged, 16200);
  EXPECT_EQ(totals.longestUnmanaged, 9000);
  EXPECT_EQ(IsoLocalTime(totals.longestStart), "2026-12-01T11:00:00");
  EXPECT_EQ(IsoLocalTime(totals.longestEnd), "2026-12-01T14:30:00");
}

TEST(ReportDuplicates, FirstOfEachEventKeptInWriteOrderEqualInEveryFieldOfTheRule) {
  HistoryLog log;
  AddHistoryFile(log, "20261201T.mgt",
                 Record("2026-12-01 08:00:00", 2, "Startup") + Record("2026-12-01 09:00:00", 2, "Heartbeat") +
                     "134405892005000000,2,Heartbeat,01.12.2026 09:00:00\r\n" +
                     Record("2026-12-01 10:00:00", 1, "Net Adapters changed"));
  AddHistoryFile(log, "20261202T.mgt",
                 Record("2026-12-01 09:00:00", 2, "Heartbeat") + Record("2026-12-01 09:00:00", 1, "Heartbeat"));
  DropDuplicateRecords(log);
  EXPECT_EQ(log.duplicates, 2u);
  const std::pair<std::uint64_t, int> expected[] = {
      {134405856005000000, 2}, {134405892005000000, 2}, {134405928005000000, 1}, {134405892005000000, 1}};
  ASSERT_EQ(log.records.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(log.records[i].eventTime.time_since_epoch().count(), expected[i].first) << i;
    EXPECT_EQ(log.records[i].state, expected[i].second) << i;
  }

  const char first[] = "134405892005000000,2,Heartbeat,12/1/2026 09:00:00\r\n";
  const struct {
    const char* second;
    std::size_t duplicates;
  } pairs[] = {
      {"134405892005000000,2,Heartbeat,01.12.2026 09:00:00\r\n", 1},  // the time text only
      {"134405892005000001,2,Heartbeat,12/1/2026 09:00:00\r\n", 0},   // the event time, by 100 ns
      {"134405892005000000,1,Heartbeat,12/1/2026 09:00:00\r\n", 0},   // the state
      {"134405892005000000,2,Startup,12/1/2026 09:00:00\r\n", 0},     // the reason
  };
  for (const auto& pair : pairs) {
    HistoryLog two;
    AddHistoryFile(two, "20261201T.mgt", first + std::string(pair.second));
    DropDuplicateRecords(two);
    EXPECT_EQ(two.duplicates, pair.duplicates) << pair.second;
    EXPECT_EQ(two.records.size(), 2 - pair.duplicates) << pair.second;
  }
}

}  // namespace

}  // namespace mardonel
