// Hand-made history folders with known answers, read through the report's
// folder reader and, for a few, through mardonel-report.exe itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "common/win/error_text.h"
#include "common/win/file_time.h"
#include "common/win/win_owners.h"
#include "report/history_folder_files.h"
#include "report/local_days.h"
#include "report/managed_days.h"
#include "report/zone_rules.h"
#include "report_output.h"
#include "report_records.h"
#include "support/built_program.h"
#include "support/child_run.h"
#include "support/file_times.h"
#include "support/folder_entries.h"
#include "support/temp_folder.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

struct DayExpected {
  const char* date;
  std::int64_t managed;
  std::int64_t unmanaged;
  std::int64_t off;
  int changes;
};

struct FolderCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<DayExpected> days;
  std::size_t skipped;
};

std::vector<FolderCase> FolderCases() {
  const std::string stray = Record("2026-12-01 00:00:00", 2, "Startup");
  return {
      {"sleep and resume",
       {{"20261201T.mgt", Record("2026-12-01 08:00:00", 2, "Startup") + Record("2026-12-01 09:00:00", 2, "Heartbeat") +
                              Record("2026-12-01 09:30:00", 1, "Sleep") +
                              Record("2026-12-01 11:00:00", 2, "Out of suspend") +
                              Record("2026-12-01 12:00:00", 1, "Shutdown")}},
       {{"2026-12-01", 9000, 0, 77400, 3}},
       0},
      // A zone five hours behind UTC: the evening is in the next UTC day's file.
      {"across midnight, in the next UTC day's file",
       {{"20261202T.mgt", Record("2026-12-01 22:00:00", 1, "Startup") + Record("2026-12-01 23:00:00", 1, "Heartbeat") +
                              Record("2026-12-01 23:30:00", 2, "Net Adapters changed") +
                              Record("2026-12-02 00:30:00", 2, "Heartbeat") +
                              Record("2026-12-02 01:15:00", 1, "Shutdown")}},
       {{"2026-12-01", 1800, 5400, 79200, 1}, {"2026-12-02", 4500, 0, 81900, 1}},
       0},
      // Two hours ahead of UTC, the power lost after 00:30; the next start-up
      // filled in 2 December, whose gap record neither ends the state nor
      // counts as a change.
      {"gap day from maintenance",
       {{"20261201T.mgt", Record("2026-12-01 20:00:00", 2, "Startup") + Record("2026-12-01 21:00:00", 2, "Heartbeat") +
                              Record("2026-12-02 00:30:00", 2, "Heartbeat")},
        {"20261202T.mgt", Record("2026-12-02 00:00:00", 1, "INITIALISED")},
        {"20261203t.MGT", Record("2026-12-03 09:00:00", 1, "Startup") + Record("2026-12-03 10:00:00", 1, "Heartbeat")}},
       {{"2026-12-01", 10800, 0, 75600, 0}, {"2026-12-02", 7200, 0, 79200, 0}, {"2026-12-03", 0, 10800, 75600, 1}},
       0},
      {"torn lines, duplicates and stray files",
       {{"20261201T.mgt",
         Record("2026-12-01 08:00:00", 2, "Startup") + "134405892005000000,2,Heart" +
             Record("2026-12-01 10:00:00", 2, "Heartbeat") + Record("2026-12-01 11:00:00", 2, "Heartbeat") +
             Record("2026-12-01 11:00:00", 2, "Heartbeat") + "hello world\r\n" +
             "134405973005000000,3,Heartbeat,12/1/2026 11:15:00\r\n" + Record("2026-12-01 11:40:00", 1, "Shutdown") +
             "134405988005000000,2,Heartbeat,12/1/2026 11:4"},
        {"notes.txt", stray},
        {"20261201T.mgt.bak", stray},
        {"2026121T.mgt", stray},
        {"20261301T.mgt", stray},
        {"20261201X.mgt", stray}},
       {{"2026-12-01", 9600, 0, 76800, 1}},
       4},
  };
}

void WriteFolder(const ScopedTempFolder& folder, const FolderCase& c) {
  for (const auto& [name, content] : c.files) WriteWholeFile(folder / name, content);
}

