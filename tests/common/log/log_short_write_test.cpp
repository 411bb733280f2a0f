// A log write the disk cuts short: the records wait in the queue, and the
// next record written starts a line of its own after the cut one.
#include <gtest/gtest.h>

#include <string>

#include "common/log/log_state.h"
#include "log_test_env.h"
#include "support/child_run.h"

namespace mardonel {

namespace {

constexpr char kLogVariable[] = "MARDONEL_TEST_LOG";
constexpr char kCutRecord[] = "a record the full disk cuts short";
constexpr std::size_t kTornBytes = 20;

// Whole lines, far more than the child's own test report takes, so that the
// file-size limit only cuts the record.
std::string Padding() {
  std::string padding;
  while (padding.size() < 65536) padding += "12/6/2026 08:00:00: an earlier record\r\n";
  return padding;
}

std::string FrontText() {
  const LockedLogState log;
  PendingLogRecord* record = log->queue.front();
  return record == nullptr ? "<none>" : std::string(record->text(), static_cast<std::size_t>(record->length));
}

TEST(LogCutShortInChild, Child) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of LogCutShort";
  char path[MAX_PATH] = {};
  ASSERT_NE(GetEnvironmentVariableA(kLogVariable, path, sizeof path), 0u);
  const CapturedLog log(9, 1 << 24, path);
  EXPECT_GT(LogPrintf("%s\n", kCutRecord), 0) << "queued";
  EXPECT_EQ(FrontText(), std::string(kCutRecord) + "\r\n");
  EXPECT_GT(LogPrintf("behind it\n"), 0);
  EXPECT_EQ(FrontText(), std::string(kCutRecord) + "\r\n") << "still first";
}

TEST(LogCutShort, RecordsWaitAndTheNextLineStartsAfterTheCutOne) {
  const ScopedTempFolder temp;
  const std::string path = temp / "cut.log";
  const std::string padding = Padding();
  WriteWholeFile(path, padding);

  EXPECT_TRUE(RunTestsInChild("LogCutShortInChild.Child", {std::string(kLogVariable) + "=" + path},
                              padding.size() + kTornBytes));
  const std::string torn = "a record the full di";
  ASSERT_EQ(ReadWholeFile(path), padding + torn);

  const CapturedLog log(9, 1 << 24, path);
  LogPrintf("next\n");
  EXPECT_EQ(ReadWholeFile(path), padding + torn + "\r\nnext\r\n");
}

}  // namespace

}  // namespace mardonel
