// Calls the log's exports as a host does: LoadLibrary and GetProcAddress by
// their plain names. The library's log settings are at their load values,
// so it writes C:\temp\<this program's base name>.log.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdarg>

#include "support/loaded_module.h"
#include "support/whole_file.h"
#include "tovera/agent_log.h"

namespace mardonel {

namespace {

using Tovera::LogFunction;

constexpr const char* kLogPath = "C:\\temp\\e2e_tests.log";

int Call(LogFunction function, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = function(format, args);
  va_end(args);
  return result;
}

class LogExports : public testing::Test {
 protected:
  void SetUp() override {
    existed_ = FileExists(kLogPath);
    before_ = ReadWholeFile(kLogPath).size();
    ASSERT_NO_FATAL_FAILURE(library_.Load());
    ASSERT_NO_FATAL_FAILURE(library_.Find("vLogPrintf", log_));
    ASSERT_NO_FATAL_FAILURE(library_.Find("vFastLogPrintf", fastLog_));
  }
  void TearDown() override {
    library_.Unload();
    if (!existed_) DeleteFileA(kLogPath);
  }

  std::string Appended() const { return ReadWholeFile(kLogPath).substr(before_); }

  LoadedModule library_;
  LogFunction log_ = nullptr;
  LogFunction fastLog_ = nullptr;
  bool existed_ = false;
  std::size_t before_ = 0;
};

TEST_F(LogExports, AnEmptyFormatDrainsTheQueueAndReturnsOne) {
  const int queued = Call(fastLog_, "%T: queued by the host %d\n", 7);
  EXPECT_EQ(Appended(), "");
  EXPECT_EQ(Call(log_, ""), 1);

  const std::string appended = Appended();
  EXPECT_EQ(static_cast<int>(appended.size()), queued);
  EXPECT_NE(appended.find(": queued by the host 7\r\n"), std::string::npos) << appended;
  EXPECT_EQ(Call(log_, ""), 0);  // nothing left to drain
}

TEST_F(LogExports, ARecordEndingInALineFeedReturnsItsLengthLessOne) {
  EXPECT_EQ(Call(log_, "line %s\n", "one"), 11);  // CR LF, "line one", CR LF, less 1
  EXPECT_EQ(Call(log_, "open"), 6);               // CR LF, "open"
  EXPECT_EQ(Call(log_, " end\n"), 7);             // continues the line, no indentation
  EXPECT_EQ(Appended(), "line one\r\nopen end\r\n");
}

TEST_F(LogExports, KeepTheHostsLastError) {
  SetLastError(ERROR_NOT_READY);
  Call(log_, "%T: host record\n");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
}

}  // namespace

}  // namespace mardonel
