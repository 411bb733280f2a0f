#include "common/log/log_console.h"

#include <windows.h>

void WriteLogConsole(const char* text, std::size_t length) {
  DWORD written = 0;
  WriteConsoleA(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(length), &written, nullptr);
}
