#include "log_test_env.h"

#include <cstdio>

#include "common/win/file_time.h"

namespace mardonel {

std::string NowStamp() {
  char text[40];
  return LocalTimeText(text, sizeof text, LocalReading());
}

std::string Filler(std::size_t count, char letter) { return std::string(count, letter); }

void LogFileTest::UseLogFile(const std::string& path) {
  logPath_ = path;
  backupPath_ = path.substr(0, path.size() - 1) + "_";
  log_.UseFile(path);
}

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

}  // namespace mardonel
