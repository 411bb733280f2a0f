// Needs a console: ctest runs it under a pseudo-terminal (see
// tests/CMakeLists.txt), the ordinary run leaves it out.
#include <gtest/gtest.h>

#include "common/log/error_text.h"
#include "log_test_env.h"

namespace {

// Everything the console's screen buffer shows, row after row.
std::string ConsoleText() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(output, &info)) return {};
  std::string text(static_cast<std::size_t>(info.dwSize.X) * static_cast<std::size_t>(info.dwSize.Y), ' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterA(output, text.data(), static_cast<DWORD>(text.size()), COORD{0, 0}, &read);
  text.resize(read);
  return text;
}

using LogConsole = LogFileTest;

TEST_F(LogConsole, DISABLED_RecordsAndQueuedRecordsAppearInOrder) {
  ASSERT_NE(ConsoleText(), "") << "no console";
  std::snprintf(LogFileName, sizeof LogFileName, "-");
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
