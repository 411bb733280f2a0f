#include "history/append.h"

#include <windows.h>
#include <userenv.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/log/log_settings.h"
#include "common/win/win_owners.h"
#include "module/mardonel.h"
#include "support/captured_log.h"
#include "support/child_run.h"
#include "support/fake_clock.h"
#include "support/file_times.h"
#include "support/folder_entries.h"
#include "support/profile_folder.h"
#include "support/temp_folder.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr char kSuccessLine[] = "Successfully wrote managed state to disk [";
constexpr char kFailureLine[] = "Failed to create new history file: ";
constexpr char kFailureDetail[] = " with detail: ";

constexpr char kTodayFile[] = "20261206T.mgt";  // the test clock's UTC day
// Ten hours west of UTC, the worked example's time is still the day before
// locally: the record as Record() writes it, and one an hour later.
constexpr int kTenHoursWest = -10 * 60;
constexpr char kWorkedRecord[] = "134409861425000000,1,Net Adapters changed,12/5/2026 23:15:42\r\n";
constexpr char kHourLaterRecord[] = "134409897425000000,1,Net Adapters changed,12/6/2026 00:15:42\r\n";

// Every file below `folder`, at any depth.
int CountFiles(const std::string& folder) {
  int count = 0;
  WIN32_FIND_DATAA entry;
  const unique_hfind search = unique_hfind(FindFirstFileA((folder + "\\*").c_str(), &entry));
  if (!search) return 0;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    count += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(folder + "\\" + name) : 1;
  } while (FindNextFileA(search.get(), &entry));
  return count;
}

bool PlatformReportsProfileFolder() {
  char folder[MAX_PATH];
  DWORD size = sizeof folder;
  return GetAllUsersProfileDirectoryA(folder, &size) != FALSE;
}

class HistoryRecord : public testing::Test {
 protected:
  // A forced evaluation with no address table: one record, state 1, at the
  // clock's time.
  DWORD Record() { return module_.OnNetAdaptersChanged(true, true); }

  std::string TodayPath() const { return profile_.StatesFolder() + kTodayFile; }
  std::string LogText() const { return log_.Text(); }

  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  CapturedLog log_{0, 1 << 20, temp_ / "module.log"};
  FakeClock clock_{kWorkedExampleTime, kTenHoursWest};
  Mardonel module_{nullptr, clock_};
};

TEST_F(HistoryRecord, RecordHasTheFourFieldsOfTheWorkedExample) {
  EXPECT_EQ(Record(), 0u);
  EXPECT_EQ(ReadWholeFile(TodayPath()), kWorkedRecord);
}

TEST_F(HistoryRecord, FirstRecordCreatesTheDayFileAndLaterOnesAppend) {
  EXPECT_EQ(Record(), 0u);
  const FILETIME beat = FileTimeOf(kWorkedExampleTime + kTestHour + 1);
  EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
  EXPECT_EQ(ReadWholeFile(TodayPath()),
            std::string(kWorkedRecord) + "134409897425000001,1,Heartbeat,12/6/2026 00:15:42\r\n");
}

TEST_F(HistoryRecord, RemovedFolderChainIsRecreated) {
  ASSERT_EQ(Record(), 0u);
  RemoveDirectoryTree((temp_ / "Application Data").c_str());
  ASSERT_FALSE(FileExists(temp_ / "Application Data"));

  EXPECT_EQ(Record(), 0u);
  EXPECT_EQ(ReadWholeFile(TodayPath()), kWorkedRecord);
}

TEST_F(HistoryRecord, FileWithoutFinalLineEndGetsOneBeforeTheRecord) {
  std::string folder = profile_.StatesFolder();
  ASSERT_EQ(CreateDirectoryPath(folder.data()), 0u);
  struct Case {
    const char* before;
    const char* lineEnd;
  };
  const Case cases[] = {{"", ""},        {"x", "\r\n"},      {"123,1,Sleep,cut short", "\r\n"},
                        {"a\r", "\r\n"}, {"a\n", ""},        {"a\r\n", ""},
                        {"\r\n", ""},    {"a\r\n\r", "\r\n"}};
  for (const Case& c : cases) {
    WriteWholeFile(TodayPath(), c.before);
    EXPECT_EQ(Record(), 0u);
    EXPECT_EQ(ReadWholeFile(TodayPath()), std::string(c.before) + c.lineEnd + kWorkedRecord) << '"' << c.before << '"';
  }
}

TEST_F(HistoryRecord, SuccessLineOnlyWithInformationalBit) {
  ASSERT_EQ(Record(), 0u);
  EXPECT_EQ(LogText().find(kSuccessLine), std::string::npos);

  log_.SetDebugMask(kDebugInfo);
  ASSERT_EQ(Record(), 0u);
  EXPECT_NE(LogText().find(kSuccessLine + TodayPath() + "]\r\n"), std::string::npos) << LogText();
}

