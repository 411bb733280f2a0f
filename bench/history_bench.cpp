// The history folder maintenance of a start-up that trims 5 files and fills
// 30 missed days, against writing the same 30 one-line files directly.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench.h"
#include "common/fs/directory.h"
#include "common/log/log_settings.h"
#include "common/win/file_time.h"
#include "common/win/win_owners.h"
#include "module/history_store.h"

namespace mardonel {

namespace {

constexpr int kRounds = 40;
constexpr int kKeptFiles = 30;
constexpr int kTrimmedFiles = 5;
constexpr int kGapDays = 30;
constexpr char kStates[] = "\\Application Data\\Quarnel\\ToveraAgt\\States\\";
constexpr char kLine[] = "133000000000000000,1,INITIALISED,12/7/2026 00:00:00\r\n";

std::string DayName(std::uint64_t time) {
  const FILETIME fileTime = FileTimeOf(time);
  SYSTEMTIME date;
  FileTimeToSystemTime(&fileTime, &date);
  char name[32];
  std::snprintf(name, sizeof name, "%04d%02d%02dT.mgt", date.wYear, date.wMonth, date.wDay);
  return name;
}

// UTC day `offset` days from today.
std::string UtcDayName(int offset) {
  return DayName(UtcNowFileTime() +
                 static_cast<std::int64_t>(offset) * static_cast<std::int64_t>(kFileTimeUnitsPerDay));
}

void WriteOneLine(const std::string& path) {
  const unique_hfile file = unique_hfile(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) WriteFile(file.get(), kLine, sizeof kLine - 1, &written, nullptr);
}

int CountEntries(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  const unique_hfind search = unique_hfind(FindFirstFileA((folder + "*.mgt").c_str(), &entry));
  if (!search) return 0;
  int count = 0;
  do {
    ++count;
  } while (FindNextFileA(search.get(), &entry));
  return count;
}

// A profile folder of its own whose States folder each round fills afresh.
class BenchProfile {
 public:
  BenchProfile() {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    profile_ = std::string(temp) + "mardonel-history-bench-" + std::to_string(GetCurrentProcessId());
    states_ = profile_ + kStates;
    SetEnvironmentVariableA("ALLUSERSPROFILE", profile_.c_str());
    LogSettings log;
    lstrcpynA(log.fileName, (profile_ + ".log").c_str(), kLogFileNameSize);
    SetLogSettings(log);
  }
  ~BenchProfile() {
    RemoveDirectoryTree(profile_.c_str());
    DeleteFileA((profile_ + ".log").c_str());
  }
  BenchProfile(const BenchProfile&) = delete;
  BenchProfile& operator=(const BenchProfile&) = delete;

  // An empty States folder.
  const std::string& EmptyStates() const {
    RemoveDirectoryTree(profile_.c_str());
    std::string folder = states_;
    static_cast<void>(CreateDirectoryPath(folder.data()));
    return states_;
  }

 private:
  std::string profile_;
  std::string states_;
};

// Each round times the maintenance and its baseline back to back; the median
// of the rounds' ratios leaves out the rounds that other work on the machine
// slowed on one side only.
double StartupMaintenanceRatio() {
  BenchProfile profile;
  const HistoryStore store(SystemClock());
  std::vector<double> ratios;
  for (int round = 0; round < kRounds; ++round) {
    // The newest of 35 files is 31 days old: 5 go, 30 days are filled.
    const std::string& states = profile.EmptyStates();
    for (int age = 31 + kKeptFiles + kTrimmedFiles - 1; age >= 31; --age) WriteOneLine(states + UtcDayName(-age));
    const double maintenance = BestSeconds(1, [&] { store.MaintainHistoryFolder(); });
    if (round == 0 && CountEntries(states) != kKeptFiles + kGapDays) {
      std::fprintf(stderr, "history maintenance left %d files, not %d\n", CountEntries(states), kKeptFiles + kGapDays);
    }

    profile.EmptyStates();
    const double baseline = BestSeconds(1, [&] {
      for (int age = kGapDays; age >= 1; --age) WriteOneLine(states + UtcDayName(-age));
    });
    ratios.push_back(maintenance / baseline);
  }
  return Median(std::move(ratios));
}

BenchRegistrar startupMaintenance{
    BenchFigure{"history maintenance at start-up (5 deleted, 30 days filled)", "at most 2.0", StartupMaintenanceRatio}};

}  // namespace

}  // namespace mardonel
