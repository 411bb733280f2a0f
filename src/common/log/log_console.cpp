#include "log_console.h"

#include <windows.h>

namespace mardonel {

void WriteLogConsole(const char* text, std::size_t length) {
  // A service has no standard output at all; asking the console would cost
  // as much as a fifth of writing the record to the file.
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteConsoleA(output, text, static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace mardonel
