#include "module/history_record.h"

#include <windows.h>
#include <userenv.h>

#include <gtest/gtest.h>

#include <string>

#include "common/fs/directory.h"
#include "common/log/log_settings.h"
#include "common/win/unique_any.h"
#include "module/mardonel.h"
#include "support/captured_log.h"
#include "support/child_run.h"
#include "support/clear_of_midnight.h"
#include "support/file_times.h"
#include "support/history_line.h"
#include "support/profile_folder.h"
#include "support/temp_folder.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr char kSuccessLine[] = "Successfully wrote managed state to disk [";
constexpr char kFailureLine[] = "Failed to create new history file: ";
constexpr char kFailureDetail[] = " with detail: ";
// The worked example's record, unmanaged, and one an hour later.
constexpr char kWorkedStartup[] = "134410221425000000,1,Startup,12/6/2026 09:15:42\r\n";
constexpr char kHourLaterStartup[] = "134410257425000000,1,Startup,12/6/2026 10:15:42\r\n";

// 6 December 2026 09:15:42.5, local wall-clock time.
std::uint64_t WorkedExampleTime() {
  SYSTEMTIME time = {};
  time.wYear = 2026;
  time.wMonth = 12;
  time.wDay = 6;
  time.wHour = 9;
  time.wMinute = 15;
  time.wSecond = 42;
  time.wMilliseconds = 500;
  FILETIME fileTime;
  SystemTimeToFileTime(&time, &fileTime);
  return FileTimeValue(fileTime);
}

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
  void SetUp() override {
    WaitClearOfMidnight();
    module_.lastRecordTime = WorkedExampleTime();
  }

  std::string TodayPath() const { return profile_.StatesFolder() + TodayUtcHistoryName(); }
  std::string LogText() const { return log_.Text(); }

  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  CapturedLog log_{0, 1 << 20, temp_ / "module.log"};
  Mardonel module_;
};

TEST_F(HistoryRecord, RecordHasTheFourFieldsOfTheWorkedExample) {
  module_.managedState = kManaged;
  EXPECT_EQ(module_.WriteStateRecord(RecordReason::kStartup), 0u);
  EXPECT_EQ(ReadWholeFile(TodayPath()), "134410221425000000,2,Startup,12/6/2026 09:15:42\r\n");
}

TEST_F(HistoryRecord, FirstRecordCreatesTheDayFileAndLaterOnesAppendEachReasonAsStored) {
  const std::pair<RecordReason, const char*> records[] = {
      {RecordReason::kStartup, "Startup"},
      {RecordReason::kHeartbeat, "Heartbeat"},
      {RecordReason::kNetAdaptersChanged, "Net Adapters changed"},
      {RecordReason::kSleep, "Sleep"},
      {RecordReason::kOutOfSuspend, "Out of suspend"},
      {RecordReason::kShutdown, "Shutdown"},
      {RecordReason::kInitialised, "INITIALISED"},
  };
  std::string expected;
  for (const auto& [reason, text] : records) {
    EXPECT_EQ(module_.WriteStateRecord(reason), 0u);
    expected += std::string("134410221425000000,1,") + text + ",12/6/2026 09:15:42\r\n";
  }
  EXPECT_EQ(ReadWholeFile(TodayPath()), expected);
}

TEST_F(HistoryRecord, RemovedFolderChainIsRecreated) {
  ASSERT_EQ(module_.WriteStateRecord(RecordReason::kStartup), 0u);
  RemoveDirectoryTree((temp_ / "Application Data").c_str());
  ASSERT_FALSE(FileExists(temp_ / "Application Data"));

  EXPECT_EQ(module_.WriteStateRecord(RecordReason::kHeartbeat), 0u);
  EXPECT_EQ(ReadWholeFile(TodayPath()), "134410221425000000,1,Heartbeat,12/6/2026 09:15:42\r\n");
}

