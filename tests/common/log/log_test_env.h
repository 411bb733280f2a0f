// What the log tests share: a log file in a fresh folder and the log's
// process-wide state brought back to its start.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "common/log/log.h"
#include "support/captured_log.h"
#include "support/fast_log_printf.h"
#include "support/temp_folder.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

// LocalTimeText of now, as a string.
std::string NowStamp();

// Everything the console's screen buffer shows, row after row; empty
// without a console.
std::string ConsoleText();

// A run of `count` letters `letter`, for records of a chosen size.
std::string Filler(std::size_t count, char letter = 'x');

class LogFileTest : public testing::Test {
 protected:
  LogFileTest() { UseLogFile(temp_ / "agent.log"); }

  void UseLogFile(const std::string& path);
  std::string LogText() const { return ReadWholeFile(logPath_); }
  std::vector<std::string> LogLines() const { return SplitLines(LogText()); }

  ScopedTempFolder temp_;
  CapturedLog log_{9, 1048576};
  std::string logPath_;
  std::string backupPath_;
};

}  // namespace mardonel