TEST(ReportFolder, KnownSecondsPerDay) {
  for (const FolderCase& c : FolderCases()) {
    SCOPED_TRACE(c.name);
    const ScopedTempFolder folder;
    WriteFolder(folder, c);
    CreateDirectoryA((folder / "20261202T.mgt").c_str(), nullptr);
    HistoryLog log;
    std::vector<std::string> problems;
    ASSERT_EQ(ReadHistoryFolder(folder.path(), log, problems), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(problems.empty());
    DropDuplicateRecords(log);
    EXPECT_EQ(log.skipped, c.skipped);

    const LocalDays firstDay = DayOf<LocalClock>(*ParseIsoDate(c.days.front().date));
    const LocalDays lastDay = firstDay + days(static_cast<std::int64_t>(c.days.size()) - 1);
    const ManagedDays result = ComputeManagedDays(
        log.records, ReportRange{firstDay, lastDay, UtcInUtcZone(lastDay + days(1)), seconds(7200)}, ZoneRules());
    ASSERT_EQ(result.days.size(), c.days.size());
    for (std::size_t i = 0; i < c.days.size(); ++i) {
      const DayRow& row = result.days[i];
      const DayExpected& expected = c.days[i];
      EXPECT_EQ(IsoDate(row.day), expected.date);
      EXPECT_EQ(row.managed, expected.managed) << expected.date;
      EXPECT_EQ(row.unmanaged, expected.unmanaged) << expected.date;
      EXPECT_EQ(row.off, expected.off) << expected.date;
      EXPECT_EQ(row.changes, expected.changes) << expected.date;
    }
  }
}

TEST(ReportFolder, LongestRunningTimeWithoutManagedTime) {
  const ScopedTempFolder folder;
  WriteFolder(folder, FolderCases()[2]);
  HistoryLog log;
  std::vector<std::string> problems;
  ASSERT_EQ(ReadHistoryFolder(folder.path(), log, problems), 0u);
  DropDuplicateRecords(log);
  const LocalDays firstDay = DayOf<LocalClock>(*ParseIsoDate("2026-12-01"));
  const RangeTotals totals =
      ComputeManagedDays(log.records,
                         ReportRange{firstDay, firstDay + days(2), UtcInUtcZone(firstDay + days(3)), seconds(7200)},
                         ZoneRules())
          .totals;
  EXPECT_EQ(totals.longestUnmanaged, 10800);
  EXPECT_EQ(IsoLocalTime(totals.longestStart), "2026-12-03T09:00:00");
  EXPECT_EQ(IsoLocalTime(totals.longestEnd), "2026-12-03T12:00:00");
  EXPECT_EQ(*ManagedPermille(totals.managed, totals.unmanaged), 625);
}

TEST(ReportFolder, FileThatCannotBeOpenedIsNamedAndTheRestRead) {
  const ScopedTempFolder folder;
  WriteFolder(folder, FolderCases()[2]);
  const unique_hfile locked = unique_hfile(CreateFileA((folder / "20261202T.mgt").c_str(), GENERIC_READ, 0, nullptr,
                                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(locked);
  HistoryLog log;
  std::vector<std::string> problems;
  ASSERT_EQ(ReadHistoryFolder(folder.path(), log, problems), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].rfind("cannot read " + (folder / "20261202T.mgt") + ": ", 0), 0u) << problems[0];
  EXPECT_EQ(log.records.size(), 5u);
}

ProgramRun RunReport(const std::string& arguments) { return RunBuiltProgram("mardonel-report.exe", arguments); }

TEST(ReportProgram, PrintsTheKnownDays) {
  const ScopedTempFolder folder;
  WriteFolder(folder, FolderCases()[2]);
  const std::string range = " --from 2026-12-01 --until 2026-12-03 --computer pc1.example";
  ProgramRun run = RunReport("--folder \"" + folder.path() + "\"" + range + " --csv");
  const std::string csv =
      "computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record\r\n"
      "pc1.example,2026-12-01,10800,0,75600,0,2026-12-01T20:00:00,2026-12-01T21:00:00\r\n"
      "pc1.example,2026-12-02,7200,0,79200,0,2026-12-02T00:00:00,2026-12-02T00:30:00\r\n"
      "pc1.example,2026-12-03,0,10800,75600,1,2026-12-03T09:00:00,2026-12-03T10:00:00\r\n";
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(run.output, csv);
  // Into a file instead, replacing what was there.
  WriteWholeFile(folder / "pc1.csv", "old");
  run = RunReport("--folder \"" + folder.path() + "\"" + range + " --csv --output \"" + (folder / "pc1.csv") + "\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(ReadWholeFile(folder / "pc1.csv"), csv);

  run = RunReport("--folder \"" + folder.path() + "\\\\\"" + range);
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("2026-12-02    2:00:00    0:00:00     22:00:00        0  00:00:00  00:30:00\r\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Total         5:00:00    3:00:00     64:00:00        1\r\n"), std::string::npos);
  EXPECT_NE(run.output.find("Managed share of running time: 62.5%\r\n"), std::string::npos);

  run = RunReport("--folder \"" + folder.path() + "\" --from 2026-12-02 --until 2026-12-02 --json --computer pc1");
  EXPECT_EQ(run.output,
            "{\"computer\":\"pc1\",\"date\":\"2026-12-02\",\"managed_s\":7200,\"unmanaged_s\":0,\"off_s\":79200,"
            "\"changes\":0,\"first_record\":\"2026-12-02T00:00:00\",\"last_record\":\"2026-12-02T00:30:00\"}\r\n");
}

TEST(ReportProgram, SkippedLinesAndMistakes) {
  const ScopedTempFolder folder;
  WriteFolder(folder, FolderCases()[3]);
  ProgramRun run = RunReport("--folder \"" + folder.path() + "\" --days 1 --csv --verbose");
  EXPECT_EQ(run.exitCode, 0u);
  for (const char* line : {"20261201T.mgt:2: unknown reason\r\n", "20261201T.mgt:5: fewer than four fields\r\n",
                           "20261201T.mgt:6: state is neither 1 nor 2\r\n",
                           "20261201T.mgt:8: time text does not match the event time\r\n"}) {
    EXPECT_NE(run.output.find(line), std::string::npos) << line << run.output;
  }

  run = RunReport("--folder \"" + (folder / "missing") + "\"");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.output.rfind("mardonel-report: cannot read the folder " + (folder / "missing") + ": ", 0), 0u)
      << run.output;
  run = RunReport("--folder \"" + (folder / "20261201T.mgt") + "\"");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.output, "mardonel-report: " + (folder / "20261201T.mgt") + " is a file, not a folder\r\n");
  run = RunReport("--days 0");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.output,
            "mardonel-report: --days wants a whole number from 1 to 3660, not '0' (--help lists the options)\r\n");

  // An output that would replace a history file of the folder, or the other
  // output: refused before anything is written.
  const std::string svg = folder.path() + "\\.\\DAYS.SVG";
  const std::pair<std::string, std::string> clashes[] = {
      {"--output \"" + (folder / "20261201t.MGT") + "\"",
       "--output names a history file of the folder read: " + (folder / "20261201t.MGT")},
      {"--svg \"" + (folder / "20301231T.mgt") + "\"",
       "--svg names a history file of the folder read: " + (folder / "20301231T.mgt")},
      {"--output \"" + (folder / "days.svg") + "\" --svg \"" + svg + "\"",
       "--output and --svg name the same file " + svg},
  };
  for (const auto& [arguments, message] : clashes) {
    run = RunReport("--folder \"" + folder.path() + "\" --days 1 " + arguments);
    EXPECT_EQ(run.exitCode, 2u) << arguments;
    EXPECT_EQ(run.output, "mardonel-report: " + message + "\r\n");
  }
  EXPECT_EQ(ReadWholeFile(folder / "20261201T.mgt"), FolderCases()[3].files[0].second);
  EXPECT_FALSE(FileExists(folder / "20301231T.mgt"));
  EXPECT_FALSE(FileExists(folder / "days.svg"));

  const ScopedTempFolder one;
  WriteWholeFile(one / "20261201T.mgt", Record("2026-12-01 09:00:00", 2, "Startup") + "torn");
  run = RunReport("--folder \"" + one.path() + "\" --from 2026-12-01 --until 2026-12-01 --csv --computer pc");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.output.rfind("mardonel-report: 1 line skipped (--verbose lists them)\r\n", 0), 0u) << run.output;
}

