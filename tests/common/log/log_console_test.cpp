// Needs a console: ctest runs it under a pseudo-terminal (see
// tests/CMakeLists.txt), the ordinary run leaves it out.
#include <gtest/gtest.h>

#include "common/win/error_text.h"
#include "log_test_env.h"

namespace mardonel {

namespace {

using LogConsole = LogFileTest;

TEST_F(LogConsole, DISABLED_RecordsAndQueuedRecordsAppearInOrder) {
  ASSERT_NE(ConsoleText(), "") << "no console";
  log_.UseFile("-");
  FastLogPrintf("console queued one\n");
  LogPrintf("%T: console written two\n");
  LogPrintf("console written three\n");

  const std::string text = ConsoleText();
  const std::size_t one = text.find("console queued one");
  const std::size_t two = text.find(": console written two");
  const std::size_t three = text.find("console written three");
  ASSERT_NE(one, std::string::npos) << text;
  ASSERT_NE(two, std::string::npos) << text;
  ASSERT_NE(three, std::string::npos) << text;
  EXPECT_LT(one, two);
  EXPECT_LT(two, three);
}

TEST_F(LogConsole, DISABLED_AFileThatCannotBeCreatedIsNamedOnTheConsole) {
  ASSERT_NE(ConsoleText(), "") << "no console";
  ASSERT_TRUE(CreateDirectoryA(logPath_.c_str(), nullptr));
  // The folder in the file's place makes the open fail with access denied.
  const std::string denied = ErrorMessage(ERROR_ACCESS_DENIED);
  EXPECT_EQ(ConsoleText().find(denied), std::string::npos);
  LogPrintf("console record after the failure\n");
  EXPECT_NE(ConsoleText().find(denied), std::string::npos);
  RemoveDirectoryA(logPath_.c_str());
}

}  // namespace

}  // namespace mardonel