TEST_F(HistoryRecord, FileThatCannotBeOpenedFailsWithFailureLine) {
  std::string blocker = TodayPath();
  ASSERT_EQ(CreateDirectoryPath(blocker.data()), 0u);  // a folder where the file should be

  EXPECT_EQ(Record(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_NE(LogText().find(kFailureLine + TodayPath() + "\r\n"), std::string::npos) << LogText();
  EXPECT_EQ(LogText().find(kFailureDetail), std::string::npos);

  log_.SetDebugMask(kDebugInfo);
  EXPECT_EQ(Record(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_NE(LogText().find(kFailureLine + TodayPath() + kFailureDetail), std::string::npos) << LogText();
  EXPECT_EQ(LogText().find(kSuccessLine), std::string::npos);
}

TEST_F(HistoryRecord, UnknownProfileFolderFailsWithFailureLine) {
  if (PlatformReportsProfileFolder()) GTEST_SKIP() << "the platform reports the profile folder itself";
  SetEnvironmentVariableA("ALLUSERSPROFILE", nullptr);
  EXPECT_EQ(Record(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_NE(LogText().find(kFailureLine), std::string::npos) << LogText();
  EXPECT_EQ(CountFiles(temp_.path()), 1) << "only the log file";
}

// The profile folder is stretched so that the file's path, States folder and
// name together, takes `length` characters.
class LongHistoryPath : public HistoryRecord {
 protected:
  std::string ProfileFor(std::size_t length) const {
    const std::size_t fixed =
        std::string("\\Application Data\\Quarnel\\ToveraAgt\\States\\").size() + std::strlen(kTodayFile);
    const std::string base = temp_ / "p";
    return base + std::string(length - fixed - base.size(), 'p');
  }
};

TEST_F(LongHistoryPath, PathOfMaxPathLessOneIsWritten) {
  ScopedProfileFolder longProfile(ProfileFor(MAX_PATH - 1));
  const std::string path = longProfile.StatesFolder() + kTodayFile;
  ASSERT_EQ(path.size(), static_cast<std::size_t>(MAX_PATH - 1));
  EXPECT_EQ(Record(), 0u);
  EXPECT_EQ(ReadWholeFile(path), kWorkedRecord);
}

TEST_F(LongHistoryPath, LongerPathFailsAndWritesNothing) {
  for (const std::size_t length : {std::size_t{MAX_PATH}, std::size_t{MAX_PATH + 40}}) {
    ScopedProfileFolder longProfile(ProfileFor(length));
    EXPECT_EQ(Record(), static_cast<DWORD>(ERROR_INTERNAL_ERROR)) << length;
    EXPECT_EQ(CountFiles(temp_.path()), 1) << "only the log file";
    EXPECT_NE(LogText().find(kFailureLine), std::string::npos) << LogText();
  }
}

// In a zone far from UTC the file still takes the UTC date while the
// record's fields show local time.
TEST_F(HistoryRecord, FileByUtcDateFieldsByLocalTime) {
  const struct {
    std::uint64_t utcNow;
    int biasMinutes;
  } zones[] = {
      {134410320000000000ULL, 14 * 60},   // 6 December 12:00 UTC
      {134410068000000000ULL, -11 * 60},  // 6 December 05:00 UTC
  };
  for (const auto& zone : zones) {
    const FakeClock clock(zone.utcNow, zone.biasMinutes);
    Mardonel module(nullptr, clock);
    EXPECT_EQ(module.OnNetAdaptersChanged(true, true), 0u);
  }
  EXPECT_EQ(ReadWholeFile(TodayPath()),
            "134410824000000000,1,Net Adapters changed,12/7/2026 02:00:00\r\n"
            "134409672000000000,1,Net Adapters changed,12/5/2026 18:00:00\r\n");
  EXPECT_EQ(FolderEntries(profile_.StatesFolder()), std::vector<std::string>{kTodayFile});
}

// Wine sets the profile variable afresh in a child; the folder travels
// under a name of its own.
constexpr char kProfileVariable[] = "MARDONEL_TEST_PROFILE";

// Whole lines before the record, far more than the child's own test report
// and log take, so that the file-size limit only cuts the record.
std::string Padding() {
  std::string padding;
  while (padding.size() < 65536) padding += "133000000000000000,1,Heartbeat,12/6/2026 08:00:00\r\n";
  return padding;
}
constexpr std::size_t kTornRecordBytes = 20;

// Writes one record under a file-size limit that ends inside it.
TEST(HistoryRecordCutShortInChild, Child) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of HistoryRecordCutShort";
  char folder[MAX_PATH] = {};
  ASSERT_NE(GetEnvironmentVariableA(kProfileVariable, folder, sizeof folder), 0u);
  ScopedProfileFolder profile(folder);
  CapturedLog log(kDebugInfo);
  const FakeClock clock(kWorkedExampleTime, kTenHoursWest);
  Mardonel module(nullptr, clock);

  EXPECT_EQ(module.OnNetAdaptersChanged(true, true), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  const std::string path = profile.StatesFolder() + kTodayFile;
  EXPECT_TRUE(log.Contains(kFailureLine + path + kFailureDetail)) << log.Text();
  EXPECT_FALSE(log.Contains(kSuccessLine)) << log.Text();
}

TEST(HistoryRecordCutShort, FailedWriteIsAFailureAndTheNextRecordStartsOnItsOwnLine) {
  ScopedTempFolder temp;
  ScopedProfileFolder profile(temp.path());
  std::string folder = profile.StatesFolder();
  ASSERT_EQ(CreateDirectoryPath(folder.data()), 0u);
  const std::string path = folder + kTodayFile;
  const std::string padding = Padding();
  WriteWholeFile(path, padding);

  EXPECT_TRUE(RunTestsInChild("HistoryRecordCutShortInChild.Child", {std::string(kProfileVariable) + "=" + temp.path()},
                              padding.size() + kTornRecordBytes));
  const std::string torn = "134409861425000000,1";  // the record's first kTornRecordBytes
  ASSERT_EQ(ReadWholeFile(path), padding + torn);

  const FakeClock clock(kWorkedExampleTime + kTestHour, kTenHoursWest);
  Mardonel module(nullptr, clock);
  EXPECT_EQ(module.OnNetAdaptersChanged(true, true), 0u);
  EXPECT_EQ(ReadWholeFile(path), padding + torn + "\r\n" + kHourLaterRecord);
}

}  // namespace

}  // namespace mardonel
