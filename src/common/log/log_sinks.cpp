#include <windows.h>

#include "common/log/log.h"
#include "common/log/log_format.h"
#include "common/log/log_record.h"

extern "C" int vLogPrintf(const char* format, va_list args) {
  const DWORD savedError = GetLastError();
  char record[kLogRecordSize];
  const int length = FormatLogRecord(record, sizeof record, format, args);
  if (length > 2) {
    DWORD written = 0;
    WriteConsoleA(GetStdHandle(STD_OUTPUT_HANDLE), record + 2, static_cast<DWORD>(length - 2), &written, nullptr);
  }
  SetLastError(savedError);
  return length > 0 && record[length - 1] == '\n' ? length - 1 : length;
}

extern "C" int vFastLogPrintf(const char* format, va_list args) { return vLogPrintf(format, args); }

int LogPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vLogPrintf(format, args);
  va_end(args);
  return result;
}
