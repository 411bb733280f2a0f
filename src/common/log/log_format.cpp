#include "common/log/log_format.h"

#include <windows.h>

#include <cstdio>

namespace mardonel {

namespace {

constexpr std::size_t kTimeTextSize = 40;
char timeTextBuffers[2][kTimeTextSize];
int timeTextToggle = 0;

}  // namespace

char* LocalTimeText(char* buffer, std::size_t size, std::uint64_t localFileTime) {
  if (buffer == nullptr) {
    buffer = timeTextBuffers[timeTextToggle];
    timeTextToggle ^= 1;
    size = kTimeTextSize;
  }
  if (size == 0) return buffer;

  char date[20] = {};
  SYSTEMTIME time = {};
  bool haveTime = true;
  if (localFileTime == 0) {
    GetLocalTime(&time);
  } else {
    FILETIME fileTime;
    fileTime.dwLowDateTime = static_cast<DWORD>(localFileTime);
    fileTime.dwHighDateTime = static_cast<DWORD>(localFileTime >> 32);
    haveTime = FileTimeToSystemTime(&fileTime, &time) != FALSE;
  }
  if (haveTime && GetDateFormatA(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date) == 0) {
    date[0] = '\0';
  }
  std::snprintf(buffer, size, "%s %02d:%02d:%02d", date, time.wHour, time.wMinute, time.wSecond);
  return buffer;
}

int FormatLogRecord(LogStampState& state, char* buffer, int size, const char* format, va_list args) {
  if (format == nullptr) format = "";
  char stamp[kTimeTextSize] = "";
  if (format[0] == '%' && format[1] == 'T') {
    LocalTimeText(stamp, sizeof stamp, state.localNow != nullptr ? state.localNow() : 0);
  }
  return ComposeLogRecord(state, buffer, size, format, args, stamp);
}

}  // namespace mardonel
