#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/fs/directory.h"
#include "common/log/log_file_hold.h"
#include "common/win/win_owners.h"
#include "log_test_env.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

using LogSettings = LogFileTest;
using LogFileUnavailable = LogFileTest;
using LogResults = LogFileTest;
using LogHold = LogFileTest;

// Another program holding the log file open without sharing it.
unique_hfile HoldExclusively(const std::string& path) {
  return unique_hfile(
      CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST_F(LogHold, FileStaysOpenFromRecordToRecordUntilTheHoldEnds) {
  {
    const LogFileHold hold;
    LogPrintf("one\n");
    EXPECT_FALSE(HoldExclusively(logPath_)) << "kept open";
    LogPrintf("two\n");
  }
  EXPECT_TRUE(HoldExclusively(logPath_)) << "closed with the hold";
  LogPrintf("three\n");
  EXPECT_EQ(LogText(), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(LogSettings, ZeroSizeSwitchesWritingOffButFastRecordsStillQueue) {
  log_.SetMaxFileSize(0);
  EXPECT_EQ(LogPrintf("%T: not written\n"), 0);
  EXPECT_EQ(FastLogPrintf("queued %d\n", 1), 10);
  EXPECT_EQ(LogPrintf(""), 0);
  EXPECT_FALSE(FileExists(logPath_));

  log_.SetMaxFileSize(1048576);
  EXPECT_EQ(LogPrintf(""), 1);
  // The record that was switched off never reached the formatter: no stamp
  // was seen, so the queued line is not indented.
  EXPECT_EQ(LogText(), "queued 1\r\n");
}

TEST_F(LogSettings, SizesBelowTheMinimumAreRaisedBeforeTheRecordIsWritten) {
  for (const std::int32_t size : {100, -5, 8191, INT32_MIN}) {
    log_.SetMaxFileSize(size);
    EXPECT_EQ(CurrentLogSettings().maxFileSize, 8192) << size;
    LogPrintf("%s\n", Filler(200).c_str());
  }
  EXPECT_FALSE(FileExists(backupPath_));
  EXPECT_EQ(LogLines().size(), 4u);

  for (const std::int32_t size : {8192, 20000}) {
    log_.SetMaxFileSize(size);
    EXPECT_EQ(CurrentLogSettings().maxFileSize, size);
  }
}

TEST_F(LogSettings, DashSendsRecordsToTheConsoleOnlyAndNeverQueues) {
  log_.UseFile("-");
  EXPECT_EQ(LogPrintf("%T: console only\n"), static_cast<int>(NowStamp().size()) + 17);
  EXPECT_FALSE(FileExists("-"));
  EXPECT_EQ(LogPrintf(""), 0);  // nothing was queued

  FastLogPrintf("queued for the console\n");
  EXPECT_EQ(LogPrintf(""), 1);
  EXPECT_EQ(LogPrintf(""), 0);  // the drain emptied the queue
  EXPECT_FALSE(FileExists("-"));
}

TEST_F(LogSettings, MissingFoldersOfTheLogFileAreCreated) {
  UseLogFile(temp_ / "one\\two\\three\\agent.log");
  LogPrintf("deep\n");
  EXPECT_EQ(LogText(), "deep\r\n");
}

// The default log name comes from the executable: this program is
// common_log_tests.exe. C:\temp is moved aside so that its creation shows.
class DefaultLogFileName : public LogFileTest {
 protected:
  DefaultLogFileName() {
    char aside[MAX_PATH];
    std::snprintf(aside, sizeof aside, "C:\\temp-aside-%lu", GetCurrentProcessId());
    aside_ = aside;
    movedAside_ = MoveFileA("C:\\temp", aside) != FALSE;
  }
  ~DefaultLogFileName() override {
    DeleteFileA(kDefaultName);
    RemoveDirectoryTree("C:\\temp");
    if (movedAside_) MoveFileA(aside_.c_str(), "C:\\temp");
  }

  static constexpr const char* kDefaultName = "C:\\temp\\common_log_tests.log";
  std::string aside_;
  bool movedAside_ = false;
};

TEST_F(DefaultLogFileName, IsTheExecutableBaseNameInTempAndTheFolderIsCreated) {
  ASSERT_FALSE(FileExists("C:\\temp"));
  log_.UseFile("");
  LogPrintf("default name\n");
  EXPECT_EQ(CurrentLogSettings().fileName[0], '\0') << "the setting stays empty";
  EXPECT_EQ(ReadWholeFile(kDefaultName), "default name\r\n");
}

TEST_F(LogResults, AreTheRecordLengthLessOneForALineFeedAndOneForADrain) {
  EXPECT_EQ(LogPrintf("abc\n"), 6);  // CR LF, abc, CR LF less the LF
  EXPECT_EQ(LogPrintf("abc"), 5);    // CR LF, abc
  EXPECT_EQ(LogPrintf(""), 0);       // nothing queued, nothing to do
  EXPECT_EQ(FastLogPrintf("de\n"), 4);
  EXPECT_EQ(LogPrintf(""), 1);
  EXPECT_EQ(LogText(), "abc\r\nabcde\r\n");
}

TEST_F(LogResults, ARecordStartsOnALineOfItsOwnUnlessTheFileEndsOneOrTheLogLeftItOpen) {
  const std::pair<std::string, std::string> cases[] = {{"", "next\r\n"},
                                                       {"cut", "cut\r\nnext\r\n"},
                                                       {"unix\n", "unix\nnext\r\n"},
                                                       {"whole\r\n", "whole\r\nnext\r\n"},
                                                       {"cr\r", "cr\r\r\nnext\r\n"}};
  for (const auto& [before, after] : cases) {
    WriteWholeFile(logPath_, before);
    LogPrintf("next\n");
    EXPECT_EQ(LogText(), after) << before;
  }
  LogPrintf("part one, ");
  LogPrintf("part two\n");
  EXPECT_EQ(LogText(), "cr\r\r\nnext\r\npart one, part two\r\n");
}

TEST_F(LogResults, TheCallersLastErrorIsKeptOnEveryPath) {
  SetLastError(1234);
  LogPrintf("%T: written\n");
  EXPECT_EQ(GetLastError(), 1234u);

  unique_hfile holder = HoldExclusively(logPath_);
  ASSERT_TRUE(holder);
  SetLastError(2345);
  LogPrintf("%T: queued\n");
  EXPECT_EQ(GetLastError(), 2345u);
  SetLastError(3456);
  FastLogPrintf("%T: queued fast\n");
  EXPECT_EQ(GetLastError(), 3456u);
  holder.reset();

  log_.SetMaxFileSize(8192);
  SetLastError(4567);
  LogPrintf("%s\n", Filler(2990).c_str());
  LogPrintf("%s\n", Filler(2990).c_str());
  LogPrintf("%s\n", Filler(2990).c_str());
  EXPECT_TRUE(FileExists(backupPath_));
  EXPECT_EQ(GetLastError(), 4567u);

  UseLogFile(temp_ / "no-such-folder\\*\\agent.log");
  SetLastError(5678);
  LogPrintf("cannot be created\n");
  EXPECT_EQ(GetLastError(), 5678u);
}

// The stamp's clock: 6 December 2026, 09:15:42 local time, one second on
// for each tick a test takes.
std::uint64_t stampSecond = 0;
std::uint64_t StampClock() { return 134410221420000000ULL + stampSecond * 10000000ULL; }

TEST_F(LogFileUnavailable, RecordsWaitAndAreWrittenInOrderWithTheirOwnStamps) {
  stampSecond = 0;
  log_.SetStampClock(StampClock);
  LogPrintf("%T: before\n");
  unique_hfile holder = HoldExclusively(logPath_);
  ASSERT_TRUE(holder);

  stampSecond = 1;
  EXPECT_GT(LogPrintf("%T: while held\n"), 0);
  stampSecond = 2;
  EXPECT_GT(FastLogPrintf("%T: fast while held\n"), 0);
  holder.reset();
  EXPECT_EQ(SplitLines(LogText()).size(), 1u);

  stampSecond = 3;
  LogPrintf("%T: after release\n");

  EXPECT_THAT(LogLines(),
              testing::ElementsAre("12/6/2026 09:15:42: before", "12/6/2026 09:15:43: while held",
                                   "12/6/2026 09:15:44: fast while held", "12/6/2026 09:15:45: after release"));
}

TEST_F(LogFileUnavailable, AFileThatCannotBeCreatedQueuesUntilItCanBe) {
  // A folder in the log file's place: the open fails for a reason other
  // than sharing.
  ASSERT_TRUE(CreateDirectoryA(logPath_.c_str(), nullptr));
  EXPECT_EQ(LogPrintf("first\n"), 7);  // "first" CR LF queued
  EXPECT_EQ(LogPrintf("second\n"), 8);
  ASSERT_TRUE(RemoveDirectoryA(logPath_.c_str()));

  LogPrintf("third\n");
  EXPECT_EQ(LogText(), "first\r\nsecond\r\nthird\r\n");
}

TEST_F(LogFileUnavailable, AnEmptyFormatWritesTheQueueOnceTheFileIsFree) {
  unique_hfile holder = HoldExclusively((LogPrintf("start\n"), logPath_));
  ASSERT_TRUE(holder);
  FastLogPrintf("one\n");
  EXPECT_EQ(LogPrintf(""), 0);  // still held: the queue stays
  holder.reset();
  EXPECT_EQ(LogPrintf(""), 1);
  EXPECT_EQ(LogText(), "start\r\none\r\n");
}

}  // namespace

}  // namespace mardonel