// The command line is read as wide text: a name beyond the ANSI code page's
// first half reaches every output as UTF-8.
TEST(ReportProgram, ComputerNameReachesEveryOutputAsUtf8) {
  const ScopedTempFolder folder;
  WriteFolder(folder, FolderCases()[0]);
  char name[32] = {};
  ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, L"Z\u00FCrich", -1, name, sizeof name, nullptr, nullptr), 0);
  const std::string arguments =
      "--folder \"" + folder.path() + "\" --from 2026-12-01 --until 2026-12-01 --computer " + name;
  EXPECT_NE(RunReport(arguments + " --csv").output.find("\nZ\xC3\xBCrich,2026-12-01,"), std::string::npos);
  // Standard output is written as it is: a line feed in a quoted field stays one.
  EXPECT_NE(RunReport(arguments + "\nx --csv").output.find("_record\r\n\"Z\xC3\xBCrich\nx\",2026-12-01,"),
            std::string::npos);
  EXPECT_NE(RunReport(arguments + " --json").output.find("{\"computer\":\"Z\xC3\xBCrich\""), std::string::npos);
  ASSERT_EQ(RunReport(arguments + " --svg \"" + (folder / "days.svg") + "\"").exitCode, 0u);
  EXPECT_NE(ReadWholeFile(folder / "days.svg").find("<title>Managed time of Z\xC3\xBCrich, "), std::string::npos);
}

