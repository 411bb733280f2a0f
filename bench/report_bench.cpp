// The report of a year of records written every minute (525,600 lines in
// 365 files), against reading the same files line by line without parsing.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "bench.h"
#include "common/fs/directory.h"
#include "common/win/win_owners.h"
#include "report/history_folder_files.h"
#include "report/local_days.h"
#include "report/managed_days.h"
#include "report/report_text.h"
#include "report/this_machine.h"

namespace mardonel {

namespace {

constexpr int kRounds = 7;
constexpr LocalDays kFirstDay{std::chrono::days(155197)};  // 1 December 2025
constexpr int kDays = 365;
constexpr LocalDays kLastDay = kFirstDay + std::chrono::days(kDays - 1);

std::string MinuteRecord(LocalSeconds second, int state) {
  const CalendarDate date = DateOf(second);
  char line[96];
  std::snprintf(line, sizeof line, "%lld,%d,Heartbeat,%d/%d/%d %s\r\n",
                static_cast<long long>(second.time_since_epoch().count()) * 10000000LL + 1234567, state, date.month,
                date.day, date.year, TimeOfDayText(second).c_str());
  return line;
}

// One file a day; office hours managed, the rest unmanaged.
std::string WriteYear() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "mardonel-report-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  for (LocalDays day = kFirstDay; day <= kLastDay; day += std::chrono::days(1)) {
    const CalendarDate date = DateOf(day);
    char name[32];
    std::snprintf(name, sizeof name, "\\%04d%02d%02dT.mgt", date.year, date.month, date.day);
    std::string content;
    for (std::int64_t minute = 0; minute < 1440; ++minute) {
      content += MinuteRecord(day + std::chrono::minutes(minute), minute >= 480 && minute < 1080 ? 2 : 1);
    }
    std::ofstream(folder + name, std::ios::binary) << content;
  }
  return folder;
}

std::size_t ReadLines(const std::string& folder) {
  std::size_t lines = 0;
  WIN32_FIND_DATAA entry;
  const unique_hfind search(FindFirstFileA((folder + "\\*.mgt").c_str(), &entry));
  if (!search) return 0;
  std::string line;
  do {
    std::ifstream file(folder + "\\" + entry.cFileName, std::ios::binary);
    while (std::getline(file, line)) ++lines;
  } while (FindNextFileA(search.get(), &entry));
  return lines;
}

std::size_t Report(const std::string& folder) {
  HistoryLog log;
  std::vector<std::string> problems;
  if (ReadHistoryFolder(folder, log, problems) != ERROR_SUCCESS) return 0;
  DropDuplicateRecords(log);
  // Now: the count of the day after the year, taken as UTC.
  const UtcSeconds end((kLastDay + std::chrono::days(1)).time_since_epoch());
  const WithStatus<ZoneRules> zone = MachineZone(DaySpan{kFirstDay, kLastDay}, log.records);
  if (!zone.ok()) return 0;
  const ManagedDays days =
      ComputeManagedDays(log.records, ReportRange{kFirstDay, kLastDay, end, std::chrono::hours(2)}, zone.value());
  return ReportTable("bench", days).size() + log.records.size();
}

// Rounds time the report and its baseline back to back; the median of their
// ratios leaves out rounds that other work slowed on one side only.
double YearReportRatio() {
  const std::string folder = WriteYear();
  std::vector<double> ratios;
  for (int round = 0; round < kRounds; ++round) {
    std::size_t lines = 0;
    std::size_t reported = 0;
    const double baseline = BestSeconds(1, [&] { lines = ReadLines(folder); });
    const double report = BestSeconds(1, [&] { reported = Report(folder); });
    if (round == 0 && (lines != 1440 * kDays || reported < lines)) {
      std::fprintf(stderr, "year report: %zu lines read, %zu reported\n", lines, reported);
    }
    ratios.push_back(report / baseline);
  }
  RemoveDirectoryTree(folder.c_str());
  return Median(std::move(ratios));
}

BenchRegistrar yearReport{
    BenchFigure{"report of a year of minute records (365 files)", "at most 2.0", YearReportRatio}};

}  // namespace

}  // namespace mardonel