TEST_F(HistoryRecord, FileWithoutFinalLineEndGetsOneBeforeTheRecord) {
  std::string folder = profile_.StatesFolder();
  ASSERT_TRUE(CreateDirectoryPath(folder.data()));
  struct Case {
    const char* before;
    const char* lineEnd;
  };
  const Case cases[] = {{"", ""},        {"x", "\r\n"},      {"123,1,Sleep,cut short", "\r\n"},
                        {"a\r", "\r\n"}, {"a\n", "\r\n"},    {"a\r\n", ""},
                        {"\r\n", ""},    {"a\r\n\r", "\r\n"}};
  for (const Case& c : cases) {
    WriteWholeFile(TodayPath(), c.before);
    EXPECT_EQ(module_.WriteStateRecord(RecordReason::kStartup), 0u);
    EXPECT_EQ(ReadWholeFile(TodayPath()), std::string(c.before) + c.lineEnd + kWorkedStartup) << '"' << c.before << '"';
  }
}

TEST_F(HistoryRecord, SuccessLineOnlyWithInformationalBit) {
  ASSERT_EQ(module_.WriteStateRecord(RecordReason::kStartup), 0u);
  EXPECT_EQ(LogText().find(kSuccessLine), std::string::npos);

  log_.SetDebugMask(kDebugInfo);
  ASSERT_EQ(module_.WriteStateRecord(RecordReason::kStartup), 0u);
  EXPECT_NE(LogText().find(kSuccessLine + TodayPath() + "]\r\n"), std::string::npos) << LogText();
}