// In a zone far from UTC, a record twenty minutes before now and one twenty
// minutes after it: today's row is the local day's and holds the first
// record's state up to now, not past it.
TEST(ReportProgramInChild, TodayStopsAtNow) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of ReportProgram.TodayStopsAtNowFarFromUtc";
  const std::uint64_t utc = UtcNowFileTime();
  const auto now = Local(static_cast<std::int64_t>(LocalNowFileTime() / kFileTimeUnitsPerSecond));
  std::string records;
  for (const auto& [shift, state, reason] : {std::tuple{-1200, 2, "Startup"}, std::tuple{1200, 1, "Sleep"}}) {
    std::string text = IsoLocalTime(now + seconds(shift));
    text[10] = ' ';
    records += Record(text.c_str(), state, reason);
  }
  SYSTEMTIME day;
  const FILETIME utcTime = FileTimeOf(utc);
  ASSERT_TRUE(FileTimeToSystemTime(&utcTime, &day));
  const ScopedTempFolder folder;
  WriteWholeFile(folder / HistoryNameFor(day), records);
  const ProgramRun run = RunReport("--folder \"" + folder.path() + "\" --days 1 --csv --computer pc");
  const auto took = static_cast<std::int64_t>((UtcNowFileTime() - utc) / kFileTimeUnitsPerSecond);
  const std::size_t at = run.output.find("\r\npc," + IsoDate(std::chrono::floor<days>(now)) + ",");
  ASSERT_NE(at, std::string::npos) << run.output;
  std::int64_t managed = 0;
  std::int64_t unmanaged = 0;
  int changes = 0;
  ASSERT_EQ(std::sscanf(run.output.c_str() + at + 16, "%" SCNd64 ",%" SCNd64 ",%*d,%d", &managed, &unmanaged, &changes),
            3);
  const std::int64_t held = std::min<std::int64_t>(1200, (now - std::chrono::floor<days>(now)).count());
  EXPECT_GE(managed, held) << run.output;
  EXPECT_LE(managed, held + took + 1) << run.output;
  EXPECT_EQ(unmanaged + changes, 0) << run.output;
}

// UTC+14 and UTC-11: whatever the hour, one of them is on another day than
// UTC. Wine has no yearly rules of Lord Howe, whose own rules then hold.
TEST(ReportProgram, TodayStopsAtNowFarFromUtc) {
  for (const char* zone : {"TZ=Pacific/Kiritimati", "TZ=Pacific/Pago_Pago", "TZ=Australia/Lord_Howe"}) {
    EXPECT_TRUE(RunTestsInChild("ReportProgramInChild.TodayStopsAtNow", {zone})) << zone;
  }
}

constexpr char kOutputFolderVariable[] = "MARDONEL_TEST_OUTPUT_FOLDER";

TEST(ReportOutputInChild, Child) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of ReportOutput.WholeFileOrNothingLeftBehind";
  const std::string folder = std::getenv(kOutputFolderVariable);
  const DWORD error = WriteFileWhole(folder + "\\days.svg", std::string(1 << 20, 'x'));
  // The write's own error (Wine: "General failure."), not a stale one.
  EXPECT_NE(error, 0u);
  EXPECT_NE(error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << ErrorText(error);
}

// A write cut short by a limit on the size of files leaves the old file.
TEST(ReportOutput, WholeFileOrNothingLeftBehind) {
  const ScopedTempFolder folder;
  WriteWholeFile(folder / "days.svg", "old");
  EXPECT_TRUE(RunTestsInChild("ReportOutputInChild.Child", {std::string(kOutputFolderVariable) + "=" + folder.path()},
                              1 << 16));
  EXPECT_EQ(ReadWholeFile(folder / "days.svg"), "old");
  EXPECT_EQ(WriteFileWhole(folder / "days.svg", "new"), 0u);
  EXPECT_EQ(ReadWholeFile(folder / "days.svg"), "new");
  EXPECT_EQ(FolderEntries(folder.path() + "\\"), std::vector<std::string>{"days.svg"});
}

}  // namespace

}  // namespace mardonel
