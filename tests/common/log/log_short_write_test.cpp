// A log write the disk cuts short: the record waits in the queue, and the
// next record written starts a line of its own after the cut one.
#include <gtest/gtest.h>

#include "log_state.h"
#include "log_test_env.h"
#include "support/child_run.h"

namespace mardonel {

namespace {

constexpr char kLogVariable[] = "MARDONEL_TEST_LOG";

TEST(LogCutShortInChild, Child) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of LogCutShort";
  char path[MAX_PATH] = {};
  ASSERT_NE(GetEnvironmentVariableA(kLogVariable, path, sizeof path), 0u);
  const CapturedLog log(9, 1 << 24, path);
  EXPECT_GT(LogPrintf("a record the full disk cuts short\n"), 0);
  EXPECT_FALSE(LockedLogState()->queue.empty()) << "the record waits";
}

TEST(LogCutShort, TheRecordWaitsAndTheNextLineStartsAfterTheCutOne) {
  const ScopedTempFolder temp;
  const std::string path = temp / "cut.log";
  // Far more than the child's own report, so that the limit cuts the record.
  const std::string padding(65536, '\n');
  WriteWholeFile(path, padding);
  EXPECT_TRUE(RunTestsInChild("LogCutShortInChild.Child", {std::string(kLogVariable) + "=" + path}, 65536 + 20));
  ASSERT_EQ(ReadWholeFile(path), padding + "a record the full di");

  const CapturedLog log(9, 1 << 24, path);
  LogPrintf("next\n");
  EXPECT_EQ(ReadWholeFile(path), padding + "a record the full di\r\nnext\r\n");
}

}  // namespace

}  // namespace mardonel
