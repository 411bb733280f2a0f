// Links planted where the log lives: C:\temp is usually writable by every
// user, and the log's rollover deletes and renames there.
#include <gtest/gtest.h>

#include "common/win/win_owners.h"
#include "log_rollover.h"
#include "log_state.h"
#include "log_test_env.h"
#include "support/planted_link.h"
#include "support/temp_folder.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr char kOther[] = "another program's file\r\n";

bool QueueIsEmpty() { return LockedLogState()->queue.empty(); }

// A record that takes `bytes` bytes of the file, CR LF included.
void WriteRecordOfSize(std::size_t bytes) { LogPrintf("%s\n", Filler(bytes - 2).c_str()); }

void RollOverNow() { RollOverLogFile(*LockedLogState(), unique_hfile()); }

class LogLinks : public LogFileTest {
 protected:
  // `name` becomes a second name of a file outside the log's folder.
  void HardLink(const std::string& name) const {
    WriteWholeFile(other_, kOther);
    ASSERT_TRUE(CreateHardLinkA(name.c_str(), other_.c_str(), nullptr));
  }
  void ExpectOtherUntouched() const { EXPECT_EQ(ReadWholeFile(other_), kOther); }
  bool ElsewhereIsEmpty() const {
    WIN32_FIND_DATAA entry;
    const unique_hfind search = unique_hfind(FindFirstFileA((elsewhere_ + "\\*").c_str(), &entry));
    if (!search) return true;
    do {
      if (std::string(entry.cFileName) != "." && std::string(entry.cFileName) != "..") return false;
    } while (FindNextFileA(search.get(), &entry));
    return true;
  }

  // The log's folder made a link to a folder elsewhere.
  void LinkLogFolder() {
    ASSERT_TRUE(CreateDirectoryA(elsewhere_.c_str(), nullptr));
    ASSERT_TRUE(link_.Plant(elsewhere_, linkedFolder_));
    UseLogFile(linkedFolder_ + "\\agent.log");
  }

  ScopedTempFolder outside_;
  const std::string other_ = outside_ / "other.dat";
  const std::string elsewhere_ = outside_ / "elsewhere";
  const std::string linkedFolder_ = temp_ / "logs";
  PlantedLink link_;
};

TEST_F(LogLinks, HardLinkedLogFileIsNeverWrittenAndItsRecordsWait) {
  HardLink(logPath_);
  LogPrintf("one\n");
  LogPrintf("two\n");
  ExpectOtherUntouched();
  EXPECT_EQ(LogText(), kOther);
  EXPECT_FALSE(QueueIsEmpty());

  ASSERT_TRUE(DeleteFileA(logPath_.c_str()));
  LogPrintf("three\n");
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"one", "two", "three"}));
  ExpectOtherUntouched();
}

TEST_F(LogLinks, LinkedLogFolderGetsNothingAndTheRecordsWait) {
  LinkLogFolder();
  LogPrintf("one\n");
  EXPECT_TRUE(ElsewhereIsEmpty());
  EXPECT_FALSE(QueueIsEmpty());

  // A log file already there is not written either.
  WriteWholeFile(elsewhere_ + "\\agent.log", kOther);
  LogPrintf("two\n");
  EXPECT_EQ(ReadWholeFile(elsewhere_ + "\\agent.log"), kOther);

  ASSERT_TRUE(link_.Remove());
  ASSERT_TRUE(CreateDirectoryA(linkedFolder_.c_str(), nullptr));
  LogPrintf("three\n");
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_TRUE(QueueIsEmpty());
}

TEST_F(LogLinks, LinkedLogFolderNamedWithSlashesGetsNothingToo) {
  LinkLogFolder();
  UseLogFile(linkedFolder_ + "/agent.log");
  LogPrintf("one\n");
  EXPECT_TRUE(ElsewhereIsEmpty());
  EXPECT_FALSE(QueueIsEmpty());
}

TEST_F(LogLinks, HardLinkedBackupIsNotRemovedAndTheLogKeepsGrowing) {
  log_.SetMaxFileSize(8192);
  HardLink(backupPath_);
  for (int record = 0; record < 3; ++record) WriteRecordOfSize(2900);
  ExpectOtherUntouched();
  EXPECT_EQ(ReadWholeFile(backupPath_), kOther);
  EXPECT_GT(LogText().size(), 8192u);
  const std::string refusal = ": Refused to remove log backup through a link: " + backupPath_;
  EXPECT_EQ(CountLines(SplitLines(LogText()), refusal), 1);
  LogPrintf("still too large\n");
  EXPECT_EQ(CountLines(SplitLines(LogText()), refusal), 2);

  ASSERT_TRUE(DeleteFileA(backupPath_.c_str()));
  LogPrintf("rolls over now\n");
  EXPECT_FALSE(FileExists(logPath_));
  EXPECT_EQ(CountLines(SplitLines(ReadWholeFile(backupPath_)), refusal), 2);
  ExpectOtherUntouched();
}

TEST_F(LogLinks, RolloverRenamesNoHardLinkedLogFile) {
  // The name can only become a link between the write and the rollover;
  // the rollover is driven directly here.
  HardLink(logPath_);
  RollOverNow();
  EXPECT_EQ(LogText(), kOther);
  EXPECT_FALSE(FileExists(backupPath_));
  ExpectOtherUntouched();
}

TEST_F(LogLinks, RolloverInALinkedFolderRemovesAndRenamesNothing) {
  LinkLogFolder();
  WriteWholeFile(elsewhere_ + "\\agent.log", "log\r\n");
  WriteWholeFile(elsewhere_ + "\\agent.lo_", "backup\r\n");
  RollOverNow();
  EXPECT_EQ(ReadWholeFile(elsewhere_ + "\\agent.log"), "log\r\n");
  EXPECT_EQ(ReadWholeFile(elsewhere_ + "\\agent.lo_"), "backup\r\n");
}

// Needs a console: ctest runs the LogConsole tests under a pseudo-terminal.
using LogConsole = LogFileTest;

TEST_F(LogConsole, DISABLED_RefusedLogFolderIsNamedOnTheConsole) {
  ASSERT_NE(ConsoleText(), "") << "no console";
  const ScopedTempFolder outside;
  ASSERT_TRUE(CreateDirectoryA((outside / "elsewhere").c_str(), nullptr));
  PlantedLink link;
  ASSERT_TRUE(link.Plant(outside / "elsewhere", temp_ / "logs"));
  UseLogFile(temp_ / "logs\\agent.log");
  const std::string refusal = "Refused to write log file through a link: " + logPath_;
  EXPECT_EQ(ConsoleText().find(refusal), std::string::npos);
  LogPrintf("%T: console record through a link\n");
  const std::string text = ConsoleText();
  EXPECT_NE(text.find(refusal), std::string::npos) << text;
  EXPECT_EQ(text.find("console record through a link"), std::string::npos) << "the record waits";
}

}  // namespace

}  // namespace mardonel