TEST_F(HistoryRecord, FileThatCannotBeOpenedFailsWithFailureLine) {
  std::string blocker = TodayPath();
  ASSERT_TRUE(CreateDirectoryPath(blocker.data()));  // a folder where the file should be

  EXPECT_EQ(module_.WriteStateRecord(RecordReason::kStartup), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_NE(LogText().find(kFailureLine + TodayPath() + "\r\n"), std::string::npos) << LogText();
  EXPECT_EQ(LogText().find(kFailureDetail), std::string::npos);

  log_.SetDebugMask(kDebugInfo);
  EXPECT_EQ(module_.WriteStateRecord(RecordReason::kStartup), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_NE(LogText().find(kFailureLine + TodayPath() + kFailureDetail), std::string::npos) << LogText();
  EXPECT_EQ(LogText().find(kSuccessLine), std::string::npos);
}

TEST_F(HistoryRecord, UnknownProfileFolderFailsWithFailureLine) {
  if (PlatformReportsProfileFolder()) GTEST_SKIP() << "the platform reports the profile folder itself";
  SetEnvironmentVariableA("ALLUSERSPROFILE", nullptr);
  EXPECT_EQ(module_.WriteStateRecord(RecordReason::kStartup), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_NE(LogText().find(kFailureLine), std::string::npos) << LogText();
  EXPECT_EQ(CountFiles(temp_.path()), 1) << "only the log file";
}

// The profile folder is stretched so that the file's path, States folder and
// name together, takes `length` characters.
class LongHistoryPath : public HistoryRecord {
 protected:
  std::string ProfileFor(std::size_t length) const {
    const std::size_t fixed =
        std::string("\\Application Data\\Quarnel\\ToveraAgt\\States\\").size() + TodayUtcHistoryName().size();
    const std::string base = temp_ / "p";
    return base + std::string(length - fixed - base.size(), 'p');
  }
};

TEST_F(LongHistoryPath, PathOfMaxPathLessOneIsWritten) {
  ScopedProfileFolder longProfile(ProfileFor(MAX_PATH - 1));
  const std::string path = longProfile.StatesFolder() + TodayUtcHistoryName();
  ASSERT_EQ(path.size(), static_cast<std::size_t>(MAX_PATH - 1));
  EXPECT_EQ(module_.WriteStateRecord(RecordReason::kStartup), 0u);
  EXPECT_EQ(ReadWholeFile(path), kWorkedStartup);
}

TEST_F(LongHistoryPath, LongerPathFailsAndWritesNothing) {
  for (const std::size_t length : {std::size_t{MAX_PATH}, std::size_t{MAX_PATH + 40}}) {
    ScopedProfileFolder longProfile(ProfileFor(length));
    EXPECT_EQ(module_.WriteStateRecord(RecordReason::kStartup), static_cast<DWORD>(ERROR_INTERNAL_ERROR)) << length;
    EXPECT_EQ(CountFiles(temp_.path()), 1) << "only the log file";
    EXPECT_NE(LogText().find(kFailureLine), std::string::npos) << LogText();
  }
}

// Wine sets the profile variable afresh in a child; the folder travels
// under a name of its own.
constexpr char kProfileVariable[] = "MARDONEL_TEST_PROFILE";

// In a zone far from UTC the file still takes the UTC date while the record's
// fields show local time. Run in child processes, one per zone.
TEST(HistoryRecordInZone, Child) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of HistoryRecordZone";
  FILETIME utcNow;
  GetSystemTimeAsFileTime(&utcNow);
  const auto bias = static_cast<std::int64_t>(LocalNowFileTime() - FileTimeValue(utcNow));
  ASSERT_GT(bias < 0 ? -bias : bias, 10 * 36000000000LL) << "zone not in effect";
  WaitClearOfMidnight();

  char folder[MAX_PATH] = {};
  ASSERT_NE(GetEnvironmentVariableA(kProfileVariable, folder, sizeof folder), 0u);
  ScopedProfileFolder profile(folder);
  const std::string states = profile.StatesFolder();
  Mardonel module;
  const std::uint64_t before = LocalNowFileTime();
  ASSERT_EQ(module.SetManagedState(kUnmanaged, RecordReason::kSleep, true), 0u);
  const std::uint64_t after = LocalNowFileTime();

  EXPECT_GE(module.lastRecordTime, before);
  EXPECT_LE(module.lastRecordTime, after);
  const std::string content = ReadWholeFile(states + TodayUtcHistoryName());
  EXPECT_NE(content.find(HistoryLine(module.lastRecordTime, 1, "Sleep")), std::string::npos) << content;

  SYSTEMTIME localDate;
  GetLocalTime(&localDate);
  const std::string localName = HistoryNameFor(localDate);
  if (localName != TodayUtcHistoryName()) {
    EXPECT_FALSE(FileExists(states + localName));
  }
}

TEST(HistoryRecordZone, FileByUtcDateFieldsByLocalTime) {
  WaitClearOfMidnight();
  ScopedTempFolder temp;
  ScopedProfileFolder profile(temp.path());
  // At any hour one of the two zones has a local date other than the UTC one.
  const std::string folder = std::string(kProfileVariable) + "=" + temp.path();
  EXPECT_TRUE(RunTestsInChild("HistoryRecordInZone.Child", {"TZ=Pacific/Kiritimati", folder}));
  EXPECT_TRUE(RunTestsInChild("HistoryRecordInZone.Child", {"TZ=Pacific/Pago_Pago", folder}));
  EXPECT_EQ(SplitLines(ReadWholeFile(profile.StatesFolder() + TodayUtcHistoryName())).size(), 2u);
}

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
  Mardonel module;
  module.lastRecordTime = WorkedExampleTime();

  EXPECT_EQ(module.WriteStateRecord(RecordReason::kSleep), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  const std::string path = profile.StatesFolder() + TodayUtcHistoryName();
  EXPECT_TRUE(log.Contains(kFailureLine + path + kFailureDetail)) << log.Text();
  EXPECT_FALSE(log.Contains(kSuccessLine)) << log.Text();
}

TEST(HistoryRecordCutShort, FailedWriteIsAFailureAndTheNextRecordStartsOnItsOwnLine) {
  WaitClearOfMidnight();
  ScopedTempFolder temp;
  ScopedProfileFolder profile(temp.path());
  std::string folder = profile.StatesFolder();
  ASSERT_TRUE(CreateDirectoryPath(folder.data()));
  const std::string path = folder + TodayUtcHistoryName();
  const std::string padding = Padding();
  WriteWholeFile(path, padding);

  EXPECT_TRUE(RunTestsInChild("HistoryRecordCutShortInChild.Child", {std::string(kProfileVariable) + "=" + temp.path()},
                              padding.size() + kTornRecordBytes));
  const std::string torn = "134410221425000000,1";  // the Sleep record's first kTornRecordBytes
  ASSERT_EQ(ReadWholeFile(path), padding + torn);

  Mardonel module;
  module.lastRecordTime = WorkedExampleTime() + kOneHour;
  EXPECT_EQ(module.WriteStateRecord(RecordReason::kStartup), 0u);
  EXPECT_EQ(ReadWholeFile(path), padding + torn + "\r\n" + kHourLaterStartup);
}

}  // namespace

}  // namespace mardonel
