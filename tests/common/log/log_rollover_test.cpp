#include <gtest/gtest.h>

#include "common/win/win_owners.h"
#include "log_rollover.h"
#include "log_state.h"
#include "log_test_env.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

class LogRollover : public LogFileTest {
 protected:
  LogRollover() { log_.SetMaxFileSize(8192); }

  // One unstamped record that takes `bytes` bytes of the file, CR LF included.
  static void WriteRecordOfSize(std::size_t bytes) { LogPrintf("%s\n", Filler(bytes - 2).c_str()); }

  // Records that bring the file to `total` bytes.
  static void FillTo(std::size_t total) {
    for (; total > 2900; total -= 2900) WriteRecordOfSize(2900);
    WriteRecordOfSize(total);
  }
};

TEST_F(LogRollover, HappensWhenTheFileReachesTheLimitExactly) {
  FillTo(8192);
  EXPECT_FALSE(FileExists(logPath_));
  EXPECT_EQ(ReadWholeFile(backupPath_).size(), 8192u);

  LogPrintf("next\n");
  EXPECT_EQ(LogText(), "next\r\n");
}

TEST_F(LogRollover, DoesNotHappenOneByteBelowTheLimit) {
  FillTo(8191);
  EXPECT_FALSE(FileExists(backupPath_));
  EXPECT_EQ(LogText().size(), 8191u);

  // The record that crosses the limit stays in the file it crossed.
  LogPrintf("crossing\n");
  EXPECT_FALSE(FileExists(logPath_));
  EXPECT_EQ(ReadWholeFile(backupPath_).size(), 8191u + 10u);
}

TEST_F(LogRollover, ReplacesTheOldBackup) {
  WriteWholeFile(backupPath_, "old backup\r\n");
  FillTo(8192);
  const std::string backup = ReadWholeFile(backupPath_);
  EXPECT_EQ(backup.size(), 8192u);
  EXPECT_EQ(backup.find("old backup"), std::string::npos);
}

TEST_F(LogRollover, BackupNameEndsInAnUnderscoreOrATildeWhenTheLogDoes) {
  UseLogFile(temp_ / "agent.lo_");
  FillTo(8192);
  EXPECT_FALSE(FileExists(temp_ / "agent.lo_"));
  EXPECT_EQ(ReadWholeFile(temp_ / "agent.lo~").size(), 8192u);
}

TEST_F(LogRollover, BackupHeldOpenIsReportedOncePerAttemptAndNothingIsRenamed) {
  WriteWholeFile(backupPath_, "old backup\r\n");
  unique_hfile holder = unique_hfile(CreateFileA(backupPath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);

  FillTo(8192);
  EXPECT_EQ(CountLines(SplitLines(LogText()), ": LogBackupRemoveError = 13"), 1);
  LogPrintf("still too large\n");
  EXPECT_EQ(CountLines(SplitLines(LogText()), ": LogBackupRemoveError = 13"), 2);
  EXPECT_EQ(ReadWholeFile(backupPath_), "old backup\r\n");

  holder.reset();
  LogPrintf("rolls over now\n");
  EXPECT_FALSE(FileExists(logPath_));
  EXPECT_EQ(CountLines(SplitLines(ReadWholeFile(backupPath_)), "LogBackupRemoveError"), 2);
}

TEST_F(LogRollover, BackupNameTakenByAFolderIsReportedAndTheLogKeepsGrowing) {
  ASSERT_TRUE(CreateDirectoryA(backupPath_.c_str(), nullptr));
  FillTo(8192);
  LogPrintf("one\n");
  LogPrintf("two\n");
  EXPECT_EQ(CountLines(SplitLines(LogText()), "LogBackupRemoveError"), 3);
  EXPECT_GT(LogText().size(), 8192u);
}

// Wine renames files that other handles hold: renames fail through the seam.
int renameFailuresLeft = 0;
int renameCalls = 0;
DWORD FlakyRename(const char* from, const char* to) {
  ++renameCalls;
  if (renameFailuresLeft == 0) return RenameFileNoLink(from, to);
  --renameFailuresLeft;
  return ERROR_SHARING_VIOLATION;
}

TEST_F(LogRollover, FailedRenameIsTriedOnceMoreThenCountedAndTheCountStartsEveryNewLogFile) {
  struct Case {
    int failures;
    int calls;
    bool renamed;
    std::int32_t counted;
  };
  for (const Case& c : {Case{0, 1, true, 0}, Case{1, 2, true, 0}, Case{2, 2, false, 1}}) {
    WriteWholeFile(logPath_, "full\r\n");
    DeleteFileA(backupPath_.c_str());
    LockedLogState()->renameErrors = 0;
    renameFailuresLeft = c.failures;
    renameCalls = 0;
    RollOverLogFile(*LockedLogState(), unique_hfile(), FlakyRename);
    EXPECT_EQ(renameCalls, c.calls) << c.failures;
    EXPECT_EQ(FileExists(backupPath_), c.renamed) << c.failures;
    EXPECT_EQ(LockedLogState()->renameErrors, c.counted) << c.failures;
  }

  DeleteFileA(logPath_.c_str());
  LockedLogState()->renameErrors = 2;
  FillTo(8192);
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(": LogRenameErrors = 2"), std::string::npos) << lines[0];

  FillTo(8192);
  EXPECT_EQ(LockedLogState()->renameErrors, 2);
  EXPECT_NE(LogText().find(": LogRenameErrors = 2"), std::string::npos);
  EXPECT_NE(SplitLines(ReadWholeFile(backupPath_)).front().find(": LogRenameErrors = 2"), std::string::npos);
}

}  // namespace

}  // namespace mardonel
